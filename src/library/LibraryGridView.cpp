#include "library/LibraryGridView.h"

#include "library/CoverDelegate.h"
#include "library/LibraryModel.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QHash>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollBar>

#include <algorithm>

namespace {

const QString kPlayAction = QStringLiteral("Play");

// One game of the grid for screen readers: its row, read afresh, so that a sort or a search
// leaves nothing stale behind.
class GridItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
    Q_DECLARE_TR_FUNCTIONS(LibraryGridView)

public:
    GridItemAccessible(LibraryGridView *view, int row) : m_view(view), m_row(row) {}

    bool isValid() const override { return m_view && index().isValid(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_view.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString &) override {}
    QString text(QAccessible::Text type) const override
    {
        if (!isValid())
            return QString();
        if (type == QAccessible::Name) {
            // Copies of one game (z64, v64, n64) differ by their file names.
            const QVariant name = index().data(Qt::AccessibleTextRole);
            return tr("%1, %2").arg(name.isValid() ? name.toString() : index().data().toString(),
                                    index().siblingAtColumn(LibraryModel::FileName).data().toString());
        }
        if (type != QAccessible::Description)
            return QString();
        const QString favourite = index().siblingAtColumn(LibraryModel::Favourite).data(Qt::AccessibleTextRole).toString();
        if (favourite.isEmpty())
            return index().data(Qt::ToolTipRole).toString();
        const QString played = index().siblingAtColumn(LibraryModel::LastPlayed).data().toString();
        return played.isEmpty() ? tr("%1, never played.").arg(favourite) : tr("%1, last played %2.").arg(favourite, played);
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    // Clients ask for an action by this name, which no translation changes; they show
    // the localized one.
    QStringList actionNames() const override { return {kPlayAction}; }
    QString localizedActionName(const QString &name) const override { return name == kPlayAction ? tr("Play") : QString(); }
    void doAction(const QString &name) override
    {
        if (name == kPlayAction && isValid())
            Q_EMIT m_view->playRequested(m_row);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect cell = m_view->visualRect(index());
        return QRect(m_view->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.selectable = state.focusable = true;
        state.selected = m_view->selectionModel() && m_view->selectionModel()->isSelected(index());
        state.focused = m_view->hasFocus() && m_view->currentIndex().row() == m_row;
        state.invisible = !m_view->viewport()->rect().intersects(m_view->visualRect(index()));
        return state;
    }
    int row() const { return m_row; }

private:
    QModelIndex index() const
    {
        QAbstractItemModel *model = m_view->model();
        return model ? model->index(m_row, m_view->modelColumn(), m_view->rootIndex()) : QModelIndex();
    }

    QPointer<LibraryGridView> m_view;
    int m_row;
};

// Qt's interface for a list counts every column of the model as an item; the grid shows one
// item per row, and its focus and selection notices already number the items by row.
class GridAccessible : public QAccessibleWidget
{
public:
    explicit GridAccessible(LibraryGridView *view) : QAccessibleWidget(view, QAccessible::List) {}
    ~GridAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_items))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return grid()->model() ? grid()->model()->rowCount(grid()->rootIndex()) : 0; }
    QAccessibleInterface *child(int row) const override
    {
        if (row < 0 || row >= childCount())
            return nullptr;
        if (const QAccessible::Id id = m_items.value(row))
            return QAccessible::accessibleInterface(id);
        auto *item = new GridItemAccessible(grid(), row);
        m_items.insert(row, QAccessible::registerAccessibleInterface(item));
        return item;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *item = dynamic_cast<const GridItemAccessible *>(child);
        return item && item->parent() == this ? item->row() : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QModelIndex index = grid()->indexAt(grid()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }

private:
    LibraryGridView *grid() const { return static_cast<LibraryGridView *>(widget()); }

    mutable QHash<int, QAccessible::Id> m_items;
};

QAccessibleInterface *gridAccessible(const QString &className, QObject *object)
{
    return className == QLatin1String("LibraryGridView") && object->isWidgetType()
        ? new GridAccessible(static_cast<LibraryGridView *>(object))
        : nullptr;
}

} // namespace

LibraryGridView::LibraryGridView(QWidget *parent) : QListView(parent)
{
    static const bool accessible = (QAccessible::installFactory(gridAccessible), true);
    Q_UNUSED(accessible);
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
    if (!m_delegate || m_tv)
        return;
    const bool changed = width != m_delegate->coverWidth();
    applyCoverWidth(width);
    if (changed)
        Q_EMIT coverWidthChanged(width);
}

void LibraryGridView::applyCoverWidth(int width)
{
    m_delegate->setCoverWidth(width);
    setGridSize(m_delegate->cellSize(font()));
    verticalScrollBar()->setSingleStep(gridSize().height() / 4);
}

void LibraryGridView::setTvLayout(bool on)
{
    if (!m_delegate || on == m_tv)
        return;
    m_tv = on;
    m_delegate->setTvLayout(on);
    if (on) {
        m_playerCoverWidth = m_delegate->coverWidth();
        m_playerScrollBar = verticalScrollBarPolicy();
        // The focus frame says where the player is; a bar would only take a column's room.
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        fitTvCovers();
    } else {
        setVerticalScrollBarPolicy(m_playerScrollBar);
        setFont(QFont());
        applyCoverWidth(m_playerCoverWidth);
    }
    if (currentIndex().isValid())
        scrollTo(currentIndex(), on ? PositionAtCenter : EnsureVisible);
}

void LibraryGridView::fitTvCovers()
{
    const int cell = viewport()->width() / kTvColumns;
    int width = std::max(kMinimumCoverWidth, cell - 2 * m_delegate->margin(cell));
    while (width > kMinimumCoverWidth && width + 2 * m_delegate->margin(width) > cell)
        --width;
    // A whole row and the name under it stay in view on a wide, low screen.
    width = std::max(kMinimumCoverWidth, std::min(width, int(viewport()->height() / 1.65)));
    // Nothing to do when the width holds and the TV font is set already (an inherited font
    // has no resolved attributes: the layout has just begun).
    if (width == m_delegate->coverWidth() && font().resolveMask() != 0)
        return;
    // Read from across a room: the name under a cover in proportion to it.
    QFont large = font();
    large.setPixelSize(std::max(16, width / 12));
    setFont(large);
    applyCoverWidth(width);
}

void LibraryGridView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    // Only when the size changes (full screen reached, another screen): never on a step.
    if (m_tv)
        fitTvCovers();
}

// A hidden grid shares the table's selection: only the view on show tells screen readers of it.
void LibraryGridView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (isVisible())
        QListView::currentChanged(current, previous);
    else
        QAbstractItemView::currentChanged(current, previous);
}

void LibraryGridView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (isVisible())
        QListView::selectionChanged(selected, deselected);
    else
        QAbstractItemView::selectionChanged(selected, deselected);
}

void LibraryGridView::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex current = currentIndex();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && current.isValid()) {
        // On the couch Enter (the pad's A) is Play; at the desk it opens the game.
        if (m_tv)
            Q_EMIT playRequested(current.row());
        else
            Q_EMIT rowActivated(current.row());
        return;
    }
    QListView::keyPressEvent(event);
}

QModelIndex LibraryGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    QAbstractItemModel *items = model();
    if ((action != MovePageDown && action != MovePageUp) || !current.isValid() || !items || gridSize().isEmpty())
        return QListView::moveCursor(action, modifiers);
    // Qt's page step is the view's height less two items, nothing at all when a cover is
    // taller than half the view: a page here is the rows that fit, and at least one.
    const int count = items->rowCount(rootIndex());
    const int top = visualRect(items->index(0, modelColumn(), rootIndex())).top();
    int columns = 1;
    while (columns < count && visualRect(items->index(columns, modelColumn(), rootIndex())).top() == top)
        ++columns;
    const int rows = std::max(1, viewport()->height() / gridSize().height());
    const int step = (action == MovePageDown ? 1 : -1) * rows * columns;
    return items->index(std::clamp(current.row() + step, 0, count - 1), modelColumn(), rootIndex());
}
