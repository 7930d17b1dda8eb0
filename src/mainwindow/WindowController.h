#pragma once

#include "mainwindow/DragWindow.h"
#include "mainwindow/EmulatorOutputWindow.h"
#include "mainwindow/URLDropDelegate.h"
#include "platform/NibWindowController.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

class ChildProcess;

class EmptyViewController;
class LibraryController;
class EmulatorSupervisor;
class GameSession;
class ErrorWinController;
class NibViewController;
class QAction;
class QLabel;

class QUrl;
class LocalPath;
class SessionMessages;
class TvMode;
class RecentDocuments;
class ROM;
class RomOpener;
class ROMViewController;

namespace Ui {
class MainWindow;
}

/// The main window's controller: shows the empty view or the loaded ROM, takes files from
/// the open panel, drops and the application, and drives the emulator from the toolbar.
///
/// Which toolbar action is enabled is decided by validateToolbarItem() alone, applied to
/// every action after each event that can change the state.
class WindowController : public NibWindowController, public URLDropDelegate
{
    Q_OBJECT

public:
    explicit WindowController(const QString &windowNibName = QStringLiteral("MainWindow"), QObject *parent = nullptr);
    ~WindowController() override;

    /// Where opened files are noted; none by default.
    void setRecentDocuments(RecentDocuments *recentDocuments) { m_recentDocuments = recentDocuments; }

    DragWindow *dragWindow() const { return m_dragWindow; }
    QWidget *targetView() const { return m_targetView; }
    QAction *playButton() const { return m_playButton; }
    QAction *pauseButton() const { return m_pauseButton; }
    QAction *stopButton() const { return m_stopButton; }
    QAction *clearButton() const { return m_clearButton; }
    /// Shown while a stopped game has not ended yet, enabled after a few seconds of that.
    QAction *forceStopButton() const { return m_forceStopButton; }
    /// The toolbar actions, in toolbar order; the Emulation menu shares them.
    QList<QAction *> toolbarActions() const;
    /// The chooser of the Open command while it is up.
    QFileDialog *openPanel() const { return m_openPanel; }
    NibViewController *currentController() const { return m_currentController; }
    EmptyViewController *emptyVC() const { return m_emptyVC; }
    ROMViewController *romVC() const { return m_romVC; }
    ErrorWinController *errorWindowController() const { return m_errorWC; }
    EmulatorSupervisor *supervisor() const { return m_supervisor; }

    std::shared_ptr<ROM> rom() const { return m_rom; }
    ChildProcess *task() const;
    bool taskRunning() const;

    /// Whether the toolbar action \a item (Play, Pause, Stop or Eject) is enabled in the
    /// current state; any other action never is.
    bool validateToolbarItem(QAction *item) const;
    /// Applies validateToolbarItem() to the four actions.
    void validateToolbar();

    bool acceptsURL(const QUrl &url) override;
    void dropURL(const QUrl &url) override;
    /// Reads the file (or the archive's image) off the GUI thread and shows it, through
    /// opener(); returns at once, false only when there is no window. A file the reader
    /// cannot take (missing, a folder, unreadable, too short or too long) is named in the
    /// error window and changes nothing. \a done hears whether it was shown.
    bool handleURL(const QUrl &url, const std::function<void(bool shown)> &done = {});
    /// Opens every ROM source for the window, one at a time.
    RomOpener *opener() const { return m_opener; }
    /// Shows a record already read (the library's, for a file unchanged since), as
    /// handleURL() shows a file it has just read.
    void showRecord(const std::shared_ptr<ROM> &record);
    /// The ROM library panel beside the view container.
    LibraryController *library() const { return m_library; }
    /// TV mode of this window (View ▸ TV Mode, F11).
    TvMode *tvMode() const { return m_tvMode; }
    /// The Open command: a modeless chooser for one file or folder.
    void openFile(QObject *sender);

    void playPressed(QObject *sender = nullptr);
    /// How a play asked for from outside ended: the exit status and the end in words.
    using PlayAnswer = std::function<void(int exitCode, const QString &text)>;
    /// Opens \a path and plays it as Play would; \a answer hears how it ended, or at once
    /// why it could not start. An emulator already running is left alone and refuses it.
    void playFile(const LocalPath &path, const PlayAnswer &answer);
    /// Why a file could not be opened, with \a reason from the reader (or a general one).
    static QString cannotOpenText(const QString &path, const QString &reason);
    void pausePressed(QObject *sender = nullptr);
    void stopPressed(QObject *sender = nullptr);
    void forceStopPressed(QObject *sender = nullptr);
    /// Eject: drops the ROM and the emulator, shows the empty view.
    void clearPressed(QObject *sender = nullptr);
    /// Quitting: asks a running or paused emulator to end.
    void applicationWillTerminate();

    /// Shows the "Emulator Output" window, made at the first call.
    void showEmulatorOutput();
    EmulatorOutputWindow *emulatorOutputWindow() const { return m_outputWindow; }
    /// The status bar's text: what runs, or how the emulator ended, in plain words.
    QLabel *statusLabel() const { return m_statusLabel; }
    /// The message shown when Play found no emulator program to start, while it is up.
    QMessageBox *emulatorMissingMessage() const;

    /// Shows again which games have settings of their own, after a change.
    void gameSettingsChanged();

Q_SIGNALS:
    /// The player asked to choose the emulator (Preferences, Emulator pane).
    void emulatorPreferencesRequested();
    /// The player asked for the settings of \a rom's game.
    void gameSettingsRequested(const std::shared_ptr<ROM> &rom);
    /// Another ROM is shown, or none.
    void romChanged();

protected:
    QWidget *createWindow() override;
    void awakeFromNib() override;
    bool windowShouldClose(QWidget *window) override;

private:
    void initControllers();
    void initLibrary();
    void viewSwap(NibViewController *incoming);
    void orderOutMyWindow(QWidget *window);
    void connectSignals();
    void supervisionChanged();
    void showStatus(const QString &text);
    /// The ROM view's history rows for the game shown.
    void showHistory();
    void updateWindowTitle();
    /// Shows what an open of \a url read, or says why it cannot be shown.
    bool showOpened(const QUrl &url, const std::shared_ptr<ROM> &record);

    QPointer<DragWindow> m_dragWindow;
    QPointer<QWidget> m_targetView;
    QAction *m_playButton = nullptr;
    QAction *m_pauseButton = nullptr;
    QAction *m_stopButton = nullptr;
    QAction *m_clearButton = nullptr;
    QAction *m_forceStopButton = nullptr;
    NibViewController *m_currentController = nullptr;
    std::shared_ptr<ROM> m_rom;
    EmptyViewController *m_emptyVC = nullptr;
    ROMViewController *m_romVC = nullptr;
    // The game, its emulator and their state live in the session.
    GameSession *m_session = nullptr;
    EmulatorSupervisor *m_supervisor = nullptr;

    ErrorWinController *m_errorWC = nullptr;
    QPointer<QFileDialog> m_openPanel;
    RecentDocuments *m_recentDocuments = nullptr;
    LibraryController *m_library = nullptr;
    TvMode *m_tvMode = nullptr;
    std::unique_ptr<Ui::MainWindow> m_ui;
    QLabel *m_statusLabel = nullptr;
    QPointer<EmulatorOutputWindow> m_outputWindow;
    SessionMessages *m_messages = nullptr;
    RomOpener *m_opener = nullptr;
    // Who waits for the end of the running start, if anyone.
    PlayAnswer m_playAnswer;
    QString m_lastOpenProblem;
};
