#include "input/PadCapture.h"

#include "input/PadService.h"

#include <QTimer>

PadCapture::PadCapture(QObject *parent)
    : QObject(parent)
    , m_patience(new QTimer(this))
{
    m_patience->setSingleShot(true);
    m_patience->setInterval(kPatienceMs);
    connect(m_patience, &QTimer::timeout, this, [this] {
        cancel();
        Q_EMIT expired();
    });
    PadService &service = PadService::instance();
    service.start();
    connect(&service, &PadService::pushed, this, [this](const PadPush &push) {
        // A push for an arming that was cancelled or answered meanwhile is stale.
        if (!m_generation || push.generation != m_generation)
            return;
        m_generation = 0;
        m_patience->stop();
        Q_EMIT captured(push);
    });
    connect(&service, &PadService::padRemoved, this, [this](const PadInfo &pad) {
        if (m_generation)
            Q_EMIT padLost(pad);
    });
}

PadCapture::~PadCapture()
{
    cancel();
}

void PadCapture::arm()
{
    m_generation = PadService::instance().arm();
    m_patience->start();
}


void PadCapture::cancel()
{
    if (m_generation)
        PadService::instance().disarm(m_generation);
    m_generation = 0;
    m_patience->stop();
}
