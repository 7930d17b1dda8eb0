// libFuzzer target: the archive reader (.zip and .7z through libarchive), on a real file.
#include "rom/ArchiveWindow.h"
#include "rom/RomArchive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("archive-fuzz-%1.zip").arg(QCoreApplication::applicationPid()));
    [[maybe_unused]] static const int removeAtExit = std::atexit([] { QFile::remove(path); });
    if (QFile file(path); !file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    // A bomb stops at the limit; a low one keeps each input within the time-out.
    RomArchive::Options options;
    options.limit = qint64(64) << 20;
    // The headers' own account of the decompressor's memory, read before anything is unpacked.
    [[maybe_unused]] const std::uint64_t window = ArchiveWindow::ofFile(QFile::encodeName(path));
    const QUrl url = QUrl::fromLocalFile(path);
    // The chooser's list, from the headers alone: entries, or one refusal of the whole.
    const RomArchive::Listing listing = RomArchive::listImages(url, options);
    if (listing.entries.empty() != bool(listing.refused))
        std::abort();
    const auto records = RomArchive::readImages(url, options);
    // Always an answer: images with their entry, or one refusal of the archive as a whole.
    if (records.empty())
        std::abort();
    for (const auto &rom : records) {
        if (rom->filePath() != url || (!rom->isValid() && !rom->refusal()))
            std::abort();
        if (rom->archiveEntry().has_value() != rom->archiveIndex().has_value()
            || (!rom->archiveEntry() && (rom->isValid() || records.size() != 1)))
            std::abort();
    }
    // What was read extracts to the same length, or is refused: in a damaged zip, libarchive
    // may find other headers when it skips an entry than when it reads it.
    const auto &first = records.front();
    if (first->isValid()) {
        qint64 total = 0;
        const auto refusal = RomArchive::extract(LocalPath::fromText(path), *first->archiveIndex(), *first->archiveEntry(),
                                                 [&total](const char *, std::size_t length, qint64) {
                                                     total += qint64(length);
                                                     return true;
                                                 }, options);
        if (!refusal && total != first->fileSize())
            std::abort();
    }
    return 0;
}
