#include "library/CoverFinder.h"

#include "library/FolderWalker.h"
#include "platform/FileReplacer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <utility>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int rank(const QString &suffix)
{
    const QStringList suffixes = CoverFinder::pictureSuffixes();
    const qsizetype index = suffixes.indexOf(suffix);
    // "jpeg" ranks with "jpg".
    return index < 0 ? -1 : int(index);
}

// Blank header fields (spaces, NULs) never name a picture.
QString usable(const QString &text)
{
    QString cleaned = text;
    cleaned.remove(QChar(0));
    return cleaned.trimmed().toLower();
}

// A name compared in any letter case: as text when it is UTF-8, else by its bytes with
// only ASCII letters folded (a Latin-1 name from an old disk cannot be decoded).
QByteArray nameKey(const QByteArray &name)
{
    return LocalPath(name).isText() ? QFile::decodeName(name).toLower().toUtf8() : name.toLower();
}

QByteArray textKey(const QString &text)
{
    return usable(text).toUtf8();
}

// "name.tar.png": the base name and the suffix around the last dot, as QFileInfo splits them.
std::pair<QByteArray, QByteArray> split(const QByteArray &fileName)
{
    const qsizetype dot = fileName.lastIndexOf('.');
    return dot < 0 ? std::pair{fileName, QByteArray()} : std::pair{fileName.left(dot), fileName.mid(dot + 1)};
}

} // namespace

// Cleaned as the folder watcher names it, so that a change there is known for the covers folder's.
CoverFinder::CoverFinder(const QString &coversFolder)
    : m_coversFolder(coversFolder.isEmpty() ? QByteArray() : LocalPath::fromText(QDir::cleanPath(QDir(coversFolder).absolutePath())).bytes())
{
}

QStringList CoverFinder::pictureSuffixes()
{
    static const QStringList suffixes = []() {
        QStringList list{QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg")};
        if (QImageReader::supportedImageFormats().contains("webp"))
            list.append(QStringLiteral("webp"));
        return list;
    }();
    return suffixes;
}

CoverFinder::Folder CoverFinder::folder(const QByteArray &path) const
{
    std::lock_guard lock(m_mutex);
    const auto known = m_folders.constFind(path);
    if (known != m_folders.cend())
        return *known;
    Folder &entry = m_folders[path];
    // Listed by bytes: QDir would give names that are not UTF-8 with U+FFFD, which open nothing.
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return entry;
    const QByteArray prefix = path.endsWith('/') ? path : path + '/';
    QHash<QByteArray, int> ranks;
    while (const dirent *item = ::readdir(dir)) {
        // Hidden files are not looked at, as QDir does by default.
        const QByteArray name(item->d_name);
        if (name.startsWith('.'))
            continue;
        const bool rom = FolderWalker::hasRomExtension(name.constData(), std::size_t(name.size()));
        const auto [base, suffix] = split(name);
        const int order = rank(QString::fromLatin1(suffix).toLower());
        if (!rom && order < 0)
            continue;
        const QByteArray file = prefix + name;
        struct stat info;
        if (::stat(file.constData(), &info) != 0 || !S_ISREG(info.st_mode) || ::access(file.constData(), R_OK) != 0)
            continue;
        if (rom)
            ++entry.roms;
        if (order < 0)
            continue;
        const QByteArray key = nameKey(base);
        const auto best = ranks.constFind(key);
        if (best != ranks.cend() && *best <= order)
            continue;
        ranks.insert(key, order);
        entry.pictures.insert(key, LocalPath(file));
    }
    ::closedir(dir);
    return entry;
}

void CoverFinder::forgetFolder(const QByteArray &path)
{
    std::lock_guard lock(m_mutex);
    m_folders.remove(path);
}

LocalPath CoverFinder::find(const Game &game) const
{
    const QByteArray romBase = split(game.file.bytes().mid(game.file.bytes().lastIndexOf('/') + 1)).first;
    if (!m_coversFolder.isEmpty()) {
        const Folder covers = folder(m_coversFolder);
        const QByteArray fileKey = LocalPath(romBase).isText() ? textKey(QFile::decodeName(romBase)) : romBase.trimmed().toLower();
        for (const QByteArray &name : {textKey(game.md5), textKey(game.gameCode), textKey(game.name), fileKey}) {
            if (name.isEmpty())
                continue;
            const LocalPath found = covers.pictures.value(name);
            if (!found.isEmpty())
                return found;
        }
    }
    if (game.file.isEmpty())
        return LocalPath();
    const Folder beside = folder(game.file.absolute().folder().bytes());
    const LocalPath own = beside.pictures.value(nameKey(romBase));
    if (!own.isEmpty())
        return own;
    if (beside.roms != 1)
        return LocalPath();
    const LocalPath cover = beside.pictures.value(QByteArrayLiteral("cover"));
    const QByteArray suffix = split(cover.bytes()).second.toLower();
    return suffix == "png" || suffix == "jpg" ? cover : LocalPath();
}

QString CoverFinder::install(const QString &picture, const QString &coversFolder, const QString &md5)
{
    const QString suffix = QFileInfo(picture).suffix().toLower();
    if (rank(suffix) < 0)
        return tr("“%1” is not a PNG, JPEG or WebP picture that can be read here.").arg(picture);
    if (!QDir().mkpath(coversFolder))
        return tr("The covers folder “%1” cannot be made.").arg(coversFolder);
    const QString target = QDir(coversFolder).filePath(md5 + QLatin1Char('.') + suffix);
    if (QFileInfo(picture).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return QString();
    QFile source(picture);
    if (!source.open(QIODevice::ReadOnly))
        return tr("“%1” cannot be read.").arg(picture);
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return tr("“%1” cannot be read.").arg(picture);
    // The name is only a hint: what is written must read as a picture, or the game's
    // working cover would be replaced by something no view can show.
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, suffix.toLatin1());
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead() || !reader.size().isValid())
        return tr("“%1” was not used as a cover: its contents are not a PNG, JPEG or WebP picture that can be read here.")
            .arg(picture);
    // Whole or not at all: a failed copy leaves the old cover.
    FileReplacer file(target);
    if (!file.replace(bytes))
        return tr("“%1” could not be copied into “%2”: %3.").arg(picture, coversFolder, file.reason());
    for (const QString &other : pictureSuffixes()) {
        if (other != suffix)
            QFile::remove(QDir(coversFolder).filePath(md5 + QLatin1Char('.') + other));
    }
    return QString();
}
