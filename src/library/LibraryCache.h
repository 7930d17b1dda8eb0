#pragma once

#include "library/LibraryRecord.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <vector>

class QSqlError;
class SqliteFailure;

/// The library's memory between starts: one SQLite row per file (per image entry of an
/// archive), keyed by LibraryRecord::key(), with
/// what the reader found and the file's stamp. It is only a cache, but one worth keeping:
/// only a file SQLite reports as damaged, or of another layout, is set aside (never over an
/// earlier one) and started afresh. A write that fails for any other reason (a full disk)
/// keeps the file as it is and stops writing for the session; a cache in a folder that
/// cannot be written is read and not written; a write lock held by another program is
/// waited for, and only one that outlasts a scan stops writing.
///
/// Like every Qt SQL connection it is used from the thread that opened it.
class LibraryCache
{
    Q_DECLARE_TR_FUNCTIONS(LibraryCache)

public:
    static constexpr int schemaVersion = 1;

    /// $XDG_CACHE_HOME/tolvane-launcher/library.sqlite (by default under ~/.cache).
    static QString defaultPath();

    explicit LibraryCache(const QString &path = defaultPath());
    ~LibraryCache();
    LibraryCache(const LibraryCache &) = delete;
    LibraryCache &operator=(const LibraryCache &) = delete;

    /// Opens the file, setting it aside and starting afresh when it cannot be used.
    void open();
    /// Whether the rows outlive this session (false: kept in memory only).
    bool isPersistent() const { return m_persistent; }
    /// Whether changes are still written (false after a failed write, or read-only).
    bool isWritable() const { return m_writable; }
    /// A sentence for the player when the cache had to be set aside, kept in memory or left
    /// unwritten.
    QString message() const { return m_message; }

    /// Every row that can be decoded, sorted by path: a row that cannot is deleted, so its
    /// file is read again and stored afresh.
    std::vector<LibraryRecord> load();
    void store(const std::vector<LibraryRecord> &records);
    /// Removes the rows of these keys.
    void remove(const QList<QByteArray> &keys);
    /// The folders that were the root of a file system of their own when last walked.
    QSet<QByteArray> mountRoots();
    void setMountRoots(const QSet<QByteArray> &folders);
    /// A DAT file's parsed form as serialized() kept it, when the file's size and modification
    /// time (ns) are still those it was read at; empty otherwise.
    QByteArray cachedDat(const QString &path, qint64 size, qint64 modified);
    void storeDat(const QString &path, qint64 size, qint64 modified, const QByteArray &dat);
    /// Forgets the DAT files not in \a paths.
    void keepDats(const QStringList &paths);
    /// At the end of a scan, writes held back by another program's lock are tried again; a
    /// lock still held then stops writing for the session.
    void finishScan();

private:
    enum class Access { ReadWrite, ReadOnly };
    /// Opens and readies the schema; why it failed in words, empty on success (\a failure:
    /// what SQLite reported, or another layout).
    QString openAt(const QString &databaseName, Access access, SqliteFailure *failure = nullptr);
    bool openReadOnly();
    void setAside(const QString &why);
    void useMemory(const QString &why);
    void stopWriting(const QString &why);
    void failed(const QSqlError &error);
    void write(const QString &statement, QList<QVariantList> rows);
    /// Runs the writes held back, in order, in one transaction; false while they wait for a lock.
    bool flush();

    struct Write
    {
        QString statement;
        QList<QVariantList> rows;
    };

    QString m_path;
    QString m_connectionName;
    bool m_persistent = false;
    bool m_writable = false;
    bool m_waiting = false;
    // Rows committed to the write-ahead log since the last checkpoint.
    bool m_logged = false;
    QString m_message;
    QList<Write> m_unwritten;
};
