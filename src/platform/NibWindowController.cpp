#include "platform/NibWindowController.h"

#include <QCloseEvent>
#include <QWidget>

NibWindowController::NibWindowController(const QString &windowNibName, QObject *parent)
    : QObject(parent)
    , m_windowNibName(windowNibName)
{
}

NibWindowController::~NibWindowController()
{
    delete m_window.data();
}

QWidget *NibWindowController::window()
{
    if (!m_window) {
        m_window = createWindow();
        if (!m_window)
            return nullptr;
        if (m_window->objectName().isEmpty())
            m_window->setObjectName(m_windowNibName);
        m_window->installEventFilter(this);
        awakeFromNib();
        windowDidLoad();
    }
    return m_window.data();
}

void NibWindowController::showWindow(QObject *sender)
{
    Q_UNUSED(sender);
    QWidget *w = window();
    if (!w)
        return;
    w->show();
    w->raise();
    w->activateWindow();
}

bool NibWindowController::windowShouldClose(QWidget *window)
{
    Q_UNUSED(window);
    return true;
}

bool NibWindowController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Close && !windowShouldClose(m_window)) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
