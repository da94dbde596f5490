#pragma once
// The kernel's input codes (evdev; the X server's key codes are these plus 8) turned into what
// the key code table and the mouse event table know: set-1 make codes with their extended flag,
// and mouse button messages. Key capture and macro recording, in the window and from evdev,
// share these.
#include <cstdint>

namespace nq {

struct MouseButtonMessage {
    uint16_t message = 0; // 0x0201-0x020C
    int xButton = 0;      // 1 back, 2 forward for the X messages
};

class LinuxInputCodes {
public:
    static constexpr uint16_t kFirstButton = 0x110; // BTN_LEFT
    static constexpr uint16_t kCapsLock = 58, kNumLock = 69, kScrollLock = 70;

    // The set-1 make code and extended flag of a key; false for keys without one.
    static bool ToSet1(uint32_t inputCode, uint8_t& scan, bool& extended);
    // The message of a mouse button (BTN_LEFT, BTN_RIGHT, BTN_MIDDLE, BTN_SIDE back, BTN_EXTRA
    // forward) pressed or released; false for other codes.
    static bool ToMouseMessage(uint32_t inputCode, bool down, MouseButtonMessage& out);
    // The lock keys pass on to the other programs while keys are captured.
    static bool IsLockKey(uint32_t inputCode)
    {
        return inputCode == kCapsLock || inputCode == kNumLock || inputCode == kScrollLock;
    }
};

} // namespace nq
