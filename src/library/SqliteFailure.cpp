#include "library/SqliteFailure.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>

#include <sqlite3.h>

#include <cerrno>

SqliteFailure SqliteFailure::of(const QSqlError &error, const QString &connectionName)
{
    int systemError = 0;
    // A full disk often shows as an I/O error (the -shm file cannot grow); the errno says which.
    if (!connectionName.isEmpty()) {
        const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        const QVariant handle = db.isValid() && db.driver() ? db.driver()->handle() : QVariant();
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
            if (sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.constData()))
                systemError = sqlite3_system_errno(connection);
        }
    }
    return SqliteFailure(error.nativeErrorCode().toInt(), systemError);
}

bool SqliteFailure::meansDamaged() const
{
    return m_code == kOtherLayout || primary() == SQLITE_CORRUPT || primary() == SQLITE_NOTADB;
}

bool SqliteFailure::meansBusy() const
{
    return primary() == SQLITE_BUSY || primary() == SQLITE_LOCKED;
}

bool SqliteFailure::meansFull() const
{
    return primary() == SQLITE_FULL || (primary() == SQLITE_IOERR && (m_systemError == ENOSPC || m_systemError == EDQUOT));
}

QString SqliteFailure::inWords() const
{
    if (meansFull())
        return tr("the disk is full");
    switch (primary()) {
    case kOtherLayout:
        return tr("it was written by another version of the Launcher");
    case SQLITE_CORRUPT:
        return tr("the file is damaged");
    case SQLITE_NOTADB:
        return tr("the file is not a database");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return tr("another program is using it");
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return tr("it cannot be written");
    case SQLITE_CANTOPEN:
        return tr("it or its journal cannot be opened");
    case SQLITE_IOERR:
        return tr("the disk reported an error");
    case SQLITE_NOMEM:
        return tr("there is not enough memory");
    case SQLITE_OK:
    case SQLITE_ERROR:
        return tr("an unknown error");
    default:
        // SQLite's own short words, never the driver's ("Unable to fetch row").
        return QString::fromUtf8(sqlite3_errstr(m_code));
    }
}
