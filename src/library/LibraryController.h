#pragma once

#include "library/GameHistory.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>

class CoverLoader;
class LibraryFilterModel;
class LibraryModel;
struct LibraryRecord;
class PlayHistory;
class LibraryPanel;
class LibraryScanner;
class QAction;
class QMainWindow;
class QSplitter;
class QThread;
class QTimer;
class QMenu;
class QModelIndex;
class QUrl;
class QWidget;
class ROM;

/// The ROM library in the main window: puts the panel beside the view container, keeps it
/// filled from the scanner (off the GUI thread), watches the folders, and asks for a ROM
/// to be opened on Enter or a double-click. It reads the folders again whenever the stored
/// list changes, whoever changed it.
class LibraryController : public QObject
{
    Q_OBJECT

public:
    /// The settings key holding the folders: an array of absolute paths.
    static const QString foldersKey;
    /// The settings key of the player's covers folder: a path, none by default.
    static const QString coversFolderKey;

    LibraryController(QMainWindow *window, QWidget *viewContainer, QObject *parent = nullptr);
    ~LibraryController() override;

    LibraryPanel *panel() const { return m_panel; }
    LibraryModel *model() const { return m_model; }
    LibraryFilterModel *filterModel() const { return m_filter; }
    /// Window menu: shows and hides the panel.
    QAction *toggleAction() const { return m_toggleAction; }
    /// F5: reads the folders again.
    QAction *rescanAction() const { return m_rescanAction; }
    /// Ctrl+F: focuses the search field.
    QAction *findAction() const { return m_findAction; }
    /// File menu: "Add ROM Folder…".
    QAction *addFolderAction() const { return m_addFolderAction; }
    bool isScanning() const { return m_scanning; }
    /// Ctrl+D: marks the current game as a favourite or no longer.
    QAction *favouriteAction() const { return m_favouriteAction; }
    /// The player's history of the game with this MD5.
    GameHistory history(const QString &md5) const;
    /// Notes a run of the game with this MD5 that has just ended.
    void recordRun(const QString &md5, qint64 activeMilliseconds);
    void setFavourite(const QString &md5, bool favourite);
    /// The history file's thread-bound store; for tests.
    PlayHistory *playHistory() const { return m_history; }
    /// The record of the current row of the list, or null.
    const LibraryRecord *currentRecord() const;
    /// The context menu for a row of the view's model (the filter), as it would pop up.
    QMenu *contextMenu(const QModelIndex &viewIndex);
    CoverLoader *coverLoader() const { return m_covers; }
    /// Copies \a picture into the covers folder as the game's cover; when no folder is set,
    /// offers $XDG_DATA_HOME/tolvane-launcher/covers first, in a window-modal question that
    /// does not block the caller. A copy that fails is told in a message.
    void setCoverImage(const QString &md5, const QString &picture);
    /// Where a covers folder is offered when none is set.
    static QString defaultCoversFolder();

    static QStringList folders();
    static void setFolders(const QStringList &folders);
    /// Adds a folder to the settings (once) and rescans.
    void addFolder(const QString &folder);
    /// Asks the player for a folder to add.
    void chooseFolder();

public Q_SLOTS:
    /// Reads the folders now (after the one under way, if any).
    void rescan();
    /// Reads "CoversFolder" again and looks for every cover afresh.
    void coversFolderChanged();

Q_SIGNALS:
    /// Open this record as it is: the file is unchanged since it was read.
    void openRecord(const std::shared_ptr<ROM> &rom);
    /// Open this file by reading it (it changed, or it was refused when listed).
    void openFile(const QUrl &url);
    /// A scan ended; for tests and the status line.
    void scanFinished();
    /// The context menu's Play: open this record and start it.
    void playRecord(const std::shared_ptr<ROM> &rom);
    /// A game's history changed (a run ended, a favourite was marked); every game's when \a md5
    /// is empty (the history file has been read).
    void historyChanged(const QString &md5);
    /// The context menu's "Game Settings…", offered only while something is connected here;
    /// \a name is the row's internal name, \a file the row's file (or archive entry) as Enter opens it.
    void gameSettingsRequested(const QString &md5, const QString &name, const QUrl &file);
    /// The history file could not be used or written; a sentence for the player.
    void historyProblem(const QString &message);

private:
    void activateRow(int viewRow);
    /// The record as it is when unchanged since it was read, else null (read it again).
    std::shared_ptr<ROM> unchangedROM(const LibraryRecord &record) const;
    /// The file, or the archive entry, to read for a record.
    static QUrl fileUrl(const LibraryRecord &record);
    void initHistory();
    void initGrid();
    void chooseCoverImage(const QString &md5);
    void installCover(const QString &md5, const QString &picture, const QString &folder);
    void scanFinishedWith(int total, int fromCache, int read, bool cancelled, const QStringList &problems,
                          const QStringList &walkedFolders, bool recentChange);
    void showProgress(int read, int toRead, int fromCache);
    /// The panel's layout as the settings keep it.
    struct Layout
    {
        bool visible = true;
        int width = 0;
        QString columns;
        bool grid = false;
        int coverWidth = 0;
    };
    /// \a changesOnly: for changes told, leaving what a Cancel left unread as it is.
    void startScan(bool changesOnly);
    void restoreState();
    void saveState();
    void writeState();
    void updateStatus();

    QPointer<QMainWindow> m_window;
    QSplitter *m_splitter = nullptr;
    LibraryPanel *m_panel = nullptr;
    LibraryModel *m_model = nullptr;
    LibraryFilterModel *m_filter = nullptr;
    QThread *m_thread = nullptr;
    QThread *m_historyThread = nullptr;
    PlayHistory *m_history = nullptr;
    CoverLoader *m_covers = nullptr;
    QAction *m_favouriteAction = nullptr;
    LibraryScanner *m_scanner = nullptr;
    QTimer *m_debounce = nullptr;
    QTimer *m_saveTimer = nullptr;
    QAction *m_toggleAction = nullptr;
    QAction *m_rescanAction = nullptr;
    QAction *m_findAction = nullptr;
    QAction *m_addFolderAction = nullptr;
    bool m_scanning = false;
    bool m_rescanPending = false;
    bool m_changesOnly = false;
    bool m_restoring = false;
    // Change notices were lost: said once the scan they caused has ended.
    bool m_eventsLost = false;
    bool m_eventsLostNote = false;
    QString m_cacheMessage;
    QString m_historyMessage;
    QString m_problemText;
    QString m_summary;
    // Taken at the change, written later: the widgets may be gone by then (a quit right after).
    std::optional<Layout> m_unsavedLayout;
};
