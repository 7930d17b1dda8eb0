#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "rom/ROM.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QByteArray kIni = "[Pad]\nplugged = True\nplugin = 2\nmouse = True\nA = key(120)\n\n";

// A world whose player data folder is ours, with a one-line mapping and a stand-in that exits.
struct DefaultBuildWorld : TestWorld
{
    DefaultBuildWorld()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("data"))));
        qputenv("TOLVANE_FAKE_EXIT", "0");
        setSetting("Mapping", QVariantList{QStringLiteral("A")});
        setSetting("Controllers", QVariantMap{{QStringLiteral("Pad"), QVariantMap{{QStringLiteral("USBName"), QStringLiteral("Pad")},
                                                                                 {QStringLiteral("plugged"), true},
                                                                                 {QStringLiteral("plugin"), 2},
                                                                                 {QStringLiteral("Mapping"), QVariantList{QStringLiteral("key(120)")}}}}});
        supervisor.setBundlePath(resourcePath());
        supervisor.readEmulatorConfig();
        rom.setFilePath(QUrl::fromLocalFile(path(QStringLiteral("game.z64"))));
    }
    ~DefaultBuildWorld() { qunsetenv("XDG_DATA_HOME"); }
    QStringList playAndRecord()
    {
        clearRecord();
        supervisor.playPressed(&rom);
        EXPECT_TRUE(QTest::qWaitFor([this] { return !supervisor.task(); }, kTimeoutMs));
        return recordedArguments();
    }

    EmulatorSupervisor supervisor;
    ROM rom;
    QSignalSpy notWritable{&supervisor, &EmulatorSupervisor::inputAutoCfgNotWritable};
};

} // namespace

TEST(DefaultBuildTest, PlayersOwnBuildWinsAtTheNextPlayAndGetsEveryPathAndTheMapping)
{
    DefaultBuildWorld world;
    EXPECT_EQ(world.supervisor.defaultBuildLocation(), world.resourcePath());
    EXPECT_EQ(world.playAndRecord().value(0), world.contents(QStringLiteral("bin/tolvane-console")));

    // Copied in while the Launcher runs, without a Resources folder.
    const QString user = world.path(QStringLiteral("data/tolvane-launcher"));
    ASSERT_TRUE(QDir().mkpath(user + QStringLiteral("/tolvane.app/Contents/bin")));
    ASSERT_TRUE(QFile::link(TestWorld::fakeEmulatorPath(), user + QStringLiteral("/tolvane.app/Contents/bin/tolvane-console")));
    EXPECT_EQ(world.supervisor.defaultBuildLocation(), user);
    const QStringList arguments = world.playAndRecord();
    EXPECT_EQ(arguments.mid(0, 5), QStringList({user + QStringLiteral("/tolvane.app/Contents/bin/tolvane-console"), QStringLiteral("--corelib"),
                                                user + QStringLiteral("/tolvane.app/Contents/lib/libtolvane-core.so"), QStringLiteral("--plugindir"),
                                                user + QStringLiteral("/tolvane.app/Contents/plugins")}));
    EXPECT_EQ(world.recordedIni(), kIni);
    EXPECT_EQ(world.notWritable.count(), 0);
}

TEST(DefaultBuildTest, UnwritableInputAutoCfgIsToldOnceForTheDefaultBuildNeverForACustomOneAndPlayGoesOn)
{
    DefaultBuildWorld world;
    // A file in the folder's place makes the write fail even for root, as a read-only build does.
    ASSERT_TRUE(QDir(world.contents(QStringLiteral("Resources"))).removeRecursively());
    world.writeFile(QStringLiteral("Resources/tolvane.app/Contents/Resources"), "not a folder");
    world.useStandInAsCustomBuild();
    EXPECT_EQ(world.playAndRecord().value(0), TestWorld::fakeEmulatorPath());
    EXPECT_EQ(world.notWritable.count(), 0);

    TestWorld::setSetting("Build", QStringLiteral("Default"));
    for (int play = 0; play < 2; ++play)
        EXPECT_EQ(world.playAndRecord().value(0), world.contents(QStringLiteral("bin/tolvane-console")));
    ASSERT_EQ(world.notWritable.count(), 1);
    EXPECT_EQ(world.notWritable.first().at(0).toString(), world.contents(QStringLiteral("Resources")));
}
