#include "support/ArchiveBuilder.h"
#include "support/RomImageBuilder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::pair<int, QByteArray> rominfo(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TOLVANE_ROMINFO_PATH), arguments);
    const bool ended = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput()};
}

} // namespace

TEST(RomInfoDatTest, ChecksEveryImageAgainstTheDatFiles)
{
    // The walk takes images and archives only: the DAT can lie among them.
    QTemporaryDir dir;
    const QString roms = dir.path();
    const auto image = [](char seed) { return RomImageBuilder().setName(QByteArray(1, seed)).setGameCode("NSGP"); };
    const auto md5 = [](const RomImageBuilder &rom) { return QCryptographicHash::hash(rom.canonicalImage(), QCryptographicHash::Md5).toHex(); };
    const QByteArray listed = "Super Game (Europe) (Rev 1)";
    const QByteArray dat = "<datafile><header><name>N64</name></header>\n<game name=\"" + listed + "\"><rom name=\"" + listed
        + ".z64\" size=\"8192\" md5=\"" + md5(image('a')) + "\"/></game>\n<game name=\"Broken\"><rom name=\"Broken.z64\" size=\"8192\" md5=\""
        + md5(image('b')) + "\" status=\"baddump\"/></game></datafile>\n";
    QFile datFile(dir.filePath(QStringLiteral("n64.xml")));
    ASSERT_TRUE(datFile.open(QIODevice::WriteOnly) && datFile.write(dat) == dat.size() && datFile.flush());
    // A v64 copy of the listed dump, a bad dump, the listed name with one byte changed, a
    // stranger, and the listed dump in a zip.
    ASSERT_TRUE(image('a').setByteOrder(RomImageBuilder::ByteOrder::V64).writeTo(roms + QStringLiteral("/a.v64")));
    ASSERT_TRUE(image('b').writeTo(roms + QStringLiteral("/b.z64")));
    ASSERT_TRUE(image('a').setBytes(0x2000 - 1, "!").writeTo(roms + QLatin1Char('/') + QString::fromLatin1(listed) + QStringLiteral(".z64")));
    ASSERT_TRUE(image('d').setGameCode("NXXE").writeTo(roms + QStringLiteral("/d.n64")));
    ASSERT_TRUE(ArchiveBuilder().add("e.z64", image('a').image()).writeTo(roms + QStringLiteral("/e.zip")));

    auto [status, out] = rominfo({QStringLiteral("-r"), QStringLiteral("--json"), QStringLiteral("--dat"), datFile.fileName(), roms});
    EXPECT_EQ(status, 1);
    QStringList seen;
    for (const QJsonValue &record : QJsonDocument::fromJson(out).array()) {
        const QJsonObject dump = record[QStringLiteral("dat")].toObject();
        seen << QFileInfo(record[QStringLiteral("path")].toString()).fileName() + QLatin1Char(' ') + dump[QStringLiteral("status")].toString()
                + QLatin1Char(' ') + dump[QStringLiteral("name")].toString();
        EXPECT_EQ(dump[QStringLiteral("file")], dump[QStringLiteral("name")].isNull() ? QJsonValue() : QJsonValue(datFile.fileName()));
    }
    EXPECT_EQ(seen, QStringList({QStringLiteral("Super Game (Europe) (Rev 1).z64 differs Super Game (Europe) (Rev 1)"),
                                 QStringLiteral("a.v64 verified Super Game (Europe) (Rev 1)"), QStringLiteral("b.z64 baddump Broken"),
                                 QStringLiteral("d.n64 unknown "), QStringLiteral("e.zip verified Super Game (Europe) (Rev 1)")}))
        << out.toStdString();

    std::tie(status, out) = rominfo({QStringLiteral("--dat=") + datFile.fileName(), roms + QStringLiteral("/a.v64")});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(out.endsWith("Byte order: v64\nDump:       Verified (" + listed + ")\n")) << out.toStdString();
    // A DAT that cannot be used checks nothing.
    EXPECT_EQ(rominfo({QStringLiteral("--dat"), roms + QStringLiteral("/a.v64"), roms + QStringLiteral("/a.v64")}).first, 2);
}
