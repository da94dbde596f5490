// The keyboard's preview engine without threads: passes are handed to it as the threads would,
// and the colour words of a few keys and LEDs are compared with what the effects must show.
#include "devices/KeyboardLightingEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace nq;
using Thread = KeyboardLightingEngine::Thread;

namespace {

constexpr uint32_t kT0 = 100000; // the clock at the first pass (ms)

class KeyboardEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        keys.Resize(126);
        main[LightSetting::kBrightness] = 4; // level b = 255
        main[LightSetting::kDirection] = 1;
        main[LightSetting::kRed] = 200, main[LightSetting::kGreen] = 40, main[LightSetting::kBlue] = 90;
        for (int zone : {LightSetting::kLogo, LightSetting::kSt}) {
            main[zone + LightSetting::kBrightness] = 4;
            main[zone + LightSetting::kDirection] = 1;
            main[zone + LightSetting::kRed] = 10, main[zone + LightSetting::kGreen] = 20;
            main[zone + LightSetting::kBlue] = 30;
        }
        engine.Keys().SeedRandom(7);
    }
    // Key zone: effect, speed level, multicolour; the effect-change hooks run.
    void KeyEffect(int effect, int speed, bool multi)
    {
        main[LightSetting::kEffect] = uint8_t(effect);
        main[LightSetting::kSpeed] = uint8_t(speed);
        main[LightSetting::kMultiColour] = multi;
        live[1] = uint8_t(effect);
        live[3] = uint8_t(speed);
        engine.SetLighting(main, live);
        engine.ChangeKeyEffect(effect);
    }
    void ZoneEffect(int zone, int effect, int speed, bool multi)
    {
        main[zone + LightSetting::kEffect] = uint8_t(effect);
        main[zone + LightSetting::kSpeed] = uint8_t(speed);
        main[zone + LightSetting::kMultiColour] = multi;
        live[zone == LightSetting::kLogo ? 22 : 31] = uint8_t(effect);
        live[zone == LightSetting::kLogo ? 24 : 33] = uint8_t(speed);
        engine.SetLighting(main, live);
        engine.ResetEffectState();
    }
    // `ticks` counted passes of a thread, in one catch-up call.
    void Run(Thread thread, int ticks) { engine.Advance(thread, ticks, now += uint32_t(2 * ticks)); }
    uint32_t Key(int p) const { return keys.Get(p); }

    LightingColourBuffer keys;
    LightingEffectEngine base{keys, LightingFamily::Mouse};
    std::array<std::atomic<uint32_t>, 15> logo{};
    std::array<std::atomic<uint32_t>, 6> side{};
    KeyboardLightingEngine engine{base, logo.data(), side.data()};
    LightSetting main;
    KeyboardSettingsBlock::Live live{};
    uint32_t now = kT0;
};

struct Expect {
    int position;
    LedWord word;
};
struct Case {
    const char* name;
    int effect, speed;
    bool multi;
    int ticks;
    std::vector<Expect> keys;
};

const Rgb kRecord{200, 40, 90};

} // namespace

// Effect, speed level and counted ticks -> the colour words of a few keys.
TEST_F(KeyboardEngine, KeyEffectsShowTheirColoursAfterCountedTicks)
{
    const std::vector<Case> cases = {
        // Column wave, two steps: h starts at 3, +7 per column.
        {"column wave", 1, 4, true, 4,
         {{120, MakeLedWord(255, 7, 0, 255)}, {21, MakeLedWord(255, 38, 0, 255)}, {0, MakeLedWord(255, 89, 0, 255)}}},
        // Level 0 steps every 6 ticks: after 5 nothing yet.
        {"column wave, level 0, 5 ticks", 1, 0, true, 5, {{120, 0}, {0, 0}}},
        // Single colour: the wave curve from index 2, +7 per column.
        {"column wave, one colour", 1, 4, false, 2,
         {{120, MakeLedWord(kRecord, 26)}, {21, MakeLedWord(kRecord, 48)}}},
        // Key-order wave: one step, a = 1, +5 along the path 15, 14, 13, ...
        {"key-order wave", 3, 4, true, 2,
         {{15, MakeLedWord(255, 3, 0, 255)}, {14, MakeLedWord(255, 18, 0, 255)}, {13, MakeLedWord(255, 44, 0, 255)}}},
        // Column breathing: 20 steps, breath level 33 of 255; column 3 has wheel colour 21.
        {"column breathing", 5, 4, true, 40, {{1, MakeLedWord(255, 129, 0, 32)}, {120, MakeLedWord(255, 1, 0, 32)}}},
        {"breathing, one colour", 5, 4, false, 40, {{1, MakeLedWord(kRecord, 32)}, {20, MakeLedWord(kRecord, 32)}}},
        // Rings: constant 5 ticks; two steps, a = 2, +7 before each ring.
        {"rings", 18, 0, true, 10,
         {{51, MakeLedWord(255, 32, 0, 255)}, {30, MakeLedWord(255, 81, 0, 255)}, {118, MakeLedWord(0, 255, 140, 255)}}},
        // Sequence: the first row lights Esc and 118, then each step fades them (255 -> 215 -> 175).
        {"sequence", 14, 4, false, 4,
         {{0, MakeLedWord(kRecord, 174)}, {118, MakeLedWord(kRecord, 174)}, {1, MakeLedWord(kRecord, 214)},
          {117, MakeLedWord(kRecord, 214)}, {2, MakeLedWord(kRecord, 0)}}},
        // Static multicolour: ring i in wheel colour 110 - 10 i.
        {"static", 6, 2, true, 4, {{51, MakeLedWord(0, 85, 255, 255)}, {41, MakeLedWord(255, 1, 0, 255)}}},
        // Row wave: one step, row 0 at h = 2, rows 30 wheel entries apart.
        {"row wave", 12, 4, true, 2, {{0, MakeLedWord(255, 5, 0, 255)}, {21, MakeLedWord(248, 255, 0, 255)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        keys.Fill(0);
        KeyEffect(c.effect, c.speed, c.multi);
        Run(Thread::Keys, c.ticks);
        for (const Expect& e : c.keys)
            EXPECT_EQ(Key(e.position), e.word) << "position " << e.position;
    }
}

TEST_F(KeyboardEngine, StepPaceFollowsTheTickRows)
{
    struct Pace { int effect, speed, ticks, steps; };
    for (const Pace& p : {Pace{1, 4, 2, 1}, Pace{1, 4, 12, 6}, Pace{1, 0, 6, 1}, Pace{1, 0, 12, 2}, Pace{1, 0, 5, 0},
                          Pace{27, 0, 3, 3}, Pace{27, 1, 56, 2}, Pace{18, 3, 10, 2}}) {
        KeyEffect(p.effect, p.speed, true);
        // One pass at a time, as a thread that wakes on every pass would run them.
        for (int i = 0; i < p.ticks; ++i)
            Run(Thread::Keys, 1);
        EXPECT_EQ(engine.Keys().EffectStep(), p.steps) << p.effect << "/" << p.speed << " " << p.ticks;
    }
    // Catching up many passes at once gives the same state as passing them one by one.
    KeyEffect(3, 2, true);
    Run(Thread::Keys, 37);
    const uint8_t caughtUp = engine.Keys().EffectStep();
    const uint32_t word = Key(50);
    KeyEffect(3, 2, true);
    for (int i = 0; i < 37; ++i)
        Run(Thread::Keys, 1);
    EXPECT_EQ(engine.Keys().EffectStep(), caughtUp);
    EXPECT_EQ(Key(50), word);
}

TEST_F(KeyboardEngine, FlashEffectsStepOnEveryPassAtLevelZero)
{
    // Four colours: on at the first pass with colour 1, off after 5600 ms, on with colour 2.
    KeyEffect(23, 0, true);
    engine.Advance(Thread::Keys, 1, kT0);
    EXPECT_EQ(Key(64), MakeLedWord(0, 255, 0, 255));
    engine.Advance(Thread::Keys, 1, kT0 + 5599);
    EXPECT_EQ(Key(64), MakeLedWord(0, 255, 0, 255));
    engine.Advance(Thread::Keys, 1, kT0 + 5600);
    EXPECT_EQ(Key(64), 0u);
    engine.Advance(Thread::Keys, 1, kT0 + 11200);
    EXPECT_EQ(Key(64), MakeLedWord(255, 0, 0, 255)); // every toggle moves to the next colour

    KeyEffect(26, 0, false);
    engine.Advance(Thread::Keys, 1, kT0 + 20000);
    EXPECT_EQ(base.GetState().flashTime, kT0 + 20000); // toggled on the very first pass
}

TEST_F(KeyboardEngine, FramePlayerWithoutFramesTurnsTheKeysOff)
{
    for (int effect : {19, 25}) {
        keys.Fill(MakeLedWord(1, 2, 3, 200));
        KeyEffect(effect, 2, true);
        Run(Thread::Keys, 1);
        for (int p : {0, 64, 125})
            EXPECT_EQ(Key(p), 0u) << effect << " " << p;
    }
}

TEST_F(KeyboardEngine, KeyNoticeUnderReactiveFadeJumpsToFullAndFadesByFive)
{
    std::array<uint8_t, 126> slots;
    slots.fill(255);
    slots[64] = 30;
    engine.SetPositionToSlot(slots);

    KeyEffect(7, 4, false);
    engine.KeyEvent(31, 1); // no position has slot 31
    EXPECT_EQ(engine.Keys().Level(64), 0);
    engine.KeyEvent(30, 1);
    EXPECT_EQ(engine.Keys().Level(64), 255);
    EXPECT_EQ(engine.Keys().GetState().pressState[64], 2); // the event ends released
    std::vector<int> levels;
    for (int i = 0; i < 3; ++i) {
        Run(Thread::Keys, 2);
        levels.push_back(engine.Keys().Level(64));
    }
    EXPECT_EQ(levels, (std::vector<int>{250, 245, 240}));
    EXPECT_EQ(Key(64), MakeLedWord(kRecord, ScaleLevel(255, 240)));

    KeyEffect(12, 4, true);
    engine.KeyEvent(30, 2);
    EXPECT_EQ(engine.Keys().Level(64), 0);
    EXPECT_EQ(engine.Keys().GetState().pressState[64], 0);

    // Under the diagonal ripple a press seeds the key's column and row in all four maps.
    KeyEffect(8, 4, false);
    engine.KeyEvent(30, 1); // position 64: column 2, row 3
    for (const auto& map : engine.Keys().GetState().sweepMaps)
        EXPECT_EQ(map[2], 1 << 3);
    Run(Thread::Keys, 2);
    EXPECT_EQ(Key(64), MakeLedWord(kRecord, ScaleLevel(255, 215)));
    // The four fronts moved one column out: column 1 and column 3 diagonally above and below.
    EXPECT_EQ(engine.Keys().GetState().sweepMaps[KeyboardKeyEffects::kA][1], 1 << 3);
    EXPECT_EQ(engine.Keys().GetState().sweepMaps[KeyboardKeyEffects::kA][2], 1 << 2);
    EXPECT_EQ(engine.Keys().GetState().sweepMaps[KeyboardKeyEffects::kC][3], 1 << 3);
    EXPECT_EQ(engine.Keys().GetState().sweepMaps[KeyboardKeyEffects::kC][2], 1 << 4);
}

TEST_F(KeyboardEngine, EffectHooksSeedHuesLevelsAndPhases)
{
    KeyEffect(1, 4, true);
    const auto& hues = engine.Keys().GetState().keyHues;
    EXPECT_EQ(hues[0], 33);
    EXPECT_EQ(hues[5], 6);    // 198 - 192
    EXPECT_EQ(hues[63], 192); // 192 itself stays

    KeyEffect(15, 4, true);
    EXPECT_EQ(engine.Keys().Level(0), 100); // column 2, row 1
    EXPECT_EQ(hues[0], 14);

    KeyEffect(21, 4, true);
    EXPECT_EQ(engine.Keys().GetState().keyPhases[84], 175); // column 0, row 5
    EXPECT_EQ(engine.Keys().GetState().keyPhases[105], 140);

    KeyEffect(13, 4, true);
    for (const auto& map : engine.Keys().GetState().sweepMaps)
        EXPECT_EQ(map[9], 1 << 6);
    KeyEffect(16, 4, true);
    for (const auto& map : engine.Keys().GetState().sweepMaps) {
        EXPECT_EQ(map[1], 1);
        EXPECT_EQ(map[9], 0); // the change reset the maps first
    }
}

TEST_F(KeyboardEngine, RadarBeamStartsRedAndFades)
{
    KeyEffect(27, 0, false);
    Run(Thread::Keys, 1); // step 1: 0 26 27 50 51
    EXPECT_EQ(engine.Keys().Level(0), 250);
    EXPECT_EQ(Key(0), MakeLedWord(kRecord, ScaleLevel(255, 250)));
    EXPECT_EQ(Key(25), MakeLedWord(kRecord, 0));
    Run(Thread::Keys, 1); // the next step's beam leaves the centre key: it fades on
    EXPECT_EQ(engine.Keys().Level(51), 245);
}

TEST_F(KeyboardEngine, LogoAndSideBounceTurnAtTheirLastLed)
{
    for (int zone : {LightSetting::kLogo, LightSetting::kSt}) {
        ZoneEffect(zone, 2, 4, true);
        KeyboardZoneEffects& z = zone == LightSetting::kLogo ? engine.Logo() : engine.Side();
        const int last = z.Count() - 1;
        std::vector<int> heads;
        for (int i = 0; i < 2 * z.Count() + 2; ++i) {
            const int before = z.Step();
            z.RunStep(kT0);
            heads.push_back(z.Step());
            if (before == last)
                EXPECT_FALSE(z.BounceFlag()) << "turns at LED " << last;
        }
        EXPECT_EQ(*std::max_element(heads.begin(), heads.end()), last);
        std::vector<int> expected;
        for (int h = 1; h <= last; ++h)
            expected.push_back(h);
        for (int h = last; h >= 0; --h)
            expected.push_back(h);
        for (int h : {0, 1, 2})
            expected.push_back(h);
        EXPECT_EQ(heads, expected);
        EXPECT_EQ(z.LedLevel(2), 254);
        EXPECT_EQ(z.LedLevel(1), 214); // 254 decayed once
        EXPECT_EQ(z.LedLevel(0), 174);
    }
}

TEST_F(KeyboardEngine, LogoAndSideStepsShowTheirColours)
{
    // Logo wave runs against the direction: 0 -> 127, colours from entry 0, +8 per LED.
    ZoneEffect(LightSetting::kLogo, 0, 4, true);
    Run(Thread::Logo, 2);
    EXPECT_EQ(logo[0].load(), MakeLedWord(255, 1, 0, 255));
    EXPECT_EQ(logo[1].load(), MakeLedWord(255, 81, 0, 255));
    // Side wave, single colour, over 48 indices: step 1, k = 2, +5 per LED.
    ZoneEffect(LightSetting::kSt, 0, 4, false);
    Run(Thread::Side, 2);
    EXPECT_EQ(side[0].load(), MakeLedWord(10, 20, 30, ScaleLevel(255, WAVE_CURVE[2])));
    EXPECT_EQ(side[1].load(), MakeLedWord(10, 20, 30, ScaleLevel(255, WAVE_CURVE[7])));
    // Static: LED i in zone wheel colour 4 i + 5.
    ZoneEffect(LightSetting::kLogo, 4, 4, true);
    Run(Thread::Logo, 2);
    EXPECT_EQ(logo[2].load(), MakeLedWord(kbfx::ZONE_WHEEL[13], 255));
    ZoneEffect(LightSetting::kSt, 5, 4, true);
    Run(Thread::Side, 2);
    EXPECT_EQ(side[3].load(), 0u);
    // An effect without a step leaves the words as they are.
    side[0] = 77;
    ZoneEffect(LightSetting::kSt, 6, 4, true);
    Run(Thread::Side, 20);
    EXPECT_EQ(side[0].load(), 77u);
}

TEST_F(KeyboardEngine, LogoAndSideShareOneFlashToggle)
{
    ZoneEffect(LightSetting::kLogo, 3, 4, false); // 700 ms
    ZoneEffect(LightSetting::kSt, 3, 0, false);   // 2800 ms
    engine.Advance(Thread::Logo, 2, kT0);
    engine.Advance(Thread::Side, 6, kT0 + 1); // level 0 steps every 6 passes
    EXPECT_NE(logo[0].load(), 0u);
    EXPECT_NE(side[0].load(), 0u); // the logo's toggle shows on the side too
    engine.Advance(Thread::Logo, 2, kT0 + 700);
    engine.Advance(Thread::Side, 6, kT0 + 701);
    EXPECT_EQ(logo[0].load(), 0u);
    EXPECT_EQ(side[0].load(), 0u);
}

TEST_F(KeyboardEngine, PerKeyRecordsApplyAfterEachPass)
{
    std::vector<LightSetting> records(126);
    records[64][LightSetting::kEffect] = 1; // static
    records[64][LightSetting::kBrightness] = 2;
    records[64][LightSetting::kRed] = 9;
    records[64][LightSetting::kPresent] = 1;
    records[65][LightSetting::kEffect] = 4; // off
    records[65][LightSetting::kPresent] = 1;
    base.SetKeyLightRecords(records);
    KeyEffect(6, 4, false);
    Run(Thread::Keys, 2);
    EXPECT_EQ(Key(64), MakeLedWord(9, 0, 0, 126));
    EXPECT_EQ(Key(65), 0u);
    EXPECT_EQ(Key(66), MakeLedWord(kRecord, 255));
}

TEST_F(KeyboardEngine, CustomColoursKeepTheirColourAtTheZoneBrightness)
{
    KeyEffect(20, 4, false);
    keys.Set(43, MakeLedWord(255, 0, 0, 17));
    keys.Set(44, MakeLedWord(0, 0, 255, 0));
    main[LightSetting::kBrightness] = 2;
    engine.SetLighting(main, live);
    Run(Thread::Keys, 2);
    EXPECT_EQ(Key(43), MakeLedWord(255, 0, 0, 126));
    EXPECT_EQ(Key(44), MakeLedWord(0, 0, 255, 126));
}
