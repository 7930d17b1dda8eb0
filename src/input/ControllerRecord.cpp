#include "input/ControllerRecord.h"

#include <QCoreApplication>

namespace {
// The stored titles and input names of the defaults, listed so that the catalogues hold them:
// displayName() shows them translated while the stored English stays the key.
[[maybe_unused]] const char *const kShownNames[] = {
    QT_TRANSLATE_NOOP("ControllerRecord", "Keyboard"),    QT_TRANSLATE_NOOP("ControllerRecord", "Joystick 1"),
    QT_TRANSLATE_NOOP("ControllerRecord", "Joystick 2"),  QT_TRANSLATE_NOOP("ControllerRecord", "Start"),
    QT_TRANSLATE_NOOP("ControllerRecord", "C Up"),        QT_TRANSLATE_NOOP("ControllerRecord", "C Down"),
    QT_TRANSLATE_NOOP("ControllerRecord", "C Left"),      QT_TRANSLATE_NOOP("ControllerRecord", "C Right"),
    QT_TRANSLATE_NOOP("ControllerRecord", "D-Pad Up"),    QT_TRANSLATE_NOOP("ControllerRecord", "D-Pad Down"),
    QT_TRANSLATE_NOOP("ControllerRecord", "D-Pad Left"),  QT_TRANSLATE_NOOP("ControllerRecord", "D-Pad Right"),
    QT_TRANSLATE_NOOP("ControllerRecord", "Stick Up"),    QT_TRANSLATE_NOOP("ControllerRecord", "Stick Down"),
    QT_TRANSLATE_NOOP("ControllerRecord", "Stick Left"),  QT_TRANSLATE_NOOP("ControllerRecord", "Stick Right"),
};
const QString kUsbNameKey = QStringLiteral("USBName");
const QString kMappingKey = QStringLiteral("Mapping");
}

const QString ControllerRecord::kKeyboardTitle = QStringLiteral("Keyboard");

ControllerRecord::ControllerRecord(QVariantMap stored)
    : m_stored(std::move(stored))
{
}

QString ControllerRecord::displayName(const QString &storedName)
{
    return QCoreApplication::translate("ControllerRecord", storedName.toUtf8().constData());
}

QString ControllerRecord::usbName() const
{
    return m_stored.value(kUsbNameKey).toString();
}

void ControllerRecord::setUsbName(const QString &name)
{
    m_stored.insert(kUsbNameKey, name);
}

bool ControllerRecord::isPlugged() const
{
    return m_stored.contains(QStringLiteral("plugged"));
}

QString ControllerRecord::plugin() const
{
    return m_stored.value(QStringLiteral("plugin")).toString();
}

bool ControllerRecord::hasMouseEntry() const
{
    return m_stored.contains(QStringLiteral("mouse"));
}

QStringList ControllerRecord::mapping() const
{
    QStringList list;
    for (const QVariant &item : m_stored.value(kMappingKey).toList())
        list.append(item.toString());
    return list;
}

void ControllerRecord::setMapping(const QStringList &mapping)
{
    QVariantList list;
    list.reserve(mapping.size());
    for (const QString &value : mapping)
        list.append(value);
    m_stored.insert(kMappingKey, list);
}
