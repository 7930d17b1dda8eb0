#include "input/PaneHelpers.h"

#include <QDateTime>
#include <QPushButton>
#include <QTest>
#include <QThread>

namespace {

const QString kKeyboard = QStringLiteral("Keyboard");
const QString kJoystick1 = QStringLiteral("Joystick 1");
const QString kDate = QStringLiteral("ControllersLastModifedDate");

using ControllerPaneTest = PaneTest;

TEST_F(ControllerPaneTest, LoadingShowsTitlesAndMappingWithoutArmingOrWriting)
{
    auto pane = std::make_unique<ControllerPreferencesViewController>();
    pane->view();
    QStringList titles;
    for (int i = 0; i < pane->popupButton()->count(); ++i)
        titles.append(pane->popupButton()->itemText(i));
    titles.sort();
    EXPECT_EQ(titles, (QStringList{kJoystick1, QStringLiteral("Joystick 2"), kKeyboard}));
    EXPECT_EQ(pane->tableModel()->rowCount(), 18);
    EXPECT_EQ(pane->tableModel()->index(0, MappingTableModel::NintendoColumn).data().toString(), QStringLiteral("A"));
    EXPECT_FALSE(pane->tableView()->isListening());
    EXPECT_EQ(pane->inputThread(), nullptr);
    EXPECT_FALSE(store().valueForKey(kDate).isValid());
}

TEST_F(ControllerPaneTest, StoringAdvancesWrapsAndSkipsEqualOrEmptyValues)
{
    auto pane = loadPane(kKeyboard);
    const int last = pane->tableModel()->rowCount() - 1;

    // Equal and empty values store nothing (no date either) but still move on.
    selectRow(*pane, 0);
    pane->setMappingValue(QStringLiteral("key(120)"));
    EXPECT_EQ(selectedRow(*pane), 1);
    pane->setMappingValue(QString());
    EXPECT_EQ(selectedRow(*pane), 2);
    EXPECT_EQ(shownValue(*pane, 1), QStringLiteral("key(99)"));
    EXPECT_FALSE(store().valueForKey(kDate).isValid());

    // The last row stores and wraps to row 0.
    selectRow(*pane, last);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    pane->keyPress(97);
    EXPECT_EQ(selectedRow(*pane), 0);
    EXPECT_EQ(shownValue(*pane, last), QStringLiteral("key(97)"));
    EXPECT_EQ(storedMapping(kKeyboard).value(last), QStringLiteral("key(97)"));
    const qint64 stamp = store().valueForKey(kDate).toDateTime().toSecsSinceEpoch();
    EXPECT_TRUE(stamp >= before && stamp <= QDateTime::currentSecsSinceEpoch());

    // A value with no row selected has nowhere to go and changes nothing.
    pane->tableView()->selectionModel()->clearSelection();
    pane->setMappingValue(QStringLiteral("key(98)"));
    EXPECT_EQ(selectedRow(*pane), -1);
    EXPECT_FALSE(storedMapping(kKeyboard).contains(QStringLiteral("key(98)")));
}

TEST_F(ControllerPaneTest, OneChangeWritesEveryRecordWithOtherKeysIntact)
{
    // Records with keys of their own beyond the usual five must keep them.
    QVariantMap controllers = shippedControllers();
    for (const QString &title : {QStringLiteral("Joystick 2"), kKeyboard}) {
        QVariantMap record = controllers.value(title).toMap();
        record.insert(QStringLiteral("Extra"), title);
        controllers.insert(title, record);
    }
    store().setValueForKey(QStringLiteral("Controllers"), controllers);

    auto pane = loadPane(kKeyboard);
    selectRow(*pane, 3);
    pane->keyPress(32);

    QVariantMap keyboard = controllers.value(kKeyboard).toMap();
    QVariantList mapping = keyboard.value(QStringLiteral("Mapping")).toList();
    mapping[3] = QStringLiteral("key(32)");
    keyboard.insert(QStringLiteral("Mapping"), mapping);
    controllers.insert(kKeyboard, keyboard);
    EXPECT_EQ(store().dictionaryForKey(QStringLiteral("Controllers")), controllers);
    EXPECT_TRUE(store().valueForKey(kDate).isValid());
}

TEST_F(ControllerPaneTest, SwitchingControllerRearmsKeyboardOrJoystick)
{
    auto pane = loadPane(kKeyboard);
    selectRow(*pane, 2);
    EXPECT_TRUE(pane->tableView()->isListening());
    EXPECT_EQ(pane->inputThread(), nullptr);

    choose(*pane, kJoystick1);
    EXPECT_EQ(selectedRow(*pane), 2);
    EXPECT_EQ(shownValue(*pane, 0), QStringLiteral("button(0)"));
    EXPECT_FALSE(pane->tableView()->isListening());
    QThread *thread = pane->inputThread();
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return thread->isRunning() || thread->isFinished(); }, 2000));

    // Back to the keyboard: the waiting thread is cancelled and the table listens.
    choose(*pane, kKeyboard);
    EXPECT_TRUE(pane->tableView()->isListening());
    EXPECT_EQ(shownValue(*pane, 0), QStringLiteral("key(120)"));
    EXPECT_TRUE(thread->wait(1000));
    EXPECT_EQ(selectedRow(*pane), 2);

    // Losing the selection leaves the capture as it was.
    pane->tableView()->selectionModel()->clearSelection();
    EXPECT_TRUE(pane->tableView()->isListening());
}

TEST_F(ControllerPaneTest, PopupAndTableWorkFromTheKeyboard)
{
    auto pane = loadPane(kKeyboard);
    QWidget *view = pane->view();
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    for (QWidget *control : std::initializer_list<QWidget *>{pane->popupButton(), pane->tableView(), pane->resetButton()})
        EXPECT_FALSE(control->accessibleName().isEmpty());

    // Arrow keys in the pop-up choose another controller, as a click would.
    QComboBox *popup = pane->popupButton();
    popup->setCurrentIndex(0);
    pane->popupItemSelected();
    popup->setFocus();
    const QString first = popup->currentText();
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_NE(popup->currentText(), first);
    EXPECT_EQ(shownValue(*pane, 0), storedMapping(popup->currentText()).value(0));

    // Not listening: arrows move the selection as in any table.
    choose(*pane, kKeyboard);
    pane->tableView()->setFocus();
    selectRow(*pane, 0);
    pane->tableView()->listenForKeys(false);
    sendKey(pane->tableView(), QEvent::KeyPress, Qt::Key_Down, Keys::Down);
    EXPECT_EQ(selectedRow(*pane), 1);
    view->hide();
}

TEST_F(ControllerPaneTest, ResetRestoresOnlyTheSelectedControllerFromTheBundleFile)
{
    // The registered fallbacks differ from the file, so a reset that read the store
    // instead of the bundle's file would be caught.
    QVariantMap controllers = shippedControllers();
    for (const QString &title : controllers.keys()) {
        QVariantMap record = controllers.value(title).toMap();
        record.insert(QStringLiteral("Mapping"), QVariantList(18, QStringLiteral("key(1)")));
        controllers.insert(title, record);
    }
    store().registerDefaults({{QStringLiteral("Controllers"), controllers}});

    auto pane = loadPane(kKeyboard);
    selectRow(*pane, 4);
    pane->resetToDefaults();
    EXPECT_EQ(storedMapping(kKeyboard), shippedControllers().value(kKeyboard).toMap().value(QStringLiteral("Mapping")).toStringList());
    EXPECT_EQ(shownValue(*pane, 0), QStringLiteral("key(120)"));
    EXPECT_EQ(storedMapping(kJoystick1).value(0), QStringLiteral("key(1)"));
    EXPECT_EQ(pane->popupButton()->currentText(), kKeyboard);
    EXPECT_EQ(selectedRow(*pane), 4);
    EXPECT_TRUE(store().valueForKey(kDate).isValid());
    // Other keys of the record survive the reset.
    EXPECT_EQ(store().dictionaryForKey(QStringLiteral("Controllers"))->value(kKeyboard).toMap().value(QStringLiteral("USBName")),
              QStringLiteral("Keyboard"));
}

} // namespace
