#include "PaneHelpers.h"
#include "SettingsFixture.h"

#include <string>

namespace {

const QString kKeyboard = QStringLiteral("Keyboard");

class KeyCaptureTest : public SettingsFixture
{
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        m_pane = loadPane(kKeyboard);
        m_table = m_pane->tableView();
        selectRow(*m_pane, 0);
        ASSERT_TRUE(m_table->isListening());
    }

    std::unique_ptr<ControllerPreferencesViewController> m_pane;
    InputTableView *m_table = nullptr;
};

TEST_F(KeyCaptureTest, TranslationTable)
{
    EXPECT_EQ(InputTableView::platformKeyCode(Keys::Shift_L), quint16(56));
    EXPECT_EQ(InputTableView::platformKeyCode(0xfe03), quint16(61)); // AltGr
    EXPECT_EQ(InputTableView::platformKeyCode(Keys::a), std::nullopt);
    EXPECT_EQ(InputTableView::keyNumberForKeyCode(56), 304);
    EXPECT_EQ(InputTableView::keyNumberForKeyCode(126), 273);
    EXPECT_EQ(InputTableView::keyNumberForKeyCode(36), std::nullopt);
}

TEST_F(KeyCaptureTest, HeldLetterStoresOnce)
{
    testing::internal::CaptureStdout();
    sendKey(m_table, QEvent::KeyPress, Qt::Key_A, Keys::a, QStringLiteral("a"));
    for (int i = 0; i < 3; ++i) {
        sendKey(m_table, QEvent::KeyRelease, Qt::Key_A, Keys::a, QStringLiteral("a"), true);
        sendKey(m_table, QEvent::KeyPress, Qt::Key_A, Keys::a, QStringLiteral("a"), true);
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Char: a, ASCII: 97\n");
    EXPECT_EQ(storedMapping(kKeyboard).value(0), QStringLiteral("key(97)"));
    EXPECT_EQ(storedMapping(kKeyboard).value(1), QStringLiteral("key(99)"));
    EXPECT_EQ(selectedRow(*m_pane), 1);
    EXPECT_FALSE(m_table->isReadyForInput());

    sendKey(m_table, QEvent::KeyRelease, Qt::Key_A, Keys::a, QStringLiteral("a"));
    EXPECT_TRUE(m_table->isReadyForInput());
    // Return gives the code of its character.
    sendKey(m_table, QEvent::KeyPress, Qt::Key_Return, Keys::Return, QStringLiteral("\r"));
    EXPECT_EQ(storedMapping(kKeyboard).value(1), QStringLiteral("key(13)"));
    EXPECT_EQ(selectedRow(*m_pane), 2);
}

TEST_F(KeyCaptureTest, LeftShiftStoresOnPressAndReleaseOnlyRearms)
{
    testing::internal::CaptureStdout();
    sendKey(m_table, QEvent::KeyPress, Qt::Key_Shift, Keys::Shift_L);
    EXPECT_EQ(storedMapping(kKeyboard).value(0), QStringLiteral("key(304)"));
    EXPECT_FALSE(m_table->isReadyForInput());
    sendKey(m_table, QEvent::KeyRelease, Qt::Key_Shift, Keys::Shift_L, {}, false, Qt::ShiftModifier);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Modifier: 304\n");
    EXPECT_TRUE(m_table->isReadyForInput());
    EXPECT_EQ(storedMapping(kKeyboard).value(1), QStringLiteral("key(99)"));
    EXPECT_EQ(selectedRow(*m_pane), 1);
}

TEST_F(KeyCaptureTest, ShiftHeldAcrossALetterStoresShiftTwice)
{
    sendKey(m_table, QEvent::KeyPress, Qt::Key_Shift, Keys::Shift_L);
    sendKey(m_table, QEvent::KeyPress, Qt::Key_A, 0x41, QStringLiteral("A"), false, Qt::ShiftModifier);
    sendKey(m_table, QEvent::KeyRelease, Qt::Key_A, 0x41, QStringLiteral("A"), false, Qt::ShiftModifier);
    sendKey(m_table, QEvent::KeyRelease, Qt::Key_Shift, Keys::Shift_L, {}, false, Qt::ShiftModifier);
    const QStringList stored = storedMapping(kKeyboard);
    EXPECT_EQ(stored.value(0), QStringLiteral("key(304)"));
    EXPECT_EQ(stored.value(1), QStringLiteral("key(304)"));
    EXPECT_EQ(stored.value(2), QStringLiteral("key(122)"));
    EXPECT_EQ(selectedRow(*m_pane), 2);
}

TEST_F(KeyCaptureTest, DownArrowStoresInItsRowAndSelectsOnlyTheNext)
{
    testing::internal::CaptureStdout();
    sendKey(m_table, QEvent::KeyPress, Qt::Key_Down, Keys::Down);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Modifier: 274\n");
    EXPECT_EQ(storedMapping(kKeyboard).value(0), QStringLiteral("key(274)"));
    EXPECT_EQ(storedMapping(kKeyboard).value(1), QStringLiteral("key(99)"));
    EXPECT_EQ(selectedRow(*m_pane), 1);
    sendKey(m_table, QEvent::KeyRelease, Qt::Key_Down, Keys::Down);
    sendKey(m_table, QEvent::KeyPress, Qt::Key_Up, Keys::Up);
    EXPECT_EQ(storedMapping(kKeyboard).value(1), QStringLiteral("key(273)"));
    EXPECT_EQ(selectedRow(*m_pane), 2);
}

TEST_F(KeyCaptureTest, NothingCapturedWhileNotListeningButKeyUpsRearm)
{
    sendKey(m_table, QEvent::KeyPress, Qt::Key_A, Keys::a, QStringLiteral("a"));
    ASSERT_FALSE(m_table->isReadyForInput());
    m_table->listenForKeys(false);
    sendKey(m_table, QEvent::KeyRelease, Qt::Key_A, Keys::a, QStringLiteral("a"));
    EXPECT_TRUE(m_table->isReadyForInput());

    testing::internal::CaptureStdout();
    sendKey(m_table, QEvent::KeyPress, Qt::Key_B, Keys::b, QStringLiteral("b"));
    sendKey(m_table, QEvent::KeyPress, Qt::Key_Shift, Keys::Shift_L);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(storedMapping(kKeyboard).value(1), QStringLiteral("key(99)"));
    EXPECT_TRUE(m_table->isReadyForInput());
    EXPECT_EQ(selectedRow(*m_pane), 1);
}

} // namespace
