#pragma once

#include <QCoreApplication>
#include <QString>

/// What the player's DAT files say of one image. With no DAT file chosen the kind is None and
/// nothing is shown.
class DatStatus
{
    Q_DECLARE_TR_FUNCTIONS(DatStatus)

public:
    enum class Kind { None, Verified, BadDump, Differs, NotListed };

    Kind kind = Kind::None;
    /// The game of the matching entry (Verified, BadDump, Differs), as the DAT names it.
    QString gameName;
    /// The DAT's own name from its header, and the file it was read from.
    QString datName;
    QString datPath;

    bool isVerified() const { return kind == Kind::Verified; }
    /// The word for a column: "Verified", "Bad dump", "Differs from …", "Not in your DAT files".
    QString text() const;
    /// The one sentence that explains it in the ROM view.
    QString sentence() const;
    /// "verified", "baddump", "differs", "unknown" for scripts; empty for None.
    QString keyword() const;

    /// What the parentheses of a DAT's game name say, as such names are written:
    /// "Super Game (Europe) (En,Fr,De) (Rev 1)" has the region "Europe", the languages
    /// "En,Fr,De" and the revision "Rev 1". Empty where the name says nothing of it.
    struct NameTags
    {
        QString region;
        QString languages;
        QString revision;
    };
    static NameTags tagsOf(const QString &gameName);
};
