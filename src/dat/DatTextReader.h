#pragma once

#include "dat/DatFile.h"

#include <QCoreApplication>
#include <QString>

/// Reads the clrmamepro text form of a DAT: blocks of key and value pairs,
/// `clrmamepro ( name "…" version … )` and `game ( name "…" rom ( name "…" size … md5 … ) )`.
/// One pass over the bytes with a small tokenizer; blocks nest at most a few levels deep.
class DatTextReader
{
    Q_DECLARE_TR_FUNCTIONS(DatTextReader)

public:
    static bool read(const QByteArray &bytes, DatFile &dat, DatFile::Refusal *refusal);

private:
    enum class Token { Open, Close, Word, Quoted, End, Error };
    enum class Block { Header, Game, Rom };
    static constexpr int maximumDepth = 16;

    DatTextReader(const QByteArray &bytes, DatFile &dat, DatFile::Refusal *refusal);
    bool readAll();
    /// The pairs of a block whose "(" was read, up to its ")".
    bool readPairs(Block block);
    /// Passes over a block that is not ours, whose "(" was read.
    bool skipBlock();
    Token next();
    bool fail(const QString &reason);

    const char *m_at;
    const char *m_end;
    qint64 m_line = 1;
    QString m_text;
    DatFile &m_dat;
    DatFile::Refusal *m_refusal;
};
