#include "app/MainMenu.h"

#include "app/AppDelegate.h"
#include "app/HelpWindow.h"
#include "library/LibraryController.h"
#include "library/LibraryPanel.h"
#include "mainwindow/DragWindow.h"
#include "mainwindow/TvMode.h"
#include "mainwindow/WindowController.h"
#include "platform/RecentDocuments.h"
#include "prefs/PrefrenceWindowController.h"
#include "rom/RomArchive.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QApplication>

MainMenu::MainMenu(AppDelegate *delegate, QObject *parent)
    : QObject(parent)
    , m_delegate(delegate)
{
    m_openAction = makeAction(tr("Open…"), QKeySequence::Open);
    m_closeAction = makeAction(tr("Close Window"), QKeySequence(Qt::CTRL | Qt::Key_W));
    m_quitAction = makeAction(tr("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    m_quitAction->setMenuRole(QAction::QuitRole);
    m_preferencesAction = makeAction(tr("Preferences…"), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_preferencesAction->setMenuRole(QAction::PreferencesRole);
    m_helpAction = makeAction(tr("Tolvane Launcher Help"), QKeySequence::HelpContents);
    // The way back to the main window from every window, also from one without a menu bar.
    m_mainWindowAction = makeAction(tr("Tolvane Launcher"), QKeySequence(Qt::CTRL | Qt::Key_0));
    m_mainWindowAction->setCheckable(true);
    m_emulatorOutputAction = makeAction(tr("Emulator Output"), QKeySequence(Qt::CTRL | Qt::Key_L));

    connect(m_openAction, &QAction::triggered, this, [this]() { m_delegate->openFile(m_openAction); });
    connect(m_closeAction, &QAction::triggered, this, [this]() { m_delegate->closeWindow(m_closeAction); });
    connect(m_quitAction, &QAction::triggered, this, [this]() { m_delegate->quitApplication(m_quitAction); });
    connect(m_preferencesAction, &QAction::triggered, this, [this]() { m_delegate->showPrefs(m_preferencesAction); });
    connect(m_helpAction, &QAction::triggered, this, [this]() { m_delegate->showHelp(m_helpAction); });
    connect(m_mainWindowAction, &QAction::triggered, this, [this]() { m_delegate->showMainWindow(m_mainWindowAction); });
    connect(m_emulatorOutputAction, &QAction::triggered, this, [this]() {
        if (m_controller)
            m_controller->showEmulatorOutput();
    });
}

MainMenu::~MainMenu() = default;

QAction *MainMenu::makeAction(const QString &text, const QKeySequence &shortcut)
{
    auto *action = new QAction(text, this);
    action->setShortcut(shortcut);
    return action;
}

QMenu *MainMenu::addMenu(QMenuBar *bar, const QString &title)
{
    QMenu *menu = bar->addMenu(title);
    menu->setAccessibleName(QString(title).remove(QLatin1Char('&')));
    return menu;
}

QMenuBar *MainMenu::menuBar() const
{
    return m_controller && m_controller->dragWindow() ? m_controller->dragWindow()->menuBar() : nullptr;
}

void MainMenu::install(WindowController *controller)
{
    m_controller = controller;
    DragWindow *window = qobject_cast<DragWindow *>(controller->window());
    if (!window)
        return;
    QMenuBar *bar = window->menuBar();
    bar->setAccessibleName(tr("Menu bar"));
    // The Window menu names the main window by its title, which carries the open file; its
    // accessible name follows the title by itself.
    const auto followTitle = [this](const QString &title) {
        m_mainWindowAction->setText(QString(title).replace(QLatin1Char('&'), QLatin1String("&&")));
    };
    connect(window, &QWidget::windowTitleChanged, this, followTitle);
    followTitle(window->windowTitle());

    m_fileMenu = addMenu(bar, tr("&File"));
    m_fileMenu->addAction(m_openAction);
    m_recentMenu = m_fileMenu->addMenu(tr("Open Recent"));
    m_recentMenu->setAccessibleName(tr("Open Recent"));
    if (LibraryController *library = controller->library()) {
        m_fileMenu->addAction(library->addFolderAction());
        m_fileMenu->addAction(library->rescanAction());
    }
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_closeAction);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_quitAction);

    m_editMenu = addMenu(bar, tr("&Edit"));
    m_editMenu->addAction(m_preferencesAction);

    if (LibraryController *library = controller->library()) {
        m_viewMenu = addMenu(bar, tr("&View"));
        m_viewMenu->addAction(library->panel()->showGridAction());
        m_viewMenu->addAction(library->panel()->showListAction());
        m_viewMenu->addSeparator();
        m_viewMenu->addAction(library->panel()->largerCoversAction());
        m_viewMenu->addAction(library->panel()->smallerCoversAction());
        m_viewMenu->addSeparator();
        m_viewMenu->addAction(library->favouriteAction());
        m_viewMenu->addSeparator();
        m_viewMenu->addAction(controller->tvMode()->action());
    }

    m_emulationMenu = addMenu(bar, tr("E&mulation"));
    m_emulationMenu->addActions(controller->toolbarActions());

    m_windowMenu = addMenu(bar, tr("&Window"));
    m_helpMenu = addMenu(bar, tr("&Help"));
    m_helpMenu->addAction(m_helpAction);

    connect(m_recentMenu, &QMenu::aboutToShow, this, &MainMenu::rebuildRecentMenu);
    connect(m_delegate->recentDocuments(), &RecentDocuments::recentDocumentsChanged, this, &MainMenu::rebuildRecentMenu);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainMenu::rebuildWindowMenu);
    rebuildRecentMenu();
    rebuildWindowMenu();
    // The menu is rebuilt when it opens; the shortcut must work while it is closed. In TV
    // mode the menu bar is hidden: Quit, Close and the rest must work without it.
    addApplicationShortcuts(window);
}

void MainMenu::addApplicationShortcuts(QWidget *window)
{
    window->addActions({m_closeAction, m_quitAction, m_preferencesAction, m_mainWindowAction, m_emulatorOutputAction});
}

void MainMenu::rebuildRecentMenu()
{
    if (!m_recentMenu)
        return;
    m_recentMenu->clear();
    const QStringList paths = m_delegate->recentDocuments()->recentDocumentPaths();
    for (const QString &path : paths) {
        // A file name may contain '&'; doubled it is not taken for a mnemonic.
        // An archive's entry is kept as a URL whose fragment is "INDEX:NAME".
        const QUrl url = path.startsWith(QLatin1String("file:")) ? QUrl(path) : QUrl::fromLocalFile(path);
        QString name = QFileInfo(url.toLocalFile()).fileName();
        QString full = QDir::toNativeSeparators(url.toLocalFile());
        if (url.hasFragment()) {
            const QString entry = url.fragment(QUrl::FullyDecoded).section(QLatin1Char(':'), 1);
            name = RomArchive::entryDisplayName(name, entry);
            full = RomArchive::entryDisplayName(full, entry);
        }
        QAction *item = m_recentMenu->addAction(QString(name).replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setToolTip(full);
        item->setStatusTip(full);
        connect(item, &QAction::triggered, this, [this, path]() { m_delegate->openRecentDocument(path); });
    }
    m_recentMenu->addSeparator();
    QAction *clear = m_recentMenu->addAction(tr("Clear Menu"));
    clear->setEnabled(!paths.isEmpty());
    connect(clear, &QAction::triggered, m_delegate->recentDocuments(), &RecentDocuments::clearRecentDocuments);
}

void MainMenu::rebuildWindowMenu()
{
    if (!m_windowMenu)
        return;
    m_windowMenu->clear();
    QWidget *active = QApplication::activeWindow();
    auto addWindow = [this, active](QWidget *window, const QString &title, auto show) {
        QAction *item = m_windowMenu->addAction(title);
        item->setCheckable(true);
        item->setChecked(window && window == active);
        connect(item, &QAction::triggered, this, show);
    };
    if (m_controller) {
        m_windowMenu->addAction(m_mainWindowAction);
        m_mainWindowAction->setChecked(m_controller->window() == active);
    }
    if (PrefrenceWindowController *prefs = m_delegate->preferenceController())
        addWindow(prefs->window(), tr("Preferences"), [this]() { m_delegate->showPrefs(m_delegate); });
    if (HelpWindow *help = m_delegate->helpWindow())
        addWindow(help, tr("Tolvane Launcher Help"), [this]() { m_delegate->showHelp(m_delegate); });
    // Always there, made when first chosen: what the emulator said in its latest run.
    m_windowMenu->addSeparator();
    m_windowMenu->addAction(m_emulatorOutputAction);
    if (LibraryController *library = m_controller ? m_controller->library() : nullptr) {
        m_windowMenu->addSeparator();
        m_windowMenu->addAction(library->toggleAction());
        m_windowMenu->addAction(library->findAction());
    }
}
