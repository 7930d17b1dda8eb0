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

} // namespace MappingValue
