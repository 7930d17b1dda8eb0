#include "input/PaneHelpers.h"

#include "prefs/EmulatorPreferencesViewController.h"
#include "prefs/PrefrenceWindowController.h"
#include "prefs/VideoPreferencesViewController.h"

#include "ui_VideoPrefsView.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QToolBar>

namespace {

class PreferenceWindowTest : public PaneTest
{
protected:
    QWidget *open()
    {
        m_controller.showWindow(nullptr);
        QWidget *w = m_controller.window();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
        return w;
    }

    PrefrenceWindowController m_controller;
};

TEST_F(PreferenceWindowTest, OpensCentredOnTheVideoPaneWithOnlyThePaneItemsEnabledAndWritesNothing)
{
    QWidget *w = open();
    EXPECT_EQ(m_controller.currentController(), m_controller.videoVC());
    EXPECT_TRUE(m_controller.videoToolbarButton()->isChecked());
    EXPECT_FALSE(m_controller.controllerToolbarButton()->isChecked());
    EXPECT_EQ(m_controller.videoToolbarButton()->text(), QStringLiteral("Video"));
    EXPECT_EQ(m_controller.controllerToolbarButton()->text(), QStringLiteral("Controllers"));
    EXPECT_EQ(m_controller.emulatorToolbarButton()->text(), QStringLiteral("Emulator"));
    const QPoint screenCentre = w->screen()->availableGeometry().center();
    EXPECT_LE((w->frameGeometry().center() - screenCentre).manhattanLength(), 4);
    EXPECT_FALSE(m_controller.isWindowLoaded() && m_controller.controllerVC()->isViewLoaded());

    // The video pane shows the stored values and does not write them back.
    Ui::VideoPrefsView *ui = m_controller.videoVC()->ui();
    EXPECT_EQ(ui->videoPluginBox->currentText(), QStringLiteral("Crisp Renderer"));
    EXPECT_EQ(ui->videoPluginBox->count(), 3);
    EXPECT_EQ(ui->resolutionBox->currentText(), QStringLiteral("640x480"));
    EXPECT_FALSE(ui->fullscreenBox->isChecked());
    EXPECT_FALSE(QFile::exists(store().filePath()));
    for (QWidget *control : std::initializer_list<QWidget *>{ui->videoPluginBox, ui->resolutionBox, ui->fullscreenBox})
        EXPECT_FALSE(control->accessibleName().isEmpty());

    for (QAction *item : m_controller.prefsToolbar()->actions())
        EXPECT_TRUE(m_controller.validateToolbarItem(item) && item->isEnabled());
    QAction other(QStringLiteral("Other")), lower(QStringLiteral("video"));
    EXPECT_FALSE(m_controller.validateToolbarItem(&other) || m_controller.validateToolbarItem(&lower));
}

TEST_F(PreferenceWindowTest, VideoControlsStoreWhatTheUserChooses)
{
    open();
    Ui::VideoPrefsView *ui = m_controller.videoVC()->ui();
    ui->videoPluginBox->setFocus();
    QTest::keyClick(ui->videoPluginBox, Qt::Key_Down);
    EXPECT_EQ(store().valueForKey(QStringLiteral("VideoPlugin")).toString(), ui->videoPluginBox->currentText());
    EXPECT_NE(ui->videoPluginBox->currentText(), QStringLiteral("Crisp Renderer"));
    ui->fullscreenBox->click();
    EXPECT_TRUE(store().boolForKey(QStringLiteral("Fullscreen")));
    ui->resolutionBox->setFocus();
    ui->resolutionBox->lineEdit()->selectAll();
    QTest::keyClicks(ui->resolutionBox->lineEdit(), QStringLiteral("1440x1080"));
    // Half-typed text is not a resolution; it is stored once finished.
    EXPECT_EQ(store().valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("640x480"));
    QTest::keyClick(ui->resolutionBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(store().valueForKey(QStringLiteral("Resolution")).toString(), QStringLiteral("1440x1080"));
    ui->resolutionBox->setCurrentIndex(0);
    Q_EMIT ui->resolutionBox->activated(0);
    EXPECT_EQ(store().valueForKey(QStringLiteral("Resolution")).toString(), ui->resolutionBox->itemText(0));
}

TEST_F(PreferenceWindowTest, SwitchingPanesKeepsTopLeftAndSizesToTheNewPane)
{
    QWidget *w = open();
    w->move(100, 120);
    QTest::qWait(10);
    const QPoint topLeft = w->geometry().topLeft();
    const int toolbarHeight = m_controller.prefsToolbar()->sizeHint().height();

    m_controller.controllerToolbarButton()->trigger();
    EXPECT_EQ(m_controller.currentController(), m_controller.controllerVC());
    EXPECT_TRUE(m_controller.controllerToolbarButton()->isChecked());
    EXPECT_FALSE(m_controller.videoToolbarButton()->isChecked());
    EXPECT_EQ(w->geometry().topLeft(), topLeft);
    const QSize fromControllers = w->size();
    EXPECT_EQ(fromControllers, QSize(480, 520 + toolbarHeight));

    m_controller.emulatorToolbarButton()->trigger();
    EXPECT_EQ(w->geometry().topLeft(), topLeft);
    const QSize emulatorSize = w->size();
    EXPECT_EQ(emulatorSize, QSize(460, 120 + toolbarHeight));

    // The same size whichever pane was shown before, and whatever the user did to the window.
    m_controller.videoToolbarButton()->trigger();
    w->resize(700, 650);
    m_controller.emulatorToolbarButton()->trigger();
    EXPECT_EQ(w->size(), emulatorSize);
    EXPECT_EQ(w->geometry().topLeft(), topLeft);

    // Choosing the pane already shown does nothing at all.
    w->resize(600, 400);
    m_controller.emulatorToolbarButton()->trigger();
    EXPECT_EQ(w->size(), QSize(600, 400));
    EXPECT_EQ(m_controller.currentController(), m_controller.emulatorVC());
    EXPECT_EQ(m_controller.targetView()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}

TEST_F(PreferenceWindowTest, ShortcutsChoosePanes)
{
    QWidget *w = open();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(m_controller.currentController(), m_controller.controllerVC());
    QTest::keyClick(w, Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(m_controller.currentController(), m_controller.emulatorVC());
    EXPECT_TRUE(m_controller.emulatorToolbarButton()->isChecked());
    QTest::keyClick(w, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(m_controller.currentController(), m_controller.videoVC());
}

TEST_F(PreferenceWindowTest, ClosingStopsAWaitingCaptureAndReopensWhereLeftOnThePaneLastShown)
{
    QWidget *w = open();
    m_controller.controllerToolbarButton()->trigger();
    ControllerPreferencesViewController *pane = m_controller.controllerVC();
    choose(*pane, QStringLiteral("Joystick 1"));
    selectRow(*pane, 0);
    QThread *thread = pane->inputThread();
    ASSERT_NE(thread, nullptr);
    w->move(30, 40);
    QTest::qWait(10);
    const QRect geometry = w->geometry();
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(thread->wait(1000));

    QWidget *again = open();
    EXPECT_EQ(again, w);
    EXPECT_EQ(m_controller.currentController(), m_controller.controllerVC());
    EXPECT_TRUE(m_controller.controllerToolbarButton()->isChecked());
    EXPECT_EQ(again->geometry(), geometry);
}

} // namespace
