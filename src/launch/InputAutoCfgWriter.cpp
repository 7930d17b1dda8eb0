#include "launch/InputAutoCfgWriter.h"

#include "platform/FileReplacer.h"

#include <algorithm>

QString InputAutoCfgWriter::textFor(const std::optional<QVariantList> &names,
                                    const std::optional<QVariantMap> &controllers)
{
    QString text;
    if (!controllers)
        return text;
    const QVariantList inputNames = names.value_or(QVariantList());
    for (auto it = controllers->cbegin(); it != controllers->cend(); ++it) {
        // Only a dictionary can be a controller record.
        if (it.value().typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap record = it.value().toMap();
        text += QLatin1Char('[') + record.value(QStringLiteral("USBName")).toString() + QStringLiteral("]\n");
        text += QStringLiteral("plugged = ")
            + (record.contains(QStringLiteral("plugged")) ? QStringLiteral("True") : QStringLiteral("False"))
            + QLatin1Char('\n');
        text += QStringLiteral("plugin = ") + record.value(QStringLiteral("plugin")).toString() + QLatin1Char('\n');
        text += QStringLiteral("mouse = ")
            + (record.contains(QStringLiteral("mouse")) ? QStringLiteral("False") : QStringLiteral("True"))
            + QLatin1Char('\n');
        const QVariantList mapping = record.value(QStringLiteral("Mapping")).toList();
        // Values beyond the last input name have no input to name them, so they are left out.
        const qsizetype lines = std::min(mapping.size(), inputNames.size());
        for (qsizetype i = 0; i < lines; ++i)
            text += inputNames.at(i).toString() + QStringLiteral(" = ") + mapping.at(i).toString() + QLatin1Char('\n');
        text += QLatin1Char('\n');
    }
    return text;
}

bool InputAutoCfgWriter::writeText(const QString &path, const QString &text, QString *reason)
{
    // Never an empty or half file: the emulator would start with no mapping at all.
    FileReplacer file(path);
    if (file.replace(text.toUtf8()))
        return true;
    if (reason)
        *reason = file.reason();
    return false;
}
