#include "platform/SdlJoystickSetup.h"
#include "platform/UnixSignalWatcher.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <gtest/gtest.h>

namespace {

void (*currentHandler(int signalNumber))(int)
{
    struct sigaction action = {};
    sigaction(signalNumber, nullptr, &action);
    return action.sa_handler;
}

TEST(UnixSignalWatcherTest, SignalsArriveThroughTheEventLoopAndTheOldHandlersComeBack)
{
    ASSERT_EQ(currentHandler(SIGUSR1), SIG_DFL);
    {
        UnixSignalWatcher watcher({SIGUSR1, SIGUSR2});
        QSignalSpy spy(&watcher, &UnixSignalWatcher::unixSignal);
        ::raise(SIGUSR2);
        ::raise(SIGUSR1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() == 2; }, 5000));
        EXPECT_EQ(spy.at(0).at(0).toInt(), SIGUSR2);
        EXPECT_EQ(spy.at(1).at(0).toInt(), SIGUSR1);
    }
    EXPECT_EQ(currentHandler(SIGUSR1), SIG_DFL);
}

TEST(UnixSignalWatcherTest, JoystickSetUpLeavesTerminationSignalsToTheLauncher)
{
    // SDL's video set-up claims these while they are at their defaults, turning them into
    // quit events that nobody reads: the Launcher would no longer end on them.
    ASSERT_EQ(currentHandler(SIGTERM), SIG_DFL);
    ASSERT_EQ(currentHandler(SIGINT), SIG_DFL);
    SdlJoystickSetup::openFirstJoystick();
    EXPECT_EQ(currentHandler(SIGTERM), SIG_DFL);
    EXPECT_EQ(currentHandler(SIGINT), SIG_DFL);
}

} // namespace
