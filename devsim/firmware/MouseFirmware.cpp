#include "devsim/firmware/MouseFirmware.h"

namespace nqsim {

const uint8_t (&MouseFirmware::FactoryKeymap())[kEntries][3]
{
    // The buttons are not stored in the order the page shows them: the fourth and fifth, and the
    // last two, are swapped, as on the real board.
    static const uint8_t keymap[kEntries][3] = {
        {0x10, 0x01, 0x00}, // left
        {0x10, 0x02, 0x00}, // right
        {0x10, 0x04, 0x00}, // middle
        {0x10, 0x08, 0x00}, // back
        {0x10, 0x10, 0x00}, // forward
        {0x13, 0x01, 0x00}, // DPI up
        {0x13, 0x02, 0x00}, // DPI down
        {0x13, 0x03, 0x00}, // DPI cycle
        {0x16, 0x90, 0x01}, // report rate
        {0xA0, 0x1B, 0x00}, // lighting
    };
    return keymap;
}

MouseFirmware::MouseFirmware() : MouseFirmware("mouse", false) {}

MouseFirmware::MouseFirmware(std::string kindName, bool receiver) : VendorFirmware(std::move(kindName))
{
    FirmwareLayout layout;
    layout.kind = receiver ? 6 : 2;
    layout.configSize = kSlotCount * kStride;
    layout.keyEntries = kEntries;
    layout.macroUnits = 24; // room for four full 30-shot recoil tables (2920 bytes)
    layout.recoil = true;
    layout.ledCount = 7;
    layout.dpiStep = kDpiStep;
    layout.maxDpiSlider = kMaxDpiSlider;
    layout.minDpi = kMinDpi;
    Layout(layout);
    SetReceiver(receiver);
    Factory();
}

void MouseFirmware::Factory()
{
    std::vector<uint8_t>& config = Memory().Area("config");
    static const uint8_t stageColours[5][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {255, 0, 255}};
    for (int s = 0; s < kSlotCount; ++s) {
        const size_t at = s * kStride;
        PutLighting(config, at, FactoryLighting(s));
        config[at + 11] = 3; // report rate option: 1000 Hz
        config[at + 12] = 2; // active DPI stage: 1600 DPI
        for (int i = 0; i < 5; ++i) {
            uint8_t* stage = &config[at + 14 + 9 * i];
            stage[0] = 1;
            stage[1] = 0;
            stage[2] = static_cast<uint8_t>(kFactoryStages[i] & 0xFF);
            stage[3] = static_cast<uint8_t>(kFactoryStages[i] >> 8);
            stage[4] = stage[2];
            stage[5] = stage[3];
            stage[6] = stageColours[i][0];
            stage[7] = stageColours[i][1];
            stage[8] = stageColours[i][2];
        }
        config[at + 59] = 1;
        config[at + 60] = 1920 & 0xFF;
        config[at + 61] = 1920 >> 8;
        config[at + 62] = 1080 & 0xFF;
        config[at + 63] = 1080 >> 8;
    }
    config[0] = 0; // active slot

    std::vector<uint8_t>& keymap = Memory().Area("keymap");
    std::vector<uint8_t>& keyIndex = Memory().Area("keyindex");
    for (size_t k = 0; k < kEntries; ++k) {
        for (int b = 0; b < 3; ++b)
            keymap[3 * k + b] = FactoryKeymap()[k][b];
        keyIndex[k] = 0xFF; // the buttons have no LEDs of their own
    }
    Memory().Area("status")[kStatusBattery] = 100;
}

} // namespace nqsim
