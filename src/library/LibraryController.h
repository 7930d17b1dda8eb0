#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class LibraryModel;
class LibraryPanel;
class LibraryScanner;
class QAction;
class QMainWindow;
class QSortFilterProxyModel;
class QSplitter;
class QThread;
class QTimer;
class QUrl;
class QWidget;
class ROM;

/// The ROM library in the main window: puts the panel beside the view container, keeps it
/// filled from the scanner (off the GUI thread), watches the folders, and asks for a ROM
/// to be opened on Enter or a double-click.
class LibraryController : public QObject
{
    Q_OBJECT

public:
    /// The settings key holding the folders: an array of absolute paths.
    static const QString foldersKey;

    LibraryController(QMainWindow *window, QWidget *viewContainer, QObject *parent = nullptr);
    ~LibraryController() override;

    LibraryPanel *panel() const { return m_panel; }
    LibraryModel *model() const { return m_model; }
    QSortFilterProxyModel *filterModel() const { return m_filter; }
    /// Window menu: shows and hides the panel.
    QAction *toggleAction() const { return m_toggleAction; }
    /// F5: reads the folders again.
    QAction *rescanAction() const { return m_rescanAction; }
    /// Ctrl+F: focuses the search field.
    QAction *findAction() const { return m_findAction; }
    /// File menu: "Add ROM Folder…".
    QAction *addFolderAction() const { return m_addFolderAction; }
    bool isScanning() const { return m_scanning; }

    static QStringList folders();
    static void setFolders(const QStringList &folders);
    /// Adds a folder to the settings (once) and rescans.
    void addFolder(const QString &folder);
    /// Asks the player for a folder to add.
    void chooseFolder();

public Q_SLOTS:
    /// Reads the folders now (after the one under way, if any).
    void rescan();
    /// Reads the folder list from the settings again, as after a change in Preferences.
    void foldersChanged();

Q_SIGNALS:
    /// Open this record as it is: the file is unchanged since it was read.
    void openRecord(const std::shared_ptr<ROM> &rom);
    /// Open this file by reading it (it changed, or it was refused when listed).
    void openFile(const QUrl &url);
    /// A scan ended; for tests and the status line.
    void scanFinished();

private:
    void activateRow(int viewRow);
    void scanFinishedWith(int total, int fromCache, int read, bool cancelled, const QStringList &problems,
                          const QStringList &walkedFolders, bool recentChange);
    void showProgress(int read, int toRead, int fromCache);
    void restoreState();
    void saveState();
    void writeState();
    void updateStatus();

    QPointer<QMainWindow> m_window;
    QSplitter *m_splitter = nullptr;
    LibraryPanel *m_panel = nullptr;
    LibraryModel *m_model = nullptr;
    QSortFilterProxyModel *m_filter = nullptr;
    QThread *m_thread = nullptr;
    LibraryScanner *m_scanner = nullptr;
    QTimer *m_debounce = nullptr;
    QTimer *m_saveTimer = nullptr;
    QAction *m_toggleAction = nullptr;
    QAction *m_rescanAction = nullptr;
    QAction *m_findAction = nullptr;
    QAction *m_addFolderAction = nullptr;
    bool m_scanning = false;
    bool m_rescanPending = false;
    bool m_restoring = false;
    // Change notices were lost: said once the scan they caused has ended.
    bool m_eventsLost = false;
    bool m_eventsLostNote = false;
    QString m_cacheMessage;
    QString m_problemText;
    QString m_summary;
};
