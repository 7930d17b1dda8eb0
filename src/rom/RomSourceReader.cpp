#include "rom/RomSourceReader.h"

#include "rom/ROM.h"

#include <QMetaObject>

RomSourceReader::RomSourceReader(QObject *parent) : QObject(parent)
{
    // A cancelled job finishes its piece beside the next one instead of delaying it.
    m_pool.setMaxThreadCount(2);
}

RomSourceReader::~RomSourceReader()
{
    cancel();
    m_pool.waitForDone();
}

std::shared_ptr<std::atomic<bool>> RomSourceReader::restart()
{
    cancel();
    ++m_job;
    m_busy = true;
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    return m_cancel;
}

void RomSourceReader::cancel()
{
    if (m_cancel)
        m_cancel->store(true);
    m_cancel.reset();
    // Whatever the job under way still sends is dropped by its number.
    ++m_job;
    m_busy = false;
}

RomReadOptions RomSourceReader::optionsFor(const std::shared_ptr<std::atomic<bool>> &cancel, quint64 job)
{
    RomReadOptions options;
    options.cancel = cancel.get();
    options.progress = [this, job](qint64 done, qint64 total) {
        QMetaObject::invokeMethod(this, [this, job, done, total] {
            if (job == m_job)
                Q_EMIT progress(done, total);
        }, Qt::QueuedConnection);
    };
    return options;
}

void RomSourceReader::list(const RomSource &source)
{
    const std::shared_ptr<std::atomic<bool>> cancel = restart();
    const quint64 job = m_job;
    m_pool.start([this, source, cancel, job, options = optionsFor(cancel, job)] {
        RomArchive::Listing listing = source.listImages(options);
        QMetaObject::invokeMethod(this, [this, job, listing = std::move(listing)] {
            if (job != m_job)
                return;
            m_busy = false;
            Q_EMIT listed(listing);
        }, Qt::QueuedConnection);
    });
}

void RomSourceReader::read(const RomSource &source)
{
    const std::shared_ptr<std::atomic<bool>> cancel = restart();
    const quint64 job = m_job;
    m_pool.start([this, source, cancel, job, options = optionsFor(cancel, job)] {
        std::shared_ptr<ROM> record = source.read(options);
        QMetaObject::invokeMethod(this, [this, job, record = std::move(record)] {
            if (job != m_job)
                return;
            m_busy = false;
            Q_EMIT finished(record);
        }, Qt::QueuedConnection);
    });
}
