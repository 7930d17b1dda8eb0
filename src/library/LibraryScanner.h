#pragma once

#include "library/LibraryRecord.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

class LibraryCache;

/// Brings the library up to date off the GUI thread: loads the cache once, walks the
/// folders, reads in parallel only the files whose stamp changed, and writes what it read
/// back to the cache. Lives on a worker thread; scan() is called there (queued).
class LibraryScanner : public QObject
{
    Q_OBJECT

public:
    explicit LibraryScanner(const QString &cachePath, int jobs = 0, QObject *parent = nullptr);
    ~LibraryScanner() override;

    /// Stops the scan under way soon; safe from any thread.
    void cancel() { m_cancel = true; }

public Q_SLOTS:
    void scan(const QStringList &folders);

Q_SIGNALS:
    /// The cache had to be set aside or kept in memory; says why.
    void cacheMessage(const QString &message);
    /// Records new or changed since last told: the cached ones first, then those read.
    void recordsFound(const QList<LibraryRecord> &records);
    /// Rows gone, by LibraryRecord::key().
    void recordsRemoved(const QList<QByteArray> &keys);
    /// \a read of \a toRead files read so far; \a fromCache were unchanged.
    void progress(int read, int toRead, int fromCache);
    /// \a recentChange: a file changed moments ago and may still be being written.
    void finished(int total, int fromCache, int read, bool cancelled, const QStringList &problems,
                  const QStringList &walkedFolders, bool recentChange);

private:
    void tellCacheMessage();

    QString m_cachePath;
    QString m_toldMessage;
    int m_jobs;
    std::unique_ptr<LibraryCache> m_cache;
    /// What the list holds, sorted by path.
    std::vector<LibraryRecord> m_known;
    std::atomic<bool> m_cancel{false};
};
