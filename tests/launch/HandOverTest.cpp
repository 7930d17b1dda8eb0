#include "support/TestWorld.h"

#include "launch/EmulatorOutputLog.h"
#include "launch/EmulatorSupervisor.h"
#include "launch/GameSession.h"
#include "platform/CallerOutput.h"
#include "platform/SingleInstance.h"
#include "rom/ROM.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

qsizetype openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
}

// A peer that is not our --play: a play request sent with \a count descriptors (copies of
// standard error) on its first bytes; it waits on \a socket.
void sendRequestWithDescriptors(QLocalSocket &socket, const QString &serverName, int count)
{
    socket.connectToServer(serverName);
    ASSERT_TRUE(socket.waitForConnected(kTimeoutMs));
    QByteArray request("play\0/roms/game.z64\0\0", 21);
    std::vector<int> fds(size_t(count), STDERR_FILENO);
    iovec part{request.data(), size_t(request.size())};
    alignas(cmsghdr) char control[CMSG_SPACE(8 * sizeof(int))] = {};
    msghdr message = {};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (count > 0) {
        message.msg_control = control;
        message.msg_controllen = CMSG_SPACE(fds.size() * sizeof(int));
        cmsghdr *header = CMSG_FIRSTHDR(&message);
        *header = {CMSG_LEN(fds.size() * sizeof(int)), SOL_SOCKET, SCM_RIGHTS};
        std::memcpy(CMSG_DATA(header), fds.data(), fds.size() * sizeof(int));
    }
    ASSERT_EQ(::sendmsg(int(socket.socketDescriptor()), &message, 0), request.size());
}

// A --play handed over to a running Launcher gets the emulator's output on its own standard
// output and error, as a --play without a window does, before its answer; the Launcher's
// output log keeps its copy. Peers that pass other descriptors than the two are not heard, one
// that passes none is, and every descriptor received is closed in the end.
TEST(HandOverTest, ThePlayersStreamsGetTheEmulatorsOutputAndNoDescriptorIsKept)
{
    TestWorld world;
    world.useOwnRuntimeFolder();
    TestWorld::useStandInAsCustomBuild();
    const QString game = world.writeRom(QStringLiteral("game.z64"));
    const qsizetype descriptorsBefore = openDescriptors();
    SingleInstance launcher;
    ASSERT_TRUE(launcher.listen());
    GameSession session;
    QList<std::shared_ptr<CallerOutput>> outputs;
    QObject::connect(&launcher, &SingleInstance::playRequested,
                     [&](const LocalPath &path, quint64 request, const QList<QByteArray> &environment, const std::shared_ptr<CallerOutput> &output) {
                         outputs << output;
                         if (path.toUrl().toLocalFile() != game)
                             return launcher.answerPlayRequest(request, 66, QString());
                         session.supervisor()->setEnvironmentForNextStart(environment);
                         session.supervisor()->setOutputForNextStart(output);
                         QObject::connect(&session, &GameSession::finished, &launcher, [&launcher, request](int code, const QString &text) {
                             launcher.answerPlayRequest(request, code, text);
                         }, Qt::SingleShotConnection);
                         session.play(ROM::romFromURL(path.toUrl()));
                     });

    QProcess caller;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TOLVANE_FAKE_SAY"), QStringLiteral("hello"));
    environment.insert(QStringLiteral("TOLVANE_FAKE_EXIT"), QStringLiteral("0"));
    caller.setProcessEnvironment(environment);
    caller.setStandardOutputFile(world.path(QStringLiteral("out")));
    caller.setStandardErrorFile(world.path(QStringLiteral("err")));
    caller.start(TestWorld::program("tolvane-launcher"), {QStringLiteral("--play"), game});
    ASSERT_TRUE(QTest::qWaitFor([&] { return caller.state() == QProcess::NotRunning; }, kTimeoutMs));
    EXPECT_EQ(caller.exitCode(), 0);
    EXPECT_EQ(readFile(world.path(QStringLiteral("out"))), QByteArray("hello on stdout\n"));
    EXPECT_EQ(readFile(world.path(QStringLiteral("err"))), QByteArray("hello on stderr\n"));
    EXPECT_TRUE(session.supervisor()->outputLog()->lines().contains(QStringLiteral("hello on stdout")));

    {
        QLocalSocket peers[3];
        for (const int count : {0, 1, 3})
            sendRequestWithDescriptors(peers[qMin(count, 2)], launcher.serverName(), count);
        QTest::qWait(200);
    }
    ASSERT_EQ(outputs.size(), 2) << "a peer with other descriptors than the two was heard";
    EXPECT_TRUE(outputs.at(0) && !outputs.at(1));
    outputs.clear();
    EXPECT_TRUE(QTest::qWaitFor([&] { return openDescriptors() == descriptorsBefore + 1; }, kTimeoutMs))
        << openDescriptors() - descriptorsBefore - 1 << " descriptors kept";
}

// The emulator of a Launcher killed during play (kill -9) writes on: the streams that
// Launcher read for it are gone, and that must not end the game (SIGPIPE). The next Launcher
// holds the whole group: the game has not ended while a process the emulator started plays
// on, and Stop reaches that one too.
TEST(LeftGameTest, AnEmulatorWhoseLauncherWasKilledWritesOnAndItsGroupIsTheGame)
{
    TestWorld world;
    world.useOwnRuntimeFolder();
    TestWorld::useStandInAsCustomBuild();
    qputenv("TOLVANE_FAKE_TALK", "20");
    qputenv("TOLVANE_FAKE_CHILD", "1");
    QProcess killed;
    killed.start(TestWorld::program("tolvane-launcher"), {QStringLiteral("--play"), world.writeRom(QStringLiteral("game.z64"))});
    qunsetenv("TOLVANE_FAKE_TALK");
    qunsetenv("TOLVANE_FAKE_CHILD");
    ASSERT_TRUE(world.waitForRecord());
    const std::vector<pid_t> pids = world.recordedPids();
    ASSERT_EQ(pids.size(), 2U);
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(kTimeoutMs));
    QTest::qWait(300);
    EXPECT_TRUE(processState(pids[0]) == 'S' || processState(pids[0]) == 'R') << "state " << processState(pids[0]);

    GameSession session;
    QSignalSpy ended(&session, &GameSession::leftGameEnded);
    ASSERT_TRUE(session.takeLeftGame());
    ::kill(pids[0], SIGKILL);
    ASSERT_TRUE(waitUntilEnded(pids[0]));
    QTest::qWait(200);
    EXPECT_TRUE(ended.isEmpty() && session.isRunning()) << "ended while the emulator's helper plays on";
    session.stop();
    EXPECT_TRUE(ended.wait(kTimeoutMs) && waitUntilEnded(pids[1]));
    ::kill(pids[1], SIGKILL);
}

} // namespace
