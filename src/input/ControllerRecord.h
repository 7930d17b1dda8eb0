#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

/// One controller record of the "Controllers" setting, as the emulator's input file reads
/// it. Every key is kept as it was found, also those this class has no accessor for, so a
/// record written back differs only where a setter was called.
class ControllerRecord
{
public:
    /// The title whose inputs come from the keyboard; every other title reads pads.
    static const QString kKeyboardTitle;

    ControllerRecord() = default;
    explicit ControllerRecord(QVariantMap stored);

    /// The stored English title or input name as shown to people. Titles and input names
    /// stay the data; only what is shown may be translated.
    static QString displayName(const QString &storedName);
    static bool isKeyboardTitle(const QString &title) { return title == kKeyboardTitle; }

    /// The text of "USBName", the emulator's section name (empty when absent).
    QString usbName() const;
    void setUsbName(const QString &name);
    /// Only the presence of "plugged" counts, whatever it holds.
    bool isPlugged() const;
    /// The text of "plugin" (a number in decimal; empty when absent).
    QString plugin() const;
    /// Only the presence of "mouse" counts; a present entry means no mouse in the file.
    bool hasMouseEntry() const;
    QStringList mapping() const;
    void setMapping(const QStringList &mapping);

    QVariantMap toVariantMap() const { return m_stored; }

private:
    QVariantMap m_stored;
};
