#include "input/PadStopHold.h"

const QString PadStopHold::kCombinationKey = QStringLiteral("PadStopCombination");
const QString PadStopHold::kSecondsKey = QStringLiteral("PadStopSeconds");

PadStopHold::Combination PadStopHold::combinationFromText(const QString &text)
{
    if (text == QLatin1String("Never"))
        return Combination::Never;
    if (text == QLatin1String("L+R+Start"))
        return Combination::ShouldersStart;
    return Combination::BackStart;
}

QString PadStopHold::textOf(Combination combination)
{
    switch (combination) {
    case Combination::Never:
        return QStringLiteral("Never");
    case Combination::ShouldersStart:
        return QStringLiteral("L+R+Start");
    case Combination::BackStart:
        break;
    }
    return QStringLiteral("Back+Start");
}

void PadStopHold::setRule(Combination combination, qint64 holdMilliseconds)
{
    if (combination != m_combination)
        m_since.reset();
    m_combination = combination;
    m_hold = holdMilliseconds;
}

QSet<int> PadStopHold::buttons() const
{
    switch (m_combination) {
    case Combination::BackStart:
        return {PadEvent::Back, PadEvent::Start};
    case Combination::ShouldersStart:
        return {PadEvent::LeftShoulder, PadEvent::RightShoulder, PadEvent::Start};
    case Combination::Never:
        break;
    }
    return {};
}

void PadStopHold::handle(const PadEvent &event, qint64 now)
{
    if (event.kind == PadEvent::Axis)
        return;
    QSet<int> &held = m_held[event.padId];
    if (event.kind == PadEvent::ButtonDown)
        held.insert(event.control);
    else if (event.kind == PadEvent::ButtonUp)
        held.remove(event.control);
    else
        m_held.remove(event.padId);

    const QSet<int> combination = buttons();
    const bool holding = !combination.isEmpty() && m_held.value(event.padId).contains(combination);
    if (m_since && m_since->first == event.padId && !holding) {
        m_since.reset();
        m_fired = false;
    } else if (!m_since && holding) {
        m_since = qMakePair(event.padId, now);
    }
}

bool PadStopHold::isDue(qint64 now)
{
    if (!m_since || m_fired || m_combination == Combination::Never || now < m_since->second + m_hold)
        return false;
    m_fired = true;
    return true;
}

std::optional<qint64> PadStopHold::deadline() const
{
    if (!m_since || m_fired)
        return std::nullopt;
    return m_since->second + m_hold;
}

void PadStopHold::clear()
{
    m_held.clear();
    m_since.reset();
    m_fired = false;
}
