#pragma once
// A wired mouse: ten buttons in its key map (with their factory assignments), 3 KiB of macro and
// of recoil memory, DPI from 100 in steps of 50 up to slider position 520, four on-board slots of
// 128 bytes (71-byte settings record), seven LEDs.
#include "devsim/firmware/VendorFirmware.h"

namespace nqsim {

class MouseFirmware : public VendorFirmware {
public:
    static constexpr size_t kEntries = 10;
    static constexpr size_t kStride = 128;
    static constexpr size_t kRecordSize = 71;
    static constexpr uint8_t kDpiStep = 50;
    static constexpr uint16_t kMaxDpiSlider = 520;
    static constexpr uint16_t kMinDpi = 100;
    static constexpr uint16_t kFactoryStages[5] = {8, 16, 32, 64, 128}; // 400 to 6400 DPI

    MouseFirmware();

    // Factory key map in slot order, 3 bytes per button (function code, parameter 1, parameter 2).
    static const uint8_t (&FactoryKeymap())[kEntries][3];

protected:
    MouseFirmware(std::string kindName, bool receiver);

private:
    void Factory();
};

} // namespace nqsim
