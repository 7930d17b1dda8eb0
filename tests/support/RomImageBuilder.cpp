#include "support/RomImageBuilder.h"

#include <QFile>

#include <algorithm>
#include <array>

namespace {

std::array<quint32, 256> crcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 entry = n;
        for (int bit = 0; bit < 8; ++bit)
            entry = (entry & 1u) ? (entry >> 1) ^ 0xEDB88320u : entry >> 1;
        table[n] = entry;
    }
    return table;
}

// Chooses the four bytes at region[length-4..] so that the CRC-32 of the region is `wanted`.
// Four table steps whose indices are fixed shift every bit of the prior register out, so
// the final register depends only on the indices; their top bytes identify them one by one.
void forceCrc(unsigned char *region, std::size_t length, quint32 wanted)
{
    static const std::array<quint32, 256> table = crcTable();
    std::array<int, 256> byTopByte{};
    for (int n = 0; n < 256; ++n)
        byTopByte[table[n] >> 24] = n;

    quint32 reg = 0xFFFFFFFFu;
    for (std::size_t i = 0; i + 4 < length; ++i)
        reg = (reg >> 8) ^ table[(reg ^ region[i]) & 0xFF];

    std::array<int, 4> index{};
    quint32 target = ~wanted;
    for (int k = 3; k >= 0; --k) {
        index[k] = byTopByte[target >> 24];
        target = (target ^ table[index[k]]) << 8;
    }
    for (int k = 0; k < 4; ++k) {
        region[length - 4 + k] = static_cast<unsigned char>((reg ^ quint32(index[k])) & 0xFF);
        reg = (reg >> 8) ^ table[index[k]];
    }
}

} // namespace

QByteArray RomImageBuilder::canonicalImage() const
{
    QByteArray image(m_size, Qt::Uninitialized);
    // xorshift32: cheap and deterministic.
    quint32 state = 1;
    for (qsizetype i = 0; i < image.size(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        image[i] = char(state & 0xFF);
    }
    // The usual first word of a canonical image; its first byte is neither 0x37 nor 0x40.
    image.replace(0, 4, QByteArray::fromHex("80371240"));
    for (const Patch &patch : m_patches) {
        const qsizetype count = std::min(patch.bytes.size(), image.size() - patch.offset);
        if (patch.offset >= 0 && count > 0)
            image.replace(patch.offset, count, patch.bytes.left(count));
    }
    if (image.size() >= 0x1000)
        forceCrc(reinterpret_cast<unsigned char *>(image.data()) + 0x40, 0x1000 - 0x40, m_bootCodeCrc);
    return image;
}

QByteArray RomImageBuilder::image() const
{
    QByteArray image = canonicalImage();
    const qsizetype group = m_order == ByteOrder::N64 ? 4 : m_order == ByteOrder::V64 ? 2 : 1;
    for (qsizetype i = 0; i + group <= image.size(); i += group)
        std::reverse(image.begin() + i, image.begin() + i + group);
    return image;
}

bool RomImageBuilder::writeTo(const QString &path) const
{
    const QByteArray bytes = image();
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush();
}

quint32 RomImageBuilder::bootCodeCrcForCic(int cic)
{
    switch (cic) {
    case 6101:
        return 0x6170A4A1u;
    case 6102:
        return 0x90BB6CB5u;
    case 6103:
        return 0x0B050EE0u;
    case 6105:
        return 0x98BC2C86u;
    case 6106:
        return 0xACC8580Au;
    default:
        return 0x12345678u;
    }
}

QByteArray RomImageBuilder::bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((value >> (24 - 8 * i)) & 0xFF);
    return bytes;
}
