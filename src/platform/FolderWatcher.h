#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class QSocketNotifier;

/// Reports changes to the entries of watched folders: entries created, removed, renamed,
/// written to (also in place, as `cp` over a file or a patcher does) and attribute changes.
/// One inotify instance read through a socket notifier on the thread that owns the watcher;
/// a folder's subfolders are not watched unless added too. Paths are bytes, as the file
/// system spells them.
class FolderWatcher : public QObject
{
    Q_OBJECT

public:
    explicit FolderWatcher(QObject *parent = nullptr);
    ~FolderWatcher() override;

    /// Starts watching \a folder; false, with the reason in \a error, when the kernel refuses
    /// (the folder is gone, or the limit on watches is reached): changes there go unreported.
    bool watchFolder(const QByteArray &folder, QString *error = nullptr);
    void unwatchFolder(const QByteArray &folder);
    /// Stops watching every folder that is not in \a folders.
    void keepOnly(const QSet<QByteArray> &folders);
    QList<QByteArray> folders() const { return m_folders.keys(); }

Q_SIGNALS:
    /// Entries of \a folder changed; \a names are theirs, subfolders' names end in '/', and an
    /// empty name means the folder itself went away (removed, moved, or its file system
    /// unmounted) and is no longer watched.
    void changed(const QByteArray &folder, const QList<QByteArray> &names);
    /// The kernel dropped events (too many at once): anything watched may have changed.
    void eventsLost();
    /// A file system was mounted or unmounted somewhere: a folder may now show another
    /// drive's entries, which inotify does not report.
    void mountsChanged();

private:
    void readEvents();
    void forget(int watch);

    int m_fd = -1;
    int m_mountsFd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QSocketNotifier *m_mountsNotifier = nullptr;
    QHash<QByteArray, int> m_folders;
    QHash<int, QByteArray> m_watches;
};
