#include "input/PaneHelpers.h"

#include "platform/Bundle.h"

#include <QTest>
#include <QThread>

namespace {

const QString kKeyboard = QStringLiteral("Keyboard");
const QString kJoystick1 = QStringLiteral("Joystick 1");
const QString kDate = QStringLiteral("ControllersLastModifedDate");

UserDefaults &store()
{
    return UserDefaults::standardUserDefaults();
}

QString shownValue(const ControllerPreferencesViewController &pane, int row)
{
    return pane.tableModel()->index(row, MappingTableModel::YourColumn).data().toString();
}

QVariantMap shippedControllers()
{
    const QString path = Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist"));
    return Bundle::dictionaryWithContentsOfFile(path).value_or(QVariantMap()).value(QStringLiteral("Controllers")).toMap();
}

TEST(ControllerPaneTest, ValuesStoreInTheSelectedRowAdvanceWrapAndKeepOtherRecordsAndKeysIntact)
{
    TestWorld world;
    // Records with keys of their own beyond the usual five must keep them.
    QVariantMap controllers = shippedControllers();
    for (const QString &title : {kJoystick1, kKeyboard}) {
        QVariantMap record = controllers.value(title).toMap();
        record.insert(QStringLiteral("Extra"), title);
        controllers.insert(title, record);
    }
    store().registerDefaults({{QStringLiteral("Controllers"), controllers}});
    auto pane = loadPane(kKeyboard);
    EXPECT_EQ(pane->tableModel()->index(0, MappingTableModel::NintendoColumn).data().toString(), QStringLiteral("A"));
    EXPECT_EQ(shownValue(*pane, 0), QStringLiteral("key(120)"));
    EXPECT_FALSE(pane->tableView()->isListening() || pane->inputThread() || QFile::exists(store().filePath()));

    // Equal and empty values store nothing (no date either) but still move on.
    selectRow(*pane, 0);
    pane->setMappingValue(QStringLiteral("key(120)"));
    pane->setMappingValue(QString());
    EXPECT_EQ(selectedRow(*pane), 2);
    EXPECT_FALSE(store().valueForKey(kDate).isValid());
    // The last row stores and wraps to row 0.
    const int last = pane->tableModel()->rowCount() - 1;
    selectRow(*pane, last);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    pane->keyPress(97);
    EXPECT_EQ(selectedRow(*pane), 0);
    EXPECT_EQ(shownValue(*pane, last), QStringLiteral("key(97)"));
    const QDateTime stamp = store().valueForKey(kDate).toDateTime();
    EXPECT_TRUE(stamp >= before && stamp <= QDateTime::currentDateTime());
    QVariantMap keyboard = controllers.value(kKeyboard).toMap();
    QVariantList mapping = keyboard.value(QStringLiteral("Mapping")).toList();
    mapping[last] = QStringLiteral("key(97)");
    keyboard.insert(QStringLiteral("Mapping"), mapping);
    controllers.insert(kKeyboard, keyboard);
    EXPECT_EQ(store().dictionaryForKey(QStringLiteral("Controllers")), controllers);

    // A value with no row selected has nowhere to go.
    pane->tableView()->selectionModel()->clearSelection();
    pane->setMappingValue(QStringLiteral("key(98)"));
    EXPECT_EQ(store().dictionaryForKey(QStringLiteral("Controllers")), controllers);
}

TEST(ControllerPaneTest, SwitchingControllerRearmsKeyboardOrJoystickAndResetRestoresOnlyItFromTheBundle)
{
    TestWorld world;
    // The fallbacks differ from the bundle's file, so a reset that read the store is caught.
    QVariantMap controllers = shippedControllers();
    for (const QString &title : controllers.keys()) {
        QVariantMap record = controllers.value(title).toMap();
        record.insert(QStringLiteral("Mapping"), QVariantList(18, QStringLiteral("key(1)")));
        controllers.insert(title, record);
    }
    store().registerDefaults({{QStringLiteral("Controllers"), controllers}});
    auto pane = loadPane(kKeyboard);
    selectRow(*pane, 2);
    EXPECT_TRUE(pane->tableView()->isListening());
    choose(*pane, kJoystick1);
    EXPECT_EQ(selectedRow(*pane), 2);
    EXPECT_FALSE(pane->tableView()->isListening());
    QThread *thread = pane->inputThread();
    ASSERT_NE(thread, nullptr);
    // Back to the keyboard: the waiting thread is cancelled and the table listens.
    choose(*pane, kKeyboard);
    EXPECT_TRUE(pane->tableView()->isListening());
    EXPECT_TRUE(thread->wait(kTimeoutMs));

    pane->resetToDefaults();
    EXPECT_EQ(storedMapping(kKeyboard), shippedControllers().value(kKeyboard).toMap().value(QStringLiteral("Mapping")).toStringList());
    EXPECT_EQ(shownValue(*pane, 0), QStringLiteral("key(120)"));
    EXPECT_EQ(storedMapping(kJoystick1).value(0), QStringLiteral("key(1)"));
    EXPECT_EQ(pane->popupButton()->currentText(), kKeyboard);
    EXPECT_EQ(selectedRow(*pane), 2);
    EXPECT_TRUE(store().valueForKey(kDate).isValid());
    EXPECT_EQ(store().dictionaryForKey(QStringLiteral("Controllers"))->value(kKeyboard).toMap().value(QStringLiteral("USBName")), kKeyboard);
}

} // namespace
