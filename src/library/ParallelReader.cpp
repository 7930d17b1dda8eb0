#include "library/ParallelReader.h"

#include "platform/LocalPath.h"
#include "rom/ArchiveWindow.h"
#include "rom/RomSource.h"

#include <QFile>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

std::mutex g_largeWindow;
std::atomic<int> g_largeReads{0};
std::atomic<int> g_mostLargeReads{0};

std::vector<std::shared_ptr<ROM>> readArchive(const QByteArray &path, const RomSource &source, const std::atomic<bool> *cancel)
{
    RomReadOptions options;
    options.cancel = cancel;
    // Only the headers are read to know: a few kilobytes, or a packed .7z header unpacked.
    if (ArchiveWindow::ofFile(path) <= ParallelReader::largeWindow)
        return source.readAll(options);
    const std::lock_guard<std::mutex> oneAtATime(g_largeWindow);
    const int reads = ++g_largeReads;
    for (int most = g_mostLargeReads; reads > most && !g_mostLargeReads.compare_exchange_weak(most, reads);) {
    }
    auto records = source.readAll(options);
    --g_largeReads;
    return records;
}

} // namespace

int ParallelReader::mostLargeReadsAtOnce()
{
    return g_mostLargeReads;
}

int ParallelReader::defaultJobs()
{
    return std::max(1, int(std::thread::hardware_concurrency()));
}

void ParallelReader::readAll(const std::vector<QByteArray> &paths, int jobs,
                             const std::function<void(std::size_t, Records)> &onRecords,
                             const std::atomic<bool> *cancel, const std::function<void()> &onTick, int tickMs)
{
    std::mutex tickLock;
    std::condition_variable ended;
    bool reading = true;
    std::thread ticker;
    if (onTick) {
        ticker = std::thread([&]() {
            std::unique_lock<std::mutex> lock(tickLock);
            while (!ended.wait_for(lock, std::chrono::milliseconds(tickMs), [&reading] { return !reading; })) {
                lock.unlock();
                onTick();
                lock.lock();
            }
        });
    }
    const auto endTicks = [&]() {
        if (!ticker.joinable())
            return;
        {
            const std::lock_guard<std::mutex> lock(tickLock);
            reading = false;
        }
        ended.notify_all();
        ticker.join();
        onTick();
    };
    std::atomic<std::size_t> next{0};
    const auto work = [&]() {
        for (;;) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return;
            const std::size_t index = next.fetch_add(1);
            if (index >= paths.size())
                return;
            const QByteArray &path = paths[index];
            const RomSource source(LocalPath(path).toUrl());
            onRecords(index, source.kind() == RomSource::Kind::Archive ? readArchive(path, source, cancel)
                                                                       : source.readAll());
        }
    };
    const std::size_t threads = std::min<std::size_t>(std::size_t(std::max(1, jobs)), paths.size());
    if (threads <= 1) {
        work();
        endTicks();
        return;
    }
    std::vector<std::thread> pool;
    pool.reserve(threads - 1);
    for (std::size_t i = 1; i < threads; ++i)
        pool.emplace_back(work);
    // The calling thread is one of the readers.
    work();
    for (std::thread &thread : pool)
        thread.join();
    endTicks();
}
