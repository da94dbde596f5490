#include "devices/KeyboardKeyEffects.h"

#include <algorithm>

namespace nq {

using namespace kbfx;

namespace {

constexpr uint8_t kFull = 255;
constexpr int kHueRange = 192;
constexpr int kRaindrops = 6;
constexpr int kRaindropKeys = 104;

// Rows of the sweep maps are bits 0-5 of a column's byte.
constexpr int kMapRows = 6;

} // namespace

KeyboardKeyEffects::KeyboardKeyEffects(LightingEffectEngine& base)
    : m_base(base), m_keys(base.Leds()), m_random(LightingClockMs() | 1u)
{
    m_positionToSlot.fill(255);
}

void KeyboardKeyEffects::SetSettings(const LightSetting& main, uint8_t effect, uint8_t speed)
{
    m_main = main;
    m_effect = effect;
    m_speed = speed;
    // The base steps read the record and, for the flash period, the speed.
    m_base.SetMainSetting(main);
    m_base.SetEffect(effect, speed);
}

void KeyboardKeyEffects::SetEffectStep(uint8_t step)
{
    LightingEffectEngine::State s = m_base.GetState();
    s.effectStep = step;
    m_base.SetState(s);
}

int KeyboardKeyEffects::Random(int below)
{
    return int(m_random() % uint32_t(below));
}

uint8_t KeyboardKeyEffects::LevelB() const { return BrightnessLevel(m_main.Brightness()); }

void KeyboardKeyEffects::Set(int position, Rgb colour, uint8_t level)
{
    if (position >= 0 && position < kPositions)
        m_keys.Set(position, MakeLedWord(colour, level));
}

void KeyboardKeyEffects::SetColumn(const Column& column, Rgb colour, uint8_t level)
{
    for (uint8_t p : column) {
        if (p != kNoKey)
            Set(p, colour, level);
    }
}

// ---- effect changes ----

void KeyboardKeyEffects::ResetEffectState()
{
    SetEffectStep(0);
    m_state.sweepCounter = 0;
    m_state.passCounter = 0;
    m_base.Reactive().levels.fill(0);
    m_state.pressState.fill(0);
    for (auto& map : m_state.sweepMaps)
        map.fill(0);
}

void KeyboardKeyEffects::SeedHues()
{
    int s = 0;
    for (int i = 0; i < kPositions; ++i) {
        s += 33;
        if (s > kHueRange)
            s -= kHueRange;
        m_state.keyHues[size_t(i)] = uint8_t(s);
    }
}

void KeyboardKeyEffects::RunEffectHook(int effect)
{
    switch (effect) {
    case 13:
        SetMapBit(9, 6);
        break;
    case 15:
        for (int c = 0; c < kColumns; ++c) {
            for (int r = 0; r < 7; ++r) {
                const uint8_t p = KEY_COLUMNS7[size_t(c)][size_t(r)];
                if (p == kNoKey7 || p >= kPositions)
                    continue;
                Level(p) = COLUMN_SEEDS[size_t(6 * c + r)];
                m_state.keyHues[p] = uint8_t(7 * c);
            }
        }
        break;
    case 16:
        SetMapBit(1, 0);
        break;
    case 21:
        for (int c = 0; c < kColumns; ++c) {
            uint8_t a = uint8_t(192 - 8 * c);
            for (int r = 0; r < 7; ++r) {
                // Byte arithmetic: below 0 the phase is taken 98 lower, modulo 256.
                a = a < 35 ? uint8_t(a - 98) : uint8_t(a - 35);
                const uint8_t p = KEY_COLUMNS7[size_t(c)][size_t(r)];
                if (p == kNoKey7 || p >= kPositions)
                    continue;
                m_state.keyPhases[p] = a;
                m_state.keyHues[p] = uint8_t(7 * c);
            }
        }
        break;
    default:
        SeedHues();
        break;
    }
}

// ---- the key thread ----

int KeyboardKeyEffects::Advance(int passes, uint32_t nowMs)
{
    constexpr uint32_t kPassMs = LightingEffectEngine::kPassMs;
    passes = std::clamp(passes, 1, LightingEffectEngine::kMaxCatchUpPasses);
    const TickRow row = RowOfKeyEffect(m_effect);
    const int threshold = TickThreshold(row, m_speed);
    LightingRecordEffects& records = m_base.Records();
    const bool withRecords = records.HasPresentRecords();

    for (int k = 0; k < passes; ++k) {
        const uint32_t t = nowMs - uint32_t(passes - 1 - k) * kPassMs;
        if (row == TickRow::Frames) {
            m_base.PlayEffectFrames(t);
        } else if (++m_state.passCounter >= threshold) {
            m_state.passCounter = 0;
            RunStep(t);
        }
        if (withRecords)
            records.Run(m_keys, t);
    }

    int next;
    if (row == TickRow::Frames) {
        next = m_base.Player().PassesUntilChange(m_main.Speed(), nowMs, kPassMs);
        next = next < 0 ? LightingEffectEngine::kMaxWaitPasses : next;
    } else {
        next = std::max(threshold - m_state.passCounter, 1);
    }
    if (withRecords) {
        const int r = records.PassesUntilChange(nowMs, kPassMs);
        if (r > 0)
            next = std::min(next, r);
    }
    return std::clamp(next, 1, LightingEffectEngine::kMaxWaitPasses);
}

void KeyboardKeyEffects::RunStep(uint32_t nowMs)
{
    switch (m_effect) {
    case kSpectrum: m_base.StepSpectrum(); return;
    case kBreathFour: m_base.StepBreathingFourColours(); return;
    case kFlashFour: m_base.StepFlashFourColours(nowMs); return;
    case kOff: m_base.StepOff(); return;
    case kFlash: m_base.StepFlash(nowMs); return;
    default: break;
    }
    if (RowOfKeyEffect(m_effect) == TickRow::Frames) {
        m_base.PlayEffectFrames(nowMs);
        return;
    }
    LightingEffectEngine::State s = m_base.GetState();
    uint8_t& step = s.effectStep;
    switch (m_effect) {
    case 1: StepColumnWave(step); break;
    case 2: StepSlowColumnWave(step); break;
    case 3: StepKeyOrderWave(step); break;
    case 5: StepColumnBreathing(step); break;
    case 6: StepStatic(); break;
    case 7: StepReactiveFade(); break;
    case 8: StepReactiveSweep(false); break;
    case 9: StepReactiveSweep(true); break;
    case 10: StepRaindrops(); break;
    case 11: StepHueCycle(); break;
    case 12: StepRowWave(step); break;
    case 13: StepSelfSeeding(true); break;
    case 14: StepSequence(step); break;
    case 15: StepTwinkle(); break;
    case 16: StepSelfSeeding(false); break;
    case 17: StepModeColour(step); break;
    case 18: StepRings(step); break;
    case 20: StepCustomColours(); break;
    case 21: StepPerKeyBreathing(); break;
    case 27: StepRadar(step); break;
    default: break;
    }
    m_base.SetState(s);
}

// ---- key steps ----

void KeyboardKeyEffects::StepColumnWave(uint8_t& step)
{
    const uint8_t b = LevelB();
    if (Multi()) {
        step = NextCounter(m_main.Direction(), kWheelSize, step);
        int h = (step + 1) % kWheelSize;
        for (const Column& column : KEY_COLUMNS) {
            SetColumn(column, COLOUR_WHEEL[size_t(h)], b);
            h = (h + 7) % kWheelSize;
        }
        return;
    }
    step = NextCounter(m_main.Direction(), 96, step);
    int k = (step + 1) % 96;
    for (const Column& column : KEY_COLUMNS) {
        SetColumn(column, RecordColour(), ScaleLevel(b, WAVE_CURVE[size_t(k)]));
        k = (k + 7) % 96;
    }
}

void KeyboardKeyEffects::StepSlowColumnWave(uint8_t& step)
{
    const uint8_t b = LevelB();
    if (Multi()) {
        step = NextCounter(m_main.Direction(), kWheelSize, step);
        int h = step % kWheelSize;
        for (const Column& column : KEY_COLUMNS) {
            SetColumn(column, COLOUR_WHEEL[size_t(h)], b);
            h = (h + 2) % kWheelSize;
        }
        return;
    }
    step = NextCounter(m_main.Direction(), 96, step);
    int k = step % 96;
    for (const Column& column : KEY_COLUMNS) {
        SetColumn(column, RecordColour(), ScaleLevel(b, PULSE_CURVE[size_t(k)]));
        k = (k + 1) % 96;
    }
}

void KeyboardKeyEffects::StepKeyOrderWave(uint8_t& step)
{
    const uint8_t b = LevelB();
    const bool multi = Multi();
    const int limit = multi ? kWheelSize : 96;
    step = NextCounter(m_main.Direction(), limit, step);
    int a = step % limit;
    for (uint8_t p : KEY_ORDER) {
        if (p == kNoKey)
            continue;
        if (multi)
            Set(p, COLOUR_WHEEL[size_t(a)], b);
        else
            Set(p, RecordColour(), ScaleLevel(b, WAVE_CURVE[size_t(a)]));
        a = (a + 5) % limit;
    }
}

void KeyboardKeyEffects::StepColumnBreathing(uint8_t& step)
{
    step = NextCounter(m_main.Direction(), 128, step);
    const uint8_t level = ScaleLevel(LevelB(), BREATH_CURVE[step % 128]);
    if (Multi()) {
        for (int c = 0; c < kColumns; ++c)
            SetColumn(KEY_COLUMNS[size_t(c)], COLOUR_WHEEL[size_t((7 * c) % kWheelSize)], level);
        return;
    }
    for (int p = 0; p < kPositions; ++p)
        Set(p, RecordColour(), level);
}

void KeyboardKeyEffects::StepStatic()
{
    const uint8_t b = LevelB();
    if (!Multi()) {
        for (int p = 0; p < kPositions; ++p)
            Set(p, RecordColour(), b);
        return;
    }
    for (size_t i = 0; i < KEY_RINGS.size(); ++i) {
        const Rgb colour = COLOUR_WHEEL[110 - 10 * i];
        for (uint8_t p : KEY_RINGS[i]) {
            if (InKeyOrder(p))
                Set(p, colour, b);
        }
    }
}

void KeyboardKeyEffects::ShowReactive(int p)
{
    const Rgb colour = Multi() ? WheelColour(m_state.keyHues[size_t(p)]) : RecordColour();
    Set(p, colour, ScaleLevel(LevelB(), Level(p)));
}

void KeyboardKeyEffects::DecayAndShow(int p)
{
    m_base.DecayKeyLevel(p, true);
    ShowReactive(p);
}

void KeyboardKeyEffects::StepReactiveFade()
{
    for (int p = 0; p < kPositions; ++p) {
        uint8_t& level = Level(p);
        uint8_t& state = m_state.pressState[size_t(p)];
        if (state == 1) {
            level = uint8_t(std::min(level + 15, 255));
        } else if (state == 2) {
            if (level > 5) {
                level = uint8_t(level - 5);
            } else {
                level = 0;
                state = 0;
            }
        }
        ShowReactive(p);
    }
}

void KeyboardKeyEffects::StepReactiveSweep(bool shift)
{
    LightSweepKeys();
    if (shift)
        ShiftSweepMaps();
    else
        MoveSweepMaps();
    for (int p = 0; p < kPositions; ++p)
        DecayAndShow(p);
}

void KeyboardKeyEffects::StepRaindrops()
{
    for (int i = 0; i < kRaindrops; ++i) {
        const uint8_t p = KEY_ORDER[size_t(Random(kRaindropKeys))];
        m_state.keyHues[p] = uint8_t(Random(kHueRange));
        Level(p) = kFull;
    }
    for (int p = 0; p < kPositions; ++p)
        DecayAndShow(p);
}

void KeyboardKeyEffects::StepHueCycle()
{
    const uint8_t b = LevelB();
    for (int p = 0; p < kPositions; ++p) {
        uint8_t& hue = m_state.keyHues[size_t(p)];
        hue = hue + 1 >= kHueRange ? 0 : uint8_t(hue + 1);
        Set(p, COLOUR_WHEEL[hue], b);
    }
}

void KeyboardKeyEffects::StepRowWave(uint8_t& step)
{
    const uint8_t b = LevelB();
    step = NextCounter(m_main.Direction(), kWheelSize, step);
    int h = (step + 1) % kWheelSize;
    for (int r = 0; r < kRows; ++r) {
        for (const Column& column : KEY_COLUMNS) {
            if (column[size_t(r)] != kNoKey)
                Set(column[size_t(r)], COLOUR_WHEEL[size_t(h)], b);
        }
        h = (h + 30) % kWheelSize;
    }
}

void KeyboardKeyEffects::StepSelfSeeding(bool column9)
{
    const int lowColumn = column9 ? 9 : 1;
    const int highColumn = column9 ? 9 : 22;
    if (MapOr(lowColumn) == 1)
        SetMapBit(lowColumn, 0);
    if (MapOr(highColumn) == 64)
        SetMapBit(highColumn, 6);
    if (column9) {
        if (m_state.sweepCounter > 1) {
            m_state.sweepCounter = 0;
            LightSweepKeys();
            MoveSweepMaps();
        }
        ++m_state.sweepCounter;
        for (int p = 0; p < kPositions; ++p)
            DecayAndShow(p);
        return;
    }
    LightSweepKeys();
    MoveSweepMaps();
    for (uint8_t p : KEY_ORDER) {
        if (p != kNoKey)
            DecayAndShow(p);
    }
}

void KeyboardKeyEffects::StepSequence(uint8_t& step)
{
    auto light = [this](uint8_t p) {
        if (p >= kPositions)
            return;
        Level(p) = kFull;
        if (Multi())
            m_state.keyHues[p] = uint8_t(Random(kHueRange));
    };
    uint8_t& phase = m_state.sweepCounter;
    switch (phase) {
    case 0:
        for (uint8_t p : SEQUENCE_ROWS[step % SEQUENCE_ROWS.size()])
            light(p);
        if (++step >= SEQUENCE_ROWS.size()) {
            step = 0;
            phase = 1;
        }
        break;
    case 1:
        if (step <= 30) {
            for (uint8_t p : SEQUENCE_PAIRS[step % SEQUENCE_PAIRS.size()])
                light(p);
            ++step;
        } else if (Level(72) == 0) {
            phase = 2;
            step = 0;
        }
        break;
    case 2:
        SeedSweepAtKey(52, 1);
        phase = 3;
        break;
    case 3:
        LightSweepKeys();
        MoveSweepMaps();
        if (Level(124) != 0)
            phase = 4;
        break;
    default:
        if (Level(124) == 0) {
            phase = 0;
            step = 0;
        }
        break;
    }
    for (int p = 0; p < kPositions; ++p)
        DecayAndShow(p);
}

void KeyboardKeyEffects::StepTwinkle()
{
    const uint8_t b = LevelB();
    for (uint8_t p : KEY_ORDER) {
        if (p == kNoKey)
            continue;
        int level = Level(p) + 2;
        if (level >= kHueRange) {
            level = 0;
            m_state.keyHues[p] = uint8_t(Random(kHueRange));
        }
        Level(p) = uint8_t(level);
        const Rgb colour = Multi() ? WheelColour(m_state.keyHues[p]) : RecordColour();
        Set(p, colour, ScaleLevel(b, PULSE_CURVE[size_t(level)]));
    }
}

void KeyboardKeyEffects::StepModeColour(uint8_t& step)
{
    step = 0;
    int entry;
    switch (m_main[LightSetting::kLedMode]) {
    case 1: entry = 25; break;
    case 2: entry = 70; break;
    case 3: entry = 95; break;
    default: entry = 174; break;
    }
    for (int p = 0; p < kPositions; ++p)
        Set(p, COLOUR_WHEEL[size_t(entry)], 0);
}

void KeyboardKeyEffects::StepRings(uint8_t& step)
{
    const uint8_t b = LevelB();
    step = NextCounter(m_main.Direction(), kWheelSize, step);
    int a = step;
    for (const auto& ring : KEY_RINGS) {
        a = (a + 7) % kWheelSize;
        for (uint8_t p : ring) {
            if (InKeyOrder(p))
                Set(p, COLOUR_WHEEL[size_t(a)], b);
        }
    }
}

void KeyboardKeyEffects::StepCustomColours()
{
    const LedWord level = LedWord(LevelB()) << 24;
    for (int p = 0; p < kPositions; ++p)
        m_keys.Set(p, (m_keys.Get(p) & 0x00FFFFFFu) | level);
}

void KeyboardKeyEffects::StepPerKeyBreathing()
{
    const uint8_t b = LevelB();
    for (uint8_t p : KEY_ORDER) {
        if (p == kNoKey)
            continue;
        uint8_t& phase = m_state.keyPhases[p];
        phase = uint8_t(phase + 1);
        if (phase >= kHueRange) {
            phase = 0;
            m_state.keyHues[p] = uint8_t(Random(kHueRange));
        }
        const Rgb colour = Multi() ? WheelColour(m_state.keyHues[p]) : RecordColour();
        Set(p, colour, ScaleLevel(b, PULSE_CURVE[phase]));
    }
}

void KeyboardKeyEffects::StepRadar(uint8_t& step)
{
    step = NextCounter(m_main.Direction(), int(RADAR_STEPS.size()), step);
    for (uint8_t p : RADAR_STEPS[step % RADAR_STEPS.size()]) {
        if (p < kPositions) {
            Level(p) = kFull;
            m_state.keyHues[p] = 0;
        }
    }
    const uint8_t b = LevelB();
    for (int p = 0; p < kPositions; ++p) {
        uint8_t& level = Level(p);
        level = level > 5 ? uint8_t(level - 5) : 0;
        uint8_t& hue = m_state.keyHues[size_t(p)];
        if (hue != 255)
            hue = uint8_t(hue + 3);
        if (Multi())
            Set(p, WheelColour(hue), b);
        else
            Set(p, RecordColour(), ScaleLevel(b, level));
    }
}

// ---- reactive input ----

void KeyboardKeyEffects::KeyEvent(int slot, int kind)
{
    if (kind != 1 && kind != 2)
        return;
    const auto it = std::find(m_positionToSlot.begin(), m_positionToSlot.end(), uint8_t(slot));
    if (slot < 0 || slot > 254 || it == m_positionToSlot.end())
        return;
    const int p = int(it - m_positionToSlot.begin());
    ReactiveTrigger(p, 1);
    ReactiveTrigger(p, 2);
}

void KeyboardKeyEffects::ReactiveTrigger(int position, int kind)
{
    if (m_effect == 7)
        PressKey(position, kind);
    else if (m_effect == 8 || m_effect == 9)
        SeedSweepAtKey(position, kind);
}

void KeyboardKeyEffects::PressKey(int position, int kind)
{
    if (position < 0 || position >= kPositions)
        return;
    m_state.pressState[size_t(position)] = uint8_t(kind);
    Level(position) = kFull;
}

void KeyboardKeyEffects::SeedSweepAtKey(int position, int kind)
{
    if (kind != 1 || position < 0 || position >= kPositions)
        return;
    for (int c = 0; c < kColumns; ++c) {
        for (int r = 0; r < kRows; ++r) {
            if (KEY_COLUMNS[size_t(c)][size_t(r)] == position) {
                SetMapBit(c, r);
                return;
            }
        }
    }
}

// ---- sweep maps ----

uint8_t KeyboardKeyEffects::MapOr(int column) const
{
    uint8_t v = 0;
    for (const auto& map : m_state.sweepMaps)
        v |= map[size_t(column)];
    return v;
}

void KeyboardKeyEffects::SetMapBit(int column, int bit)
{
    for (auto& map : m_state.sweepMaps)
        map[size_t(column)] |= uint8_t(1u << bit);
}

void KeyboardKeyEffects::LightSweepKeys()
{
    for (int c = 0; c < kColumns; ++c) {
        const uint8_t bits = MapOr(c);
        for (int r = 0; r < kMapRows; ++r) {
            const uint8_t p = KEY_COLUMNS[size_t(c)][size_t(r)];
            if (!(bits & (1u << r)) || p == kNoKey)
                continue;
            Level(p) = kFull;
            if (Multi())
                m_state.keyHues[p] = uint8_t(Random(kHueRange));
        }
    }
}

void KeyboardKeyEffects::MoveSweepMaps()
{
    auto& maps = m_state.sweepMaps;
    constexpr int last = kColumns - 1;
    // A: towards lower columns and row 0.
    auto& a = maps[kA];
    a[0] = uint8_t(a[0] >> 1);
    for (int c = 1; c <= last; ++c) {
        a[size_t(c - 1)] |= a[size_t(c)];
        a[size_t(c)] = uint8_t(a[size_t(c)] >> 1);
    }
    // D: towards lower columns and row 5.
    auto& d = maps[kD];
    for (int c = 1; c <= kColumns; ++c) {
        d[size_t(c - 1)] = uint8_t(d[size_t(c - 1)] << 1);
        if (c <= last)
            d[size_t(c - 1)] |= d[size_t(c)];
    }
    // B: towards higher columns and row 0.
    auto& b = maps[kB];
    b[last] = uint8_t(b[last] >> 1);
    for (int c = last - 1; c >= 0; --c) {
        b[size_t(c + 1)] |= b[size_t(c)];
        b[size_t(c)] = uint8_t(b[size_t(c)] >> 1);
    }
    // C: towards higher columns and row 5.
    auto& cm = maps[kC];
    cm[last] = uint8_t(cm[last] << 1);
    for (int c = last - 1; c >= 0; --c) {
        cm[size_t(c + 1)] |= cm[size_t(c)];
        cm[size_t(c)] = uint8_t(cm[size_t(c)] << 1);
    }
}

void KeyboardKeyEffects::ShiftSweepMaps()
{
    auto& maps = m_state.sweepMaps;
    maps[kA].fill(0);
    maps[kC].fill(0);
    maps[kD].fill(0);
    auto& b = maps[kB];
    for (int c = kColumns - 1; c > 0; --c)
        b[size_t(c)] = b[size_t(c - 1)];
    b[0] = 0;
}

} // namespace nq
