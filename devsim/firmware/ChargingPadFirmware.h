#pragma once
// The wireless phone-charging mousepad: the mousepad's memory, plus a status block that tells
// the battery level, whether a phone is charging and which kind of phone lies on the pad. The
// status is set with the firmware commands "battery P" (percent), "charging S" (0 not charging,
// 1 charging, 2 charged) and "phone T" (0 no phone, 1 iPhone, 2 Samsung, 3 another phone).
#include "devsim/firmware/MousePadFirmware.h"

namespace nqsim {

class ChargingPadFirmware : public MousePadFirmware {
public:
    ChargingPadFirmware();

protected:
    std::string OnControl(const std::vector<std::string>& args) override;
};

} // namespace nqsim
