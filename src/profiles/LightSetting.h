#pragma once
// The 31-byte lighting record shared by profiles, devices and the light list.
// Main zone bytes 0-11, logo zone 12-21, St zone 22-30.
#include <array>
#include <cstddef>
#include <cstdint>

namespace nq {

struct LightSetting {
    static constexpr int kSize = 31;
    static constexpr int kMain = 0;  // zone offsets
    static constexpr int kLogo = 12;
    static constexpr int kSt = 22;
    // Field offsets inside a zone (main, logo and St share the first eight).
    static constexpr int kEffect = 0, kBrightness = 1, kSpeed = 2, kDirection = 3, kMultiColour = 4,
                         kRed = 5, kGreen = 6, kBlue = 7;
    static constexpr int kPresent = 10;       // light list only
    static constexpr int kLedMode = 11;       // "ZZCCLedMode"
    static constexpr int kLogoOnOff = 21;     // "RGBdengoffon"
    static constexpr int kCustomGroup = 30;   // the keyboard's custom colour group, run time only

    std::array<uint8_t, kSize> bytes{};

    uint8_t& operator[](int i) { return bytes[static_cast<size_t>(i)]; }
    uint8_t operator[](int i) const { return bytes[static_cast<size_t>(i)]; }
    uint8_t Effect(int zone = kMain) const { return bytes[zone + kEffect]; }
    uint8_t Brightness(int zone = kMain) const { return bytes[zone + kBrightness]; }
    uint8_t Speed(int zone = kMain) const { return bytes[zone + kSpeed]; }
    uint8_t Direction(int zone = kMain) const { return bytes[zone + kDirection]; }
    uint8_t MultiColour(int zone = kMain) const { return bytes[zone + kMultiColour]; }
    uint8_t Red(int zone = kMain) const { return bytes[zone + kRed]; }
    uint8_t Green(int zone = kMain) const { return bytes[zone + kGreen]; }
    uint8_t Blue(int zone = kMain) const { return bytes[zone + kBlue]; }

    bool operator==(const LightSetting& other) const { return bytes == other.bytes; }
};

} // namespace nq
