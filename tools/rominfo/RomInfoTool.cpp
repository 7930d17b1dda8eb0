#include "RomInfoTool.h"

#include "dat/DatIndex.h"
#include "library/FolderWalker.h"
#include "library/LibraryRecord.h"
#include "library/ParallelReader.h"
#include "rom/ROM.h"
#include "rom/RomArchive.h"

#include <QFile>
#include <QFileInfo>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>
#include <cstring>

#include <sys/stat.h>

RomInfoTool::RomInfoTool(std::FILE *out, std::FILE *err) : m_out(out), m_err(err) {}

int RomInfoTool::run(const QList<QByteArray> &arguments)
{
    bool json = false;
    bool recursive = false;
    bool optionsEnded = false;
    int jobs = ParallelReader::defaultJobs();
    QList<QByteArray> operands;
    QList<QByteArray> datPaths;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString argument = QFile::decodeName(arguments.at(i));
        if (!optionsEnded && argument.startsWith(QLatin1Char('-'))) {
            QString jobsText;
            if (argument == QLatin1String("--")) {
                optionsEnded = true;
            } else if (argument == QLatin1String("--json")) {
                json = true;
            } else if (argument == QLatin1String("-r") || argument == QLatin1String("--recursive")) {
                recursive = true;
            } else if (argument == QLatin1String("--jobs") && i + 1 < arguments.size()) {
                jobsText = QFile::decodeName(arguments.at(++i));
            } else if (argument.startsWith(QLatin1String("--jobs="))) {
                jobsText = argument.mid(7);
            } else if (argument == QLatin1String("--dat") && i + 1 < arguments.size()) {
                datPaths.append(arguments.at(++i));
            } else if (argument.startsWith(QLatin1String("--dat="))) {
                datPaths.append(arguments.at(i).mid(6));
            } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
                printUsage(m_out);
                return 0;
            } else if (argument == QLatin1String("--version")) {
                write(m_out, QStringLiteral("tolvane-rominfo " TOLVANE_VERSION "\n"));
                return 0;
            } else {
                write(m_err, tr("tolvane-rominfo: unknown option %1").arg(argument)
                                 + QLatin1Char('\n'));
                printUsage(m_err);
                return 2;
            }
            if (!jobsText.isNull()) {
                bool ok = false;
                jobs = jobsText.toInt(&ok);
                if (!ok || jobs < 1 || jobs > 256) {
                    write(m_err, tr("tolvane-rominfo: --jobs takes a number from 1 to 256") + QLatin1Char('\n'));
                    return 2;
                }
            }
        } else {
            operands.append(arguments.at(i));
        }
    }
    if (operands.isEmpty()) {
        printUsage(m_err);
        return 2;
    }

    // A DAT that cannot be used would make every file "not verified": nothing is read then.
    DatIndex dats;
    for (const QByteArray &datPath : datPaths) {
        DatFile::Refusal refusal;
        const auto dat = DatFile::read(QFile::decodeName(datPath), &refusal);
        if (!dat) {
            write(m_err, tr("tolvane-rominfo: %1: not a usable DAT file: %2").arg(escapedPath(datPath), refusal.text())
                             + QLatin1Char('\n'));
            return 2;
        }
        dats.add(dat, QFileInfo(QFile::decodeName(datPath)).absoluteFilePath());
    }

    int status = 0;
    std::vector<QByteArray> paths;
    if (recursive) {
        // Folders are walked with the library's rules; a file named directly is taken as it is.
        QList<QByteArray> folders;
        for (const QByteArray &operand : operands) {
            struct stat info;
            if (::stat(operand.constData(), &info) == 0 && S_ISDIR(info.st_mode))
                folders.append(operand);
            else
                paths.push_back(operand);
        }
        FolderWalker walker;
        for (FolderWalker::Entry &entry : walker.walk(folders))
            paths.push_back(std::move(entry.path));
        for (const QString &problem : walker.problems()) {
            write(m_err, QStringLiteral("tolvane-rominfo: ") + escapedPath(problem.toUtf8()) + QLatin1Char('\n'));
            status = 1;
        }
        // Sorted by path, whatever order the walk and the reads took.
        std::sort(paths.begin(), paths.end());
    } else {
        paths.assign(operands.cbegin(), operands.cend());
    }

    std::vector<ParallelReader::Records> results(paths.size());
    ParallelReader::readAll(paths, jobs, [&results](std::size_t index, ParallelReader::Records records) {
        results[index] = std::move(records);
    });

    QJsonArray records;
    bool first = true;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        for (const std::shared_ptr<ROM> &record : results[i]) {
            const ROM &rom = *record;
            const bool valid = rom.isValid();
            const DatStatus dump = valid ? dats.statusOf(rom.MD5().value_or(QString()), rom.fileSize().value_or(-1),
                                                         rom.archiveEntry().value_or(QFile::decodeName(paths[i])),
                                                         rom.gameCode().value_or(QString()))
                                         : DatStatus();
            if (valid && !dats.isEmpty() && !dump.isVerified())
                status = 1;
            if (json) {
                QJsonObject object = jsonRecord(QFile::decodeName(paths[i]), rom);
                if (!dats.isEmpty())
                    object.insert(QStringLiteral("dat"), jsonDump(dump));
                records.append(object);
            } else if (valid) {
                if (!first)
                    write(m_out, QStringLiteral("\n"));
                printText(paths[i], rom, dump);
                first = false;
            }
            if (!valid) {
                QString path = escapedPath(paths[i]);
                if (const std::optional<QString> entry = rom.archiveEntry())
                    path = RomArchive::entryDisplayName(path, escaped(*entry));
                write(m_err, tr("tolvane-rominfo: %1: not read as a ROM image: %2")
                                 .arg(path, failureReason(rom))
                                 + QLatin1Char('\n'));
                status = 1;
            }
        }
    }
    if (json)
        write(m_out, QString::fromUtf8(QJsonDocument(records).toJson(QJsonDocument::Indented)));
    std::fflush(m_out);
    return status;
}

void RomInfoTool::printUsage(std::FILE *stream) const
{
    write(stream,
          tr("Usage: tolvane-rominfo [--json] [--jobs N] [-r] [--dat DAT]... [--] FILE|DIR...\n"
             "Reads each ROM image as the Launcher does, also each image inside a .zip or .7z\n"
             "archive (with JSON keys \"archive\" and \"entry\"), and prints its name, game code,\n"
             "header checksum words, CIC variant, MD5 digest of the canonical image and\n"
             "stored byte order (z64, v64 or n64). In the text form the name is quoted, and\n"
             "quotes, backslashes and control characters in texts are escaped (\\xNN), in\n"
             "paths also bytes that are not UTF-8. JSON adds \"size\" (bytes) and \"region\".\n"
             "\n"
             "  --json           print one JSON array with an object per file\n"
             "  -r, --recursive  read the ROM images in each folder named, and in its subfolders\n"
             "                   (.z64, .v64, .n64, and .zip and .7z archives, in any letter\n"
             "                   case, as the library finds them); the output is sorted by path\n"
             "  --jobs N         read N files in parallel (default: the number of cores)\n"
             "  --dat DAT        check each image against this DAT file (XML or clrmamepro text,\n"
             "                   or a .zip holding one; may be given again): a \"Dump:\" line,\n"
             "                   in JSON \"dat\" with \"status\" (verified, baddump, differs,\n"
             "                   unknown), \"name\" (the DAT's game) and \"file\" (the DAT)\n"
             "  -h, --help       print this help and exit\n"
             "  --version        print the version and exit\n"
             "  --               end of options: what follows is a file, even if it begins with -\n"
             "\n"
             "Exit status: 0 when every file was read, 1 when any was not (or a folder could\n"
             "not be read, or with --dat an image is not verified), 2 on a usage error or a\n"
             "DAT file that cannot be used.\n"));
}

void RomInfoTool::printText(const QByteArray &path, const ROM &rom, const DatStatus &dump)
{
    const QString crcs = QString::asprintf("%X %X", rom.CRC1().value_or(0), rom.CRC2().value_or(0));
    QString text;
    text += tr("File:       %1\n").arg(escapedPath(path));
    if (const std::optional<QString> entry = rom.archiveEntry())
        text += tr("Entry:      %1\n").arg(escaped(*entry));
    // Quoted so that padding spaces stay visible.
    text += tr("Name:       \"%1\"\n").arg(escaped(rom.name().value_or(QString())));
    text += tr("Game code:  %1\n").arg(escaped(rom.gameCode().value_or(QString())));
    text += tr("CRC:        %1\n").arg(crcs);
    text += tr("CIC:        %1\n").arg(rom.cic().value_or(0));
    text += tr("MD5:        %1\n").arg(rom.MD5().value_or(QString()));
    text += tr("Byte order: %1\n").arg(rom.byteOrder().value_or(QString()));
    switch (dump.kind) {
    case DatStatus::Kind::None:
        break;
    case DatStatus::Kind::Verified:
        text += tr("Dump:       Verified (%1)\n").arg(escaped(dump.gameName));
        break;
    case DatStatus::Kind::BadDump:
        text += tr("Dump:       Bad dump (%1)\n").arg(escaped(dump.gameName));
        break;
    case DatStatus::Kind::Differs:
    case DatStatus::Kind::NotListed:
        text += tr("Dump:       %1\n").arg(escaped(dump.text()));
        break;
    }
    write(m_out, text);
}

QJsonObject RomInfoTool::jsonRecord(const QString &path, const ROM &rom)
{
    const auto orNull = [](const auto &field) {
        return field ? QJsonValue(*field) : QJsonValue(QJsonValue::Null);
    };
    const auto wordOrNull = [](const std::optional<quint32> &field) {
        // qint64 keeps 0xFFFFFFFF positive; a double holds it exactly.
        return field ? QJsonValue(qint64(*field)) : QJsonValue(QJsonValue::Null);
    };
    QJsonObject object;
    object.insert(QStringLiteral("path"), path);
    if (const std::optional<QString> entry = rom.archiveEntry()) {
        object.insert(QStringLiteral("archive"), path);
        object.insert(QStringLiteral("entry"), *entry);
    }
    object.insert(QStringLiteral("valid"), rom.isValid());
    object.insert(QStringLiteral("name"), orNull(rom.name()));
    object.insert(QStringLiteral("gameCode"), orNull(rom.gameCode()));
    object.insert(QStringLiteral("crc1"), wordOrNull(rom.CRC1()));
    object.insert(QStringLiteral("crc2"), wordOrNull(rom.CRC2()));
    object.insert(QStringLiteral("cic"), orNull(rom.cic()));
    object.insert(QStringLiteral("md5"), orNull(rom.MD5()));
    object.insert(QStringLiteral("byteOrder"), orNull(rom.byteOrder()));
    object.insert(QStringLiteral("size"), orNull(rom.fileSize()));
    // The words the library's Region column shows, for the records it shows them for.
    object.insert(QStringLiteral("region"), rom.isValid() ? QJsonValue(LibraryRecord::regionName(rom.regionCode().value_or(0), false))
                                                          : QJsonValue(QJsonValue::Null));
    return object;
}

QJsonValue RomInfoTool::jsonDump(const DatStatus &dump)
{
    if (dump.kind == DatStatus::Kind::None)
        return QJsonValue(QJsonValue::Null);
    const auto orNull = [](const QString &text) { return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text); };
    return QJsonObject{{QStringLiteral("status"), dump.keyword()},
                       {QStringLiteral("name"), orNull(dump.gameName)},
                       {QStringLiteral("file"), orNull(dump.datPath)}};
}

QString RomInfoTool::failureReason(const ROM &rom)
{
    using Refusal = ROM::Refusal;
    const std::optional<Refusal> refusal = rom.refusal();
    if (!refusal)
        return tr("cannot be read");
    switch (*refusal) {
    case Refusal::Missing:
        return tr("no such file");
    case Refusal::Folder:
        return tr("is a directory");
    case Refusal::NamedPipe:
        return tr("not a regular file (named pipe)");
    case Refusal::CharacterDevice:
        return tr("not a regular file (character device)");
    case Refusal::BlockDevice:
        return tr("not a regular file (block device)");
    case Refusal::Socket:
        return tr("not a regular file (socket)");
    case Refusal::Empty:
    case Refusal::TooShort:
        return tr("shorter than %1 bytes (%n byte(s))", nullptr, int(rom.fileSize().value_or(0))).arg(ROM::minimumImageSize);
    case Refusal::TooLong:
        return tr("2 GiB or longer");
    case Refusal::ArchiveDamaged:
        return tr("damaged or truncated archive, or not a .zip or .7z");
    case Refusal::ArchiveEncrypted:
        return tr("the archive is encrypted");
    case Refusal::NoImageInArchive:
        return tr("no ROM image inside");
    case Refusal::TooManyEntries:
        return tr("too many entries in the archive");
    case Refusal::EntryEncrypted:
        return tr("is encrypted");
    case Refusal::EntryDamaged:
        return tr("damaged in the archive (bad checksum or size)");
    case Refusal::UnsafeEntryName:
        return tr("unsafe entry name");
    case Refusal::EntryMissing:
        return tr("no longer in the archive");
    case Refusal::EntryTooLarge:
        return tr("larger than 64 MiB");
    case Refusal::EntriesOverlap:
        return tr("overlapping entries in the archive");
    case Refusal::ArchiveTooCostly:
        return tr("the archive unpacks to far more than its size allows");
    case Refusal::IsArchive:
        return tr("an archive, not a ROM image");
    case Refusal::NotLocalFile:
    case Refusal::CannotOpen:
    case Refusal::ReadFailed:
        break;
    }
    return QString::fromLocal8Bit(std::strerror(rom.refusalError()));
}

QString RomInfoTool::escaped(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || code == 0x7F)
            result += QString::asprintf("\\x%02X", unsigned(code));
        else if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            result += QLatin1Char('\\') + c;
        else
            result += c;
    }
    return result;
}

QString RomInfoTool::escapedPath(const QByteArray &path)
{
    QString result;
    for (qsizetype i = 0; i < path.size();) {
        const auto byte = uchar(path.at(i));
        const int length = byte < 0x80 ? 1 : (byte & 0xE0) == 0xC0 ? 2 : (byte & 0xF0) == 0xE0 ? 3 : (byte & 0xF8) == 0xF0 ? 4 : 0;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString character = length > 0 && i + length <= path.size() ? decoder(path.mid(i, length)) : QString();
        if (length == 0 || character.isEmpty() || decoder.hasError() || byte < 0x20 || byte == 0x7F) {
            result += QString::asprintf("\\x%02X", unsigned(byte));
            ++i;
            continue;
        }
        result += byte == '\\' ? QStringLiteral("\\\\") : character;
        i += length;
    }
    return result;
}

void RomInfoTool::write(std::FILE *stream, const QString &text) const
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}
