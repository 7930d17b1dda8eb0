#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "platform/UnixSignalWatcher.h"
#include "rom/ROM.h"

#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <csignal>

#include <gtest/gtest.h>

// A parent that ignores and blocks SIGCHLD hands both on across exec; the kernel would then
// reap the emulator itself and every end would look like a clean one.
TEST(InheritedSignalsTest, IgnoredAndBlockedSigchldStillGivesEachEndItsStatus)
{
    TestWorld world;
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction savedAction = {};
    ASSERT_EQ(sigaction(SIGCHLD, &ignore, &savedAction), 0);
    sigset_t chld;
    sigset_t savedMask;
    sigemptyset(&chld);
    sigaddset(&chld, SIGCHLD);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &chld, &savedMask), 0);

    EmulatorSupervisor supervisor;
    QSignalSpy ended(&supervisor, &EmulatorSupervisor::taskEnded);
    const auto lastEnd = [&] { return ended.last().at(0).toString().toStdString() + " " + std::to_string(ended.last().at(1).toInt()); };
    supervisor.setBundlePath(world.resourcePath());
    supervisor.readEmulatorConfig();
    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(world.writeRom(QStringLiteral("game.z64"))));
    qputenv("TOLVANE_FAKE_EXIT", "3");
    supervisor.playPressed(&rom);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 1; }, kTimeoutMs));
    EXPECT_EQ(lastEnd(), "Task ended by app 3");

    qunsetenv("TOLVANE_FAKE_EXIT");
    supervisor.playPressed(&rom);
    ASSERT_TRUE(world.waitForRecord());
    supervisor.stopPressed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.count() == 2; }, kTimeoutMs));
    EXPECT_EQ(lastEnd(), "Task ended by app " + std::to_string(SIGTERM));

    pthread_sigmask(SIG_SETMASK, &savedMask, nullptr);
    sigaction(SIGCHLD, &savedAction, nullptr);
}

TEST(InheritedSignalsTest, SignalsBlockedOnEntryReachTheirWatcher)
{
    sigset_t usr1;
    sigset_t savedMask;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &usr1, &savedMask), 0);
    {
        UnixSignalWatcher watcher({SIGUSR1});
        QSignalSpy received(&watcher, &UnixSignalWatcher::unixSignal);
        raise(SIGUSR1);
        EXPECT_TRUE(received.wait(2000));
    }
    pthread_sigmask(SIG_SETMASK, &savedMask, nullptr);
}
