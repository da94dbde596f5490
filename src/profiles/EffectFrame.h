#pragma once
// One timed frame of a custom light effect, read from a ".light" effect file.
#include "profiles/LightSetting.h"

#include <cstdint>

namespace nq {

struct EffectFrame {
    LightSetting setting;  // only bytes 0-7 (effect .. blue) are filled
    int32_t time = 0;      // display time in milliseconds ("Time")
    int32_t cycle = 0;     // "Cyle"; carried with the frame, read by nobody

    bool operator==(const EffectFrame& other) const
    {
        return setting == other.setting && time == other.time && cycle == other.cycle;
    }
};

} // namespace nq
