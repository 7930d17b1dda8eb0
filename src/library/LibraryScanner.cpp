#include "library/LibraryScanner.h"

#include "library/FolderWalker.h"
#include "library/LibraryCache.h"
#include "library/ParallelReader.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

#include <vector>

namespace {

// Reads go in batches so that the cache is written as they finish, not only at the end.
constexpr std::size_t kBatchFiles = 256;
constexpr qint64 kBatchBytes = qint64(256) << 20;
// Records reach the list at most this often while a batch is read.
constexpr qint64 kEmitIntervalMs = 100;
// A file changed this recently may still be being copied.
constexpr qint64 kSettleNs = qint64(3) * 1000000000;

} // namespace

LibraryScanner::LibraryScanner(const QString &cachePath, int jobs, QObject *parent)
    : QObject(parent)
    , m_cachePath(cachePath)
    , m_jobs(jobs > 0 ? jobs : ParallelReader::defaultJobs())
{
    qRegisterMetaType<LibraryRecord>();
    qRegisterMetaType<QList<LibraryRecord>>();
    qRegisterMetaType<QList<QByteArray>>();
}

LibraryScanner::~LibraryScanner() = default;

void LibraryScanner::scan(const QStringList &folders)
{
    m_cancel = false;
    // Nothing to list and nothing remembered: no need to make a cache file at all.
    if (!m_cache && folders.isEmpty() && !QFileInfo::exists(m_cachePath)) {
        Q_EMIT finished(0, 0, 0, false, {}, {}, false);
        return;
    }
    if (!m_cache) {
        m_cache = std::make_unique<LibraryCache>(m_cachePath);
        m_cache->open();
        tellCacheMessage();
        m_known = m_cache->load();
        if (!m_known.isEmpty())
            Q_EMIT recordsFound(m_known.values());
    }

    FolderWalker walker(&m_cancel);
    std::vector<FolderWalker::Entry> entries = walker.walk(folders);
    QSet<QByteArray> seen;
    seen.reserve(qsizetype(entries.size()));
    std::vector<FolderWalker::Entry> toRead;
    int fromCache = 0;
    bool recentChange = false;
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000000;
    for (FolderWalker::Entry &entry : entries) {
        seen.insert(entry.path);
        if (entry.stamp.size >= 0 && now - entry.stamp.mtimeNs < kSettleNs)
            recentChange = true;
        const auto known = m_known.constFind(entry.path);
        if (known != m_known.cend() && known->stamp == entry.stamp)
            ++fromCache;
        else
            toRead.push_back(std::move(entry));
    }
    const int total = int(entries.size());
    entries.clear();

    // A cancelled walk saw only part of the folders; nothing is taken for gone.
    if (!m_cancel) {
        QList<QByteArray> gone;
        for (auto it = m_known.cbegin(); it != m_known.cend(); ++it) {
            if (!seen.contains(it.key()))
                gone.append(it.key());
        }
        if (!gone.isEmpty()) {
            for (const QByteArray &path : gone)
                m_known.remove(path);
            m_cache->remove(gone);
            Q_EMIT recordsRemoved(gone);
        }
    }

    const int toReadCount = int(toRead.size());
    Q_EMIT progress(0, toReadCount, fromCache);
    std::atomic<int> done{0};
    std::size_t start = 0;
    while (start < toRead.size() && !m_cancel) {
        std::size_t end = start;
        qint64 bytes = 0;
        while (end < toRead.size() && end - start < kBatchFiles && bytes < kBatchBytes)
            bytes += std::max<qint64>(0, toRead[end++].stamp.size);
        std::vector<QByteArray> paths;
        for (std::size_t i = start; i < end; ++i)
            paths.push_back(toRead[i].path);

        std::vector<LibraryRecord> batch(paths.size());
        QMutex pendingLock;
        QList<LibraryRecord> pending;
        QElapsedTimer sinceEmit;
        sinceEmit.start();
        ParallelReader::readAll(
            paths, m_jobs,
            [&](std::size_t index, std::shared_ptr<ROM> rom) {
                LibraryRecord &record = batch[index];
                record.path = paths[index];
                record.stamp = toRead[start + index].stamp;
                record.rom = std::move(rom);
                const int count = ++done;
                QMutexLocker lock(&pendingLock);
                pending.append(record);
                if (sinceEmit.elapsed() >= kEmitIntervalMs) {
                    sinceEmit.restart();
                    Q_EMIT recordsFound(std::exchange(pending, {}));
                    Q_EMIT progress(count, toReadCount, fromCache);
                }
            },
            &m_cancel);
        // Unread slots (a cancel) have no record.
        std::erase_if(batch, [](const LibraryRecord &record) { return !record.rom; });
        for (const LibraryRecord &record : batch)
            m_known.insert(record.path, record);
        m_cache->store(batch);
        if (!pending.isEmpty())
            Q_EMIT recordsFound(pending);
        Q_EMIT progress(done, toReadCount, fromCache);
        start = end;
    }
    tellCacheMessage();
    Q_EMIT finished(total, fromCache, done, m_cancel, walker.problems(), walker.walkedFolders(), recentChange);
}

void LibraryScanner::tellCacheMessage()
{
    // Said once per reason: a cache set aside while working says so too.
    if (!m_cache->message().isEmpty() && m_cache->message() != m_toldMessage) {
        m_toldMessage = m_cache->message();
        Q_EMIT cacheMessage(m_toldMessage);
    }
}
