#pragma once

/// A change on a pad that SDL knows as a game controller, in SDL's game-controller meaning:
/// the buttons are numbered as SDL_GameControllerButton (A 0, B 1, X 2, Y 3, Back 4, Guide 5,
/// Start 6, shoulders 9 and 10, d-pad 11 to 14), the stick's axes as SDL_GameControllerAxis
/// (left stick 0 across, 1 down) from -32768 to 32767.
struct PadEvent
{
    enum Kind { ButtonDown, ButtonUp, Axis, Removed };
    enum Button {
        A = 0, B = 1, X = 2, Y = 3, Back = 4, Guide = 5, Start = 6,
        LeftShoulder = 9, RightShoulder = 10, DpadUp = 11, DpadDown = 12, DpadLeft = 13, DpadRight = 14,
    };
    enum StickAxis { LeftX = 0, LeftY = 1 };

    int padId = -1;
    Kind kind = ButtonDown;
    /// The button or axis; unused for Removed.
    int control = 0;
    /// The axis position.
    int value = 0;
    /// Read while a capture waited for a push, or while the push that answered it was still
    /// held: the pads were the capture's then, not the windows'.
    bool forCapture = false;
};
