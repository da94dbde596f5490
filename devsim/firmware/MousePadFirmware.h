#pragma once
// A lit mousepad: fifteen LEDs, four on-board slots whose 46-byte records are read at a stride
// of 44 (and written, 21 bytes, at a stride of 64), no keys and no macros.
#include "devsim/firmware/VendorFirmware.h"

namespace nqsim {

class MousePadFirmware : public VendorFirmware {
public:
    static constexpr size_t kReadStride = 44;
    static constexpr size_t kWriteStride = 64;

    MousePadFirmware();

protected:
    // For the pad kinds that share this memory layout (the charging pad, the headset).
    MousePadFirmware(std::string kindName, int kind, size_t ledCount);
};

} // namespace nqsim
