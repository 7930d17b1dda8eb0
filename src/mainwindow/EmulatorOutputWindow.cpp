#include "mainwindow/EmulatorOutputWindow.h"

#include "launch/EmulatorOutputLog.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// New lines wait at most this long; a flood then costs one append per interval.
constexpr int kShowIntervalMs = 50;

} // namespace

EmulatorOutputWindow::EmulatorOutputWindow(EmulatorOutputLog *log, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_log(log)
    , m_commandField(new QLineEdit(this))
    , m_outputView(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Emulator Output"));
    setAccessibleName(tr("Emulator Output"));
    resize(720, 420);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_commandField->setReadOnly(true);
    m_commandField->setFont(fixed);
    m_commandField->setAccessibleName(tr("Command"));
    m_commandField->setPlaceholderText(tr("The emulator has not been started yet."));
    m_outputView->setReadOnly(true);
    m_outputView->setFont(fixed);
    m_outputView->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_outputView->setAccessibleName(tr("Emulator output"));
    m_outputView->setMaximumBlockCount(EmulatorOutputLog::kMaximumLines);

    auto *form = new QFormLayout;
    auto *label = new QLabel(tr("&Command:"), this);
    label->setBuddy(m_commandField);
    form->addRow(label, m_commandField);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_outputView, 1);

    m_showTimer.setSingleShot(true);
    m_showTimer.setInterval(kShowIntervalMs);
    connect(&m_showTimer, &QTimer::timeout, this, &EmulatorOutputWindow::showPendingLines);
    connect(m_log, &EmulatorOutputLog::runBegan, this, &EmulatorOutputWindow::showRun);
    connect(m_log, &EmulatorOutputLog::linesAdded, this, &EmulatorOutputWindow::addLines);
    showRun(m_log->command());
    addLines(m_log->lines());
    showPendingLines();
}

void EmulatorOutputWindow::showRun(const QString &command)
{
    m_commandField->setText(command);
    m_commandField->setCursorPosition(0);
    m_pending.clear();
    m_showTimer.stop();
    m_outputView->clear();
}

void EmulatorOutputWindow::addLines(const QStringList &lines)
{
    m_pending.append(lines);
    // The view keeps no more than this anyway.
    if (m_pending.size() > EmulatorOutputLog::kMaximumLines)
        m_pending.remove(0, m_pending.size() - EmulatorOutputLog::kMaximumLines);
    if (!m_pending.isEmpty() && !m_showTimer.isActive())
        m_showTimer.start();
}

void EmulatorOutputWindow::showPendingLines()
{
    m_showTimer.stop();
    if (m_pending.isEmpty())
        return;
    QScrollBar *scroll = m_outputView->verticalScrollBar();
    const bool atEnd = scroll->value() == scroll->maximum();
    // A screenful that replaces every line is cheaper set than appended and trimmed.
    if (m_pending.size() >= EmulatorOutputLog::kMaximumLines)
        m_outputView->setPlainText(m_pending.join(QLatin1Char('\n')));
    else
        m_outputView->appendPlainText(m_pending.join(QLatin1Char('\n')));
    m_pending.clear();
    // Follow new output, unless the reader has scrolled back to read.
    if (atEnd)
        scroll->setValue(scroll->maximum());
}
