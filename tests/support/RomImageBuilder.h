#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>

/// Builds synthetic ROM images for tests and benchmarks: chosen header fields, a boot code
/// with a wanted CRC-32 (so any CIC variant can be had), any size and any of the three
/// stored byte orders. The payload is deterministic pseudo-random data.
class RomImageBuilder
{
public:
    enum class ByteOrder { Z64, V64, N64 };

    /// Bytes written from offset 0x20 as they are: no padding, no terminator. Bytes that
    /// run past 0x3B overwrite the game code field, so set the game code after the name.
    RomImageBuilder &setName(const QByteArray &bytes) { return setBytes(0x20, bytes); }
    /// Bytes written from offset 0x3B as they are; longer than five runs into the boot code.
    RomImageBuilder &setGameCode(const QByteArray &bytes) { return setBytes(0x3B, bytes); }
    RomImageBuilder &setCRC1(quint32 value) { return setBytes(0x10, bigEndian(value)); }
    RomImageBuilder &setCRC2(quint32 value) { return setBytes(0x14, bigEndian(value)); }
    /// Makes the CRC-32 of bytes 0x40..0xFFF equal \a crc by choosing the last four of them,
    /// after every other change.
    RomImageBuilder &setBootCodeCrc(quint32 crc) { m_bootCodeCrc = crc; return *this; }
    /// The boot code of a CIC variant (6101, 6102, 6103, 6105, 6106); any other number
    /// gives a boot code recognised as none of them.
    RomImageBuilder &setCic(int cic) { return setBootCodeCrc(bootCodeCrcForCic(cic)); }
    /// Image length in bytes; at least 0x40 so the header fits (the boot code needs 4096).
    RomImageBuilder &setSize(qsizetype size) { m_size = std::max<qsizetype>(size, 0x40); return *this; }
    RomImageBuilder &setByteOrder(ByteOrder order) { m_order = order; return *this; }
    /// Puts \a bytes at \a offset of the canonical image (applied in the order given).
    RomImageBuilder &setBytes(qsizetype offset, const QByteArray &bytes) { m_patches.append({offset, bytes}); return *this; }

    /// The image in canonical (z64) order.
    QByteArray canonicalImage() const;
    /// The image in the chosen stored order: what a file of this game would hold. Trailing
    /// bytes that do not fill a whole group stay as they are.
    QByteArray image() const;
    /// Writes image() to \a path; false when the file cannot be written in full.
    bool writeTo(const QString &path) const;

    static quint32 bootCodeCrcForCic(int cic);
    static QByteArray bigEndian(quint32 value);

private:
    struct Patch
    {
        qsizetype offset;
        QByteArray bytes;
    };

    qsizetype m_size = 8192;
    ByteOrder m_order = ByteOrder::Z64;
    quint32 m_bootCodeCrc = bootCodeCrcForCic(6102);
    QList<Patch> m_patches;
};
