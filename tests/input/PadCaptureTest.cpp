#include "input/PaneHelpers.h"

#include "app/AppDelegate.h"
#include "input/PadEvent.h"
#include "input/PadLayout.h"
#include "launch/GameSession.h"
#include "library/GameLibrary.h"
#include "library/LibraryController.h"
#include "library/LibraryFilterModel.h"
#include "library/LibraryFolders.h"
#include "library/LibraryModel.h"
#include "library/LibraryPanel.h"
#include "mainwindow/WindowController.h"

#include <QDateTime>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <SDL2/SDL.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

const QString kJoystick1 = QStringLiteral("Joystick 1");

// One of SDL's virtual joysticks, held open by the test to press its buttons and axes. As a
// game controller, SDL maps button N to its game-controller button N and axes 0 and 1 to the
// left stick.
class VirtualPad
{
public:
    explicit VirtualPad(const char *name, bool controller = false)
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = controller ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.nbuttons = controller ? 15 : 12, desc.naxes = controller ? 6 : 8, desc.nhats = controller ? 0 : 1;
        desc.name = name;
        m_joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        m_id = SDL_JoystickInstanceID(m_joystick);
    }
    ~VirtualPad()
    {
        detach();
        SDL_JoystickClose(m_joystick);
    }
    // As a mapping names it: without the name's CRC (bytes 2 and 3).
    QString guid() const
    {
        char text[33] = {};
        SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(m_joystick), text, sizeof text);
        return QString::fromLatin1(text).replace(4, 4, QStringLiteral("0000"));
    }
    // Pressed or released; true once the pad service has read it.
    bool set(int button, bool pressed)
    {
        const Uint8 state = pressed ? SDL_PRESSED : SDL_RELEASED;
        // A release set just before must have been read first, or SDL sees no change at all.
        if (!QTest::qWaitFor([&] { return SDL_JoystickGetButton(m_joystick, button) != state; }, kTimeoutMs))
            return false;
        SDL_JoystickSetVirtualButton(m_joystick, button, state);
        return QTest::qWaitFor([&] { return SDL_JoystickGetButton(m_joystick, button) == state; }, kTimeoutMs);
    }
    // Pressed until the pad service has read it, then released.
    void tap(int button)
    {
        EXPECT_TRUE(set(button, true));
        SDL_JoystickSetVirtualButton(m_joystick, button, SDL_RELEASED);
    }
    void moveAxis(int axis, int value) { SDL_JoystickSetVirtualAxis(m_joystick, axis, Sint16(value)); }
    void detach()
    {
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == m_id)
                SDL_JoystickDetachVirtual(index);
        }
    }

private:
    SDL_Joystick *m_joystick = nullptr;
    SDL_JoystickID m_id = -1;
};

// Joystick 1 chosen in a shown, active pane; pads are SDL's virtual ones only, so real
// devices (or none, in CI) change nothing.
class PadCaptureTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        struct sigaction before = {};
        sigaction(SIGINT, nullptr, &before);
        PadService::instance().setVirtualPadsOnly(true);
        PadService::instance().start();
        ASSERT_TRUE(QTest::qWaitFor([] { return PadService::instance().isReady(); }, kTimeoutMs));
        // SDL must leave the Launcher's own signal handling alone.
        struct sigaction after = {};
        sigaction(SIGINT, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler);
    }
    void SetUp() override
    {
        m_pane->view()->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_pane->view(), kTimeoutMs));
    }
    bool waitForValue(int row, const QString &value)
    {
        return QTest::qWaitFor([&] { return storedMapping(kJoystick1).value(row) == value; }, kTimeoutMs);
    }
    bool waitForPads(const char *text)
    {
        return QTest::qWaitFor([&] { return m_pane->padsLabel()->text() == QString::fromUtf8(text); }, kTimeoutMs);
    }
    QString hint() const { return m_pane->hintLabel()->text(); }

    TestWorld world;
    std::unique_ptr<ControllerPreferencesViewController> m_pane = loadPane(kJoystick1);
};

TEST_F(PadCaptureTest, PadsPluggedInWhileOpenAreListedCaptureAndNameTheEmulatorsSection)
{
    ASSERT_TRUE(waitForPads("No pad connected. Plug one in; it is found at once."));
    VirtualPad a("Pad A");
    ASSERT_TRUE(waitForPads("Pad: Pad A"));
    selectRow(*m_pane, 0);
    a.tap(3);
    ASSERT_TRUE(waitForValue(0, QStringLiteral("button(3)")) && selectedRow(*m_pane) == 1);
    EXPECT_TRUE(hint().startsWith(QStringLiteral("Button 3 came from Pad A."))) << hint().toStdString();

    // The second pad's push is taken and named; a stick counts only beyond 31000.
    VirtualPad b("Pad B");
    ASSERT_TRUE(waitForPads("Pads: Pad A, Pad B"));
    int turn = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        // Moved again and again, as a stick does, until the capture is past what was queued.
        b.moveAxis(2, ++turn % 2 ? 31000 : 0);
        b.moveAxis(4, turn % 2 ? -31001 : 0);
        return storedMapping(kJoystick1).value(1) == QStringLiteral("axis(4-)");
    }, kTimeoutMs));
    EXPECT_TRUE(hint().startsWith(QStringLiteral("Axis 4 − came from Pad B."))) << hint().toStdString();

    // Only the player's choice names the emulator's section after a pad.
    QComboBox *names = m_pane->usbNameBox();
    ASSERT_EQ(names->count(), 3);
    EXPECT_EQ(names->itemText(0), QStringLiteral("USB Gamepad 1"));
    const QVariantMap before = UserDefaults::standardUserDefaults().dictionaryForKey(QStringLiteral("Controllers"))->value(kJoystick1).toMap();
    names->setCurrentIndex(2);
    EXPECT_EQ(before, UserDefaults::standardUserDefaults().dictionaryForKey(QStringLiteral("Controllers"))->value(kJoystick1).toMap());
    Q_EMIT names->activated(2);
    QVariantMap expected = before;
    expected.insert(QStringLiteral("USBName"), QStringLiteral("Pad B"));
    EXPECT_EQ(UserDefaults::standardUserDefaults().dictionaryForKey(QStringLiteral("Controllers"))->value(kJoystick1).toMap(), expected);
}

TEST_F(PadCaptureTest, APadPulledOutLeavesTheRowWaitingAndPressesInAnotherWindowAreDropped)
{
    VirtualPad a("Pad A");
    auto b = std::make_unique<VirtualPad>("Pad B");
    ASSERT_TRUE(waitForPads("Pads: Pad A, Pad B"));
    const QStringList shipped = storedMapping(kJoystick1);
    selectRow(*m_pane, 2);
    b.reset();
    ASSERT_TRUE(waitForPads("Pad: Pad A"));
    EXPECT_EQ(hint(), QStringLiteral("Pad B was unplugged. The input is unchanged and waits for a press on any pad. "
                                     "Press a pad button or move a stick for “Z”…"));
    EXPECT_TRUE(storedMapping(kJoystick1) == shipped && selectedRow(*m_pane) == 2 && m_pane->isCapturingFromPads());

    // Disabled (a game on the global mapping), the pane stores nothing.
    m_pane->view()->setEnabled(false);
    EXPECT_FALSE(m_pane->isCapturingFromPads());
    a.tap(6);
    m_pane->view()->setEnabled(true);
    EXPECT_TRUE(m_pane->isCapturingFromPads());

    // Another window in front (the emulator's, say): what is pressed there is not for us.
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other, kTimeoutMs));
    a.tap(7);
    m_pane->view()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_pane->view(), kTimeoutMs));
    a.tap(8);
    ASSERT_TRUE(waitForValue(2, QStringLiteral("button(8)")));
    EXPECT_EQ(storedMapping(kJoystick1).mid(0, 2), shipped.mid(0, 2));
}

TEST_F(PadCaptureTest, MapFromPadLayoutFillsEveryRowAtOnceAndAnUnknownPadIsMappedOneByOne)
{
    VirtualPad plain("Plain Stick");
    VirtualPad known("Layout Pad");
    ASSERT_TRUE(waitForPads("Pads: Plain Stick, Layout Pad"));
    ASSERT_EQ(SDL_GameControllerAddMapping(QStringLiteral(
        "%1,Layout Pad,a:b1,b:b2,x:b3,y:b0,start:b9,leftshoulder:b4,rightshoulder:b5,lefttrigger:a4,"
        "righttrigger:a5,leftx:a0,lefty:a1,rightx:a2,righty:a3~,dpup:h0.1,dpdown:b10,dpleft:-a6,dpright:+a6,")
        .arg(known.guid()).toUtf8().constData()), 1);
    const QStringList before = storedMapping(kJoystick1);
    selectRow(*m_pane, 0);

    m_pane->layoutButton()->click();
    EXPECT_EQ(hint(), QStringLiteral("Press any button of the pad to use; its layout fills every input at once."));
    plain.tap(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hint().startsWith(QStringLiteral("SDL does not know")); }, kTimeoutMs));
    EXPECT_EQ(hint(), QStringLiteral("SDL does not know Plain Stick as a game controller, so its layout cannot be read. "
                                     "Map its inputs one by one. Press a pad button or move a stick for “A”…"));
    EXPECT_EQ(storedMapping(kJoystick1), before);

    QSignalSpy writes(&UserDefaults::standardUserDefaults(), &UserDefaults::valueChanged);
    m_pane->layoutButton()->click();
    known.tap(6);
    // C Up is the right stick's negative side, turned over by the mapping's "~"; D-Pad Up is a hat.
    QStringList expected = QStringLiteral("button(1) button(3) axis(4+) button(9) button(4) button(5) axis(3+) axis(3-) "
                                          "axis(2-) axis(2+) hat button(10) axis(6-) axis(6+) axis(1-) axis(1+) axis(0-) axis(0+)")
                               .split(u' ');
    expected[10] = before.value(10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return storedMapping(kJoystick1) == expected; }, kTimeoutMs)) << storedMapping(kJoystick1).join(u' ').toStdString();
    EXPECT_EQ(writes.count(), 2); // "Controllers" and the date, once each
    EXPECT_TRUE(m_pane->tableModel()->index(10, MappingTableModel::YourColumn).data().toString().endsWith(
        QStringLiteral("(kept: on this pad it is a hat, which the emulator's file cannot name)")));
    EXPECT_TRUE(hint().startsWith(QStringLiteral("The inputs were filled from the layout of Layout Pad, except 1 input whose row says why.")))
        << hint().toStdString();
}

// The main window with three games in its grid, the stand-in as the emulator and one virtual
// game controller; the pad drives the window as a player on a couch would.
TEST(PadNavigatorTest, ThePadMovesPlaysMarksClosesAndItsCombinationAloneStopsTheGame)
{
    TestWorld world;
    TestWorld::useStandInAsCustomBuild();
    QDir().mkpath(world.path(QStringLiteral("lib")));
    // Changed long ago: a row read moments after its file changed is read again, not played.
    const struct timespec longAgo[2] = {{0, UTIME_OMIT}, {QDateTime::currentSecsSinceEpoch() - 3600, 0}};
    for (const char *name : {"ALPHA", "BRAVO", "CHARLIE"})
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(world.writeRom(QStringLiteral("lib/%1.z64").arg(QLatin1String(name)), name)), longAgo, 0), 0);
    LibraryFolders::setFolders({world.path(QStringLiteral("lib"))});
    PadService::instance().setVirtualPadsOnly(true);
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    WindowController *controller = delegate.myWindowController();
    QWidget *main = controller->window();
    LibraryController *library = controller->library();
    auto *session = controller->findChild<GameSession *>();
    ASSERT_TRUE(session && QTest::qWaitForWindowActive(main, kTimeoutMs)
                && QTest::qWaitFor([library] { return library->filterModel()->rowCount() == 3; }, kTimeoutMs));
    library->panel()->showGrid(true);
    QAbstractItemView *grid = library->panel()->currentView();
    grid->setCurrentIndex(library->filterModel()->index(0, 0));
    grid->setFocus();
    VirtualPad pad("Couch Pad", true);
    ASSERT_TRUE(QTest::qWaitFor([] { return PadService::instance().pads().size() == 1; }, kTimeoutMs));
    const auto md5Of = [library](int row) { return library->filterModel()->index(row, LibraryModel::MD5).data().toString(); };
    const auto favourite = [&](int row) { return library->gameLibrary()->history(md5Of(row)).favourite; };

    pad.tap(PadEvent::DpadRight);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->currentIndex().row() == 1; }, kTimeoutMs));
    pad.tap(PadEvent::Y);
    ASSERT_TRUE(QTest::qWaitFor([&] { return favourite(1); }, kTimeoutMs) && !favourite(0));

    // B closes the menu X opened, a message box and the Game Settings window.
    pad.tap(PadEvent::X);
    ASSERT_TRUE(QTest::qWaitFor([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }, kTimeoutMs));
    pad.tap(PadEvent::B);
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activePopupWidget(); }, kTimeoutMs));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Question"), QStringLiteral("Sure?"), QMessageBox::Ok | QMessageBox::Cancel, main);
    box.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box, kTimeoutMs));
    pad.tap(PadEvent::B);
    ASSERT_TRUE(QTest::qWaitFor([&box] { return !box.isVisible(); }, kTimeoutMs) && box.result() == QMessageBox::Cancel);
    library->gameSettingsRequested(md5Of(1), QStringLiteral("BRAVO"), QUrl::fromLocalFile(world.path(QStringLiteral("lib/BRAVO.z64"))));
    QWidget *settings = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (settings = QApplication::activeWindow()) && settings != main; }, kTimeoutMs));
    // With the pad alone: a row reached waits for A; then B is its mapping and closes nothing,
    // the next row waits for A again; an arming left alone ends after 5 s; then B leaves.
    auto *pane = delegate.findChild<ControllerPreferencesViewController *>();
    pane->view()->parentWidget()->findChild<QAbstractButton *>()->setChecked(false);
    pane->tableView()->setFocus();
    pad.tap(PadEvent::DpadDown);
    pad.tap(PadEvent::A);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane->isCapturingFromPads(); }, kTimeoutMs));
    ASSERT_TRUE(pad.set(PadEvent::B, true) && pad.set(PadEvent::B, false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane->tableViewObjectValue(1, 1) == QStringLiteral("button(1)") && selectedRow(*pane) == 2 && !pane->isCapturingFromPads(); }, kTimeoutMs));
    pad.tap(PadEvent::A);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane->hintLabel()->text().startsWith(QStringLiteral("No pad button came in time")) && settings->isVisible(); }, 8000));
    pad.tap(PadEvent::B);
    ASSERT_TRUE(QTest::qWaitFor([settings] { return !settings->isVisible(); }, kTimeoutMs));
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main, kTimeoutMs));
    grid->setFocus();

    // A plays the game in focus; while it runs, no button but the combination acts here.
    pad.tap(PadEvent::A);
    ASSERT_TRUE(world.waitForRecord() && QTest::qWaitFor([session] { return session->isRunning(); }, kTimeoutMs));
    EXPECT_EQ(controller->rom()->name(), QStringLiteral("BRAVO"));
    for (const int button : {PadEvent::DpadRight, PadEvent::Y, PadEvent::X})
        pad.tap(button);
    QTest::qWait(200);
    EXPECT_TRUE(grid->currentIndex().row() == 1 && favourite(1) && !QApplication::activePopupWidget());

    // Back and Start: held for 0.9 s nothing happens; for 1 s the game stops as Stop stops it.
    const auto hold = [&pad](int milliseconds) {
        EXPECT_TRUE(pad.set(PadEvent::Back, true) && pad.set(PadEvent::Start, true));
        QTest::qWait(milliseconds);
        EXPECT_TRUE(pad.set(PadEvent::Start, false) && pad.set(PadEvent::Back, false));
    };
    QWidget elsewhere;
    elsewhere.show();
    hold(850);
    ASSERT_FALSE(QTest::qWaitFor([session] { return !session->isRunning(); }, 300));
    hold(1150);
    EXPECT_TRUE(QTest::qWaitFor([session] { return !session->isRunning(); }, kTimeoutMs));
    EXPECT_TRUE(QTest::qWaitForWindowActive(main, kTimeoutMs) && QApplication::focusWidget() == grid);

    // "Never" turns the combination off.
    TestWorld::setSetting("PadStopCombination", QStringLiteral("Never"));
    world.clearRecord();
    controller->playPressed();
    ASSERT_TRUE(world.waitForRecord() && QTest::qWaitFor([session] { return session->isRunning(); }, kTimeoutMs));
    hold(1200);
    EXPECT_FALSE(QTest::qWaitFor([session] { return !session->isRunning(); }, 300));
    controller->stopPressed();
}

} // namespace

TEST(PadLayoutTest, HalfAxesInvertedAxesAndAbsentControlsGiveTheRightValueOrKeepIt)
{
    const QStringList names = QStringLiteral("Z|Start|D-Pad Up|D-Pad Down|Stick Up|Stick Down|Mode").split(u'|');
    const QStringList current = QStringLiteral("k0|k1|k2|k3|k4|k5|k6").split(u'|');
    const PadLayout::Result result = PadLayout::apply(
        QStringLiteral("0300000000000000,Pad,lefttrigger:a2~,dpup:-a7,dpdown:+a7,-lefty:b4,+lefty:b5,lefty:a1,start:h0.4,"),
        names, current);
    EXPECT_EQ(result.mapping, QStringLiteral("axis(2-)|k1|axis(7-)|axis(7+)|button(4)|button(5)|k6").split(u'|'));
    using Row = PadLayout::Row;
    EXPECT_EQ(result.rows, (QList<Row>{Row::Filled, Row::Hat, Row::Filled, Row::Filled, Row::Filled, Row::Filled, Row::NotInLayout}));
    EXPECT_EQ(PadLayout::apply(QStringLiteral("0300000000000000,Pad,"), names.mid(0, 1), current.mid(0, 1)).rows,
              QList<Row>{Row::Missing});
}
