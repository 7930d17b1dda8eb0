#include "rom/ByteSwap.h"

#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#define TOLVANE_X86_SHUFFLES 1
#include <immintrin.h>
#endif

namespace {

// Each 32-bit word's bytes reversed, in two 32-bit words at once.
std::uint64_t reverseWords(std::uint64_t pair)
{
    pair = ((pair & 0x00FF00FF00FF00FFull) << 8) | ((pair >> 8) & 0x00FF00FF00FF00FFull);
    return ((pair & 0x0000FFFF0000FFFFull) << 16) | ((pair >> 16) & 0x0000FFFF0000FFFFull);
}

// Each 16-bit half-word's two bytes swapped, in four half-words at once.
std::uint64_t swapHalfWords(std::uint64_t quad)
{
    return ((quad & 0x00FF00FF00FF00FFull) << 8) | ((quad >> 8) & 0x00FF00FF00FF00FFull);
}

// Sixteen bytes at a time, as two 64-bit lanes of shifts and masks: the compiler makes one
// SSE2 step of each (at -O2 as well), where __builtin_bswap32 stays one word per step. Returns
// how many bytes it did. memcpy keeps it safe for any alignment.
template <std::uint64_t (*swap)(std::uint64_t)>
std::size_t swapBlocks(unsigned char *buffer, std::size_t length)
{
    std::size_t done = 0;
    for (; done + 16 <= length; done += 16) {
        std::uint64_t lanes[2];
        std::memcpy(lanes, buffer + done, 16);
        lanes[0] = swap(lanes[0]);
        lanes[1] = swap(lanes[1]);
        std::memcpy(buffer + done, lanes, 16);
    }
    return done;
}

void normalizePortably(unsigned char *buffer, std::size_t length, ByteSwap::Order order)
{
    switch (order) {
    case ByteSwap::Order::Canonical:
        return;
    case ByteSwap::Order::Words:
        for (std::size_t i = swapBlocks<reverseWords>(buffer, length); i + 4 <= length; i += 4) {
            std::swap(buffer[i], buffer[i + 3]);
            std::swap(buffer[i + 1], buffer[i + 2]);
        }
        return;
    case ByteSwap::Order::HalfWords:
        // Down to a whole pair after the last whole word.
        for (std::size_t i = swapBlocks<swapHalfWords>(buffer, length); i + 2 <= length; i += 2)
            std::swap(buffer[i], buffer[i + 1]);
        return;
    }
}

#ifdef TOLVANE_X86_SHUFFLES
// One shuffle moves 16 bytes where the shifts and masks take about eight instructions; the
// Debian baseline is SSE2, so these are compiled for their own instruction sets and only
// called once the processor said it has them. Each returns how many bytes it did, a multiple
// of 16, so the groups left to the portable code start on a group boundary.
__attribute__((target("ssse3"))) __m128i shuffleMask(ByteSwap::Order order)
{
    return order == ByteSwap::Order::Words
        ? _mm_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12)
        : _mm_setr_epi8(1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14);
}

__attribute__((target("ssse3"))) std::size_t shuffleSsse3(unsigned char *buffer, std::size_t length,
                                                           ByteSwap::Order order)
{
    const __m128i mask = shuffleMask(order);
    std::size_t done = 0;
    for (; done + 16 <= length; done += 16) {
        auto *at = reinterpret_cast<__m128i *>(buffer + done);
        _mm_storeu_si128(at, _mm_shuffle_epi8(_mm_loadu_si128(at), mask));
    }
    return done;
}

__attribute__((target("avx2"))) std::size_t shuffleAvx2(unsigned char *buffer, std::size_t length,
                                                         ByteSwap::Order order)
{
    // vpshufb shuffles within each 16-byte half, which is all a group of four needs.
    const __m256i mask = _mm256_broadcastsi128_si256(shuffleMask(order));
    std::size_t done = 0;
    for (; done + 64 <= length; done += 64) {
        auto *at = reinterpret_cast<__m256i *>(buffer + done);
        const __m256i first = _mm256_loadu_si256(at);
        const __m256i second = _mm256_loadu_si256(at + 1);
        _mm256_storeu_si256(at, _mm256_shuffle_epi8(first, mask));
        _mm256_storeu_si256(at + 1, _mm256_shuffle_epi8(second, mask));
    }
    for (; done + 32 <= length; done += 32) {
        auto *at = reinterpret_cast<__m256i *>(buffer + done);
        _mm256_storeu_si256(at, _mm256_shuffle_epi8(_mm256_loadu_si256(at), mask));
    }
    return done;
}
#endif

ByteSwap::Path detectBestPath()
{
    if (ByteSwap::runs(ByteSwap::Path::Avx2))
        return ByteSwap::Path::Avx2;
    if (ByteSwap::runs(ByteSwap::Path::Ssse3))
        return ByteSwap::Path::Ssse3;
    return ByteSwap::Path::Portable;
}

} // namespace

ByteSwap::Order ByteSwap::orderForFirstByte(unsigned char firstByte)
{
    switch (firstByte) {
    case 0x40:
        return Order::Words;
    case 0x37:
        return Order::HalfWords;
    default:
        return Order::Canonical;
    }
}

ByteSwap::Path ByteSwap::bestPath()
{
    static const Path best = detectBestPath();
    return best;
}

bool ByteSwap::runs(Path path)
{
    switch (path) {
    case Path::Portable:
        return true;
#ifdef TOLVANE_X86_SHUFFLES
    case Path::Ssse3:
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3");
    case Path::Avx2:
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2");
#else
    case Path::Ssse3:
    case Path::Avx2:
        break;
#endif
    }
    return false;
}

void ByteSwap::normalize(unsigned char *buffer, std::size_t length, Order order, Path path)
{
    if (order == Order::Canonical)
        return;
    std::size_t done = 0;
#ifdef TOLVANE_X86_SHUFFLES
    if (path == Path::Avx2)
        done = shuffleAvx2(buffer, length, order);
    else if (path == Path::Ssse3)
        done = shuffleSsse3(buffer, length, order);
#else
    (void)path;
#endif
    normalizePortably(buffer + done, length - done, order);
}
