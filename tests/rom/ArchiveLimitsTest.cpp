// Archives built to cost far more than they hold, and names as old and foreign archivers wrote them.
#include "launch/EntryExtractor.h"
#include "library/LibraryRecord.h"
#include "rom/RomArchive.h"
#include "rom/RomSource.h"
#include "support/ArchiveBuilder.h"
#include "support/RomImageBuilder.h"

#include <QProcess>
#include <QTemporaryDir>

#include <clocale>

#include <gtest/gtest.h>

namespace {

// A zip written byte by byte, so that its headers can say what no archiver writes.
struct RawEntry
{
    QByteArray name;
    QByteArray data;
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
        // Entries sharing their data are packed once.
        if (i == 0 || entry.data.constData() != entries[i - 1].data.constData()) {
            packed = qCompress(entry.data, 9).mid(6).chopped(4); // raw deflate, no zlib wrapper
            crc = ArchiveBuilder::crc32(entry.data);
        }
        const quint64 declared = quint64(entry.declared >= 0 ? entry.declared : entry.data.size());
        const QByteArray common = le(20, 2) + le(entry.utf8Flag ? 0x800 : 0, 2) + le(8, 2) + le(0, 4)
            + le(crc, 4) + le(quint64(packed.size()), 4) + le(declared, 4)
            + le(quint64(entry.name.size()), 2) + le(0, 2);
        const quint64 offset = shareFirstData ? 0 : quint64(body.size());
        if (!shareFirstData || body.isEmpty())
            body += le(0x04034b50, 4) + common + entry.name + packed;
        directory += le(0x02014b50, 4) + le(20, 2) + common + le(0, 2 + 2 + 2 + 4) + le(offset, 4) + entry.name;
    }
    return body + directory + le(0x06054b50, 4) + le(0, 4) + le(quint64(entries.size()), 2) + le(quint64(entries.size()), 2)
        + le(quint64(directory.size()), 4) + le(quint64(body.size()), 4) + le(0, 2);
}

class ArchiveLimitsTest : public ::testing::Test
{
protected:
    QUrl write(const char *name, const QByteArray &bytes) const
    {
        QFile file(m_dir.filePath(QString::fromUtf8(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return QUrl::fromLocalFile(file.fileName());
    }
    QTemporaryDir m_dir;
};

// Each refused from its headers or as soon as it unpacks past what it may, never read to its end.
TEST_F(ArchiveLimitsTest, ArchiveBombsAreRefusedBeforeTheyCostMuch)
{
    using Refusal = ROM::Refusal;
    const QByteArray image = RomImageBuilder().setSize(64 << 10).image();
    const QByteArray zeros(8 << 20, '\0');
    const QByteArray padded = image + zeros;
    QList<RawEntry> many;
    for (int i = 0; i < 20; ++i)
        many.append({"Game " + QByteArray::number(i) + ".z64", padded});
    const struct
    {
        const char *name;
        QByteArray bytes;
        Refusal refusal;
        qint64 mostRead; // the largest count of an entry's bytes read
    } cases[] = {
        {"declares-65-MiB.zip", rawZip({{"Big.z64", image, (qint64(65) << 20)}}), Refusal::EntryTooLarge, 0},
        {"declares-16-KiB.zip", rawZip({{"Lie.z64", padded, 16 << 10}}), Refusal::EntryDamaged, (16 << 10) + 1},
        {"overlapping.zip", rawZip({{"A.z64", image}, {"B.z64", image}, {"C.z64", image}}, true), Refusal::EntriesOverlap, 0},
        // 20 entries of 8 MiB in a few hundred KiB: past the 4 MiB allowance and 64 times its length.
        {"costly.zip", rawZip(many), Refusal::ArchiveTooCostly, qint64(8 << 20) + (64 << 10)},
    };
    for (const auto &item : cases) {
        const QUrl url = write(item.name, item.bytes);
        qint64 mostRead = 0;
        RomArchive::Options options;
        options.inflateAllowance = 4 << 20;
        options.progress = [&mostRead](qint64 done, qint64) { mostRead = std::max(mostRead, done); };
        const auto records = RomArchive::readImages(url, options);
        ASSERT_EQ(records.size(), 1u) << item.name;
        EXPECT_EQ(records[0]->refusal(), item.refusal) << item.name;
        EXPECT_FALSE(records[0]->refusalReason().isEmpty());
        EXPECT_LE(mostRead, item.mostRead) << item.name;
        qint64 extracted = 0;
        const auto refusal = RomArchive::extract(LocalPath::fromUrl(url), 0, records[0]->archiveEntry().value_or(QString()),
                                                 [&extracted](const char *, std::size_t length, qint64) {
                                                     extracted += qint64(length);
                                                     return true;
                                                 }, options);
        EXPECT_TRUE(refusal.has_value()) << item.name;
        EXPECT_LE(extracted, item.mostRead) << item.name;
    }
    // Within its bounds the same zip writer's archive reads whole.
    const auto good = RomArchive::readImages(write("good.zip", rawZip({{"A.z64", image}, {"B.z64", padded}})));
    ASSERT_EQ(good.size(), 2u);
    EXPECT_TRUE(good[0]->isValid() && good[1]->isValid() && good[1]->fileSize() == padded.size());
}

// What a file is, its bytes tell: a zip named .z64 is an archive, a zip inside one is not followed.
TEST_F(ArchiveLimitsTest, ArchivesAreKnownByTheirContentAndDamagedEntriesHaveNoLength)
{
    const QByteArray image = RomImageBuilder().image();
    const QByteArray twoImages = rawZip({{"A.z64", image}, {"B.z64", image}});
    const QUrl disguised = write("disguised.z64", twoImages);
    const auto records = RomSource(disguised).readAll();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[1]->isValid() && records[1]->archiveEntry() == QStringLiteral("B.z64") && records[1]->fileSize() == image.size());
    EXPECT_EQ(RomSource(disguised).read()->archiveEntry(), QStringLiteral("A.z64"));
    EXPECT_TRUE(RomSource(RomArchive::entryUrl(disguised, 1, QStringLiteral("B.z64"))).read()->isValid());

    const QUrl nested = write("nested.zip", rawZip({{"Inner.z64", twoImages}, {"Game.z64", image}}));
    const auto outer = RomSource(nested).readAll();
    ASSERT_EQ(outer.size(), 1u);
    EXPECT_EQ(outer[0]->archiveEntry(), QStringLiteral("Game.z64"));
    EXPECT_EQ(RomArchive::readImage(nested, 0, QStringLiteral("Inner.z64"))->refusalReason(),
              QStringLiteral("\u201cInner.z64\u201d is an archive inside the archive; archives inside archives are not read."));

    // A damaged entry's length is not known: its header's is what failed to match.
    QByteArray damaged = twoImages;
    damaged[200] = char(~damaged[200]);
    const auto broken = RomArchive::readImages(write("damaged.zip", damaged));
    ASSERT_FALSE(broken.empty());
    EXPECT_EQ(broken[0]->refusal(), ROM::Refusal::EntryDamaged);
    EXPECT_FALSE(broken[0]->fileSize().has_value());

    // Play's extraction says why its private folder cannot be made, and where it is.
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

// Reaching the last entry of a solid .7z reads through the others: Cancel is heard meanwhile.
TEST_F(ArchiveLimitsTest, CancelIsHeardWhilePassingThroughASolidArchive)
{
    ArchiveBuilder builder;
    for (const char *name : {"A.z64", "B.z64", "C.z64"})
        builder.add(name, RomImageBuilder().setSize(1 << 20).setName(name).image());
    const QString path = m_dir.filePath(QStringLiteral("solid.7z"));
    ASSERT_TRUE(builder.writeTo(path));
    std::atomic<bool> cancel{false};
    RomArchive::Options options;
    options.cancel = &cancel;
    qint64 passed = 0;
    options.progress = [&](qint64 done, qint64 total) {
        passed = done;
        cancel = total < 0;
    };
    bool written = false;
    const auto refusal = RomArchive::extract(LocalPath::fromText(path), 2, QStringLiteral("C.z64"),
                                             [&written](const char *, std::size_t, qint64) { return written = true; }, options);
    EXPECT_EQ(refusal, ROM::Refusal::ReadFailed);
    EXPECT_FALSE(written);
    EXPECT_GT(passed, 0);
    EXPECT_LT(passed, 1 << 20);
}

// libarchive gives names in the locale's character set: in the C locale, none beyond ASCII.
TEST_F(ArchiveLimitsTest, EntryNamesReadTheSameUnderAnyLocaleAndOldZipNamesAsCodePage437)
{
    const QByteArray image = RomImageBuilder().image();
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
        ASSERT_EQ(listing.entries.size(), 1u) << url.fileName().toStdString();
        EXPECT_EQ(listing.entries[0].name, name);
        const auto records = RomArchive::readImages(url);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_TRUE(records[0]->isValid()) << records[0]->refusalReason().toStdString();
        EXPECT_EQ(records[0]->archiveEntry(), name);
        EXPECT_TRUE(RomArchive::readImage(url, 0, name)->isValid());
    }
    std::setlocale(LC_ALL, callersLocale.constData());
    // So does tolvane-rominfo, whatever the locale it is started in.
    QProcess rominfo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    rominfo.setProcessEnvironment(environment);
    rominfo.start(QStringLiteral(TOLVANE_ROMINFO_PATH), {QStringLiteral("--json"), cases[0].first.toLocalFile(), cases[1].first.toLocalFile()});
    ASSERT_TRUE(rominfo.waitForFinished(30000));
    EXPECT_EQ(rominfo.exitCode(), 0) << rominfo.readAllStandardError().constData();
    EXPECT_EQ(QString::fromUtf8(rominfo.readAllStandardOutput()).count(japanese), 2);

    // An extracted copy's name is cut by bytes, between characters, with its extension kept.
    const QString longName = QString(94, QChar(0x65e5)) + QStringLiteral(".z64");
    const QByteArray fileName = EntryExtractor::fileNameFor(longName).toUtf8();
    EXPECT_LE(fileName.size(), 255);
    EXPECT_TRUE(fileName.endsWith(QByteArray("\xe6\x97\xa5.z64")));
    EXPECT_EQ(QString::fromUtf8(fileName).toUtf8(), fileName);

    // Such refusals cached by a reader that took names for the locale's are read again.
    ROM refused;
    refused.setRefusal(ROM::Refusal::UnsafeEntryName);
    const QByteArray stored = LibraryRecord::fromROM("/a.zip", FileStamp(), refused).encode();
    QByteArray older = stored;
    older[1] = char(older[1] & ~4);
    LibraryRecord record;
    EXPECT_TRUE(record.decode(stored) && record.stamp.trusted);
    EXPECT_TRUE(record.decode(older) && !record.stamp.trusted);
}

} // namespace
