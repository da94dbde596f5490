#pragma once
// The functions a key can be given: their kind numbers (the editor's pages), function codes,
// parameter encodings and the fixed choice tables of the editor's combos.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "editors/KeyAssignment.h"

namespace nq {

// Kind numbers: the page of the editor's tab layout and the user data of its function combo.
enum KeyFunctionKind : int {
    kFunctionDefault = 0,
    kFunctionMouseButton = 1,
    kFunctionSwing = 2,
    kFunctionWheel = 3,
    kFunctionDpi = 4,
    kFunctionFire = 5,
    kFunctionKeyboard = 6,
    kFunctionMedia = 7,
    kFunctionSystem = 8,
    kFunctionMacro = 9,
    kFunctionRecoilSwitch = 10,
    kFunctionCombination = 11,
    kFunctionCount = 12,
};

// Function codes of an assignment.
namespace keycode {
inline constexpr uint8_t kNone = 0x00;
inline constexpr uint8_t kMouseButton = 0x10;
inline constexpr uint8_t kSwing = 0x11;
inline constexpr uint8_t kWheel = 0x12;
inline constexpr uint8_t kDpi = 0x13;
inline constexpr uint8_t kFire = 0x14;
inline constexpr uint8_t kDpiShift = 0x16;
inline constexpr uint8_t kKeyboard = 0x20;
inline constexpr uint8_t kShortcut = 0x22;
inline constexpr uint8_t kShowWindow = 0x23;
inline constexpr uint8_t kMedia = 0x30;
inline constexpr uint8_t kSystem = 0x40;
inline constexpr uint8_t kMacro = 0x70;
inline constexpr uint8_t kMacroRepeat = 0x71;
inline constexpr uint8_t kRecoilSwitch = 0x72;
inline constexpr uint8_t kFnKey = 0xA0;
inline constexpr uint8_t kCombination = 0xB0;
inline constexpr uint8_t kMKey = 0xD0;
} // namespace keycode

// One item of a choice combo: the parameters it stands for and its display name (language key).
struct KeyChoice {
    uint8_t param1;
    uint8_t param2;
    const char* name;
};

// "keyset_mousekey_combo", by item position.
inline constexpr std::array<KeyChoice, 5> MOUSE_BUTTON_CHOICES = {{{0x01, 0, "mouse_key_left"},
                                                                   {0x04, 0, "mouse_key_middle"},
                                                                   {0x02, 0, "mouse_key_right"},
                                                                   {0x10, 0, "mouse_key_forward"},
                                                                   {0x08, 0, "mouse_key_back"}}};
// "keyset_mousedpi_combo".
inline constexpr std::array<KeyChoice, 3> DPI_CHOICES = {{{1, 0, "mouse_key_DPI_add"},
                                                          {2, 0, "mouse_key_DPI_sub"},
                                                          {3, 0, "mouse_key_DPI_loop"}}};
// "keyset_system_combo".
inline constexpr std::array<KeyChoice, 3> SYSTEM_CHOICES = {
    {{1, 0, "system_power"}, {2, 0, "system_sleep"}, {4, 0, "system_wake_up"}}};
// "keyset_media_combo": consumer usages, low byte first.
inline constexpr std::array<KeyChoice, 18> MEDIA_CHOICES = {{{0x83, 0x01, "media_text"},
                                                             {0xCD, 0x00, "media_play"},
                                                             {0xB7, 0x00, "media_stop"},
                                                             {0xB6, 0x00, "media_prev"},
                                                             {0xB5, 0x00, "media_next"},
                                                             {0xEA, 0x00, "media_vol_sub"},
                                                             {0xE9, 0x00, "media_vol_add"},
                                                             {0xE2, 0x00, "media_mute"},
                                                             {0x23, 0x02, "web_text"},
                                                             {0x27, 0x02, "web_refresh"},
                                                             {0x26, 0x02, "wed_stop"},
                                                             {0x24, 0x02, "wed_back"},
                                                             {0x25, 0x02, "wed_forward"},
                                                             {0x2A, 0x02, "wed_favorite"},
                                                             {0x21, 0x02, "web_search"},
                                                             {0x94, 0x01, "media_mypc"},
                                                             {0x92, 0x01, "media_calc"},
                                                             {0x8A, 0x01, "media_mail"}}};
// "keyset_combokey_combo": Ctrl plus one key.
inline constexpr std::array<KeyChoice, 11> COMBINATION_CHOICES = {{{0x01, 0x12, "keyboard_key_O"},
                                                                   {0x01, 0x11, "keyboard_key_N"},
                                                                   {0x01, 0x1D, "keyboard_key_Z"},
                                                                   {0x01, 0x16, "keyboard_key_S"},
                                                                   {0x01, 0x06, "keyboard_key_C"},
                                                                   {0x01, 0x1B, "keyboard_key_X"},
                                                                   {0x01, 0x19, "keyboard_key_V"},
                                                                   {0x01, 0x09, "keyboard_key_F"},
                                                                   {0x01, 0x04, "keyboard_key_A"},
                                                                   {0x01, 0x2D, "keyboard_key_-"},
                                                                   {0x01, 0x2E, "keyboard_key_="}}};

// Swing and wheel motions: direction 0/1, delay and speed 0-15, count.
struct KeyMotion {
    int direction = 0;
    int delay = 0;
    int speed = 0;
    int count = 0;
};

class KeyFunction {
public:
    // Builders; each parameter is cut to its field as the device stores it.
    static KeyAssignment Choice(uint8_t code, const KeyChoice& choice);
    static KeyAssignment Swing(const KeyMotion& motion);
    static KeyAssignment Wheel(const KeyMotion& motion);
    static KeyAssignment Fire(int interval, int count);
    // Modifier option 1-4 gives Ctrl, Shift, Alt, Win (left-hand bits); any other option none.
    static KeyAssignment KeyboardKey(int modifierOption, uint8_t usage);
    // Playback mode 0-3 plays the macro (code 0x70); mode 4 repeats it `repeat` times (0x71).
    static KeyAssignment Macro(int number, int mode, int repeat);
    static KeyAssignment RecoilSwitch(int table);

    // Readers.
    static KeyMotion ParseSwing(const KeyAssignment& a);
    static KeyMotion ParseWheel(const KeyAssignment& a);

    // First choice whose parameters are those of the assignment, or -1.
    static int FindChoice(std::span<const KeyChoice> choices, uint8_t param1, uint8_t param2);
    // The modifier bit of option 0-4 (0 for options 0 and outside 1-4).
    static uint8_t ModifierBit(int option);
    // The option of modifier row 0-7 of the key code table: left and right Ctrl, Shift, Alt and
    // Win give 1, 2, 3, 4.
    static int ModifierOptionOfRow(int row) { return ((row + 1) % 5) + ((row + 1) / 5); }

    // An edit's text read as a number: leading decimal digits count, the rest is ignored, an empty
    // or non-numeric text reads 0. Wraps like an unsigned 32-bit value.
    static uint32_t ParseEditNumber(const std::string& text);
};

} // namespace nq
