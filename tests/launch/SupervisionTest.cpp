#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "platform/ChildProcess.h"
#include "rom/ROM.h"

#include <QDir>
#include <QPointer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A supervisor set up as the main window does, for the world's resource directory.
struct Launcher
{
    explicit Launcher(const TestWorld &world, const QString &romPath = {})
        : ended(&supervisor, &EmulatorSupervisor::taskEnded)
    {
        supervisor.setBundlePath(world.resourcePath());
        supervisor.readEmulatorConfig();
        rom.setFilePath(QUrl::fromLocalFile(romPath.isEmpty() ? world.path(QStringLiteral("game.z64")) : romPath));
    }
    bool playAndWaitForEnds(int count)
    {
        supervisor.playPressed(&rom);
        return QTest::qWaitFor([&] { return ended.count() >= count; }, kTimeoutMs);
    }

    EmulatorSupervisor supervisor;
    ROM rom;
    QSignalSpy ended;
};

} // namespace

TEST(SupervisionTest, DefaultAndCustomBuildsGetHostileNamesAsOneArgumentEachAndRunNothing)
{
    QTemporaryDir markerDir;
    const QString marker = markerDir.filePath(QStringLiteral("marker"));
    const QString hostile = QStringLiteral("a b 'single' \"double\" $(touch %1) `touch %1`; touch %1\n-\u00e9t\u00e9 \u5b57").arg(marker);
    TestWorld world(QStringLiteral("res dir 'q' \"dq\" $(touch %1) `touch %1`;x").arg(marker));
    qputenv("TOLVANE_FAKE_EXIT", "0");
    const QString romFolder = world.path(hostile);
    ASSERT_TRUE(QDir().mkpath(romFolder));
    const QString romPath = romFolder + QStringLiteral("/-game's $(touch ") + marker + QStringLiteral(").z64");
    Launcher launcher(world, romPath);
    QStringList expected{world.contents(QStringLiteral("bin/tolvane-console")), QStringLiteral("--corelib"),
                         world.contents(QStringLiteral("lib/libtolvane-core.so")), QStringLiteral("--plugindir"),
                         world.contents(QStringLiteral("plugins")), QStringLiteral("--gfx"), QStringLiteral("tolvane-video-crisp.so"),
                         QStringLiteral("--resolution"), QStringLiteral("640x480"), QStringLiteral("--windowed"), romPath};
    ASSERT_TRUE(launcher.playAndWaitForEnds(1));
    EXPECT_EQ(world.recordedArguments(), expected);
    // The input file is written in the default build, found there by the emulator.
    EXPECT_TRUE(world.recordedIni().contains("[Keyboard]\nplugged = True\nplugin = 2\nmouse = False\nA = key(120)\nB = key(99)\n"));

    expected[0] = romFolder + QStringLiteral("/-it's \"console\"");
    expected[8] = QStringLiteral("640x480; touch ") + marker;
    ASSERT_TRUE(QFile::copy(TestWorld::fakeEmulatorPath(), expected[0]));
    TestWorld::setSetting("Build", QStringLiteral("Custom"));
    TestWorld::setSetting("CustomBuildPath", expected[0]);
    TestWorld::setSetting("Resolution", expected[8]);
    world.clearRecord();
    ASSERT_TRUE(launcher.playAndWaitForEnds(2));
    EXPECT_EQ(world.recordedArguments(), expected);
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(SupervisionTest, TheExitStatusChoosesTheLogLine)
{
    TestWorld world;
    Launcher launcher(world);
    // An empty custom path (the last case) fails as the shell's own status.
    const std::tuple<const char *, const char *, int> cases[] = {{"0", "Task ended self", 0}, {"1", "Task ended by app", 1}, {"", "Task ended by app", 127}};
    for (const auto &[exitCode, line, status] : cases) {
        qputenv("TOLVANE_FAKE_EXIT", exitCode);
        TestWorld::setSetting("Build", *exitCode ? QStringLiteral("Default") : QStringLiteral("Custom"));
        ASSERT_TRUE(launcher.playAndWaitForEnds(int(launcher.ended.count()) + 1));
        EXPECT_EQ(launcher.ended.last(), (QVariantList{QLatin1String(line), status}));
        EXPECT_FALSE(launcher.supervisor.taskRunning() || launcher.supervisor.task());
    }
}

TEST(SupervisionTest, TheLateNoticeOfAnEjectedChildLeavesANewerChildAlone)
{
    TestWorld world;
    Launcher launcher(world);
    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(world.waitForRecord());
    const pid_t first = world.recordedPids().at(0);
    launcher.supervisor.clearPressed();
    launcher.supervisor.playPressed(&launcher.rom);
    ChildProcess *second = launcher.supervisor.task();
    ASSERT_TRUE(QTest::qWaitFor([&] { return launcher.ended.count() == 1; }, kTimeoutMs));
    EXPECT_TRUE(waitUntilEnded(first));
    EXPECT_EQ(launcher.supervisor.task(), second);
    EXPECT_TRUE(launcher.supervisor.taskRunning() && launcher.supervisor.isTaskProcessRunning());
    launcher.supervisor.stopPressed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return launcher.ended.count() == 2; }, kTimeoutMs));
}

TEST(ChildProcessTest, SuspensionsAreCountedAndADroppedHandleNeitherKillsNorWaits)
{
    TestWorld world;
    // A second command keeps the shell from replacing itself with the stand-in.
    std::shared_ptr<ChildProcess> task = ChildProcess::launchedTask(
        QStringLiteral("/bin/sh"), {QStringLiteral("-c"), TestWorld::fakeEmulatorPath() + QStringLiteral("; exit 3")});
    ASSERT_TRUE(world.waitForRecord()); // started, so signals meet a settled process
    const pid_t shell = task->processIdentifier();
    EXPECT_TRUE(task->suspend() && task->suspend());
    ASSERT_TRUE(waitForStopped({shell}));
    EXPECT_TRUE(task->resume());
    EXPECT_EQ(processState(shell), 'T') << "one suspension is still to be undone";
    EXPECT_TRUE(task->resume());
    EXPECT_TRUE(waitForStopped({shell}, false));
    EXPECT_FALSE(task->resume());

    int endedStatus = -100;
    QObject receiver;
    QObject::connect(task.get(), &ChildProcess::didTerminate, &receiver, [&](ChildProcess *ended) { endedStatus = ended->terminationStatus(); });
    QPointer<ChildProcess> watched = task.get();
    task.reset();
    ASSERT_TRUE(watched);
    EXPECT_NE(processState(shell), 0);
    ::kill(-shell, SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return endedStatus != -100; }, kTimeoutMs));
    EXPECT_EQ(endedStatus, SIGTERM);
    // Reaped, and the handle released once its end was announced.
    EXPECT_TRUE(QTest::qWaitFor([&] { return processState(shell) == 0 && !watched; }, kTimeoutMs));
}

TEST(ChildProcessTest, AProgramThatCannotStartEndsWithTheShellsStatusAndAChildGetsOnlyTheStandardStreams)
{
    std::shared_ptr<ChildProcess> missing = ChildProcess::launchedTask(QStringLiteral("/nonexistent/tolvane"), {});
    EXPECT_TRUE(missing->isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !missing->isRunning(); }, kTimeoutMs));
    EXPECT_EQ(missing->terminationStatus(), 127);
    // As SDL opens joystick devices: a descriptor without close-on-exec.
    const int held = ::open("/dev/null", O_RDONLY);
    ASSERT_GT(held, STDERR_FILENO);
    const QString script = QStringLiteral("test -e /proc/$$/fd/2 && test ! -e /proc/$$/fd/%1").arg(held);
    std::shared_ptr<ChildProcess> task = ChildProcess::launchedTask(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !task->isRunning(); }, kTimeoutMs));
    EXPECT_EQ(task->terminationStatus(), 0) << "descriptor " << held << " reached the child";
    ::close(held);
}
