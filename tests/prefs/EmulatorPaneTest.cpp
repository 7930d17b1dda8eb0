#include "input/PaneHelpers.h"

#include "launch/EmulatorSupervisor.h"
#include "prefs/ClickActionTextField.h"
#include "prefs/EmulatorPreferencesViewController.h"
#include "rom/ROM.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTest>
#include <QUrl>

namespace {

const QString kBuild = QStringLiteral("Build");
const QString kPath = QStringLiteral("CustomBuildPath");

class EmulatorPaneTest : public PaneTest
{
protected:
    void choose(const QString &title)
    {
        QComboBox *selector = m_pane.buildSelector();
        selector->setFocus();
        // The user's way: arrow keys in the pop-up send its action as a click would.
        const int target = selector->findData(title);
        while (selector->currentIndex() != target)
            QTest::keyClick(selector, selector->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    }

    QFileDialog *clickField()
    {
        QTest::mouseClick(m_pane.buildPathField(), Qt::LeftButton);
        return m_pane.fileChooser();
    }

    EmulatorPreferencesViewController m_pane;
};

TEST_F(EmulatorPaneTest, FirstOpenShowsTheStoredCustomChoiceWithoutWriting)
{
    store().setValueForKey(kBuild, QStringLiteral("Custom"));
    store().setValueForKey(kPath, QStringLiteral("/opt/tolvane/bin/tolvane-console"));
    ASSERT_TRUE(QFile::remove(store().filePath()));

    m_pane.view();
    EXPECT_EQ(m_pane.buildSelector()->currentData().toString(), QStringLiteral("Custom"));
    EXPECT_TRUE(m_pane.buildPathField()->isEnabled());
    EXPECT_EQ(m_pane.buildPathField()->text(), QStringLiteral("/opt/tolvane/bin/tolvane-console"));
    EXPECT_FALSE(QFile::exists(store().filePath()));
    EXPECT_FALSE(m_pane.buildSelector()->accessibleName().isEmpty());
    EXPECT_FALSE(m_pane.buildPathField()->accessibleName().isEmpty());
}

TEST_F(EmulatorPaneTest, DefaultEmptiesAndDisablesButKeepsThePath)
{
    m_pane.view()->show();
    EXPECT_EQ(m_pane.buildSelector()->currentData().toString(), QStringLiteral("Default"));
    EXPECT_FALSE(m_pane.buildPathField()->isEnabled());

    // A click on the disabled field opens nothing.
    EXPECT_EQ(clickField(), nullptr);

    choose(QStringLiteral("Custom"));
    EXPECT_TRUE(m_pane.buildPathField()->isEnabled());
    EXPECT_EQ(m_pane.buildPathField()->text(), QString());
    EXPECT_EQ(store().valueForKey(kBuild).toString(), QStringLiteral("Custom"));

    store().setValueForKey(kPath, QStringLiteral("/somewhere/tolvane"));
    choose(QStringLiteral("Default"));
    EXPECT_FALSE(m_pane.buildPathField()->isEnabled());
    EXPECT_EQ(m_pane.buildPathField()->text(), QString());
    EXPECT_EQ(store().valueForKey(kBuild).toString(), QStringLiteral("Default"));
    EXPECT_EQ(store().valueForKey(kPath).toString(), QStringLiteral("/somewhere/tolvane"));

    choose(QStringLiteral("Custom"));
    EXPECT_EQ(m_pane.buildPathField()->text(), QStringLiteral("/somewhere/tolvane"));
}

TEST_F(EmulatorPaneTest, ChooserCancelChangesNothingConfirmWritesOnlyThePath)
{
    const QString dir = world.path(QStringLiteral("builds"));
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString oldPath = dir + QStringLiteral("/old-console");
    store().setValueForKey(kBuild, QStringLiteral("Custom"));
    store().setValueForKey(kPath, oldPath);
    m_pane.view()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_pane.view()));

    QFileDialog *chooser = clickField();
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(QDir(chooser->directory()).absolutePath(), QDir(dir).absolutePath());
    EXPECT_EQ(chooser->fileMode(), QFileDialog::ExistingFile);
    EXPECT_TRUE(chooser->filter() & QDir::Hidden);
    chooser->reject();
    EXPECT_EQ(m_pane.fileChooser(), nullptr);
    EXPECT_EQ(m_pane.buildPathField()->text(), oldPath);
    EXPECT_EQ(store().valueForKey(kPath).toString(), oldPath);

    // Enter in the field opens the chooser too.
    m_pane.buildPathField()->setFocus();
    QTest::keyClick(m_pane.buildPathField(), Qt::Key_Return);
    chooser = m_pane.fileChooser();
    ASSERT_NE(chooser, nullptr);
    store().setValueForKey(kBuild, QStringLiteral("Default"));
    const QString fake = TestWorld::fakeEmulatorPath();
    chooser->selectFile(fake);
    static_cast<QDialog *>(chooser)->accept(); // QFileDialog::accept, as its Open button does
    EXPECT_EQ(m_pane.buildPathField()->text(), fake);
    EXPECT_EQ(store().valueForKey(kPath).toString(), fake);
    EXPECT_EQ(store().valueForKey(kBuild).toString(), QStringLiteral("Default"));
}

// The road a user takes: choose the custom build and map keys; the next Play starts that
// build, and the InputAutoCfg.ini it finds holds the keys.
TEST_F(EmulatorPaneTest, NextPlayStartsTheChosenBuildWithTheCapturedKeys)
{
    const QString fake = TestWorld::fakeEmulatorPath();
    m_pane.view()->show();
    choose(QStringLiteral("Custom"));
    QFileDialog *chooser = clickField();
    ASSERT_NE(chooser, nullptr);
    chooser->selectFile(fake);
    static_cast<QDialog *>(chooser)->accept(); // QFileDialog::accept, as its Open button does

    auto controllers = loadPane(QStringLiteral("Keyboard"));
    selectRow(*controllers, 0);
    sendKey(controllers->tableView(), QEvent::KeyPress, Qt::Key_Up, Keys::Up);
    sendKey(controllers->tableView(), QEvent::KeyRelease, Qt::Key_Up, Keys::Up);
    sendKey(controllers->tableView(), QEvent::KeyPress, Qt::Key_Shift, Keys::Shift_L);
    sendKey(controllers->tableView(), QEvent::KeyRelease, Qt::Key_Shift, Keys::Shift_L);
    sendKey(controllers->tableView(), QEvent::KeyPress, Qt::Key_A, Keys::a, QStringLiteral("a"));
    EXPECT_EQ(storedMapping(QStringLiteral("Keyboard")).mid(0, 3),
              (QStringList{QStringLiteral("key(273)"), QStringLiteral("key(304)"), QStringLiteral("key(97)")}));

    ROM rom;
    rom.setFilePath(QUrl::fromLocalFile(world.writeRom(QStringLiteral("game.z64"))));
    EmulatorSupervisor supervisor;
    supervisor.setBundlePath(world.resourcePath());
    supervisor.readEmulatorConfig();
    supervisor.playPressed(&rom);
    ASSERT_TRUE(world.waitForRecord());
    EXPECT_EQ(world.recordedArguments().value(0), fake);
    const QByteArray ini = world.recordedIni();
    const qsizetype up = ini.indexOf("key(273)");
    EXPECT_GE(up, 0);
    EXPECT_GT(ini.indexOf("key(304)"), up);
    EXPECT_GT(ini.indexOf("key(97)"), ini.indexOf("key(304)"));
    supervisor.stopPressed();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !supervisor.task(); }, kTimeoutMs));
}

} // namespace
