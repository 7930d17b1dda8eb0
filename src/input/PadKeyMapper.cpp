#include "input/PadKeyMapper.h"

#include <Qt>

namespace {

bool repeats(int button)
{
    return button == PadEvent::DpadUp || button == PadEvent::DpadDown || button == PadEvent::DpadLeft
        || button == PadEvent::DpadRight || button == PadEvent::LeftShoulder || button == PadEvent::RightShoulder;
}

} // namespace

std::optional<PadKeyMapper::Key> PadKeyMapper::keyFor(int button)
{
    switch (button) {
    case PadEvent::A:
    case PadEvent::Start:
        // The keypad's Enter: dialogs, menus and fields take it as Return; on a game it plays.
        return Key{Qt::Key_Enter, Qt::KeypadModifier};
    case PadEvent::B:
        return Key{Qt::Key_Escape};
    case PadEvent::X:
        return Key{Qt::Key_Menu};
    case PadEvent::Y:
        return Key{Qt::Key_D, Qt::ControlModifier};
    case PadEvent::Back:
        return Key{Qt::Key_Tab};
    case PadEvent::LeftShoulder:
        return Key{Qt::Key_PageUp};
    case PadEvent::RightShoulder:
        return Key{Qt::Key_PageDown};
    case PadEvent::DpadUp:
        return Key{Qt::Key_Up};
    case PadEvent::DpadDown:
        return Key{Qt::Key_Down};
    case PadEvent::DpadLeft:
        return Key{Qt::Key_Left};
    case PadEvent::DpadRight:
        return Key{Qt::Key_Right};
    default:
        return std::nullopt;
    }
}

QList<PadKeyMapper::Key> PadKeyMapper::handle(const PadEvent &event, qint64 now)
{
    switch (event.kind) {
    case PadEvent::ButtonDown:
        return press({event.padId, event.control}, now);
    case PadEvent::ButtonUp:
        release({event.padId, event.control});
        return {};
    case PadEvent::Axis: {
        if (event.control != PadEvent::LeftX && event.control != PadEvent::LeftY)
            return {};
        int &side = m_stick[{event.padId, event.control}];
        const int pushed = event.value >= kStickPressed ? 1 : event.value <= -kStickPressed ? -1 : 0;
        const bool back = event.value > -kStickReleased && event.value < kStickReleased;
        const int was = side;
        if (pushed && pushed != was)
            side = pushed;
        else if (back)
            side = 0;
        if (side == was)
            return {};
        const bool across = event.control == PadEvent::LeftX;
        const auto button = [across](int towards) {
            return across ? (towards < 0 ? PadEvent::DpadLeft : PadEvent::DpadRight)
                          : (towards < 0 ? PadEvent::DpadUp : PadEvent::DpadDown);
        };
        // The stick's directions live apart from the d-pad's, with a pad id of their own.
        const int stickPad = -2 - event.padId;
        if (was)
            release({stickPad, button(was)});
        return side ? press({stickPad, button(side)}, now) : QList<Key>{};
    }
    case PadEvent::Removed:
        for (auto it = m_held.begin(); it != m_held.end();)
            it = it.key().first == event.padId || it.key().first == -2 - event.padId ? m_held.erase(it) : std::next(it);
        m_stick.remove({event.padId, PadEvent::LeftX});
        m_stick.remove({event.padId, PadEvent::LeftY});
        if (m_repeat && (m_repeat->control.first == event.padId || m_repeat->control.first == -2 - event.padId))
            m_repeat.reset();
        return {};
    }
    return {};
}

QList<PadKeyMapper::Key> PadKeyMapper::press(const Control &control, qint64 now)
{
    const std::optional<Key> key = keyFor(control.second);
    if (!key || m_held.value(control))
        return {};
    m_held.insert(control, true);
    // As on a keyboard, the last key pressed is the one that repeats.
    if (repeats(control.second))
        m_repeat = Repeat{control, *key, now + kRepeatDelay};
    else
        m_repeat.reset();
    return {*key};
}

void PadKeyMapper::release(const Control &control)
{
    m_held.remove(control);
    if (m_repeat && m_repeat->control == control)
        m_repeat.reset();
}

QList<PadKeyMapper::Key> PadKeyMapper::repeatsDue(qint64 now)
{
    if (!m_repeat || now < m_repeat->due)
        return {};
    m_repeat->due += kRepeatInterval;
    if (m_repeat->due <= now)
        m_repeat->due = now + kRepeatInterval;
    Key key = m_repeat->key;
    key.autoRepeat = true;
    return {key};
}

std::optional<qint64> PadKeyMapper::nextRepeat() const
{
    return m_repeat ? std::optional<qint64>(m_repeat->due) : std::nullopt;
}

void PadKeyMapper::clear()
{
    m_held.clear();
    m_stick.clear();
    m_repeat.reset();
}
