#include "mainwindow/ErrorWinController.h"

#include "ui_ErrorWindow.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

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
    if (QPushButton *ok = m_ui->buttonBox->button(QDialogButtonBox::Ok)) {
        ok->setAccessibleName(ok->text().remove(QLatin1Char('&')));
        ok->setDefault(true);
    }
    // File names rarely have spaces: break them anywhere rather than clip them.
    m_ui->messageText->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_ui->messageText->viewport()->setAutoFillBackground(false);
    return m_dialog;
}

void ErrorWinController::awakeFromNib()
{
    // Not tied to the main window: the main window may be hidden when an error comes.
    m_dialog->setWindowModality(Qt::ApplicationModal);
    center();
}

void ErrorWinController::fitMessage()
{
    QTextEdit *text = m_ui->messageText;
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    // Room for the window's own frame and margins, which are not known before it is shown.
    constexpr int kChrome = 96;
    QTextDocument *document = text->document();
    document->setTextWidth(-1);
    const int natural = int(std::ceil(document->idealWidth()));
    const int widest = std::max(320, std::min(text->fontMetrics().averageCharWidth() * 64, area.width() - kChrome));
    const int width = std::clamp(natural, 320, widest);
    document->setTextWidth(width);
    const int height = int(std::ceil(document->size().height()));
    const int tallest = area.height() - kChrome - m_ui->buttonBox->sizeHint().height();
    // Up to what the screen leaves; the rest scrolls.
    text->setVerticalScrollBarPolicy(height > tallest ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const int scrollBar = height > tallest ? text->verticalScrollBar()->sizeHint().width() : 0;
    text->setFixedSize(width + scrollBar + 2 * text->frameWidth(), std::min(height, tallest) + 2 * text->frameWidth());
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

void ErrorWinController::showMessage(const QString &message, const QString &title)
{
    window();
    m_ui->messageText->setPlainText(message);
    fitMessage();
    m_dialog->setWindowTitle(title.isEmpty() ? tr("Cannot Open the File") : title);
    center();
    // Shown, not exec()'d: the caller's event (a drop, a socket read) ends normally instead
    // of waiting in a nested loop; the modality still blocks every other window until OK.
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    // OK, not the message, takes the keys, so Return ends the window at once.
    if (QPushButton *ok = m_ui->buttonBox->button(QDialogButtonBox::Ok))
        ok->setFocus();
}

QString ErrorWinController::message() const
{
    return m_ui ? m_ui->messageText->toPlainText() : QString();
}

void ErrorWinController::okPressed()
{
    if (m_dialog)
        m_dialog->accept();
}
