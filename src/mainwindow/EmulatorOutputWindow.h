#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

class EmulatorOutputLog;
class QLineEdit;
class QPlainTextEdit;

/// The "Emulator Output" window: the command of the latest run at the top, and below it
/// what the emulator wrote, as it arrives, so that a player can read why a game did not
/// start.
class EmulatorOutputWindow : public QWidget
{
    Q_OBJECT

public:
    explicit EmulatorOutputWindow(EmulatorOutputLog *log, QWidget *parent = nullptr);

    QLineEdit *commandField() const { return m_commandField; }
    QPlainTextEdit *outputView() const { return m_outputView; }

private:
    void showRun(const QString &command);
    void addLines(const QStringList &lines);
    void showPendingLines();

    EmulatorOutputLog *m_log;
    // Lines not yet shown: a flood is shown a screenful at a time, not a slice at a time.
    QStringList m_pending;
    QTimer m_showTimer;
    QLineEdit *m_commandField;
    QPlainTextEdit *m_outputView;
};
