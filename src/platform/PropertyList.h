#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

/// Conversion between property lists (through libplist) and QVariant.
///
/// string <-> QString, integer <-> qlonglong, real <-> double, boolean <-> bool,
/// date <-> QDateTime (UTC), data <-> QByteArray, array <-> QVariantList,
/// dictionary <-> QVariantMap.
class PropertyList
{
public:
    /// Parses an XML or binary property list; nothing when the bytes are not one.
    static std::optional<QVariant> fromData(const QByteArray &data);
    /// An XML property list of \a value; empty when \a value holds a type that has no
    /// property-list form.
    static QByteArray toXml(const QVariant &value);
};
