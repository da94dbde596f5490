#pragma once
// Small builders shared by the lighting tests.
#include <cstdint>

#include "profiles/LightSetting.h"

namespace nq::lighting_test {

// A main-zone lighting record: effect, brightness level, speed level, direction, multicolour
// flag and colour.
inline LightSetting Setting(uint8_t effect, uint8_t brightness, uint8_t speed, uint8_t direction,
                            uint8_t multi, uint8_t r, uint8_t g, uint8_t b)
{
    LightSetting s;
    s[LightSetting::kEffect] = effect;
    s[LightSetting::kBrightness] = brightness;
    s[LightSetting::kSpeed] = speed;
    s[LightSetting::kDirection] = direction;
    s[LightSetting::kMultiColour] = multi;
    s[LightSetting::kRed] = r;
    s[LightSetting::kGreen] = g;
    s[LightSetting::kBlue] = b;
    return s;
}

} // namespace nq::lighting_test
