#include "library/LibraryController.h"

#include "rom/RomArchive.h"

#include "library/CoverDelegate.h"
#include "library/CoverLoader.h"
#include "library/LibraryCache.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryFolders.h"
#include "library/LibraryGridView.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "library/LibraryScanner.h"
#include "library/PlayHistory.h"
#include "platform/LocalPath.h"
#include "platform/UserDefaults.h"
#include "platform/XdgFolders.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMetaMethod>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <utility>

#include <sys/stat.h>

namespace {

const QString visibleKey = QStringLiteral("LibraryPanelVisible");
const QString widthKey = QStringLiteral("LibraryPanelWidth");
const QString columnsKey = QStringLiteral("LibraryColumns");
const QString viewKey = QStringLiteral("LibraryView");
const QString coverWidthKey = QStringLiteral("LibraryCoverWidth");
const QString gridValue = QStringLiteral("Grid");
// A copy of many files sends a burst of changes; one scan after the burst is enough.
constexpr int kDebounceMs = 400;
// A file that changed moments ago may still be being written: look again later.
constexpr int kSettleRescanMs = 3000;

} // namespace

const QString LibraryController::foldersKey = QStringLiteral("LibraryFolders");
const QString LibraryController::coversFolderKey = QStringLiteral("CoversFolder");

LibraryController::LibraryController(QMainWindow *window, QWidget *viewContainer, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_model(new LibraryModel(this))
    , m_thread(new QThread(this))
    , m_debounce(new QTimer(this))
{
    // The panel goes on the left of the view container, in a splitter that takes the
    // container's place; what happens inside the container is unchanged.
    QWidget *central = viewContainer->parentWidget();
    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(QStringLiteral("librarySplitter"));
    m_splitter->setChildrenCollapsible(false);
    delete central->layout()->replaceWidget(viewContainer, m_splitter);
    m_panel = new LibraryPanel;
    m_splitter->addWidget(m_panel);
    m_splitter->addWidget(viewContainer);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);

    auto *filter = new LibraryFilterModel(this);
    filter->setSourceModel(m_model);
    m_filter = filter;
    m_panel->setModel(filter);
    m_panel->tableView()->sortByColumn(LibraryModel::Name, Qt::AscendingOrder);
    connect(m_panel, &LibraryPanel::rowActivated, this, &LibraryController::activateRow);
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
        if (index.column() != LibraryModel::Favourite)
            return;
        const LibraryRecord &record = m_model->record(m_filter->mapToSource(index).row());
        if (record.valid)
            setFavourite(record.md5(), !history(record.md5()).favourite);
    });

    QHeaderView *header = m_panel->tableView()->horizontalHeader();
    connect(header, &QWidget::customContextMenuRequested, this, [this, header](const QPoint &position) {
        QMenu menu;
        for (int column = 0; column < LibraryModel::ColumnCount; ++column) {
            const QVariant name = m_model->headerData(column, Qt::Horizontal, Qt::ToolTipRole);
            QAction *item = menu.addAction((name.isValid() ? name : m_model->headerData(column, Qt::Horizontal)).toString());
            item->setCheckable(true);
            item->setChecked(!header->isSectionHidden(column));
            // The name column stays, so the list never shows no column at all.
            item->setEnabled(column != LibraryModel::Name);
            connect(item, &QAction::toggled, header, [header, column](bool on) { header->setSectionHidden(column, !on); });
        }
        menu.exec(header->mapToGlobal(position));
        saveState();
    });
    m_saveTimer = new QTimer(this);
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(300);
    connect(m_saveTimer, &QTimer::timeout, this, &LibraryController::writeState);
    connect(header, &QHeaderView::sectionMoved, this, &LibraryController::saveState);
    connect(header, &QHeaderView::sortIndicatorChanged, this, &LibraryController::saveState);
    connect(header, &QHeaderView::sectionResized, this, &LibraryController::saveState);
    connect(m_splitter, &QSplitter::splitterMoved, this, &LibraryController::saveState);

    m_toggleAction = new QAction(tr("ROM Library"), this);
    m_toggleAction->setCheckable(true);
    connect(m_toggleAction, &QAction::toggled, this, [this](bool on) {
        m_panel->setVisible(on);
        saveState();
    });
    m_rescanAction = new QAction(tr("Rescan Library"), this);
    m_rescanAction->setShortcut(QKeySequence(Qt::Key_F5));
    connect(m_rescanAction, &QAction::triggered, this, &LibraryController::rescan);
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
            setFavourite(record->md5(), !history(record->md5()).favourite);
    });
    window->addActions({m_rescanAction, m_findAction, m_favouriteAction});

    m_debounce->setSingleShot(true);
    m_debounce->setInterval(kDebounceMs);
    connect(m_debounce, &QTimer::timeout, this, [this]() { startScan(true); });

    m_scanner = new LibraryScanner(LibraryCache::defaultPath());
    m_scanner->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_scanner, &QObject::deleteLater);
    connect(m_scanner, &LibraryScanner::recordsFound, m_model, &LibraryModel::addRecords);
    connect(m_scanner, &LibraryScanner::recordsRemoved, m_model, &LibraryModel::removeKeys);
    connect(m_scanner, &LibraryScanner::foldersChanged, this, [this](bool eventsLost) {
        m_eventsLost = m_eventsLost || eventsLost;
        m_debounce->start();
    });
    connect(m_scanner, &LibraryScanner::progress, this, &LibraryController::showProgress);
    connect(m_scanner, &LibraryScanner::finished, this, &LibraryController::scanFinishedWith);
    connect(m_scanner, &LibraryScanner::cacheMessage, this, [this](const QString &message) {
        m_cacheMessage = message;
        updateStatus();
    });
    connect(m_panel->cancelButton(), &QPushButton::clicked, this, [this]() { m_scanner->cancel(); });
    m_thread->start();
    initHistory();
    initGrid();
    // Whoever changed them (Preferences, the File menu, a hand edit of the file).
    connect(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged, this, [this](const QString &key) {
        if (key == LibraryFolders::key)
            rescan();
        else if (key == coversFolderKey)
            coversFolderChanged();
    });

    restoreState();
    rescan();
}

LibraryController::~LibraryController()
{
    // Touches no widget: the main window and the panel in it may be gone already.
    writeState();
    // The worker may be mid-read: tell it to stop, then wait for it before anything goes.
    m_scanner->cancel();
    m_thread->quit();
    m_thread->wait();
    // Changes still queued for the history file are written before its thread ends.
    QMetaObject::invokeMethod(m_history, []() {}, Qt::BlockingQueuedConnection);
    m_historyThread->quit();
    m_historyThread->wait();
}

void LibraryController::initHistory()
{
    m_historyThread = new QThread(this);
    m_history = new PlayHistory;
    m_history->moveToThread(m_historyThread);
    connect(m_historyThread, &QThread::finished, m_history, &QObject::deleteLater);
    connect(m_history, &PlayHistory::loaded, this, [this](const GameHistoryMap &entries) {
        m_model->setHistory(entries);
        // A game opened before the file was read (given at start) shows its history now.
        Q_EMIT historyChanged(QString());
    });
    connect(m_history, &PlayHistory::problem, this, [this](const QString &message) {
        m_historyMessage = message;
        updateStatus();
        Q_EMIT historyProblem(message);
        // Not modal: the player's history is worth telling about, not worth blocking for.
        auto *box = new QMessageBox(QMessageBox::Warning, tr("Play History"), message, QMessageBox::Ok, m_window);
        box->setObjectName(QStringLiteral("historyProblem"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setTextInteractionFlags(Qt::TextSelectableByMouse);
        box->setWindowModality(Qt::NonModal);
        box->show();
    });
    m_historyThread->start();
    QMetaObject::invokeMethod(m_history, &PlayHistory::open, Qt::QueuedConnection);
}

void LibraryController::initGrid()
{
    // Owned by the panel, which owns the grid and its painter that use it.
    m_covers = new CoverLoader(CoverLoader::defaultThumbnailFolder(), m_panel);
    m_covers->setCoversFolder(UserDefaults::standardUserDefaults().valueForKey(coversFolderKey).toString());
    LibraryGridView *grid = m_panel->gridView();
    auto *delegate = new CoverDelegate(m_covers, m_filter, m_model, grid);
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
        const QModelIndex source = m_filter->mapToSource(index);
        if (!source.isValid() || !m_model->record(source.row()).valid)
            return;
        const QString md5 = m_model->record(source.row()).md5();
        setFavourite(md5, !history(md5).favourite);
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
}

void LibraryController::coversFolderChanged()
{
    m_covers->setCoversFolder(UserDefaults::standardUserDefaults().valueForKey(coversFolderKey).toString());
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
    coversFolderChanged();
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

GameHistory LibraryController::history(const QString &md5) const
{
    return m_model->history(md5);
}

void LibraryController::recordRun(const QString &md5, qint64 activeMilliseconds)
{
    if (md5.isEmpty())
        return;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    GameHistory entry = m_model->history(md5);
    entry.addRun(now, activeMilliseconds);
    m_model->setGameHistory(md5, entry);
    QMetaObject::invokeMethod(
        m_history, [history = m_history, md5, now, activeMilliseconds] { history->recordRun(md5, now, activeMilliseconds); },
        Qt::QueuedConnection);
    Q_EMIT historyChanged(md5);
}

void LibraryController::setFavourite(const QString &md5, bool favourite)
{
    if (md5.isEmpty())
        return;
    GameHistory entry = m_model->history(md5);
    entry.favourite = favourite;
    m_model->setGameHistory(md5, entry);
    QMetaObject::invokeMethod(
        m_history, [history = m_history, md5, favourite] { history->setFavourite(md5, favourite); }, Qt::QueuedConnection);
    Q_EMIT historyChanged(md5);
}

const LibraryRecord *LibraryController::currentRecord() const
{
    const QModelIndex index = m_filter->mapToSource(m_panel->tableView()->currentIndex());
    return index.isValid() ? &m_model->record(index.row()) : nullptr;
}

QMenu *LibraryController::contextMenu(const QModelIndex &viewIndex)
{
    const QModelIndex index = m_filter->mapToSource(viewIndex);
    if (!index.isValid())
        return nullptr;
    m_panel->tableView()->setCurrentIndex(viewIndex);
    const LibraryRecord record = m_model->record(index.row());
    const QString md5 = record.valid ? record.md5() : QString();
    auto *menu = new QMenu(m_panel);
    menu->setObjectName(QStringLiteral("libraryContextMenu"));
    QAction *play = menu->addAction(tr("Play"), this, [this, record]() {
        if (std::shared_ptr<ROM> rom = unchangedROM(record))
            Q_EMIT playRecord(rom);
        else
            Q_EMIT openFile(fileUrl(record));
    });
    play->setEnabled(record.valid);
    menu->addAction(tr("Open"), this, [this, record]() {
        if (std::shared_ptr<ROM> rom = unchangedROM(record))
            Q_EMIT openRecord(rom);
        else
            Q_EMIT openFile(fileUrl(record));
    });
    if (isSignalConnected(QMetaMethod::fromSignal(&LibraryController::gameSettingsRequested))) {
        QAction *settings = menu->addAction(tr("Game Settings…"), this, [this, md5, record]() {
            Q_EMIT gameSettingsRequested(md5, record.name(), fileUrl(record));
        });
        settings->setEnabled(!md5.isEmpty());
    }
    menu->addSeparator();
    QAction *favourite = menu->addAction(tr("Favourite"), this, [this, md5](bool on) { setFavourite(md5, on); });
    favourite->setCheckable(true);
    favourite->setChecked(history(md5).favourite);
    favourite->setEnabled(!md5.isEmpty());
    favourite->setShortcut(m_favouriteAction->shortcut());
    menu->addAction(tr("Set Cover Image…"), this, [this, md5]() { chooseCoverImage(md5); })->setEnabled(!md5.isEmpty());
    menu->addSeparator();
    menu->addAction(tr("Show in Folder"), this, [record]() {
        QDesktopServices::openUrl(LocalPath(record.path).folder().toUrl());
    });
    menu->addAction(tr("Copy Path"), this, [record]() {
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
    menu->addAction(tr("Copy MD5"), this, [md5]() { QGuiApplication::clipboard()->setText(md5); })->setEnabled(!md5.isEmpty());
    return menu;
}

QStringList LibraryController::folders()
{
    return LibraryFolders::folders();
}

void LibraryController::setFolders(const QStringList &folders)
{
    LibraryFolders::setFolders(folders);
}

void LibraryController::addFolder(const QString &folder)
{
    m_toggleAction->setChecked(true);
    // A new folder is read as the store tells of it; one listed already is read again.
    if (!LibraryFolders::add(folder))
        rescan();
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

void LibraryController::rescan()
{
    startScan(false);
}

void LibraryController::startScan(bool changesOnly)
{
    // A full scan asked for while one runs is not made a scan for changes by a later change.
    m_changesOnly = m_scanning && m_rescanPending ? m_changesOnly && changesOnly : changesOnly;
    if (m_scanning) {
        m_rescanPending = true;
        return;
    }
    m_scanning = true;
    m_rescanPending = false;
    m_eventsLostNote = m_eventsLost;
    m_eventsLost = false;
    m_summary.clear();
    m_panel->progressBar()->setRange(0, 0);
    m_panel->progressBar()->show();
    m_panel->cancelButton()->show();
    m_panel->statusLabel()->setText(tr("Looking for ROM images…"));
    QMetaObject::invokeMethod(
        m_scanner,
        [scanner = m_scanner, list = folders(), changesOnly = m_changesOnly]() {
            changesOnly ? scanner->scanChanges(list) : scanner->scan(list);
        },
        Qt::QueuedConnection);
}

void LibraryController::showProgress(int read, int toRead, int fromCache)
{
    if (toRead == 0)
        return;
    const QLocale locale;
    m_panel->progressBar()->setRange(0, toRead);
    m_panel->progressBar()->setValue(read);
    m_panel->statusLabel()->setText(tr("Reading %1 of %2 (%3 from the cache)")
                                        .arg(locale.toString(read), locale.toString(toRead), locale.toString(fromCache)));
}

void LibraryController::scanFinishedWith(int total, int fromCache, int read, bool cancelled,
                                         const QStringList &problems, const QStringList &, bool recentChange)
{
    m_scanning = false;
    m_panel->progressBar()->hide();
    m_panel->cancelButton()->hide();
    const QLocale locale;
    if (cancelled)
        m_summary = tr("Scan cancelled: %1 read, %2 from the cache.").arg(locale.toString(read), locale.toString(fromCache));
    else if (folders().isEmpty())
        m_summary = tr("No ROM folder chosen. Add one from the File menu or Preferences.");
    else if (total == 0)
        m_summary = tr("No ROM images in the library folders.");
    else if (total == fromCache)
        m_summary = tr("%1 files, all from the cache.").arg(locale.toString(total));
    else
        m_summary = tr("%1 files: %2 read, %3 from the cache.")
                        .arg(locale.toString(total), locale.toString(read), locale.toString(fromCache));
    QStringList notes = problems;
    if (std::exchange(m_eventsLostNote, false))
        notes.append(tr("The system lost track of some changes in the library folders (too many at once); all of them were read again."));
    m_problemText = notes.join(QLatin1Char('\n'));
    updateStatus();
    if (m_rescanPending)
        startScan(m_changesOnly);
    else if (recentChange && !cancelled)
        QTimer::singleShot(kSettleRescanMs, this, &LibraryController::rescan);
    Q_EMIT scanFinished();
}

void LibraryController::updateStatus()
{
    if (m_scanning && m_summary.isEmpty() && m_cacheMessage.isEmpty())
        return;
    QStringList lines;
    for (const QString &line : {m_summary, m_problemText, m_cacheMessage, m_historyMessage}) {
        if (!line.isEmpty())
            lines.append(line);
    }
    m_panel->statusLabel()->setText(lines.join(QLatin1Char('\n')));
}

void LibraryController::activateRow(int viewRow)
{
    const QModelIndex index = m_filter->mapToSource(m_filter->index(viewRow, 0));
    if (!index.isValid())
        return;
    const LibraryRecord &record = m_model->record(index.row());
    if (std::shared_ptr<ROM> rom = unchangedROM(record)) {
        Q_EMIT openRecord(rom);
        return;
    }
    Q_EMIT openFile(fileUrl(record));
}

QUrl LibraryController::fileUrl(const LibraryRecord &record)
{
    const QUrl url = LocalPath(record.path).toUrl();
    return record.entryIndex < 0 ? url : RomArchive::entryUrl(url, record.entryIndex, record.entry);
}

std::shared_ptr<ROM> LibraryController::unchangedROM(const LibraryRecord &record) const
{
    // Unchanged since it was read: show the record as it is, with no second read and hash.
    struct stat info;
    if (record.valid && ::stat(record.path.constData(), &info) == 0 && S_ISREG(info.st_mode)
        && FileStamp::fromStat(info).sameFileAs(record.stamp))
        return record.toROM();
    return nullptr;
}

void LibraryController::restoreState()
{
    m_restoring = true;
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    QHeaderView *header = m_panel->tableView()->horizontalHeader();
    const QByteArray columns = QByteArray::fromBase64(defaults.valueForKey(columnsKey).toString().toLatin1());
    int firstWidth = 420;
    if (columns.isEmpty() || !header->restoreState(columns))
        firstWidth = m_panel->setFirstColumns();
    const int coverWidth = defaults.valueForKey(coverWidthKey).toInt();
    m_panel->gridView()->setCoverWidth(coverWidth > 0 ? coverWidth : 140);
    m_panel->coverSizeSlider()->setValue(m_panel->gridView()->coverWidth());
    m_panel->showGrid(defaults.valueForKey(viewKey).toString() == gridValue);
    const int width = defaults.valueForKey(widthKey).toInt();
    m_splitter->setSizes({width > 0 ? width : firstWidth, 480});
    const QVariant visible = defaults.valueForKey(visibleKey);
    m_toggleAction->setChecked(!visible.isValid() || visible.toBool());
    m_panel->setVisible(m_toggleAction->isChecked());
    // Room for the list beside the ROM view.
    const int windowWidth = std::min(std::max(1000, width > 0 ? 0 : firstWidth + 480),
                                     m_window->screen()->availableGeometry().width());
    if (m_panel->isVisibleTo(m_window) && m_window->width() < windowWidth)
        m_window->resize(windowWidth, std::max(m_window->height(), 560));
    m_restoring = false;
}

void LibraryController::saveState()
{
    if (m_restoring)
        return;
    // Read now, while the widgets are there: the main window is deleted before us, so a quit
    // within the delay below would otherwise save from a splitter that is gone.
    Layout layout;
    layout.visible = m_toggleAction->isChecked();
    layout.width = m_splitter->sizes().value(0);
    layout.columns = QString::fromLatin1(m_panel->tableView()->horizontalHeader()->saveState().toBase64());
    layout.grid = m_panel->isGridShown();
    layout.coverWidth = m_panel->gridView()->coverWidth();
    m_unsavedLayout = layout;
    // Dragging a column edge or the splitter sends many changes; the file is written once.
    m_saveTimer->start();
}

void LibraryController::writeState()
{
    const std::optional<Layout> layout = std::exchange(m_unsavedLayout, std::nullopt);
    if (!layout)
        return;
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.setValueForKey(visibleKey, layout->visible);
    if (layout->visible && layout->width > 0)
        defaults.setValueForKey(widthKey, layout->width);
    defaults.setValueForKey(columnsKey, layout->columns);
    defaults.setValueForKey(viewKey, layout->grid ? gridValue : QStringLiteral("List"));
    defaults.setValueForKey(coverWidthKey, layout->coverWidth);
}
