#pragma once

#include "dat/DatFile.h"
#include "dat/DatIndex.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class LibraryCache;

/// The DAT files the player chose, kept in the settings store under "DatFiles" as an array of
/// paths, read into one index. Each parsed DAT is kept in the library cache by its file's
/// path, size and modification time, so a start parses none that is unchanged.
///
/// Like the cache it uses, it lives on one thread.
class DatCatalog
{
    Q_DECLARE_TR_FUNCTIONS(DatCatalog)

public:
    static const QString key;

    /// The stored paths, in order.
    static QStringList paths();
    /// Appends \a path (made absolute and clean) unless it is listed; false when it was.
    static bool add(const QString &path);
    /// Removes \a path; false when it was not listed.
    static bool remove(const QString &path);

    struct Entry
    {
        QString path;
        qint64 size = -1;
        qint64 modified = -1;
        /// Null when the file could not be used; refusal says why.
        std::shared_ptr<const DatFile> dat;
        DatFile::Refusal refusal;
        /// How the Preferences list shows it: "NAME, VERSION, N games", or why it is not used.
        QString summary() const;
    };

    /// \a cache may be null: every file is then parsed.
    explicit DatCatalog(LibraryCache *cache = nullptr) : m_cache(cache) {}

    /// Reads the files in \a paths whose size or modification time changed since they were
    /// read (from the cache when it knows them), and rebuilds the index; true when anything
    /// changed. The cache forgets the files no longer listed.
    bool refresh(const QStringList &paths);
    const std::vector<Entry> &entries() const { return m_entries; }
    /// Shared, so a model can hold the index it shows while the next one is built.
    std::shared_ptr<const DatIndex> index() const { return m_index; }

private:
    Entry read(const QString &path, qint64 size, qint64 modified) const;

    LibraryCache *m_cache;
    std::vector<Entry> m_entries;
    std::shared_ptr<const DatIndex> m_index = std::make_shared<DatIndex>();
};
