#pragma once
// The fixed tables of the keyboard's lighting effects (the preview engine of the keyboard page).
// Positions are the 126 key positions of the keyboard picture; kNoKey (126) and kNoKey7 (255)
// mark an empty place in a table. The colour wheel, breath and wave curves and brightness levels
// are the shared ones of EffectTables.h.
#include <array>
#include <cstddef>
#include <cstdint>

#include "devices/EffectTables.h"

namespace nq {

namespace kbfx {

inline constexpr uint8_t kNoKey = 126;
inline constexpr uint8_t kNoKey7 = 255;
inline constexpr int kColumns = 23;
inline constexpr int kRows = 6;

namespace detail {
inline constexpr std::array<uint8_t, 16> kRise16 = {1, 5, 10, 18, 26, 38, 50, 65, 81, 99, 119, 140, 164, 188, 213, 241};
inline constexpr std::array<uint8_t, 16> kFall16 = {248, 220, 194, 170, 146, 124, 104, 85, 69, 53, 41, 29, 20, 12, 6, 2};

constexpr std::array<Rgb, 128> MakeZoneWheel()
{
    std::array<Rgb, 128> w{};
    for (int i = 0; i < 16; ++i) {
        w[i] = {255, kRise16[i], 0};
        w[16 + i] = {kFall16[i], 255, 0};
        w[32 + i] = {0, 255, kRise16[i]};
        w[48 + i] = {0, kFall16[i], 255};
        w[64 + i] = {kRise16[i], 0, 255};
        w[80 + i] = {255, 0, kFall16[i]};
    }
    for (int i = 96; i < 128; ++i)
        w[i] = w[i - 96];
    return w;
}

inline constexpr std::array<uint8_t, 88> kPulseHead = {
    0,   4,   8,   14,  22,  33,  45,  61,  77,  84,  100, 110, 120, 130, 140, 150, 158, 166,
    175, 182, 191, 204, 220, 234, 255, 248, 241, 234, 227, 220, 213, 206, 200, 194, 188, 182,
    176, 170, 164, 158, 152, 146, 140, 134, 129, 124, 119, 114, 109, 104, 99,  94,  89,  85,
    81,  77,  73,  69,  65,  61,  57,  53,  49,  45,  42,  39,  36,  33,  30,  27,  24,  22,
    20,  18,  16,  14,  12,  10,  9,   8,   7,   6,   5,   4,   3,   2,   2,   1};
} // namespace detail

// 128 colours of the logo and side LEDs: six segments of 16 and entries 96-127 repeating 0-31.
inline constexpr std::array<Rgb, 128> ZONE_WHEEL = detail::MakeZoneWheel();

// 192 levels of a short pulse: up to 255 at entry 24, a long fall, 0 from entry 88 on.
inline constexpr std::array<uint8_t, 192> PULSE_CURVE = [] {
    std::array<uint8_t, 192> t{};
    for (std::size_t i = 0; i < detail::kPulseHead.size(); ++i)
        t[i] = detail::kPulseHead[i];
    return t;
}();

// The keyboard's 23 columns (left to right) of 6 rows (top to bottom).
inline constexpr std::array<std::array<uint8_t, 6>, 23> KEY_COLUMNS = {{
    {126, 120, 121, 122, 84, 124}, {126, 21, 42, 63, 85, 105}, {0, 22, 43, 64, 86, 106},
    {1, 23, 44, 65, 87, 126},      {2, 24, 45, 66, 88, 107},   {3, 25, 46, 67, 89, 126},
    {4, 26, 47, 68, 90, 108},      {126, 27, 48, 69, 91, 126}, {5, 28, 49, 70, 92, 126},
    {6, 29, 50, 71, 93, 109},      {7, 30, 51, 72, 94, 126},   {8, 31, 52, 73, 95, 125},
    {9, 32, 53, 74, 126, 110},     {10, 33, 54, 62, 126, 111}, {11, 34, 55, 75, 96, 126},
    {12, 126, 126, 126, 126, 112}, {13, 35, 56, 126, 126, 113}, {14, 36, 57, 126, 97, 114},
    {15, 37, 58, 126, 126, 115},   {126, 38, 59, 76, 98, 116}, {126, 39, 60, 77, 99, 126},
    {126, 40, 61, 78, 100, 117},   {126, 41, 126, 119, 118, 126},
}};

// The same 23 columns in 7 rows (255 = none), as the seeding hooks read them.
inline constexpr std::array<std::array<uint8_t, 7>, 23> KEY_COLUMNS7 = {{
    {255, 255, 255, 255, 255, 84, 105}, {255, 255, 21, 42, 63, 85, 106}, {255, 0, 22, 43, 64, 86, 107},
    {255, 1, 23, 44, 65, 87, 255},      {255, 2, 24, 45, 66, 88, 255},   {255, 3, 25, 46, 67, 89, 255},
    {255, 4, 26, 47, 68, 90, 108},      {255, 255, 27, 48, 69, 91, 255}, {255, 5, 28, 49, 70, 92, 255},
    {255, 6, 29, 50, 71, 93, 109},      {255, 7, 30, 51, 72, 94, 109},   {255, 8, 31, 52, 73, 95, 110},
    {255, 9, 32, 53, 74, 255, 111},     {255, 10, 33, 54, 75, 255, 255}, {255, 11, 34, 55, 255, 96, 112},
    {255, 12, 34, 55, 255, 96, 112},    {255, 13, 35, 56, 255, 255, 113}, {255, 14, 36, 57, 255, 97, 114},
    {255, 15, 37, 58, 255, 255, 115},   {255, 17, 38, 59, 76, 98, 116},  {125, 18, 39, 60, 77, 99, 116},
    {255, 19, 40, 61, 78, 100, 117},    {255, 20, 41, 255, 119, 118, 255},
}};

// A path through the keyboard; 107 keys, then 126.
inline constexpr std::array<uint8_t, 126> KEY_ORDER = {
    15,  14,  13,  12,  11,  10,  9,   8,   7,   6,   5,   4,   3,   2,   1,   0,   21,  42,  63,  84,
    105, 106, 107, 108, 109, 125, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 41,  40,  39,  38,
    37,  36,  35,  34,  33,  32,  31,  30,  29,  28,  27,  26,  25,  24,  23,  22,  43,  64,  85,  86,
    87,  88,  89,  90,  91,  92,  93,  94,  95,  96,  97,  98,  99,  100, 78,  61,  60,  59,  58,  57,
    56,  55,  54,  53,  52,  51,  50,  49,  48,  47,  46,  45,  44,  65,  66,  67,  68,  69,  70,  71,
    72,  73,  74,  62,  75,  76,  77,  126, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126,
    126, 126, 126, 126, 126, 126};
inline constexpr int kOrderedKeys = 107;

// Twelve rings around the centre key (51), up to 12 positions each.
inline constexpr std::array<std::array<uint8_t, 12>, 12> KEY_RINGS = {{
    {51, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126},
    {30, 50, 71, 72, 52, 31, 126, 126, 126, 126, 126, 126},
    {8, 29, 49, 70, 92, 93, 94, 73, 53, 32, 126, 126},
    {7, 28, 48, 69, 91, 109, 95, 74, 54, 33, 9, 62},
    {6, 27, 47, 68, 90, 110, 96, 75, 55, 34, 10, 11},
    {5, 26, 46, 67, 89, 108, 111, 112, 56, 35, 12, 125},
    {4, 25, 45, 66, 88, 113, 97, 57, 36, 13, 126, 126},
    {3, 24, 44, 65, 87, 114, 115, 58, 37, 15, 14, 126},
    {2, 23, 43, 64, 86, 107, 98, 76, 59, 38, 126, 126},
    {1, 22, 42, 63, 84, 106, 116, 99, 77, 60, 39, 85},
    {0, 21, 105, 117, 100, 78, 61, 40, 126, 126, 126, 126},
    {118, 119, 41, 126, 126, 126, 126, 126, 126, 126, 126, 126},
}};

// Seed levels of the twinkle effect, read as entry 6 x column + row (row 0-6).
inline constexpr std::array<uint8_t, 144> COLUMN_SEEDS = {
    72,  52,  32,  12,  182, 162, 72,  52,  32,  12,  182, 162, 120, 100, 80,  60,  40,  20,
    92,  82,  72,  62,  52,  42,  160, 140, 120, 100, 80,  60,  80,  70,  60,  50,  20,  10,
    90,  30,  0,   160, 130, 100, 50,  30,  10,  180, 160, 140, 32,  22,  12,  2,   182, 172,
    120, 100, 80,  60,  40,  20,  20,  5,   185, 170, 155, 140, 60,  35,  15,  180, 155, 130,
    120, 110, 100, 90,  80,  70,  192, 162, 132, 102, 72,  32,  80,  70,  60,  50,  20,  10,
    100, 95,  90,  85,  80,  75,  90,  80,  70,  60,  50,  40,  140, 110, 80,  50,  20,  180,
    70,  55,  40,  25,  10,  190, 120, 100, 80,  60,  40,  20,  92,  82,  72,  62,  52,  42,
    60,  50,  40,  30,  20,  10,  192, 162, 132, 102, 72,  32,  0,   0,   255, 0,   0,   255};

// The radar beam: 52 steps of up to 12 positions, turning clockwise around the centre key. Step 50
// points left along the middle row, step 25 right; in between the beam ends walk along the top
// edge (steps 51 to 24) and back along the bottom edge (steps 26 to 49), one column a step.
inline constexpr std::array<std::array<uint8_t, 12>, 52> RADAR_STEPS = {{
    { 25,  26,  50,  51, 126, 126, 126, 126, 126, 126, 126, 126}, // 0
    {  0,  26,  27,  50,  51, 126, 126, 126, 126, 126, 126, 126}, // 1
    { 50,  49,  28,  27,  26,  25,  24,   2,   1,   0, 126, 126}, // 2
    { 50,  49,  28,  27,  26,  25,   3,   2,   1,   0, 126, 126}, // 3
    { 50,  28,  27,  26,   3,   2,   1, 126, 126, 126, 126, 126}, // 4
    { 50,  29,  28,  27,  26,   4,   3,   2, 126, 126, 126, 126}, // 5
    { 50,  29,  28,  27,   4,   3, 126, 126, 126, 126, 126, 126}, // 6
    { 50,  29,  28,   5,   4, 126, 126, 126, 126, 126, 126, 126}, // 7
    { 29,   5, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126}, // 8
    { 30,  29,   6, 126, 126, 126, 126, 126, 126, 126, 126, 126}, // 9
    { 30,   7, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126}, // 10
    { 30,  31,   8, 126, 126, 126, 126, 126, 126, 126, 126, 126}, // 11
    { 31,   8,   9, 126, 126, 126, 126, 126, 126, 126, 126, 126}, // 12
    { 52,  31,  32,   9,  10, 126, 126, 126, 126, 126, 126, 126}, // 13
    { 52,  31,  32,  33,  10,  11, 126, 126, 126, 126, 126, 126}, // 14
    { 52,  31,  32,  33,  11,  12, 126, 126, 126, 126, 126, 126}, // 15
    { 52,  32,  33,  34,  11,  12,  13, 126, 126, 126, 126, 126}, // 16
    { 52,  32,  33,  34,  12,  13,  14, 126, 126, 126, 126, 126}, // 17
    { 52,  53,  32,  33,  34,  35,  13,  14,  15, 126, 126, 126}, // 18
    { 52,  53,  32,  33,  34,  35,  14,  15, 126, 126, 126, 126}, // 19
    { 52,  53,  33,  34,  35,  36,  15, 126, 126, 126, 126, 126}, // 20
    { 52,  53,  33,  34,  35,  36,  37,  15, 126, 126, 126, 126}, // 21
    { 52,  53,  54,  33,  34,  35,  36,  37, 126, 126, 126, 126}, // 22
    { 52,  53,  54,  55,  35,  36,  37,  38,  39,  40,  41, 126}, // 23
    { 41,  40,  38,  52,  54,  53,  55,  39, 126, 126, 126, 126}, // 24
    {119,  61,  60,  59,  58,  57,  56,  55,  54,  53,  52, 126}, // 25
    { 52,  53,  54,  55,  76,  77,  78, 119, 126, 126, 126, 126}, // 26
    { 52,  53,  62,  75,  97,  98,  99, 100, 118, 126, 126, 126}, // 27
    { 52,  53,  74,  62,  75,  97,  98, 117, 126, 126, 126, 126}, // 28
    { 52,  74,  62,  75,  97, 116, 117, 126, 126, 126, 126, 126}, // 29
    { 52,  74,  62,  75,  97, 115, 116, 126, 126, 126, 126, 126}, // 30
    { 52,  74,  62,  75,  96,  97, 114, 115, 116, 126, 126, 126}, // 31
    { 52,  73,  74,  62,  96, 113, 114, 126, 126, 126, 126, 126}, // 32
    { 52,  73,  74,  62,  96, 112, 113, 126, 126, 126, 126, 126}, // 33
    { 52,  73,  74,  96, 112, 126, 126, 126, 126, 126, 126, 126}, // 34
    { 73,  74, 111, 126, 126, 126, 126, 126, 126, 126, 126, 126}, // 35
    { 73,  95, 110, 111, 126, 126, 126, 126, 126, 126, 126, 126}, // 36
    { 72,  73,  95, 125, 110, 126, 126, 126, 126, 126, 126, 126}, // 37
    { 72,  94, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126}, // 38
    { 72,  94,  93, 109, 126, 126, 126, 126, 126, 126, 126, 126}, // 39
    { 72,  71,  93,  92, 126, 126, 126, 126, 126, 126, 126, 126}, // 40
    { 71,  92, 126, 126, 126, 126, 126, 126, 126, 126, 126, 126}, // 41
    { 50,  71,  70,  92,  91, 108, 126, 126, 126, 126, 126, 126}, // 42
    { 50,  71,  70,  69,  91,  90, 107, 126, 126, 126, 126, 126}, // 43
    { 50,  71,  70,  69,  91,  90,  89, 107, 126, 126, 126, 126}, // 44
    { 50,  71,  70,  69,  68,  90,  89,  88, 107, 106, 126, 126}, // 45
    { 50,  70,  69,  68,  89,  88,  87, 106, 105, 126, 126, 126}, // 46
    { 50,  70,  69,  68,  67,  89,  88,  87,  86, 106, 105, 124}, // 47
    { 50,  49,  69,  68,  67,  66,  65,  87,  86,  85,  84, 126}, // 48
    { 50,  49,  48,  47,  66,  65,  64,  63, 122, 126, 126, 126}, // 49
    {121,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51, 126}, // 50
    { 51,  21,  22,  23,  24,  48,  49,  50, 120, 126, 126, 126}, // 51
}};

// The sequence effect: 20 steps of up to six positions (255 = none), then 16 pairs.
inline constexpr std::array<std::array<uint8_t, 6>, 20> SEQUENCE_ROWS = {{
    {0, 118, 255, 255, 255, 255},  {1, 117, 255, 255, 255, 255}, {2, 116, 255, 255, 255, 255},
    {3, 115, 21, 118, 255, 255},   {4, 114, 22, 100, 255, 255},  {5, 113, 23, 99, 255, 255},
    {6, 112, 24, 98, 42, 119},     {7, 111, 25, 97, 43, 78},     {8, 125, 26, 96, 44, 77},
    {9, 109, 27, 95, 45, 76},      {33, 93, 28, 94, 46, 255},    {54, 71, 29, 93, 47, 75},
    {74, 50, 30, 71, 48, 62},      {95, 30, 31, 50, 49, 74},     {94, 31, 52, 30, 50, 73},
    {93, 32, 72, 31, 51, 72},      {71, 33, 71, 52, 52, 71},     {50, 54, 50, 72, 53, 255},
    {30, 74, 255, 255, 255, 255},  {31, 95, 255, 255, 255, 255},
}};
inline constexpr std::array<std::array<uint8_t, 2>, 16> SEQUENCE_PAIRS = {{
    {30, 95}, {31, 94}, {32, 93}, {33, 71}, {54, 50}, {74, 30}, {95, 31}, {94, 32},
    {93, 33}, {71, 54}, {50, 74}, {51, 73}, {52, 72}, {53, 51}, {73, 52}, {72, 53},
}};

// Step thresholds (counted passes) by speed level 0-4.
enum class TickRow : uint8_t { Frames, Standard, Constant4, Constant5, Flash };
inline constexpr std::array<std::array<uint8_t, 5>, 5> KEY_TICK_ROWS = {{
    {0, 0, 0, 0, 0},     // Frames: the custom frame player runs on every pass
    {6, 5, 4, 3, 2},     // Standard
    {4, 4, 4, 4, 4},     // Constant4
    {5, 5, 5, 5, 5},     // Constant5
    {0, 28, 23, 18, 13}, // Flash
}};

// The row of each key effect 0-27; effects 0, 19, 25 and above 27 play the custom frames.
inline constexpr std::array<TickRow, 28> KEY_EFFECT_ROWS = {
    TickRow::Frames,    TickRow::Standard,  TickRow::Standard,  TickRow::Standard,  TickRow::Standard,
    TickRow::Standard,  TickRow::Standard,  TickRow::Standard,  TickRow::Standard,  TickRow::Standard,
    TickRow::Standard,  TickRow::Standard,  TickRow::Standard,  TickRow::Standard,  TickRow::Standard,
    TickRow::Standard,  TickRow::Constant4, TickRow::Standard,  TickRow::Constant5, TickRow::Frames,
    TickRow::Standard,  TickRow::Standard,  TickRow::Standard,  TickRow::Flash,     TickRow::Standard,
    TickRow::Frames,    TickRow::Flash,     TickRow::Flash};

// Logo and side flash half-periods in units of 100 ms by speed level 0-4.
inline constexpr std::array<uint8_t, 5> ZONE_FLASH_TENTHS = {28, 23, 18, 13, 7};

// The row of a key effect (Frames for numbers without a step of their own).
TickRow RowOfKeyEffect(int effect);
// Passes between two steps of a row at a speed level; a level outside 0-4 steps on every pass.
int TickThreshold(TickRow row, int speed);
// Logo and side flash half-period in milliseconds; levels outside 0-4 give 0 (every step).
uint32_t ZoneFlashPeriodMs(int speed);
// Wave level for the logo's single-colour wave, whose index runs to 127 over the 96-entry
// wave curve: indices 96-127 hold the curve's lowest level (its value at both ends, 22), so
// the wave stays continuous where the index wraps.
uint8_t LogoWaveValue(int index);
// Pulse curve value; indices wrap around the 192 entries.
inline uint8_t PulseValue(int index) { return PULSE_CURVE[std::size_t(((index % 192) + 192) % 192)]; }
// Zone wheel colour; indices wrap around the 128 entries.
inline Rgb ZoneColour(int index) { return ZONE_WHEEL[std::size_t(((index % 128) + 128) % 128)]; }
// Positions on the key-order path (a ring position is used only when it lies on it).
inline constexpr std::array<bool, 126> ON_KEY_ORDER = [] {
    std::array<bool, 126> on{};
    for (int i = 0; i < kOrderedKeys; ++i)
        on[KEY_ORDER[std::size_t(i)]] = true;
    return on;
}();
inline bool InKeyOrder(int position) { return position >= 0 && position < 126 && ON_KEY_ORDER[std::size_t(position)]; }

} // namespace kbfx

} // namespace nq
