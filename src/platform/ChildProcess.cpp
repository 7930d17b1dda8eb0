#include "platform/ChildProcess.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// Keeps the handles of running children alive until their end has been reaped and
// announced, so that a dropped handle neither kills nor waits for its child.
class RunningChildren : public QObject
{
public:
    using QObject::QObject;
    QHash<ChildProcess *, std::shared_ptr<ChildProcess>> children;
};

RunningChildren *runningChildren()
{
    static QPointer<RunningChildren> registry;
    if (!registry)
        registry = new RunningChildren(QCoreApplication::instance());
    return registry;
}

// How often to look for the child's end where the kernel offers no process descriptor.
constexpr int kEndPollIntervalMs = 50;
// At the child's end, more than a pipe and a pseudo-terminal can hold (64 KiB each, and the
// terminal's line buffer): its last lines come before its end notice.
constexpr qsizetype kOutputAtEnd = 256 * 1024;
// How often to look whether the rest of the group has ended once its leader has.
constexpr int kGroupPollIntervalMs = 100;
// What a shell reports for a command it cannot start.
constexpr int kCannotStartStatus = 127;

// A pseudo-terminal for one of the child's output streams: its C library then buffers
// standard output by line, as in a terminal, so the lines it printed just before a crash
// reach us. Not made anybody's controlling terminal. False when none can be had.
bool openOutputTerminal(int fds[2])
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return false;
    char name[128];
    int slave = -1;
    if (::grantpt(master) == 0 && ::unlockpt(master) == 0 && ::ptsname_r(master, name, sizeof name) == 0)
        slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios settings = {};
    if (slave < 0 || ::tcgetattr(slave, &settings) != 0) {
        if (slave >= 0)
            ::close(slave);
        ::close(master);
        return false;
    }
    // No output processing: "\n" stays "\n" rather than becoming "\r\n".
    settings.c_oflag &= ~tcflag_t(OPOST);
    ::tcsetattr(slave, TCSANOW, &settings);
    fds[0] = master;
    fds[1] = slave;
    return true;
}

} // namespace

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess()
{
    if (m_pidFd >= 0)
        ::close(m_pidFd);
    for (int fd : m_outputFds) {
        if (fd >= 0)
            ::close(fd);
    }
}

std::shared_ptr<ChildProcess> ChildProcess::launchedTask(const QString &launchPath, const QStringList &arguments)
{
    return launchedTask(launchPath, arguments, OutputChannels::Inherited);
}

std::shared_ptr<ChildProcess> ChildProcess::launchedTask(const QString &launchPath, const QStringList &arguments,
                                                         OutputChannels channels)
{
    QList<QByteArray> words;
    for (const QString &argument : arguments)
        words.append(QFile::encodeName(argument));
    return launchedTask(QFile::encodeName(launchPath), words, channels);
}

std::shared_ptr<ChildProcess> ChildProcess::launchedTask(const QByteArray &launchPath, const QList<QByteArray> &arguments,
                                                         OutputChannels channels,
                                                         const std::optional<QList<QByteArray>> &environment)
{
    std::shared_ptr<ChildProcess> task(new ChildProcess);
    runningChildren()->children.insert(task.get(), task);
    std::vector<QByteArray> words{launchPath};
    words.insert(words.end(), arguments.cbegin(), arguments.cend());
    task->start(std::move(words), channels, environment);
    return task;
}

void ChildProcess::start(std::vector<QByteArray> words, OutputChannels channels, std::optional<QList<QByteArray>> environment)
{
    keepChildStatuses();
    // What the child leaves behind when it ends (an emulator that forks and exits) comes to
    // us rather than to init, so the end of the whole group can be seen and reaped at once.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<char *> envp;
    if (environment) {
        for (QByteArray &entry : *environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
    }

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Group id 0: the child leads a new group whose id is its own pid, set before it runs.
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t noSignals;
    sigemptyset(&noSignals);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    // Signals the Launcher ignores must not stay ignored in the emulator.
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signalNumber : {SIGPIPE, SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGCHLD, SIGUSR1, SIGUSR2, SIGTSTP,
                             SIGTTIN, SIGTTOU})
        sigaddset(&defaults, signalNumber);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    // Only the standard streams are the emulator's: descriptors the Launcher holds
    // (joystick devices SDL opened, sockets, files) must not leak into it.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipes[2][2] = {{-1, -1}, {-1, -1}};
    if (channels == OutputChannels::Piped) {
        for (int index = 0; index < 2; ++index) {
            // Close-on-exec everywhere; only the child's copy on 1 or 2 survives its exec.
            // Standard error too: once its reader has gone (a Launcher killed during play), a
            // terminal answers a write with EIO where a pipe would kill the writer (SIGPIPE).
            if (!openOutputTerminal(pipes[index]) && ::pipe2(pipes[index], O_CLOEXEC) != 0)
                continue;
            posix_spawn_file_actions_adddup2(&actions, pipes[index][1], STDOUT_FILENO + index);
        }
    }
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv.front(), &actions, &attributes, argv.data(), environment ? envp.data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);

    for (int index = 0; index < 2; ++index) {
        if (pipes[index][1] >= 0)
            ::close(pipes[index][1]);
        if (pipes[index][0] < 0)
            continue;
        m_outputFds[index] = pipes[index][0];
        ::fcntl(m_outputFds[index], F_SETFL, ::fcntl(m_outputFds[index], F_GETFL) | O_NONBLOCK);
        m_outputNotifiers[index] = new QSocketNotifier(qintptr(m_outputFds[index]), QSocketNotifier::Read, this);
        connect(m_outputNotifiers[index], &QSocketNotifier::activated, this, [this, index] { readOutput(index); });
    }

    m_running = true;
    m_activeSince = clock();
    if (error != 0) {
        QTimer::singleShot(0, this, [this] { finish(kCannotStartStatus); });
        return;
    }
    m_pid = pid;
    watchForEnd();
}

void ChildProcess::keepChildStatuses()
{
    // An ignored SIGCHLD, or one with SA_NOCLDWAIT, is inherited across exec from whoever
    // started us; the kernel then reaps children itself and their status is lost to waitpid.
    struct sigaction action = {};
    if (::sigaction(SIGCHLD, nullptr, &action) != 0)
        return;
    if (action.sa_handler != SIG_IGN && !(action.sa_flags & SA_NOCLDWAIT))
        return;
    if (action.sa_handler == SIG_IGN)
        action.sa_handler = SIG_DFL;
    action.sa_flags &= ~SA_NOCLDWAIT;
    ::sigaction(SIGCHLD, &action, nullptr);
}

void ChildProcess::watchForEnd()
{
    // A process descriptor becomes readable when the child ends; the child stays a
    // zombie until we reap it, so its pid (and group id) cannot be reused meanwhile.
    m_pidFd = int(::syscall(SYS_pidfd_open, m_pid, 0));
    if (m_pidFd >= 0) {
        m_endNotifier = new QSocketNotifier(qintptr(m_pidFd), QSocketNotifier::Read, this);
        connect(m_endNotifier, &QSocketNotifier::activated, this, &ChildProcess::checkForEnd);
        return;
    }
    m_endPollTimer = new QTimer(this);
    connect(m_endPollTimer, &QTimer::timeout, this, &ChildProcess::checkForEnd);
    m_endPollTimer->start(kEndPollIntervalMs);
}

void ChildProcess::checkForEnd()
{
    if (!m_leaderEnded) {
        int status = 0;
        pid_t result = 0;
        do {
            result = ::waitpid(m_pid, &status, WNOHANG);
        } while (result < 0 && errno == EINTR);
        if (result == 0)
            return;
        m_leaderEnded = true;
        if (result < 0) {
            // Somebody else reaped it; it has ended, with a status we cannot know.
            m_leaderStatus = -1;
        } else if (WIFEXITED(status)) {
            m_leaderStatus = WEXITSTATUS(status);
        } else if (WIFSIGNALED(status)) {
            m_terminatedBySignal = true;
            m_leaderStatus = WTERMSIG(status);
        }
        stopWatchingLeader();
    }
    // The group is the game: an emulator that forked and exited still plays in its child.
    // Its orphans are ours (we are their subreaper): reap those that have ended, or they
    // would count as members for as long as they stay zombies.
    while (::waitpid(-m_pid, nullptr, WNOHANG) > 0) {
    }
    if (groupIsAlive()) {
        if (!m_endPollTimer) {
            m_endPollTimer = new QTimer(this);
            connect(m_endPollTimer, &QTimer::timeout, this, &ChildProcess::checkForEnd);
        }
        if (!m_endPollTimer->isActive())
            m_endPollTimer->start(kGroupPollIntervalMs);
        return;
    }
    finish(m_leaderStatus);
}

bool ChildProcess::groupIsAlive() const
{
    // Linux keeps a group's id allocated while any member has it, so the id stays ours
    // (and the leader's number unused) for as long as this answers true.
    return m_pid > 0 && (::kill(-m_pid, 0) == 0 || errno == EPERM);
}

void ChildProcess::stopWatchingLeader()
{
    if (m_endNotifier) {
        m_endNotifier->setEnabled(false);
        m_endNotifier->deleteLater();
        m_endNotifier = nullptr;
    }
    if (m_pidFd >= 0) {
        ::close(m_pidFd);
        m_pidFd = -1;
    }
}

void ChildProcess::readOutput(int index, qsizetype limit)
{
    // At most \a limit bytes, then back to the event loop: a flood must not keep it from
    // painting, taking Stop, or reading the other stream. The notifier comes back for the rest.
    char buffer[65536];
    for (qsizetype taken = 0; m_outputFds[index] >= 0 && taken < limit;) {
        const ssize_t count = ::read(m_outputFds[index], buffer, size_t(qMin<qsizetype>(sizeof buffer, limit - taken)));
        if (count > 0) {
            taken += count;
            Q_EMIT outputRead(this, STDOUT_FILENO + index, QByteArray(buffer, count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        // A pseudo-terminal reads EIO, not end of file, once the last holder has closed it
        // and everything written has been read.
        if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            closeOutput(index);
        return;
    }
}

void ChildProcess::closeOutput(int index)
{
    if (m_outputNotifiers[index]) {
        m_outputNotifiers[index]->setEnabled(false);
        m_outputNotifiers[index]->deleteLater();
        m_outputNotifiers[index] = nullptr;
    }
    if (m_outputFds[index] >= 0) {
        ::close(m_outputFds[index]);
        m_outputFds[index] = -1;
    }
    releaseWhenDone();
}

bool ChildProcess::waitForEnd(QDeadlineTimer deadline)
{
    // Until the child has ended and nothing it started holds its pipes any more.
    while (m_running || m_outputFds[0] >= 0 || m_outputFds[1] >= 0) {
        pollfd watched[3];
        nfds_t count = 0;
        for (int fd : {m_pidFd, m_outputFds[0], m_outputFds[1]}) {
            if (fd >= 0)
                watched[count++] = {fd, POLLIN, 0};
        }
        const qint64 remaining = deadline.remainingTime();
        if (remaining == 0)
            return false;
        // Without a process descriptor, look again every few milliseconds.
        const int timeout = m_pidFd >= 0 ? int(qMin<qint64>(remaining < 0 ? 1000 : remaining, 1000))
                                         : int(qMin<qint64>(remaining < 0 ? kEndPollIntervalMs : remaining,
                                                            kEndPollIntervalMs));
        ::poll(watched, count, timeout);
        readOutput(0);
        readOutput(1);
        if (m_running)
            checkForEnd();
    }
    return true;
}

void ChildProcess::waitForRunningChildren(QDeadlineTimer deadline)
{
    const QList<std::shared_ptr<ChildProcess>> children = runningChildren()->children.values();
    for (const std::shared_ptr<ChildProcess> &child : children)
        child->waitForEnd(deadline);
}

void ChildProcess::finish(int terminationStatus)
{
    // What the child wrote before it ended is still in the pipes; hand it on first (what
    // something it started still writes comes later, in slices).
    readOutput(0, kOutputAtEnd);
    readOutput(1, kOutputAtEnd);
    if (m_suspendCount == 0)
        stopActiveClock();
    m_running = false;
    m_suspendCount = 0;
    m_terminationStatus = terminationStatus;
    stopWatchingLeader();
    if (m_endPollTimer) {
        m_endPollTimer->stop();
        m_endPollTimer->deleteLater();
        m_endPollTimer = nullptr;
    }
    // Orphans of other programs we start (a file manager's helpers) are not ours to keep.
    RunningChildren *registry = runningChildren();
    if (std::none_of(registry->children.cbegin(), registry->children.cend(),
                     [](const std::shared_ptr<ChildProcess> &child) { return child->m_running; }))
        ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    Q_EMIT didTerminate(this);
    releaseWhenDone();
}

void ChildProcess::releaseWhenDone()
{
    // Kept while its pipes are open: what the shell started may outlive the shell, and
    // must not die of a closed pipe while it finishes (saving a game, say).
    if (m_running || m_released || m_outputFds[0] >= 0 || m_outputFds[1] >= 0)
        return;
    m_released = true;
    // Released from the event loop, not here: we may be inside our own notifier's signal.
    RunningChildren *registry = runningChildren();
    QMetaObject::invokeMethod(
        registry, [registry, key = this] { registry->children.remove(key); }, Qt::QueuedConnection);
}

void ChildProcess::signalGroup(int signalNumber) const
{
    // Only while not reaped: until then the group id cannot belong to anybody else.
    if (m_running && m_pid > 0)
        ::kill(-m_pid, signalNumber);
}

bool ChildProcess::suspend()
{
    if (!m_running)
        return false;
    if (m_suspendCount++ == 0) {
        signalGroup(SIGSTOP);
        stopActiveClock();
    }
    return true;
}

bool ChildProcess::resume()
{
    if (!m_running || m_suspendCount == 0)
        return false;
    if (--m_suspendCount == 0) {
        signalGroup(SIGCONT);
        m_activeSince = clock();
    }
    return true;
}

void ChildProcess::terminate()
{
    if (m_running)
        m_terminationRequested = true;
    signalGroup(SIGTERM);
}

void ChildProcess::terminateAndContinue()
{
    if (!m_running)
        return;
    // A stopped process gets a termination request only once it continues.
    m_terminationRequested = true;
    signalGroup(SIGTERM);
    signalGroup(SIGCONT);
    if (m_suspendCount > 0)
        m_activeSince = clock();
    m_suspendCount = 0;
}

void ChildProcess::forceStop()
{
    if (!m_running)
        return;
    m_terminationRequested = true;
    // SIGKILL ends stopped processes too; nothing is left to resume.
    signalGroup(SIGKILL);
    if (m_suspendCount > 0)
        m_activeSince = clock();
    m_suspendCount = 0;
}

qint64 ChildProcess::activeMilliseconds() const
{
    return m_activeMs + (m_activeSince >= 0 ? clock() - m_activeSince : 0);
}

void ChildProcess::stopActiveClock()
{
    if (m_activeSince >= 0)
        m_activeMs += clock() - m_activeSince;
    m_activeSince = -1;
}

namespace {

ChildProcess::Clock &clockOverride()
{
    static ChildProcess::Clock clock;
    return clock;
}

} // namespace

qint64 ChildProcess::clock()
{
    if (const Clock &clock = clockOverride())
        return clock();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void ChildProcess::setClock(Clock clock)
{
    clockOverride() = std::move(clock);
}
