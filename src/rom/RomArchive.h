#pragma once

#include "platform/LocalPath.h"
#include "rom/ROM.h"
#include "rom/RomReadOptions.h"

#include <QCoreApplication>
#include <QString>
#include <QUrl>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

/// Reads the ROM images inside .zip and .7z archives with libarchive, entry by entry, each
/// decompressed as a stream straight into the reader's normalisation and digest: nothing is
/// unpacked to disk. An image entry is one whose name ends in .z64, .v64 or .n64 in any
/// letter case or, in an archive with no such name, one whose first four bytes are an image
/// signature. Symlinks, devices and folders inside are ignored; archives inside archives are
/// not followed.
class RomArchive
{
    Q_DECLARE_TR_FUNCTIONS(RomArchive)

public:
    /// Headers looked at, and image entries taken, before an archive is refused as too many.
    static constexpr int maximumEntries = 50000;
    static constexpr int maximumImages = 1000;
    /// The largest cartridge: an entry declared or found longer is refused.
    static constexpr qint64 maximumEntrySize = qint64(64) << 20;
    /// How many times its own length an archive may unpack, on top of the allowance.
    static constexpr qint64 inflateRatio = 64;

    /// Once cancel is set, reading stops soon and readImages() and listImages() return nothing.
    using Options = RomReadOptions;

    /// An image entry as the archive's headers give it.
    struct Entry
    {
        qint32 index = -1;
        QString name;
        /// The length its header declares; -1 when it declares none.
        qint64 size = -1;
    };
    /// An archive's image entries, or why it has none to offer.
    struct Listing
    {
        std::vector<Entry> entries;
        /// Set when the archive as a whole is refused (entries is then empty).
        std::shared_ptr<ROM> refused;
    };

    /// Whether the name ends in .zip or .7z, in any letter case.
    static bool hasArchiveExtension(const char *name, std::size_t length);
    /// Whether the name ends in .z64, .v64 or .n64, in any letter case.
    static bool hasImageExtension(const QByteArray &name);

    /// An entry's URL: the archive's, with "INDEX:NAME" as its fragment (a file's URL has
    /// none), so that it goes wherever a URL goes: Open Recent, hand-over, the library.
    static QUrl entryUrl(const QUrl &archive, qint32 index, const QString &entry);
    /// How an entry is named wherever it is shown or stored: "Game.zip ▸ Game (E).z64".
    static QString entryDisplayName(const QString &archive, const QString &entry);
    /// The entry such a URL names; false for a URL without one.
    static bool entryOfUrl(const QUrl &url, qint32 *index, QString *entry);

    /// One record per image entry, in the archive's order, each with filePath (the archive),
    /// archiveEntry and archiveIndex set. An archive that cannot be read at all, or holds no
    /// image, gives one refused record without an entry.
    static std::vector<std::shared_ptr<ROM>> readImages(const QUrl &url, const Options &options = {});
    /// The image entries, in the archive's order, from the headers alone: no image is
    /// decompressed, so a long archive lists at once and damage in its data shows only when
    /// an entry is read. Only an archive with no image name at all has the first four bytes
    /// of its entries read, to find the image signature. Refusals as readImages().
    static Listing listImages(const QUrl &url, const Options &options = {});
    /// The record of the entry at \a index named \a entry, or a refused record (EntryMissing
    /// when the archive no longer holds it there).
    static std::shared_ptr<ROM> readImage(const QUrl &url, qint32 index, const QString &entry,
                                          const Options &options = {});

    /// Receives the entry's bytes as stored, with the length its header declares (-1 when it
    /// declares none); returns false to stop.
    using Sink = std::function<bool(const char *data, std::size_t length, qint64 declaredSize)>;
    /// Streams the entry at \a index named \a entry into \a sink. Nothing when all of it went
    /// through; else why not (ReadFailed with ECANCELED when \a sink stopped it).
    static std::optional<ROM::Refusal> extract(const LocalPath &archivePath, qint32 index,
                                               const QString &entry, const Sink &sink,
                                               const Options &options = {});
};
