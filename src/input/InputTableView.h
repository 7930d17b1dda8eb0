#pragma once

#include <QTableView>

#include <cstdint>
#include <optional>

/// The mapping table of the Controllers pane. While it listens, the next key press
/// (or change of modifiers) becomes a key number delivered through keyPress().
///
/// A key is captured once per press: capturing clears readyForInput, and a key release
/// (not an auto-repeated one) sets it again.
class InputTableView : public QTableView
{
    Q_OBJECT

public:
    explicit InputTableView(QWidget *parent = nullptr);

    bool isListening() const { return m_listening; }
    /// Switches capturing on or off; readiness is left as it is.
    void listenForKeys(bool listen);
    bool isReadyForInput() const { return m_readyForInput; }

    /// Translates a platform key code (the classic virtual key codes of the arrow and
    /// modifier keys) into an SDL 1.2 key number, prints it and delivers it.
    void handleNonASCII(quint16 keyCode);

    /// The platform key code of an X11 keysym, for the keys of the translation table.
    static std::optional<quint16> platformKeyCode(quint32 keysym);
    /// The SDL 1.2 key number of a platform key code, or nothing for other keys.
    static std::optional<int> keyNumberForKeyCode(quint16 keyCode);

    /// Type-to-select only while not listening: a key that finds the table not ready
    /// (a letter while Shift is held) must not jump the selection to another row.
    void keyboardSearch(const QString &search) override;

Q_SIGNALS:
    /// A key was captured; \a keyNumber is an SDL 1.2 key symbol or a character code.
    void keyPress(int keyNumber);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    static bool isModifierKey(const QKeyEvent *event);
    /// Returns true when the key was captured (and must not reach the table's navigation).
    bool keyDown(QKeyEvent *event);
    bool flagsChanged(QKeyEvent *event);

    bool m_readyForInput = true;
    bool m_listening = false;
};
