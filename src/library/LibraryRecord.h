#pragma once

#include "rom/ROM.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

#include <memory>

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

    static FileStamp fromStat(const struct stat &info);
    bool operator==(const FileStamp &) const = default;
};

/// One file of the library: where it is, its stamp when read, and what the reader found.
struct LibraryRecord
{
    /// The path as the file system spells it (bytes, not necessarily UTF-8).
    QByteArray path;
    FileStamp stamp;
    std::shared_ptr<const ROM> rom;

    QString filePath() const;
};

/// A record of its own with the same fields, for a caller that keeps and may change it.
std::shared_ptr<ROM> copyOf(const ROM &rom);

Q_DECLARE_METATYPE(LibraryRecord)
