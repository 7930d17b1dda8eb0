#include "support/TestWorld.h"

#include "app/AppDelegate.h"
#include "app/HelpWindow.h"
#include "app/MainMenu.h"
#include "mainwindow/DragWindow.h"
#include "mainwindow/ErrorWinController.h"
#include "mainwindow/ROMViewController.h"
#include "mainwindow/WindowController.h"
#include "platform/RecentDocuments.h"
#include "platform/UserDefaults.h"
#include "prefs/PrefrenceWindowController.h"
#include "rom/ROM.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

namespace {

QString shownPath(const AppDelegate &delegate)
{
    const WindowController *controller = delegate.myWindowController();
    return controller && controller->rom() ? controller->rom()->filePath().value_or(QUrl()).toLocalFile() : QString();
}

QStringList itemTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions()) {
        if (!action->isSeparator())
            texts.append(action->text());
    }
    return texts;
}

QAction *itemNamed(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

TEST(AppDelegateTest, FilesHandedOverDuringLaunchOpenOnlyTheLastAndLaterOnesOpenAtOnce)
{
    TestWorld world;
    AppDelegate delegate;
    const QString first = world.writeRom(QStringLiteral("first.z64"), "FIRST");
    const QString last = world.writeRom(QStringLiteral("last.v64"), "LAST");
    EXPECT_FALSE(delegate.applicationOpenFile(first));
    EXPECT_FALSE(delegate.applicationOpenFile(last));
    EXPECT_EQ(delegate.myWindowController(), nullptr);

    delegate.applicationDidFinishLaunching();
    WindowController *controller = delegate.myWindowController();
    ASSERT_NE(controller, nullptr);
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_EQ(shownPath(delegate), last);
    EXPECT_EQ(controller->romVC()->nameField()->text(), QStringLiteral("LAST"));
    // The fallbacks of "Defaults" are registered by the start sequence.
    EXPECT_TRUE(UserDefaults::standardUserDefaults().arrayForKey(QStringLiteral("Mapping")).has_value());

    // After launch, any name goes straight to the window: no extension check on this road.
    const QString odd = world.writeRom(QStringLiteral("no extension"), "ODD");
    EXPECT_TRUE(delegate.applicationOpenFile(odd));
    EXPECT_EQ(shownPath(delegate), odd);

    delegate.newDocument(nullptr);
    delegate.newDocument(nullptr);
    EXPECT_EQ(delegate.myWindowController(), controller) << "one main window controller";

    // Recent documents: newest first, capped, cleared by "Clear Menu".
    QMenu *recentMenu = delegate.mainMenu()->recentMenu();
    EXPECT_EQ(itemTexts(recentMenu), (QStringList{QStringLiteral("no extension"), QStringLiteral("last.v64"), QStringLiteral("Clear Menu")}));
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(delegate.applicationOpenFile(world.writeRom(QStringLiteral("r%1.z64").arg(i))));
    const QStringList stored = RecentDocuments(&UserDefaults::standardUserDefaults()).recentDocumentPaths();
    EXPECT_EQ(stored.size(), 10);
    EXPECT_EQ(stored.first(), world.path(QStringLiteral("r11.z64")));
    itemNamed(recentMenu, QStringLiteral("r5.z64"))->trigger();
    EXPECT_EQ(shownPath(delegate), world.path(QStringLiteral("r5.z64")));
    itemNamed(recentMenu, QStringLiteral("Clear Menu"))->trigger();
    EXPECT_EQ(itemTexts(recentMenu), QStringList{QStringLiteral("Clear Menu")});
    EXPECT_FALSE(TestWorld::setting("RecentDocuments").isValid());

    // A file that cannot be read after launch is kept for nothing but refused.
    EXPECT_FALSE(delegate.applicationOpenFile(world.path(QStringLiteral("gone.z64"))));
    EXPECT_EQ(shownPath(delegate), world.path(QStringLiteral("r5.z64")));
    controller->errorWindowController()->okPressed();
}

TEST(AppDelegateTest, MenusShareTheToolbarActionsAndNameEveryItem)
{
    TestWorld world;
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    MainMenu *menu = delegate.mainMenu();
    QMenuBar *bar = menu->menuBar();
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction *action : bar->actions()) {
        titles.append(action->text().remove(QLatin1Char('&')));
        ASSERT_NE(action->menu(), nullptr);
        EXPECT_FALSE(action->menu()->accessibleName().isEmpty());
        for (QAction *item : action->menu()->actions())
            EXPECT_TRUE(item->isSeparator() || !item->text().isEmpty());
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("File"), QStringLiteral("Edit"), QStringLiteral("Emulation"), QStringLiteral("Window"), QStringLiteral("Help")}));
    EXPECT_EQ(menu->emulationMenu()->actions(), delegate.myWindowController()->toolbarActions());
    EXPECT_EQ(menu->openAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(menu->closeAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
    EXPECT_EQ(menu->quitAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_EQ(menu->preferencesAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+,")));

    // Preferences: made once, shown each time, listed in the Window menu.
    menu->preferencesAction()->trigger();
    PrefrenceWindowController *prefs = delegate.preferenceController();
    ASSERT_NE(prefs, nullptr);
    EXPECT_TRUE(prefs->window()->isVisible());
    menu->preferencesAction()->trigger();
    EXPECT_EQ(delegate.preferenceController(), prefs);
    menu->rebuildWindowMenu();
    EXPECT_EQ(itemTexts(menu->windowMenu()), (QStringList{QStringLiteral("Tolvane Launcher"), QStringLiteral("Preferences"), QStringLiteral("Emulator Output")}));

    // Help shows the bundled guide.
    menu->helpAction()->trigger();
    ASSERT_NE(delegate.helpWindow(), nullptr);
    EXPECT_TRUE(delegate.helpWindow()->isVisible());
    EXPECT_TRUE(delegate.helpWindow()->browser()->toPlainText().contains(QStringLiteral("Eject")));
    prefs->window()->hide();
    delegate.helpWindow()->hide();
}

TEST(AppDelegateTest, ClosedMainWindowComesBackFromTheWindowMenuWithTheSameState)
{
    TestWorld world;
    AppDelegate delegate;
    const QString rom = world.writeRom(QStringLiteral("kept.z64"));
    delegate.applicationOpenFile(rom);
    delegate.applicationDidFinishLaunching();
    WindowController *controller = delegate.myWindowController();
    QWidget *window = controller->window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, kTimeoutMs));
    ASSERT_EQ(QApplication::activeWindow(), window);

    delegate.closeWindow(nullptr);
    ASSERT_TRUE(QTest::qWaitFor([window]() { return !window->isVisible(); }, kTimeoutMs));
    EXPECT_EQ(delegate.myWindowController(), controller);

    QMenu *windowMenu = delegate.mainMenu()->windowMenu();
    delegate.mainMenu()->rebuildWindowMenu();
    QAction *item = itemNamed(windowMenu, QStringLiteral("Tolvane Launcher"));
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(shownPath(delegate), rom);
    EXPECT_TRUE(controller->playButton()->isEnabled());
    EXPECT_TRUE(controller->clearButton()->isEnabled());

    // Ctrl+W on the shown window, as the player would close it again.
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, kTimeoutMs));
    QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([window]() { return !window->isVisible(); }, kTimeoutMs));
    delegate.showMainWindow(nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(shownPath(delegate), rom);
}

TEST(AppDelegateTest, QuittingEndsARunningOrPausedEmulator)
{
    for (const bool paused : {false, true}) {
        SCOPED_TRACE(paused ? "paused" : "running");
        TestWorld world;
        world.useStandInAsCustomBuild();
        AppDelegate delegate;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
        delegate.applicationOpenFile(world.writeRom(QStringLiteral("quit.z64")));
        delegate.applicationDidFinishLaunching();
        WindowController *controller = delegate.myWindowController();
        controller->playButton()->trigger();
        ASSERT_TRUE(world.waitForRecord());
        const pid_t pid = world.recordedPids().at(0);
        if (paused) {
            controller->pauseButton()->trigger();
            ASSERT_TRUE(waitForStopped(pid));
        }
        // Quit ends the event loop (a close-refusing window must not veto it).
        QTimer::singleShot(0, &delegate, [&delegate]() { delegate.quitApplication(nullptr); });
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_TRUE(waitUntilEnded(pid));
    }
}

} // namespace
