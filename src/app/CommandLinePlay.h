#pragma once

#include "platform/LocalPath.h"

/// "tolvane-launcher --play FILE": plays FILE with its game's effective settings and ends
/// with the emulator. A running Launcher does the playing when there is one; otherwise the
/// game is played here, without a window (and without a display).
class CommandLinePlay
{
public:
    /// Runs the play of \a path to its end and returns the exit status: 0 when the
    /// emulator ended normally, else non-zero with the reason on standard error.
    static int run(int &argc, char **argv, const LocalPath &path);

private:
    // Without a running Launcher: our own supervisor, no window.
    static int playHere(const LocalPath &path);
};
