#include "support/TestWorld.h"

#include "app/AppDelegate.h"
#include "mainwindow/WindowController.h"
#include "platform/SingleInstance.h"
#include "rom/ROM.h"

#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A socket file with nobody listening, as a Launcher that crashed leaves behind.
bool makeStaleSocket(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (size_t(name.size()) >= sizeof(address.sun_path))
        return false;
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

QProcessEnvironment launcherEnvironment(const TestWorld &world)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), world.root());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), world.path(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), world.root());
    return environment;
}

TEST(SingleInstanceTest, MessagesCarryAnyPathsAndAnEmptyOneAsksOnlyForTheWindow)
{
    TestWorld world;
    SingleInstance server(world.path(QStringLiteral("test.socket")));
    ASSERT_TRUE(server.listen());
    QSignalSpy received(&server, &SingleInstance::filesReceived);
    const QStringList paths{QStringLiteral("/roms/with space.z64"), QStringLiteral("/roms/line\nend"),
                            QStringLiteral("/roms/ü.v64")};
    SingleInstance client(server.serverName());
    for (const QStringList &sent : {paths, QStringList()}) {
        ASSERT_TRUE(client.sendToRunningInstance(sent));
        ASSERT_TRUE(received.wait(kTimeoutMs));
        EXPECT_EQ(received.takeFirst().at(0).toStringList(), sent);
    }

    SingleInstance nobody(world.path(QStringLiteral("nobody.socket")));
    EXPECT_FALSE(nobody.sendToRunningInstance(paths, 500));

    // The default name is private to the user: in the runtime folder when there is one.
    EXPECT_TRUE(SingleInstance::defaultServerName().startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/')));
}

TEST(SingleInstanceTest, ASecondStartHandsItsFileToTheRunningLauncherAndExitsZero)
{
    TestWorld world;
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    SingleInstance server(world.path(QStringLiteral("tolvane-launcher.socket")));
    ASSERT_TRUE(server.listen());
    QObject::connect(&server, &SingleInstance::filesReceived, &delegate, &AppDelegate::openFilesFromAnotherInstance);
    delegate.myWindowController()->window()->hide();

    const QString rom = world.writeRom(QStringLiteral("handed over.z64"), "HANDED");
    QProcess second;
    second.setProcessEnvironment(launcherEnvironment(world));
    second.setWorkingDirectory(world.root());
    // A relative name is made absolute by the second start.
    second.start(TestWorld::program("tolvane-launcher"), {QStringLiteral("handed over.z64")});
    ASSERT_TRUE(second.waitForStarted(kTimeoutMs));
    ASSERT_TRUE(QTest::qWaitFor([&second]() { return second.state() == QProcess::NotRunning; }, kTimeoutMs));
    EXPECT_TRUE(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);
    ASSERT_TRUE(QTest::qWaitFor([&delegate, &rom]() {
        const auto record = delegate.myWindowController()->rom();
        return record && record->filePath() == QUrl::fromLocalFile(rom);
    }, kTimeoutMs));
    EXPECT_TRUE(delegate.myWindowController()->window()->isVisible()) << "the window comes to the front";
}

TEST(SingleInstanceTest, AStaleSocketFileDoesNotPreventStartUp)
{
    TestWorld world;
    const QString socketPath = world.path(QStringLiteral("tolvane-launcher.socket"));
    ASSERT_TRUE(makeStaleSocket(socketPath));
    QLocalSocket probe;
    probe.connectToServer(socketPath);
    ASSERT_FALSE(probe.waitForConnected(1000)) << "nobody listens on the stale file";

    QProcess launcher;
    launcher.setProcessEnvironment(launcherEnvironment(world));
    launcher.start(TestWorld::program("tolvane-launcher"), {});
    ASSERT_TRUE(launcher.waitForStarted(kTimeoutMs));
    EXPECT_TRUE(QTest::qWaitFor([&socketPath]() {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        return socket.waitForConnected(200);
    }, kTimeoutMs));
    EXPECT_EQ(launcher.state(), QProcess::Running);
    launcher.terminate();
    EXPECT_TRUE(launcher.waitForFinished(kTimeoutMs));
}

} // namespace
