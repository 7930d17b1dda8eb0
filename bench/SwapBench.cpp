// The byte swap alone, each way this processor runs, against OpenSSL's MD5 over the same
// bytes; then the reader's whole digest (ImageDigest) fed from memory, so neither the kernel's
// copy nor start-up is counted. Medians of ROUNDS passes over 64 MiB, CPU time of this thread.
//
// Usage: tolvane-swap-bench [ROUNDS]

#include "rom/ByteSwap.h"
#include "rom/ImageDigest.h"
#include "rom/ROM.h"

#define OPENSSL_API_COMPAT 10101
#include <openssl/md5.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr std::size_t kImageSize = 64u << 20;
// What the reader holds at once: one read's worth.
constexpr std::size_t kPieceSize = 256u << 10;

double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double median(int rounds, const std::function<void()> &pass)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const double start = threadMilliseconds();
        pass();
        times.push_back(threadMilliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

const char *pathName(ByteSwap::Path path)
{
    switch (path) {
    case ByteSwap::Path::Portable:
        return "portable";
    case ByteSwap::Path::Ssse3:
        return "ssse3";
    case ByteSwap::Path::Avx2:
        return "avx2";
    }
    return "?";
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    std::vector<unsigned char> image(kImageSize);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<unsigned char>(i * 2654435761u >> 13);
    std::vector<unsigned char> piece(image.begin(), image.begin() + kPieceSize);

    // The swap over one piece that stays in the cache, as often as 64 MiB takes.
    std::printf("swap of 64 MiB in %zu KiB pieces (best path here: %s)\n", kPieceSize >> 10,
                pathName(ByteSwap::bestPath()));
    for (const ByteSwap::Path path : {ByteSwap::Path::Portable, ByteSwap::Path::Ssse3, ByteSwap::Path::Avx2}) {
        if (!ByteSwap::runs(path))
            continue;
        for (const ByteSwap::Order order : {ByteSwap::Order::HalfWords, ByteSwap::Order::Words}) {
            const double ms = median(rounds, [&] {
                for (std::size_t done = 0; done < kImageSize; done += kPieceSize)
                    ByteSwap::normalize(piece.data(), piece.size(), order, path);
            });
            std::printf("  %-8s %s: %6.2f ms, %.3f ns/byte\n", pathName(path),
                        order == ByteSwap::Order::Words ? "n64" : "v64", ms, ms * 1e6 / double(kImageSize));
        }
    }
    const double md5 = median(rounds, [&] {
        MD5_CTX context;
        unsigned char digest[MD5_DIGEST_LENGTH];
        MD5_Init(&context);
        for (std::size_t done = 0; done < kImageSize; done += kPieceSize)
            MD5_Update(&context, piece.data(), piece.size());
        MD5_Final(digest, &context);
    });
    std::printf("  MD5 of the same: %6.2f ms\n", md5);

    // The reader's digest, the image copied in piece by piece as read() would.
    std::printf("ImageDigest over 64 MiB fed from memory\n");
    for (const unsigned char first : {0x80, 0x37, 0x40}) {
        image[0] = first;
        const double ms = median(rounds, [&] {
            ImageDigest digest;
            for (std::size_t done = 0; done < kImageSize;) {
                std::size_t available = 0;
                unsigned char *space = digest.space(&available);
                const std::size_t length = std::min(available, kImageSize - done);
                std::memcpy(space, image.data() + done, length);
                done += length;
                if (!digest.commit(length))
                    break;
            }
            ROM rom;
            digest.finish(rom);
        });
        std::printf("  %s: %6.2f ms\n", qPrintable(ROM::byteOrderName(first)), ms);
    }
    return 0;
}
