#pragma once

#include "platform/LocalPath.h"

#include <QCoreApplication>
#include <QHash>
#include <QString>

#include <mutex>

/// Finds the player's own picture for a game, without looking inside any picture. In the
/// covers folder: a picture whose base name is the game's MD5, else its game code, else its
/// internal name, else the ROM's file name without extension. Beside the ROM: a picture of
/// the ROM's base name, or "cover.png"/"cover.jpg" when the ROM is the only one in its
/// folder. Names compare in any letter case; of several formats PNG wins, then JPEG, then WebP.
///
/// Folder listings are kept, so that thousands of look-ups read each folder once; safe to
/// use from several threads.
class CoverFinder
{
    Q_DECLARE_TR_FUNCTIONS(CoverFinder)

public:
    /// What a game is known by.
    struct Game
    {
        QString md5;
        QString gameCode;
        QString name;
        /// The ROM's path, as the file system spells it.
        LocalPath file;
    };

    explicit CoverFinder(const QString &coversFolder = QString());

    /// The picture's path, or empty when the game has none.
    LocalPath find(const Game &game) const;
    /// Lists \a path afresh at its next look-up: pictures there were added, changed or removed.
    void forgetFolder(const QByteArray &path);
    QByteArray coversFolder() const { return m_coversFolder; }

    /// Copies \a picture into \a coversFolder as the cover of the game with this MD5, in
    /// place of the cover it had there in any format. The error text, empty on success.
    static QString install(const QString &picture, const QString &coversFolder, const QString &md5);
    /// The file name suffixes of pictures that can be read here, most preferred first.
    static QStringList pictureSuffixes();

private:
    struct Folder
    {
        // Lower-case base name (see nameKey()) to the best picture of that name.
        QHash<QByteArray, LocalPath> pictures;
        int roms = 0;
    };
    // A copy (shared data): a listing may be forgotten on another thread meanwhile.
    Folder folder(const QByteArray &path) const;

    QByteArray m_coversFolder;
    mutable std::mutex m_mutex;
    mutable QHash<QByteArray, Folder> m_folders;
};
