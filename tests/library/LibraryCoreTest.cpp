#include "library/FolderWalker.h"
#include "library/LibraryScanner.h"
#include "library/ParallelReader.h"
#include "rom/ArchiveWindow.h"
#include "rom/RomArchive.h"
#include "support/ArchiveBuilder.h"
#include "support/Bytes.h"
#include "support/RomImageBuilder.h"
#include "LibraryFixture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using LibraryCoreTest = LibraryFixture;

// Root writes anywhere; without these this thread is held to the file modes like anyone.
bool setDacOverride(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    const quint32 bits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    data[0].effective = on ? data[0].effective | (bits & data[0].permitted) : data[0].effective & ~bits;
    return ::syscall(SYS_capset, &header, data) == 0;
}

TEST_F(LibraryCoreTest, walkerFindsRomNamesInAnyCaseAtAnyDepthOnceAndNeverLoops)
{
    const QString one = file(QStringLiteral("lib/one.z64"));
    const QString two = file(QStringLiteral("lib/a/b/TWO.V64"));
    const QString three = file(QStringLiteral("lib/c/three.N64"));
    file(QStringLiteral("lib/readme.txt"));
    file(QStringLiteral("lib/c/three.n64.bak"));
    file(QStringLiteral("lib/c/z64"));
    QDir(m_dir.path()).mkpath(QStringLiteral("lib/folder.z64"));
    const QString pipe = m_dir.filePath(QStringLiteral("lib/c/pipe.z64"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString dangling = link(m_dir.filePath(QStringLiteral("nowhere")), QStringLiteral("lib/gone.z64"));
    link(m_dir.filePath(QStringLiteral("lib")), QStringLiteral("lib/a/b/loop"));
    link(m_dir.filePath(QStringLiteral("lib/c")), QStringLiteral("lib/again"));
    link(QStringLiteral("/proc"), QStringLiteral("lib/proc"));
    const QString outside = file(QStringLiteral("elsewhere/linked.z64"));
    link(outside, QStringLiteral("lib/linked.z64"));

    FolderWalker walker;
    const auto entries = walker.walk({m_dir.filePath(QStringLiteral("lib")), m_dir.filePath(QStringLiteral("missing"))});
    QMap<QString, qint64> found;
    for (const FolderWalker::Entry &entry : entries) {
        EXPECT_FALSE(found.contains(QFile::decodeName(entry.path))) << entry.path.constData();
        found.insert(QFile::decodeName(entry.path), entry.stamp.size);
    }
    const QString linked = m_dir.filePath(QStringLiteral("lib/linked.z64"));
    QStringList expected{dangling, linked, one, two, pipe, three};
    expected.sort();
    EXPECT_EQ(found.keys().join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
    EXPECT_EQ(found.value(one), 8192);
    EXPECT_EQ(found.value(linked), 8192); // followed to its file
    EXPECT_EQ(found.value(dangling), -1);
    EXPECT_FALSE(walker.walkedFolders().contains(m_dir.filePath(QStringLiteral("lib/proc"))));
    ASSERT_EQ(walker.problems().size(), 1);
    EXPECT_TRUE(walker.problems().constFirst().contains(m_dir.filePath(QStringLiteral("missing"))));

    for (const auto &[name, rom] : {std::pair{"a.z64", true}, std::pair{"B.Z64", true}, std::pair{"c.N64", true},
                                    std::pair{"d.v64", true}, std::pair{".z64", false}, std::pair{"e.x64", false},
                                    std::pair{"f.z65", false}, std::pair{"g.z64 ", false}, std::pair{"hz64", false}})
        EXPECT_EQ(FolderWalker::hasRomExtension(name, std::strlen(name)), rom) << name;
}

TEST_F(LibraryCoreTest, cacheReadsOnlyChangedFilesAndIsRebuiltWhenUnusable)
{
    const QString one = file(QStringLiteral("lib/one.z64"));
    const QString two = file(QStringLiteral("lib/two.n64"));
    file(QStringLiteral("lib/short.v64"), 100);

    // What a scan wrote is in the file when it ends, not only in the log that a kill leaves.
    qint64 logged = -1;
    ScanResult first = scan(cache(), folders(), [&](LibraryScanner &scanner) {
        QObject::connect(&scanner, &LibraryScanner::finished, [&] { logged = QFileInfo(cache() + QStringLiteral("-wal")).size(); });
    });
    EXPECT_EQ(first.counts, std::tuple(3, 0, 3));
    EXPECT_TRUE(first.messages.isEmpty()) << first.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(logged, 0);

    // Everything comes back from the cache as it was read, refusals included.
    ScanResult second = scan(cache(), folders());
    EXPECT_EQ(second.counts, std::tuple(3, 3, 0));
    ASSERT_EQ(second.found.size(), 3);
    for (const LibraryRecord &record : second.found) {
        const auto fields = [](const ROM &r) { return std::tuple(r.filePath(), r.name(), r.gameCode(), r.CRC1(), r.CRC2(), r.cic(), r.MD5(), r.byteOrder(), r.fileSize(), r.regionCode(), r.refusal()); };
        EXPECT_EQ(fields(*record.toROM()), fields(*ROM::romFromURL(QUrl::fromLocalFile(record.filePath()))));
    }

    // A new size, a new time, a replaced file: each is read again; a removed one is dropped.
    ASSERT_TRUE(RomImageBuilder().setSize(12288).writeTo(one));
    backdate(one);
    struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 5}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(two).constData(), times, 0), 0);
    ASSERT_TRUE(QFile::remove(m_dir.filePath(QStringLiteral("lib/short.v64"))));
    ScanResult third = scan(cache(), folders());
    EXPECT_EQ(third.counts, std::tuple(2, 0, 2));
    EXPECT_EQ(third.removed, QList<QByteArray>{QFile::encodeName(m_dir.filePath(QStringLiteral("lib/short.v64")))});

    // Damaged or from another version: set aside (never over an earlier one), rebuilt, and said so.
    for (const QByteArray &damage : {QByteArray("this is not a database at all, just text").repeated(200), QByteArray()}) {
        QFile out(cache());
        ASSERT_TRUE(out.open(QIODevice::ReadWrite));
        if (!damage.isEmpty())
            out.write(damage);
        else
            out.seek(60) && out.write(QByteArray::fromHex("00000007")); // user_version, big-endian
        out.close();
        ScanResult rebuilt = scan(cache(), folders());
        EXPECT_EQ(rebuilt.counts, std::tuple(2, 0, 2));
        ASSERT_EQ(rebuilt.messages.size(), 1);
        EXPECT_TRUE(rebuilt.messages.constFirst().contains(QStringLiteral("set aside"))) << rebuilt.messages.constFirst().toStdString();
        EXPECT_EQ(scan(cache(), folders()).counts, std::tuple(2, 2, 0));
    }
    const auto setAside = [&]() { return QDir(QFileInfo(cache()).path()).entryList({QStringLiteral("*.unusable*")}); };
    EXPECT_EQ(setAside(), QStringList({QStringLiteral("library.sqlite.unusable"), QStringLiteral("library.sqlite.unusable-2")}));

    // One row that does not decode costs one read, one whose key does not is deleted; a write
    // lock let go before the scan ends costs nothing, and one held past a scan's end is tried
    // again at the next scan of the session.
    file(QStringLiteral("lib/three.z64"));
    LibraryScanner session(cache(), 1);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(cache());
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        query.prepare(QStringLiteral("UPDATE roms SET record = x'00' WHERE path = ?"));
        query.addBindValue(QFile::encodeName(one));
        ASSERT_TRUE(query.exec());
        query.prepare(QStringLiteral("INSERT INTO roms (path, record) VALUES (?, x'00')"));
        query.addBindValue(QByteArray("/lib/gone.zip\0x", 15));
        ASSERT_TRUE(query.exec() && query.exec(QStringLiteral("BEGIN IMMEDIATE")));
        ScanResult locked = scan(cache(), folders(), [&](LibraryScanner &scanner) {
            QObject::connect(&scanner, &LibraryScanner::progress, [&](int read, int toRead) {
                if (read == toRead && read > 0)
                    query.exec(QStringLiteral("ROLLBACK"));
            });
        });
        EXPECT_EQ(locked.counts, std::tuple(3, 1, 2));
        EXPECT_TRUE(locked.messages.isEmpty()) << locked.messages.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(query.exec(QStringLiteral("SELECT count(*) FROM roms")) && query.next() && query.value(0).toInt() == 3);
        ASSERT_TRUE(query.exec(QStringLiteral("BEGIN IMMEDIATE")));
        file(QStringLiteral("lib/four.z64"));
        session.scan(folders());
        query.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    file(QStringLiteral("lib/five.z64"));
    session.scan(folders());
    EXPECT_EQ(scan(cache(), folders()).counts, std::tuple(5, 5, 0));

    // A write that fails (a full disk; here a file size limit) keeps the cache as it is and stops writing.
    file(QStringLiteral("lib/six.z64"));
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit unlimited;
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    ScanResult full = scan(cache(), folders(), [&](LibraryScanner &scanner) {
        QObject::connect(&scanner, &LibraryScanner::recordsFound, [&]() {
            const struct rlimit small{4096, unlimited.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &small);
        });
        QObject::connect(&scanner, &LibraryScanner::finished, [&]() { ::setrlimit(RLIMIT_FSIZE, &unlimited); });
    });
    EXPECT_EQ(full.counts, std::tuple(6, 5, 1));
    ASSERT_EQ(full.messages.size(), 1);
    EXPECT_TRUE(full.messages.constFirst().contains(QStringLiteral("not updated"))) << full.messages.constFirst().toStdString();
    EXPECT_EQ(setAside().size(), 2);
    EXPECT_EQ(scan(cache(), folders()).counts, std::tuple(6, 5, 1));

    // A cache folder that cannot be written: the cache there is read and used.
    const QString cacheFolder = QFileInfo(cache()).path();
    ASSERT_TRUE(QFile::setPermissions(cacheFolder, QFile::ReadOwner | QFile::ExeOwner));
    ASSERT_TRUE(setDacOverride(false));
    ScanResult readOnly = scan(cache(), folders());
    EXPECT_TRUE(setDacOverride(true));
    QFile::setPermissions(cacheFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readOnly.counts, std::tuple(6, 6, 0));
    ASSERT_EQ(readOnly.messages.size(), 1);
    EXPECT_TRUE(readOnly.messages.constFirst().contains(QStringLiteral("cannot be written")));

    // A cache folder that cannot be made: the library still works, from memory.
    file(QStringLiteral("blocked"));
    ScanResult unwritable = scan(m_dir.filePath(QStringLiteral("blocked/library.sqlite")), folders());
    EXPECT_EQ(unwritable.counts, std::tuple(6, 0, 6));
    ASSERT_EQ(unwritable.messages.size(), 1);
    EXPECT_TRUE(unwritable.messages.constFirst().contains(QStringLiteral("cannot be written")));
}

TEST_F(LibraryCoreTest, scannerWatchesFromTheStartEvenAfterCancelAndKeepsWhatCannotBeReached)
{
    const QString one = file(QStringLiteral("lib/one.z64"));
    const QString two = file(QStringLiteral("lib/sub/two.z64"));
    setTime(one, 1000000000);
    setTime(two, QDateTime::currentSecsSinceEpoch() + 3600); // a clock set wrong is no copy under way

    LibraryScanner scanner(cache(), 1);
    int changes = 0;
    bool recentChange = true;
    std::tuple<int, int, int> counts;
    QList<LibraryRecord> found;
    std::function<void()> duringScan;
    QObject::connect(&scanner, &LibraryScanner::foldersChanged, [&]() { ++changes; });
    QObject::connect(&scanner, &LibraryScanner::recordsFound, [&](const QList<LibraryRecord> &records) {
        found += records;
        if (duringScan)
            std::exchange(duringScan, {})();
    });
    QObject::connect(&scanner, &LibraryScanner::finished, [&](int total, int fromCache, int read, bool, const QStringList &, const QStringList &, bool recent) {
        counts = {total, fromCache, read};
        recentChange = recent;
    });

    // Written in place while the first scan reads, and that scan cancelled: told once it ends.
    duringScan = [&]() {
        ASSERT_TRUE(RomImageBuilder().setName("PATCHED").writeTo(one));
        backdate(one);
        scanner.cancel();
    };
    scanner.scan(folders());
    EXPECT_TRUE(waitForChange(changes));
    EXPECT_FALSE(recentChange);
    // Still watched after the Cancel.
    file(QStringLiteral("lib/sub/three.z64"));
    EXPECT_TRUE(waitForChange(changes));
    scanner.scan(folders());
    EXPECT_EQ(std::get<0>(counts), 3);

    // A library folder gone away keeps its rows, shown as not available; back unchanged, nothing is read.
    const QString away = m_dir.filePath(QStringLiteral("away"));
    ASSERT_TRUE(QDir().rename(folders().constFirst(), away));
    found.clear();
    scanner.scan(folders());
    EXPECT_EQ(counts, std::tuple(0, 0, 0));
    ASSERT_EQ(found.size(), 3);
    for (const LibraryRecord &record : found)
        EXPECT_EQ(record.unreachableFolder, QFile::encodeName(folders().constFirst()));
    ASSERT_TRUE(QDir().rename(away, folders().constFirst()));
    ASSERT_TRUE(QFile::remove(two)); // really gone from a folder that is there: removed
    found.clear();
    scanner.scan(folders());
    EXPECT_EQ(counts, std::tuple(2, 2, 0));
    ASSERT_EQ(found.size(), 2);
    EXPECT_TRUE(found.constFirst().unreachableFolder.isEmpty());
}

TEST_F(LibraryCoreTest, namesThatAreNotUtf8AreReadByTheirBytesAndAFolderThatCannotBeReadIsNamed)
{
    // Latin-1 names from an old disk: an image, and an archive holding one.
    const QByteArray lib = QFile::encodeName(m_dir.filePath(QStringLiteral("lib"))), cafe = lib + "/caf\xe9.z64";
    ASSERT_EQ(::rename(QFile::encodeName(file(QStringLiteral("lib/cafe"))).constData(), cafe.constData()), 0);
    ASSERT_TRUE(ArchiveBuilder().add("in.z64", RomImageBuilder().image()).writeTo(m_dir.filePath(QStringLiteral("a.zip"))));
    ASSERT_EQ(::rename(QFile::encodeName(m_dir.filePath(QStringLiteral("a.zip"))).constData(), (lib + "/\xe9t\xe9.zip").constData()), 0);
    // A subfolder this user may not read (root is held to the file modes for the scan).
    const QByteArray locked = QFile::encodeName(QFileInfo(file(QStringLiteral("lib/locked/hidden.z64"))).path());
    ASSERT_EQ(::chmod(locked.constData(), 0), 0);
    ASSERT_TRUE(setDacOverride(false));
    const ScanResult result = scan(m_dir.filePath(QStringLiteral("cache.sqlite")), {QFile::decodeName(lib)});
    EXPECT_TRUE(setDacOverride(true));
    ::chmod(locked.constData(), 0700);
    ASSERT_EQ(result.found.size(), 2);
    for (const LibraryRecord &record : result.found) {
        EXPECT_TRUE(record.valid) << record.refusalReason().toStdString();
        // What Enter opens for an unchanged row.
        const QUrl url = *record.toROM()->filePath();
        EXPECT_TRUE((record.entryIndex < 0 ? ROM::romFromURL(url) : RomArchive::readImage(url, record.entryIndex, record.entry))->isValid());
        EXPECT_EQ(record.fileName(), record.entryIndex < 0 ? QStringLiteral("caf\ufffd.z64") : QStringLiteral("\ufffdt\ufffd.zip \u25b8 in.z64"));
    }
    ASSERT_EQ(result.problems.size(), 1);
    EXPECT_TRUE(result.problems[0].contains(QFile::decodeName(locked)) && result.problems[0].contains(QString::fromLocal8Bit(std::strerror(EACCES))))
        << result.problems[0].toStdString();
}

TEST_F(LibraryCoreTest, archivesGiveARowPerImageThatTheCacheKeepsByEntry)
{
    QDir().mkpath(folders()[0]);
    RomImageBuilder builder;
    const QByteArray a = builder.setName(QByteArray("A", 2)).image(), b = builder.setName(QByteArray("B", 2)).setByteOrder(RomImageBuilder::ByteOrder::V64).image();
    const QString pair = m_dir.filePath(QStringLiteral("lib/pair.zip"));
    ASSERT_TRUE(ArchiveBuilder().add("A.z64", a).add("B.v64", b).writeTo(pair));
    ASSERT_TRUE(ArchiveBuilder().add("readme.txt", "none").writeTo(m_dir.filePath(QStringLiteral("lib/empty.7z"))));
    ASSERT_TRUE(ArchiveBuilder().add("C.n64", a).writeTo(m_dir.filePath(QStringLiteral("lib/Single.ZIP"))));
    for (const QString &name : QDir(folders()[0]).entryList(QDir::Files))
        backdate(folders()[0] + QLatin1Char('/') + name);
    const auto rows = [](const ScanResult &result) {
        QStringList texts;
        for (const LibraryRecord &record : result.found)
            texts.append(record.fileName() + QLatin1Char(' ') + (record.valid ? record.name() : record.refusalReason()));
        texts.sort();
        return texts.join(QLatin1Char('|')).toStdString();
    };
    const std::string expected = "Single.ZIP \u25b8 C.n64 A|empty.7z There is no ROM image inside the archive.|"
                                 "pair.zip \u25b8 A.z64 A|pair.zip \u25b8 B.v64 B";
    const ScanResult first = scan(cache(), folders());
    EXPECT_EQ(first.counts, std::tuple(3, 0, 3));
    EXPECT_EQ(rows(first), expected);
    const ScanResult second = scan(cache(), folders());
    EXPECT_EQ(second.counts, std::tuple(3, 3, 0));
    EXPECT_EQ(rows(second), expected);
    for (const LibraryRecord &record : second.found)
        EXPECT_EQ(record.toROM()->archiveEntry(), record.entryIndex < 0 ? std::nullopt : std::optional(record.entry));

    // Read again when it changes; the rows it no longer gives go from the list and the cache.
    ASSERT_TRUE(QFile::remove(pair) && ArchiveBuilder().add("B.v64", b).writeTo(pair));
    backdate(pair);
    const ScanResult third = scan(cache(), folders());
    EXPECT_EQ(third.counts, std::tuple(3, 2, 1));
    const QByteArray pairPath = QFile::encodeName(pair);
    EXPECT_EQ(third.removed, QList<QByteArray>({pairPath + QByteArray("\0" "0\0A.z64", 8), pairPath + QByteArray("\0" "1\0B.v64", 8)}));
    EXPECT_EQ(scan(cache(), folders()).found.size(), 3);
}

TEST_F(LibraryCoreTest, archivesWithALargeWindowAreReadOneAtATime)
{
    const QByteArray image = RomImageBuilder().setSize(2 << 20).image();
    std::vector<QByteArray> paths;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        EXPECT_TRUE(writeBytes(m_dir.filePath(name), bytes));
        paths.push_back(QFile::encodeName(m_dir.filePath(name)));
        return paths.back();
    };
    for (int i = 0; i < 4; ++i)
        write(QStringLiteral("big%1.7z").arg(i), ArchiveBuilder::sevenZipWithWindow("Big.z64", image, 28));
    EXPECT_EQ(ArchiveWindow::ofFile(paths[0]), 64u << 20);
    EXPECT_EQ(ArchiveWindow::ofFile(write(QStringLiteral("mid.7z"), ArchiveBuilder::sevenZipWithWindow("Mid.z64", image, 24))), 16u << 20);
    // libarchive packs the header, as 7-Zip does for many files.
    ASSERT_TRUE(ArchiveBuilder().add("Small.z64", RomImageBuilder().image()).writeTo(m_dir.filePath(QStringLiteral("packed.7z"))));
    const std::uint64_t packed = ArchiveWindow::ofFile(QFile::encodeName(m_dir.filePath(QStringLiteral("packed.7z"))));
    EXPECT_TRUE(packed > 0 && packed <= ParallelReader::largeWindow) << packed;

    std::atomic<int> valid{0};
    ParallelReader::readAll(paths, 2, [&](std::size_t, ParallelReader::Records records) { valid += records.at(0)->isValid(); });
    EXPECT_EQ(valid, 5);
    EXPECT_EQ(ParallelReader::mostLargeReadsAtOnce(), 1);
}

} // namespace
