#include "devsim/SimFirmware.h"
#include "devsim/firmware/ChargingPadFirmware.h"
#include "devsim/firmware/HeadsetFirmware.h"
#include "devsim/firmware/KeyboardFirmware.h"
#include "devsim/firmware/MouseFirmware.h"
#include "devsim/firmware/MousePadFirmware.h"
#include "devsim/firmware/ReceiverMouseFirmware.h"

namespace nqsim {

std::unique_ptr<SimInterfaceHandler> MakeVendorFirmware(const SimDeviceIdentity& identity)
{
    switch (identity.kind) {
    case 1: return std::make_unique<KeyboardFirmware>();
    case 2: return std::make_unique<MouseFirmware>();
    case 6: return std::make_unique<ReceiverMouseFirmware>();
    case 3:
        if (identity.name == "chargepad")
            return std::make_unique<ChargingPadFirmware>();
        return std::make_unique<MousePadFirmware>();
    case 7: return std::make_unique<HeadsetFirmware>();
    default: return nullptr;
    }
}

} // namespace nqsim
