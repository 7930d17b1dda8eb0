#include "PaneHelpers.h"
#include "SettingsFixture.h"

#include "input/MappingValue.h"

#include <QDateTime>
#include <QPushButton>
#include <QTest>
#include <QThread>

namespace {

const QString kKeyboard = QStringLiteral("Keyboard");
const QString kJoystick1 = QStringLiteral("Joystick 1");

class ControllerPaneTest : public SettingsFixture
{
};

TEST_F(ControllerPaneTest, MappingValueForms)
{
    EXPECT_EQ(MappingValue::key(97), QStringLiteral("key(97)"));
    EXPECT_EQ(MappingValue::button(0), QStringLiteral("button(0)"));
    EXPECT_EQ(MappingValue::axis(2, '+'), QStringLiteral("axis(2+)"));
    EXPECT_EQ(MappingValue::axis(1, '-'), QStringLiteral("axis(1-)"));
}

TEST_F(ControllerPaneTest, LoadingShowsTitlesAndMappingWithoutArming)
{
    auto pane = std::make_unique<ControllerPreferencesViewController>();
    pane->view();
    QStringList titles;
    for (int i = 0; i < pane->popupButton()->count(); ++i)
        titles.append(pane->popupButton()->itemText(i));
    titles.sort();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Joystick 1"), QStringLiteral("Joystick 2"), kKeyboard}));
    EXPECT_EQ(pane->tableModel()->rowCount(), 18);
    EXPECT_EQ(pane->tableModel()->index(0, MappingTableModel::NintendoColumn).data().toString(), QStringLiteral("A"));
    EXPECT_FALSE(pane->tableView()->isListening());
    EXPECT_EQ(pane->inputThread(), nullptr);
    // Loading writes nothing.
    EXPECT_FALSE(store().valueForKey(QStringLiteral("ControllersLastModifedDate")).isValid());
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
    EXPECT_FALSE(store().valueForKey(QStringLiteral("ControllersLastModifedDate")).isValid());

    // The last row stores and wraps to row 0.
    selectRow(*pane, last);
    const QDateTime before = QDateTime::currentDateTime();
    pane->keyPress(97);
    const QDateTime after = QDateTime::currentDateTime();
    EXPECT_EQ(selectedRow(*pane), 0);
    EXPECT_EQ(shownValue(*pane, last), QStringLiteral("key(97)"));
    EXPECT_EQ(storedMapping(kKeyboard).value(last), QStringLiteral("key(97)"));
    const QDateTime stamp = store().valueForKey(QStringLiteral("ControllersLastModifedDate")).toDateTime();
    EXPECT_GE(stamp.toSecsSinceEpoch(), before.toSecsSinceEpoch());
    EXPECT_LE(stamp.toSecsSinceEpoch(), after.toSecsSinceEpoch());

    // A value with no row selected has nowhere to go and changes nothing.
    pane->tableView()->selectionModel()->clearSelection();
    pane->setMappingValue(QStringLiteral("key(98)"));
    EXPECT_EQ(selectedRow(*pane), -1);
    EXPECT_EQ(storedMapping(kKeyboard).count(QStringLiteral("key(98)")), 0);
}

TEST_F(ControllerPaneTest, OneChangeWritesEveryRecordWithOtherKeysIntact)
{
    // A record with a key of its own beyond the usual five must keep it.
    QVariantMap controllers = m_shipped.value(QStringLiteral("Controllers")).toMap();
    QVariantMap joystick2 = controllers.value(QStringLiteral("Joystick 2")).toMap();
    joystick2.insert(QStringLiteral("Extra"), QStringLiteral("kept"));
    controllers.insert(QStringLiteral("Joystick 2"), joystick2);
    QVariantMap keyboard = controllers.value(kKeyboard).toMap();
    keyboard.insert(QStringLiteral("Extra"), 42);
    controllers.insert(kKeyboard, keyboard);
    store().setValueForKey(QStringLiteral("Controllers"), controllers);

    auto pane = loadPane(kKeyboard);
    selectRow(*pane, 3);
    pane->keyPress(32);

    const QVariantMap stored = store().dictionaryForKey(QStringLiteral("Controllers")).value();
    ASSERT_EQ(stored.size(), controllers.size());
    EXPECT_EQ(stored.value(QStringLiteral("Joystick 1")), controllers.value(QStringLiteral("Joystick 1")));
    EXPECT_EQ(stored.value(QStringLiteral("Joystick 2")), joystick2);
    QVariantMap expectedKeyboard = keyboard;
    QVariantList mapping = keyboard.value(QStringLiteral("Mapping")).toList();
    mapping[3] = QStringLiteral("key(32)");
    expectedKeyboard.insert(QStringLiteral("Mapping"), mapping);
    EXPECT_EQ(stored.value(kKeyboard), expectedKeyboard);
    EXPECT_TRUE(store().valueForKey(QStringLiteral("ControllersLastModifedDate")).isValid());
}

TEST_F(ControllerPaneTest, SwitchingControllerRearmsKeyboardOrJoystick)
{
    auto pane = loadPane(kKeyboard);
    selectRow(*pane, 2);
    EXPECT_TRUE(pane->tableView()->isListening());
    EXPECT_EQ(pane->inputThread(), nullptr);

    QComboBox *popup = pane->popupButton();
    popup->setCurrentIndex(popup->findText(kJoystick1));
    pane->popupItemSelected();
    EXPECT_EQ(selectedRow(*pane), 2);
    EXPECT_EQ(shownValue(*pane, 0), QStringLiteral("button(0)"));
    EXPECT_FALSE(pane->tableView()->isListening());
    QThread *thread = pane->inputThread();
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return thread->isRunning() || thread->isFinished(); }, 2000));

    // Back to the keyboard: the waiting thread is cancelled and the table listens.
    popup->setCurrentIndex(popup->findText(kKeyboard));
    pane->popupItemSelected();
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
    EXPECT_FALSE(pane->popupButton()->accessibleName().isEmpty());
    EXPECT_FALSE(pane->tableView()->accessibleName().isEmpty());
    EXPECT_FALSE(pane->resetButton()->accessibleName().isEmpty());

    QComboBox *popup = pane->popupButton();
    popup->setCurrentIndex(0);
    pane->popupItemSelected();
    popup->setFocus();
    // Arrow keys in the pop-up choose another controller, as a click would.
    const QString first = popup->currentText();
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_NE(popup->currentText(), first);
    EXPECT_EQ(shownValue(*pane, 0), storedMapping(popup->currentText()).value(0));

    // Not listening (no row yet): arrows move the selection as in any table.
    popup->setCurrentIndex(popup->findText(kKeyboard));
    pane->popupItemSelected();
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
    QVariantMap fallbacks = m_shipped;
    QVariantMap controllers = fallbacks.value(QStringLiteral("Controllers")).toMap();
    for (const QString &title : controllers.keys()) {
        QVariantMap record = controllers.value(title).toMap();
        QVariantList mapping;
        for (int i = 0; i < 18; ++i)
            mapping.append(QStringLiteral("key(1)"));
        record.insert(QStringLiteral("Mapping"), mapping);
        controllers.insert(title, record);
    }
    fallbacks.insert(QStringLiteral("Controllers"), controllers);
    store().registerDefaults(fallbacks);

    auto pane = loadPane(kKeyboard);
    selectRow(*pane, 4);
    pane->resetToDefaults();

    const QStringList shippedKeyboard = [&] {
        QStringList list;
        for (const QVariant &v : m_shipped.value(QStringLiteral("Controllers")).toMap().value(kKeyboard).toMap().value(QStringLiteral("Mapping")).toList())
            list.append(v.toString());
        return list;
    }();
    EXPECT_EQ(storedMapping(kKeyboard), shippedKeyboard);
    EXPECT_EQ(shownValue(*pane, 0), QStringLiteral("key(120)"));
    EXPECT_EQ(storedMapping(kJoystick1).value(0), QStringLiteral("key(1)"));
    EXPECT_EQ(pane->popupButton()->currentText(), kKeyboard);
    EXPECT_EQ(selectedRow(*pane), 4);
    EXPECT_TRUE(store().valueForKey(QStringLiteral("ControllersLastModifedDate")).isValid());
    // Other keys of the record survive the reset.
    EXPECT_EQ(store().dictionaryForKey(QStringLiteral("Controllers"))->value(kKeyboard).toMap().value(QStringLiteral("USBName")),
              QStringLiteral("Keyboard"));
}

} // namespace
