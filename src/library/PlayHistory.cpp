#include "library/PlayHistory.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>
#include <QVariant>

#include <sqlite3.h>

QString PlayHistory::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/tolvane-launcher/history.sqlite");
}

PlayHistory::PlayHistory(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_connectionName(QStringLiteral("history-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    qRegisterMetaType<GameHistoryMap>();
}

PlayHistory::~PlayHistory()
{
    closeDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void PlayHistory::closeDatabase()
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (db.isValid())
        db.close();
}

void PlayHistory::open()
{
    const QString folder = QFileInfo(m_path).absolutePath();
    int code = 0;
    QString error;
    if (!QDir().mkpath(folder))
        error = tr("the folder “%1” cannot be made").arg(folder);
    else
        error = openAt(m_path, &code);
    if (error.isEmpty()) {
        m_writable = true;
    } else if (code == SQLITE_BUSY || code == SQLITE_LOCKED || code == SQLITE_READONLY || code == SQLITE_IOERR
               || code == SQLITE_FULL || code < 0 || !QFileInfo(folder).isWritable()
               || (QFileInfo::exists(m_path) && !QFileInfo(m_path).isWritable())) {
        // Nothing wrong with the file itself (or not ours to judge): leave it as it is.
        useMemory(tr("Your play history “%1” cannot be used (%2). It is left as it is; what you play now is not "
                     "saved.")
                      .arg(m_path, error));
    } else {
        renameAside(error);
    }
    Q_EMIT loaded(m_entries);
}

QString PlayHistory::openAt(const QString &databaseName, int *code)
{
    closeDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(databaseName);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    QSqlQuery query(db);
    const auto failure = [&](const QSqlError &error) {
        *code = error.nativeErrorCode().toInt();
        return error.text().isEmpty() ? tr("unknown error") : error.text();
    };
    if (!db.open())
        return failure(db.lastError());
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return failure(query.lastError());
    const int version = query.value(0).toInt();
    if (version > schemaVersion) {
        // A newer Launcher's file: not damaged, and not ours to change.
        *code = -1;
        return tr("it was written by a newer Launcher");
    }
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.exec(QStringLiteral("PRAGMA synchronous=NORMAL")))
        return failure(query.lastError());
    if (version == 0) {
        const bool made = db.transaction()
            && query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS games (md5 TEXT PRIMARY KEY, "
                                         "last_played INTEGER NOT NULL DEFAULT 0, play_ms INTEGER NOT NULL DEFAULT 0, "
                                         "favourite INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID"))
            && query.exec(QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion)) && db.commit();
        if (!made)
            return failure(query.lastError().isValid() ? query.lastError() : db.lastError());
    }
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT md5, last_played, play_ms, favourite FROM games")))
        return failure(query.lastError());
    GameHistoryMap entries;
    while (query.next()) {
        GameHistory entry;
        entry.lastPlayed = query.value(1).toLongLong();
        entry.playMs = query.value(2).toLongLong();
        entry.favourite = query.value(3).toBool();
        entries.insert(query.value(0).toString(), entry);
    }
    if (query.lastError().isValid())
        return failure(query.lastError());
    m_entries = entries;
    return QString();
}

void PlayHistory::renameAside(const QString &why)
{
    closeDatabase();
    // A name of its own each time: an older damaged file is never overwritten.
    const QString aside = m_path + QStringLiteral(".damaged-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
    const bool renamed = QFile::rename(m_path, aside);
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::rename(m_path + suffix, aside + suffix);
    int code = 0;
    if (renamed && openAt(m_path, &code).isEmpty()) {
        m_writable = true;
        Q_EMIT problem(tr("Your play history could not be read (%1). The file was renamed to “%2” and a new history "
                          "was started.")
                           .arg(why, aside));
        return;
    }
    useMemory(tr("Your play history “%1” could not be read (%2), nor set aside. What you play now is not saved.")
                  .arg(m_path, why));
}

void PlayHistory::useMemory(const QString &message)
{
    closeDatabase();
    m_writable = false;
    Q_EMIT problem(message);
}

void PlayHistory::recordRun(const QString &md5, qint64 endedAt, qint64 activeMs)
{
    if (md5.isEmpty())
        return;
    m_entries[md5].addRun(endedAt, activeMs);
    store(md5);
}

void PlayHistory::setFavourite(const QString &md5, bool favourite)
{
    if (md5.isEmpty())
        return;
    m_entries[md5].favourite = favourite;
    store(md5);
}

void PlayHistory::store(const QString &md5)
{
    if (!m_writable)
        return;
    const GameHistory entry = m_entries.value(md5);
    QSqlQuery query(QSqlDatabase::database(m_connectionName, false));
    query.prepare(QStringLiteral("INSERT INTO games (md5, last_played, play_ms, favourite) VALUES (?, ?, ?, ?) "
                                 "ON CONFLICT(md5) DO UPDATE SET last_played = excluded.last_played, "
                                 "play_ms = excluded.play_ms, favourite = excluded.favourite"));
    query.addBindValue(md5);
    query.addBindValue(entry.lastPlayed);
    query.addBindValue(entry.playMs);
    query.addBindValue(entry.favourite ? 1 : 0);
    if (query.exec())
        return;
    const QSqlError error = query.lastError();
    query = QSqlQuery();
    const int code = error.nativeErrorCode().toInt();
    // A full disk or a file gone read-only: what is there stays; the rest of the session is
    // kept in memory and the player is told once.
    if (code == SQLITE_FULL)
        useMemory(tr("Your play history cannot be saved: the disk is full. It is kept as it was; what you play now "
                     "is remembered until you quit."));
    else
        useMemory(tr("Your play history cannot be saved (%1). It is kept as it was; what you play now is remembered "
                     "until you quit.")
                      .arg(error.text()));
}
