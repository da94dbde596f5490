#pragma once
// The values a control request may carry, checked before anything reaches a device.
#include <cstdint>
#include <optional>
#include <string>

namespace nq::control {

struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
};

// "RRGGBB" (six hex digits, an optional leading '#'); nothing for anything else.
std::optional<Rgb> ParseColour(const std::string& text);
std::string FormatColour(uint8_t red, uint8_t green, uint8_t blue);

// Report rates: the option numbers of the pages (mouse 125, 250, 500, 1000, 2000 Hz; keyboard
// 125, 250, 500, 1000 Hz). -1 for a rate the device does not offer.
int MouseRateOption(int hz);
int KeyboardRateOption(int hz);
int MouseRateHz(int option);    // 0 for an option outside the table
int KeyboardRateHz(int option);

// Lighting zones as the lighting editor numbers them.
enum Zone : int { kZoneMain = 0, kZoneLogo = 1, kZoneSide = 2 };
// "keys" (or "main"), "logo", "side"; -1 for anything else.
int ParseZone(const std::string& name);
const char* ZoneName(int zone);
// The highest effect number of a zone of a device type (1 keyboard, 2 mouse, 3 mousepad);
// -1 when the device has no such zone.
int HighestEffect(int deviceType, int zone);

constexpr int kMaxLevel = 4;       // brightness and speed
constexpr int kMaxRepeatRate = 31; // the keyboard's repeat-rate slider
constexpr int kMaxRepeatDelay = 3; // 250 ms steps from 250 ms

} // namespace nq::control
