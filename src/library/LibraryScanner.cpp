#include "library/LibraryScanner.h"

#include "library/FolderWalker.h"
#include "library/LibraryCache.h"
#include "library/ParallelReader.h"
#include "library/ReadVerdict.h"
#include "platform/FolderWatcher.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMetaMethod>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <optional>
#include <span>
#include <vector>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

bool isUnder(const QByteArray &path, const QByteArray &folder)
{
    return path.startsWith(folder) && (path.size() == folder.size() || path.at(folder.size()) == '/');
}

bool isEmptyFolder(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    int entries = 0;
    while (::readdir(dir) && entries <= 2)
        ++entries;
    ::closedir(dir);
    return entries <= 2; // "." and ".."
}

QByteArray folderOf(const QByteArray &path)
{
    return path.left(std::max<qsizetype>(1, path.lastIndexOf('/')));
}

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

void LibraryScanner::run(const QStringList &folders, bool changesOnly)
{
    // A little below the GUI thread, so the window stays responsive while every core
    // reads; the reading threads started from here inherit it (nice is per thread on Linux).
    static thread_local const bool lowered = ::setpriority(PRIO_PROCESS, pid_t(::syscall(SYS_gettid)), 5) == 0;
    Q_UNUSED(lowered);
    m_cancel = false;
    if (!changesOnly)
        m_leftUnread.clear();
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
        m_mountRoots = m_cache->mountRoots();
        if (!std::is_sorted(m_known.cbegin(), m_known.cend(), byPath))
            std::sort(m_known.begin(), m_known.end(), byPath);
        // Thousands of copies are made only for someone who listens.
        if (!m_known.empty() && isSignalConnected(QMetaMethod::fromSignal(&LibraryScanner::recordsFound)))
            Q_EMIT recordsFound(QList<LibraryRecord>(m_known.cbegin(), m_known.cend()));
    }

    if (!m_watcher) {
        m_watcher = new FolderWatcher(this);
        connect(m_watcher, &FolderWatcher::changed, this,
                [this](const QByteArray &folder, const QList<QByteArray> &names) { watchedFolderChanged(folder, names); });
        connect(m_watcher, &FolderWatcher::eventsLost, this, [this]() { Q_EMIT foldersChanged(true); });
        // A drive plugged in again is seen at once rather than at the next F5.
        connect(m_watcher, &FolderWatcher::mountsChanged, this, [this]() {
            QSet<QByteArray> mounts = currentMounts();
            if (mounts != m_mounts) {
                m_mounts = std::move(mounts);
                Q_EMIT foldersChanged(false);
            }
        });
    }
    m_folders.clear();
    for (const QString &folder : folders)
        m_folders.append(QFile::encodeName(QDir::cleanPath(QDir(folder).absolutePath())));
    m_mounts = currentMounts();
    // Watched before it is read: what changes after that is told when this scan has ended.
    FolderWalker walker(&m_cancel);
    QSet<QByteArray> walked;
    QStringList unwatched;
    QString unwatchedWhy;
    walker.setFolderHook([&](const QByteArray &folder) {
        walked.insert(folder);
        if (!m_watcher->watchFolder(folder, &unwatchedWhy))
            unwatched.append(QFile::decodeName(folder));
    });
    std::vector<FolderWalker::Entry> entries = walker.walk(folders);
    QStringList problems = walker.problems();
    if (!unwatched.isEmpty())
        problems.append(tr("%n folder(s), “%1” among them, cannot be watched for changes (%2); use Rescan Library (F5) after changing files there.",
                           nullptr, int(unwatched.size()))
                            .arg(unwatched.constFirst(), unwatchedWhy));
    // A cancelled walk saw only part of the folders: what it did not see is still watched.
    QList<QByteArray> unreachable;
    if (m_cancel)
        m_walked.unite(walked);
    else
        m_walked = walked;
    watchParents(folders);
    if (!m_cancel) {
        QSet<QByteArray> keep = walked;
        for (auto parent = m_parents.cbegin(); parent != m_parents.cend(); ++parent)
            keep.insert(parent.key());
        // Made or made again since it was last watched: watched from now on.
        if (!m_coversFolder.isEmpty() && m_watcher->watchFolder(m_coversFolder))
            keep.insert(m_coversFolder);
        m_watcher->keepOnly(keep);
        const QList<QByteArray> unmounted = unmountedRoots(folders, walker.mountRoots());
        for (const QByteArray &folder : unmounted)
            problems.append(tr("Nothing is mounted on “%1” now; the files found there before are kept as not available.")
                                .arg(QFile::decodeName(folder)));
        unreachable = walker.unreachable() + unmounted;
    }

    // Both sides sorted by path and merged in one pass: no hashing of thousands of paths.
    std::sort(entries.begin(), entries.end(), byPath);
    std::vector<FolderWalker::Entry> toRead;
    std::vector<std::pair<QByteArray, FileStamp>> stillUnread;
    const auto byFirst = [](const auto &unread, const FolderWalker::Entry &entry) { return unread.first < entry.path; };
    std::vector<bool> gone(m_known.size(), false);
    QList<LibraryRecord> changedState;
    bool anyGone = false;
    int fromCache = 0;
    bool recentChange = false;
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000000;
    std::size_t known = 0;
    // A file that cannot be reached is kept (greyed) under the folder that cannot be.
    const auto goneOrUnreachable = [&](std::size_t index) {
        LibraryRecord &record = m_known[index];
        const auto folder = std::find_if(unreachable.cbegin(), unreachable.cend(),
                                         [&record](const QByteArray &f) { return isUnder(record.path, f); });
        if (folder == unreachable.cend()) {
            gone[index] = anyGone = true;
        } else if (record.unreachableFolder != *folder) {
            record.unreachableFolder = *folder;
            changedState.append(record);
        }
    };
    for (FolderWalker::Entry &entry : entries) {
        // A time in the future (a clock set wrong) is not a copy under way.
        const qint64 age = now - entry.stamp.mtimeNs;
        if (entry.stamp.size >= 0 && age >= 0 && age < kSettleNs)
            recentChange = true;
        for (; known < m_known.size() && m_known[known].path < entry.path; ++known)
            goneOrUnreachable(known);
        // An archive has a record per image entry, all with its path and stamp.
        std::size_t end = known;
        while (end < m_known.size() && m_known[end].path == entry.path)
            ++end;
        if (end > known && m_known[known].stamp.sameFileAs(entry.stamp)) {
            ++fromCache;
            for (std::size_t i = known; i < end; ++i) {
                LibraryRecord &record = m_known[i];
                if (!record.unreachableFolder.isEmpty()) {
                    record.unreachableFolder.clear();
                    changedState.append(record);
                }
            }
        } else if (const auto unread = std::lower_bound(m_leftUnread.cbegin(), m_leftUnread.cend(), entry, byFirst);
                   unread != m_leftUnread.cend() && unread->first == entry.path && unread->second == entry.stamp) {
            stillUnread.push_back(*unread);
        } else {
            toRead.push_back(std::move(entry));
        }
        known = end;
    }
    for (; known < m_known.size(); ++known)
        goneOrUnreachable(known);
    const int total = int(entries.size() - stillUnread.size());
    entries.clear();
    if (!changedState.isEmpty())
        Q_EMIT recordsFound(changedState);

    // Renamed or moved within the library: gone from one path and found at another with the same
    // device, inode, size and modification time (a rename changes the change time) is the same
    // file, and its record is taken rather than the file read again.
    std::vector<LibraryRecord> moved;
    if (!m_cancel && anyGone && !toRead.empty()) {
        QHash<std::pair<quint64, quint64>, std::size_t> goneByInode;
        for (std::size_t i = 0; i < m_known.size(); ++i) {
            const FileStamp &stamp = m_known[i].stamp;
            if (gone[i] && stamp.trusted && stamp.size >= 0 && !goneByInode.contains({stamp.device, stamp.inode}))
                goneByInode.insert({stamp.device, stamp.inode}, i);
        }
        std::erase_if(toRead, [&](const FolderWalker::Entry &entry) {
            const auto found = goneByInode.constFind({entry.stamp.device, entry.stamp.inode});
            if (found == goneByInode.cend() || m_known[*found].stamp.size != entry.stamp.size
                || m_known[*found].stamp.mtimeNs != entry.stamp.mtimeNs)
                return false;
            for (std::size_t i = *found; i < m_known.size() && m_known[i].path == m_known[*found].path; ++i)
                moved.push_back(m_known[i].movedTo(entry.path, entry.stamp));
            goneByInode.erase(found);
            ++fromCache;
            return true;
        });
    }

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
    int awayCount = 0;
    std::vector<LibraryRecord> fresh;
    if (!moved.empty()) {
        m_cache->store(moved);
        Q_EMIT recordsFound(QList<LibraryRecord>(moved.cbegin(), moved.cend()));
        fresh = std::move(moved);
    }
    std::size_t start = 0;
    std::vector<char> attempted(toRead.size(), 0);
    while (start < toRead.size() && !m_cancel) {
        std::size_t end = start;
        qint64 bytes = 0;
        while (end < toRead.size() && end - start < kBatchFiles && bytes < kBatchBytes)
            bytes += std::max<qint64>(0, toRead[end++].stamp.size);
        std::vector<QByteArray> paths;
        for (std::size_t i = start; i < end; ++i)
            paths.push_back(toRead[i].path);

        std::vector<std::vector<LibraryRecord>> batch(paths.size());
        std::vector<ReadVerdict::Outcome> outcomes(paths.size(), ReadVerdict::Trusted);
        QMutex pendingLock;
        QList<LibraryRecord> pending;
        // Rows are told as they finish, the count with them, whatever is still being read.
        int told = -1;
        const auto tell = [&]() {
            QMutexLocker lock(&pendingLock);
            if (!pending.isEmpty())
                Q_EMIT recordsFound(std::exchange(pending, {}));
            if (const int count = done; count != told)
                Q_EMIT progress(told = count, toReadCount, fromCache);
        };
        ParallelReader::readAll(
            paths, m_jobs,
            [&](std::size_t index, ParallelReader::Records roms) {
                // Only a read cancelled gives no record at all: it is left unread, not counted.
                if (roms.empty())
                    return;
                FileStamp stamp = toRead[start + index].stamp;
                outcomes[index] = ReadVerdict::judge(paths[index], stamp, roms);
                stamp.trusted = outcomes[index] == ReadVerdict::Trusted;
                std::vector<LibraryRecord> &records = batch[index];
                for (const std::shared_ptr<ROM> &rom : roms)
                    records.push_back(LibraryRecord::fromROM(paths[index], stamp, *rom));
                attempted[start + index] = 1;
                QMutexLocker lock(&pendingLock);
                ++done;
                if (outcomes[index] != ReadVerdict::Away)
                    pending.append(QList<LibraryRecord>(records.cbegin(), records.cend()));
            },
            &m_cancel, tell, kEmitIntervalMs);
        // Unread slots (a cancel) have no record. Rows an archive no longer gives (an entry
        // gone, or the archive refused as a whole before) go from the list and the cache.
        std::vector<LibraryRecord> read;
        QList<QByteArray> stale;
        QList<LibraryRecord> awayRows;
        for (std::size_t index = 0; index < batch.size(); ++index) {
            std::vector<LibraryRecord> &records = batch[index];
            if (records.empty())
                continue;
            const auto [first, last] = std::equal_range(m_known.begin(), m_known.end(), records.front(), byPath);
            if (outcomes[index] == ReadVerdict::Away) {
                // Kept as not available, with what it held when last read (that stamp is not
                // the file's now, so it is read once it is back); never read: the failed read,
                // untrusted.
                ++awayCount;
                const QByteArray folder = folderOf(paths[index]);
                const bool known = first != last;
                for (LibraryRecord &record : known ? std::span(first, last) : std::span(records)) {
                    record.unreachableFolder = folder;
                    awayRows.append(record);
                }
                if (known)
                    continue;
            }
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
        if (!awayRows.isEmpty())
            Q_EMIT recordsFound(awayRows);
        m_cache->store(read);
        fresh.insert(fresh.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
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
    if (awayCount > 0)
        problems.append(tr("Files that went away while they were read (a drive removed?): %n. They are kept as not available and read when they are back.",
                           nullptr, awayCount));
    m_cache->finishScan();
    tellCacheMessage();
    // Left unread by this Cancel or an earlier one: read at the next full scan (F5, a start).
    for (std::size_t i = 0; i < toRead.size(); ++i) {
        if (!attempted[i])
            stillUnread.emplace_back(toRead[i].path, toRead[i].stamp);
    }
    std::sort(stillUnread.begin(), stillUnread.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    m_leftUnread = std::move(stillUnread);
    Q_EMIT finished(total, fromCache, done, m_cancel || !m_leftUnread.empty(), problems, walker.walkedFolders(), recentChange);
}

QList<QByteArray> LibraryScanner::unmountedRoots(const QStringList &folders, const QList<QByteArray> &mountedNow)
{
    QList<QByteArray> libraryFolders;
    for (const QString &folder : folders)
        libraryFolders.append(QFile::encodeName(QDir::cleanPath(QDir(folder).absolutePath())));
    QSet<QByteArray> roots(mountedNow.cbegin(), mountedNow.cend());
    QList<QByteArray> unmounted;
    for (const QByteArray &root : std::as_const(m_mountRoots)) {
        if (roots.contains(root)
            || std::none_of(libraryFolders.cbegin(), libraryFolders.cend(), [&root](const QByteArray &f) { return isUnder(root, f); }))
            continue;
        // A folder that was a drive's root and is now gone, or an empty folder of the file
        // system above it: the drive is away, not its files.
        const std::optional<bool> mounted = FolderWalker::isMountRoot(root);
        if (!mounted || (!*mounted && isEmptyFolder(root))) {
            unmounted.append(root);
            roots.insert(root);
        }
    }
    if (roots != m_mountRoots) {
        m_mountRoots = roots;
        m_cache->setMountRoots(roots);
    }
    return unmounted;
}

void LibraryScanner::tellCacheMessage()
{
    // Said once per reason: a cache set aside while working says so too.
    if (!m_cache->message().isEmpty() && m_cache->message() != m_toldMessage) {
        m_toldMessage = m_cache->message();
        Q_EMIT cacheMessage(m_toldMessage);
    }
}

QSet<QByteArray> LibraryScanner::mountsConcerning(const QByteArray &mountInfo, const QList<QByteArray> &folders)
{
    QSet<QByteArray> mounts;
    for (const QByteArray &line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5)
            continue;
        // Spaces, tabs, new lines and backslashes in a mount point are written as octal escapes.
        QByteArray point;
        const QByteArray &escaped = fields[4];
        for (qsizetype i = 0; i < escaped.size(); ++i) {
            if (escaped[i] == '\\' && i + 3 < escaped.size()) {
                point.append(char(escaped.mid(i + 1, 3).toInt(nullptr, 8)));
                i += 3;
            } else {
                point.append(escaped[i]);
            }
        }
        if (std::any_of(folders.cbegin(), folders.cend(),
                        [&point](const QByteArray &folder) { return isUnder(point, folder) || isUnder(folder, point) || point == "/"; }))
            mounts.insert(fields[0] + ' ' + point);
    }
    return mounts;
}

QSet<QByteArray> LibraryScanner::currentMounts() const
{
    QFile info(QStringLiteral("/proc/self/mountinfo"));
    return info.open(QIODevice::ReadOnly) ? mountsConcerning(info.readAll(), m_folders) : QSet<QByteArray>();
}

void LibraryScanner::watchCovers(const QString &folder)
{
    m_coversFolder = folder.isEmpty() ? QByteArray() : QFile::encodeName(QDir::cleanPath(QDir(folder).absolutePath()));
    // Before the first scan, that scan watches it.
    if (m_watcher && !m_coversFolder.isEmpty())
        m_watcher->watchFolder(m_coversFolder);
}

void LibraryScanner::watchParents(const QStringList &folders)
{
    m_parents.clear();
    for (const QString &folder : folders) {
        const QByteArray path = QFile::encodeName(QDir::cleanPath(QDir(folder).absolutePath()));
        const QByteArray parent = folderOf(path);
        if (parent == path)
            continue;
        m_parents[parent].insert(path.mid(path.lastIndexOf('/') + 1));
        m_watcher->watchFolder(parent);
    }
}

void LibraryScanner::watchedFolderChanged(const QByteArray &folder, const QList<QByteArray> &names)
{
    const auto parent = m_parents.constFind(folder);
    const bool walked = m_walked.contains(folder);
    // Pictures matter to the covers alone: the covers folder's, and those beside images.
    static const QRegularExpression picture(QStringLiteral("\\.(png|jpe?g|webp)$"), QRegularExpression::CaseInsensitiveOption);
    if ((walked || folder == m_coversFolder)
        && std::any_of(names.cbegin(), names.cend(), [](const QByteArray &name) { return name.isEmpty() || picture.match(QFile::decodeName(name)).hasMatch(); }))
        Q_EMIT picturesChanged(folder);
    // Only images and folders matter; other files (a download's partial file) do not.
    for (const QByteArray &name : names) {
        const QByteArray bare = name.endsWith('/') ? name.chopped(1) : name;
        bool counts = parent != m_parents.cend() && (name.isEmpty() || parent->contains(bare));
        if (walked && !counts) {
            // A symlink to a folder is told without IN_ISDIR: one there now, or one walked before.
            const QByteArray path = folder + '/' + name;
            struct stat info;
            counts = name.isEmpty() || name.endsWith('/') || FolderWalker::isLibraryFileName(name.constData(), std::size_t(name.size()))
                || m_walked.contains(path) || (::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode));
        }
        if (counts) {
            Q_EMIT foldersChanged(false);
            return;
        }
    }
}
