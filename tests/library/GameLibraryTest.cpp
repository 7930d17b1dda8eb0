// The library's core with no widgets at all: this executable does not link Qt Widgets.
#include "library/GameLibrary.h"
#include "library/LibraryFolders.h"
#include "library/LibraryModel.h"
#include "library/PlayHistory.h"
#include "platform/LocalPath.h"
#include "support/TestWorld.h"

#include <QDateTime>
#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

TEST(GameLibraryTest, SaysWhatItDoesAddsFoldersOnceOpensUnchangedRowsAsTheyAreAndKeepsTheHistory)
{
    TestWorld world;
    for (const char *name : {"a/ALPHA.z64", "a/BRAVO.z64", "b/CHARLIE.z64"}) {
        QDir().mkpath(world.path(QLatin1String(name).left(1)));
        // Changed long ago: a file read moments after its change is read again, not opened as it is.
        const struct timespec times[2] = {{0, UTIME_OMIT}, {QDateTime::currentSecsSinceEpoch() - 3600, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(world.writeRom(QLatin1String(name))).constData(), times, 0), 0);
    }
    LibraryFolders::setFolders({world.path(QStringLiteral("a"))});
    QString game;
    {
        GameLibrary library;
        QSignalSpy status(&library, &GameLibrary::statusChanged), scanned(&library, &GameLibrary::scanFinished);
        library.start();
        ASSERT_TRUE(scanned.wait(kTimeoutMs));
        EXPECT_EQ(status.first().at(0).toString(), QStringLiteral("Looking for ROM images…"));
        EXPECT_EQ(library.statusText(), QStringLiteral("2 files: 2 read, 0 from the cache."));
        // A folder added is read as the store tells of it; one listed already is read again.
        for (const QString &folder : {world.path(QStringLiteral("b/")), world.path(QStringLiteral("b"))}) {
            library.addFolder(folder);
            ASSERT_TRUE(scanned.wait(kTimeoutMs)) << qPrintable(folder);
        }
        EXPECT_EQ(LibraryFolders::folders(), QStringList({world.path(QStringLiteral("a")), world.path(QStringLiteral("b"))}));
        EXPECT_EQ(library.statusText(), QStringLiteral("3 files, all from the cache."));

        const LibraryRecord record = library.model()->record(0);
        game = record.md5();
        QSignalSpy opened(&library, &GameLibrary::openRecord), played(&library, &GameLibrary::playRecord),
            read(&library, &GameLibrary::openFile);
        library.open(record);
        library.open(record, true);
        // Changed since it was read: read again from its file.
        ASSERT_EQ(::utimensat(AT_FDCWD, record.path.constData(), nullptr, 0), 0);
        library.open(record);
        library.open(record, true);
        ASSERT_TRUE(opened.count() == 1 && played.count() == 1 && read.count() == 2);
        EXPECT_EQ(LocalPath::fromUrl(read.at(0).at(0).toUrl()).bytes(), record.path);
        EXPECT_TRUE(!read.at(0).at(1).toBool() && read.at(1).at(1).toBool());

        library.recordRun(game, 6000);
        library.toggleFavourite(game);
    } // what is queued for the history file is written before the library goes
    GameLibrary again;
    QSignalSpy historyRead(&again, &GameLibrary::historyChanged);
    again.start();
    // Changed before the file is read (a game given at start, a quick Ctrl+D): kept on top of it.
    again.recordRun(game, 7000);
    again.setFavourite(game, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return historyRead.contains({QString()}); }, kTimeoutMs))
        << "every game's history, announced once read";
    EXPECT_EQ(again.history(game), (GameHistory{again.history(game).lastPlayed, 13000, false}));
    EXPECT_GT(again.history(game).lastPlayed, 0);
}

} // namespace
