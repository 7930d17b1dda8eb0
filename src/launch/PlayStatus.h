#pragma once

/// The exit statuses of "tolvane-launcher --play" that are the Launcher's own. They start at
/// 64, as sysexits(3) does, apart from the small statuses an emulator usually exits with,
/// which are passed on as they are; an emulator ended by signal N gives 128 + N, and so does
/// a --play ended by signal N once the emulator it asked to end has ended.
namespace PlayStatus {
enum : int {
    Usage = 64,          ///< the command line was wrong
    CannotOpen = 66,     ///< the file cannot be opened, or its image cannot be extracted
    NoEmulator = 69,     ///< there is no emulator program to start
    AlreadyPlaying = 75, ///< another game is being played, and was left alone
    BadSettings = 78,    ///< the settings file cannot be read (the window sets it aside)
};
} // namespace PlayStatus
