// The keyboard's byte images without a device: the on-board block, the key colour frame and the
// position maps built from a key table.
#include "devices/KeyColourFrame.h"
#include "devices/KeyboardKeyPositions.h"
#include "devices/KeyboardSettingsBlock.h"
#include "devices/LightingColourBuffer.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace nq;

namespace {

LightSetting Zone(int zone, std::vector<uint8_t> bytes)
{
    LightSetting record;
    for (size_t i = 0; i < bytes.size(); ++i)
        record[zone + int(i)] = bytes[i];
    return record;
}

KeyboardSettingsBlock::Inputs KnownProfile()
{
    KeyboardSettingsBlock::Inputs in;
    in.main = Zone(LightSetting::kMain, {6, 3, 1, 1, 0, 255, 128, 7});
    in.main[LightSetting::kLedMode] = 2;
    in.logo = Zone(LightSetting::kLogo, {2, 4, 0, 1, 1, 10, 20, 30});
    in.logo[LightSetting::kLogoOnOff] = 1;
    in.st = Zone(LightSetting::kSt, {30, 2, 4, 0, 0, 40, 50, 60});
    in.words.words = {KeyboardSystemWords::Pack(31, 2), KeyboardSystemWords::Pack(1, 3),
                      KeyboardSystemWords::Pack(1, 1), KeyboardSystemWords::Pack(2, 0)};
    in.customGroup = 5;
    return in;
}

} // namespace

TEST(KeyboardSettingsBlock, KnownProfileGivesEveryByteOfTheBlock)
{
    const KeyboardSettingsBlock::Block block = KeyboardSettingsBlock::Build(KnownProfile());
    // Bytes not listed are 0; repeat rate and delay have no place in the block.
    const std::map<size_t, uint8_t> expected = {
        {1, 6},   {2, 3},   {3, 3},   {4, 1},   {5, 0},  {6, 255}, {7, 128}, {8, 7},   // key zone, speed 4 - 1
        {18, 2},  {19, 1},  {20, 1},  {21, 1},  {22, 3}, {25, 2},  {26, 5},            // LED mode, flags, rates, group
        {27, 2},  {28, 4},  {29, 4},  {30, 1},  {31, 1}, {32, 10}, {33, 20}, {34, 30}, // logo zone, speed 4 - 0
        {36, 1},                                                                       // logo light off
        {37, 0},  {38, 2},  {39, 0},  {40, 0},  {41, 0}, {42, 40}, {43, 50}, {44, 60}, // side zone: effect 30 as 0
    };
    for (size_t i = 0; i < block.size(); ++i) {
        const auto it = expected.find(i);
        EXPECT_EQ(block[i], it == expected.end() ? 0 : it->second) << "byte " << i;
    }
}

TEST(KeyboardSettingsBlock, EffectsFromTwentyFiveOnAreWrittenAsZero)
{
    for (const auto& [effect, written] : std::vector<std::pair<int, int>>{{24, 24}, {25, 0}, {27, 0}, {30, 0}, {255, 0}}) {
        KeyboardSettingsBlock::Inputs in;
        in.main[0] = uint8_t(effect);
        in.logo[LightSetting::kLogo] = uint8_t(effect);
        in.st[LightSetting::kSt] = uint8_t(effect);
        const KeyboardSettingsBlock::Block block = KeyboardSettingsBlock::Build(in);
        EXPECT_EQ(block[1], written) << effect;
        EXPECT_EQ(block[27], written) << effect;
        EXPECT_EQ(block[37], written) << effect;
    }
}

TEST(KeyboardSettingsBlock, SpeedsComeBackAsTheLevelsWrittenAndFillRecordsAndLiveBlock)
{
    KeyboardSettingsBlock::Inputs in = KnownProfile();
    in.main[LightSetting::kSpeed] = 1;
    KeyboardSettingsBlock::Block block = KeyboardSettingsBlock::Build(in);
    EXPECT_EQ(block[3], 3);
    block[0] = 2; // read from on-board profile 2
    LightSetting main;
    main[LightSetting::kLedMode] = 9; // bytes the block does not carry are kept
    const KeyboardSettingsBlock::Read read = KeyboardSettingsBlock::Parse(block, {}, main, {}, {});

    EXPECT_EQ(read.live[0], 2);
    EXPECT_EQ(read.live[3], 1);  // key speed level
    EXPECT_EQ(read.live[24], 0); // logo speed level
    EXPECT_EQ(read.live[30], 1); // logo off
    EXPECT_EQ(read.live[33], 4); // side speed level
    EXPECT_EQ(read.main.Speed(), 1);
    EXPECT_EQ(read.main.Red(), 255);
    EXPECT_EQ(read.main[LightSetting::kLedMode], 9);
    EXPECT_EQ(read.main[LightSetting::kCustomGroup], 5);
    EXPECT_EQ(read.logo.Blue(LightSetting::kLogo), 30);
    EXPECT_EQ(read.logo[LightSetting::kLogoOnOff], 1);
    EXPECT_EQ(read.st.Effect(LightSetting::kSt), 0); // 30 was stored as 0
    EXPECT_EQ(read.st.Speed(LightSetting::kSt), 4);
    EXPECT_EQ(std::vector<int>({read.wFlag, read.key6Flag, read.winFlag}), std::vector<int>({1, 1, 1}));
}

TEST(KeyboardSettingsBlock, ProfileOffsetsUseTheStrideOf44)
{
    EXPECT_EQ(KeyboardSettingsBlock::Offset(0), 0);
    EXPECT_EQ(KeyboardSettingsBlock::Offset(3), 132);
}

// ---- key colour frame ----

TEST(KeyColourFrame, PlacesKeysByLedKeepingOnlyTwoBytesOfLed170)
{
    std::array<uint8_t, KeyboardKeyPositions::kPositions> leds;
    leds.fill(KeyboardKeyPositions::kNone);
    leds[5] = 0;
    leds[6] = 169;
    leds[7] = 170;
    leds[8] = 171; // beyond the frame
    const std::map<int, uint32_t> words = {{5, MakeLedWord(1, 2, 3, 255)},
                                           {6, MakeLedWord(4, 5, 6, 255)},
                                           {7, MakeLedWord(7, 8, 9, 255)},
                                           {8, MakeLedWord(10, 11, 12, 255)},
                                           {9, MakeLedWord(200, 200, 200, 255)}}; // no LED
    const auto wordOf = [&](int i) { return words.count(i) ? words.at(i) : 0u; };

    const KeyColourFrame::Frame frame = KeyColourFrame::Build(wordOf, leds, false);
    std::vector<uint8_t> expected(512, 0);
    for (auto [at, value] : std::vector<std::pair<size_t, uint8_t>>{
             {0, 1}, {1, 2}, {2, 3}, {507, 4}, {508, 5}, {509, 6}, {510, 7}, {511, 8}})
        expected[at] = value;
    EXPECT_EQ(std::vector<uint8_t>(frame.begin(), frame.end()), expected);
}

TEST(KeyColourFrame, ScaledFrameAppliesEachWordsLevel)
{
    std::array<uint8_t, KeyboardKeyPositions::kPositions> leds;
    leds.fill(KeyboardKeyPositions::kNone);
    leds[0] = 3;
    const auto wordOf = [](int) { return MakeLedWord(255, 128, 0, 128); };
    const KeyColourFrame::Frame scaled = KeyColourFrame::Build(wordOf, leds, true);
    EXPECT_EQ(std::vector<uint8_t>(scaled.begin() + 9, scaled.begin() + 12), (std::vector<uint8_t>{127, 64, 0}));
    const KeyColourFrame::Frame raw = KeyColourFrame::Build(wordOf, leds, false);
    EXPECT_EQ(std::vector<uint8_t>(raw.begin() + 9, raw.begin() + 12), (std::vector<uint8_t>{255, 128, 0}));
}

// ---- positions of a key table ----

namespace {

// The factory key table in slot order `order` (slot k holds the key of position order[k]).
std::vector<uint8_t> KeyTable(const std::vector<int>& order)
{
    std::vector<uint8_t> table;
    for (int position : order)
        table.insert(table.end(), KeyboardKeyPositions::kRows[size_t(position)].begin(),
                     KeyboardKeyPositions::kRows[size_t(position)].end());
    table.resize(512, 0);
    return table;
}

} // namespace

TEST(KeyboardKeyPositions, FindsEachPositionsFirstSlotAndItsLed)
{
    std::vector<int> order;
    for (int p = 125; p >= 0; --p)
        order.push_back(p); // slots in reverse picture order
    const std::vector<uint8_t> table = KeyTable(order);
    std::vector<uint8_t> leds(512, 0);
    for (int k = 0; k < 126; ++k)
        leds[size_t(k)] = uint8_t(k + 40);

    const KeyboardKeyPositions::Maps maps = KeyboardKeyPositions::Build(table.data(), leds.data(), 126);
    EXPECT_EQ(maps.positionToSlot[0], 125);
    EXPECT_EQ(maps.positionToLed[0], 165);
    EXPECT_EQ(maps.positionToSlot[125], 0);
    // Positions 20 and 104 both hold "no key" (20 00 00): both find the first such slot.
    EXPECT_EQ(maps.positionToSlot[20], 21);
    EXPECT_EQ(maps.positionToSlot[104], 21);
}

TEST(KeyboardKeyPositions, PositionsWithoutTheirKeyOrBeyondTheCountHaveNeitherSlotNorLed)
{
    std::vector<int> order;
    for (int p = 0; p < 126; ++p)
        order.push_back(p);
    std::vector<uint8_t> table = KeyTable(order);
    table[0] = 0x20, table[1] = 0x00, table[2] = 0x2A; // slot 0 no longer holds Esc (20 00 29)
    std::vector<uint8_t> leds(512, 7);

    const KeyboardKeyPositions::Maps maps = KeyboardKeyPositions::Build(table.data(), leds.data(), 100);
    EXPECT_EQ(maps.positionToSlot[0], KeyboardKeyPositions::kNone);
    EXPECT_EQ(maps.positionToLed[0], KeyboardKeyPositions::kNone);
    EXPECT_EQ(maps.positionToSlot[34], 0); // Backspace found in slot 0 first
    EXPECT_EQ(maps.positionToLed[34], 7);
    EXPECT_EQ(maps.positionToSlot[110], KeyboardKeyPositions::kNone); // Fn lies beyond 100 slots
    EXPECT_EQ(maps.positionToLed[99], 7);
    EXPECT_EQ(maps.positionToLed[100], KeyboardKeyPositions::kNone);
}
