// The key code table, the function encodings, the assignment record and the left-click guard.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "editors/KeyClickGuard.h"
#include "editors/KeyCodeTable.h"
#include "editors/KeyFunction.h"

namespace nq {
namespace {

constexpr auto A = KeyAssignment::Function;

TEST(KeyCodeTable, RowsAsTabled)
{
    struct Case {
        int row;
        std::string name;
        uint16_t vk;
        uint8_t code, p1, p2;
        bool capturable;
        uint8_t scan;
        bool extended;
    } cases[] = {
        {0, "keyboard_key_LCtrl", 0xA2, 0x20, 0x01, 0, true, 0x1D, false},
        {3, "keyboard_key_LWin", 0x5B, 0x20, 0x08, 0, true, 0x5B, true},
        {6, "keyboard_key_RAlt", 0xA5, 0x20, 0x40, 0, true, 0x38, true},
        {7, "keyboard_key_RWin", 0x5C, 0x20, 0x80, 0, true, 0x5C, true},
        {8, "keyboard_key_A", 0x41, 0x20, 0, 0x04, true, 0x1E, false},
        {33, "keyboard_key_Z", 0x5A, 0x20, 0, 0x1D, true, 0x2C, false},
        {34, "keyboard_key_1", 0x31, 0x20, 0, 0x1E, true, 0x02, false},
        {43, "keyboard_key_0", 0x30, 0x20, 0, 0x27, true, 0x0B, false},
        {53, "keyboard_key_xiegang", 0xDC, 0x20, 0, 0x31, true, 0x2B, false},
        {60, "keyboard_key_Caplk", 0x14, 0x20, 0, 0x39, true, 0x3A, false},
        {72, "keyboard_key_F12", 0x7B, 0x20, 0, 0x45, true, 0x58, false},
        {73, "keyboard_key_Print Scr", 0x2C, 0x20, 0, 0x46, true, 0x37, true},
        {75, "keyboard_key_Pause", 0x13, 0x20, 0, 0x48, true, 0x45, false},
        {85, "keyboard_key_Up", 0x26, 0x20, 0, 0x52, true, 0x48, true},
        {86, "keyboard_key_Num Lock", 0x90, 0x20, 0, 0x53, true, 0x45, true},
        {91, "keyboard_key_Num Enter", 0x101, 0x20, 0, 0x58, true, 0x1C, true},
        {101, "keyboard_key_Num 0", 0x60, 0x20, 0, 0x62, true, 0x52, false},
        {103, "keyboard_key_App", 0x5D, 0x20, 0, 0x65, true, 0x5D, true},
        {112, "keyboard_key_K151", 0xFF, 0x20, 0, 0x90, true, 0x72, false},
        {113, "keyboard_key_K42", 0xBF, 0x20, 0, 0x32, false, 0, false},
        {114, "keyboard_key_Launch App2", 0xB7, 0x30, 0x92, 0x01, false, 0, false},
        {130, "wed_stop", 0xA9, 0x30, 0x26, 0x02, false, 0, false},
        {131, "keyboard_key_Launch Media Select", 0xB5, 0x30, 0x83, 0x01, false, 0, false},
        {134, "keyboard_key_Wakeup", 0x105, 0x40, 4, 0, false, 0, false},
        {135, "keyboard_key_M1", 0, 0xD0, 0xA2, 1, false, 0, false},
        {139, "keyboard_key_M5", 0, 0xD0, 0xA2, 5, false, 0, false},
        {140, "keyboard_key_FN", 0, 0xA0, 0x01, 0, false, 0, false},
        {141, "keyboard_key_GM", 0, 0xA0, 0x1B, 0, false, 0, false},
    };
    for (const Case& c : cases) {
        const KeyCodeRow* r = KeyCodeTable::Row(c.row);
        ASSERT_NE(r, nullptr) << c.row;
        EXPECT_EQ(r->name, c.name) << c.row;
        EXPECT_EQ(r->vk, c.vk) << c.name;
        EXPECT_EQ(r->Assignment(), A(c.code, c.p1, c.p2)) << c.name;
        EXPECT_EQ(r->capturable, c.capturable) << c.name;
        EXPECT_EQ(r->scanCode, c.scan) << c.name;
        EXPECT_EQ(r->extended, c.extended) << c.name;
    }
    EXPECT_EQ(KeyCodeTable::Row(142), nullptr);
    EXPECT_EQ(KeyCodeTable::Row(-1), nullptr);
}

TEST(KeyCodeTable, CaptureEntriesAndKeysAreUnambiguous)
{
    std::set<std::string> names;
    for (int i = 0; i < KeyCodeTable::kRowCount; ++i) {
        const KeyCodeRow& r = *KeyCodeTable::Row(i);
        ASSERT_NE(r.name, nullptr) << i;
        names.insert(r.name);
        EXPECT_EQ(r.capturable, i < KeyCodeTable::kCaptureRows) << r.name;
        if (r.capturable) {
            EXPECT_EQ(KeyCodeTable::FindCapture(r.scanCode, r.extended), i) << r.name;
        }
        if (i >= 8 && i <= 113) {
            EXPECT_EQ(KeyCodeTable::Find(0x20, 0, r.param2), i) << r.name;
        }
    }
    EXPECT_EQ(names.size(), size_t(KeyCodeTable::kRowCount));
    EXPECT_EQ(KeyCodeTable::FindCapture(0x7F, false), -1);
    EXPECT_EQ(KeyCodeTable::FindByVirtualKey(0xBF), 59); // "/" comes before the K42 key
}

TEST(KeyFunction, EncodingsCutToTheirFieldsAndReadBack)
{
    struct Case {
        const char* name;
        KeyAssignment built;
        KeyAssignment expected;
    } cases[] = {
        {"swing delay 20 keeps its low four bits", KeyFunction::Swing({0, 20, 3, 5}), A(0x11, 0x43, 5)},
        {"swing count 200 is 72", KeyFunction::Swing({1, 1, 2, 200}), A(0x11, 0x12, 72 + 0x80)},
        {"wheel down count 1", KeyFunction::Wheel({1, 0, 0, 1}), A(0x12, 0, 0xFF)},
        {"wheel down count 0", KeyFunction::Wheel({1, 0, 0, 0}), A(0x12, 0, 0x80)},
        {"wheel up", KeyFunction::Wheel({0, 15, 15, 130}), A(0x12, 0xFF, 2)},
        {"fire", KeyFunction::Fire(300, 7), A(0x14, 44, 7)},
        {"keyboard key with Alt", KeyFunction::KeyboardKey(3, 0x04), A(0x20, 0x04, 0x04)},
        {"keyboard key, option 0", KeyFunction::KeyboardKey(0, 0x2C), A(0x20, 0, 0x2C)},
        {"macro", KeyFunction::Macro(2, 3, 9), A(0x70, 2, 3)},
        {"macro repeated", KeyFunction::Macro(2, 4, 9), A(0x71, 2, 9)},
        {"recoil switch", KeyFunction::RecoilSwitch(3), A(0x72, 3, 0)},
        {"media", KeyFunction::Choice(0x30, MEDIA_CHOICES[0]), A(0x30, 0x83, 0x01)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.built, c.expected) << c.name;

    const KeyMotion down1 = KeyFunction::ParseWheel(A(0x12, 0x35, 0xFF));
    EXPECT_EQ(down1.direction, 1);
    EXPECT_EQ(down1.count, 1);
    EXPECT_EQ(down1.delay, 3);
    EXPECT_EQ(down1.speed, 5);
    EXPECT_EQ(KeyFunction::ParseWheel(A(0x12, 0, 0x80)).count, 128);
    const KeyMotion swing = KeyFunction::ParseSwing(A(0x11, 0x43, 0xC8));
    EXPECT_EQ(swing.direction, 1);
    EXPECT_EQ(swing.count, 72);

    for (int row = 0; row < 8; ++row)
        EXPECT_EQ(KeyFunction::ModifierOptionOfRow(row), row % 4 + 1) << row;
    EXPECT_EQ(KeyFunction::ModifierBit(4), 0x08);
    EXPECT_EQ(KeyFunction::ModifierBit(5), 0);

    EXPECT_EQ(KeyFunction::ParseEditNumber("12abc"), 12u);
    EXPECT_EQ(KeyFunction::ParseEditNumber(""), 0u);
    EXPECT_EQ(KeyFunction::ParseEditNumber("x5"), 0u);
    EXPECT_EQ(KeyFunction::ParseEditNumber("-5"), 0u);
    EXPECT_EQ(KeyFunction::ParseEditNumber("007"), 7u);
}

TEST(KeyAssignment, EqualityIgnoresKeyIndexAndReserved)
{
    KeyAssignment a = A(0x10, 1, 0);
    KeyAssignment b = a;
    b.keyIndex = 7;
    b.reserved = 0x55;
    EXPECT_EQ(a, b);
    b.param2 = 1;
    EXPECT_FALSE(a == b);

    const KeyAssignment packed = KeyAssignment::FromPacked(3, 0x200104);
    EXPECT_EQ(packed, A(0x20, 0x01, 0x04));
    EXPECT_EQ(packed.keyIndex, 3);
    EXPECT_EQ(packed.Packed(), 0x200104u);

    KeyEntry e1{A(0x10, 1, 0), A(0x10, 2, 0)};
    KeyEntry e2 = e1;
    e2.current.keyIndex = 9;
    EXPECT_EQ(e1, e2);
}

TEST(KeyClickGuard, KeepsOneLeftClickOnAMouse)
{
    const KeyAssignment left = KeyClickGuard::LeftClick();
    std::vector<KeyEntry> keys = {{left, left}, {A(0x10, 2, 0), A(0x10, 2, 0)}, {A(0x20, 0, 4), left}};
    EXPECT_TRUE(KeyClickGuard::Refuses(2, keys, 0));  // the only left click
    EXPECT_FALSE(KeyClickGuard::Refuses(2, keys, 1)); // another key
    EXPECT_FALSE(KeyClickGuard::Refuses(1, keys, 0)); // keyboards are never guarded
    EXPECT_FALSE(KeyClickGuard::Refuses(2, keys, 3)); // no such key
    EXPECT_FALSE(KeyClickGuard::Refuses(2, keys, -1));

    keys[2].current = left; // a second key now clicks left
    keys[2].current.keyIndex = 2;
    EXPECT_FALSE(KeyClickGuard::Refuses(2, keys, 0));
    EXPECT_FALSE(KeyClickGuard::Refuses(2, keys, 2));
    EXPECT_STREQ(KeyClickGuard::kMessageKey, "message_text_6");
}

} // namespace
} // namespace nq
