#pragma once

#include "platform/LocalPath.h"

/// "tolvane-launcher --play FILE": plays FILE with its game's effective settings and ends
/// with the emulator. A running Launcher does the playing when there is one; otherwise the
/// game is played here, without a window (and without a display).
class CommandLinePlay
{
public:
    /// Runs the play of \a path to its end and returns the exit status: the emulator's
    /// own (0 when it ended normally), 128 + N for a crash by signal N or a --play ended
    /// by signal N, or one of the Launcher's own (PlayStatus) with the reason on standard
    /// error.
    static int run(int &argc, char **argv, const LocalPath &path);

private:
    // Without a running Launcher: a game session of our own, no window.
    static int playHere(const LocalPath &path);
};
