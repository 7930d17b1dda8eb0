#include "library/LibraryController.h"

#include "library/CoverDelegate.h"
#include "library/CoverLoader.h"
#include "library/DatCatalog.h"
#include "library/DatRename.h"
#include "library/GameLibrary.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryFilterNotice.h"
#include "library/LibraryGridView.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "platform/LocalPath.h"
#include "platform/UserDefaults.h"
#include "platform/XdgFolders.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMetaMethod>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace {

const QString visibleKey = QStringLiteral("LibraryPanelVisible");
const QString columnsKey = QStringLiteral("LibraryColumns");
const QString viewKey = QStringLiteral("LibraryView");
const QString coverWidthKey = QStringLiteral("LibraryCoverWidth");
const QString gridValue = QStringLiteral("Grid");

} // namespace

const QString LibraryController::coversFolderKey = QStringLiteral("CoversFolder");

LibraryController::LibraryController(QWidget *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_library(new GameLibrary(this))
    // The window's child until the window places it, so it never shows as a window of its own.
    , m_panel(new LibraryPanel(window))
    , m_filter(new LibraryFilterModel(this))
    , m_saveTimer(new QTimer(this))
{
    m_filter->setSourceModel(m_library->model());
    m_panel->setModel(m_filter);
    m_panel->tableView()->sortByColumn(LibraryModel::Name, Qt::AscendingOrder);
    connect(m_panel, &LibraryPanel::rowActivated, this, [this](int viewRow) {
        if (const LibraryRecord *record = recordAt(m_filter->index(viewRow, 0)))
            m_library->open(*record);
    });
    m_panel->tableView()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_panel->tableView(), &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        QTableView *table = m_panel->tableView();
        if (QMenu *menu = contextMenu(table->indexAt(position))) {
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(table->viewport()->mapToGlobal(position));
        }
    });
    // A click on a row's star marks or unmarks it at once.
    connect(m_panel->tableView(), &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        const LibraryRecord *record = recordAt(index);
        if (index.column() == LibraryModel::Favourite && record && record->valid)
            m_library->toggleFavourite(record->md5());
    });

    QHeaderView *header = m_panel->tableView()->horizontalHeader();
    connect(header, &QWidget::customContextMenuRequested, this, [this, header](const QPoint &position) {
        QMenu menu;
        const LibraryModel *model = m_library->model();
        for (int column = 0; column < LibraryModel::ColumnCount; ++column) {
            if (column == LibraryModel::Dump && !m_panel->datsChosen())
                continue;
            const QVariant name = model->headerData(column, Qt::Horizontal, Qt::ToolTipRole);
            QAction *item = menu.addAction((name.isValid() ? name : model->headerData(column, Qt::Horizontal)).toString());
            item->setCheckable(true);
            item->setChecked(!header->isSectionHidden(column));
            // The name column stays, so the list never shows no column at all.
            item->setEnabled(column != LibraryModel::Name);
            connect(item, &QAction::toggled, header, [header, column](bool on) { header->setSectionHidden(column, !on); });
        }
        menu.exec(header->mapToGlobal(position));
        saveState();
    });
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(300);
    connect(m_saveTimer, &QTimer::timeout, this, &LibraryController::writeState);
    connect(header, &QHeaderView::sectionMoved, this, &LibraryController::saveState);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &LibraryController::saveState);
    connect(header, &QHeaderView::sectionResized, this, &LibraryController::saveState);

    initActions();
    initStatus();
    initGrid();
    connect(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged, this, [this](const QString &key) {
        if (key == coversFolderKey)
            coversFolderChanged();
        else if (key == DatCatalog::key)
            m_panel->setDatsChosen(!DatCatalog::paths().isEmpty());
    });
    restoreState();
    m_library->start();
}

LibraryController::~LibraryController()
{
    // Touches no widget: the main window and the panel in it may be gone already.
    writeState();
}

LibraryModel *LibraryController::model() const
{
    return m_library->model();
}

void LibraryController::initActions()
{
    m_toggleAction = new QAction(tr("ROM Library"), this);
    m_toggleAction->setCheckable(true);
    connect(m_toggleAction, &QAction::toggled, this, [this](bool on) {
        m_panel->setVisible(on);
        saveState();
    });
    m_rescanAction = new QAction(tr("Rescan Library"), this);
    m_rescanAction->setShortcut(QKeySequence(Qt::Key_F5));
    connect(m_rescanAction, &QAction::triggered, m_library, &GameLibrary::rescan);
    m_findAction = new QAction(tr("Search Library"), this);
    m_findAction->setShortcut(QKeySequence::Find);
    connect(m_findAction, &QAction::triggered, this, [this]() {
        m_toggleAction->setChecked(true);
        m_panel->searchField()->setFocus(Qt::ShortcutFocusReason);
        m_panel->searchField()->selectAll();
    });
    m_addFolderAction = new QAction(tr("Add ROM Folder…"), this);
    connect(m_addFolderAction, &QAction::triggered, this, &LibraryController::chooseFolder);
    m_favouriteAction = new QAction(tr("Favourite"), this);
    m_favouriteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    m_favouriteAction->setShortcutContext(Qt::WindowShortcut);
    connect(m_favouriteAction, &QAction::triggered, this, [this]() {
        const LibraryRecord *record = currentRecord();
        if (record && record->valid)
            m_library->toggleFavourite(record->md5());
    });
    m_window->addActions({m_rescanAction, m_findAction, m_favouriteAction});
}

void LibraryController::initStatus()
{
    auto *notice = new LibraryFilterNotice(m_panel, m_filter, this);
    connect(m_library, &GameLibrary::statusChanged, notice, &LibraryFilterNotice::setLibraryStatus);
    connect(notice, &LibraryFilterNotice::chooseFolderRequested, this, &LibraryController::chooseFolder);
    connect(notice, &LibraryFilterNotice::coversFolderRequested, this, &LibraryController::coversFolderRequested);
    connect(m_library, &GameLibrary::scanningChanged, this, [this](bool scanning) {
        m_panel->progressBar()->setVisible(scanning);
        m_panel->cancelButton()->setVisible(scanning);
    });
    connect(m_library, &GameLibrary::progress, this, [this](int read, int toRead) {
        m_panel->progressBar()->setRange(0, toRead);
        m_panel->progressBar()->setValue(read);
    });
    connect(m_panel->cancelButton(), &QPushButton::clicked, m_library, &GameLibrary::cancelScan);
    connect(m_library, &GameLibrary::historyProblem, this, &LibraryController::showHistoryProblem);
}

void LibraryController::showHistoryProblem(const QString &message)
{
    // Not modal: the player's history is worth telling about, not worth blocking for.
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Play History"), message, QMessageBox::Ok, m_window);
    box->setObjectName(QStringLiteral("historyProblem"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void LibraryController::initGrid()
{
    // Owned by the panel, which owns the grid and its painter that use it.
    m_covers = new CoverLoader(CoverLoader::defaultThumbnailFolder(), m_panel);
    connect(m_library, &GameLibrary::picturesChanged, m_covers, &CoverLoader::picturesChanged);
    LibraryGridView *grid = m_panel->gridView();
    connect(m_covers, &CoverLoader::coversChanged, grid->viewport(), qOverload<>(&QWidget::update));
    connect(m_panel, &LibraryPanel::playRequested, this, [this](int row) {
        if (const LibraryRecord *record = recordAt(m_filter->index(row, 0)); record && record->valid)
            m_library->open(*record, true);
    });
    auto *delegate = new CoverDelegate(m_covers, m_filter, m_library->model(), grid);
    grid->setCoverDelegate(delegate);
    // Covers arrive one by one; one repaint for those arriving together.
    auto *repaint = new QTimer(this);
    repaint->setSingleShot(true);
    repaint->setInterval(30);
    connect(repaint, &QTimer::timeout, grid->viewport(), qOverload<>(&QWidget::update));
    connect(m_covers, &CoverLoader::coverReady, repaint, [repaint]() {
        if (!repaint->isActive())
            repaint->start();
    });
    connect(delegate, &CoverDelegate::favouriteClicked, this, [this](const QModelIndex &index) {
        const LibraryRecord *record = recordAt(index);
        if (record && record->valid)
            m_library->toggleFavourite(record->md5());
    });
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this, [this, grid](const QPoint &position) {
        if (QMenu *menu = contextMenu(grid->indexAt(position))) {
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(grid->viewport()->mapToGlobal(position));
        }
    });

    // The grid has no header: the same orders from a list, kept in step with the table's header.
    static constexpr struct {
        int column;
        Qt::SortOrder order;
    } sorts[] = {{LibraryModel::Name, Qt::AscendingOrder},
                 {LibraryModel::LastPlayed, Qt::DescendingOrder},
                 {LibraryModel::PlayTime, Qt::DescendingOrder}};
    QComboBox *sortBox = m_panel->sortBox();
    connect(sortBox, &QComboBox::activated, this, [this](int choice) {
        m_panel->tableView()->sortByColumn(sorts[choice].column, sorts[choice].order);
    });
    connect(m_panel->tableView()->horizontalHeader(), &QHeaderView::sortIndicatorChanged, sortBox,
            [sortBox](int column, Qt::SortOrder order) {
                int choice = -1;
                for (int i = 0; i < int(std::size(sorts)); ++i)
                    if (sorts[i].column == column && sorts[i].order == order)
                        choice = i;
                sortBox->setCurrentIndex(choice);
            });
    connect(m_panel, &LibraryPanel::viewChanged, this, &LibraryController::saveState);
    connect(grid, &LibraryGridView::coverWidthChanged, this, &LibraryController::saveState);
    m_window->addActions({m_panel->showGridAction(), m_panel->showListAction(), m_panel->largerCoversAction(),
                          m_panel->smallerCoversAction()});
    coversFolderChanged();
}

void LibraryController::coversFolderChanged()
{
    const QString folder = UserDefaults::standardUserDefaults().valueForKey(coversFolderKey).toString();
    m_covers->setCoversFolder(folder);
    m_library->watchCovers(folder);
    m_panel->gridView()->viewport()->update();
}

QString LibraryController::defaultCoversFolder()
{
    return XdgFolders::data() + QStringLiteral("/covers");
}

void LibraryController::setCoverImage(const QString &md5, const QString &picture)
{
    const QString folder = UserDefaults::standardUserDefaults().valueForKey(coversFolderKey).toString();
    if (!folder.isEmpty()) {
        installCover(md5, picture, folder);
        return;
    }
    // Asked without a nested event loop: the window goes on while the question is up.
    const QString offered = defaultCoversFolder();
    auto *box = new QMessageBox(
        QMessageBox::Question, tr("Covers Folder"),
        tr("No covers folder is chosen. Keep covers in “%1”? You can choose another in Preferences ▸ Library.").arg(offered),
        QMessageBox::Yes | QMessageBox::No, m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box, md5, picture, offered]() {
        if (box->standardButton(box->clickedButton()) != QMessageBox::Yes)
            return;
        UserDefaults::standardUserDefaults().setValueForKey(coversFolderKey, offered);
        installCover(md5, picture, offered);
    });
    box->open();
}

void LibraryController::installCover(const QString &md5, const QString &picture, const QString &folder)
{
    const QString error = CoverFinder::install(picture, folder, md5);
    if (!error.isEmpty()) {
        auto *box = new QMessageBox(QMessageBox::Warning, tr("Set Cover Image"), error, QMessageBox::Ok, m_window);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return;
    }
    // At once rather than when the folder's watch tells of it; a folder made just now is watched from now on.
    m_covers->picturesChanged(LocalPath::fromText(QDir::cleanPath(folder)).bytes());
    m_library->watchCovers(folder);
}

void LibraryController::chooseCoverImage(const QString &md5)
{
    QStringList patterns;
    for (const QString &suffix : CoverFinder::pictureSuffixes())
        patterns.append(QStringLiteral("*.") + suffix);
    auto *dialog = new QFileDialog(m_window, tr("Set Cover Image"), QString(),
                                   tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' '))));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::NonModal);
    connect(dialog, &QFileDialog::fileSelected, this, [this, md5](const QString &picture) { setCoverImage(md5, picture); });
    dialog->show();
}

const LibraryRecord *LibraryController::recordAt(const QModelIndex &viewIndex) const
{
    const QModelIndex index = m_filter->mapToSource(viewIndex);
    return index.isValid() ? &m_library->model()->record(index.row()) : nullptr;
}

const LibraryRecord *LibraryController::currentRecord() const
{
    return recordAt(m_panel->tableView()->currentIndex());
}

QMenu *LibraryController::contextMenu(const QModelIndex &viewIndex)
{
    const QModelIndex index = m_filter->mapToSource(viewIndex);
    if (!index.isValid())
        return nullptr;
    m_panel->tableView()->setCurrentIndex(viewIndex);
    const LibraryRecord record = m_library->model()->record(index.row());
    const QString md5 = record.valid ? record.md5() : QString();
    auto *menu = new QMenu(m_panel);
    menu->setObjectName(QStringLiteral("libraryContextMenu"));
    QAction *play = menu->addAction(tr("&Play"), this, [this, record]() { m_library->open(record, true); });
    play->setEnabled(record.valid);
    menu->addAction(tr("&Open"), this, [this, record]() { m_library->open(record); });
    if (isSignalConnected(QMetaMethod::fromSignal(&LibraryController::gameSettingsRequested))) {
        QAction *settings = menu->addAction(tr("&Game Settings…"), this, [this, md5, record]() {
            Q_EMIT gameSettingsRequested(md5, record.name(), GameLibrary::fileUrl(record));
        });
        settings->setEnabled(!md5.isEmpty());
    }
    menu->addSeparator();
    QAction *favourite = menu->addAction(tr("F&avourite"), this, [this, md5](bool on) { m_library->setFavourite(md5, on); });
    favourite->setCheckable(true);
    favourite->setChecked(m_library->history(md5).favourite);
    favourite->setEnabled(!md5.isEmpty());
    favourite->setShortcut(m_favouriteAction->shortcut());
    menu->addAction(tr("Set &Cover Image…"), this, [this, md5]() { chooseCoverImage(md5); })->setEnabled(!md5.isEmpty());
    const DatStatus dump = m_library->model()->dumpStatus(index.row());
    menu->addAction(tr("&Rename File to Its DAT Name…"), this, [this, record, dump]() { renameToDatName(record.path, dump.gameName); })
        ->setEnabled(dump.isVerified() && record.entry.isEmpty());
    menu->addSeparator();
    menu->addAction(tr("Show in &Folder"), this, [record]() {
        QDesktopServices::openUrl(LocalPath(record.path).folder().toUrl());
    });
    menu->addAction(tr("Copy Pa&th"), this, [record]() {
        const LocalPath path(record.path);
        if (path.isText()) {
            QGuiApplication::clipboard()->setText(path.displayText());
            return;
        }
        // Text cannot carry a name that is not UTF-8: a file manager pastes the file from its
        // URL, percent-encoded byte for byte; an editor pastes the name as shown.
        auto *data = new QMimeData;
        data->setUrls({path.toUrl()});
        data->setText(path.displayText());
        QGuiApplication::clipboard()->setMimeData(data);
    });
    menu->addAction(tr("Copy &MD5"), this, [md5]() { QGuiApplication::clipboard()->setText(md5); })->setEnabled(!md5.isEmpty());
    Q_EMIT contextMenuMade(menu);
    return menu;
}

void LibraryController::renameToDatName(const QByteArray &path, const QString &gameName)
{
    const QByteArray target = DatRename::targetOf(path, gameName);
    auto *box = new QMessageBox(QMessageBox::Question, tr("Rename File"),
                                tr("Rename “%1” to “%2”? Its history, settings and cover stay with it.")
                                    .arg(LocalPath(path).fileName(), LocalPath(target).fileName()),
                                QMessageBox::Yes | QMessageBox::No, m_window);
    box->setObjectName(QStringLiteral("renameQuestion"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, box, path, gameName]() {
        if (box->standardButton(box->clickedButton()) != QMessageBox::Yes)
            return;
        // The library sees the file renamed through its folder's watch and keeps its row's record.
        const QString error = DatRename::rename(path, gameName);
        if (error.isEmpty())
            return;
        auto *warning = new QMessageBox(QMessageBox::Warning, tr("Rename File"), error, QMessageBox::Ok, m_window);
        warning->setAttribute(Qt::WA_DeleteOnClose);
        warning->open();
    });
    box->open();
}

void LibraryController::addFolder(const QString &folder)
{
    m_toggleAction->setChecked(true);
    m_library->addFolder(folder);
}

void LibraryController::chooseFolder()
{
    auto *dialog = new QFileDialog(m_window, tr("Add ROM Folder"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    dialog->setAccessibleName(tr("Add ROM Folder"));
    connect(dialog, &QFileDialog::fileSelected, this, &LibraryController::addFolder);
    dialog->open();
}

void LibraryController::restoreState()
{
    m_restoring = true;
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    const QByteArray columns = QByteArray::fromBase64(defaults.valueForKey(columnsKey).toString().toLatin1());
    m_panel->setDatsChosen(!DatCatalog::paths().isEmpty());
    if (!m_panel->restoreColumns(columns))
        m_firstPanelWidth = m_panel->setFirstColumns();
    const int coverWidth = defaults.valueForKey(coverWidthKey).toInt();
    m_panel->gridView()->setCoverWidth(coverWidth > 0 ? coverWidth : 140);
    m_panel->coverSizeSlider()->setValue(m_panel->gridView()->coverWidth());
    m_panel->showGrid(defaults.valueForKey(viewKey).toString() == gridValue);
    const QVariant visible = defaults.valueForKey(visibleKey);
    m_toggleAction->setChecked(!visible.isValid() || visible.toBool());
    m_panel->setVisible(m_toggleAction->isChecked());
    m_restoring = false;
}

void LibraryController::setTvLayout(bool on)
{
    if (on == m_tvLayout)
        return;
    if (on)
        m_tvLayout = true;
    m_panel->setTvLayout(on);
    m_panel->setVisible(on || m_toggleAction->isChecked());
    // Hiding the panel or searching in its hidden field would leave the screen to nothing.
    m_toggleAction->setEnabled(!on);
    m_findAction->setEnabled(!on);
    m_tvLayout = on;
}

void LibraryController::saveState()
{
    // TV mode's grid is the screen's, not the player's layout.
    if (m_restoring || m_tvLayout)
        return;
    // Read now, while the widgets are there: the main window is deleted before us, so a quit
    // within the delay below would otherwise save from widgets that are gone.
    Layout layout;
    layout.visible = m_toggleAction->isChecked();
    layout.columns = QString::fromLatin1(m_panel->columnsState().toBase64());
    layout.grid = m_panel->isGridShown();
    layout.coverWidth = m_panel->gridView()->coverWidth();
    m_unsavedLayout = layout;
    // Dragging a column edge sends many changes; the file is written once.
    m_saveTimer->start();
}

void LibraryController::writeState()
{
    const std::optional<Layout> layout = std::exchange(m_unsavedLayout, std::nullopt);
    if (!layout)
        return;
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.setValueForKey(visibleKey, layout->visible);
    defaults.setValueForKey(columnsKey, layout->columns);
    defaults.setValueForKey(viewKey, layout->grid ? gridValue : QStringLiteral("List"));
    defaults.setValueForKey(coverWidthKey, layout->coverWidth);
}
