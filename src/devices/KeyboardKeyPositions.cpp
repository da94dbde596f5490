#include "devices/KeyboardKeyPositions.h"

#include "common/DebugLog.h"

#include <cstring>

namespace nq {

KeyboardKeyPositions::Maps KeyboardKeyPositions::Build(const uint8_t* keyImage, const uint8_t* keyLedImage,
                                                       size_t slotCount)
{
    Maps maps;
    for (int j = 0; j < kPositions; ++j) {
        for (size_t k = 0; k < slotCount && k < kNone; ++k) {
            if (std::memcmp(keyImage + 3 * k, kRows[size_t(j)].data(), 3) == 0) {
                maps.positionToSlot[size_t(j)] = uint8_t(k);
                break;
            }
        }
    }
    for (size_t l = 0; l < slotCount && l < size_t(kPositions); ++l) {
        if (maps.positionToSlot[l] != kNone)
            maps.positionToLed[l] = keyLedImage[maps.positionToSlot[l]];
        DebugOutF("%d,%d", int(l), int(maps.positionToLed[l]));
    }
    return maps;
}

} // namespace nq
