#include "input/PaneHelpers.h"

#include "prefs/GameSettingsWindowController.h"
#include "prefs/VideoPreferencesViewController.h"

#include "ui_VideoPrefsView.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

QVariantMap gameEntry(const QString &md5)
{
    return UserDefaults::standardUserDefaults().dictionaryForKey(EffectiveSettings::kGameSettingsKey)
        .value_or(QVariantMap()).value(md5).toMap();
}

} // namespace

TEST(GameSettingsWindowTest, GroupsEditTheGamesOwnCopyAndTheMappingIsDiscardedOnlyWhenConfirmed)
{
    TestWorld world;
    const QString md5 = QStringLiteral("00112233445566778899aabbccddeeff");
    GameSettingsWindowController controller(EffectiveSettings(md5, QStringLiteral("SUPER GAME")));
    QWidget *window = controller.window(); // loaded before it shows, as the Game Settings command does
    controller.showWindow(nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Game Settings — SUPER GAME"));
    // The mapping editor opens showing its whole table, or as tall as the screen.
    const QRect area = window->screen()->availableGeometry();
    const QTableView *table = controller.controllerVC()->tableView();
    EXPECT_TRUE(area.contains(window->frameGeometry()));
    EXPECT_TRUE(table->verticalHeader()->length() <= table->viewport()->height() || window->frameGeometry().height() == area.height())
        << table->viewport()->height() << " px of the rows' " << table->verticalHeader()->length();
    Ui::VideoPrefsView *video = controller.videoVC()->ui();
    EXPECT_FALSE(video->resolutionBox->isEnabled()) << "the global setting is in use";

    controller.globalBox(EffectiveSettings::Video)->click();
    controller.globalBox(EffectiveSettings::Controllers)->click();
    // Every control is on the keyboard's way round the window.
    QSet<QWidget *> reached;
    for (int i = 0; i < 200; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
        reached.insert(QApplication::focusWidget());
    for (QCheckBox *box : {controller.globalBox(EffectiveSettings::Video), controller.globalBox(EffectiveSettings::Emulator),
                           controller.globalBox(EffectiveSettings::Controllers)})
        EXPECT_TRUE(reached.contains(box));
    ASSERT_TRUE(video->resolutionBox->isEnabled());
    video->resolutionBox->lineEdit()->selectAll();
    QTest::keyClicks(video->resolutionBox->lineEdit(), QStringLiteral("1920x1080"));
    QTest::keyClick(video->resolutionBox->lineEdit(), Qt::Key_Return);
    for (QWidget *control : {static_cast<QWidget *>(video->videoPluginBox), static_cast<QWidget *>(video->fullscreenBox),
                             static_cast<QWidget *>(controller.controllerVC()->tableView())})
        EXPECT_TRUE(reached.contains(control));
    ControllerPreferencesViewController &pane = *controller.controllerVC();
    // The pad's controls keep their letters beside the other panes' (Alt+N, Alt+L).
    choose(pane, QStringLiteral("Joystick 1"));
    QTest::keyClick(window, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), pane.usbNameBox());
    QSignalSpy layoutPressed(pane.layoutButton(), &QPushButton::clicked);
    QTest::keyClick(window, Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(layoutPressed.wait(1000));
    choose(pane, QStringLiteral("Keyboard"));
    selectRow(pane, 0);
    sendKey(pane.tableView(), QEvent::KeyPress, Qt::Key_Q, 0x71, QStringLiteral("q"));
    EXPECT_EQ(gameEntry(md5).value(QStringLiteral("Resolution")), QStringLiteral("1920x1080"));
    EXPECT_EQ(gameEntry(md5).value(QStringLiteral("Controllers")).toMap().value(QStringLiteral("Keyboard")).toMap()
                  .value(QStringLiteral("Mapping")).toList().value(0), QStringLiteral("key(113)"));
    EXPECT_EQ(UserDefaults::standardUserDefaults().valueForKey(QStringLiteral("Resolution")), QStringLiteral("640x480"));
    EXPECT_EQ(storedMapping(QStringLiteral("Keyboard")).value(0), QStringLiteral("key(120)"));

    // Going back to the global mapping asks first; Cancel keeps the game's own.
    for (const bool discard : {false, true}) {
        controller.globalBox(EffectiveSettings::Controllers)->click();
        ASSERT_TRUE(controller.discardQuestion());
        QMessageBox *question = controller.discardQuestion();
        for (QAbstractButton *button : question->buttons()) {
            if ((question->buttonRole(button) == QMessageBox::DestructiveRole) == discard)
                button->click();
        }
        EXPECT_EQ(gameEntry(md5).contains(QStringLiteral("Controllers")), !discard);
        EXPECT_EQ(controller.globalBox(EffectiveSettings::Controllers)->isChecked(), discard);
    }
    controller.globalBox(EffectiveSettings::Video)->click();
    EXPECT_FALSE(UserDefaults::standardUserDefaults().valueForKey(EffectiveSettings::kGameSettingsKey).isValid());
}
