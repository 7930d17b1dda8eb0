#include "input/PadKeyMapper.h"
#include "input/PadStopHold.h"

#include <Qt>

#include <gtest/gtest.h>

namespace {

using Key = PadKeyMapper::Key;

PadEvent down(int button, int pad = 1) { return {pad, PadEvent::ButtonDown, button, 0}; }
PadEvent up(int button, int pad = 1) { return {pad, PadEvent::ButtonUp, button, 0}; }

TEST(PadKeyMapperTest, ArrowsRepeatAfter400MsThenEvery120AndTheStickHasADeadZoneWithHysteresis)
{
    PadKeyMapper mapper;
    EXPECT_EQ(mapper.handle(down(PadEvent::DpadDown), 0), QList<Key>{Key{Qt::Key_Down}});
    // Asked at these times: whether a repeat is due (a late caller gets one, not a burst), and the next.
    for (const auto &[at, repeats, next] : {std::tuple{399, false, 400}, {400, true, 520}, {519, false, 520}, {520, true, 640},
                                            {1000, true, 1120}, {1001, false, 1120}}) {
        EXPECT_EQ(mapper.repeatsDue(at), (repeats ? QList<Key>{Key{Qt::Key_Down, 0, true}} : QList<Key>{})) << at;
        EXPECT_EQ(mapper.nextRepeat(), next) << at;
    }
    // A button that does not repeat ends the arrow's repeat, as a second key does on a keyboard.
    EXPECT_TRUE(mapper.handle(down(PadEvent::A), 1050) == QList<Key>{Key(Qt::Key_Enter, Qt::KeypadModifier)} && !mapper.nextRepeat());
    mapper.handle(up(PadEvent::DpadDown), 1060);
    mapper.handle(down(PadEvent::DpadLeft), 1100);
    mapper.handle({1, PadEvent::Removed, 0, 0}, 1200); // a pad pulled out lets go of what it held
    EXPECT_TRUE(!mapper.nextRepeat() && mapper.handle(down(PadEvent::DpadLeft), 1300).size() == 1);

    // The left stick, axis by axis: the key each position presses (0: none).
    mapper.clear();
    int now = 0;
    for (const auto &[axis, value, key] : {std::tuple{1, 12000, 0}, {1, 16384, int(Qt::Key_Down)}, {1, 9000, 0}, {1, 20000, 0},
                                           {1, 8191, 0}, {1, 17000, int(Qt::Key_Down)}, {1, -32768, int(Qt::Key_Up)},
                                           {0, 30000, int(Qt::Key_Right)}, {0, -16383, 0}, {2, 30000, 0}}) {
        EXPECT_EQ(mapper.handle({1, PadEvent::Axis, axis, value}, now += 10), key ? QList<Key>{Key{key}} : QList<Key>{})
            << axis << " " << value;
    }
    EXPECT_EQ(mapper.repeatsDue(now + 400), QList<Key>{Key(Qt::Key_Right, 0, true)});
}

TEST(PadStopHoldTest, TheCombinationCountsOnOnePadForItsWholeTimeAndOnce)
{
    using Combination = PadStopHold::Combination;
    const struct {
        Combination combination;
        qint64 hold;
        QList<PadEvent> events; // one every 100 ms from 0 on
        std::optional<qint64> deadline;
    } cases[] = {
        {Combination::BackStart, 1000, {down(PadEvent::Start), down(PadEvent::A), down(PadEvent::Back)}, 1200},
        {Combination::BackStart, 1000, {down(PadEvent::Back), down(PadEvent::Start), up(PadEvent::Back)}, std::nullopt},
        {Combination::BackStart, 1000, {down(PadEvent::Back, 1), down(PadEvent::Start, 2)}, std::nullopt},
        {Combination::ShouldersStart, 3000, {down(PadEvent::LeftShoulder), down(PadEvent::RightShoulder), down(PadEvent::Start)}, 3200},
    };
    for (const auto &[combination, hold, events, deadline] : cases) {
        PadStopHold stop;
        stop.setRule(combination, hold);
        for (qsizetype i = 0; i < events.size(); ++i)
            stop.handle(events.at(i), 100 * i);
        EXPECT_EQ(stop.deadline(), deadline) << int(combination) << " " << events.size();
        if (deadline) {
            EXPECT_TRUE(!stop.isDue(*deadline - 1) && stop.isDue(*deadline) && !stop.isDue(*deadline + 500)) << "once";
        }
    }
}

} // namespace
