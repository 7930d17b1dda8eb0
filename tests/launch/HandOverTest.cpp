#include "support/TestWorld.h"

#include "launch/EmulatorOutputLog.h"
#include "launch/EmulatorSupervisor.h"
#include "launch/GameSession.h"
#include "platform/SingleInstance.h"
#include "rom/ROM.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>

#include <sys/socket.h>

#include <gtest/gtest.h>

namespace {

qsizetype openDescriptors() { return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size(); }

// A --play handed over to a running Launcher is answered at the game's end; the emulator gets
// the caller's environment, its output goes to the caller's standard output and error before
// the answer, and to the output log. Peers passing other descriptors than those two are not
// heard, one passing none is, and every descriptor received is closed in the end.
TEST(HandOverTest, ThePlayersStreamsGetTheEmulatorsOutputAndNoDescriptorIsKept)
{
    TestWorld world;
    world.useOwnRuntimeFolder();
    TestWorld::useStandInAsCustomBuild();
    const qsizetype descriptorsBefore = openDescriptors();
    SingleInstance launcher;
    ASSERT_TRUE(launcher.listen());
    GameSession session;
    QList<bool> passed;
    QObject::connect(&launcher, &SingleInstance::playRequested, [&](const LocalPath &path, quint64 request, const QList<QByteArray> &environment, const auto &output) {
        passed << bool(output);
        if (path.bytes().startsWith("/nowhere/"))
            return launcher.answerPlayRequest(request, 66, QString());
        session.supervisor()->setEnvironmentForNextStart(environment);
        session.supervisor()->setOutputForNextStart(output);
        QObject::connect(&session, &GameSession::finished, &launcher, [&launcher, request](int code, const QString &text) { launcher.answerPlayRequest(request, code, text); }, Qt::SingleShotConnection);
        session.play(ROM::romFromURL(path.toUrl()));
    });
    QProcess caller;
    caller.setStandardOutputFile(world.path(QStringLiteral("out")));
    caller.setStandardErrorFile(world.path(QStringLiteral("err")));
    QProcessEnvironment callers = QProcessEnvironment::systemEnvironment();
    callers.insert(QStringLiteral("TOLVANE_FAKE_SAY"), QStringLiteral("hello")), callers.insert(QStringLiteral("TOLVANE_FAKE_EXIT"), QStringLiteral("0"));
    caller.setProcessEnvironment(callers);
    caller.start(TestWorld::program("tolvane-launcher"), {QStringLiteral("--play"), world.writeRom(QStringLiteral("game.z64"))});
    ASSERT_TRUE(QTest::qWaitFor([&] { return caller.state() == QProcess::NotRunning; }, kTimeoutMs) && caller.exitCode() == 0);
    EXPECT_EQ(readFile(world.path(QStringLiteral("out"))) + readFile(world.path(QStringLiteral("err"))), QByteArray("hello on stdout\nhello on stderr\n"));
    EXPECT_TRUE(session.supervisor()->outputLog()->lines().contains(QStringLiteral("hello on stdout")));

    QLocalSocket peers[3];
    for (const int count : {0, 1, 3}) {
        QLocalSocket &peer = peers[qMin(count, 2)];
        peer.connectToServer(launcher.serverName());
        ASSERT_TRUE(peer.waitForConnected(kTimeoutMs));
        char request[] = "play\0/nowhere/game.z64\0";
        iovec part{request, sizeof request};
        alignas(cmsghdr) char control[CMSG_SPACE(3 * sizeof(int))] = {};
        msghdr message{nullptr, 0, &part, 1, control, CMSG_SPACE(count * sizeof(int)), 0};
        *CMSG_FIRSTHDR(&message) = {CMSG_LEN(count * sizeof(int)), SOL_SOCKET, SCM_RIGHTS};
        std::fill_n(reinterpret_cast<int *>(CMSG_DATA(reinterpret_cast<cmsghdr *>(control))), count, 2);
        ASSERT_EQ(::sendmsg(int(peer.socketDescriptor()), &message, 0), ssize_t(sizeof request));
    }
    QTest::qWait(300);
    EXPECT_EQ(passed, QList<bool>({true, false})) << "a peer passing other descriptors than the two was heard";
    for (QLocalSocket &peer : peers)
        peer.abort();
    EXPECT_TRUE(QTest::qWaitFor([&] { return openDescriptors() == descriptorsBefore + 1; }, kTimeoutMs)) << "descriptors kept";
}

} // namespace
