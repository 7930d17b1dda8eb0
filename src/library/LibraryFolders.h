#pragma once

#include <QString>
#include <QStringList>

/// The ROM folders the library lists, kept in the settings store under "LibraryFolders" as an
/// array of absolute paths. Every change goes through here and edits the list as the store
/// holds it at that moment, so the File menu, Preferences and a hand edit of the file never
/// write back a list that is out of date.
class LibraryFolders
{
public:
    static const QString key;

    /// The stored folders that are absolute paths, in order.
    static QStringList folders();
    /// Appends \a folder (made absolute and clean) unless it is listed; false when it was.
    static bool add(const QString &folder);
    /// Removes \a folder; false when it was not listed.
    static bool remove(const QString &folder);
    /// Stores \a folders as the whole list.
    static void setFolders(const QStringList &folders);

    /// The same for any list of absolute paths the store keeps (the DAT files' too).
    static QStringList pathsOf(const QString &key);
    static bool addPath(const QString &key, const QString &path);
    static bool removePath(const QString &key, const QString &path);
};
