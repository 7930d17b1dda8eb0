#include "rom/RomArchiveCursor.h"

#include "platform/LocalPath.h"
#include "rom/LibArchive.h"
#include "rom/RomArchive.h"
#include "rom/RomArchiveLayout.h"


#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

locale_t utf8Locale()
{
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    return locale;
}

} // namespace

RomArchiveCursor::RomArchiveCursor()
{
    if (const locale_t utf8 = utf8Locale())
        m_callersLocale = ::uselocale(utf8);
}

RomArchiveCursor::~RomArchiveCursor()
{
    if (m_archive)
        m_lib->archive_read_free(m_archive);
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_callersLocale)
        ::uselocale(m_callersLocale);
}

std::shared_ptr<ROM> RomArchiveCursor::open(const QUrl &url, const RomReadOptions &options)
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
    m_budget = options.inflateAllowance + RomArchive::inflateRatio * m_fileSize;
    if (RomArchiveLayout::zipEntriesOverlap(m_fd, m_fileSize))
        return refused(url, ROM::Refusal::EntriesOverlap);
    m_lib = LibArchive::load();
    if (!m_lib) {
        auto rom = refused(url, ROM::Refusal::CannotOpen);
        rom->setRefusal(ROM::Refusal::CannotOpen, ELIBACC);
        return rom;
    }
    m_archive = m_lib->archive_read_new();
    if (!m_archive) {
        auto rom = refused(url, ROM::Refusal::ReadFailed);
        rom->setRefusal(ROM::Refusal::ReadFailed, ENOMEM);
        return rom;
    }
    m_lib->archive_read_support_format_zip(m_archive);
    m_lib->archive_read_support_format_7zip(m_archive);
    if (m_lib->archive_read_open_fd(m_archive, m_fd, 256 * 1024) != ARCHIVE_OK)
        return refused(url, ROM::Refusal::ArchiveDamaged);
    return nullptr;
}

std::shared_ptr<ROM> RomArchiveCursor::refused(const QUrl &url, ROM::Refusal refusal) const
{
    auto rom = std::make_shared<ROM>();
    rom->setFilePath(url);
    if (m_fileSize >= 0)
        rom->setFileSize(m_fileSize);
    rom->setRefusal(refusal);
    return rom;
}

archive_entry *RomArchiveCursor::next()
{
    if (m_failure)
        return nullptr;
    if (m_drain && m_index >= 0 && m_lib->archive_format(m_archive) == ARCHIVE_FORMAT_7ZIP) {
        m_scratch.resize(256 * 1024);
        // A solid archive's earlier entries can take seconds: the progress moves meanwhile
        // (of a length not known), and a cancel is heard between pieces.
        for (long got = 0; !m_drain->cancelled() && (got = read(m_scratch.data(), m_scratch.size())) > 0;) {
            m_drained += got;
            if (m_drain->progress)
                m_drain->progress(m_drained, -1);
        }
        if (m_drain->cancelled() || m_failure)
            return nullptr;
    }
    for (;;) {
        archive_entry *entry = nullptr;
        const int result = m_lib->archive_read_next_header(m_archive, &entry);
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
            m_failure = m_lib->archive_read_has_encrypted_entries(m_archive) > 0
                ? ROM::Refusal::ArchiveEncrypted
                : ROM::Refusal::ArchiveDamaged;
            return nullptr;
        }
        // ARCHIVE_FAILED or RETRY: this entry cannot be read, the next one may.
    }
}

long RomArchiveCursor::read(void *buffer, std::size_t length)
{
    if (m_failure)
        return ARCHIVE_FATAL;
    const long got = m_lib->archive_read_data(m_archive, buffer, length);
    m_inflated += std::max<long>(got, 0);
    if (m_inflated > m_budget) {
        m_failure = ROM::Refusal::ArchiveTooCostly;
        return ARCHIVE_FATAL;
    }
    return got;
}
