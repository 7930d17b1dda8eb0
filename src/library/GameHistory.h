#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QMetaType>
#include <QString>

class QDate;
class QDateTime;

/// What the Launcher remembers of one game (by its MD5) between starts: when it was last
/// played, for how long in all, and whether the player marked it as a favourite.
struct GameHistory
{
    Q_DECLARE_TR_FUNCTIONS(GameHistory)

public:
    /// Seconds since the epoch of the end of the latest run; 0 when never played.
    qint64 lastPlayed = 0;
    /// Milliseconds the emulator ran, pauses not counted.
    qint64 playMs = 0;
    bool favourite = false;

    /// Runs shorter than this (a crash at start) set the last played time but add no play time.
    static constexpr qint64 kMinimumPlayMs = 5000;

    bool operator==(const GameHistory &) const = default;
    /// Notes a run that ended at \a endedAt after \a activeMs of play.
    void addRun(qint64 endedAt, qint64 activeMs);

    /// "Today", "Yesterday", "3 days ago" up to a week, then the date; empty when never played.
    static QString lastPlayedText(qint64 lastPlayed, const QDate &today);
    /// "2 h 15 min", "15 min", "Less than a minute"; empty when never played.
    static QString playTimeText(qint64 playMs);
};

using GameHistoryMap = QHash<QString, GameHistory>;

Q_DECLARE_METATYPE(GameHistoryMap)
