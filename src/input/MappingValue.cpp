#include "input/MappingValue.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <utility>

namespace MappingValue {

namespace {

// SDL 1.2 key symbols above the character range, by the names people know them by.
constexpr std::pair<int, const char *> kNamedKeys[] = {
    {8, QT_TRANSLATE_NOOP("MappingValue", "Backspace")},  {9, QT_TRANSLATE_NOOP("MappingValue", "Tab")},
    {13, QT_TRANSLATE_NOOP("MappingValue", "Return")},    {27, QT_TRANSLATE_NOOP("MappingValue", "Escape")},
    {32, QT_TRANSLATE_NOOP("MappingValue", "Space")},     {127, QT_TRANSLATE_NOOP("MappingValue", "Delete")},
    {271, QT_TRANSLATE_NOOP("MappingValue", "Keypad Enter")},
    {273, QT_TRANSLATE_NOOP("MappingValue", "Up")},       {274, QT_TRANSLATE_NOOP("MappingValue", "Down")},
    {275, QT_TRANSLATE_NOOP("MappingValue", "Right")},    {276, QT_TRANSLATE_NOOP("MappingValue", "Left")},
    {277, QT_TRANSLATE_NOOP("MappingValue", "Insert")},   {278, QT_TRANSLATE_NOOP("MappingValue", "Home")},
    {279, QT_TRANSLATE_NOOP("MappingValue", "End")},      {280, QT_TRANSLATE_NOOP("MappingValue", "Page Up")},
    {281, QT_TRANSLATE_NOOP("MappingValue", "Page Down")},
    {300, QT_TRANSLATE_NOOP("MappingValue", "Num Lock")}, {301, QT_TRANSLATE_NOOP("MappingValue", "Caps Lock")},
    {302, QT_TRANSLATE_NOOP("MappingValue", "Scroll Lock")},
    {303, QT_TRANSLATE_NOOP("MappingValue", "Right Shift")}, {304, QT_TRANSLATE_NOOP("MappingValue", "Left Shift")},
    {305, QT_TRANSLATE_NOOP("MappingValue", "Right Ctrl")},  {306, QT_TRANSLATE_NOOP("MappingValue", "Left Ctrl")},
    {307, QT_TRANSLATE_NOOP("MappingValue", "Right Alt")},   {308, QT_TRANSLATE_NOOP("MappingValue", "Left Alt")},
    {309, QT_TRANSLATE_NOOP("MappingValue", "Right Meta")},  {310, QT_TRANSLATE_NOOP("MappingValue", "Left Meta")},
    {311, QT_TRANSLATE_NOOP("MappingValue", "Left Super")},  {312, QT_TRANSLATE_NOOP("MappingValue", "Right Super")},
    {313, QT_TRANSLATE_NOOP("MappingValue", "Alt Gr")},   {315, QT_TRANSLATE_NOOP("MappingValue", "Help")},
    {316, QT_TRANSLATE_NOOP("MappingValue", "Print")},    {317, QT_TRANSLATE_NOOP("MappingValue", "SysRq")},
    {318, QT_TRANSLATE_NOOP("MappingValue", "Break")},    {319, QT_TRANSLATE_NOOP("MappingValue", "Menu")},
    {266, QT_TRANSLATE_NOOP("MappingValue", "Keypad .")},
};

QString tr(const char *text)
{
    return QCoreApplication::translate("MappingValue", text);
}

QString keyName(int number)
{
    for (const auto &[key, name] : kNamedKeys) {
        if (key == number)
            return tr(name);
    }
    if (number >= 256 && number <= 265)
        return tr("Keypad %1").arg(number - 256);
    if (number >= 282 && number <= 296)
        return QStringLiteral("F%1").arg(number - 281);
    // Other numbers are the character the key produces; letters as printed on the key.
    const QChar character{char16_t(number)};
    if (number > 32 && number <= 0xFFFF && character.isPrint() && !character.isSurrogate())
        return QString(character).toUpper();
    return tr("Key %1").arg(number);
}

} // namespace

QString key(int keyNumber)
{
    return QStringLiteral("key(%1)").arg(keyNumber);
}

QString button(int buttonNumber)
{
    return QStringLiteral("button(%1)").arg(buttonNumber);
}

QString axis(int axisNumber, char sign)
{
    return QStringLiteral("axis(%1%2)").arg(axisNumber).arg(QLatin1Char(sign));
}

QString displayText(const QString &storedValue)
{
    static const QRegularExpression form(QStringLiteral("^(key|button|axis)\\((-?\\d{1,9})([+-]?)\\)$"));
    const QRegularExpressionMatch match = form.match(storedValue);
    if (!match.hasMatch())
        return storedValue;
    const QString kind = match.captured(1);
    const int number = match.captured(2).toInt();
    const QString sign = match.captured(3);
    if (kind == QLatin1String("key") && sign.isEmpty())
        return keyName(number);
    if (kind == QLatin1String("button") && sign.isEmpty())
        return tr("Button %1").arg(number);
    if (kind == QLatin1String("axis") && !sign.isEmpty())
        return tr("Axis %1 %2").arg(number).arg(sign == QLatin1String("-") ? QStringLiteral("\u2212") : sign);
    return storedValue;
}

} // namespace MappingValue
