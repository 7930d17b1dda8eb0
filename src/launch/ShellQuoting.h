#pragma once

#include <QString>

/// Writing values into a /bin/sh command line so that each stays one word and nothing
/// in it runs as shell text.
class ShellQuoting
{
public:
    /// \a value between single quotes, each single quote inside written as '\''.
    /// An empty value gives '' (one empty word).
    static QString quoted(const QString &value);
    /// The same for bytes (a path that need not be UTF-8).
    static QByteArray quoted(const QByteArray &value);
    /// \a value bare when it consists only of characters the shell never treats
    /// specially (letters and digits of ASCII and _@%+=:,./-), else quoted().
    static QString bareOrQuoted(const QString &value);
    /// True when \a value can stand bare as one word.
    static bool isBareWord(const QString &value);
};
