#include "platform/SettingsFileWatcher.h"

#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {

constexpr int kSettleMs = 150;

} // namespace

SettingsFileWatcher::SettingsFileWatcher(UserDefaults *defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_watcher(new QFileSystemWatcher(this))
    , m_settle(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, [this] {
        watch();
        if (m_defaults)
            m_defaults->synchronize();
    });
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &SettingsFileWatcher::folderChanged);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &SettingsFileWatcher::folderChanged);
    watch();
}

void SettingsFileWatcher::watch()
{
    if (!m_defaults)
        return;
    const QFileInfo file(m_defaults->filePath());
    // Our own folder: made now, so that a file put there later is noticed.
    QDir().mkpath(file.absolutePath());
    // The folder reports files renamed into it; the file itself reports writes in place,
    // which the folder does not, and must be watched again after each replacement.
    QStringList paths{file.absolutePath()};
    if (file.exists())
        paths.append(file.absoluteFilePath());
    for (const QString &path : paths) {
        if (!m_watcher->files().contains(path) && !m_watcher->directories().contains(path))
            m_watcher->addPath(path);
    }
}

void SettingsFileWatcher::folderChanged()
{
    m_settle->start();
}
