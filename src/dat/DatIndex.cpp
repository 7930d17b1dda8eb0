#include "dat/DatIndex.h"

#include <QStringList>

namespace {

// The first entry listed for a key keeps it.
template<typename Hash, typename Key, typename Value>
void insertFirst(Hash &hash, const Key &key, const Value &value)
{
    if (!hash.contains(key))
        hash.insert(key, value);
}

} // namespace

void DatIndex::add(const std::shared_ptr<const DatFile> &dat, const QString &path)
{
    const auto datIndex = qint32(m_dats.size());
    m_dats.emplace_back(dat, path);
    // Built at every start, from the cache: the tables are sized once.
    const auto more = qsizetype(dat->roms().size());
    m_byMd5.reserve(m_byMd5.size() + more);
    m_byName.reserve(m_byName.size() + more);
    for (std::size_t i = 0; i < dat->roms().size(); ++i) {
        const DatFile::Rom &rom = dat->roms()[i];
        const Ref ref{datIndex, qint32(i)};
        if (!rom.md5.isEmpty())
            insertFirst(m_byMd5, rom.md5, ref);
        if (rom.size < 0)
            continue;
        insertFirst(m_byName, Key(nameKey(rom.name), rom.size), ref);
        // "NSME", or a product code that holds it: "NUS-NSME-USA".
        for (const QStringView part : QStringView(dat->gameOf(rom).serial).tokenize(QLatin1Char('-'))) {
            if (part.size() == 4)
                insertFirst(m_bySerial, Key(part.toString().toUpper(), rom.size), ref);
        }
    }
}

DatStatus DatIndex::statusOf(const QString &md5, qint64 size, const QString &fileName, const QString &gameCode) const
{
    if (m_dats.empty())
        return DatStatus();
    const auto byMd5 = m_byMd5.constFind(QByteArray::fromHex(md5.toLatin1()));
    if (byMd5 != m_byMd5.cend()) {
        const DatFile::Rom &rom = m_dats[std::size_t(byMd5->dat)].first->roms()[std::size_t(byMd5->rom)];
        if (rom.size < 0 || rom.size == size)
            return statusOf(*byMd5, rom.status == DatFile::Status::Good ? DatStatus::Kind::Verified : DatStatus::Kind::BadDump);
    }
    if (const auto byName = m_byName.constFind(Key(nameKey(fileName), size)); byName != m_byName.cend())
        return statusOf(*byName, DatStatus::Kind::Differs);
    const QString code = gameCode.trimmed().toUpper();
    if (const auto bySerial = m_bySerial.constFind(Key(code, size)); !code.isEmpty() && bySerial != m_bySerial.cend())
        return statusOf(*bySerial, DatStatus::Kind::Differs);
    DatStatus status;
    status.kind = DatStatus::Kind::NotListed;
    return status;
}

DatStatus DatIndex::statusOf(Ref ref, DatStatus::Kind kind) const
{
    const auto &[dat, path] = m_dats[std::size_t(ref.dat)];
    DatStatus status;
    status.kind = kind;
    status.gameName = dat->gameOf(dat->roms()[std::size_t(ref.rom)]).name;
    // A DAT without a name in its header goes by its file's.
    status.datName = dat->name().isEmpty() ? path.section(QLatin1Char('/'), -1) : dat->name();
    status.datPath = path;
    return status;
}

QString DatIndex::nameKey(const QString &fileName)
{
    QStringView name = QStringView(fileName).mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    if (const qsizetype dot = name.lastIndexOf(QLatin1Char('.')); dot > 0)
        name.truncate(dot);
    // Every entry's name goes through here at each start: ASCII, the usual case, is folded by
    // hand, which costs a tenth of Unicode's folding.
    QString key = name.toString();
    for (QChar &c : key) {
        if (c.unicode() >= 0x80)
            return std::move(key).toCaseFolded();
        if (c.unicode() >= 'A' && c.unicode() <= 'Z')
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return key;
}
