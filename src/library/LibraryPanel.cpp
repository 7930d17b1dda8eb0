#include "library/LibraryPanel.h"

#include "library/GameHistory.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryGridView.h"
#include "library/LibraryModel.h"
#include "rom/ROM.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace {

// A long file name keeps its extension in view; a reason or a name still reads from its start.
class FileNameDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideMiddle;
    }
};

// The table hidden behind the grid shares its selection: only the view on show tells screen
// readers of a move, which they would otherwise announce twice.
class LibraryTable : public QTableView
{
public:
    using QTableView::QTableView;

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override
    {
        if (isVisible())
            QTableView::currentChanged(current, previous);
        else
            QAbstractItemView::currentChanged(current, previous);
    }
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override
    {
        if (isVisible())
            QTableView::selectionChanged(selected, deselected);
        else
            QAbstractItemView::selectionChanged(selected, deselected);
    }
};

} // namespace

LibraryPanel::LibraryPanel(QWidget *parent)
    : QWidget(parent)
    , m_search(new QLineEdit(this))
    , m_table(new LibraryTable(this))
    , m_status(new QLabel(this))
    , m_progress(new QProgressBar(this))
    , m_cancel(new QPushButton(tr("Cancel"), this))
    , m_favourites(new QToolButton(this))
    , m_dumpFilter(new QComboBox(this))
    , m_grid(new LibraryGridView(this))
    , m_stack(new QStackedWidget(this))
    , m_sizeSlider(new QSlider(Qt::Horizontal, this))
    , m_sortBox(new QComboBox(this))
    , m_showGrid(new QAction(tr("Show as Grid"), this))
    , m_showList(new QAction(tr("Show as List"), this))
    , m_larger(new QAction(tr("Larger Covers"), this))
    , m_smaller(new QAction(tr("Smaller Covers"), this))
    , m_controls(new QWidget(this))
    , m_footer(new QWidget(this))
{
    setObjectName(QStringLiteral("LibraryPanel"));
    m_search->setObjectName(QStringLiteral("librarySearch"));
    m_search->setPlaceholderText(tr("Search name, file, game code or region"));
    m_search->setAccessibleName(tr("Search library"));
    m_search->setClearButtonEnabled(true);
    // Qt's clear button has an icon and no text; a screen reader would say only "push button".
    for (QToolButton *button : m_search->findChildren<QToolButton *>()) {
        button->setAccessibleName(tr("Clear search"));
        button->setToolTip(tr("Clear search"));
    }
    m_favourites->setObjectName(QStringLiteral("libraryFavourites"));
    m_favourites->setText(tr("Favourites"));
    m_favourites->setToolTip(tr("Show only your favourite games"));
    m_favourites->setAccessibleName(tr("Favourites"));
    m_favourites->setCheckable(true);
    m_dumpFilter->setObjectName(QStringLiteral("libraryDumpFilter"));
    m_dumpFilter->addItems({tr("All"), tr("Verified"), tr("Not verified"), tr("Duplicates")});
    m_dumpFilter->setAccessibleName(tr("Show by dump"));
    m_dumpFilter->setToolTip(tr("Show games by what your DAT files say of them, or the games kept in more than one file"));
    m_table->setObjectName(QStringLiteral("libraryTable"));
    m_table->setAccessibleName(tr("ROM library"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSortingEnabled(true);
    m_table->setWordWrap(false);
    m_table->setItemDelegateForColumn(LibraryModel::FileName, new FileNameDelegate(m_table));
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionsMovable(true);
    m_table->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    m_table->installEventFilter(this);
    m_grid->installEventFilter(this);
    m_search->installEventFilter(this);
    m_status->setObjectName(QStringLiteral("libraryStatus"));
    m_status->setWordWrap(true);
    m_progress->setObjectName(QStringLiteral("libraryProgress"));
    m_progress->setTextVisible(false);
    m_progress->setAccessibleName(tr("Library scan progress"));
    m_progress->setMaximumHeight(m_status->fontMetrics().height());
    m_progress->hide();
    m_cancel->setObjectName(QStringLiteral("libraryCancel"));
    m_cancel->setAccessibleDescription(tr("Stops reading the library folders; what was read is kept"));
    m_cancel->setToolTip(m_cancel->accessibleDescription());
    m_cancel->hide();

    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The rows above and below the views stand in widgets of their own, so the TV layout hides
    // them whole and leaves what is shown inside them (a scan's bar) as it is.
    auto *controls = new QVBoxLayout(m_controls);
    controls->setContentsMargins(0, 0, 0, 0);
    auto *footer = new QVBoxLayout(m_footer);
    footer->setContentsMargins(0, 0, 0, 0);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(m_favourites);
    searchRow->addWidget(m_dumpFilter);
    controls->addLayout(searchRow);
    auto *viewRow = new QHBoxLayout;
    // In the order they stand: the grid's own controls come before the grid.
    QList<QWidget *> tabOrder{m_search, m_favourites, m_dumpFilter};
    for (QAction *action : {m_showList, m_showGrid}) {
        auto *button = new QToolButton(this);
        button->setObjectName(action == m_showGrid ? QStringLiteral("showGridButton") : QStringLiteral("showListButton"));
        button->setDefaultAction(action);
        button->setAccessibleName(action->text());
        // A screen reader's toggle checks the button without a click, which the action
        // never hears of: the button's state is handed to the action whichever way it came.
        connect(button, &QToolButton::toggled, action, [action, button](bool checked) {
            if (checked)
                action->setChecked(true);
            else if (action->isChecked())
                button->setChecked(true);
        });
        viewRow->addWidget(button);
        tabOrder.append(button);
    }
    // Qt names a combo box on Linux by its current text; screen readers take the label.
    auto *sortLabel = new QLabel(tr("Sort &by:"), this);
    sortLabel->setBuddy(m_sortBox);
    viewRow->addWidget(sortLabel);
    viewRow->addWidget(m_sortBox);
    viewRow->addWidget(m_sizeSlider, 1);
    // Takes the slider's room when the list hides it, so the sort box stays beside its label.
    viewRow->addStretch();
    controls->addLayout(viewRow);
    layout->addWidget(m_controls);
    m_stack->addWidget(m_table);
    m_stack->addWidget(m_grid);
    layout->addWidget(m_stack, 1);
    footer->addWidget(m_progress);
    footer->addLayout(statusRow);
    layout->addWidget(m_footer);
    tabOrder << m_sortBox << m_sizeSlider << m_table << m_grid << m_cancel;
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    connect(m_table, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        Q_EMIT rowActivated(index.row());
    });
    connect(m_grid, &LibraryGridView::rowActivated, this, &LibraryPanel::rowActivated);
    connect(m_grid, &LibraryGridView::playRequested, this, &LibraryPanel::playRequested);

    m_sortBox->setObjectName(QStringLiteral("librarySort"));
    m_sortBox->setAccessibleName(tr("Sort by"));
    m_sortBox->addItems({tr("Name"), tr("Recently played"), tr("Play time")});
    m_sizeSlider->setObjectName(QStringLiteral("coverSize"));
    m_sizeSlider->setAccessibleName(tr("Cover size"));
    m_sizeSlider->setRange(LibraryGridView::kMinimumCoverWidth, LibraryGridView::kMaximumCoverWidth);
    m_sizeSlider->setPageStep(40);
    connect(m_sizeSlider, &QSlider::valueChanged, m_grid, &LibraryGridView::setCoverWidth);
    connect(m_grid, &LibraryGridView::coverWidthChanged, m_sizeSlider, &QSlider::setValue);
    auto *views = new QActionGroup(this);
    for (QAction *action : {m_showGrid, m_showList}) {
        action->setCheckable(true);
        views->addAction(action);
    }
    m_showGrid->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_1));
    m_showList->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_2));
    m_showList->setChecked(true);
    m_larger->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    m_smaller->setShortcut(QKeySequence::ZoomOut);
    // Toggled, not triggered: a check from any road (menu, shortcut, button, screen reader)
    // switches the view.
    connect(m_showGrid, &QAction::toggled, this, [this](bool checked) {
        if (checked)
            showGrid(true);
    });
    connect(m_showList, &QAction::toggled, this, [this](bool checked) {
        if (checked)
            showGrid(false);
    });
    connect(m_larger, &QAction::triggered, this, [this]() { m_grid->setCoverWidth(m_grid->coverWidth() + 20); });
    connect(m_smaller, &QAction::triggered, this, [this]() { m_grid->setCoverWidth(m_grid->coverWidth() - 20); });
    showGrid(false);
}

void LibraryPanel::setModel(LibraryFilterModel *model)
{
    m_model = model;
    m_table->setModel(model);
    model->setSelectionModel(m_table->selectionModel());
    // One selection under both views: switching keeps the rows and the choice.
    m_grid->setModel(model);
    QItemSelectionModel *own = m_grid->selectionModel();
    m_grid->setSelectionModel(m_table->selectionModel());
    delete own;
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setModelColumn(LibraryModel::Name);
    connect(m_search, &QLineEdit::textChanged, this, &LibraryPanel::searchChanged);
    connect(m_dumpFilter, &QComboBox::currentIndexChanged, this, [this](int filter) {
        m_model->setDumpFilter(LibraryFilterModel::DumpFilter(filter));
        scrollToCurrent();
    });
    connect(m_favourites, &QToolButton::toggled, this, [this](bool on) {
        m_model->setFavouritesOnly(on);
        scrollToCurrent();
    });
}

void LibraryPanel::searchChanged(const QString &text)
{
    m_model->setSearchText(text);
    // Enter opens the current row: when the search hid it (or there was none), the first
    // match is made current, so the row Enter opens is always the one shown selected.
    if (!m_table->currentIndex().isValid() && m_model->rowCount() > 0)
        m_table->selectionModel()->setCurrentIndex(m_model->index(0, LibraryModel::Name),
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollToCurrent();
}

void LibraryPanel::scrollToCurrent()
{
    // A list rebuilt longer starts where the old, shorter one ended, often at its top. Only
    // after the player's own filtering: rows added by a scan leave the scroll alone.
    QAbstractItemView *view = currentView();
    if (view->currentIndex().isValid())
        view->scrollTo(view->currentIndex());
}

int LibraryPanel::setFirstColumns()
{
    QHeaderView *header = m_table->horizontalHeader();
    // Game code and size are in the ROM view beside the list; the history is worth the room.
    for (const int column : {LibraryModel::GameCode, LibraryModel::Cic, LibraryModel::Size, LibraryModel::ByteOrder,
                             LibraryModel::MD5, LibraryModel::OwnSettings})
        header->setSectionHidden(column, true);
    // The star first, where a click on it is expected.
    header->moveSection(header->visualIndex(LibraryModel::Favourite), 0);
    header->resizeSection(LibraryModel::Favourite, header->fontMetrics().height() + 12);
    // Widths from the texts themselves, so they hold in any font: most internal names, and
    // file names of a title, a region tag and the extension, show whole; longer ones are elided.
    QString longestRegion;
    for (int code = 'A'; code <= 'Z'; ++code) {
        const QString region = LibraryModel::regionName(quint8(code));
        longestRegion = region.size() > longestRegion.size() ? region : longestRegion;
    }
    const QFontMetrics metrics = m_table->fontMetrics();
    const struct {
        int column;
        QString sample;
    } samples[] = {{LibraryModel::Name, QStringLiteral("ABCDEFGHIJKLMNOP")},
                   {LibraryModel::FileName, QStringLiteral("Abcdefghij (Europe).z64")},
                   {LibraryModel::Region, longestRegion},
                   {LibraryModel::LastPlayed, QLocale().toString(QDate(2026, 12, 30), QLocale::ShortFormat)},
                   {LibraryModel::PlayTime, GameHistory::playTimeText((12 * 60 + 30) * 60000)}};
    const int padding = 2 * m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 12;
    for (const auto &sample : samples)
        header->resizeSection(sample.column, std::max(header->sectionSizeHint(sample.column),
                                                      metrics.horizontalAdvance(sample.sample) + padding));
    return header->sectionPosition(LibraryModel::PlayTime) + header->sectionSize(LibraryModel::PlayTime)
        + m_table->verticalScrollBar()->sizeHint().width() + 2 * m_table->frameWidth();
}

void LibraryPanel::setDatsChosen(bool chosen)
{
    if (chosen == m_datsChosen)
        return;
    QHeaderView *header = m_table->horizontalHeader();
    if (!chosen)
        m_dumpWanted = !header->isSectionHidden(LibraryModel::Dump);
    m_datsChosen = chosen;
    header->setSectionHidden(LibraryModel::Dump, !chosen || !m_dumpWanted);
    m_dumpFilter->setVisible(chosen);
    if (!chosen)
        m_dumpFilter->setCurrentIndex(0);
}

QByteArray LibraryPanel::columnsState()
{
    QHeaderView *header = m_table->horizontalHeader();
    if (m_datsChosen || !m_dumpWanted)
        return header->saveState();
    // Shown for the moment of saving only, unseen: nothing is painted in between.
    const QSignalBlocker blocker(header);
    header->setSectionHidden(LibraryModel::Dump, false);
    const QByteArray state = header->saveState();
    header->setSectionHidden(LibraryModel::Dump, true);
    return state;
}

bool LibraryPanel::restoreColumns(const QByteArray &state)
{
    QHeaderView *header = m_table->horizontalHeader();
    if (state.isEmpty() || !header->restoreState(state))
        return false;
    m_dumpWanted = !header->isSectionHidden(LibraryModel::Dump);
    header->setSectionHidden(LibraryModel::Dump, !m_datsChosen || !m_dumpWanted);
    return true;
}

QAbstractItemView *LibraryPanel::currentView() const
{
    return isGridShown() ? static_cast<QAbstractItemView *>(m_grid) : m_table;
}

bool LibraryPanel::isGridShown() const
{
    return m_stack->currentWidget() == m_grid;
}

void LibraryPanel::showGrid(bool grid)
{
    // Checking the action brings its toggled notice back here, so the view switches once.
    QAction *action = grid ? m_showGrid : m_showList;
    if (!action->isChecked()) {
        action->setChecked(true);
        return;
    }
    const bool hadFocus = m_stack->currentWidget()->hasFocus();
    m_stack->setCurrentWidget(grid ? static_cast<QWidget *>(m_grid) : m_table);
    m_sizeSlider->setVisible(grid);
    m_larger->setEnabled(grid);
    m_smaller->setEnabled(grid);
    QAbstractItemView *view = currentView();
    if (view->currentIndex().isValid())
        view->scrollTo(view->currentIndex());
    if (hadFocus)
        view->setFocus();
    Q_EMIT viewChanged(grid);
}

void LibraryPanel::setTvLayout(bool on)
{
    if (on == m_gridBeforeTv.has_value())
        return;
    if (on) {
        m_gridBeforeTv = isGridShown();
        showGrid(true);
    }
    // The status row stays: a scan's result or a warning is for the player on the sofa too.
    m_controls->setVisible(!on);
    // Their keys still reach the window: the list would show inside the TV layout.
    m_showGrid->setEnabled(!on);
    m_showList->setEnabled(!on);
    m_grid->setTvLayout(on);
    if (!on)
        showGrid(*std::exchange(m_gridBeforeTv, std::nullopt));
}

bool LibraryPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    // The menu key and Shift+F10 open the current game's menu, where a right-click would.
    auto *view = qobject_cast<QAbstractItemView *>(watched);
    if (view && (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier))) {
        const QRect item = view->visualRect(view->currentIndex());
        const QPoint at = item.isValid() ? item.center() : view->viewport()->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, view->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(view->viewport(), &menu);
        return true;
    }
    // The keypad's Enter (a pad's A and Start) plays the current game; Return opens it.
    if (view && key->key() == Qt::Key_Enter && key->modifiers() == Qt::KeypadModifier && view->currentIndex().isValid()) {
        Q_EMIT playRequested(view->currentIndex().row());
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const QModelIndex current = m_table->currentIndex();
    if (watched == m_table && enter && current.isValid()) {
        Q_EMIT rowActivated(current.row());
        return true;
    }
    // Home and End go to the first and last game, not the first and last column.
    if (watched == m_table && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End) && m_table->model()
        && m_table->model()->rowCount() > 0) {
        const int row = key->key() == Qt::Key_Home ? 0 : m_table->model()->rowCount() - 1;
        m_table->setCurrentIndex(m_table->model()->index(row, current.isValid() ? current.column() : 0));
        return true;
    }
    // Typing in the search field, the arrows and Enter still move through and open the list.
    if (watched == m_search && key->key() == Qt::Key_Escape && !m_search->text().isEmpty()) {
        m_search->clear();
        return true;
    }
    if (watched == m_search && m_table->model() && m_table->model()->rowCount() > 0) {
        if (enter) {
            // What opens is shown selected first.
            if (!current.isValid()) {
                m_table->selectRow(0);
                scrollToCurrent();
            }
            Q_EMIT rowActivated(m_table->currentIndex().row());
            return true;
        }
        if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up || key->key() == Qt::Key_PageDown
            || key->key() == Qt::Key_PageUp) {
            if (!current.isValid())
                m_table->selectRow(0);
            else
                QCoreApplication::sendEvent(currentView(), event);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
