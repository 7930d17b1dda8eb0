#pragma once

struct _SDL_Joystick;

/// SDL 1.2 set-up for joystick capture: the event queue without a window, an audio
/// device, the terminal, SDL's fatal-signal handlers or its SIGINT/SIGTERM handlers.
class SdlJoystickSetup
{
public:
    /// Initialises SDL's video (for the event queue, on the dummy driver) and joystick
    /// subsystems, turns joystick events on and opens joystick device 0.
    /// Returns the joystick, or null when there is none. The set-up is done at the first
    /// call only; later calls return the same joystick.
    ///
    /// SDL 1.2 takes the dummy driver only from SDL_VIDEODRIVER, so the variable is set
    /// just around SDL_Init and restored at once: the emulator inherits our environment.
    static _SDL_Joystick *openFirstJoystick();
};
