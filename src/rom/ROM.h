#pragma once

#include "rom/RomReadOptions.h"

#include <QCoreApplication>
#include <QMutex>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

/// The record of one opened ROM image. Every field is optional: a new record has all
/// nine absent, and a field is present once set, whatever its value.
class ROM
{
    Q_DECLARE_TR_FUNCTIONS(ROM)

public:
    /// Why the reader gave no complete record. Known without opening the file a second
    /// time, so that nobody has to (a second open of a pipe would block).
    enum class Refusal {
        NotLocalFile,
        Missing,
        Folder,
        NamedPipe,
        CharacterDevice,
        BlockDevice,
        Socket,
        CannotOpen, // permission or another open error, see refusalError()
        Empty,
        TooShort,
        TooLong,
        ReadFailed, // see refusalError()
        // Archives (.zip, .7z) and their entries.
        ArchiveDamaged, // unreadable, truncated, or no .zip or .7z at all
        ArchiveEncrypted, // its headers are encrypted: not even the names can be read
        NoImageInArchive,
        TooManyEntries,
        EntryEncrypted,
        EntryDamaged, // a bad checksum or a size that does not match
        UnsafeEntryName,
        EntryMissing, // the entry asked for is no longer in the archive
        EntryTooLarge, // declared or found longer than the largest cartridge
        EntriesOverlap, // zip entries share their data: built to unpack far more than it holds
        ArchiveTooCostly, // unpacks to far more than ROM images of its size would
        IsArchive, // a .zip or .7z whatever its name; inside an archive, not followed
    };

    /// The smallest image the reader takes, and the first length it refuses.
    static constexpr qint64 minimumImageSize = 4096;
    static constexpr qint64 maximumImageSize = qint64(1) << 31;

    ROM() = default;
    ROM(const ROM &) = delete;
    ROM &operator=(const ROM &) = delete;

    /// Reads the image at \a url. Always returns a record with filePath set; a file that
    /// cannot be read, or is shorter than 4096 bytes or 2 GiB or longer, leaves the header
    /// fields absent, so isValid() is false.
    static std::shared_ptr<ROM> romFromURL(const QUrl &url);
    /// The same, with progress, and stopping soon once \a options says cancel (the record is
    /// then refused as ReadFailed with ECANCELED).
    static std::shared_ptr<ROM> romFromURL(const QUrl &url, const RomReadOptions &options);

    /// True when filePath, cic, name, gameCode, CRC1, CRC2 and MD5 are all present.
    bool isValid() const;

    std::optional<QUrl> filePath() const;
    void setFilePath(const QUrl &value);
    std::optional<qint32> cic() const;
    void setCic(qint32 value);
    std::optional<QString> name() const;
    void setName(const QString &value);
    std::optional<QString> gameCode() const;
    void setGameCode(const QString &value);
    std::optional<quint32> CRC1() const;
    void setCRC1(quint32 value);
    std::optional<quint32> CRC2() const;
    void setCRC2(quint32 value);
    std::optional<QVariant> calculatedCRC1() const;
    void setCalculatedCRC1(const QVariant &value);
    std::optional<QVariant> calculatedCRC2() const;
    void setCalculatedCRC2(const QVariant &value);
    std::optional<QString> MD5() const;
    void setMD5(const QString &value);

    /// The stored byte order, "z64" (big-endian), "v64" (swapped half-words) or "n64"
    /// (little-endian words), set with the header fields.
    std::optional<QString> byteOrder() const;
    void setByteOrder(const QString &value);
    /// The file's length in bytes as the reader found it; set for every regular file.
    std::optional<qint64> fileSize() const;
    void setFileSize(qint64 value);
    /// The header byte at 0x3E, the fourth of the game code field: the region letter.
    std::optional<quint8> regionCode() const;
    void setRegionCode(quint8 value);
    /// For an image inside an archive (filePath is then the archive's): the entry's name in
    /// the archive, and its position among the archive's entries (zip allows two of one name).
    std::optional<QString> archiveEntry() const;
    void setArchiveEntry(const QString &value);
    std::optional<qint32> archiveIndex() const;
    void setArchiveIndex(qint32 value);
    /// Set when the record is incomplete because the reader refused the file.
    std::optional<Refusal> refusal() const;
    /// The errno behind CannotOpen and ReadFailed, 0 otherwise.
    int refusalError() const;
    void setRefusal(Refusal value, int error = 0);
    /// A sentence for the player naming why the file was refused; empty when it was not.
    QString refusalReason() const;
    /// The sentence for a refusal; \a fileSize, \a error and \a entry as fileSize(),
    /// refusalError() and archiveEntry().
    static QString describeRefusal(Refusal refusal, qint64 fileSize, int error,
                                   const QString &entry = QString());

    /// A file size for people, in powers of 1,024 with their IEC names: "8 KiB", "12.5 MiB"
    /// (a decimal only where the size is not whole). The library and the ROM view both say it.
    static QString sizeText(qint64 bytes);

    /// "n64" for a first byte of 0x40, "v64" for 0x37, "z64" for anything else.
    static QString byteOrderName(unsigned char firstByte);

    /// The CIC variant (6101, 6102, 6103, 6105 or 6106) from the CRC-32 of bytes
    /// 0x40..0xFFF of a normalised image of at least 4096 bytes.
    static qint32 cicForBootCode(const unsigned char *image);
    /// MD5 of the bytes as 32 lowercase hexadecimal digits.
    static QString md5HexDigest(const unsigned char *buffer, std::size_t length);

private:
    // One lock for the record keeps each field's get and set atomic.
    mutable QMutex m_mutex;
    std::optional<QUrl> m_filePath;
    std::optional<qint32> m_cic;
    std::optional<QString> m_name;
    std::optional<QString> m_gameCode;
    std::optional<quint32> m_CRC1;
    std::optional<quint32> m_CRC2;
    std::optional<QVariant> m_calculatedCRC1;
    std::optional<QVariant> m_calculatedCRC2;
    std::optional<QString> m_MD5;
    std::optional<QString> m_byteOrder;
    std::optional<qint64> m_fileSize;
    std::optional<quint8> m_regionCode;
    std::optional<QString> m_archiveEntry;
    std::optional<qint32> m_archiveIndex;
    std::optional<Refusal> m_refusal;
    int m_refusalError = 0;
};
