#include "dat/DatFile.h"

#include "dat/DatTextReader.h"
#include "dat/DatXmlReader.h"
#include "rom/LibArchive.h"
#include "rom/RomArchiveCursor.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QUrl>


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
constexpr qint32 serialVersion = 1;

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
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << serialMagic << serialVersion << m_name << m_version << quint32(m_games.size()) << quint32(m_roms.size());
    for (const Game &game : m_games)
        out << game.name << game.serial;
    for (const Rom &rom : m_roms)
        out << rom.name << rom.size << bool(rom.crc) << rom.crc.value_or(0) << rom.md5 << rom.sha1 << quint8(rom.status)
            << rom.game;
    return bytes;
}

std::shared_ptr<const DatFile> DatFile::deserialized(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    qint32 version = 0;
    quint32 games = 0;
    quint32 roms = 0;
    auto dat = std::make_shared<DatFile>();
    in >> magic >> version >> dat->m_name >> dat->m_version >> games >> roms;
    if (in.status() != QDataStream::Ok || magic != serialMagic || version != serialVersion || games > quint32(maximumEntries)
        || roms > quint32(maximumEntries))
        return nullptr;
    dat->m_games.resize(games);
    for (Game &game : dat->m_games)
        in >> game.name >> game.serial;
    dat->m_roms.resize(roms);
    for (Rom &rom : dat->m_roms) {
        bool hasCrc = false;
        quint32 crc = 0;
        quint8 status = 0;
        in >> rom.name >> rom.size >> hasCrc >> crc >> rom.md5 >> rom.sha1 >> status >> rom.game;
        if (hasCrc)
            rom.crc = crc;
        rom.status = Status(status);
        if (rom.game < 0 || quint32(rom.game) >= games || status > quint8(Status::NoDump))
            return nullptr;
    }
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return nullptr;
    return dat;
}
