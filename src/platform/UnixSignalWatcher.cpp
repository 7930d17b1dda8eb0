#include "platform/UnixSignalWatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Written by the handler, read by the notifier: a pipe is all a handler may safely touch.
int signalPipe[2] = {-1, -1};

void forwardSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

UnixSignalWatcher::UnixSignalWatcher(std::initializer_list<int> signalNumbers, QObject *parent)
    : QObject(parent)
    , m_signalNumbers(signalNumbers)
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignalWatcher::readSignals);

    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    m_previous.resize(m_signalNumbers.size());
    sigset_t watched;
    sigemptyset(&watched);
    for (std::size_t i = 0; i < m_signalNumbers.size(); ++i) {
        sigaction(m_signalNumbers[i], &action, &m_previous[i]);
        sigaddset(&watched, m_signalNumbers[i]);
    }
    // Blocked in a mask inherited from whoever started us, they would never arrive here.
    pthread_sigmask(SIG_UNBLOCK, &watched, nullptr);
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    for (std::size_t i = 0; i < m_previous.size(); ++i)
        sigaction(m_signalNumbers[i], &m_previous[i], nullptr);
}

void UnixSignalWatcher::readSignals()
{
    unsigned char byte = 0;
    while (::read(signalPipe[0], &byte, 1) == 1)
        Q_EMIT unixSignal(int(byte));
}
