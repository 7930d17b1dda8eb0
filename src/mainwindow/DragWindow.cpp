#include "mainwindow/DragWindow.h"

#include "mainwindow/URLDropDelegate.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

DragWindow::DragWindow(QWidget *parent)
    : QMainWindow(parent)
{
}

void DragWindow::awakeFromNib()
{
    // The window has one useful size range; maximising only stretches four text fields.
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setAcceptDrops(true);
}

void DragWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *mime = event->mimeData();
    // A source that lets the destination decide offers move or link besides copy; a file
    // manager does, while a source that insists on copying does not.
    const Qt::DropActions offered = event->possibleActions();
    const bool generic = (offered & Qt::CopyAction) && (offered & (Qt::MoveAction | Qt::LinkAction));
    m_dragAccepted = mime && mime->hasUrls() && generic && m_dropDelegate
        && !mime->urls().isEmpty() && m_dropDelegate->acceptsURL(mime->urls().constFirst());
    if (m_dragAccepted) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DragWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (m_dragAccepted) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DragWindow::dragLeaveEvent(QDragLeaveEvent *event)
{
    m_dragAccepted = false;
    event->accept();
}

void DragWindow::dropEvent(QDropEvent *event)
{
    m_dragAccepted = false;
    const QMimeData *mime = event->mimeData();
    if (!mime || !mime->hasUrls() || mime->urls().isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (m_dropDelegate)
        m_dropDelegate->dropURL(mime->urls().constFirst());
}
