#include "devsim/firmware/MousePadFirmware.h"

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

} // namespace nqsim
