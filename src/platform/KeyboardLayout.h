#pragma once

#include <QList>
#include <QtGlobal>

/// What the keyboard layout puts on a key, beyond the one symbol a key event carries.
class KeyboardLayout
{
public:
    /// The symbols (X11 keysyms) that the key with X keycode \a keycode gives unshifted,
    /// one per layout group: the group named in \a nativeModifiers first, then the others in
    /// order. Empty when the Launcher does not run on X11.
    static QList<quint32> unshiftedKeysyms(quint32 keycode, quint32 nativeModifiers);
};
