#include "library/GameLibrary.h"

#include "dat/DatIndex.h"
#include "library/DatCatalog.h"
#include "library/DatLibrary.h"
#include "library/LibraryCache.h"
#include "library/LibraryFolders.h"
#include "library/LibraryModel.h"
#include "library/LibraryScanner.h"
#include "library/PlayHistory.h"
#include "platform/LocalPath.h"
#include "platform/UserDefaults.h"
#include "rom/RomArchive.h"

#include <QDateTime>
#include <QLocale>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <utility>

#include <sys/stat.h>

namespace {

// A copy of many files sends a burst of changes; one scan after the burst is enough.
constexpr int kDebounceMs = 400;
// A file that changed moments ago may still be being written: look again later.
constexpr int kSettleRescanMs = 3000;

} // namespace

GameLibrary::GameLibrary(QObject *parent)
    : QObject(parent)
    , m_model(new LibraryModel(this))
    , m_scanThread(new QThread(this))
    , m_historyThread(new QThread(this))
    , m_datThread(new QThread(this))
    , m_dats(new DatLibrary(LibraryCache::defaultPath()))
    , m_scanner(new LibraryScanner(LibraryCache::defaultPath()))
    , m_history(new PlayHistory)
    , m_debounce(new QTimer(this))
{
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(kDebounceMs);
    connect(m_debounce, &QTimer::timeout, this, [this]() { startScan(true); });

    m_scanner->moveToThread(m_scanThread);
    connect(m_scanThread, &QThread::finished, m_scanner, &QObject::deleteLater);
    connect(m_scanner, &LibraryScanner::recordsFound, m_model, &LibraryModel::addRecords);
    connect(m_scanner, &LibraryScanner::recordsRemoved, m_model, &LibraryModel::removeKeys);
    connect(m_scanner, &LibraryScanner::foldersChanged, this, [this](bool eventsLost) {
        m_eventsLost = m_eventsLost || eventsLost;
        m_debounce->start();
    });
    connect(m_scanner, &LibraryScanner::progress, this, &GameLibrary::showProgress);
    connect(m_scanner, &LibraryScanner::picturesChanged, this, &GameLibrary::picturesChanged);
    connect(m_scanner, &LibraryScanner::finished, this, &GameLibrary::scanFinishedWith);
    connect(m_scanner, &LibraryScanner::cacheMessage, this, [this](const QString &message) {
        m_cacheMessage = message;
        updateStatus();
    });

    m_history->moveToThread(m_historyThread);
    connect(m_historyThread, &QThread::finished, m_history, &QObject::deleteLater);
    connect(m_history, &PlayHistory::loaded, this, [this](const GameHistoryMap &entries) {
        m_model->setHistory(entries);
        // The file was read before those changes were written to it: they are shown again.
        for (const auto &[md5, change] : std::exchange(m_changesBeforeHistory, std::nullopt).value_or(ChangesBeforeHistory())) {
            GameHistory entry = m_model->history(md5);
            change(entry);
            m_model->setGameHistory(md5, entry);
        }
        // A game opened before the file was read (given at start) shows its history now.
        Q_EMIT historyChanged(QString());
    });
    connect(m_history, &PlayHistory::problem, this, [this](const QString &message) {
        m_historyMessage = message;
        updateStatus();
        Q_EMIT historyProblem(message);
    });

    m_dats->moveToThread(m_datThread);
    connect(m_datThread, &QThread::finished, m_dats, &QObject::deleteLater);
    connect(m_dats, &DatLibrary::indexChanged, this,
            [this](const std::shared_ptr<const DatIndex> &index, const QHash<QString, QString> &summaries) {
                m_datIndex = index;
                m_datSummaries = summaries;
                m_model->setDatIndex(index);
                Q_EMIT datsChanged();
            });

    // Whoever changed them (Preferences, the File menu, a hand edit of the file).
    connect(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged, this, [this](const QString &key) {
        if (key == LibraryFolders::key)
            rescan();
        else if (key == DatCatalog::key)
            readDats();
    });
    m_scanThread->start();
    m_historyThread->start();
    m_datThread->start();
}

GameLibrary::~GameLibrary()
{
    // The worker may be mid-read: tell it to stop, then wait for it before anything goes.
    m_scanner->cancel();
    m_scanThread->quit();
    m_scanThread->wait();
    // Changes still queued for the history file are written before its thread ends.
    QMetaObject::invokeMethod(m_history, []() {}, Qt::BlockingQueuedConnection);
    m_historyThread->quit();
    m_historyThread->wait();
    m_datThread->quit();
    m_datThread->wait();
}

void GameLibrary::start()
{
    QMetaObject::invokeMethod(m_history, &PlayHistory::open, Qt::QueuedConnection);
    // The DAT files are read once the first scan has ended or begins to read images (see
    // scanFinishedWith() and showProgress()): on two cores, reading their cached form beside a
    // warm scan took a core from it and made it half as long again.
    rescan();
}

void GameLibrary::readDats()
{
    m_datsAsked = true;
    QMetaObject::invokeMethod(m_dats, [dats = m_dats, paths = DatCatalog::paths()]() { dats->refresh(paths); },
                              Qt::QueuedConnection);
}

DatStatus GameLibrary::dumpStatus(const ROM &rom) const
{
    if (!m_datIndex || !rom.isValid())
        return DatStatus();
    const QString fileName = rom.archiveEntry().value_or(rom.filePath().value_or(QUrl()).fileName());
    return m_datIndex->statusOf(rom.MD5().value_or(QString()), rom.fileSize().value_or(-1), fileName,
                                rom.gameCode().value_or(QString()));
}

void GameLibrary::addFolder(const QString &folder)
{
    // A new folder is read as the store tells of it; one listed already is read again.
    if (!LibraryFolders::add(folder))
        rescan();
}

void GameLibrary::rescan()
{
    startScan(false);
}

void GameLibrary::cancelScan()
{
    m_scanner->cancel();
}

void GameLibrary::startScan(bool changesOnly)
{
    // A full scan asked for while one runs is not made a scan for changes by a later change.
    m_changesOnly = m_scanning && m_rescanPending ? m_changesOnly && changesOnly : changesOnly;
    if (m_scanning) {
        m_rescanPending = true;
        return;
    }
    m_scanning = true;
    m_rescanPending = false;
    m_eventsLostNote = m_eventsLost;
    m_eventsLost = false;
    m_summary.clear();
    Q_EMIT scanningChanged(true);
    Q_EMIT progress(0, 0);
    setStatusText(tr("Looking for ROM images…"));
    QMetaObject::invokeMethod(
        m_scanner,
        [scanner = m_scanner, list = LibraryFolders::folders(), changesOnly = m_changesOnly]() {
            changesOnly ? scanner->scanChanges(list) : scanner->scan(list);
        },
        Qt::QueuedConnection);
}

void GameLibrary::showProgress(int read, int toRead, int fromCache)
{
    if (toRead == 0)
        return;
    // Reading images takes long: the statuses of the games listed already need not wait for it.
    if (!m_datsAsked)
        readDats();
    const QLocale locale;
    Q_EMIT progress(read, toRead);
    setStatusText(tr("Reading %1 of %2 (%3 from the cache)")
                      .arg(locale.toString(read), locale.toString(toRead), locale.toString(fromCache)));
}

void GameLibrary::scanFinishedWith(int total, int fromCache, int read, bool cancelled, const QStringList &problems,
                                   const QStringList &, bool recentChange)
{
    m_scanning = false;
    Q_EMIT scanningChanged(false);
    const QLocale locale;
    if (cancelled)
        m_summary = tr("Scan cancelled: %1 read, %2 from the cache.").arg(locale.toString(read), locale.toString(fromCache));
    else if (LibraryFolders::folders().isEmpty())
        m_summary = tr("No ROM folder chosen. Add one from the File menu or Preferences.");
    else if (total == 0)
        m_summary = tr("No ROM images in the library folders.");
    else if (total == fromCache)
        m_summary = tr("%Ln file(s), all from the cache.", nullptr, total);
    else
        m_summary = tr("%Ln file(s): %1 read, %2 from the cache.", nullptr, total)
                        .arg(locale.toString(read), locale.toString(fromCache));
    QStringList notes = problems;
    if (std::exchange(m_eventsLostNote, false))
        notes.append(tr("The system lost track of some changes in the library folders (too many at once); all of them were read again."));
    m_problemText = notes.join(QLatin1Char('\n'));
    updateStatus();
    if (m_rescanPending)
        startScan(m_changesOnly);
    else if (recentChange && !cancelled)
        QTimer::singleShot(kSettleRescanMs, this, &GameLibrary::rescan);
    if (!m_datsAsked)
        readDats();
    Q_EMIT scanFinished();
}

void GameLibrary::setStatusText(const QString &text)
{
    if (text == m_statusText)
        return;
    m_statusText = text;
    Q_EMIT statusChanged(text);
}

void GameLibrary::updateStatus()
{
    // While looking or reading, the progress stays shown until there is something to say.
    if (m_scanning && m_summary.isEmpty() && m_cacheMessage.isEmpty())
        return;
    QStringList lines;
    for (const QString &line : {m_summary, m_problemText, m_cacheMessage, m_historyMessage}) {
        if (!line.isEmpty())
            lines.append(line);
    }
    setStatusText(lines.join(QLatin1Char('\n')));
}

GameHistory GameLibrary::history(const QString &md5) const
{
    return m_model->history(md5);
}

void GameLibrary::changeHistory(const QString &md5, const std::function<void(GameHistory &)> &change)
{
    GameHistory entry = m_model->history(md5);
    change(entry);
    m_model->setGameHistory(md5, entry);
    if (m_changesBeforeHistory)
        m_changesBeforeHistory->emplace_back(md5, change);
    Q_EMIT historyChanged(md5);
}

void GameLibrary::recordRun(const QString &md5, qint64 activeMilliseconds)
{
    if (md5.isEmpty())
        return;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QMetaObject::invokeMethod(
        m_history, [history = m_history, md5, now, activeMilliseconds] { history->recordRun(md5, now, activeMilliseconds); },
        Qt::QueuedConnection);
    changeHistory(md5, [now, activeMilliseconds](GameHistory &entry) { entry.addRun(now, activeMilliseconds); });
}

void GameLibrary::setFavourite(const QString &md5, bool favourite)
{
    if (md5.isEmpty())
        return;
    QMetaObject::invokeMethod(
        m_history, [history = m_history, md5, favourite] { history->setFavourite(md5, favourite); }, Qt::QueuedConnection);
    changeHistory(md5, [favourite](GameHistory &entry) { entry.favourite = favourite; });
}

void GameLibrary::open(const LibraryRecord &record, bool play)
{
    // Unchanged since it was read: shown as it is, with no second read and hash.
    struct stat info;
    if (record.valid && ::stat(record.path.constData(), &info) == 0 && S_ISREG(info.st_mode)
        && FileStamp::fromStat(info).sameFileAs(record.stamp)) {
        const std::shared_ptr<ROM> rom = record.toROM();
        if (play)
            Q_EMIT playRecord(rom);
        else
            Q_EMIT openRecord(rom);
        return;
    }
    Q_EMIT openFile(fileUrl(record), play);
}

QUrl GameLibrary::fileUrl(const LibraryRecord &record)
{
    const QUrl url = LocalPath(record.path).toUrl();
    return record.entryIndex < 0 ? url : RomArchive::entryUrl(url, record.entryIndex, record.entry);
}

void GameLibrary::watchCovers(const QString &folder)
{
    QMetaObject::invokeMethod(m_scanner, [scanner = m_scanner, folder]() { scanner->watchCovers(folder); });
}
