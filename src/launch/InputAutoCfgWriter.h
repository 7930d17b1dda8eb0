#pragma once

#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

/// The emulator's input auto-configuration file (InputAutoCfg.ini), one section per
/// controller record.
class InputAutoCfgWriter
{
public:
    /// The file's text for the input name list \a names (the "Mapping" setting) and the
    /// controller records \a controllers (the "Controllers" setting), in the dictionary's
    /// key order. A record's mapping lines stop at the shorter of its "Mapping" and
    /// \a names; an absent "USBName" or "plugin" gives an empty value.
    static QString textFor(const std::optional<QVariantList> &names, const std::optional<QVariantMap> &controllers);
    /// Replaces the file at \a path whole with \a text in UTF-8, atomically. False when
    /// it could not be written (a missing folder, a full disk), with why in \a reason; the
    /// old file then stays as it was.
    static bool writeText(const QString &path, const QString &text, QString *reason = nullptr);
};
