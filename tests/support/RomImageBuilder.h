#pragma once

#include "support/Bytes.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <array>

/// Synthetic ROM images for tests, the benchmark and the demo: chosen header fields, a boot
/// code of a chosen CIC variant, any size and any of the three stored byte orders. The
/// payload is deterministic pseudo-random data.
class RomImageBuilder
{
public:
    enum class ByteOrder { Z64, V64, N64 };

    /// Bytes go in as they are from 0x20 (name) and 0x3B (game code): no padding, no terminator.
    RomImageBuilder &setName(const QByteArray &bytes) { return setBytes(0x20, bytes); }
    RomImageBuilder &setGameCode(const QByteArray &bytes) { return setBytes(0x3B, bytes); }
    RomImageBuilder &setCRC1(quint32 value) { return setBytes(0x10, bigEndian(value)); }
    RomImageBuilder &setCRC2(quint32 value) { return setBytes(0x14, bigEndian(value)); }
    /// The CRC-32 of bytes 0x40..0xFFF, made so by choosing the last four of them.
    RomImageBuilder &setBootCodeCrc(quint32 crc) { m_bootCodeCrc = crc; return *this; }
    RomImageBuilder &setSize(qsizetype size) { m_size = std::max<qsizetype>(size, 0x40); return *this; }
    RomImageBuilder &setByteOrder(ByteOrder order) { m_order = order; return *this; }
    RomImageBuilder &setBytes(qsizetype offset, const QByteArray &bytes) { m_patches.append({offset, bytes}); return *this; }

    QByteArray canonicalImage() const
    {
        QByteArray image(m_size, Qt::Uninitialized);
        quint32 state = 1; // xorshift32
        for (char &byte : image) {
            state ^= state << 13, state ^= state >> 17, state ^= state << 5;
            byte = char(state);
        }
        image.replace(0, 4, QByteArray::fromHex("80371240"));
        for (const auto &[offset, bytes] : m_patches) {
            if (offset < image.size())
                image.replace(offset, std::min(bytes.size(), image.size() - offset), bytes.left(image.size() - offset));
        }
        if (image.size() >= 0x1000)
            forceCrc(reinterpret_cast<unsigned char *>(image.data()) + 0x40, 0x1000 - 0x40, m_bootCodeCrc);
        return image;
    }

    /// What a file of this game holds; trailing bytes short of a whole group stay as they are.
    QByteArray image() const
    {
        QByteArray image = canonicalImage();
        const qsizetype group = m_order == ByteOrder::N64 ? 4 : m_order == ByteOrder::V64 ? 2 : 1;
        for (qsizetype i = 0; i + group <= image.size(); i += group)
            std::reverse(image.begin() + i, image.begin() + i + group);
        return image;
    }

    bool writeTo(const QString &path) const { return writeBytes(path, image()); }

    static QByteArray bigEndian(quint32 value)
    {
        const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
        return QByteArray(bytes, 4);
    }

private:
    // Four table steps with fixed indices shift the prior register out entirely, so the
    // final register depends only on the indices; their top bytes identify them one by one.
    static void forceCrc(unsigned char *region, std::size_t length, quint32 wanted)
    {
        std::array<quint32, 256> table{};
        std::array<int, 256> byTopByte{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 entry = n;
            for (int bit = 0; bit < 8; ++bit)
                entry = (entry & 1u) ? (entry >> 1) ^ 0xEDB88320u : entry >> 1;
            table[n] = entry;
            byTopByte[entry >> 24] = int(n);
        }
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

    struct Patch
    {
        qsizetype offset;
        QByteArray bytes;
    };
    qsizetype m_size = 8192;
    ByteOrder m_order = ByteOrder::Z64;
    quint32 m_bootCodeCrc = 0x90BB6CB5u; // CIC 6102
    QList<Patch> m_patches;
};
