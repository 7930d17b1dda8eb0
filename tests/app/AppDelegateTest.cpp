#include "support/TestWorld.h"
#include "support/ScratchMount.h"

#include "app/AppDelegate.h"
#include "app/GameSettingsCommands.h"
#include "app/MainMenu.h"
#include "app/SettingsNotice.h"
#include "mainwindow/ErrorWinController.h"
#include "mainwindow/RomOpener.h"
#include "mainwindow/WindowController.h"
#include "platform/RecentDocuments.h"
#include "platform/SingleInstance.h"
#include "platform/UserDefaults.h"
#include "rom/ROM.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

QString shownPath(const AppDelegate &delegate)
{
    const auto rom = delegate.myWindowController()->rom();
    return rom ? rom->filePath()->toLocalFile() : QString();
}

// Files are read off the GUI thread: shown a moment after they are handed over.
bool waitUntilShown(const AppDelegate &delegate, const QString &path)
{
    return QTest::qWaitFor([&] { return shownPath(delegate) == path; }, kTimeoutMs);
}

// The texts of the message boxes showing now.
QStringList shownMessages()
{
    QStringList texts;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
            texts.append(box->text());
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

TEST(AppDelegateTest, FilesHandedOverDuringLaunchOpenOnlyTheLastLaterOnesAtOnceAndTheRecentMenuFollows)
{
    TestWorld world;
    AppDelegate delegate;
    EXPECT_FALSE(delegate.applicationOpenFile(world.writeRom(QStringLiteral("first.z64"))));
    const QString last = world.writeRom(QStringLiteral("last.v64"));
    EXPECT_FALSE(delegate.applicationOpenFile(last));
    delegate.applicationDidFinishLaunching();
    WindowController *controller = delegate.myWindowController();
    ASSERT_NE(controller, nullptr);
    EXPECT_TRUE(controller->window()->isVisible());
    EXPECT_TRUE(waitUntilShown(delegate, last));
    // After launch, any name goes straight to the window.
    const QString odd = world.writeRom(QStringLiteral("no extension"));
    EXPECT_TRUE(delegate.applicationOpenFile(odd));
    EXPECT_TRUE(waitUntilShown(delegate, odd));
    delegate.newDocument(nullptr);
    EXPECT_EQ(delegate.myWindowController(), controller) << "one main window controller";
    // A file handed over by a second start that cannot be read: its error window comes out on top.
    delegate.openFilesFromAnotherInstance({LocalPath::fromText(world.path(QStringLiteral("missing.z64")))});
    QWidget *errorWindow = controller->errorWindowController()->window();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == errorWindow; }, 2000));
    controller->errorWindowController()->okPressed();

    // Newest first, ten at most, cleared by "Clear Menu".
    for (int i = 0; i < 11; ++i) {
        const QString path = world.writeRom(QStringLiteral("r%1.z64").arg(i));
        ASSERT_TRUE(delegate.applicationOpenFile(path) && waitUntilShown(delegate, path));
    }
    const QStringList stored = RecentDocuments(&UserDefaults::standardUserDefaults()).recentDocumentPaths();
    EXPECT_EQ(stored.size(), 10);
    EXPECT_EQ(stored.first(), world.path(QStringLiteral("r10.z64")));
    // A name that is not UTF-8 opens by its bytes, is kept as a percent-encoded URL and opens again.
    const QByteArray cafe = QFile::encodeName(world.path(QStringLiteral("caf"))) + "\xe9.z64";
    ASSERT_EQ(::rename(QFile::encodeName(world.writeRom(QStringLiteral("cafe"))).constData(), cafe.constData()), 0);
    ASSERT_TRUE(delegate.applicationOpenFile(LocalPath(cafe)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownPath(delegate).endsWith(QStringLiteral("caf\ufffd.z64")); }, kTimeoutMs));
    // The library's Game Settings… takes the row's name, reading nothing (a file gone stays
    // unread), and with no name, the file's by the same bytes.
    GameSettingsCommands *settings = delegate.gameSettingsCommands();
    settings->showForFile(QString(32, QLatin1Char('1')), QStringLiteral(" ROW NAME "), QUrl::fromLocalFile(world.path(QStringLiteral("gone.z64"))));
    EXPECT_EQ(settings->windowController()->window()->windowTitle(), QStringLiteral("Game Settings — ROW NAME"));
    settings->showForFile(QString(32, QLatin1Char('0')), QString(), LocalPath(cafe).toUrl());
    EXPECT_EQ(settings->windowController()->window()->windowTitle(), QStringLiteral("Game Settings — caf\ufffd.z64"));
    const QString kept = RecentDocuments(&UserDefaults::standardUserDefaults()).recentDocumentPaths().first();
    EXPECT_TRUE(kept.startsWith(QLatin1String("file:///")) && kept.endsWith(QLatin1String("/caf%E9.z64"))) << kept.toStdString();
    QMenu *recentMenu = delegate.mainMenu()->recentMenu();
    itemNamed(recentMenu, QStringLiteral("r5.z64"))->trigger();
    EXPECT_TRUE(waitUntilShown(delegate, world.path(QStringLiteral("r5.z64"))));
    itemNamed(recentMenu, QStringLiteral("caf\ufffd.z64"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller->opener()->isBusy(); }, kTimeoutMs));
    EXPECT_EQ(LocalPath::fromUrl(*delegate.myWindowController()->rom()->filePath()).bytes(), cafe);
    itemNamed(recentMenu, QStringLiteral("Clear Menu"))->trigger();
    EXPECT_EQ(itemNamed(recentMenu, QStringLiteral("r5.z64")), nullptr);
    EXPECT_FALSE(UserDefaults::standardUserDefaults().valueForKey(QStringLiteral("RecentDocuments")).isValid());
}

TEST(AppDelegateTest, MenusShareTheToolbarActionsAndBringBackEveryWindow)
{
    TestWorld world;
    AppDelegate delegate;
    const QString rom = world.writeRom(QStringLiteral("kept.z64"));
    delegate.applicationOpenFile(rom);
    delegate.applicationDidFinishLaunching();
    ASSERT_TRUE(waitUntilShown(delegate, rom));
    MainMenu *menu = delegate.mainMenu();
    WindowController *controller = delegate.myWindowController();
    const QList<QAction *> emulation = menu->emulationMenu()->actions();
    EXPECT_EQ(emulation.mid(0, controller->toolbarActions().size()), controller->toolbarActions());
    EXPECT_EQ(emulation.last(), delegate.gameSettingsCommands()->action());

    // Ctrl+W hides the main window; the Window menu brings it back as it was.
    QWidget *window = controller->window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, kTimeoutMs));
    QTest::keyClick(window, Qt::Key_W, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([window] { return !window->isVisible(); }, kTimeoutMs));
    menu->rebuildWindowMenu();
    // Named by the title, which carries the open file.
    QAction *item = itemNamed(menu->windowMenu(), QStringLiteral("kept.z64 — Tolvane Launcher"));
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(shownPath(delegate), rom);
    EXPECT_TRUE(controller->playButton()->isEnabled());
}

TEST(AppDelegateTest, ARefusedSettingsFileIsNamedInAWindowAndHandEditsAreTakenInWhileRunning)
{
    TestWorld world;
    const QString settings = UserDefaults::standardUserDefaults().filePath();
    QDir().mkpath(QFileInfo(settings).path());
    world.writeFile(QStringLiteral("home/.config/tolvane-launcher/settings.plist"), "<plist><dict><key>Resolution</string>");
    UserDefaults::setStandardUserDefaults(std::make_unique<UserDefaults>(settings));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
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
    EXPECT_EQ(shownMessages(), QStringList{QStringLiteral("The disk holding your settings is full; your change is kept until the Launcher quits.")});
    QApplication::closeAllWindows();
    disk.empty();
    const QString name = QStringLiteral("home/.config/tolvane-launcher/settings.plist");
    world.writeFile(name, "<plist><dict><key>Resolution</key>");
    defaults.synchronize();
    ASSERT_EQ(shownMessages().size(), 1);
    EXPECT_TRUE(shownMessages().at(0).contains(QStringLiteral("cannot be read right now")));
    world.writeFile(name, "<plist><dict><key>Resolution</key><string>800x600</string></dict></plist>");
    defaults.synchronize();
    EXPECT_TRUE(shownMessages().isEmpty());
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
