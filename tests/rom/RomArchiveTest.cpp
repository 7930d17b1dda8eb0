#include "rom/RomArchive.h"
#include "support/ArchiveBuilder.h"
#include "support/Bytes.h"
#include "support/RomImageBuilder.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using ByteOrder = RomImageBuilder::ByteOrder;

class RomArchiveTest : public ::testing::Test
{
protected:
    QString path(const char *name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    std::vector<std::shared_ptr<ROM>> read(const char *name, RomArchive::Options options = {}) const
    {
        return RomArchive::readImages(QUrl::fromLocalFile(path(name)), options);
    }
    QByteArray extracted(const char *name, const ROM &rom) const
    {
        QByteArray bytes;
        const auto refusal = RomArchive::extract(LocalPath::fromText(path(name)), *rom.archiveIndex(), *rom.archiveEntry(),
                                                 [&bytes](const char *data, std::size_t length, qint64) {
                                                     bytes.append(data, qsizetype(length));
                                                     return true;
                                                 });
        EXPECT_FALSE(refusal.has_value());
        return bytes;
    }
    QTemporaryDir m_dir;
};

TEST_F(RomArchiveTest, EveryImageEntryGivesThePlainImagesRecordAndExtractsToItsBytes)
{
    RomImageBuilder builder;
    builder.setSize(0x101000 + 6).setName(QByteArrayLiteral("ZIPPED") + '\0').setBootCodeCrc(0x90BB6CB5u);
    const QByteArray images[] = {builder.setByteOrder(ByteOrder::Z64).image(), builder.setByteOrder(ByteOrder::V64).image(),
                                 builder.setByteOrder(ByteOrder::N64).image()};
    ASSERT_TRUE(writeBytes(path("plain.z64"), images[0]));
    const auto reference = ROM::romFromURL(QUrl::fromLocalFile(path("plain.z64")));
    for (const char *name : {"games.zip", "games.7z"}) {
        ASSERT_TRUE(ArchiveBuilder().add("readme.txt", "hello").add("sub/Game (E).z64", images[0]).add("Game.V64", images[1])
                        .add("inner.zip", RomImageBuilder().image()).add("Game.n64", images[2]).writeTo(path(name)));
        const auto records = read(name);
        ASSERT_EQ(records.size(), 3u) << name;
        const std::pair<int, const char *> expected[] = {{1, "sub/Game (E).z64"}, {2, "Game.V64"}, {4, "Game.n64"}};
        for (std::size_t i = 0; i < 3; ++i) {
            const ROM &rom = *records[i];
            EXPECT_TRUE(rom.isValid());
            EXPECT_EQ(rom.filePath(), QUrl::fromLocalFile(path(name)));
            EXPECT_EQ(rom.archiveIndex(), expected[i].first);
            EXPECT_EQ(rom.archiveEntry(), QString::fromUtf8(expected[i].second));
            EXPECT_TRUE(rom.MD5() == reference->MD5() && rom.name() == reference->name() && rom.cic() == 6102);
            EXPECT_EQ(rom.byteOrder(), QStringList({QStringLiteral("z64"), QStringLiteral("v64"), QStringLiteral("n64")})[qsizetype(i)]);
            EXPECT_EQ(rom.fileSize(), images[i].size());
            EXPECT_EQ(extracted(name, rom), images[i]);
            const auto again = RomArchive::readImage(*rom.filePath(), *rom.archiveIndex(), *rom.archiveEntry());
            EXPECT_EQ(again->MD5(), rom.MD5());
        }
        // Another index or another name is not that entry any more.
        EXPECT_EQ(RomArchive::readImage(QUrl::fromLocalFile(path(name)), 2, QStringLiteral("Game.n64"))->refusal(), ROM::Refusal::EntryMissing);
        EXPECT_EQ(RomArchive::readImage(QUrl::fromLocalFile(path(name)), 9, QStringLiteral("Game.n64"))->refusal(), ROM::Refusal::EntryMissing);
    }
    // With no image name at all, the image signature tells.
    ASSERT_TRUE(ArchiveBuilder().add("a.txt", "text").add("dump.bin", images[2]).writeTo(path("nameless.zip")));
    const auto nameless = read("nameless.zip");
    ASSERT_EQ(nameless.size(), 1u);
    EXPECT_EQ(nameless[0]->archiveEntry(), QStringLiteral("dump.bin"));
    EXPECT_EQ(nameless[0]->MD5(), reference->MD5());
}

// The chooser's list comes from the headers: damage in the data shows only when an entry is read.
TEST_F(RomArchiveTest, ImageEntriesAreListedFromTheHeadersWithoutReadingTheirData)
{
    const QByteArray image = RomImageBuilder().setSize(1 << 20).image();
    for (const char *name : {"four.7z", "four.zip"}) {
        ASSERT_TRUE(ArchiveBuilder().add("Game A.z64", image).add("Game B.v64", image).add("Game C.n64", image)
                        .add("d/Game D.Z64", image).add("readme.txt", "hi").writeTo(path(name)));
        // The last image, read past three unread ones (which libarchive alone loses its place in, in a .7z).
        const auto last = RomArchive::readImage(QUrl::fromLocalFile(path(name)), 3, QStringLiteral("d/Game D.Z64"));
        EXPECT_TRUE(last->isValid() && last->MD5() == md5Hex(image))
            << name << last->refusalReason().toStdString();
        QByteArray bytes = readFile(path(name));
        // Just past the 7z start header, or inside the zip's first entry's data.
        const qsizetype at = QByteArray(name).endsWith(".7z") ? 40 : 60;
        bytes[at] = char(~bytes[at]);
        ASSERT_TRUE(writeBytes(path(name), bytes));
        const RomArchive::Listing listing = RomArchive::listImages(QUrl::fromLocalFile(path(name)));
        ASSERT_EQ(listing.entries.size(), 4u) << name;
        EXPECT_FALSE(listing.refused);
        QStringList names;
        for (const RomArchive::Entry &entry : listing.entries) {
            names.append(QString::number(entry.index) + QLatin1Char(' ') + entry.name);
            EXPECT_EQ(entry.size, 1 << 20);
        }
        EXPECT_EQ(names.join(QLatin1Char(',')), QStringLiteral("0 Game A.z64,1 Game B.v64,2 Game C.n64,3 d/Game D.Z64"));
        EXPECT_EQ(RomArchive::readImage(QUrl::fromLocalFile(path(name)), 0, QStringLiteral("Game A.z64"))->refusal(),
                  ROM::Refusal::EntryDamaged) << name;
    }
    // With no image name at all, the first four bytes tell; with none, the archive is refused.
    ASSERT_TRUE(ArchiveBuilder().add("a.txt", "text").add("dump.bin", RomImageBuilder().image()).writeTo(path("nameless.7z")));
    const auto nameless = RomArchive::listImages(QUrl::fromLocalFile(path("nameless.7z"))).entries;
    EXPECT_TRUE(nameless.size() == 1u && nameless[0].name == QStringLiteral("dump.bin") && nameless[0].index == 1);
    ASSERT_TRUE(ArchiveBuilder().add("a.txt", "text").writeTo(path("none.zip")));
    const auto none = RomArchive::listImages(QUrl::fromLocalFile(path("none.zip")));
    EXPECT_TRUE(none.entries.empty() && none.refused && none.refused->refusal() == ROM::Refusal::NoImageInArchive);
}

TEST_F(RomArchiveTest, HostileAndBrokenArchivesAreRefusedWithTheirReason)
{
    using Refusal = ROM::Refusal;
    const QByteArray image = RomImageBuilder().image();
    ASSERT_TRUE(ArchiveBuilder().add("Game.z64", image).add("Other.z64", image).writeTo(path("good.zip")));
    const QByteArray goodBytes = readFile(path("good.zip"));
    const auto write = [this](const char *name, const QByteArray &bytes) { return writeBytes(path(name), bytes); };
    QByteArray corrupt = goodBytes;
    corrupt[1000] = char(corrupt[1000] ^ 0x55); // inside the first entry's data: its CRC fails
    ASSERT_TRUE(write("corrupt.zip", corrupt) && write("cut.zip", goodBytes.left(3000)) && write("junk.zip", "PK\x03\x04 not really"));
    ASSERT_TRUE(ArchiveBuilder().add("readme.txt", "x").add("inner.zip", goodBytes).addSymlink("link.z64").writeTo(path("none.zip")));
    ASSERT_TRUE(ArchiveBuilder().add("Game.z64", image).setPassword("secret").writeTo(path("encrypted.zip")));
    ArchiveBuilder manyTiny;
    for (int i = 0; i <= RomArchive::maximumImages; ++i)
        manyTiny.add(QByteArray::number(i) + ".z64", "tiny");
    ASSERT_TRUE(manyTiny.writeTo(path("many.zip")));

    // The first record's refusal; the second entry of a damaged one may or may not be read on.
    const std::pair<const char *, Refusal> cases[] = {
        {"corrupt.zip", Refusal::EntryDamaged}, {"cut.zip", Refusal::EntryDamaged}, {"junk.zip", Refusal::ArchiveDamaged},
        {"none.zip", Refusal::NoImageInArchive}, {"encrypted.zip", Refusal::EntryEncrypted},
        {"many.zip", Refusal::TooManyEntries},
    };
    for (const auto &[name, refusal] : cases) {
        const auto records = read(name);
        ASSERT_FALSE(records.empty()) << name;
        EXPECT_EQ(records[0]->refusal(), refusal) << name;
        EXPECT_FALSE(records[0]->isValid()) << name;
    }
    EXPECT_EQ(read("encrypted.zip")[0]->refusalReason(), QStringLiteral("\u201cGame.z64\u201d is encrypted."));
    EXPECT_EQ(read("none.zip")[0]->refusalReason(), QStringLiteral("There is no ROM image inside the archive."));

    // Names that are no safe file names are refused, whatever the entry holds.
    for (const QByteArray &name : {QByteArray("../Game.z64"), QByteArray("/tmp/Game.z64"), QByteArray("a\x01" "b.z64"),
                                   QByteArray("sub\\..\\..\\Game.z64")}) {
        ASSERT_TRUE(ArchiveBuilder().add(name, image).writeTo(path("names.zip")));
        const auto records = read("names.zip");
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0]->refusal(), Refusal::UnsafeEntryName) << name.toHex().constData();
        EXPECT_EQ(RomArchive::extract(LocalPath::fromText(path("names.zip")), 0, records[0]->archiveEntry().value_or(QString()),
                                      [](const char *, std::size_t, qint64) { return true; }),
                  Refusal::UnsafeEntryName);
    }
}

TEST_F(RomArchiveTest, SevenZipWithEncryptedHeadersOrCutShortSaysSo)
{
    const QByteArray image = RomImageBuilder().image();
    ASSERT_TRUE(writeBytes(path("game.z64"), image));
    QProcess sevenZip;
    sevenZip.setWorkingDirectory(m_dir.path());
    sevenZip.start(QStringLiteral("7zr"), {QStringLiteral("a"), QStringLiteral("-psecret"), QStringLiteral("-mhe=on"),
                                           QStringLiteral("locked.7z"), QStringLiteral("game.z64")});
    ASSERT_TRUE(sevenZip.waitForFinished(30000) && sevenZip.exitCode() == 0) << "7zr (p7zip) is needed";
    EXPECT_EQ(read("locked.7z")[0]->refusalReason(), QStringLiteral("The archive is encrypted."));

    ASSERT_TRUE(ArchiveBuilder().add("Game.z64", image).writeTo(path("whole.7z")));
    ASSERT_TRUE(writeBytes(path("cut.7z"), readFile(path("whole.7z")).chopped(40)));
    EXPECT_EQ(read("cut.7z")[0]->refusal(), ROM::Refusal::ArchiveDamaged);
}

} // namespace
