#include "library/DatRename.h"

#include "platform/LocalPath.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

QByteArray DatRename::targetOf(const QByteArray &path, const QString &gameName)
{
    const QString name = gameName.trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.contains(QLatin1Char('/'))
        || std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }))
        return QByteArray();
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray base = path.mid(slash + 1);
    const qsizetype dot = base.lastIndexOf('.');
    const QByteArray extension = dot > 0 ? base.mid(dot).toLower() : QByteArray();
    return path.left(slash + 1) + name.toUtf8() + extension;
}

QString DatRename::rename(const QByteArray &path, const QString &gameName)
{
    const QByteArray target = targetOf(path, gameName);
    if (target.isEmpty())
        return tr("“%1” cannot be a file name.").arg(gameName);
    const QString shown = LocalPath(target).displayText();
    if (target == path)
        return QString();
    // renameat2 with RENAME_NOREPLACE: no moment in which another file of that name is replaced.
    int done = ::renameat2(AT_FDCWD, path.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    // A file system that cannot promise it (some network ones) is asked first instead.
    if (done != 0 && errno == EINVAL) {
        errno = ::access(target.constData(), F_OK) == 0 ? EEXIST : 0;
        done = errno == 0 ? ::rename(path.constData(), target.constData()) : -1;
    }
    if (done == 0)
        return QString();
    if (errno == EEXIST)
        return tr("“%1” exists already; nothing was renamed.").arg(shown);
    if (errno == EACCES || errno == EPERM || errno == EROFS)
        return tr("The folder of “%1” cannot be written; nothing was renamed.").arg(shown);
    return tr("“%1” could not be renamed: %2.").arg(LocalPath(path).displayText(), QString::fromLocal8Bit(std::strerror(errno)));
}
