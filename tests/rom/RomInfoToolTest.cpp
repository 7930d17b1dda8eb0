#include "support/RomImageBuilder.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct RunResult
{
    int exitCode = -1;
    QString out, err;
};

RunResult runRomInfo(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TOLVANE_ROMINFO_PATH), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// One game written in the three byte orders.
class RomInfoToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RomImageBuilder builder;
        builder.setName(QByteArrayLiteral("TOOL \"TEST\"\t") + '\0').setGameCode(QByteArrayLiteral("NTTE") + '\0')
            .setCRC1(0xFFFFFFFFu).setCRC2(0x0000ABCDu).setBootCodeCrc(0xACC8580Au); // CIC 6106
        m_md5 = QString::fromLatin1(QCryptographicHash::hash(builder.canonicalImage(), QCryptographicHash::Md5).toHex());
        for (const char *order : {"z64", "v64", "n64"})
            ASSERT_TRUE(builder.setByteOrder(RomImageBuilder::ByteOrder(m_paths.size())).writeTo(m_paths.emplace_back(
                m_dir.filePath(QStringLiteral("game.") + QLatin1String(order)))));
    }

    QTemporaryDir m_dir;
    QString m_md5;
    QStringList m_paths;
};

TEST_F(RomInfoToolTest, JsonListsEveryFileAndFailsForTheUnreadableOne)
{
    const QString missing = m_dir.filePath(QStringLiteral("missing.n64"));
    const RunResult result = runRomInfo({QStringLiteral("--json"), m_paths[0], missing, m_paths[1], m_paths[2]});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, QStringLiteral("tolvane-rominfo: %1: not read as a ROM image: no such file\n").arg(missing));
    const QJsonArray records = QJsonDocument::fromJson(result.out.toUtf8()).array();
    ASSERT_EQ(records.size(), 4) << result.out.toStdString();
    for (const auto &[index, byteOrder] : {std::pair{0, "z64"}, std::pair{2, "v64"}, std::pair{3, "n64"}}) {
        const QJsonObject record = records.at(index).toObject();
        const QJsonObject expected{{QStringLiteral("path"), m_paths[index ? index - 1 : 0]}, {QStringLiteral("valid"), true},
                                   {QStringLiteral("name"), QStringLiteral("TOOL \"TEST\"\t")}, {QStringLiteral("gameCode"), QStringLiteral("NTTE")},
                                   {QStringLiteral("crc1"), 4294967295.0}, {QStringLiteral("crc2"), 43981.0}, {QStringLiteral("cic"), 6106},
                                   {QStringLiteral("md5"), m_md5}, {QStringLiteral("byteOrder"), QLatin1String(byteOrder)}};
        EXPECT_EQ(record, expected) << byteOrder;
    }
    const QJsonObject absent = records.at(1).toObject();
    EXPECT_EQ(absent.value(QStringLiteral("path")).toString(), missing);
    EXPECT_EQ(absent.value(QStringLiteral("valid")), QJsonValue(false));
    for (const char *key : {"name", "gameCode", "crc1", "crc2", "cic", "md5", "byteOrder"})
        EXPECT_TRUE(absent.contains(QLatin1String(key)) && absent.value(QLatin1String(key)).isNull()) << key;
}

TEST_F(RomInfoToolTest, TextShowsEscapedFieldsReportsBadFilesAfterwardsAndUsageErrorsExitTwo)
{
    const QString shortFile = m_dir.filePath(QStringLiteral("short.z64"));
    ASSERT_TRUE(RomImageBuilder().setSize(100).writeTo(shortFile));
    const RunResult result = runRomInfo({shortFile, m_paths[2]});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, QStringLiteral("File:       %1\nName:       \"TOOL \\\"TEST\\\"\\x09\"\nGame code:  NTTE\n"
                                         "CRC:        FFFFFFFF ABCD\nCIC:        6106\nMD5:        %2\nByte order: n64\n")
                              .arg(m_paths[2], m_md5));
    EXPECT_TRUE(result.err.contains(shortFile + QStringLiteral(": not read as a ROM image: shorter than 4096 bytes")));

    const RunResult help = runRomInfo({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tolvane-rominfo")));
    EXPECT_EQ(runRomInfo({}).exitCode, 2);
    EXPECT_EQ(runRomInfo({QStringLiteral("--frobnicate"), m_paths[0]}).exitCode, 2);
    // After "--" a leading dash is a file name.
    EXPECT_TRUE(runRomInfo({QStringLiteral("--"), QStringLiteral("--json")}).err.contains(QStringLiteral("--json: not read as a ROM image")));
}

} // namespace
