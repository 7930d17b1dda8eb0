#pragma once

#include <QCoreApplication>
#include <QString>

class QSqlError;

/// One rule for what an SQLite failure means for a file we keep (the library cache, the play
/// history): only damage that SQLite itself reports, or a file of another layout, sets the
/// file aside. Anything else (a full disk, a journal that cannot be opened, a read-only
/// folder, a lock) is no fault of the file, which is kept as it is.
class SqliteFailure
{
    Q_DECLARE_TR_FUNCTIONS(SqliteFailure)

public:
    /// Not SQLite's: the file's user_version is another layout's.
    static constexpr int kOtherLayout = -1;

    /// \a code is SQLite's result code, extended or primary, or kOtherLayout; \a systemError
    /// the errno behind it, when known.
    explicit SqliteFailure(int code = 0, int systemError = 0) : m_code(code), m_systemError(systemError) {}
    /// The code a Qt SQL error carries, and the errno of the connection \a connectionName.
    static SqliteFailure of(const QSqlError &error, const QString &connectionName = QString());

    int code() const { return m_code; }
    /// The primary result code (extended codes keep it in their low byte).
    int primary() const { return m_code < 0 ? m_code : m_code & 0xff; }
    /// Damaged (SQLITE_CORRUPT, SQLITE_NOTADB) or of another layout: the file may be set aside.
    bool meansDamaged() const;
    /// Held by another program (SQLITE_BUSY, SQLITE_LOCKED): worth trying again.
    bool meansBusy() const;
    /// SQLITE_FULL, or any I/O error that the system reported as a full disk.
    bool meansFull() const;
    /// Why, in words that fit in parentheses after what failed: "the disk is full".
    QString inWords() const;

private:
    int m_code;
    int m_systemError;
};
