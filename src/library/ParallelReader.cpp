#include "library/ParallelReader.h"

#include "platform/LocalPath.h"
#include "rom/RomArchive.h"

#include <QFile>
#include <QUrl>

#include <algorithm>
#include <thread>

int ParallelReader::defaultJobs()
{
    return std::max(1, int(std::thread::hardware_concurrency()));
}

void ParallelReader::readAll(const std::vector<QByteArray> &paths, int jobs,
                             const std::function<void(std::size_t, Records)> &onRecords,
                             const std::atomic<bool> *cancel)
{
    std::atomic<std::size_t> next{0};
    const auto work = [&]() {
        for (;;) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return;
            const std::size_t index = next.fetch_add(1);
            if (index >= paths.size())
                return;
            const QByteArray &path = paths[index];
            const QUrl url = LocalPath(path).toUrl();
            if (RomArchive::hasArchiveExtension(path.constData(), std::size_t(path.size())))
                onRecords(index, RomArchive::readImages(url, {ROM::maximumImageSize, cancel}));
            else
                onRecords(index, {ROM::romFromURL(url)});
        }
    };
    const std::size_t threads = std::min<std::size_t>(std::size_t(std::max(1, jobs)), paths.size());
    if (threads <= 1) {
        work();
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
}
