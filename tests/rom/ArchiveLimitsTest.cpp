// Archives built to cost far more than they hold, and names as old and foreign archivers wrote them.
#include "launch/EntryExtractor.h"
#include "library/LibraryRecord.h"
#include "rom/RomArchive.h"
#include "rom/RomSource.h"
#include "support/ArchiveBuilder.h"
#include "support/Bytes.h"
#include "support/RomImageBuilder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>

namespace {

// A zip written byte by byte, so that its headers can say what no archiver writes.
struct RawEntry
{
    QByteArray name, data;
    qint64 declared = -1; // the length its headers give; -1: the data's own
    bool utf8Flag = true;
};

QByteArray rawZip(const QList<RawEntry> &entries, bool shareFirstData = false)
{
    const auto le = [](quint64 v, int n) { QByteArray b; for (int i = 0; i < n; ++i) b += char(v >> 8 * i); return b; };
    QByteArray body, directory, packed;
    quint32 crc = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const RawEntry &entry = entries[i];
        if (i == 0 || entry.data.constData() != entries[i - 1].data.constData()) { // shared data is packed once
            packed = qCompress(entry.data, 9).mid(6).chopped(4); // raw deflate, no zlib wrapper
            crc = ArchiveBuilder::crc32(entry.data);
        }
        const QByteArray common = le(20, 2) + le(entry.utf8Flag ? 0x800 : 0, 2) + le(8, 2) + le(0, 4) + le(crc, 4)
            + le(quint64(packed.size()), 4) + le(quint64(entry.declared >= 0 ? entry.declared : entry.data.size()), 4)
            + le(quint64(entry.name.size()), 2) + le(0, 2);
        directory += le(0x02014b50, 4) + le(20, 2) + common + QByteArray(10, 0) + le(shareFirstData ? 0 : quint64(body.size()), 4) + entry.name;
        if (!shareFirstData || body.isEmpty())
            body += le(0x04034b50, 4) + common + entry.name + packed;
    }
    return body + directory + le(0x06054b50, 4) + le(0, 4) + le(quint64(entries.size()), 2) + le(quint64(entries.size()), 2)
        + le(quint64(directory.size()), 4) + le(quint64(body.size()), 4) + le(0, 2);
}

class ArchiveLimitsTest : public ::testing::Test
{
protected:
    QUrl write(const char *name, const QByteArray &bytes) const
    {
        EXPECT_TRUE(writeBytes(m_dir.filePath(QString::fromUtf8(name)), bytes));
        return QUrl::fromLocalFile(m_dir.filePath(QString::fromUtf8(name)));
    }
    QTemporaryDir m_dir;
    const QByteArray image = RomImageBuilder().setSize(64 << 10).image();
};

// Each refused from its headers or as soon as it unpacks past what it may, never read to its end.
TEST_F(ArchiveLimitsTest, ArchiveBombsAreRefusedBeforeTheyCostMuch)
{
    const QByteArray padded = image + QByteArray(8 << 20, '\0');
    QList<RawEntry> many(20, {"Game.z64", padded});
    const std::tuple<const char *, QByteArray, ROM::Refusal, qint64> cases[] = { // the most of an entry read
        {"declares-65-MiB.zip", rawZip({{"Big.z64", image, qint64(65) << 20}}), ROM::Refusal::EntryTooLarge, 0},
        {"declares-16-KiB.zip", rawZip({{"Lie.z64", padded, 16 << 10}}), ROM::Refusal::EntryDamaged, (16 << 10) + 1},
        {"overlapping.zip", rawZip({{"A.z64", image}, {"B.z64", image}}, true), ROM::Refusal::EntriesOverlap, 0},
        // 20 entries of 8 MiB in a few hundred KiB: past the 4 MiB allowance and 64 times its length.
        {"costly.zip", rawZip(many), ROM::Refusal::ArchiveTooCostly, padded.size()},
    };
    for (const auto &[name, bytes, refusal, most] : cases) {
        const QUrl url = write(name, bytes);
        qint64 mostRead = 0;
        RomArchive::Options options;
        options.inflateAllowance = 4 << 20;
        options.progress = [&mostRead](qint64 done, qint64) { mostRead = std::max(mostRead, done); };
        const auto records = RomArchive::readImages(url, options);
        ASSERT_EQ(records.size(), 1u) << name;
        EXPECT_TRUE(records[0]->refusal() == refusal && !records[0]->refusalReason().isEmpty()) << name;
        const auto sink = [&mostRead](const char *, std::size_t length, qint64) { return (mostRead += qint64(length)) > 0; };
        EXPECT_TRUE(RomArchive::extract(LocalPath::fromUrl(url), 0, records[0]->archiveEntry().value_or(QString()), sink, options));
        EXPECT_LE(mostRead, most) << name;
    }
    const auto good = RomArchive::readImages(write("good.zip", rawZip({{"A.z64", image}, {"B.z64", padded}})));
    EXPECT_TRUE(good.size() == 2u && good[1]->isValid() && good[1]->fileSize() == padded.size());
}

// A zip named .z64 is an archive; one inside an archive is not followed; Cancel is heard
// while a solid .7z is passed through; the private folder's trouble is told.
TEST_F(ArchiveLimitsTest, ArchivesAreKnownByContentDamagedEntriesHaveNoLengthAndCancelIsHeard)
{
    const QByteArray twoImages = rawZip({{"A.z64", image}, {"B.z64", image}});
    const QUrl disguised = write("disguised.z64", twoImages);
    const auto records = RomSource(disguised).readAll();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[1]->isValid() && records[1]->archiveEntry() == QStringLiteral("B.z64"));
    EXPECT_TRUE(RomSource(RomArchive::entryUrl(disguised, 1, QStringLiteral("B.z64"))).read()->isValid());
    const QUrl nested = write("nested.zip", rawZip({{"Inner.z64", twoImages}, {"Game.z64", image}}));
    const auto outer = RomSource(nested).readAll();
    EXPECT_TRUE(outer.size() == 1u && outer[0]->archiveEntry() == QStringLiteral("Game.z64"));
    EXPECT_EQ(RomArchive::readImage(nested, 0, QStringLiteral("Inner.z64"))->refusalReason(),
              QStringLiteral("\u201cInner.z64\u201d is an archive inside the archive; archives inside archives are not read."));
    QByteArray damaged = twoImages;
    damaged[200] = char(~damaged[200]);
    const auto broken = RomArchive::readImages(write("damaged.zip", damaged));
    EXPECT_TRUE(broken[0]->refusal() == ROM::Refusal::EntryDamaged && !broken[0]->fileSize());

    const QString solid = m_dir.filePath(QStringLiteral("solid.7z"));
    ASSERT_TRUE(ArchiveBuilder().add("A.z64", RomImageBuilder().setSize(1 << 20).image()).add("B.z64", image).writeTo(solid));
    std::atomic<bool> cancel{false};
    RomArchive::Options options;
    options.cancel = &cancel;
    options.progress = [&cancel](qint64 passed, qint64 total) { cancel = total < 0 && passed < (1 << 20); };
    bool written = false;
    EXPECT_EQ(RomArchive::extract(LocalPath::fromText(solid), 1, QStringLiteral("B.z64"),
                                  [&written](const char *, std::size_t, qint64) { return written = true; }, options),
              ROM::Refusal::ReadFailed);
    EXPECT_TRUE(cancel && !written);

    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
    write("tolvane-launcher", "a file in the folder's place");
    EntryExtractor extractor;
    QString error;
    QObject::connect(&extractor, &EntryExtractor::finished, [&error](const QString &, const QString &why) { error = why; });
    extractor.start(LocalPath::fromUrl(nested), 1, QStringLiteral("Game.z64"));
    qputenv("XDG_RUNTIME_DIR", runtime);
    EXPECT_EQ(error, QStringLiteral("The private folder for extracted games, %1/tolvane-launcher, cannot be made: a file that is not a folder is in its place.")
                         .arg(m_dir.path()));
}

// libarchive gives names in the locale's character set: in the C locale, none beyond ASCII.
TEST_F(ArchiveLimitsTest, EntryNamesReadTheSameUnderAnyLocaleAndOldZipNamesAsCodePage437)
{
    const QByteArray callersLocale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C.UTF-8"); // for the 7z writer, which stores names as UTF-16
    const QString japanese = QStringLiteral("Pok\u00e9mon \u65e5\u672c.z64");
    ASSERT_TRUE(ArchiveBuilder().add(japanese.toUtf8(), image).writeTo(m_dir.filePath(QStringLiteral("names.7z"))));
    const std::pair<QUrl, QString> cases[] = {
        {QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("names.7z"))), japanese},
        {write("flagged.zip", rawZip({{japanese.toUtf8(), image}})), japanese},
        {write("old.zip", rawZip({{"Caf\x82 \xff\xfe.z64", image, -1, false}})), QStringLiteral("Caf\u00e9 \u00a0\u25a0.z64")},
    };
    std::setlocale(LC_ALL, "C");
    for (const auto &[url, name] : cases) {
        const RomArchive::Listing listing = RomArchive::listImages(url);
        EXPECT_TRUE(listing.entries.size() == 1u && listing.entries[0].name == name) << url.fileName().toStdString();
        const auto records = RomArchive::readImages(url);
        EXPECT_TRUE(records[0]->isValid() && records[0]->archiveEntry() == name) << records[0]->refusalReason().toStdString();
    }
    std::setlocale(LC_ALL, callersLocale.constData());

    // An extracted copy's name is cut by bytes, between characters, with its extension kept.
    const QByteArray fileName = EntryExtractor::fileNameFor(QString(94, QChar(0x65e5)) + QStringLiteral(".z64")).toUtf8();
    EXPECT_TRUE(fileName.size() <= 255 && fileName.endsWith("\xe6\x97\xa5.z64") && QString::fromUtf8(fileName).toUtf8() == fileName);

    // Such refusals cached by a reader that took names for the locale's are read again.
    ROM refused;
    refused.setRefusal(ROM::Refusal::UnsafeEntryName);
    QByteArray older = LibraryRecord::fromROM("/a.zip", FileStamp(), refused).encode();
    LibraryRecord record;
    EXPECT_TRUE(record.decode(older) && record.stamp.trusted);
    older[1] = char(older[1] & ~4);
    EXPECT_TRUE(record.decode(older) && !record.stamp.trusted);
}

} // namespace
