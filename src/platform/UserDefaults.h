#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

/// The per-user key/value store of the Launcher's settings.
///
/// Reads return the user's own value, else the registered fallback, else nothing.
/// Registered fallbacks are never persisted. The file is the user's too: every write puts
/// only the keys the Launcher changed on top of what the file holds at that moment (an
/// atomic replace), and synchronize() takes in what was changed there by hand.
class UserDefaults : public QObject
{
    Q_OBJECT

public:
    /// What becomes of a settings file that cannot be read at start.
    enum class UnreadableFile {
        /// Kept beside the original under another name (see movedAsidePath()), and the store
        /// starts empty: for the windowed Launcher, which tells the player.
        MoveAside,
        /// Left as it is, and nothing is written: for a process that cannot tell the player.
        KeepInPlace,
    };

    /// A store persisted at \a filePath.
    explicit UserDefaults(const QString &filePath, UnreadableFile unreadable = UnreadableFile::MoveAside);
    ~UserDefaults() override;

    /// The store shared by the whole process, at
    /// $XDG_CONFIG_HOME/tolvane-launcher/settings.plist (default ~/.config/...).
    static UserDefaults &standardUserDefaults();
    /// Replaces the shared store; for tests that need a fresh store in one process.
    static void setStandardUserDefaults(std::unique_ptr<UserDefaults> defaults);
    /// How the shared store treats an unreadable file; only before its first use.
    static void setStandardUnreadableFile(UnreadableFile unreadable);
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

    /// Takes in what changed in the file since it was last read or written (merged key by
    /// key, see SettingsMerge), and writes changes that were held back while it could not be
    /// read. Cheap when the file is as we left it.
    void synchronize();

    QString filePath() const { return m_filePath; }
    /// Where an unreadable settings file was moved at start, or empty when none was.
    QString movedAsidePath() const { return m_movedAsidePath; }
    /// True while the file cannot be read: nothing is written until it can be again.
    bool isFileUnreadable() const;

Q_SIGNALS:
    /// The user's value of the top-level \a key changed (added, changed or removed), by a
    /// setValueForKey() here or by a change to the file taken in by synchronize(). Views that
    /// show a setting follow it here rather than being told by whoever changed it.
    void valueChanged(const QString &key);
    /// The file could no longer be read (a half-saved edit, say); sent once until it can be
    /// read again. Values stay as they were and nothing is written meanwhile.
    void fileBecameUnreadable(const QString &path);
    /// The file reads again after fileBecameUnreadable().
    void fileReadableAgain(const QString &path);
    /// A change could not be written to the file (a full disk, a read-only folder): \a error
    /// is the errno, \a reason its words. Sent once until a write succeeds again; the values
    /// stay in memory and every later change tries again.
    void fileNotWritten(const QString &path, int error, const QString &reason);

private:
    struct DiskState;
    /// What a merge or write found, told once the mutex is released.
    struct Outcome
    {
        QStringList changed;
        bool becameUnreadable = false;
        bool readableAgain = false;
        int writeError = 0;
        QString writeReason;
    };
    void load(UnreadableFile unreadable);
    std::optional<QVariantMap> readFile(DiskState &state) const;
    /// Merges the file into memory and writes held-back changes; the keys whose values the
    /// file changed are in the outcome. Called with the mutex held.
    Outcome mergeWithFile();
    void writeFile(Outcome &outcome);
    QVariant lookup(const QString &key) const;
    void notify(const Outcome &outcome);

    mutable QMutex m_mutex;
    QString m_filePath;
    QString m_movedAsidePath;
    QVariantMap m_userValues;
    QVariantMap m_registered;
    // What the file held when we last read or wrote it: the common base of a merge.
    QVariantMap m_base;
    std::unique_ptr<DiskState> m_disk;
    // Keys changed in memory and not yet written, with the time of the change.
    QHash<QString, QDateTime> m_changedAt;
    // The file cannot be read (or an unreadable one could not be moved aside at start).
    bool m_unreadable = false;
    // A failed write was told; said again only after a write has succeeded.
    bool m_toldNotWritten = false;
};
