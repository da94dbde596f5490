#pragma once
// A mouse, wired or behind its wireless receiver.
#include "devices/CKelvaskUSBDevice.h"

namespace nq {

class CKelvaskMouseDevice : public CKelvaskUSBDevice {
public:
    CKelvaskMouseDevice();
    ~CKelvaskMouseDevice() override;

    std::string GetClass() const override { return "KelvaskMouseDevice"; }
    void PollStatus() override { RunStatusPoll(); }
};

} // namespace nq
