#pragma once
// The wireless phone-charging mousepad: the mousepad's memory, plus a status block that tells
// whether a phone is charging and which kind of phone it is.
#include "devsim/firmware/MousePadFirmware.h"

namespace nqsim {

class ChargingPadFirmware : public MousePadFirmware {
public:
    ChargingPadFirmware();
};

} // namespace nqsim
