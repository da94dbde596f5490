#include "editors/KeyCodeTable.h"

namespace nq {

namespace {

constexpr uint8_t kKey = 0x20;
constexpr uint8_t kMedia = 0x30;
constexpr uint8_t kSystem = 0x40;
constexpr uint8_t kFn = 0xA0;
constexpr uint8_t kMKey = 0xD0;

// An ordinary key: usage in parameter 2.
constexpr KeyCodeRow K(const char* name, uint16_t vk, uint8_t usage, uint8_t scan, bool ext = false)
{
    return {name, vk, kKey, 0, usage, true, scan, ext};
}
// A modifier: its bit in parameter 1.
constexpr KeyCodeRow Mod(const char* name, uint16_t vk, uint8_t bit, uint8_t scan, bool ext)
{
    return {name, vk, kKey, bit, 0, true, scan, ext};
}
// A consumer-page key: usage low and high byte.
constexpr KeyCodeRow Media(const char* name, uint16_t vk, uint16_t usage)
{
    return {name, vk, kMedia, uint8_t(usage & 0xFF), uint8_t(usage >> 8), false, 0, false};
}
constexpr KeyCodeRow Other(const char* name, uint16_t vk, uint8_t code, uint8_t p1, uint8_t p2)
{
    return {name, vk, code, p1, p2, false, 0, false};
}

constexpr std::array<KeyCodeRow, KeyCodeTable::kRowCount> kRows = {{
    // 0-7 modifiers
    Mod("keyboard_key_LCtrl", 0xA2, 0x01, 0x1D, false),
    Mod("keyboard_key_LShift", 0xA0, 0x02, 0x2A, false),
    Mod("keyboard_key_LAlt", 0xA4, 0x04, 0x38, false),
    Mod("keyboard_key_LWin", 0x5B, 0x08, 0x5B, true),
    Mod("keyboard_key_RCtrl", 0xA3, 0x10, 0x1D, true),
    Mod("keyboard_key_RShift", 0xA1, 0x20, 0x36, true),
    Mod("keyboard_key_RAlt", 0xA5, 0x40, 0x38, true),
    Mod("keyboard_key_RWin", 0x5C, 0x80, 0x5C, true),
    // 8-33 letters
    K("keyboard_key_A", 'A', 0x04, 0x1E), K("keyboard_key_B", 'B', 0x05, 0x30),
    K("keyboard_key_C", 'C', 0x06, 0x2E), K("keyboard_key_D", 'D', 0x07, 0x20),
    K("keyboard_key_E", 'E', 0x08, 0x12), K("keyboard_key_F", 'F', 0x09, 0x21),
    K("keyboard_key_G", 'G', 0x0A, 0x22), K("keyboard_key_H", 'H', 0x0B, 0x23),
    K("keyboard_key_I", 'I', 0x0C, 0x17), K("keyboard_key_J", 'J', 0x0D, 0x24),
    K("keyboard_key_K", 'K', 0x0E, 0x25), K("keyboard_key_L", 'L', 0x0F, 0x26),
    K("keyboard_key_M", 'M', 0x10, 0x32), K("keyboard_key_N", 'N', 0x11, 0x31),
    K("keyboard_key_O", 'O', 0x12, 0x18), K("keyboard_key_P", 'P', 0x13, 0x19),
    K("keyboard_key_Q", 'Q', 0x14, 0x10), K("keyboard_key_R", 'R', 0x15, 0x13),
    K("keyboard_key_S", 'S', 0x16, 0x1F), K("keyboard_key_T", 'T', 0x17, 0x14),
    K("keyboard_key_U", 'U', 0x18, 0x16), K("keyboard_key_V", 'V', 0x19, 0x2F),
    K("keyboard_key_W", 'W', 0x1A, 0x11), K("keyboard_key_X", 'X', 0x1B, 0x2D),
    K("keyboard_key_Y", 'Y', 0x1C, 0x15), K("keyboard_key_Z", 'Z', 0x1D, 0x2C),
    // 34-43 digits
    K("keyboard_key_1", '1', 0x1E, 0x02), K("keyboard_key_2", '2', 0x1F, 0x03),
    K("keyboard_key_3", '3', 0x20, 0x04), K("keyboard_key_4", '4', 0x21, 0x05),
    K("keyboard_key_5", '5', 0x22, 0x06), K("keyboard_key_6", '6', 0x23, 0x07),
    K("keyboard_key_7", '7', 0x24, 0x08), K("keyboard_key_8", '8', 0x25, 0x09),
    K("keyboard_key_9", '9', 0x26, 0x0A), K("keyboard_key_0", '0', 0x27, 0x0B),
    // 44-60
    K("keyboard_key_Enter", 0x0D, 0x28, 0x1C), K("keyboard_key_Esc", 0x1B, 0x29, 0x01),
    K("keyboard_key_BackSpace", 0x08, 0x2A, 0x0E), K("keyboard_key_Tab", 0x09, 0x2B, 0x0F),
    K("keyboard_key_Space", 0x20, 0x2C, 0x39), K("keyboard_key_-", 0xBD, 0x2D, 0x0C),
    K("keyboard_key_=", 0xBB, 0x2E, 0x0D), K("keyboard_key_[", 0xDB, 0x2F, 0x1A),
    K("keyboard_key_]", 0xDD, 0x30, 0x1B), K("keyboard_key_xiegang", 0xDC, 0x31, 0x2B),
    K("keyboard_key_;", 0xBA, 0x33, 0x27), K("keyboard_key_'", 0xDE, 0x34, 0x28),
    K("keyboard_key_`", 0xC0, 0x35, 0x29), K("keyboard_key_<", 0xBC, 0x36, 0x33),
    K("keyboard_key_.", 0xBE, 0x37, 0x34), K("keyboard_key_/", 0xBF, 0x38, 0x35),
    K("keyboard_key_Caplk", 0x14, 0x39, 0x3A),
    // 61-72 function keys
    K("keyboard_key_F1", 0x70, 0x3A, 0x3B), K("keyboard_key_F2", 0x71, 0x3B, 0x3C),
    K("keyboard_key_F3", 0x72, 0x3C, 0x3D), K("keyboard_key_F4", 0x73, 0x3D, 0x3E),
    K("keyboard_key_F5", 0x74, 0x3E, 0x3F), K("keyboard_key_F6", 0x75, 0x3F, 0x40),
    K("keyboard_key_F7", 0x76, 0x40, 0x41), K("keyboard_key_F8", 0x77, 0x41, 0x42),
    K("keyboard_key_F9", 0x78, 0x42, 0x43), K("keyboard_key_F10", 0x79, 0x43, 0x44),
    K("keyboard_key_F11", 0x7A, 0x44, 0x57), K("keyboard_key_F12", 0x7B, 0x45, 0x58),
    // 73-85 editing and navigation
    K("keyboard_key_Print Scr", 0x2C, 0x46, 0x37, true),
    K("keyboard_key_Scroll Lock", 0x91, 0x47, 0x46),
    K("keyboard_key_Pause", 0x13, 0x48, 0x45),
    K("keyboard_key_Insert", 0x2D, 0x49, 0x52, true),
    K("keyboard_key_Home", 0x24, 0x4A, 0x47, true),
    K("keyboard_key_Page Up", 0x21, 0x4B, 0x49, true),
    K("keyboard_key_Delete", 0x2E, 0x4C, 0x53, true),
    K("keyboard_key_End", 0x23, 0x4D, 0x4F, true),
    K("keyboard_key_Page Down", 0x22, 0x4E, 0x51, true),
    K("keyboard_key_Right", 0x27, 0x4F, 0x4D, true),
    K("keyboard_key_Left", 0x25, 0x50, 0x4B, true),
    K("keyboard_key_Down", 0x28, 0x51, 0x50, true),
    K("keyboard_key_Up", 0x26, 0x52, 0x48, true),
    // 86-102 keypad
    K("keyboard_key_Num Lock", 0x90, 0x53, 0x45, true),
    K("keyboard_key_Num /", 0x6F, 0x54, 0x35, true),
    K("keyboard_key_Num *", 0x6A, 0x55, 0x37),
    K("keyboard_key_Num -", 0x6D, 0x56, 0x4A),
    K("keyboard_key_Num +", 0x6B, 0x57, 0x4E),
    K("keyboard_key_Num Enter", 0x101, 0x58, 0x1C, true),
    K("keyboard_key_Num 1", 0x61, 0x59, 0x4F), K("keyboard_key_Num 2", 0x62, 0x5A, 0x50),
    K("keyboard_key_Num 3", 0x63, 0x5B, 0x51), K("keyboard_key_Num 4", 0x64, 0x5C, 0x4B),
    K("keyboard_key_Num 5", 0x65, 0x5D, 0x4C), K("keyboard_key_Num 6", 0x66, 0x5E, 0x4D),
    K("keyboard_key_Num 7", 0x67, 0x5F, 0x47), K("keyboard_key_Num 8", 0x68, 0x60, 0x48),
    K("keyboard_key_Num 9", 0x69, 0x61, 0x49), K("keyboard_key_Num 0", 0x60, 0x62, 0x52),
    K("keyboard_key_Decimal", 0x6E, 0x63, 0x53),
    // 103-112 application and international keys
    K("keyboard_key_App", 0x5D, 0x65, 0x5D, true),
    K("keyboard_key_K45", 0xE2, 0x64, 0x56),
    K("keyboard_key_K56", 0xC1, 0x87, 0x73),
    K("keyboard_key_K14", 0xFF, 0x89, 0x7D),
    K("keyboard_key_K107", 0xC2, 0x85, 0x7E),
    K("keyboard_key_K131", 0xEB, 0x8B, 0x7B),
    K("keyboard_key_K132", 0xFF, 0x8A, 0x79),
    K("keyboard_key_K133", 0xFF, 0x88, 0x70),
    K("keyboard_key_K150", 0xE9, 0x91, 0x71),
    K("keyboard_key_K151", 0xFF, 0x90, 0x72),
    // 113: no capture entry
    Other("keyboard_key_K42", 0xBF, kKey, 0, 0x32),
    // 114-131 media keys
    Media("keyboard_key_Launch App2", 0xB7, 0x0192),
    Media("keyboard_key_Browaer Home", 0xAC, 0x0223),
    Media("keyboard_key_Media Play Pause", 0xB3, 0x00CD),
    Media("keyboard_key_Browser Search", 0xAA, 0x0221),
    Media("keyboard_key_Launch Mail", 0xB4, 0x018A),
    Media("keyboard_key_Volume Up", 0xAF, 0x00E9),
    Media("keyboard_key_Volume Mute", 0xAD, 0x00E2),
    Media("keyboard_key_Media Stop", 0xB2, 0x00B7),
    Media("keyboard_key_Volume Down", 0xAE, 0x00EA),
    Media("keyboard_key_Browser Favorites", 0xAB, 0x022A),
    Media("keyboard_key_Browser ForWard", 0xA7, 0x0225),
    Media("keyboard_key_Browser Back", 0xA6, 0x0224),
    Media("keyboard_key_Media Prev Track", 0xB1, 0x00B6),
    Media("keyboard_key_Media Next Track", 0xB0, 0x00B5),
    Media("keyboard_key_Computer", 0xB6, 0x0194),
    Media("keyboard_key_Browser Refresh", 0xA8, 0x0227),
    Media("wed_stop", 0xA9, 0x0226),
    Media("keyboard_key_Launch Media Select", 0xB5, 0x0183),
    // 132-134 system keys
    Other("keyboard_key_Power", 0x103, kSystem, 1, 0),
    Other("keyboard_key_Sleep", 0x104, kSystem, 2, 0),
    Other("keyboard_key_Wakeup", 0x105, kSystem, 4, 0),
    // 135-141 device keys
    Other("keyboard_key_M1", 0, kMKey, 0xA2, 1),
    Other("keyboard_key_M2", 0, kMKey, 0xA2, 2),
    Other("keyboard_key_M3", 0, kMKey, 0xA2, 3),
    Other("keyboard_key_M4", 0, kMKey, 0xA2, 4),
    Other("keyboard_key_M5", 0, kMKey, 0xA2, 5),
    Other("keyboard_key_FN", 0, kFn, 0x01, 0),
    Other("keyboard_key_GM", 0, kFn, 0x1B, 0),
}};
static_assert(kRows[KeyCodeTable::kRowCount - 1].name != nullptr, "every row is filled");

} // namespace

const std::array<KeyCodeRow, KeyCodeTable::kRowCount>& KeyCodeTable::Rows() { return kRows; }

const KeyCodeRow* KeyCodeTable::Row(int index)
{
    return index >= 0 && index < kRowCount ? &kRows[size_t(index)] : nullptr;
}

int KeyCodeTable::FindByParams(uint8_t p1, uint8_t p2)
{
    for (int i = 0; i < kRowCount; ++i) {
        if (kRows[size_t(i)].param1 == p1 && kRows[size_t(i)].param2 == p2)
            return i;
    }
    return -1;
}

int KeyCodeTable::Find(uint8_t code, uint8_t p1, uint8_t p2, int first)
{
    for (int i = first < 0 ? 0 : first; i < kRowCount; ++i) {
        const KeyCodeRow& r = kRows[size_t(i)];
        if (r.code == code && r.param1 == p1 && r.param2 == p2)
            return i;
    }
    return -1;
}

int KeyCodeTable::FindCapture(uint8_t scanCode, bool extended)
{
    for (int i = 0; i < kCaptureRows; ++i) {
        const KeyCodeRow& r = kRows[size_t(i)];
        if (r.scanCode == scanCode && r.extended == extended)
            return i;
    }
    return -1;
}

int KeyCodeTable::FindByVirtualKey(uint16_t vk)
{
    for (int i = 0; i < kRowCount; ++i) {
        if (kRows[size_t(i)].vk == vk)
            return i;
    }
    return -1;
}

std::string KeyCodeTable::Name(int index)
{
    const KeyCodeRow* r = Row(index);
    return r ? std::string(r->name) : std::string();
}

} // namespace nq
