#include "library/DatCatalog.h"

#include "library/LibraryCache.h"
#include "library/LibraryFolders.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

const QString DatCatalog::key = QStringLiteral("DatFiles");

QStringList DatCatalog::paths()
{
    return LibraryFolders::pathsOf(key);
}

bool DatCatalog::add(const QString &path)
{
    return LibraryFolders::addPath(key, path);
}

bool DatCatalog::remove(const QString &path)
{
    return LibraryFolders::removePath(key, path);
}

QString DatCatalog::Entry::summary() const
{
    if (!dat)
        return DatCatalog::tr("“%1” is not used: %2").arg(QFileInfo(path).fileName(), refusal.text());
    const auto games = qint64(dat->games().size());
    const QString name = dat->name().isEmpty() ? QFileInfo(path).fileName() : dat->name();
    return dat->version().isEmpty() ? DatCatalog::tr("%1, %Ln games", nullptr, games).arg(name)
                                    : DatCatalog::tr("%1, %2, %Ln games", nullptr, games).arg(name, dat->version());
}

bool DatCatalog::refresh(const QStringList &paths)
{
    std::vector<Entry> entries;
    bool changed = paths.size() != qsizetype(m_entries.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        struct stat info;
        const bool found = ::stat(QFile::encodeName(path).constData(), &info) == 0;
        const qint64 size = found ? qint64(info.st_size) : -1;
        const qint64 modified = found ? qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec : -1;
        const auto known = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry &entry) {
            return entry.path == path && entry.size == size && entry.modified == modified;
        });
        if (known != m_entries.end()) {
            changed = changed || std::size_t(i) >= m_entries.size() || m_entries[std::size_t(i)].path != path;
            entries.push_back(std::move(*known));
        } else {
            changed = true;
            entries.push_back(read(path, size, modified));
        }
    }
    if (m_cache)
        m_cache->keepDats(paths);
    m_entries = std::move(entries);
    if (changed) {
        auto index = std::make_shared<DatIndex>();
        for (const Entry &entry : m_entries) {
            if (entry.dat)
                index->add(entry.dat, entry.path);
        }
        m_index = std::move(index);
    }
    return changed;
}

DatCatalog::Entry DatCatalog::read(const QString &path, qint64 size, qint64 modified) const
{
    Entry entry{path, size, modified, nullptr, {}};
    if (m_cache && size >= 0)
        entry.dat = DatFile::deserialized(m_cache->cachedDat(path, size, modified));
    if (!entry.dat) {
        entry.dat = DatFile::read(path, &entry.refusal);
        if (m_cache && entry.dat)
            m_cache->storeDat(path, size, modified, entry.dat->serialized());
    }
    return entry;
}
