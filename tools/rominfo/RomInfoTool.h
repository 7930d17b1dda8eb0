#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>

class QJsonObject;
class ROM;

/// The tolvane-rominfo command: reads each named file as the Launcher does and prints
/// its record, as text or as one JSON array.
class RomInfoTool
{
    Q_DECLARE_TR_FUNCTIONS(RomInfoTool)

public:
    RomInfoTool(std::FILE *out, std::FILE *err);

    /// Runs over the arguments that follow the program name and returns the exit status:
    /// 0 when every file gave a complete record, 1 when any did not, 2 on a usage error.
    int run(const QStringList &arguments);

    /// "n64" for a first byte of 0x40 (little-endian words), "v64" for 0x37 (swapped
    /// half-words), "z64" (canonical) for anything else.
    static QString byteOrderName(unsigned char firstByte);
    /// The stored byte order of the file at \a path, or nothing when its first byte cannot be read.
    static std::optional<QString> byteOrderOfFile(const QString &path);

private:
    void printUsage(std::FILE *stream) const;
    void printText(const QString &path, const ROM &rom, const QString &byteOrder);
    static QJsonObject jsonRecord(const QString &path, const ROM &rom,
                                  const std::optional<QString> &byteOrder);
    /// Why the file at \a path gave no complete record, as far as can be told from outside.
    static QString failureReason(const QString &path);
    /// Control characters as \xNN, quote and backslash with a backslash, so that one field
    /// stays on one line and padding stays visible.
    static QString escaped(const QString &text);
    void write(std::FILE *stream, const QString &text) const;

    std::FILE *m_out;
    std::FILE *m_err;
};
