#include "input/PaneHelpers.h"

#include <string>

namespace {

const QString kKeyboard = QStringLiteral("Keyboard");

// The Keyboard record with its first row selected, so the table listens.
class KeyCaptureTest : public PaneTest
{
protected:
    void SetUp() override
    {
        selectRow(*m_pane, 0);
        ASSERT_TRUE(m_table->isListening());
    }

    void press(int qtKey, quint32 keysym, const QString &text = {}, bool autoRepeat = false,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        sendKey(m_table, QEvent::KeyPress, qtKey, keysym, text, autoRepeat, modifiers);
    }
    void release(int qtKey, quint32 keysym, const QString &text = {}, bool autoRepeat = false,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        sendKey(m_table, QEvent::KeyRelease, qtKey, keysym, text, autoRepeat, modifiers);
    }
    QString stored(int row) const { return storedMapping(kKeyboard).value(row); }

    std::unique_ptr<ControllerPreferencesViewController> m_pane = loadPane(kKeyboard);
    InputTableView *m_table = m_pane->tableView();
};

TEST_F(KeyCaptureTest, HeldLetterStoresOnce)
{
    testing::internal::CaptureStdout();
    press(Qt::Key_A, Keys::a, QStringLiteral("a"));
    for (int i = 0; i < 3; ++i) {
        release(Qt::Key_A, Keys::a, QStringLiteral("a"), true);
        press(Qt::Key_A, Keys::a, QStringLiteral("a"), true);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Char: a, ASCII: 97\n");
    EXPECT_EQ(stored(0), QStringLiteral("key(97)"));
    EXPECT_EQ(stored(1), QStringLiteral("key(99)"));
    EXPECT_EQ(selectedRow(*m_pane), 1);
    EXPECT_FALSE(m_table->isReadyForInput());

    release(Qt::Key_A, Keys::a, QStringLiteral("a"));
    EXPECT_TRUE(m_table->isReadyForInput());
    // Return gives the code of its character.
    press(Qt::Key_Return, Keys::Return, QStringLiteral("\r"));
    EXPECT_EQ(stored(1), QStringLiteral("key(13)"));
    EXPECT_EQ(selectedRow(*m_pane), 2);
}

TEST_F(KeyCaptureTest, DownArrowStoresInItsRowAndSelectsOnlyTheNext)
{
    testing::internal::CaptureStdout();
    press(Qt::Key_Down, Keys::Down);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Modifier: 274\n");
    EXPECT_EQ(stored(0), QStringLiteral("key(274)"));
    EXPECT_EQ(stored(1), QStringLiteral("key(99)"));
    EXPECT_EQ(selectedRow(*m_pane), 1);
    release(Qt::Key_Down, Keys::Down);
    press(Qt::Key_Up, Keys::Up);
    EXPECT_EQ(stored(1), QStringLiteral("key(273)"));
    EXPECT_EQ(selectedRow(*m_pane), 2);
}

TEST_F(KeyCaptureTest, NothingCapturedWhileNotListeningButKeyUpsRearm)
{
    press(Qt::Key_A, Keys::a, QStringLiteral("a"));
    ASSERT_FALSE(m_table->isReadyForInput());
    m_table->listenForKeys(false);
    release(Qt::Key_A, Keys::a, QStringLiteral("a"));
    EXPECT_TRUE(m_table->isReadyForInput());

    testing::internal::CaptureStdout();
    press(Qt::Key_B, Keys::b, QStringLiteral("b"));
    press(Qt::Key_Shift, Keys::Shift_L);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(stored(1), QStringLiteral("key(99)"));
    EXPECT_TRUE(m_table->isReadyForInput());
    EXPECT_EQ(selectedRow(*m_pane), 1);
}

} // namespace
