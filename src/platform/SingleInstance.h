#pragma once

#include "platform/LocalPath.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>

class CallerOutput;
class HandOverConnection;
class QLocalServer;
class QLocalSocket;

/// Keeps one Launcher per user: the first start listens on a per-user local socket, a
/// later start hands its files to it and ends.
///
/// A message is the list of absolute paths, each as its file-system bytes followed by a
/// NUL byte; an empty message asks the running Launcher only to show its window. (A start
/// with --tv adds "--tv", which no absolute path can be: see AppDelegate::tvModeHandOver.)
///
/// A play request is "play", a NUL byte, the absolute path and a NUL byte, the caller's
/// environment ("NAME=value" and a NUL byte each) and one more NUL byte; its first bytes
/// carry the caller's standard output and error (SCM_RIGHTS). The Launcher says
/// at once that it took the request ('+'); the connection stays open until it answers with
/// the exit status in decimal, a NUL byte and the end in words (UTF-8), then hangs up.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &serverName = defaultServerName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    /// The socket path: in $XDG_RUNTIME_DIR, which is private to the user, else in the
    /// temporary directory with the user id in the name.
    static QString defaultServerName();
    QString serverName() const { return m_serverName; }

    /// Hands \a paths to a Launcher already listening; false when none answers.
    bool sendToRunningInstance(const LocalPaths &paths, int timeoutMs = 3000) const;

    struct PlayAnswer
    {
        /// False when the Launcher did not take the request in time (stopped or frozen):
        /// then nothing is played, and text says why.
        bool taken = true;
        int exitCode = 1;
        QString text;
    };
    /// Asks a Launcher already listening to play \a path and waits, however long the game
    /// lasts, for its answer; it must take the request within \a timeoutMs. Nothing when
    /// none answers the connection.
    std::optional<PlayAnswer> playInRunningInstance(const LocalPath &path, int timeoutMs = 5000) const;
    /// Answers the play request \a request once what the emulator wrote for it has reached the
    /// caller's streams (for at most OutputRelay::kExitFlushMs); nothing happens when its
    /// asker has gone.
    void answerPlayRequest(quint64 request, int exitCode, const QString &text);
    /// Starts listening. A socket file left by a Launcher that died is removed first,
    /// so call this only after sendToRunningInstance() found nobody.
    bool listen();
    bool isListening() const;

Q_SIGNALS:
    /// Emitted with the absolute paths another start handed over (possibly none).
    void filesReceived(const LocalPaths &paths);
    /// Another start asks us to play \a path, for the emulator with its \a environment and
    /// its \a output (null when it passed none), and waits for answerPlayRequest(\a request).
    void playRequested(const LocalPath &path, quint64 request, const QList<QByteArray> &environment,
                       const std::shared_ptr<CallerOutput> &output);

private:
    void acceptConnection(int fd);
    void readMessage(HandOverConnection *connection, bool broken);

    QString m_serverName;
    // Whether the bytes so far are a whole play request; takes it in if so.
    bool takePlayRequest(HandOverConnection *connection);

    struct PlayRequest
    {
        QPointer<QLocalSocket> socket;
        std::shared_ptr<CallerOutput> output;
    };
    QLocalServer *m_server = nullptr;
    QHash<quint64, PlayRequest> m_playRequests;
    quint64 m_lastPlayRequest = 0;
};
