#pragma once

#include "rom/ROM.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QMetaType>
#include <QString>

#include <memory>
#include <optional>

struct stat;

/// The five values that tell whether a file changed since it was read: a file whose stamp
/// is unchanged is not read again.
struct FileStamp
{
    qint64 size = -1;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    /// False when what was read under this stamp may not be what the file holds: it changed
    /// within a time step of the read (a rewrite then can keep all five values on a file system
    /// with coarse times), or the read failed in a way that may pass. Never equal to anything.
    bool trusted = true;

    static FileStamp fromStat(const struct stat &info);
    bool operator==(const FileStamp &) const = default;
    /// Whether the file is unchanged since \a other was taken: size, modification and change
    /// times. Device and inode do not decide: a drive plugged in again may get another device
    /// number, and FAT inode numbers do not survive a remount.
    bool sameFileAs(const FileStamp &other) const
    {
        return trusted && other.trusted && size == other.size && mtimeNs == other.mtimeNs && ctimeNs == other.ctimeNs;
    }
};

/// One file of the library: where it is, its stamp when read, and what the reader found,
/// held as plain values (thousands of them are loaded at every start).
struct LibraryRecord
{
    Q_DECLARE_TR_FUNCTIONS(LibraryRecord)

public:
    /// The path as the file system spells it (bytes, not necessarily UTF-8); for an image
    /// inside an archive, the archive's.
    QByteArray path;
    /// For an image inside an archive: its position among the archive's entries and its
    /// name; -1 and empty for a plain file and for an archive refused as a whole.
    qint32 entryIndex = -1;
    QString entry;
    FileStamp stamp;
    /// True when the reader gave a complete record; the header fields are set only then.
    bool valid = false;
    quint32 crc1 = 0;
    quint32 crc2 = 0;
    qint32 cic = 0;
    quint8 regionCode = 0;
    /// -1 when the reader did not get as far as the size.
    qint64 fileSize = -1;
    std::optional<ROM::Refusal> refusal;
    int refusalError = 0;
    /// Set while the folder holding the file cannot be reached (a drive unmounted): the row
    /// is kept, and shown as not available. Not stored in the cache.
    QByteArray unreachableFolder;

    QString name() const { return text(0); }
    QString gameCode() const { return text(1); }
    QString md5() const { return text(2); }
    QString byteOrder() const { return text(3); }

    static LibraryRecord fromROM(const QByteArray &path, const FileStamp &stamp, const ROM &rom);
    /// The same record for the same file found under another name (renamed or moved).
    LibraryRecord movedTo(const QByteArray &newPath, const FileStamp &newStamp) const;
    /// A ROM record with the same fields, as the reader would have made it.
    std::shared_ptr<ROM> toROM() const;
    /// The path for people (bytes that are not UTF-8 show as U+FFFD); open with \c path.
    QString filePath() const;
    /// The file's name, and for an archive entry "Game.zip ▸ Game (E).z64".
    QString fileName() const;
    QString refusalReason() const;
    /// "North America" for 'E' and so on, as the list and tolvane-rominfo show it; an
    /// unknown letter as itself, none (0) as empty. Untranslated for tolvane-rominfo's JSON.
    static QString regionName(quint8 code, bool translated = true);

    /// What tells this row from every other in the library and its cache: the path, and for
    /// an archive entry the path, the entry's index and its name after zero bytes (a path
    /// has none, so a key sorts with its archive's path and never clashes with another path).
    QByteArray key() const;
    /// Sets path, entryIndex and entry from a key; false for bytes no key has.
    bool setKey(const QByteArray &key);

    /// Compact bytes for the cache, and back; decode() is false for bytes it cannot take.
    QByteArray encode() const { return m_encoded; }
    bool decode(const QByteArray &bytes);

private:
    QString text(int index) const;
    QByteArray encodeWith(const QList<QString> &texts) const;

    // The record as stored: the texts are taken from it only when shown, so that loading
    // thousands of records makes no strings at all.
    QByteArray m_encoded;
};

Q_DECLARE_METATYPE(LibraryRecord)
