#pragma once

#include <cstddef>

/// Brings stored bytes of an image into canonical (big-endian, "z64") order. The work is done
/// by the widest byte shuffle the processor has, chosen once at run time; every way gives the
/// same bytes.
class ByteSwap
{
public:
    /// How an image is stored: as is, each 2-byte pair swapped ("v64"), or each 4-byte group
    /// reversed ("n64").
    enum class Order { Canonical, HalfWords, Words };
    /// The ways of doing the work: shifts and masks in plain C++ (SSE2 on x86-64), 16-byte
    /// SSSE3 shuffles, 32-byte AVX2 shuffles.
    enum class Path { Portable, Ssse3, Avx2 };

    /// 0x40 is Words, 0x37 HalfWords, anything else Canonical.
    static Order orderForFirstByte(unsigned char firstByte);
    /// The fastest path this processor runs.
    static Path bestPath();
    /// Whether this processor (and this build) runs \a path.
    static bool runs(Path path);
    /// Brings \a length bytes into canonical order in place, from any alignment. Trailing bytes
    /// that do not fill a whole group are left unchanged. \a path must be one that runs().
    static void normalize(unsigned char *buffer, std::size_t length, Order order, Path path = bestPath());
};
