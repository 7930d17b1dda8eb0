#pragma once

#include "rom/ROM.h"

#include <QByteArray>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

/// Reads many images at once with a few threads. Each thread reads one file at a time through
/// the reader's fixed-size buffer, so at most `jobs` files are in flight and memory stays flat
/// however many files there are.
class ParallelReader
{
public:
    /// One per core.
    static int defaultJobs();

    /// Reads every path and hands each record to \a onRecord with the path's index, on the
    /// reading thread, in the order reads complete. Returns when all are read or, once
    /// \a cancel is set, when the reads under way have ended.
    static void readAll(const std::vector<QByteArray> &paths, int jobs,
                        const std::function<void(std::size_t, std::shared_ptr<ROM>)> &onRecord,
                        const std::atomic<bool> *cancel = nullptr);
};
