#include "platform/SettingsFileWatcher.h"

#include "platform/FolderWatcher.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {

constexpr int kSettleMs = 150;

} // namespace

SettingsFileWatcher::SettingsFileWatcher(UserDefaults *defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_watcher(new FolderWatcher(this))
    , m_settle(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, [this] {
        watch();
        if (m_defaults)
            m_defaults->synchronize();
    });
    connect(m_watcher, &FolderWatcher::changed, this, &SettingsFileWatcher::folderChanged);
    connect(m_watcher, &FolderWatcher::eventsLost, m_settle, qOverload<>(&QTimer::start));
    watch();
}

void SettingsFileWatcher::watch()
{
    if (!m_defaults || !m_watcher->folders().isEmpty())
        return;
    // Our own folder: made now, so that a file put there later is noticed.
    const QString folder = QFileInfo(m_defaults->filePath()).absolutePath();
    QDir().mkpath(folder);
    m_watcher->watchFolder(QFile::encodeName(folder));
}

void SettingsFileWatcher::folderChanged(const QByteArray &folder, const QList<QByteArray> &names)
{
    Q_UNUSED(folder);
    if (!m_defaults)
        return;
    // Our file, or the folder itself gone (watched again once it is back).
    const QByteArray file = QFile::encodeName(QFileInfo(m_defaults->filePath()).fileName());
    if (names.contains(file) || names.contains(QByteArray()))
        m_settle->start();
}
