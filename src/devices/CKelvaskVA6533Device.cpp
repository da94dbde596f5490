#include "devices/CKelvaskVA6533Device.h"

#include <algorithm>

namespace nq {

CKelvaskVA6533Device::CKelvaskVA6533Device()
{
    deviceType = 7;
    engine.SetFamily(LightingFamily::Headset);
}

CKelvaskVA6533Device::~CKelvaskVA6533Device()
{
    StopWorkers();
}

CKelvaskVA6533Device::LedReports CKelvaskVA6533Device::BuildLedReports() const
{
    // values[c][i]: channel c of LED i.
    uint8_t values[3][kFrameLeds] = {};
    const int count = std::min(ledCount, kFrameLeds);
    for (int i = 0; i < count; ++i) {
        const uint32_t word = ledColours.Get(i);
        const uint8_t level = LedLevel(word);
        const uint8_t bytes[3] = {LedRed(word), LedGreen(word), LedBlue(word)};
        for (int c = 0; c < 3; ++c)
            values[c][i] = static_cast<uint8_t>(std::min<int>((bytes[c] * level) >> 8, kMaxChannelValue));
    }
    LedReports reports{};
    uint8_t previousByte10 = 0;
    size_t n = 0;
    for (int c = 0; c < 3; ++c) {
        for (const uint8_t bank : {uint8_t{0x22}, uint8_t{0x44}}) {
            for (const bool high : {false, true}) {
                std::array<uint8_t, kLedReportSize>& report = reports[n++];
                report[0] = kLedReportId;
                report[1] = bank;
                report[2] = static_cast<uint8_t>((high ? 0xAD : 0xAA) + c);
                const int first = high ? 7 : 0;
                const int leds = high ? 6 : 7;
                for (int i = 0; i < leds; ++i)
                    report[4 + i] = values[c][first + i];
                if (high)
                    report[10] = previousByte10;
                previousByte10 = report[10];
            }
        }
    }
    return reports;
}

void CKelvaskVA6533Device::OutputLightFrame()
{
    if (!lightingEnabled)
        return;
    RefreshLightPreviews();
    if (!commandChannel.IsOpen())
        return;
    for (const auto& report : BuildLedReports())
        commandChannel.Hid().SetOutputReport(report.data(), report.size());
}

} // namespace nq
