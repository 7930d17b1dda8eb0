#include "dat/DatXmlReader.h"

#include <QXmlStreamReader>

bool DatXmlReader::read(const QByteArray &bytes, DatFile &dat, DatFile::Refusal *refusal)
{
    QXmlStreamReader xml(bytes);
    // Qt's own default, said here because it is what stops a billion laughs.
    xml.setEntityExpansionLimit(4096);
    return DatXmlReader(xml, dat, refusal).readDatafile();
}

bool DatXmlReader::readDatafile()
{
    if (!m_xml.readNextStartElement())
        return fail(m_xml.hasError() ? QString() : tr("This is not a DAT file: it holds no XML element."));
    if (m_xml.name() != u"datafile")
        return fail(tr("This is not a DAT file: it begins with <%1>, not <datafile>.").arg(m_xml.name().left(64)));
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"header") {
            if (!readHeader())
                return false;
        } else if (m_xml.name() == u"game" || m_xml.name() == u"machine") {
            if (!readGame())
                return false;
        } else {
            m_xml.skipCurrentElement();
        }
    }
    // What follows </datafile> is read too: a truncated file ends without it.
    while (!m_xml.atEnd())
        m_xml.readNext();
    return !m_xml.hasError() || fail(QString());
}

bool DatXmlReader::readHeader()
{
    while (m_xml.readNextStartElement()) {
        QString text;
        if (!readText(&text))
            return false;
        if (m_xml.name() == u"name")
            m_dat.m_name = text;
        else if (m_xml.name() == u"version")
            m_dat.m_version = text;
        else if (m_xml.name() == u"description" && m_dat.m_name.isEmpty())
            m_dat.m_name = text;
    }
    return !m_xml.hasError() || fail(QString());
}

bool DatXmlReader::readGame()
{
    DatFile::Game game;
    game.name = m_xml.attributes().value(QLatin1String("name")).toString();
    if (game.name.size() > DatFile::maximumTextLength)
        return fail(tr("A game's name is longer than %n characters.", nullptr, DatFile::maximumTextLength));
    m_dat.m_games.push_back(std::move(game));
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"rom") {
            const QXmlStreamAttributes attributes = m_xml.attributes();
            DatFile::Rom rom;
            rom.name = attributes.value(QLatin1String("name")).toString();
            if (rom.name.size() > DatFile::maximumTextLength)
                return fail(tr("A file's name is longer than %n characters.", nullptr, DatFile::maximumTextLength));
            const QString refused = m_dat.addRom(std::move(rom), attributes.value(QLatin1String("md5")).toString(),
                                                 attributes.value(QLatin1String("sha1")).toString(), attributes.value(QLatin1String("crc")).toString(),
                                                 attributes.value(QLatin1String("size")).toString(), attributes.value(QLatin1String("status")).toString());
            if (!refused.isEmpty())
                return fail(refused);
            m_xml.skipCurrentElement();
        } else if (m_xml.name() == u"serial") {
            QString serial;
            if (!readText(&serial))
                return false;
            m_dat.m_games.back().serial = serial;
        } else {
            m_xml.skipCurrentElement();
        }
    }
    return !m_xml.hasError() || fail(QString());
}

bool DatXmlReader::readText(QString *text)
{
    *text = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
    if (m_xml.hasError())
        return fail(QString());
    if (text->size() > DatFile::maximumTextLength)
        return fail(tr("A header field or serial is longer than %n characters.", nullptr, DatFile::maximumTextLength));
    return true;
}

bool DatXmlReader::fail(const QString &reason)
{
    // An empty reason stands for the XML reader's own.
    m_refusal->reason = reason.isEmpty() ? tr("The XML is damaged: %1.").arg(m_xml.errorString()) : reason;
    m_refusal->line = qMax<qint64>(1, m_xml.lineNumber());
    return false;
}
