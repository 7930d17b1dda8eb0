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

// Not a database at all, or cut short: renamed aside as it was and said once by its new name;
// the games that could be read go on in a new history.
TEST(PlayHistoryTest, ADamagedOrCutShortHistoryIsSetAsideAndTheGamesThatReadGoOnInANewOne)
{
    const auto md5 = [](int n) { return md5Hex(QByteArray::number(n)); };
    for (const bool cut : {false, true}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("history.sqlite"));
        if (cut) {
            {
                PlayHistory history(path);
                history.open();
                for (int n = 0; n < 2000; ++n)
                    history.recordRun(md5(n), 1000 + n, 6000);
            }
            ASSERT_TRUE(QFile::resize(path, QFileInfo(path).size() / 2));
        } else {
            ASSERT_TRUE(writeBytes(path, QByteArray(4096, 'x')));
        }
        const qint64 damaged = QFileInfo(path).size();
        qsizetype kept = 0;
        {
            PlayHistory history(path);
            QSignalSpy problem(&history, &PlayHistory::problem);
            history.open();
            kept = history.entries().size();
            // Half the file holds about half the games.
            EXPECT_TRUE(cut ? kept > 700 && kept < 1200 : kept == 0) << kept;
            const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("history.sqlite.damaged-*[0-9]")});
            ASSERT_EQ(aside.size(), 1);
            EXPECT_EQ(QFileInfo(dir.filePath(aside.at(0))).size(), damaged) << "the damaged file is kept as it was";
            ASSERT_EQ(problem.count(), 1);
            const QString message = problem.at(0).at(0).toString();
            EXPECT_TRUE(message.contains(aside.at(0)) && (!cut || message.contains(QStringLiteral("the %1 game").arg(kept))))
                << message.toStdString();
            history.recordRun(kGame, 1000, 6000);
        }
        PlayHistory reopened(path);
        reopened.open();
        EXPECT_TRUE(reopened.isWritable() && reopened.entries().size() == kept + 1);
        EXPECT_EQ(reopened.entries().value(kGame).playMs, 6000);
    }
}

TEST(PlayHistoryTest, AFullDiskKeepsTheFileAndStopsWritingWhileTheSessionGoesOn)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    PlayHistory history(path);
    history.open();
    history.recordRun(kGame, 1000, 6000);
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
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("history.sqlite.damaged-*")}).isEmpty());
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
