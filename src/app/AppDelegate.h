#pragma once

#include "platform/LocalPath.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class CallerOutput;
class GameSettingsCommands;
class HelpWindow;
class MainMenu;
class PadNavigator;
class PrefrenceWindowController;
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
    RecentDocuments *recentDocuments() const { return m_recentDocuments; }
    MainMenu *mainMenu() const { return m_mainMenu; }
    /// The ways to the Game Settings window, made with the main window.
    GameSettingsCommands *gameSettingsCommands() const { return m_gameSettingsCommands; }
    HelpWindow *helpWindow() const;
    /// The pads in the Launcher's windows, and their stop combination while a game runs.
    PadNavigator *padNavigator() const { return m_padNavigator; }

    /// `--tv`: the start sequence ends with the main window in TV mode. It does too when
    /// the Launcher was left in TV mode.
    void setStartInTvMode(bool on) { m_startInTvMode = on; }

    /// The start sequence; the first queued call of the event loop.
    void applicationDidFinishLaunching();
    /// Registers the "Defaults" property list as the settings' fallbacks.
    void loadDefaults();
    /// Opens \a path now when the main window exists and the file can be read (true);
    /// otherwise keeps it for the end of the start sequence (false). Any name is taken; a
    /// file URL too (Open Recent keeps archive entries and names that are not UTF-8 so).
    bool applicationOpenFile(const QString &path);
    /// The same for a file's path as bytes (a name on the command line).
    bool applicationOpenFile(const LocalPath &path);
    /// What a start with --tv hands over among its files: never a path, which is absolute.
    static const QByteArray tvModeHandOver;
    /// Files another start of the Launcher handed over: opened at once, window in front;
    /// tvModeHandOver among them puts the window in TV mode.
    void openFilesFromAnotherInstance(const LocalPaths &paths);
    /// "--play FILE" of another start: played in the main window, the emulator with that
    /// start's \a environment, its output passed on to that start's \a output (when given)
    /// rather than ours; \a answer hears the end.
    void playFileForAnotherStart(const LocalPath &path, const std::function<void(int, const QString &)> &answer,
                                 const QList<QByteArray> &environment = {},
                                 const std::shared_ptr<CallerOutput> &output = nullptr);

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
    bool applicationOpenURL(const QUrl &url);
    void startPadNavigator();
    /// The pad's stop combination: Stop, and the main window back in front with the game
    /// played in focus, now and once more when the emulator's window has gone.
    void stopGameFromPad();
    void bringBackMainWindow();

    WindowController *m_myWindowController = nullptr;
    PrefrenceWindowController *m_preferenceController = nullptr;
    QUrl m_launchFile;
    bool m_startInTvMode = false;

    RecentDocuments *m_recentDocuments = nullptr;
    MainMenu *m_mainMenu = nullptr;
    GameSettingsCommands *m_gameSettingsCommands = nullptr;
    QPointer<HelpWindow> m_helpWindow;
    PadNavigator *m_padNavigator = nullptr;
    bool m_bringBackWhenEnded = false;
};
