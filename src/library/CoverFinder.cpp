#include "library/CoverFinder.h"

#include "library/FolderWalker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

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

} // namespace

CoverFinder::CoverFinder(const QString &coversFolder) : m_coversFolder(coversFolder) {}

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

const CoverFinder::Folder &CoverFinder::folder(const QString &path) const
{
    std::lock_guard lock(m_mutex);
    const auto known = m_folders.constFind(path);
    if (known != m_folders.cend())
        return *known;
    Folder &entry = m_folders[path];
    QHash<QString, int> ranks;
    for (const QFileInfo &file : QDir(path).entryInfoList(QDir::Files | QDir::Readable)) {
        const QByteArray name = QFile::encodeName(file.fileName());
        if (FolderWalker::hasRomExtension(name.constData(), std::size_t(name.size())))
            ++entry.roms;
        const int order = rank(file.suffix().toLower());
        if (order < 0)
            continue;
        const QString base = file.completeBaseName().toLower();
        const auto best = ranks.constFind(base);
        if (best != ranks.cend() && *best <= order)
            continue;
        ranks.insert(base, order);
        entry.pictures.insert(base, file.filePath());
    }
    return entry;
}

QString CoverFinder::find(const Game &game) const
{
    if (!m_coversFolder.isEmpty()) {
        const Folder &covers = folder(m_coversFolder);
        for (const QString &name : {usable(game.md5), usable(game.gameCode), usable(game.name),
                                    usable(QFileInfo(game.filePath).completeBaseName())}) {
            if (name.isEmpty())
                continue;
            const QString found = covers.pictures.value(name);
            if (!found.isEmpty())
                return found;
        }
    }
    if (game.filePath.isEmpty())
        return QString();
    const QFileInfo rom(game.filePath);
    const Folder &beside = folder(rom.absolutePath());
    const QString own = beside.pictures.value(rom.completeBaseName().toLower());
    if (!own.isEmpty())
        return own;
    if (beside.roms != 1)
        return QString();
    const QString cover = beside.pictures.value(QStringLiteral("cover"));
    const QString suffix = QFileInfo(cover).suffix().toLower();
    return suffix == QLatin1String("png") || suffix == QLatin1String("jpg") ? cover : QString();
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
    // Copied beside its place first, so that a failed copy leaves the old cover.
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(picture, partial))
        return tr("“%1” could not be copied into “%2”.").arg(picture, coversFolder);
    for (const QString &other : pictureSuffixes())
        QFile::remove(QDir(coversFolder).filePath(md5 + QLatin1Char('.') + other));
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        return tr("“%1” could not be copied into “%2”.").arg(picture, coversFolder);
    }
    return QString();
}
