#pragma once
// The fifteen mouse events a macro can hold, fixed at build time: for each row the input message
// it stands for, the button value, the type byte (bit 7 "down", low 7 bits the event type) and
// the display name's language key. Rows 0-9 are the buttons (press and release each), 10-13 the
// moves, 14 the wheel. "mouse_text" follows the table and belongs to no row.
#include <array>
#include <cstddef>
#include <cstdint>

namespace nq {

struct MouseEventRow {
    uint16_t message; // the Windows mouse message the row stands for
    uint8_t button;
    uint8_t typeByte;
    const char* name;

    int Type() const { return typeByte & 0x7F; }
    bool Down() const { return (typeByte & 0x80) != 0; }
};

class MouseEventTable {
public:
    static constexpr int kRowCount = 15;
    static constexpr int kButtonRows = 10;  // rows 0-9
    static constexpr int kFirstMoveRow = 10;
    static constexpr int kMoveRows = 4;     // rows 10-13
    static constexpr const char* kMouseText = "mouse_text";

    // The messages of the table.
    static constexpr uint16_t kLeftDown = 0x0201, kLeftUp = 0x0202, kRightDown = 0x0204, kRightUp = 0x0205,
                              kMiddleDown = 0x0207, kMiddleUp = 0x0208, kXDown = 0x020B, kXUp = 0x020C,
                              kWheel = 0x020A;
    static constexpr uint8_t kLeft = 0x01, kRight = 0x02, kMiddle = 0x04, kBack = 0x08, kForward = 0x10;

    static const std::array<MouseEventRow, kRowCount>& Rows();
    static const MouseEventRow* Row(int index);
    // The first of rows 0-9 whose button is `button`, or -1.
    static int FindButton(int button);
    // The first of rows 0-9 with this button and direction, or -1.
    static int FindButton(int button, bool down);
    // The first of rows 10-13 whose type byte is `type` (+ 0x80 for "down"), or -1.
    static int FindMove(int type, bool down);
};

} // namespace nq
