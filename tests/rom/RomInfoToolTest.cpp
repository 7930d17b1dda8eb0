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
    QString out;
    QString err;
};

RunResult runRomInfo(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TOLVANE_ROMINFO_PATH), arguments);
    RunResult result;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

class RomInfoToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_builder.setSize(64 * 1024)
            .setName(QByteArrayLiteral("TOOL TEST  ") + QByteArray(1, '\0'))
            .setGameCode(QByteArrayLiteral("NTTE") + QByteArray(1, '\0'))
            .setCRC1(0xFFFFFFFFu)
            .setCRC2(0x0000ABCDu)
            .setCic(6106);
        m_md5 = QString::fromLatin1(
            QCryptographicHash::hash(m_builder.canonicalImage(), QCryptographicHash::Md5).toHex());
        m_z64 = m_dir.filePath(QStringLiteral("game.z64"));
        m_v64 = m_dir.filePath(QStringLiteral("game.v64"));
        ASSERT_TRUE(m_builder.setByteOrder(RomImageBuilder::ByteOrder::Z64).writeTo(m_z64));
        ASSERT_TRUE(m_builder.setByteOrder(RomImageBuilder::ByteOrder::V64).writeTo(m_v64));
        m_missing = m_dir.filePath(QStringLiteral("missing.n64"));
    }

    QTemporaryDir m_dir;
    RomImageBuilder m_builder;
    QString m_md5;
    QString m_z64;
    QString m_v64;
    QString m_missing;
};

TEST_F(RomInfoToolTest, jsonListsEveryFileAndFailsForTheUnreadableOne)
{
    const RunResult result = runRomInfo({QStringLiteral("--json"), m_z64, m_missing, m_v64});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(m_missing)) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("no such file"))) << result.err.toStdString();
    EXPECT_FALSE(result.err.contains(m_z64));

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << result.out.toStdString();
    ASSERT_TRUE(document.isArray());
    const QJsonArray records = document.array();
    ASSERT_EQ(records.size(), 3);

    const struct
    {
        int index;
        QString path;
        const char *byteOrder;
    } good[] = {{0, m_z64, "z64"}, {2, m_v64, "v64"}};
    for (const auto &g : good) {
        SCOPED_TRACE(g.byteOrder);
        const QJsonObject record = records.at(g.index).toObject();
        EXPECT_EQ(record.value(QStringLiteral("path")).toString(), g.path);
        EXPECT_EQ(record.value(QStringLiteral("valid")), QJsonValue(true));
        EXPECT_EQ(record.value(QStringLiteral("name")).toString(), QStringLiteral("TOOL TEST  "));
        EXPECT_EQ(record.value(QStringLiteral("gameCode")).toString(), QStringLiteral("NTTE"));
        ASSERT_TRUE(record.value(QStringLiteral("crc1")).isDouble());
        EXPECT_EQ(record.value(QStringLiteral("crc1")).toDouble(), 4294967295.0);
        EXPECT_EQ(record.value(QStringLiteral("crc2")).toDouble(), 43981.0);
        EXPECT_EQ(record.value(QStringLiteral("cic")).toInt(), 6106);
        EXPECT_EQ(record.value(QStringLiteral("md5")).toString(), m_md5);
        EXPECT_EQ(record.value(QStringLiteral("byteOrder")).toString(), QLatin1String(g.byteOrder));
    }

    const QJsonObject missing = records.at(1).toObject();
    EXPECT_EQ(missing.value(QStringLiteral("path")).toString(), m_missing);
    EXPECT_EQ(missing.value(QStringLiteral("valid")), QJsonValue(false));
    for (const char *key : {"name", "gameCode", "crc1", "crc2", "cic", "md5", "byteOrder"}) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(missing.contains(QLatin1String(key)));
        EXPECT_TRUE(missing.value(QLatin1String(key)).isNull());
    }
}

TEST_F(RomInfoToolTest, textShowsTheRecordWithVisiblePadding)
{
    const QString n64 = m_dir.filePath(QStringLiteral("game.n64"));
    ASSERT_TRUE(m_builder.setByteOrder(RomImageBuilder::ByteOrder::N64).writeTo(n64));
    const RunResult result = runRomInfo({n64});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty());
    const QStringList lines = result.out.split(QLatin1Char('\n'));
    EXPECT_TRUE(lines.contains(QStringLiteral("File:       ") + n64));
    EXPECT_TRUE(lines.contains(QStringLiteral("Name:       \"TOOL TEST  \"")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Game code:  NTTE")));
    EXPECT_TRUE(lines.contains(QStringLiteral("CRC:        FFFFFFFF ABCD")));
    EXPECT_TRUE(lines.contains(QStringLiteral("CIC:        6106")));
    EXPECT_TRUE(lines.contains(QStringLiteral("MD5:        ") + m_md5));
    EXPECT_TRUE(lines.contains(QStringLiteral("Byte order: n64"))) << result.out.toStdString();

    // A short file is reported on stderr, after the good one has been printed.
    const QString shortFile = m_dir.filePath(QStringLiteral("short.z64"));
    ASSERT_TRUE(RomImageBuilder().setSize(100).writeTo(shortFile));
    const RunResult mixed = runRomInfo({shortFile, m_z64});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_TRUE(mixed.out.contains(QStringLiteral("File:       ") + m_z64));
    EXPECT_FALSE(mixed.out.contains(shortFile));
    EXPECT_TRUE(mixed.err.contains(shortFile));
    EXPECT_TRUE(mixed.err.contains(QStringLiteral("shorter than 4096 bytes")));
}

TEST_F(RomInfoToolTest, usage)
{
    const RunResult help = runRomInfo({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tolvane-rominfo")));

    const RunResult none = runRomInfo({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.err.contains(QStringLiteral("Usage:")));

    const RunResult unknown = runRomInfo({QStringLiteral("--frobnicate"), m_z64});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.out.isEmpty());

    // After "--" a leading dash is a file name.
    const RunResult dashed = runRomInfo({QStringLiteral("--"), QStringLiteral("--json")});
    EXPECT_EQ(dashed.exitCode, 1);
    EXPECT_TRUE(dashed.err.contains(QStringLiteral("--json: not read as a ROM image")));
}

} // namespace
