#include "platform/SdlJoystickSetup.h"

#include <QByteArray>
#include <QtGlobal>

#include <SDL/SDL.h>

namespace {
const char kDriverVariable[] = "SDL_VIDEODRIVER";
}

SDL_Joystick *SdlJoystickSetup::openFirstJoystick()
{
    const bool hadDriver = qEnvironmentVariableIsSet(kDriverVariable);
    const QByteArray oldDriver = qgetenv(kDriverVariable);
    qputenv(kDriverVariable, QByteArrayLiteral("dummy"));
    // Only video (which carries the event queue) and joystick: no audio, no CD-ROM,
    // no event thread, and no parachute that would take over our fatal signals.
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_NOPARACHUTE);
    if (hadDriver)
        qputenv(kDriverVariable, oldDriver);
    else
        qunsetenv(kDriverVariable);

    SDL_JoystickEventState(SDL_ENABLE);
    return SDL_JoystickOpen(0);
}
