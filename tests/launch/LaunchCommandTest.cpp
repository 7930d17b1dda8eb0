#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "launch/ShellQuoting.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QUrl>

#include <gtest/gtest.h>

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
    EmulatorSupervisor supervisor;
    supervisor.setBundlePath(resources);
    supervisor.readEmulatorConfig();
    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(QStringLiteral("/ROMs/it's My Game.z64")));
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
        EXPECT_EQ(supervisor.launchCommand(rom), QString(c.command).replace(QStringLiteral("@R"), resources));
    }
    // Without an options file there is no console, core library or plug-in folder to name.
    EmulatorSupervisor bare;
    bare.setBundlePath(world.path(QStringLiteral("nowhere")));
    bare.readEmulatorConfig();
    EXPECT_EQ(bare.launchCommand(rom), QStringLiteral("'' --windowed") + tail);
}

TEST(LaunchCommandTest, ConfigFileIsTheCurrentUsers)
{
    TestWorld world;
    EXPECT_EQ(EmulatorSupervisor::emulatorConfigFilePath(), world.configFilePath());
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(EmulatorSupervisor::emulatorConfigFilePath(), world.configFilePath());
}
