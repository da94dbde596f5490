#include "devsim/firmware/ChargingPadFirmware.h"

namespace nqsim {

ChargingPadFirmware::ChargingPadFirmware() : MousePadFirmware("chargepad", 3, 15)
{
    std::vector<uint8_t>& status = Memory().Area("status");
    status[kStatusBattery] = 100;
    status[kStatusCharging] = 1; // a phone lies on the pad and charges
    status[kStatusPhone] = 1;
}

} // namespace nqsim
