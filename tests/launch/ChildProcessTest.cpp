#include "support/TestWorld.h"

#include "launch/ShellQuoting.h"
#include "platform/ChildProcess.h"

#include <QPointer>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

bool allStopped(const std::vector<pid_t> &pids, bool stopped)
{
    return std::all_of(pids.begin(), pids.end(), [=](pid_t pid) { return (processState(pid) == 'T') == stopped; });
}

} // namespace

TEST(ChildProcessTest, SuspensionsAreCountedAndReachTheWholeGroupAndADroppedHandleNeitherKillsNorWaits)
{
    TestWorld world;
    qputenv("TOLVANE_FAKE_CHILD", "1");
    // A second command keeps the shell from replacing itself with the emulator.
    const QString command = ShellQuoting::quoted(TestWorld::fakeEmulatorPath()) + QStringLiteral("; exit $?");
    std::shared_ptr<ChildProcess> task = ChildProcess::launchedTask(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    ASSERT_TRUE(task->isRunning());
    ASSERT_TRUE(world.waitForRecord());
    std::vector<pid_t> pids = world.recordedPids();
    ASSERT_EQ(pids.size(), 2u);
    const pid_t shell = task->processIdentifier();
    ASSERT_NE(shell, pids.front());
    pids.push_back(shell);

    EXPECT_TRUE(task->suspend());
    EXPECT_TRUE(task->suspend());
    EXPECT_EQ(task->suspendCount(), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return allStopped(pids, true); }, kTimeoutMs));
    EXPECT_TRUE(task->isRunning());
    EXPECT_TRUE(task->resume());
    // One suspension is still to be undone, so nothing was continued.
    EXPECT_TRUE(allStopped(pids, true));
    EXPECT_TRUE(task->resume());
    EXPECT_TRUE(QTest::qWaitFor([&] { return allStopped(pids, false); }, kTimeoutMs));
    EXPECT_FALSE(task->resume());

    int endedStatus = -100;
    QObject receiver;
    QObject::connect(task.get(), &ChildProcess::didTerminate, &receiver,
                     [&](ChildProcess *ended) { endedStatus = ended->terminationStatus(); });
    QPointer<ChildProcess> watched = task.get();
    task.reset();
    // Still alive right after the last reference went away.
    ASSERT_TRUE(watched);
    for (pid_t pid : pids)
        EXPECT_NE(processState(pid), 0) << pid;

    ::kill(-shell, SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return endedStatus != -100; }, kTimeoutMs));
    EXPECT_EQ(endedStatus, SIGTERM);
    // Reaped, and the handle released once its end was announced.
    EXPECT_TRUE(QTest::qWaitFor([&] { return processState(shell) == 0 && !watched; }, kTimeoutMs));
    EXPECT_TRUE(waitUntilEnded(pids.at(0)) && waitUntilEnded(pids.at(1)));
}

TEST(ChildProcessTest, TerminationStatusIsTheExitCodeOrTheSignalAndAProgramThatCannotStartEnds)
{
    const struct {
        const char *program;
        const char *script;
        int status;
    } cases[] = {{"/bin/sh", "exit 3", 3}, {"/bin/sh", "kill -KILL $$", SIGKILL}, {"/nonexistent/tolvane", nullptr, 127}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.program);
        const QStringList arguments = c.script ? QStringList{QStringLiteral("-c"), QString::fromLatin1(c.script)} : QStringList();
        std::shared_ptr<ChildProcess> task = ChildProcess::launchedTask(QString::fromLatin1(c.program), arguments);
        EXPECT_TRUE(task->isRunning());
        ChildProcess *ended = nullptr;
        QObject::connect(task.get(), &ChildProcess::didTerminate, task.get(), [&](ChildProcess *t) { ended = t; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended; }, kTimeoutMs));
        EXPECT_EQ(ended, task.get());
        EXPECT_FALSE(task->isRunning());
        EXPECT_FALSE(task->suspend());
        EXPECT_EQ(task->terminationStatus(), c.status);
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
