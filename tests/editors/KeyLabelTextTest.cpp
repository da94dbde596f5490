// Key label texts of the mouse and keyboard pages.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "editors/KeyLabelText.h"

namespace nq {
namespace {

constexpr auto A = KeyAssignment::Function;

std::string Bracket(const std::string& key) { return "[" + key + "]"; }

const std::vector<std::string> kMacros = {"Macro one", "Macro two"};

TEST(KeyLabelText, MouseTexts)
{
    struct Case {
        KeyAssignment a;
        std::optional<std::string> text;
    } cases[] = {
        {A(0x20, 0, 0x04), "[keyboard_key_A]"},
        {A(0x20, 0x01, 0), "[keyboard_key_LCtrl]"},
        {A(0x20, 0x01, 0x06), "[keyboard_key_LCtrl]+[keyboard_key_C]"},
        {A(0x20, 0x03, 0x06), "[keyboard_key_C]"},
        {A(0x20, 0, 0), "[close_text]"},
        {A(0x00, 0, 0), "[close_text]"},
        {A(0x20, 0, 0xEE), ""},
        {A(0x10, 0x01, 0), "[mouse_key_left]"},
        {A(0x10, 0x10, 0), "[mouse_key_forward]"},
        {A(0x10, 0x20, 0), std::nullopt},
        {A(0x11, 0x12, 0x85), "[mouse_key_right_Swing]"},
        {A(0x11, 0x12, 0x05), "[mouse_key_left_Swing]"},
        {A(0x12, 0, 0xFF), "[mouse_key_down_Swing]"},
        {A(0x12, 0, 0x01), "[mouse_key_up_Swing]"},
        {A(0x13, 3, 0), "[mouse_key_DPI_loop]"},
        {A(0x14, 9, 9), "[mouse_key_fire_key]"},
        {A(0x16, 0, 0), "[mouse_key_DPI_shift]"},
        {A(0x22, 0, 2), "[custem_paste]"},
        {A(0x22, 0, 9), std::nullopt},
        {A(0x23, 5, 0), "[show_window]"},
        {A(0x30, 0xE9, 0x00), "[media_vol_add]"},
        {A(0x30, 0x94, 0x01), "[media_mypc]"},
        {A(0x40, 4, 0), "[system_wake_up]"},
        {A(0x70, 1, 0), "Macro two"},
        {A(0x71, 0, 5), "Macro one"},
        {A(0x70, 2, 0), std::nullopt},
        {A(0x72, 2, 0), "[gun_3_txt]"},
        {A(0x72, 7, 0), std::nullopt},
        {A(0xA0, 0x02, 0), "[mouse_key_smart_key]"},
        {A(0xA0, 0x00, 0), "[close_text]"},
        {A(0xA0, 0x1B, 0), "[keyboard_key_GM]"},
        {A(0xA0, 0x05, 0), std::nullopt},
        {A(0xB0, 0x01, 0x02), std::nullopt},
        {A(0x60, 0, 0), std::nullopt},
        {A(0x55, 0, 0), "关闭"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyLabelText::ForMouse(c.a, kMacros, Bracket), c.text)
            << std::hex << int(c.a.code) << " " << int(c.a.param1) << " " << int(c.a.param2);
}

TEST(KeyLabelText, KeyboardTexts)
{
    struct Case {
        KeyAssignment a;
        std::optional<std::string> text;
    } cases[] = {
        {A(0x20, 0x02, 0x1D), "[keyboard_key_LShift]+[keyboard_key_Z]"},
        {A(0x10, 0x04, 0), "[mouse_key_middle]"},
        {A(0x30, 0x83, 0x01), "[media_text]"},
        {A(0xA0, 0x01, 0), "[keyboard_key_FN]"},
        {A(0xA0, 0x1B, 0), "[keyboard_key_GM]"},
        {A(0xD0, 0xA2, 3), "[keyboard_key_M3]"},
        {A(0xD0, 0x00, 5), "[keyboard_key_M5]"},
        {A(0x70, 0, 0), "Macro one"},
        {A(0xB0, 1, 1), std::nullopt},
        {A(0x15, 0, 0), std::nullopt},
        {A(0x72, 0, 0), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyLabelText::ForKeyboard(c.a, kMacros, Bracket), c.text)
            << std::hex << int(c.a.code) << " " << int(c.a.param1) << " " << int(c.a.param2);
}

} // namespace
} // namespace nq
