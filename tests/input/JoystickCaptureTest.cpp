#include "input/PaneHelpers.h"

#include <QElapsedTimer>
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
    event.jbutton.type = SDL_JOYBUTTONDOWN;
    event.jbutton.which = Uint8(which);
    event.jbutton.button = Uint8(button);
    event.jbutton.state = SDL_PRESSED;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

void pushAxis(int which, int axis, int value)
{
    SDL_Event event{};
    event.jaxis.type = SDL_JOYAXISMOTION;
    event.jaxis.which = Uint8(which);
    event.jaxis.axis = Uint8(axis);
    event.jaxis.value = Sint16(value);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// Joystick 1 chosen, reading SDL's queue as if a joystick were device kDevice.
class JoystickCaptureTest : public PaneTest
{
protected:
    void SetUp() override { m_pane->setJoystickDeviceIndexForTesting(kDevice); }

    // Lets a running capture thread finish its first (axis-blind) look at the queue.
    static void waitPastFirstPass() { QTest::qWait(150); }

    bool waitForValue(int row, const QString &value, int timeoutMs = 3000)
    {
        return QTest::qWaitFor([&] { return storedMapping(kJoystick1).value(row) == value; }, timeoutMs);
    }

    std::unique_ptr<ControllerPreferencesViewController> m_pane = loadPane(kJoystick1);
};

TEST_F(JoystickCaptureTest, ButtonStoresAndArmsTheNextRow)
{
    testing::internal::CaptureStdout();
    selectRow(*m_pane, 0);
    QThread *firstThread = m_pane->inputThread();
    pushButton(kDevice, 3);
    const bool first = waitForValue(0, QStringLiteral("button(3)"));
    const int afterFirst = selectedRow(*m_pane);
    // The capturing thread drops what it finds after its value; a press comes later than that.
    firstThread->wait(2000);
    pushButton(kDevice, 3);
    const bool second = waitForValue(1, QStringLiteral("button(3)"));
    const int afterSecond = selectedRow(*m_pane);
    // Another joystick's button is not ours.
    pushButton(kDevice + 1, 9);
    QTest::qWait(200);
    m_pane.reset();
    const std::string out = testing::internal::GetCapturedStdout();

    EXPECT_TRUE(first);
    EXPECT_EQ(afterFirst, 1);
    EXPECT_TRUE(second);
    EXPECT_EQ(afterSecond, 2);
    EXPECT_EQ(storedMapping(kJoystick1).value(2), QStringLiteral("axis(2+)"));
    EXPECT_EQ(out.rfind("Joystick name: ", 0), 0u) << out;
    EXPECT_NE(out.find("Button 3\nJoystick name: "), std::string::npos) << out;
    EXPECT_EQ(out.find("Button 9"), std::string::npos) << out;
}

TEST_F(JoystickCaptureTest, AxisThresholdsAndSigns)
{
    selectRow(*m_pane, 0);
    waitPastFirstPass();
    pushAxis(kDevice, 1, 31000);
    pushAxis(kDevice, 1, -31000);
    QTest::qWait(200);
    EXPECT_EQ(storedMapping(kJoystick1).value(0), QStringLiteral("button(0)"));
    EXPECT_EQ(selectedRow(*m_pane), 0);

    pushAxis(kDevice, 1, 31001);
    ASSERT_TRUE(waitForValue(0, QStringLiteral("axis(1+)")));
    EXPECT_EQ(selectedRow(*m_pane), 1);
    // The next thread waits out the half-second pause, then looks at the queue once.
    QTest::qWait(500);
    waitPastFirstPass();
    pushAxis(kDevice, 4, -31001);
    ASSERT_TRUE(waitForValue(1, QStringLiteral("axis(4-)")));
    EXPECT_EQ(selectedRow(*m_pane), 2);
}

TEST_F(JoystickCaptureTest, QueuedAxisIgnoredQueuedButtonTaken)
{
    pushAxis(kDevice, 0, 32767);
    pushButton(kDevice, 5);
    selectRow(*m_pane, 0);
    ASSERT_TRUE(waitForValue(0, QStringLiteral("button(5)")));
    QTest::qWait(300);
    EXPECT_EQ(storedMapping(kJoystick1).value(1), QStringLiteral("button(2)"));
    EXPECT_EQ(selectedRow(*m_pane), 1);
}

TEST_F(JoystickCaptureTest, SelectingAnotherRowCancelsAndTheNextThreadTakesOver)
{
    selectRow(*m_pane, 0);
    QThread *first = m_pane->inputThread();
    ASSERT_NE(first, nullptr);
    waitPastFirstPass();
    ASSERT_TRUE(first->isRunning());

    QElapsedTimer timer;
    timer.start();
    selectRow(*m_pane, 5);
    ASSERT_NE(m_pane->inputThread(), first);
    ASSERT_TRUE(first->wait(2000));
    // The old thread notices at its next check, at most one 0.05 s pause away.
    EXPECT_LT(timer.elapsed(), 250);

    QThread *second = m_pane->inputThread();
    pushButton(kDevice, 7);
    ASSERT_TRUE(waitForValue(5, QStringLiteral("button(7)")));
    ASSERT_TRUE(second->wait(2000));
    EXPECT_EQ(storedMapping(kJoystick1).value(0), QStringLiteral("button(0)"));
    EXPECT_EQ(selectedRow(*m_pane), 6);
    pushButton(kDevice, 8);
    EXPECT_TRUE(waitForValue(6, QStringLiteral("button(8)")));
}

TEST_F(JoystickCaptureTest, WithoutAJoystickNothingIsCapturedAndThreadsEnd)
{
    m_pane->setJoystickDeviceIndexForTesting(-1); // the real joystick 0, which is absent here
    selectRow(*m_pane, 0);
    QThread *first = m_pane->inputThread();
    waitPastFirstPass();
    pushButton(0, 1);
    QTest::qWait(250);
    EXPECT_FALSE(store().valueForKey(QStringLiteral("ControllersLastModifedDate")).isValid());
    EXPECT_EQ(selectedRow(*m_pane), 0);
    selectRow(*m_pane, 1);
    EXPECT_TRUE(first->wait(1000));
    EXPECT_TRUE(m_pane->inputThread()->isRunning());
}

TEST_F(JoystickCaptureTest, DestroyingThePaneWhileAThreadHandsOverNeitherHangsNorStores)
{
    selectRow(*m_pane, 0);
    waitPastFirstPass();
    pushButton(kDevice, 6);
    // No event processing: the thread finds the button and blocks handing it over.
    QThread::msleep(200);
    QElapsedTimer timer;
    timer.start();
    m_pane.reset();
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(storedMapping(kJoystick1).value(0), QStringLiteral("button(0)"));
}

TEST_F(JoystickCaptureTest, HidingThePaneStopsCapture)
{
    QWidget *view = m_pane->view();
    view->show();
    selectRow(*m_pane, 0);
    QThread *thread = m_pane->inputThread();
    view->hide();
    ASSERT_TRUE(thread->wait(1000));
    pushButton(kDevice, 2);
    QTest::qWait(200);
    EXPECT_EQ(storedMapping(kJoystick1).value(0), QStringLiteral("button(0)"));
    // Shown again, it re-arms for the selected row.
    view->show();
    EXPECT_TRUE(waitForValue(0, QStringLiteral("button(2)")));
}

TEST_F(JoystickCaptureTest, EmulatorEnvironmentGetsNoVideoDriver)
{
    // The set-up ran when the pane loaded (in SetUp).
    EXPECT_FALSE(qEnvironmentVariableIsSet("SDL_VIDEODRIVER"));
    QProcess child;
    child.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), QStringLiteral("echo \"${SDL_VIDEODRIVER-unset}\"")});
    ASSERT_TRUE(child.waitForFinished(5000));
    EXPECT_EQ(child.readAllStandardOutput().trimmed(), QByteArray("unset"));

    // A driver the user chose stays the user's.
    qputenv("SDL_VIDEODRIVER", QByteArrayLiteral("x11"));
    auto second = loadPane(kJoystick1);
    EXPECT_EQ(qgetenv("SDL_VIDEODRIVER"), QByteArray("x11"));
    qunsetenv("SDL_VIDEODRIVER");
}

} // namespace
