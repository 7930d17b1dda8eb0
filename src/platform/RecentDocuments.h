#pragma once

#include <QObject>
#include <QStringList>

class QUrl;
class UserDefaults;

/// The list of recently opened files, newest first, at most maxCount() entries, kept in
/// the settings store under "RecentDocuments" so it survives a restart.
class RecentDocuments : public QObject
{
    Q_OBJECT

public:
    /// Uses \a defaults, or the shared settings store when null.
    explicit RecentDocuments(UserDefaults *defaults = nullptr, QObject *parent = nullptr);

    static int maxCount() { return 10; }

    /// Moves the file to the front of the list (adding it if new); non-file URLs are ignored.
    void noteNewRecentDocumentURL(const QUrl &url);
    /// Local paths, newest first; an archive's entry, or a path that is not UTF-8, as a
    /// file URL (LocalPath::fromStoredText()).
    QStringList recentDocumentPaths() const;
    void clearRecentDocuments();

Q_SIGNALS:
    /// Emitted whenever the list changed.
    void recentDocumentsChanged();

private:
    UserDefaults &defaults() const;

    UserDefaults *m_defaults;
};
