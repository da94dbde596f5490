#include "devsim/firmware/ReceiverMouseFirmware.h"

namespace nqsim {

ReceiverMouseFirmware::ReceiverMouseFirmware() : MouseFirmware("rxmouse", true)
{
    std::vector<uint8_t>& status = Memory().Area("status");
    status[kStatusBattery] = 85;
    status[kStatusWireless] = 1;
}

} // namespace nqsim
