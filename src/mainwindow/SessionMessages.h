#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>

class ErrorWinController;
class GameSession;
class QWidget;

/// What the main window shows of the game session besides its toolbar and status line: the
/// progress of an archive image's extraction (with Cancel), why a start did not begin, and
/// that the controller settings could not be passed on.
class SessionMessages : public QObject
{
    Q_OBJECT

public:
    SessionMessages(GameSession *session, QWidget *window, ErrorWinController *errors, QObject *parent = nullptr);

    /// The progress dialog while it is up.
    QProgressDialog *progressDialog() const { return m_progress; }
    /// The message shown when Play found no emulator program to start, while it is up.
    QMessageBox *emulatorMissingMessage() const { return m_emulatorMissing; }

Q_SIGNALS:
    /// The player asked to choose the emulator (Preferences, Emulator pane).
    void emulatorPreferencesRequested();

private:
    void showExtraction(const QString &entry);
    void showProgress(qint64 done, qint64 total);
    void closeExtraction();
    void showStartFailed(int exitCode, const QString &message);
    void showInputAutoCfgNotWritable(const QString &folder);

    GameSession *m_session;
    QPointer<QWidget> m_window;
    ErrorWinController *m_errors;
    QPointer<QProgressDialog> m_progress;
    QPointer<QMessageBox> m_emulatorMissing;
};
