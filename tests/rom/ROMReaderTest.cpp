#include "rom/ByteSwap.h"
#include "rom/ROM.h"
#include "support/Bytes.h"
#include "support/RomImageBuilder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using ByteOrder = RomImageBuilder::ByteOrder;

class ROMReaderTest : public ::testing::Test
{
protected:
    std::shared_ptr<ROM> read(const QByteArray &data, const char *name = "image.bin") const
    {
        EXPECT_TRUE(writeBytes(m_dir.filePath(QLatin1String(name)), data));
        return ROM::romFromURL(QUrl::fromLocalFile(m_dir.filePath(QLatin1String(name))));
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
        EXPECT_EQ(rom->MD5(), md5Hex(builder.canonicalImage()));
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
            EXPECT_EQ(read(chunked.image())->MD5(), md5Hex(chunked.canonicalImage())) << int(order) << " " << size;
        }
    }
}

// The reader takes whichever path this processor runs best, so each one is run here, over
// starts and lengths that leave partial blocks and groups, against byte i taken from i ^ 1 or i ^ 3.
TEST(ByteSwapTest, EveryPathThisProcessorRunsSwapsWholeGroupsOnlyFromAnyStart)
{
    for (const ByteSwap::Path path : {ByteSwap::Path::Portable, ByteSwap::Path::Ssse3, ByteSwap::Path::Avx2}) {
        if (!ByteSwap::runs(path))
            continue;
        for (const auto &[order, flip] : {std::pair{ByteSwap::Order::HalfWords, 1}, std::pair{ByteSwap::Order::Words, 3}}) {
            for (const std::size_t start : {0, 1, 3}) {
                for (const std::size_t length : {0, 3, 5, 15, 17, 31, 33, 62, 63, 64, 65, 97, 130, 259}) {
                    unsigned char stored[300], buffer[300];
                    for (std::size_t i = 0; i < sizeof stored; ++i)
                        stored[i] = buffer[i] = static_cast<unsigned char>(i * 37 + 11);
                    ByteSwap::normalize(buffer + start, length, order, path);
                    const std::size_t whole = length - length % std::size_t(flip + 1);
                    for (std::size_t i = 0; i < sizeof stored; ++i) {
                        const bool inside = i >= start && i < start + whole;
                        ASSERT_EQ(buffer[i], stored[inside ? start + ((i - start) ^ std::size_t(flip)) : i])
                            << int(path) << " " << flip << " " << start << " " << length << " " << i;
                    }
                }
            }
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
    // Sparse, with a real header: only the length (2 GiB or more) is wrong, and it is refused quickly.
    read(RomImageBuilder().canonicalImage(), "huge.z64");
    ASSERT_EQ(::truncate(QFile::encodeName(m_dir.filePath(QStringLiteral("huge.z64"))).constData(), off_t(1) << 31), 0);
    QList<QUrl> urls{QUrl(QStringLiteral("https://example.invalid/game.z64")), QUrl()};
    for (const char *name : {"missing.z64", "empty.z64", "short.z64", "folder.z64", "huge.z64"})
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
    EXPECT_EQ(read(QByteArray(4096, '\0'))->MD5(), md5Hex(QByteArray(4096, '\0'))) << "one byte more is enough";
}

std::tuple<int, QString, QString> runRomInfo(const QStringList &arguments, const QString &language = QStringLiteral("en"))
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANGUAGE"), language);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TOLVANE_ROMINFO_PATH), arguments);
    const bool ended = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

TEST(RomInfoToolTest, PrintsEachReadableImageAsTextOrJsonAndReportsTheOthers)
{
    QTemporaryDir dir;
    RomImageBuilder builder;
    builder.setName(QByteArrayLiteral("TOOL \"TEST\"\t") + '\0').setGameCode(QByteArrayLiteral("NTTE") + '\0')
        .setCRC1(0xFFFFFFFFu).setCRC2(0x0000ABCDu).setBootCodeCrc(0xACC8580Au); // CIC 6106
    const QString md5 = md5Hex(builder.canonicalImage());
    QStringList paths;
    for (const char *order : {"z64", "v64", "n64"})
        ASSERT_TRUE(builder.setByteOrder(RomImageBuilder::ByteOrder(paths.size())).writeTo(paths.emplace_back(dir.filePath(QLatin1String(order)))));
    const QString missing = dir.filePath(QStringLiteral("missing.n64"));

    auto [status, out, err] = runRomInfo({QStringLiteral("--json"), paths[0], missing, paths[1], paths[2]});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, QStringLiteral("tolvane-rominfo: %1: not read as a ROM image: no such file\n").arg(missing));
    const QJsonArray records = QJsonDocument::fromJson(out.toUtf8()).array();
    ASSERT_EQ(records.size(), 4) << out.toStdString();
    for (const auto &[index, order] : {std::pair{0, 0}, std::pair{2, 1}, std::pair{3, 2}}) {
        const QJsonObject expected{{QStringLiteral("path"), paths[order]}, {QStringLiteral("valid"), true},
                                   {QStringLiteral("name"), QStringLiteral("TOOL \"TEST\"\t")}, {QStringLiteral("gameCode"), QStringLiteral("NTTE")},
                                   {QStringLiteral("crc1"), 4294967295.0}, {QStringLiteral("crc2"), 43981.0}, {QStringLiteral("cic"), 6106},
                                   {QStringLiteral("md5"), md5}, {QStringLiteral("byteOrder"), QFileInfo(paths[order]).fileName()},
                                   {QStringLiteral("size"), double(builder.canonicalImage().size())}, {QStringLiteral("region"), QStringLiteral("North America")}};
        EXPECT_EQ(records.at(index).toObject(), expected) << order;
    }
    const QJsonObject absent{{QStringLiteral("path"), missing}, {QStringLiteral("valid"), false}, {QStringLiteral("name"), QJsonValue()},
                             {QStringLiteral("gameCode"), QJsonValue()}, {QStringLiteral("crc1"), QJsonValue()}, {QStringLiteral("crc2"), QJsonValue()},
                             {QStringLiteral("cic"), QJsonValue()}, {QStringLiteral("md5"), QJsonValue()}, {QStringLiteral("byteOrder"), QJsonValue()},
                             {QStringLiteral("size"), QJsonValue()}, {QStringLiteral("region"), QJsonValue()}};
    EXPECT_EQ(records.at(1).toObject(), absent);
    // The text follows the language; the JSON never does.
    std::tie(status, out, err) = runRomInfo({QStringLiteral("--json"), paths[0], missing}, QStringLiteral("de"));
    EXPECT_EQ(err, QStringLiteral("tolvane-rominfo: %1: nicht als ROM-Abbild gelesen: Datei nicht vorhanden\n").arg(missing));
    EXPECT_EQ(QJsonDocument::fromJson(out.toUtf8()).array().at(0)[QStringLiteral("region")], QStringLiteral("North America"));

    ASSERT_TRUE(RomImageBuilder().setSize(100).writeTo(dir.filePath(QStringLiteral("short"))));
    std::tie(status, out, err) = runRomInfo({dir.filePath(QStringLiteral("short")), paths[2]});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, QStringLiteral("File:       %1\nName:       \"TOOL \\\"TEST\\\"\\x09\"\nGame code:  NTTE\n"
                                  "CRC:        FFFFFFFF ABCD\nCIC:        6106\nMD5:        %2\nByte order: n64\n").arg(paths[2], md5));
    EXPECT_TRUE(err.contains(QStringLiteral("short: not read as a ROM image: shorter than 4096 bytes")));
    // Read by several threads, listed in path order all the same.
    const QString walked = dir.filePath(QStringLiteral("walked"));
    ASSERT_TRUE(QDir().mkpath(walked));
    for (const char *name : {"d.n64", "a.z64", "c.V64", "b.z64"})
        ASSERT_TRUE(QFile::copy(paths[2], walked + QLatin1Char('/') + QLatin1String(name)));
    std::tie(status, out, err) = runRomInfo({QStringLiteral("-r"), QStringLiteral("--jobs"), QStringLiteral("3"), QStringLiteral("--json"), walked});
    QStringList listed;
    for (const QJsonValue &record : QJsonDocument::fromJson(out.toUtf8()).array())
        listed << record[QStringLiteral("path")].toString();
    EXPECT_TRUE(listed.size() == 4 && std::is_sorted(listed.begin(), listed.end())) << out.toStdString();

    // A name that is not UTF-8 with a line break, found by the walk and named as an operand; a
    // folder past PATH_MAX is named on standard error and the status says files were left out.
    QTemporaryDir tree;
    const QByteArray odd = QFile::encodeName(tree.path()) + "/caf\xe9\nnew.z64", part(200, 'd');
    ASSERT_EQ(::link(QFile::encodeName(paths[2]).constData(), odd.constData()), 0);
    int fd = ::open(QFile::encodeName(tree.path()).constData(), O_DIRECTORY);
    for (int depth = 0; depth < 21 && fd >= 0; ++depth) {
        ::mkdirat(fd, part.constData(), 0700);
        const int next = ::openat(fd, part.constData(), O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    ::close(fd);
    const QString shown = QStringLiteral("File:       %1/caf\\xE9\\x0Anew.z64\nName:").arg(tree.path());
    std::tie(status, out, err) = runRomInfo({QStringLiteral("-r"), tree.path()});
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(out.startsWith(shown)) << out.toStdString();
    EXPECT_TRUE(err.contains(QString::fromLocal8Bit(std::strerror(ENAMETOOLONG)))) << err.toStdString();
    QProcess operand;
    operand.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exec \"$0\" \"$1\"/caf*"), QStringLiteral(TOLVANE_ROMINFO_PATH), tree.path()});
    ASSERT_TRUE(operand.waitForFinished(30000));
    EXPECT_TRUE(operand.exitCode() == 0 && QString::fromUtf8(operand.readAllStandardOutput()).startsWith(shown));
    // Deeper than QTemporaryDir can remove, and a name it cannot spell.
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), tree.path()});

    EXPECT_EQ(std::get<0>(runRomInfo({QStringLiteral("--help")})), 0);
    EXPECT_EQ(std::get<0>(runRomInfo({})), 2);
    EXPECT_EQ(std::get<0>(runRomInfo({QStringLiteral("--frobnicate"), paths[0]})), 2);
}

} // namespace
