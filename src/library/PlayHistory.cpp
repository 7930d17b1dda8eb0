#include "library/PlayHistory.h"

#include "library/SqliteFailure.h"
#include "platform/XdgFolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <fcntl.h>
#include <unistd.h>

QString PlayHistory::defaultPath()
{
    return XdgFolders::data() + QStringLiteral("/history.sqlite");
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
    QDir().mkpath(folder);
    const bool exists = QFileInfo::exists(m_path);
    const auto writable = [](const QString &path) {
        return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
    };
    SqliteFailure failure;
    QString why;
    if (!QFileInfo(folder).isDir() || !writable(folder) || (exists && !writable(m_path))) {
        // A read-only data folder: what is there is shown, nothing is written.
        if (!exists)
            useMemory(tr("Your play history cannot be kept: the folder “%1” cannot be written. What you play now is "
                         "remembered until you quit.")
                          .arg(folder));
        else
            keepAsItIs(tr("its folder cannot be written"));
    } else if (openAt(m_path, Access::ReadWrite, &failure, &why)) {
        m_writable = true;
    } else if (failure.meansDamaged()) {
        renameAside(why);
    } else {
        keepAsItIs(why);
    }
    Q_EMIT loaded(m_entries);
}

void PlayHistory::keepAsItIs(const QString &why)
{
    // Nothing wrong with the file itself, or not ours to judge: it stays as it is.
    if (openReadOnly()) {
        useMemory(tr("Your play history cannot be saved (%1). It is kept as it was; what you play now is remembered "
                     "until you quit.")
                      .arg(why));
        return;
    }
    useMemory(tr("Your play history “%1” cannot be used (%2). It is left as it is; what you play now is remembered "
                 "until you quit.")
                  .arg(m_path, why));
}

bool PlayHistory::openReadOnly()
{
    // mode=ro still uses the -wal and -shm files; immutable=1 reads the file alone, for a
    // folder where they cannot be made or a journal that cannot be opened.
    const QString file = QStringLiteral("file:") + QString::fromLatin1(QFile::encodeName(m_path).toPercentEncoding("/"));
    for (const QString &mode : {QStringLiteral("?mode=ro"), QStringLiteral("?immutable=1")}) {
        SqliteFailure failure;
        QString why;
        if (openAt(file + mode, Access::ReadOnly, &failure, &why))
            return true;
    }
    return false;
}

bool PlayHistory::openAt(const QString &databaseName, Access access, SqliteFailure *failure, QString *why)
{
    closeDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(databaseName);
    const bool readOnly = access == Access::ReadOnly;
    db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000;QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY")
                                  : QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    QSqlQuery query(db);
    const auto fail = [&](const QSqlError &error) {
        *failure = SqliteFailure::of(error, m_connectionName);
        *why = failure->inWords();
        return false;
    };
    if (!db.open())
        return fail(db.lastError());
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return fail(query.lastError());
    const int version = query.value(0).toInt();
    if (version > schemaVersion) {
        // A newer Launcher's file: not damaged, and not ours to change.
        *failure = SqliteFailure();
        *why = tr("it was written by a newer Launcher");
        return false;
    }
    GameHistoryMap entries;
    // A file never written holds no table yet; read-only, there is nothing to read.
    if (version == 0 && readOnly) {
        m_entries = entries;
        return true;
    }
    if (!readOnly
        && (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.exec(QStringLiteral("PRAGMA synchronous=NORMAL"))))
        return fail(query.lastError());
    if (version == 0) {
        const bool made = db.transaction()
            && query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS games (md5 TEXT PRIMARY KEY, "
                                         "last_played INTEGER NOT NULL DEFAULT 0, play_ms INTEGER NOT NULL DEFAULT 0, "
                                         "favourite INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID"))
            && query.exec(QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion)) && db.commit();
        if (!made)
            return fail(query.lastError().isValid() ? query.lastError() : db.lastError());
    }
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT md5, last_played, play_ms, favourite FROM games")))
        return fail(query.lastError());
    while (query.next()) {
        GameHistory entry;
        entry.lastPlayed = query.value(1).toLongLong();
        entry.playMs = query.value(2).toLongLong();
        entry.favourite = query.value(3).toBool();
        entries.insert(query.value(0).toString(), entry);
    }
    if (query.lastError().isValid())
        return fail(query.lastError());
    m_entries = entries;
    return true;
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
    SqliteFailure failure;
    QString error;
    if (renamed && openAt(m_path, Access::ReadWrite, &failure, &error)) {
        m_writable = true;
        // A file cut short (a crash, a full disk) still holds most games: they go on.
        const GameHistoryMap salvaged = salvage(aside);
        for (auto it = salvaged.cbegin(); it != salvaged.cend(); ++it) {
            m_entries.insert(it.key(), it.value());
            store(it.key());
        }
        if (salvaged.isEmpty())
            Q_EMIT problem(tr("Your play history could not be read (%1). The file was renamed to “%2” and a new history "
                              "was started.")
                               .arg(why, aside));
        else
            Q_EMIT problem(tr("Your play history could not be read whole (%1). The file was renamed to “%2”; the %n "
                              "game(s) that could be read are in a new history.",
                              nullptr, int(salvaged.size()))
                               .arg(why, aside));
        return;
    }
    useMemory(tr("Your play history “%1” could not be read (%2), nor set aside. What you play now is not saved.")
                  .arg(m_path, why));
}

GameHistoryMap PlayHistory::salvage(const QString &damaged) const
{
    GameHistoryMap rows;
    const QString name = m_connectionName + QStringLiteral("-salvage");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral("file:") + QString::fromLatin1(QFile::encodeName(damaged).toPercentEncoding("/"))
                           + QStringLiteral("?mode=ro"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY"));
        // Without it SQLite refuses a file shorter than its header says, before reading a row.
        if (db.open() && QSqlQuery(db).exec(QStringLiteral("PRAGMA writable_schema=ON"))) {
            // A scan stops at the first page that cannot be read, and the first leaf may be
            // any page. So it starts at each two-digit prefix of the digests, both ways, and
            // goes on until a page is missing or it meets rows already read.
            QSqlQuery up(db), down(db);
            up.setForwardOnly(true);
            down.setForwardOnly(true);
            up.prepare(QStringLiteral("SELECT md5, last_played, play_ms, favourite FROM games WHERE md5 >= ? ORDER BY md5"));
            down.prepare(QStringLiteral("SELECT md5, last_played, play_ms, favourite FROM games WHERE md5 < ? ORDER BY md5 DESC"));
            for (int prefix = 0; prefix < 256; ++prefix) {
                for (QSqlQuery *query : {&up, &down}) {
                    query->bindValue(0, QStringLiteral("%1").arg(prefix, 2, 16, QLatin1Char('0')));
                    if (!query->exec())
                        continue;
                    while (query->next() && !rows.contains(query->value(0).toString())) {
                        // What a damaged page yields may be no digest at all.
                        if (query->value(0).toString().size() != 32)
                            break;
                        GameHistory entry;
                        entry.lastPlayed = query->value(1).toLongLong();
                        entry.playMs = query->value(2).toLongLong();
                        entry.favourite = query->value(3).toBool();
                        rows.insert(query->value(0).toString(), entry);
                    }
                    query->finish();
                }
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
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
    const SqliteFailure failure = SqliteFailure::of(query.lastError(), m_connectionName);
    query = QSqlQuery();
    // A full disk or a file gone read-only: what is there stays; the rest of the session is
    // kept in memory and the player is told once.
    if (failure.meansFull())
        useMemory(tr("Your play history cannot be saved: the disk is full. It is kept as it was; what you play now "
                     "is remembered until you quit."));
    else
        useMemory(tr("Your play history cannot be saved (%1). It is kept as it was; what you play now is remembered "
                     "until you quit.")
                      .arg(failure.inWords()));
}
