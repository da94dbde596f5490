#pragma once
// The fixed tables and the counter rule of the software lighting effects. Shared by the effect
// engine of the mouse, mousepad and headset, and by the main window's synchronised lighting.
//
// Table lookups go through the small functions below: they accept any byte (an effect step left
// over from another effect, a level read from a file) and never read outside a table.
#include <array>
#include <cstdint>

namespace nq {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// Brightness level 0-4 -> LED level.
inline constexpr std::array<uint8_t, 5> BRIGHTNESS_TABLE = {0, 63, 126, 190, 255};

namespace effect_detail {
inline constexpr std::array<uint8_t, 64> kBreathRise = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
    22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
    77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
    158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};
inline constexpr std::array<uint8_t, 32> kRise = {1,   3,   5,   7,   10,  14,  18,  22,
                                                  26,  32,  38,  44,  50,  57,  65,  73,
                                                  81,  89,  99,  109, 119, 129, 140, 152,
                                                  164, 176, 188, 200, 213, 227, 241, 255};
inline constexpr std::array<uint8_t, 32> kFall = {248, 234, 220, 206, 194, 182, 170, 158,
                                                  146, 134, 124, 114, 104, 94,  85,  77,
                                                  69,  61,  53,  47,  41,  35,  29,  24,
                                                  20,  16,  12,  8,   6,   4,   2,   0};

constexpr std::array<uint8_t, 128> MakeBreathCurve()
{
    std::array<uint8_t, 128> t{};
    for (int i = 0; i < 64; ++i) {
        t[i] = kBreathRise[i];
        t[127 - i] = kBreathRise[i];
    }
    return t;
}

constexpr std::array<Rgb, 193> MakeColourWheel()
{
    std::array<Rgb, 193> w{};
    for (int i = 0; i < 32; ++i) {
        w[i] = {255, kRise[i], 0};
        w[32 + i] = {kFall[i], 255, 0};
        w[64 + i] = {0, 255, kRise[i]};
        w[96 + i] = {0, kFall[i], 255};
        w[128 + i] = {kRise[i], 0, 255};
        w[160 + i] = {255, 0, kFall[i]};
    }
    w[192] = w[0];
    return w;
}
} // namespace effect_detail

// 128 entries: 64 rising values, then the same in reverse.
inline constexpr std::array<uint8_t, 128> BREATH_CURVE = effect_detail::MakeBreathCurve();

// 96 entries: entries 16 to 111 of the breath curve (22 up to 255 and back to 22).
inline constexpr std::array<uint8_t, 96> WAVE_CURVE = [] {
    std::array<uint8_t, 96> t{};
    for (int i = 0; i < 96; ++i)
        t[i] = BREATH_CURVE[16 + i];
    return t;
}();

// 192 colours in six segments of 32, plus entry 192 equal to entry 0.
inline constexpr int kWheelSize = 192;
inline constexpr std::array<Rgb, 193> COLOUR_WHEEL = effect_detail::MakeColourWheel();

inline constexpr std::array<Rgb, 4> FOUR_COLOURS = {Rgb{0, 255, 180}, Rgb{0, 255, 0},
                                                    Rgb{255, 255, 255}, Rgb{255, 0, 0}};

// Speed level 0-4 -> passes between two effect steps (0 for any other level).
inline constexpr std::array<uint8_t, 5> SPEED_TICKS = {28, 23, 18, 13, 7};
// Speed level 0-4 -> passes between two colours of the custom frames' spectrum.
inline constexpr std::array<uint8_t, 5> FRAME_SPECTRUM_TICKS = {6, 5, 4, 3, 2};

inline constexpr uint8_t kNoLed = 255;
// The mouse's nine columns of up to three LED indices (kNoLed = none).
inline constexpr std::array<std::array<uint8_t, 3>, 9> MOUSE_COLUMNS = {{{0, 18, 18},
                                                                         {1, 255, 17},
                                                                         {2, 255, 16},
                                                                         {3, 255, 15},
                                                                         {4, 255, 14},
                                                                         {5, 255, 13},
                                                                         {6, 255, 12},
                                                                         {7, 9, 11},
                                                                         {8, 9, 10}}};

// The seven LED pairs of the mousepad and the headset.
inline constexpr std::array<std::array<uint8_t, 2>, 7> PAD_PAIRS = {
    {{1, 14}, {2, 13}, {3, 12}, {4, 11}, {5, 10}, {6, 9}, {7, 8}}};

// Cyclic byte counter: forwards (direction not 0) value + step, or 0 once that reaches limit;
// backwards value - step, or limit - step when value is below step.
uint8_t NextCounter(int direction, int limit, int value, int step = 1);

// Level of a brightness level; levels above 4 give the top level.
uint8_t BrightnessLevel(int level);
// Passes per step of a speed level; 0 for levels outside 0-4.
int SpeedTicks(int speed);
// Flash half-period in milliseconds of a speed level: SpeedTicks(speed) * 200.
uint32_t FlashPeriodMs(int speed);
// Wheel colour; indices above 192 wrap around the 192 colours.
Rgb WheelColour(int index);
// Breath curve value; indices wrap around the 128 entries.
uint8_t BreathValue(int index);
// Wave curve value; indices wrap around the 96 entries.
uint8_t WaveValue(int index);
// One of the four fixed colours; indices wrap around the four.
Rgb FourColour(int index);
// value * level / 256, the scaling every effect uses for its LED level.
inline uint8_t ScaleLevel(int value, int level) { return uint8_t((value * level) >> 8); }

// The engine's clock: milliseconds of a monotonic clock, wrapping at 2^32.
uint32_t LightingClockMs();

} // namespace nq
