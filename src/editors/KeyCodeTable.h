#pragma once
// The 142 keys that an assignment can name: modifiers, ordinary keys, media and system keys, the
// M keys and Fn / Game-mode keys. Shared by the key assignment editor, the macro editor, macro
// recording and the key labels of the device pages.
#include <array>
#include <cstdint>
#include <string>

#include "editors/KeyAssignment.h"

namespace nq {

struct KeyCodeRow {
    const char* name;  // language key of the display name
    uint16_t vk;       // Windows virtual-key code (0 for the device-only keys)
    uint8_t code;      // function code of the assignment
    uint8_t param1;
    uint8_t param2;
    bool capturable;   // rows 0-112: a captured key press is recognised by scan code and flag
    uint8_t scanCode;  // set-1 make code
    bool extended;

    KeyAssignment Assignment() const { return KeyAssignment::Function(code, param1, param2); }
};

class KeyCodeTable {
public:
    static constexpr int kRowCount = 142;
    static constexpr int kModifierRows = 8;     // rows 0-7
    static constexpr int kCaptureRows = 113;    // rows 0-112

    static const std::array<KeyCodeRow, kRowCount>& Rows();
    // The row, or nullptr outside 0..141.
    static const KeyCodeRow* Row(int index);

    // First row whose parameters are p1 and p2 (any code), or -1.
    static int FindByParams(uint8_t p1, uint8_t p2);
    // First row from `first` on with the given code and parameters, or -1.
    static int Find(uint8_t code, uint8_t p1, uint8_t p2, int first = 0);
    // First capture row (0-112) with this scan code and extended flag, or -1.
    static int FindCapture(uint8_t scanCode, bool extended);
    // First row with this virtual-key code, or -1.
    static int FindByVirtualKey(uint16_t vk);
    // The row's display name, or an empty text.
    static std::string Name(int index);
};

} // namespace nq
