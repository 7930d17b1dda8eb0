#include "platform/XdgFolders.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kOurs = QStringLiteral("/tolvane-launcher");

// A folder, not a link to one, of ours, that nobody else can enter; \a create makes it
// (0700) when missing and takes group and other rights away from one of ours.
bool isPrivateFolder(const QString &folder, bool create)
{
    if (folder.isEmpty() || !folder.startsWith(QLatin1Char('/')))
        return false;
    const QByteArray path = QFile::encodeName(folder);
    if (create)
        ::mkdir(path.constData(), 0700);
    struct stat info;
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return false;
    if ((info.st_mode & 077) == 0)
        return true;
    return create && ::chmod(path.constData(), 0700) == 0;
}

} // namespace

QString XdgFolders::configHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString XdgFolders::runtimeHome()
{
    return runtimeHomeFor(qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/run/user"), QDir::tempPath());
}

QString XdgFolders::runtimeHomeFor(const QString &xdgRuntimeDir, const QString &perUserRoot, const QString &tempDir)
{
    // The session's folder is the user's by definition (made, or made private, as the
    // session asks); one in the shared temporary folder must not be somebody else's, nor a
    // link they placed.
    if (isPrivateFolder(xdgRuntimeDir, true))
        return QDir::cleanPath(xdgRuntimeDir);
    const QString session = perUserRoot + QLatin1Char('/') + QString::number(::getuid());
    if (isPrivateFolder(session, false))
        return session;
    const QString ours = tempDir + QStringLiteral("/tolvane-launcher-") + QString::number(::getuid());
    return isPrivateFolder(ours, true) ? ours : QString();
}

QString XdgFolders::runtime()
{
    const QString home = runtimeHome();
    if (home.isEmpty())
        return QString();
    const QString folder = home + kOurs;
    return isPrivateFolder(folder, true) ? folder : QString();
}

QString XdgFolders::config()
{
    return configHome() + kOurs;
}

QString XdgFolders::cache()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + kOurs;
}

QString XdgFolders::data()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + kOurs;
}
