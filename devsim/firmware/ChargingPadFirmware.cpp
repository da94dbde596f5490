#include "devsim/firmware/ChargingPadFirmware.h"

namespace nqsim {

ChargingPadFirmware::ChargingPadFirmware() : MousePadFirmware("chargepad", 3, 15)
{
    std::vector<uint8_t>& status = Memory().Area("status");
    status[kStatusBattery] = 100;
    status[kStatusCharging] = 1; // a phone lies on the pad and charges
    status[kStatusPhone] = 1;
}

std::string ChargingPadFirmware::OnControl(const std::vector<std::string>& args)
{
    if (!args.empty() && args[0] == "help")
        return "charging pad status: battery 0-100 (percent) | charging 0 no, 1 charging, 2 charged |\n"
               "phone 0 none, 1 iPhone, 2 Samsung, 3 other";
    return {};
}

} // namespace nqsim
