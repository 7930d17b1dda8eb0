#include "support/TestWorld.h"

#include "app/AppDelegate.h"
#include "mainwindow/WindowController.h"
#include "platform/SingleInstance.h"
#include "rom/ROM.h"

#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QProcess *startLauncher(const TestWorld &world, const QStringList &arguments)
{
    auto *launcher = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), world.path(QString()));
    launcher->setProcessEnvironment(environment);
    launcher->setWorkingDirectory(world.path(QString()));
    launcher->start(TestWorld::program("tolvane-launcher"), arguments);
    return launcher;
}

TEST(SingleInstanceTest, MessagesCarryAnyPathsAndAnEmptyOneAsksOnlyForTheWindow)
{
    TestWorld world;
    SingleInstance server(world.path(QStringLiteral("test.socket")));
    ASSERT_TRUE(server.listen());
    QSignalSpy received(&server, &SingleInstance::filesReceived);
    const QStringList paths{QStringLiteral("/roms/with space.z64"), QStringLiteral("/roms/line\nend"), QStringLiteral("/roms/\u00fc.v64")};
    SingleInstance client(server.serverName());
    for (const QStringList &sent : {paths, QStringList()}) {
        ASSERT_TRUE(client.sendToRunningInstance(sent));
        ASSERT_TRUE(received.wait(kTimeoutMs));
        EXPECT_EQ(received.takeFirst().at(0).toStringList(), sent);
    }
    EXPECT_FALSE(SingleInstance(world.path(QStringLiteral("nobody.socket"))).sendToRunningInstance(paths, 500));
    // Private to the user: in the runtime folder when there is one.
    EXPECT_TRUE(SingleInstance::defaultServerName().startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/')));
}

TEST(SingleInstanceTest, ASecondStartHandsItsFileToTheRunningLauncherAndAStaleSocketDoesNotStopAFirstStart)
{
    TestWorld world;
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    const QString socketPath = world.path(QStringLiteral("tolvane-launcher.socket"));
    {
        SingleInstance server(socketPath);
        ASSERT_TRUE(server.listen());
        QObject::connect(&server, &SingleInstance::filesReceived, &delegate, &AppDelegate::openFilesFromAnotherInstance);
        delegate.myWindowController()->window()->hide();
        const QString rom = world.writeRom(QStringLiteral("handed over.z64"));
        // A relative name is made absolute by the second start.
        std::unique_ptr<QProcess> second(startLauncher(world, {QStringLiteral("handed over.z64")}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return second->state() == QProcess::NotRunning; }, kTimeoutMs));
        EXPECT_TRUE(second->exitStatus() == QProcess::NormalExit && second->exitCode() == 0);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const auto record = delegate.myWindowController()->rom();
            return record && record->filePath() == QUrl::fromLocalFile(rom);
        }, kTimeoutMs));
        EXPECT_TRUE(delegate.myWindowController()->window()->isVisible()) << "the window comes to the front";
    }
    // A socket file with nobody listening, as a Launcher that crashed leaves behind.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    qstrncpy(address.sun_path, QFile::encodeName(socketPath).constData(), sizeof(address.sun_path));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ::close(fd);
    std::unique_ptr<QProcess> launcher(startLauncher(world, {}));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        return socket.waitForConnected(200);
    }, kTimeoutMs));
    EXPECT_EQ(launcher->state(), QProcess::Running);
    launcher->terminate();
    EXPECT_TRUE(launcher->waitForFinished(kTimeoutMs));
}

} // namespace
