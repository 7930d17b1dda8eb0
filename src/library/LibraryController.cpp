#include "library/LibraryController.h"

#include "rom/RomArchive.h"

#include "library/LibraryCache.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "library/LibraryScanner.h"
#include "platform/UserDefaults.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include <sys/stat.h>

namespace {

const QString visibleKey = QStringLiteral("LibraryPanelVisible");
const QString widthKey = QStringLiteral("LibraryPanelWidth");
const QString columnsKey = QStringLiteral("LibraryColumns");
// A copy of many files sends a burst of changes; one scan after the burst is enough.
constexpr int kDebounceMs = 400;
// A file that changed moments ago may still be being written: look again later.
constexpr int kSettleRescanMs = 3000;

} // namespace

const QString LibraryController::foldersKey = QStringLiteral("LibraryFolders");

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
    m_panel->tableView()->setModel(m_filter);
    m_panel->tableView()->sortByColumn(LibraryModel::Name, Qt::AscendingOrder);
    connect(m_panel->searchField(), &QLineEdit::textChanged, filter, &LibraryFilterModel::setSearchText);
    connect(m_panel, &LibraryPanel::rowActivated, this, &LibraryController::activateRow);

    QHeaderView *header = m_panel->tableView()->horizontalHeader();
    connect(header, &QWidget::customContextMenuRequested, this, [this, header](const QPoint &position) {
        QMenu menu;
        for (int column = 0; column < LibraryModel::ColumnCount; ++column) {
            QAction *item = menu.addAction(m_model->headerData(column, Qt::Horizontal).toString());
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
    window->addActions({m_rescanAction, m_findAction});

    m_debounce->setSingleShot(true);
    m_debounce->setInterval(kDebounceMs);
    connect(m_debounce, &QTimer::timeout, this, &LibraryController::rescan);

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

    restoreState();
    rescan();
}

LibraryController::~LibraryController()
{
    if (m_saveTimer->isActive())
        writeState();
    // The worker may be mid-read: tell it to stop, then wait for it before anything goes.
    m_scanner->cancel();
    m_thread->quit();
    m_thread->wait();
}

QStringList LibraryController::folders()
{
    QStringList folders;
    for (const QVariant &value : UserDefaults::standardUserDefaults().arrayForKey(foldersKey).value_or(QVariantList())) {
        const QString folder = value.toString();
        if (!folder.isEmpty() && QDir::isAbsolutePath(folder))
            folders.append(folder);
    }
    return folders;
}

void LibraryController::setFolders(const QStringList &folders)
{
    QVariantList values;
    for (const QString &folder : folders)
        values.append(folder);
    UserDefaults::standardUserDefaults().setValueForKey(foldersKey, values);
}

void LibraryController::addFolder(const QString &folder)
{
    const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QStringList current = folders();
    if (!current.contains(absolute)) {
        current.append(absolute);
        setFolders(current);
    }
    m_toggleAction->setChecked(true);
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

void LibraryController::foldersChanged()
{
    rescan();
}

void LibraryController::rescan()
{
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
    QMetaObject::invokeMethod(m_scanner, "scan", Qt::QueuedConnection, Q_ARG(QStringList, folders()));
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
        rescan();
    else if (recentChange && !cancelled)
        QTimer::singleShot(kSettleRescanMs, this, &LibraryController::rescan);
    Q_EMIT scanFinished();
}

void LibraryController::updateStatus()
{
    if (m_scanning && m_summary.isEmpty() && m_cacheMessage.isEmpty())
        return;
    QStringList lines;
    for (const QString &line : {m_summary, m_problemText, m_cacheMessage}) {
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
    // Unchanged since it was read: show the record as it is, with no second read and hash.
    struct stat info;
    if (record.valid && ::stat(record.path.constData(), &info) == 0 && S_ISREG(info.st_mode)
        && FileStamp::fromStat(info).sameFileAs(record.stamp)) {
        Q_EMIT openRecord(record.toROM());
        return;
    }
    const QUrl url = QUrl::fromLocalFile(record.filePath());
    Q_EMIT openFile(record.entryIndex < 0 ? url : RomArchive::entryUrl(url, record.entryIndex, record.entry));
}

void LibraryController::restoreState()
{
    m_restoring = true;
    const UserDefaults &defaults = UserDefaults::standardUserDefaults();
    QHeaderView *header = m_panel->tableView()->horizontalHeader();
    const QByteArray columns = QByteArray::fromBase64(defaults.valueForKey(columnsKey).toString().toLatin1());
    if (columns.isEmpty() || !header->restoreState(columns)) {
        header->setSectionHidden(LibraryModel::MD5, true);
        header->resizeSection(LibraryModel::Name, 180);
        header->resizeSection(LibraryModel::Cic, 50);
        header->resizeSection(LibraryModel::ByteOrder, 80);
    }
    const int width = defaults.valueForKey(widthKey).toInt();
    m_splitter->setSizes({width > 0 ? width : 420, 480});
    const QVariant visible = defaults.valueForKey(visibleKey);
    m_toggleAction->setChecked(!visible.isValid() || visible.toBool());
    m_panel->setVisible(m_toggleAction->isChecked());
    // Room for the list beside the ROM view.
    if (m_panel->isVisibleTo(m_window) && m_window->width() < 1000)
        m_window->resize(1000, std::max(m_window->height(), 560));
    m_restoring = false;
}

void LibraryController::saveState()
{
    // Dragging a column edge or the splitter sends many changes; the file is written once.
    if (!m_restoring)
        m_saveTimer->start();
}

void LibraryController::writeState()
{
    UserDefaults &defaults = UserDefaults::standardUserDefaults();
    defaults.setValueForKey(visibleKey, m_toggleAction->isChecked());
    if (m_toggleAction->isChecked() && m_splitter->sizes().value(0) > 0)
        defaults.setValueForKey(widthKey, m_splitter->sizes().value(0));
    defaults.setValueForKey(columnsKey, QString::fromLatin1(m_panel->tableView()->horizontalHeader()->saveState().toBase64()));
}
