#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class GameSettingsCommands;
class HelpWindow;
class MainMenu;
class PrefrenceWindowController;
class QAction;
class RecentDocuments;
class WindowController;

/// The application's delegate: runs the start sequence, receives files handed to the
/// application and carries the menu commands that no window handles.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    WindowController *myWindowController() const { return m_myWindowController; }
    PrefrenceWindowController *preferenceController() const { return m_preferenceController; }
    /// The last file handed over that was not opened yet, or empty.
    QString launchFile() const { return m_launchFile; }
    QAction *fullscreenItem() const;
    void setFullscreenItem(QAction *item);
    RecentDocuments *recentDocuments() const { return m_recentDocuments; }
    MainMenu *mainMenu() const { return m_mainMenu; }
    /// The ways to the Game Settings window, made with the main window.
    GameSettingsCommands *gameSettingsCommands() const { return m_gameSettingsCommands; }
    HelpWindow *helpWindow() const;

    /// The start sequence; the first queued call of the event loop.
    void applicationDidFinishLaunching();
    /// Registers the "Defaults" property list as the settings' fallbacks.
    void loadDefaults();
    /// Opens \a path now when the main window exists and the file can be read (true);
    /// otherwise keeps it for the end of the start sequence (false). Any name is taken.
    bool applicationOpenFile(const QString &path);
    /// Files another start of the Launcher handed over: opened at once, window in front.
    void openFilesFromAnotherInstance(const QStringList &paths);
    /// "--play FILE" of another start: played in the main window; \a answer hears the end.
    void playFileForAnotherStart(const QString &path, const std::function<void(int, const QString &)> &answer);

    void newDocument(QObject *sender = nullptr);
    void openFile(QObject *sender = nullptr);
    /// Opens an entry of the recent-documents menu.
    void openRecentDocument(const QString &path);
    void showMainWindow(QObject *sender = nullptr);
    void showPrefs(QObject *sender = nullptr);
    void showHelp(QObject *sender = nullptr);
    /// Closes the window that has the keyboard focus, as its close button would.
    void closeWindow(QObject *sender = nullptr);
    void quitApplication(QObject *sender = nullptr);
    void fullscreenPressed(QObject *sender = nullptr);
    /// Forwarded by the application just before the event loop ends.
    void applicationWillTerminate();

private:
    WindowController *m_myWindowController = nullptr;
    PrefrenceWindowController *m_preferenceController = nullptr;
    QString m_launchFile;
    QPointer<QAction> m_fullscreenItem;

    RecentDocuments *m_recentDocuments = nullptr;
    MainMenu *m_mainMenu = nullptr;
    GameSettingsCommands *m_gameSettingsCommands = nullptr;
    QPointer<HelpWindow> m_helpWindow;
};
