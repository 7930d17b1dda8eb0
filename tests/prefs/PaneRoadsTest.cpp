#include "input/PaneHelpers.h"

#include "prefs/PrefrenceWindowController.h"
#include "prefs/VideoPreferencesViewController.h"

#include <QAction>
#include <QTest>

namespace {

// Coming back to the Controllers pane, the armed row must have the keys; and an item that an
// accessibility client toggles (rather than triggers) must show its pane all the same.
class PaneRoadsTest : public testing::Test
{
protected:
    TestWorld world;
};

TEST_F(PaneRoadsTest, EveryRoadBackToThePaneShowsItWithTheArmedRowTakingTheKeys)
{
    PrefrenceWindowController prefs;
    prefs.showWindow(nullptr);
    QWidget *window = prefs.window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    prefs.controllerToolbarButton()->trigger();
    ControllerPreferencesViewController *pane = prefs.controllerVC();
    choose(*pane, QStringLiteral("Keyboard"));
    selectRow(*pane, 0);
    prefs.videoToolbarButton()->trigger();
    prefs.controllerToolbarButton()->trigger();
    EXPECT_EQ(QApplication::focusWidget(), pane->tableView());

    prefs.videoToolbarButton()->toggle();
    EXPECT_EQ(prefs.currentController(), prefs.videoVC());
    EXPECT_FALSE(prefs.controllerToolbarButton()->isChecked());
    prefs.controllerToolbarButton()->toggle();
    prefs.controllerToolbarButton()->toggle();
    EXPECT_EQ(prefs.currentController(), prefs.controllerVC());
    EXPECT_TRUE(prefs.controllerToolbarButton()->isChecked());
    EXPECT_FALSE(prefs.videoToolbarButton()->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), pane->tableView());
}

} // namespace
