#pragma once
// The mouse's system settings as three 32-bit words, each two 16-bit halves:
// word 0 = "DoubleClickTime" (low) | "MouseSpeed" (high); word 1 = "PointerPrecision" | "ScorllPage";
// word 2 = "WheelScorlllinse" | report-rate stage ("ReportStages"."StageActive").
#include <array>
#include <cstdint>

namespace nq {

struct MouseSystemWords {
    std::array<uint32_t, 3> words{};

    uint16_t DoubleClickTime() const { return uint16_t(words[0] & 0xFFFF); }
    uint16_t MouseSpeed() const { return uint16_t(words[0] >> 16); }
    uint16_t PointerPrecision() const { return uint16_t(words[1] & 0xFFFF); }
    uint16_t ScrollPage() const { return uint16_t(words[1] >> 16); }
    uint16_t WheelLines() const { return uint16_t(words[2] & 0xFFFF); }
    uint16_t ReportRateStage() const { return uint16_t(words[2] >> 16); }

    static uint32_t Pack(uint16_t low, uint16_t high) { return uint32_t(low) | (uint32_t(high) << 16); }

    bool operator==(const MouseSystemWords&) const = default;
};

} // namespace nq
