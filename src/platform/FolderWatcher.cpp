#include "platform/FolderWatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Writes too, which QFileSystemWatcher never asks for: a file rewritten in place changes
// neither the folder nor the file's name.
constexpr quint32 kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB | IN_MODIFY
    | IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

} // namespace

FolderWatcher::FolderWatcher(QObject *parent) : QObject(parent)
{
    // The kernel marks the mount table with a priority event at every change (proc(5)).
    m_mountsFd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (m_mountsFd >= 0) {
        m_mountsNotifier = new QSocketNotifier(m_mountsFd, QSocketNotifier::Exception, this);
        connect(m_mountsNotifier, &QSocketNotifier::activated, this, &FolderWatcher::mountsChanged);
    }
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FolderWatcher::readEvents);
}

FolderWatcher::~FolderWatcher()
{
    if (m_mountsFd >= 0) {
        delete m_mountsNotifier;
        ::close(m_mountsFd);
    }
    if (m_fd >= 0) {
        delete m_notifier;
        ::close(m_fd);
    }
}

bool FolderWatcher::watchFolder(const QByteArray &folder, QString *error)
{
    const int watch = m_fd < 0 ? -1 : ::inotify_add_watch(m_fd, folder.constData(), kEvents);
    if (watch < 0) {
        const int code = m_fd < 0 ? ENOSYS : errno;
        if (error) {
            // ENOSPC here is the per-user limit, not a full disk.
            *error = code == ENOSPC ? tr("the limit on watched folders (fs.inotify.max_user_watches) is reached")
                                    : QString::fromLocal8Bit(std::strerror(code));
        }
        return false;
    }
    // The same folder reached by another path, or renamed since: one watch, the newest name.
    const auto known = m_watches.constFind(watch);
    if (known != m_watches.cend() && *known != folder)
        m_folders.remove(*known);
    m_watches.insert(watch, folder);
    m_folders.insert(folder, watch);
    return true;
}

void FolderWatcher::unwatchFolder(const QByteArray &folder)
{
    const auto watch = m_folders.constFind(folder);
    if (watch == m_folders.cend())
        return;
    ::inotify_rm_watch(m_fd, *watch);
    m_watches.remove(*watch);
    m_folders.erase(watch);
}

void FolderWatcher::keepOnly(const QSet<QByteArray> &folders)
{
    for (const QByteArray &folder : m_folders.keys()) {
        if (!folders.contains(folder))
            unwatchFolder(folder);
    }
}

void FolderWatcher::forget(int watch)
{
    const auto folder = m_watches.constFind(watch);
    if (folder == m_watches.cend())
        return;
    m_folders.remove(*folder);
    m_watches.erase(folder);
}

void FolderWatcher::readEvents()
{
    alignas(inotify_event) char buffer[64 * 1024];
    // Folders in the order their first change came, each told once per read.
    QList<int> order;
    QHash<int, QSet<QByteArray>> names;
    QHash<int, QByteArray> gone;
    bool lost = false;
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t offset = 0; offset < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
            offset += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                lost = true;
                continue;
            }
            const auto folder = m_watches.constFind(event->wd);
            if (folder == m_watches.cend())
                continue;
            if (!names.contains(event->wd))
                order.append(event->wd);
            QByteArray name;
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED)) {
                // The kernel drops the watch itself on IN_IGNORED; a moved folder keeps a
                // watch under a name that no longer holds, so it goes too.
                if (!(event->mask & IN_IGNORED))
                    ::inotify_rm_watch(m_fd, event->wd);
                gone.insert(event->wd, *folder);
            } else if (event->len > 0) {
                name = QByteArray(event->name);
                if (event->mask & IN_ISDIR)
                    name.append('/');
            }
            names[event->wd].insert(name);
        }
    }
    for (auto watch = gone.cbegin(); watch != gone.cend(); ++watch)
        forget(watch.key());
    for (const int watch : order)
        Q_EMIT changed(gone.value(watch, m_watches.value(watch)), names.value(watch).values());
    if (lost)
        Q_EMIT eventsLost();
}
