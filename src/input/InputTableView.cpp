#include "input/InputTableView.h"

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
    const std::optional<int> number = keyNumberForKeyCode(keyCode);
    if (!number)
        return;
    std::printf("Modifier: %i\n", *number);
    std::fflush(stdout);
    Q_EMIT keyPress(*number);
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
    if (!m_listening || !m_readyForInput)
        return false;
    const std::optional<quint16> code = platformKeyCode(event->nativeVirtualKey());
    if (code && isArrowKeyCode(*code)) {
        m_readyForInput = false;
        handleNonASCII(*code);
        return true;
    }
    const QString text = event->text();
    // A key that produces no characters (F1, Escape on some layouts) has nothing to map.
    if (text.isEmpty())
        return false;
    m_readyForInput = false;
    const QByteArray utf8 = text.toUtf8();
    std::printf("Char: %s, ASCII: %i\n", utf8.constData(), int(static_cast<signed char>(utf8.at(0))));
    std::fflush(stdout);
    Q_EMIT keyPress(int(text.at(0).unicode()));
    return true;
}

bool InputTableView::flagsChanged(QKeyEvent *event)
{
    if (!m_listening)
        return false;
    if (!m_readyForInput) {
        m_readyForInput = true;
        return false;
    }
    m_readyForInput = false;
    const std::optional<quint16> code = platformKeyCode(event->nativeVirtualKey());
    if (code)
        handleNonASCII(*code);
    return true;
}

void InputTableView::keyPressEvent(QKeyEvent *event)
{
    bool captured = false;
    if (isModifierKey(event)) {
        // A held modifier repeating is not a change of modifiers.
        if (event->isAutoRepeat()) {
            event->accept();
            return;
        }
        captured = flagsChanged(event);
    } else {
        captured = keyDown(event);
    }
    if (captured) {
        // The captured key is the user's mapping, not a request to move the selection.
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void InputTableView::keyReleaseEvent(QKeyEvent *event)
{
    // An auto-repeat sends release/press pairs while the key is still held.
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    if (isModifierKey(event)) {
        if (!flagsChanged(event))
            QTableView::keyReleaseEvent(event);
        return;
    }
    m_readyForInput = true;
    event->accept();
}
