#include "support/TestWorld.h"

#include "platform/ChildProcess.h"

#include <QPointer>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

TEST(ChildProcessTest, SuspensionsAreCountedAndADroppedHandleNeitherKillsNorWaits)
{
    TestWorld world;
    // A second command keeps the shell from replacing itself with the stand-in.
    std::shared_ptr<ChildProcess> task = ChildProcess::launchedTask(
        QStringLiteral("/bin/sh"), {QStringLiteral("-c"), TestWorld::fakeEmulatorPath() + QStringLiteral("; exit 3")});
    ASSERT_TRUE(world.waitForRecord()); // started, so signals meet a settled process
    const pid_t shell = task->processIdentifier();
    EXPECT_TRUE(task->suspend() && task->suspend());
    ASSERT_TRUE(waitForStopped({shell}));
    EXPECT_TRUE(task->resume());
    EXPECT_EQ(processState(shell), 'T') << "one suspension is still to be undone";
    EXPECT_TRUE(task->resume());
    EXPECT_TRUE(waitForStopped({shell}, false));
    EXPECT_FALSE(task->resume());

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

TEST(ChildProcessTest, TerminationStatusIsTheExitCodeOrTheSignalAndAProgramThatCannotStartEnds)
{
    const std::pair<const char *, int> cases[] = {{"exit 3", 3}, {"kill -KILL $$", SIGKILL}, {nullptr, 127}};
    for (const auto &[script, status] : cases) {
        std::shared_ptr<ChildProcess> task = script ? ChildProcess::launchedTask(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromLatin1(script)})
                                                    : ChildProcess::launchedTask(QStringLiteral("/nonexistent/tolvane"), {});
        EXPECT_TRUE(task->isRunning());
        ChildProcess *ended = nullptr;
        QObject::connect(task.get(), &ChildProcess::didTerminate, task.get(), [&](ChildProcess *t) { ended = t; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, kTimeoutMs));
        EXPECT_EQ(ended, task.get());
        EXPECT_FALSE(task->isRunning() || task->suspend());
        EXPECT_EQ(task->terminationStatus(), status);
    }
}

TEST(ChildProcessTest, TheChildGetsOnlyTheStandardStreamsOfTheLauncher)
{
    // As SDL opens joystick devices: a descriptor without close-on-exec.
    const int held = ::open("/dev/null", O_RDONLY);
    ASSERT_GT(held, STDERR_FILENO);
    const QString script = QStringLiteral("test -e /proc/$$/fd/2 && test ! -e /proc/$$/fd/%1").arg(held);
    std::shared_ptr<ChildProcess> task = ChildProcess::launchedTask(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !task->isRunning(); }, kTimeoutMs));
    EXPECT_EQ(task->terminationStatus(), 0) << "descriptor " << held << " reached the child";
    ::close(held);
}
