#include "input/PaneHelpers.h"

#include "prefs/ClickActionTextField.h"
#include "prefs/EmulatorPreferencesViewController.h"
#include "prefs/PrefrenceWindowController.h"
#include "prefs/VideoPreferencesViewController.h"

#include "ui_VideoPrefsView.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QThread>

namespace {

UserDefaults &store()
{
    return UserDefaults::standardUserDefaults();
}

class PreferenceWindowTest : public testing::Test
{
protected:
    QWidget *open()
    {
        m_controller.showWindow(nullptr);
        m_controller.window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_controller.window()));
        return m_controller.window();
    }

    TestWorld world;
    PrefrenceWindowController m_controller;
};

TEST_F(PreferenceWindowTest, OpensCentredOnTheVideoPaneShowingAndStoringWhatTheUserChooses)
{
    QWidget *w = open();
    EXPECT_EQ(m_controller.currentController(), m_controller.videoVC());
    EXPECT_TRUE(m_controller.videoToolbarButton()->isChecked());
    EXPECT_LE((w->frameGeometry().center() - w->screen()->availableGeometry().center()).manhattanLength(), 4);
    Ui::VideoPrefsView *ui = m_controller.videoVC()->ui();
    EXPECT_EQ(ui->videoPluginBox->currentText(), QStringLiteral("Crisp Renderer"));
    EXPECT_EQ(ui->resolutionBox->currentText(), QStringLiteral("640x480"));
    EXPECT_FALSE(ui->fullscreenBox->isChecked() || QFile::exists(store().filePath()));

    ui->videoPluginBox->setFocus();
    QTest::keyClick(ui->videoPluginBox, Qt::Key_Down);
    EXPECT_NE(ui->videoPluginBox->currentText(), QStringLiteral("Crisp Renderer"));
    EXPECT_EQ(store().valueForKey(QStringLiteral("VideoPlugin")).toString(), ui->videoPluginBox->currentText());
    ui->fullscreenBox->click();
    EXPECT_TRUE(store().boolForKey(QStringLiteral("Fullscreen")));
    ui->resolutionBox->setFocus();
    ui->resolutionBox->lineEdit()->selectAll();
    QTest::keyClicks(ui->resolutionBox->lineEdit(), QStringLiteral("1440x1080"));
    // Half-typed text is not a resolution; it is stored once finished.
    EXPECT_EQ(store().valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
    QTest::keyClick(ui->resolutionBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(store().valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("1440x1080"));
}

TEST_F(PreferenceWindowTest, PanesComeFromShortcutsKeepTheTopLeftAndTheirOwnSizeAndClosingStopsACapture)
{
    QWidget *w = open();
    w->move(100, 120);
    QTest::qWait(10);
    const QPoint topLeft = w->geometry().topLeft();
    QTest::keyClick(w, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(m_controller.currentController(), m_controller.emulatorVC());
    EXPECT_TRUE(m_controller.emulatorToolbarButton()->isChecked());
    const QSize emulatorSize = w->size();
    QTest::keyClick(w, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(m_controller.currentController(), m_controller.videoVC());
    // The same size whichever pane was shown before and whatever the user did to the window.
    w->resize(700, 650);
    m_controller.emulatorToolbarButton()->trigger();
    EXPECT_EQ(w->size(), emulatorSize);
    EXPECT_EQ(w->geometry().topLeft(), topLeft);
    // Choosing the pane already shown does nothing at all.
    w->resize(600, 400);
    m_controller.emulatorToolbarButton()->trigger();
    EXPECT_EQ(w->size(), QSize(600, 400));

    QTest::keyClick(w, Qt::Key_2, Qt::ControlModifier);
    ControllerPreferencesViewController *pane = m_controller.controllerVC();
    ASSERT_EQ(m_controller.currentController(), pane);
    choose(*pane, QStringLiteral("Joystick 1"));
    selectRow(*pane, 0);
    QThread *thread = pane->inputThread();
    ASSERT_NE(thread, nullptr);
    const QRect geometry = w->geometry();
    w->close();
    EXPECT_TRUE(thread->wait(kTimeoutMs));
    EXPECT_EQ(open(), w);
    EXPECT_EQ(m_controller.currentController(), pane);
    EXPECT_EQ(w->geometry(), geometry);
}

class EmulatorPaneTest : public testing::Test
{
protected:
    void choose(const QString &title)
    {
        // The user's way: arrow keys in the pop-up send its action as a click would.
        QComboBox *selector = m_pane.buildSelector();
        selector->setFocus();
        const int target = selector->findData(title);
        while (selector->currentIndex() != target)
            QTest::keyClick(selector, selector->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }
    QFileDialog *clickField()
    {
        QTest::mouseClick(m_pane.buildPathField(), Qt::LeftButton);
        return m_pane.fileChooser();
    }

    TestWorld world;
    EmulatorPreferencesViewController m_pane;
};

TEST_F(EmulatorPaneTest, ShowsTheStoredChoiceAndDefaultEmptiesAndDisablesTheFieldButKeepsThePath)
{
    store().setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
    store().setValueForKey(QStringLiteral("CustomBuildPath"), QStringLiteral("/somewhere/tolvane"));
    ASSERT_TRUE(QFile::remove(store().filePath()));
    m_pane.view()->show();
    EXPECT_EQ(m_pane.buildSelector()->currentData().toString(), QStringLiteral("Custom"));
    EXPECT_TRUE(m_pane.buildPathField()->isEnabled());
    EXPECT_EQ(m_pane.buildPathField()->text(), QStringLiteral("/somewhere/tolvane"));
    EXPECT_FALSE(QFile::exists(store().filePath())) << "showing writes nothing";

    choose(QStringLiteral("Default"));
    EXPECT_FALSE(m_pane.buildPathField()->isEnabled());
    EXPECT_EQ(m_pane.buildPathField()->text(), QString());
    EXPECT_EQ(clickField(), nullptr) << "a click on the disabled field opens nothing";
    EXPECT_EQ(store().valueForKey(QStringLiteral("Build")).toString(), QStringLiteral("Default"));
    EXPECT_EQ(store().valueForKey(QStringLiteral("CustomBuildPath")).toString(), QStringLiteral("/somewhere/tolvane"));
    choose(QStringLiteral("Custom"));
    EXPECT_EQ(m_pane.buildPathField()->text(), QStringLiteral("/somewhere/tolvane"));
    EXPECT_EQ(store().valueForKey(QStringLiteral("Build")).toString(), QStringLiteral("Custom"));
}

TEST_F(EmulatorPaneTest, ChooserListsHiddenFilesAndCancelChangesNothingWhileConfirmWritesOnlyThePath)
{
    const QString oldPath = world.path(QStringLiteral("old-console"));
    store().setValueForKey(QStringLiteral("Build"), QStringLiteral("Custom"));
    store().setValueForKey(QStringLiteral("CustomBuildPath"), oldPath);
    m_pane.view()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pane.view()));
    QFileDialog *chooser = clickField();
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(QDir(chooser->directory()).absolutePath(), QDir(world.path(QString())).absolutePath());
    EXPECT_EQ(chooser->fileMode(), QFileDialog::ExistingFile);
    EXPECT_TRUE(chooser->filter() & QDir::Hidden);
    chooser->reject();
    EXPECT_EQ(m_pane.fileChooser(), nullptr);
    EXPECT_EQ(store().valueForKey(QStringLiteral("CustomBuildPath")).toString(), oldPath);

    // Enter in the field opens the chooser too.
    m_pane.buildPathField()->setFocus();
    QTest::keyClick(m_pane.buildPathField(), Qt::Key_Return);
    ASSERT_NE(chooser = m_pane.fileChooser(), nullptr);
    store().setValueForKey(QStringLiteral("Build"), QStringLiteral("Default"));
    chooser->selectFile(TestWorld::fakeEmulatorPath());
    static_cast<QDialog *>(chooser)->accept(); // as its Open button does
    EXPECT_EQ(m_pane.buildPathField()->text(), TestWorld::fakeEmulatorPath());
    EXPECT_EQ(store().valueForKey(QStringLiteral("CustomBuildPath")).toString(), TestWorld::fakeEmulatorPath());
    EXPECT_EQ(store().valueForKey(QStringLiteral("Build")).toString(), QStringLiteral("Default"));
}

} // namespace
