#include "library/CoverLoader.h"

#include "platform/FileReplacer.h"
#include "platform/XdgFolders.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QBuffer>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Enough for several screens of large covers, far from the memory a big library would need.
constexpr int kMemoryCacheKiB = 96 * 1024;
// A view shows a few dozen covers; requests beyond these are for rows scrolled past.
constexpr std::size_t kMaxQueuedJobs = 96;
// Covers are a little taller than wide.
constexpr double kAspect = 1.4;

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
{
    // Decoding is heavy; leave a core to the window and the rest of the machine.
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
    m_pool.setThreadPriority(QThread::LowPriority);
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
    for (const int step : {96, 160, 240, 320})
        if (size <= step)
            return step;
    return 480;
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
    m_asked.clear();
}

void CoverLoader::forget(const QString &key)
{
    // The folder listings change with a new cover: start with a fresh finder.
    setCoversFolder(m_coversFolder);
    Q_UNUSED(key);
}

QImage CoverLoader::cover(const QString &key, const CoverFinder::Game &game, int size)
{
    size = step(size);
    const QString cached = cacheKey(key, size);
    if (const QImage *image = m_images.object(cached))
        return *image;
    if (m_none.contains(key) || m_asked.contains(cached))
        return QImage();
    m_asked.insert(cached);
    std::lock_guard lock(m_mutex);
    m_jobs.push_back({key, game, size, m_generation});
    if (m_jobs.size() > kMaxQueuedJobs) {
        // Let the oldest request go; it is asked again if its row comes back into view.
        m_asked.remove(cacheKey(m_jobs.front().key, m_jobs.front().size));
        m_jobs.erase(m_jobs.begin());
    } else {
        m_pool.start([this]() { work(); });
    }
    return QImage();
}

void CoverLoader::work()
{
    Job job;
    {
        std::lock_guard lock(m_mutex);
        if (m_jobs.empty())
            return;
        // The newest first: it is what the view shows now.
        job = std::move(m_jobs.back());
        m_jobs.pop_back();
    }
    QImage image = load(job);
    QMetaObject::invokeMethod(this, [this, job, image]() { finished(job, image); }, Qt::QueuedConnection);
}

QImage CoverLoader::load(const Job &job)
{
    std::shared_ptr<CoverFinder> finder;
    {
        // The finder is replaced on the GUI thread; take our own reference to it.
        std::lock_guard lock(m_mutex);
        finder = m_finder;
    }
    const LocalPath picture = finder->find(job.game);
    if (picture.isEmpty())
        return QImage();
    struct stat info;
    if (::stat(picture.bytes().constData(), &info) != 0)
        return QImage();
    const qint64 modified = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
    const QByteArray stamp = picture.absolute().bytes() + '\n' + QByteArray::number(qint64(info.st_size)) + '\n'
        + QByteArray::number(modified) + '\n' + QByteArray::number(job.size);
    const QString thumbnail = m_thumbnailFolder + QLatin1Char('/')
        + QString::fromLatin1(QCryptographicHash::hash(stamp, QCryptographicHash::Sha1).toHex());
    QImage image(thumbnail);
    if (!image.isNull())
        return image;
    // Opened by its bytes: a name that is not UTF-8 has no QString that QFile could open.
    const int descriptor = ::open(picture.bytes().constData(), O_RDONLY | O_CLOEXEC);
    QFile source;
    if (descriptor < 0 || !source.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (descriptor >= 0)
            ::close(descriptor);
        return QImage();
    }
    // The suffix is a hint only: a picture whose content says otherwise is still read.
    QImageReader reader(&source, picture.bytes().mid(picture.bytes().lastIndexOf('.') + 1).toLower());
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid()) {
        // Decoded at the size shown: JPEG decodes straight to a fraction of its size.
        reader.setScaledSize(full.scaled(job.size, int(job.size * kAspect), Qt::KeepAspectRatio));
    }
    image = reader.read();
    if (image.isNull())
        return image;
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
    return image;
}

void CoverLoader::finished(const Job &job, const QImage &image)
{
    if (job.generation != m_generation)
        return;
    m_asked.remove(cacheKey(job.key, job.size));
    if (image.isNull())
        m_none.insert(job.key);
    else
        m_images.insert(cacheKey(job.key, job.size), new QImage(image), std::max<qsizetype>(1, image.sizeInBytes() / 1024));
    Q_EMIT coverReady(job.key);
}
