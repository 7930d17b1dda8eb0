#include "rom/ROM.h"
#include "support/RomImageBuilder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using ByteOrder = RomImageBuilder::ByteOrder;

QString md5Of(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
}

class ROMReaderTest : public ::testing::Test
{
protected:
    std::shared_ptr<ROM> read(const QByteArray &data, const char *name = "image.bin") const
    {
        QFile file(m_dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush());
        return ROM::romFromURL(QUrl::fromLocalFile(file.fileName()));
    }
    QTemporaryDir m_dir;
};

TEST_F(ROMReaderTest, EveryByteOrderGivesTheSameRecordAndTheDigestOfTheCanonicalBytesAcrossReadChunks)
{
    RomImageBuilder builder;
    builder.setSize(256 * 1024).setName(QByteArrayLiteral("TOLVANE  SAMPLE    ") + QByteArray(8, '\0'))
        .setGameCode(QByteArrayLiteral("NTSE") + '\0').setCRC1(0xFFFFFFFFu).setCRC2(0x00C0FFEEu).setBootCodeCrc(0x0B050EE0u);
    for (const ByteOrder order : {ByteOrder::Z64, ByteOrder::V64, ByteOrder::N64}) {
        const QByteArray stored = builder.setByteOrder(order).image();
        EXPECT_EQ(stored == builder.canonicalImage(), order == ByteOrder::Z64); // the reader must do the work
        const auto rom = read(stored);
        EXPECT_TRUE(rom->isValid());
        EXPECT_EQ(rom->filePath(), QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("image.bin"))));
        EXPECT_EQ(rom->name(), QStringLiteral("TOLVANE  SAMPLE    "));
        EXPECT_EQ(rom->gameCode(), QStringLiteral("NTSE"));
        EXPECT_TRUE(rom->CRC1() == 0xFFFFFFFFu && rom->CRC2() == 0x00C0FFEEu);
        EXPECT_EQ(rom->cic(), 6103);
        EXPECT_EQ(rom->MD5(), md5Of(builder.canonicalImage()));
    }
    // Every 4 KiB starts with a byte that, taken as a first byte, would pick another order: a
    // reader deciding per chunk gets the digest wrong. Bytes short of a whole group stay.
    const std::pair<ByteOrder, QByteArray> orders[] = {{ByteOrder::Z64, QByteArray::fromHex("37000000")},
                                                       {ByteOrder::V64, QByteArray::fromHex("00400000")},
                                                       {ByteOrder::N64, QByteArray::fromHex("00000000")}};
    for (const auto &[order, misleadingWord] : orders) {
        for (const qsizetype size : {4097, 4098, 4099, 0x101000 + 1, 2 * 0x101000, 3 * 1024 * 1024 + 2, 3 * 1024 * 1024 + 3}) {
            RomImageBuilder chunked;
            chunked.setSize(size).setByteOrder(order);
            for (qsizetype offset = 0x1000; offset + 4 <= size; offset += 0x1000)
                chunked.setBytes(offset, misleadingWord);
            EXPECT_EQ(read(chunked.image())->MD5(), md5Of(chunked.canonicalImage())) << int(order) << " " << size;
        }
    }
}

TEST_F(ROMReaderTest, BootCodeChecksumOverExactlyBytes0x40To0xFFFSelectsTheCic)
{
    const std::pair<quint32, qint32> cases[] = {{0x6170A4A1u, 6101}, {0x90BB6CB5u, 6102}, {0x0B050EE0u, 6103},
                                                {0x98BC2C86u, 6105}, {0xACC8580Au, 6106}, {0x6170A4A0u, 6105}};
    for (const auto &[crc, cic] : cases)
        EXPECT_EQ(read(RomImageBuilder().setBootCodeCrc(crc).canonicalImage())->cic(), cic) << crc;
    // A change just outside the range leaves the variant alone, one at either end loses it.
    for (const auto &[offset, cic] : {std::pair{0x3F, 6101}, std::pair{0x1000, 6101}, std::pair{0x40, 6105}, std::pair{0xFFF, 6105}}) {
        QByteArray image = RomImageBuilder().setBootCodeCrc(0x6170A4A1u).canonicalImage();
        image[offset] = char(image[offset] ^ 0x80);
        EXPECT_EQ(read(image)->cic(), cic) << offset;
    }
}

TEST_F(ROMReaderTest, HeaderTextsEndAtTheirFirstZeroByteOrAtTheHeaderReadAndAreLatin1)
{
    const QByteArray zero(1, '\0');
    const std::tuple<QByteArray, QByteArray, QString, QString> cases[] = {
        {zero, "NABE" + zero, QString(), QStringLiteral("NABE")}, // empty, yet present
        // 27 bytes fill 0x20..0x3A; the game code follows without a zero between.
        {QByteArray(27, 'N'), "NABE" + zero, QString(27, QLatin1Char('N')) + QStringLiteral("NABE"), QStringLiteral("NABE")},
        {"X" + zero, "CODE5+MORE" + zero, QStringLiteral("X"), QStringLiteral("CODE5+MORE")}, // into the boot code
        {"Caf\xE9 \xFF" + zero, "NABE" + zero, QStringLiteral("Caf\u00E9 \u00FF"), QStringLiteral("NABE")}};
    for (const auto &[name, gameCode, expectedName, expectedGameCode] : cases) {
        const auto rom = read(RomImageBuilder().setName(name).setGameCode(gameCode).canonicalImage());
        EXPECT_TRUE(rom->name() == expectedName && rom->gameCode() == expectedGameCode) << expectedName.toStdString();
    }
    // No zero byte at all: the whole file when short, 0x101000 bytes otherwise.
    for (const qsizetype size : {qsizetype(4099), qsizetype(0x101000 + 4096)}) {
        QByteArray image(size, 'A');
        const auto rom = read(image.replace(0, 4, QByteArray::fromHex("80371240")));
        EXPECT_EQ(rom->name().value_or(QString()).size(), std::min<qsizetype>(size, 0x101000) - 0x20);
        EXPECT_EQ(rom->gameCode().value_or(QString()).size(), std::min<qsizetype>(size, 0x101000) - 0x3B);
    }
}

TEST_F(ROMReaderTest, FilesThatAreNoImageGiveIncompleteRecords)
{
    read({}, "empty.z64");
    read(QByteArray(4095, '\0'), "short.z64");
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.z64"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.z64"))).constData(), 0600), 0);
    // A socket file cannot be opened for reading by anybody, root included.
    sockaddr_un address{AF_UNIX, {}};
    qstrncpy(address.sun_path, QFile::encodeName(m_dir.filePath(QStringLiteral("socket.z64"))).constData(), sizeof(address.sun_path));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ::close(fd);
    // Sparse, with a real header: only the length (2 GiB or more) is wrong, and it is refused quickly.
    read(RomImageBuilder().canonicalImage(), "huge.z64");
    ASSERT_EQ(::truncate(QFile::encodeName(m_dir.filePath(QStringLiteral("huge.z64"))).constData(), off_t(1) << 31), 0);
    QList<QUrl> urls{QUrl(QStringLiteral("https://example.invalid/game.z64")), QUrl()};
    for (const char *name : {"missing.z64", "empty.z64", "short.z64", "folder.z64", "pipe.z64", "socket.z64", "huge.z64"})
        urls.append(QUrl::fromLocalFile(m_dir.filePath(QString::fromLatin1(name))));
    QElapsedTimer timer;
    timer.start();
    for (const QUrl &url : urls) {
        const auto rom = ROM::romFromURL(url);
        EXPECT_EQ(rom->filePath(), url);
        EXPECT_FALSE(rom->isValid() || rom->cic() || rom->name() || rom->gameCode() || rom->CRC1() || rom->CRC2() || rom->MD5())
            << url.toString().toStdString();
    }
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(read(QByteArray(4096, '\0'))->MD5(), md5Of(QByteArray(4096, '\0'))) << "one byte more is enough";
}

} // namespace
