// The effect steps of the mouse, mousepad and headset: the colour words over a few steps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/LightingEffectEngine.h"
#include "devices/LightingTestSupport.h"

namespace nq {
namespace {

using lighting_test::Setting;

struct Rig {
    explicit Rig(LightingFamily family, int leds = 19) : engine(buffer, family) { buffer.Resize(leds); }
    LightingColourBuffer buffer;
    LightingEffectEngine engine;
};

LedWord W(Rgb c, uint8_t level) { return MakeLedWord(c, level); }

// After each step, the words of the LEDs listed.
struct StepCase {
    std::string name;
    LightingFamily family;
    LightSetting setting;
    std::vector<int> leds;                  // LEDs checked
    std::vector<std::vector<LedWord>> after; // per step, one word per checked LED
};

TEST(LightingEffectEngine, StepsPaintTheExpectedWords)
{
    const Rgb blue{0, 0, 255};
    const std::vector<StepCase> cases = {
        {"static", LightingFamily::Mouse, Setting(3, 2, 0, 0, 0, 10, 20, 30), {0, 18},
         {{MakeLedWord(10, 20, 30, 126), MakeLedWord(10, 20, 30, 126)}}},
        {"spectrum forwards", LightingFamily::Mouse, Setting(1, 4, 0, 1, 0, 0, 0, 0), {0},
         {{W(COLOUR_WHEEL[1], 255)}, {W(COLOUR_WHEEL[2], 255)}, {W(COLOUR_WHEEL[3], 255)}}},
        {"spectrum backwards", LightingFamily::Pad, Setting(1, 1, 0, 0, 0, 0, 0, 0), {3},
         {{W(COLOUR_WHEEL[191], 63)}, {W(COLOUR_WHEEL[190], 63)}}},
        {"breathing", LightingFamily::Mouse, Setting(2, 4, 0, 1, 0, 0, 0, 255), {0},
         {{W(blue, 0)}, {W(blue, 1)}, {W(blue, 2)}, {W(blue, 3)}}},
        {"breathing backwards", LightingFamily::Mouse, Setting(2, 3, 0, 0, 0, 0, 0, 255), {0},
         {{W(blue, 0)}, {W(blue, 0)}, {W(blue, 1)}}}, // curve entries 127, 126, 125: 0, 1, 2
        {"wave multicolour", LightingFamily::Mouse, Setting(0, 4, 0, 1, 1, 0, 0, 0), {0, 1, 2},
         {{W(COLOUR_WHEEL[2], 255), W(COLOUR_WHEEL[9], 255), W(COLOUR_WHEEL[16], 255)},
          {W(COLOUR_WHEEL[3], 255), W(COLOUR_WHEEL[10], 255), W(COLOUR_WHEEL[17], 255)}}},
        {"wave single colour", LightingFamily::Pad, Setting(0, 4, 0, 1, 0, 0, 0, 255), {0, 1},
         {{W(blue, 26), W(blue, 48)}, {W(blue, 29), W(blue, 52)}}},
        {"headset wave multicolour", LightingFamily::Headset, Setting(0, 4, 0, 1, 1, 0, 0, 0),
         {0, 1},
         {{W(COLOUR_WHEEL[2], 255), W(COLOUR_WHEEL[18], 255)}}},
        {"headset wave single colour", LightingFamily::Headset, Setting(0, 4, 0, 1, 0, 0, 0, 255),
         {0, 1},
         {{W(blue, 29), W(blue, 64)}, {W(blue, 38), W(blue, 76)}}},
        {"off", LightingFamily::Mouse, Setting(8, 4, 0, 0, 0, 9, 9, 9), {0, 5}, {{0, 0}}},
    };
    for (const StepCase& c : cases) {
        Rig rig(c.family);
        rig.buffer.Fill(0x12345678);
        rig.engine.LoadMainSetting(c.setting);
        for (size_t step = 0; step < c.after.size(); ++step) {
            rig.engine.RunStep(100000);
            for (size_t k = 0; k < c.leds.size(); ++k)
                EXPECT_EQ(rig.buffer.Get(c.leds[k]), c.after[step][k])
                    << c.name << ", step " << step + 1 << ", LED " << c.leds[k];
        }
    }
}

TEST(LightingEffectEngine, BreathingWalksTheWheelSixteenEntriesPerBreath)
{
    Rig rig(LightingFamily::Mouse);
    rig.engine.LoadMainSetting(Setting(2, 4, 0, 1, 1, 0, 0, 0));
    for (int breath = 1; breath <= 13; ++breath) {
        for (int i = 0; i < 128; ++i)
            rig.engine.StepBreathing();
        const int expected = breath <= 12 ? breath * 16 : 0; // entry 192, then back to 0
        EXPECT_EQ(rig.engine.GetState().colourIndex, expected) << breath;
        EXPECT_EQ(rig.buffer.Get(0), W(COLOUR_WHEEL[size_t(expected)], 0)) << breath;
    }
    for (int i = 0; i < 64; ++i)
        rig.engine.StepBreathing();
    EXPECT_EQ(rig.buffer.Get(7), W(COLOUR_WHEEL[0], 254)); // top of the breath
}

TEST(LightingEffectEngine, FourColourBreathingChangesColourPerBreath)
{
    Rig rig(LightingFamily::Mouse);
    rig.engine.LoadMainSetting(Setting(6, 4, 0, 1, 0, 0, 0, 0));
    const Rgb order[] = {FOUR_COLOURS[1], FOUR_COLOURS[2], FOUR_COLOURS[3], FOUR_COLOURS[0]};
    for (const Rgb& colour : order) {
        for (int i = 0; i < 128; ++i)
            rig.engine.RunStep(0);
        EXPECT_EQ(LedColour(rig.buffer.Get(0)), colour);
    }
}

TEST(LightingEffectEngine, FlashTogglesAtItsSpeedsPeriod)
{
    struct Case {
        uint8_t effect;
        uint8_t speed;
        uint32_t period;
    } cases[] = {{4, 4, 1400}, {4, 0, 5600}, {7, 2, 3600}};
    for (const Case& c : cases) {
        Rig rig(LightingFamily::Mouse);
        rig.engine.LoadMainSetting(Setting(c.effect, 4, c.speed, 0, 0, 200, 0, 0));
        const uint32_t t0 = 50000;
        rig.engine.RunStep(t0); // first step: the flash clock starts at 0, so it toggles on
        EXPECT_NE(rig.buffer.Get(0), 0u);
        rig.engine.RunStep(t0 + c.period - 1);
        EXPECT_NE(rig.buffer.Get(0), 0u) << "too early";
        rig.engine.RunStep(t0 + c.period);
        EXPECT_EQ(rig.buffer.Get(0), 0u) << "off after one period";
        rig.engine.RunStep(t0 + 2 * c.period);
        EXPECT_NE(rig.buffer.Get(0), 0u) << "on again";
    }

    // Single colour: the record's colour. Multicolour: the wheel, 16 entries further per toggle.
    Rig single(LightingFamily::Pad);
    single.engine.LoadMainSetting(Setting(4, 3, 4, 0, 0, 200, 100, 0));
    single.engine.StepFlash(50000);
    EXPECT_EQ(single.buffer.Get(0), MakeLedWord(200, 100, 0, 190));
    Rig multi(LightingFamily::Mouse);
    multi.engine.LoadMainSetting(Setting(4, 4, 4, 0, 1, 0, 0, 0));
    multi.engine.StepFlash(50000);
    EXPECT_EQ(multi.buffer.Get(0), W(COLOUR_WHEEL[16], 255));
    multi.engine.StepFlash(51400);
    multi.engine.StepFlash(52800);
    EXPECT_EQ(multi.buffer.Get(0), W(COLOUR_WHEEL[48], 255));

    Rig four(LightingFamily::Mouse);
    four.engine.LoadMainSetting(Setting(7, 4, 4, 0, 0, 0, 0, 0));
    four.engine.StepFlashFourColours(50000);
    EXPECT_EQ(four.buffer.Get(0), W(FOUR_COLOURS[1], 255));
}

TEST(LightingEffectEngine, StepsStayInsideTheirTablesAfterAnEffectChange)
{
    // A column sweep leaves the step counter anywhere up to 255; the next effect must cope.
    for (uint8_t effect : {0, 1, 2, 4, 6, 7}) {
        for (uint8_t direction : {0, 1}) {
            for (uint8_t multi : {0, 1}) {
                Rig rig(LightingFamily::Mouse);
                rig.engine.LoadMainSetting(Setting(effect, 4, 4, direction, multi, 1, 2, 3));
                LightingEffectEngine::State state;
                state.effectStep = 250;
                state.colourIndex = 250;
                state.flashOn = 1;
                state.flashTime = 60000;
                rig.engine.SetState(state);
                for (int i = 0; i < 3; ++i)
                    rig.engine.RunStep(60001); // would read past a table without the guards
            }
        }
    }
    SUCCEED();
}

TEST(LightingEffectEngine, ColumnSweepMovesOneColumnAlongTheRing)
{
    // Marked ring entry at 15: no column lights until the mark comes round to column 0.
    Rig rig(LightingFamily::Mouse);
    rig.engine.LoadMainSetting(Setting(5, 4, 0, 1, 0, 255, 0, 0));
    rig.engine.Reactive().ring = {};
    rig.engine.Reactive().ring[15] = 1;
    for (int step = 1; step <= 8; ++step) {
        rig.engine.StepColumnSweep();
        for (int led = 0; led < 19; ++led)
            EXPECT_EQ(LedLevel(rig.buffer.Get(led)), 0) << "step " << step << " LED " << led;
    }
    rig.engine.StepColumnSweep();
    EXPECT_EQ(rig.buffer.Get(0), MakeLedWord(255, 0, 0, 214)); // column 0: LEDs 0 and 18
    EXPECT_EQ(rig.buffer.Get(18), MakeLedWord(255, 0, 0, 214));
    EXPECT_EQ(rig.buffer.Get(17), MakeLedWord(255, 0, 0, 0));

    // Marked entry at 4: column 4 (LEDs 4 and 14) flares, then fades by 40, 40, 40, 40, 30, 30, 10.
    Rig fade(LightingFamily::Mouse);
    fade.engine.LoadMainSetting(Setting(5, 4, 0, 1, 0, 255, 0, 0));
    fade.engine.Reactive().ring = {};
    fade.engine.Reactive().ring[4] = 1;
    const int levels[] = {215, 175, 135, 95, 65, 35, 25, 17};
    for (int level : levels) {
        fade.engine.StepColumnSweep();
        EXPECT_EQ(fade.engine.Reactive().levels[4], level);
        EXPECT_EQ(LedLevel(fade.buffer.Get(14)), uint8_t((255 * level) >> 8));
    }
    EXPECT_EQ(fade.engine.Reactive().ring[4 + 8], 1); // the mark moved one place per step

    // Multicolour: each column takes the colour 12 wheel entries further.
    Rig multi(LightingFamily::Mouse);
    multi.engine.LoadMainSetting(Setting(5, 4, 0, 1, 1, 0, 0, 0));
    multi.engine.StepColumnSweep();
    EXPECT_EQ(LedColour(multi.buffer.Get(0)), COLOUR_WHEEL[13]);
    EXPECT_EQ(LedColour(multi.buffer.Get(1)), COLOUR_WHEEL[25]);
    EXPECT_EQ(LedColour(multi.buffer.Get(8)), COLOUR_WHEEL[109]);
}

TEST(LightingEffectEngine, PadSweepsTriggerEveryThirdStep)
{
    Rig ring(LightingFamily::Pad, 15);
    ring.engine.LoadMainSetting(Setting(6, 4, 0, 1, 0, 0, 255, 0));
    ring.engine.RunStep(0);
    ring.engine.RunStep(0);
    EXPECT_EQ(ring.buffer.Get(0), MakeLedWord(0, 255, 0, 0));
    ring.engine.RunStep(0); // third step: ring entry 0 fires LED 0, and the mark moves on
    EXPECT_EQ(ring.buffer.Get(0), MakeLedWord(0, 255, 0, 214));
    EXPECT_EQ(ring.engine.Reactive().ring[1], 1);
    ring.engine.RunStep(0);
    ring.engine.RunStep(0); // fifth step: the next trigger
    EXPECT_EQ(ring.buffer.Get(1), MakeLedWord(0, 255, 0, 214));
    EXPECT_EQ(LedLevel(ring.buffer.Get(0)), (255 * 135) >> 8);

    Rig pair(LightingFamily::Headset, 15);
    pair.engine.LoadMainSetting(Setting(7, 4, 0, 1, 0, 0, 255, 0));
    for (int i = 0; i < 3; ++i)
        pair.engine.RunStep(0);
    EXPECT_EQ(pair.buffer.Get(1), MakeLedWord(0, 255, 0, 214)); // pair 0 is LEDs 1 and 14
    EXPECT_EQ(pair.buffer.Get(14), MakeLedWord(0, 255, 0, 214));
    EXPECT_EQ(pair.engine.Reactive().ring[7], 1); // the pair sweep turns the other way round 8
}

TEST(LightingEffectEngine, MouseEffectChangeResetsTheReactiveBuffers)
{
    Rig rig(LightingFamily::Mouse);
    rig.engine.LoadMainSetting(Setting(5, 4, 0, 1, 0, 1, 1, 1));
    for (int i = 0; i < 3; ++i)
        rig.engine.StepColumnSweep();
    ASSERT_EQ(rig.engine.Reactive().ring[3], 1);
    rig.engine.LoadMainSetting(Setting(5, 2, 1, 1, 0, 1, 1, 1)); // same effect: kept
    EXPECT_EQ(rig.engine.Reactive().ring[3], 1);
    rig.engine.LoadMainSetting(Setting(3, 2, 1, 1, 0, 1, 1, 1));
    EXPECT_EQ(rig.engine.Reactive().ring[0], 1);
    EXPECT_EQ(rig.engine.Reactive().ring[3], 0);
    EXPECT_EQ(rig.engine.Reactive().levels[2], 0);
    EXPECT_EQ(rig.engine.Effect(), 3);
    EXPECT_EQ(rig.engine.Speed(), 1);
}

TEST(LightingEffectEngine, AdvanceStepsAtTheSpeedsPaceAndSaysWhenToComeBack)
{
    Rig rig(LightingFamily::Mouse);
    rig.engine.LoadMainSetting(Setting(1, 4, 4, 1, 0, 0, 0, 0)); // spectrum, 7 passes per step
    EXPECT_EQ(rig.engine.Advance(1, 1000), 6);
    EXPECT_EQ(rig.engine.GetState().effectStep, 0);
    EXPECT_EQ(rig.engine.Advance(6, 1012), 7);
    EXPECT_EQ(rig.engine.GetState().effectStep, 1);
    EXPECT_EQ(rig.engine.Advance(17, 1046), 4); // two more steps, 3 passes into the next
    EXPECT_EQ(rig.engine.GetState().effectStep, 3);

    rig.engine.SetEffect(1, 0); // 28 passes per step
    EXPECT_EQ(rig.engine.Advance(1, 1048), 24);

    // Custom frames (effect 9 and above on the mouse): the player decides.
    rig.engine.SetEffect(9, 0);
    EXPECT_EQ(rig.engine.Advance(1, 2000), LightingEffectEngine::kMaxWaitPasses); // no frames
    EXPECT_EQ(rig.buffer.Get(0), 0u);

    // Mousepad with a breathing record: brought up to date in batches.
    Rig pad(LightingFamily::Pad, 15);
    pad.engine.LoadMainSetting(Setting(3, 4, 0, 0, 0, 1, 2, 3));
    std::vector<LightSetting> records(15);
    records[2] = Setting(0, 4, 0, 0, 0, 9, 9, 9);
    records[2][LightSetting::kPresent] = 1;
    pad.engine.SetKeyLightRecords(records);
    EXPECT_EQ(pad.engine.Advance(1, 3000), LightingEffectEngine::kBatchPasses);
    EXPECT_EQ(pad.engine.Records().StateOf(2).phase, 4); // one pass: phase + speed + 4
    pad.engine.Advance(5, 3010);
    EXPECT_EQ(pad.engine.Records().StateOf(2).phase, 24);
}

TEST(LightingEffectEngine, CatchingUpMissedPassesEqualsRunningEveryPass)
{
    // The lighting thread sleeps and then runs the passes it missed in one go; the colours must
    // be those of a thread that ran every single pass.
    std::vector<EffectFrame> frames(3);
    frames[0].setting = Setting(0, 4, 4, 0, 1, 1, 2, 3);
    frames[0].time = 40;
    frames[1].setting = Setting(2, 3, 1, 0, 1, 9, 8, 7);
    frames[1].time = 3000;
    frames[2].setting = Setting(4, 4, 4, 1, 0, 0, 200, 0);
    frames[2].time = 60;
    std::vector<LightSetting> records(15);
    records[1] = Setting(0, 4, 2, 0, 1, 0, 0, 0);
    records[2] = Setting(2, 4, 4, 0, 0, 5, 5, 5);
    records[3] = Setting(3, 4, 3, 0, 0, 0, 0, 0);
    for (LightSetting& r : records)
        r[LightSetting::kPresent] = r[LightSetting::kEffect] || r[LightSetting::kBrightness] ? 1 : 0;

    const int chunks[] = {7, 13, 1, 25, 3, 28, 2, 50, 11, 5};
    for (LightingFamily family : {LightingFamily::Mouse, LightingFamily::Pad}) {
        for (uint8_t effect : {0, 1, 4, 5, 7, 9}) {
            Rig stepwise(family, 15), batched(family, 15);
            for (Rig* rig : {&stepwise, &batched}) {
                rig->engine.LoadMainSetting(Setting(effect, 4, 3, 1, 1, 0, 0, 0));
                rig->engine.SetKeyLightRecords(records);
                rig->engine.SetEffectFrames(frames);
            }
            uint32_t now = 100000;
            for (int round = 0; round < 4; ++round) {
                for (int chunk : chunks) {
                    for (int i = 0; i < chunk; ++i)
                        stepwise.engine.Advance(1, now + uint32_t(2 * (i + 1)));
                    now += uint32_t(2 * chunk);
                    batched.engine.Advance(chunk, now);
                    for (int led = 0; led < 15; ++led)
                        ASSERT_EQ(batched.buffer.Get(led), stepwise.buffer.Get(led))
                            << "family " << int(family) << " effect " << int(effect) << " LED " << led
                            << " at " << now;
                }
            }
        }
    }
}

TEST(LightingEffectEngine, PlayerEffectsFollowTheFamilyTable)
{
    std::vector<EffectFrame> frames(1);
    frames[0].setting = Setting(1, 4, 4, 0, 0, 7, 8, 9);
    frames[0].time = 1000;
    struct Case {
        LightingFamily family;
        uint8_t effect;
        bool plays;
    } cases[] = {{LightingFamily::Mouse, 5, false},
                 {LightingFamily::Pad, 5, true},
                 {LightingFamily::Headset, 5, true},
                 {LightingFamily::Mouse, 9, true},
                 {LightingFamily::Pad, 12, true}};
    for (const Case& c : cases) {
        Rig rig(c.family, 15);
        rig.engine.SetEffectFrames(frames);
        rig.engine.LoadMainSetting(Setting(c.effect, 4, 0, 1, 0, 1, 2, 3));
        for (int i = 0; i < 7; ++i)
            rig.engine.RunStep(500);
        EXPECT_EQ(rig.buffer.Get(0) == MakeLedWord(7, 8, 9, 255), c.plays) << int(c.effect);
    }
}

} // namespace
} // namespace nq
