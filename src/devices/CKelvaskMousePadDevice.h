#pragma once
// A lit mousepad (also the charging pad).
#include "devices/CKelvaskUSBDevice.h"

namespace nq {

class CKelvaskMousePadDevice : public CKelvaskUSBDevice {
public:
    CKelvaskMousePadDevice();
    ~CKelvaskMousePadDevice() override;

    std::string GetClass() const override { return "KelvaskMousePadDevice"; }
    void PollStatus() override { RunStatusPoll(); }
    // Reads the device information (the profile and the page come with the mousepad page).
    void OnConnected() override { ReadDeviceInformation(); }
};

} // namespace nq
