#pragma once
// The USB headset with its audio chip.
#include "devices/CKelvaskUSBDevice.h"

namespace nq {

class CKelvaskVA6533Device : public CKelvaskUSBDevice {
public:
    CKelvaskVA6533Device();
    ~CKelvaskVA6533Device() override;

    std::string GetClass() const override { return "KelvaskVA6533Device"; }
    void PollStatus() override { RunStatusPoll(); }
};

} // namespace nq
