#pragma once

#include <QByteArray>

#include <memory>

class QDeadlineTimer;

/// Passes bytes on to one of the Launcher's own output streams without ever making the
/// caller wait: the bytes go into a bounded buffer that a writer thread of its own empties
/// with ordinary blocking writes. A stream that does not move (a terminal paused with
/// Ctrl+S, a pipe nobody reads) holds up that thread only; what no longer fits is dropped,
/// and a line saying how much takes its place in the stream once it moves again.
///
/// The stream's file status flags are left alone: they belong to the open file description,
/// which the shell and every other process on the terminal share with us.
class OutputRelay
{
public:
    /// What became of the bytes given to write().
    enum class Outcome {
        Queued,          ///< all of them will be written
        DroppingBegan,   ///< the buffer was full: some or all were dropped, the first since
                         ///< the stream last moved
        Dropped,         ///< dropped, like others before them that the stream has not yet taken
        StreamGone,      ///< the stream cannot be written (a closed pipe); nothing is passed on
    };

    static constexpr qsizetype kDefaultCapacity = qsizetype(1) << 20;
    /// How long the Launcher's end waits for a stream to take what is still buffered.
    static constexpr int kExitFlushMs = 2000;

    /// The relays to our own standard output and error, made at first use and flushed (for
    /// at most kExitFlushMs) when the process ends.
    static OutputRelay &standardOutput();
    static OutputRelay &standardError();

    /// Whose descriptor the relay writes to.
    enum class Ownership {
        Borrowed, ///< the caller's: it must stay open as long as the relay is used
        Adopted,  ///< the relay's: closed once the writer is done with it
    };
    /// A relay to \a fd. The writer thread starts with the first write.
    explicit OutputRelay(int fd, qsizetype capacity = kDefaultCapacity, Ownership ownership = Ownership::Borrowed);
    /// Borrowed: waits for at most kExitFlushMs for the buffer to be written, then leaves a
    /// writer still held up by the stream behind; it writes nothing more. Adopted: returns at
    /// once; the writer writes what is queued and then closes the descriptor.
    ~OutputRelay();
    OutputRelay(const OutputRelay &) = delete;
    OutputRelay &operator=(const OutputRelay &) = delete;

    /// Queues \a bytes for the stream and returns at once. Callable from any thread.
    Outcome write(const QByteArray &bytes);
    /// Waits until everything queued has been written, or \a deadline has passed; true when
    /// the buffer is empty.
    bool flush(QDeadlineTimer deadline);
    /// Bytes dropped so far because the buffer was full.
    qint64 droppedBytes() const;

private:
    struct Shared;
    void startWriter();

    std::shared_ptr<Shared> m_shared;
};
