#pragma once
// The mouse behind its wireless receiver: the wired mouse's memory, plus the link state the
// receiver reports (command 170), a battery and the wireless flag in the status block.
#include "devsim/firmware/MouseFirmware.h"

namespace nqsim {

class ReceiverMouseFirmware : public MouseFirmware {
public:
    ReceiverMouseFirmware();
};

} // namespace nqsim
