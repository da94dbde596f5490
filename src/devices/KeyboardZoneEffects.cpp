#include "devices/KeyboardZoneEffects.h"

#include <algorithm>

#include "devices/LightingEffectEngine.h"

namespace nq {

using namespace kbfx;

KeyboardZoneEffects::KeyboardZoneEffects(Zone zone, std::atomic<uint32_t>* words, Flash& flash)
    : m_zone(zone), m_words(words), m_count(zone == Zone::Logo ? kLogoLeds : kSideLeds), m_flash(flash)
{
}

void KeyboardZoneEffects::SetSettings(const LightSetting& main, uint8_t effect, uint8_t speed)
{
    m_main = main;
    m_effect = effect;
    m_speed = speed;
}

void KeyboardZoneEffects::Reset()
{
    m_step = 0;
    m_bounce = true;
    m_levels.fill(0);
}

int KeyboardZoneEffects::Advance(int passes, uint32_t nowMs)
{
    constexpr uint32_t kPassMs = LightingEffectEngine::kPassMs;
    if (m_effect >= kEffects)
        return LightingEffectEngine::kMaxWaitPasses; // nothing to show: the words stay
    passes = std::clamp(passes, 1, LightingEffectEngine::kMaxCatchUpPasses);
    const int threshold = TickThreshold(TickRow::Standard, m_speed);
    for (int k = 0; k < passes; ++k) {
        if (++m_passCounter >= threshold) {
            m_passCounter = 0;
            RunStep(nowMs - uint32_t(passes - 1 - k) * kPassMs);
        }
    }
    return std::clamp(threshold - m_passCounter, 1, LightingEffectEngine::kMaxWaitPasses);
}

void KeyboardZoneEffects::RunStep(uint32_t nowMs)
{
    switch (m_effect) {
    case 0: StepWave(); break;
    case 1: StepBreathing(); break;
    case 2: StepBounce(); break;
    case 3: StepFlash(nowMs); break;
    case 4: StepStatic(); break;
    case 5: StepOff(); break;
    default: break;
    }
}

void KeyboardZoneEffects::StepWave()
{
    const uint8_t b = LevelB();
    const int direction = m_main.Direction(Base());
    const bool logo = m_zone == Zone::Logo;
    if (logo)
        m_step = NextCounter(direction == 0 ? 1 : 0, 128, m_step);
    else
        m_step = NextCounter(direction, Multi() ? 128 : 48, m_step);
    if (Multi()) {
        int c = (m_step + 1) % 128;
        for (int i = 0; i < m_count; ++i) {
            Set(i, ZONE_WHEEL[size_t(c)], b);
            c = (c + 8) % 128;
        }
        return;
    }
    const int limit = logo ? 128 : 48;
    int k = (m_step + 1) % limit;
    for (int i = 0; i < m_count; ++i) {
        Set(i, ZoneRecordColour(), ScaleLevel(b, logo ? LogoWaveValue(k) : WAVE_CURVE[size_t(k)]));
        k = (k + 5) % limit;
    }
}

void KeyboardZoneEffects::StepBreathing()
{
    m_step = NextCounter(m_main.Direction(Base()), 128, m_step);
    const uint8_t level = ScaleLevel(LevelB(), BREATH_CURVE[size_t((m_step + 1) % 128)]);
    for (int i = 0; i < m_count; ++i)
        Set(i, Multi() ? FixedColour(i) : ZoneRecordColour(), level);
}

void KeyboardZoneEffects::StepBounce()
{
    const uint8_t b = LevelB();
    for (int i = 0; i < m_count; ++i) {
        uint8_t& v = m_levels[size_t(i)];
        if (v != 255) {
            if (v >= 128)
                v = uint8_t(v - 40);
            else if (v & 0x40)
                v = uint8_t(v - 30);
            else if (v & 0x20)
                v = uint8_t(v - 20);
            else if (v & 0x10)
                v = uint8_t(v - 10);
            else if (v & 0x08)
                v = uint8_t(v - 5);
            else if (v > 0)
                v = uint8_t(v - 1);
        }
        Set(i, Multi() ? FixedColour(i) : ZoneRecordColour(), ScaleLevel(b, v));
    }
    // The head runs to the last LED, stays there for a step, runs back to LED 0 and stays there.
    const int last = m_count - 1;
    if (m_bounce) {
        if (m_step < last)
            ++m_step;
        else
            m_step = uint8_t(last), m_bounce = false;
    } else {
        if (m_step > 0)
            --m_step;
        else
            m_bounce = true;
    }
    m_levels[std::min<size_t>(m_step, m_levels.size() - 1)] = 254;
}

void KeyboardZoneEffects::StepFlash(uint32_t nowMs)
{
    const int timingSpeed = m_main.Speed(Base());
    if (uint32_t(nowMs - m_flash.time) >= ZoneFlashPeriodMs(timingSpeed)) {
        m_flash.on = !m_flash.on;
        m_flash.time = nowMs;
        m_step = m_step + 16 > 191 ? 0 : uint8_t(m_step + 16);
    }
    if (!m_flash.on) {
        StepOff();
        return;
    }
    const uint8_t b = LevelB();
    for (int i = 0; i < m_count; ++i)
        Set(i, Multi() ? FixedColour(i) : ZoneRecordColour(), b);
}

void KeyboardZoneEffects::StepStatic()
{
    const uint8_t b = LevelB();
    for (int i = 0; i < m_count; ++i)
        Set(i, Multi() ? ZoneColour(4 * i + 5) : ZoneRecordColour(), b);
}

void KeyboardZoneEffects::StepOff()
{
    for (int i = 0; i < m_count; ++i)
        m_words[i].store(0, std::memory_order_relaxed);
}

} // namespace nq
