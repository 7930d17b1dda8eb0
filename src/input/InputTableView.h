#pragma once

#include <QList>
#include <QTableView>

#include <cstdint>
#include <optional>

/// The mapping table of the Controllers pane. While it listens, the next key press
/// becomes an SDL 1.2 key number delivered through keyPress().
///
/// A key is captured once per press: capturing clears readyForInput, and a key release
/// (not an auto-repeated one) sets it again. A modifier is captured when it is released,
/// and only if nothing else (a key, a shortcut, a mnemonic, a click) came while it was
/// held: only then is it known not to have been part of a window shortcut.
class InputTableView : public QTableView
{
    Q_OBJECT

public:
    explicit InputTableView(QWidget *parent = nullptr);

    bool isListening() const { return m_listening; }
    /// Switches capturing on or off; readiness is left as it is.
    void listenForKeys(bool listen);
    bool isReadyForInput() const { return m_readyForInput; }
    /// The last key or click the table got came from a pad (PadNavigator's keys): its player
    /// moves between rows first and arms one with Enter (the pad's A), as activated().
    bool isPadDriven() const { return m_padDriven; }

    /// Translates a platform key code (the classic virtual key codes of the arrow and
    /// modifier keys) into an SDL 1.2 key number, prints it and delivers it.
    void handleNonASCII(quint16 keyCode);

    /// The platform key code of an X11 keysym, for the keys of the translation table.
    static std::optional<quint16> platformKeyCode(quint32 keysym);
    /// The SDL 1.2 key number of a platform key code, or nothing for other keys.
    static std::optional<int> keyNumberForKeyCode(quint16 keyCode);
    /// The SDL 1.2 key number of the first of \a keysyms (a key's unshifted symbols, one per
    /// layout group) that has one: letters in lower case, so Caps Lock and Shift do not
    /// matter, and the Latin letter of a key whose current layout is not Latin.
    static std::optional<int> sdlKeyNumber(const QList<quint32> &keysyms);

    /// Type-to-select only while not listening: a key that finds the table not ready
    /// (a letter while Shift is held) must not jump the selection to another row.
    void keyboardSearch(const QString &search) override;

Q_SIGNALS:
    /// A key was captured; \a keyNumber is an SDL 1.2 key symbol or a character code.
    void keyPress(int keyNumber);
    /// A key that gives text but has no SDL 1.2 key number was pressed and not stored;
    /// \a text is what it produced.
    void keyRefused(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    static bool isModifierKey(const QKeyEvent *event);
    /// Returns true when the key was captured (and must not reach the table's navigation).
    bool keyDown(QKeyEvent *event);
    void modifierDown(const QKeyEvent *event);
    bool modifierUp(const QKeyEvent *event);
    /// Prints and delivers the number of a key captured by its symbol rather than its text.
    void deliverKeyWithoutText(int keyNumber);
    /// Forgets the modifiers seen going down: their releases may never reach the table.
    void forgetHeldKeys();

    bool m_readyForInput = true;
    bool m_listening = false;
    bool m_padDriven = false;
    // Modifiers seen going down and not yet up, and the one that may still be stored at its
    // release (0 once anything else has happened while it was held).
    QList<quint32> m_heldModifiers;
    quint32 m_loneModifier = 0;
};
