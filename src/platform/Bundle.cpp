#include "platform/Bundle.h"

#include "platform/PropertyList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

Bundle::Bundle(const QString &resourcePath)
    : m_resourcePath(QDir::cleanPath(resourcePath))
{
}

const Bundle &Bundle::mainBundle()
{
    // The executable's own folder, known even before (or without) an application object.
    static const Bundle bundle(QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath()
                               + QStringLiteral("/../share/tolvane-launcher"));
    return bundle;
}

QString Bundle::pathForResource(const QString &name, const QString &type) const
{
    const QString fileName = type.isEmpty() ? name : name + QLatin1Char('.') + type;
    const QString path = m_resourcePath + QLatin1Char('/') + fileName;
    return QFileInfo::exists(path) ? path : QString();
}

std::optional<QVariantMap> Bundle::dictionaryWithContentsOfFile(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::optional<QVariant> value = PropertyList::fromData(file.readAll());
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}
