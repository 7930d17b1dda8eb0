#pragma once

#include "rom/ROM.h"
#include "rom/RomArchive.h"
#include "rom/RomReadOptions.h"

#include <QString>
#include <QUrl>

#include <cstddef>
#include <memory>
#include <vector>

/// Where a ROM comes from, and the one place that tells a plain image file from an archive
/// and from one image entry inside an archive: the window, the library and tolvane-rominfo
/// all read through it. An archive is a .zip or .7z by its name, or by its first bytes when
/// it bears an image's name; an entry is an archive's URL with "INDEX:NAME" as its fragment
/// (RomArchive::entryUrl()).
///
/// Reading takes as long as the image is long: call the reading operations off the GUI
/// thread (RomSourceReader does).
class RomSource
{
public:
    enum class Kind { ImageFile, Archive, ArchiveEntry };

    explicit RomSource(const QUrl &url);

    /// Whether a file of this name is a ROM source at all: an image or an archive by its
    /// extension, in any letter case.
    static bool isSourceName(const char *name, std::size_t length);

    Kind kind() const { return m_kind; }
    /// The URL as given (an entry's with its fragment).
    const QUrl &url() const { return m_url; }
    /// The file itself: the archive's for an entry.
    QUrl fileUrl() const { return m_url.adjusted(QUrl::RemoveFragment); }
    /// For an entry: its position among the archive's entries, and its name.
    qint32 entryIndex() const { return m_entryIndex; }
    const QString &entryName() const { return m_entryName; }

    /// For an archive: its image entries from the headers alone (RomArchive::listImages()).
    RomArchive::Listing listImages(const RomReadOptions &options = {}) const;
    /// The source of one of this archive's entries.
    RomSource entry(const RomArchive::Entry &entry) const;

    /// The record of a file or an entry; for an archive, of its first image (ask the player
    /// first when listImages() offers several). Null only for an archive read cancelled.
    std::shared_ptr<ROM> read(const RomReadOptions &options = {}) const;
    /// Every record: one for a file or an entry, one per image entry for an archive (or one
    /// refused record for it), as the library lists them.
    std::vector<std::shared_ptr<ROM>> readAll(const RomReadOptions &options = {}) const;

private:
    RomSource asArchive() const;

    QUrl m_url;
    Kind m_kind = Kind::ImageFile;
    qint32 m_entryIndex = -1;
    QString m_entryName;
};
