// The effect tables, the counter rule and the reactive buffers.
#include <gtest/gtest.h>

#include "devices/EffectTables.h"
#include "devices/LightingReactiveBuffers.h"

namespace nq {
namespace {

TEST(EffectTables, CurvesAndWheelHaveTheirShape)
{
    EXPECT_EQ(BREATH_CURVE[0], 0);
    EXPECT_EQ(BREATH_CURVE[18], 27);
    EXPECT_EQ(BREATH_CURVE[63], 255);
    EXPECT_EQ(BREATH_CURVE[64], 255);
    EXPECT_EQ(BREATH_CURVE[127], 0);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(BREATH_CURVE[i], BREATH_CURVE[127 - i]) << i;

    EXPECT_EQ(WAVE_CURVE[0], 22);
    EXPECT_EQ(WAVE_CURVE[47], 255);
    EXPECT_EQ(WAVE_CURVE[95], 22);

    struct Case {
        int index;
        Rgb colour;
    } cases[] = {
        {0, {255, 1, 0}},   {31, {255, 255, 0}}, {32, {248, 255, 0}},  {63, {0, 255, 0}},
        {64, {0, 255, 1}},  {96, {0, 248, 255}}, {127, {0, 0, 255}},   {128, {1, 0, 255}},
        {159, {255, 0, 255}}, {160, {255, 0, 248}}, {191, {255, 0, 0}}, {192, {255, 1, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(COLOUR_WHEEL[size_t(c.index)], c.colour) << c.index;
}

TEST(EffectTables, LookupsNeverLeaveTheirTable)
{
    EXPECT_EQ(BrightnessLevel(0), 0);
    EXPECT_EQ(BrightnessLevel(3), 190);
    EXPECT_EQ(BrightnessLevel(9), 255);
    EXPECT_EQ(SpeedTicks(0), 28);
    EXPECT_EQ(SpeedTicks(4), 7);
    EXPECT_EQ(SpeedTicks(5), 0);
    EXPECT_EQ(FlashPeriodMs(0), 5600u);
    EXPECT_EQ(FlashPeriodMs(4), 1400u);
    EXPECT_EQ(WheelColour(192), COLOUR_WHEEL[192]);
    EXPECT_EQ(WheelColour(250), COLOUR_WHEEL[58]);
    EXPECT_EQ(BreathValue(130), BREATH_CURVE[2]);
    EXPECT_EQ(WaveValue(100), WAVE_CURVE[4]);
    EXPECT_EQ(FourColour(6), FOUR_COLOURS[2]);
}

TEST(EffectTables, CounterRule)
{
    struct Case {
        int direction, limit, value, step, expected;
    } cases[] = {
        {1, 192, 0, 1, 1},     {1, 192, 190, 1, 191}, {1, 192, 191, 1, 0}, {2, 128, 127, 1, 0},
        {0, 192, 5, 1, 4},     {0, 192, 0, 1, 191},   {0, 128, 0, 1, 127}, {1, 96, 93, 3, 0},
        {1, 96, 92, 3, 95},    {0, 96, 2, 3, 93},     {0, 96, 3, 3, 0},    {1, 96, 150, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextCounter(c.direction, c.limit, c.value, c.step), c.expected)
            << c.direction << " " << c.limit << " " << c.value << " " << c.step;
}

TEST(ReactiveBuffers, DecayFollowsItsBands)
{
    struct Case {
        uint8_t before;
        bool fast;
        uint8_t after;
    } cases[] = {
        {255, true, 215}, {200, true, 160}, {128, true, 88}, {127, true, 97}, {100, true, 70},
        {64, true, 34},   {40, true, 30},   {32, true, 22},  {20, true, 12},  {17, true, 9},
        {16, true, 15},   {3, true, 2},     {0, true, 0},    {40, false, 30}, {16, false, 0},
        {0, false, 0},
    };
    for (const Case& c : cases) {
        LightingReactiveBuffers buffers;
        buffers.levels[7] = c.before;
        buffers.DecayKeyLevel(7, c.fast);
        EXPECT_EQ(buffers.levels[7], c.after) << int(c.before) << " fast " << c.fast;
    }
    LightingReactiveBuffers buffers;
    buffers.DecayKeyLevel(-1, true); // out of range: ignored
    buffers.DecayKeyLevel(126, true);
}

TEST(ReactiveBuffers, RingRotatesAndTriggers)
{
    LightingReactiveBuffers buffers;
    EXPECT_EQ(buffers.ring[0], 1); // one marked entry from the start

    buffers.ring = {};
    buffers.ring[22] = 1;
    buffers.RotateRing(1);
    EXPECT_EQ(buffers.ring[0], 1); // the last entry wraps to the front
    EXPECT_EQ(buffers.ring[22], 0);
    buffers.RotateRing(0);
    buffers.RotateRing(0);
    EXPECT_EQ(buffers.ring[21], 1);

    buffers.ring = {};
    buffers.ring[7] = 1;
    buffers.ring[10] = 2;
    buffers.RotateRingPrefix(8, 1);
    EXPECT_EQ(buffers.ring[0], 1);
    EXPECT_EQ(buffers.ring[7], 0);
    EXPECT_EQ(buffers.ring[10], 2); // beyond the prefix: untouched
    buffers.RotateRingPrefix(99, 0);  // capped at the ring size
    EXPECT_EQ(buffers.ring[22], 1);
    EXPECT_EQ(buffers.ring[9], 2);

    buffers.ring = {};
    buffers.ring[3] = 1;
    buffers.ring[12] = 1;
    buffers.TriggerRingColumns(9); // the mouse's nine columns
    EXPECT_EQ(buffers.levels[3], 255);
    EXPECT_EQ(buffers.levels[12], 0);
    buffers.TriggerRingColumns(15);
    EXPECT_EQ(buffers.levels[12], 255);

    buffers.Reset();
    EXPECT_EQ(buffers.levels[3], 0);
    EXPECT_EQ(buffers.ring[0], 1);
    EXPECT_EQ(buffers.ring[12], 0);
}

} // namespace
} // namespace nq
