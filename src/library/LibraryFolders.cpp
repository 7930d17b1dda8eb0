#include "library/LibraryFolders.h"

#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>

const QString LibraryFolders::key = QStringLiteral("LibraryFolders");

QStringList LibraryFolders::folders()
{
    return pathsOf(key);
}

bool LibraryFolders::add(const QString &folder)
{
    return addPath(key, folder);
}

bool LibraryFolders::remove(const QString &folder)
{
    return removePath(key, folder);
}

QStringList LibraryFolders::pathsOf(const QString &key)
{
    QStringList folders;
    for (const QVariant &value : UserDefaults::standardUserDefaults().arrayForKey(key).value_or(QVariantList())) {
        const QString folder = value.toString();
        if (!folder.isEmpty() && QDir::isAbsolutePath(folder))
            folders.append(folder);
    }
    return folders;
}

bool LibraryFolders::addPath(const QString &key, const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QVariantList stored = UserDefaults::standardUserDefaults().arrayForKey(key).value_or(QVariantList());
    if (stored.contains(absolute))
        return false;
    stored.append(absolute);
    UserDefaults::standardUserDefaults().setValueForKey(key, stored);
    return true;
}

bool LibraryFolders::removePath(const QString &key, const QString &folder)
{
    QVariantList stored = UserDefaults::standardUserDefaults().arrayForKey(key).value_or(QVariantList());
    if (!stored.removeAll(folder))
        return false;
    UserDefaults::standardUserDefaults().setValueForKey(key, stored);
    return true;
}

void LibraryFolders::setFolders(const QStringList &folders)
{
    QVariantList values;
    for (const QString &folder : folders)
        values.append(folder);
    UserDefaults::standardUserDefaults().setValueForKey(key, values);
}
