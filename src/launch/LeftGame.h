#pragma once

#include "launch/RunningGame.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QSocketNotifier;

/// An emulator that a Launcher now gone (killed, or quit while the game would not end)
/// left running: not our child, so it is known by a process descriptor (pidfd), which
/// refers to that very process even if its number is later reused. It can be stopped or
/// force-stopped with its process group. The group is the game: when the emulator ends,
/// another member of its group (a process it started) is held the same way, and the game
/// has ended once none is left.
class LeftGame : public QObject
{
    Q_OBJECT

public:
    /// Takes hold of the recorded emulator; null when it has ended meanwhile or the kernel
    /// gives no process descriptor.
    static std::unique_ptr<LeftGame> take(const RunningGame::Identity &identity, QObject *parent = nullptr);
    ~LeftGame() override;

    const RunningGame::Identity &identity() const { return m_identity; }
    bool isRunning() const { return m_pidFd >= 0; }
    bool isStopping() const { return isRunning() && m_stopRequested; }
    bool forceStopOffered() const { return m_forceStopOffered; }
    /// Asks it to end (SIGTERM, then SIGCONT in case its Launcher had paused it).
    void stop();
    /// Ends it and its process group at once (SIGKILL).
    void forceStop();
    void setForceStopDelay(int milliseconds) { m_forceStopTimer.setInterval(milliseconds); }
    /// How long it has run since it was taken.
    qint64 elapsedMilliseconds() const { return m_clock.elapsed(); }

Q_SIGNALS:
    void stateChanged();
    /// It has ended; \a stopped when after stop() or forceStop().
    void ended(bool stopped);

private:
    LeftGame(const RunningGame::Identity &identity, int pidFd, QObject *parent);
    void signal(int signalNumber) const;
    void memberEnded();
    // Takes a descriptor of a live member of the game's group other than the one that ended.
    bool holdNextMember();

    RunningGame::Identity m_identity;
    // The member of the game's group held: the emulator first.
    pid_t m_memberPid;
    int m_pidFd = -1;
    QSocketNotifier *m_endNotifier = nullptr;
    QTimer m_forceStopTimer;
    QElapsedTimer m_clock;
    bool m_stopRequested = false;
    bool m_forceStopOffered = false;
};
