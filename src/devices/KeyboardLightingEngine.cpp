#include "devices/KeyboardLightingEngine.h"

namespace nq {

KeyboardLightingEngine::KeyboardLightingEngine(LightingEffectEngine& base, std::atomic<uint32_t>* logo,
                                               std::atomic<uint32_t>* side)
    : m_keys(base),
      m_logo(KeyboardZoneEffects::Zone::Logo, logo, m_flash),
      m_side(KeyboardZoneEffects::Zone::Side, side, m_flash)
{
}

void KeyboardLightingEngine::SetLighting(const LightSetting& main, const KeyboardSettingsBlock::Live& live)
{
    {
        std::lock_guard<std::mutex> guard(m_keyLock);
        m_keys.SetSettings(main, live[1], live[3]);
    }
    std::lock_guard<std::mutex> guard(m_zoneLock);
    m_logo.SetSettings(main, live[22], live[24]);
    m_side.SetSettings(main, live[31], live[33]);
}

void KeyboardLightingEngine::ResetEffectState()
{
    {
        std::lock_guard<std::mutex> guard(m_keyLock);
        m_keys.ResetEffectState();
    }
    std::lock_guard<std::mutex> guard(m_zoneLock);
    m_logo.Reset();
    m_side.Reset();
}

void KeyboardLightingEngine::RunEffectHook(int effect)
{
    std::lock_guard<std::mutex> guard(m_keyLock);
    m_keys.RunEffectHook(effect == KeyboardKeyEffects::kCustom ? -1 : effect);
}

void KeyboardLightingEngine::ChangeKeyEffect(int effect)
{
    ResetEffectState();
    RunEffectHook(effect);
}

void KeyboardLightingEngine::SetPositionToSlot(const std::array<uint8_t, KeyboardKeyEffects::kPositions>& map)
{
    std::lock_guard<std::mutex> guard(m_keyLock);
    m_keys.SetPositionToSlot(map);
}

void KeyboardLightingEngine::KeyEvent(int slot, int kind)
{
    std::lock_guard<std::mutex> guard(m_keyLock);
    m_keys.KeyEvent(slot, kind);
}

uint8_t KeyboardLightingEngine::KeyLevel(int position)
{
    std::lock_guard<std::mutex> guard(m_keyLock);
    return position >= 0 && position < KeyboardKeyEffects::kPositions ? m_keys.Level(position) : 0;
}

int KeyboardLightingEngine::Advance(Thread thread, int passes, uint32_t nowMs)
{
    if (thread == Thread::Keys) {
        std::lock_guard<std::mutex> guard(m_keyLock);
        return m_keys.Advance(passes, nowMs);
    }
    std::lock_guard<std::mutex> guard(m_zoneLock);
    return (thread == Thread::Logo ? m_logo : m_side).Advance(passes, nowMs);
}

} // namespace nq
