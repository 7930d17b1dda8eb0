#include "mainwindow/DragWindow.h"

#include "mainwindow/URLDropDelegate.h"
#include "platform/UserDefaults.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLayout>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include <utility>

namespace {

const QString panelWidthKey = QStringLiteral("LibraryPanelWidth");

} // namespace

DragWindow::DragWindow(QWidget *parent)
    : QMainWindow(parent)
{
}

DragWindow::~DragWindow()
{
    writePanelWidth();
}

void DragWindow::placeLibraryPanel(QWidget *panel, QWidget *viewContainer, int firstWidth)
{
    QWidget *central = viewContainer->parentWidget();
    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(QStringLiteral("librarySplitter"));
    m_splitter->setChildrenCollapsible(false);
    delete central->layout()->replaceWidget(viewContainer, m_splitter);
    m_splitter->addWidget(panel);
    m_splitter->addWidget(viewContainer);
    // A larger window is more room for the games, not for the details beside them.
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    m_viewContainer = viewContainer;
    viewContainer->installEventFilter(this);
    // The stored width is the library's share from the days when the details took the rest:
    // now it only asks for a window that shows that much of the list beside the column.
    const int stored = UserDefaults::standardUserDefaults().valueForKey(panelWidthKey).toInt();
    const int column = viewContainer->sizeHint().width();
    const int windowWidth = std::min(std::max(1000, (stored > 0 ? stored : firstWidth) + column),
                                     screen()->availableGeometry().width());
    if (panel->isVisibleTo(this) && this->width() < windowWidth)
        resize(windowWidth, std::max(height(), 560));
    fitViewColumn();

    // Dragging the splitter sends many moves; the file is written once.
    m_widthTimer = new QTimer(this);
    m_widthTimer->setSingleShot(true);
    m_widthTimer->setInterval(300);
    connect(m_widthTimer, &QTimer::timeout, this, &DragWindow::writePanelWidth);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this]() {
        m_unsavedPanelWidth = m_splitter->sizes().value(0);
        m_widthTimer->start();
    });
}

void DragWindow::fitViewColumn()
{
    if (!m_viewContainer || !m_splitter)
        return;
    QWidget *view = nullptr;
    for (QWidget *child : m_viewContainer->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        view = child->isVisibleTo(m_viewContainer) ? child : view;
    if (!view || view == m_columnView)
        return;
    m_columnView = view;
    const QMargins margins = m_viewContainer->contentsMargins();
    const int column = view->sizeHint().width() + margins.left() + margins.right();
    const int total = std::max(m_splitter->width(), width()) - m_splitter->handleWidth();
    m_splitter->setSizes({std::max(1, total - column), column});
}

void DragWindow::writePanelWidth()
{
    if (const int width = std::exchange(m_unsavedPanelWidth, 0); width > 0)
        UserDefaults::standardUserDefaults().setValueForKey(panelWidthKey, width);
}

void DragWindow::awakeFromNib()
{
    // The window has one useful size range; maximising only stretches four text fields.
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setAcceptDrops(true);
}

QUrl DragWindow::firstURL(const QMimeData *mime)
{
    if (!mime)
        return QUrl();
    const QList<QByteArray> lines = mime->data(QStringLiteral("text/uri-list")).split('\n');
    for (QByteArray line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        // Bytes outside printable ASCII are percent-encoded as they are; QUrl would read them as UTF-8.
        QByteArray encoded;
        for (const char c : line) {
            if (uchar(c) > 0x20 && uchar(c) < 0x7F)
                encoded += c;
            else
                encoded += '%' + QByteArray::number(uchar(c), 16).rightJustified(2, '0').toUpper();
        }
        return QUrl::fromEncoded(encoded);
    }
    return mime->urls().value(0);
}

bool DragWindow::event(QEvent *event)
{
    // The platform window is made at the first show and may be made again later.
    if ((event->type() == QEvent::Show || event->type() == QEvent::WinIdChange) && windowHandle() != m_watchedWindow) {
        m_watchedWindow = windowHandle();
        if (m_watchedWindow)
            m_watchedWindow->installEventFilter(this);
    }
    return QMainWindow::event(event);
}

bool DragWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A file is ours wherever it is dropped: a text field would type its URL and tell the
    // file manager that the drop succeeded. Drags of plain text still reach the children.
    const QEvent::Type type = event->type();
    if (watched == m_viewContainer && type == QEvent::LayoutRequest)
        fitViewColumn();
    if (watched == m_watchedWindow && type == QEvent::DragLeave)
        m_dragAccepted = false;
    if (watched == m_watchedWindow && (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
        auto *drop = static_cast<QDropEvent *>(event);
        if (drop->mimeData() && drop->mimeData()->hasUrls()) {
            if (type == QEvent::DragEnter)
                dragEnterEvent(static_cast<QDragEnterEvent *>(event));
            else if (type == QEvent::DragMove)
                dragMoveEvent(static_cast<QDragMoveEvent *>(event));
            else
                dropEvent(drop);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void DragWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QMimeData *mime = event->mimeData();
    // A source that lets the destination decide offers move or link besides copy; a file
    // manager does, while a source that insists on copying does not.
    const Qt::DropActions offered = event->possibleActions();
    const bool generic = (offered & Qt::CopyAction) && (offered & (Qt::MoveAction | Qt::LinkAction));
    m_dragAccepted = mime && mime->hasUrls() && generic && m_dropDelegate && !firstURL(mime).isEmpty()
        && m_dropDelegate->acceptsURL(firstURL(mime));
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
    const bool accepted = std::exchange(m_dragAccepted, false);
    const QMimeData *mime = event->mimeData();
    const QUrl url = firstURL(mime);
    if (!accepted || !mime || !mime->hasUrls() || url.isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (m_dropDelegate)
        m_dropDelegate->dropURL(url);
}
