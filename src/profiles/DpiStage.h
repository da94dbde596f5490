#pragma once
// One DPI stage of a mouse profile ("DPIStages"."StageDPIs"[i]).
#include <cstdint>

namespace nq {

struct DpiStage {
    uint8_t active = 0;   // "StageActive": the stage is enabled
    uint8_t xy = 0;       // "StageXY": separate X and Y resolutions
    uint16_t dpiX = 0;    // "StageDPIX"
    uint16_t dpiY = 0;    // "StageDPIY"
    uint8_t red = 0;      // "StageColorR"
    uint8_t green = 0;    // "StageColorG"
    uint8_t blue = 0;     // "StageColorB"

    bool operator==(const DpiStage&) const = default;
};

} // namespace nq
