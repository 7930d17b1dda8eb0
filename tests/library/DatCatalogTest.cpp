#include "library/DatCatalog.h"
#include "library/DatRename.h"
#include "library/GameLibrary.h"
#include "library/LibraryCache.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryFolders.h"
#include "library/LibraryModel.h"

#include "support/TestWorld.h"

#include <QFile>
#include <QSignalSpy>
#include <QUrl>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <sys/stat.h>

namespace {

QByteArray datOf(const char *game)
{
    return QByteArray("game ( name \"") + game + "\" rom ( name \"a.z64\" size 8192 md5 0123456789abcdef0123456789abcdef ) )\n";
}

QString verifiedName(const DatCatalog &catalog)
{
    return catalog.index()->statusOf(QStringLiteral("0123456789abcdef0123456789abcdef"), 8192, QString(), QString()).gameName;
}

} // namespace

TEST(DatCatalogTest, ParsesOnlyWhatChangedAndKeepsTheRestInTheCache)
{
    TestWorld world;
    const QString path = world.writeFile(QStringLiteral("n64.dat"), datOf("Game One"));
    EXPECT_TRUE(DatCatalog::add(path) && !DatCatalog::add(path));
    struct stat before;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    {
        LibraryCache cache(world.path(QStringLiteral("cache.sqlite")));
        cache.open();
        DatCatalog catalog(&cache);
        EXPECT_TRUE(catalog.refresh(DatCatalog::paths()));
        EXPECT_EQ(verifiedName(catalog), QStringLiteral("Game One"));
        EXPECT_FALSE(catalog.refresh(DatCatalog::paths()));
    }
    {
        // A start reads its DAT files once the first scan has ended, not beside it.
        LibraryFolders::setFolders({world.path(QString())});
        GameLibrary library;
        QSignalSpy scanned(&library, &GameLibrary::scanFinished), read(&library, &GameLibrary::datsChanged);
        QObject::connect(&library, &GameLibrary::datsChanged, [&] { EXPECT_EQ(scanned.size(), 1); });
        library.start();
        EXPECT_TRUE(read.wait(kTimeoutMs) && library.datSummaries().value(path) == QStringLiteral("n64.dat, 1 game"));
    }
    // The same length and time, other contents: a start takes the cache's parse, not the file.
    world.writeFile(QStringLiteral("n64.dat"), datOf("Game Two"));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    LibraryCache cache(world.path(QStringLiteral("cache.sqlite")));
    cache.open();
    DatCatalog catalog(&cache);
    catalog.refresh(DatCatalog::paths());
    EXPECT_EQ(verifiedName(catalog), QStringLiteral("Game One"));
    // A new time is a change: read again, and every status follows.
    const timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 1, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), later, 0), 0);
    EXPECT_TRUE(catalog.refresh(DatCatalog::paths()));
    EXPECT_EQ(verifiedName(catalog), QStringLiteral("Game Two"));
    // No DAT left: no status at all, and the cache forgets the file.
    EXPECT_TRUE(DatCatalog::remove(path));
    EXPECT_TRUE(catalog.refresh(DatCatalog::paths()));
    EXPECT_EQ(catalog.index()->statusOf(QStringLiteral("0123456789abcdef0123456789abcdef"), 8192, QString(), QString()).kind,
              DatStatus::Kind::None);
    EXPECT_TRUE(cache.cachedDat(path, before.st_size, qint64(before.st_mtim.tv_sec + 1) * 1000000000).isEmpty());
}

namespace {

LibraryRecord game(int number, const QString &fileName, const QString &entry = QString(), qint64 size = 8192)
{
    ROM rom;
    const QString path = QStringLiteral("/roms/") + fileName;
    rom.setFilePath(QUrl::fromLocalFile(path));
    if (!entry.isEmpty())
        rom.setArchiveEntry(entry), rom.setArchiveIndex(0);
    rom.setName(QStringLiteral("HEADER NAME"));
    rom.setGameCode(QStringLiteral("NXXE"));
    rom.setMD5(QString::number(number).repeated(32));
    rom.setCRC1(1);
    rom.setCRC2(2);
    rom.setCic(6102);
    rom.setFileSize(size);
    return LibraryRecord::fromROM(path.toUtf8(), FileStamp(), rom);
}

} // namespace

TEST(DatCatalogTest, TheLibraryShowsFiltersAndCountsByTheIndexAndForgetsItWithoutDats)
{
    DatFile::Refusal refusal;
    // A file with a listed name or game code and size, and other contents, differs from that game.
    const auto dat = DatFile::parse("game ( name \"Super Game (Europe) (En,Fr) (Rev 1)\" serial NUS-NXXE-EUR rom ( name a.z64 size 8192 md5 " + QByteArray(32, '1')
                                        + " ) )\ngame ( name \"Broken [b]\" rom ( name b.z64 size 8192 md5 " + QByteArray(32, '2')
                                        + " ) )\ngame ( name \"Hacked (Japan)\" rom ( name \"Hacked (Japan).z64\" size 8192 ) )",
                                    &refusal);
    ASSERT_TRUE(dat);
    auto index = std::make_shared<DatIndex>();
    index->add(dat, QStringLiteral("/dats/n64.dat"));
    LibraryModel model;
    model.addRecords({game(1, QStringLiteral("a.z64")), game(2, QStringLiteral("b.z64")), game(3, QStringLiteral("Hacked (Japan).z64")),
                      game(4, QStringLiteral("d.z64"), QString(), 4096), game(5, QStringLiteral("f.z64"))});
    model.setDatIndex(index);
    // The twin arrives after the index: it is looked up as it comes, by its entry's name.
    model.addRecords({game(1, QStringLiteral("e.zip"), QStringLiteral("e.z64"))});
    LibraryFilterModel filter;
    filter.setSourceModel(&model);
    const auto column = [&model](int column) {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts << model.index(row, column).data().toString();
        return texts;
    };
    const QString verified = QStringLiteral("Super Game (Europe) (En,Fr) (Rev 1)");
    const QString header = QStringLiteral("HEADER NAME");
    EXPECT_EQ(column(LibraryModel::Name), QStringList({verified, header, header, header, header, verified}));
    EXPECT_EQ(column(LibraryModel::Dump),
              QStringList({QStringLiteral("Verified, 2 copies"), QStringLiteral("Bad dump"), QStringLiteral("Differs from Hacked (Japan)"),
                           QStringLiteral("Not in your DAT files"), QStringLiteral("Differs from ") + verified, QStringLiteral("Verified, 2 copies")}));
    EXPECT_TRUE(model.index(0, LibraryModel::Name).data(Qt::ToolTipRole).toString().endsWith(
        QStringLiteral("\nThis file is a verified copy of “%1”, as listed in “n64.dat”.").arg(verified)));
    using DumpFilter = LibraryFilterModel::DumpFilter;
    const struct { DumpFilter dumps; const char *search; int rows; } filters[] = {
        {DumpFilter::Verified, "", 2}, {DumpFilter::NotVerified, "", 4}, {DumpFilter::Duplicates, "", 2},
        {DumpFilter::All, "rev 1", 2}, {DumpFilter::NotVerified, "header", 4}};
    for (const auto &f : filters) {
        filter.setDumpFilter(f.dumps);
        filter.setSearchText(QString::fromUtf8(f.search));
        EXPECT_EQ(filter.rowCount(), f.rows) << int(f.dumps) << f.search;
    }
    const DatStatus::NameTags tags = DatStatus::tagsOf(verified);
    EXPECT_TRUE(tags.region == QStringLiteral("Europe") && tags.languages == QStringLiteral("En,Fr") && tags.revision == QStringLiteral("Rev 1"));
    // No DAT file: today's names, no status, only the copies.
    model.setDatIndex(std::make_shared<DatIndex>());
    EXPECT_EQ(column(LibraryModel::Name), QStringList(6, header));
    EXPECT_EQ(column(LibraryModel::Dump), QStringList({QStringLiteral("2 copies"), QString(), QString(), QString(), QString(), QStringLiteral("2 copies")}));
    model.removeKeys({model.record(5).key()});
    EXPECT_EQ(model.index(0, LibraryModel::Dump).data().toString(), QString());
}

TEST(DatCatalogTest, RenamesToTheDatNameKeepingTheExtensionAndNeverOverAnotherFile)
{
    TestWorld world;
    const QByteArray rom = QFile::encodeName(world.writeRom(QStringLiteral("SUPERGAM.V64")));
    const QByteArray folder = rom.left(rom.lastIndexOf('/') + 1);
    world.writeFile(QStringLiteral("Taken.v64"), "x");
    const struct { const char *name; const char *error; } cases[] = {
        {"../Elsewhere", "cannot be a file name"}, {"Line\nBreak", "cannot be a file name"}, {"Taken", "exists already"},
        {"Super Game (Europe) (Rev 1)", ""}};
    for (const auto &c : cases) {
        EXPECT_TRUE(DatRename::rename(rom, QString::fromUtf8(c.name)).contains(QString::fromUtf8(c.error))) << c.name;
        EXPECT_EQ(QFile::exists(QFile::decodeName(rom)), *c.error != 0);
    }
    EXPECT_TRUE(QFile::exists(QFile::decodeName(folder + "Super Game (Europe) (Rev 1).v64")));
    // A folder that cannot be written. Root passes permission bits by: the rename runs in a child as nobody.
    const QByteArray locked = QFile::encodeName(world.writeRom(QStringLiteral("GAME.z64")));
    ASSERT_EQ(::chmod(folder.constData(), 0555), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::geteuid() != 0 || (!::setgroups(0, nullptr) && !::setresgid(65534, 65534, 65534) && !::setresuid(65534, 65534, 65534));
        // 77: no one to drop to, or the temporary folders are out of the child's reach.
        ::_exit(!dropped || ::access(locked, R_OK) ? 77 : DatRename::rename(locked, QStringLiteral("Renamed")).contains(QStringLiteral("cannot be written")) ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    ::chmod(folder.constData(), 0700);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "the rename could not run as another user here";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0 && QFile::exists(QFile::decodeName(locked)));
}
