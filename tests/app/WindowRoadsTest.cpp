#include "support/TestWorld.h"

#include "app/AppDelegate.h"
#include "app/HelpWindow.h"
#include "mainwindow/WindowController.h"
#include "prefs/PrefrenceWindowController.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The Open chooser must not block the main window (Pause, Stop, Eject); and Ctrl+0 in every
// other window brings the main window back once it is closed.
TEST(WindowRoadsTest, ChooserBlocksNothingAndTheMainWindowComesBackFromEveryWindow)
{
    TestWorld world;
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    QWidget *main = delegate.myWindowController()->window();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main, kTimeoutMs));
    delegate.openFile(nullptr);
    QWidget *chooser = delegate.myWindowController()->openPanel();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    delegate.openFile(nullptr);
    EXPECT_EQ(delegate.myWindowController()->openPanel(), chooser);
    chooser->close();

    delegate.showPrefs(nullptr);
    delegate.showHelp(nullptr);
    for (QWidget *other : {delegate.preferenceController()->window(), static_cast<QWidget *>(delegate.helpWindow())}) {
        main->close();
        ASSERT_TRUE(QTest::qWaitFor([main] { return !main->isVisible(); }, kTimeoutMs));
        other->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(other, kTimeoutMs));
        QTest::keyClick(other, Qt::Key_0, Qt::ControlModifier);
        EXPECT_TRUE(main->isVisible());
    }
}

} // namespace
