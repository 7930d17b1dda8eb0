#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

/// The Launcher's resource directory and the property lists in it.
///
/// The resource directory is ../share/tolvane-launcher beside the executable, the same
/// in the build tree and in an installed tree, so the Launcher is relocatable.
class Bundle
{
public:
    explicit Bundle(const QString &resourcePath);

    /// The bundle of the running executable.
    static const Bundle &mainBundle();

    /// Full path of the resource directory, without a trailing "/".
    QString resourcePath() const { return m_resourcePath; }
    /// Full path of "<name>.<type>" in the resource directory, or empty when it does not exist.
    QString pathForResource(const QString &name, const QString &type) const;

    /// The top-level dictionary of an XML or binary property list, or nothing when the
    /// file is missing, unreadable, malformed or holds something other than a dictionary.
    static std::optional<QVariantMap> dictionaryWithContentsOfFile(const QString &path);

private:
    QString m_resourcePath;
};
