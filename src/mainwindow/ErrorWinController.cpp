#include "mainwindow/ErrorWinController.h"

#include "ui_ErrorWindow.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

ErrorWinController::ErrorWinController(QObject *parent)
    : NibWindowController(QStringLiteral("ErrorWindow"), parent)
{
}

ErrorWinController::~ErrorWinController() = default;

QWidget *ErrorWinController::createWindow()
{
    m_dialog = new QDialog;
    m_ui = std::make_unique<Ui::ErrorWindow>();
    m_ui->setupUi(m_dialog);
    connect(m_ui->buttonBox, &QDialogButtonBox::accepted, this, &ErrorWinController::okPressed);
    if (QPushButton *ok = m_ui->buttonBox->button(QDialogButtonBox::Ok))
        ok->setAccessibleName(ok->text().remove(QLatin1Char('&')));
    return m_dialog;
}

void ErrorWinController::awakeFromNib()
{
    // Not tied to the main window: the main window may be hidden when an error comes.
    m_dialog->setWindowModality(Qt::ApplicationModal);
    center();
}

void ErrorWinController::center()
{
    m_dialog->adjustSize();
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = m_dialog->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    m_dialog->move(frame.topLeft());
}

void ErrorWinController::showMessage(const QString &message)
{
    window();
    m_ui->messageLabel->setText(message);
    m_dialog->setWindowTitle(tr("Cannot Open the File"));
    center();
    // Shown, not exec()'d: the caller's event (a drop, a socket read) ends normally instead
    // of waiting in a nested loop; the modality still blocks every other window until OK.
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

QString ErrorWinController::message() const
{
    return m_ui ? m_ui->messageLabel->text() : QString();
}

void ErrorWinController::okPressed()
{
    if (m_dialog)
        m_dialog->accept();
}
