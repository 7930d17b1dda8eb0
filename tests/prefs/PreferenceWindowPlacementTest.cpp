#include "input/PaneHelpers.h"

#include "prefs/PrefrenceWindowController.h"

#include <QAction>
#include <QScreen>
#include <QTest>

// The taller Controllers pane grew the window off the bottom of the screen.
TEST_F(PaneTest, PreferencesGrowingPastTheScreenMoveUpJustEnough)
{
    PrefrenceWindowController controller;
    controller.showWindow(nullptr);
    QWidget *w = controller.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    const QRect area = w->screen()->availableGeometry();
    for (const int fromBottom : {200, 600}) {
        controller.videoToolbarButton()->trigger();
        w->move(area.left() + 100, std::max(area.top(), area.bottom() - fromBottom));
        QTest::qWait(10);
        const QPoint before = w->frameGeometry().topLeft();
        controller.controllerToolbarButton()->trigger();
        const QRect frame = w->frameGeometry();
        EXPECT_TRUE(area.contains(frame)) << frame.bottom() << " > " << area.bottom();
        EXPECT_EQ(frame.left(), before.x());
        // Up by as little as needed: to the bottom edge, or not at all when the pane fits.
        EXPECT_EQ(frame.top(), std::min(before.y(), area.bottom() - frame.height() + 1));
    }
}
