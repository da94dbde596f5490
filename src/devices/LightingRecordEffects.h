#pragma once
// Per-LED lighting records: each LED may carry its own small effect (breathing, static, flash,
// colour cycle, off) from the profile's light list. Record bytes used: 0 effect, 1 brightness
// level, 2 speed level, 4 multicolour, 5-7 colour, 10 present.
// The records are guarded by the key-light lock: the UI thread replaces them (LoadLighting) while
// the lighting thread evaluates them.
#include <cstdint>
#include <mutex>
#include <vector>

#include "devices/LightingColourBuffer.h"
#include "profiles/LightSetting.h"

namespace nq {

class LightingRecordEffects {
public:
    enum Effect : uint8_t { kBreathing = 0, kStatic = 1, kFlash = 2, kColourCycle = 3, kOff = 4 };
    // Which record effects one evaluation runs (bit per effect number).
    static constexpr unsigned kAll = 0x1F;
    static constexpr unsigned kAnimated = (1u << kBreathing) | (1u << kFlash) | (1u << kColourCycle);

    // Replaces the records and resets every LED's effect state (key-light lock).
    void SetRecords(std::vector<LightSetting> records);
    std::vector<LightSetting> Records() const;
    // True when any record is present (a device then runs the record effects on every pass).
    bool HasPresentRecords() const;

    // Resets the per-LED state: phases, colour indices, flash flags and clocks, cycle counters and
    // the flash and cycle periods taken from each record's speed.
    void Reset();

    // One evaluation of the record effects in `effects`, in the order breathing, static, colour
    // cycle, flash, off. Each record writes only its own LED (indices beyond the buffer are skipped).
    void Run(LightingColourBuffer& leds, uint32_t nowMs, unsigned effects = kAll);

    // Passes until a record's LED can next change (at least 1; 1 means on every pass), or -1 when
    // no record animates.
    int PassesUntilChange(uint32_t nowMs, uint32_t passMs) const;

    // The effect state of one LED, for tests.
    struct LedState {
        uint8_t phase = 0; // breathing
        uint8_t breathColour = 0;
        bool flashOn = false;
        uint32_t flashTime = 0; // last toggle
        uint32_t flashPeriod = 0;
        uint8_t flashColour = 0;
        int cycleCounter = 0;
        int cyclePeriod = 0;
        uint8_t cycleColour = 0;
    };
    LedState StateOf(int led) const;

private:
    void ResetLocked();

    mutable std::mutex m_keyLightLock;
    std::vector<LightSetting> m_records;
    std::vector<LedState> m_state;
};

} // namespace nq
