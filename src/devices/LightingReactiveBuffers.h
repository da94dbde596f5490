#pragma once
// The reactive buffers of the sweep effects: a fading level per column (126) and a ring of 23
// marks. One marked ring entry travels around the ring; each step the columns under a mark flare
// up to full level and then fade out.
#include <array>
#include <cstdint>

namespace nq {

class LightingReactiveBuffers {
public:
    static constexpr int kLevelCount = 126;
    static constexpr int kRingSize = 23;

    LightingReactiveBuffers() { ring[0] = 1; }

    // Fades one column: from 128 by 40, from 64 by 30, from 32 by 10, above 16 by 8, else by 1.
    // Without `fast` the levels 1-16 go straight to 0. Indices outside the buffer are ignored.
    void DecayKeyLevel(int index, bool fast);
    // Every column i below `columns` (and below the ring size) whose ring entry is marked goes to
    // full level. The mouse passes 9, the mousepad and the headset their LED count.
    void TriggerRingColumns(int columns);
    // Rotates the whole ring by one place: towards higher indices when direction is not 0 (the
    // last entry moves to index 0), otherwise towards lower indices.
    void RotateRing(int direction) { RotateRingPrefix(kRingSize, direction); }
    // The same on the first `length` entries (capped at the ring size).
    void RotateRingPrefix(int length, int direction);
    // All levels and ring entries 0.
    void Clear();
    // Clear, then mark ring entry 0: the state at construction and after an effect change.
    void Reset()
    {
        Clear();
        ring[0] = 1;
    }

    uint8_t Level(int index) const { return index >= 0 && index < kLevelCount ? levels[index] : 0; }

    std::array<uint8_t, kLevelCount> levels{};
    std::array<uint8_t, kRingSize> ring{};
};

} // namespace nq
