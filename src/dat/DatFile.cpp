#include "dat/DatFile.h"

#include "dat/DatTextReader.h"
#include "dat/DatXmlReader.h"
#include "rom/LibArchive.h"
#include "rom/RomArchiveCursor.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QUrl>
#include <QtEndian>

#include <cstring>


namespace {

// Entries come from an open RomArchiveCursor, which has loaded libarchive.
const LibArchive &library()
{
    return *LibArchive::load();
}

bool isDatName(const QString &name)
{
    return name.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive)
        || name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
}

// Hexadecimal digits of one exact length, or nothing.
std::optional<QByteArray> hexDigest(const QString &text, int digits)
{
    if (text.size() != digits)
        return std::nullopt;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return std::nullopt;
    }
    return QByteArray::fromHex(text.toLatin1());
}

constexpr quint32 serialMagic = 0x54444154; // "TDAT"
// 2: little-endian fields and UTF-16 text, read without QDataStream.
constexpr quint32 serialVersion = 2;

} // namespace

QString DatFile::Refusal::text() const
{
    return line > 0 ? DatFile::tr("%1 Reading stopped at line %2.").arg(reason).arg(line) : reason;
}

std::shared_ptr<const DatFile> DatFile::read(const QString &path, Refusal *refusal)
{
    *refusal = Refusal();
    // Checked before opening: an open of a named pipe would wait for a writer.
    const QFileInfo info(path);
    if (!info.exists()) {
        refusal->reason = tr("The file does not exist.");
        return nullptr;
    }
    if (!info.isFile()) {
        refusal->reason = tr("It is not a regular file.");
        return nullptr;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refusal->reason = tr("The file cannot be opened: %1.").arg(file.errorString());
        return nullptr;
    }
    const QByteArray head = file.peek(6);
    if (head.startsWith("PK\x03\x04") || head.startsWith("7z\xBC\xAF\x27\x1C")) {
        file.close();
        RomArchiveCursor cursor;
        RomReadOptions options;
        options.inflateAllowance = maximumFileSize;
        if (const std::shared_ptr<ROM> refused = cursor.open(QUrl::fromLocalFile(path), options)) {
            refusal->reason = refused->refusalReason();
            return nullptr;
        }
        QByteArray bytes;
        int found = 0;
        while (archive_entry *entry = cursor.next()) {
            const char *name = library().archive_entry_pathname_utf8(entry);
            if (library().archive_entry_filetype(entry) != AE_IFREG || !name || !isDatName(QString::fromUtf8(name)))
                continue;
            if (++found > 1)
                continue;
            char buffer[64 * 1024];
            for (long got = 0; (got = cursor.read(buffer, sizeof buffer)) > 0;) {
                if (bytes.size() + got > maximumFileSize) {
                    refusal->reason = tr("The DAT in the archive is larger than %1 MiB, far more than any DAT of Nintendo 64 games.")
                                          .arg(maximumFileSize >> 20);
                    return nullptr;
                }
                bytes.append(buffer, got);
            }
        }
        if (const std::optional<ROM::Refusal> failure = cursor.failure()) {
            refusal->reason = ROM::describeRefusal(*failure, info.size(), 0);
            return nullptr;
        }
        if (found != 1) {
            refusal->reason = found == 0 ? tr("The archive holds no .dat or .xml file.")
                                         : tr("The archive holds %n DAT files; only an archive holding one can be used.", nullptr, found);
            return nullptr;
        }
        return parse(bytes, refusal);
    }
    if (file.size() > maximumFileSize) {
        refusal->reason = tr("The file is larger than %1 MiB, far more than any DAT of Nintendo 64 games.")
                              .arg(maximumFileSize >> 20);
        return nullptr;
    }
    const QByteArray bytes = file.read(maximumFileSize);
    if (file.error() != QFileDevice::NoError) {
        refusal->reason = tr("The file cannot be read: %1.").arg(file.errorString());
        return nullptr;
    }
    return parse(bytes, refusal);
}

std::shared_ptr<const DatFile> DatFile::parse(const QByteArray &bytes, Refusal *refusal)
{
    *refusal = Refusal();
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
        refusal->reason = tr("The file holds a NUL byte, which no DAT does.");
        refusal->line = bytes.left(nul).count('\n') + 1;
        return nullptr;
    }
    auto dat = std::make_shared<DatFile>();
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < bytes.size() && QChar::isSpace(uchar(bytes.at(start))))
        ++start;
    const bool xml = start < bytes.size() && bytes.at(start) == '<';
    const bool read = xml ? DatXmlReader::read(bytes, *dat, refusal) : DatTextReader::read(bytes, *dat, refusal);
    if (!read)
        return nullptr;
    if (dat->m_roms.empty()) {
        refusal->reason = tr("The file lists no game files.");
        refusal->line = bytes.count('\n') + 1;
        return nullptr;
    }
    dat->finish();
    return dat;
}

QString DatFile::addRom(Rom rom, const QString &md5, const QString &sha1, const QString &crc, const QString &size,
                        const QString &status)
{
    if (m_games.empty())
        return tr("A file is listed outside any game.");
    if (m_roms.size() >= std::size_t(maximumEntries))
        return tr("The file lists more than %n entries.", nullptr, maximumEntries);
    if (!md5.isEmpty()) {
        const std::optional<QByteArray> digest = hexDigest(md5, 32);
        if (!digest)
            return tr("The MD5 “%1” is not 32 hexadecimal digits.").arg(md5.left(64));
        rom.md5 = *digest;
    }
    if (!sha1.isEmpty()) {
        const std::optional<QByteArray> digest = hexDigest(sha1, 40);
        if (!digest)
            return tr("The SHA-1 “%1” is not 40 hexadecimal digits.").arg(sha1.left(64));
        rom.sha1 = *digest;
    }
    if (!crc.isEmpty()) {
        const std::optional<QByteArray> digest = hexDigest(crc.rightJustified(8, QLatin1Char('0')), 8);
        if (!digest)
            return tr("The CRC “%1” is not 8 hexadecimal digits.").arg(crc.left(64));
        rom.crc = quint32(uchar(digest->at(0))) << 24 | quint32(uchar(digest->at(1))) << 16
            | quint32(uchar(digest->at(2))) << 8 | quint32(uchar(digest->at(3)));
    }
    if (!size.isEmpty()) {
        bool ok = false;
        rom.size = size.toLongLong(&ok);
        if (!ok || rom.size < 0)
            return tr("The size “%1” is not a number of bytes.").arg(size.left(64));
    }
    if (status.compare(QLatin1String("baddump"), Qt::CaseInsensitive) == 0)
        rom.status = Status::BadDump;
    else if (status.compare(QLatin1String("nodump"), Qt::CaseInsensitive) == 0)
        rom.status = Status::NoDump;
    rom.game = qint32(m_games.size() - 1);
    m_roms.push_back(std::move(rom));
    return QString();
}

void DatFile::finish()
{
    for (Rom &rom : m_roms) {
        if (rom.status == Status::Good && gameOf(rom).name.contains(QLatin1String("[b]")))
            rom.status = Status::BadDump;
    }
}

QByteArray DatFile::serialized() const
{
    QByteArray bytes;
    bytes.reserve(qsizetype(64 + m_games.size() * 48 + m_roms.size() * 96));
    const auto number = [&bytes](auto value) {
        const auto little = qToLittleEndian(value);
        bytes.append(reinterpret_cast<const char *>(&little), sizeof little);
    };
    const auto data = [&](const QByteArray &value) {
        number(quint32(value.size()));
        bytes.append(value);
    };
    // UTF-16 as it is held: whatever a name holds comes back the same.
    const auto text = [&](const QString &value) {
        number(quint32(value.size()));
        const qsizetype at = bytes.size();
        bytes.resize(at + value.size() * 2);
        qToLittleEndian<quint16>(value.utf16(), value.size(), bytes.data() + at);
    };
    number(serialMagic), number(serialVersion);
    text(m_name), text(m_version);
    number(quint32(m_games.size())), number(quint32(m_roms.size()));
    for (const Game &game : m_games)
        text(game.name), text(game.serial);
    for (const Rom &rom : m_roms) {
        text(rom.name), data(rom.md5), data(rom.sha1);
        number(rom.size), number(quint8(rom.crc.has_value())), number(rom.crc.value_or(0)), number(quint8(rom.status)), number(rom.game);
    }
    return bytes;
}

std::shared_ptr<const DatFile> DatFile::deserialized(const QByteArray &bytes)
{
    // Read straight from the bytes: a start reads every DAT from the cache, and a stream
    // operator per field cost more than the lookups the index is built for.
    const char *at = bytes.constData();
    const char *const end = at + bytes.size();
    bool ok = true;
    const auto number = [&]<typename T>(T) {
        T value{};
        if (std::size_t(end - at) < sizeof value) {
            ok = false;
            return value;
        }
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        return qFromLittleEndian(value);
    };
    const auto data = [&]() {
        const quint32 length = number(quint32());
        if (!ok || length > quint32(end - at)) {
            ok = false;
            return QByteArrayView();
        }
        const QByteArrayView value(at, length);
        at += length;
        return value;
    };
    const auto text = [&]() {
        const quint32 length = number(quint32());
        if (!ok || length > quint32(end - at) / 2) {
            ok = false;
            return QString();
        }
        QString value(length, Qt::Uninitialized);
        qFromLittleEndian<quint16>(at, length, value.data());
        at += qsizetype(length) * 2;
        return value;
    };
    auto dat = std::make_shared<DatFile>();
    const quint32 magic = number(quint32()), version = number(quint32());
    dat->m_name = text();
    dat->m_version = text();
    const quint32 games = number(quint32()), roms = number(quint32());
    // Every game and entry takes a few bytes at least: damaged counts never allocate much.
    if (!ok || magic != serialMagic || version != serialVersion || games > quint32(maximumEntries)
        || roms > quint32(maximumEntries) || qint64(games) * 8 + qint64(roms) * 30 > end - at)
        return nullptr;
    dat->m_games.resize(games);
    for (Game &game : dat->m_games) {
        game.name = text();
        game.serial = text();
    }
    dat->m_roms.resize(roms);
    for (Rom &rom : dat->m_roms) {
        rom.name = text();
        rom.md5 = data().toByteArray();
        rom.sha1 = data().toByteArray();
        rom.size = number(qint64());
        const bool hasCrc = number(quint8()) != 0;
        const quint32 crc = number(quint32());
        if (hasCrc)
            rom.crc = crc;
        const quint8 status = number(quint8());
        rom.status = Status(status);
        rom.game = number(qint32());
        if (!ok || rom.game < 0 || quint32(rom.game) >= games || status > quint8(Status::NoDump))
            return nullptr;
    }
    return ok && at == end ? dat : nullptr;
}
