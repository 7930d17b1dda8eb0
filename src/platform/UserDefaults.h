#pragma once

#include <QMutex>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

/// The per-user key/value store of the Launcher's settings.
///
/// Reads return the user's own value, else the registered fallback, else nothing.
/// Every write replaces the user's value at once and persists all user values as an
/// XML property list, atomically; registered fallbacks are never persisted.
class UserDefaults
{
public:
    /// A store persisted at \a filePath. A file there that cannot be parsed is
    /// moved aside (see movedAsidePath()) and the store starts empty.
    explicit UserDefaults(const QString &filePath);

    /// The store shared by the whole process, at
    /// $XDG_CONFIG_HOME/tolvane-launcher/settings.plist (default ~/.config/...).
    static UserDefaults &standardUserDefaults();
    /// Replaces the shared store; for tests that need a fresh store in one process.
    static void setStandardUserDefaults(std::unique_ptr<UserDefaults> defaults);
    static QString defaultFilePath();

    /// Each key becomes a fallback for as long as the user has no value of their own.
    void registerDefaults(const QVariantMap &defaults);

    QVariant valueForKey(const QString &key) const;
    /// False when there is no value.
    bool boolForKey(const QString &key) const;
    /// Nothing when the key is absent or holds something other than a list.
    std::optional<QVariantList> arrayForKey(const QString &key) const;
    /// Nothing when the key is absent or holds something other than a map.
    std::optional<QVariantMap> dictionaryForKey(const QString &key) const;

    /// Stores \a value as the user's own; an invalid QVariant removes the user's value.
    void setValueForKey(const QString &key, const QVariant &value);

    QString filePath() const { return m_filePath; }
    /// Where an unreadable settings file was moved, or empty when none was.
    QString movedAsidePath() const { return m_movedAsidePath; }

private:
    void load();
    void save() const;
    QVariant lookup(const QString &key) const;

    mutable QMutex m_mutex;
    QString m_filePath;
    QString m_movedAsidePath;
    // False when an unreadable file could not be moved aside: we must not overwrite it.
    bool m_persistent = true;
    QVariantMap m_userValues;
    QVariantMap m_registered;
};
