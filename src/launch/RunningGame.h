#pragma once

#include <QString>

#include <optional>
#include <sys/types.h>

/// The one game a user plays at a time, whichever process started it (a Launcher window or a
/// "--play" without one). Two things in the user's runtime folder stand for it:
///  - a lock (flock(2) on "tolvane-launcher.playing.lock"), held by the process that supervises the emulator
///    from Play until the game has ended; the kernel lets it go when that process dies;
///  - the emulator's identity ("tolvane-launcher/running-game": process id, start time, the game), which
///    stays when the Launcher is killed, so that the next one finds the emulator still
///    running and does not start a second one beside it.
class RunningGame
{
public:
    struct Identity
    {
        pid_t pid = 0;
        /// When the process started, in clock ticks after boot (/proc/PID/stat): with the
        /// pid, it tells the emulator from a later process that got its number.
        quint64 startTime = 0;
        QString md5;
        /// The game as the player knows it (a file name, an archive's entry).
        QString name;
    };

    RunningGame();
    ~RunningGame();
    RunningGame(const RunningGame &) = delete;
    RunningGame &operator=(const RunningGame &) = delete;

    /// Takes the lock without waiting; false while another holder (another process, or
    /// another RunningGame) has it. Without a runtime folder nothing can be shared, and the
    /// game is let play (true).
    bool lock();
    void unlock();
    bool isLocked() const { return m_locked; }

    /// The emulator recorded as playing, when that very process still runs; a record of one
    /// that has ended (or whose number now belongs to another process) is removed.
    static std::optional<Identity> recorded();
    /// Records \a identity as the game that plays (replacing the file whole).
    static void record(const Identity &identity);
    /// The identity of the running process \a pid, with its start time; nothing when it has
    /// ended (a zombie has).
    static std::optional<quint64> startTimeOf(pid_t pid);
    /// Where the record is kept; empty without a runtime folder.
    static QString folder();

private:
    int m_fd = -1;
    bool m_locked = false;
};
