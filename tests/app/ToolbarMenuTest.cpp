#include "support/TestWorld.h"

#include "mainwindow/WindowController.h"
#include "prefs/PrefrenceWindowController.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMainWindow>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

// The window's own context menu would offer to hide the toolbar, and nothing shows it again.
TEST(ToolbarMenuTest, RightClickingAWindowOffersNoWayToHideItsToolbar)
{
    TestWorld world;
    WindowController main;
    PrefrenceWindowController prefs;
    for (QWidget *window : {main.window(), prefs.window()}) {
        window->show();
        auto *toolbar = window->findChild<QToolBar *>();
        ASSERT_NE(toolbar, nullptr);
        // On the bar itself and on one of its buttons.
        for (QWidget *target : {static_cast<QWidget *>(toolbar), toolbar->widgetForAction(toolbar->actions().constFirst())}) {
            bool offered = false;
            QTimer::singleShot(0, [&] {
                if (QWidget *popup = QApplication::activePopupWidget()) {
                    offered = true;
                    popup->close();
                }
            });
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), target->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(target, &event);
            QTest::qWait(20);
            EXPECT_FALSE(offered) << qPrintable(window->windowTitle()) << " " << target->metaObject()->className();
        }
        EXPECT_TRUE(toolbar->isVisible());
    }
}
