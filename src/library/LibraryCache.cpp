#include "library/LibraryCache.h"

#include "library/SqliteFailure.h"
#include "platform/XdgFolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>
#include <QVariant>

#include <sqlite3.h>

#include <utility>

#include <fcntl.h>
#include <unistd.h>

QString LibraryCache::defaultPath()
{
    return XdgFolders::cache() + QStringLiteral("/library.sqlite");
}

LibraryCache::LibraryCache(const QString &path)
    : m_path(path)
    , m_connectionName(QStringLiteral("library-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

LibraryCache::~LibraryCache()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

void LibraryCache::open()
{
    const QString folder = QFileInfo(m_path).absolutePath();
    QDir().mkpath(folder);
    const bool exists = QFileInfo::exists(m_path);
    // Read what is there even where nothing may be written (a read-only home, a shared cache).
    const auto writable = [](const QString &path) {
        return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
    };
    if (!QFileInfo(folder).isDir() || !writable(folder) || (exists && !writable(m_path))) {
        if (!exists || !openReadOnly())
            useMemory(tr("The library cache folder “%1” cannot be written").arg(folder));
        return;
    }
    SqliteFailure failure;
    const QString error = openAt(m_path, Access::ReadWrite, &failure);
    if (error.isEmpty()) {
        m_persistent = m_writable = true;
        return;
    }
    if (failure.meansDamaged()) {
        setAside(error);
        return;
    }
    // Anything else (a full disk, a lock held past the busy timeout) is no fault of the file.
    if (failure.meansBusy())
        useMemory(tr("The library cache is in use by another program"));
    else if (!exists || !openReadOnly())
        useMemory(failure.meansFull() ? tr("The disk holding the library cache is full")
                                      : tr("The library cache “%1” cannot be opened (%2)").arg(m_path, error));
    else
        m_message = tr("The library cache “%1” cannot be written (%2); it is used as it is and not updated until the next start.")
                        .arg(m_path, error);
}

bool LibraryCache::openReadOnly()
{
    // SQLite cannot open a WAL file read-only where it may not make the -shm file; one that is
    // never written while we read it needs none.
    const bool shared = QFileInfo::exists(m_path + QStringLiteral("-shm"));
    const QString uri = QStringLiteral("file:") + QString::fromLatin1(QFile::encodeName(m_path).toPercentEncoding("/"))
        + (shared ? QStringLiteral("?mode=ro") : QStringLiteral("?immutable=1"));
    if (!openAt(uri, Access::ReadOnly).isEmpty())
        return false;
    m_persistent = true;
    m_writable = false;
    m_message = tr("The library cache “%1” cannot be written; it is used as it is and not updated.").arg(m_path);
    return true;
}

QString LibraryCache::openAt(const QString &databaseName, Access access, SqliteFailure *failure)
{
    {
        QSqlDatabase old = QSqlDatabase::database(m_connectionName, false);
        if (old.isValid())
            old.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(databaseName);
    const bool readOnly = access == Access::ReadOnly;
    db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000;QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY")
                                  : QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    QSqlQuery query(db);
    const auto failed = [&](const QSqlError &error) {
        const SqliteFailure what = SqliteFailure::of(error, m_connectionName);
        if (failure)
            *failure = what;
        return what.inWords();
    };
    if (!db.open())
        return failed(db.lastError());
    // Any read of a damaged file fails here already ("file is not a database").
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failed(query.lastError());
    const int version = query.value(0).toInt();
    if (version != 0 && version != schemaVersion) {
        if (failure)
            *failure = SqliteFailure(SqliteFailure::kOtherLayout);
        return tr("version %1, this Launcher uses %2").arg(version).arg(schemaVersion);
    }
    // Mapped rather than copied in: the whole table is read at every start.
    query.exec(QStringLiteral("PRAGMA mmap_size=268435456"));
    if (!readOnly) {
        if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.exec(QStringLiteral("PRAGMA synchronous=NORMAL")))
            return failed(query.lastError());
        const bool made = query.exec(QStringLiteral("BEGIN"))
            // The record and its stamp in one compact value: loading thousands of rows at
            // every start costs per column, and nothing queries the fields one by one.
            && query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS roms (path BLOB PRIMARY KEY, record BLOB NOT NULL) WITHOUT ROWID"))
            // Added without a new layout: an older Launcher reads the file as before.
            && query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS mounts (path BLOB PRIMARY KEY) WITHOUT ROWID"))
            && query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS dats (path TEXT PRIMARY KEY, size INTEGER NOT NULL, "
                                         "modified INTEGER NOT NULL, dat BLOB NOT NULL) WITHOUT ROWID"))
            && (version != 0 || query.exec(QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion)))
            && query.exec(QStringLiteral("COMMIT"));
        if (!made) {
            const QString error = failed(query.lastError());
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            return error;
        }
    }
    // A table that cannot be read whole is damaged deeper than the header.
    if (!query.exec(QStringLiteral("SELECT count(*) FROM roms")) || !query.next())
        return failed(query.lastError());
    return QString();
}

void LibraryCache::setAside(const QString &why)
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isValid())
            db.close();
    }
    // A name of its own: an earlier file set aside may be the one worth recovering.
    QString aside = m_path + QStringLiteral(".unusable");
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo::exists(aside + QStringLiteral("-wal")); ++n)
        aside = m_path + QStringLiteral(".unusable-%1").arg(n);
    QFile::rename(m_path, aside);
    QFile::rename(m_path + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
    QFile::remove(m_path + QStringLiteral("-shm"));
    m_unwritten.clear();
    if (!QFileInfo::exists(m_path) && openAt(m_path, Access::ReadWrite).isEmpty()) {
        m_persistent = m_writable = true;
        m_message = tr("The library cache could not be used (%1); it was set aside as “%2” and is being rebuilt.")
                        .arg(why, aside);
        return;
    }
    useMemory(tr("The library cache “%1” cannot be used (%2)").arg(m_path, why));
}

void LibraryCache::useMemory(const QString &why)
{
    m_persistent = false;
    m_writable = true;
    m_unwritten.clear();
    m_message = tr("%1; the library is kept in memory and read again at the next start.").arg(why);
    if (!openAt(QStringLiteral(":memory:"), Access::ReadWrite).isEmpty()) {
        m_writable = false;
        m_message = tr("%1; the library is not cached.").arg(why);
    }
}

void LibraryCache::stopWriting(const QString &why)
{
    m_writable = false;
    m_unwritten.clear();
    m_message = tr("%1; the library cache is kept as it is and not updated until the next start.").arg(why);
}

void LibraryCache::failed(const QSqlError &error)
{
    if (!m_writable)
        return;
    const SqliteFailure failure = SqliteFailure::of(error, m_connectionName);
    // Only damage that SQLite itself reports costs the file; a wrong record would be worse.
    if (failure.meansDamaged()) {
        if (m_persistent)
            setAside(failure.inWords());
        return;
    }
    if (failure.meansFull()) {
        stopWriting(tr("The disk holding the library cache is full"));
    } else if (failure.meansBusy()) {
        // A lock ends: what was not written is kept and tried again at the next scan.
        m_message = tr("The library cache is in use by another program; what was found is written at the next scan.");
    } else {
        stopWriting(tr("The library cache “%1” cannot be written (%2)").arg(m_path, failure.inWords()));
    }
}

std::vector<LibraryRecord> LibraryCache::load()
{
    std::vector<LibraryRecord> records;
    // Every start reads every row. Through Qt SQL each value is copied into a QVariant and
    // out again; SQLite's own calls on the driver's connection hand over the bytes once,
    // which takes a fifth off a warm rescan of a large library.
    const QVariant handle = QSqlDatabase::database(m_connectionName, false).driver()->handle();
    sqlite3 *connection = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
        ? *static_cast<sqlite3 *const *>(handle.constData())
        : nullptr;
    sqlite3_stmt *rows = nullptr;
    QList<QByteArray> undecodable;
    int status = connection ? sqlite3_prepare_v2(connection, "SELECT path, record FROM roms ORDER BY path", -1, &rows, nullptr)
                            : SQLITE_MISUSE;
    if (status == SQLITE_OK) {
        const auto bytes = [rows](int column) {
            // The blob first: asking for the length first could convert the value.
            const char *data = static_cast<const char *>(sqlite3_column_blob(rows, column));
            return QByteArray(data, sqlite3_column_bytes(rows, column));
        };
        while ((status = sqlite3_step(rows)) == SQLITE_ROW) {
            LibraryRecord record;
            const QByteArray key = bytes(0);
            // Left out, its file is read again and stored afresh: one bad row costs one read.
            if (record.setKey(key) && record.decode(bytes(1)))
                records.push_back(std::move(record));
            else
                undecodable.append(key);
        }
    }
    if (status != SQLITE_DONE) {
        const QString text = connection ? QString::fromUtf8(sqlite3_errmsg(connection)) : tr("no connection");
        sqlite3_finalize(rows);
        failed(QSqlError(text, QString(), QSqlError::StatementError, QString::number(status)));
        return {};
    }
    sqlite3_finalize(rows);
    // Deleted, not skipped: a key that cannot be decoded names no file, so nothing would
    // ever replace or remove its row.
    remove(undecodable);
    return records;
}

void LibraryCache::store(const std::vector<LibraryRecord> &records)
{
    QList<QVariantList> rows;
    rows.reserve(qsizetype(records.size()));
    for (const LibraryRecord &record : records)
        rows.append({record.key(), record.encode()});
    write(QStringLiteral("INSERT OR REPLACE INTO roms (path, record) VALUES (?, ?)"), std::move(rows));
}

void LibraryCache::remove(const QList<QByteArray> &keys)
{
    QList<QVariantList> rows;
    rows.reserve(keys.size());
    for (const QByteArray &key : keys)
        rows.append({key});
    write(QStringLiteral("DELETE FROM roms WHERE path = ?"), std::move(rows));
}

QSet<QByteArray> LibraryCache::mountRoots()
{
    QSet<QByteArray> folders;
    // A file written by an older Launcher may lack the table: no folder is known then.
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    if (query.exec(QStringLiteral("SELECT path FROM mounts"))) {
        while (query.next())
            folders.insert(query.value(0).toByteArray());
    }
    return folders;
}

void LibraryCache::setMountRoots(const QSet<QByteArray> &folders)
{
    if (folders == mountRoots())
        return;
    write(QStringLiteral("DELETE FROM mounts"), {{}});
    QList<QVariantList> rows;
    for (const QByteArray &folder : folders)
        rows.append({folder});
    write(QStringLiteral("INSERT INTO mounts (path) VALUES (?)"), std::move(rows));
}

QByteArray LibraryCache::cachedDat(const QString &path, qint64 size, qint64 modified)
{
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.prepare(QStringLiteral("SELECT dat FROM dats WHERE path = ? AND size = ? AND modified = ?"));
    query.addBindValue(path);
    query.addBindValue(size);
    query.addBindValue(modified);
    return query.exec() && query.next() ? query.value(0).toByteArray() : QByteArray();
}

void LibraryCache::storeDat(const QString &path, qint64 size, qint64 modified, const QByteArray &dat)
{
    write(QStringLiteral("INSERT OR REPLACE INTO dats (path, size, modified, dat) VALUES (?, ?, ?, ?)"),
          {{path, size, modified, dat}});
}

void LibraryCache::keepDats(const QStringList &paths)
{
    QList<QVariantList> gone;
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    if (query.exec(QStringLiteral("SELECT path FROM dats"))) {
        while (query.next()) {
            if (!paths.contains(query.value(0).toString()))
                gone.append({query.value(0)});
        }
    }
    write(QStringLiteral("DELETE FROM dats WHERE path = ?"), std::move(gone));
}

void LibraryCache::finishScan()
{
    m_waiting = false;
    if (!flush()) {
        failed(QSqlError(QString(), QString(), QSqlError::StatementError, QString::number(SQLITE_BUSY)));
        return;
    }
    // What the scan wrote goes from the write-ahead log into the file itself: the next start
    // then reads the file through its mapping, not page by page from the log. Closing does
    // this too, but a Launcher that is killed never closes. One that cannot run now is no loss.
    if (std::exchange(m_logged, false) && m_writable)
        QSqlQuery(QSqlDatabase::database(m_connectionName, false)).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

void LibraryCache::write(const QString &statement, QList<QVariantList> rows)
{
    if (!m_writable || rows.isEmpty())
        return;
    m_unwritten.append({statement, std::move(rows)});
    // Once a lock made us wait, the rest of the scan does not wait again.
    if (!m_waiting)
        m_waiting = !flush();
}

bool LibraryCache::flush()
{
    if (m_unwritten.isEmpty() || !m_writable)
        return true;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);
    // COMMIT as a statement: QSqlDatabase::commit() drops SQLite's code, and the code decides
    // between a full disk and a damaged file.
    bool ok = query.exec(QStringLiteral("BEGIN IMMEDIATE"));
    for (qsizetype i = 0; ok && i < m_unwritten.size(); ++i) {
        const Write &write = m_unwritten.at(i);
        ok = query.prepare(write.statement);
        for (qsizetype row = 0; ok && row < write.rows.size(); ++row) {
            for (qsizetype value = 0; value < write.rows.at(row).size(); ++value)
                query.bindValue(int(value), write.rows.at(row).at(value));
            ok = query.exec();
        }
    }
    ok = ok && query.exec(QStringLiteral("COMMIT"));
    if (ok) {
        m_unwritten.clear();
        m_logged = true;
        return true;
    }
    const QSqlError error = query.lastError();
    query = QSqlQuery();
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    db = QSqlDatabase();
    // Held by another program: kept for the next try, at the latest at the end of the scan.
    if (SqliteFailure::of(error).meansBusy())
        return false;
    failed(error);
    return true;
}
