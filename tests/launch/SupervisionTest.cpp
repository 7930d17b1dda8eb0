#include "LaunchSandbox.h"

#include "launch/EmulatorSupervisor.h"
#include "platform/ChildProcess.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

constexpr int kTimeoutMs = 10000;

const QByteArray kDefaultIni = "[Keyboard]\nplugged = True\nplugin = 2\nmouse = True\n"
                               "A = key(120)\nB = key(99)\nStart = key(13)\n\n";

void setSetting(const char *key, const QVariant &value)
{
    UserDefaults::standardUserDefaults().setValueForKey(QString::fromUtf8(key), value);
}

QByteArray fileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A supervisor set up as the main window does, for the sandbox's resource directory.
struct Launcher
{
    explicit Launcher(const LaunchSandbox &sandbox, const QString &romPath)
        : ended(&supervisor, &EmulatorSupervisor::taskEnded)
    {
        supervisor.setBundlePath(sandbox.resourcePath());
        supervisor.readEmulatorConfig();
        rom.setFilePath(QUrl::fromLocalFile(romPath));
    }
    bool waitForEnds(int count) { return QTest::qWaitFor([&] { return ended.count() >= count; }, kTimeoutMs); }
    QString lastLogLine() const { return ended.last().at(0).toString(); }
    int lastStatus() const { return ended.last().at(1).toInt(); }

    EmulatorSupervisor supervisor;
    ROM rom;
    QSignalSpy ended;
};

QStringList expectedArguments(const LaunchSandbox &sandbox, const QString &executable, const QString &romPath)
{
    return {executable,
            QStringLiteral("--corelib"),
            sandbox.coreLibraryPath(),
            QStringLiteral("--plugindir"),
            sandbox.pluginDirectoryPath(),
            QStringLiteral("--gfx"),
            QStringLiteral("tolvane-video-crisp.so"),
            QStringLiteral("--resolution"),
            QStringLiteral("640x480"),
            QStringLiteral("--windowed"),
            romPath};
}

bool waitForState(pid_t pid, bool stopped)
{
    return QTest::qWaitFor([&] { return (processState(pid) == 'T') == stopped; }, kTimeoutMs);
}

bool waitUntilEnded(pid_t pid)
{
    return QTest::qWaitFor([&] { return hasEnded(pid); }, kTimeoutMs);
}

} // namespace

TEST(SupervisionTest, DefaultAndCustomBuildGetTheirArgumentsAndTheInputFile)
{
    LaunchSandbox sandbox;
    qputenv("TOLVANE_FAKE_EXIT", "0");
    const QString romPath = sandbox.root() + QStringLiteral("/My Game.z64");
    Launcher launcher(sandbox, romPath);

    launcher.supervisor.playPressed(&launcher.rom);
    EXPECT_TRUE(launcher.supervisor.taskRunning());
    ASSERT_TRUE(launcher.waitForEnds(1));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended self"));
    EXPECT_EQ(launcher.supervisor.task(), nullptr);
    EXPECT_FALSE(launcher.supervisor.taskRunning());
    EXPECT_EQ(sandbox.recordedArguments(), expectedArguments(sandbox, sandbox.consolePath(), romPath));
    EXPECT_EQ(sandbox.recordedIni(), kDefaultIni);

    const QString custom = sandbox.root() + QStringLiteral("/custom-console");
    ASSERT_TRUE(QFile::copy(LaunchSandbox::fakeEmulatorPath(), custom));
    setSetting("Build", QStringLiteral("Custom"));
    setSetting("CustomBuildPath", custom);
    sandbox.clearRecord();
    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(launcher.waitForEnds(2));
    EXPECT_EQ(launcher.lastStatus(), 0);
    EXPECT_EQ(sandbox.recordedArguments(), expectedArguments(sandbox, custom, romPath));
    // The input file is written in the default build whichever build runs.
    EXPECT_EQ(sandbox.recordedIni(), kDefaultIni);
}

TEST(SupervisionTest, HostileNamesReachTheEmulatorAsOneArgumentEachAndRunNothing)
{
    LaunchSandbox probe;
    const QString marker = probe.root() + QStringLiteral("/marker");
    const QString hostile = QStringLiteral("a b 'single' \"double\" $(touch %1) `touch %1`; touch %1\n-\u00e9t\u00e9 \u5b57")
                                .arg(marker);

    LaunchSandbox sandbox(QStringLiteral("res dir 'q' \"dq\" $(touch %1) `touch %1`;x").arg(marker));
    qputenv("TOLVANE_FAKE_EXIT", "0");
    const QString romFolder = sandbox.root() + QLatin1Char('/') + hostile;
    ASSERT_TRUE(QDir().mkpath(romFolder));
    const QString romPath = romFolder + QStringLiteral("/-game's $(touch ") + marker + QStringLiteral(").z64");
    Launcher launcher(sandbox, romPath);

    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(launcher.waitForEnds(1));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended self"));
    EXPECT_EQ(sandbox.recordedArguments(), expectedArguments(sandbox, sandbox.consolePath(), romPath));
    EXPECT_EQ(sandbox.recordedIni(), kDefaultIni);

    const QString custom = romFolder + QStringLiteral("/-it's \"console\"");
    ASSERT_TRUE(QFile::copy(LaunchSandbox::fakeEmulatorPath(), custom));
    setSetting("Build", QStringLiteral("Custom"));
    setSetting("CustomBuildPath", custom);
    setSetting("Resolution", QStringLiteral("640x480; touch ") + marker);
    sandbox.clearRecord();
    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(launcher.waitForEnds(2));
    QStringList expected = expectedArguments(sandbox, custom, romPath);
    expected[8] = QStringLiteral("640x480; touch ") + marker;
    EXPECT_EQ(sandbox.recordedArguments(), expected);
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(SupervisionTest, SettingsAndTheConfigFileAreHandledAtEachNewStartAndNeverAtAResume)
{
    LaunchSandbox sandbox;
    const QString romPath = sandbox.root() + QStringLiteral("/game.z64");
    Launcher launcher(sandbox, romPath);
    ASSERT_FALSE(QFile::exists(sandbox.configFilePath()));

    // No configuration file to remove: the start goes on.
    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sandbox.hasRecord(); }, kTimeoutMs));
    const pid_t emulator = sandbox.recordedPids().at(0);

    sandbox.writeConfigFile();
    setSetting("Resolution", QStringLiteral("800x600"));
    setSetting("Fullscreen", true);
    setSetting("Controllers",
               QVariantMap{{QStringLiteral("Keyboard"),
                            QVariantMap{{QStringLiteral("USBName"), QStringLiteral("Changed")},
                                        {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(1)")}}}}});
    launcher.supervisor.pausePressed();
    EXPECT_FALSE(launcher.supervisor.taskRunning());
    ASSERT_TRUE(waitForState(emulator, true));
    sandbox.clearRecord();
    launcher.supervisor.playPressed(&launcher.rom);
    EXPECT_TRUE(launcher.supervisor.taskRunning());
    ASSERT_TRUE(waitForState(emulator, false));
    // A resume removes, writes and rebuilds nothing.
    EXPECT_TRUE(QFile::exists(sandbox.configFilePath()));
    EXPECT_EQ(fileContents(launcher.supervisor.inputAutoCfgPath()), kDefaultIni);
    EXPECT_FALSE(sandbox.hasRecord());

    launcher.supervisor.stopPressed();
    ASSERT_TRUE(launcher.waitForEnds(1));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended by app"));

    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sandbox.hasRecord(); }, kTimeoutMs));
    EXPECT_FALSE(QFile::exists(sandbox.configFilePath()));
    const QStringList arguments = sandbox.recordedArguments();
    ASSERT_EQ(arguments.size(), 11);
    EXPECT_EQ(arguments.at(8), QStringLiteral("800x600"));
    EXPECT_EQ(arguments.at(9), QStringLiteral("--fullscreen"));
    EXPECT_EQ(sandbox.recordedIni(), QByteArray("[Changed]\nplugged = False\nplugin = \nmouse = True\nA = key(1)\n\n"));
    launcher.supervisor.stopPressed();
    ASSERT_TRUE(launcher.waitForEnds(2));
}

TEST(SupervisionTest, PauseStopsTheEmulatorItselfPlayResumesItAndStopEndsIt)
{
    LaunchSandbox sandbox;
    qputenv("TOLVANE_FAKE_CHILD", "1");
    Launcher launcher(sandbox, sandbox.root() + QStringLiteral("/game.z64"));
    QSignalSpy changes(&launcher.supervisor, &EmulatorSupervisor::stateChanged);
    StderrCapture log;

    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sandbox.hasRecord(); }, kTimeoutMs));
    const std::vector<pid_t> pids = sandbox.recordedPids();
    ASSERT_EQ(pids.size(), 2u);
    ChildProcess *task = launcher.supervisor.task();
    ASSERT_NE(task, nullptr);

    launcher.supervisor.pausePressed();
    for (pid_t pid : pids)
        EXPECT_TRUE(waitForState(pid, true)) << pid;
    EXPECT_FALSE(launcher.supervisor.taskRunning());
    EXPECT_TRUE(launcher.supervisor.isTaskProcessRunning());

    launcher.supervisor.playPressed(&launcher.rom);
    for (pid_t pid : pids)
        EXPECT_TRUE(waitForState(pid, false)) << pid;
    EXPECT_TRUE(launcher.supervisor.taskRunning());

    // A second Play while running starts and resumes nothing.
    launcher.supervisor.playPressed(&launcher.rom);
    EXPECT_EQ(launcher.supervisor.task(), task);
    EXPECT_EQ(task->suspendCount(), 0);
    EXPECT_TRUE(launcher.supervisor.taskRunning());

    const qsizetype changesBeforeStop = changes.count();
    launcher.supervisor.stopPressed();
    EXPECT_EQ(launcher.supervisor.task(), task); // the end notice completes the stop
    ASSERT_TRUE(launcher.waitForEnds(1));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended by app"));
    EXPECT_EQ(launcher.lastStatus(), SIGTERM);
    EXPECT_EQ(launcher.supervisor.task(), nullptr);
    EXPECT_FALSE(launcher.supervisor.taskRunning());
    EXPECT_FALSE(launcher.supervisor.isTaskProcessRunning());
    EXPECT_GE(changes.count(), changesBeforeStop + 2);
    for (pid_t pid : pids)
        EXPECT_TRUE(waitUntilEnded(pid)) << pid;
    EXPECT_TRUE(log.text().contains("Task ended by app\n"));

    // Without a child, Pause and Stop do nothing.
    launcher.supervisor.pausePressed();
    launcher.supervisor.stopPressed();
    EXPECT_EQ(launcher.supervisor.task(), nullptr);
}

TEST(SupervisionTest, TheExitStatusChoosesTheLogLine)
{
    LaunchSandbox sandbox;
    Launcher launcher(sandbox, sandbox.root() + QStringLiteral("/game.z64"));
    StderrCapture log;

    qputenv("TOLVANE_FAKE_EXIT", "0");
    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(launcher.waitForEnds(1));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended self"));
    EXPECT_EQ(launcher.lastStatus(), 0);

    qputenv("TOLVANE_FAKE_EXIT", "1");
    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(launcher.waitForEnds(2));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended by app"));
    EXPECT_EQ(launcher.lastStatus(), 1);

    // An empty custom path fails visibly, as the shell's own status.
    setSetting("Build", QStringLiteral("Custom"));
    setSetting("CustomBuildPath", QString());
    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(launcher.waitForEnds(3));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended by app"));
    EXPECT_EQ(launcher.lastStatus(), 127);
    EXPECT_FALSE(launcher.supervisor.taskRunning());

    const QByteArray text = log.text();
    EXPECT_EQ(text.count("Task ended self\n"), 1);
    EXPECT_EQ(text.count("Task ended by app\n"), 2);
}

TEST(SupervisionTest, EjectDropsTheChildAndItsLateNoticeLeavesANewerChildAlone)
{
    LaunchSandbox sandbox;
    Launcher launcher(sandbox, sandbox.root() + QStringLiteral("/game.z64"));

    launcher.supervisor.playPressed(&launcher.rom);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sandbox.hasRecord(); }, kTimeoutMs));
    const pid_t first = sandbox.recordedPids().at(0);
    sandbox.clearRecord();

    launcher.supervisor.clearPressed();
    EXPECT_EQ(launcher.supervisor.task(), nullptr);
    EXPECT_FALSE(launcher.supervisor.taskRunning());
    launcher.supervisor.playPressed(&launcher.rom);
    ChildProcess *second = launcher.supervisor.task();
    ASSERT_NE(second, nullptr);

    // The first child's notice arrives after the new start.
    ASSERT_TRUE(launcher.waitForEnds(1));
    EXPECT_EQ(launcher.lastLogLine(), QStringLiteral("Task ended by app"));
    EXPECT_TRUE(waitUntilEnded(first));
    EXPECT_EQ(launcher.supervisor.task(), second);
    EXPECT_TRUE(launcher.supervisor.taskRunning());
    EXPECT_TRUE(launcher.supervisor.isTaskProcessRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sandbox.hasRecord(); }, kTimeoutMs));
    const pid_t secondPid = sandbox.recordedPids().at(0);

    // Ejecting a paused child still ends it: nobody could resume it any more.
    launcher.supervisor.pausePressed();
    ASSERT_TRUE(waitForState(secondPid, true));
    launcher.supervisor.clearPressed();
    ASSERT_TRUE(launcher.waitForEnds(2));
    EXPECT_EQ(launcher.lastStatus(), SIGTERM);
    EXPECT_TRUE(waitUntilEnded(secondPid));
    EXPECT_EQ(launcher.supervisor.task(), nullptr);
}

TEST(SupervisionTest, QuittingWithAPausedChildLeavesNoEmulatorBehind)
{
    LaunchSandbox sandbox;
    qputenv("TOLVANE_FAKE_CHILD", "1");
    auto launcher = std::make_unique<Launcher>(sandbox, sandbox.root() + QStringLiteral("/game.z64"));
    launcher->supervisor.playPressed(&launcher->rom);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sandbox.hasRecord(); }, kTimeoutMs));
    const std::vector<pid_t> pids = sandbox.recordedPids();
    ASSERT_EQ(pids.size(), 2u);
    launcher->supervisor.pausePressed();
    for (pid_t pid : pids)
        ASSERT_TRUE(waitForState(pid, true)) << pid;

    launcher->supervisor.applicationWillTerminate();
    // The Launcher goes away without waiting for its child.
    launcher.reset();
    for (pid_t pid : pids)
        EXPECT_TRUE(waitUntilEnded(pid)) << pid;
}
