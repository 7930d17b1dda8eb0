#pragma once

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

    EmulatorOutputLog *m_log;
    QLineEdit *m_commandField;
    QPlainTextEdit *m_outputView;
};
