#pragma once

#include <QString>

/// The three text forms of a controller mapping value, as the emulator's input file reads them.
namespace MappingValue {

/// "key(N)" for a key number (SDL 1.2 key symbol or character code).
QString key(int keyNumber);
/// "button(N)" for a joystick button index.
QString button(int buttonNumber);
/// "axis(N+)" or "axis(N-)"; \a sign is '+' or '-'.
QString axis(int axisNumber, char sign);

/// The stored value in words for people: "key(120)" as "X", "key(304)" as "Left Shift",
/// "button(3)" as "Button 3", "axis(1-)" as "Axis 1 −". A text in none of the three forms
/// is shown as it is, so nothing stored is ever hidden.
QString displayText(const QString &storedValue);

} // namespace MappingValue
