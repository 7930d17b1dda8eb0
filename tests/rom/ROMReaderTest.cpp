#include "rom/ROM.h"
#include "support/RomImageBuilder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using ByteOrder = RomImageBuilder::ByteOrder;

const unsigned char *bytes(const QByteArray &array)
{
    return reinterpret_cast<const unsigned char *>(array.constData());
}

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

TEST_F(ROMReaderTest, sameGameInEveryByteOrderGivesTheSameRecordAndTheDigestOfTheCanonicalBytes)
{
    RomImageBuilder builder;
    builder.setSize(256 * 1024)
        .setName(QByteArrayLiteral("TOLVANE  SAMPLE    ") + QByteArray(8, '\0'))
        .setGameCode(QByteArrayLiteral("NTSE") + QByteArray(1, '\0'))
        .setCRC1(0xFFFFFFFFu)
        .setCRC2(0x00C0FFEEu)
        .setCic(6103);
    const QByteArray canonical = builder.canonicalImage();
    for (const auto &[order, fileName] : {std::pair{ByteOrder::Z64, "game.z64"}, std::pair{ByteOrder::V64, "game.v64"},
                                         std::pair{ByteOrder::N64, "game.n64"}}) {
        SCOPED_TRACE(fileName);
        const QByteArray stored = builder.setByteOrder(order).image();
        // The byte orders really differ on disk, so the agreement below is the reader's doing.
        EXPECT_EQ(stored == canonical, order == ByteOrder::Z64);
        const QString filePath = write(QString::fromLatin1(fileName), stored);
        const auto rom = ROM::romFromURL(QUrl::fromLocalFile(filePath));
        EXPECT_TRUE(rom->isValid());
        EXPECT_EQ(rom->filePath(), QUrl::fromLocalFile(filePath));
        EXPECT_EQ(rom->name(), QStringLiteral("TOLVANE  SAMPLE    "));
        EXPECT_EQ(rom->gameCode(), QStringLiteral("NTSE"));
        EXPECT_EQ(rom->CRC1(), 4294967295u);
        EXPECT_EQ(rom->CRC2(), 0x00C0FFEEu);
        EXPECT_EQ(rom->cic(), 6103);
        EXPECT_EQ(rom->MD5(), md5Of(canonical));
        EXPECT_FALSE(rom->calculatedCRC1() || rom->calculatedCRC2());
    }
    // The system's md5sum of the canonical file, as a player would check it.
    QProcess md5sum;
    md5sum.start(QStringLiteral("md5sum"), {m_dir.filePath(QStringLiteral("game.z64"))});
    ASSERT_TRUE(md5sum.waitForFinished(10000));
    EXPECT_EQ(QString::fromLatin1(md5sum.readAllStandardOutput().left(32)), md5Of(canonical));
    EXPECT_EQ(ROM::md5HexDigest(nullptr, 0), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
}

TEST_F(ROMReaderTest, bootCodeChecksumSelectsCicOverExactlyBytes0x40To0xFFF)
{
    const struct {
        quint32 crc;
        qint32 cic;
    } cases[] = {
        {0x6170A4A1u, 6101}, {0x90BB6CB5u, 6102}, {0x0B050EE0u, 6103}, {0x98BC2C86u, 6105},
        {0xACC8580Au, 6106}, {0x00000000u, 6105}, {0x6170A4A0u, 6105}, {0xFFFFFFFFu, 6105},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ROM::cicForBootCode(bytes(RomImageBuilder().setBootCodeCrc(c.crc).canonicalImage())), c.cic) << c.crc;
    // A change just outside the range leaves the variant alone, one at either end loses it.
    for (const auto &[offset, cic] : {std::pair{0x3F, 6101}, std::pair{0x1000, 6101}, std::pair{0x40, 6105}, std::pair{0xFFF, 6105}}) {
        QByteArray image = RomImageBuilder().setCic(6101).canonicalImage();
        image[offset] = char(image[offset] ^ 0x80);
        EXPECT_EQ(ROM::cicForBootCode(bytes(image)), cic) << offset;
    }
}

TEST_F(ROMReaderTest, headerTextsEndAtTheirFirstZeroByteAndAreLatin1)
{
    const QByteArray zero(1, '\0');
    const struct {
        QByteArray name, gameCode;
        QString expectedName, expectedGameCode;
    } cases[] = {
        {"PADDED   " + zero, "NABE" + zero, QStringLiteral("PADDED   "), QStringLiteral("NABE")},
        {zero, "NABE" + zero, QString(), QStringLiteral("NABE")}, // empty, yet present
        // 27 bytes fill 0x20..0x3A; the game code follows without a zero between.
        {QByteArray(27, 'N'), "NABE" + zero, QString(27, QLatin1Char('N')) + QStringLiteral("NABE"), QStringLiteral("NABE")},
        {"X" + zero, "CODE5+MORE" + zero, QStringLiteral("X"), QStringLiteral("CODE5+MORE")}, // into the boot code
        {"Caf\xE9 \xFF" + zero, "NABE" + zero, QStringLiteral("Caf\u00E9 \u00FF"), QStringLiteral("NABE")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const auto rom = read(RomImageBuilder().setName(c.name).setGameCode(c.gameCode).canonicalImage());
        EXPECT_TRUE(rom->isValid());
        EXPECT_EQ(rom->name(), c.expectedName);
        EXPECT_EQ(rom->gameCode(), c.expectedGameCode);
    }
    // No zero byte at all after 0x20: the texts end with the bytes read for the header, the
    // whole file when short and 0x101000 bytes otherwise, never beyond.
    for (const qsizetype size : {qsizetype(4096), qsizetype(4099), qsizetype(0x101000 + 4096)}) {
        SCOPED_TRACE(size);
        QByteArray image(size, 'A');
        image.replace(0, 4, QByteArray::fromHex("80371240"));
        const auto rom = read(image);
        const qsizetype headerRead = std::min<qsizetype>(size, 0x101000);
        ASSERT_TRUE(rom->isValid());
        EXPECT_EQ(rom->name()->size(), headerRead - 0x20);
        EXPECT_EQ(rom->gameCode()->size(), headerRead - 0x3B);
        EXPECT_EQ(rom->cic(), 6105);
    }
}

TEST_F(ROMReaderTest, filesThatAreNoImageGiveIncompleteRecords)
{
    write(QStringLiteral("empty.z64"), {});
    write(QStringLiteral("short.z64"), RomImageBuilder().setSize(4095).canonicalImage());
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.z64"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.z64"))).constData(), 0600), 0);
    const QString locked = write(QStringLiteral("locked.z64"), RomImageBuilder().canonicalImage());
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);

    QList<QUrl> urls{QUrl(QStringLiteral("https://example.invalid/game.z64")), QUrl()};
    for (const char *name : {"missing.z64", "empty.z64", "short.z64", "folder.z64", "pipe.z64"})
        urls.append(QUrl::fromLocalFile(m_dir.filePath(QString::fromLatin1(name))));
    // Root reads any file whatever its mode; the case only says something for other users.
    if (::access(QFile::encodeName(locked).constData(), R_OK) != 0)
        urls.append(QUrl::fromLocalFile(locked));
    for (const QUrl &url : urls) {
        SCOPED_TRACE(url.toString().toStdString());
        const auto rom = ROM::romFromURL(url);
        EXPECT_EQ(rom->filePath(), url);
        EXPECT_FALSE(rom->isValid());
        EXPECT_FALSE(rom->cic() || rom->name() || rom->gameCode() || rom->CRC1() || rom->CRC2() || rom->MD5());
    }

    // One byte more is enough for a complete record, whatever the bytes are.
    const auto smallest = read(QByteArray(4096, '\0'));
    EXPECT_TRUE(smallest->isValid());
    EXPECT_EQ(smallest->MD5(), md5Of(QByteArray(4096, '\0')));
}

TEST_F(ROMReaderTest, trailingBytesOutsideAWholeGroupStayAsTheyAre)
{
    for (const ByteOrder order : {ByteOrder::N64, ByteOrder::V64}) {
        for (const qsizetype tail : {1, 2, 3}) {
            SCOPED_TRACE(tail);
            RomImageBuilder builder;
            builder.setSize(4096 + tail).setByteOrder(order);
            QByteArray stored = builder.image();
            EXPECT_EQ(read(stored)->MD5(), md5Of(builder.canonicalImage()));
            ROM::normalizeByteOrder(reinterpret_cast<unsigned char *>(stored.data()), std::size_t(stored.size()));
            EXPECT_EQ(stored, builder.canonicalImage());
        }
    }
    // Any other first byte leaves the buffer alone, even 0x37 or 0x40 further in.
    QByteArray plain = QByteArray::fromHex("00374012374001");
    ROM::normalizeByteOrder(reinterpret_cast<unsigned char *>(plain.data()), std::size_t(plain.size()));
    EXPECT_EQ(plain, QByteArray::fromHex("00374012374001"));
}

TEST_F(ROMReaderTest, digestIsRightAcrossReadChunks)
{
    // Every 4 KiB starts with a byte that, taken as a first byte, would pick another order:
    // a reader deciding per chunk instead of per file gets the digest wrong.
    const std::pair<ByteOrder, QByteArray> orders[] = {{ByteOrder::Z64, QByteArray::fromHex("37000000")},
                                                       {ByteOrder::V64, QByteArray::fromHex("00400000")},
                                                       {ByteOrder::N64, QByteArray::fromHex("00000000")}};
    for (const auto &[order, misleadingWord] : orders) {
        for (const qsizetype size : {3 * 1024 * 1024 + 2, 3 * 1024 * 1024 + 3, 2 * 0x101000, 0x101000 + 1}) {
            SCOPED_TRACE(size);
            RomImageBuilder builder;
            builder.setSize(size).setByteOrder(order);
            for (qsizetype offset = 0x1000; offset + 4 <= size; offset += 0x1000)
                builder.setBytes(offset, misleadingWord);
            const auto rom = read(builder.image());
            ASSERT_TRUE(rom->isValid());
            EXPECT_EQ(rom->MD5(), md5Of(builder.canonicalImage()));
        }
    }
}

TEST_F(ROMReaderTest, imagesOfTwoGibibytesOrMoreAreRefusedQuickly)
{
    // Sparse files with a real header, so that only the length can make the record incomplete.
    for (const qint64 size : {qint64(1) << 31, (qint64(1) << 32) + 4096}) {
        SCOPED_TRACE(size);
        const QString filePath = write(QStringLiteral("huge.z64"), RomImageBuilder().canonicalImage());
        ASSERT_EQ(::truncate(QFile::encodeName(filePath).constData(), off_t(size)), 0);
        QElapsedTimer timer;
        timer.start();
        const auto rom = ROM::romFromURL(QUrl::fromLocalFile(filePath));
        EXPECT_LT(timer.elapsed(), 2000);
        EXPECT_FALSE(rom->isValid());
        EXPECT_FALSE(rom->MD5().has_value());
    }
}

TEST_F(ROMReaderTest, concurrentCicDetectionAgrees)
{
    // The CRC table is built once, by whichever thread comes first.
    const qint32 variants[] = {6101, 6102, 6103, 6105, 6106};
    std::vector<QByteArray> images;
    for (const qint32 cic : variants)
        images.push_back(RomImageBuilder().setCic(cic).canonicalImage());
    std::atomic<bool> start{false};
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            while (!start.load())
                std::this_thread::yield();
            for (int round = 0; round < 200; ++round) {
                const std::size_t i = std::size_t(t + round) % images.size();
                mismatches += ROM::cicForBootCode(bytes(images[i])) != variants[i];
            }
        });
    }
    start = true;
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}

} // namespace
