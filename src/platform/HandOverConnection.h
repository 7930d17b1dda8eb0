#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

class CallerOutput;
class QSocketNotifier;

/// A connection to the single-instance socket as it comes in, read with recvmsg() before
/// anything else reads it: a plain read() would drop the descriptors that a "--play" passes
/// with its request (SCM_RIGHTS, its standard output and error). Only a peer of our own user
/// is heard; what it may send is bounded, and every descriptor it sends is either kept in a
/// CallerOutput or closed.
class HandOverConnection : public QObject
{
    Q_OBJECT

public:
    /// True when the peer of the connection \a fd is a process of our own user.
    static bool peerIsOurUser(int fd);
    /// Takes \a fd, an accepted connection, and reads at most \a maxBytes from it.
    HandOverConnection(int fd, qsizetype maxBytes, QObject *parent = nullptr);
    ~HandOverConnection() override;

    /// The bytes received so far.
    const QByteArray &bytes() const { return m_bytes; }
    /// The caller's standard output and error passed with them; null when none were.
    std::shared_ptr<CallerOutput> callerOutput() const { return m_output; }
    /// Gives up the connection, to be answered on by the taker, who closes it.
    int takeDescriptor();

Q_SIGNALS:
    /// More bytes came.
    void received();
    /// The peer hung up after sending bytes(); \a broken: it was not heard out (too many
    /// bytes, descriptors other than two, an error).
    void ended(bool broken);

private:
    void read();
    // Keeps the descriptors of one message when they are the first and two, else closes them.
    bool takeDescriptors(const int *fds, int count, bool truncated);
    void end(bool broken);

    int m_fd;
    const qsizetype m_maxBytes;
    QByteArray m_bytes;
    std::shared_ptr<CallerOutput> m_output;
    bool m_sentDescriptors = false;
    QSocketNotifier *m_notifier;
};
