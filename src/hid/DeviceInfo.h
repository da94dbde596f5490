#pragma once
// The 34-byte device information block a device returns for command 3. The host interprets only
// the key entry count, the macro capacity and the DPI figures; every other byte is carried as is.
#include <array>
#include <cstddef>
#include <cstdint>

namespace nq {

struct DeviceInfo {
    static constexpr size_t kSize = 34;
    static constexpr size_t kKeyEntryCountByte = 5;
    static constexpr size_t kMacroCapacityByte = 6;
    static constexpr size_t kDpiStepByte = 11;
    static constexpr size_t kMaxDpiSliderByte = 12; // 16 bit, low byte first
    static constexpr size_t kMinDpiByte = 14;       // 16 bit, low byte first
    static constexpr size_t kMacroUnit = 128;       // macro capacity is counted in 128-byte units

    std::array<uint8_t, kSize> bytes{};

    // Number of key (or button) entries of the key map; the key map holds 3 bytes per entry.
    uint8_t KeyEntryCount() const { return bytes[kKeyEntryCountByte]; }
    // Capacity of the macro (and recoil) memory in 128-byte units, and in bytes.
    uint8_t MacroCapacityUnits() const { return bytes[kMacroCapacityByte]; }
    size_t MacroCapacityBytes() const { return static_cast<size_t>(bytes[kMacroCapacityByte]) * kMacroUnit; }
    // Multiplier from a DPI slider position to a DPI value.
    uint8_t DpiStep() const { return bytes[kDpiStepByte]; }
    uint16_t MaxDpiSliderPosition() const { return Word(kMaxDpiSliderByte); }
    uint16_t MinDpi() const { return Word(kMinDpiByte); }

    uint8_t* data() { return bytes.data(); }
    const uint8_t* data() const { return bytes.data(); }

private:
    uint16_t Word(size_t at) const { return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8)); }
};

} // namespace nq
