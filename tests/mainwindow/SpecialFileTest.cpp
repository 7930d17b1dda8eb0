#include "support/RomImageBuilder.h"
#include "support/TestWorld.h"

#include "mainwindow/ErrorWinController.h"
#include "mainwindow/WindowController.h"
#include "rom/ROM.h"

#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Special files under ROM names: the reader refuses them without blocking and says why, and
// the error window shows that reason without opening the file again (a pipe would block it).
TEST(SpecialFileTest, refusedWithoutBlockingAndTheWindowNamesTheRealReason)
{
    TestWorld world;
    const QString fifo = world.path(QStringLiteral("pipe.z64"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = world.path(QStringLiteral("zero.n64"));
    const QString null = world.path(QStringLiteral("null.v64"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero) && QFile::link(QStringLiteral("/dev/null"), null));
    const QString socketPath = world.path(QStringLiteral("sock.z64"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(socketPath);
    ASSERT_LT(std::size_t(encoded.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, encoded.constData(), std::size_t(encoded.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);

    WindowController controller;
    controller.showWindow(nullptr);
    const struct {
        QString path;
        ROM::Refusal refusal;
        const char *reason;
    } cases[] = {
        {fifo, ROM::Refusal::NamedPipe, "named pipe"},
        {zero, ROM::Refusal::CharacterDevice, "character device"},
        {null, ROM::Refusal::CharacterDevice, "character device"},
        {socketPath, ROM::Refusal::Socket, "socket"},
        {world.writeFile(QStringLiteral("empty.z64"), {}), ROM::Refusal::Empty, "empty"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        // A blocked open ends the test here instead of hanging the suite.
        ::alarm(20);
        const auto rom = ROM::romFromURL(QUrl::fromLocalFile(c.path));
        EXPECT_EQ(rom->refusal(), c.refusal);
        EXPECT_TRUE(rom->refusalReason().contains(QLatin1String(c.reason))) << rom->refusalReason().toStdString();
        EXPECT_FALSE(controller.handleURL(QUrl::fromLocalFile(c.path)));
        ::alarm(0);
        const QString message = controller.errorWindowController()->message();
        EXPECT_TRUE(message.contains(QLatin1String(c.reason))) << message.toStdString();
        controller.errorWindowController()->okPressed();
    }
    ::close(sock);

    // A complete record carries the stored order and the length the reader saw.
    for (const auto &[order, name] : {std::pair{RomImageBuilder::ByteOrder::Z64, "z64"}, std::pair{RomImageBuilder::ByteOrder::V64, "v64"},
                                      std::pair{RomImageBuilder::ByteOrder::N64, "n64"}}) {
        const QString path = world.path(QStringLiteral("game.") + QLatin1String(name));
        ASSERT_TRUE(RomImageBuilder().setSize(12288).setGameCode("NTVP").setByteOrder(order).writeTo(path));
        const auto rom = ROM::romFromURL(QUrl::fromLocalFile(path));
        EXPECT_EQ(rom->byteOrder(), QLatin1String(name));
        EXPECT_EQ(rom->fileSize(), 12288);
        EXPECT_EQ(rom->regionCode(), quint8('P'));
        EXPECT_FALSE(rom->refusal().has_value());
    }
}

} // namespace
