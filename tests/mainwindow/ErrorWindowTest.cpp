#include "mainwindow/ErrorWinController.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

// A file name without spaces was clipped, closing quote included.
TEST(ErrorWindowTest, LongNamesAreReadableInFullAndTheWindowFitsTheScreen)
{
    ErrorWinController controller;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    for (const int length : {150, 20000}) {
        const QString message = QStringLiteral("\u201c/roms/%1.z64\u201d cannot be opened.\n\nThe file is empty.").arg(QString(length, QLatin1Char('x')));
        controller.showMessage(message);
        QWidget *window = controller.window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        EXPECT_TRUE(area.contains(window->frameGeometry())) << length;
        QTextEdit *text = nullptr;
        for (QWidget *child : window->findChildren<QWidget *>()) {
            if (child->accessibleName() == QStringLiteral("Message"))
                text = qobject_cast<QTextEdit *>(child);
        }
        ASSERT_NE(text, nullptr) << "the message neither wraps inside a name nor scrolls";
        EXPECT_EQ(controller.message(), message);
        // Nothing sideways out of view; what the height cannot show is reached by scrolling.
        EXPECT_LE(text->document()->size().width(), text->viewport()->width());
        const int hidden = int(text->document()->size().height()) - text->viewport()->height();
        EXPECT_GE(text->verticalScrollBar()->maximum(), hidden) << length;
        EXPECT_TRUE(hidden <= 0 || text->verticalScrollBar()->isVisible()) << length;
        controller.okPressed();
    }
}
