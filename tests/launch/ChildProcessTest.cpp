#include "LaunchSandbox.h"

#include "launch/ShellQuoting.h"
#include "platform/ChildProcess.h"

#include <QPointer>
#include <QTest>

#include <csignal>

#include <gtest/gtest.h>

namespace {

constexpr int kTimeoutMs = 10000;

bool allInState(const std::vector<pid_t> &pids, bool stopped)
{
    for (pid_t pid : pids) {
        if ((processState(pid) == 'T') != stopped)
            return false;
    }
    return true;
}

} // namespace

TEST(ChildProcessTest, SuspensionsAreCountedAndReachTheWholeGroupAndADroppedHandleNeitherKillsNorWaits)
{
    LaunchSandbox sandbox;
    qputenv("TOLVANE_FAKE_CHILD", "1");
    // A second command keeps the shell from replacing itself with the emulator.
    const QString command = ShellQuoting::quoted(LaunchSandbox::fakeEmulatorPath()) + QStringLiteral("; exit $?");
    std::shared_ptr<ChildProcess> task =
        ChildProcess::launchedTask(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    ASSERT_TRUE(task->isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sandbox.hasRecord(); }, kTimeoutMs));
    std::vector<pid_t> pids = sandbox.recordedPids();
    ASSERT_EQ(pids.size(), 2u);
    const pid_t shell = task->processIdentifier();
    ASSERT_NE(shell, pids.front());
    pids.push_back(shell);

    EXPECT_TRUE(task->suspend());
    EXPECT_TRUE(task->suspend());
    EXPECT_EQ(task->suspendCount(), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return allInState(pids, true); }, kTimeoutMs));
    EXPECT_TRUE(task->isRunning());
    EXPECT_TRUE(task->resume());
    // One suspension is still to be undone, so nothing was continued.
    EXPECT_TRUE(allInState(pids, true));
    EXPECT_TRUE(task->resume());
    EXPECT_TRUE(QTest::qWaitFor([&] { return allInState(pids, false); }, kTimeoutMs));
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return hasEnded(pids.at(0)) && hasEnded(pids.at(1)); }, kTimeoutMs));
}

TEST(ChildProcessTest, TerminationStatusIsTheExitCodeOrTheSignalAndAProgramThatCannotStartEnds)
{
    const auto endStatus = [](const QString &path, const QStringList &arguments) {
        std::shared_ptr<ChildProcess> task = ChildProcess::launchedTask(path, arguments);
        EXPECT_TRUE(task->isRunning());
        bool ended = false;
        QObject::connect(task.get(), &ChildProcess::didTerminate, task.get(), [&](ChildProcess *endedTask) {
            EXPECT_EQ(endedTask, task.get());
            EXPECT_FALSE(endedTask->isRunning());
            ended = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended; }, kTimeoutMs));
        EXPECT_FALSE(task->suspend());
        return task->terminationStatus();
    };
    EXPECT_EQ(endStatus(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("exit 3")}), 3);
    EXPECT_EQ(endStatus(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("kill -KILL $$")}), SIGKILL);
    EXPECT_EQ(endStatus(QStringLiteral("/nonexistent/tolvane"), {}), 127);
}
