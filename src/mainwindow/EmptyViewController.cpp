#include "mainwindow/EmptyViewController.h"

#include "ui_EmptyView.h"

EmptyViewController::EmptyViewController(const QString &nibName, QObject *parent)
    : NibViewController(nibName, parent)
{
}

EmptyViewController::~EmptyViewController() = default;

void EmptyViewController::setupUi(QWidget *view)
{
    m_ui = std::make_unique<Ui::EmptyView>();
    m_ui->setupUi(view);
    m_text = m_ui->text;
    m_spinner = m_ui->spinner;
}

void EmptyViewController::startSpinning()
{
    // The indicator only takes room while it is busy.
    if (m_spinner)
        m_spinner->setVisible(true);
}

void EmptyViewController::stopSpinning()
{
    if (m_spinner)
        m_spinner->setVisible(false);
}
