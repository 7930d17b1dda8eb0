#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "launch/InputAutoCfgWriter.h"
#include "launch/ShellQuoting.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QVariantMap record(std::initializer_list<std::pair<const char *, QVariant>> fields)
{
    QVariantMap result;
    for (const auto &[key, value] : fields)
        result.insert(QString::fromLatin1(key), value);
    return result;
}

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
    const QString path = dir.filePath(QStringLiteral("InputAutoCfg.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("an older and much longer text that must not survive in part\n");
    file.close();
    const QString text = QStringLiteral("[Manette \u00e9t\u00e9]\nplugged = True\n\n");
    EXPECT_TRUE(InputAutoCfgWriter::writeText(path, text));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text.toUtf8());
    EXPECT_FALSE(InputAutoCfgWriter::writeText(dir.filePath(QStringLiteral("missing/InputAutoCfg.ini")), text));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("InputAutoCfg.ini")});
}
