#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

class FolderWatcher;
class QTimer;
class UserDefaults;

/// Notices changes to the settings file on disk (hand edits, another program's writes) and
/// has the store take them in. It watches the file's folder, since saving a file by
/// renaming a new one over it (as editors and we ourselves do) ends a watch on the file.
class SettingsFileWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SettingsFileWatcher(UserDefaults *defaults, QObject *parent = nullptr);

private:
    void folderChanged(const QByteArray &folder, const QList<QByteArray> &names);
    void watch();

    QPointer<UserDefaults> m_defaults;
    FolderWatcher *m_watcher;
    // An editor saves in several steps; the file is read once they are over.
    QTimer *m_settle;
};
