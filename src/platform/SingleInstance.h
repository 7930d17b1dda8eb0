#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

/// Keeps one Launcher per user: the first start listens on a per-user local socket, a
/// later start hands its files to it and ends.
///
/// A message is the list of absolute paths, each as its file-system bytes followed by a
/// NUL byte; an empty message asks the running Launcher only to show its window.
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
    bool sendToRunningInstance(const QStringList &paths, int timeoutMs = 3000) const;
    /// Starts listening. A socket file left by a Launcher that died is removed first,
    /// so call this only after sendToRunningInstance() found nobody.
    bool listen();
    bool isListening() const;

Q_SIGNALS:
    /// Emitted with the absolute paths another start handed over (possibly none).
    void filesReceived(const QStringList &paths);

private:
    void acceptConnections();
    void readMessage(QLocalSocket *socket);

    QString m_serverName;
    QLocalServer *m_server = nullptr;
};
