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
    // The keyboard's key colours are only previewed on the page: its effects run in the keyboard
    // itself, so no frame is streamed.
    void OutputLightFrame() override;
};

} // namespace nq
