#include "mainwindow/TvMode.h"

#include "dat/DatStatus.h"
#include "library/GameHistory.h"
#include "library/GameLibrary.h"
#include "library/LibraryController.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryGridView.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "mainwindow/DragWindow.h"
#include "platform/UserDefaults.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

const QString TvMode::settingsKey = QStringLiteral("TVMode");

TvMode::TvMode(DragWindow *window, QWidget *viewContainer, LibraryController *library, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_viewContainer(viewContainer)
    , m_library(library)
    , m_action(new QAction(tr("TV Mode"), this))
    , m_leaveAction(new QAction(tr("Leave TV Mode"), this))
    , m_footer(new QWidget(window))
    , m_info(new QLabel(m_footer))
    , m_footBar(new QLabel(tr("A Play · B Back · X Menu · Y Favourite"), m_footer))
    , m_leaveButton(new QToolButton(m_footer))
{
    m_action->setObjectName(QStringLiteral("actionTvMode"));
    m_action->setCheckable(true);
    m_action->setShortcut(QKeySequence(Qt::Key_F11));
    m_action->setToolTip(tr("Show the library full screen, in large covers, for a TV and a pad"));
    m_leaveAction->setObjectName(QStringLiteral("actionLeaveTvMode"));
    m_leaveAction->setShortcut(QKeySequence(Qt::Key_Escape));
    m_leaveAction->setEnabled(false);
    // On the window itself: its menu bar and toolbar are hidden in TV mode, and an action
    // only they hold would not hear its keys.
    window->addActions({m_action, m_leaveAction});
    connect(m_action, &QAction::toggled, this, &TvMode::setActive);
    connect(m_leaveAction, &QAction::triggered, this, [this]() { setActive(false); });

    m_footer->setObjectName(QStringLiteral("tvFooter"));
    m_footer->setAccessibleName(tr("TV mode"));
    m_footer->setAutoFillBackground(true);
    // As tall as its lines: the rest of the screen is the grid's.
    m_footer->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    m_info->setObjectName(QStringLiteral("tvInfo"));
    // No accessible name of its own: a label's text is its name, told again at every change.
    m_info->setAccessibleDescription(tr("The selected game"));
    m_info->setAlignment(Qt::AlignCenter);
    m_info->setTextFormat(Qt::PlainText);
    m_footBar->setObjectName(QStringLiteral("tvFootBar"));
    m_footBar->setAlignment(Qt::AlignCenter);
    m_footBar->setTextFormat(Qt::PlainText);
    m_leaveButton->setObjectName(QStringLiteral("tvLeave"));
    m_leaveButton->setDefaultAction(m_leaveAction);
    m_leaveButton->setAccessibleName(m_leaveAction->text());
    m_leaveButton->setAutoRaise(true);
    auto *footRow = new QHBoxLayout;
    footRow->addStretch(1);
    footRow->addWidget(m_footBar);
    footRow->addStretch(1);
    footRow->addWidget(m_leaveButton);
    auto *layout = new QVBoxLayout(m_footer);
    layout->addWidget(m_info);
    layout->addLayout(footRow);
    m_footer->hide();
    if (QWidget *central = window->centralWidget(); central && central->layout())
        central->layout()->addWidget(m_footer);

    LibraryPanel *panel = library->panel();
    connect(panel->tableView()->selectionModel(), &QItemSelectionModel::currentChanged, this, &TvMode::showSelected);
    connect(library->model(), &QAbstractItemModel::dataChanged, this, &TvMode::showSelected);
    connect(library->gameLibrary(), &GameLibrary::historyChanged, this, &TvMode::showSelected);
    // The game's menu (the pad's X) offers the way back, and is read from across the room too.
    connect(library, &LibraryController::contextMenuMade, this, [this](QMenu *menu) {
        if (!m_active)
            return;
        menu->setFont(m_info->font());
        menu->addSeparator();
        menu->addAction(m_action);
    });
}

TvMode::~TvMode() = default;

void TvMode::setActive(bool on)
{
    if (on == m_active || !m_window || !m_library)
        return;
    if (on)
        enter();
    else
        leave();
    const QSignalBlocker blocker(m_action);
    m_action->setChecked(m_active);
    m_leaveAction->setEnabled(m_active);
    // Read at the next start: a player who quit in TV mode comes back to it.
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    if (defaults.valueForKey(settingsKey).toBool() != m_active)
        defaults.setValueForKey(settingsKey, m_active);
}

void TvMode::enter()
{
    DragWindow *window = m_window;
    m_saved = Saved();
    m_saved.geometry = window->saveGeometry();
    m_saved.state = window->windowState();
    m_saved.focus = window->focusWidget();
    LibraryPanel *panel = m_library->panel();
    m_saved.columns = panel->tableView()->horizontalHeader()->saveState();
    if (QSplitter *splitter = window->librarySplitter())
        m_saved.splitterSizes = splitter->sizes();
    // Everything around the grid goes, and comes back only if it was there; the status bar
    // stays, in large type, as what it says (a scan's result, a warning) is meant for the player.
    QList<QWidget *> around{window->menuBar(), m_viewContainer};
    for (QToolBar *bar : window->findChildren<QToolBar *>(Qt::FindDirectChildrenOnly))
        around.append(bar);
    for (QWidget *widget : std::as_const(around)) {
        if (widget && widget->isVisibleTo(window)) {
            m_saved.shown.append(widget);
            widget->hide();
        }
    }
    // The whole library: the pad can neither see nor undo a search or a filter, whose
    // controls TV mode hides. The window's come back with it.
    LibraryFilterModel *filter = m_library->filterModel();
    m_saved.favouritesOnly = filter->favouritesOnly();
    m_saved.dumpFilter = int(filter->dumpFilter());
    filter->setSearchText(QString());
    filter->setFavouritesOnly(false);
    filter->setDumpFilter(LibraryFilterModel::DumpFilter::All);
    m_active = true;
    m_library->setTvLayout(true);
    fitFonts();
    m_footer->show();
    // With no window manager to honour full screen (a bare X server, a kiosk session) the
    // window would keep its size: it is given the screen's first (a resize after the state
    // would end it).
    if (const QScreen *screen = window->screen())
        window->setGeometry(screen->geometry());
    window->setWindowState((m_saved.state & ~Qt::WindowMaximized) | Qt::WindowFullScreen);
    window->show();
    window->raise();
    window->activateWindow();

    // The focus starts on the grid, at the selected game (the first when none is).
    LibraryGridView *grid = panel->gridView();
    if (!grid->currentIndex().isValid() && grid->model() && grid->model()->rowCount() > 0)
        grid->selectionModel()->setCurrentIndex(grid->model()->index(0, LibraryModel::Name),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->setFocus(Qt::OtherFocusReason);
    showSelected();
}

void TvMode::leave()
{
    DragWindow *window = m_window;
    m_active = false;
    m_footer->hide();
    LibraryPanel *panel = m_library->panel();
    // Before the panel saves again: a layout put back is not a change of the player's.
    QHeaderView *header = panel->tableView()->horizontalHeader();
    if (header->saveState() != m_saved.columns)
        header->restoreState(m_saved.columns);
    m_library->setTvLayout(false);
    for (QWidget *status : statusWidgets())
        status->setFont(QFont());
    LibraryFilterModel *filter = m_library->filterModel();
    filter->setSearchText(panel->searchField()->text());
    filter->setFavouritesOnly(m_saved.favouritesOnly);
    filter->setDumpFilter(LibraryFilterModel::DumpFilter(m_saved.dumpFilter));
    for (const QPointer<QWidget> &widget : std::as_const(m_saved.shown)) {
        if (widget)
            widget->show();
    }
    window->setWindowState(m_saved.state);
    window->restoreGeometry(m_saved.geometry);
    if (QSplitter *splitter = window->librarySplitter(); splitter && !m_saved.splitterSizes.isEmpty()) {
        splitter->setSizes(m_saved.splitterSizes);
        // Once more when a window manager has given the window its old size back.
        QTimer::singleShot(0, splitter, [splitter, sizes = m_saved.splitterSizes]() { splitter->setSizes(sizes); });
    }
    QWidget *focus = m_saved.focus && m_saved.focus->isVisibleTo(window) ? m_saved.focus.data() : panel->currentView();
    focus->setFocus(Qt::OtherFocusReason);
    if (panel->currentView()->currentIndex().isValid())
        panel->currentView()->scrollTo(panel->currentView()->currentIndex());
}

void TvMode::fitFonts()
{
    // In proportion to the screen, as the covers are: read from a sofa on any size of TV.
    const QScreen *screen = m_window->screen();
    const int height = screen ? screen->geometry().height() : 1080;
    QFont info = m_window->font();
    info.setPixelSize(std::max(18, height / 30));
    m_info->setFont(info);
    QFont foot = m_window->font();
    foot.setPixelSize(std::max(14, height / 42));
    m_footBar->setFont(foot);
    m_leaveButton->setFont(foot);
    for (QWidget *status : statusWidgets())
        status->setFont(foot);
}

QList<QWidget *> TvMode::statusWidgets() const
{
    LibraryPanel *panel = m_library->panel();
    return {m_window->statusBar(), panel->statusLabel(), panel->cancelButton()};
}

void TvMode::showSelected()
{
    if (!m_active || !m_window || !m_library)
        return;
    const QModelIndex current = m_library->panel()->tableView()->currentIndex();
    const QModelIndex source = m_library->filterModel()->mapToSource(current);
    if (!source.isValid()) {
        m_info->setText(tr("No game is selected."));
        return;
    }
    const LibraryModel *model = m_library->model();
    const LibraryRecord &record = model->record(source.row());
    QStringList facts;
    const DatStatus dump = model->dumpStatus(source.row());
    if (dump.kind != DatStatus::Kind::None)
        facts.append(dump.text());
    const GameHistory history = record.valid ? model->history(record.md5()) : GameHistory();
    if (history.favourite)
        facts.append(tr("Favourite"));
    const QString played = GameHistory::playTimeText(history.playMs);
    if (history.lastPlayed == 0)
        facts.append(tr("Never played"));
    else if (!played.isEmpty())
        facts.append(tr("Played for %1").arg(played));
    const QString name = current.siblingAtColumn(LibraryModel::Name).data().toString();
    m_info->setText(name + QLatin1Char('\n') + facts.join(QStringLiteral(" · ")));
}
