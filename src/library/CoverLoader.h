#pragma once

#include "library/CoverFinder.h"

#include <QCache>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

/// Covers at the size a view shows them, found, decoded and scaled on worker threads, never
/// on the caller's. Pictures are kept in a bounded memory cache and as thumbnails on disk
/// ($XDG_CACHE_HOME/tolvane-launcher/thumbnails/, named after the picture's path, size and
/// modification time), so a picture is decoded whole once.
///
/// Only the newest requests are worked on: a view scrolled past many games asks for the ones
/// it shows now, and the older requests are dropped.
class CoverLoader : public QObject
{
    Q_OBJECT

public:
    /// $XDG_CACHE_HOME/tolvane-launcher/thumbnails
    static QString defaultThumbnailFolder();

    explicit CoverLoader(const QString &thumbnailFolder = defaultThumbnailFolder(), QObject *parent = nullptr);
    ~CoverLoader() override;

    /// Starts again with this covers folder: everything found so far is forgotten.
    void setCoversFolder(const QString &folder);
    QString coversFolder() const { return m_coversFolder; }

    /// The game's cover scaled to fit \a size, when it is ready. Otherwise a null image;
    /// the cover is then looked for and coverReady() follows (unless there is none).
    /// \a key names the game (its file's path), \a size is rounded up to a few steps.
    QImage cover(const QString &key, const CoverFinder::Game &game, int size);
    /// True when the game is known to have no cover (a placeholder is shown).
    bool hasNoCover(const QString &key) const { return m_none.contains(key); }
    /// Why the game's picture is not shown, in one sentence; empty when it is, or has none.
    QString problem(const QString &key) const { return m_problems.value(key); }
    /// Pictures whose decoding would take more memory than this are not shown. Qt's own
    /// limit (128 MB) refuses covers a camera or a scanner makes; ours is 512 MB, one at a time.
    void setDecodeLimit(int megabytes) { m_decodeLimitMB = megabytes; }
    /// Pictures in \a folder were added, changed or removed, or the folder itself went. Moments
    /// later every cover is checked again as it is shown (the old picture stays until the
    /// new one is ready), and the thumbnails of pictures changed or gone are removed.
    void picturesChanged(const QByteArray &folder);
    /// The size a request for \a size is served at.
    static int step(int size);
    /// Removes, on a worker thread, the thumbnails that neither these games' pictures as they
    /// are now at \a size nor the covers in memory use: other sizes, pictures since replaced.
    void cleanThumbnails(const QList<CoverFinder::Game> &games, int size);

Q_SIGNALS:
    /// A cover asked for is ready (or known to be missing).
    void coverReady(const QString &key);
    /// Pictures changed: views ask again for the covers they show.
    void coversChanged();

private:
    /// A cover in memory and what it was made from.
    struct Cover
    {
        QImage image;
        LocalPath picture;
        QString thumbnail;
        /// Why a picture found is not shown.
        QString problem;
    };
    struct Job
    {
        QString key;
        CoverFinder::Game game;
        int size = 0;
        quint64 generation = 0;
        /// The cover shown now, when this job checks it again.
        Cover shown;
    };
    void work();
    Cover load(const Job &job);
    void finished(const Job &job, const Cover &cover);
    /// The thumbnail's path for \a picture as it is now at \a size; empty when it is gone.
    QString thumbnailFor(const LocalPath &picture, int size) const;
    void applyChanges();

    QString m_thumbnailFolder;
    QString m_coversFolder;
    std::shared_ptr<CoverFinder> m_finder;
    // Images bounded by their bytes (in KiB).
    QCache<QString, Cover> m_images;
    QSet<QString> m_none;
    QHash<QString, QString> m_problems;
    QSet<QString> m_asked;
    // Shown until checked again after a picture changed.
    QSet<QString> m_stale;
    // Picture changes told in the last moments: a picture being copied is told many times.
    QSet<QByteArray> m_changedFolders;
    QTimer *m_changeTimer = nullptr;
    quint64 m_generation = 0;
    QThreadPool m_pool;
    std::atomic<int> m_decodeLimitMB{512};
    // Held while decoding a picture over Qt's own limit, so that only one takes that much.
    std::mutex m_largeDecode;
    std::mutex m_mutex;
    std::vector<Job> m_jobs;
};
