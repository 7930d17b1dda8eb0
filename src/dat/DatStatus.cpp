#include "dat/DatStatus.h"

#include <QRegularExpression>

QString DatStatus::text() const
{
    switch (kind) {
    case Kind::None:
        break;
    case Kind::Verified:
        return tr("Verified");
    case Kind::BadDump:
        return tr("Bad dump");
    case Kind::Differs:
        return tr("Differs from %1").arg(gameName);
    case Kind::NotListed:
        return tr("Not in your DAT files");
    }
    return QString();
}

QString DatStatus::sentence() const
{
    switch (kind) {
    case Kind::None:
        break;
    case Kind::Verified:
        return tr("This file is a verified copy of “%1”, as listed in “%2”.").arg(gameName, datName);
    case Kind::BadDump:
        return tr("This file is a known bad dump of “%1”, as listed in “%2”.").arg(gameName, datName);
    case Kind::Differs:
        return tr("This file is not the copy of “%1” listed in “%2”: it has that game's name or code and size, but "
                  "other contents, so it is modified or damaged.")
            .arg(gameName, datName);
    case Kind::NotListed:
        return tr("None of your DAT files lists this file.");
    }
    return QString();
}

QString DatStatus::keyword() const
{
    switch (kind) {
    case Kind::None:
        break;
    case Kind::Verified:
        return QStringLiteral("verified");
    case Kind::BadDump:
        return QStringLiteral("baddump");
    case Kind::Differs:
        return QStringLiteral("differs");
    case Kind::NotListed:
        return QStringLiteral("unknown");
    }
    return QString();
}

DatStatus::NameTags DatStatus::tagsOf(const QString &gameName)
{
    static const QRegularExpression group(QStringLiteral("\\(([^()]+)\\)"));
    static const QRegularExpression languages(QStringLiteral("^[A-Z][a-z](-[A-Z][a-z])?(,[A-Z][a-z](-[A-Z][a-z])?)*$"));
    static const QRegularExpression revision(QStringLiteral("^(Rev [0-9A-Z.]+|v[0-9][0-9.]*)$"));
    NameTags tags;
    for (const QRegularExpressionMatch &match : group.globalMatch(gameName)) {
        const QString text = match.captured(1).trimmed();
        if (languages.match(text).hasMatch())
            tags.languages = tags.languages.isEmpty() ? text : tags.languages;
        else if (revision.match(text).hasMatch())
            tags.revision = tags.revision.isEmpty() ? text : tags.revision;
        // The region comes first, before any other tag.
        else if (tags.region.isEmpty() && tags.languages.isEmpty() && tags.revision.isEmpty() && match.capturedStart() == gameName.indexOf(QLatin1Char('(')))
            tags.region = text;
    }
    return tags;
}
