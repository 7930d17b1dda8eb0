#include "input/InputTableView.h"

#include "input/PadNavigator.h"
#include "platform/KeyboardLayout.h"

#include <QKeyEvent>

#include <array>
#include <cstdio>
#include <utility>

namespace {

// X11 keysyms of the keys whose key numbers are translated rather than taken from text.
constexpr quint32 XK_Left = 0xff51, XK_Up = 0xff52, XK_Right = 0xff53, XK_Down = 0xff54;
constexpr quint32 XK_Shift_L = 0xffe1, XK_Shift_R = 0xffe2, XK_Control_L = 0xffe3,
                  XK_Control_R = 0xffe4, XK_Caps_Lock = 0xffe5, XK_Meta_L = 0xffe7,
                  XK_Meta_R = 0xffe8, XK_Alt_L = 0xffe9, XK_Alt_R = 0xffea,
                  XK_Super_L = 0xffeb, XK_Super_R = 0xffec, XK_ISO_Level3_Shift = 0xfe03;

constexpr std::array<std::pair<quint32, quint16>, 14> kKeysymToKeyCode{{
    {XK_Super_R, 54}, {XK_Super_L, 55}, {XK_Shift_L, 56}, {XK_Caps_Lock, 57},
    {XK_Alt_L, 58}, {XK_Control_L, 59}, {XK_Shift_R, 60}, {XK_Alt_R, 61},
    {XK_ISO_Level3_Shift, 61}, {XK_Control_R, 62}, {XK_Left, 123}, {XK_Right, 124},
    {XK_Down, 125}, {XK_Up, 126},
}};

// SDL 1.2 key symbols (SDLK_RSUPER ... SDLK_UP) by platform key code.
constexpr std::array<std::pair<quint16, int>, 13> kKeyCodeToKeyNumber{{
    {54, 312}, {55, 311}, {56, 304}, {57, 301}, {58, 308}, {59, 306}, {60, 303},
    {61, 307}, {62, 305}, {123, 276}, {124, 275}, {125, 274}, {126, 273},
}};

// SDL 1.2 key numbers of the X11 keysyms of keys that are not Latin-1 symbols: the editing
// keys, the keypad (with and without Num Lock), the function keys and the other keys that
// give no text.
constexpr std::array<std::pair<quint32, int>, 69> kKeysymToSdl{{
    {0xff08, 8}, {0xff09, 9}, {0xff0b, 12}, {0xff0d, 13}, {0xff13, 19}, {0xff1b, 27}, {0xffff, 127},
    {0xffb0, 256}, {0xffb1, 257}, {0xffb2, 258}, {0xffb3, 259}, {0xffb4, 260}, {0xffb5, 261},
    {0xffb6, 262}, {0xffb7, 263}, {0xffb8, 264}, {0xffb9, 265}, {0xffae, 266}, {0xffaf, 267},
    {0xffaa, 268}, {0xffad, 269}, {0xffab, 270}, {0xff8d, 271}, {0xffbd, 272},
    {0xff9e, 256}, {0xff9c, 257}, {0xff99, 258}, {0xff9b, 259}, {0xff96, 260}, {0xff9d, 261},
    {0xff98, 262}, {0xff95, 263}, {0xff97, 264}, {0xff9a, 265}, {0xff9f, 266},
    // Insert, Home, End, Page Up, Page Down; F1 to F15.
    {0xff63, 277}, {0xff50, 278}, {0xff57, 279}, {0xff55, 280}, {0xff56, 281},
    {0xffbe, 282}, {0xffbf, 283}, {0xffc0, 284}, {0xffc1, 285}, {0xffc2, 286}, {0xffc3, 287},
    {0xffc4, 288}, {0xffc5, 289}, {0xffc6, 290}, {0xffc7, 291}, {0xffc8, 292}, {0xffc9, 293},
    {0xffca, 294}, {0xffcb, 295}, {0xffcc, 296},
    // Num Lock, Scroll Lock, Meta (right, left), Mode switch, Compose, Help, Print, SysRq,
    // Break, Menu, Power, Euro, Undo.
    {0xff7f, 300}, {0xff14, 302}, {0xffe8, 309}, {0xffe7, 310}, {0xff7e, 313}, {0xff20, 314},
    {0xff6a, 315}, {0xff61, 316}, {0xff15, 317}, {0xff6b, 318}, {0xff67, 319}, {0x1008ff2a, 320},
    {0x20ac, 321}, {0xff65, 322},
}};

bool isArrowKeyCode(quint16 code)
{
    return code >= 123 && code <= 126;
}

} // namespace

InputTableView::InputTableView(QWidget *parent)
    : QTableView(parent)
{
    // Tab and Backtab always move the focus on, so a keyboard user can leave a listening table.
    setTabKeyNavigation(false);
}

void InputTableView::listenForKeys(bool listen)
{
    m_listening = listen;
}

void InputTableView::keyboardSearch(const QString &search)
{
    if (!m_listening)
        QTableView::keyboardSearch(search);
}

std::optional<quint16> InputTableView::platformKeyCode(quint32 keysym)
{
    for (const auto &[sym, code] : kKeysymToKeyCode) {
        if (sym == keysym)
            return code;
    }
    return std::nullopt;
}

std::optional<int> InputTableView::keyNumberForKeyCode(quint16 keyCode)
{
    for (const auto &[code, number] : kKeyCodeToKeyNumber) {
        if (code == keyCode)
            return number;
    }
    return std::nullopt;
}

void InputTableView::handleNonASCII(quint16 keyCode)
{
    if (const std::optional<int> number = keyNumberForKeyCode(keyCode))
        deliverKeyWithoutText(*number);
}

void InputTableView::deliverKeyWithoutText(int keyNumber)
{
    std::printf("Modifier: %i\n", keyNumber);
    std::fflush(stdout);
    Q_EMIT keyPress(keyNumber);
}

std::optional<int> InputTableView::sdlKeyNumber(const QList<quint32> &keysyms)
{
    for (quint32 sym : keysyms) {
        // Latin-1 keysyms are their characters; SDL names letters by their lower case.
        if ((sym >= 'A' && sym <= 'Z') || (sym >= 0xc0 && sym <= 0xde && sym != 0xd7))
            sym += 0x20;
        // SDL 1.2 has no number for % { | } ~ and none for other scripts' letters.
        if ((sym >= 32 && sym <= 64 && sym != '%') || (sym >= 91 && sym <= 122) || (sym >= 160 && sym <= 255))
            return int(sym);
        for (const auto &[keysym, number] : kKeysymToSdl) {
            if (keysym == sym)
                return number;
        }
    }
    return std::nullopt;
}

bool InputTableView::isModifierKey(const QKeyEvent *event)
{
    switch (event->nativeVirtualKey()) {
    case XK_Shift_L: case XK_Shift_R: case XK_Control_L: case XK_Control_R:
    case XK_Caps_Lock: case XK_Meta_L: case XK_Meta_R: case XK_Alt_L: case XK_Alt_R:
    case XK_Super_L: case XK_Super_R: case XK_ISO_Level3_Shift:
        return true;
    default:
        break;
    }
    switch (event->key()) {
    case Qt::Key_Shift: case Qt::Key_Control: case Qt::Key_Alt: case Qt::Key_Meta:
    case Qt::Key_Super_L: case Qt::Key_Super_R: case Qt::Key_CapsLock: case Qt::Key_AltGr:
        return true;
    default:
        return false;
    }
}

bool InputTableView::keyDown(QKeyEvent *event)
{
    // A pad's keys move and arm; they are never the keyboard's mapping.
    if (!m_listening || m_padDriven)
        return false;
    // A key held while the table gained the focus repeats; it was not pressed here.
    if (event->isAutoRepeat())
        return true;
    // A chord with Ctrl, Alt or Meta is a command for a window, never a key for the emulator.
    if (!m_readyForInput || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const std::optional<quint16> code = platformKeyCode(event->nativeVirtualKey());
    if (code && isArrowKeyCode(*code)) {
        m_readyForInput = false;
        handleNonASCII(*code);
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty()) {
        // A key that produces no characters (F1, Home, Insert) is named by its symbol.
        const std::optional<int> number = sdlKeyNumber({event->nativeVirtualKey()});
        if (!number)
            return false;
        m_readyForInput = false;
        deliverKeyWithoutText(*number);
        return true;
    }
    m_readyForInput = false;
    // The number comes from the key, not its text: Caps Lock, Shift and a non-Latin layout
    // change the text but not the key the emulator will see.
    QList<quint32> keysyms = KeyboardLayout::unshiftedKeysyms(event->nativeScanCode(), event->nativeModifiers());
    if (keysyms.isEmpty())
        keysyms.append(event->nativeVirtualKey() ? event->nativeVirtualKey() : quint32(text.at(0).unicode()));
    const std::optional<int> number = sdlKeyNumber(keysyms);
    if (!number) {
        Q_EMIT keyRefused(text);
        return true;
    }
    const QByteArray utf8 = text.toUtf8();
    std::printf("Char: %s, ASCII: %i\n", utf8.constData(), int(static_cast<signed char>(utf8.at(0))));
    std::fflush(stdout);
    Q_EMIT keyPress(*number);
    return true;
}

void InputTableView::modifierDown(const QKeyEvent *event)
{
    const quint32 keysym = event->nativeVirtualKey();
    // Alone means: no other key down, and nothing else has happened since.
    const bool alone = m_heldModifiers.isEmpty() && m_readyForInput;
    if (!m_heldModifiers.contains(keysym))
        m_heldModifiers.append(keysym);
    m_loneModifier = m_listening && alone ? keysym : 0;
}

bool InputTableView::modifierUp(const QKeyEvent *event)
{
    const quint32 keysym = event->nativeVirtualKey();
    m_heldModifiers.removeAll(keysym);
    const bool lone = m_loneModifier != 0 && m_loneModifier == keysym && m_listening;
    m_loneModifier = 0;
    if (!lone)
        return false;
    if (const std::optional<quint16> code = platformKeyCode(keysym)) {
        handleNonASCII(*code);
        return true;
    }
    // Meta has an SDL number but no platform key code.
    if (const std::optional<int> number = sdlKeyNumber({keysym})) {
        deliverKeyWithoutText(*number);
        return true;
    }
    return false;
}

void InputTableView::forgetHeldKeys()
{
    m_heldModifiers.clear();
    m_loneModifier = 0;
    m_readyForInput = true;
}

bool InputTableView::event(QEvent *event)
{
    // Every key press reaches the focus widget first as a shortcut override, also one that
    // then triggers a shortcut or a mnemonic and so never arrives as a key press.
    if (event->type() == QEvent::ShortcutOverride && !isModifierKey(static_cast<QKeyEvent *>(event)))
        m_loneModifier = 0;
    return QTableView::event(event);
}

void InputTableView::mousePressEvent(QMouseEvent *event)
{
    m_loneModifier = 0;
    m_padDriven = false;
    QTableView::mousePressEvent(event);
}

void InputTableView::focusOutEvent(QFocusEvent *event)
{
    // Releases now go elsewhere; a key still held must not leave the table deaf on return.
    forgetHeldKeys();
    QTableView::focusOutEvent(event);
}

void InputTableView::keyPressEvent(QKeyEvent *event)
{
    if (isModifierKey(event)) {
        // A held modifier repeating is not a new press.
        if (!event->isAutoRepeat())
            modifierDown(event);
        event->accept();
        return;
    }
    m_loneModifier = 0;
    m_padDriven = PadNavigator::isFromPad(event);
    if (keyDown(event)) {
        // The captured key is the user's mapping, not a request to move the selection.
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
    // The pad's A arms the row (activated()); it must not also press the window's default button.
    if (m_padDriven && event->key() == Qt::Key_Enter && currentIndex().isValid())
        event->accept();
}

void InputTableView::keyReleaseEvent(QKeyEvent *event)
{
    // An auto-repeat sends release/press pairs while the key is still held.
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    if (isModifierKey(event)) {
        if (!modifierUp(event))
            QTableView::keyReleaseEvent(event);
        return;
    }
    m_readyForInput = true;
    event->accept();
}
