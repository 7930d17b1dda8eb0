#pragma once

#include "input/PadEvent.h"

#include <QMap>
#include <QSet>
#include <QString>

#include <optional>

/// The pad combination that stops the running game: its buttons held together on one pad for
/// the hold time. Without widgets and without a clock of its own: the caller says what time it
/// is, in milliseconds.
class PadStopHold
{
public:
    enum class Combination { Never, BackStart, ShouldersStart };

    /// The settings keys: the combination ("Never", "Back+Start", "L+R+Start") and the hold
    /// time in seconds (1 to 3).
    static const QString kCombinationKey;
    static const QString kSecondsKey;
    static Combination combinationFromText(const QString &text);
    static QString textOf(Combination combination);

    void setRule(Combination combination, qint64 holdMilliseconds);
    Combination combination() const { return m_combination; }
    qint64 holdTime() const { return m_hold; }

    void handle(const PadEvent &event, qint64 now);
    /// True once when the combination has been held for the hold time by \a now; it must be
    /// let go before it counts again.
    bool isDue(qint64 now);
    /// When the hold in progress ends; none while the combination is not held.
    std::optional<qint64> deadline() const;
    void clear();

private:
    QSet<int> buttons() const;

    Combination m_combination = Combination::BackStart;
    qint64 m_hold = 1000;
    QMap<int, QSet<int>> m_held;
    // The pad holding the combination and since when.
    std::optional<QPair<int, qint64>> m_since;
    bool m_fired = false;
};
