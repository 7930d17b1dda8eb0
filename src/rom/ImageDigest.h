#pragma once

#include "rom/ROM.h"

#include <QtGlobal>

#include <cstddef>
#include <memory>

/// The reader's normalisation, header fields and digest over an image that arrives in
/// pieces, from a file or from an archive's decompressor. Bytes are written straight into
/// its one buffer of 256 KiB (space(), then commit()), so memory stays flat whatever the
/// image size and nothing is copied twice.
class ImageDigest
{
public:
    /// Stops taking bytes once \a limit is reached: whatever a header claims, no more is read.
    explicit ImageDigest(qint64 limit = ROM::maximumImageSize);
    ~ImageDigest();
    ImageDigest(const ImageDigest &) = delete;
    ImageDigest &operator=(const ImageDigest &) = delete;

    /// Where the next bytes go; \a available is set to how many fit (at least one).
    unsigned char *space(std::size_t *available);
    /// Takes \a length bytes written at space(). False once the image reached the limit or
    /// the digest failed: the caller stops feeding and calls finish().
    bool commit(std::size_t length);
    /// How many bytes have been committed.
    qint64 total() const { return m_total; }
    /// The first four bytes as they arrived, once there are four (for telling an image apart).
    bool startsWithImageSignature() const;
    /// Whether the first four bytes are a .zip's or a .7z's (reading stops there).
    bool startsWithArchiveSignature() const;
    /// Whether four bytes are an image's first four, in any of the three byte orders.
    static bool isImageSignature(const unsigned char *bytes);

    /// Sets the size and either the header fields and MD5 or the refusal (Empty, TooShort,
    /// TooLong, ReadFailed, IsArchive) on \a rom.
    void finish(ROM &rom);

private:
    bool digestChunk();

    qint64 m_limit;
    qint64 m_total = 0;
    // Not cleared first: a file of 32 KiB, read among thousands by the library, touches only that.
    std::unique_ptr<unsigned char[]> m_chunk;
    std::size_t m_fill = 0;
    bool m_failed = false;
    unsigned char m_firstBytes[4] = {};
    struct Header;
    std::unique_ptr<Header> m_header;
    struct Context;
    std::unique_ptr<Context> m_context;
};
