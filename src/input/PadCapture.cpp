#include "input/PadCapture.h"

#include "input/PadService.h"

PadCapture::PadCapture(QObject *parent)
    : QObject(parent)
{
    PadService &service = PadService::instance();
    service.start();
    connect(&service, &PadService::pushed, this, [this](const PadPush &push) {
        // A push for an arming that was cancelled or answered meanwhile is stale.
        if (!m_generation || push.generation != m_generation)
            return;
        m_generation = 0;
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
}

void PadCapture::cancel()
{
    if (m_generation)
        PadService::instance().disarm(m_generation);
    m_generation = 0;
}
