#include "platform/RecentDocuments.h"

#include "platform/LocalPath.h"
#include "platform/UserDefaults.h"

#include <QUrl>

namespace {
const QString recentDocumentsKey = QStringLiteral("RecentDocuments");
}

RecentDocuments::RecentDocuments(UserDefaults *defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
{
}

UserDefaults &RecentDocuments::defaults() const
{
    return m_defaults ? *m_defaults : UserDefaults::standardUserDefaults();
}

QStringList RecentDocuments::recentDocumentPaths() const
{
    QStringList paths;
    for (const QVariant &value : defaults().arrayForKey(recentDocumentsKey).value_or(QVariantList())) {
        const QString path = value.toString();
        if (!path.isEmpty() && !paths.contains(path))
            paths.append(path);
    }
    return paths.mid(0, maxCount());
}

void RecentDocuments::noteNewRecentDocumentURL(const QUrl &url)
{
    if (!url.isLocalFile())
        return;
    // A URL with a fragment names a part of the file (an archive's entry): kept whole. A
    // path that is not UTF-8 is kept as its percent-encoded URL: the settings hold text.
    const QString path = url.hasFragment() ? url.toString(QUrl::FullyEncoded) : LocalPath::fromUrl(url).storedText();
    QStringList paths = recentDocumentPaths();
    paths.removeAll(path);
    paths.prepend(path);
    QVariantList stored;
    for (const QString &kept : paths.mid(0, maxCount()))
        stored.append(kept);
    defaults().setValueForKey(recentDocumentsKey, stored);
    Q_EMIT recentDocumentsChanged();
}

void RecentDocuments::clearRecentDocuments()
{
    defaults().setValueForKey(recentDocumentsKey, QVariant());
    Q_EMIT recentDocumentsChanged();
}
