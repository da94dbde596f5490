#pragma once
// The headset: thirteen LEDs set through 17-byte output reports with report ID 0xFF (bank 0x22 or
// 0x44, register 0xAA..0xAF for red, green, blue of LEDs 0-6 and 7-12, no reply), and the
// mousepad's configuration memory behind the vendor reports. A report of another length, or with
// byte 3 or bytes 11-16 not zero, or with an unknown bank or register, is refused (counted, not
// applied). Control "leds" prints both banks, "ledreports" the counts.
#include "devsim/firmware/MousePadFirmware.h"

namespace nqsim {

class HeadsetFirmware : public MousePadFirmware {
public:
    static constexpr uint8_t kLedReportId = 0xFF;
    static constexpr size_t kLedCount = 13;
    static constexpr size_t kLedReportSize = 17;

    HeadsetFirmware();

    // Colour channel c (0 red, 1 green, 2 blue) of LED i as last set in bank 0x22 or 0x44.
    uint8_t LedChannel(uint8_t bank, int led, int channel) const;
    uint64_t LedReportCount() const;
    uint64_t BadLedReportCount() const;

protected:
    void OnOtherReport(const std::vector<uint8_t>& report) override;
    std::string OnControl(const std::vector<std::string>& args) override;

private:
    static int BankIndex(uint8_t bank);
    uint64_t m_ledReports = 0;
    uint64_t m_badLedReports = 0;
};

} // namespace nqsim
