#pragma once

#include "input/PadEvent.h"

#include <QList>
#include <QMap>
#include <QPair>

#include <optional>

/// What the pad's buttons mean to the Launcher's windows, as keys, so the pad takes the roads
/// of the keyboard and of screen readers: the d-pad and the left stick are the arrows, A and
/// Start the keypad's Enter (activate; on a game, Play), B Escape, X the menu key, Y Ctrl+D
/// (favourite), Back Tab and the shoulders Page Up and Page Down. The arrows and pages repeat
/// as a held key does. Without widgets and without a clock of its own: the caller says what
/// time it is, in milliseconds.
class PadKeyMapper
{
public:
    static constexpr qint64 kRepeatDelay = 400;
    static constexpr qint64 kRepeatInterval = 120;
    /// The stick counts as pushed beyond half way and as back only under a quarter, so a
    /// stick resting near the edge of the dead zone does not press and release again and again.
    static constexpr int kStickPressed = 16384;
    static constexpr int kStickReleased = 8192;

    struct Key
    {
        int key = 0;
        int modifiers = 0;
        bool autoRepeat = false;
        friend bool operator==(const Key &, const Key &) = default;
    };

    /// The key a button stands for, if any.
    static std::optional<Key> keyFor(int button);

    /// The keys \a event presses at \a now.
    QList<Key> handle(const PadEvent &event, qint64 now);
    /// The repeats due by \a now (at most one per call: a late caller does not get a burst).
    QList<Key> repeatsDue(qint64 now);
    /// When the next repeat is due; none while nothing repeats.
    std::optional<qint64> nextRepeat() const;
    /// Forgets what is held, as after the pads were handed to something else.
    void clear();

private:
    // A button, or a stick direction as the d-pad button it stands in for.
    using Control = QPair<int, int>;
    QList<Key> press(const Control &control, qint64 now);
    void release(const Control &control);

    QMap<Control, bool> m_held;
    // Per pad and axis: -1, 0 or 1.
    QMap<Control, int> m_stick;
    struct Repeat
    {
        Control control;
        Key key;
        qint64 due = 0;
    };
    std::optional<Repeat> m_repeat;
};
