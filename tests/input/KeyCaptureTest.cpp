#include "input/PaneHelpers.h"

namespace {

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
TEST(KeyCaptureTest, EachPressStoresOnceAndModifiersStoreOnTheirFirstChange)
{
    TestWorld world;
    auto pane = loadPane(QStringLiteral("Keyboard"));
    InputTableView *table = pane->tableView();
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
    // Left Shift stores on press, its release only re-arms.
    key(press, Qt::Key_Shift, 0xffe1), key(release, Qt::Key_Shift, 0xffe1);
    // An arrow stores in its row and selects only the next, not one further.
    key(press, Qt::Key_Down, 0xff54), key(release, Qt::Key_Down, 0xff54);
    // Held across a letter, Shift stores again at its release; the letter is not taken.
    key(press, Qt::Key_Shift, 0xffe1), key(press, Qt::Key_A, 0x41, "A"), key(release, Qt::Key_A, 0x41, "A");
    key(release, Qt::Key_Shift, 0xffe1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Char: a, ASCII: 97\nChar: \r, ASCII: 13\nModifier: 304\nModifier: 274\n"
                                                      "Modifier: 304\nModifier: 304\n");
    EXPECT_EQ(selectedRow(*pane), 6);

    // Not listening: nothing is captured, key-ups still re-arm, arrows move the selection.
    table->listenForKeys(false);
    key(release, Qt::Key_B, 0x62, "b");
    EXPECT_TRUE(table->isReadyForInput());
    key(press, Qt::Key_Shift, 0xffe1), key(press, Qt::Key_Down, 0xff54);
    EXPECT_EQ(selectedRow(*pane), 7);
    EXPECT_EQ(storedMapping(QStringLiteral("Keyboard")).mid(0, 7),
              (QStringList{QStringLiteral("key(97)"), QStringLiteral("key(13)"), QStringLiteral("key(304)"), QStringLiteral("key(274)"),
                           QStringLiteral("key(304)"), QStringLiteral("key(304)"), QStringLiteral("key(105)")}));
}

} // namespace
