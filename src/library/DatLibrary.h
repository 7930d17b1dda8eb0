#pragma once

#include "library/DatCatalog.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <memory>

class DatIndex;
class LibraryCache;
class QFileSystemWatcher;

/// Keeps the player's DAT files read, on a worker thread of its own: at start from the library
/// cache, and again whenever the list in the settings or one of the files changes. Each new
/// index is handed out whole, so every status changes at once and no image is read again.
class DatLibrary : public QObject
{
    Q_OBJECT

public:
    explicit DatLibrary(const QString &cachePath, QObject *parent = nullptr);
    ~DatLibrary() override;

public Q_SLOTS:
    /// Reads what changed among \a paths (the "DatFiles" setting); called on the worker thread.
    void refresh(const QStringList &paths);

Q_SIGNALS:
    /// A new index, and by path each file's summary or why it is not used.
    void indexChanged(const std::shared_ptr<const DatIndex> &index, const QHash<QString, QString> &summaries);

private:
    QString m_cachePath;
    std::unique_ptr<LibraryCache> m_cache;
    std::unique_ptr<DatCatalog> m_catalog;
    QFileSystemWatcher *m_watcher = nullptr;
    QStringList m_paths;
};
