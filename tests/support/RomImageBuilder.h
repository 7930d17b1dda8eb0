#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

/// Builds synthetic ROM images for tests and benchmarks: chosen header fields, a boot code
/// with a wanted CRC-32 (so any CIC variant can be had), any size and any of the three
/// stored byte orders. The payload is deterministic pseudo-random data from a seed.
class RomImageBuilder
{
public:
    enum class ByteOrder { Z64, V64, N64 };

    RomImageBuilder();

    /// Bytes written from offset 0x20 as they are: no padding, no terminator. Bytes that
    /// run past 0x3B overwrite the game code field, so set the game code first if both matter.
    RomImageBuilder &setName(const QByteArray &bytes);
    /// Bytes written from offset 0x3B as they are; longer than five runs into the boot code.
    RomImageBuilder &setGameCode(const QByteArray &bytes);
    RomImageBuilder &setCRC1(quint32 value);
    RomImageBuilder &setCRC2(quint32 value);
    /// Makes the CRC-32 of bytes 0x40..0xFFF equal \a crc by choosing the last four of them.
    /// Applied when the image is built, after every other change.
    RomImageBuilder &setBootCodeCrc(quint32 crc);
    /// The boot code CRC-32 of a CIC variant (6101, 6102, 6103, 6105, 6106); any other
    /// number gives a boot code recognised as none of them.
    RomImageBuilder &setCic(int cic);
    /// Leaves the boot code as the payload and setBytes() made it: no CRC-32 is forced.
    RomImageBuilder &setRawBootCode();
    /// Image length in bytes; at least 0x40 so the header fits (the boot code needs 4096).
    RomImageBuilder &setSize(qsizetype size);
    RomImageBuilder &setByteOrder(ByteOrder order);
    RomImageBuilder &setSeed(quint32 seed);
    /// Puts \a bytes at \a offset of the canonical image (applied after the header fields).
    RomImageBuilder &setBytes(qsizetype offset, const QByteArray &bytes);

    /// The image in canonical (z64) order.
    QByteArray canonicalImage() const;
    /// The image in the chosen stored order: what a file of this game would hold.
    QByteArray image() const;
    /// Writes image() to \a path; false when the file cannot be written in full.
    bool writeTo(const QString &path) const;

    /// Rewrites canonical bytes in the given stored order; trailing bytes that do not fill a
    /// whole group stay as they are.
    static QByteArray toByteOrder(QByteArray canonical, ByteOrder order);
    /// The standard CRC-32 (reflected, polynomial 0xEDB88320), computed bit by bit so that
    /// it shares nothing with the reader's table.
    static quint32 crc32(const unsigned char *data, std::size_t length);
    /// The boot code CRC-32 of a known CIC variant, or a value matching none of them.
    static quint32 bootCodeCrcForCic(int cic);
    /// Parses "z64", "v64" or "n64".
    static bool byteOrderFromName(const QString &name, ByteOrder *order);

private:
    struct Patch
    {
        qsizetype offset;
        QByteArray bytes;
    };

    qsizetype m_size = 8192;
    ByteOrder m_order = ByteOrder::Z64;
    quint32 m_seed = 1;
    quint32 m_bootCodeCrc;
    bool m_forceBootCode = true;
    QList<Patch> m_patches;
};
