#include "LaunchSandbox.h"

#include "launch/EmulatorSupervisor.h"
#include "launch/ShellQuoting.h"
#include "platform/PropertyList.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

void setSetting(const char *key, const QVariant &value)
{
    UserDefaults::standardUserDefaults().setValueForKey(QString::fromUtf8(key), value);
}

} // namespace

TEST(LaunchCommandTest, ExampleCommandComesOutByteForByte)
{
    LaunchSandbox sandbox;
    // The example's options, in a resource directory of ours standing for /Apps/L.app/Contents/Resources.
    {
        QFile options(sandbox.resourcePath() + QStringLiteral("/EmulatorOptions.plist"));
        ASSERT_TRUE(options.open(QIODevice::WriteOnly));
        options.write(PropertyList::toXml(QVariantMap{
            {QStringLiteral("UIConsole"), QStringLiteral("/emu/console")},
            {QStringLiteral("CoreLibrary"), QStringLiteral("/emu/core.lib")},
            {QStringLiteral("PluginDirectory"), QStringLiteral("/emu/plugins")},
            {QStringLiteral("VideoPlugins"), QVariantMap{{QStringLiteral("V"), QStringLiteral("video-a.lib")}}},
        }));
    }
    ASSERT_TRUE(ShellQuoting::isBareWord(sandbox.resourcePath()));
    setSetting("VideoPlugin", QStringLiteral("V"));
    setSetting("Resolution", QStringLiteral("640x480"));
    setSetting("Fullscreen", false);
    setSetting("Build", QStringLiteral("Default"));

    EmulatorSupervisor supervisor;
    supervisor.setBundlePath(sandbox.resourcePath());
    supervisor.readEmulatorConfig();
    EXPECT_EQ(supervisor.tolvanePath(), sandbox.resourcePath() + QStringLiteral("/emu/console"));
    EXPECT_EQ(supervisor.coreArg(), QStringLiteral("--corelib ") + sandbox.resourcePath() + QStringLiteral("/emu/core.lib"));
    EXPECT_EQ(supervisor.pluginArg(),
              QStringLiteral("--plugindir ") + sandbox.resourcePath() + QStringLiteral("/emu/plugins"));

    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(QStringLiteral("/ROMs/My Game.z64")));
    QString expected = QStringLiteral(
        "'/Apps/L.app/Contents/Resources/emu/console' --corelib /Apps/L.app/Contents/Resources/emu/core.lib "
        "--plugindir /Apps/L.app/Contents/Resources/emu/plugins --gfx video-a.lib --resolution 640x480 --windowed "
        "'/ROMs/My Game.z64'");
    expected.replace(QStringLiteral("/Apps/L.app/Contents/Resources"), sandbox.resourcePath());
    EXPECT_EQ(supervisor.launchCommand(rom).toUtf8(), expected.toUtf8());

    // Only the first place changes for a custom build.
    setSetting("Build", QStringLiteral("Custom"));
    setSetting("CustomBuildPath", QStringLiteral("/opt/emu/console"));
    expected.replace(sandbox.resourcePath() + QStringLiteral("/emu/console"), QStringLiteral("/opt/emu/console"));
    EXPECT_EQ(supervisor.launchCommand(rom), expected);
    EXPECT_TRUE(expected.startsWith(QStringLiteral("'/opt/emu/console' --corelib ")));
}

TEST(LaunchCommandTest, SettingsChooseBuildScreenAndOptionsAndMissingValuesLeaveTheirOptionOut)
{
    LaunchSandbox sandbox;
    EmulatorSupervisor supervisor;
    supervisor.setBundlePath(sandbox.resourcePath());
    supervisor.readEmulatorConfig();
    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(QStringLiteral("/r/g.z64")));
    const QString core = QStringLiteral("--corelib ") + sandbox.coreLibraryPath();
    const QString plugins = QStringLiteral("--plugindir ") + sandbox.pluginDirectoryPath();
    const QString console = ShellQuoting::quoted(sandbox.consolePath());

    EXPECT_EQ(supervisor.launchCommand(rom),
              console + QLatin1Char(' ') + core + QLatin1Char(' ') + plugins
                  + QStringLiteral(" --gfx tolvane-video-crisp.so --resolution 640x480 --windowed '/r/g.z64'"));

    // "Build" other than exactly "Custom" keeps the default build.
    for (const QVariant &build : {QVariant(QStringLiteral("custom")), QVariant(QString()), QVariant()}) {
        setSetting("Build", build);
        setSetting("CustomBuildPath", QStringLiteral("/opt/other"));
        EXPECT_TRUE(supervisor.launchCommand(rom).startsWith(console + QLatin1Char(' '))) << build.toString().toStdString();
    }

    setSetting("Fullscreen", true);
    setSetting("Resolution", QStringLiteral("1024 x 768"));
    setSetting("VideoPlugin", QStringLiteral("Soft"));
    EXPECT_TRUE(supervisor.launchCommand(rom).endsWith(
        QStringLiteral(" --gfx 'video soft.so' --resolution '1024 x 768' --fullscreen '/r/g.z64'")));

    // A plug-in name the options do not know and no resolution at all: both options left out.
    UserDefaults::setStandardUserDefaults(
        std::make_unique<UserDefaults>(sandbox.root() + QStringLiteral("/other-settings.plist")));
    setSetting("VideoPlugin", QStringLiteral("Unknown"));
    EXPECT_EQ(supervisor.launchCommand(rom),
              console + QLatin1Char(' ') + core + QLatin1Char(' ') + plugins + QStringLiteral(" --windowed '/r/g.z64'"));

    // A custom build without a path still takes the first place, so the start fails visibly.
    setSetting("Build", QStringLiteral("Custom"));
    EXPECT_TRUE(supervisor.launchCommand(rom).startsWith(QStringLiteral("'' --corelib ")));
    setSetting("CustomBuildPath", QString());
    EXPECT_TRUE(supervisor.launchCommand(rom).startsWith(QStringLiteral("'' --corelib ")));

    // Without an options file there is no console, core library or plug-in folder to name.
    EmulatorSupervisor bare;
    bare.setBundlePath(sandbox.root() + QStringLiteral("/nowhere"));
    bare.readEmulatorConfig();
    EXPECT_TRUE(bare.emulatorOptions().isEmpty());
    EXPECT_TRUE(bare.coreArg().isEmpty());
    setSetting("Build", QStringLiteral("Default"));
    EXPECT_EQ(bare.launchCommand(rom), QStringLiteral("'' --windowed '/r/g.z64'"));
}

TEST(LaunchCommandTest, ConfigFileIsTheCurrentUsersAndItsRemovalIgnoresFailures)
{
    LaunchSandbox sandbox;
    EXPECT_EQ(EmulatorSupervisor::emulatorConfigFilePath(), sandbox.configFilePath());
    EmulatorSupervisor supervisor;
    supervisor.removeEmulatorConfigFile(); // no folder at all: nothing happens
    sandbox.writeConfigFile();
    ASSERT_TRUE(QFile::exists(sandbox.configFilePath()));
    supervisor.removeEmulatorConfigFile();
    EXPECT_FALSE(QFile::exists(sandbox.configFilePath()));

    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(EmulatorSupervisor::emulatorConfigFilePath(), sandbox.configFilePath());
}
