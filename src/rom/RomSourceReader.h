#pragma once

#include "rom/RomArchive.h"
#include "rom/RomSource.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>

class ROM;

/// Lists or reads a ROM source on a thread of its own, so that the thread it lives on (the
/// GUI's) never waits for a disk or a decompressor. One job at a time: a new one, or
/// cancel(), drops the one under way, whose answer never comes. Answers and progress arrive
/// on the reader's own thread.
class RomSourceReader : public QObject
{
    Q_OBJECT

public:
    explicit RomSourceReader(QObject *parent = nullptr);
    /// Cancels the job under way and waits for it (at most one piece's time).
    ~RomSourceReader() override;

    /// Lists the image entries of the archive \a source; listed() follows.
    void list(const RomSource &source);
    /// Reads \a source; finished() follows.
    void read(const RomSource &source);
    void cancel();
    /// Whether a job's answer is still to come.
    bool isBusy() const { return m_busy; }

Q_SIGNALS:
    /// \a done of \a total bytes of the image being read (total -1 when unknown).
    void progress(qint64 done, qint64 total);
    void listed(const RomArchive::Listing &listing);
    /// The record read (refused records included).
    void finished(const std::shared_ptr<ROM> &record);

private:
    // Cancels the job under way and returns the flag of a new one.
    std::shared_ptr<std::atomic<bool>> restart();
    RomReadOptions optionsFor(const std::shared_ptr<std::atomic<bool>> &cancel, quint64 job);

    QThreadPool m_pool;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    quint64 m_job = 0;
    bool m_busy = false;
};
