#pragma once
// What the power display shows for a device's status report: byte 0 battery percent, byte 1
// charging state, byte 3 wireless symbol, byte 5 the charged phone (charging mousepad only).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace nq {

struct PowerStatus {
    static constexpr size_t kMaxBytes = 64;

    int progressValue = 0;           // 100 - battery percent
    std::string valueText;           // "57%"
    bool wirelessVisible = false;
    bool progressVisible = false;    // only set (shown) in charging state 0
    std::optional<std::string> statusIcon; // absent: the icon stays as it is
    std::optional<std::string> phoneKey;   // kind 3 only: "Phone_type_..."

    // Up to 64 bytes are used; a shorter report counts as padded with zeros.
    static PowerStatus FromReport(const uint8_t* bytes, size_t length, int displayKind);
};

} // namespace nq
