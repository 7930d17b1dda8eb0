#pragma once

#include "library/GameHistory.h"

#include <QObject>
#include <QString>

class QSqlError;
class SqliteFailure;

/// The player's history and favourites, keyed by MD5, in an SQLite file of their own
/// ($XDG_DATA_HOME/tolvane-launcher/history.sqlite). Unlike the library cache this is the
/// player's data: only a file SQLite reports as damaged is renamed aside and kept, never
/// deleted (SqliteFailure's rule). Any other failure (a full disk, a journal that cannot be
/// opened, a read-only folder, a newer Launcher's file) keeps the file as it is, read
/// read-only where it can be, and the session goes on in memory.
///
/// Lives on a thread of its own so that the disk never holds up the window; like every Qt
/// SQL connection it is used from the thread that opened it.
class PlayHistory : public QObject
{
    Q_OBJECT

public:
    static constexpr int schemaVersion = 1;

    /// $XDG_DATA_HOME/tolvane-launcher/history.sqlite (by default under ~/.local/share).
    static QString defaultPath();

    explicit PlayHistory(const QString &path = defaultPath(), QObject *parent = nullptr);
    ~PlayHistory() override;

    /// What is known now (also what could not be written).
    GameHistoryMap entries() const { return m_entries; }
    /// Whether changes still reach the file.
    bool isWritable() const { return m_writable; }

public Q_SLOTS:
    /// Opens the file (renaming a damaged one aside) and announces its contents by loaded().
    void open();
    /// Adds a run that ended at \a endedAt (seconds since the epoch) after \a activeMs.
    void recordRun(const QString &md5, qint64 endedAt, qint64 activeMs);
    void setFavourite(const QString &md5, bool favourite);

Q_SIGNALS:
    void loaded(const GameHistoryMap &entries);
    /// A sentence for the player: the file was renamed aside, or can no longer be written.
    void problem(const QString &message);

private:
    enum class Access { ReadWrite, ReadOnly };
    /// Opens and reads the file; false with \a failure (and the words for it) when it cannot.
    bool openAt(const QString &databaseName, Access access, SqliteFailure *failure, QString *why);
    /// The file as it is, without writing to it or its folder; false when it cannot be read.
    bool openReadOnly();
    void keepAsItIs(const QString &why);
    void renameAside(const QString &why);
    /// The rows of a damaged file that can still be read.
    GameHistoryMap salvage(const QString &damaged) const;
    void useMemory(const QString &message);
    void store(const QString &md5);
    void closeDatabase();

    QString m_path;
    QString m_connectionName;
    bool m_writable = false;
    GameHistoryMap m_entries;
};
