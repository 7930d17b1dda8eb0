#include "support/RomImageBuilder.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::tuple<int, QString, QString> runRomInfo(const QStringList &arguments)
{
    QProcess process;
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
    const QString md5 = QString::fromLatin1(QCryptographicHash::hash(builder.canonicalImage(), QCryptographicHash::Md5).toHex());
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
                                   {QStringLiteral("md5"), md5}, {QStringLiteral("byteOrder"), QFileInfo(paths[order]).fileName()}};
        EXPECT_EQ(records.at(index).toObject(), expected) << order;
    }
    const QJsonObject absent{{QStringLiteral("path"), missing}, {QStringLiteral("valid"), false}, {QStringLiteral("name"), QJsonValue()},
                             {QStringLiteral("gameCode"), QJsonValue()}, {QStringLiteral("crc1"), QJsonValue()}, {QStringLiteral("crc2"), QJsonValue()},
                             {QStringLiteral("cic"), QJsonValue()}, {QStringLiteral("md5"), QJsonValue()}, {QStringLiteral("byteOrder"), QJsonValue()}};
    EXPECT_EQ(records.at(1).toObject(), absent);

    ASSERT_TRUE(RomImageBuilder().setSize(100).writeTo(dir.filePath(QStringLiteral("short"))));
    std::tie(status, out, err) = runRomInfo({dir.filePath(QStringLiteral("short")), paths[2]});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, QStringLiteral("File:       %1\nName:       \"TOOL \\\"TEST\\\"\\x09\"\nGame code:  NTTE\n"
                                  "CRC:        FFFFFFFF ABCD\nCIC:        6106\nMD5:        %2\nByte order: n64\n").arg(paths[2], md5));
    EXPECT_TRUE(err.contains(QStringLiteral("short: not read as a ROM image: shorter than 4096 bytes")));
    EXPECT_EQ(std::get<0>(runRomInfo({QStringLiteral("--help")})), 0);
    EXPECT_EQ(std::get<0>(runRomInfo({})), 2);
    EXPECT_EQ(std::get<0>(runRomInfo({QStringLiteral("--frobnicate"), paths[0]})), 2);
    // After "--" a leading dash is a file name.
    EXPECT_TRUE(std::get<2>(runRomInfo({QStringLiteral("--"), QStringLiteral("--json")})).contains(QStringLiteral("--json: not read")));
}

} // namespace
