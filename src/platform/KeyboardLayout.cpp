#include "platform/KeyboardLayout.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

QList<quint32> KeyboardLayout::unshiftedKeysyms(quint32 keycode, quint32 nativeModifiers)
{
    QList<quint32> keysyms;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display || keycode < 8 || keycode > 255)
        return keysyms;
    // The core event state carries the layout group in bits 13 and 14.
    const int current = int((nativeModifiers >> 13) & 3);
    const auto add = [&](int group) {
        // Level 0 is the symbol without Shift or Caps Lock; a group the key lacks gives NoSymbol.
        const KeySym sym = XkbKeycodeToKeysym(display, KeyCode(keycode), group, 0);
        if (sym != NoSymbol && !keysyms.contains(quint32(sym)))
            keysyms.append(quint32(sym));
    };
    add(current);
    for (int group = 0; group < XkbNumKbdGroups; ++group)
        add(group);
    return keysyms;
}
