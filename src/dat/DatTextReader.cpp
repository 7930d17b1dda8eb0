#include "dat/DatTextReader.h"

#include <QHash>

bool DatTextReader::read(const QByteArray &bytes, DatFile &dat, DatFile::Refusal *refusal)
{
    return DatTextReader(bytes, dat, refusal).readAll();
}

DatTextReader::DatTextReader(const QByteArray &bytes, DatFile &dat, DatFile::Refusal *refusal)
    : m_at(bytes.constData()), m_end(bytes.constData() + bytes.size()), m_dat(dat), m_refusal(refusal)
{
}

bool DatTextReader::readAll()
{
    const QString notDat = tr("This is not a DAT file: it is neither XML nor blocks of the clrmamepro text form.");
    bool any = false;
    for (Token token = next(); token != Token::End; token = next()) {
        if (token == Token::Error)
            return false;
        if (token != Token::Word)
            return fail(any ? tr("A block name was expected here.") : notDat);
        const QString block = m_text;
        if (next() != Token::Open)
            return fail(any ? tr("The block name “%1” is not followed by “(”.").arg(block.left(64)) : notDat);
        any = true;
        bool read = false;
        if (block == QLatin1String("clrmamepro") || block == QLatin1String("header")) {
            read = readPairs(Block::Header);
        } else if (block == QLatin1String("game") || block == QLatin1String("machine") || block == QLatin1String("resource")) {
            m_dat.m_games.emplace_back();
            read = readPairs(Block::Game);
        } else {
            read = skipBlock();
        }
        if (!read)
            return false;
    }
    return any || fail(notDat);
}

bool DatTextReader::readPairs(Block block)
{
    QHash<QString, QString> rom;
    for (;;) {
        const Token token = next();
        if (token == Token::Error)
            return false;
        if (token == Token::Close)
            break;
        if (token == Token::End)
            return fail(tr("A block is not closed before the end of the file."));
        if (token != Token::Word)
            return fail(tr("A key was expected here."));
        const QString key = m_text;
        const Token value = next();
        if (value == Token::Error)
            return false;
        if (value == Token::Open) {
            const bool read = block == Block::Game && key == QLatin1String("rom") ? readPairs(Block::Rom) : skipBlock();
            if (!read)
                return false;
            continue;
        }
        if (value != Token::Word && value != Token::Quoted)
            return fail(tr("The key “%1” has no value.").arg(key.left(64)));
        switch (block) {
        case Block::Header:
            if (key == QLatin1String("name") || (key == QLatin1String("description") && m_dat.m_name.isEmpty()))
                m_dat.m_name = m_text;
            else if (key == QLatin1String("version"))
                m_dat.m_version = m_text;
            break;
        case Block::Game:
            if (key == QLatin1String("name"))
                m_dat.m_games.back().name = m_text;
            else if (key == QLatin1String("serial"))
                m_dat.m_games.back().serial = m_text;
            break;
        case Block::Rom:
            rom.insert(key, m_text);
            break;
        }
    }
    if (block != Block::Rom)
        return true;
    DatFile::Rom entry;
    entry.name = rom.value(QStringLiteral("name"));
    // The text form marks a bad dump with "flags baddump"; some writers say "status".
    const QString status = rom.value(QStringLiteral("status"), rom.value(QStringLiteral("flags")));
    const QString refused = m_dat.addRom(std::move(entry), rom.value(QStringLiteral("md5")), rom.value(QStringLiteral("sha1")),
                                         rom.value(QStringLiteral("crc")), rom.value(QStringLiteral("size")), status);
    return refused.isEmpty() || fail(refused);
}

bool DatTextReader::skipBlock()
{
    for (int depth = 1; depth > 0;) {
        switch (next()) {
        case Token::Open:
            if (++depth > maximumDepth)
                return fail(tr("Blocks are nested deeper than any DAT nests them."));
            break;
        case Token::Close:
            --depth;
            break;
        case Token::End:
            return fail(tr("A block is not closed before the end of the file."));
        case Token::Error:
            return false;
        case Token::Word:
        case Token::Quoted:
            break;
        }
    }
    return true;
}

DatTextReader::Token DatTextReader::next()
{
    for (; m_at < m_end && (*m_at == ' ' || *m_at == '\t' || *m_at == '\r' || *m_at == '\n'); ++m_at) {
        if (*m_at == '\n')
            ++m_line;
    }
    if (m_at == m_end)
        return Token::End;
    if (*m_at == '(' || *m_at == ')')
        return *m_at++ == '(' ? Token::Open : Token::Close;
    const bool quoted = *m_at == '"';
    const char *start = quoted ? m_at + 1 : m_at;
    const char *stop = start;
    if (quoted) {
        while (stop < m_end && *stop != '"' && *stop != '\n')
            ++stop;
        if (stop == m_end || *stop == '\n') {
            fail(tr("A quoted text is not closed before the end of its line."));
            return Token::Error;
        }
    } else {
        while (stop < m_end && *stop != ' ' && *stop != '\t' && *stop != '\r' && *stop != '\n' && *stop != '('
               && *stop != ')' && *stop != '"')
            ++stop;
    }
    if (stop - start > DatFile::maximumTextLength) {
        fail(tr("A name or value is longer than %n characters.", nullptr, DatFile::maximumTextLength));
        return Token::Error;
    }
    m_text = QString::fromUtf8(start, stop - start);
    m_at = quoted ? stop + 1 : stop;
    return quoted ? Token::Quoted : Token::Word;
}

bool DatTextReader::fail(const QString &reason)
{
    m_refusal->reason = reason;
    m_refusal->line = m_line;
    return false;
}
