#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>

/// How far a read of a ROM source goes, and who hears of it.
struct RomReadOptions
{
    /// No image is read past this length, whatever an archive's header claims.
    qint64 limit = qint64(1) << 31; // ROM::maximumImageSize
    /// What one archive may unpack in all, beyond 64 times its own length: an archive of ROM
    /// images never comes near it, one built to unpack without end is stopped there.
    qint64 inflateAllowance = qint64(1) << 30;
    /// Once set, reading stops soon and gives nothing worth keeping.
    const std::atomic<bool> *cancel = nullptr;
    /// Told after each piece: the bytes read so far and the image's length (-1 when unknown).
    /// Called on the reading thread.
    std::function<void(qint64 done, qint64 total)> progress;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};
