#include "support/TestWorld.h"

#include "launch/EmulatorSupervisor.h"
#include "rom/ROM.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <gtest/gtest.h>

// A parent that ignores and blocks SIGCHLD hands both on across exec; the kernel then reaped
// the emulator itself and every end looked like a clean one. The SIGPIPE the Launcher
// ignores must not stay ignored in the emulator either.
TEST(InheritedSignalsTest, IgnoredAndBlockedSigchldStillGivesEachEndItsStatusAndSigpipeIsNotHandedOn)
{
    TestWorld world;
    const auto savedAction = std::signal(SIGCHLD, SIG_IGN);
    const auto savedPipeAction = std::signal(SIGPIPE, SIG_IGN);
    sigset_t chld, savedMask;
    sigemptyset(&chld);
    sigaddset(&chld, SIGCHLD);
    pthread_sigmask(SIG_BLOCK, &chld, &savedMask);
    EmulatorSupervisor supervisor;
    QSignalSpy ended(&supervisor, &EmulatorSupervisor::taskEnded);
    supervisor.setBundlePath(world.resourcePath());
    supervisor.readEmulatorConfig();
    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(world.writeRom(QStringLiteral("game.z64"))));
    for (const int status : {3, SIGTERM}) {
        status == 3 ? qputenv("TOLVANE_FAKE_EXIT", "3") : qunsetenv("TOLVANE_FAKE_EXIT");
        world.clearRecord();
        supervisor.playPressed(&rom);
        ASSERT_TRUE(world.waitForRecord());
        if (status == SIGTERM) {
            const QByteArray procStatus = readFile(QStringLiteral("/proc/%1/status").arg(world.recordedPids().at(0)));
            const QByteArray ignored = procStatus.mid(procStatus.indexOf("SigIgn:\t") + 8, 16);
            EXPECT_EQ(ignored.toULongLong(nullptr, 16) & (1ULL << (SIGPIPE - 1)), 0U) << ignored.constData();
            supervisor.stopPressed();
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return supervisor.task() == nullptr; }, kTimeoutMs));
        EXPECT_EQ(ended.last().at(0).toString().toStdString() + ' ' + std::to_string(ended.last().at(1).toInt()),
                  "Task ended by app " + std::to_string(status));
    }
    pthread_sigmask(SIG_SETMASK, &savedMask, nullptr);
    std::signal(SIGCHLD, savedAction);
    std::signal(SIGPIPE, savedPipeAction);
}
