#pragma once

#include <QString>

/// One connected pad as SDL 2 sees it.
struct PadInfo
{
    /// SDL's instance id: unique for the process, never reused when a pad comes back.
    int id = -1;
    QString name;
    /// SDL's 32-digit GUID text, which game-controller mappings are keyed by.
    QString guid;
    int buttons = 0;
    int axes = 0;
    int hats = 0;
};
