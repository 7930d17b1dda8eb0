#include "support/RomImageBuilder.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <array>

#include <gtest/gtest.h>

namespace {

struct RunResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

RunResult runRomInfo(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TOLVANE_ROMINFO_PATH), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

// One game written in the three byte orders, and a name for a file that does not exist.
class RomInfoToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RomImageBuilder builder;
        builder.setSize(64 * 1024)
            .setName(QByteArrayLiteral("TOOL TEST  ") + QByteArray(1, '\0'))
            .setGameCode(QByteArrayLiteral("NTTE") + QByteArray(1, '\0'))
            .setCRC1(0xFFFFFFFFu)
            .setCRC2(0x0000ABCDu)
            .setCic(6106);
        m_md5 = QString::fromLatin1(QCryptographicHash::hash(builder.canonicalImage(), QCryptographicHash::Md5).toHex());
        for (const auto order : {RomImageBuilder::ByteOrder::Z64, RomImageBuilder::ByteOrder::V64, RomImageBuilder::ByteOrder::N64})
            ASSERT_TRUE(builder.setByteOrder(order).writeTo(path(order)));
    }

    QString path(RomImageBuilder::ByteOrder order) const
    {
        return m_dir.filePath(QStringLiteral("game.") + QLatin1String(std::array{"z64", "v64", "n64"}[int(order)]));
    }

    QTemporaryDir m_dir;
    QString m_md5;
    const QString m_z64 = path(RomImageBuilder::ByteOrder::Z64);
    const QString m_missing = m_dir.filePath(QStringLiteral("missing.n64"));
};

TEST_F(RomInfoToolTest, jsonListsEveryFileAndFailsForTheUnreadableOne)
{
    const QString v64 = path(RomImageBuilder::ByteOrder::V64);
    const RunResult result = runRomInfo({QStringLiteral("--json"), m_z64, m_missing, v64});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(m_missing + QStringLiteral(": not read as a ROM image: no such file"))) << result.err.toStdString();
    EXPECT_FALSE(result.err.contains(m_z64));

    const QJsonArray records = QJsonDocument::fromJson(result.out.toUtf8()).array();
    ASSERT_EQ(records.size(), 3) << result.out.toStdString();
    for (const auto &[index, filePath, byteOrder] : {std::tuple{0, m_z64, "z64"}, std::tuple{2, v64, "v64"}}) {
        SCOPED_TRACE(byteOrder);
        const QJsonObject record = records.at(index).toObject();
        EXPECT_EQ(record.value(QStringLiteral("path")).toString(), filePath);
        EXPECT_EQ(record.value(QStringLiteral("valid")), QJsonValue(true));
        EXPECT_EQ(record.value(QStringLiteral("name")).toString(), QStringLiteral("TOOL TEST  "));
        EXPECT_EQ(record.value(QStringLiteral("gameCode")).toString(), QStringLiteral("NTTE"));
        EXPECT_EQ(record.value(QStringLiteral("crc1")), QJsonValue(4294967295.0));
        EXPECT_EQ(record.value(QStringLiteral("crc2")), QJsonValue(43981.0));
        EXPECT_EQ(record.value(QStringLiteral("cic")).toInt(), 6106);
        EXPECT_EQ(record.value(QStringLiteral("md5")).toString(), m_md5);
        EXPECT_EQ(record.value(QStringLiteral("byteOrder")).toString(), QLatin1String(byteOrder));
    }
    const QJsonObject missing = records.at(1).toObject();
    EXPECT_EQ(missing.value(QStringLiteral("path")).toString(), m_missing);
    EXPECT_EQ(missing.value(QStringLiteral("valid")), QJsonValue(false));
    for (const char *key : {"name", "gameCode", "crc1", "crc2", "cic", "md5", "byteOrder"})
        EXPECT_TRUE(missing.contains(QLatin1String(key)) && missing.value(QLatin1String(key)).isNull()) << key;
}

TEST_F(RomInfoToolTest, textShowsTheRecordWithVisiblePaddingAndErrorsComeAfterTheGoodFiles)
{
    const QString n64 = path(RomImageBuilder::ByteOrder::N64);
    const RunResult result = runRomInfo({n64});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());
    const QStringList lines = result.out.split(QLatin1Char('\n'));
    for (const QString &line : {QStringLiteral("File:       ") + n64, QStringLiteral("Name:       \"TOOL TEST  \""),
                                QStringLiteral("Game code:  NTTE"), QStringLiteral("CRC:        FFFFFFFF ABCD"),
                                QStringLiteral("CIC:        6106"), QStringLiteral("MD5:        ") + m_md5,
                                QStringLiteral("Byte order: n64")})
        EXPECT_TRUE(lines.contains(line)) << line.toStdString() << "\n" << result.out.toStdString();

    const QString shortFile = m_dir.filePath(QStringLiteral("short.z64"));
    ASSERT_TRUE(RomImageBuilder().setSize(100).writeTo(shortFile));
    const RunResult mixed = runRomInfo({shortFile, m_z64});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_TRUE(mixed.out.contains(QStringLiteral("File:       ") + m_z64));
    EXPECT_FALSE(mixed.out.contains(shortFile));
    EXPECT_TRUE(mixed.err.contains(shortFile) && mixed.err.contains(QStringLiteral("shorter than 4096 bytes")));
}

TEST_F(RomInfoToolTest, usage)
{
    const RunResult help = runRomInfo({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tolvane-rominfo")));
    EXPECT_EQ(runRomInfo({}).exitCode, 2);
    const RunResult unknown = runRomInfo({QStringLiteral("--frobnicate"), m_z64});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.out.isEmpty());
    // After "--" a leading dash is a file name.
    const RunResult dashed = runRomInfo({QStringLiteral("--"), QStringLiteral("--json")});
    EXPECT_EQ(dashed.exitCode, 1);
    EXPECT_TRUE(dashed.err.contains(QStringLiteral("--json: not read as a ROM image")));
}

} // namespace
