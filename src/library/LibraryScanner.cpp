#include "library/LibraryScanner.h"

#include "library/FolderWalker.h"
#include "library/LibraryCache.h"
#include "library/ParallelReader.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMetaMethod>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <vector>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Reads go in batches so that the cache is written as they finish, not only at the end.
constexpr std::size_t kBatchFiles = 256;
constexpr qint64 kBatchBytes = qint64(256) << 20;
// Records reach the list at most this often while a batch is read.
constexpr qint64 kEmitIntervalMs = 100;
// A file changed this recently may still be being copied.
constexpr qint64 kSettleNs = qint64(3) * 1000000000;

const auto byPath = [](const auto &a, const auto &b) { return a.path < b.path; };

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
    // A little below the GUI thread, so the window stays responsive while every core
    // reads; the reading threads started from here inherit it (nice is per thread on Linux).
    static thread_local const bool lowered = ::setpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid)), 5) == 0;
    Q_UNUSED(lowered);
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
        if (!std::is_sorted(m_known.cbegin(), m_known.cend(), byPath))
            std::sort(m_known.begin(), m_known.end(), byPath);
        // Thousands of copies are made only for someone who listens.
        if (!m_known.empty() && isSignalConnected(QMetaMethod::fromSignal(&LibraryScanner::recordsFound)))
            Q_EMIT recordsFound(QList<LibraryRecord>(m_known.cbegin(), m_known.cend()));
    }

    // Both sides sorted by path and merged in one pass: no hashing of thousands of paths.
    FolderWalker walker(&m_cancel);
    std::vector<FolderWalker::Entry> entries = walker.walk(folders);
    std::sort(entries.begin(), entries.end(), byPath);
    std::vector<FolderWalker::Entry> toRead;
    std::vector<bool> gone(m_known.size(), false);
    bool anyGone = false;
    int fromCache = 0;
    bool recentChange = false;
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000000;
    std::size_t known = 0;
    for (FolderWalker::Entry &entry : entries) {
        if (entry.stamp.size >= 0 && now - entry.stamp.mtimeNs < kSettleNs)
            recentChange = true;
        for (; known < m_known.size() && m_known[known].path < entry.path; ++known)
            gone[known] = anyGone = true;
        // An archive has a record per image entry, all with its path and stamp.
        std::size_t end = known;
        while (end < m_known.size() && m_known[end].path == entry.path)
            ++end;
        if (end > known && m_known[known].stamp == entry.stamp)
            ++fromCache;
        else
            toRead.push_back(std::move(entry));
        known = end;
    }
    for (; known < m_known.size(); ++known)
        gone[known] = anyGone = true;
    const int total = int(entries.size());
    entries.clear();

    // A cancelled walk saw only part of the folders; nothing is taken for gone.
    if (!m_cancel && anyGone) {
        QList<QByteArray> paths;
        std::vector<LibraryRecord> kept;
        kept.reserve(m_known.size());
        for (std::size_t i = 0; i < m_known.size(); ++i) {
            if (gone[i])
                paths.append(m_known[i].key());
            else
                kept.push_back(std::move(m_known[i]));
        }
        m_known = std::move(kept);
        m_cache->remove(paths);
        Q_EMIT recordsRemoved(paths);
    }

    const int toReadCount = int(toRead.size());
    Q_EMIT progress(0, toReadCount, fromCache);
    std::atomic<int> done{0};
    std::vector<LibraryRecord> fresh;
    std::size_t start = 0;
    while (start < toRead.size() && !m_cancel) {
        std::size_t end = start;
        qint64 bytes = 0;
        while (end < toRead.size() && end - start < kBatchFiles && bytes < kBatchBytes)
            bytes += std::max<qint64>(0, toRead[end++].stamp.size);
        std::vector<QByteArray> paths;
        for (std::size_t i = start; i < end; ++i)
            paths.push_back(toRead[i].path);

        std::vector<std::vector<LibraryRecord>> batch(paths.size());
        QMutex pendingLock;
        QList<LibraryRecord> pending;
        QElapsedTimer sinceEmit;
        sinceEmit.start();
        ParallelReader::readAll(
            paths, m_jobs,
            [&](std::size_t index, ParallelReader::Records roms) {
                std::vector<LibraryRecord> &records = batch[index];
                for (const std::shared_ptr<ROM> &rom : roms)
                    records.push_back(LibraryRecord::fromROM(paths[index], toRead[start + index].stamp, *rom));
                const int count = ++done;
                QMutexLocker lock(&pendingLock);
                pending.append(QList<LibraryRecord>(records.cbegin(), records.cend()));
                if (sinceEmit.elapsed() >= kEmitIntervalMs) {
                    sinceEmit.restart();
                    Q_EMIT recordsFound(std::exchange(pending, {}));
                    Q_EMIT progress(count, toReadCount, fromCache);
                }
            },
            &m_cancel);
        // Unread slots (a cancel) have no record. Rows an archive no longer gives (an entry
        // gone, or the archive refused as a whole before) go from the list and the cache.
        std::vector<LibraryRecord> read;
        QList<QByteArray> stale;
        for (std::vector<LibraryRecord> &records : batch) {
            if (records.empty())
                continue;
            const auto [first, last] = std::equal_range(m_known.cbegin(), m_known.cend(), records.front(), byPath);
            for (auto old = first; old != last; ++old) {
                if (std::none_of(records.cbegin(), records.cend(),
                                 [key = old->key()](const LibraryRecord &record) { return record.key() == key; }))
                    stale.append(old->key());
            }
            std::move(records.begin(), records.end(), std::back_inserter(read));
        }
        if (!stale.isEmpty()) {
            m_cache->remove(stale);
            Q_EMIT recordsRemoved(stale);
        }
        m_cache->store(read);
        fresh.insert(fresh.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
        if (!pending.isEmpty())
            Q_EMIT recordsFound(pending);
        Q_EMIT progress(done, toReadCount, fromCache);
        start = end;
    }
    if (!fresh.empty()) {
        // Fresh records replace every record of the path they were read for.
        std::vector<QByteArray> freshPaths;
        for (const LibraryRecord &record : fresh)
            freshPaths.push_back(record.path);
        std::sort(freshPaths.begin(), freshPaths.end());
        std::erase_if(m_known, [&freshPaths](const LibraryRecord &record) {
            return std::binary_search(freshPaths.cbegin(), freshPaths.cend(), record.path);
        });
        m_known.insert(m_known.end(), std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
        std::stable_sort(m_known.begin(), m_known.end(), byPath);
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
