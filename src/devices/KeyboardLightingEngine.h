#pragma once
// The keyboard's preview engine: what the keyboard shows, computed for the page's three pictures.
// Three threads of the keyboard object (keys, logo, side) call AdvanceKeys, AdvanceLogo and
// AdvanceSide on the 2 ms pass grid of LightingThread; each counted pass is one clock tick of the
// keyboard's effect timing (so a threshold of 2 steps every 4 ms). The UI thread sets the lighting,
// runs the effect-change hooks and reads the colour words; the notice thread feeds key events.
//
// Locks: the settings copy, the key zone (KeyboardKeyEffects) and the two light zones (which share
// their flash toggle) each sit behind their own lock; colour words are atomics, so a preview reads
// whole words while a frame may mix two steps.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "devices/KeyboardKeyEffects.h"
#include "devices/KeyboardSettingsBlock.h"
#include "devices/KeyboardZoneEffects.h"

namespace nq {

class KeyboardLightingEngine {
public:
    enum class Thread { Keys, Logo, Side };

    // `base` is the device base's engine over the key colour words; logo and side point at 15 and
    // 6 zone colour words.
    KeyboardLightingEngine(LightingEffectEngine& base, std::atomic<uint32_t>* logo, std::atomic<uint32_t>* side);

    // The main record (all three zones) and the live block's effect numbers and speed levels.
    void SetLighting(const LightSetting& main, const KeyboardSettingsBlock::Live& live);
    // A new key effect: ResetEffectState, then the effect's hook (for 20 only SeedHues; the device
    // loads the custom group first).
    void ChangeKeyEffect(int effect);
    void ResetEffectState();
    void RunEffectHook(int effect);
    void SetPositionToSlot(const std::array<uint8_t, KeyboardKeyEffects::kPositions>& map);
    void KeyEvent(int slot, int kind);

    // One call of a thread's pass function: `passes` passes, the last at nowMs. Returns the passes
    // until that thread's colours can next change.
    int Advance(Thread thread, int passes, uint32_t nowMs);

    // A key's reactive level (key lock).
    uint8_t KeyLevel(int position);

    // Direct access for tests and benchmarks (no lock: only while no thread runs).
    KeyboardKeyEffects& Keys() { return m_keys; }
    KeyboardZoneEffects& Logo() { return m_logo; }
    KeyboardZoneEffects& Side() { return m_side; }

private:
    std::mutex m_keyLock;
    std::mutex m_zoneLock;
    KeyboardZoneEffects::Flash m_flash;
    KeyboardKeyEffects m_keys;
    KeyboardZoneEffects m_logo;
    KeyboardZoneEffects m_side;
};

} // namespace nq
