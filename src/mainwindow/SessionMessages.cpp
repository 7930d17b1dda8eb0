#include "mainwindow/SessionMessages.h"

#include "launch/EmulatorSupervisor.h"
#include "launch/GameSession.h"
#include "launch/PlayStatus.h"
#include "mainwindow/ErrorWinController.h"

#include <QPushButton>

SessionMessages::SessionMessages(GameSession *session, QWidget *window, ErrorWinController *errors, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_window(window)
    , m_errors(errors)
{
    connect(session, &GameSession::extractionStarted, this, &SessionMessages::showExtraction);
    connect(session, &GameSession::extractionProgress, this, &SessionMessages::showProgress);
    connect(session, &GameSession::extractionEnded, this, &SessionMessages::closeExtraction);
    connect(session, &GameSession::startFailed, this, &SessionMessages::showStartFailed);
    connect(session->supervisor(), &EmulatorSupervisor::inputAutoCfgNotWritable, this,
            &SessionMessages::showInputAutoCfgNotWritable);
}

void SessionMessages::showExtraction(const QString &entry)
{
    closeExtraction();
    m_progress = new QProgressDialog(tr("Extracting \u201c%1\u201d\u2026").arg(entry), tr("Cancel"), 0, 100, m_window);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    m_progress->setWindowTitle(tr("Extracting"));
    // Not modal: the window's toolbar, menus and library stay usable while the image is
    // extracted; Cancel is here, and Eject cancels too.
    m_progress->setWindowModality(Qt::NonModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    // A small entry is done before the dialog would be worth showing.
    m_progress->setMinimumDuration(300);
    connect(m_progress, &QProgressDialog::canceled, m_session, &GameSession::cancelExtraction);
}

void SessionMessages::showProgress(qint64 done, qint64 total)
{
    if (!m_progress)
        return;
    // Percent keeps the range within an int for any size.
    m_progress->setMaximum(total > 0 ? 100 : 0);
    if (total > 0)
        m_progress->setValue(int(std::min<qint64>(100, done * 100 / total)));
}

void SessionMessages::closeExtraction()
{
    if (m_progress)
        m_progress->close();
}

void SessionMessages::showStartFailed(int exitCode, const QString &message)
{
    // Nothing to say after a cancelled extraction.
    if (message.isEmpty())
        return;
    if (exitCode != PlayStatus::NoEmulator) {
        m_errors->showMessage(message, tr("Cannot Start the Game"));
        return;
    }
    // No program to run: say so, and offer the place to choose one.
    if (m_emulatorMissing)
        m_emulatorMissing->close();
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Emulator Not Found"), message, QMessageBox::NoButton, m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setInformativeText(tr("Choose the emulator program in Preferences ▸ Emulator, or install the default build."));
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton *choose = box->addButton(tr("Open Emulator Preferences…"), QMessageBox::AcceptRole);
    box->addButton(QMessageBox::Close);
    box->setDefaultButton(choose);
    connect(choose, &QPushButton::clicked, this, &SessionMessages::emulatorPreferencesRequested);
    m_emulatorMissing = box;
    box->open();
}

void SessionMessages::showInputAutoCfgNotWritable(const QString &folder)
{
    // Not modal: the emulator is starting at the same moment and must not wait for OK.
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Controller Settings Not Passed On"),
                                tr("The emulator is starting without your controller settings: they could not "
                                   "be saved in “%1”, because you cannot write to that folder.\n\n"
                                   "To use them, put the emulator build in your own folder “%2/tolvane.app”, "
                                   "or make the folder above writable for you.")
                                    .arg(folder, EmulatorSupervisor::userDefaultBuildLocation()),
                                QMessageBox::Ok, m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}
