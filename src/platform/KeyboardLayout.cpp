#include "platform/KeyboardLayout.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

QList<quint32> KeyboardLayout::unshiftedKeysyms(quint32 keycode, quint32 nativeModifiers)
{
    QList<quint32> keysyms;
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return keysyms;
    // Fetched afresh: Qt reads the X events, so Xlib's own copy would miss a layout change.
    XkbDescPtr xkb = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb)
        return keysyms;
    if (keycode >= xkb->min_key_code && keycode <= xkb->max_key_code) {
        const int groups = XkbKeyNumGroups(xkb, keycode);
        // The core event state carries the layout group in bits 13 and 14.
        const int current = int((nativeModifiers >> 13) & 3);
        for (int group : {current, 0, 1, 2, 3}) {
            // Level 0 is the symbol without Shift or Caps Lock.
            const KeySym sym = group < groups ? XkbKeySymEntry(xkb, keycode, 0, group) : NoSymbol;
            if (sym != NoSymbol && !keysyms.contains(quint32(sym)))
                keysyms.append(quint32(sym));
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
    return keysyms;
}
