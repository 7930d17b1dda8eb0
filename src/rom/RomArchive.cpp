#include "rom/RomArchive.h"

#include "platform/LocalPath.h"
#include "rom/ImageDigest.h"
#include "rom/LibArchive.h"
#include "rom/RomArchiveCursor.h"

#include <QStringDecoder>


#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Entries come from an open RomArchiveCursor, which has loaded libarchive.
const LibArchive &library()
{
    return *LibArchive::load();
}

bool endsWithFold(const char *name, std::size_t length, const char *suffix)
{
    const std::size_t suffixLength = std::strlen(suffix);
    return length >= suffixLength && ::strncasecmp(name + length - suffixLength, suffix, suffixLength) == 0;
}

struct EntryName
{
    QByteArray bytes;
    QString text; // for showing; lossy where the bytes are not UTF-8
    bool safe = false;
};

// The upper half of code page 437, in which zip archivers wrote names before the UTF-8 flag.
constexpr char16_t kCodePage437[] =
    u"ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥₧ƒáíóúñÑªº¿⌐¬½¼¡«»░▒▓│┤╡╢╖╕╣║╗╝╜╛┐└┴┬├─┼╞╟╚╔╩╦╠═╬╧"
    u"╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀αßΓπΣσµτΦΘΩδ∞φε∩≡±≥≤⌠⌡÷≈°∙·√ⁿ²■\u00A0";
static_assert(std::size(kCodePage437) == 129);

QString fromCodePage437(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes)
        text.append(quint8(c) < 0x80 ? QChar(char16_t(quint8(c))) : QChar(kCodePage437[quint8(c) - 0x80]));
    return text;
}

EntryName entryName(archive_entry *entry)
{
    EntryName name;
    // The UTF-8 form is absent when the stored name does not convert: a name from before the
    // UTF-8 flag, in code page 437 (every byte is a character there).
    const char *utf8 = library().archive_entry_pathname_utf8(entry);
    const char *raw = utf8 ? utf8 : library().archive_entry_pathname(entry);
    name.bytes = QByteArray(raw ? raw : "");
    QStringDecoder decoder(QStringDecoder::Utf8);
    name.text = decoder.decode(name.bytes);
    if (!utf8 || decoder.hasError())
        name.text = fromCodePage437(name.bytes);
    name.safe = !name.text.isEmpty() && !name.text.startsWith(QLatin1Char('/'));
    for (const QChar c : std::as_const(name.text)) {
        if (c.category() == QChar::Other_Control)
            name.safe = false;
    }
    // A ".." part would leave the folder, whichever separator the archiver used.
    const QStringList parts = QString(name.text).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    if (parts.contains(QStringLiteral("..")))
        name.safe = false;
    if (!name.safe) {
        for (QChar &c : name.text) {
            if (c.category() == QChar::Other_Control)
                c = QChar::ReplacementCharacter;
        }
    }
    return name;
}

// The first length refused: the largest cartridge's, or less where the caller asks for less.
qint64 entryLimit(const RomArchive::Options &options)
{
    return std::min(options.limit, RomArchive::maximumEntrySize + 1);
}

// The length the entry's header declares; -1 when it declares none.
qint64 declaredSize(archive_entry *entry)
{
    return library().archive_entry_size_is_set(entry) ? qint64(library().archive_entry_size(entry)) : -1;
}

// A nameless entry that may still be an image, told by its first four bytes.
bool isSignatureCandidate(archive_entry *entry, const EntryName &name)
{
    return name.safe && !library().archive_entry_is_encrypted(entry);
}

// Failures that refuse the archive as a whole, whatever was read before them.
bool refusesWhole(ROM::Refusal failure)
{
    return failure == ROM::Refusal::TooManyEntries || failure == ROM::Refusal::ArchiveTooCostly;
}

enum class Digested { Whole, NotAnImage, Damaged, Cancelled };

// Streams the current entry into \a digest; with \a signatureFirst, gives up after the first
// four bytes unless they are an image signature.
Digested digestEntry(RomArchiveCursor &archive, ImageDigest &digest, bool signatureFirst, qint64 declaredSize,
                     const RomArchive::Options &options)
{
    for (bool first = true;; first = false) {
        if (options.cancelled())
            return Digested::Cancelled;
        std::size_t available = 0;
        unsigned char *space = digest.space(&available);
        if (first && signatureFirst)
            available = 4;
        // One byte past the declared length is enough to know the header lied.
        if (declaredSize >= 0)
            available = std::size_t(std::min<qint64>(qint64(available), declaredSize + 1 - digest.total()));
        // Any negative result is a refusal: ARCHIVE_WARN is how a bad checksum or a wrong
        // size is told.
        const la_ssize_t length = archive.read(space, available);
        if (length < 0 || (declaredSize >= 0 && digest.total() + length > declaredSize))
            return Digested::Damaged;
        if (length == 0 || !digest.commit(std::size_t(length)))
            return Digested::Whole;
        if (options.progress)
            options.progress(digest.total(), declaredSize);
        if (first && signatureFirst && !digest.startsWithImageSignature())
            return Digested::NotAnImage;
    }
}

std::shared_ptr<ROM> entryRecord(const QUrl &url, int index, const EntryName &name)
{
    auto rom = std::make_shared<ROM>();
    rom->setFilePath(url);
    rom->setArchiveEntry(name.text);
    rom->setArchiveIndex(index);
    return rom;
}

// Reads the current entry into \a rom; \a isImage false when it was no image after all.
void readEntryInto(RomArchiveCursor &archive, archive_entry *entry, const EntryName &name, ROM &rom,
                   bool signatureFirst, const RomArchive::Options &options, bool *isImage)
{
    *isImage = true;
    if (!name.safe) {
        rom.setRefusal(ROM::Refusal::UnsafeEntryName);
        return;
    }
    if (library().archive_entry_is_encrypted(entry)) {
        rom.setRefusal(ROM::Refusal::EntryEncrypted);
        return;
    }
    // No need to decompress what the header already puts past the limit.
    const qint64 limit = entryLimit(options);
    const qint64 declared = declaredSize(entry);
    if (declared >= limit) {
        rom.setFileSize(declared);
        rom.setRefusal(ROM::Refusal::EntryTooLarge);
        return;
    }
    ImageDigest digest(limit);
    switch (digestEntry(archive, digest, signatureFirst, declared, options)) {
    case Digested::Whole:
        if (digest.total() >= limit)
            rom.setRefusal(ROM::Refusal::EntryTooLarge);
        else
            digest.finish(rom);
        // Archives inside archives are not followed, whatever their name.
        *isImage = rom.refusal() != ROM::Refusal::IsArchive;
        return;
    case Digested::NotAnImage:
    case Digested::Cancelled:
        *isImage = false;
        return;
    case Digested::Damaged:
        // A nameless entry counts only once it showed an image signature.
        if (signatureFirst && !digest.startsWithImageSignature()) {
            *isImage = false;
            return;
        }
        // Whether the archive can be read on, the next header tells. Its length is unknown: the
        // header's is what failed to match.
        rom.setRefusal(archive.failure() == ROM::Refusal::ArchiveTooCostly ? ROM::Refusal::ArchiveTooCostly
                                                                          : ROM::Refusal::EntryDamaged);
        return;
    }
}

} // namespace

bool RomArchive::hasArchiveExtension(const char *name, std::size_t length)
{
    return endsWithFold(name, length, ".zip") || endsWithFold(name, length, ".7z");
}

bool RomArchive::hasImageExtension(const QByteArray &name)
{
    const auto length = std::size_t(name.size());
    return endsWithFold(name.constData(), length, ".z64") || endsWithFold(name.constData(), length, ".v64")
        || endsWithFold(name.constData(), length, ".n64");
}

QString RomArchive::entryDisplayName(const QString &archive, const QString &entry)
{
    return archive + QStringLiteral(" \u25b8 ") + entry;
}

QUrl RomArchive::entryUrl(const QUrl &archive, qint32 index, const QString &entry)
{
    QUrl url = archive;
    url.setFragment(QString::number(index) + QLatin1Char(':') + entry, QUrl::DecodedMode);
    return url;
}

bool RomArchive::entryOfUrl(const QUrl &url, qint32 *index, QString *entry)
{
    const QString fragment = url.fragment(QUrl::FullyDecoded);
    const qsizetype colon = fragment.indexOf(QLatin1Char(':'));
    bool ok = false;
    const int number = colon > 0 ? fragment.left(colon).toInt(&ok) : -1;
    if (!url.isLocalFile() || !ok || number < 0)
        return false;
    *index = number;
    *entry = fragment.mid(colon + 1);
    return true;
}

std::vector<std::shared_ptr<ROM>> RomArchive::readImages(const QUrl &url, const Options &options)
{
    RomArchiveCursor archive;
    if (std::shared_ptr<ROM> failed = archive.open(url, options))
        return {failed};
    archive.drainPassedEntries(options);

    std::vector<std::shared_ptr<ROM>> named;
    std::vector<std::shared_ptr<ROM>> bySignature;
    while (archive_entry *entry = archive.next()) {
        if (options.cancelled())
            return {};
        if (library().archive_entry_filetype(entry) != AE_IFREG)
            continue;
        const EntryName name = entryName(entry);
        const bool isNamed = hasImageExtension(name.bytes);
        // Past the first named image, nameless ones no longer count: save decompressing them.
        if (!isNamed && (!named.empty() || !isSignatureCandidate(entry, name)))
            continue;
        if (named.size() + bySignature.size() >= std::size_t(maximumImages)) {
            archive.fail(ROM::Refusal::TooManyEntries);
            break;
        }
        std::shared_ptr<ROM> rom = entryRecord(url, archive.index(), name);
        bool isImage = false;
        readEntryInto(archive, entry, name, *rom, !isNamed, options, &isImage);
        if (options.cancelled())
            return {};
        if (isImage)
            (isNamed ? named : bySignature).push_back(std::move(rom));
    }
    std::vector<std::shared_ptr<ROM>> images = named.empty() ? std::move(bySignature) : std::move(named);
    // A damaged archive keeps the images read before the damage, but says so when it had none.
    if (const std::optional<ROM::Refusal> failure = archive.failure(); failure && (images.empty() || refusesWhole(*failure)))
        return {archive.refused(url, *failure)};
    if (images.empty())
        return {archive.refused(url, ROM::Refusal::NoImageInArchive)};
    return images;
}

namespace {

// Which of \a candidates (nameless entries, in order) start with an image signature: their
// first four bytes only, read in a second walk.
std::vector<RomArchive::Entry> withImageSignature(const QUrl &url, const std::vector<RomArchive::Entry> &candidates,
                                                  const RomArchive::Options &options)
{
    std::vector<RomArchive::Entry> images;
    RomArchiveCursor archive;
    if (archive.open(url, options))
        return images;
    archive.drainPassedEntries(options);
    auto candidate = candidates.begin();
    while (archive.next()) {
        if (candidate == candidates.end() || options.cancelled())
            break;
        if (archive.index() != candidate->index)
            continue;
        ++candidate;
        unsigned char first[4];
        if (archive.read(first, 4) == 4 && ImageDigest::isImageSignature(first))
            images.push_back(candidate[-1]);
        if (images.size() > std::size_t(RomArchive::maximumImages))
            break;
    }
    return images;
}

} // namespace

RomArchive::Listing RomArchive::listImages(const QUrl &url, const Options &options)
{
    Listing listing;
    RomArchiveCursor archive;
    if (std::shared_ptr<ROM> failed = archive.open(url, options)) {
        listing.refused = failed;
        return listing;
    }
    std::vector<Entry> nameless;
    while (archive_entry *entry = archive.next()) {
        if (options.cancelled())
            return {};
        if (library().archive_entry_filetype(entry) != AE_IFREG)
            continue;
        const EntryName name = entryName(entry);
        const Entry item{archive.index(), name.text,
                         library().archive_entry_size_is_set(entry) ? qint64(library().archive_entry_size(entry)) : -1};
        if (hasImageExtension(name.bytes)) {
            if (listing.entries.size() >= std::size_t(maximumImages)) {
                archive.fail(ROM::Refusal::TooManyEntries);
                break;
            }
            listing.entries.push_back(item);
        } else if (listing.entries.empty() && isSignatureCandidate(entry, name)) {
            nameless.push_back(item);
        }
    }
    const std::optional<ROM::Refusal> failure = archive.failure();
    if (listing.entries.empty() && !nameless.empty() && !failure) {
        listing.entries = withImageSignature(url, nameless, options);
        if (options.cancelled())
            return {};
        if (listing.entries.size() > std::size_t(maximumImages)) {
            listing.entries.clear();
            listing.refused = archive.refused(url, ROM::Refusal::TooManyEntries);
            return listing;
        }
    }
    // A damaged archive keeps the images listed before the damage, but says so when it had none.
    if (failure && (listing.entries.empty() || refusesWhole(*failure))) {
        listing.entries.clear();
        listing.refused = archive.refused(url, *failure);
    } else if (listing.entries.empty()) {
        listing.refused = archive.refused(url, ROM::Refusal::NoImageInArchive);
    }
    return listing;
}

namespace {

// Walks to the entry at \a index and checks that it still has the name \a entry.
archive_entry *findEntry(RomArchiveCursor &archive, qint32 index, const QString &entry)
{
    while (archive_entry *found = archive.next()) {
        if (archive.index() < index)
            continue;
        if (archive.index() == index && library().archive_entry_filetype(found) == AE_IFREG
            && entryName(found).text == entry)
            return found;
        break;
    }
    return nullptr;
}

} // namespace

std::shared_ptr<ROM> RomArchive::readImage(const QUrl &url, qint32 index, const QString &entry,
                                          const Options &options)
{
    RomArchiveCursor archive;
    if (std::shared_ptr<ROM> failed = archive.open(url, options))
        return failed;
    archive.drainPassedEntries(options);
    archive_entry *found = findEntry(archive, index, entry);
    EntryName name;
    name.text = entry;
    std::shared_ptr<ROM> rom = entryRecord(url, index, name);
    if (!found && options.cancelled())
        rom->setRefusal(ROM::Refusal::ReadFailed, ECANCELED);
    else if (!found)
        rom->setRefusal(archive.failure().value_or(ROM::Refusal::EntryMissing));
    if (!found)
        return rom;
    name = entryName(found);
    bool isImage = false;
    readEntryInto(archive, found, name, *rom, false, options, &isImage);
    return rom;
}

std::optional<ROM::Refusal> RomArchive::extract(const LocalPath &archivePath, qint32 index,
                                                const QString &entry, const Sink &sink,
                                                const Options &options)
{
    RomArchiveCursor archive;
    if (std::shared_ptr<ROM> failed = archive.open(archivePath.toUrl(), options))
        return failed->refusal().value_or(ROM::Refusal::ArchiveDamaged);
    archive.drainPassedEntries(options);
    archive_entry *found = findEntry(archive, index, entry);
    if (!found && options.cancelled())
        return ROM::Refusal::ReadFailed;
    if (!found)
        return archive.failure().value_or(ROM::Refusal::EntryMissing);
    if (!entryName(found).safe)
        return ROM::Refusal::UnsafeEntryName;
    if (library().archive_entry_is_encrypted(found))
        return ROM::Refusal::EntryEncrypted;
    const qint64 declared = declaredSize(found);
    const qint64 limit = entryLimit(options);
    if (declared >= limit)
        return ROM::Refusal::EntryTooLarge;
    std::vector<char> buffer(1 << 20);
    qint64 total = 0;
    for (;;) {
        if (options.cancelled())
            return ROM::Refusal::ReadFailed;
        // One byte past the declared length is enough to know the header lied.
        const std::size_t wanted = declared < 0 ? buffer.size()
                                                : std::size_t(std::min<qint64>(qint64(buffer.size()), declared + 1 - total));
        const la_ssize_t length = archive.read(buffer.data(), wanted);
        if (length < 0)
            return archive.failure().value_or(ROM::Refusal::EntryDamaged);
        if (length == 0)
            return std::nullopt;
        total += length;
        if (declared >= 0 && total > declared)
            return ROM::Refusal::EntryDamaged;
        if (total >= limit)
            return ROM::Refusal::EntryTooLarge;
        if (!sink(buffer.data(), std::size_t(length), declared))
            return ROM::Refusal::ReadFailed;
    }
}
