// Custom effect frames and per-LED lighting records.
#include <gtest/gtest.h>

#include <vector>

#include "devices/LightingEffectEngine.h"
#include "devices/LightingTestSupport.h"

namespace nq {
namespace {

using lighting_test::Setting;

EffectFrame Frame(const LightSetting& setting, int32_t time)
{
    EffectFrame f;
    f.setting = setting;
    f.time = time;
    return f;
}

TEST(LightingFramePlayer, NoFramesTurnsEveryLedOff)
{
    LightingColourBuffer leds;
    leds.Resize(10);
    leds.Fill(MakeLedWord(1, 2, 3, 4));
    LightingFramePlayer player;
    player.Play(leds, 0, 1000);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(leds.Get(i), 0u);
    EXPECT_EQ(player.PassesUntilChange(0, 1000, 2), -1);
}

TEST(LightingFramePlayer, PlaysFramesForTheirTimeAndWrapsAround)
{
    LightingColourBuffer leds;
    leds.Resize(4);
    LightingFramePlayer player;
    player.SetFrames({Frame(Setting(1, 4, 4, 0, 0, 255, 0, 0), 20),   // static, 7 passes
                      Frame(Setting(5, 2, 4, 0, 0, 0, 0, 0), 10)});   // spectrum, 2 passes

    uint32_t t = 1000;
    for (int pass = 1; pass <= 6; ++pass, t += 2)
        player.Play(leds, 0, t);
    EXPECT_EQ(leds.Get(0), 0u) << "the static frame paints on its 7th pass";
    player.Play(leds, 0, t); // t = 1012
    EXPECT_EQ(leds.Get(3), MakeLedWord(255, 0, 0, 255));
    EXPECT_EQ(player.PassesUntilChange(0, t, 2), 4); // frame ends at 1020
    for (t += 2; t < 1020; t += 2)
        player.Play(leds, 0, t);
    EXPECT_EQ(player.FrameIndex(), 0);
    player.Play(leds, 0, t); // 1020: display time over
    EXPECT_EQ(player.FrameIndex(), 1);

    // Counter and phase run on across frames: the spectrum's first colour is entry 2.
    t += 2;
    player.Play(leds, 0, t); // 1022: counter 5 >= 2
    EXPECT_EQ(leds.Get(0), MakeLedWord(COLOUR_WHEEL[2], 126));
    player.Play(leds, 0, t += 2);
    EXPECT_EQ(leds.Get(0), MakeLedWord(COLOUR_WHEEL[2], 126));
    player.Play(leds, 0, t += 2);
    EXPECT_EQ(leds.Get(0), MakeLedWord(COLOUR_WHEEL[3], 126));
    for (t += 2; t <= 1030; t += 2)
        player.Play(leds, 0, t);
    EXPECT_EQ(player.FrameIndex(), 0); // after the last frame: the first again

    player.SetFrames({Frame(Setting(3, 4, 0, 0, 0, 0, 0, 0), 5)}); // an effect that paints nothing
    EXPECT_EQ(player.FrameIndex(), 0);
    const LedWord before = leds.Get(1);
    player.Play(leds, 0, t);
    EXPECT_EQ(leds.Get(1), before);
}

TEST(LightingFramePlayer, FrameEffectsPaintTheirColours)
{
    struct Case {
        const char* name;
        LightSetting setting;
        uint8_t mainSpeed;
        int passes;
        std::vector<LedWord> words; // LEDs 0 and 1 after the passes
    } cases[] = {
        {"breathing multicolour uses the first wheel colour", Setting(0, 4, 4, 0, 1, 9, 9, 9), 0, 7,
         {MakeLedWord(COLOUR_WHEEL[0], 0), MakeLedWord(COLOUR_WHEEL[0], 0)}},
        {"breathing", Setting(0, 4, 4, 0, 0, 9, 9, 9), 0, 14,
         {MakeLedWord(9, 9, 9, 1), MakeLedWord(9, 9, 9, 1)}},
        {"wave forwards multicolour", Setting(4, 4, 4, 0, 1, 0, 0, 0), 0, 7,
         {MakeLedWord(COLOUR_WHEEL[2], 255), MakeLedWord(COLOUR_WHEEL[14], 255)}},
        {"wave backwards multicolour", Setting(4, 4, 4, 1, 1, 0, 0, 0), 0, 7,
         {MakeLedWord(COLOUR_WHEEL[191], 255), MakeLedWord(COLOUR_WHEEL[11], 255)}},
        {"wave single colour", Setting(4, 4, 4, 0, 0, 0, 50, 0), 0, 7,
         {MakeLedWord(0, 50, 0, 26), MakeLedWord(0, 50, 0, 68)}},
        {"flash on the main record's period", Setting(2, 3, 0, 0, 1, 0, 0, 0), 4, 1,
         {MakeLedWord(COLOUR_WHEEL[15], 190), MakeLedWord(COLOUR_WHEEL[15], 190)}},
        {"flash single colour", Setting(2, 3, 0, 0, 0, 5, 6, 7), 4, 1,
         {MakeLedWord(5, 6, 7, 190), MakeLedWord(5, 6, 7, 190)}},
    };
    for (const Case& c : cases) {
        LightingColourBuffer leds;
        leds.Resize(2);
        LightingFramePlayer player;
        player.SetFrames({Frame(c.setting, 100000)});
        for (int i = 0; i < c.passes; ++i)
            player.Play(leds, c.mainSpeed, 50000 + uint32_t(2 * i));
        EXPECT_EQ(leds.Get(0), c.words[0]) << c.name;
        EXPECT_EQ(leds.Get(1), c.words[1]) << c.name;
    }

    // The flash toggles after the main speed's period, whatever the frame's speed.
    LightingColourBuffer leds;
    leds.Resize(1);
    LightingFramePlayer player;
    player.SetFrames({Frame(Setting(2, 4, 0, 0, 0, 1, 1, 1), 100000)});
    player.Play(leds, 4, 50000);
    EXPECT_NE(leds.Get(0), 0u);
    EXPECT_EQ(player.PassesUntilChange(4, 50000, 2), 700);
    player.Play(leds, 4, 51399);
    EXPECT_NE(leds.Get(0), 0u);
    player.Play(leds, 4, 51400);
    EXPECT_EQ(leds.Get(0), 0u);
}

LightSetting Record(uint8_t effect, uint8_t brightness, uint8_t speed, uint8_t multi, uint8_t r,
                    uint8_t g, uint8_t b)
{
    LightSetting s = Setting(effect, brightness, speed, 0, multi, r, g, b);
    s[LightSetting::kPresent] = 1;
    return s;
}

TEST(LightingRecordEffects, EachRecordDrivesItsOwnLed)
{
    LightingColourBuffer leds;
    leds.Resize(6);
    leds.Fill(MakeLedWord(1, 1, 1, 1));
    LightingRecordEffects records;
    records.SetRecords({Record(0, 4, 1, 0, 0, 0, 200), // breathing, phase + 5 per pass
                        Record(1, 2, 0, 0, 10, 20, 30), // static
                        Record(3, 4, 4, 0, 0, 0, 0),    // colour cycle every 7 passes
                        Record(4, 4, 0, 0, 9, 9, 9),    // off
                        LightSetting{},                 // absent: LED 4 untouched
                        Record(1, 4, 0, 0, 50, 50, 50), Record(1, 4, 0, 0, 60, 60, 60)});
    records.Run(leds, 1000);
    EXPECT_EQ(leds.Get(0), MakeLedWord(0, 0, 200, (BREATH_CURVE[5] * 255) >> 8));
    EXPECT_EQ(leds.Get(1), MakeLedWord(10, 20, 30, 126));
    EXPECT_EQ(leds.Get(2), MakeLedWord(COLOUR_WHEEL[0], 255));
    EXPECT_EQ(leds.Get(3), 0u);
    EXPECT_EQ(leds.Get(4), MakeLedWord(1, 1, 1, 1));
    EXPECT_EQ(leds.Get(5), MakeLedWord(50, 50, 50, 255)); // the seventh record has no LED

    for (int pass = 2; pass <= 7; ++pass)
        records.Run(leds, 1000);
    EXPECT_EQ(leds.Get(2), MakeLedWord(COLOUR_WHEEL[1], 255));
    EXPECT_EQ(records.StateOf(0).phase, 35);
    EXPECT_EQ(records.PassesUntilChange(1000, 2), 1); // breathing changes on every pass
}

TEST(LightingRecordEffects, BreathingMulticolourMovesOneWheelEntryPerBreathAndWraps)
{
    LightingColourBuffer leds;
    leds.Resize(1);
    LightingRecordEffects records;
    records.SetRecords({Record(0, 4, 4, 1, 0, 0, 0)}); // phase + 8: one breath in 16 passes
    for (int pass = 0; pass < 16; ++pass)
        records.Run(leds, 0);
    EXPECT_EQ(records.StateOf(0).breathColour, 1);
    EXPECT_EQ(records.StateOf(0).phase, 0);
    for (int pass = 0; pass < 16 * 191; ++pass)
        records.Run(leds, 0);
    EXPECT_EQ(records.StateOf(0).breathColour, 192);
    for (int pass = 0; pass < 16; ++pass)
        records.Run(leds, 0);
    EXPECT_EQ(records.StateOf(0).breathColour, 0); // round again instead of sticking at the end
}

TEST(LightingRecordEffects, FlashRecordTogglesOnItsSpeedAndStepsItsColour)
{
    LightingColourBuffer leds;
    leds.Resize(2);
    LightingRecordEffects records;
    records.SetRecords({Record(2, 4, 0, 1, 0, 0, 0), Record(2, 1, 4, 0, 7, 7, 7)});
    const uint32_t t0 = 20000;
    records.Run(leds, t0); // both clocks start at 0: both toggle on
    EXPECT_EQ(leds.Get(0), MakeLedWord(COLOUR_WHEEL[14], 255));
    EXPECT_EQ(leds.Get(1), MakeLedWord(7, 7, 7, 63));
    records.Run(leds, t0 + 1400); // speed 4: 1400 ms
    EXPECT_EQ(leds.Get(1), 0u);
    EXPECT_NE(leds.Get(0), 0u);
    records.Run(leds, t0 + 5599);
    EXPECT_NE(leds.Get(0), 0u);
    records.Run(leds, t0 + 5600); // speed 0: 5600 ms
    EXPECT_EQ(leds.Get(0), 0u);
    records.Run(leds, t0 + 11200);
    EXPECT_EQ(leds.Get(0), MakeLedWord(COLOUR_WHEEL[42], 255));
    EXPECT_EQ(records.StateOf(0).flashColour, 42);
}

TEST(LightingRecordEffects, MouseEvaluatesOnlyTheAnimatedEffectsOnceAtLoad)
{
    LightingColourBuffer leds;
    leds.Resize(3);
    leds.Fill(MakeLedWord(1, 1, 1, 1));
    LightingEffectEngine engine(leds, LightingFamily::Mouse);
    engine.SetKeyLightRecords({Record(1, 4, 0, 0, 9, 9, 9), Record(2, 4, 0, 0, 8, 8, 8),
                               Record(4, 4, 0, 0, 0, 0, 0)});
    engine.EvaluateRecordsOnce(30000);
    EXPECT_EQ(leds.Get(0), MakeLedWord(1, 1, 1, 1)); // static: not part of the load
    EXPECT_EQ(leds.Get(1), MakeLedWord(8, 8, 8, 255));
    EXPECT_EQ(leds.Get(2), MakeLedWord(1, 1, 1, 1)); // off: not part of the load
    ASSERT_EQ(engine.KeyLightRecords().size(), 3u);
}

} // namespace
} // namespace nq
