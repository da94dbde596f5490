#pragma once
// The keyboard: 126 key slots (factory key map in the order of the keyboard picture, each key's LED
// number equal to its slot), 4 KiB of macro memory, eight 512-byte per-key colour slots, four
// on-board profiles of 46 bytes at a stride of 44, host-lighting mode.
#include "devsim/firmware/VendorFirmware.h"

namespace nqsim {

class KeyboardFirmware : public VendorFirmware {
public:
    static constexpr size_t kEntries = 126;
    static constexpr size_t kStride = 44;
    static constexpr size_t kRecordSize = 46;
    static constexpr size_t kColourSlots = 8;

    KeyboardFirmware();

    // What the keyboard holds, decoded (current profile, each profile's key, logo and side zones,
    // its flags and custom colour group, the lit keys of each colour group), then the raw memory.
    std::string DumpMemory() const override;

private:
    void Factory();
};

} // namespace nqsim
