#include "library/LibraryGridView.h"

#include "library/CoverDelegate.h"

#include <QKeyEvent>
#include <QScrollBar>

LibraryGridView::LibraryGridView(QWidget *parent) : QListView(parent)
{
    setObjectName(QStringLiteral("libraryGrid"));
    setAccessibleName(tr("ROM library covers"));
    // A wrapping list of equal cells lays out ten thousand games at once, unlike icon mode.
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setMovement(QListView::Static);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMouseTracking(true);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        Q_EMIT rowActivated(index.row());
    });
}

void LibraryGridView::setCoverDelegate(CoverDelegate *delegate)
{
    m_delegate = delegate;
    setItemDelegate(delegate);
    setCoverWidth(delegate->coverWidth());
}

int LibraryGridView::coverWidth() const
{
    return m_delegate ? m_delegate->coverWidth() : 0;
}

void LibraryGridView::setCoverWidth(int width)
{
    width = std::clamp(width, kMinimumCoverWidth, kMaximumCoverWidth);
    if (!m_delegate)
        return;
    const bool changed = width != m_delegate->coverWidth();
    m_delegate->setCoverWidth(width);
    setGridSize(m_delegate->cellSize(font()));
    verticalScrollBar()->setSingleStep(gridSize().height() / 4);
    if (changed)
        Q_EMIT coverWidthChanged(width);
}

void LibraryGridView::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex current = currentIndex();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && current.isValid()) {
        Q_EMIT rowActivated(current.row());
        return;
    }
    QListView::keyPressEvent(event);
}
