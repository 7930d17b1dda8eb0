#include "rom/ROM.h"
#include "support/RomImageBuilder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
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
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const QString &fileName) const { return m_dir.filePath(fileName); }

    QString write(const QString &fileName, const QByteArray &data) const
    {
        QFile file(path(fileName));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(data), data.size());
        return file.fileName();
    }

    std::shared_ptr<ROM> read(const QString &filePath) const
    {
        return ROM::romFromURL(QUrl::fromLocalFile(filePath));
    }

    // Reads a file written from the builder's canonical image with the given header tweaks.
    std::shared_ptr<ROM> readCanonical(const RomImageBuilder &builder) const
    {
        return read(write(QStringLiteral("image.z64"), builder.canonicalImage()));
    }

    QTemporaryDir m_dir;
};

TEST_F(ROMReaderTest, sameGameInEveryByteOrderGivesTheSameRecord)
{
    RomImageBuilder builder;
    builder.setSize(256 * 1024)
        .setName(QByteArrayLiteral("TOLVANE  SAMPLE    ") + QByteArray(8, '\0'))
        .setGameCode(QByteArrayLiteral("NTSE") + QByteArray(1, '\0'))
        .setCRC1(0xFFFFFFFFu)
        .setCRC2(0x00C0FFEEu)
        .setCic(6103);
    const QByteArray canonical = builder.canonicalImage();

    std::vector<std::shared_ptr<ROM>> records;
    for (const auto &[order, fileName] : {std::pair{ByteOrder::Z64, "game.z64"},
                                         std::pair{ByteOrder::V64, "game.v64"},
                                         std::pair{ByteOrder::N64, "game.n64"}}) {
        builder.setByteOrder(order);
        const QString filePath = write(QString::fromLatin1(fileName), builder.image());
        const auto rom = read(filePath);
        SCOPED_TRACE(fileName);
        EXPECT_TRUE(rom->isValid());
        EXPECT_EQ(rom->filePath(), QUrl::fromLocalFile(filePath));
        EXPECT_EQ(rom->name(), QStringLiteral("TOLVANE  SAMPLE    "));
        EXPECT_EQ(rom->gameCode(), QStringLiteral("NTSE"));
        EXPECT_EQ(rom->CRC1(), 4294967295u);
        EXPECT_EQ(rom->CRC2(), 0x00C0FFEEu);
        EXPECT_EQ(rom->cic(), 6103);
        // The digest is of the canonical bytes, whatever order the file holds.
        EXPECT_EQ(rom->MD5(), md5Of(canonical));
        EXPECT_FALSE(rom->calculatedCRC1().has_value());
        EXPECT_FALSE(rom->calculatedCRC2().has_value());
        records.push_back(rom);
    }
    // The byte orders really differ on disk, so the agreement above is the reader's doing.
    EXPECT_NE(builder.setByteOrder(ByteOrder::V64).image(), canonical);
    EXPECT_NE(builder.setByteOrder(ByteOrder::N64).image(), canonical);

    const QRegularExpression lowercaseHex(QStringLiteral("^[0-9a-f]{32}$"));
    EXPECT_TRUE(lowercaseHex.match(*records[0]->MD5()).hasMatch());

    // Cross-check with the system's md5sum where there is one.
    const QString md5sum = QStandardPaths::findExecutable(QStringLiteral("md5sum"));
    if (!md5sum.isEmpty()) {
        QProcess process;
        process.start(md5sum, {path(QStringLiteral("game.z64"))});
        ASSERT_TRUE(process.waitForFinished(10000));
        const QString output = QString::fromLatin1(process.readAllStandardOutput());
        EXPECT_EQ(output.left(32), *records[0]->MD5());
    }
}

TEST_F(ROMReaderTest, bootCodeChecksumSelectsCic)
{
    const struct
    {
        quint32 crc;
        qint32 cic;
    } cases[] = {
        {0x6170A4A1u, 6101}, {0x90BB6CB5u, 6102}, {0x0B050EE0u, 6103}, {0x98BC2C86u, 6105},
        {0xACC8580Au, 6106}, {0x00000000u, 6105}, {0x6170A4A0u, 6105}, {0xFFFFFFFFu, 6105},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.crc);
        RomImageBuilder builder;
        builder.setBootCodeCrc(c.crc);
        const QByteArray image = builder.canonicalImage();
        // The builder's boot code must really carry the CRC-32 (checked bit by bit).
        ASSERT_EQ(RomImageBuilder::crc32(bytes(image) + 0x40, 0x1000 - 0x40), c.crc);
        EXPECT_EQ(ROM::cicForBootCode(bytes(image)), c.cic);
        EXPECT_EQ(readCanonical(builder)->cic(), c.cic);
    }
    // The CRC-32 covers exactly 0x40..0xFFF: a change just outside leaves the variant alone,
    // a change at either end of the range loses it.
    RomImageBuilder builder;
    builder.setCic(6101);
    QByteArray image = builder.canonicalImage();
    image[0x3F] = char(image[0x3F] ^ 0x01);
    image[0x1000] = char(image[0x1000] ^ 0x01);
    EXPECT_EQ(ROM::cicForBootCode(bytes(image)), 6101);
    QByteArray first = builder.canonicalImage();
    first[0x40] = char(first[0x40] ^ 0x01);
    EXPECT_EQ(ROM::cicForBootCode(bytes(first)), 6105);
    QByteArray last = builder.canonicalImage();
    last[0xFFF] = char(last[0xFFF] ^ 0x80);
    EXPECT_EQ(ROM::cicForBootCode(bytes(last)), 6105);
}

TEST_F(ROMReaderTest, headerTextsEndAtTheirFirstZeroByte)
{
    const QByteArray gameCodeField = QByteArrayLiteral("NABE") + QByteArray(1, '\0');
    {
        SCOPED_TRACE("padding spaces are kept");
        RomImageBuilder builder;
        builder.setGameCode(gameCodeField).setName(QByteArrayLiteral("PADDED   ") + QByteArray(1, '\0'));
        const auto rom = readCanonical(builder);
        EXPECT_EQ(rom->name(), QStringLiteral("PADDED   "));
        EXPECT_EQ(rom->gameCode(), QStringLiteral("NABE"));
    }
    {
        SCOPED_TRACE("empty name is present");
        RomImageBuilder builder;
        builder.setGameCode(gameCodeField).setName(QByteArray(1, '\0'));
        const auto rom = readCanonical(builder);
        ASSERT_TRUE(rom->name().has_value());
        EXPECT_TRUE(rom->name()->isEmpty());
        EXPECT_TRUE(rom->isValid());
    }
    {
        SCOPED_TRACE("name runs through the game code");
        RomImageBuilder builder;
        // 27 non-zero bytes fill 0x20..0x3A; the game code follows without a zero between.
        builder.setName(QByteArray(27, 'N')).setGameCode(gameCodeField);
        const auto rom = readCanonical(builder);
        EXPECT_EQ(rom->name(), QString(27, QLatin1Char('N')) + QStringLiteral("NABE"));
        EXPECT_EQ(rom->gameCode(), QStringLiteral("NABE"));
    }
    {
        SCOPED_TRACE("game code runs into the boot code");
        RomImageBuilder builder;
        builder.setName(QByteArrayLiteral("X") + QByteArray(1, '\0'))
            .setGameCode(QByteArrayLiteral("CODE5+MORE") + QByteArray(1, '\0'));
        const auto rom = readCanonical(builder);
        EXPECT_EQ(rom->gameCode(), QStringLiteral("CODE5+MORE"));
        EXPECT_EQ(rom->name(), QStringLiteral("X"));
    }
    {
        SCOPED_TRACE("bytes 0x80..0xFF are Latin-1");
        RomImageBuilder builder;
        builder.setGameCode(gameCodeField).setName(QByteArrayLiteral("Caf\xE9 \xFF") + QByteArray(1, '\0'));
        EXPECT_EQ(readCanonical(builder)->name(), QStringLiteral("Caf\u00E9 \u00FF"));
    }
}

TEST_F(ROMReaderTest, headerTextsStopAtTheEndOfTheHeaderRead)
{
    // No zero byte anywhere after 0x20: the texts end with the bytes read for the header,
    // which is the whole file when short and 0x101000 bytes otherwise.
    for (const qsizetype size : {qsizetype(4096), qsizetype(4099), qsizetype(0x101000 + 4096)}) {
        SCOPED_TRACE(size);
        RomImageBuilder builder;
        builder.setSize(size).setRawBootCode().setBytes(0x20, QByteArray(size - 0x20, 'A'));
        const auto rom = readCanonical(builder);
        const qsizetype headerRead = std::min<qsizetype>(size, 0x101000);
        ASSERT_TRUE(rom->isValid());
        EXPECT_EQ(rom->name()->size(), headerRead - 0x20);
        EXPECT_EQ(rom->gameCode()->size(), headerRead - 0x3B);
        EXPECT_EQ(rom->cic(), 6105);
    }
}

TEST_F(ROMReaderTest, headerWordsAreBigEndianUnsigned)
{
    RomImageBuilder builder;
    builder.setCRC1(0xFFFFFFFFu).setCRC2(0x00000001u).setByteOrder(ByteOrder::N64);
    const auto rom = read(write(QStringLiteral("words.n64"), builder.image()));
    EXPECT_EQ(rom->CRC1(), 4294967295u);
    EXPECT_EQ(rom->CRC2(), 1u);

    builder.setCRC1(0x80000000u).setCRC2(0x12345678u).setByteOrder(ByteOrder::V64);
    const auto swapped = read(write(QStringLiteral("words.v64"), builder.image()));
    EXPECT_EQ(swapped->CRC1(), 2147483648u);
    EXPECT_EQ(swapped->CRC2(), 0x12345678u);
}

TEST_F(ROMReaderTest, filesThatAreNoImageGiveIncompleteRecords)
{
    QFile(path(QStringLiteral("empty.z64"))).open(QIODevice::WriteOnly);
    RomImageBuilder builder;
    write(QStringLiteral("short.z64"), builder.setSize(4095).canonicalImage());
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.z64"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.z64"))).constData(), 0600), 0);
    const QString locked = write(QStringLiteral("locked.z64"), builder.setSize(8192).canonicalImage());
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);

    QList<QUrl> urls;
    for (const char *name : {"missing.z64", "empty.z64", "short.z64", "folder.z64", "pipe.z64"})
        urls.append(QUrl::fromLocalFile(path(QString::fromLatin1(name))));
    // Root reads any file whatever its mode; the case only says something for other users.
    if (::access(QFile::encodeName(locked).constData(), R_OK) != 0)
        urls.append(QUrl::fromLocalFile(locked));
    urls.append(QUrl(QStringLiteral("https://example.invalid/game.z64")));
    urls.append(QUrl());

    for (const QUrl &url : urls) {
        SCOPED_TRACE(url.toString().toStdString());
        const auto rom = ROM::romFromURL(url);
        EXPECT_EQ(rom->filePath(), url);
        EXPECT_FALSE(rom->isValid());
        EXPECT_FALSE(rom->cic() || rom->name() || rom->gameCode() || rom->CRC1() || rom->CRC2()
                     || rom->MD5());
    }

    // One byte more is enough for a complete record, whatever the bytes are.
    const auto smallest = read(write(QStringLiteral("smallest.bin"), QByteArray(4096, '\0')));
    EXPECT_TRUE(smallest->isValid());
    EXPECT_EQ(smallest->MD5(), md5Of(QByteArray(4096, '\0')));
    EXPECT_EQ(smallest->name(), QString());
}

TEST_F(ROMReaderTest, trailingBytesOutsideAWholeGroupStayAsTheyAre)
{
    const struct
    {
        ByteOrder order;
        qsizetype size;
    } cases[] = {
        {ByteOrder::N64, 4096 + 1}, {ByteOrder::N64, 4096 + 2}, {ByteOrder::N64, 4096 + 3},
        {ByteOrder::V64, 4096 + 1}, {ByteOrder::V64, 4096 + 3}, {ByteOrder::V64, 4096 + 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.size);
        RomImageBuilder builder;
        builder.setSize(c.size).setByteOrder(c.order);
        QByteArray stored = builder.image();
        // Written out by hand: whole groups reordered, the tail kept.
        QByteArray expected = stored;
        const int group = c.order == ByteOrder::N64 ? 4 : 2;
        for (qsizetype i = 0; i + group <= expected.size(); i += group)
            std::reverse(expected.begin() + i, expected.begin() + i + group);
        ASSERT_EQ(expected, builder.canonicalImage());

        const auto rom = read(write(QStringLiteral("tail.bin"), stored));
        EXPECT_EQ(rom->MD5(), md5Of(expected));

        ROM::normalizeByteOrder(reinterpret_cast<unsigned char *>(stored.data()), std::size_t(stored.size()));
        EXPECT_EQ(stored, expected);
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
    const struct
    {
        ByteOrder order;
        QByteArray misleadingWord;
    } orders[] = {
        {ByteOrder::Z64, QByteArray::fromHex("37000000")},
        {ByteOrder::V64, QByteArray::fromHex("00400000")},
        {ByteOrder::N64, QByteArray::fromHex("00000000")},
    };
    const qsizetype sizes[] = {3 * 1024 * 1024 + 2, 3 * 1024 * 1024 + 3, 2 * 0x101000, 0x101000 + 1};
    for (const auto &o : orders) {
        for (const qsizetype size : sizes) {
            SCOPED_TRACE(size);
            RomImageBuilder builder;
            builder.setSize(size).setByteOrder(o.order).setSeed(quint32(size));
            for (qsizetype offset = 0x1000; offset + 4 <= size; offset += 0x1000)
                builder.setBytes(offset, o.misleadingWord);
            const auto rom = read(write(QStringLiteral("large.bin"), builder.image()));
            ASSERT_TRUE(rom->isValid());
            EXPECT_EQ(rom->MD5(), md5Of(builder.canonicalImage()));
        }
    }
}

TEST_F(ROMReaderTest, imagesOfTwoGibibytesOrMoreAreRefusedQuickly)
{
    // Sparse files: no disk space used, and a reader that tried to read them would be slow.
    for (const qint64 size : {qint64(1) << 31, (qint64(1) << 32) + 4096}) {
        SCOPED_TRACE(size);
        const QString filePath = path(QStringLiteral("huge.z64"));
        {
            QFile file(filePath);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            // A real header, so that only the length can make the record incomplete.
            ASSERT_TRUE(file.write(RomImageBuilder().canonicalImage()) > 0);
            ASSERT_TRUE(file.flush());
            ASSERT_EQ(::ftruncate(file.handle(), off_t(size)), 0);
        }
        QElapsedTimer timer;
        timer.start();
        const auto rom = read(filePath);
        EXPECT_LT(timer.elapsed(), 2000);
        EXPECT_FALSE(rom->isValid());
        EXPECT_FALSE(rom->MD5().has_value());
    }
}

TEST_F(ROMReaderTest, concurrentCicDetectionAgrees)
{
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
                if (ROM::cicForBootCode(bytes(images[i])) != variants[i])
                    ++mismatches;
            }
        });
    }
    start = true;
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}

TEST(ROMRecordTest, fieldsArePresentOnceSetWhateverTheValue)
{
    ROM rom;
    EXPECT_FALSE(rom.isValid());
    EXPECT_FALSE(rom.filePath() || rom.cic() || rom.name() || rom.gameCode() || rom.CRC1()
                 || rom.CRC2() || rom.calculatedCRC1() || rom.calculatedCRC2() || rom.MD5());

    rom.setFilePath(QUrl());
    rom.setCic(0);
    rom.setName(QString());
    rom.setGameCode(QString());
    rom.setCRC1(0);
    rom.setCRC2(0);
    EXPECT_FALSE(rom.isValid()); // MD5 still absent
    rom.setMD5(QString());
    EXPECT_TRUE(rom.isValid());
    EXPECT_FALSE(rom.calculatedCRC1().has_value());

    rom.setCic(-6105);
    EXPECT_EQ(rom.cic(), -6105);
    rom.setCRC2(0xFFFFFFFFu);
    EXPECT_EQ(rom.CRC2(), 4294967295u);
}

TEST(ROMDigestTest, md5HexDigestMatchesTheKnownVectors)
{
    // RFC 1321 test suite.
    EXPECT_EQ(ROM::md5HexDigest(nullptr, 0), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
    const QByteArray abc("abc");
    EXPECT_EQ(ROM::md5HexDigest(bytes(abc), 3), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    const QByteArray digits("12345678901234567890123456789012345678901234567890123456789012345678901234567890");
    EXPECT_EQ(ROM::md5HexDigest(bytes(digits), std::size_t(digits.size())),
              QStringLiteral("57edf4a22be3c955ac49da2e2107b67a"));
}

} // namespace
