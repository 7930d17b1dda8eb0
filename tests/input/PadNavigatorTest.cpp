#include "input/VirtualPad.h"

#include "app/AppDelegate.h"
#include "app/GameSettingsCommands.h"
#include "input/PadEvent.h"
#include "input/PadService.h"
#include "input/PadStopGroup.h"
#include "launch/GameSession.h"
#include "library/GameLibrary.h"
#include "library/LibraryController.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryFolders.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "mainwindow/WindowController.h"
#include "platform/UserDefaults.h"
#include "prefs/PrefrenceWindowController.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// The main window with three games in its grid, the stand-in as the emulator and one virtual
// game controller; the pad drives the window as a player on a couch would.
TEST(PadNavigatorTest, ThePadMovesPlaysMarksClosesAndItsCombinationAloneStopsTheGame)
{
    TestWorld world;
    TestWorld::useStandInAsCustomBuild();
    QDir().mkpath(world.path(QStringLiteral("lib")));
    for (const char *name : {"ALPHA", "BRAVO", "CHARLIE"}) {
        const QByteArray file = QFile::encodeName(world.writeRom(QStringLiteral("lib/%1.z64").arg(QLatin1String(name)), name));
        // Changed long ago: a row read moments after its file changed is read again, not played.
        const struct timespec times[2] = {{0, UTIME_OMIT}, {QDateTime::currentSecsSinceEpoch() - 3600, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.constData(), times, 0), 0);
    }
    LibraryFolders::setFolders({world.path(QStringLiteral("lib"))});
    PadService::instance().setVirtualPadsOnly(true);
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    WindowController *controller = delegate.myWindowController();
    QWidget *main = controller->window();
    LibraryController *library = controller->library();
    auto *session = controller->findChild<GameSession *>();
    ASSERT_TRUE(session && QTest::qWaitForWindowActive(main, kTimeoutMs));
    ASSERT_TRUE(QTest::qWaitFor([library] { return library->filterModel()->rowCount() == 3; }, kTimeoutMs));
    library->panel()->showGrid(true);
    QAbstractItemView *grid = library->panel()->currentView();
    grid->setCurrentIndex(library->filterModel()->index(0, 0));
    grid->setFocus();
    VirtualPad pad("Couch Pad", true);
    ASSERT_TRUE(QTest::qWaitFor([] { return PadService::instance().pads().size() == 1; }, kTimeoutMs));
    const auto current = [grid] { return grid->currentIndex().row(); };
    const auto md5Of = [library](int row) { return library->filterModel()->index(row, LibraryModel::MD5).data().toString(); };
    const auto favourite = [library, md5Of](int row) { return library->gameLibrary()->history(md5Of(row)).favourite; };

    pad.tap(PadEvent::DpadRight);
    ASSERT_TRUE(QTest::qWaitFor([&] { return current() == 1; }, kTimeoutMs));
    pad.tap(PadEvent::Y);
    ASSERT_TRUE(QTest::qWaitFor([&] { return favourite(1); }, kTimeoutMs));
    EXPECT_FALSE(favourite(0));

    // B closes the menu X opened, a message box and the Game Settings window.
    pad.tap(PadEvent::X);
    ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }, kTimeoutMs));
    pad.tap(PadEvent::B);
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activePopupWidget(); }, kTimeoutMs));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Question"), QStringLiteral("Sure?"), QMessageBox::Ok | QMessageBox::Cancel, main);
    box.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box, kTimeoutMs));
    pad.tap(PadEvent::B);
    ASSERT_TRUE(QTest::qWaitFor([&box] { return !box.isVisible(); }, kTimeoutMs));
    EXPECT_EQ(box.result(), QMessageBox::Cancel);
    library->gameSettingsRequested(md5Of(1), QStringLiteral("BRAVO"), QUrl::fromLocalFile(world.path(QStringLiteral("lib/BRAVO.z64"))));
    QWidget *settings = QApplication::activeWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { settings = QApplication::activeWindow(); return settings && settings != main; }, kTimeoutMs));
    pad.tap(PadEvent::B);
    ASSERT_TRUE(QTest::qWaitFor([settings] { return !settings->isVisible(); }, kTimeoutMs));
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main, kTimeoutMs));
    grid->setFocus();

    // A plays the game in focus; while it runs, no button but the combination acts here.
    pad.tap(PadEvent::A);
    ASSERT_TRUE(world.waitForRecord() && QTest::qWaitFor([session] { return session->isRunning(); }, kTimeoutMs));
    EXPECT_EQ(controller->rom()->name(), QStringLiteral("BRAVO"));
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main, kTimeoutMs));
    for (const int button : {PadEvent::DpadRight, PadEvent::Y, PadEvent::X})
        pad.tap(button);
    QTest::qWait(200);
    EXPECT_TRUE(current() == 1 && favourite(1) && !QApplication::activePopupWidget());

    // Back and Start: held for 0.9 s nothing happens; for 1 s the game stops as Stop stops it.
    const auto hold = [&pad](int milliseconds) {
        EXPECT_TRUE(pad.set(PadEvent::Back, true) && pad.set(PadEvent::Start, true));
        QTest::qWait(milliseconds);
        EXPECT_TRUE(pad.set(PadEvent::Start, false) && pad.set(PadEvent::Back, false));
    };
    QWidget elsewhere;
    elsewhere.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere, kTimeoutMs));
    hold(850);
    QTest::qWait(300);
    ASSERT_TRUE(session->isRunning());
    hold(1150);
    EXPECT_TRUE(QTest::qWaitFor([session] { return !session->isRunning(); }, kTimeoutMs));
    EXPECT_TRUE(QTest::qWaitForWindowActive(main, kTimeoutMs));
    EXPECT_EQ(QApplication::focusWidget(), grid);

    // "Never", chosen in Preferences, turns the combination off.
    delegate.showPrefs(nullptr);
    delegate.preferenceController()->controllerToolbarButton()->trigger();
    auto *choice = delegate.preferenceController()->window()->findChild<PadStopGroup *>();
    ASSERT_TRUE(choice && choice->combinationBox()->accessibleName() == QStringLiteral("Stop the game by holding"));
    choice->combinationBox()->setCurrentIndex(choice->combinationBox()->findText(QStringLiteral("Never")));
    Q_EMIT choice->combinationBox()->activated(choice->combinationBox()->currentIndex());
    EXPECT_EQ(UserDefaults::standardUserDefaults().valueForKey(QStringLiteral("PadStopCombination")).toString(), QStringLiteral("Never"));
    EXPECT_FALSE(choice->timeBox()->isEnabled());
    world.clearRecord();
    controller->playPressed();
    ASSERT_TRUE(world.waitForRecord() && QTest::qWaitFor([session] { return session->isRunning(); }, kTimeoutMs));
    hold(1200);
    QTest::qWait(300);
    EXPECT_TRUE(session->isRunning());
    controller->stopPressed();
    EXPECT_TRUE(QTest::qWaitFor([session] { return !session->isRunning(); }, kTimeoutMs));
}

} // namespace
