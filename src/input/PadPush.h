#pragma once

#include <QString>

/// The first button press or axis push of an armed capture.
struct PadPush
{
    /// The arming this push answers; an older arming's push is stale.
    int generation = 0;
    int padId = -1;
    QString padName;
    /// "button(N)" or "axis(N+)"/"axis(N-)" in SDL 2's joystick numbering.
    QString value;
    /// SDL's game-controller mapping of the pad ("GUID,name,a:b0,…"), empty when SDL does
    /// not know the pad as a game controller.
    QString controllerMapping;
};
