#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class CoverLoader;
class GameLibrary;
class LibraryFilterModel;
class LibraryModel;
struct LibraryRecord;
class LibraryPanel;
class QAction;
class QTimer;
class QMenu;
class QModelIndex;
class QUrl;
class QWidget;

/// The ROM library's panel and what it offers in the main window (actions, the context
/// menu, covers), over a GameLibrary that does the work. The window places the panel.
class LibraryController : public QObject
{
    Q_OBJECT

public:
    /// The settings key of the player's covers folder: a path, none by default.
    static const QString coversFolderKey;

    /// \a window holds the panel until it places it, and the actions and dialogs.
    explicit LibraryController(QWidget *window, QObject *parent = nullptr);
    ~LibraryController() override;

    GameLibrary *gameLibrary() const { return m_library; }
    LibraryPanel *panel() const { return m_panel; }
    LibraryModel *model() const;
    LibraryFilterModel *filterModel() const { return m_filter; }
    /// The panel width that shows the first columns whole, for a first start.
    int firstPanelWidth() const { return m_firstPanelWidth; }
    /// Window menu: shows and hides the panel.
    QAction *toggleAction() const { return m_toggleAction; }
    /// F5: reads the folders again.
    QAction *rescanAction() const { return m_rescanAction; }
    /// Ctrl+F: focuses the search field.
    QAction *findAction() const { return m_findAction; }
    /// File menu: "Add ROM Folder…".
    QAction *addFolderAction() const { return m_addFolderAction; }
    /// Ctrl+D: marks the current game as a favourite or no longer.
    QAction *favouriteAction() const { return m_favouriteAction; }
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

    /// TV mode's share of the panel: shown, with the grid alone in its TV layout. The layout
    /// the player set (view, cover width, visibility) is not written to the settings
    /// meanwhile, and is shown again when \a on is false.
    void setTvLayout(bool on);

    /// Shows the panel and adds a folder to the library.
    void addFolder(const QString &folder);
    /// Asks the player for a folder to add.
    void chooseFolder();

public Q_SLOTS:
    /// Reads "CoversFolder" again and looks for every cover afresh.
    void coversFolderChanged();

Q_SIGNALS:
    /// The context menu's "Game Settings…", offered only while something is connected here;
    /// \a name is the row's internal name, \a file the row's file (or archive entry) as Enter opens it.
    void gameSettingsRequested(const QString &md5, const QString &name, const QUrl &file);
    /// The empty grid's "Covers Folder…": the covers folder setting is to be shown.
    void coversFolderRequested();
    /// A row's context menu was made, before it pops up: a mode may add its own items.
    void contextMenuMade(QMenu *menu);

private:
    void initActions();
    void initStatus();
    void initGrid();
    const LibraryRecord *recordAt(const QModelIndex &viewIndex) const;
    void showHistoryProblem(const QString &message);
    void chooseCoverImage(const QString &md5);
    /// Asks, then renames a verified file to its DAT name (the extension kept).
    void renameToDatName(const QByteArray &path, const QString &gameName);
    void installCover(const QString &md5, const QString &picture, const QString &folder);
    /// The panel's layout as the settings keep it.
    struct Layout
    {
        bool visible = true;
        QString columns;
        bool grid = false;
        int coverWidth = 0;
    };
    void restoreState();
    void saveState();
    void writeState();

    QPointer<QWidget> m_window;
    GameLibrary *m_library;
    LibraryPanel *m_panel;
    LibraryFilterModel *m_filter;
    CoverLoader *m_covers = nullptr;
    QTimer *m_saveTimer;
    QAction *m_favouriteAction = nullptr;
    QAction *m_toggleAction = nullptr;
    QAction *m_rescanAction = nullptr;
    QAction *m_findAction = nullptr;
    QAction *m_addFolderAction = nullptr;
    int m_firstPanelWidth = 420;
    bool m_restoring = false;
    bool m_tvLayout = false;
    // Taken at the change, written later: the widgets may be gone by then (a quit right after).
    std::optional<Layout> m_unsavedLayout;
};
