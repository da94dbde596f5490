#include "devsim/firmware/KeyboardFirmware.h"

#include "devices/KeyboardKeyPositions.h"

#include <cstdio>

namespace nqsim {

KeyboardFirmware::KeyboardFirmware() : VendorFirmware("keyboard")
{
    FirmwareLayout layout;
    layout.kind = 1;
    layout.configSize = 256;
    layout.keyEntries = kEntries;
    layout.macroUnits = 32;
    layout.colourSlots = kColourSlots;
    layout.ledCount = kEntries;
    Layout(layout);
    Factory();
}

void KeyboardFirmware::Factory()
{
    // A record reaches two bytes into the next profile's area, where that profile keeps its
    // profile number (meaningless outside profile 0) and its main effect; the records are laid
    // down from the last profile to the first, so every record reads back whole except that the
    // main effect of profiles 1 to 3 is byte 45 of the profile before, always 0.
    // Main zone: column wave in profile 0 (what a default profile holds), then effect 0 in white,
    // blue and red. Logo and side zones: effect 0, azure, full brightness, middle speed, multicolour.
    static const Lighting mainZone[kSlotCount] = {
        {1, 4, 2, 0, 1, 0, 160, 255},
        {0, 4, 2, 0, 0, 255, 255, 255},
        {0, 4, 2, 0, 1, 0, 0, 255},
        {0, 4, 2, 0, 0, 255, 0, 0},
    };
    static const Lighting zone = {0, 4, 2, 0, 1, 0, 160, 255};
    std::vector<uint8_t>& config = Memory().Area("config");
    for (int p = kSlotCount - 1; p >= 0; --p) {
        const size_t at = p * kStride;
        std::fill(config.begin() + at, config.begin() + at + kRecordSize, 0);
        PutLighting(config, at, mainZone[p]);
        config[at + 22] = 3; // polling rate index: 1000 Hz
        PutLighting(config, at + 26, zone); // logo zone, bytes 27..34
        config[at + 36] = 1;                // logo light on
        PutLighting(config, at + 36, zone); // side zone, bytes 37..44
    }
    config[0] = 0; // current profile

    std::vector<uint8_t>& keymap = Memory().Area("keymap");
    std::vector<uint8_t>& keyIndex = Memory().Area("keyindex");
    for (size_t k = 0; k < kEntries; ++k) {
        for (int b = 0; b < 3; ++b)
            keymap[3 * k + b] = nq::KeyboardKeyPositions::kRows[k][b];
        keyIndex[k] = static_cast<uint8_t>(k);
    }
    Memory().Area("status")[kStatusBattery] = 100;
}

namespace {

std::string ZoneText(const char* name, const std::vector<uint8_t>& config, size_t at)
{
    char line[160];
    std::snprintf(line, sizeof line, "  %s effect %u brightness %u speed %d direction %u multicolour %u colour %02x %02x %02x\n",
                  name, config[at], config[at + 1], 4 - config[at + 2], config[at + 3], config[at + 4], config[at + 5],
                  config[at + 6], config[at + 7]);
    return line;
}

} // namespace

std::string KeyboardFirmware::DumpMemory() const
{
    std::string out;
    {
        std::lock_guard<std::mutex> guard(Lock());
        const std::vector<uint8_t>& config = Memory().Area("config");
        const std::vector<uint8_t>& colours = Memory().Area("colours");
        char line[200];
        std::snprintf(line, sizeof line, "keyboard: on-board profile %u\n", config[0]);
        out += line;
        for (int p = 0; p < kSlotCount; ++p) {
            const size_t at = size_t(p) * kStride;
            std::snprintf(line, sizeof line,
                          "profile %d: LED mode %u W flag %u 6-key %u Win lock %u polling %u scan delay %u colour group %u "
                          "logo %s\n",
                          p, config[at + 18], config[at + 19], config[at + 20], config[at + 21], config[at + 22],
                          config[at + 25], config[at + 26], config[at + 36] == 1 ? "off" : "on");
            out += line;
            out += ZoneText("keys", config, at + 1);
            out += ZoneText("logo", config, at + 27);
            out += ZoneText("side", config, at + 37);
        }
        for (size_t g = 0; g < kColourSlots; ++g) {
            std::string lit;
            int count = 0;
            for (size_t led = 0; led < kColourSlotSize / 3; ++led) {
                const uint8_t* c = colours.data() + g * kColourSlotSize + 3 * led;
                if (!c[0] && !c[1] && !c[2])
                    continue;
                std::snprintf(line, sizeof line, "%s%zu=%02x%02x%02x", count % 12 ? " " : "\n   ", led, c[0], c[1], c[2]);
                lit += line;
                ++count;
            }
            if (count == 0)
                continue;
            std::snprintf(line, sizeof line, "colour group %zu: %d lit LEDs (LED=rrggbb):", g, count);
            out += line + lit + "\n";
        }
    }
    return out + VendorFirmware::DumpMemory();
}

} // namespace nqsim
