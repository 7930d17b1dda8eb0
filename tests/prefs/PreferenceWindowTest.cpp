#include "input/PaneHelpers.h"

#include "prefs/ClickActionTextField.h"
#include "prefs/EmulatorPreferencesViewController.h"
#include "prefs/PrefrenceWindowController.h"
#include "prefs/VideoPreferencesViewController.h"

#include "ui_VideoPrefsView.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QScreen>
#include <QTest>

namespace {

QVariant stored(const char *key)
{
    return UserDefaults::standardUserDefaults().valueForKey(QLatin1String(key));
}

// Panes keep the window's place; coming back to the Controllers pane, the armed row must have the
// keys; and an item that an accessibility client toggles (rather than triggers) must show its pane.
TEST(PreferenceWindowTest, VideoPaneStoresWhatTheUserChoosesAndEveryRoadToAPaneKeepsTheTopLeftAndTheFocus)
{
    TestWorld world;
    PrefrenceWindowController controller;
    controller.showWindow(nullptr);
    QWidget *w = controller.window();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    EXPECT_LE((w->frameGeometry().center() - w->screen()->availableGeometry().center()).manhattanLength(), 4);
    Ui::VideoPrefsView *ui = controller.videoVC()->ui();
    EXPECT_EQ(ui->videoPluginBox->currentText(), QStringLiteral("Crisp Renderer"));
    EXPECT_EQ(ui->resolutionBox->currentText(), QStringLiteral("640x480"));
    EXPECT_FALSE(ui->fullscreenBox->isChecked() || QFile::exists(UserDefaults::standardUserDefaults().filePath()));
    ui->videoPluginBox->setFocus();
    QTest::keyClick(ui->videoPluginBox, Qt::Key_Down);
    EXPECT_NE(ui->videoPluginBox->currentText(), QStringLiteral("Crisp Renderer"));
    EXPECT_EQ(stored("VideoPlugin").toString(), ui->videoPluginBox->currentText());
    ui->fullscreenBox->click();
    EXPECT_TRUE(stored("Fullscreen").toBool());
    ui->resolutionBox->lineEdit()->selectAll();
    QTest::keyClicks(ui->resolutionBox->lineEdit(), QStringLiteral("1440x1080"));
    EXPECT_EQ(stored("Resolution").toString(), QStringLiteral("640x480")) << "half-typed text is no resolution";
    QTest::keyClick(ui->resolutionBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(stored("Resolution").toString(), QStringLiteral("1440x1080"));

    w->move(100, 120);
    QTest::qWait(10);
    const QPoint topLeft = w->geometry().topLeft();
    QTest::keyClick(w, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(controller.currentController(), controller.emulatorVC());
    const QSize emulatorSize = w->size();
    QTest::keyClick(w, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(controller.currentController(), controller.videoVC());
    // The same size whichever pane was shown before and whatever the user did to the window.
    w->resize(700, 650);
    controller.emulatorToolbarButton()->trigger();
    EXPECT_TRUE(w->size() == emulatorSize && w->geometry().topLeft() == topLeft);
    w->resize(600, 400);
    controller.emulatorToolbarButton()->trigger(); // the pane already shown: nothing changes
    EXPECT_EQ(w->size(), QSize(600, 400));
    // The items are told apart by identity: a translation changes their labels.
    controller.videoToolbarButton()->setText(QStringLiteral("Vidéo"));
    QAction stranger(QStringLiteral("Video"));
    EXPECT_TRUE(controller.validateToolbarItem(controller.videoToolbarButton()) && !controller.validateToolbarItem(&stranger));

    controller.controllerToolbarButton()->trigger();
    ControllerPreferencesViewController *pane = controller.controllerVC();
    // Its mapping editor shows the whole table, or the window is as tall as the screen.
    const QRect area = w->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(w->frameGeometry()));
    EXPECT_TRUE(pane->tableView()->verticalHeader()->length() <= pane->tableView()->viewport()->height() || w->frameGeometry().height() == area.height());
    choose(*pane, QStringLiteral("Keyboard"));
    selectRow(*pane, 0);
    controller.videoToolbarButton()->trigger();
    controller.controllerToolbarButton()->trigger();
    EXPECT_EQ(QApplication::focusWidget(), pane->tableView());
    controller.videoToolbarButton()->toggle();
    EXPECT_EQ(controller.currentController(), controller.videoVC());
    EXPECT_FALSE(controller.controllerToolbarButton()->isChecked());
    controller.controllerToolbarButton()->toggle();
    controller.controllerToolbarButton()->toggle();
    EXPECT_EQ(controller.currentController(), controller.controllerVC());
    EXPECT_TRUE(controller.controllerToolbarButton()->isChecked());
    EXPECT_FALSE(controller.videoToolbarButton()->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), pane->tableView());
}

TEST(EmulatorPaneTest, DefaultEmptiesAndDisablesTheFieldButKeepsThePathAndTheChooserWritesOnlyThePath)
{
    TestWorld world;
    TestWorld::setSetting("Build", QStringLiteral("Custom"));
    TestWorld::setSetting("CustomBuildPath", world.path(QStringLiteral("old-console")));
    // Dated long ago, so that any write shows.
    QFile settings(UserDefaults::standardUserDefaults().filePath());
    const QDateTime old = QDateTime::currentDateTime().addYears(-1);
    ASSERT_TRUE(settings.open(QIODevice::Append) && settings.setFileTime(old, QFileDevice::FileModificationTime));
    EmulatorPreferencesViewController pane;
    pane.view()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(pane.view()));
    ClickActionTextField *field = pane.buildPathField();
    EXPECT_EQ(pane.buildSelector()->currentData().toString(), QStringLiteral("Custom"));
    EXPECT_TRUE(field->isEnabled() && field->text() == world.path(QStringLiteral("old-console")));
    EXPECT_EQ(QFileInfo(settings).lastModified(), old) << "showing writes nothing";
    // Arrow keys in the pop-up send its action as a click would.
    pane.buildSelector()->setFocus();
    QTest::keyClick(pane.buildSelector(), Qt::Key_Up);
    EXPECT_TRUE(!field->isEnabled() && field->text().isEmpty() && stored("Build").toString() == QStringLiteral("Default"));
    QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_EQ(pane.fileChooser(), nullptr) << "a click on the disabled field opens nothing";
    QTest::keyClick(pane.buildSelector(), Qt::Key_Down);
    EXPECT_TRUE(field->isEnabled() && field->text() == world.path(QStringLiteral("old-console")));
    EXPECT_EQ(stored("Build").toString(), QStringLiteral("Custom"));

    QTest::mouseClick(field, Qt::LeftButton);
    QFileDialog *chooser = pane.fileChooser();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(QDir(chooser->directory()).absolutePath(), QDir(world.path(QString())).absolutePath());
    EXPECT_TRUE(chooser->fileMode() == QFileDialog::ExistingFile && (chooser->filter() & QDir::Hidden));
    chooser->reject();
    EXPECT_EQ(stored("CustomBuildPath").toString(), world.path(QStringLiteral("old-console")));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return); // Enter opens the chooser too
    ASSERT_NE(chooser = pane.fileChooser(), nullptr);
    TestWorld::setSetting("Build", QStringLiteral("Default"));
    chooser->selectFile(TestWorld::fakeEmulatorPath());
    static_cast<QDialog *>(chooser)->accept(); // as its Open button does
    EXPECT_EQ(stored("CustomBuildPath").toString(), TestWorld::fakeEmulatorPath());
    EXPECT_EQ(stored("Build").toString(), QStringLiteral("Default"));
    EXPECT_TRUE(!field->isEnabled() && field->text().isEmpty()) << "the pane shows the Build stored meanwhile";
}

} // namespace
