#include "platform/LocalPath.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <cstdlib>

#include <unistd.h>

namespace {

const QLatin1String fileScheme("file:");

// Latin-1 maps each byte to one character and back, so QDir's path rules, which look only
// at '/' and '.', can work on bytes that are not UTF-8.
QString bytesAsLatin1(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace

LocalPath LocalPath::fromText(const QString &path)
{
    return LocalPath(QFile::encodeName(path));
}

LocalPath LocalPath::fromUrl(const QUrl &url)
{
    if (!url.isLocalFile())
        return LocalPath();
    // The encoded path keeps every byte the URL was made from; decoding it by hand keeps them.
    return LocalPath(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

LocalPath LocalPath::fromStoredText(const QString &text)
{
    return text.startsWith(fileScheme) ? fromUrl(QUrl(text)) : fromText(text);
}

bool LocalPath::isText() const
{
    return QFile::encodeName(QFile::decodeName(m_bytes)) == m_bytes;
}

QString LocalPath::displayText() const
{
    return QFile::decodeName(m_bytes);
}

QString LocalPath::fileName() const
{
    return QFile::decodeName(m_bytes.mid(m_bytes.lastIndexOf('/') + 1));
}

LocalPath LocalPath::folder() const
{
    const qsizetype slash = m_bytes.lastIndexOf('/');
    return LocalPath(slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : m_bytes.left(slash));
}

LocalPath LocalPath::absolute() const
{
    QByteArray path = m_bytes;
    if (!path.startsWith('/')) {
        // Not QDir::currentPath(): the current folder's own name may not be text.
        char *current = ::get_current_dir_name();
        path = QByteArray(current ? current : ".") + '/' + path;
        std::free(current);
    }
    return LocalPath(QDir::cleanPath(bytesAsLatin1(path)).toLatin1());
}

QUrl LocalPath::toUrl() const
{
    if (isText())
        return QUrl::fromLocalFile(displayText());
    QUrl url;
    url.setScheme(QStringLiteral("file"));
    url.setPath(QString::fromLatin1(m_bytes.toPercentEncoding("/")), QUrl::TolerantMode);
    return url;
}

QString LocalPath::storedText() const
{
    return isText() ? displayText() : toUrl().toString(QUrl::FullyEncoded);
}
