#pragma once
// The 512-byte per-key colour frame the keyboard takes with command 11 into one custom colour
// group: for LED m, bytes 3m, 3m+1, 3m+2 hold colour bytes 0, 1, 2 of the key whose position has
// LED m. Bytes past 511 are dropped (LED 170 keeps its first two bytes, higher LEDs are not
// represented); LEDs without a key stay 0.
#include "devices/KeyboardKeyPositions.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace nq {

class KeyColourFrame {
public:
    static constexpr size_t kSize = 512;
    static constexpr uint8_t kLastLed = 170;
    using Frame = std::array<uint8_t, kSize>;

    // `wordOf(position)` gives the colour word (bytes 0, 1, 2 colour, byte 3 level) of a position.
    // scaled: each colour byte is multiplied by the word's level and divided by 256 (the custom
    // colours as written on their own); otherwise the bytes go unscaled (a key painted).
    static Frame Build(const std::function<uint32_t(int)>& wordOf,
                       const std::array<uint8_t, KeyboardKeyPositions::kPositions>& positionToLed, bool scaled);
};

} // namespace nq
