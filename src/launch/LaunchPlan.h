#pragma once

#include "settings/EffectiveSettings.h"

#include <QByteArray>
#include <QString>

/// Everything one start of the emulator is made of, worked out once before the start, so
/// that the shell, the status line and the output log all tell of the same start.
struct LaunchPlan
{
    /// The folder holding the default build in use (its "tolvane.app").
    QString buildLocation;
    /// The console program run: the custom build's or the default build's.
    QString executable;
    bool customBuild = false;
    /// The launch command as shown and logged, and as /bin/sh gets it (the ROM path's own
    /// bytes, which need not be UTF-8).
    QString commandText;
    QByteArray commandBytes;
    QString inputAutoCfgPath;
    QString inputAutoCfgText;
    /// The groups of the game's own settings this start really uses: a group whose every
    /// own value is unusable falls back to the global values and is not among them.
    EffectiveSettings::Groups ownGroupsUsed;
    /// The game's MD5, under which its run is recorded; empty for a record without one.
    QString md5;
};
