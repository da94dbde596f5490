#include "devices/LightingReactiveBuffers.h"

#include <algorithm>

namespace nq {

void LightingReactiveBuffers::DecayKeyLevel(int index, bool fast)
{
    if (index < 0 || index >= kLevelCount)
        return;
    uint8_t& v = levels[size_t(index)];
    if (v >= 128)
        v -= 40;
    else if (v >= 64)
        v -= 30;
    else if (v >= 32)
        v -= 10;
    else if (v > 16)
        v -= 8;
    else if (v > 0)
        v = fast ? uint8_t(v - 1) : uint8_t(0);
}

void LightingReactiveBuffers::TriggerRingColumns(int columns)
{
    const int count = std::min({columns, kRingSize, kLevelCount});
    for (int i = 0; i < count; ++i) {
        if (ring[size_t(i)] != 0)
            levels[size_t(i)] = 255;
    }
}

void LightingReactiveBuffers::RotateRingPrefix(int length, int direction)
{
    length = std::min(length, kRingSize);
    if (length < 2)
        return;
    auto first = ring.begin();
    auto last = ring.begin() + length;
    if (direction != 0)
        std::rotate(first, last - 1, last); // last entry moves to index 0
    else
        std::rotate(first, first + 1, last); // entry 0 moves to the end
}

void LightingReactiveBuffers::Clear()
{
    levels.fill(0);
    ring.fill(0);
}

} // namespace nq
