#include "support/StartedLauncher.h"
#include "support/ScratchMount.h"

#include "app/GameSettingsCommands.h"
#include "app/HelpWindow.h"
#include "app/MainMenu.h"
#include "app/SettingsNotice.h"
#include "mainwindow/ErrorWinController.h"
#include "mainwindow/RomOpener.h"
#include "platform/RecentDocuments.h"
#include "platform/SingleInstance.h"
#include "platform/UserDefaults.h"
#include "prefs/PrefrenceWindowController.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

class AppDelegateTest : public testing::Test, public StartedLauncher
{
};

TEST_F(AppDelegateTest, FilesHandedOverDuringLaunchOpenOnlyTheLastLaterOnesAtOnceAndTheRecentMenuFollows)
{
    const QString last = world.writeRom(QStringLiteral("last.v64"));
    ASSERT_TRUE(start({world.writeRom(QStringLiteral("first.z64")), last}));
    WindowController *main = &controller();
    EXPECT_TRUE(waitUntilShown(last));
    // After launch, any name goes straight to the window.
    const QString odd = world.writeRom(QStringLiteral("no extension"));
    EXPECT_TRUE(delegate->applicationOpenFile(odd));
    EXPECT_TRUE(waitUntilShown(odd));
    delegate->newDocument(nullptr);
    EXPECT_EQ(delegate->myWindowController(), main) << "one main window controller";
    // A file handed over by a second start that cannot be read: its error window comes out on top.
    delegate->openFilesFromAnotherInstance({LocalPath::fromText(world.path(QStringLiteral("missing.z64")))});
    QWidget *errorWindow = main->errorWindowController()->window();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == errorWindow; }, 2000));
    main->errorWindowController()->okPressed();

    // Newest first, ten at most, cleared by "Clear Menu".
    for (int i = 0; i < 11; ++i) {
        const QString path = world.writeRom(QStringLiteral("r%1.z64").arg(i));
        ASSERT_TRUE(delegate->applicationOpenFile(path) && waitUntilShown(path));
    }
    const QStringList stored = RecentDocuments(&UserDefaults::standardUserDefaults()).recentDocumentPaths();
    EXPECT_EQ(stored.size(), 10);
    EXPECT_EQ(stored.first(), world.path(QStringLiteral("r10.z64")));
    // A name that is not UTF-8 opens by its bytes, is kept as a percent-encoded URL and opens again.
    const QByteArray cafe = QFile::encodeName(world.path(QStringLiteral("caf"))) + "\xe9.z64";
    ASSERT_EQ(::rename(QFile::encodeName(world.writeRom(QStringLiteral("cafe"))).constData(), cafe.constData()), 0);
    ASSERT_TRUE(delegate->applicationOpenFile(LocalPath(cafe)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownPath().endsWith(QStringLiteral("caf\ufffd.z64")); }, kTimeoutMs));
    // The library's Game Settings… takes the row's name, reading nothing (a file gone stays
    // unread), and with no name, the file's by the same bytes.
    GameSettingsCommands *settings = delegate->gameSettingsCommands();
    settings->showForFile(QString(32, QLatin1Char('1')), QStringLiteral(" ROW NAME "), QUrl::fromLocalFile(world.path(QStringLiteral("gone.z64"))));
    EXPECT_EQ(settings->windowController()->window()->windowTitle(), QStringLiteral("Game Settings — ROW NAME"));
    settings->showForFile(QString(32, QLatin1Char('0')), QString(), LocalPath(cafe).toUrl());
    EXPECT_EQ(settings->windowController()->window()->windowTitle(), QStringLiteral("Game Settings — caf\ufffd.z64"));
    const QString kept = RecentDocuments(&UserDefaults::standardUserDefaults()).recentDocumentPaths().first();
    EXPECT_TRUE(kept.startsWith(QLatin1String("file:///")) && kept.endsWith(QLatin1String("/caf%E9.z64"))) << kept.toStdString();
    QMenu *recentMenu = delegate->mainMenu()->recentMenu();
    itemNamed(recentMenu, QStringLiteral("r5.z64"))->trigger();
    EXPECT_TRUE(waitUntilShown(world.path(QStringLiteral("r5.z64"))));
    itemNamed(recentMenu, QStringLiteral("caf\ufffd.z64"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->opener()->isBusy(); }, kTimeoutMs));
    EXPECT_EQ(LocalPath::fromUrl(*main->rom()->filePath()).bytes(), cafe);
    itemNamed(recentMenu, QStringLiteral("Clear Menu"))->trigger();
    EXPECT_EQ(itemNamed(recentMenu, QStringLiteral("r5.z64")), nullptr);
    EXPECT_FALSE(UserDefaults::standardUserDefaults().valueForKey(QStringLiteral("RecentDocuments")).isValid());
}

// The Open chooser must not block the main window (Pause, Stop, Eject). Qt's main window offered
// to hide its toolbar on a right-click, with no way back; the taller Controllers pane grew
// Preferences off the bottom of the screen. Every other window brings the main one back.
TEST_F(AppDelegateTest, MenusShareTheToolbarActionsWindowsFitAndEveryWindowBringsTheMainOneBack)
{
    const QString rom = world.writeRom(QStringLiteral("kept.z64"));
    ASSERT_TRUE(start({rom}) && waitUntilShown(rom));
    MainMenu *menu = delegate->mainMenu();
    const QList<QAction *> emulation = menu->emulationMenu()->actions();
    EXPECT_EQ(emulation.mid(0, controller().toolbarActions().size()), controller().toolbarActions());
    EXPECT_EQ(emulation.last(), delegate->gameSettingsCommands()->action());
    delegate->openFile(nullptr);
    QWidget *chooser = controller().openPanel();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    delegate->openFile(nullptr);
    EXPECT_EQ(controller().openPanel(), chooser);
    chooser->close();

    delegate->showPrefs(nullptr);
    PrefrenceWindowController &prefs = *delegate->preferenceController();
    QWidget *main = controller().window();
    for (QWidget *window : {main, prefs.window()}) {
        auto *toolbar = window->findChild<QToolBar *>();
        QWidget *offered = nullptr;
        QTimer::singleShot(0, [&] { offered = QApplication::activePopupWidget(); offered && offered->close(); });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), toolbar->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(toolbar, &event);
        QTest::qWait(20);
        EXPECT_EQ(offered, nullptr) << qPrintable(window->windowTitle());
    }
    QWidget *w = prefs.window();
    const QRect area = w->screen()->availableGeometry();
    w->move(area.left() + 100, area.bottom() - 200);
    prefs.controllerToolbarButton()->trigger();
    // Up just enough, and not sideways.
    EXPECT_EQ(w->frameGeometry().topLeft(), QPoint(area.left() + 100, area.bottom() + 1 - w->frameGeometry().height()));

    // Ctrl+W hides the main window; the Window menu brings it back as it was.
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main, kTimeoutMs));
    QTest::keyClick(main, Qt::Key_W, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([main] { return !main->isVisible(); }, kTimeoutMs));
    menu->rebuildWindowMenu();
    // Named by the title, which carries the open file.
    QAction *item = itemNamed(menu->windowMenu(), QStringLiteral("kept.z64 — Tolvane Launcher"));
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(shownPath(), rom);
    EXPECT_TRUE(controller().playButton()->isEnabled());
    // Ctrl+0 in every other window.
    delegate->showHelp(nullptr);
    for (QWidget *other : {prefs.window(), static_cast<QWidget *>(delegate->helpWindow())}) {
        main->close();
        ASSERT_TRUE(QTest::qWaitFor([main] { return !main->isVisible(); }, kTimeoutMs));
        other->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(other, kTimeoutMs));
        QTest::keyClick(other, Qt::Key_0, Qt::ControlModifier);
        EXPECT_TRUE(main->isVisible());
    }
}

TEST_F(AppDelegateTest, ARefusedSettingsFileIsNamedInAWindowAndHandEditsAreTakenInWhileRunning)
{
    const QString settings = UserDefaults::standardUserDefaults().filePath();
    QDir().mkpath(QFileInfo(settings).path());
    world.writeFile(QStringLiteral("home/.config/tolvane-launcher/settings.plist"), "<plist><dict><key>Resolution</string>");
    UserDefaults::setStandardUserDefaults(std::make_unique<UserDefaults>(settings));
    EXPECT_TRUE(start());
    const QString aside = UserDefaults::standardUserDefaults().movedAsidePath();
    ASSERT_FALSE(aside.isEmpty());
    EXPECT_EQ(shownMessages().filter(aside).size(), 1);
    world.writeFile(QStringLiteral("home/.config/tolvane-launcher/settings.plist"),
                    "<plist><dict><key>Resolution</key><string>800x600</string></dict></plist>");
    EXPECT_TRUE(QTest::qWaitFor([] { return UserDefaults::standardUserDefaults().valueForKey(QStringLiteral("Resolution")) == QStringLiteral("800x600"); },
                                kTimeoutMs));
}

TEST(SettingsNoticeTest, AFullDiskIsSaidOnceInWordsAndAnUnreadableFileUntilItReadsAgain)
{
    TestWorld world;
    const QString settings = UserDefaults::standardUserDefaults().filePath();
    ScratchMount disk(QFileInfo(settings).path());
    if (!disk.isMounted())
        GTEST_SKIP() << disk.why();
    UserDefaults defaults(settings);
    defaults.setValueForKey(QStringLiteral("Resolution"), QStringLiteral("1280x720"));
    SettingsNotice notice(&defaults, nullptr);
    ASSERT_TRUE(disk.fill());
    for (const bool on : {true, false})
        defaults.setValueForKey(QStringLiteral("Fullscreen"), on);
    EXPECT_EQ(StartedLauncher::shownMessages(), QStringList{QStringLiteral("The disk holding your settings is full; your change is kept until the Launcher quits.")});
    QApplication::closeAllWindows();
    disk.empty();
    const QString name = QStringLiteral("home/.config/tolvane-launcher/settings.plist");
    world.writeFile(name, "<plist><dict><key>Resolution</key>");
    defaults.synchronize();
    ASSERT_EQ(StartedLauncher::shownMessages().size(), 1);
    EXPECT_TRUE(StartedLauncher::shownMessages().at(0).contains(QStringLiteral("cannot be read right now")));
    world.writeFile(name, "<plist><dict><key>Resolution</key><string>800x600</string></dict></plist>");
    defaults.synchronize();
    EXPECT_TRUE(StartedLauncher::shownMessages().isEmpty());
}

TEST(SingleInstanceTest, MessagesCarryAnyPathsAndAnEmptyOneAsksOnlyForTheWindow)
{
    TestWorld world;
    SingleInstance server(world.path(QStringLiteral("test.socket")));
    ASSERT_TRUE(server.listen());
    QSignalSpy received(&server, &SingleInstance::filesReceived);
    const LocalPaths paths{LocalPath("/roms/with space.z64"), LocalPath("/roms/line\nend"), LocalPath("/roms/\xc3\xbc.v64"),
                           LocalPath("/roms/caf\xe9.z64")};
    SingleInstance client(server.serverName());
    for (const LocalPaths &sent : {paths, LocalPaths()}) {
        ASSERT_TRUE(client.sendToRunningInstance(sent));
        ASSERT_TRUE(received.wait(kTimeoutMs));
        EXPECT_EQ(received.takeFirst().at(0).value<LocalPaths>(), sent);
    }
    EXPECT_FALSE(SingleInstance(world.path(QStringLiteral("nobody.socket"))).sendToRunningInstance(paths, 500));
}

} // namespace
