#include "input/PaneHelpers.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <SDL/SDL.h>

namespace {

const QString kJoystick1 = QStringLiteral("Joystick 1");
constexpr int kDevice = 0;

void pushButton(int which, int button)
{
    SDL_Event event{};
    event.jbutton = {SDL_JOYBUTTONDOWN, Uint8(which), Uint8(button), SDL_PRESSED};
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void pushAxis(int which, int axis, int value)
{
    SDL_Event event{};
    event.jaxis = {SDL_JOYAXISMOTION, Uint8(which), Uint8(axis), Sint16(value)};
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// Joystick 1 chosen, reading SDL's queue as if a joystick were device kDevice. Waits are on
// what the pane stores, never on the capture thread's timing.
class JoystickCaptureTest : public testing::Test
{
protected:
    // Capture runs only in the active window.
    void SetUp() override
    {
        m_pane->setJoystickDeviceIndexForTesting(kDevice);
        m_pane->view()->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_pane->view(), kTimeoutMs));
    }
    bool waitForValue(int row, const QString &value)
    {
        return QTest::qWaitFor([&] { return storedMapping(kJoystick1).value(row) == value; }, kTimeoutMs);
    }

    TestWorld world;
    std::unique_ptr<ControllerPreferencesViewController> m_pane = loadPane(kJoystick1);
};

TEST_F(JoystickCaptureTest, ButtonsOfOurJoystickStoreAndArmTheNextRow)
{
    testing::internal::CaptureStdout();
    selectRow(*m_pane, 0);
    QThread *first = m_pane->inputThread();
    pushButton(kDevice + 1, 9); // another joystick's button is not ours
    pushButton(kDevice, 3);
    ASSERT_TRUE(waitForValue(0, QStringLiteral("button(3)")) && selectedRow(*m_pane) == 1);
    // The capturing thread drops what it finds after its value; a press comes later than that.
    ASSERT_TRUE(first->wait(kTimeoutMs));
    pushButton(kDevice, 4);
    ASSERT_TRUE(waitForValue(1, QStringLiteral("button(4)")) && selectedRow(*m_pane) == 2);
    m_pane.reset();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(out.rfind("Joystick name: ", 0) == 0 && out.find("Button 3\nJoystick name: ") != std::string::npos) << out;
    EXPECT_EQ(out.find("Button 9"), std::string::npos) << out;
}

TEST_F(JoystickCaptureTest, OnlyAxisMovesBeyond31000CountAndQueuedOnesNever)
{
    // Queued before the row was armed: the stick may still be held from the last row.
    pushAxis(kDevice, 0, 32767);
    pushButton(kDevice, 5);
    selectRow(*m_pane, 0);
    ASSERT_TRUE(waitForValue(0, QStringLiteral("button(5)")));
    // Sent again and again, as a moving stick does, until the thread is past its first look.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        pushAxis(kDevice, 1, 31000);
        pushAxis(kDevice, 2, -31000);
        pushAxis(kDevice, 4, -31001);
        return storedMapping(kJoystick1).value(1) != QStringLiteral("button(2)");
    }, kTimeoutMs));
    EXPECT_EQ(storedMapping(kJoystick1).value(1), QStringLiteral("axis(4-)"));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        pushAxis(kDevice, 3, 31001);
        return storedMapping(kJoystick1).value(2) != QStringLiteral("axis(2+)");
    }, kTimeoutMs));
    EXPECT_EQ(storedMapping(kJoystick1).value(2), QStringLiteral("axis(3+)"));
}

TEST_F(JoystickCaptureTest, AnotherRowAnotherWindowOrClosingThePaneCancelsTheWaitingThread)
{
    const QStringList shipped = storedMapping(kJoystick1);
    selectRow(*m_pane, 0);
    QThread *first = m_pane->inputThread();
    selectRow(*m_pane, 5);
    QThread *second = m_pane->inputThread();
    // Another window in front (the emulator's, say): what is pressed there is not for us.
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other, kTimeoutMs));
    ASSERT_TRUE(first->wait(kTimeoutMs) && second->wait(kTimeoutMs));
    pushButton(kDevice, 7);
    selectRow(*m_pane, 4), selectRow(*m_pane, 5);
    EXPECT_EQ(m_pane->inputThread(), second);
    // Back in front, it re-arms for the selected row and drops what was queued meanwhile.
    m_pane->view()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_pane->view(), kTimeoutMs));
    SDL_Event event;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        if (SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) == 0)
            pushButton(kDevice, 8);
        return storedMapping(kJoystick1).value(5) != shipped.value(5);
    }, kTimeoutMs));
    EXPECT_EQ(storedMapping(kJoystick1).value(5), QStringLiteral("button(8)"));
    EXPECT_EQ(storedMapping(kJoystick1).mid(0, 5), shipped.mid(0, 5));

    // A thread blocked handing over a value must neither hang the pane's end nor store.
    const QStringList before = storedMapping(kJoystick1);
    pushButton(kDevice, 6);
    // No Qt events meanwhile. The thread takes the 6 and blocks handing it over; or, when the
    // loop above queued a second 8 before the first was stored, it is blocked on that one and
    // the 6 stays queued: either way a thread waits on the pane when it goes.
    const QDeadlineTimer deadline(2000);
    while (SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0 && !deadline.hasExpired())
        QThread::msleep(1);
    m_pane.reset();
    EXPECT_EQ(storedMapping(kJoystick1), before);
}

TEST_F(JoystickCaptureTest, TheEmulatorGetsNoVideoDriverFromTheJoystickSetUp)
{
    QProcess child;
    child.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("echo \"${SDL_VIDEODRIVER-unset}\"")});
    ASSERT_TRUE(child.waitForFinished(kTimeoutMs));
    EXPECT_EQ(child.readAllStandardOutput().trimmed(), QByteArray("unset"));
}

} // namespace
