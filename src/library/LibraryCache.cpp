#include "library/LibraryCache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUrl>
#include <QUuid>
#include <QVariant>

QString LibraryCache::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/tolvane-launcher/library.sqlite");
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
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isWritable()) {
        useMemory(tr("The library cache folder “%1” cannot be written").arg(folder));
        return;
    }
    int code = 0;
    const QString error = openAt(m_path, &code);
    if (error.isEmpty()) {
        m_persistent = true;
        return;
    }
    // SQLITE_BUSY or SQLITE_LOCKED: another Launcher holds it; leave its file alone.
    if (code == 5 || code == 6) {
        useMemory(tr("The library cache is in use by another Launcher"));
        return;
    }
    if (QFileInfo::exists(m_path) && !QFileInfo(m_path).isWritable()) {
        useMemory(tr("The library cache “%1” cannot be written").arg(m_path));
        return;
    }
    setAside(error);
}

QString LibraryCache::openAt(const QString &databaseName, int *code)
{
    {
        QSqlDatabase old = QSqlDatabase::database(m_connectionName, false);
        if (old.isValid())
            old.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(databaseName);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=1000"));
    QSqlQuery query(db);
    const auto failure = [&](const QSqlError &error) {
        if (code)
            *code = error.nativeErrorCode().toInt();
        return error.text().isEmpty() ? tr("unknown error") : error.text();
    };
    if (!db.open())
        return failure(db.lastError());
    // Any read of a damaged file fails here already ("file is not a database").
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failure(query.lastError());
    const int version = query.value(0).toInt();
    if (version != 0 && version != schemaVersion)
        return tr("version %1, this Launcher uses %2").arg(version).arg(schemaVersion);
    // Mapped rather than copied in: the whole table is read at every start.
    query.exec(QStringLiteral("PRAGMA mmap_size=268435456"));
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.exec(QStringLiteral("PRAGMA synchronous=NORMAL")))
        return failure(query.lastError());
    if (version == 0) {
        const bool made = db.transaction()
            // The record and its stamp in one compact value: loading thousands of rows at
            // every start costs per column, and nothing queries the fields one by one.
            && query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS roms (path BLOB PRIMARY KEY, record BLOB NOT NULL) WITHOUT ROWID"))
            && query.exec(QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion)) && db.commit();
        if (!made)
            return failure(query.lastError().isValid() ? query.lastError() : db.lastError());
    }
    // A table that cannot be read whole is damaged deeper than the header.
    if (!query.exec(QStringLiteral("SELECT count(*) FROM roms")) || !query.next())
        return failure(query.lastError());
    return QString();
}

void LibraryCache::setAside(const QString &why)
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isValid())
            db.close();
    }
    const QString aside = m_path + QStringLiteral(".unusable");
    QFile::remove(aside);
    QFile::rename(m_path, aside);
    QFile::remove(m_path + QStringLiteral("-wal"));
    QFile::remove(m_path + QStringLiteral("-shm"));
    if (openAt(m_path).isEmpty()) {
        m_persistent = true;
        m_message = tr("The library cache could not be used (%1); it was set aside as “%2” and is being rebuilt.")
                        .arg(why, aside);
        return;
    }
    useMemory(tr("The library cache “%1” cannot be written").arg(m_path));
}

void LibraryCache::useMemory(const QString &why)
{
    m_persistent = false;
    m_message = tr("%1; the library is kept in memory and read again at the next start.").arg(why);
    if (!openAt(QStringLiteral(":memory:")).isEmpty())
        m_message = tr("%1; the library is not cached.").arg(why);
}

void LibraryCache::failed(const QSqlError &error)
{
    if (!m_persistent)
        return;
    // Held by another Launcher for longer than the busy timeout: its file is left alone.
    const int code = error.nativeErrorCode().toInt();
    if (code == 5 || code == 6) {
        useMemory(tr("The library cache is in use by another Launcher"));
        return;
    }
    // A damaged page found while working: start again rather than keep a wrong record.
    setAside(error.text().isEmpty() ? tr("a damaged record") : error.text());
}

std::vector<LibraryRecord> LibraryCache::load()
{
    std::vector<LibraryRecord> records;
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT count(*) FROM roms")) && query.next())
        records.reserve(std::size_t(query.value(0).toLongLong()));
    if (!query.exec(QStringLiteral("SELECT path, record FROM roms ORDER BY path"))) {
        const QSqlError error = query.lastError();
        query = QSqlQuery();
        failed(error);
        return records;
    }
    while (query.next()) {
        LibraryRecord record;
        // A row that does not decode is damage; no record is better than a wrong one.
        if (!record.setKey(query.value(0).toByteArray()) || !record.decode(query.value(1).toByteArray())) {
            query = QSqlQuery();
            failed(QSqlError());
            return {};
        }
        records.push_back(std::move(record));
    }
    if (query.lastError().isValid()) {
        const QSqlError error = query.lastError();
        query = QSqlQuery();
        failed(error);
        return {};
    }
    return records;
}

void LibraryCache::store(const std::vector<LibraryRecord> &records)
{
    if (records.empty())
        return;
    execInTransaction(QStringLiteral("INSERT OR REPLACE INTO roms (path, record) VALUES (?, ?)"), records.size(),
                      [&records](QSqlQuery &query, std::size_t i) {
                          query.bindValue(0, records[i].key());
                          query.bindValue(1, records[i].encode());
                      });
}

void LibraryCache::remove(const QList<QByteArray> &keys)
{
    if (keys.isEmpty())
        return;
    execInTransaction(QStringLiteral("DELETE FROM roms WHERE path = ?"), std::size_t(keys.size()),
                      [&keys](QSqlQuery &query, std::size_t i) { query.bindValue(0, keys[qsizetype(i)]); });
}

void LibraryCache::execInTransaction(const QString &statement, std::size_t rows,
                                     const std::function<void(QSqlQuery &, std::size_t)> &bind)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);
    bool ok = db.transaction() && query.prepare(statement);
    for (std::size_t i = 0; ok && i < rows; ++i) {
        bind(query, i);
        ok = query.exec();
    }
    if (ok && db.commit())
        return;
    const QSqlError error = query.lastError().isValid() ? query.lastError() : db.lastError();
    query = QSqlQuery();
    db.rollback();
    db = QSqlDatabase();
    failed(error);
}
