#pragma once
// The headset's system settings ("SystemSetStages"), eight 32-bit integers in this order.
#include <array>
#include <cstdint>

namespace nq {

struct HeadsetSystemSettings {
    int32_t magicEnable = 0;          // "MagicEnable"
    int32_t magicType = 0;            // "MagicType"
    int32_t eqType = 0;               // "EqType"
    int32_t customEqSelectIndex = 0;  // "CustomEqSeletIndex"
    int32_t micInSelect = 0;          // "MicInSelect"
    int32_t micInValue = 0;           // "MicInValue"
    int32_t micMonitorSelect = 0;     // "MicMoniterSelect"
    int32_t micMonitorValue = 0;      // "MicMoniterValue"

    std::array<int32_t, 8> ToArray() const
    {
        return {magicEnable, magicType, eqType, customEqSelectIndex,
                micInSelect, micInValue, micMonitorSelect, micMonitorValue};
    }
    static HeadsetSystemSettings FromArray(const std::array<int32_t, 8>& v)
    {
        return {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
    }

    bool operator==(const HeadsetSystemSettings&) const = default;
};

} // namespace nq
