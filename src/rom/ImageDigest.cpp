#include "rom/ImageDigest.h"

#include "rom/ByteSwap.h"

#include <QByteArray>

// MD5 through OpenSSL's low-level functions, marked deprecated since 3.0 but kept: the first
// EVP call sets up a provider, reads openssl.cnf and registers every algorithm, some five
// million instructions, a third of tolvane-rominfo's start-up; MD5_Update runs the same
// assembly without any of that.
#define OPENSSL_API_COMPAT 10101
#include <openssl/md5.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// The header's texts end at their first zero byte, or 1 MiB + 4 KiB into the image at the latest.
constexpr qint64 kTextBound = 0x101000;
// The image streams in pieces of 256 KiB that stay in the processor's cache from the copy out
// of the page cache through the byte swap to the digest (32 KiB pieces cost more in reads
// than they saved; measured on 64 MiB images). The header's fields come from the first piece;
// only a text with no zero byte in it reads on into the next ones. A first piece as large as
// the texts' bound cost 192 more page faults of fresh memory on every read of a large image.
constexpr std::size_t kPieceSize = 0x40000;
// Multiples of four keep every piece's boundary on a word boundary, so groups never
// straddle two pieces.
static_assert(kPieceSize % 4 == 0 && kPieceSize >= 0x1000);
// A piece is swapped and digested a slice at a time, so MD5 reads each slice from the first
// level cache right after the swap wrote it, instead of the whole piece from the second.
constexpr std::size_t kSliceSize = 0x4000;
static_assert(kPieceSize % kSliceSize == 0 && kSliceSize % 4 == 0);

// Appends the bytes from \a offset up to the first zero byte; true once that zero is found.
bool appendText(QString &text, const unsigned char *buffer, std::size_t length, std::size_t offset)
{
    if (offset >= length)
        return false;
    const auto *start = buffer + offset;
    const auto *zero = static_cast<const unsigned char *>(std::memchr(start, 0, length - offset));
    const std::size_t count = zero ? std::size_t(zero - start) : length - offset;
    text += QString::fromLatin1(reinterpret_cast<const char *>(start), qsizetype(count));
    return zero;
}

quint32 bigEndianWordAt(const unsigned char *buffer, std::size_t offset)
{
    return (quint32(buffer[offset]) << 24) | (quint32(buffer[offset + 1]) << 16)
        | (quint32(buffer[offset + 2]) << 8) | quint32(buffer[offset + 3]);
}

} // namespace

struct ImageDigest::Header
{
    qint32 cic = 0;
    QString name;
    QString gameCode;
    bool nameEnded = false;
    bool gameCodeEnded = false;
    quint32 crc1 = 0;
    quint32 crc2 = 0;
    quint8 regionCode = 0;
};

struct ImageDigest::Context
{
    MD5_CTX md5;
};

ImageDigest::ImageDigest(qint64 limit)
    : m_limit(std::min(limit, ROM::maximumImageSize)), m_chunk(std::make_unique_for_overwrite<unsigned char[]>(kPieceSize)),
      m_context(std::make_unique<Context>())
{
    m_failed = MD5_Init(&m_context->md5) != 1;
}

ImageDigest::~ImageDigest() = default;

unsigned char *ImageDigest::space(std::size_t *available)
{
    *available = kPieceSize - m_fill;
    return m_chunk.get() + m_fill;
}

bool ImageDigest::commit(std::size_t length)
{
    for (std::size_t i = 0; i < length && m_total + qint64(i) < 4; ++i)
        m_firstBytes[m_total + qint64(i)] = m_chunk[m_fill + i];
    m_fill += length;
    m_total += qint64(length);
    if (m_failed || m_total >= m_limit || startsWithArchiveSignature())
        return false;
    if (m_fill == kPieceSize)
        return digestChunk();
    return true;
}

bool ImageDigest::startsWithImageSignature() const
{
    return m_total >= 4 && isImageSignature(m_firstBytes);
}

bool ImageDigest::startsWithArchiveSignature() const
{
    // A zip's first header (or its end, when empty), and a 7z's signature.
    return m_total >= 4
        && (std::memcmp(m_firstBytes, "PK\3\4", 4) == 0 || std::memcmp(m_firstBytes, "PK\5\6", 4) == 0
            || std::memcmp(m_firstBytes, "7z\xBC\xAF", 4) == 0);
}

bool ImageDigest::isImageSignature(const unsigned char *bytes)
{
    static const unsigned char signatures[3][4] = {
        {0x80, 0x37, 0x12, 0x40}, {0x37, 0x80, 0x40, 0x12}, {0x40, 0x12, 0x37, 0x80}};
    return std::any_of(std::begin(signatures), std::end(signatures),
                       [bytes](const unsigned char *s) { return std::memcmp(s, bytes, 4) == 0; });
}

bool ImageDigest::digestChunk()
{
    // The image's first byte decides the order for every chunk, not each chunk's own.
    const ByteSwap::Order order = ByteSwap::orderForFirstByte(m_firstBytes[0]);
    const ByteSwap::Path path = ByteSwap::bestPath();
    for (std::size_t at = 0; at < m_fill && !m_failed; at += kSliceSize) {
        const std::size_t length = std::min(kSliceSize, m_fill - at);
        ByteSwap::normalize(m_chunk.get() + at, length, order, path);
        m_failed = MD5_Update(&m_context->md5, m_chunk.get() + at, length) != 1;
    }
    const qint64 start = m_total - qint64(m_fill);
    if (!m_header) {
        m_header = std::make_unique<Header>();
        m_header->cic = ROM::cicForBootCode(m_chunk.get());
        m_header->nameEnded = appendText(m_header->name, m_chunk.get(), m_fill, 0x20);
        m_header->gameCodeEnded = appendText(m_header->gameCode, m_chunk.get(), m_fill, 0x3B);
        m_header->crc1 = bigEndianWordAt(m_chunk.get(), 0x10);
        m_header->crc2 = bigEndianWordAt(m_chunk.get(), 0x14);
        m_header->regionCode = m_chunk[0x3E];
    } else if (start < kTextBound && !(m_header->nameEnded && m_header->gameCodeEnded)) {
        const std::size_t length = std::size_t(std::min<qint64>(qint64(m_fill), kTextBound - start));
        if (!m_header->nameEnded)
            m_header->nameEnded = appendText(m_header->name, m_chunk.get(), length, 0);
        if (!m_header->gameCodeEnded)
            m_header->gameCodeEnded = appendText(m_header->gameCode, m_chunk.get(), length, 0);
    }
    m_fill = 0;
    return !m_failed;
}

void ImageDigest::finish(ROM &rom)
{
    if (startsWithArchiveSignature()) {
        rom.setRefusal(ROM::Refusal::IsArchive);
        return;
    }
    rom.setFileSize(m_total);
    if (m_total >= m_limit) {
        rom.setRefusal(ROM::Refusal::TooLong);
        return;
    }
    if (m_total < ROM::minimumImageSize) {
        rom.setRefusal(m_total == 0 ? ROM::Refusal::Empty : ROM::Refusal::TooShort);
        return;
    }
    unsigned char md[MD5_DIGEST_LENGTH];
    if (m_failed || (m_fill > 0 && !digestChunk()) || MD5_Final(md, &m_context->md5) != 1) {
        rom.setRefusal(ROM::Refusal::ReadFailed, ENOMEM);
        return;
    }
    rom.setByteOrder(ROM::byteOrderName(m_firstBytes[0]));
    rom.setRegionCode(m_header->regionCode);
    rom.setCic(m_header->cic);
    rom.setName(m_header->name);
    rom.setGameCode(m_header->gameCode);
    rom.setCRC1(m_header->crc1);
    rom.setCRC2(m_header->crc2);
    rom.setMD5(QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(md), MD5_DIGEST_LENGTH).toHex()));
}
