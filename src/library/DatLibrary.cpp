#include "library/DatLibrary.h"

#include "library/LibraryCache.h"

#include <QFileSystemWatcher>

#include <sys/resource.h>
#include <unistd.h>

DatLibrary::DatLibrary(const QString &cachePath, QObject *parent) : QObject(parent), m_cachePath(cachePath) {}

DatLibrary::~DatLibrary() = default;

void DatLibrary::refresh(const QStringList &paths)
{
    if (!m_catalog) {
        // Nothing chosen and nothing read: no need to open the cache at all.
        if (paths.isEmpty())
            return;
        // Read beside the window's first paint and the rescan, this thread gives way to both
        // (a thread's nice value is its own on Linux).
        ::setpriority(PRIO_PROCESS, id_t(::gettid()), 10);
        m_cache = std::make_unique<LibraryCache>(m_cachePath);
        m_cache->open();
        m_catalog = std::make_unique<DatCatalog>(m_cache.get());
        m_watcher = new QFileSystemWatcher(this);
        // A DAT saved by an editor is often replaced, not rewritten: the path is watched again.
        connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this]() { refresh(m_paths); });
    }
    m_paths = paths;
    if (!m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
    if (!paths.isEmpty())
        m_watcher->addPaths(paths);
    if (!m_catalog->refresh(paths))
        return;
    QHash<QString, QString> summaries;
    for (const DatCatalog::Entry &entry : m_catalog->entries())
        summaries.insert(entry.path, entry.summary());
    Q_EMIT indexChanged(m_catalog->index(), summaries);
}
