#include "input/PadKeyMapper.h"
#include "input/PadStopHold.h"

#include <Qt>

#include <gtest/gtest.h>

namespace {

using Key = PadKeyMapper::Key;

PadEvent down(int button, int pad = 1) { return {pad, PadEvent::ButtonDown, button, 0}; }
PadEvent up(int button, int pad = 1) { return {pad, PadEvent::ButtonUp, button, 0}; }
PadEvent stick(int axis, int value) { return {1, PadEvent::Axis, axis, value}; }

TEST(PadKeyMapperTest, ButtonsAreKeysAndTheArrowsRepeatAfter400MsThenEvery120)
{
    const struct {
        int button;
        std::optional<Key> key;
    } buttons[] = {
        {PadEvent::A, Key{Qt::Key_Enter, Qt::KeypadModifier}}, {PadEvent::Start, Key{Qt::Key_Enter, Qt::KeypadModifier}},
        {PadEvent::B, Key{Qt::Key_Escape}}, {PadEvent::X, Key{Qt::Key_Menu}}, {PadEvent::Y, Key{Qt::Key_D, Qt::ControlModifier}},
        {PadEvent::Back, Key{Qt::Key_Tab}}, {PadEvent::LeftShoulder, Key{Qt::Key_PageUp}},
        {PadEvent::RightShoulder, Key{Qt::Key_PageDown}}, {PadEvent::DpadUp, Key{Qt::Key_Up}},
        {PadEvent::DpadDown, Key{Qt::Key_Down}}, {PadEvent::DpadLeft, Key{Qt::Key_Left}},
        {PadEvent::DpadRight, Key{Qt::Key_Right}}, {PadEvent::Guide, std::nullopt}, {7, std::nullopt},
    };
    for (const auto &[button, key] : buttons)
        EXPECT_EQ(PadKeyMapper::keyFor(button), key) << button;

    PadKeyMapper mapper;
    const QList<Key> downKey{Key{Qt::Key_Down}}, repeat{Key{Qt::Key_Down, 0, true}};
    EXPECT_EQ(mapper.handle(down(PadEvent::DpadDown), 0), downKey);
    EXPECT_TRUE(mapper.handle(down(PadEvent::DpadDown), 10).isEmpty()) << "a press already held";
    // Asked at these times, the repeats due (a late caller gets one, not a burst).
    const struct {
        qint64 at;
        bool repeats;
        qint64 next;
    } timeline[] = {{399, false, 400}, {400, true, 520}, {519, false, 520}, {520, true, 640}, {1000, true, 1120}, {1001, false, 1120}};
    for (const auto &[at, repeats, next] : timeline) {
        EXPECT_EQ(mapper.repeatsDue(at), repeats ? repeat : QList<Key>{}) << at;
        EXPECT_EQ(mapper.nextRepeat(), next) << at;
    }
    // A button that does not repeat ends the arrow's repeat, as a second key does on a keyboard.
    EXPECT_EQ(mapper.handle(down(PadEvent::A), 1050).size(), 1);
    EXPECT_FALSE(mapper.nextRepeat());
    mapper.handle(up(PadEvent::DpadDown), 1060);
    EXPECT_EQ(mapper.handle(down(PadEvent::DpadDown), 1100), downKey);
    mapper.handle(up(PadEvent::DpadDown), 1200);
    EXPECT_TRUE(!mapper.nextRepeat() && mapper.repeatsDue(5000).isEmpty());
    // A pad pulled out lets go of what it held.
    mapper.handle(down(PadEvent::DpadLeft), 6000);
    mapper.handle({1, PadEvent::Removed, 0, 0}, 6100);
    EXPECT_FALSE(mapper.nextRepeat());
    EXPECT_EQ(mapper.handle(down(PadEvent::DpadLeft), 6200).size(), 1);
}

TEST(PadKeyMapperTest, TheStickPressesBeyondHalfWayAndLetsGoOnlyUnderAQuarter)
{
    PadKeyMapper mapper;
    const struct {
        int axis;
        int value;
        std::optional<int> key;
    } moves[] = {
        {PadEvent::LeftY, 12000, std::nullopt}, // in the dead zone
        {PadEvent::LeftY, 16384, Qt::Key_Down},  {PadEvent::LeftY, 9000, std::nullopt}, // resting near the edge: still held
        {PadEvent::LeftY, 20000, std::nullopt},  {PadEvent::LeftY, 8191, std::nullopt}, // let go
        {PadEvent::LeftY, 17000, Qt::Key_Down},  {PadEvent::LeftY, -32768, Qt::Key_Up}, // straight over
        {PadEvent::LeftX, 30000, Qt::Key_Right}, {PadEvent::LeftX, -16383, std::nullopt},
        {2, 30000, std::nullopt}, // the right stick
    };
    qint64 now = 0;
    for (const auto &[axis, value, key] : moves) {
        const QList<Key> keys = mapper.handle(stick(axis, value), now += 10);
        EXPECT_EQ(keys, key ? QList<Key>{Key{*key}} : QList<Key>{}) << axis << " " << value;
    }
    // The stick repeats as the d-pad does, and apart from it.
    EXPECT_EQ(mapper.repeatsDue(now + 400), QList<Key>{Key(Qt::Key_Right, 0, true)});
    EXPECT_EQ(mapper.handle(down(PadEvent::DpadRight), now + 450).size(), 1);
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
        {Combination::BackStart, 1000, {down(PadEvent::Back), down(PadEvent::Start)}, 1100},
        {Combination::BackStart, 1000, {down(PadEvent::Start), down(PadEvent::A), down(PadEvent::Back)}, 1200},
        {Combination::BackStart, 1000, {down(PadEvent::Back), down(PadEvent::Start), up(PadEvent::Back)}, std::nullopt},
        {Combination::BackStart, 1000, {down(PadEvent::Back, 1), down(PadEvent::Start, 2)}, std::nullopt},
        {Combination::BackStart, 1000, {down(PadEvent::Back), down(PadEvent::Start), {1, PadEvent::Removed, 0, 0}}, std::nullopt},
        {Combination::ShouldersStart, 3000, {down(PadEvent::LeftShoulder), down(PadEvent::RightShoulder), down(PadEvent::Start)}, 3200},
        {Combination::ShouldersStart, 3000, {down(PadEvent::Back), down(PadEvent::Start)}, std::nullopt},
        {Combination::Never, 1000, {down(PadEvent::Back), down(PadEvent::Start)}, std::nullopt},
    };
    for (const auto &[combination, hold, events, deadline] : cases) {
        PadStopHold stop;
        stop.setRule(combination, hold);
        qint64 now = 0;
        for (const PadEvent &event : events)
            stop.handle(event, now), now += 100;
        EXPECT_EQ(stop.deadline(), deadline) << int(combination) << " " << events.size();
        if (!deadline)
            continue;
        EXPECT_FALSE(stop.isDue(*deadline - 1));
        EXPECT_TRUE(stop.isDue(*deadline));
        EXPECT_FALSE(stop.isDue(*deadline + 500)) << "once";
    }
    // Let go and held again, it counts again from then.
    PadStopHold stop;
    for (const PadEvent &event : {down(PadEvent::Back), down(PadEvent::Start)})
        stop.handle(event, 0);
    ASSERT_TRUE(stop.isDue(1000));
    stop.handle(up(PadEvent::Start), 1500);
    stop.handle(down(PadEvent::Start), 2000);
    EXPECT_EQ(stop.deadline(), 3000);
}

} // namespace
