#include "launch/LeftGame.h"

#include "launch/EmulatorSupervisor.h"

#include <QSocketNotifier>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

std::unique_ptr<LeftGame> LeftGame::take(const RunningGame::Identity &identity, QObject *parent)
{
    const int pidFd = int(::syscall(SYS_pidfd_open, identity.pid, 0));
    if (pidFd < 0)
        return nullptr;
    // The number may have been given to another process between the record's check and the
    // descriptor: the start time, read now that the descriptor holds the process, tells.
    if (RunningGame::startTimeOf(identity.pid) != identity.startTime) {
        ::close(pidFd);
        return nullptr;
    }
    return std::unique_ptr<LeftGame>(new LeftGame(identity, pidFd, parent));
}

LeftGame::LeftGame(const RunningGame::Identity &identity, int pidFd, QObject *parent)
    : QObject(parent)
    , m_identity(identity)
    , m_memberPid(identity.pid)
    , m_pidFd(pidFd)
    , m_endNotifier(new QSocketNotifier(qintptr(pidFd), QSocketNotifier::Read, this))
{
    m_clock.start();
    connect(m_endNotifier, &QSocketNotifier::activated, this, &LeftGame::memberEnded);
    m_forceStopTimer.setSingleShot(true);
    m_forceStopTimer.setInterval(EmulatorSupervisor::kForceStopDelayMs);
    connect(&m_forceStopTimer, &QTimer::timeout, this, [this] {
        m_forceStopOffered = isStopping();
        Q_EMIT stateChanged();
    });
}

LeftGame::~LeftGame()
{
    if (m_pidFd >= 0)
        ::close(m_pidFd);
}

void LeftGame::signal(int signalNumber) const
{
    if (m_pidFd < 0)
        return;
    // Its group (what it started) by number, only while the descriptor shows the member held
    // alive and in that group, so that the number is still the game's (Linux keeps a group's
    // number while it has members); then that process itself through its descriptor, never a
    // number that might be somebody else's.
    pollfd watched{m_pidFd, POLLIN, 0};
    if (::poll(&watched, 1, 0) == 0 && ::getpgid(m_memberPid) == m_identity.pid)
        ::kill(-m_identity.pid, signalNumber);
    ::syscall(SYS_pidfd_send_signal, m_pidFd, signalNumber, nullptr, 0);
}

void LeftGame::stop()
{
    if (!isRunning() || m_stopRequested)
        return;
    m_stopRequested = true;
    signal(SIGTERM);
    signal(SIGCONT);
    m_forceStopTimer.start();
    Q_EMIT stateChanged();
}

void LeftGame::forceStop()
{
    if (!isRunning())
        return;
    m_stopRequested = true;
    signal(SIGKILL);
}

bool LeftGame::holdNextMember()
{
    DIR *processes = ::opendir("/proc");
    if (!processes)
        return false;
    while (const dirent *entry = ::readdir(processes)) {
        const pid_t pid = pid_t(std::atoi(entry->d_name));
        if (pid <= 0 || pid == m_memberPid || ::getpgid(pid) != m_identity.pid)
            continue;
        // Still in the group once the descriptor holds it, and not ended: then the number
        // was the member's when it was found.
        const int pidFd = int(::syscall(SYS_pidfd_open, pid, 0));
        pollfd watched{pidFd, POLLIN, 0};
        if (pidFd >= 0 && ::getpgid(pid) == m_identity.pid && ::poll(&watched, 1, 0) == 0) {
            m_memberPid = pid;
            m_pidFd = pidFd;
            break;
        }
        if (pidFd >= 0)
            ::close(pidFd);
    }
    ::closedir(processes);
    return m_pidFd >= 0;
}

void LeftGame::memberEnded()
{
    // Not our child: nothing to reap, its end is all there is to know.
    m_endNotifier->setEnabled(false);
    m_endNotifier->deleteLater();
    m_endNotifier = nullptr;
    ::close(m_pidFd);
    m_pidFd = -1;
    if (holdNextMember()) {
        m_endNotifier = new QSocketNotifier(qintptr(m_pidFd), QSocketNotifier::Read, this);
        connect(m_endNotifier, &QSocketNotifier::activated, this, &LeftGame::memberEnded);
        return;
    }
    m_forceStopTimer.stop();
    m_forceStopOffered = false;
    Q_EMIT ended(m_stopRequested);
}
