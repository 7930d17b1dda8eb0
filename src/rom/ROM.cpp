#include "rom/ROM.h"

#include "platform/LocalPath.h"
#include "rom/ByteSwap.h"
#include "rom/ImageDigest.h"

#include <QByteArray>
#include <QFile>
#include <QLocale>
#include <QMutexLocker>

// The low-level MD5, as ImageDigest uses it (why there).
#define OPENSSL_API_COMPAT 10101
#include <openssl/md5.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Lengths are 32-bit signed in the record's world; larger files are refused rather than wrapped.
static_assert(ROM::maximumImageSize - 1 == 0x7FFFFFFF);

constexpr std::size_t kBootCodeOffset = 0x40;
constexpr std::size_t kBootCodeLength = 0x1000 - kBootCodeOffset;

constexpr std::array<std::uint32_t, 256> makeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t entry = n;
        for (int bit = 0; bit < 8; ++bit)
            entry = (entry & 1u) ? (entry >> 1) ^ 0xEDB88320u : entry >> 1;
        table[n] = entry;
    }
    return table;
}

// Built at compile time: complete before any detection and read-only afterwards,
// so concurrent readers need no lock.
constexpr std::array<std::uint32_t, 256> kCrcTable = makeCrcTable();

std::uint32_t crc32(const unsigned char *data, std::size_t length)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < length; ++i)
        crc = (crc >> 8) ^ kCrcTable[(crc ^ data[i]) & 0xFFu];
    return ~crc;
}

std::optional<ROM::Refusal> refusalForType(mode_t mode)
{
    if (S_ISREG(mode))
        return std::nullopt;
    if (S_ISDIR(mode))
        return ROM::Refusal::Folder;
    if (S_ISFIFO(mode))
        return ROM::Refusal::NamedPipe;
    if (S_ISCHR(mode))
        return ROM::Refusal::CharacterDevice;
    if (S_ISBLK(mode))
        return ROM::Refusal::BlockDevice;
    return ROM::Refusal::Socket;
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Fills the buffer as far as the file allows; -1 on a read error.
qint64 readFully(int fd, unsigned char *buffer, std::size_t length)
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = ::read(fd, buffer + done, length - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += std::size_t(got);
    }
    return qint64(done);
}

QString hexOf(const unsigned char *digest, unsigned int length)
{
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(digest), qsizetype(length)).toHex());
}

} // namespace

std::shared_ptr<ROM> ROM::romFromURL(const QUrl &url)
{
    return romFromURL(url, RomReadOptions());
}

std::shared_ptr<ROM> ROM::romFromURL(const QUrl &url, const RomReadOptions &options)
{
    auto rom = std::make_shared<ROM>();
    rom->setFilePath(url);
    if (!url.isLocalFile()) {
        rom->setRefusal(Refusal::NotLocalFile);
        return rom;
    }

    // The type is checked before the open: opening a device can have side effects, and a
    // socket cannot be opened at all. O_NONBLOCK still keeps a FIFO that replaced the
    // file in between from stalling the open; fstat below refuses it.
    const QByteArray path = LocalPath::fromUrl(url).bytes();
    struct stat info;
    if (::stat(path.constData(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            rom->setRefusal(Refusal::Missing);
        else
            rom->setRefusal(Refusal::CannotOpen, error);
        return rom;
    }
    if (const std::optional<Refusal> refusal = refusalForType(info.st_mode)) {
        rom->setRefusal(*refusal);
        return rom;
    }
    FileDescriptor file(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        rom->setRefusal(Refusal::CannotOpen, errno);
        return rom;
    }
    if (::fstat(file.get(), &info) != 0) {
        rom->setRefusal(Refusal::ReadFailed, errno);
        return rom;
    }
    if (const std::optional<Refusal> refusal = refusalForType(info.st_mode)) {
        rom->setRefusal(*refusal);
        return rom;
    }
    rom->setFileSize(qint64(info.st_size));
    if (info.st_size == 0) {
        rom->setRefusal(Refusal::Empty);
        return rom;
    }
    if (info.st_size < minimumImageSize) {
        rom->setRefusal(Refusal::TooShort);
        return rom;
    }
    if (info.st_size >= maximumImageSize) {
        rom->setRefusal(Refusal::TooLong);
        return rom;
    }
    ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    ImageDigest image;
    for (;;) {
        if (options.cancelled()) {
            rom->setRefusal(Refusal::ReadFailed, ECANCELED);
            return rom;
        }
        std::size_t available = 0;
        unsigned char *space = image.space(&available);
        const qint64 length = readFully(file.get(), space, available);
        if (length < 0) {
            rom->setRefusal(Refusal::ReadFailed, errno);
            return rom;
        }
        // A short read is the end of the file; the file may have grown since fstat, and
        // commit() refuses to go past the limit.
        const bool more = image.commit(std::size_t(length)) && std::size_t(length) == available;
        // Told once a mebibyte, not for every piece.
        if (options.progress && (!more || image.total() % (1 << 20) < length))
            options.progress(image.total(), qint64(info.st_size));
        if (!more)
            break;
    }
    image.finish(*rom);
    return rom;
}

bool ROM::isValid() const
{
    QMutexLocker lock(&m_mutex);
    return m_filePath && m_cic && m_name && m_gameCode && m_CRC1 && m_CRC2 && m_MD5;
}

qint32 ROM::cicForBootCode(const unsigned char *image)
{
    switch (crc32(image + kBootCodeOffset, kBootCodeLength)) {
    case 0x6170A4A1u:
        return 6101;
    case 0x90BB6CB5u:
        return 6102;
    case 0x0B050EE0u:
        return 6103;
    case 0x98BC2C86u:
        return 6105;
    case 0xACC8580Au:
        return 6106;
    default:
        // Unknown boot code: reported as the most common variant.
        return 6105;
    }
}

QString ROM::md5HexDigest(const unsigned char *buffer, std::size_t length)
{
    unsigned char md[MD5_DIGEST_LENGTH];
    if (!::MD5(buffer, length, md))
        return QString();
    return hexOf(md, MD5_DIGEST_LENGTH);
}

#define TOLVANE_ROM_FIELD(Type, Param, getter, setter, member)                                   \
    std::optional<Type> ROM::getter() const                                                      \
    {                                                                                            \
        QMutexLocker lock(&m_mutex);                                                             \
        return member;                                                                           \
    }                                                                                            \
    void ROM::setter(Param value)                                                                \
    {                                                                                            \
        QMutexLocker lock(&m_mutex);                                                             \
        member = value;                                                                          \
    }

TOLVANE_ROM_FIELD(QUrl, const QUrl &, filePath, setFilePath, m_filePath)
TOLVANE_ROM_FIELD(QString, const QString &, name, setName, m_name)
TOLVANE_ROM_FIELD(QString, const QString &, gameCode, setGameCode, m_gameCode)
TOLVANE_ROM_FIELD(QVariant, const QVariant &, calculatedCRC1, setCalculatedCRC1, m_calculatedCRC1)
TOLVANE_ROM_FIELD(QVariant, const QVariant &, calculatedCRC2, setCalculatedCRC2, m_calculatedCRC2)
TOLVANE_ROM_FIELD(QString, const QString &, MD5, setMD5, m_MD5)
TOLVANE_ROM_FIELD(QString, const QString &, byteOrder, setByteOrder, m_byteOrder)
TOLVANE_ROM_FIELD(qint32, qint32, cic, setCic, m_cic)
TOLVANE_ROM_FIELD(quint32, quint32, CRC1, setCRC1, m_CRC1)
TOLVANE_ROM_FIELD(quint32, quint32, CRC2, setCRC2, m_CRC2)
TOLVANE_ROM_FIELD(qint64, qint64, fileSize, setFileSize, m_fileSize)
TOLVANE_ROM_FIELD(quint8, quint8, regionCode, setRegionCode, m_regionCode)
TOLVANE_ROM_FIELD(QString, const QString &, archiveEntry, setArchiveEntry, m_archiveEntry)
TOLVANE_ROM_FIELD(qint32, qint32, archiveIndex, setArchiveIndex, m_archiveIndex)

#undef TOLVANE_ROM_FIELD

std::optional<ROM::Refusal> ROM::refusal() const
{
    QMutexLocker lock(&m_mutex);
    return m_refusal;
}

int ROM::refusalError() const
{
    QMutexLocker lock(&m_mutex);
    return m_refusalError;
}

void ROM::setRefusal(Refusal value, int error)
{
    QMutexLocker lock(&m_mutex);
    m_refusal = value;
    m_refusalError = error;
}

QString ROM::refusalReason() const
{
    const std::optional<Refusal> refusal = this->refusal();
    return refusal ? describeRefusal(*refusal, fileSize().value_or(0), refusalError(),
                                     archiveEntry().value_or(QString()))
                   : QString();
}

QString ROM::sizeText(qint64 bytes)
{
    // The power QLocale picks for the IEC form: one step per factor of 1,024.
    int power = 0;
    while (power < 6 && bytes >> (10 * (power + 1)) > 0)
        ++power;
    const bool whole = (bytes & ((qint64(1) << (10 * power)) - 1)) == 0;
    return QLocale().formattedDataSize(bytes, whole ? 0 : 1, QLocale::DataSizeIecFormat);
}

QString ROM::describeRefusal(Refusal refusal, qint64 fileSize, int errorNumber, const QString &entry)
{
    const QString error = QString::fromLocal8Bit(std::strerror(errorNumber));
    switch (refusal) {
    case Refusal::NotLocalFile:
        return tr("Only files on this computer can be opened.");
    case Refusal::Missing:
        return tr("The file does not exist.");
    case Refusal::Folder:
        return tr("It is a folder, not a ROM image.");
    case Refusal::NamedPipe:
        return tr("It is a named pipe, not a regular file.");
    case Refusal::CharacterDevice:
        return tr("It is a character device, not a regular file.");
    case Refusal::BlockDevice:
        return tr("It is a block device, not a regular file.");
    case Refusal::Socket:
        return tr("It is a socket, not a regular file.");
    case Refusal::CannotOpen:
        return tr("The file cannot be read: %1.").arg(error);
    case Refusal::Empty:
        return tr("The file is empty.");
    case Refusal::TooShort:
        return tr("The file is only %Ln byte(s) long; a ROM image has at least %1 bytes.", nullptr, int(fileSize))
            .arg(QLocale().toString(minimumImageSize));
    case Refusal::TooLong:
        return tr("The file is too large for a ROM image (2 GiB or more).");
    case Refusal::ReadFailed:
        return tr("The file could not be read: %1.").arg(error);
    case Refusal::ArchiveDamaged:
        return tr("The archive is damaged or truncated, or it is not a .zip or .7z archive.");
    case Refusal::ArchiveEncrypted:
        return tr("The archive is encrypted.");
    case Refusal::NoImageInArchive:
        return tr("There is no ROM image inside the archive.");
    case Refusal::TooManyEntries:
        return tr("The archive holds too many entries to be read.");
    case Refusal::EntryEncrypted:
        return tr("\u201c%1\u201d is encrypted.").arg(entry);
    case Refusal::EntryDamaged:
        return tr("\u201c%1\u201d is damaged in the archive (bad checksum or size).").arg(entry);
    case Refusal::UnsafeEntryName:
        return tr("The archive entry's name is not safe to use (empty, with control characters, or a path that leaves its folder).");
    case Refusal::EntryMissing:
        return tr("The archive no longer holds \u201c%1\u201d.").arg(entry);
    case Refusal::EntryTooLarge:
        return tr("\u201c%1\u201d is larger than the largest cartridge (64 MiB).").arg(entry);
    case Refusal::EntriesOverlap:
        return tr("The archive's entries overlap one another, so it would unpack far more than it holds; it is not read.");
    case Refusal::ArchiveTooCostly:
        return tr("The archive unpacks to far more than ROM images of its size would; it is not read further.");
    case Refusal::IsArchive:
        if (!entry.isEmpty())
            return tr("\u201c%1\u201d is an archive inside the archive; archives inside archives are not read.").arg(entry);
        return tr("It is a .zip or .7z archive, not a ROM image.");
    }
    return QString();
}

QString ROM::byteOrderName(unsigned char firstByte)
{
    switch (ByteSwap::orderForFirstByte(firstByte)) {
    case ByteSwap::Order::Words:
        return QStringLiteral("n64");
    case ByteSwap::Order::HalfWords:
        return QStringLiteral("v64");
    case ByteSwap::Order::Canonical:
        break;
    }
    return QStringLiteral("z64");
}
