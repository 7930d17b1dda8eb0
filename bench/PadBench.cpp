// How fast the pad acts, with one of SDL's virtual game controllers: the stop combination
// held for its time while the stand-in emulator runs (from the end of the hold time to the
// stop request, and to the emulator's exit), and a d-pad press until its key event reaches
// the focused widget. Both include the pad service's 20 ms pump, as a player's pad does.
// Usage: tolvane-pad-bench FAKE-EMULATOR [ROUNDS]   (QT_QPA_PLATFORM=offscreen will do)
#include "input/PadEvent.h"
#include "input/PadNavigator.h"
#include "input/PadService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QListWidget>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct KeyClock : QObject
{
    QElapsedTimer *clock;
    qint64 delivered = -1;
    explicit KeyClock(QElapsedTimer *c) : clock(c) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down)
            delivered = clock->nsecsElapsed();
        return false;
    }
};

// Waits in the event loop itself: QTest's waits sleep 10 ms at a time, which would count here.
template<typename Predicate>
bool waitUntil(Predicate done, int milliseconds = 5000)
{
    QElapsedTimer waited;
    waited.start();
    QTimer wake;
    wake.start(5);
    while (!done()) {
        if (waited.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void report(const char *what, std::vector<double> values, double budget)
{
    std::sort(values.begin(), values.end());
    const double median = values[values.size() / 2];
    const double worst = values.back();
    std::printf("%-44s median %6.1f ms  max %6.1f ms  budget %5.0f ms  %s\n", what, median, worst, budget,
                worst <= budget ? "ok" : "OVER");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return std::fprintf(stderr, "usage: tolvane-pad-bench FAKE-EMULATOR [ROUNDS]\n"), 64;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    PadService::instance().setVirtualPadsOnly(true);
    QProcess emulator;
    PadNavigator navigator;
    navigator.setGameRunning([&emulator] { return emulator.state() == QProcess::Running; });
    QElapsedTimer clock;
    clock.start();
    qint64 requested = -1;
    QObject::connect(&navigator, &PadNavigator::stopRequested, [&] {
        requested = clock.nsecsElapsed();
        emulator.terminate();
    });

    if (!waitUntil([] { return PadService::instance().isReady(); }))
        return std::fprintf(stderr, "SDL could not be set up\n"), 1;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.nbuttons = 15, desc.naxes = 6;
    desc.name = "Bench Pad";
    SDL_Joystick *pad = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    const auto set = [pad](int button, bool pressed) {
        SDL_JoystickSetVirtualButton(pad, button, pressed ? SDL_PRESSED : SDL_RELEASED);
        return waitUntil([&] { return SDL_JoystickGetButton(pad, button) == (pressed ? SDL_PRESSED : SDL_RELEASED); });
    };
    if (!waitUntil([] { return PadService::instance().pads().size() == 1; }))
        return std::fprintf(stderr, "the virtual pad did not come\n"), 1;

    std::vector<double> toRequest, toExit;
    for (int round = 0; round < rounds; ++round) {
        emulator.start(QString::fromLocal8Bit(argv[1]), {});
        if (!emulator.waitForStarted())
            return std::fprintf(stderr, "the stand-in did not start\n"), 1;
        requested = -1;
        set(PadEvent::Back, true);
        SDL_JoystickSetVirtualButton(pad, PadEvent::Start, SDL_PRESSED);
        const qint64 holdEnds = clock.nsecsElapsed() + 1000 * 1000000LL;
        if (!waitUntil([&] { return emulator.state() == QProcess::NotRunning; }, 5000))
            return std::fprintf(stderr, "the combination did not stop the stand-in\n"), 1;
        const qint64 exited = clock.nsecsElapsed();
        toRequest.push_back((requested - holdEnds) / 1e6);
        toExit.push_back((exited - holdEnds) / 1e6);
        set(PadEvent::Start, false);
        set(PadEvent::Back, false);
    }

    QListWidget list;
    for (int row = 0; row < 1000; ++row)
        list.addItem(QStringLiteral("Game %1").arg(row));
    KeyClock keys(&clock);
    list.installEventFilter(&keys);
    list.show();
    list.activateWindow();
    if (!QTest::qWaitForWindowActive(&list))
        return std::fprintf(stderr, "the window did not become active\n"), 1;
    list.setFocus();
    std::vector<double> toKey;
    for (int round = 0; round < 5 * rounds; ++round) {
        keys.delivered = -1;
        const qint64 pressed = clock.nsecsElapsed();
        SDL_JoystickSetVirtualButton(pad, PadEvent::DpadDown, SDL_PRESSED);
        if (!waitUntil([&] { return keys.delivered >= 0; }, 2000))
            return std::fprintf(stderr, "no key came\n"), 1;
        toKey.push_back((keys.delivered - pressed) / 1e6);
        set(PadEvent::DpadDown, false);
        QTest::qWait(7 * (round % 3)); // not always in step with the pump
    }
    std::printf("%d rounds\n", rounds);
    report("stop: hold time's end to stop request", toRequest, 100);
    report("stop: hold time's end to emulator's exit", toExit, 100);
    report("d-pad press to QKeyEvent delivered", toKey, 50);
    SDL_JoystickClose(pad);
    return 0;
}
