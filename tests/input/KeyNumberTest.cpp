#include "input/PaneHelpers.h"

#include <QLabel>

#include <optional>

namespace {

const QString kKeyboard = QStringLiteral("Keyboard");
constexpr quint32 kControl_L = 0xffe3, kShift_L = 0xffe1, kA = 0x41, kX = 0x58, kCyrillic_che = 0x6de;

class KeyNumberTest : public testing::Test
{
protected:
    void SetUp() override { selectRow(*m_pane, 0); }
    void press(int qtKey, quint32 keysym, const QString &text = {}, Qt::KeyboardModifiers modifiers = {},
               QEvent::Type type = QEvent::KeyPress)
    {
        sendKey(m_pane->tableView(), type, qtKey, keysym, text, false, modifiers);
    }
    void release(int qtKey, quint32 keysym, Qt::KeyboardModifiers modifiers = {})
    {
        sendKey(m_pane->tableView(), QEvent::KeyRelease, qtKey, keysym, {}, false, modifiers);
    }

    TestWorld world;
    std::unique_ptr<ControllerPreferencesViewController> m_pane = loadPane(kKeyboard);
    const QStringList m_shipped = storedMapping(kKeyboard);
};

// A window shortcut reaches the table only as a shortcut override; a modifier is known to be
// meant alone only at its release.
TEST_F(KeyNumberTest, ModifierIsStoredAtItsReleaseOnlyWhenNothingElseCameWhileHeld)
{
    press(Qt::Key_Shift, kShift_L);
    EXPECT_EQ(selectedRow(*m_pane), 0);
    release(Qt::Key_Shift, kShift_L, Qt::ShiftModifier);
    press(Qt::Key_Control, kControl_L);
    press(Qt::Key_1, '1', QStringLiteral("1"), Qt::ControlModifier, QEvent::ShortcutOverride);
    release(Qt::Key_Control, kControl_L, Qt::ControlModifier);
    press(Qt::Key_Shift, kShift_L);
    press(Qt::Key_A, kA, QStringLiteral("A"), Qt::ShiftModifier);
    release(Qt::Key_A, kA, Qt::ShiftModifier);
    release(Qt::Key_Shift, kShift_L, Qt::ShiftModifier);
    EXPECT_EQ(storedMapping(kKeyboard).mid(0, 3),
              (QStringList{QStringLiteral("key(304)"), QStringLiteral("key(97)"), m_shipped.value(2)}));
    EXPECT_EQ(selectedRow(*m_pane), 2);
}

// Caps Lock gives the text "X"; a Cyrillic layout without a Latin group gives a letter SDL
// 1.2 has no number for, which is refused with a note rather than stored.
TEST_F(KeyNumberTest, LettersAreStoredByTheirLowerCaseLatinKeyAndKeysWithoutANumberAreRefused)
{
    press(Qt::Key_X, kX, QStringLiteral("X"));
    release(Qt::Key_X, kX);
    press(0x427, kCyrillic_che, QStringLiteral("ч"));
    EXPECT_EQ(storedMapping(kKeyboard).mid(0, 2), (QStringList{QStringLiteral("key(120)"), m_shipped.value(1)}));
    EXPECT_EQ(selectedRow(*m_pane), 1);
    EXPECT_TRUE(m_pane->view()->findChild<QLabel *>(QStringLiteral("hintLabel"))->text().contains(QStringLiteral("ч")));
}

TEST(KeyNumber, UnshiftedSymbolsOfEachLayoutGroupGiveTheFirstSdlNumber)
{
    const struct {
        QList<quint32> keysyms;
        std::optional<int> number;
    } cases[] = {
        {{'x'}, 120}, {{'X'}, 120}, {{0xc9}, 233}, {{kCyrillic_che, 'x'}, 120}, {{kCyrillic_che}, std::nullopt},
        {{'5'}, 53}, {{'%'}, std::nullopt}, {{'~'}, std::nullopt}, {{0xff0d}, 13}, {{0xff9c}, 257}, {{}, std::nullopt},
        // Keys that give no text: F1, F15, Insert, Home, End, Page Up, Page Down, Scroll Lock.
        {{0xffbe}, 282}, {{0xffcc}, 296}, {{0xff63}, 277}, {{0xff50}, 278}, {{0xff57}, 279}, {{0xff55}, 280}, {{0xff56}, 281}, {{0xff14}, 302},
    };
    for (const auto &c : cases)
        EXPECT_EQ(InputTableView::sdlKeyNumber(c.keysyms), c.number) << c.keysyms.value(0);
}

} // namespace
