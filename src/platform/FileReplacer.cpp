#include "platform/FileReplacer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileReplacer::FileReplacer(const QString &path, Durability durability)
    : m_path(path)
    , m_durability(durability)
{
}

bool FileReplacer::fail(int error)
{
    m_error = error ? error : EIO;
    return false;
}

bool FileReplacer::replace(const QByteArray &contents)
{
    m_error = 0;
    // A settings file kept elsewhere and linked here stays where its owner put it.
    QFileInfo target(m_path);
    if (target.isSymLink())
        target = QFileInfo(target.symLinkTarget());
    const QByteArray targetPath = QFile::encodeName(target.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    struct stat old;
    const bool replacing = ::stat(targetPath.constData(), &old) == 0;

    // Beside the target, so that the rename stays on one file system and is atomic.
    QByteArray temporary;
    int descriptor = -1;
    for (int attempt = 0; descriptor < 0 && attempt < 16; ++attempt) {
        temporary = folder + "/." + QFile::encodeName(target.fileName()) + '.'
            + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".new";
        descriptor = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                            replacing ? (old.st_mode & 0777) : 0666);
        if (descriptor < 0 && errno != EEXIST)
            return fail(errno);
    }
    if (descriptor < 0)
        return fail(EEXIST);
    const auto abandon = [&](int error) {
        ::close(descriptor);
        ::unlink(temporary.constData());
        return fail(error);
    };
    // The replaced file's permissions, not those the umask leaves.
    if (replacing)
        ::fchmod(descriptor, old.st_mode & 07777);

    const char *data = contents.constData();
    qint64 left = contents.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        // A write that takes nothing and reports nothing can only mean no room.
        if (written <= 0)
            return abandon(written < 0 ? errno : ENOSPC);
        data += written;
        left -= written;
    }
    // Some file systems report a full disk only when the data reach it.
    if (m_durability == Durability::Synced && ::fsync(descriptor) != 0 && errno != EINVAL)
        return abandon(errno);
    if (::close(descriptor) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return fail(error);
    }
    if (::rename(temporary.constData(), targetPath.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return fail(error);
    }
    if (m_durability == Durability::Synced) {
        // The rename itself outlives a power cut only once the folder reaches the disk.
        const int folderDescriptor = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderDescriptor >= 0) {
            ::fsync(folderDescriptor);
            ::close(folderDescriptor);
        }
    }
    return true;
}

bool FileReplacer::diskFull() const
{
    return m_error == ENOSPC || m_error == EDQUOT;
}

QString FileReplacer::reason() const
{
    const QString folder = QDir::toNativeSeparators(QFileInfo(m_path).absolutePath());
    switch (m_error) {
    case 0:
        return QString();
    case ENOSPC:
    case EDQUOT:
        return tr("the disk is full");
    case EACCES:
    case EPERM:
        return tr("you may not write to the folder “%1”").arg(folder);
    case EROFS:
        return tr("the disk holding “%1” is read-only").arg(folder);
    case ENOENT:
    case ENOTDIR:
        return tr("the folder “%1” does not exist").arg(folder);
    case EIO:
        return tr("the disk reported an error");
    default:
        return QString::fromLocal8Bit(std::strerror(m_error));
    }
}
