#pragma once
// The LED colour words of one device: one 32-bit word per LED, bytes red, green, blue, level
// (red in the lowest byte). The lighting thread writes them while the UI thread reads them for the
// 50 ms frame, without a lock: each word is a relaxed atomic, so a reader sees whole words, while
// a frame may still mix the words of two effect steps. The storage never moves (fixed capacity),
// so resizing while a lighting thread runs is safe.
#include <array>
#include <atomic>
#include <cstdint>

#include "devices/EffectTables.h"

namespace nq {

using LedWord = uint32_t;

inline constexpr LedWord MakeLedWord(uint8_t r, uint8_t g, uint8_t b, uint8_t level)
{
    return LedWord(r) | (LedWord(g) << 8) | (LedWord(b) << 16) | (LedWord(level) << 24);
}
inline constexpr LedWord MakeLedWord(Rgb colour, uint8_t level)
{
    return MakeLedWord(colour.r, colour.g, colour.b, level);
}
inline constexpr uint8_t LedRed(LedWord w) { return uint8_t(w); }
inline constexpr uint8_t LedGreen(LedWord w) { return uint8_t(w >> 8); }
inline constexpr uint8_t LedBlue(LedWord w) { return uint8_t(w >> 16); }
inline constexpr uint8_t LedLevel(LedWord w) { return uint8_t(w >> 24); }
// The colour a light button shows for a word: red | blue << 8 | green << 16 (bytes 0, 2, 1).
inline constexpr uint32_t LedPreviewColour(LedWord w) { return LedRed(w) | (LedBlue(w) << 8) | (LedGreen(w) << 16); }
inline constexpr Rgb LedColour(LedWord w) { return {LedRed(w), LedGreen(w), LedBlue(w)}; }

class LightingColourBuffer {
public:
    // The most LEDs a device streams (a 512-byte frame of 3 bytes per LED).
    static constexpr int kCapacity = 170;

    // Sets the number of LEDs (clamped to 0..kCapacity) and clears every word.
    void Resize(int count);
    int Size() const { return m_size.load(std::memory_order_relaxed); }

    // Out-of-range indices are ignored by Set and read as 0 by Get.
    void Set(int index, LedWord word);
    LedWord Get(int index) const;
    void Fill(LedWord word);

private:
    std::array<std::atomic<LedWord>, kCapacity> m_words{};
    std::atomic<int> m_size{0};
};

} // namespace nq
