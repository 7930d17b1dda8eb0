#include "rom/RomSource.h"

#include "platform/LocalPath.h"

RomSource::RomSource(const QUrl &url) : m_url(url)
{
    const QByteArray path = LocalPath::fromUrl(url).bytes();
    // An entry's URL names one whatever the archive's name (an archive named .z64 has them too).
    if (RomArchive::entryOfUrl(url, &m_entryIndex, &m_entryName))
        m_kind = Kind::ArchiveEntry;
    else if (url.isLocalFile() && RomArchive::hasArchiveExtension(path.constData(), std::size_t(path.size())))
        m_kind = Kind::Archive;
}

RomSource RomSource::asArchive() const
{
    RomSource archive(*this);
    archive.m_kind = Kind::Archive;
    return archive;
}

bool RomSource::isSourceName(const char *name, std::size_t length)
{
    return RomArchive::hasImageExtension(QByteArray::fromRawData(name, qsizetype(length)))
        || RomArchive::hasArchiveExtension(name, length);
}

RomArchive::Listing RomSource::listImages(const RomReadOptions &options) const
{
    return RomArchive::listImages(fileUrl(), options);
}

RomSource RomSource::entry(const RomArchive::Entry &entry) const
{
    return RomSource(RomArchive::entryUrl(fileUrl(), entry.index, entry.name));
}

std::shared_ptr<ROM> RomSource::read(const RomReadOptions &options) const
{
    switch (m_kind) {
    case Kind::ImageFile:
        // An archive by its content, whatever its name says.
        if (std::shared_ptr<ROM> rom = ROM::romFromURL(m_url, options); rom->refusal() != ROM::Refusal::IsArchive)
            return rom;
        return asArchive().read(options);
    case Kind::ArchiveEntry:
        return RomArchive::readImage(fileUrl(), m_entryIndex, m_entryName, options);
    case Kind::Archive:
        break;
    }
    const RomArchive::Listing listing = listImages(options);
    if (listing.entries.empty())
        return listing.refused;
    return entry(listing.entries.front()).read(options);
}

std::vector<std::shared_ptr<ROM>> RomSource::readAll(const RomReadOptions &options) const
{
    if (m_kind == Kind::Archive)
        return RomArchive::readImages(fileUrl(), options);
    if (m_kind == Kind::ImageFile) {
        if (std::shared_ptr<ROM> rom = ROM::romFromURL(m_url, options); rom->refusal() != ROM::Refusal::IsArchive)
            return {rom};
        return RomArchive::readImages(fileUrl(), options);
    }
    return {read(options)};
}
