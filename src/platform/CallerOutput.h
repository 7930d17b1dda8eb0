#pragma once

#include "platform/OutputRelay.h"

#include <memory>

/// The standard output and error of a "--play" that was handed over to us: the emulator
/// started for it writes there, as it would for a "--play" without a window. Owns both
/// descriptors; each is closed once its relay has written what it was given.
class CallerOutput
{
public:
    /// Takes \a outputFd and \a errorFd.
    CallerOutput(int outputFd, int errorFd);

    /// The relay for standard output (\a channel 1) or error (2).
    OutputRelay &relay(int channel) { return *m_relays[channel == 2 ? 1 : 0]; }
    /// True when everything given to the relays has been written (or cannot be).
    bool isWritten();

private:
    std::unique_ptr<OutputRelay> m_relays[2];
};
