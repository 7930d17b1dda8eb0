#pragma once

#include "rom/ROM.h"
#include "rom/RomReadOptions.h"

#include <QUrl>

#include <locale.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

struct archive;
struct archive_entry;
class LibArchive;

/// An archive opened for reading, zip and 7z only, walked header by header, over a file
/// descriptor of its own so that the type check and the read see the same file. It counts
/// what is unpacked against what the archive may cost in all. While it lives, its thread
/// works in UTF-8 (C.UTF-8), so that entry names read the same under any locale.
class RomArchiveCursor
{
public:
    RomArchiveCursor();
    ~RomArchiveCursor();
    RomArchiveCursor(const RomArchiveCursor &) = delete;
    RomArchiveCursor &operator=(const RomArchiveCursor &) = delete;

    /// Nothing when open; else a record that says why not.
    std::shared_ptr<ROM> open(const QUrl &url, const RomReadOptions &options);
    /// A record of the whole archive refused for \a refusal.
    std::shared_ptr<ROM> refused(const QUrl &url, ROM::Refusal refusal) const;

    /// libarchive 3.6 loses its place in a solid .7z when an entry it skipped unread is
    /// followed by one that is read ("Truncated 7-Zip file body"). Where a later entry's data
    /// is wanted, each 7z entry passed over is drained instead, which a cancel can also stop;
    /// the options' progress hears of it, with -1 for the length.
    void drainPassedEntries(const RomReadOptions &options) { m_drain = &options; }

    /// The next header; null at the end or when the archive cannot be read on (see failure()).
    archive_entry *next();
    /// The current entry's next bytes, as archive_read_data(); once the archive has unpacked
    /// more than it may, it fails as too costly.
    long read(void *buffer, std::size_t length);

    int index() const { return m_index; }
    std::optional<ROM::Refusal> failure() const { return m_failure; }
    void fail(ROM::Refusal refusal) { m_failure = refusal; }

private:
    // libarchive gives names in the thread's character set: UTF-8 while the cursor lives.
    locale_t m_callersLocale = nullptr;
    int m_fd = -1;
    qint64 m_fileSize = -1;
    qint64 m_budget = 0;
    qint64 m_inflated = 0;
    qint64 m_drained = 0;
    const LibArchive *m_lib = nullptr;
    archive *m_archive = nullptr;
    int m_index = -1;
    std::optional<ROM::Refusal> m_failure;
    const RomReadOptions *m_drain = nullptr;
    std::vector<char> m_scratch;
};
