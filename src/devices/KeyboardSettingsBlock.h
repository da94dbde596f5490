#pragma once
// The keyboard's on-board settings block: 46 bytes in configuration memory at on-board profile
// p x 44 (so it reaches two bytes into the next profile's area). Speeds are stored as 4 - level;
// effect numbers of 25 and above are stored as 0.
//
//   0      on-board profile number         19     W flag
//   1-8    key zone: effect, brightness,    20     6-key flag
//          speed, direction, multicolour,   21     Win lock flag
//          red, green, blue                 22     polling rate index
//   9-17   0                                25     scan delay index
//   18     LED mode                         26     custom colour group
//   27-34  logo zone (as bytes 1-8)         36     logo light on/off
//   37-44  side zone (as bytes 1-8)         23, 24, 35, 45: 0
//
// The live block is what the preview effects read: [0] profile number, [1..8] key zone,
// [22..30] logo zone with its on/off byte, [31..38] side zone; speeds as levels, not inverted.
#include "profiles/KeyboardSystemWords.h"
#include "profiles/LightSetting.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace nq {

class KeyboardSettingsBlock {
public:
    static constexpr size_t kSize = 46;
    static constexpr size_t kStride = 44;
    static constexpr size_t kLiveSize = 39;
    static constexpr uint8_t kLastEffect = 24; // 25 and above are written as 0
    using Block = std::array<uint8_t, kSize>;
    using Live = std::array<uint8_t, kLiveSize>;

    struct Inputs {
        uint8_t byte0 = 0;
        KeyboardSystemWords words;
        LightSetting main;  // key zone bytes 0-7 and LED mode 11
        LightSetting logo;  // logo zone bytes 12-19 and on/off 21
        LightSetting st;    // side zone bytes 22-29
        uint8_t customGroup = 0;
    };

    static uint16_t Offset(int profile) { return uint16_t(size_t(profile) * kStride); }
    static Block Build(const Inputs& in);

    // What a block read from the keyboard means: the live block, and the three zones put into the
    // records (main bytes 0-7 and the custom group byte 30; logo bytes 12-19 and 21; St 22-29).
    // `block` byte 0 must already be the profile number.
    struct Read {
        Live live{};
        LightSetting main, logo, st;
        uint8_t wFlag = 0, key6Flag = 0, winFlag = 0;
    };
    static Read Parse(const Block& block, const Live& previousLive, LightSetting main, LightSetting logo,
                      LightSetting st);
};

} // namespace nq
