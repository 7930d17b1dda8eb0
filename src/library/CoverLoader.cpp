#include "library/CoverLoader.h"

#include "platform/FileReplacer.h"
#include "platform/XdgFolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QBuffer>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Enough for several screens of large covers, far from the memory a big library would need.
constexpr int kMemoryCacheKiB = 96 * 1024;
// A view shows a few dozen covers; requests beyond these are for rows scrolled past.
constexpr std::size_t kMaxQueuedJobs = 96;
// Covers are a little taller than wide.
constexpr double kAspect = 1.4;
// A picture being copied in is told at every write; it is looked at once the writes stop.
constexpr int kChangeSettleMs = 300;

// Ten steps below the process (the window, and the scanner's readers at 5); not SCHED_IDLE,
// which a busy machine would starve. Nice is per thread on Linux: the GUI thread keeps its own.
void lowerPriority()
{
    static thread_local const bool lowered = [] {
        const pid_t thread = pid_t(::syscall(SYS_gettid));
        return ::setpriority(PRIO_PROCESS, thread, std::min(19, ::getpriority(PRIO_PROCESS, thread) + 10)) == 0;
    }();
    Q_UNUSED(lowered);
}

QString cacheKey(const QString &key, int size)
{
    return key + QLatin1Char('@') + QString::number(size);
}

} // namespace

QString CoverLoader::defaultThumbnailFolder()
{
    return XdgFolders::cache() + QStringLiteral("/thumbnails");
}

CoverLoader::CoverLoader(const QString &thumbnailFolder, QObject *parent)
    : QObject(parent)
    , m_thumbnailFolder(thumbnailFolder)
    , m_finder(std::make_shared<CoverFinder>())
    , m_images(kMemoryCacheKiB)
    , m_changeTimer(new QTimer(this))
{
    m_changeTimer->setSingleShot(true);
    m_changeTimer->setInterval(kChangeSettleMs);
    connect(m_changeTimer, &QTimer::timeout, this, &CoverLoader::applyChanges);
    // Decoding is heavy; leave a core to the window and the rest of the machine.
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
}

CoverLoader::~CoverLoader()
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.clear();
    }
    m_pool.waitForDone();
}

int CoverLoader::step(int size)
{
    // Up to twice the largest cover, for screens of two device pixels to the point.
    for (const int step : {96, 160, 240, 320, 480})
        if (size <= step)
            return step;
    return 640;
}

void CoverLoader::cleanThumbnails(const QList<CoverFinder::Game> &games, int size)
{
    QSet<QString> kept;
    const QList<QString> shown = m_images.keys();
    for (const QString &key : shown)
        kept.insert(m_images.object(key)->thumbnail);
    std::shared_ptr<CoverFinder> finder;
    {
        std::lock_guard lock(m_mutex);
        finder = m_finder;
    }
    m_pool.start([this, finder, games, kept = std::move(kept), size = step(size)]() mutable {
        lowerPriority();
        for (const CoverFinder::Game &game : std::as_const(games))
            kept.insert(thumbnailFor(finder->find(game), size));
        // Hidden names are thumbnails being written.
        QDirIterator files(m_thumbnailFolder, QDir::Files);
        while (files.hasNext()) {
            const QString file = files.next();
            if (!kept.contains(file))
                QFile::remove(file);
        }
    });
}

void CoverLoader::setCoversFolder(const QString &folder)
{
    m_coversFolder = folder;
    {
        std::lock_guard lock(m_mutex);
        m_jobs.clear();
        m_finder = std::make_shared<CoverFinder>(folder);
    }
    // Workers still busy finish with the old finder; their results are dropped by generation.
    ++m_generation;
    m_images.clear();
    m_none.clear();
    m_problems.clear();
    m_asked.clear();
    m_stale.clear();
    m_changedFolders.clear();
}

void CoverLoader::picturesChanged(const QByteArray &folder)
{
    m_changedFolders.insert(folder);
    m_changeTimer->start();
}

void CoverLoader::applyChanges()
{
    {
        std::lock_guard lock(m_mutex);
        for (const QByteArray &folder : std::as_const(m_changedFolders))
            m_finder->forgetFolder(folder);
    }
    m_changedFolders.clear();
    // A picture may now be another game's, in the covers folder any game's: every cover is
    // looked for again, which costs a stat for those whose picture is unchanged.
    ++m_generation;
    m_asked.clear();
    m_none.clear();
    const QList<QString> shown = m_images.keys();
    m_stale = QSet<QString>(shown.cbegin(), shown.cend());
    Q_EMIT coversChanged();
}

QImage CoverLoader::cover(const QString &key, const CoverFinder::Game &game, int size)
{
    size = step(size);
    const QString cached = cacheKey(key, size);
    const Cover *known = m_images.object(cached);
    if (known && !m_stale.contains(cached))
        return known->image;
    const QImage shown = known ? known->image : QImage();
    if (m_none.contains(key) || m_asked.contains(cached))
        return shown;
    m_asked.insert(cached);
    std::lock_guard lock(m_mutex);
    m_jobs.push_back({key, game, size, m_generation, known ? *known : Cover()});
    if (m_jobs.size() > kMaxQueuedJobs) {
        // Let the oldest request go; it is asked again if its row comes back into view.
        m_asked.remove(cacheKey(m_jobs.front().key, m_jobs.front().size));
        m_jobs.erase(m_jobs.begin());
    } else {
        m_pool.start([this]() { work(); });
    }
    return shown;
}

void CoverLoader::work()
{
    lowerPriority();
    Job job;
    {
        std::lock_guard lock(m_mutex);
        if (m_jobs.empty())
            return;
        // The newest first: it is what the view shows now.
        job = std::move(m_jobs.back());
        m_jobs.pop_back();
    }
    const Cover cover = load(job);
    QMetaObject::invokeMethod(this, [this, job, cover]() { finished(job, cover); }, Qt::QueuedConnection);
}

QString CoverLoader::thumbnailFor(const LocalPath &picture, int size) const
{
    struct stat info;
    if (picture.isEmpty() || ::stat(picture.bytes().constData(), &info) != 0)
        return QString();
    const qint64 modified = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
    const QByteArray stamp = picture.absolute().bytes() + '\n' + QByteArray::number(qint64(info.st_size)) + '\n'
        + QByteArray::number(modified) + '\n' + QByteArray::number(size);
    return m_thumbnailFolder + QLatin1Char('/') + QString::fromLatin1(QCryptographicHash::hash(stamp, QCryptographicHash::Sha1).toHex());
}

CoverLoader::Cover CoverLoader::load(const Job &job)
{
    std::shared_ptr<CoverFinder> finder;
    {
        // The finder is replaced on the GUI thread; take our own reference to it.
        std::lock_guard lock(m_mutex);
        finder = m_finder;
    }
    const LocalPath picture = finder->find(job.game);
    const QString thumbnail = thumbnailFor(picture, job.size);
    if (!job.shown.thumbnail.isEmpty() && thumbnail != job.shown.thumbnail) {
        // The thumbnail of a picture since rewritten or removed shows what no file holds.
        if (thumbnailFor(job.shown.picture, job.size) != job.shown.thumbnail)
            QFile::remove(job.shown.thumbnail);
    } else if (!thumbnail.isEmpty() && thumbnail == job.shown.thumbnail) {
        return job.shown;
    }
    if (thumbnail.isEmpty())
        return Cover();
    QImage image(thumbnail);
    if (!image.isNull())
        return {image, picture, thumbnail, QString()};
    // Opened by its bytes: a name that is not UTF-8 has no QString that QFile could open.
    const QString shownName = picture.displayText();
    const int descriptor = ::open(picture.bytes().constData(), O_RDONLY | O_CLOEXEC);
    QFile source;
    if (descriptor < 0 || !source.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        if (descriptor >= 0)
            ::close(descriptor);
        return {QImage(), picture, QString(), tr("The cover “%1” is not shown: it cannot be opened (%2).").arg(shownName, reason)};
    }
    // The suffix is a hint only: a picture whose content says otherwise is still read.
    QImageReader reader(&source, picture.bytes().mid(picture.bytes().lastIndexOf('.') + 1).toLower());
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid()) {
        // Decoded at the size shown: JPEG and PNG decode straight to a fraction of their size.
        reader.setScaledSize(full.scaled(job.size, int(job.size * kAspect), Qt::KeepAspectRatio));
    }
    // What the whole picture takes when its format cannot be decoded scaled (WebP, 16-bit PNG).
    const qint64 megabytes = full.isValid()
        ? qint64(full.width()) * full.height() * std::max<int>(32, QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel()) / 8 / (1 << 20)
        : 0;
    const int limit = m_decodeLimitMB;
    reader.setAllocationLimit(limit);
    {
        std::unique_lock large(m_largeDecode, std::defer_lock);
        if (megabytes > QImageReader::allocationLimit())
            large.lock();
        image = reader.read();
    }
    if (image.isNull()) {
        if (megabytes > limit)
            return {QImage(), picture, QString(),
                    tr("The cover “%1” is not shown: at %2 × %3 pixels it needs %4 MB to be read, more than the %5 MB a cover may take.")
                        .arg(shownName).arg(full.width()).arg(full.height()).arg(megabytes).arg(limit)};
        return {QImage(), picture, QString(),
                tr("The cover “%1” is not shown: it cannot be read as a PNG, JPEG or WebP picture.").arg(shownName)};
    }
    if (!full.isValid())
        image = image.scaled(job.size, int(job.size * kAspect), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // Thumbnails are a cache: one that cannot be written is made again next time.
    // A thumbnail cut short by a full disk would be read as a broken picture ever after.
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, image.hasAlphaChannel() ? "png" : "jpg");
    writer.setQuality(88);
    if (writer.write(image) && QDir().mkpath(m_thumbnailFolder))
        FileReplacer(thumbnail, FileReplacer::Durability::Cache).replace(encoded.data());
    return {image, picture, thumbnail, QString()};
}

void CoverLoader::finished(const Job &job, const Cover &cover)
{
    if (job.generation != m_generation)
        return;
    const QString cached = cacheKey(job.key, job.size);
    m_asked.remove(cached);
    m_stale.remove(cached);
    if (cover.problem.isEmpty())
        m_problems.remove(job.key);
    else
        m_problems.insert(job.key, cover.problem);
    if (cover.image.isNull()) {
        m_none.insert(job.key);
        m_images.remove(cached);
    } else if (cover.thumbnail != job.shown.thumbnail || !m_images.contains(cached)) {
        m_images.insert(cached, new Cover(cover), std::max<qsizetype>(1, cover.image.sizeInBytes() / 1024));
    } else {
        return;
    }
    Q_EMIT coverReady(job.key);
}
