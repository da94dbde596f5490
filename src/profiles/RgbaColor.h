#pragma once
// One custom key colour of a keyboard profile ("Red", "Green", "Blue", "Alpha").
#include <cstdint>

namespace nq {

struct RgbaColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;

    bool operator==(const RgbaColor&) const = default;
};

} // namespace nq
