#include "input/PaneHelpers.h"

#include "platform/Bundle.h"
#include "platform/PropertyList.h"
#include "platform/SettingsFileWatcher.h"

#include <QTest>
#include <QTranslator>

#include <cstdio>

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
    return pane.tableViewObjectValue(MappingTableModel::YourColumn, row);
}

QVariantMap shippedControllers()
{
    const QString path = Bundle::mainBundle().pathForResource(QStringLiteral("Defaults"), QStringLiteral("plist"));
    return Bundle::dictionaryWithContentsOfFile(path).value_or(QVariantMap()).value(QStringLiteral("Controllers")).toMap();
}

// Shows the title "Keyboard" in French, as a translation would.
class TitleTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        return qstrcmp(context, "ControllerRecord") == 0 && qstrcmp(source, "Keyboard") == 0 ? QStringLiteral("Clavier") : QString();
    }
};

TEST(ControllerPaneTest, ValuesStoreInTheSelectedRowAdvanceWrapAndKeepOtherRecordsAndKeysIntact)
{
    TestWorld world;
    TitleTranslator french;
    QCoreApplication::installTranslator(&french);
    // Records with keys of their own beyond the usual five must keep them.
    QVariantMap controllers = shippedControllers();
    for (const QString &title : {kJoystick1, kKeyboard}) {
        QVariantMap record = controllers.value(title).toMap();
        record.insert(QStringLiteral("Extra"), title);
        controllers.insert(title, record);
    }
    store().registerDefaults({{QStringLiteral("Controllers"), controllers}});
    auto pane = loadPane(kKeyboard);
    EXPECT_EQ(pane->popupButton()->currentText(), QStringLiteral("Clavier"));
    // Keys have no pad layout and no pad's name.
    EXPECT_FALSE(pane->layoutButton()->isEnabled() || pane->usbNameBox()->isEnabled());
    EXPECT_EQ(pane->tableModel()->index(0, MappingTableModel::NintendoColumn).data().toString(), QStringLiteral("A"));
    EXPECT_EQ(shownValue(*pane, 0), QStringLiteral("key(120)"));
    EXPECT_FALSE(pane->tableView()->isListening() || pane->isCapturingFromPads() || QFile::exists(store().filePath()));

    // Equal and empty values store nothing (no date either) but still move on.
    selectRow(*pane, 0);
    pane->setMappingValue(QStringLiteral("key(120)"));
    pane->setMappingValue(QString());
    EXPECT_TRUE(selectedRow(*pane) == 2 && pane->tableView()->isListening());
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
    pane->view()->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pane->view(), kTimeoutMs));
    selectRow(*pane, 2);
    EXPECT_TRUE(pane->tableView()->isListening());
    choose(*pane, kJoystick1);
    EXPECT_TRUE(!pane->tableView()->isListening() && pane->isCapturingFromPads());
    // Back to the keyboard: the pad capture is cancelled and the table listens.
    choose(*pane, kKeyboard);
    EXPECT_TRUE(pane->tableView()->isListening() && !pane->isCapturingFromPads());

    pane->resetToDefaults();
    EXPECT_EQ(storedMapping(kKeyboard), shippedControllers().value(kKeyboard).toMap().value(QStringLiteral("Mapping")).toStringList());
    EXPECT_EQ(shownValue(*pane, 0), QStringLiteral("key(120)"));
    EXPECT_EQ(storedMapping(kJoystick1).value(0), QStringLiteral("key(1)"));
    EXPECT_TRUE(store().valueForKey(kDate).isValid());
    EXPECT_EQ(store().dictionaryForKey(QStringLiteral("Controllers"))->value(kKeyboard).toMap().value(QStringLiteral("USBName")), kKeyboard);
}

// Editors save by renaming a new file over the old one, or by writing it in place.
TEST(ControllerPaneTest, HandEditsOfControllersReachTheOpenPaneAndAChoiceInThePopUpGivesTheTableTheKeys)
{
    TestWorld world;
    SettingsFileWatcher watcher(&store());
    auto pane = loadPane(QStringLiteral("Joystick 2"));
    pane->view()->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pane->view(), kTimeoutMs));
    selectRow(*pane, 1);
    pane->popupButton()->setFocus();
    QTest::keyClick(pane->popupButton(), Qt::Key_Down);
    ASSERT_EQ(pane->popupButton()->currentText(), kKeyboard);
    EXPECT_TRUE(pane->tableView()->hasFocus() && pane->tableView()->isListening());
    pane->keyPress(97);

    const auto handEdit = [&](const char *value, bool replace) {
        QVariantMap onDisk = PropertyList::fromData(readFile(store().filePath())).value_or(QVariant()).toMap();
        QVariantMap controllers = onDisk.value(QStringLiteral("Controllers")).toMap();
        QVariantMap keyboard = controllers.value(kKeyboard).toMap();
        QVariantList mapping = keyboard.value(QStringLiteral("Mapping")).toList();
        mapping[1] = QString::fromLatin1(value);
        keyboard.insert(QStringLiteral("Mapping"), mapping), controllers.insert(kKeyboard, keyboard);
        onDisk.insert(QStringLiteral("Controllers"), controllers);
        const QString written = world.writeFile(replace ? QStringLiteral("new.plist") : QStringLiteral("home/.config/tolvane-launcher/settings.plist"),
                                                PropertyList::toXml(onDisk));
        ASSERT_TRUE(!replace || std::rename(QFile::encodeName(written), QFile::encodeName(store().filePath())) == 0);
    };
    ASSERT_EQ(shownValue(*pane, 1), QStringLiteral("key(97)"));
    handEdit("key(98)", true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownValue(*pane, 1) == QStringLiteral("key(98)"); }, kTimeoutMs));
    handEdit("key(99)", false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownValue(*pane, 1) == QStringLiteral("key(99)"); }, kTimeoutMs));
    EXPECT_TRUE(selectedRow(*pane) == 2 && pane->tableView()->isListening());
}

TEST(KeyTableTest, EveryTranslatedKeyGivesItsSdlNumber)
{
    // X11 keysym, SDL 1.2 key number.
    const std::pair<quint32, int> keys[] = {
        {0xffec, 312}, {0xffeb, 311}, {0xffe1, 304}, {0xffe5, 301}, {0xffe9, 308}, {0xffe3, 306}, {0xffe2, 303},
        {0xffea, 307}, {0xfe03, 307}, {0xffe4, 305}, {0xff51, 276}, {0xff53, 275}, {0xff54, 274}, {0xff52, 273}};
    for (const auto &[keysym, number] : keys) {
        const std::optional<quint16> code = InputTableView::platformKeyCode(keysym);
        ASSERT_TRUE(code.has_value()) << std::hex << keysym;
        EXPECT_EQ(InputTableView::keyNumberForKeyCode(*code), number) << std::hex << keysym;
    }
    EXPECT_FALSE(InputTableView::platformKeyCode(0x61) || InputTableView::platformKeyCode(0xffe7));
}

// The Keyboard record with its first row selected, so the table listens.
TEST(KeyCaptureTest, EachPressStoresOnceAndKeysWithoutTextByTheirSymbol)
{
    TestWorld world;
    auto pane = loadPane(kKeyboard);
    InputTableView *table = pane->tableView();
    const QStringList shipped = storedMapping(kKeyboard);
    selectRow(*pane, 0);
    ASSERT_TRUE(table->isListening());
    const auto key = [table](QEvent::Type type, int qtKey, quint32 keysym, const char *text = "", bool repeat = false) {
        sendKey(table, type, qtKey, keysym, QString::fromLatin1(text), repeat);
    };
    const auto press = QEvent::KeyPress;
    const auto release = QEvent::KeyRelease;
    testing::internal::CaptureStdout();
    key(press, Qt::Key_A, 0x61, "a");
    for (int i = 0; i < 2; ++i) // held: auto-repeat pairs store nothing more
        key(release, Qt::Key_A, 0x61, "a", true), key(press, Qt::Key_A, 0x61, "a", true);
    EXPECT_FALSE(table->isReadyForInput());
    key(release, Qt::Key_A, 0x61, "a");
    key(press, Qt::Key_Return, 0xff0d, "\r"), key(release, Qt::Key_Return, 0xff0d, "\r");
    // A key without text by its symbol; Meta, a modifier with no key code, by its symbol at its release.
    key(press, Qt::Key_F1, 0xffbe), key(release, Qt::Key_F1, 0xffbe), key(press, Qt::Key_Meta, 0xffe7);
    EXPECT_EQ(selectedRow(*pane), 3);
    key(release, Qt::Key_Meta, 0xffe7);
    // An arrow stores in its row and selects only the next, not one further.
    key(press, Qt::Key_Down, 0xff54), key(release, Qt::Key_Down, 0xff54);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Char: a, ASCII: 97\nChar: \r, ASCII: 13\nModifier: 282\nModifier: 310\nModifier: 274\n");
    EXPECT_EQ(selectedRow(*pane), 5);

    // Not listening: nothing is captured, key-ups still re-arm, arrows move the selection.
    table->listenForKeys(false);
    key(release, Qt::Key_B, 0x62, "b");
    EXPECT_TRUE(table->isReadyForInput());
    key(press, Qt::Key_Shift, 0xffe1), key(press, Qt::Key_Down, 0xff54);
    EXPECT_EQ(selectedRow(*pane), 6);
    EXPECT_EQ(storedMapping(kKeyboard).mid(0, 6),
              (QStringList{QStringLiteral("key(97)"), QStringLiteral("key(13)"), QStringLiteral("key(282)"), QStringLiteral("key(310)"),
                           QStringLiteral("key(274)"), shipped.value(5)}));
}

} // namespace
