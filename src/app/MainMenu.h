#pragma once

#include <QObject>

class AppDelegate;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class WindowController;

/// The Launcher's menus: File, Edit, Emulation, Window and Help, in the main window's
/// menu bar. Emulation shares the toolbar's actions, so both are enabled alike.
class MainMenu : public QObject
{
    Q_OBJECT

public:
    explicit MainMenu(AppDelegate *delegate, QObject *parent = nullptr);
    ~MainMenu() override;

    /// Builds the menu bar of the main window of \a controller.
    void install(WindowController *controller);
    /// Lets another window take the application-wide shortcuts (Close, Quit, Preferences,
    /// back to the main window).
    void addApplicationShortcuts(QWidget *window);

    QMenuBar *menuBar() const;
    QMenu *fileMenu() const { return m_fileMenu; }
    QMenu *recentMenu() const { return m_recentMenu; }
    QMenu *editMenu() const { return m_editMenu; }
    QMenu *emulationMenu() const { return m_emulationMenu; }
    QMenu *windowMenu() const { return m_windowMenu; }
    QMenu *helpMenu() const { return m_helpMenu; }
    QAction *openAction() const { return m_openAction; }
    QAction *closeAction() const { return m_closeAction; }
    QAction *quitAction() const { return m_quitAction; }
    QAction *preferencesAction() const { return m_preferencesAction; }
    QAction *helpAction() const { return m_helpAction; }
    /// Shows the main window again; Ctrl+0 in every window of the Launcher.
    QAction *mainWindowAction() const { return m_mainWindowAction; }
    QAction *emulatorOutputAction() const { return m_emulatorOutputAction; }

    /// Refills "Open Recent" from the recent-documents list (newest first).
    void rebuildRecentMenu();
    /// Refills "Window" with the Launcher's windows that exist.
    void rebuildWindowMenu();

private:
    QMenu *addMenu(QMenuBar *bar, const QString &title);
    QAction *makeAction(const QString &text, const QKeySequence &shortcut);

    AppDelegate *m_delegate;
    WindowController *m_controller = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    QMenu *m_editMenu = nullptr;
    QMenu *m_viewMenu = nullptr;
    QMenu *m_emulationMenu = nullptr;
    QMenu *m_windowMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QAction *m_openAction = nullptr;
    QAction *m_closeAction = nullptr;
    QAction *m_quitAction = nullptr;
    QAction *m_preferencesAction = nullptr;
    QAction *m_helpAction = nullptr;
    QAction *m_mainWindowAction = nullptr;
    QAction *m_emulatorOutputAction = nullptr;
};
