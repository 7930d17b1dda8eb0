#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "launch/GameSession.h"
#include "launch/LeftGame.h"
#include "launch/PlayStatus.h"
#include "launch/RunningGame.h"
#include "platform/SingleInstance.h"
#include "platform/XdgFolders.h"
#include "rom/ROM.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <csignal>
#include <numeric>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// Without XDG_RUNTIME_DIR (a script, cron, ssh) every start of the user must still meet the
// same socket and lock: the session's /run/user/UID, else a private folder of ours.
TEST(RuntimeFolderTest, TheSessionsFolderThenOneOfOursThatNobodyElseCanHaveOrPointElsewhere)
{
    TestWorld world;
    const QString uid = QString::number(::getuid()), xdg = world.path(QStringLiteral("xdg")), run = world.path(QStringLiteral("run")), tmp = world.path(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkpath(xdg) && QDir().mkpath(run) && QDir().mkpath(tmp));
    const QString session = run + QLatin1Char('/') + uid, ours = tmp + QStringLiteral("/tolvane-launcher-") + uid;
    const struct { const char *what; std::function<void()> prepare; QString xdgRuntimeDir, expected; } cases[] = {
        {"XDG_RUNTIME_DIR, made private", [&] { QFile::setPermissions(xdg, QFileDevice::Permissions(0x7755)); }, xdg, xdg},
        {"none: ours, made 0700", [] {}, QString(), ours},
        {"none: the session's", [&] { QDir().mkpath(session), QFile::setPermissions(session, QFileDevice::Permissions(0x7700)); }, QString(), session},
        {"the session's is open to others", [&] { QFile::setPermissions(session, QFileDevice::Permissions(0x7755)); }, QString(), ours},
        {"ours is a link", [&] { QDir(ours).removeRecursively(), QDir().rmdir(session), QFile::link(xdg, ours); }, QString(), QString()},
        // Only root can make it somebody else's; for others it stays theirs.
        {"ours is somebody else's", [&] { QFile::remove(ours), QDir().mkdir(ours), ::chown(QFile::encodeName(ours).constData(), 4321, 4321) ? void() : void(); },
         QString(), ::getuid() == 0 ? QString() : ours},
    };
    for (const auto &row : cases) {
        row.prepare();
        EXPECT_EQ(XdgFolders::runtimeHomeFor(row.xdgRuntimeDir, run, tmp), row.expected) << row.what;
        EXPECT_TRUE(row.expected.isEmpty() || (QFileInfo(row.expected).permissions() & 0x0077) == 0) << row.what;
    }
}

// The world of a game session's tests: the stand-in as the emulator and a ROM to play.
class SessionTest : public testing::Test
{
protected:
    SessionTest() { TestWorld::useStandInAsCustomBuild(); }
    bool stopAndWait(GameSession &session) { return session.stop(), QTest::qWaitFor([&] { return !session.hasGame(); }, kTimeoutMs); }
    TestWorld world;
    const std::shared_ptr<ROM> rom = ROM::romFromURL(QUrl::fromLocalFile(world.writeRom(QStringLiteral("game.z64"))));
};

// One game at a time per user: a second session (another window, a --play) is refused while
// one plays; the emulator's identity is kept while it runs, and a record whose number another
// process now has (another start time) goes without a word.
TEST_F(SessionTest, OneGameAtATimeWhoeverStartedItAndStaleRecordsGoSilently)
{
    GameSession first, second;
    QSignalSpy refused(&second, &GameSession::startFailed);
    first.play(rom);
    ASSERT_TRUE(world.waitForRecord());
    const std::optional<RunningGame::Identity> recorded = RunningGame::recorded();
    EXPECT_TRUE(recorded && recorded->pid == world.recordedPids().at(0) && recorded->md5 == rom->MD5() && recorded->name == QStringLiteral("game.z64"));
    world.clearRecord();
    second.play(rom);
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused.at(0).at(0).toInt() == PlayStatus::AlreadyPlaying && !second.hasGame());
    ASSERT_TRUE(stopAndWait(first));
    EXPECT_FALSE(RunningGame::recorded()) << "the record outlived its game";
    EXPECT_FALSE(QFile::exists(world.path(QStringLiteral("record")))) << "a second emulator was started";
    // A start handed over by a --play gets the caller's environment; the next start ours again.
    first.supervisor()->setEnvironmentForNextStart(QList<QByteArray>{"TOLVANE_FAKE_RECORD=" + QFile::encodeName(world.path(QStringLiteral("theirs"))), "TOLVANE_FAKE_EXIT=0"});
    for (const char *record : {"theirs", "record"}) {
        first.play(rom);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(world.path(QLatin1String(record))); }, kTimeoutMs)) << record;
        ASSERT_TRUE(stopAndWait(first));
    }
    RunningGame::record({::getpid(), *RunningGame::startTimeOf(::getpid()) + 1, QString(), QString()});
    EXPECT_FALSE(RunningGame::recorded() || QFile::exists(RunningGame::folder() + QStringLiteral("/running-game")));
}

// A Launcher killed during play loses at most a checkpoint's time: "last played" is told at
// the start, the time played at every checkpoint, each part long enough to count, and what
// is told adds up to the run.
TEST_F(SessionTest, PlayTimeIsToldAtTheStartAtEveryCheckpointAndAtTheEndAndAddsUpToTheRun)
{
    GameSession session;
    session.supervisor()->setCheckpoints(100, 150);
    QList<qint64> parts;
    QObject::connect(&session, &GameSession::played, [&](const QString &md5, qint64 ms) { parts << (md5 == rom->MD5() ? ms : -1); });
    QElapsedTimer run;
    run.start();
    session.play(rom);
    ASSERT_EQ(parts, QList<qint64>{0}) << "not told at the start";
    ASSERT_TRUE(world.waitForRecord());
    QTest::qWait(1000);
    const auto told = [&] { return std::accumulate(parts.cbegin(), parts.cend(), qint64(0)); };
    EXPECT_GE(told(), run.elapsed() - 100 - 150 - 200) << "more than a checkpoint's time would be lost";
    ASSERT_TRUE(stopAndWait(session));
    const qint64 total = run.elapsed();
    EXPECT_GE(parts.size(), 4);
    for (qsizetype i = 1; i < parts.size(); ++i)
        EXPECT_GE(parts.at(i), 150) << "part " << i << " is too short to count";
    EXPECT_TRUE(told() <= total && told() >= total - 300) << told() << " of " << total << " ms";
}

// A Launcher killed during play (kill -9) leaves its emulator running, writing on without
// dying of SIGPIPE: the next one shows it, starts no second game meanwhile, takes its group for
// the game (not over while its helper plays), stops it through its process descriptor (Force
// Stop for one that ignores Stop) and sees its end.
TEST_F(SessionTest, AGameLeftByAKilledLauncherIsShownStoppedAndNeverJoinedByASecondOne)
{
    QProcess killed;
    qputenv("TOLVANE_FAKE_ON_TERM", "ignore"), qputenv("TOLVANE_FAKE_TALK", "20"), qputenv("TOLVANE_FAKE_CHILD", "1");
    killed.start(TestWorld::program("tolvane-launcher"), {QStringLiteral("--play"), rom->filePath()->toLocalFile()});
    ASSERT_TRUE(world.waitForRecord() && world.recordedPids().size() == 2);
    qunsetenv("TOLVANE_FAKE_ON_TERM"), qunsetenv("TOLVANE_FAKE_TALK"), qunsetenv("TOLVANE_FAKE_CHILD");
    const std::vector<pid_t> pids = world.recordedPids();
    ASSERT_TRUE((killed.kill(), killed.waitForFinished(kTimeoutMs)));
    QTest::qWait(300);
    world.clearRecord();
    GameSession session;
    QSignalSpy ended(&session, &GameSession::leftGameEnded), refused(&session, &GameSession::startFailed);
    ASSERT_TRUE(session.takeLeftGame()) << "the emulator ended when it wrote";
    EXPECT_TRUE(session.hasGame() && session.isRunning()
                && session.statusText() == QStringLiteral("A game started before the Launcher was closed is still running."));
    session.play(rom);
    EXPECT_EQ(refused.size(), 1);
    EXPECT_FALSE(QFile::exists(world.path(QStringLiteral("record")))) << "a second emulator was started";
    ASSERT_TRUE(::kill(pids[0], SIGKILL) == 0 && waitUntilEnded(pids[0]));
    QTest::qWait(200);
    EXPECT_TRUE(ended.isEmpty() && session.isRunning()) << "ended while the emulator's helper plays on";
    session.leftGame()->setForceStopDelay(100);
    session.stop();
    ASSERT_TRUE(session.isStopping() && QTest::qWaitFor([&] { return session.forceStopOffered(); }, kTimeoutMs));
    EXPECT_NE(processState(pids[1]), 0) << "it should have ignored Stop";
    session.forceStop();
    ASSERT_TRUE(ended.wait(kTimeoutMs) && waitUntilEnded(pids[1]));
    EXPECT_EQ(ended.at(0).at(0).toString(), QStringLiteral("The emulator stopped."));
    EXPECT_FALSE(session.hasGame() || RunningGame::recorded());
    session.play(rom);
    EXPECT_TRUE(world.waitForRecord()) << "the ended game still kept the player from playing";
    EXPECT_TRUE(stopAndWait(session));
}

// A stopped or frozen Launcher still has its connections accepted by the kernel (here it is
// busy with the caller itself): the caller gives up in time with the reason, and the
// Launcher, when it wakes, drops the request of a caller that has gone.
TEST(HandOverTest, AFrozenLauncherIsGivenUpInTimeAndThenDropsTheRequestOfTheCallerThatWent)
{
    TestWorld world;
    SingleInstance launcher(world.path(QStringLiteral("test.socket")));
    ASSERT_TRUE(launcher.listen());
    QList<quint64> requests;
    QObject::connect(&launcher, &SingleInstance::playRequested, [&](const LocalPath &, quint64 request) { requests << request; });
    QSignalSpy files(&launcher, &SingleInstance::filesReceived);
    const auto givenUp = SingleInstance(launcher.serverName()).playInRunningInstance(LocalPath("/roms/game.z64"), 300);
    ASSERT_TRUE(givenUp.has_value() && !givenUp->taken);
    EXPECT_TRUE(givenUp->text.contains(QStringLiteral("did not take the game"))) << givenUp->text.toStdString();
    QTest::qWait(300);
    EXPECT_TRUE(requests.isEmpty() && files.isEmpty()) << "a game was started for a caller that has gone";
}

} // namespace
