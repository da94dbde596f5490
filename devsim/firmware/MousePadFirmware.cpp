#include "devsim/firmware/MousePadFirmware.h"

#include <algorithm>

namespace nqsim {

MousePadFirmware::MousePadFirmware() : MousePadFirmware("mousepad", 3, 15) {}

MousePadFirmware::MousePadFirmware(std::string kindName, int kind, size_t ledCount)
    : VendorFirmware(std::move(kindName))
{
    FirmwareLayout layout;
    layout.kind = kind;
    layout.configSize = 256;
    layout.ledCount = ledCount;
    Layout(layout);
    std::vector<uint8_t>& config = Memory().Area("config");
    for (int s = 0; s < kSlotCount; ++s)
        PutLighting(config, s * kReadStride, FactoryLighting(s));
    config[0] = 0;
}

bool MousePadFirmware::WriteConfig(size_t offset, size_t length, const uint8_t* data)
{
    if (length != kWriteSize || offset % kWriteStride != 0)
        return false;
    const size_t slot = offset / kWriteStride;
    if (slot >= static_cast<size_t>(kSlotCount) || data[0] >= kSlotCount)
        return false;
    std::vector<uint8_t>& config = Memory().Area("config");
    config[0] = data[0];
    std::copy(data + 1, data + kWriteSize, config.begin() + static_cast<long>(slot * kReadStride + 1));
    return true;
}

} // namespace nqsim
