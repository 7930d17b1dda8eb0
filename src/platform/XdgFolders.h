#pragma once

#include <QString>

/// The one place that asks where a user's settings, caches, data and runtime files go (the
/// XDG base directories, through Qt), and names the Launcher's own folder in each.
class XdgFolders
{
public:
    /// $XDG_CONFIG_HOME (~/.config): every program's settings, the emulator's too.
    static QString configHome();
    /// The user's private runtime folder: $XDG_RUNTIME_DIR; without it (a script, cron, an
    /// ssh session) the one the desktop session has, /run/user/UID, so that every start of
    /// the user meets the same socket and lock; else a folder of ours, TMPDIR/tolvane-launcher-UID.
    /// Each must be a folder of the user's alone (0700); empty when none is.
    static QString runtimeHome();
    /// runtimeHome() for the given \a xdgRuntimeDir, with \a perUserRoot in place of /run/user
    /// and \a tempDir of the temporary folder.
    static QString runtimeHomeFor(const QString &xdgRuntimeDir, const QString &perUserRoot, const QString &tempDir);
    /// The Launcher's own runtime folder, runtimeHome()/tolvane-launcher, made if need be and
    /// private; empty when it cannot be had.
    static QString runtime();

    /// The Launcher's settings: configHome()/tolvane-launcher.
    static QString config();
    /// What can be made again (the library cache, thumbnails): ~/.cache/tolvane-launcher.
    static QString cache();
    /// The player's own data (history, covers, their emulator build): ~/.local/share/tolvane-launcher.
    static QString data();
};
