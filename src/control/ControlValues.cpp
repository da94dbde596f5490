#include "control/ControlValues.h"

#include <array>
#include <cstdio>

namespace nq::control {

namespace {

constexpr std::array<int, 5> kMouseRates = {125, 250, 500, 1000, 2000};
constexpr std::array<int, 4> kKeyboardRates = {125, 250, 500, 1000};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

template <size_t N> int OptionOf(const std::array<int, N>& rates, int hz)
{
    for (size_t i = 0; i < N; ++i)
        if (rates[i] == hz)
            return int(i);
    return -1;
}

template <size_t N> int RateOf(const std::array<int, N>& rates, int option)
{
    return option >= 0 && option < int(N) ? rates[size_t(option)] : 0;
}

} // namespace

std::optional<Rgb> ParseColour(const std::string& text)
{
    const std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (digits.size() != 6)
        return std::nullopt;
    uint8_t bytes[3];
    for (size_t i = 0; i < 3; ++i) {
        const int high = HexDigit(digits[2 * i]);
        const int low = HexDigit(digits[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = uint8_t(high * 16 + low);
    }
    return Rgb{bytes[0], bytes[1], bytes[2]};
}

std::string FormatColour(uint8_t red, uint8_t green, uint8_t blue)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", red, green, blue);
    return text;
}

int MouseRateOption(int hz) { return OptionOf(kMouseRates, hz); }
int KeyboardRateOption(int hz) { return OptionOf(kKeyboardRates, hz); }
int MouseRateHz(int option) { return RateOf(kMouseRates, option); }
int KeyboardRateHz(int option) { return RateOf(kKeyboardRates, option); }

int ParseZone(const std::string& name)
{
    if (name == "keys" || name == "main")
        return kZoneMain;
    if (name == "logo")
        return kZoneLogo;
    if (name == "side")
        return kZoneSide;
    return -1;
}

const char* ZoneName(int zone)
{
    switch (zone) {
    case kZoneLogo: return "logo";
    case kZoneSide: return "side";
    default: return "keys";
    }
}

int HighestEffect(int deviceType, int zone)
{
    switch (deviceType) {
    case 1: // keyboard: 27 key effects; six logo and six side effects
        return zone == kZoneMain ? 27 : 5;
    case 2: // mouse
    case 3: // mousepad and charging pad
        return zone == kZoneMain ? 8 : -1;
    default:
        return -1;
    }
}

} // namespace nq::control
