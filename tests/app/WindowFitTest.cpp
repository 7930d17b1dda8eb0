#include "mainwindow/ErrorWinController.h"

#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

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
