#include "library/PlayHistory.h"
#include "support/Bytes.h"
#include "support/ScratchMount.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kGame = QStringLiteral("0123456789abcdef0123456789abcdef");

TEST(PlayHistoryTest, ADamagedFileIsRenamedAsideAndAFullDiskKeepsTheFileAndStopsWriting)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    {
        PlayHistory history(path);
        QSignalSpy problem(&history, &PlayHistory::problem);
        history.open();
        ASSERT_EQ(problem.count(), 1);
        const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("history.sqlite.damaged-*")});
        ASSERT_EQ(aside.size(), 1);
        EXPECT_TRUE(problem.at(0).at(0).toString().contains(aside.at(0)));
        EXPECT_EQ(QFile(dir.filePath(aside.at(0))).size(), 4096) << "the damaged file is kept as it was";
        EXPECT_TRUE(history.isWritable());
        history.recordRun(kGame, 1000, 6000);
    }
    PlayHistory history(path);
    history.open();
    ASSERT_EQ(history.entries().value(kGame).playMs, 6000);
    // The file may not grow by a page more: what SQLite reports for a full disk.
    for (const QString &name : QSqlDatabase::connectionNames()) {
        QSqlQuery query(QSqlDatabase::database(name));
        ASSERT_TRUE(query.exec(QStringLiteral("PRAGMA max_page_count=1")));
    }
    QSignalSpy problem(&history, &PlayHistory::problem);
    for (int i = 0; i < 200; ++i)
        history.recordRun(QStringLiteral("%1").arg(i, 32, 10, QLatin1Char('0')), 5000, 6000);
    ASSERT_EQ(problem.count(), 1);
    EXPECT_TRUE(problem.at(0).at(0).toString().contains(QStringLiteral("full")));
    EXPECT_FALSE(history.isWritable());
    EXPECT_EQ(history.entries().size(), 201) << "the session goes on in memory";
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("history.sqlite.damaged-*")}).size(), 1);
    PlayHistory again(path);
    again.open();
    EXPECT_EQ(again.entries().value(kGame).playMs, 6000);
    EXPECT_LT(again.entries().size(), 201);
}

// Nothing is wrong with the file itself: it is kept as it is, read, and the reason said in words.
TEST(PlayHistoryTest, AnIntactHistoryIsKeptAndReadWhenItsJournalCannotBeOpenedItsDiskIsFullOrItsFolderReadOnly)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("data")), path = folder + QStringLiteral("/history.sqlite");
    ScratchMount disk(folder, "size=8m");
    if (!disk.isMounted())
        GTEST_SKIP() << disk.why();
    const auto md5 = [](int n) { return QStringLiteral("%1").arg(n, 32, 10, QLatin1Char('0')); };
    {
        PlayHistory history(path);
        history.open();
        for (int n = 0; n < 300; ++n)
            history.recordRun(md5(n), 1000 + n, 6000);
        history.setFavourite(md5(7), true);
    }
    const struct {
        const char *what;
        std::function<bool()> spoil;
        std::function<void()> mend;
        QString words;
    } cases[] = {{"journal", [&] { return QDir().mkdir(path + QStringLiteral("-wal")); },
                  [&] { QDir().rmdir(path + QStringLiteral("-wal")); }, QStringLiteral("its journal cannot be opened")},
                 {"full", [&] { return disk.fill(); }, [&] { disk.empty(); }, QStringLiteral("the disk is full")},
                 {"read-only", [&] { return disk.setReadOnly(true); }, [&] { disk.setReadOnly(false); },
                  QStringLiteral("its folder cannot be written")}};
    for (const auto &each : cases) {
        ASSERT_TRUE(each.spoil()) << each.what << QFileInfo(path + QStringLiteral("-wal")).size() << " " << QFileInfo(path).size();
        PlayHistory history(path);
        QSignalSpy problem(&history, &PlayHistory::problem);
        history.open();
        EXPECT_EQ(history.entries().size(), 300) << each.what;
        EXPECT_TRUE(history.entries().value(md5(7)).favourite && !history.isWritable()) << each.what;
        ASSERT_EQ(problem.count(), 1) << each.what;
        const QString message = problem.at(0).at(0).toString();
        EXPECT_TRUE(message.contains(each.words) && !message.contains(QStringLiteral("Unable"))) << message.toStdString();
        EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("*damaged*")}).isEmpty()) << each.what;
        each.mend();
    }
    PlayHistory after(path);
    after.open();
    EXPECT_TRUE(after.isWritable() && after.entries().size() == 300);
}

TEST(PlayHistoryTest, AHistoryCutShortIsSetAsideAndTheGamesThatReadGoOnInANewOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    const auto md5 = [](int n) { return md5Hex(QByteArray::number(n)); };
    {
        PlayHistory history(path);
        history.open();
        for (int n = 0; n < 2000; ++n)
            history.recordRun(md5(n), 1000 + n, 6000);
    }
    const qint64 whole = QFileInfo(path).size();
    ASSERT_TRUE(QFile::resize(path, whole / 2));
    qsizetype kept = 0;
    {
        PlayHistory history(path);
        QSignalSpy problem(&history, &PlayHistory::problem);
        history.open();
        kept = history.entries().size();
        // Half the file holds about half the games.
        EXPECT_TRUE(kept > 700 && kept < 1200) << kept;
        ASSERT_EQ(problem.count(), 1) << problem.at(0).at(0).toString().toStdString();
        EXPECT_TRUE(problem.at(0).at(0).toString().contains(QStringLiteral("the %1 game").arg(kept)))
            << problem.at(0).at(0).toString().toStdString();
    }
    const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("history.sqlite.damaged-*[0-9]")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(QFileInfo(dir.filePath(aside.at(0))).size(), whole / 2);
    PlayHistory reopened(path);
    reopened.open();
    EXPECT_TRUE(reopened.isWritable() && reopened.entries().size() == kept);
}

TEST(GameHistoryTest, RunsUnderFiveSecondsAddNoTimeAndTextsReadAsAPlayerSaysThem)
{
    GameHistory game;
    for (const auto &[endedAt, activeMs] : {std::pair{1000, 7200}, {2000, 4999}})
        game.addRun(endedAt, activeMs);
    EXPECT_EQ(game, (GameHistory{2000, 7200, false}));

    const QDate today(2026, 12, 7);
    const auto at = [](const QDate &day) { return QDateTime(day, QTime(12, 0)).toSecsSinceEpoch(); };
    const struct {
        qint64 when;
        QString text;
    } days[] = {{0, QString()},
                {at(today), QStringLiteral("Today")},
                {at(today.addDays(-1)), QStringLiteral("Yesterday")},
                {at(today.addDays(-3)), QStringLiteral("3 days ago")},
                {at(today.addDays(-7)), QStringLiteral("7 days ago")},
                {at(today.addDays(-8)), QLocale().toString(today.addDays(-8), QLocale::ShortFormat)}};
    for (const auto &day : days)
        EXPECT_EQ(GameHistory::lastPlayedText(day.when, today), day.text) << day.when;
    const struct {
        qint64 ms;
        QString text;
    } times[] = {{0, QString()},
                 {30000, QStringLiteral("Less than a minute")},
                 {15 * 60000 + 59000, QStringLiteral("15 min")},
                 {(2 * 60 + 15) * 60000, QStringLiteral("2 h 15 min")}};
    for (const auto &time : times)
        EXPECT_EQ(GameHistory::playTimeText(time.ms), time.text) << time.ms;
}

} // namespace
