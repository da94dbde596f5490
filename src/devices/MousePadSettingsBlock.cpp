#include "devices/MousePadSettingsBlock.h"

#include <algorithm>

namespace nq {

namespace {

uint8_t Invert(uint8_t value) { return static_cast<uint8_t>(MousePadSettingsBlock::kHighestSpeed - value); }

} // namespace

MousePadSettingsBlock::Block MousePadSettingsBlock::FromRead(uint8_t slot, const uint8_t* read)
{
    Block copy{};
    std::copy(read, read + kSize, copy.begin());
    copy[0] = slot;
    copy[kSpeedByte] = Invert(copy[kSpeedByte]);
    return copy;
}

MousePadSettingsBlock::Block MousePadSettingsBlock::ForWrite(const Block& copy)
{
    Block out = copy;
    out[kSpeedByte] = Invert(copy[kSpeedByte]);
    return out;
}

MousePadSettingsBlock::Block MousePadSettingsBlock::WithLighting(const Block& copy, const LightSetting& record)
{
    Block out = copy;
    for (int field = LightSetting::kEffect; field <= LightSetting::kBlue; ++field)
        out[static_cast<size_t>(1 + field)] = record[field];
    return out;
}

} // namespace nq
