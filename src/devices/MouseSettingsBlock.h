#pragma once
// The mouse's on-board settings block. The device keeps one 128-byte area per on-board slot
// (slot s at offset 128 * s; byte 0 of the memory is the active slot). A read takes 71 bytes of
// the slot's area, a write sends the first 66.
//
//   0      active slot (written as the caller's byte-0 argument)
//   1      lighting effect (effects above 8 are written as 0)
//   2      brightness level
//   3      speed level, stored as 4 - level
//   4      direction
//   5      multicolour flag
//   6-8    red, green, blue
//   9-10   reserved (0)
//   11     report-rate option
//   12     active DPI stage
//   13     reserved (0)
//   14-58  five DPI stages of 9 bytes: enabled, X/Y flag, X (LE), Y (LE), red, green, blue
//   59     flag argument
//   60-63  screen width and height in pixels (LE)
//   64-65  correction minimum square and pixel threshold of the first selected preset
//   66-70  read only
#include "profiles/CorrectEntry.h"
#include "profiles/DpiStage.h"
#include "profiles/LightSetting.h"
#include "profiles/MouseSystemWords.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace nq {

class MouseSettingsBlock {
public:
    static constexpr size_t kReadSize = 71;
    static constexpr size_t kWriteSize = 66;
    static constexpr size_t kSlotStride = 128;
    static constexpr int kStages = 5;
    static constexpr size_t kStageBytes = 9;
    static constexpr size_t kFirstStage = 14;
    static constexpr uint8_t kMaxEffect = 8;

    using Block = std::array<uint8_t, kReadSize>;

    // What the block is built from.
    struct Inputs {
        std::vector<DpiStage> stages;
        MouseSystemWords words;
        int activeStage = 0;
        LightSetting light;
        std::vector<CorrectEntry> corrections;
        uint8_t byte0 = 0;
        uint8_t flag = 1;
        uint16_t screenWidth = 0;
        uint16_t screenHeight = 0;
    };

    // The lighting values, report rate and DPI stages a read block gives.
    struct Onboard {
        uint8_t effect = 0;
        uint8_t brightness = 0;
        uint8_t speed = 0;       // 4 - stored byte
        uint8_t multicolour = 0;
        uint8_t red = 0;
        uint8_t green = 0;
        uint8_t blue = 0;
        uint8_t activeStage = 0;
        uint8_t reportRate = 0;
        std::array<DpiStage, kStages> stages{};
    };

    // The 71-byte block (bytes 66-70 zero); the first kWriteSize bytes are what is written.
    static Block Build(const Inputs& in);
    // The values of a block read from the device.
    static Onboard Parse(const Block& block);
    // `light` with its main-zone effect, brightness, speed, multicolour and colour replaced by the
    // on-board values (direction and the other bytes stay).
    static LightSetting ApplyTo(const Onboard& onboard, LightSetting light);
    // DPI stage i (0-4) as the block holds it.
    static DpiStage StageOf(const Block& block, int i);
    // The screen size (width, height) the block holds.
    static std::pair<int, int> ScreenSizeOf(const Block& block);
    // True when the two blocks agree in bytes [first, last].
    static bool SameBytes(const Block& a, const Block& b, size_t first, size_t last);
    // The bytes of the lighting fields (1-8) and of DPI stage i.
    static constexpr size_t kFirstLightByte = 1, kLastLightByte = 8;
    static constexpr size_t kReportRateByte = 11, kActiveStageByte = 12;
    static constexpr size_t kScreenWidthByte = 60, kScreenHeightByte = 62;
    static constexpr size_t kLastStageByte = kFirstStage + kStages * kStageBytes - 1;
    static constexpr size_t StageStart(int i) { return kFirstStage + kStageBytes * static_cast<size_t>(i); }
    // Offset of slot `slot`'s area in the device's configuration memory.
    static uint16_t SlotOffset(int slot) { return static_cast<uint16_t>(kSlotStride * static_cast<unsigned>(slot)); }
};

} // namespace nq
