#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "launch/ShellQuoting.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

TEST(LaunchCommandTest, ExampleCommandComesOutByteForByte)
{
    TestWorld world;
    // The example's options, in a resource directory of ours standing for /Apps/L.app/Contents/Resources.
    world.writeFile(QStringLiteral("Resources/EmulatorOptions.plist"), PropertyList::toXml(QVariantMap{
        {QStringLiteral("UIConsole"), QStringLiteral("/emu/console")},
        {QStringLiteral("CoreLibrary"), QStringLiteral("/emu/core.lib")},
        {QStringLiteral("PluginDirectory"), QStringLiteral("/emu/plugins")},
        {QStringLiteral("VideoPlugins"), QVariantMap{{QStringLiteral("V"), QStringLiteral("video-a.lib")}}}}));
    const QString resources = world.resourcePath();
    ASSERT_TRUE(ShellQuoting::isBareWord(resources));
    TestWorld::setSetting("VideoPlugin", QStringLiteral("V"));

    EmulatorSupervisor supervisor;
    supervisor.setBundlePath(resources);
    supervisor.readEmulatorConfig();
    EXPECT_EQ(supervisor.tolvanePath(), resources + QStringLiteral("/emu/console"));
    EXPECT_EQ(supervisor.coreArg(), QStringLiteral("--corelib ") + resources + QStringLiteral("/emu/core.lib"));
    EXPECT_EQ(supervisor.pluginArg(), QStringLiteral("--plugindir ") + resources + QStringLiteral("/emu/plugins"));

    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(QStringLiteral("/ROMs/My Game.z64")));
    QString expected = QStringLiteral(
        "'/Apps/L.app/Contents/Resources/emu/console' --corelib /Apps/L.app/Contents/Resources/emu/core.lib "
        "--plugindir /Apps/L.app/Contents/Resources/emu/plugins --gfx video-a.lib --resolution 640x480 --windowed "
        "'/ROMs/My Game.z64'");
    expected.replace(QStringLiteral("/Apps/L.app/Contents/Resources"), resources);
    EXPECT_EQ(supervisor.launchCommand(rom).toUtf8(), expected.toUtf8());

    // Only the first place changes for a custom build.
    TestWorld::setSetting("Build", QStringLiteral("Custom"));
    TestWorld::setSetting("CustomBuildPath", QStringLiteral("/opt/emu/console"));
    expected.replace(QLatin1Char('\'') + resources + QStringLiteral("/emu/console'"), QStringLiteral("'/opt/emu/console'"));
    EXPECT_EQ(supervisor.launchCommand(rom), expected);
}

TEST(LaunchCommandTest, SettingsChooseBuildScreenAndOptionsAndMissingValuesLeaveTheirOptionOut)
{
    TestWorld world;
    EmulatorSupervisor supervisor;
    supervisor.setBundlePath(world.resourcePath());
    supervisor.readEmulatorConfig();
    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(QStringLiteral("/r/g.z64")));
    const QString start = ShellQuoting::quoted(world.contents(QStringLiteral("bin/tolvane-console"))) + QStringLiteral(" --corelib ")
        + world.contents(QStringLiteral("lib/libtolvane-core.so")) + QStringLiteral(" --plugindir ")
        + world.contents(QStringLiteral("plugins"));
    EXPECT_EQ(supervisor.launchCommand(rom),
              start + QStringLiteral(" --gfx tolvane-video-crisp.so --resolution 640x480 --windowed '/r/g.z64'"));

    // "Build" other than exactly "Custom" keeps the default build.
    TestWorld::setSetting("CustomBuildPath", QStringLiteral("/opt/other"));
    for (const QVariant &build : {QVariant(QStringLiteral("custom")), QVariant(QString()), QVariant()}) {
        TestWorld::setSetting("Build", build);
        EXPECT_TRUE(supervisor.launchCommand(rom).startsWith(start)) << build.toString().toStdString();
    }

    TestWorld::setSetting("Fullscreen", true);
    TestWorld::setSetting("Resolution", QStringLiteral("1024 x 768"));
    TestWorld::setSetting("VideoPlugin", QStringLiteral("Soft"));
    EXPECT_EQ(supervisor.launchCommand(rom),
              start + QStringLiteral(" --gfx 'video soft.so' --resolution '1024 x 768' --fullscreen '/r/g.z64'"));

    // A plug-in name the options do not know and no resolution at all: both options left out.
    UserDefaults::setStandardUserDefaults(std::make_unique<UserDefaults>(world.path(QStringLiteral("other-settings.plist"))));
    TestWorld::setSetting("VideoPlugin", QStringLiteral("Unknown"));
    EXPECT_EQ(supervisor.launchCommand(rom), start + QStringLiteral(" --windowed '/r/g.z64'"));

    // A custom build without a path still takes the first place, so the start fails visibly.
    TestWorld::setSetting("Build", QStringLiteral("Custom"));
    EXPECT_TRUE(supervisor.launchCommand(rom).startsWith(QStringLiteral("'' --corelib ")));
    TestWorld::setSetting("CustomBuildPath", QString());
    EXPECT_TRUE(supervisor.launchCommand(rom).startsWith(QStringLiteral("'' --corelib ")));

    // Without an options file there is no console, core library or plug-in folder to name.
    EmulatorSupervisor bare;
    bare.setBundlePath(world.path(QStringLiteral("nowhere")));
    bare.readEmulatorConfig();
    EXPECT_TRUE(bare.emulatorOptions().isEmpty());
    TestWorld::setSetting("Build", QStringLiteral("Default"));
    EXPECT_EQ(bare.launchCommand(rom), QStringLiteral("'' --windowed '/r/g.z64'"));
}

TEST(LaunchCommandTest, ConfigFileIsTheCurrentUsersAndItsRemovalIgnoresFailures)
{
    TestWorld world;
    EXPECT_EQ(EmulatorSupervisor::emulatorConfigFilePath(), world.configFilePath());
    EmulatorSupervisor supervisor;
    supervisor.removeEmulatorConfigFile(); // no folder at all: nothing happens
    QDir().mkpath(world.path(QStringLiteral("home/.config/tolvane")));
    world.writeFile(QStringLiteral("home/.config/tolvane/tolvane.cfg"), "stale emulator settings\n");
    supervisor.removeEmulatorConfigFile();
    EXPECT_FALSE(QFile::exists(world.configFilePath()));

    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(EmulatorSupervisor::emulatorConfigFilePath(), world.configFilePath());
}
