#include "macros/LinuxInputCodes.h"

#include "macros/MouseEventTable.h"

namespace nq {

bool LinuxInputCodes::ToSet1(uint32_t input, uint8_t& scan, bool& extended)
{
    extended = false;
    // Codes up to 88 are the set-1 codes themselves; the extended keys follow.
    if (input >= 1 && input <= 88) {
        scan = uint8_t(input);
        return true;
    }
    struct Ext {
        uint32_t input;
        uint8_t scan;
        bool ext;
    };
    static constexpr Ext table[] = {
        {96, 0x1C, true},  {97, 0x1D, true},  {98, 0x35, true},  {99, 0x37, true},  {100, 0x38, true},
        {102, 0x47, true}, {103, 0x48, true}, {104, 0x49, true}, {105, 0x4B, true}, {106, 0x4D, true},
        {107, 0x4F, true}, {108, 0x50, true}, {109, 0x51, true}, {110, 0x52, true}, {111, 0x53, true},
        {119, 0x45, false}, {125, 0x5B, true}, {126, 0x5C, true}, {127, 0x5D, true},
    };
    for (const Ext& e : table) {
        if (e.input == input) {
            scan = e.scan;
            extended = e.ext;
            return true;
        }
    }
    return false;
}

bool LinuxInputCodes::ToMouseMessage(uint32_t input, bool down, MouseButtonMessage& out)
{
    using T = MouseEventTable;
    switch (input) {
    case kFirstButton: out = {down ? T::kLeftDown : T::kLeftUp, 0}; return true;
    case kFirstButton + 1: out = {down ? T::kRightDown : T::kRightUp, 0}; return true;
    case kFirstButton + 2: out = {down ? T::kMiddleDown : T::kMiddleUp, 0}; return true;
    case kFirstButton + 3: out = {down ? T::kXDown : T::kXUp, 1}; return true;
    case kFirstButton + 4: out = {down ? T::kXDown : T::kXUp, 2}; return true;
    default: return false;
    }
}

} // namespace nq
