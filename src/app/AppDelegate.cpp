#include "app/AppDelegate.h"

#include "app/GameSettingsCommands.h"
#include "app/HelpWindow.h"
#include "app/MainMenu.h"
#include "app/SettingsNotice.h"
#include "input/PadNavigator.h"
#include "launch/EmulatorSupervisor.h"
#include "launch/GameSession.h"
#include "mainwindow/DragWindow.h"
#include "mainwindow/TvMode.h"
#include "mainwindow/WindowController.h"
#include "platform/Bundle.h"
#include "platform/RecentDocuments.h"
#include "platform/SettingsFileWatcher.h"
#include "platform/UserDefaults.h"
#include "library/GameLibrary.h"
#include "library/LibraryController.h"
#include "library/LibraryPanel.h"
#include "prefs/LibraryPreferencesViewController.h"
#include "prefs/PrefrenceWindowController.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QUrl>
#include <QWindow>
#include <QWidget>

const QByteArray AppDelegate::tvModeHandOver = QByteArrayLiteral("--tv");

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent)
    , m_recentDocuments(new RecentDocuments(nullptr, this))
    , m_mainMenu(new MainMenu(this, this))
{
}

AppDelegate::~AppDelegate()
{
    delete m_helpWindow.data();
}

HelpWindow *AppDelegate::helpWindow() const
{
    return m_helpWindow;
}

void AppDelegate::applicationDidFinishLaunching()
{
    // The help window reads the bundled guide when it is first asked for; nothing to register.
    loadDefaults();
    newDocument(this);
    // Hand edits of the settings file are taken in while we run; problems with it are told.
    UserDefaults *defaults = &UserDefaults::standardUserDefaults();
    new SettingsFileWatcher(defaults, this);
    new SettingsNotice(defaults, m_myWindowController->window(), this);
    if (m_startInTvMode || defaults->valueForKey(TvMode::settingsKey).toBool())
        m_myWindowController->tvMode()->setActive(true);
    if (!m_launchFile.isEmpty())
        applicationOpenURL(m_launchFile);
}

void AppDelegate::loadDefaults()
{
    const QString path = Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist"));
    if (const auto defaults = Bundle::dictionaryWithContentsOfFile(path))
        UserDefaults::standardUserDefaults().registerDefaults(*defaults);
}

bool AppDelegate::applicationOpenFile(const QString &path)
{
    // Open Recent keeps an archive's entry as a file URL with a fragment.
    return applicationOpenURL(path.startsWith(QLatin1String("file:")) ? QUrl(path)
                                                                      : QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool AppDelegate::applicationOpenFile(const LocalPath &path)
{
    return applicationOpenURL(path.absolute().toUrl());
}

bool AppDelegate::applicationOpenURL(const QUrl &url)
{
    if (m_myWindowController && m_myWindowController->handleURL(url))
        return true;
    m_launchFile = url;
    return false;
}

void AppDelegate::openFilesFromAnotherInstance(const LocalPaths &paths)
{
    if (!m_myWindowController)
        newDocument(this);
    // The window first: an error window for a file that cannot be read must come out on top.
    showMainWindow(this);
    for (const LocalPath &path : paths) {
        // A start with --tv hands the option over among its (absolute) paths.
        if (path.bytes() == tvModeHandOver)
            m_myWindowController->tvMode()->setActive(true);
        else
            applicationOpenFile(path);
    }
}

void AppDelegate::playFileForAnotherStart(const LocalPath &path,
                                          const std::function<void(int, const QString &)> &answer,
                                          const QList<QByteArray> &environment,
                                          const std::shared_ptr<CallerOutput> &output)
{
    newDocument(this);
    EmulatorSupervisor *supervisor = m_myWindowController->supervisor();
    supervisor->setEnvironmentForNextStart(environment);
    supervisor->setOutputForNextStart(output);
    // Taken by the start; a request that started nothing must not leave them to the window's Play.
    m_myWindowController->playFile(path, [supervisor, answer](int exitCode, const QString &text) {
        supervisor->setEnvironmentForNextStart(std::nullopt);
        supervisor->setOutputForNextStart(nullptr);
        answer(exitCode, text);
    });
}

void AppDelegate::newDocument(QObject *sender)
{
    Q_UNUSED(sender);
    if (!m_myWindowController) {
        m_myWindowController = new WindowController(QStringLiteral("MainWindow"), this);
        m_myWindowController->setRecentDocuments(m_recentDocuments);
        connect(m_myWindowController, &WindowController::emulatorPreferencesRequested, this, [this] {
            showPrefs(this);
            // The pane's own toolbar item, so the toolbar shows which pane is up.
            if (QAction *item = m_preferenceController->emulatorToolbarButton())
                item->trigger();
            else
                m_preferenceController->emulatorPressed();
        });
        m_mainMenu->install(m_myWindowController);
        // The empty grid's way to covers: the covers folder field of the Library pane.
        connect(m_myWindowController->library(), &LibraryController::coversFolderRequested, this, [this] {
            showPrefs(this);
            m_preferenceController->libraryToolbarButton()->trigger();
            m_preferenceController->libraryVC()->coversFolderField()->setFocus(Qt::OtherFocusReason);
        });
        m_gameSettingsCommands = new GameSettingsCommands(m_myWindowController, m_mainMenu, this);
        startPadNavigator();
    }
    m_myWindowController->showWindow(this);
}

void AppDelegate::startPadNavigator()
{
    auto *session = m_myWindowController->findChild<GameSession *>(QString(), Qt::FindDirectChildrenOnly);
    if (!session)
        return;
    m_padNavigator = new PadNavigator(this);
    m_padNavigator->setGameRunning([session] { return session->isRunning(); });
    connect(m_padNavigator, &PadNavigator::stopRequested, this, &AppDelegate::stopGameFromPad);
    connect(session, &GameSession::stateChanged, this, [this, session] {
        if (m_bringBackWhenEnded && !session->isRunning()) {
            m_bringBackWhenEnded = false;
            bringBackMainWindow();
        }
    });
}

void AppDelegate::stopGameFromPad()
{
    m_myWindowController->stopPressed(this);
    m_bringBackWhenEnded = true;
    bringBackMainWindow();
}

void AppDelegate::bringBackMainWindow()
{
    QWidget *window = m_myWindowController->window();
    if (!window)
        return;
    // Un-minimized, but left full screen or maximized as it was.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    // The game played is still the library's current one.
    if (LibraryController *library = m_myWindowController->library(); library && library->panel()->isVisible())
        library->panel()->currentView()->setFocus(Qt::OtherFocusReason);
}

void AppDelegate::openFile(QObject *sender)
{
    if (!m_myWindowController)
        return;
    m_myWindowController->openFile(sender);
    if (QWidget *panel = m_myWindowController->openPanel())
        m_mainMenu->addApplicationShortcuts(panel);
}

void AppDelegate::openRecentDocument(const QString &path)
{
    newDocument(this);
    applicationOpenFile(path);
}

void AppDelegate::showMainWindow(QObject *sender)
{
    Q_UNUSED(sender);
    if (m_myWindowController)
        m_myWindowController->showWindow(m_myWindowController->window());
}

void AppDelegate::showPrefs(QObject *sender)
{
    Q_UNUSED(sender);
    if (!m_preferenceController) {
        m_preferenceController = new PrefrenceWindowController(this);
        if (QWidget *window = m_preferenceController->window())
            m_mainMenu->addApplicationShortcuts(window);
        // The pane names each DAT file as the library read it.
        LibraryPreferencesViewController *pane = m_preferenceController->libraryVC();
        if (LibraryController *library = m_myWindowController ? m_myWindowController->library() : nullptr; library && pane) {
            GameLibrary *games = library->gameLibrary();
            pane->setDatSummaries(games->datSummaries());
            connect(games, &GameLibrary::datsChanged, pane, [pane, games]() { pane->setDatSummaries(games->datSummaries()); });
        }
    }
    m_preferenceController->showWindow(this);
}

void AppDelegate::showHelp(QObject *sender)
{
    Q_UNUSED(sender);
    if (!m_helpWindow) {
        m_helpWindow = new HelpWindow(Bundle::mainBundle().resourcePath() + QStringLiteral("/help"));
        m_mainMenu->addApplicationShortcuts(m_helpWindow);
    }
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

void AppDelegate::closeWindow(QObject *sender)
{
    Q_UNUSED(sender);
    QWidget *window = QApplication::activeWindow();
    // The widget side can lag behind the window system's focus right after a window is
    // shown again; the focused native window names the same top-level widget.
    if (!window) {
        if (const QWindow *focused = QGuiApplication::focusWindow()) {
            for (QWidget *candidate : QApplication::topLevelWidgets()) {
                if (candidate->windowHandle() == focused && candidate->isVisible())
                    window = candidate;
            }
        }
    }
    if (window)
        window->close();
}

void AppDelegate::quitApplication(QObject *sender)
{
    Q_UNUSED(sender);
    // exit() rather than quit(): the main window refuses to close, which would veto quit().
    QCoreApplication::exit(0);
}

void AppDelegate::fullscreenPressed(QObject *sender)
{
    // The "Fullscreen" setting read at Play is what counts.
    Q_UNUSED(sender);
}

void AppDelegate::applicationWillTerminate()
{
    if (m_myWindowController)
        m_myWindowController->applicationWillTerminate();
}
