#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

/// Renames a verified file to its game's name in the player's DAT files, keeping its
/// extension: "SUPERGAM.V64" becomes "Super Game (Europe) (Rev 1).v64" in the same folder.
/// History, settings and cover follow by themselves, since they are kept by the image's MD5.
class DatRename
{
    Q_DECLARE_TR_FUNCTIONS(DatRename)

public:
    /// The path the file would get; empty when \a gameName cannot be a file name (a slash,
    /// a control character, "." or "..": a DAT is not trusted to say where files go).
    static QByteArray targetOf(const QByteArray &path, const QString &gameName);
    /// Renames \a path; empty on success, else why not in a sentence. An existing file is
    /// never replaced.
    static QString rename(const QByteArray &path, const QString &gameName);
};
