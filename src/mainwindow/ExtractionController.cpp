#include "mainwindow/ExtractionController.h"

#include "launch/GameSession.h"

#include <QProgressDialog>

ExtractionController::ExtractionController(GameSession *session, QWidget *window, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_window(window)
{
    connect(session, &GameSession::extractionStarted, this, &ExtractionController::show);
    connect(session, &GameSession::extractionProgress, this, &ExtractionController::showProgress);
    connect(session, &GameSession::extractionEnded, this, &ExtractionController::close);
}

void ExtractionController::show(const QString &entry)
{
    close();
    m_progress = new QProgressDialog(tr("Extracting \u201c%1\u201d\u2026").arg(entry), tr("Cancel"), 0, 100, m_window);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    m_progress->setWindowTitle(tr("Extracting"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    // A small entry is done before the dialog would be worth showing.
    m_progress->setMinimumDuration(300);
    connect(m_progress, &QProgressDialog::canceled, m_session, &GameSession::cancelExtraction);
}

void ExtractionController::showProgress(qint64 done, qint64 total)
{
    if (!m_progress)
        return;
    // Percent keeps the range within an int for any size.
    m_progress->setMaximum(total > 0 ? 100 : 0);
    if (total > 0)
        m_progress->setValue(int(std::min<qint64>(100, done * 100 / total)));
}

void ExtractionController::close()
{
    if (m_progress)
        m_progress->close();
}
