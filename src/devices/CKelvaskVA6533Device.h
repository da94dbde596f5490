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
    // Reads the device information, so a page is never bound to another kind of device unseen
    // (the sound settings come with the headset page).
    void OnConnected() override { ReadDeviceInformation(); }
    // The headset's LEDs are set with twelve 17-byte output reports (report ID 0xFF) on the command
    // interface, outside the channel's locks and without a reply: for red, green and blue in turn,
    // (0x22, low), (0x22, high), (0x44, low), (0x44, high), where the low register (0xAA + channel)
    // carries LEDs 0-6 in bytes 4-10 and the high register (0xAD + channel) LEDs 7-12 in bytes 4-9,
    // its byte 10 repeating the previous report's. Channel values are byte x level / 256, at most
    // 247; LEDs at or beyond the LED count send 0.
    void OutputLightFrame() override;

    static constexpr int kFrameLeds = 13;
    static constexpr size_t kLedReportSize = 17;
    static constexpr uint8_t kLedReportId = 0xFF;
    static constexpr uint8_t kMaxChannelValue = 247;
    // The twelve reports of one frame, in sending order.
    using LedReports = std::array<std::array<uint8_t, kLedReportSize>, 12>;
    LedReports BuildLedReports() const;
};

} // namespace nq
