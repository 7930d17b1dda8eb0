#include "support/TestWorld.h"

#include "mainwindow/ErrorWinController.h"
#include "mainwindow/WindowController.h"
#include "prefs/PrefrenceWindowController.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

// Qt's main window offered to hide its toolbar on a right-click, with no way back; the taller
// Controllers pane grew Preferences off the bottom of the screen.
TEST(WindowFitTest, ToolbarsCannotBeHiddenAndPreferencesStayOnTheScreen)
{
    TestWorld world;
    WindowController main;
    PrefrenceWindowController prefs;
    for (QWidget *window : {main.window(), prefs.window()}) {
        window->show();
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
}

// A file name without spaces was clipped, closing quote included.
TEST(WindowFitTest, ErrorWindowShowsLongNamesInFullAndFitsTheScreen)
{
    ErrorWinController controller;
    // Far more than the screen can show at once.
    controller.showMessage(QStringLiteral("\u201c/%1.z64\u201d cannot be opened.").arg(QString(20000, QLatin1Char('x'))));
    QWidget *window = controller.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_TRUE(window->screen()->availableGeometry().contains(window->frameGeometry()));
    auto *text = window->findChild<QTextEdit *>();
    ASSERT_NE(text, nullptr) << "the message neither wraps nor scrolls";
    // Nothing sideways out of view; what the height cannot show is reached by scrolling.
    EXPECT_LE(text->document()->size().width(), text->viewport()->width());
    EXPECT_GE(text->verticalScrollBar()->maximum(), int(text->document()->size().height()) - text->viewport()->height());
}
