#pragma once

#include "dat/DatFile.h"

#include <QCoreApplication>

class QXmlStreamReader;

/// Reads the Logiqx XML form of a DAT: <datafile>, its <header> and its <game> (or
/// <machine>) elements with their <rom> entries. Entities expand to a few kilobytes at most,
/// so a file built to expand without end is refused as damaged.
class DatXmlReader
{
    Q_DECLARE_TR_FUNCTIONS(DatXmlReader)

public:
    static bool read(const QByteArray &bytes, DatFile &dat, DatFile::Refusal *refusal);

private:
    DatXmlReader(QXmlStreamReader &xml, DatFile &dat, DatFile::Refusal *refusal)
        : m_xml(xml), m_dat(dat), m_refusal(refusal) {}
    bool readDatafile();
    bool readHeader();
    bool readGame();
    /// The current element's text, or an empty string and a refusal when it is too long.
    bool readText(QString *text);
    bool fail(const QString &reason);

    QXmlStreamReader &m_xml;
    DatFile &m_dat;
    DatFile::Refusal *m_refusal;
};
