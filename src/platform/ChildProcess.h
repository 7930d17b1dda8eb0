#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>
#include <sys/types.h>

class QDeadlineTimer;
class QSocketNotifier;
class QTimer;

/// A child process started at once, never waited for.
///
/// The child inherits the Launcher's environment, working directory and standard streams,
/// and leads a process group of its own, so that suspend, resume and terminate reach
/// everything it starts (a shell's command as well as the shell). While the child runs,
/// the process keeps the handle alive, so dropping the last reference neither waits for
/// nor kills it, and its end is still noticed and reaped. Needs a QCoreApplication; the
/// handles of children still running are released with it.
class ChildProcess : public QObject
{
    Q_OBJECT

public:
    /// Starts \a launchPath with \a arguments and returns its handle. When the program
    /// cannot be started at all, the handle reports an end with status 127 from the event
    /// loop, as a shell does for a command it cannot find.
    static std::shared_ptr<ChildProcess> launchedTask(const QString &launchPath, const QStringList &arguments);

    /// Where the child's standard output and error go.
    enum class OutputChannels {
        Inherited, ///< the Launcher's own
        Piped,     ///< read by the handle and announced by outputRead(): output and
                   ///< error on a pseudo-terminal each (a pipe where none can be had)
    };
    /// As above, with the child's output and error read by the handle when \a channels is
    /// Piped. They are read from the event loop until every process that holds them has
    /// ended (the child's end is announced when the child itself ends), also after the
    /// handle was dropped, so that nothing it started writes into a closed pipe.
    static std::shared_ptr<ChildProcess> launchedTask(const QString &launchPath, const QStringList &arguments,
                                                      OutputChannels channels);
    /// The same with the program's path and arguments as bytes, passed on unchanged, and
    /// with \a environment ("NAME=value" each) instead of the Launcher's when given.
    static std::shared_ptr<ChildProcess> launchedTask(const QByteArray &launchPath, const QList<QByteArray> &arguments,
                                                      OutputChannels channels,
                                                      const std::optional<QList<QByteArray>> &environment = std::nullopt);

    /// Waits, reading the output pipes meanwhile, until every child still running has
    /// ended and its pipes are closed, or \a deadline has passed; each end is announced
    /// before this returns.
    static void waitForRunningChildren(QDeadlineTimer deadline);

    ~ChildProcess() override;

    /// The child's process id, also the id of its process group; 0 if it never started.
    pid_t processIdentifier() const { return m_pid; }
    /// True from the start until the child and every process left in its group have
    /// ended, also while they are suspended: an emulator that forks and exits still plays.
    bool isRunning() const { return m_running; }
    /// The exit code, or the number of the signal that ended the child; 0 before the end.
    int terminationStatus() const { return m_terminationStatus; }
    /// True when the child was ended by a signal (terminationStatus() is its number),
    /// false when it exited (terminationStatus() is its exit code).
    bool terminatedBySignal() const { return m_terminatedBySignal; }
    /// True once terminate() or terminateAndContinue() was asked of this child.
    bool terminationRequested() const { return m_terminationRequested; }

    /// Stops the child's process group. Suspensions are counted: the group goes on only
    /// when each has been undone by resume(). False when the child has ended.
    bool suspend();
    /// Undoes one suspend(). False when there is none to undo or the child has ended.
    bool resume();
    /// How many suspensions are not yet undone.
    int suspendCount() const { return m_suspendCount; }
    /// How long the child has run, or ran until its end, not counting the time it was
    /// suspended; in milliseconds, by clock().
    qint64 activeMilliseconds() const;
    /// Milliseconds on a monotonic clock.
    using Clock = std::function<qint64()>;
    /// The clock play time is measured by: the system's monotonic clock unless set.
    static qint64 clock();
    /// Sets the clock for every child from now on; an empty one puts the system's back. For
    /// tests, which would otherwise wait out the play time they check.
    static void setClock(Clock clock);
    /// Asks the process group to end (SIGTERM) and returns at once.
    void terminate();
    /// Like terminate(), and then lets a suspended group continue so that it receives the
    /// request and can end.
    void terminateAndContinue();
    /// Ends the process group at once (SIGKILL), giving it no chance to save or clean up.
    void forceStop();

Q_SIGNALS:
    /// Emitted once, from the event loop, when the child has ended and has been reaped and
    /// its process group is empty; carries this handle.
    void didTerminate(ChildProcess *task);
    /// Bytes the child wrote to its standard output (\a channel 1) or error (2); only
    /// for a child started with piped output channels.
    void outputRead(ChildProcess *task, int channel, const QByteArray &bytes);

private:
    ChildProcess();
    void start(std::vector<QByteArray> words, OutputChannels channels, std::optional<QList<QByteArray>> environment);
    // How much output one turn of the event loop reads from each stream.
    static constexpr qsizetype kOutputSlice = 64 * 1024;
    // Reads what is there from output \a index, at most \a limit bytes.
    void readOutput(int index, qsizetype limit = kOutputSlice);
    void closeOutput(int index);
    void releaseWhenDone();
    /// Undoes an inherited SIGCHLD set-up under which the kernel would reap our children.
    static void keepChildStatuses();
    bool waitForEnd(QDeadlineTimer deadline);
    void watchForEnd();
    void checkForEnd();
    bool groupIsAlive() const;
    void stopWatchingLeader();
    void finish(int terminationStatus);
    void signalGroup(int signalNumber) const;
    // Moves the time since the last start or resume into m_activeMs.
    void stopActiveClock();

    pid_t m_pid = 0;
    int m_pidFd = -1;
    QSocketNotifier *m_endNotifier = nullptr;
    QTimer *m_endPollTimer = nullptr;
    bool m_running = false;
    bool m_leaderEnded = false;
    int m_leaderStatus = 0;
    int m_suspendCount = 0;
    // When the child last started or resumed by clock(); -1 while it is suspended or ended.
    qint64 m_activeSince = -1;
    qint64 m_activeMs = 0;
    int m_terminationStatus = 0;
    bool m_terminatedBySignal = false;
    bool m_terminationRequested = false;
    bool m_released = false;
    // Read ends of the output and error pipes, -1 when not piped or closed.
    int m_outputFds[2] = {-1, -1};
    QSocketNotifier *m_outputNotifiers[2] = {nullptr, nullptr};
};
