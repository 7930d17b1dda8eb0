#include "platform/OutputRelay.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

// Pieces are joined until they are this large.
constexpr qsizetype kJoinBelow = 64 * 1024;

} // namespace

struct OutputRelay::Shared
{
    Shared(int fd, qsizetype capacity, bool ownsFd)
        : fd(fd)
        , capacity(capacity)
        , ownsFd(ownsFd)
    {
    }
    // The last of the relay and its writer: nobody writes to the descriptor any more.
    ~Shared()
    {
        if (ownsFd)
            ::close(fd);
    }

    // Bytes to write, or (with no bytes) the note for what was dropped at this place.
    struct Item
    {
        QByteArray bytes;
        qint64 dropped = 0;
    };

    void run();
    // Writes all of \a bytes, waiting for the stream as long as it takes; false when the
    // stream is gone or the owner has left meanwhile.
    bool writeAll(const QByteArray &bytes);
    QByteArray noteFor(qint64 dropped);

    const int fd;
    const qsizetype capacity;
    const bool ownsFd;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable drained;
    std::deque<Item> queue;
    qsizetype queued = 0;
    // The note at the end of the queue that further drops still add to; a deque keeps its
    // elements in place while others are added or taken at its ends.
    Item *openNote = nullptr;
    bool dropping = false;
    bool gone = false;
    bool closing = false;
    bool abandoned = false;
    qint64 droppedTotal = 0;
    // Touched by the writer alone: a note starts on a line of its own.
    bool atLineStart = true;
    std::thread writer;
    std::once_flag writerStarted;
};

OutputRelay &OutputRelay::standardOutput()
{
    static OutputRelay relay(STDOUT_FILENO);
    return relay;
}

OutputRelay &OutputRelay::standardError()
{
    static OutputRelay relay(STDERR_FILENO);
    return relay;
}

OutputRelay::OutputRelay(int fd, qsizetype capacity, Ownership ownership)
    : m_shared(std::make_shared<Shared>(fd, capacity, ownership == Ownership::Adopted))
{
}

OutputRelay::~OutputRelay()
{
    if (!m_shared->writer.joinable())
        return;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->closing = true;
    }
    m_shared->wake.notify_all();
    // Nobody waits for a stream of somebody else's; the writer ends when it has written all.
    if (m_shared->ownsFd) {
        m_shared->writer.detach();
        return;
    }
    const bool written = flush(QDeadlineTimer(kExitFlushMs));
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->abandoned = true;
    }
    m_shared->wake.notify_all();
    // A writer held up by the stream keeps the shared state alive and ends when the stream
    // moves or the process does; waiting for it could take forever.
    if (written)
        m_shared->writer.join();
    else
        m_shared->writer.detach();
}

OutputRelay::Outcome OutputRelay::write(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return Outcome::Queued;
    Shared &shared = *m_shared;
    Outcome outcome = Outcome::Queued;
    {
        const std::lock_guard lock(shared.mutex);
        if (shared.gone)
            return Outcome::StreamGone;
        // Taking bytes again only once half the buffer is free keeps a slow reader from
        // getting a note between every two pieces.
        if (shared.dropping && shared.queued <= shared.capacity / 2)
            shared.dropping = false;
        qsizetype fits = bytes.size();
        if (shared.dropping) {
            fits = 0;
            outcome = Outcome::Dropped;
        } else if (shared.queued + bytes.size() > shared.capacity) {
            fits = shared.capacity - shared.queued;
            shared.dropping = true;
            outcome = Outcome::DroppingBegan;
        }
        if (fits > 0) {
            // Small pieces (an unbuffered stream read as it comes) join the last one, so the
            // buffer's bound holds for its memory too. The writer only ever takes the first.
            Shared::Item *last = shared.queue.size() >= 2 ? &shared.queue.back() : nullptr;
            if (last && !last->bytes.isEmpty() && last->bytes.size() < kJoinBelow)
                last->bytes.append(bytes.constData(), fits);
            else
                shared.queue.push_back({fits == bytes.size() ? bytes : bytes.first(fits), 0});
            shared.queued += fits;
        }
        if (fits < bytes.size()) {
            if (!shared.openNote) {
                shared.queue.push_back({QByteArray(), 0});
                shared.openNote = &shared.queue.back();
            }
            shared.openNote->dropped += bytes.size() - fits;
            shared.droppedTotal += bytes.size() - fits;
        }
    }
    std::call_once(shared.writerStarted, [this] { startWriter(); });
    shared.wake.notify_one();
    return outcome;
}

bool OutputRelay::flush(QDeadlineTimer deadline)
{
    Shared &shared = *m_shared;
    std::unique_lock lock(shared.mutex);
    const auto empty = [&shared] { return shared.queue.empty(); };
    if (deadline.isForever()) {
        shared.drained.wait(lock, empty);
        return true;
    }
    return shared.drained.wait_for(lock, std::chrono::milliseconds(deadline.remainingTime()), empty);
}

qint64 OutputRelay::droppedBytes() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->droppedTotal;
}

void OutputRelay::startWriter()
{
    // The writer takes no signals: they are the event loop's business, and a SIGPIPE for a
    // closed stream is better read as EPIPE. Blocked here already, so none slips in before
    // the thread could block them itself.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    m_shared->writer = std::thread([shared = m_shared] { shared->run(); });
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void OutputRelay::Shared::run()
{
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return abandoned || closing || !queue.empty(); });
        if (abandoned || queue.empty())
            return;
        Item &front = queue.front();
        QByteArray bytes = front.bytes;
        const bool note = bytes.isEmpty();
        if (note) {
            // Counted to the end: whatever is dropped from now on gets a note of its own.
            bytes = noteFor(front.dropped);
            if (openNote == &front)
                openNote = nullptr;
            queue.pop_front();
        }
        lock.unlock();
        const bool written = writeAll(bytes);
        lock.lock();
        if (!written) {
            gone = gone || !abandoned;
            queue.clear();
            openNote = nullptr;
            queued = 0;
            drained.notify_all();
            return;
        }
        atLineStart = bytes.endsWith('\n');
        if (!note) {
            queued -= bytes.size();
            queue.pop_front();
        }
        if (queue.empty())
            drained.notify_all();
    }
}

bool OutputRelay::Shared::writeAll(const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t count = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (count > 0) {
            done += count;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // Somebody else made the shared description non-blocking: wait as a blocking
            // write would, looking up now and then in case our owner has gone.
            pollfd watched{fd, POLLOUT, 0};
            ::poll(&watched, 1, 200);
            const std::lock_guard lock(mutex);
            if (abandoned)
                return false;
            continue;
        }
        return false;
    }
    const std::lock_guard lock(mutex);
    return !abandoned;
}

QByteArray OutputRelay::Shared::noteFor(qint64 dropped)
{
    // Counted apart: lupdate loses its way in a template argument list inside the call.
    const int count = int(qMin<qint64>(dropped, INT_MAX));
    const QString text = QCoreApplication::translate("OutputRelay",
                                                     "tolvane-launcher: %n byte(s) of output were dropped here "
                                                     "while this stream was blocked.",
                                                     nullptr, count);
    return (atLineStart ? QByteArray() : QByteArrayLiteral("\n")) + text.toLocal8Bit() + '\n';
}
