#pragma once

#include <QString>

/// The one place that asks where a user's settings, caches, data and runtime files go (the
/// XDG base directories, through Qt), and names the Launcher's own folder in each.
class XdgFolders
{
public:
    /// $XDG_CONFIG_HOME (~/.config): every program's settings, the emulator's too.
    static QString configHome();
    /// $XDG_RUNTIME_DIR, or a private (0700) folder Qt makes when the session has none; empty
    /// when neither can be had.
    static QString runtimeHome();

    /// The Launcher's settings: configHome()/tolvane-launcher.
    static QString config();
    /// What can be made again (the library cache, thumbnails): ~/.cache/tolvane-launcher.
    static QString cache();
    /// The player's own data (history, covers, their emulator build): ~/.local/share/tolvane-launcher.
    static QString data();
};
