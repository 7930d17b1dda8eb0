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
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace {

QVariant setting(const char *key)
{
    return UserDefaults::standardUserDefaults().valueForKey(QLatin1String(key));
}

std::unique_ptr<AppDelegate> start(bool tv = false)
{
    auto delegate = std::make_unique<AppDelegate>();
    delegate->setStartInTvMode(tv);
    delegate->applicationDidFinishLaunching();
    return delegate;
}

// Pixels of exactly the palette's highlight in the cell of \a row: the focus frame's.
int highlightPixels(LibraryGridView *grid, int row)
{
    const QImage shot = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->model()->index(row, LibraryModel::Name)).intersected(shot.rect());
    const QRgb highlight = grid->palette().color(QPalette::Highlight).rgb();
    int count = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            count += shot.pixel(x, y) == highlight;
    return count;
}

// The whole road with the keys a pad sends: in, move, favourite, play, out, and the window
// as the player left it; then the way back at the next start, and --tv.
TEST(TvModeTest, TheGridAloneDrivenByKeysThenTheWindowAsItWasAndTheNextStart)
{
    TestWorld world;
    TestWorld::useStandInAsCustomBuild();
    QDir().mkpath(world.path(QStringLiteral("roms")));
    for (int i = 0; i < 12; ++i)
        world.writeRom(QStringLiteral("roms/game%1.z64").arg(i, 2, 10, QLatin1Char('0')), "GAME " + QByteArray::number(i + 10), 0x1000 + i);
    std::unique_ptr<AppDelegate> delegate = start();
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
    ASSERT_TRUE(QTest::qWaitFor([] { return setting("LibraryCoverWidth").toInt() == 100; }, kTimeoutMs));
    const QRect geometry = window->geometry();
    const QList<int> sizes = window->librarySplitter()->sizes();
    const QByteArray columns = header->saveState();

    QTest::keyClick(window, Qt::Key_F11);
    ASSERT_TRUE(tv->isActive() && tv->action()->isChecked());
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_TRUE(setting("TVMode").toBool());
    for (QWidget *gone : {static_cast<QWidget *>(window->menuBar()), static_cast<QWidget *>(window->statusBar()),
                          static_cast<QWidget *>(window->findChild<QToolBar *>()), controller->targetView(),
                          static_cast<QWidget *>(panel->searchField()), static_cast<QWidget *>(panel->tableView())})
        EXPECT_FALSE(gone->isVisible()) << gone->objectName().toStdString();
    EXPECT_TRUE(grid->isVisible() && tv->footBar()->isVisible() && tv->infoLabel()->isVisible());
    EXPECT_EQ(tv->footBar()->text(), QStringLiteral("A Play · B Back · X Menu · Y Favourite"));
    // Five covers across, larger than the player's, the focus on the grid at the chosen game.
    QTest::qWait(50);
    const auto top = [grid](int row) { return grid->visualRect(grid->model()->index(row, LibraryModel::Name)).top(); };
    EXPECT_TRUE(top(4) == top(0) && top(5) > top(0)) << top(4) << ' ' << top(5);
    EXPECT_GT(grid->coverWidth(), 100);
    EXPECT_GT(QFontInfo(grid->font()).pixelSize(), QFontInfo(window->font()).pixelSize());
    EXPECT_EQ(QApplication::focusWidget(), grid);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_GT(highlightPixels(grid, 2), 4 * grid->coverWidth());
    EXPECT_EQ(highlightPixels(grid, 1), 0);
    // Tab finds nothing hidden to stop at.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(QApplication::focusWidget() && QApplication::focusWidget()->isVisible());
    grid->setFocus();

    // The arrows, a page, the info line read out as it changes.
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->currentIndex().row(), 8);
    const QString name = grid->currentIndex().data().toString();
    const QString info = QAccessible::queryAccessibleInterface(tv->infoLabel())->text(QAccessible::Name);
    EXPECT_TRUE(info.startsWith(name) && info.contains(QStringLiteral("Never played"))) << info.toStdString();
    QTest::keyClick(grid, Qt::Key_PageDown);
    EXPECT_EQ(grid->currentIndex().row(), 11);
    QTest::keyClick(grid, Qt::Key_PageUp);
    EXPECT_LT(grid->currentIndex().row(), 11);
    QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier);
    const QString md5 = grid->currentIndex().siblingAtColumn(LibraryModel::MD5).data().toString();
    EXPECT_TRUE(library->gameLibrary()->history(md5).favourite);
    EXPECT_TRUE(tv->infoLabel()->text().contains(QStringLiteral("Favourite")));
    // Enter plays (as Play does), in TV mode still.
    const QString file = grid->currentIndex().siblingAtColumn(LibraryModel::FileName).data().toString();
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(world.waitForRecord());
    EXPECT_TRUE(world.recordedArguments().constLast().endsWith(file)) << world.recordedArguments().join(u' ').toStdString();
    EXPECT_TRUE(tv->isActive());
    controller->stopPressed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller->task(); }, kTimeoutMs));

    // The player's layout is kept in the settings (written 300 ms after a change).
    QTest::qWait(400);
    EXPECT_TRUE(setting("LibraryCoverWidth").toInt() == 100 && setting("LibraryView").toString() == QStringLiteral("List"));
    // Escape: the window exactly as it was, the game reached still chosen.
    const int reached = grid->currentIndex().row();
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_FALSE(tv->isActive() || window->isFullScreen() || tv->footer()->isVisible());
    EXPECT_FALSE(setting("TVMode").toBool());
    QTest::qWait(50);
    EXPECT_EQ(window->geometry(), geometry);
    EXPECT_EQ(window->librarySplitter()->sizes(), sizes);
    EXPECT_EQ(header->saveState(), columns);
    EXPECT_TRUE(panel->tableView()->isVisible() && window->menuBar()->isVisible() && controller->targetView()->isVisible());
    EXPECT_EQ(grid->coverWidth(), 100);
    EXPECT_EQ(panel->tableView()->currentIndex().row(), reached);
    EXPECT_EQ(QApplication::focusWidget(), panel->tableView());

    // Quit in TV mode: the next start is in TV mode; left, the next is not, unless --tv asks.
    tv->action()->trigger();
    delegate.reset();
    const struct {
        bool asked, active;
    } starts[] = {{false, true}, {false, false}, {true, true}};
    for (const auto &next : starts) {
        delegate = start(next.asked);
        TvMode *again = delegate->myWindowController()->tvMode();
        EXPECT_EQ(again->isActive(), next.active);
        EXPECT_EQ(delegate->myWindowController()->window()->isFullScreen(), again->isActive());
        again->setActive(false);
        delegate.reset();
    }
}

} // namespace
