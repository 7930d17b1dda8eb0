#pragma once

#include "library/LibraryRecord.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

class QSqlError;
class QSqlQuery;

/// The library's memory between starts: one SQLite row per file (per image entry of an
/// archive), keyed by LibraryRecord::key(), with
/// what the reader found and the file's stamp. It is only a cache: a file that is damaged,
/// of another version or held by another Launcher is set aside and started afresh, and a
/// folder that cannot be written leaves a cache in memory for this session.
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
    /// A sentence for the player when the cache had to be set aside or kept in memory.
    QString message() const { return m_message; }

    /// Every row, sorted by path.
    std::vector<LibraryRecord> load();
    void store(const std::vector<LibraryRecord> &records);
    /// Removes the rows of these keys.
    void remove(const QList<QByteArray> &keys);

private:
    /// Opens and readies the schema; the error text, empty on success (\a code: SQLite's).
    QString openAt(const QString &databaseName, int *code = nullptr);
    void setAside(const QString &why);
    void useMemory(const QString &why);
    void failed(const QSqlError &error);
    // One prepared statement run for each of \a rows inside one transaction; a failure rolls
    // the whole batch back and sets the cache aside.
    void execInTransaction(const QString &statement, std::size_t rows,
                           const std::function<void(QSqlQuery &, std::size_t)> &bind);

    QString m_path;
    QString m_connectionName;
    bool m_persistent = false;
    QString m_message;
};
