#include "support/TestWorld.h"

#include "app/AppDelegate.h"
#include "library/GameLibrary.h"
#include "library/LibraryController.h"
#include "library/LibraryGridView.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "mainwindow/DragWindow.h"
#include "mainwindow/TvMode.h"
#include "mainwindow/WindowController.h"
#include "platform/UserDefaults.h"

#include <QAccessible>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>

#include <algorithm>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Pixels of exactly the palette's highlight in the cell of \a row: the focus frame's.
int highlightPixels(LibraryGridView *grid, int row)
{
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->model()->index(row, LibraryModel::Name)).intersected(shot.rect());
    int count = 0;
    for (int i = 0; i < cell.width() * cell.height(); ++i)
        count += shot.pixel(cell.x() + i % cell.width(), cell.y() + i / cell.width()) == grid->palette().color(QPalette::Highlight).rgb();
    return count;
}

// With the keys a pad sends: in, move, favourite, play, out to the window as it was; the next start.
TEST(TvModeTest, TheGridAloneDrivenByKeysThenTheWindowAsItWasAndTheNextStart)
{
    TestWorld world;
    TestWorld::useStandInAsCustomBuild();
    const auto setting = [](const char *key) { return UserDefaults::standardUserDefaults().valueForKey(QLatin1String(key)); };
    QDir().mkpath(world.path(QStringLiteral("roms")));
    for (int i = 0; i < 12; ++i)
        world.writeRom(QStringLiteral("roms/game%1.z64").arg(i, 2, 10, QLatin1Char('0')), "GAME " + QByteArray::number(i + 10), 0x1000 + i);
    auto delegate = std::make_unique<AppDelegate>();
    delegate->applicationDidFinishLaunching();
    WindowController *controller = delegate->myWindowController();
    DragWindow *window = controller->dragWindow();
    LibraryController *library = controller->library();
    LibraryPanel *panel = library->panel();
    LibraryGridView *grid = panel->gridView();
    TvMode *tv = controller->tvMode();
    library->addFolder(world.path(QStringLiteral("roms")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return library->model()->rowCount() == 12; }, kTimeoutMs));
    ASSERT_TRUE(QTest::qWaitForWindowActive(window, kTimeoutMs));

    // The player's own window: the list, small covers, a column moved, the splitter moved, a game chosen.
    window->setGeometry(40, 50, 1000, 640);
    grid->setCoverWidth(100);
    QHeaderView *header = panel->tableView()->horizontalHeader();
    header->moveSection(header->visualIndex(LibraryModel::FileName), 0);
    window->librarySplitter()->setSizes({600, 380});
    panel->tableView()->selectRow(2);
    panel->tableView()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return setting("LibraryCoverWidth").toInt() == 100; }, kTimeoutMs));
    const QRect geometry = window->geometry();
    const QList<int> sizes = window->librarySplitter()->sizes();
    const QByteArray columns = header->saveState();

    QTest::keyClick(window, Qt::Key_F11);
    ASSERT_TRUE(tv->isActive() && tv->action()->isChecked() && setting("TVMode").toBool() && window->isFullScreen());
    for (QWidget *gone : std::initializer_list<QWidget *>{window->menuBar(), window->findChild<QWidget *>(QStringLiteral("toolBar")),
                          controller->targetView(), panel->searchField(), panel->tableView()})
        EXPECT_FALSE(gone->isVisible()) << gone->objectName().toStdString();
    // The status bar and the library's status row (a scan's result) stay, large: what they say
    // is for the player on the sofa too.
    const auto statusSize = [controller, panel] {
        return std::max(QFontInfo(controller->statusLabel()->font()).pixelSize(), QFontInfo(panel->statusLabel()->font()).pixelSize());
    };
    EXPECT_TRUE(controller->statusLabel()->isVisible() && panel->statusLabel()->isVisible());
    EXPECT_GT(std::min(QFontInfo(controller->statusLabel()->font()).pixelSize(), QFontInfo(panel->statusLabel()->font()).pixelSize()),
              QFontInfo(window->font()).pixelSize());
    EXPECT_TRUE(grid->isVisible() && tv->infoLabel()->isVisible() && tv->footBar()->isVisible()
                && tv->footBar()->text() == QStringLiteral("A Play · B Back · X Menu · Y Favourite"));
    // Larger covers, the focus on the grid at the chosen game in a frame.
    QTest::qWait(50);
    EXPECT_TRUE(grid->coverWidth() > 100 && QFontInfo(grid->font()).pixelSize() > QFontInfo(window->font()).pixelSize());
    EXPECT_TRUE(QApplication::focusWidget() == grid && grid->currentIndex().row() == 2);
    EXPECT_TRUE(highlightPixels(grid, 2) > 4 * grid->coverWidth() && highlightPixels(grid, 1) == 0);
    // The arrows (Down from the fourth to the ninth: five covers across), a page, the info line
    // read out as it changes, the favourite.
    QTest::keySequence(grid, QKeySequence(Qt::Key_Right, Qt::Key_Down));
    EXPECT_EQ(grid->currentIndex().row(), 8);
    const QString info = QAccessible::queryAccessibleInterface(tv->infoLabel())->text(QAccessible::Name);
    EXPECT_EQ(info, grid->currentIndex().data().toString() + QStringLiteral("\nNever played"));
    QTest::keyClick(grid, Qt::Key_PageDown);
    EXPECT_EQ(grid->currentIndex().row(), 11);
    QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(library->gameLibrary()->history(grid->currentIndex().siblingAtColumn(LibraryModel::MD5).data().toString()).favourite);
    EXPECT_TRUE(tv->infoLabel()->text().contains(QStringLiteral("Favourite")));
    // Enter plays (as Play does), in TV mode still.
    const QString file = grid->currentIndex().siblingAtColumn(LibraryModel::FileName).data().toString();
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(world.waitForRecord());
    EXPECT_TRUE(world.recordedArguments().constLast().endsWith(file) && tv->isActive());
    controller->stopPressed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller->task(); }, kTimeoutMs));
    QTest::qWait(400); // the player's layout stays in the settings, written 300 ms after a change
    EXPECT_TRUE(setting("LibraryCoverWidth").toInt() == 100 && setting("LibraryView").toString() == QStringLiteral("List"));

    // Escape: the window exactly as it was, the game reached still chosen.
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_FALSE(tv->isActive() || window->isFullScreen() || tv->footer()->isVisible() || setting("TVMode").toBool());
    QTest::qWait(50);
    EXPECT_TRUE(window->geometry() == geometry && window->librarySplitter()->sizes() == sizes && header->saveState() == columns);
    EXPECT_TRUE(panel->tableView()->isVisible() && window->menuBar()->isVisible() && controller->targetView()->isVisible());
    EXPECT_TRUE(grid->coverWidth() == 100 && panel->tableView()->currentIndex().row() == 11
                && QApplication::focusWidget() == panel->tableView() && statusSize() == QFontInfo(window->font()).pixelSize());
    // TV mode shows every game past a search, which is back on leaving.
    panel->searchField()->setText(QStringLiteral("GAME 2"));
    tv->setActive(true);
    EXPECT_EQ(grid->model()->rowCount(), 12);
    tv->setActive(false);
    EXPECT_EQ(grid->model()->rowCount(), 2);

    // Quit in TV mode: the next start is in TV mode; left, the next is not, unless --tv asks.
    tv->action()->trigger();
    for (const bool asked : {false, false, true}) {
        const bool expected = asked || setting("TVMode").toBool();
        delegate = std::make_unique<AppDelegate>();
        delegate->setStartInTvMode(asked);
        delegate->applicationDidFinishLaunching();
        TvMode *again = delegate->myWindowController()->tvMode();
        EXPECT_TRUE(again->isActive() == expected && delegate->myWindowController()->window()->isFullScreen() == expected);
        again->setActive(false);
    }
}

} // namespace
