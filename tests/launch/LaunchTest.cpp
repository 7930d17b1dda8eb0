#include "support/RomImageBuilder.h"
#include "support/ScratchMount.h"
#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "launch/EntryExtractor.h"
#include "settings/EffectiveSettings.h"
#include "launch/InputAutoCfgWriter.h"
#include "launch/ShellQuoting.h"
#include "platform/ChildProcess.h"
#include "platform/LocalPath.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <csignal>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

QVariantMap record(std::initializer_list<std::pair<const char *, QVariant>> fields)
{
    QVariantMap result;
    for (const auto &[key, value] : fields)
        result.insert(QString::fromLatin1(key), value);
    return result;
}

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

TEST(LaunchCommandTest, BareWordsAreOnlyThoseTheShellCannotReadAsSyntax)
{
    const std::pair<const char *, bool> cases[] = {
        {"640x480", true}, {"/opt/emu-1.2/lib_core.so", true}, {"a@b%c+d=e:f,g", true}, {"", false},
        {"two words", false}, {"$(id)", false}, {"`id`", false}, {"a;b", false}, {"a*", false},
        {"~user", false}, {"a\"b", false}, {"x\ny", false}, {"caf\xc3\xa9", false}};
    for (const auto &[value, bare] : cases)
        EXPECT_EQ(ShellQuoting::isBareWord(QString::fromUtf8(value)), bare) << value;
}

TEST(LaunchCommandTest, SettingsChooseBuildScreenAndOptionsAndMissingValuesLeaveTheirOptionOut)
{
    TestWorld world;
    const QString resources = world.resourcePath();
    ASSERT_TRUE(ShellQuoting::isBareWord(resources)); // so @R below stands for it unquoted
    Launcher launcher(world, QStringLiteral("/ROMs/it's My Game.z64"));
    const QString tail = QStringLiteral(" '/ROMs/it'\\''s My Game.z64'");
    const QString options = QStringLiteral(" --corelib @R/tolvane.app/Contents/lib/libtolvane-core.so --plugindir @R/tolvane.app/Contents/plugins");
    const QString console = QStringLiteral("'@R/tolvane.app/Contents/bin/tolvane-console'");
    const struct {
        QVariantMap settings;
        QString command;
    } cases[] = {
        {{{QStringLiteral("VideoPlugin"), QStringLiteral("Crisp Renderer")}, {QStringLiteral("Resolution"), QStringLiteral("640x480")}},
         console + options + QStringLiteral(" --gfx tolvane-video-crisp.so --resolution 640x480 --windowed") + tail},
        {{{QStringLiteral("VideoPlugin"), QStringLiteral("Soft")}, {QStringLiteral("Resolution"), QStringLiteral("1024 x 768")},
          {QStringLiteral("Fullscreen"), true}},
         console + options + QStringLiteral(" --gfx 'video soft.so' --resolution '1024 x 768' --fullscreen") + tail},
        // Only exactly "Custom" chooses the custom build; an unknown plug-in name is left out.
        {{{QStringLiteral("Build"), QStringLiteral("custom")}, {QStringLiteral("CustomBuildPath"), QStringLiteral("/opt/x")},
          {QStringLiteral("VideoPlugin"), QStringLiteral("Unknown")}},
         console + options + QStringLiteral(" --windowed") + tail},
        {{{QStringLiteral("Build"), QStringLiteral("Custom")}, {QStringLiteral("CustomBuildPath"), QStringLiteral("/opt/it's")}},
         QStringLiteral("'/opt/it'\\''s'") + options + QStringLiteral(" --windowed") + tail},
        // A custom build without a path still takes the first place, so the start fails visibly.
        {{{QStringLiteral("Build"), QStringLiteral("Custom")}}, QStringLiteral("''") + options + QStringLiteral(" --windowed") + tail},
    };
    for (const auto &c : cases) {
        UserDefaults::setStandardUserDefaults(std::make_unique<UserDefaults>(world.path(QStringLiteral("empty.plist"))));
        for (auto it = c.settings.cbegin(); it != c.settings.cend(); ++it)
            UserDefaults::standardUserDefaults().registerDefaults({{it.key(), it.value()}});
        EXPECT_EQ(launcher.supervisor.launchCommand(launcher.rom), QString(c.command).replace(QStringLiteral("@R"), resources));
    }
    // Without an options file there is no console, core library or plug-in folder to name.
    EmulatorSupervisor bare;
    bare.setBundlePath(world.path(QStringLiteral("nowhere")));
    bare.readEmulatorConfig();
    EXPECT_EQ(bare.launchCommand(launcher.rom), QStringLiteral("'' --windowed") + tail);
}

TEST(InputAutoCfgWriterTest, EachRecordGivesOneSectionWithPresenceFlagsAndTheShorterListOfLines)
{
    const QVariantList names{QStringLiteral("First"), QStringLiteral("Second"), QStringLiteral("Third")};
    const QVariantList three{QStringLiteral("key(13)"), QStringLiteral("button(0)"), QStringLiteral("axis(1-)")};
    const struct {
        QVariantMap record;
        QString text;
    } cases[] = {
        {record({{"USBName", QStringLiteral("Pad One")}, {"plugin", 2}, {"plugged", true}, {"Mapping", three}}),
         QStringLiteral("[Pad One]\nplugged = True\nplugin = 2\nmouse = True\nFirst = key(13)\nSecond = button(0)\nThird = axis(1-)\n\n")},
        // "plugged" and "mouse" count by presence alone; absent values stay empty.
        {record({{"plugged", false}, {"mouse", true}, {"Mapping", QVariantList{QStringLiteral("a"), QString()}}}),
         QStringLiteral("[]\nplugged = True\nplugin = \nmouse = False\nFirst = a\nSecond = \n\n")},
        {record({{"USBName", QStringLiteral("P")}, {"plugin", 1}, {"mouse", false}, {"Mapping", three + three}}),
         QStringLiteral("[P]\nplugged = False\nplugin = 1\nmouse = False\nFirst = key(13)\nSecond = button(0)\nThird = axis(1-)\n\n")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(InputAutoCfgWriter::textFor(names, QVariantMap{{QStringLiteral("Pad"), c.record}}), c.text);

    // Sections in key order; what is not a record has none; no name list, no mapping lines.
    const QVariantMap controllers{{QStringLiteral("B"), record({{"USBName", QStringLiteral("Second")}, {"Mapping", three}})},
                                  {QStringLiteral("A"), record({{"USBName", QStringLiteral("First")}})},
                                  {QStringLiteral("Broken"), QStringLiteral("text")}};
    EXPECT_EQ(InputAutoCfgWriter::textFor(std::nullopt, controllers),
              QStringLiteral("[First]\nplugged = False\nplugin = \nmouse = True\n\n[Second]\nplugged = False\nplugin = \nmouse = True\n\n"));
    EXPECT_EQ(InputAutoCfgWriter::textFor(names, std::nullopt), QString());
}

TEST(InputAutoCfgWriterTest, WritesUtf8WholeAndToleratesAMissingFolder)
{
    QTemporaryDir dir;
    // Replaced whole, never written over in place: FileReplacer's, which UserDefaultsTest checks.
    const QString path = dir.filePath(QStringLiteral("InputAutoCfg.ini"));
    const QString text = QStringLiteral("[Manette \u00e9t\u00e9]\nplugged = True\n\n");
    EXPECT_TRUE(InputAutoCfgWriter::writeText(path, text));
    EXPECT_EQ(readFile(path), text.toUtf8());
    EXPECT_FALSE(InputAutoCfgWriter::writeText(dir.filePath(QStringLiteral("missing/InputAutoCfg.ini")), text));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("InputAutoCfg.ini")});
    // A full disk keeps the last mapping rather than leaving the emulator none.
    ScratchMount disk(dir.filePath(QStringLiteral("small")));
    if (!disk.isMounted())
        GTEST_SKIP() << disk.why();
    const QString small = dir.filePath(QStringLiteral("small/InputAutoCfg.ini"));
    ASSERT_TRUE(InputAutoCfgWriter::writeText(small, text) && disk.fill());
    QString reason;
    EXPECT_FALSE(InputAutoCfgWriter::writeText(small, text + text, &reason));
    EXPECT_EQ(reason, QStringLiteral("the disk is full"));
    EXPECT_EQ(readFile(small), text.toUtf8());
}


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
    // A name that is not UTF-8 reaches the emulator byte for byte.
    const QByteArray latin1 = QFile::encodeName(romFolder) + "/caf\xe9 '$(touch " + QFile::encodeName(marker) + ")'.z64";
    launcher.rom.setFilePath(LocalPath(latin1).toUrl());
    ASSERT_TRUE(launcher.playAndWaitForEnds(3));
    EXPECT_TRUE(readFile(world.path(QStringLiteral("record"))).endsWith(QByteArray("--windowed\0", 11) + latin1 + '\0'));
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(SupervisionTest, AGamesOwnSettingsReachTheCommandAndTheIniInEveryByteOrderAndNoOtherGame)
{
    TestWorld world;
    qputenv("TOLVANE_FAKE_EXIT", "0");
    const QByteArray image = RomImageBuilder().setName("OWN GAME").image();
    const QString z64 = world.writeFile(QStringLiteral("own.z64"), image);
    const QString v64 = world.writeFile(QStringLiteral("own.v64"),
                                        RomImageBuilder().setName("OWN GAME").setByteOrder(RomImageBuilder::ByteOrder::V64).image());
    const std::shared_ptr<ROM> own = ROM::romFromURL(QUrl::fromLocalFile(z64));
    EffectiveSettings game = EffectiveSettings::forROM(own.get());
    game.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("1920x1080"));
    game.setValueForKey(QStringLiteral("Controllers"), QVariantMap{{QStringLiteral("Keyboard"), QVariantMap{
        {QStringLiteral("USBName"), QStringLiteral("Keyboard")}, {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(113)")}}}}});

    const struct {
        QString path;
        const char *resolution;
        const char *firstKey;
    } cases[] = {{v64, "1920x1080", "A = key(113)\n"}, {z64, "1920x1080", "A = key(113)\n"},
                 {world.writeRom(QStringLiteral("other.z64"), "OTHER GAME"), "640x480", "A = key(120)\n"}};
    Launcher launcher(world);
    for (const auto &c : cases) {
        world.clearRecord();
        const std::shared_ptr<ROM> rom = ROM::romFromURL(QUrl::fromLocalFile(c.path));
        launcher.supervisor.playPressed(rom.get());
        ASSERT_TRUE(world.waitForRecord());
        EXPECT_TRUE(world.recordedArguments().contains(QLatin1String(c.resolution))) << c.path.toStdString();
        EXPECT_TRUE(world.recordedIni().contains(c.firstKey)) << c.path.toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !launcher.supervisor.task(); }, kTimeoutMs));
    }
}

// A parent that ignores and blocks SIGCHLD hands both on across exec; the kernel then reaped
// the emulator itself and every end looked like a clean one. The SIGPIPE the Launcher ignores
// must not stay ignored in the emulator either.
TEST(SupervisionTest, TheExitStatusChoosesTheLogLineWithSigchldIgnoredAndBlockedAndSigpipeIsNotHandedOn)
{
    TestWorld world;
    Launcher launcher(world);
    const auto savedAction = std::signal(SIGCHLD, SIG_IGN), savedPipeAction = std::signal(SIGPIPE, SIG_IGN);
    sigset_t chld, savedMask;
    sigemptyset(&chld), sigaddset(&chld, SIGCHLD);
    pthread_sigmask(SIG_BLOCK, &chld, &savedMask);
    const auto restore = qScopeGuard([&] {
        pthread_sigmask(SIG_SETMASK, &savedMask, nullptr), std::signal(SIGCHLD, savedAction), std::signal(SIGPIPE, savedPipeAction);
    });
    // Without an exit code the stand-in plays until Stop. (A program that cannot start ends
    // with the shell's status: ChildProcessTest.)
    const std::tuple<const char *, const char *, int> cases[] = {
        {"0", "Task ended self", 0}, {"1", "Task ended by app", 1}, {nullptr, "Task ended by app", SIGTERM}};
    for (const auto &[exitCode, line, status] : cases) {
        exitCode ? qputenv("TOLVANE_FAKE_EXIT", exitCode) : qunsetenv("TOLVANE_FAKE_EXIT");
        const qsizetype ends = launcher.ended.count();
        world.clearRecord();
        launcher.supervisor.playPressed(&launcher.rom);
        if (!exitCode) {
            ASSERT_TRUE(world.waitForRecord());
            const QByteArray procStatus = readFile(QStringLiteral("/proc/%1/status").arg(world.recordedPids().at(0)));
            const QByteArray ignored = procStatus.mid(procStatus.indexOf("SigIgn:\t") + 8, 16);
            EXPECT_EQ(ignored.toULongLong(nullptr, 16) & (1ULL << (SIGPIPE - 1)), 0U) << ignored.constData();
            launcher.supervisor.stopPressed();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return launcher.ended.count() > ends; }, kTimeoutMs));
        EXPECT_EQ(launcher.ended.last(), (QVariantList{QLatin1String(line), status})) << line << ' ' << status;
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

TEST(EntryExtractorTest, LeftoversOfEndedProcessesGoAndThoseOfRunningOnesStay)
{
    TestWorld world;
    world.useOwnRuntimeFolder();
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    const QString folder = EntryExtractor::folderPath();
    // A --play without a window, say, still playing its copy; and what a crash left.
    const QString playing = folder + QStringLiteral("/extracted-%1-1-a.z64").arg(::getppid());
    const QString left = folder + QStringLiteral("/extracted-%1-1-b.z64").arg(ended);
    ASSERT_TRUE(writeBytes(playing, {}) && writeBytes(left, {}));
    EntryExtractor::removeLeftovers();
    EXPECT_TRUE(QFile::exists(playing));
    EXPECT_FALSE(QFile::exists(left));
}

TEST(ChildProcessTest, SuspensionsAreCountedAndADroppedHandleNeitherKillsNorWaits)
{
    TestWorld world;
    // Play time by a clock of our own: exact, and nothing waited out.
    qint64 now = 0;
    ChildProcess::setClock([&now] { return now; });
    const auto realClock = qScopeGuard([] { ChildProcess::setClock({}); });
    // A second command keeps the shell from replacing itself with the stand-in.
    std::shared_ptr<ChildProcess> task = ChildProcess::launchedTask(
        QStringLiteral("/bin/sh"), {QStringLiteral("-c"), TestWorld::fakeEmulatorPath() + QStringLiteral("; exit 3")});
    ASSERT_TRUE(world.waitForRecord()); // started, so signals meet a settled process
    const pid_t shell = task->processIdentifier();
    now += 4000;
    EXPECT_TRUE(task->suspend() && task->suspend());
    ASSERT_TRUE(waitForStopped({shell}));
    // Play time: a suspended child's clock stands still, until the last suspension is undone.
    now += 2000;
    EXPECT_TRUE(task->resume());
    EXPECT_EQ(processState(shell), 'T') << "one suspension is still to be undone";
    now += 1000;
    EXPECT_EQ(task->activeMilliseconds(), 4000);
    EXPECT_TRUE(task->resume());
    EXPECT_TRUE(waitForStopped({shell}, false));
    EXPECT_FALSE(task->resume());
    now += 3000;
    EXPECT_EQ(task->activeMilliseconds(), 7000);

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

TEST(DefaultBuildTest, PlayersOwnBuildWinsWithEveryPathAndTheMappingAndAnUnwritableOneIsToldOnce)
{
    TestWorld world;
    qputenv("XDG_DATA_HOME", QFile::encodeName(world.path(QStringLiteral("data"))));
    qputenv("TOLVANE_FAKE_EXIT", "0");
    TestWorld::setSetting("Mapping", QVariantList{QStringLiteral("A")});
    TestWorld::setSetting("Controllers", QVariantMap{{QStringLiteral("Pad"), QVariantMap{{QStringLiteral("USBName"), QStringLiteral("Pad")},
                                                                                        {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(120)")}}}}});
    Launcher launcher(world);
    QSignalSpy notWritable(&launcher.supervisor, &EmulatorSupervisor::inputAutoCfgNotWritable);
    const auto play = [&] {
        world.clearRecord();
        EXPECT_TRUE(launcher.playAndWaitForEnds(int(launcher.ended.count()) + 1));
        return world.recordedArguments().mid(0, 5);
    };

    // A file in the folder's place makes the write fail even for root, as a read-only build does.
    ASSERT_TRUE(QDir(world.contents(QStringLiteral("Resources"))).removeRecursively());
    world.writeFile(QStringLiteral("Resources/tolvane.app/Contents/Resources"), "not a folder");
    world.useStandInAsCustomBuild();
    EXPECT_EQ(play().value(0), TestWorld::fakeEmulatorPath());
    EXPECT_EQ(notWritable.count(), 0);
    TestWorld::setSetting("Build", QStringLiteral("Default"));
    EXPECT_EQ(play().value(0), world.contents(QStringLiteral("bin/tolvane-console")));
    EXPECT_EQ(play().value(0), world.contents(QStringLiteral("bin/tolvane-console")));
    ASSERT_EQ(notWritable.count(), 1);
    EXPECT_EQ(notWritable.first().at(0).toString(), world.contents(QStringLiteral("Resources")));

    // The player's own build, copied in while the Launcher runs, without a Resources folder.
    const QString app = world.path(QStringLiteral("data/tolvane-launcher/tolvane.app/Contents/"));
    ASSERT_TRUE(QDir().mkpath(app + QStringLiteral("bin")));
    ASSERT_TRUE(QFile::link(TestWorld::fakeEmulatorPath(), app + QStringLiteral("bin/tolvane-console")));
    EXPECT_EQ(launcher.supervisor.defaultBuildLocation(), world.path(QStringLiteral("data/tolvane-launcher")));
    EXPECT_EQ(play(), QStringList({app + QStringLiteral("bin/tolvane-console"), QStringLiteral("--corelib"), app + QStringLiteral("lib/libtolvane-core.so"),
                                   QStringLiteral("--plugindir"), app + QStringLiteral("plugins")}));
    EXPECT_EQ(world.recordedIni(), QByteArray("[Pad]\nplugged = False\nplugin = \nmouse = True\nA = key(120)\n\n"));
    EXPECT_EQ(notWritable.count(), 1);
    qunsetenv("XDG_DATA_HOME");
}
