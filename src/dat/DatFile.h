#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

/// A DAT file as collectors keep them: a list of known good (and known bad) dumps, each game
/// with the files it consists of and their size, CRC-32, MD5 and SHA-1. Read from the Logiqx
/// XML form, from the clrmamepro text form, or from a .zip or .7z holding one of them.
///
/// Reading is bounded whatever the file holds: the length, the number of entries, the
/// length of a name and the depth of the blocks are capped, entities expand to a few
/// kilobytes at most, and a file that breaks any rule is refused with the reason and the
/// line where reading stopped.
class DatFile
{
    Q_DECLARE_TR_FUNCTIONS(DatFile)

public:
    /// A DAT of Nintendo 64 games is a few megabytes; this leaves room for any collection.
    static constexpr qint64 maximumFileSize = qint64(64) << 20;
    static constexpr int maximumEntries = 250000;
    static constexpr int maximumTextLength = 4096;

    enum class Status : quint8 { Good, BadDump, NoDump };

    struct Game
    {
        QString name;
        /// The product code some DATs give ("NSME" or "NUS-NSME-USA"); may be empty.
        QString serial;
    };
    /// One file of a game as the DAT lists it.
    struct Rom
    {
        QString name;
        qint64 size = -1;
        std::optional<quint32> crc;
        /// Raw digests, 16 and 20 bytes; empty when the DAT gives none.
        QByteArray md5;
        QByteArray sha1;
        Status status = Status::Good;
        /// Index into games().
        qint32 game = -1;
    };
    /// Why a file was not taken, and the line where reading stopped (0: before any line).
    struct Refusal
    {
        QString reason;
        qint64 line = 0;
        /// The reason, with the line when there is one, as one or two sentences.
        QString text() const;
    };

    /// Reads the file at \a path; null and \a refusal set when it is not a DAT or is damaged.
    static std::shared_ptr<const DatFile> read(const QString &path, Refusal *refusal);
    /// The same for a DAT's bytes (XML or text form; no archive).
    static std::shared_ptr<const DatFile> parse(const QByteArray &bytes, Refusal *refusal);

    QString name() const { return m_name; }
    QString version() const { return m_version; }
    const std::vector<Game> &games() const { return m_games; }
    const std::vector<Rom> &roms() const { return m_roms; }
    const Game &gameOf(const Rom &rom) const { return m_games[std::size_t(rom.game)]; }

    /// A compact form for the library cache, and back; nullopt for bytes that do not decode.
    QByteArray serialized() const;
    static std::shared_ptr<const DatFile> deserialized(const QByteArray &bytes);

private:
    friend class DatXmlReader;
    friend class DatTextReader;

    /// Checks and stores one entry of the game last added; the reason when it is refused.
    QString addRom(Rom rom, const QString &md5, const QString &sha1, const QString &crc, const QString &size,
                   const QString &status);
    /// Entries whose game's name marks a bad dump ("[b]"), once all are read.
    void finish();

    QString m_name;
    QString m_version;
    std::vector<Game> m_games;
    std::vector<Rom> m_roms;
};
