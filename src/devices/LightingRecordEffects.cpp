#include "devices/LightingRecordEffects.h"

#include <algorithm>

#include "devices/EffectTables.h"

namespace nq {

namespace {

bool Present(const LightSetting& r) { return r[LightSetting::kPresent] != 0; }

Rgb RecordColour(const LightSetting& r) { return {r.Red(), r.Green(), r.Blue()}; }

int PassesFor(uint32_t remainingMs, uint32_t passMs)
{
    return int((remainingMs + passMs - 1) / passMs);
}

} // namespace

void LightingRecordEffects::SetRecords(std::vector<LightSetting> records)
{
    std::lock_guard<std::mutex> guard(m_keyLightLock);
    m_records = std::move(records);
    ResetLocked();
}

std::vector<LightSetting> LightingRecordEffects::Records() const
{
    std::lock_guard<std::mutex> guard(m_keyLightLock);
    return m_records;
}

bool LightingRecordEffects::HasPresentRecords() const
{
    std::lock_guard<std::mutex> guard(m_keyLightLock);
    return std::any_of(m_records.begin(), m_records.end(), Present);
}

void LightingRecordEffects::Reset()
{
    std::lock_guard<std::mutex> guard(m_keyLightLock);
    ResetLocked();
}

void LightingRecordEffects::ResetLocked()
{
    m_state.assign(m_records.size(), LedState{});
    for (size_t i = 0; i < m_records.size(); ++i) {
        const int ticks = SpeedTicks(m_records[i].Speed());
        m_state[i].flashPeriod = uint32_t(ticks) * 200u;
        if (Present(m_records[i]))
            m_state[i].cyclePeriod = ticks;
    }
}

LightingRecordEffects::LedState LightingRecordEffects::StateOf(int led) const
{
    std::lock_guard<std::mutex> guard(m_keyLightLock);
    if (led < 0 || size_t(led) >= m_state.size())
        return {};
    return m_state[size_t(led)];
}

void LightingRecordEffects::Run(LightingColourBuffer& leds, uint32_t nowMs, unsigned effects)
{
    std::lock_guard<std::mutex> guard(m_keyLightLock);
    const int count = std::min<int>(int(m_records.size()), leds.Size());
    auto wants = [effects](Effect e) { return (effects & (1u << e)) != 0; };

    if (wants(kBreathing)) {
        for (int i = 0; i < count; ++i) {
            const LightSetting& r = m_records[size_t(i)];
            if (!Present(r) || r.Effect() != kBreathing)
                continue;
            LedState& s = m_state[size_t(i)];
            const Rgb colour = r.MultiColour() ? WheelColour(s.breathColour) : RecordColour(r);
            int phase = s.phase + r.Speed() + 4;
            if (phase >= 128) {
                phase = 0;
                // Once past the last wheel entry the colours start again from the first.
                s.breathColour = s.breathColour >= kWheelSize ? 0 : uint8_t(s.breathColour + 1);
            }
            s.phase = uint8_t(phase);
            leds.Set(i, MakeLedWord(colour, ScaleLevel(BREATH_CURVE[s.phase], BrightnessLevel(r.Brightness()))));
        }
    }
    if (wants(kStatic)) {
        for (int i = 0; i < count; ++i) {
            const LightSetting& r = m_records[size_t(i)];
            if (r.Effect() == kStatic)
                leds.Set(i, MakeLedWord(RecordColour(r), BrightnessLevel(r.Brightness())));
        }
    }
    if (wants(kColourCycle)) {
        for (int i = 0; i < count; ++i) {
            const LightSetting& r = m_records[size_t(i)];
            if (!Present(r) || r.Effect() != kColourCycle)
                continue;
            LedState& s = m_state[size_t(i)];
            if (++s.cycleCounter >= s.cyclePeriod) {
                s.cycleCounter = 0;
                s.cycleColour = s.cycleColour >= 191 ? 0 : uint8_t(s.cycleColour + 1);
            }
            leds.Set(i, MakeLedWord(WheelColour(s.cycleColour), BrightnessLevel(r.Brightness())));
        }
    }
    if (wants(kFlash)) {
        // Every record keeps its flash clock running; only flash records show it.
        for (size_t i = 0; i < m_records.size(); ++i) {
            LedState& s = m_state[i];
            if (uint32_t(nowMs - s.flashTime) >= s.flashPeriod) {
                s.flashOn = !s.flashOn;
                s.flashTime = nowMs;
                const int next = s.flashColour + 14;
                s.flashColour = next > 191 ? 0 : uint8_t(next);
            }
        }
        for (int i = 0; i < count; ++i) {
            const LightSetting& r = m_records[size_t(i)];
            if (r.Effect() != kFlash)
                continue;
            const LedState& s = m_state[size_t(i)];
            if (!s.flashOn) {
                leds.Set(i, 0);
                continue;
            }
            const Rgb colour = r.MultiColour() ? WheelColour(s.flashColour) : RecordColour(r);
            leds.Set(i, MakeLedWord(colour, BrightnessLevel(r.Brightness())));
        }
    }
    if (wants(kOff)) {
        for (int i = 0; i < count; ++i) {
            if (m_records[size_t(i)].Effect() == kOff)
                leds.Set(i, 0);
        }
    }
}

int LightingRecordEffects::PassesUntilChange(uint32_t nowMs, uint32_t passMs) const
{
    std::lock_guard<std::mutex> guard(m_keyLightLock);
    int best = -1;
    auto consider = [&best](int passes) {
        passes = std::max(passes, 1);
        best = best < 0 ? passes : std::min(best, passes);
    };
    for (size_t i = 0; i < m_records.size(); ++i) {
        const LightSetting& r = m_records[i];
        const LedState& s = m_state[i];
        switch (r.Effect()) {
        case kBreathing:
            if (Present(r))
                consider(1);
            break;
        case kColourCycle:
            if (Present(r))
                consider(s.cyclePeriod - s.cycleCounter);
            break;
        case kFlash: {
            const uint32_t elapsed = nowMs - s.flashTime;
            consider(elapsed >= s.flashPeriod ? 1 : PassesFor(s.flashPeriod - elapsed, passMs));
            break;
        }
        default:
            break;
        }
    }
    return best;
}

} // namespace nq
