#pragma once
// A key's function: the record the profile stores and the device receives.
#include <cstdint>

namespace nq {

// 6 bytes on the wire: key index (u16, low byte first), function code, parameter 1, parameter 2,
// reserved. Two assignments are equal when code and both parameters are equal.
struct KeyAssignment {
    uint16_t keyIndex = 0;
    uint8_t code = 0;
    uint8_t param1 = 0;
    uint8_t param2 = 0;
    uint8_t reserved = 0;

    bool operator==(const KeyAssignment& other) const
    {
        return code == other.code && param1 == other.param1 && param2 == other.param2;
    }
    // A function with its parameters, key index and reserved byte 0.
    static constexpr KeyAssignment Function(uint8_t code, uint8_t param1, uint8_t param2)
    {
        KeyAssignment a;
        a.code = code;
        a.param1 = param1;
        a.param2 = param2;
        return a;
    }
    // The profile's integer form: code * 65536 + parameter 1 * 256 + parameter 2.
    uint32_t Packed() const { return (uint32_t(code) << 16) | (uint32_t(param1) << 8) | param2; }
    static KeyAssignment FromPacked(uint16_t keyIndex, uint32_t packed)
    {
        KeyAssignment a;
        a.keyIndex = keyIndex;
        a.code = uint8_t((packed >> 16) & 0xFF);
        a.param1 = uint8_t((packed >> 8) & 0xFF);
        a.param2 = uint8_t(packed & 0xFF);
        return a;
    }
};

// The current assignment of one key and its default one.
struct KeyEntry {
    KeyAssignment current;
    KeyAssignment defaults;

    bool operator==(const KeyEntry& other) const
    {
        return current == other.current && defaults == other.defaults;
    }
};

} // namespace nq
