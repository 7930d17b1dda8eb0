#pragma once

#include "dat/DatFile.h"
#include "dat/DatStatus.h"

#include <QHash>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

/// The player's DAT files as one lookup: by the MD5 of the normalised image (the form in which
/// a DAT of Nintendo 64 games lists it, so any byte order of a file matches), and, for a file
/// that differs, by its name or its header's game code together with its size. Built once per
/// change of the DAT files; a lookup reads no image.
class DatIndex
{
public:
    /// Adds a DAT's entries after those added before; an MD5 listed twice keeps its first entry.
    void add(const std::shared_ptr<const DatFile> &dat, const QString &path);
    bool isEmpty() const { return m_dats.empty(); }

    /// The status of an image: \a md5 as 32 hexadecimal digits, \a size its length in bytes,
    /// \a fileName its file's (or archive entry's) name, \a gameCode its header's.
    DatStatus statusOf(const QString &md5, qint64 size, const QString &fileName, const QString &gameCode) const;

private:
    struct Ref
    {
        qint32 dat = -1;
        qint32 rom = -1;
    };
    using Key = std::pair<QString, qint64>;
    DatStatus statusOf(Ref ref, DatStatus::Kind kind) const;
    /// A name as entries and files are compared: without its extension, in lower case.
    static QString nameKey(const QString &fileName);

    std::vector<std::pair<std::shared_ptr<const DatFile>, QString>> m_dats;
    QHash<QByteArray, Ref> m_byMd5;
    QHash<Key, Ref> m_byName;
    QHash<Key, Ref> m_bySerial;
};
