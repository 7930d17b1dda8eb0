#include "dat/DatFile.h"

#include "support/ArchiveBuilder.h"
#include "support/Bytes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray md5A = "0123456789abcdef0123456789abcdef";
const QByteArray md5B = "fedcba9876543210fedcba9876543210";

// One set, written in each form: what is read must not depend on the form.
const QByteArray xmlDat =
    "<?xml version=\"1.0\"?>\n"
    "<!DOCTYPE datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" \"http://www.logiqx.com/dats/datafile.dtd\">\n"
    "<datafile>\n"
    "  <header><name>Nintendo 64 (BigEndian)</name><version>20261101-000000</version></header>\n"
    "  <game name=\"Super Game (Europe) (En,Fr) (Rev 1)\"><description>x</description><serial>NSGP</serial>\n"
    "    <rom name=\"Super Game (Europe) (En,Fr) (Rev 1).z64\" size=\"8192\" crc=\"0a1b2c3d\" md5=\"" + md5A
    + "\" sha1=\"00112233445566778899aabbccddeeff00112233\"/>\n"
    "  </game>\n"
    "  <game name=\"Other &amp; Game (Japan)\">\n"
    "    <rom name=\"Other &amp; Game (Japan).z64\" size=\"4096\" crc=\"ABC\" md5=\"" + md5B + "\" status=\"baddump\"/>\n"
    "  </game>\n"
    "</datafile>\n";
const QByteArray textDat =
    "clrmamepro (\n\tname \"Nintendo 64 (BigEndian)\"\n\tversion 20261101-000000\n)\n\n"
    "game (\n\tname \"Super Game (Europe) (En,Fr) (Rev 1)\"\n\tserial \"NSGP\"\n"
    "\trom ( name \"Super Game (Europe) (En,Fr) (Rev 1).z64\" size 8192 crc 0a1b2c3d md5 " + md5A
    + " sha1 00112233445566778899aabbccddeeff00112233 )\n)\n"
    "game (\n\tname \"Other & Game (Japan)\"\n\trom ( name \"Other & Game (Japan).z64\" size 4096 crc ABC md5 "
    + md5B + " flags baddump )\n)\n";

// Every field read, in one line per entry.
QString described(const DatFile &dat)
{
    QString text = dat.name() + QLatin1Char('|') + dat.version();
    for (const DatFile::Rom &rom : dat.roms())
        text += QStringLiteral("\n%1|%2|%3|%4|%5|%6|%7|%8").arg(dat.gameOf(rom).name, dat.gameOf(rom).serial, rom.name).arg(rom.size)
                    .arg(rom.crc.value_or(0), 0, 16).arg(QString::fromLatin1(rom.md5.toHex()), QString::fromLatin1(rom.sha1.toHex())).arg(int(rom.status));
    return text;
}

const QString theSet = QStringLiteral("Nintendo 64 (BigEndian)|20261101-000000\n"
                                      "Super Game (Europe) (En,Fr) (Rev 1)|NSGP|Super Game (Europe) (En,Fr) (Rev 1).z64|8192|a1b2c3d|"
                                      "0123456789abcdef0123456789abcdef|00112233445566778899aabbccddeeff00112233|0\n"
                                      "Other & Game (Japan)||Other & Game (Japan).z64|4096|abc|fedcba9876543210fedcba9876543210||1");

} // namespace

TEST(DatFileTest, ReadsBothFormsPlainZippedAndFromTheCache)
{
    QTemporaryDir dir;
    ASSERT_TRUE(ArchiveBuilder().add("readme.txt", "hello").add("N64.dat", textDat).writeTo(dir.filePath(QStringLiteral("text.zip"))));
    ASSERT_TRUE(ArchiveBuilder().add("sub/N64.xml", xmlDat).writeTo(dir.filePath(QStringLiteral("xml.7z"))));
    const QString paths[] = {dir.filePath(QStringLiteral("n64.xml")), dir.filePath(QStringLiteral("n64.dat")),
                             dir.filePath(QStringLiteral("text.zip")), dir.filePath(QStringLiteral("xml.7z"))};
    ASSERT_TRUE(writeBytes(paths[0], xmlDat) && writeBytes(paths[1], "\xEF\xBB\xBF" + textDat));
    for (const QString &path : paths) {
        SCOPED_TRACE(path.toStdString());
        DatFile::Refusal refusal;
        const auto dat = DatFile::read(path, &refusal);
        ASSERT_TRUE(dat) << refusal.text().toStdString();
        EXPECT_EQ(described(*dat), theSet);
        const auto cached = DatFile::deserialized(dat->serialized());
        EXPECT_TRUE(cached && described(*cached) == theSet);
        EXPECT_FALSE(DatFile::deserialized(dat->serialized().chopped(3)));
    }
}

TEST(DatFileTest, RefusesWhatIsNoDatWithTheReasonAndTheLine)
{
    const QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE datafile [\n<!ENTITY a \"aaaaaaaaaaaaaaaa\">\n<!ENTITY b \""
        + QByteArray("&a;").repeated(16) + "\">\n<!ENTITY c \"" + QByteArray("&b;").repeated(16) + "\">\n<!ENTITY d \""
        + QByteArray("&c;").repeated(16) + "\">\n]>\n<datafile><header><name>&d;</name></header></datafile>\n";
    const QByteArray deep = "game (\n" + QByteArray("x ( ").repeated(20);
    const struct { const char *what; QByteArray bytes; const char *reason; qint64 line; } cases[] = {
        {"empty", "", "This is not a DAT file: it is neither XML", 1},
        {"a web page", "<!DOCTYPE html>\n<html><body/></html>", "it begins with <html>, not <datafile>", 2},
        {"truncated XML", xmlDat.left(xmlDat.indexOf("  <game name=\"Other")), "The XML is damaged", 8},
        {"billion laughs", laughs, "The XML is damaged", 8},
        {"NUL byte", "clrmamepro ( name x )\ngame ( name y\n rom ( name " + QByteArray(1, '\0') + " ) )", "NUL byte", 3},
        {"no games", "clrmamepro ( name x )\n", "lists no game files", 2},
        {"quote left open", "game (\n name \"Game\n rom ( name a ) )", "quoted text is not closed", 2},
        {"block left open", "game (\n name Game\n rom ( name a size 1 )\n", "not closed before the end", 4},
        {"nested without end", deep, "nested deeper", 2},
        {"long word", "game ( name " + QByteArray(5000, 'x') + " )", "longer than 4096 characters", 1},
        {"bad MD5", "game ( name g\n rom ( name a size 1 md5 0123 ) )", "The MD5 “0123” is not 32", 2},
        {"bad size in XML", "<datafile>\n<game name=\"g\">\n<rom name=\"a\" size=\"-1\"/></game></datafile>", "size “-1”", 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        DatFile::Refusal refusal;
        EXPECT_FALSE(DatFile::parse(c.bytes, &refusal));
        EXPECT_TRUE(refusal.reason.contains(QString::fromUtf8(c.reason))) << refusal.reason.toStdString();
        EXPECT_EQ(refusal.line, c.line);
        EXPECT_TRUE(refusal.text().endsWith(QStringLiteral("Reading stopped at line %1.").arg(c.line)));
    }
}

TEST(DatFileTest, BoundsHostileFiles)
{
    QTemporaryDir dir;
    // A long single line costs nothing to refuse: it is not read at all.
    QFile huge(dir.filePath(QStringLiteral("huge.dat")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(DatFile::maximumFileSize + 1));
    huge.close();
    ASSERT_TRUE(ArchiveBuilder().add("a.dat", textDat).add("b.xml", xmlDat).writeTo(dir.filePath(QStringLiteral("two.zip"))));
    ASSERT_TRUE(ArchiveBuilder().add("n64.txt", textDat).writeTo(dir.filePath(QStringLiteral("none.zip"))));
    QFile two(dir.filePath(QStringLiteral("two.zip")));
    ASSERT_TRUE(two.open(QIODevice::ReadOnly) && writeBytes(dir.filePath(QStringLiteral("broken.zip")), two.read(300)));
    const struct { const char *name; const char *reason; } files[] = {
        {"huge.dat", "larger than 64 MiB"},
        {"two.zip", "holds 2 DAT files"},
        {"none.zip", "holds no .dat or .xml file"},
        {"broken.zip", "damaged"},
        {"missing.dat", "does not exist"},
        {".", "not a regular file"},
    };
    for (const auto &file : files) {
        SCOPED_TRACE(file.name);
        DatFile::Refusal refusal;
        EXPECT_FALSE(DatFile::read(dir.filePath(QString::fromUtf8(file.name)), &refusal));
        EXPECT_TRUE(refusal.reason.contains(QString::fromUtf8(file.reason))) << refusal.reason.toStdString();
    }
    // Entries past the limit are refused where they begin, not held.
    QByteArray many;
    many.reserve(qsizetype(DatFile::maximumEntries + 1) * 24);
    for (int i = 0; i <= DatFile::maximumEntries; ++i)
        many += "game(rom(name a size 1))\n";
    DatFile::Refusal refusal;
    EXPECT_FALSE(DatFile::parse(many, &refusal));
    EXPECT_EQ(refusal.line, DatFile::maximumEntries + 1) << refusal.reason.toStdString();
    // Bytes that are not UTF-8 are refused as XML (and read as U+FFFD in the text form).
    EXPECT_FALSE(DatFile::parse("<datafile>\n<game name=\"Caf\xE9\"><rom name=\"a\"/></game></datafile>", &refusal));
}
