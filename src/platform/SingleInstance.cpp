#include "platform/SingleInstance.h"

#include "platform/XdgFolders.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

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

// Whether the other end of a connection is still there: a caller that gave up (timed out,
// Ctrl+C) while we were stopped or busy must not get a game nobody waits for.
bool callerIsThere(QLocalSocket *socket)
{
    if (socket->state() != QLocalSocket::ConnectedState)
        return false;
    char byte = 0;
    return ::recv(int(socket->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT) != 0;
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
    socket.write(request + '\0');
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
    const QPointer<QLocalSocket> socket = m_playRequests.take(request);
    if (!socket)
        return;
    socket->write(QByteArray::number(exitCode) + '\0' + text.toUtf8());
    // Hung up once the answer is out; the socket goes when it has disconnected.
    socket->flush();
    socket->disconnectFromServer();
}

bool SingleInstance::takePlayRequest(QLocalSocket *socket)
{
    // A request not yet whole waits for more bytes.
    const QByteArray bytes = socket->peek(maxMessageSize);
    const qsizetype end = bytes.indexOf(QByteArrayView("\0\0", 2), playPrefix.size());
    if (!bytes.startsWith(playPrefix) || end < 0)
        return false;
    QList<QByteArray> words = bytes.mid(playPrefix.size(), end - playPrefix.size()).split('\0');
    const LocalPath path(words.takeFirst());
    socket->disconnect(this);
    socket->readAll();
    if (!callerIsThere(socket)) {
        socket->abort();
        socket->deleteLater();
        return true;
    }
    socket->write(QByteArray(1, playTaken));
    socket->flush();
    const quint64 request = ++m_lastPlayRequest;
    m_playRequests.insert(request, socket);
    // An asker that gave up (Ctrl+C) gets no answer; the game goes on.
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    Q_EMIT playRequested(path, request, words);
    return true;
}

bool SingleInstance::listen()
{
    if (m_server)
        return m_server->isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
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

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() {
            if (socket->bytesAvailable() > maxMessageSize) {
                socket->disconnect(this);
                socket->abort();
                socket->deleteLater();
            } else {
                takePlayRequest(socket);
            }
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket]() { readMessage(socket); });
        if (socket->state() != QLocalSocket::ConnectedState)
            readMessage(socket);
    }
}

void SingleInstance::readMessage(QLocalSocket *socket)
{
    // Each connection carries one message; later signals of this socket are not wanted.
    socket->disconnect(this);
    const QByteArray message = socket->readAll();
    socket->deleteLater();
    // A play request whose caller hung up before we read it: nobody waits for that game.
    if (message.startsWith(playPrefix))
        return;
    LocalPaths paths;
    for (const QByteArray &part : message.split('\0')) {
        if (!part.isEmpty())
            paths.append(LocalPath(part));
    }
    Q_EMIT filesReceived(paths);
}
