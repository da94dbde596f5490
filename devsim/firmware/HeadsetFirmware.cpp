#include "devsim/firmware/HeadsetFirmware.h"

namespace nqsim {
namespace {

// "leds" area: per bank (0x22, 0x44), per channel (red, green, blue), 13 LED values.
constexpr size_t kBankSize = 3 * HeadsetFirmware::kLedCount;

} // namespace

HeadsetFirmware::HeadsetFirmware() : MousePadFirmware("headset", 7, kLedCount)
{
    Memory().Add("leds", 2 * kBankSize);
}

int HeadsetFirmware::BankIndex(uint8_t bank)
{
    return bank == 0x22 ? 0 : bank == 0x44 ? 1 : -1;
}

void HeadsetFirmware::OnOtherReport(const std::vector<uint8_t>& report)
{
    if (report.empty() || report[0] != kLedReportId)
        return;
    // Exactly 17 bytes; byte 3 and bytes 11-16 are zero.
    bool shaped = report.size() == kLedReportSize && report[3] == 0;
    for (size_t i = 11; shaped && i < kLedReportSize; ++i)
        shaped = report[i] == 0;
    const int bank = shaped ? BankIndex(report[1]) : -1;
    const uint8_t reg = report[2];
    if (bank < 0 || reg < 0xAA || reg > 0xAF) {
        ++m_badLedReports;
        return;
    }
    ++m_ledReports;
    const int channel = (reg - 0xAA) % 3;
    const bool upper = reg >= 0xAD;
    const int first = upper ? 7 : 0;
    const int count = upper ? 6 : 7;
    std::vector<uint8_t>& leds = Memory().Area("leds");
    for (int i = 0; i < count; ++i)
        leds[bank * kBankSize + channel * kLedCount + first + i] = report[4 + i];
}

uint8_t HeadsetFirmware::LedChannel(uint8_t bank, int led, int channel) const
{
    std::lock_guard<std::mutex> guard(Lock());
    const int index = BankIndex(bank);
    if (index < 0 || led < 0 || led >= static_cast<int>(kLedCount) || channel < 0 || channel > 2)
        return 0;
    return Memory().Area("leds")[index * kBankSize + channel * kLedCount + led];
}

uint64_t HeadsetFirmware::LedReportCount() const
{
    std::lock_guard<std::mutex> guard(Lock());
    return m_ledReports;
}

uint64_t HeadsetFirmware::BadLedReportCount() const
{
    std::lock_guard<std::mutex> guard(Lock());
    return m_badLedReports;
}

std::string HeadsetFirmware::OnControl(const std::vector<std::string>& args)
{
    if (args[0] == "help")
        return "leds | ledreports";
    if (args[0] == "ledreports")
        return "taken " + std::to_string(m_ledReports) + " refused " + std::to_string(m_badLedReports);
    if (args[0] != "leds")
        return {};
    // One line per bank: the LEDs as rrggbb.
    static const char digits[] = "0123456789abcdef";
    const std::vector<uint8_t>& leds = Memory().Area("leds");
    std::string out;
    for (int bank = 0; bank < 2; ++bank) {
        out += bank == 0 ? "22:" : "\n44:";
        for (size_t led = 0; led < kLedCount; ++led) {
            out += ' ';
            for (int c = 0; c < 3; ++c) {
                const uint8_t v = leds[bank * kBankSize + c * kLedCount + led];
                out += digits[v >> 4];
                out += digits[v & 15];
            }
        }
    }
    return out;
}

} // namespace nqsim
