#pragma once
// The keyboard's system settings as four 32-bit words, each two 16-bit halves:
// word 0 = "Repeat" (low) | "RepeatDelay" (high); word 1 = "Key6Flag" | "PollingRate";
// word 2 = "WFlag" | "WinFlag"; word 3 = "ScanDelay" (low, high half 0).
#include <array>
#include <cstdint>

namespace nq {

struct KeyboardSystemWords {
    std::array<uint32_t, 4> words{};

    uint16_t Repeat() const { return uint16_t(words[0] & 0xFFFF); }
    uint16_t RepeatDelay() const { return uint16_t(words[0] >> 16); }
    uint16_t Key6Flag() const { return uint16_t(words[1] & 0xFFFF); }
    uint16_t PollingRate() const { return uint16_t(words[1] >> 16); }
    uint16_t WFlag() const { return uint16_t(words[2] & 0xFFFF); }
    uint16_t WinFlag() const { return uint16_t(words[2] >> 16); }
    uint16_t ScanDelay() const { return uint16_t(words[3] & 0xFFFF); }

    static uint32_t Pack(uint16_t low, uint16_t high) { return uint32_t(low) | (uint32_t(high) << 16); }

    bool operator==(const KeyboardSystemWords&) const = default;
};

} // namespace nq
