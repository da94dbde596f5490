// The keyboard effect tables: entries spelled out for the keyboard, and the shape every effect
// step relies on (positions inside the picture, the key-order path visiting each key once).
#include "devices/KeyboardEffectTables.h"

#include <gtest/gtest.h>

#include <set>

using namespace nq;
using namespace nq::kbfx;

TEST(KeyboardEffectTables, WheelsAndCurvesHoldTheirListedEntries)
{
    EXPECT_EQ(ZONE_WHEEL[0], (Rgb{255, 1, 0}));
    EXPECT_EQ(ZONE_WHEEL[15], (Rgb{255, 241, 0}));
    EXPECT_EQ(ZONE_WHEEL[16], (Rgb{248, 255, 0}));
    EXPECT_EQ(ZONE_WHEEL[47], (Rgb{0, 255, 241}));
    EXPECT_EQ(ZONE_WHEEL[63], (Rgb{0, 2, 255}));
    EXPECT_EQ(ZONE_WHEEL[64], (Rgb{1, 0, 255}));
    EXPECT_EQ(ZONE_WHEEL[95], (Rgb{255, 0, 2}));
    for (int i = 96; i < 128; ++i)
        EXPECT_EQ(ZONE_WHEEL[size_t(i)], ZONE_WHEEL[size_t(i - 96)]) << i;

    EXPECT_EQ(PULSE_CURVE[0], 0);
    EXPECT_EQ(PULSE_CURVE[9], 84);
    EXPECT_EQ(PULSE_CURVE[24], 255);
    EXPECT_EQ(PULSE_CURVE[25], 248);
    EXPECT_EQ(PULSE_CURVE[86], 2);
    EXPECT_EQ(PULSE_CURVE[87], 1);
    for (int i = 88; i < 192; ++i)
        EXPECT_EQ(PULSE_CURVE[size_t(i)], 0) << i;
}

TEST(KeyboardEffectTables, KeyTablesHoldTheirListedEntries)
{
    EXPECT_EQ(KEY_COLUMNS[0], (std::array<uint8_t, 6>{126, 120, 121, 122, 84, 124}));
    EXPECT_EQ(KEY_COLUMNS[11], (std::array<uint8_t, 6>{8, 31, 52, 73, 95, 125}));
    EXPECT_EQ(KEY_COLUMNS[22], (std::array<uint8_t, 6>{126, 41, 126, 119, 118, 126}));
    EXPECT_EQ(KEY_COLUMNS7[10], (std::array<uint8_t, 7>{255, 7, 30, 51, 72, 94, 109}));
    EXPECT_EQ(KEY_COLUMNS7[20][0], 125);

    EXPECT_EQ(KEY_ORDER[0], 15);
    EXPECT_EQ(KEY_ORDER[25], 125);
    EXPECT_EQ(KEY_ORDER[106], 77);
    std::set<int> visited;
    for (int i = 0; i < 126; ++i) {
        if (i < kOrderedKeys)
            EXPECT_TRUE(visited.insert(KEY_ORDER[size_t(i)]).second) << "position visited twice at " << i;
        else
            EXPECT_EQ(KEY_ORDER[size_t(i)], kNoKey) << i;
    }

    EXPECT_EQ(KEY_RINGS[0][0], 51);
    EXPECT_EQ(KEY_RINGS[5][11], 125);
    EXPECT_EQ((std::array<uint8_t, 3>{KEY_RINGS[11][0], KEY_RINGS[11][1], KEY_RINGS[11][2]}),
              (std::array<uint8_t, 3>{118, 119, 41}));
    EXPECT_TRUE(InKeyOrder(51));
    EXPECT_FALSE(InKeyOrder(120)); // an M-key: not on the key-order path
    EXPECT_FALSE(InKeyOrder(126));

    EXPECT_EQ(COLUMN_SEEDS[0], 72);
    EXPECT_EQ(COLUMN_SEEDS[13], 100);   // column 2, row 1
    EXPECT_EQ(COLUMN_SEEDS[6 * 13], 192);
    EXPECT_EQ(COLUMN_SEEDS[143], 255);
}

TEST(KeyboardEffectTables, RadarAndSequenceHoldTheirListedSteps)
{
    auto used = [](const std::array<uint8_t, 12>& step) {
        std::set<int> s;
        for (uint8_t p : step)
            if (p != kNoKey)
                s.insert(p);
        return s;
    };
    EXPECT_EQ(used(RADAR_STEPS[0]), (std::set<int>{25, 26, 50, 51}));
    EXPECT_EQ(used(RADAR_STEPS[1]), (std::set<int>{0, 26, 27, 50, 51}));
    EXPECT_EQ(used(RADAR_STEPS[24]), (std::set<int>{41, 40, 38, 52, 54, 53, 55, 39}));
    EXPECT_EQ(used(RADAR_STEPS[25]), (std::set<int>{119, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52}));
    EXPECT_EQ(used(RADAR_STEPS[50]), (std::set<int>{121, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51}));
    EXPECT_EQ(used(RADAR_STEPS[51]), (std::set<int>{51, 21, 22, 23, 24, 48, 49, 50, 120}));
    for (size_t s = 0; s < RADAR_STEPS.size(); ++s)
        EXPECT_FALSE(used(RADAR_STEPS[s]).empty()) << "the beam shows in every step: " << s;

    EXPECT_EQ(SEQUENCE_ROWS[0], (std::array<uint8_t, 6>{0, 118, 255, 255, 255, 255}));
    EXPECT_EQ(SEQUENCE_ROWS[16], (std::array<uint8_t, 6>{71, 33, 71, 52, 52, 71}));
    EXPECT_EQ(SEQUENCE_ROWS[19], (std::array<uint8_t, 6>{31, 95, 255, 255, 255, 255}));
    EXPECT_EQ(SEQUENCE_PAIRS[0], (std::array<uint8_t, 2>{30, 95}));
    EXPECT_EQ(SEQUENCE_PAIRS[15], (std::array<uint8_t, 2>{72, 53}));
}

TEST(KeyboardEffectTables, TickRowsByEffectAndSpeed)
{
    struct Case { int effect, speed, threshold; };
    for (const Case& c : {Case{1, 0, 6}, Case{1, 4, 2}, Case{16, 0, 4}, Case{16, 4, 4}, Case{18, 2, 5},
                          Case{23, 0, 0}, Case{26, 1, 28}, Case{27, 4, 13}, Case{20, 3, 3}, Case{1, 9, 0}})
        EXPECT_EQ(TickThreshold(RowOfKeyEffect(c.effect), c.speed), c.threshold) << c.effect << "/" << c.speed;
    for (int effect : {0, 19, 25, 28, 200})
        EXPECT_EQ(RowOfKeyEffect(effect), TickRow::Frames) << effect;
    EXPECT_EQ(ZoneFlashPeriodMs(0), 2800u);
    EXPECT_EQ(ZoneFlashPeriodMs(4), 700u);
    // The logo's single-colour wave past the 96-entry curve holds the curve's end level.
    EXPECT_EQ(LogoWaveValue(95), 22);
    EXPECT_EQ(LogoWaveValue(96), 22);
    EXPECT_EQ(LogoWaveValue(127), 22);
    EXPECT_EQ(LogoWaveValue(48), WAVE_CURVE[48]);
}
