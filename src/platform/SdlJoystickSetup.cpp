#include "platform/SdlJoystickSetup.h"

#include <QByteArray>
#include <QtGlobal>

#include <SDL/SDL.h>

#include <csignal>

namespace {
const char kDriverVariable[] = "SDL_VIDEODRIVER";
}

namespace {

SDL_Joystick *setUp()
{
    const bool hadDriver = qEnvironmentVariableIsSet(kDriverVariable);
    const QByteArray oldDriver = qgetenv(kDriverVariable);
    qputenv(kDriverVariable, QByteArrayLiteral("dummy"));
    // SDL's video set-up turns SIGINT and SIGTERM into quit events in its own queue, where
    // nobody reads them; the Launcher must still end (and end its emulator) on those.
    struct sigaction oldInterrupt = {};
    struct sigaction oldTerminate = {};
    sigaction(SIGINT, nullptr, &oldInterrupt);
    sigaction(SIGTERM, nullptr, &oldTerminate);
    // Only video (which carries the event queue) and joystick: no audio, no CD-ROM,
    // no event thread, and no parachute that would take over our fatal signals.
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_NOPARACHUTE);
    sigaction(SIGINT, &oldInterrupt, nullptr);
    sigaction(SIGTERM, &oldTerminate, nullptr);
    if (hadDriver)
        qputenv(kDriverVariable, oldDriver);
    else
        qunsetenv(kDriverVariable);

    SDL_JoystickEventState(SDL_ENABLE);
    return SDL_JoystickOpen(0);
}

} // namespace

SDL_Joystick *SdlJoystickSetup::openFirstJoystick()
{
    // Once per process: every mapping editor shares the one event queue and device.
    static SDL_Joystick *const joystick = setUp();
    return joystick;
}
