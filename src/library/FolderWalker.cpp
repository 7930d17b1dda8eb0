#include "library/FolderWalker.h"

#include "platform/LocalPath.h"
#include "rom/RomSource.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// Kernel views that look like folders but hold no files of ours, and where reading a
// name can block or have side effects.
bool isPseudoFileSystem(int fd)
{
    struct statfs info;
    if (::fstatfs(fd, &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case SECURITYFS_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case BINFMTFS_MAGIC:
        return true;
    default:
        return false;
    }
}

// statx knows bind mounts too, which share their device number with the parent's folder.
std::optional<bool> mountRoot(int dirfd, const char *path, int flags)
{
    struct statx info;
    if (::statx(dirfd, path, flags, 0, &info) != 0 || !(info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT))
        return std::nullopt;
    return (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
}

} // namespace

std::optional<bool> FolderWalker::isMountRoot(const QByteArray &folder)
{
    return mountRoot(AT_FDCWD, folder.constData(), 0);
}

bool FolderWalker::hasRomExtension(const char *name, std::size_t length)
{
    if (length < 5 || name[length - 4] != '.')
        return false;
    char extension[3];
    for (int i = 0; i < 3; ++i) {
        const char c = name[length - 3 + std::size_t(i)];
        extension[i] = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
    return (extension[0] == 'z' || extension[0] == 'v' || extension[0] == 'n') && extension[1] == '6'
        && extension[2] == '4';
}

bool FolderWalker::isLibraryFileName(const char *name, std::size_t length)
{
    return RomSource::isSourceName(name, length);
}

std::vector<FolderWalker::Entry> FolderWalker::walk(const QStringList &folders)
{
    QList<QByteArray> paths;
    for (const QString &folder : folders)
        paths.append(QFile::encodeName(QDir::cleanPath(QDir(folder).absolutePath())));
    return walk(paths);
}

std::vector<FolderWalker::Entry> FolderWalker::walk(const QList<QByteArray> &folders)
{
    m_entries.clear();
    m_problems.clear();
    m_walkedFolders.clear();
    m_unreachable.clear();
    m_mountRoots.clear();
    m_visited.clear();
    for (const QByteArray &folder : folders) {
        std::vector<QByteArray> pending;
        walkFolder(LocalPath(folder).absolute().bytes(), true, pending);
        while (!pending.empty() && !cancelled()) {
            const QByteArray next = std::move(pending.back());
            pending.pop_back();
            walkFolder(next, false, pending);
        }
    }
    return std::move(m_entries);
}

void FolderWalker::walkFolder(const QByteArray &path, bool isRoot, std::vector<QByteArray> &pending)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // A subfolder that vanished mid-walk is simply gone; any other is worth a word, as
        // its files are left out (EACCES, or ENAMETOOLONG for a path past PATH_MAX).
        const int error = errno;
        if (isRoot || error != ENOENT) {
            m_unreachable.append(path);
            problemReading(path, isRoot, error);
        }
        return;
    }
    struct stat info;
    const bool seen = ::fstat(fd, &info) != 0 || m_visited.contains({quint64(info.st_dev), quint64(info.st_ino)});
    if (seen || isPseudoFileSystem(fd)) {
        ::close(fd);
        return;
    }
    m_visited.insert({quint64(info.st_dev), quint64(info.st_ino)});
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        problemReading(path, isRoot, errno);
        ::close(fd);
        return;
    }
    if (m_folderHook)
        m_folderHook(path);
    if (mountRoot(fd, "", AT_EMPTY_PATH).value_or(false))
        m_mountRoots.append(path);
    m_walkedFolders.append(QFile::decodeName(path));
    const QByteArray prefix = path.endsWith('/') ? path : path + '/';
    // One allocation per path found; the walk runs over every file at every start.
    const auto join = [&prefix](const char *name, std::size_t length) {
        QByteArray joined;
        joined.reserve(prefix.size() + qsizetype(length));
        return joined.append(prefix).append(name, qsizetype(length));
    };
    for (;;) {
        // readdir gives null at the end and on an error; only an error sets errno.
        errno = 0;
        const dirent *item = ::readdir(dir);
        if (!item) {
            if (errno != 0)
                problemReading(path, isRoot, errno);
            break;
        }
        const char *name = item->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        const std::size_t length = std::strlen(name);
        const bool romName = isLibraryFileName(name, length);
        if (item->d_type == DT_DIR) {
            pending.push_back(join(name, length));
            continue;
        }
        // Regular files with other names need no stat; links and unknown types do, to find folders.
        if (item->d_type == DT_REG && !romName)
            continue;
        struct stat entry;
        if (::fstatat(fd, name, &entry, 0) != 0) {
            if (romName)
                m_entries.push_back({join(name, length), FileStamp{}});
            continue;
        }
        if (S_ISDIR(entry.st_mode))
            pending.push_back(join(name, length));
        else if (romName)
            m_entries.push_back({join(name, length), FileStamp::fromStat(entry)});
    }
    ::closedir(dir);
}

void FolderWalker::problemReading(const QByteArray &path, bool isRoot, int error)
{
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
    // A path past PATH_MAX would fill the panel; its two ends say where it is.
    QString shown = QFile::decodeName(path);
    if (shown.size() > 240)
        shown = shown.left(100) + QStringLiteral("\u2026") + shown.right(120);
    m_problems.append(isRoot ? tr("The library folder “%1” cannot be read: %2.").arg(shown, reason)
                             : tr("The folder “%1” cannot be read, so its files are left out: %2.").arg(shown, reason));
}
