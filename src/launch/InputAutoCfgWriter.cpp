#include "launch/InputAutoCfgWriter.h"

#include "input/ControllerRecord.h"
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
        const ControllerRecord record(it.value().toMap());
        text += QLatin1Char('[') + record.usbName() + QStringLiteral("]\n");
        text += QStringLiteral("plugged = ") + (record.isPlugged() ? QStringLiteral("True") : QStringLiteral("False"))
            + QLatin1Char('\n');
        text += QStringLiteral("plugin = ") + record.plugin() + QLatin1Char('\n');
        text += QStringLiteral("mouse = ") + (record.hasMouseEntry() ? QStringLiteral("False") : QStringLiteral("True"))
            + QLatin1Char('\n');
        const QStringList mapping = record.mapping();
        // Values beyond the last input name have no input to name them, so they are left out.
        const qsizetype lines = std::min(mapping.size(), inputNames.size());
        for (qsizetype i = 0; i < lines; ++i)
            text += inputNames.at(i).toString() + QStringLiteral(" = ") + mapping.at(i) + QLatin1Char('\n');
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
