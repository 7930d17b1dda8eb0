#include "rom/RomArchive.h"

#include "platform/LocalPath.h"
#include "rom/ImageDigest.h"

#include <QStringDecoder>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool endsWithFold(const char *name, std::size_t length, const char *suffix)
{
    const std::size_t suffixLength = std::strlen(suffix);
    return length >= suffixLength && ::strncasecmp(name + length - suffixLength, suffix, suffixLength) == 0;
}

// An archive opened for reading, zip and 7z only, over a file descriptor of ours so that
// the type check and the read see the same file.
class OpenArchive
{
public:
    ~OpenArchive()
    {
        if (m_archive)
            archive_read_free(m_archive);
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // Nothing when open; else a record that says why not.
    std::shared_ptr<ROM> open(const QUrl &url)
    {
        if (!url.isLocalFile())
            return ROM::romFromURL(url);
        const QByteArray path = LocalPath::fromUrl(url).bytes();
        // Anything but a regular file gets the plain reader's refusal, which opens nothing.
        struct stat info;
        if (::stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            return ROM::romFromURL(url);
        m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (m_fd < 0 || ::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
            return ROM::romFromURL(url);
        m_fileSize = qint64(info.st_size);
        m_archive = archive_read_new();
        if (!m_archive) {
            auto rom = refused(url, ROM::Refusal::ReadFailed);
            rom->setRefusal(ROM::Refusal::ReadFailed, ENOMEM);
            return rom;
        }
        archive_read_support_format_zip(m_archive);
        archive_read_support_format_7zip(m_archive);
        if (archive_read_open_fd(m_archive, m_fd, 256 * 1024) != ARCHIVE_OK)
            return refused(url, ROM::Refusal::ArchiveDamaged);
        return nullptr;
    }

    std::shared_ptr<ROM> refused(const QUrl &url, ROM::Refusal refusal) const
    {
        auto rom = std::make_shared<ROM>();
        rom->setFilePath(url);
        if (m_fileSize >= 0)
            rom->setFileSize(m_fileSize);
        rom->setRefusal(refusal);
        return rom;
    }

    // libarchive 3.6 loses its place in a solid .7z when an entry it skipped unread is
    // followed by one that is read ("Truncated 7-Zip file body"). Where a later entry's data
    // is wanted, each 7z entry passed over is drained instead, which a cancel can also stop.
    void drainPassedEntries(const RomArchive::Options &options) { m_drain = &options; }

    // The next header; null at the end or when the archive cannot be read on (see failure()).
    archive_entry *next()
    {
        if (m_failure)
            return nullptr;
        if (m_drain && m_index >= 0 && archive_format(m_archive) == ARCHIVE_FORMAT_7ZIP) {
            m_scratch.resize(256 * 1024);
            while (!m_drain->cancelled() && archive_read_data(m_archive, m_scratch.data(), m_scratch.size()) > 0) {
            }
            if (m_drain->cancelled())
                return nullptr;
        }
        for (;;) {
            archive_entry *entry = nullptr;
            const int result = archive_read_next_header(m_archive, &entry);
            if (result == ARCHIVE_EOF)
                return nullptr;
            ++m_index;
            if (m_index >= RomArchive::maximumEntries) {
                m_failure = ROM::Refusal::TooManyEntries;
                return nullptr;
            }
            // ARCHIVE_WARN is a header with a name that could not be converted: still an entry.
            if (result == ARCHIVE_OK || result == ARCHIVE_WARN)
                return entry;
            if (result == ARCHIVE_FATAL) {
                // A .7z whose headers are encrypted fails at its first header.
                m_failure = archive_read_has_encrypted_entries(m_archive) > 0
                    ? ROM::Refusal::ArchiveEncrypted
                    : ROM::Refusal::ArchiveDamaged;
                return nullptr;
            }
            // ARCHIVE_FAILED or RETRY: this entry cannot be read, the next one may.
        }
    }

    archive *handle() const { return m_archive; }
    int index() const { return m_index; }
    std::optional<ROM::Refusal> failure() const { return m_failure; }
    void fail(ROM::Refusal refusal) { m_failure = refusal; }

private:
    int m_fd = -1;
    qint64 m_fileSize = -1;
    archive *m_archive = nullptr;
    int m_index = -1;
    std::optional<ROM::Refusal> m_failure;
    const RomArchive::Options *m_drain = nullptr;
    std::vector<char> m_scratch;
};

struct EntryName
{
    QByteArray bytes;
    QString text; // for showing; lossy where the bytes are not UTF-8
    bool safe = false;
};

EntryName entryName(archive_entry *entry)
{
    EntryName name;
    // The UTF-8 form is absent when the stored name does not convert: not UTF-8.
    const char *utf8 = archive_entry_pathname_utf8(entry);
    const char *raw = utf8 ? utf8 : archive_entry_pathname(entry);
    name.bytes = QByteArray(raw ? raw : "");
    QStringDecoder decoder(QStringDecoder::Utf8);
    name.text = decoder.decode(name.bytes);
    name.safe = utf8 && !decoder.hasError() && !name.text.isEmpty()
        && !name.text.startsWith(QLatin1Char('/'));
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

// A nameless entry that may still be an image, told by its first four bytes.
bool isSignatureCandidate(archive_entry *entry, const EntryName &name)
{
    return name.safe && !archive_entry_is_encrypted(entry);
}

enum class Digested { Whole, NotAnImage, Damaged, Cancelled };

// Streams the current entry into \a digest; with \a signatureFirst, gives up after the first
// four bytes unless they are an image signature.
Digested digestEntry(archive *handle, ImageDigest &digest, bool signatureFirst, qint64 declaredSize,
                     const RomArchive::Options &options)
{
    for (bool first = true;; first = false) {
        if (options.cancelled())
            return Digested::Cancelled;
        std::size_t available = 0;
        unsigned char *space = digest.space(&available);
        if (first && signatureFirst)
            available = 4;
        // Any negative result is a refusal: ARCHIVE_WARN is how a bad checksum or a wrong
        // size is told.
        const la_ssize_t length = archive_read_data(handle, space, available);
        if (length < 0)
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
void readEntryInto(OpenArchive &archive, archive_entry *entry, const EntryName &name, ROM &rom,
                   bool signatureFirst, const RomArchive::Options &options, bool *isImage)
{
    *isImage = true;
    if (!name.safe) {
        rom.setRefusal(ROM::Refusal::UnsafeEntryName);
        return;
    }
    if (archive_entry_is_encrypted(entry)) {
        rom.setRefusal(ROM::Refusal::EntryEncrypted);
        return;
    }
    // No need to decompress what the header already puts past the limit.
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) >= options.limit) {
        rom.setFileSize(archive_entry_size(entry));
        rom.setRefusal(ROM::Refusal::TooLong);
        return;
    }
    ImageDigest digest(options.limit);
    const qint64 declared = archive_entry_size_is_set(entry) ? qint64(archive_entry_size(entry)) : -1;
    switch (digestEntry(archive.handle(), digest, signatureFirst, declared, options)) {
    case Digested::Whole:
        digest.finish(rom);
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
        // Whether the archive can be read on, the next header tells.
        rom.setFileSize(digest.total());
        rom.setRefusal(ROM::Refusal::EntryDamaged);
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
    OpenArchive archive;
    if (std::shared_ptr<ROM> failed = archive.open(url))
        return {failed};
    archive.drainPassedEntries(options);

    std::vector<std::shared_ptr<ROM>> named;
    std::vector<std::shared_ptr<ROM>> bySignature;
    while (archive_entry *entry = archive.next()) {
        if (options.cancelled())
            return {};
        if (archive_entry_filetype(entry) != AE_IFREG)
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
    if (const std::optional<ROM::Refusal> failure = archive.failure();
        failure && (images.empty() || *failure == ROM::Refusal::TooManyEntries))
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
    OpenArchive archive;
    if (archive.open(url))
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
        if (archive_read_data(archive.handle(), first, 4) == 4 && ImageDigest::isImageSignature(first))
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
    OpenArchive archive;
    if (std::shared_ptr<ROM> failed = archive.open(url)) {
        listing.refused = failed;
        return listing;
    }
    std::vector<Entry> nameless;
    while (archive_entry *entry = archive.next()) {
        if (options.cancelled())
            return {};
        if (archive_entry_filetype(entry) != AE_IFREG)
            continue;
        const EntryName name = entryName(entry);
        const Entry item{archive.index(), name.text,
                         archive_entry_size_is_set(entry) ? qint64(archive_entry_size(entry)) : -1};
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
    if (failure && (listing.entries.empty() || *failure == ROM::Refusal::TooManyEntries)) {
        listing.entries.clear();
        listing.refused = archive.refused(url, *failure);
    } else if (listing.entries.empty()) {
        listing.refused = archive.refused(url, ROM::Refusal::NoImageInArchive);
    }
    return listing;
}

namespace {

// Walks to the entry at \a index and checks that it still has the name \a entry.
archive_entry *findEntry(OpenArchive &archive, qint32 index, const QString &entry)
{
    while (archive_entry *found = archive.next()) {
        if (archive.index() < index)
            continue;
        if (archive.index() == index && archive_entry_filetype(found) == AE_IFREG
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
    OpenArchive archive;
    if (std::shared_ptr<ROM> failed = archive.open(url))
        return failed;
    archive.drainPassedEntries(options);
    archive_entry *found = findEntry(archive, index, entry);
    EntryName name;
    name.text = entry;
    std::shared_ptr<ROM> rom = entryRecord(url, index, name);
    if (!found) {
        rom->setRefusal(archive.failure().value_or(ROM::Refusal::EntryMissing));
        return rom;
    }
    name = entryName(found);
    bool isImage = false;
    readEntryInto(archive, found, name, *rom, false, options, &isImage);
    return rom;
}

std::optional<ROM::Refusal> RomArchive::extract(const LocalPath &archivePath, qint32 index,
                                                const QString &entry, const Sink &sink,
                                                const Options &options)
{
    OpenArchive archive;
    if (std::shared_ptr<ROM> failed = archive.open(archivePath.toUrl()))
        return failed->refusal().value_or(ROM::Refusal::ArchiveDamaged);
    archive.drainPassedEntries(options);
    archive_entry *found = findEntry(archive, index, entry);
    if (!found)
        return archive.failure().value_or(ROM::Refusal::EntryMissing);
    if (!entryName(found).safe)
        return ROM::Refusal::UnsafeEntryName;
    if (archive_entry_is_encrypted(found))
        return ROM::Refusal::EntryEncrypted;
    const qint64 declared = archive_entry_size_is_set(found) ? qint64(archive_entry_size(found)) : -1;
    if (declared >= options.limit)
        return ROM::Refusal::TooLong;
    std::vector<char> buffer(1 << 20);
    qint64 total = 0;
    for (;;) {
        if (options.cancelled())
            return ROM::Refusal::ReadFailed;
        const la_ssize_t length = archive_read_data(archive.handle(), buffer.data(), buffer.size());
        if (length < 0)
            return ROM::Refusal::EntryDamaged;
        if (length == 0)
            return std::nullopt;
        total += length;
        if (total >= options.limit)
            return ROM::Refusal::TooLong;
        if (!sink(buffer.data(), std::size_t(length), declared))
            return ROM::Refusal::ReadFailed;
    }
}
