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
    QString write(const QString &fileName, const QByteArray &data) const
    {
        QFile file(m_dir.filePath(fileName));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
        return file.fileName();
    }
    std::shared_ptr<ROM> read(const QByteArray &data) const
    {
        return ROM::romFromURL(QUrl::fromLocalFile(write(QStringLiteral("image.bin"), data)));
    }

    QTemporaryDir m_dir;
};

TEST_F(ROMReaderTest, EveryByteOrderGivesTheSameRecordAndTheDigestOfTheCanonicalBytes)
{
    RomImageBuilder builder;
    builder.setSize(256 * 1024).setName(QByteArrayLiteral("TOLVANE  SAMPLE    ") + QByteArray(8, '\0'))
        .setGameCode(QByteArrayLiteral("NTSE") + '\0').setCRC1(0xFFFFFFFFu).setCRC2(0x00C0FFEEu)
        .setBootCodeCrc(0x0B050EE0u); // CIC 6103
    const QByteArray canonical = builder.canonicalImage();
    for (const ByteOrder order : {ByteOrder::Z64, ByteOrder::V64, ByteOrder::N64}) {
        SCOPED_TRACE(int(order));
        const QByteArray stored = builder.setByteOrder(order).image();
        EXPECT_EQ(stored == canonical, order == ByteOrder::Z64); // the reader must do the work
        const auto rom = read(stored);
        EXPECT_TRUE(rom->isValid());
        EXPECT_EQ(rom->filePath(), QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("image.bin"))));
        EXPECT_EQ(rom->name(), QStringLiteral("TOLVANE  SAMPLE    "));
        EXPECT_EQ(rom->gameCode(), QStringLiteral("NTSE"));
        EXPECT_EQ(rom->CRC1(), 0xFFFFFFFFu);
        EXPECT_EQ(rom->CRC2(), 0x00C0FFEEu);
        EXPECT_EQ(rom->cic(), 6103);
        EXPECT_EQ(rom->MD5(), md5Of(canonical));
    }
}

TEST_F(ROMReaderTest, BootCodeChecksumSelectsCicOverExactlyBytes0x40To0xFFF)
{
    const std::pair<quint32, qint32> cases[] = {{0x6170A4A1u, 6101}, {0x90BB6CB5u, 6102}, {0x0B050EE0u, 6103},
                                                {0x98BC2C86u, 6105}, {0xACC8580Au, 6106}, {0x6170A4A0u, 6105}};
    for (const auto &[crc, cic] : cases) {
        const QByteArray image = RomImageBuilder().setBootCodeCrc(crc).canonicalImage();
        EXPECT_EQ(ROM::cicForBootCode(reinterpret_cast<const unsigned char *>(image.constData())), cic) << crc;
    }
    // A change just outside the range leaves the variant alone, one at either end loses it.
    for (const auto &[offset, cic] : {std::pair{0x3F, 6101}, std::pair{0x1000, 6101}, std::pair{0x40, 6105}, std::pair{0xFFF, 6105}}) {
        QByteArray image = RomImageBuilder().setBootCodeCrc(0x6170A4A1u).canonicalImage();
        image[offset] = char(image[offset] ^ 0x80);
        EXPECT_EQ(read(image)->cic(), cic) << offset;
    }
}

TEST_F(ROMReaderTest, HeaderTextsEndAtTheirFirstZeroByteAndAreLatin1)
{
    const QByteArray zero(1, '\0');
    const struct {
        QByteArray name, gameCode;
        QString expectedName, expectedGameCode;
    } cases[] = {
        {zero, "NABE" + zero, QString(), QStringLiteral("NABE")}, // empty, yet present
        // 27 bytes fill 0x20..0x3A; the game code follows without a zero between.
        {QByteArray(27, 'N'), "NABE" + zero, QString(27, QLatin1Char('N')) + QStringLiteral("NABE"), QStringLiteral("NABE")},
        {"X" + zero, "CODE5+MORE" + zero, QStringLiteral("X"), QStringLiteral("CODE5+MORE")}, // into the boot code
        {"Caf\xE9 \xFF" + zero, "NABE" + zero, QStringLiteral("Caf\u00E9 \u00FF"), QStringLiteral("NABE")},
    };
    for (const auto &c : cases) {
        const auto rom = read(RomImageBuilder().setName(c.name).setGameCode(c.gameCode).canonicalImage());
        EXPECT_EQ(rom->name(), c.expectedName);
        EXPECT_EQ(rom->gameCode(), c.expectedGameCode);
    }
    // No zero byte at all: the texts end with the bytes read for the header, the whole file
    // when short and 0x101000 bytes otherwise, never beyond.
    for (const qsizetype size : {qsizetype(4099), qsizetype(0x101000 + 4096)}) {
        QByteArray image(size, 'A');
        image.replace(0, 4, QByteArray::fromHex("80371240"));
        const auto rom = read(image);
        const qsizetype headerRead = std::min<qsizetype>(size, 0x101000);
        ASSERT_TRUE(rom->isValid()) << size;
        EXPECT_EQ(rom->name()->size(), headerRead - 0x20);
        EXPECT_EQ(rom->gameCode()->size(), headerRead - 0x3B);
    }
}

TEST_F(ROMReaderTest, FilesThatAreNoImageGiveIncompleteRecords)
{
    write(QStringLiteral("empty.z64"), {});
    write(QStringLiteral("short.z64"), QByteArray(4095, '\0'));
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.z64"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.z64"))).constData(), 0600), 0);
    // A socket file cannot be opened for reading by anybody, root included.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(m_dir.filePath(QStringLiteral("socket.z64"))).constData(), sizeof(address.sun_path));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ::close(fd);

    QList<QUrl> urls{QUrl(QStringLiteral("https://example.invalid/game.z64")), QUrl()};
    for (const char *name : {"missing.z64", "empty.z64", "short.z64", "folder.z64", "pipe.z64", "socket.z64"})
        urls.append(QUrl::fromLocalFile(m_dir.filePath(QString::fromLatin1(name))));
    for (const QUrl &url : urls) {
        const auto rom = ROM::romFromURL(url);
        EXPECT_EQ(rom->filePath(), url);
        EXPECT_FALSE(rom->isValid() || rom->cic() || rom->name() || rom->gameCode() || rom->CRC1() || rom->CRC2() || rom->MD5())
            << url.toString().toStdString();
    }
    // One byte more is enough, whatever the bytes are.
    EXPECT_EQ(read(QByteArray(4096, '\0'))->MD5(), md5Of(QByteArray(4096, '\0')));
}

TEST_F(ROMReaderTest, DigestIsRightAcrossReadChunksAndForTrailingBytes)
{
    // Every 4 KiB starts with a byte that, taken as a first byte, would pick another order:
    // a reader deciding per chunk instead of per file gets the digest wrong. Trailing bytes
    // short of a whole group stay as they are.
    const std::pair<ByteOrder, QByteArray> orders[] = {{ByteOrder::Z64, QByteArray::fromHex("37000000")},
                                                       {ByteOrder::V64, QByteArray::fromHex("00400000")},
                                                       {ByteOrder::N64, QByteArray::fromHex("00000000")}};
    for (const auto &[order, misleadingWord] : orders) {
        for (const qsizetype size : {4097, 4098, 4099, 0x101000 + 1, 2 * 0x101000, 3 * 1024 * 1024 + 2, 3 * 1024 * 1024 + 3}) {
            RomImageBuilder builder;
            builder.setSize(size).setByteOrder(order);
            for (qsizetype offset = 0x1000; offset + 4 <= size; offset += 0x1000)
                builder.setBytes(offset, misleadingWord);
            EXPECT_EQ(read(builder.image())->MD5(), md5Of(builder.canonicalImage())) << int(order) << " " << size;
        }
    }
}

TEST_F(ROMReaderTest, ImagesOfTwoGibibytesOrMoreAreRefusedQuickly)
{
    // Sparse files with a real header, so that only the length can make the record incomplete.
    for (const qint64 size : {qint64(1) << 31, (qint64(1) << 32) + 4096}) {
        const QString filePath = write(QStringLiteral("huge.z64"), RomImageBuilder().canonicalImage());
        ASSERT_EQ(::truncate(QFile::encodeName(filePath).constData(), off_t(size)), 0);
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(ROM::romFromURL(QUrl::fromLocalFile(filePath))->isValid()) << size;
        EXPECT_LT(timer.elapsed(), 2000);
    }
}

} // namespace
