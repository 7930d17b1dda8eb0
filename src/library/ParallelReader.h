#pragma once

#include "rom/ROM.h"

#include <QByteArray>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

/// Reads many images at once with a few threads. Each thread reads one file at a time through
/// the reader's fixed-size buffer, so at most `jobs` files are in flight and memory stays flat
/// however many files there are. An archive whose decompressor needs a window over
/// `largeWindow` (a .7z made with a big dictionary reserves all of it) is read while no other
/// such archive is, in any reader of the process, so that peak memory stays bounded.
class ParallelReader
{
public:
    static constexpr std::uint64_t largeWindow = std::uint64_t(32) << 20;
    /// The most archives with a large window that were ever being read at once.
    static int mostLargeReadsAtOnce();

    /// One per core.
    static int defaultJobs();

    /// What one path gave: one record for a plain file, one per image entry for a .zip or
    /// .7z archive (or one refused record for the archive).
    using Records = std::vector<std::shared_ptr<ROM>>;

    /// Reads every path and hands its records to \a onRecords with the path's index, on the
    /// reading thread, in the order reads complete. Returns when all are read or, once
    /// \a cancel is set, when the reads under way have ended (a cancelled archive gives no
    /// records). \a onTick, when given, is called every \a tickMs on a thread of its own while
    /// reads go on, and once at the end: what finished is told even while one slow archive
    /// is still being read.
    static void readAll(const std::vector<QByteArray> &paths, int jobs,
                        const std::function<void(std::size_t, Records)> &onRecords,
                        const std::atomic<bool> *cancel = nullptr, const std::function<void()> &onTick = {},
                        int tickMs = 100);
};
