#include "library/LibraryRecord.h"

#include "platform/LocalPath.h"
#include "rom/RomArchive.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

#include <sys/stat.h>

namespace {

constexpr quint8 kEncodingVersion = 1;

} // namespace

FileStamp FileStamp::fromStat(const struct stat &info)
{
    FileStamp stamp;
    stamp.size = qint64(info.st_size);
    stamp.mtimeNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.ctimeNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    return stamp;
}

LibraryRecord LibraryRecord::fromROM(const QByteArray &path, const FileStamp &stamp, const ROM &rom)
{
    LibraryRecord record;
    record.path = path;
    record.stamp = stamp;
    record.valid = rom.isValid();
    QList<QString> texts;
    if (record.valid) {
        texts = {*rom.name(), *rom.gameCode(), *rom.MD5(), rom.byteOrder().value_or(QString())};
        record.crc1 = *rom.CRC1();
        record.crc2 = *rom.CRC2();
        record.cic = *rom.cic();
        record.regionCode = rom.regionCode().value_or(0);
    }
    record.fileSize = rom.fileSize().value_or(-1);
    record.refusal = rom.refusal();
    record.refusalError = rom.refusalError();
    record.entry = rom.archiveEntry().value_or(QString());
    record.entryIndex = rom.archiveIndex().value_or(-1);
    record.m_encoded = record.encodeWith(texts);
    return record;
}

LibraryRecord LibraryRecord::movedTo(const QByteArray &newPath, const FileStamp &newStamp) const
{
    LibraryRecord record = *this;
    record.path = newPath;
    record.stamp = newStamp;
    record.unreachableFolder.clear();
    record.m_encoded = record.encodeWith(valid ? QList<QString>{name(), gameCode(), md5(), byteOrder()} : QList<QString>());
    return record;
}

std::shared_ptr<ROM> LibraryRecord::toROM() const
{
    auto rom = std::make_shared<ROM>();
    rom->setFilePath(LocalPath(path).toUrl());
    if (valid) {
        rom->setName(name());
        rom->setGameCode(gameCode());
        rom->setMD5(md5());
        rom->setByteOrder(byteOrder());
        rom->setCRC1(crc1);
        rom->setCRC2(crc2);
        rom->setCic(cic);
        rom->setRegionCode(regionCode);
    }
    if (fileSize >= 0)
        rom->setFileSize(fileSize);
    if (refusal)
        rom->setRefusal(*refusal, refusalError);
    if (entryIndex >= 0) {
        rom->setArchiveEntry(entry);
        rom->setArchiveIndex(entryIndex);
    }
    return rom;
}

QString LibraryRecord::filePath() const
{
    return QFile::decodeName(path);
}

QString LibraryRecord::fileName() const
{
    const QString name = LocalPath(path).fileName();
    return entryIndex < 0 ? name : RomArchive::entryDisplayName(name, entry);
}

QString LibraryRecord::regionName(quint8 code, bool translated)
{
    static constexpr std::pair<char, const char *> kNames[] = {
        {'A', QT_TR_NOOP("Asia")}, {'B', QT_TR_NOOP("Brazil")}, {'C', QT_TR_NOOP("China")},
        {'D', QT_TR_NOOP("Germany")}, {'E', QT_TR_NOOP("North America")}, {'F', QT_TR_NOOP("France")},
        {'G', QT_TR_NOOP("Gateway (NTSC)")}, {'H', QT_TR_NOOP("Netherlands")}, {'I', QT_TR_NOOP("Italy")},
        {'J', QT_TR_NOOP("Japan")}, {'K', QT_TR_NOOP("Korea")}, {'L', QT_TR_NOOP("Gateway (PAL)")},
        {'N', QT_TR_NOOP("Canada")}, {'P', QT_TR_NOOP("Europe")}, {'X', QT_TR_NOOP("Europe")},
        {'Y', QT_TR_NOOP("Europe")}, {'S', QT_TR_NOOP("Spain")}, {'U', QT_TR_NOOP("Australia")},
        {'W', QT_TR_NOOP("Scandinavia")}};
    if (code == 0)
        return QString();
    for (const auto &[letter, name] : kNames) {
        if (quint8(letter) == code)
            return translated ? tr(name) : QString::fromLatin1(name);
    }
    return QString(QChar::fromLatin1(char(code)));
}

QString LibraryRecord::refusalReason() const
{
    return refusal ? ROM::describeRefusal(*refusal, std::max<qint64>(fileSize, 0), refusalError, entry) : QString();
}

QByteArray LibraryRecord::key() const
{
    if (entryIndex < 0)
        return path;
    return path + '\0' + QByteArray::number(entryIndex) + '\0' + entry.toUtf8();
}

bool LibraryRecord::setKey(const QByteArray &key)
{
    const qsizetype first = key.indexOf('\0');
    if (first < 0) {
        path = key;
        entryIndex = -1;
        entry.clear();
        return true;
    }
    const qsizetype second = key.indexOf('\0', first + 1);
    if (second < 0)
        return false;
    // Runs for every archive entry at every start: no copies on the way.
    const QByteArrayView number = QByteArrayView(key).sliced(first + 1, second - first - 1);
    int index = -1;
    const auto [end, error] = std::from_chars(number.begin(), number.end(), index);
    if (number.isEmpty() || error != std::errc() || end != number.end() || index < 0)
        return false;
    path = key.left(first);
    entryIndex = index;
    entry = QString::fromUtf8(QByteArrayView(key).sliced(second + 1));
    return true;
}

// A flat little-endian layout read with memcpy, the texts last as Latin-1 (the reader makes
// them from single bytes), each ended by a zero byte: decoding runs for every file at every
// start and makes no strings.
namespace {

template <typename T>
void put(QByteArray &bytes, T value)
{
    bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
}

template <typename T>
bool get(const QByteArray &bytes, qsizetype &offset, T &value)
{
    if (bytes.size() - offset < qsizetype(sizeof value))
        return false;
    std::memcpy(&value, bytes.constData() + offset, sizeof value);
    offset += qsizetype(sizeof value);
    return true;
}

// A refusal an archive's entry names can bring.
bool refusalOverNames(std::optional<ROM::Refusal> refusal)
{
    return refusal == ROM::Refusal::UnsafeEntryName || refusal == ROM::Refusal::NoImageInArchive;
}

// Version, flags, five stamp values, size, refusal, errno, two CRCs, CIC, region.
constexpr qsizetype kHeaderSize = 1 + 1 + 5 * 8 + 8 + 4 + 4 + 4 + 4 + 4 + 1;

} // namespace

QByteArray LibraryRecord::encodeWith(const QList<QString> &texts) const
{
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the cache layout is little-endian");
    QByteArray bytes;
    bytes.reserve(kHeaderSize + 80);
    put(bytes, kEncodingVersion);
    // Bit 1: the stamp is not trusted (an older Launcher refuses the row and reads the file).
    // Bit 2: a refusal over entry names from a reader that reads them as UTF-8 under any locale.
    put(bytes, quint8(quint8(valid) | (stamp.trusted ? 0 : 2) | (refusalOverNames(refusal) ? 4 : 0)));
    put(bytes, stamp.size);
    put(bytes, stamp.mtimeNs);
    put(bytes, stamp.ctimeNs);
    put(bytes, stamp.device);
    put(bytes, stamp.inode);
    put(bytes, fileSize);
    put(bytes, qint32(refusal ? int(*refusal) : -1));
    put(bytes, qint32(refusalError));
    put(bytes, crc1);
    put(bytes, crc2);
    put(bytes, cic);
    put(bytes, regionCode);
    for (const QString &text : texts)
        bytes.append(text.toLatin1()).append('\0');
    return bytes;
}

bool LibraryRecord::decode(const QByteArray &bytes)
{
    qsizetype offset = 0;
    quint8 version = 0;
    quint8 flags = 0;
    qint32 refusalCode = -1;
    qint32 error = 0;
    if (!get(bytes, offset, version) || version != kEncodingVersion || !get(bytes, offset, flags) || flags > 7
        || !get(bytes, offset, stamp.size) || !get(bytes, offset, stamp.mtimeNs) || !get(bytes, offset, stamp.ctimeNs)
        || !get(bytes, offset, stamp.device) || !get(bytes, offset, stamp.inode) || !get(bytes, offset, fileSize)
        || !get(bytes, offset, refusalCode) || !get(bytes, offset, error) || !get(bytes, offset, crc1)
        || !get(bytes, offset, crc2) || !get(bytes, offset, cic) || !get(bytes, offset, regionCode)
        || refusalCode < -1 || refusalCode > int(ROM::Refusal::IsArchive))
        return false;
    valid = (flags & 1) != 0;
    refusal = refusalCode < 0 ? std::nullopt : std::optional(ROM::Refusal(refusalCode));
    // Readers before that took names for the locale's, and refused what did not convert.
    stamp.trusted = (flags & 2) == 0 && (!refusalOverNames(refusal) || (flags & 4) != 0);
    refusalError = error;
    // A complete record has its four texts, each ended by a zero byte, and nothing after.
    const QByteArrayView texts = QByteArrayView(bytes).sliced(kHeaderSize);
    const auto zeros = std::count(texts.begin(), texts.end(), '\0');
    if ((valid ? 4 : 0) != zeros || (valid && !bytes.endsWith('\0')))
        return false;
    m_encoded = bytes;
    return true;
}

QString LibraryRecord::text(int index) const
{
    if (!valid)
        return QString();
    qsizetype start = kHeaderSize;
    for (int i = 0; i < index; ++i)
        start = m_encoded.indexOf('\0', start) + 1;
    const qsizetype end = m_encoded.indexOf('\0', start);
    return QString::fromLatin1(m_encoded.constData() + start, end - start);
}
