#include "platform/SingleInstance.h"

#include "platform/CallerOutput.h"
#include "platform/HandOverConnection.h"
#include "platform/XdgFolders.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/socket.h>
#include <unistd.h>

extern char **environ;

namespace {
// Enough for thousands of paths; a peer sending more is not a Launcher.
constexpr qint64 maxMessageSize = 4 * 1024 * 1024;
// Absolute paths begin with '/', so no list of files begins like this.
const QByteArray playPrefix("play\0", 5);
// Said as soon as a play request is taken.
constexpr char playTaken = '+';

// How often an answer looks whether the caller's streams have taken the emulator's output.
constexpr int kWrittenPollMs = 20;

// Whether the other end of a connection is still there: a caller that gave up (timed out,
// Ctrl+C) while we were stopped or busy must not get a game nobody waits for.
bool callerIsThere(int fd)
{
    char byte = 0;
    return ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) != 0;
}

// Hands each accepted connection's descriptor over before a QLocalSocket reads from it.
class HandOverServer : public QLocalServer
{
public:
    HandOverServer(std::function<void(int)> accept, QObject *parent)
        : QLocalServer(parent)
        , m_accept(std::move(accept))
    {
    }

protected:
    void incomingConnection(quintptr socketDescriptor) override { m_accept(int(socketDescriptor)); }

private:
    std::function<void(int)> m_accept;
};

// Sends \a bytes on \a fd with our standard output and error (a closed one as /dev/null), so
// that the emulator started for us writes where it would if we played it ourselves. Returns
// how many bytes went; the rest is the caller's to send.
qsizetype sendWithStreams(int fd, const QByteArray &bytes)
{
    int streams[2] = {STDOUT_FILENO, STDERR_FILENO};
    int opened[2] = {-1, -1};
    for (int index = 0; index < 2; ++index) {
        if (::fcntl(streams[index], F_GETFD) < 0)
            streams[index] = opened[index] = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    }
    iovec part{const_cast<char *>(bytes.constData()), size_t(bytes.size())};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof streams)] = {};
    msghdr message = {};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (streams[0] >= 0 && streams[1] >= 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr *header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof streams);
        std::memcpy(CMSG_DATA(header), streams, sizeof streams);
    }
    ssize_t sent = 0;
    do {
        sent = ::sendmsg(fd, &message, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    for (int fd : opened) {
        if (fd >= 0)
            ::close(fd);
    }
    return qMax<ssize_t>(sent, 0);
}

// Writes the answer and hangs up; the socket goes when it has disconnected.
void sendAnswer(QLocalSocket *socket, const QByteArray &answer)
{
    socket->write(answer);
    socket->flush();
    socket->disconnectFromServer();
}
}

SingleInstance::SingleInstance(const QString &serverName, QObject *parent)
    : QObject(parent)
    , m_serverName(serverName)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultServerName()
{
    // $XDG_RUNTIME_DIR, or a folder of the user's own that Qt makes private (0700) when the
    // session has none: a name in the shared temporary folder could be taken by another user.
    const QString runtimeDir = XdgFolders::runtimeHome();
    if (!runtimeDir.isEmpty())
        return runtimeDir + QStringLiteral("/tolvane-launcher.socket");
    return QDir::tempPath() + QStringLiteral("/tolvane-launcher-%1.socket").arg(::getuid());
}

bool SingleInstance::sendToRunningInstance(const LocalPaths &paths, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    for (const LocalPath &path : paths) {
        message += path.bytes();
        message += '\0';
    }
    socket.write(message);
    // The server reads until we hang up, so the whole message must be out first.
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

std::optional<SingleInstance::PlayAnswer> SingleInstance::playInRunningInstance(const LocalPath &path,
                                                                              int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeoutMs))
        return std::nullopt;
    // The game is the caller's: the emulator gets its environment, not the Launcher's.
    QByteArray request = playPrefix + path.bytes() + '\0';
    for (char **entry = environ; *entry; ++entry)
        request += QByteArray(*entry) + '\0';
    request += '\0';
    socket.write(request.mid(sendWithStreams(int(socket.socketDescriptor()), request)));
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(timeoutMs)) {
    }
    // A stopped or frozen Launcher still has its connection accepted by the kernel, and
    // would keep us waiting for ever: one that runs takes the request at once.
    QByteArray reply;
    if (socket.waitForReadyRead(timeoutMs))
        reply = socket.readAll();
    if (!reply.startsWith(playTaken)) {
        if (reply.isEmpty() && socket.state() == QLocalSocket::ConnectedState) {
            // Hung up unanswered: when it wakes, the Launcher sees that nobody waits and drops it.
            socket.abort();
            return PlayAnswer{false, 1, tr("The running Launcher did not take the game within %n seconds (it may be "
                                           "stopped or not responding); nothing was started.",
                                           nullptr, qMax(1, timeoutMs / 1000))};
        }
    } else {
        reply.remove(0, 1);
    }
    // The answer comes when the game has ended, however long that takes.
    while (socket.state() == QLocalSocket::ConnectedState && socket.waitForReadyRead(-1))
        reply += socket.readAll();
    reply += socket.readAll();
    const qsizetype separator = reply.indexOf('\0');
    PlayAnswer answer;
    bool numeric = false;
    answer.exitCode = separator > 0 ? reply.left(separator).toInt(&numeric) : 1;
    if (!numeric) {
        answer.exitCode = 1;
        answer.text = tr("The running Launcher ended without saying how the game ended.");
    } else {
        answer.text = QString::fromUtf8(reply.mid(separator + 1));
    }
    return answer;
}

void SingleInstance::answerPlayRequest(quint64 request, int exitCode, const QString &text)
{
    const PlayRequest asked = m_playRequests.take(request);
    if (!asked.socket)
        return;
    const QByteArray answer = QByteArray::number(exitCode) + '\0' + text.toUtf8();
    // The caller ends when answered, so the emulator's last lines must be in its streams
    // first, as they are when a --play without a window ends.
    if (!asked.output || asked.output->isWritten())
        return sendAnswer(asked.socket, answer);
    auto *waiting = new QTimer(asked.socket);
    const QDeadlineTimer deadline(OutputRelay::kExitFlushMs);
    connect(waiting, &QTimer::timeout, asked.socket, [socket = asked.socket, output = asked.output, answer, deadline, waiting] {
        if (!output->isWritten() && !deadline.hasExpired())
            return;
        waiting->deleteLater();
        sendAnswer(socket, answer);
    });
    waiting->start(kWrittenPollMs);
}

bool SingleInstance::takePlayRequest(HandOverConnection *connection)
{
    // A request not yet whole waits for more bytes.
    const QByteArray &bytes = connection->bytes();
    const qsizetype end = bytes.indexOf(QByteArrayView("\0\0", 2), playPrefix.size());
    if (!bytes.startsWith(playPrefix) || end < 0)
        return false;
    QList<QByteArray> words = bytes.mid(playPrefix.size(), end - playPrefix.size()).split('\0');
    const LocalPath path(words.takeFirst());
    const std::shared_ptr<CallerOutput> output = connection->callerOutput();
    connection->disconnect(this);
    connection->deleteLater();
    const int fd = connection->takeDescriptor();
    if (!callerIsThere(fd)) {
        ::close(fd);
        return true;
    }
    auto *socket = new QLocalSocket(this);
    socket->setSocketDescriptor(fd);
    socket->write(QByteArray(1, playTaken));
    socket->flush();
    const quint64 request = ++m_lastPlayRequest;
    m_playRequests.insert(request, {socket, output});
    // An asker that gave up (Ctrl+C) gets no answer; the game goes on.
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    Q_EMIT playRequested(path, request, words, output);
    return true;
}

bool SingleInstance::listen()
{
    if (m_server)
        return m_server->isListening();
    m_server = new HandOverServer([this](int fd) { acceptConnection(fd); }, this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server->listen(m_serverName))
        return true;
    // Nobody answered on this name, so what is there is stale.
    QLocalServer::removeServer(m_serverName);
    return m_server->listen(m_serverName);
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

void SingleInstance::acceptConnection(int fd)
{
    // The socket's folder is the user's alone; a peer of another user got in some other way.
    if (!HandOverConnection::peerIsOurUser(fd)) {
        ::close(fd);
        return;
    }
    auto *connection = new HandOverConnection(fd, maxMessageSize, this);
    connect(connection, &HandOverConnection::received, this, [this, connection] { takePlayRequest(connection); });
    connect(connection, &HandOverConnection::ended, this, [this, connection](bool broken) { readMessage(connection, broken); });
}

void SingleInstance::readMessage(HandOverConnection *connection, bool broken)
{
    // Each connection carries one message.
    connection->deleteLater();
    const QByteArray &message = connection->bytes();
    // A play request whose caller hung up before we read it: nobody waits for that game.
    if (broken || message.startsWith(playPrefix))
        return;
    LocalPaths paths;
    for (const QByteArray &part : message.split('\0')) {
        if (!part.isEmpty())
            paths.append(LocalPath(part));
    }
    Q_EMIT filesReceived(paths);
}
