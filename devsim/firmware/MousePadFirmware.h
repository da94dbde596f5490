#pragma once
// A lit mousepad: fifteen LEDs, four on-board slots whose 46-byte records are read at a stride
// of 44 (and written, 21 bytes, at a stride of 64), no keys and no macros.
//
// Byte 0 of the configuration memory is the active slot; slot s's record starts at 44 * s, so
// slot 0's record begins with the active slot number. A settings write must be exactly the 21
// record bytes at 64 * s (s = 0..3) and name an existing slot in its byte 0: the write sets the
// active slot from byte 0 and stores bytes 1-20 in slot s's record. Any other configuration write
// is refused and changes nothing.
#include "devsim/firmware/VendorFirmware.h"

namespace nqsim {

class MousePadFirmware : public VendorFirmware {
public:
    static constexpr size_t kReadStride = 44;
    static constexpr size_t kWriteStride = 64;
    static constexpr size_t kRecordSize = 46;
    static constexpr size_t kWriteSize = 21;

    MousePadFirmware();

protected:
    // For the pad kinds that share this memory layout (the charging pad, the headset).
    MousePadFirmware(std::string kindName, int kind, size_t ledCount);

    bool WriteConfig(size_t offset, size_t length, const uint8_t* data) override;
};

} // namespace nqsim
