#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class DragWindow;
class LibraryController;
class QAction;
class QLabel;
class QToolButton;
class QWidget;

/// TV mode: the main window full screen with the library's cover grid alone, in large covers
/// and large text for a room and a pad (the arrows move, Enter plays, the menu key opens the
/// game's menu, Ctrl+D marks a favourite, Escape leaves), the selected game under the grid,
/// what the pad's buttons do at its foot and the status bar's messages in large type. It
/// shows the whole library: the window's search and filters are put back on leaving. It is a state of the same window and grid:
/// leaving it shows the window exactly as it was, and the player's layout in the settings
/// is not touched meanwhile.
class TvMode : public QObject
{
    Q_OBJECT

public:
    /// Whether the Launcher was in TV mode when it was left: a boolean, absent means false.
    static const QString settingsKey;

    TvMode(DragWindow *window, QWidget *viewContainer, LibraryController *library, QObject *parent = nullptr);
    ~TvMode() override;

    /// View ▸ TV Mode (F11), checked while in TV mode; works with the menu bar hidden too.
    QAction *action() const { return m_action; }
    /// Escape in TV mode; also the button at the foot.
    QAction *leaveAction() const { return m_leaveAction; }
    bool isActive() const { return m_active; }
    /// Enters or leaves TV mode; the window is shown if it was not.
    void setActive(bool on);

    /// Under the grid: the selected game's name, dump status (when a DAT file knows it) and
    /// play time. A label, so that screen readers read it again when it changes.
    QLabel *infoLabel() const { return m_info; }
    /// "A Play · B Back · X Menu · Y Favourite"
    QLabel *footBar() const { return m_footBar; }
    /// What TV mode adds under the grid: the info line and the foot bar.
    QWidget *footer() const { return m_footer; }

private:
    void enter();
    void leave();
    void showSelected();
    void fitFonts();
    // The window's status bar and the library's status row: kept in TV mode, in the foot's type.
    QList<QWidget *> statusWidgets() const;

    /// The window as it was before TV mode, to be shown again as it was.
    struct Saved
    {
        QByteArray geometry;
        Qt::WindowStates state;
        QList<int> splitterSizes;
        QByteArray columns;
        QList<QPointer<QWidget>> shown;
        QPointer<QWidget> focus;
        bool favouritesOnly = false;
        int dumpFilter = 0;
    };

    QPointer<DragWindow> m_window;
    QPointer<QWidget> m_viewContainer;
    // Either may go first when the Launcher ends, and a selection notice may come meanwhile.
    QPointer<LibraryController> m_library;
    QAction *m_action;
    QAction *m_leaveAction;
    QWidget *m_footer;
    QLabel *m_info;
    QLabel *m_footBar;
    QToolButton *m_leaveButton;
    bool m_active = false;
    Saved m_saved;
};
