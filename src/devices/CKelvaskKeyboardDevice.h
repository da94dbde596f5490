#pragma once
// A keyboard.
#include "devices/CKelvaskUSBDevice.h"

namespace nq {

class CKelvaskKeyboardDevice : public CKelvaskUSBDevice {
public:
    CKelvaskKeyboardDevice();
    ~CKelvaskKeyboardDevice() override;

    std::string GetClass() const override { return "KelvaskKeyboardDevice"; }
    void PollStatus() override { RunStatusPoll(); }
};

} // namespace nq
