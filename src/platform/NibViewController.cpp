#include "platform/NibViewController.h"

#include <QWidget>

NibViewController::NibViewController(const QString &nibName, QObject *parent)
    : QObject(parent)
    , m_nibName(nibName)
{
}

NibViewController::~NibViewController()
{
    // A view taken out of the window has no parent; it is ours to delete then.
    if (m_view && !m_view->parent())
        delete m_view.data();
}

QWidget *NibViewController::view()
{
    if (!m_view)
        loadView();
    return m_view.data();
}

void NibViewController::loadView()
{
    auto *widget = new QWidget;
    widget->setObjectName(m_nibName);
    m_view = widget;
    setupUi(widget);
    awakeFromNib();
}
