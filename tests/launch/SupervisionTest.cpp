#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "platform/ChildProcess.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <csignal>

#include <gtest/gtest.h>

namespace {

const QByteArray kIni = "[Keyboard]\nplugged = True\nplugin = 2\nmouse = True\nA = key(120)\nB = key(99)\nStart = key(13)\n\n";

// A supervisor set up as the main window does, for the world's resource directory, with
// three inputs and one keyboard record as fallbacks so the InputAutoCfg.ini stays short.
struct Launcher
{
    explicit Launcher(const TestWorld &world, const QString &romPath = {})
        : ended(&supervisor, &EmulatorSupervisor::taskEnded)
    {
        UserDefaults::standardUserDefaults().registerDefaults(
            {{QStringLiteral("Mapping"), QVariantList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Start")}},
             {QStringLiteral("Controllers"),
              QVariantMap{{QStringLiteral("Keyboard"),
                           QVariantMap{{QStringLiteral("USBName"), QStringLiteral("Keyboard")},
                                       {QStringLiteral("plugged"), true},
                                       {QStringLiteral("plugin"), 2},
                                       {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(120)"), QStringLiteral("key(99)"),
                                                                                QStringLiteral("key(13)")}}}}}}});
        supervisor.setBundlePath(world.resourcePath());
        supervisor.readEmulatorConfig();
        rom.setFilePath(QUrl::fromLocalFile(romPath.isEmpty() ? world.path(QStringLiteral("game.z64")) : romPath));
    }
    void play() { supervisor.playPressed(&rom); }
    bool waitForEnds(int count) { return QTest::qWaitFor([&] { return ended.count() >= count; }, kTimeoutMs); }
    QString lastLogLine() const { return ended.last().at(0).toString(); }
    int lastStatus() const { return ended.last().at(1).toInt(); }

    EmulatorSupervisor supervisor;
    ROM rom;
    QSignalSpy ended;
};

QStringList expectedArguments(const TestWorld &world, const QString &executable, const QString &romPath)
{
    return {executable, QStringLiteral("--corelib"), world.contents(QStringLiteral("lib/libtolvane-core.so")),
            QStringLiteral("--plugindir"), world.contents(QStringLiteral("plugins")), QStringLiteral("--gfx"),
            QStringLiteral("tolvane-video-crisp.so"), QStringLiteral("--resolution"), QStringLiteral("640x480"),
            QStringLiteral("--windowed"), romPath};
}

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

    launcher.play();
    EXPECT_TRUE(launcher.supervisor.taskRunning());
    ASSERT_TRUE(launcher.waitForEnds(1));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended self"));
    EXPECT_EQ(launcher.supervisor.task(), nullptr);
    EXPECT_EQ(world.recordedArguments(), expectedArguments(world, world.contents(QStringLiteral("bin/tolvane-console")), romPath));
    EXPECT_EQ(world.recordedIni(), kIni);

    const QString custom = romFolder + QStringLiteral("/-it's \"console\"");
    ASSERT_TRUE(QFile::copy(TestWorld::fakeEmulatorPath(), custom));
    TestWorld::setSetting("Build", QStringLiteral("Custom"));
    TestWorld::setSetting("CustomBuildPath", custom);
    TestWorld::setSetting("Resolution", QStringLiteral("640x480; touch ") + marker);
    world.clearRecord();
    launcher.play();
    ASSERT_TRUE(launcher.waitForEnds(2));
    EXPECT_EQ(launcher.lastStatus(), 0);
    QStringList expected = expectedArguments(world, custom, romPath);
    expected[8] = QStringLiteral("640x480; touch ") + marker;
    EXPECT_EQ(world.recordedArguments(), expected);
    // The input file is written in the default build whichever build runs.
    EXPECT_EQ(world.recordedIni(), kIni);
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(SupervisionTest, SettingsAndTheConfigFileAreHandledAtEachNewStartAndNeverAtAResume)
{
    TestWorld world;
    Launcher launcher(world);
    // No configuration file to remove: the start goes on.
    launcher.play();
    ASSERT_TRUE(world.waitForRecord());
    const pid_t emulator = world.recordedPids().at(0);

    QDir().mkpath(world.path(QStringLiteral("home/.config/tolvane")));
    world.writeFile(QStringLiteral("home/.config/tolvane/tolvane.cfg"), "stale emulator settings\n");
    TestWorld::setSetting("Resolution", QStringLiteral("800x600"));
    TestWorld::setSetting("Fullscreen", true);
    TestWorld::setSetting("Controllers", QVariantMap{{QStringLiteral("Keyboard"),
                                                      QVariantMap{{QStringLiteral("USBName"), QStringLiteral("Changed")},
                                                                  {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(1)")}}}}});
    launcher.supervisor.pausePressed();
    EXPECT_FALSE(launcher.supervisor.taskRunning());
    ASSERT_TRUE(waitForStopped(emulator));
    world.clearRecord();
    launcher.play();
    EXPECT_TRUE(launcher.supervisor.taskRunning());
    ASSERT_TRUE(waitForStopped(emulator, false));
    // A resume removes, writes and rebuilds nothing.
    EXPECT_TRUE(QFile::exists(world.configFilePath()));
    EXPECT_EQ(readFile(launcher.supervisor.inputAutoCfgPath()), kIni);
    EXPECT_FALSE(world.hasRecord());

    launcher.supervisor.stopPressed();
    ASSERT_TRUE(launcher.waitForEnds(1));
    launcher.play();
    ASSERT_TRUE(world.waitForRecord());
    EXPECT_FALSE(QFile::exists(world.configFilePath()));
    const QStringList arguments = world.recordedArguments();
    ASSERT_EQ(arguments.size(), 11);
    EXPECT_EQ(arguments.at(8), QStringLiteral("800x600"));
    EXPECT_EQ(arguments.at(9), QStringLiteral("--fullscreen"));
    EXPECT_EQ(world.recordedIni(), QByteArray("[Changed]\nplugged = False\nplugin = \nmouse = True\nA = key(1)\n\n"));
    launcher.supervisor.stopPressed();
    ASSERT_TRUE(launcher.waitForEnds(2));
}

TEST(SupervisionTest, PauseStopsTheEmulatorItselfPlayResumesItAndStopEndsIt)
{
    TestWorld world;
    qputenv("TOLVANE_FAKE_CHILD", "1");
    Launcher launcher(world);
    launcher.play();
    ASSERT_TRUE(world.waitForRecord());
    const std::vector<pid_t> pids = world.recordedPids();
    ASSERT_EQ(pids.size(), 2u);
    ChildProcess *task = launcher.supervisor.task();
    ASSERT_NE(task, nullptr);

    launcher.supervisor.pausePressed();
    for (pid_t pid : pids)
        EXPECT_TRUE(waitForStopped(pid)) << pid;
    EXPECT_FALSE(launcher.supervisor.taskRunning());
    EXPECT_TRUE(launcher.supervisor.isTaskProcessRunning());

    launcher.play();
    for (pid_t pid : pids)
        EXPECT_TRUE(waitForStopped(pid, false)) << pid;
    // A second Play while running starts and resumes nothing.
    launcher.play();
    EXPECT_EQ(launcher.supervisor.task(), task);
    EXPECT_EQ(task->suspendCount(), 0);
    EXPECT_TRUE(launcher.supervisor.taskRunning());

    launcher.supervisor.stopPressed();
    EXPECT_EQ(launcher.supervisor.task(), task); // the end notice completes the stop
    ASSERT_TRUE(launcher.waitForEnds(1));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended by app"));
    EXPECT_EQ(launcher.lastStatus(), SIGTERM);
    EXPECT_EQ(launcher.supervisor.task(), nullptr);
    EXPECT_FALSE(launcher.supervisor.taskRunning() || launcher.supervisor.isTaskProcessRunning());
    for (pid_t pid : pids)
        EXPECT_TRUE(waitUntilEnded(pid)) << pid;

    // Without a child, Pause and Stop do nothing.
    launcher.supervisor.pausePressed();
    launcher.supervisor.stopPressed();
    EXPECT_EQ(launcher.supervisor.task(), nullptr);
}

TEST(SupervisionTest, TheExitStatusChoosesTheLogLine)
{
    TestWorld world;
    Launcher launcher(world);
    StderrCapture log;
    const struct {
        const char *exitCode;
        const char *line;
        int status;
    } cases[] = {{"0", "Task ended self", 0}, {"1", "Task ended by app", 1}, {nullptr, "Task ended by app", 127}};
    for (const auto &c : cases) {
        if (c.exitCode) {
            qputenv("TOLVANE_FAKE_EXIT", c.exitCode);
        } else {
            // An empty custom path fails visibly, as the shell's own status.
            TestWorld::setSetting("Build", QStringLiteral("Custom"));
            TestWorld::setSetting("CustomBuildPath", QString());
        }
        launcher.play();
        ASSERT_TRUE(launcher.waitForEnds(int(&c - cases) + 1));
        EXPECT_EQ(launcher.lastLogLine(), QLatin1String(c.line));
        EXPECT_EQ(launcher.lastStatus(), c.status);
        EXPECT_FALSE(launcher.supervisor.taskRunning());
    }
    const QByteArray text = log.text();
    EXPECT_EQ(text.count("Task ended self\n"), 1);
    EXPECT_EQ(text.count("Task ended by app\n"), 2);
}

TEST(SupervisionTest, EjectDropsTheChildAndItsLateNoticeLeavesANewerChildAlone)
{
    TestWorld world;
    Launcher launcher(world);
    launcher.play();
    ASSERT_TRUE(world.waitForRecord());
    const pid_t first = world.recordedPids().at(0);
    world.clearRecord();

    launcher.supervisor.clearPressed();
    EXPECT_EQ(launcher.supervisor.task(), nullptr);
    EXPECT_FALSE(launcher.supervisor.taskRunning());
    launcher.play();
    ChildProcess *second = launcher.supervisor.task();
    ASSERT_NE(second, nullptr);

    // The first child's notice arrives after the new start.
    ASSERT_TRUE(launcher.waitForEnds(1));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended by app"));
    EXPECT_TRUE(waitUntilEnded(first));
    EXPECT_EQ(launcher.supervisor.task(), second);
    EXPECT_TRUE(launcher.supervisor.taskRunning() && launcher.supervisor.isTaskProcessRunning());
    ASSERT_TRUE(world.waitForRecord());
    const pid_t secondPid = world.recordedPids().at(0);

    // Ejecting a paused child still ends it: nobody could resume it any more.
    launcher.supervisor.pausePressed();
    ASSERT_TRUE(waitForStopped(secondPid));
    launcher.supervisor.clearPressed();
    ASSERT_TRUE(launcher.waitForEnds(2));
    EXPECT_EQ(launcher.lastStatus(), SIGTERM);
    EXPECT_TRUE(waitUntilEnded(secondPid));
    EXPECT_EQ(launcher.supervisor.task(), nullptr);
}

TEST(SupervisionTest, QuittingWithAPausedChildLeavesNoEmulatorBehind)
{
    TestWorld world;
    qputenv("TOLVANE_FAKE_CHILD", "1");
    auto launcher = std::make_unique<Launcher>(world);
    launcher->play();
    ASSERT_TRUE(world.waitForRecord());
    const std::vector<pid_t> pids = world.recordedPids();
    ASSERT_EQ(pids.size(), 2u);
    launcher->supervisor.pausePressed();
    for (pid_t pid : pids)
        ASSERT_TRUE(waitForStopped(pid)) << pid;

    launcher->supervisor.applicationWillTerminate();
    // The Launcher goes away without waiting for its child.
    launcher.reset();
    for (pid_t pid : pids)
        EXPECT_TRUE(waitUntilEnded(pid)) << pid;
}
