#pragma once
// The mousepad's on-board settings block (also the charging pad's). Byte 0 of the pad's memory is
// the active slot; the block of slot s is read, 46 bytes, at offset 44 * s and written, 21 bytes,
// at offset 64 * s. The program keeps the first 21 bytes of a read:
//
//   0      active slot number (the number read from offset 0)
//   1      lighting effect
//   2      brightness level (0-4)
//   3      speed level, stored on the device as 4 - level (the copy holds the level)
//   4      direction
//   5      multicolour flag
//   6-8    red, green, blue
//   9-20   meaning unknown to the program: carried from the read into the write unchanged
#include "profiles/LightSetting.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace nq {

class MousePadSettingsBlock {
public:
    static constexpr size_t kSize = 21;
    static constexpr size_t kReadSize = 46;
    static constexpr size_t kReadStride = 44;
    static constexpr size_t kWriteStride = 64;
    static constexpr size_t kSpeedByte = 3;
    static constexpr uint8_t kHighestSpeed = 4;

    using Block = std::array<uint8_t, kSize>;

    static size_t ReadOffset(int slot) { return kReadStride * static_cast<size_t>(slot); }
    static size_t WriteOffset(int slot) { return kWriteStride * static_cast<size_t>(slot); }

    // The copy a read gives: the first 21 of the 46 bytes read, byte 0 the slot number read from
    // offset 0, byte 3 turned back into the speed level (4 - byte, modulo 256).
    static Block FromRead(uint8_t slot, const uint8_t* read);
    // The 21 bytes sent: the copy with byte 3 stored the device's way again (4 - level).
    static Block ForWrite(const Block& copy);
    // The copy with the lighting record's effect, brightness, speed, direction, multicolour flag
    // and colour in bytes 1-8; byte 0 and bytes 9-20 stay.
    static Block WithLighting(const Block& copy, const LightSetting& record);
    // The copy's effect number and speed level, which drive the lighting thread.
    static uint8_t Effect(const Block& copy) { return copy[1]; }
    static uint8_t Speed(const Block& copy) { return copy[kSpeedByte]; }
};

} // namespace nq
