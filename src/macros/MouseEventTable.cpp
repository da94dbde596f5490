#include "macros/MouseEventTable.h"

namespace nq {

const std::array<MouseEventRow, MouseEventTable::kRowCount>& MouseEventTable::Rows()
{
    static const std::array<MouseEventRow, kRowCount> rows = {{
        {kLeftDown, kLeft, 0x81, "mouse_key_left"},
        {kLeftUp, kLeft, 0x01, "mouse_key_left"},
        {kRightDown, kRight, 0x81, "mouse_key_right"},
        {kRightUp, kRight, 0x01, "mouse_key_right"},
        {kMiddleDown, kMiddle, 0x81, "mouse_key_middle"},
        {kMiddleUp, kMiddle, 0x01, "mouse_key_middle"},
        {kXDown, kForward, 0x81, "mouse_key_forward"},
        {kXUp, kForward, 0x01, "mouse_key_forward"},
        {kXDown, kBack, 0x81, "mouse_key_back"},
        {kXUp, kBack, 0x01, "mouse_key_back"},
        {0x0004, 0, 0x84, "mouse_move_to_left_text"},
        {0x0004, 0, 0x04, "mouse_move_to_right_text"},
        {0x0005, 0, 0x85, "mouse_move_to_up_text"},
        {0x0005, 0, 0x05, "mouse_move_to_down_text"},
        {kWheel, 0, 0x00, "mouse_cursor_text"},
    }};
    return rows;
}

const MouseEventRow* MouseEventTable::Row(int index)
{
    return index >= 0 && index < kRowCount ? &Rows()[size_t(index)] : nullptr;
}

int MouseEventTable::FindButton(int button)
{
    for (int i = 0; i < kButtonRows; ++i) {
        if (Rows()[size_t(i)].button == button)
            return i;
    }
    return -1;
}

int MouseEventTable::FindButton(int button, bool down)
{
    for (int i = 0; i < kButtonRows; ++i) {
        if (Rows()[size_t(i)].button == button && Rows()[size_t(i)].Down() == down)
            return i;
    }
    return -1;
}

int MouseEventTable::FindMove(int type, bool down)
{
    const int wanted = type + (down ? 0x80 : 0);
    for (int i = kFirstMoveRow; i < kFirstMoveRow + kMoveRows; ++i) {
        if (Rows()[size_t(i)].typeByte == wanted)
            return i;
    }
    return -1;
}

} // namespace nq
