#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

class DatStatus;
class QJsonObject;
class QJsonValue;
class ROM;

/// The tolvane-rominfo command: reads each named file as the Launcher does and prints
/// its record, as text or as one JSON array.
class RomInfoTool
{
    Q_DECLARE_TR_FUNCTIONS(RomInfoTool)

public:
    RomInfoTool(std::FILE *out, std::FILE *err);

    /// Runs over the arguments that follow the program name and returns the exit status:
    /// 0 when every file gave a complete record (and, with --dat, is verified), 1 when any did
    /// not, 2 on a usage error or a DAT file that cannot be used.
    int run(const QList<QByteArray> &arguments);

private:
    void printUsage(std::FILE *stream) const;
    void printText(const QByteArray &path, const ROM &rom, const DatStatus &dump);
    static QJsonObject jsonRecord(const QString &path, const ROM &rom);
    /// What the DAT files say of an image, for --json: null without a status.
    static QJsonValue jsonDump(const DatStatus &dump);
    /// Why the reader gave no complete record, in the tool's terse words.
    static QString failureReason(const ROM &rom);
    /// Control characters as \xNN, quote and backslash with a backslash, so that one field
    /// stays on one line and padding stays visible.
    static QString escaped(const QString &text);
    /// A path's bytes for one line of text: control characters, backslashes and bytes that
    /// are not UTF-8 as \xNN or \\, so that a name with a newline stays on one line.
    static QString escapedPath(const QByteArray &path);
    void write(std::FILE *stream, const QString &text) const;

    std::FILE *m_out;
    std::FILE *m_err;
};
