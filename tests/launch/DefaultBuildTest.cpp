#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "rom/ROM.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

TEST(DefaultBuildTest, PlayersOwnBuildWinsWithEveryPathAndTheMappingAndAnUnwritableOneIsToldOnce)
{
    TestWorld world;
    qputenv("XDG_DATA_HOME", QFile::encodeName(world.path(QStringLiteral("data"))));
    qputenv("TOLVANE_FAKE_EXIT", "0");
    TestWorld::setSetting("Mapping", QVariantList{QStringLiteral("A")});
    TestWorld::setSetting("Controllers", QVariantMap{{QStringLiteral("Pad"), QVariantMap{{QStringLiteral("USBName"), QStringLiteral("Pad")},
                                                                                        {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(120)")}}}}});
    EmulatorSupervisor supervisor;
    supervisor.setBundlePath(world.resourcePath());
    supervisor.readEmulatorConfig();
    QSignalSpy notWritable(&supervisor, &EmulatorSupervisor::inputAutoCfgNotWritable);
    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(world.path(QStringLiteral("game.z64"))));
    const auto play = [&] {
        world.clearRecord();
        supervisor.playPressed(&rom);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !supervisor.task(); }, kTimeoutMs));
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
    EXPECT_EQ(supervisor.defaultBuildLocation(), world.path(QStringLiteral("data/tolvane-launcher")));
    EXPECT_EQ(play(), QStringList({app + QStringLiteral("bin/tolvane-console"), QStringLiteral("--corelib"), app + QStringLiteral("lib/libtolvane-core.so"),
                                   QStringLiteral("--plugindir"), app + QStringLiteral("plugins")}));
    EXPECT_EQ(world.recordedIni(), QByteArray("[Pad]\nplugged = False\nplugin = \nmouse = True\nA = key(120)\n\n"));
    EXPECT_EQ(notWritable.count(), 1);
    qunsetenv("XDG_DATA_HOME");
}
