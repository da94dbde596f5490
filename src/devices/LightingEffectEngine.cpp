#include "devices/LightingEffectEngine.h"

#include <algorithm>

namespace nq {

namespace {

Rgb RecordColour(const LightSetting& s) { return {s.Red(), s.Green(), s.Blue()}; }

// The sweeps walk the wheel in steps of 12 on a byte counter; entries from 192 up fold back.
Rgb SweepColour(uint8_t& effectStep)
{
    effectStep = uint8_t((effectStep + 12) % 256);
    return COLOUR_WHEEL[effectStep >= kWheelSize ? effectStep - kWheelSize : effectStep];
}

} // namespace

LightingEffectEngine::LightingEffectEngine(LightingColourBuffer& leds, LightingFamily family)
    : m_leds(leds), m_family(family)
{
}

void LightingEffectEngine::SetMainSetting(const LightSetting& setting)
{
    std::lock_guard<std::mutex> guard(m_settingLock);
    m_main = setting;
}

LightSetting LightingEffectEngine::MainSetting() const
{
    std::lock_guard<std::mutex> guard(m_settingLock);
    return m_main;
}

void LightingEffectEngine::SetEffect(uint8_t effect, uint8_t speed)
{
    m_effect.store(effect, std::memory_order_relaxed);
    m_speed.store(speed, std::memory_order_relaxed);
}

void LightingEffectEngine::LoadMainSetting(const LightSetting& setting)
{
    if (m_family == LightingFamily::Mouse && setting.Effect() != Effect()) {
        std::lock_guard<std::mutex> guard(m_stepLock);
        m_reactive.Reset();
    }
    SetMainSetting(setting);
    SetEffect(setting.Effect(), setting.Speed());
}

void LightingEffectEngine::SetKeyLightRecords(std::vector<LightSetting> records)
{
    m_records.SetRecords(std::move(records));
}

void LightingEffectEngine::EvaluateRecordsOnce(uint32_t nowMs)
{
    m_records.Run(m_leds, nowMs, LightingRecordEffects::kAnimated);
}

bool LightingEffectEngine::PlaysFrames(uint8_t effect) const
{
    if (effect >= 9)
        return true;
    return effect == 5 && m_family != LightingFamily::Mouse;
}

void LightingEffectEngine::RunStep(uint32_t nowMs)
{
    std::lock_guard<std::mutex> guard(m_stepLock);
    RunStepLocked(nowMs);
}

void LightingEffectEngine::RunStepLocked(uint32_t nowMs)
{
    const uint8_t effect = Effect();
    if (PlaysFrames(effect)) {
        PlayEffectFrames(nowMs);
        return;
    }
    const bool mouse = m_family == LightingFamily::Mouse;
    switch (effect) {
    case 0: StepWave(); break;
    case 1: StepSpectrum(); break;
    case 2: StepBreathing(); break;
    case 3: StepStatic(); break;
    case 4: StepFlash(nowMs); break;
    case 5: StepColumnSweep(); break;
    case 6: mouse ? StepBreathingFourColours() : StepRingSweep(); break;
    case 7: mouse ? StepFlashFourColours(nowMs) : StepPairSweep(); break;
    default: StepOff(); break;
    }
}

int LightingEffectEngine::Advance(int passes, uint32_t nowMs)
{
    std::lock_guard<std::mutex> guard(m_stepLock);
    passes = std::clamp(passes, 1, kMaxCatchUpPasses);
    const bool frames = PlaysFrames(Effect());
    const bool records = m_family != LightingFamily::Mouse && m_records.HasPresentRecords();

    for (int k = 0; k < passes; ++k) {
        const uint32_t t = nowMs - uint32_t(passes - 1 - k) * kPassMs;
        if (frames) {
            PlayEffectFrames(t);
        } else {
            const int threshold = SpeedTicks(Speed());
            if (++m_state.passCounter >= threshold) {
                RunStepLocked(t);
                m_state.passCounter = 0;
            }
        }
        if (records)
            m_records.Run(m_leds, t);
    }

    int next;
    if (frames) {
        next = m_player.PassesUntilChange(MainSetting().Speed(), nowMs, kPassMs);
        next = next < 0 ? kMaxWaitPasses : std::max(next, kBatchPasses);
    } else {
        next = SpeedTicks(Speed()) - m_state.passCounter;
    }
    if (records) {
        const int r = m_records.PassesUntilChange(nowMs, kPassMs);
        if (r > 0)
            next = std::min(next, std::max(r, kBatchPasses));
    }
    return std::clamp(next, 1, kMaxWaitPasses);
}

void LightingEffectEngine::PaintAll(LedWord word) { m_leds.Fill(word); }

void LightingEffectEngine::StepStatic()
{
    const LightSetting s = MainSetting();
    PaintAll(MakeLedWord(RecordColour(s), BrightnessLevel(s.Brightness())));
}

void LightingEffectEngine::StepSpectrum()
{
    const LightSetting s = MainSetting();
    m_state.effectStep = NextCounter(s.Direction(), kWheelSize, m_state.effectStep);
    PaintAll(MakeLedWord(WheelColour(m_state.effectStep), BrightnessLevel(s.Brightness())));
}

void LightingEffectEngine::StepBreathing()
{
    const LightSetting s = MainSetting();
    m_state.effectStep = NextCounter(s.Direction(), 128, m_state.effectStep);
    if (m_state.effectStep == 0) {
        const int next = m_state.colourIndex + 16;
        m_state.colourIndex = next > kWheelSize ? 0 : uint8_t(next);
    }
    const Rgb colour = s.MultiColour() ? WheelColour(m_state.colourIndex) : RecordColour(s);
    PaintAll(MakeLedWord(colour, ScaleLevel(BreathValue(m_state.effectStep), BrightnessLevel(s.Brightness()))));
}

void LightingEffectEngine::StepBreathingFourColours()
{
    const LightSetting s = MainSetting();
    m_state.effectStep = NextCounter(s.Direction(), 128, m_state.effectStep);
    if (m_state.effectStep == 0)
        m_state.colourIndex = m_state.colourIndex >= 3 ? 0 : uint8_t(m_state.colourIndex + 1);
    PaintAll(MakeLedWord(FourColour(m_state.colourIndex),
                         ScaleLevel(BreathValue(m_state.effectStep), BrightnessLevel(s.Brightness()))));
}

void LightingEffectEngine::StepFlash(uint32_t nowMs)
{
    const LightSetting s = MainSetting();
    if (uint32_t(nowMs - m_state.flashTime) >= FlashPeriodMs(Speed())) {
        m_state.flashOn = !m_state.flashOn;
        m_state.flashTime = nowMs;
        const int next = m_state.effectStep + 16;
        m_state.effectStep = next >= kWheelSize ? 0 : uint8_t(next);
    }
    if (!m_state.flashOn) {
        PaintAll(0);
        return;
    }
    const Rgb colour = s.MultiColour() ? WheelColour(m_state.effectStep) : RecordColour(s);
    PaintAll(MakeLedWord(colour, BrightnessLevel(s.Brightness())));
}

void LightingEffectEngine::StepFlashFourColours(uint32_t nowMs)
{
    const LightSetting s = MainSetting();
    if (uint32_t(nowMs - m_state.flashTime) >= FlashPeriodMs(Speed())) {
        m_state.flashOn = !m_state.flashOn;
        m_state.flashTime = nowMs;
        m_state.effectStep = m_state.effectStep >= 3 ? 0 : uint8_t(m_state.effectStep + 1);
    }
    if (!m_state.flashOn) {
        PaintAll(0);
        return;
    }
    PaintAll(MakeLedWord(FourColour(m_state.effectStep), BrightnessLevel(s.Brightness())));
}

void LightingEffectEngine::StepOff() { PaintAll(0); }

void LightingEffectEngine::StepWave()
{
    const LightSetting s = MainSetting();
    const uint8_t level = BrightnessLevel(s.Brightness());
    const bool headset = m_family == LightingFamily::Headset;
    const int count = m_leds.Size();
    if (s.MultiColour()) {
        m_state.effectStep = NextCounter(s.Direction(), kWheelSize, m_state.effectStep);
        const int spacing = headset ? 16 : 7;
        int index = (m_state.effectStep + 1) % kWheelSize;
        for (int i = 0; i < count; ++i) {
            m_leds.Set(i, MakeLedWord(COLOUR_WHEEL[size_t(index)], level));
            index = (index + spacing) % kWheelSize;
        }
        return;
    }
    int index;
    int spacing;
    if (headset) {
        m_state.effectStep = NextCounter(s.Direction(), 96, m_state.effectStep, 3);
        index = m_state.effectStep % 96;
        spacing = 10;
    } else {
        m_state.effectStep = NextCounter(s.Direction(), 96, m_state.effectStep);
        index = (m_state.effectStep + 1) % 96;
        spacing = 7;
    }
    const Rgb colour = RecordColour(s);
    for (int i = 0; i < count; ++i) {
        m_leds.Set(i, MakeLedWord(colour, ScaleLevel(WAVE_CURVE[size_t(index)], level)));
        index = (index + spacing) % 96;
    }
}

void LightingEffectEngine::TriggerRingColumns()
{
    m_reactive.TriggerRingColumns(m_family == LightingFamily::Mouse ? int(MOUSE_COLUMNS.size())
                                                                   : m_leds.Size());
}

void LightingEffectEngine::StepColumnSweep()
{
    const LightSetting s = MainSetting();
    const uint8_t level = BrightnessLevel(s.Brightness());
    const bool fast = s.Effect() != 0;
    const int count = m_leds.Size();

    m_state.effectStep = NextCounter(s.Direction(), kWheelSize, m_state.effectStep);
    TriggerRingColumns();
    RotateRing(s.Direction());

    for (size_t c = 0; c < MOUSE_COLUMNS.size(); ++c) {
        m_reactive.DecayKeyLevel(int(c), fast);
        const Rgb colour = s.MultiColour() ? SweepColour(m_state.effectStep) : RecordColour(s);
        const LedWord word = MakeLedWord(colour, ScaleLevel(level, m_reactive.levels[c]));
        for (uint8_t led : MOUSE_COLUMNS[c]) {
            if (led != kNoLed && led < count)
                m_leds.Set(led, word);
        }
    }
}

void LightingEffectEngine::StepRingSweep() { StepSweep(false); }

void LightingEffectEngine::StepPairSweep() { StepSweep(true); }

void LightingEffectEngine::StepSweep(bool pairs)
{
    const LightSetting s = MainSetting();
    const uint8_t level = BrightnessLevel(s.Brightness());
    const bool fast = s.Effect() != 0;
    const int direction = s.Direction();
    const int count = m_leds.Size();

    m_state.effectStep = NextCounter(direction, kWheelSize, m_state.effectStep);
    if (m_state.sweepCounter > 1) {
        m_state.sweepCounter = 0;
        TriggerRingColumns();
        if (pairs)
            RotateRingPrefix(8, direction == 0 ? 1 : 0);
        else
            RotateRingPrefix(LightingReactiveBuffers::kRingSize, direction);
    }
    ++m_state.sweepCounter;

    // While the sweep's leading end is lit, the LEDs keep the colour they have.
    auto holdsColour = [&] {
        return direction != 0 ? m_reactive.Level(0) != 0
                              : count > 0 && m_reactive.Level(count - 1) != 0;
    };
    auto colourFor = [&](int led) {
        if (!s.MultiColour())
            return RecordColour(s);
        const Rgb next = SweepColour(m_state.effectStep);
        return holdsColour() ? LedColour(m_leds.Get(led)) : next;
    };

    if (pairs) {
        for (size_t i = 0; i < PAD_PAIRS.size(); ++i) {
            m_reactive.DecayKeyLevel(int(i), fast);
            const LedWord word = MakeLedWord(colourFor(PAD_PAIRS[i][0]),
                                             ScaleLevel(level, m_reactive.levels[i]));
            for (uint8_t led : PAD_PAIRS[i])
                m_leds.Set(led, word);
        }
        return;
    }
    const int leds = std::min(count, LightingReactiveBuffers::kLevelCount);
    for (int i = 0; i < leds; ++i) {
        m_reactive.DecayKeyLevel(i, fast);
        m_leds.Set(i, MakeLedWord(colourFor(i), ScaleLevel(level, m_reactive.levels[size_t(i)])));
    }
}

void LightingEffectEngine::PlayEffectFrames(uint32_t nowMs)
{
    m_player.Play(m_leds, MainSetting().Speed(), nowMs);
}

} // namespace nq
