#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

/// Replaces a file we keep (the settings, InputAutoCfg.ini, covers, thumbnails) whole or not
/// at all. The new contents go to a temporary file beside the target; every write, the sync
/// and the close are checked, and only then is it renamed over the target. On any failure the
/// temporary file is removed, the old file stays as it was, and the reason can be told.
class FileReplacer
{
    Q_DECLARE_TR_FUNCTIONS(FileReplacer)

public:
    enum class Durability {
        /// The player's own files: synced to the disk before they take the old one's place.
        Synced,
        /// Files that can be made again (thumbnails): not worth waiting for the disk.
        Cache,
    };

    explicit FileReplacer(const QString &path, Durability durability = Durability::Synced);

    /// Replaces the file with \a contents; false when it could not be, the old file then
    /// being untouched. A link is followed: the file it names is replaced.
    bool replace(const QByteArray &contents);

    /// The errno of the last failure, 0 after a success.
    int error() const { return m_error; }
    /// True when the last failure was for want of space (a full disk or quota).
    bool diskFull() const;
    /// Why the last replace failed, as words that fit after "because": "the disk is full".
    QString reason() const;

private:
    bool fail(int error);

    QString m_path;
    Durability m_durability;
    int m_error = 0;
};
