#pragma once

#include "library/LibraryRecord.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

class FolderWatcher;
class LibraryCache;

/// Brings the library up to date off the GUI thread: loads the cache once, walks the
/// folders, reads in parallel only the files whose stamp changed, and writes what it read
/// back to the cache. Every folder is watched from just before it is read, so a change made
/// while a scan runs is told once it ends. Files under a folder that cannot be reached (a
/// drive unmounted) keep their rows. Lives on a worker thread; scan() is called there (queued).
class LibraryScanner : public QObject
{
    Q_OBJECT

public:
    explicit LibraryScanner(const QString &cachePath, int jobs = 0, QObject *parent = nullptr);
    ~LibraryScanner() override;

    /// Stops the scan under way soon; safe from any thread.
    void cancel() { m_cancel = true; }

    /// The mounts of \a mountInfo (as /proc/self/mountinfo has them) on, under or above one of
    /// \a folders, by mount id and mount point: a mount elsewhere changes nothing in the library.
    static QSet<QByteArray> mountsConcerning(const QByteArray &mountInfo, const QList<QByteArray> &folders);

public Q_SLOTS:
    void scan(const QStringList &folders) { run(folders, false); }
    /// A scan for changes told: the files a Cancel left unread stay so while unchanged.
    void scanChanges(const QStringList &folders) { run(folders, true); }
    /// Watches \a folder (the player's covers) for pictures too, from now on.
    void watchCovers(const QString &folder);

Q_SIGNALS:
    /// The cache had to be set aside or kept in memory; says why.
    void cacheMessage(const QString &message);
    /// Records new or changed since last told: the cached ones first, then those read.
    void recordsFound(const QList<LibraryRecord> &records);
    /// Rows gone, by LibraryRecord::key().
    void recordsRemoved(const QList<QByteArray> &keys);
    /// Files or folders in the library changed since they were walked; \a eventsLost: the
    /// system dropped change notices, so anything may have changed.
    void foldersChanged(bool eventsLost);
    /// Pictures in \a folder (the covers folder, or one holding images) changed, or it went.
    void picturesChanged(const QByteArray &folder);
    /// \a read of \a toRead files read so far; \a fromCache were unchanged.
    void progress(int read, int toRead, int fromCache);
    /// \a recentChange: a file changed moments ago and may still be being written.
    void finished(int total, int fromCache, int read, bool cancelled, const QStringList &problems,
                  const QStringList &walkedFolders, bool recentChange);

private:
    void run(const QStringList &folders, bool changesOnly);
    void tellCacheMessage();
    void watchedFolderChanged(const QByteArray &folder, const QList<QByteArray> &names);
    /// Watches the folders holding the library folders, for a library folder removed,
    /// made again, swapped or a symlink to it pointed elsewhere.
    void watchParents(const QStringList &folders);
    QSet<QByteArray> currentMounts() const;
    /// The folders under \a folders that were a drive's root and are now missing or an empty
    /// folder on the file system above.
    QList<QByteArray> unmountedRoots(const QStringList &folders, const QList<QByteArray> &mountedNow);

    QString m_cachePath;
    QString m_toldMessage;
    int m_jobs;
    std::unique_ptr<LibraryCache> m_cache;
    FolderWatcher *m_watcher = nullptr;
    QSet<QByteArray> m_mountRoots;
    /// The folders walked, and the folders holding a library folder with the names of those.
    QSet<QByteArray> m_walked;
    QHash<QByteArray, QSet<QByteArray>> m_parents;
    QList<QByteArray> m_folders;
    QByteArray m_coversFolder;
    QSet<QByteArray> m_mounts;
    /// What a Cancel left unread, sorted by path, with the stamps seen then.
    std::vector<std::pair<QByteArray, FileStamp>> m_leftUnread;
    /// What the list holds, sorted by path.
    std::vector<LibraryRecord> m_known;
    std::atomic<bool> m_cancel{false};
};
