#include "launch/EntryExtractor.h"

#include "platform/XdgFolders.h"
#include "rom/RomArchive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

// Marks our files; the rest of the name comes from the entry.
const QLatin1String kPrefix("extracted-");
// The entry's part of the name, in UTF-8 bytes, leaving room for the prefix, process and serial;
// its last bytes are kept, for the extension.
constexpr qsizetype kMaxNameBytes = 200;
constexpr qsizetype kTailBytes = 24;
std::atomic<unsigned> g_serial{0};

bool writeAll(int fd, const char *data, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        length -= std::size_t(written);
    }
    return true;
}

// Why the private runtime folder cannot be had, and where it would be.
QString whyNoFolder()
{
    const QString home = XdgFolders::runtimeHome();
    if (home.isEmpty())
        return EntryExtractor::tr("The private folder for extracted games cannot be made: there is no private runtime folder.");
    const QString folder = home + QStringLiteral("/tolvane-launcher");
    struct stat info;
    QString why;
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        why = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISDIR(info.st_mode))
        why = EntryExtractor::tr("a file that is not a folder is in its place");
    else if (info.st_uid != ::getuid())
        why = EntryExtractor::tr("it belongs to another user");
    else
        why = EntryExtractor::tr("other users can reach it");
    return EntryExtractor::tr("The private folder for extracted games, %1, cannot be made: %2.").arg(folder, why);
}

} // namespace

EntryExtractor::EntryExtractor(QObject *parent) : QObject(parent) {}

EntryExtractor::~EntryExtractor()
{
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

QString EntryExtractor::folderPath(QString *problem)
{
    // Ours and private, and no link that could point the files elsewhere.
    const QString folder = XdgFolders::runtime();
    if (folder.isEmpty() && problem)
        *problem = whyNoFolder();
    return folder;
}

void EntryExtractor::removeLeftovers()
{
    const QString folder = folderPath();
    if (folder.isEmpty())
        return;
    QDir dir(folder);
    for (const QString &name : dir.entryList({kPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System)) {
        // Named after the process that made it: one that still runs (a --play without a
        // window) is playing it. A reused number only keeps a leftover until a later start.
        const pid_t owner = pid_t(name.mid(kPrefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong());
        if (owner > 0 && owner != ::getpid() && (::kill(owner, 0) == 0 || errno == EPERM))
            continue;
        dir.remove(name);
    }
}

QString EntryExtractor::fileNameFor(const QString &entry)
{
    QString base = entry.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    for (QChar &c : base) {
        if (!(c.isLetterOrNumber() || QStringLiteral(" ._-()[]!,+&'").contains(c)))
            c = QLatin1Char('_');
    }
    if (base.startsWith(QLatin1Char('.')))
        base.prepend(QLatin1Char('_'));
    // Short enough for any file system, which counts bytes (255), with its extension kept:
    // cut between characters, never inside one.
    if (base.toUtf8().size() > kMaxNameBytes) {
        const QList<uint> points = base.toUcs4();
        const auto bytesOf = [](uint c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; };
        qsizetype tail = points.size(), tailBytes = 0, head = 0, headBytes = 0;
        while (tail > 0 && tailBytes + bytesOf(points[tail - 1]) <= kTailBytes)
            tailBytes += bytesOf(points[--tail]);
        while (head < tail && headBytes + bytesOf(points[head]) <= kMaxNameBytes - tailBytes)
            headBytes += bytesOf(points[head++]);
        base = QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()), head)
            + QString::fromUcs4(reinterpret_cast<const char32_t *>(points.constData()) + tail, points.size() - tail);
    }
    if (base.isEmpty())
        base = QStringLiteral("image.z64");
    return kPrefix + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-')
        + QString::number(++g_serial) + QLatin1Char('-') + base;
}

std::shared_ptr<ROM> EntryExtractor::plainCopy(const ROM *entry, const QString &filePath)
{
    auto copy = std::make_shared<ROM>();
    copy->setFilePath(QUrl::fromLocalFile(filePath));
    if (entry) {
        copy->setName(entry->name().value_or(QString()));
        copy->setGameCode(entry->gameCode().value_or(QString()));
        copy->setMD5(entry->MD5().value_or(QString()));
    }
    return copy;
}

bool EntryExtractor::start(const LocalPath &archivePath, qint32 index, const QString &entry)
{
    if (isRunning())
        return false;
    if (m_worker.joinable())
        m_worker.join();
    QString problem;
    const QString folder = folderPath(&problem);
    if (folder.isEmpty()) {
        Q_EMIT finished(QString(), problem);
        return true;
    }
    m_cancel = false;
    m_done = false;
    m_worker = std::thread(&EntryExtractor::run, this, archivePath, index, entry,
                           folder + QLatin1Char('/') + fileNameFor(entry));
    return true;
}

void EntryExtractor::cancel()
{
    m_cancel = true;
}

void EntryExtractor::run(const LocalPath &archivePath, qint32 index, const QString &entry, const QString &target)
{
    const QByteArray targetPath = QFile::encodeName(target);
    QString error;
    int fd = ::open(targetPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        error = tr("The game cannot be extracted: %1.").arg(QString::fromLocal8Bit(std::strerror(errno)));
    qint64 done = 0;
    bool full = false;
    const auto notEnoughSpace = [&target](qint64 needed) {
        struct statvfs info;
        return ::statvfs(QFile::encodeName(QFileInfo(target).path()).constData(), &info) == 0
            && qint64(info.f_bavail) * qint64(info.f_frsize) < needed;
    };
    RomArchive::Options options;
    options.cancel = &m_cancel;
    // Passing through a solid archive's earlier entries: a bar that moves, of no known length.
    options.progress = [this](qint64 passed, qint64) { Q_EMIT progress(passed, -1); };
    const auto sink = [&](const char *data, std::size_t length, qint64 declared) {
        // The whole entry must fit before anything is written: a half-written game is useless.
        if (done == 0 && declared > 0 && notEnoughSpace(declared)) {
            full = true;
            return false;
        }
        if (!writeAll(fd, data, length)) {
            full = errno == ENOSPC || errno == EDQUOT;
            if (!full)
                error = tr("The game cannot be extracted: %1.").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        done += qint64(length);
        Q_EMIT progress(done, declared);
        return true;
    };
    if (fd >= 0) {
        const std::optional<ROM::Refusal> refusal = RomArchive::extract(archivePath, index, entry, sink, options);
        if (::close(fd) != 0 && !refusal && error.isEmpty())
            error = tr("The game cannot be extracted: %1.").arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (full)
            error = tr("There is not enough free space in %1 to extract the game.").arg(QFileInfo(target).path());
        else if (refusal && error.isEmpty() && !m_cancel)
            error = ROM::describeRefusal(*refusal, done, ECANCELED, entry);
        if (!error.isEmpty() || m_cancel)
            ::unlink(targetPath.constData());
    }
    const QString result = error.isEmpty() && !m_cancel ? target : QString();
    m_done = true;
    Q_EMIT finished(result, error);
}
