// The mouse's payloads without a device: settings block, key map, macro and recoil images.
#include "devices/MouseKeyMap.h"
#include "devices/MouseMacroImage.h"
#include "devices/MouseSettingsBlock.h"

#include <json/reader.h>
#include <gtest/gtest.h>

#include <vector>

using namespace nq;

namespace {

using Bytes = std::vector<uint8_t>;

Json::Value Parse(const std::string& text)
{
    Json::Value value;
    Json::Reader().parse(text, value);
    return value;
}

// The firmware keeps the buttons in its own order: back and forward, and the last two, swapped.
const uint8_t kDeviceOrder[10][3] = {
    {0x10, 0x01, 0}, {0x10, 0x02, 0}, {0x10, 0x04, 0}, {0x10, 0x08, 0}, {0x10, 0x10, 0},
    {0x13, 0x01, 0}, {0x13, 0x02, 0}, {0x13, 0x03, 0}, {0x16, 0x90, 1}, {0xA0, 0x1B, 0},
};

KeyEntry Entry(uint16_t index, uint8_t code, uint8_t p1, uint8_t p2)
{
    KeyEntry e;
    e.current = {index, code, p1, p2, 0};
    e.defaults = e.current;
    return e;
}

} // namespace

// ---- macro image ----

TEST(MouseMacroImage, OneMacroOfThreeEvents)
{
    const MouseMacroImage::Events events = {{10, 0x81, 0x01}, {300, 0x01, 0x01}, {0, 0x8A, 0x04}};
    const Bytes image = MouseMacroImage::Build({events});
    const Bytes expected = {
        0xAA, 0x55, 0x22, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // header
        0x12, 0x00,                                                       // offset of block 0
        0x03, 0x00, 0x00, 0x00,                                           // 3 events
        0x0A, 0x00, 0x81, 0x01, 0x2C, 0x01, 0x01, 0x01, 0x00, 0x00, 0x8A, 0x04,
    };
    EXPECT_EQ(image, expected);
}

TEST(MouseMacroImage, OffsetTableAndLengthForSeveralBlocks)
{
    // Three blocks of 2, 0 and 1 events: 16 + 6 * 3 + 4 * 3 = 46 bytes.
    const std::vector<MouseMacroImage::Events> blocks = {{{1, 2, 3}, {4, 5, 6}}, {}, {{7, 8, 9}}};
    const Bytes image = MouseMacroImage::Build(blocks);
    ASSERT_EQ(image.size(), 46u);
    EXPECT_EQ(MouseMacroImage::Length(blocks), 46u);
    EXPECT_EQ(image[2], 46);
    EXPECT_EQ(image[4], 3);
    // Blocks follow the table: 22, 22 + 4 + 8 = 34, 34 + 4 = 38.
    EXPECT_EQ(image[16], 22);
    EXPECT_EQ(image[18], 34);
    EXPECT_EQ(image[20], 38);
    EXPECT_EQ(image[22], 2);
    EXPECT_EQ(image[34], 0);
    EXPECT_EQ(image[38], 1);
    EXPECT_EQ((Bytes{image[42], image[43], image[44], image[45]}), (Bytes{7, 0, 8, 9}));
}

TEST(MouseMacroImage, ImageTooLongForItsLengthFieldIsNotBuilt)
{
    // 16 + 6 + 4 * 16380 = 65542 bytes: the 16-bit length and offsets cannot describe it.
    const std::vector<MouseMacroImage::Events> blocks = {MouseMacroImage::Events(16380)};
    EXPECT_TRUE(MouseMacroImage::Build(blocks).empty());
}

TEST(MouseMacroImage, OverflowCountsEventsTooMany)
{
    struct Case {
        size_t total, capacity;
        int expected;
    } cases[] = {
        {200, 128, 19}, // (200 - 128) / 4 + 1
        {128, 128, 0},  {129, 128, 1}, {131, 128, 1}, {132, 128, 2}, {34, 0, 9}, {22, 2048, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MouseMacroImage::Overflow(c.total, c.capacity), c.expected) << c.total << " in " << c.capacity;
}

TEST(MouseMacroImage, EventsFromFileObjects)
{
    struct Case {
        const char* json;
        MouseMacroEvent expected;
    } cases[] = {
        {R"({"Type": 10, "Button": 4, "Action": "down", "Delay": "25"})", {25, 0x8A, 4}},
        {R"({"Type": 10, "Button": 4, "Action": "up", "Delay": "0"})", {0, 0x0A, 4}},
        {R"({"Type": 1, "Button": 1, "Action": "Down", "Delay": 10})", {10, 0x01, 1}},   // integer delay (recoil files)
        {R"({"Type": 5, "Button": 200, "Action": "down", "Delay": "65535"})", {65535, 0x85, 200}},
        {R"({"Type": 4, "Button": 3, "Action": "up", "Delay": "70000"})", {65535, 0x04, 3}}, // limited, not wrapped
        {R"({"Type": 9, "Button": 2, "Action": "down", "Delay": -5})", {0, 0x89, 2}},
        {R"({"Type": 9, "Button": 2, "Action": "down", "Delay": "abc"})", {0, 0x89, 2}},
        {R"({"Type": 9, "Button": 2})", {0, 0x09, 2}},
        {R"([1, 2])", {0, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MouseMacroImage::EventFromJson(Parse(c.json)), c.expected) << c.json;

    EXPECT_EQ(MouseMacroImage::EventsFromDocument(Parse(R"({"Events": [{"Type": 1}, {"Type": 4}]})")).size(), 2u);
    EXPECT_TRUE(MouseMacroImage::EventsFromDocument(Parse(R"({"Events": 3})")).empty());
    EXPECT_TRUE(MouseMacroImage::ReadEventFile("/nonexistent/x.mac").empty());
}

// ---- settings block ----

TEST(MouseSettingsBlock, BuildsTheWrittenBytes)
{
    MouseSettingsBlock::Inputs in;
    in.light[LightSetting::kEffect] = 2;
    in.light[LightSetting::kBrightness] = 3;
    in.light[LightSetting::kSpeed] = 1;
    in.light[LightSetting::kDirection] = 1;
    in.light[LightSetting::kMultiColour] = 1;
    in.light[LightSetting::kRed] = 0x11;
    in.light[LightSetting::kGreen] = 0x22;
    in.light[LightSetting::kBlue] = 0x33;
    in.light[9] = 0x77; // reserved bytes of the record never reach the block
    in.words.words[2] = MouseSystemWords::Pack(3, 0x0102); // wheel lines 3, report-rate option 0x0102
    in.activeStage = 2;
    in.stages = {{1, 0, 0x0108, 0x0210, 255, 0, 0}, {0, 1, 16, 32, 0, 255, 0}};
    in.corrections = {{8, 4, 0, "off"}, {16, 9, 1, "strong"}, {20, 12, 1, "later"}};
    in.byte0 = 0;
    in.flag = 1;
    in.screenWidth = 2560;
    in.screenHeight = 1440;
    const MouseSettingsBlock::Block b = MouseSettingsBlock::Build(in);

    Bytes expected(71, 0);
    const Bytes head = {0, 2, 3, 3, 1, 1, 0x11, 0x22, 0x33, 0, 0, 0x02, 2, 0};
    std::copy(head.begin(), head.end(), expected.begin());
    const Bytes stages = {1, 0, 0x08, 0x01, 0x10, 0x02, 255, 0, 0, 0, 1, 16, 0, 32, 0, 0, 255, 0};
    std::copy(stages.begin(), stages.end(), expected.begin() + 14); // stages 2-4 absent: zero
    expected[59] = 1;
    expected[60] = 0x00, expected[61] = 0x0A; // 2560
    expected[62] = 0xA0, expected[63] = 0x05; // 1440
    expected[64] = 9, expected[65] = 16;      // first selected correction preset
    EXPECT_EQ(Bytes(b.begin(), b.end()), expected);
}

TEST(MouseSettingsBlock, EffectAndSpeedEdges)
{
    struct Case {
        uint8_t effect, speed;
        uint8_t byte1, byte3;
    } cases[] = {
        {12, 0, 0, 4}, // effects above 8 (custom frames) are written as 0
        {9, 4, 0, 0},
        {8, 2, 8, 2},
        {0, 3, 0, 1},
    };
    for (const Case& c : cases) {
        MouseSettingsBlock::Inputs in;
        in.light[LightSetting::kEffect] = c.effect;
        in.light[LightSetting::kSpeed] = c.speed;
        const MouseSettingsBlock::Block b = MouseSettingsBlock::Build(in);
        EXPECT_EQ(b[1], c.byte1) << int(c.effect);
        EXPECT_EQ(b[3], c.byte3) << int(c.speed);
    }
    // No selected correction preset: both bytes 0.
    MouseSettingsBlock::Inputs in;
    in.corrections = {{8, 4, 0, "a"}};
    const MouseSettingsBlock::Block b = MouseSettingsBlock::Build(in);
    EXPECT_EQ(b[64], 0);
    EXPECT_EQ(b[65], 0);
}

TEST(MouseSettingsBlock, ParsesReadBlockIntoLighting)
{
    MouseSettingsBlock::Block block{};
    const Bytes head = {3, 4, 2, 1, 9, 1, 10, 20, 30, 0x55, 0, 2, 4};
    std::copy(head.begin(), head.end(), block.begin());
    const MouseSettingsBlock::Onboard o = MouseSettingsBlock::Parse(block);
    EXPECT_EQ(o.effect, 4);
    EXPECT_EQ(o.brightness, 2);
    EXPECT_EQ(o.speed, 3); // stored inverted: 4 - 1
    EXPECT_EQ(o.multicolour, 1);
    EXPECT_EQ(o.red, 10);
    EXPECT_EQ(o.green, 20);
    EXPECT_EQ(o.blue, 30);
    EXPECT_EQ(o.activeStage, 4);

    LightSetting light;
    light[LightSetting::kDirection] = 7;
    light[LightSetting::kLedMode] = 5;
    const LightSetting applied = MouseSettingsBlock::ApplyTo(o, light);
    EXPECT_EQ(applied.Effect(), 4);
    EXPECT_EQ(applied.Speed(), 3);
    EXPECT_EQ(applied.Blue(), 30);
    EXPECT_EQ(applied.Direction(), 7); // the block's direction is not taken
    EXPECT_EQ(applied[LightSetting::kLedMode], 5);
}

// ---- key map ----

TEST(MouseKeyMap, FindsButtonsByFactoryAssignment)
{
    uint8_t table[512] = {};
    for (int k = 0; k < 10; ++k)
        std::copy(kDeviceOrder[k], kDeviceOrder[k] + 3, table + 3 * k);
    const std::vector<int> map = MouseKeyMap::BuildKeyIndexMap(table, 10);
    EXPECT_EQ(map, (std::vector<int>{0, 1, 2, 4, 3, 5, 6, 7, 9, 8}));

    // A button present twice maps to its first slot; a missing one stays unmapped.
    uint8_t partial[512] = {};
    std::copy(kDeviceOrder[1], kDeviceOrder[1] + 3, partial + 3 * 2);
    std::copy(kDeviceOrder[1], kDeviceOrder[1] + 3, partial + 3 * 5);
    const std::vector<int> map2 = MouseKeyMap::BuildKeyIndexMap(partial, 12);
    ASSERT_EQ(map2.size(), 12u);
    EXPECT_EQ(map2[1], 2);
    EXPECT_EQ(map2[0], 126);
    EXPECT_EQ(map2[11], 126);

    // A slot beyond the announced count is not looked at.
    const std::vector<int> map3 = MouseKeyMap::BuildKeyIndexMap(partial, 2);
    EXPECT_EQ(map3, std::vector<int>(10, 126));
}

TEST(MouseKeyMap, ButtonsWithAnotherFunctionAreFoundByIt)
{
    // Forward (slot 4) does Ctrl+C and back (slot 3) does volume up on the device.
    uint8_t table[512] = {};
    for (int k = 0; k < 10; ++k)
        std::copy(kDeviceOrder[k], kDeviceOrder[k] + 3, table + 3 * k);
    const uint8_t ctrlC[3] = {0x20, 0x01, 0x06}, volumeUp[3] = {0x30, 0xE9, 0x00};
    std::copy(ctrlC, ctrlC + 3, table + 3 * 4);
    std::copy(volumeUp, volumeUp + 3, table + 3 * 3);
    std::vector<KeyEntry> keys;
    for (uint16_t k = 0; k < 10; ++k)
        keys.push_back(Entry(k, 0x10, 0x01, 0));
    keys[3].current = {3, 0x20, 0x01, 0x06, 0};

    struct Case {
        const char* what;
        KeyAssignment back; // what the profile says back does
        std::vector<int> map;
    } cases[] = {
        // Both found by the profile's functions.
        {"profile agrees", {4, 0x30, 0xE9, 0x00, 0}, {0, 1, 2, 4, 3, 5, 6, 7, 9, 8}},
        // Back is not found by its function, but it is the one button left for the one slot left.
        {"last button and slot pair up", {4, 0x40, 0x01, 0x00, 0}, {0, 1, 2, 4, 3, 5, 6, 7, 9, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        keys[4].current = c.back;
        std::vector<int> map = MouseKeyMap::BuildKeyIndexMap(table, 10);
        ASSERT_EQ(map[3], 126);
        ASSERT_EQ(map[4], 126);
        MouseKeyMap::CompleteKeyIndexMap(table, 10, map, keys);
        EXPECT_EQ(map, c.map);
    }

    // Two buttons left whose functions the table does not hold: no guess.
    keys[3].current = {3, 0x40, 0x02, 0x00, 0};
    keys[4].current = {4, 0x40, 0x01, 0x00, 0};
    std::vector<int> map = MouseKeyMap::BuildKeyIndexMap(table, 10);
    MouseKeyMap::CompleteKeyIndexMap(table, 10, map, keys);
    EXPECT_EQ(map[3], 126);
    EXPECT_EQ(map[4], 126);
}

TEST(MouseKeyMap, TableWithoutFactoryAssignmentsIsWrittenBackUnchanged)
{
    uint8_t table[512];
    for (int i = 0; i < 512; ++i)
        table[i] = static_cast<uint8_t>(0x20 + i % 7);
    const std::vector<int> map = MouseKeyMap::BuildKeyIndexMap(table, 10);
    EXPECT_EQ(map, std::vector<int>(10, 126));
    std::vector<KeyEntry> keys;
    for (uint16_t k = 0; k < 10; ++k)
        keys.push_back(Entry(k, 0x20, 0, 0x04));
    const Bytes out = MouseKeyMap::BuildKeymap(table, 10, map, keys);
    EXPECT_EQ(out, Bytes(table, table + 30));
}

TEST(MouseKeyMap, MappedButtonsTakeTheirCurrentAssignment)
{
    uint8_t table[512] = {};
    for (int k = 0; k < 10; ++k)
        std::copy(kDeviceOrder[k], kDeviceOrder[k] + 3, table + 3 * k);
    const std::vector<int> map = MouseKeyMap::BuildKeyIndexMap(table, 10);
    std::vector<KeyEntry> keys;
    for (uint16_t k = 0; k < 10; ++k)
        keys.push_back(Entry(k, kDeviceOrder[map[k]][0], kDeviceOrder[map[k]][1], kDeviceOrder[map[k]][2]));
    keys[3].current = {3, 0x20, 0x00, 0x06, 0}; // forward becomes the C key
    keys.resize(9);                               // button 9 has no entry: its slot stays as read

    const Bytes out = MouseKeyMap::BuildKeymap(table, 10, map, keys);
    Bytes expected(table, table + 30);
    expected[3 * 4 + 0] = 0x20; // forward lives in slot 4
    expected[3 * 4 + 1] = 0x00;
    expected[3 * 4 + 2] = 0x06;
    EXPECT_EQ(out, expected);

    // A map naming slots outside the table never writes past it.
    const Bytes clipped = MouseKeyMap::BuildKeymap(table, 3, {5, 200, -1, 2}, keys);
    ASSERT_EQ(clipped.size(), 9u);
    EXPECT_EQ(clipped[6], keys[3].current.code);
}
