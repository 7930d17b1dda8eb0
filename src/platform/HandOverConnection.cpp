#include "platform/HandOverConnection.h"

#include "platform/CallerOutput.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// A "--play" passes its standard output and error, no more.
constexpr int kPassedDescriptors = 2;
}

bool HandOverConnection::peerIsOurUser(int fd)
{
    ucred peer = {};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

HandOverConnection::HandOverConnection(int fd, qsizetype maxBytes, QObject *parent)
    : QObject(parent)
    , m_fd(fd)
    , m_maxBytes(maxBytes)
    , m_notifier(new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this))
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    connect(m_notifier, &QSocketNotifier::activated, this, &HandOverConnection::read);
}

HandOverConnection::~HandOverConnection()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int HandOverConnection::takeDescriptor()
{
    m_notifier->setEnabled(false);
    return std::exchange(m_fd, -1);
}

void HandOverConnection::read()
{
    char buffer[65536];
    alignas(cmsghdr) char control[CMSG_SPACE(kPassedDescriptors * sizeof(int))];
    while (m_fd >= 0) {
        iovec part{buffer, sizeof buffer};
        msghdr message = {};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        // Close-on-exec from the start: no emulator or helper we start may inherit them.
        const ssize_t count = ::recvmsg(m_fd, &message, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        for (cmsghdr *header = CMSG_FIRSTHDR(&message); count >= 0 && header; header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_RIGHTS
                && !takeDescriptors(reinterpret_cast<const int *>(CMSG_DATA(header)),
                                    int((header->cmsg_len - CMSG_LEN(0)) / sizeof(int)), message.msg_flags & MSG_CTRUNC))
                return end(true);
        }
        // More descriptors than there was room for: the kernel closed the rest.
        if (count < 0 || (message.msg_flags & MSG_CTRUNC) || m_bytes.size() + count > m_maxBytes)
            return end(true);
        if (count == 0)
            return end(false);
        m_bytes.append(buffer, count);
        Q_EMIT received();
    }
}

bool HandOverConnection::takeDescriptors(const int *fds, int count, bool truncated)
{
    const bool wanted = !truncated && !m_sentDescriptors && count == kPassedDescriptors;
    m_sentDescriptors = true;
    if (wanted) {
        m_output = std::make_shared<CallerOutput>(fds[0], fds[1]);
        return true;
    }
    for (int index = 0; index < count; ++index)
        ::close(fds[index]);
    return false;
}

void HandOverConnection::end(bool broken)
{
    m_notifier->setEnabled(false);
    ::close(std::exchange(m_fd, -1));
    Q_EMIT ended(broken);
}
