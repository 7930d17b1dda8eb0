#include "mainwindow/EmulatorOutputWindow.h"

#include "launch/EmulatorOutputLog.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

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

    connect(m_log, &EmulatorOutputLog::runBegan, this, &EmulatorOutputWindow::showRun);
    connect(m_log, &EmulatorOutputLog::linesAdded, this, &EmulatorOutputWindow::addLines);
    showRun(m_log->command());
    addLines(m_log->lines());
}

void EmulatorOutputWindow::showRun(const QString &command)
{
    m_commandField->setText(command);
    m_commandField->setCursorPosition(0);
    m_outputView->clear();
}

void EmulatorOutputWindow::addLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    QScrollBar *scroll = m_outputView->verticalScrollBar();
    const bool atEnd = scroll->value() == scroll->maximum();
    m_outputView->appendPlainText(lines.join(QLatin1Char('\n')));
    // Follow new output, unless the reader has scrolled back to read.
    if (atEnd)
        scroll->setValue(scroll->maximum());
}
