// The keyboard device against the simulated keyboard over real sockets: what it reads at
// connection, what reaches the keyboard's memory, and what comes back on failures.
#include "KeyboardTestRig.h"

#include "devices/KeyColourFrame.h"
#include "devices/KeyboardSettingsBlock.h"
#include "profiles/JsonFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

using namespace nq;
using nqtest::Bytes;
using nqtest::MouseDataFolders;

namespace {

constexpr uint8_t kBegin = 1, kEnd = 2, kInfo = 3, kReadConfig = 5, kWriteConfig = 6, kReadKeymap = 7,
                  kWriteKeymap = 9, kReadKeyIndex = 27;

std::array<uint32_t, 8> Words(const LightSetting& record)
{
    std::array<uint32_t, 8> words{};
    for (int i = 0; i < LightSetting::kSize; ++i)
        words[size_t(i / 4)] |= uint32_t(record[i]) << (8 * (i % 4));
    return words;
}

Bytes Slice(const Bytes& bytes, size_t at, size_t n) { return Bytes(bytes.begin() + at, bytes.begin() + at + n); }

std::vector<uint8_t> Distinct(const std::vector<uint8_t>& commands)
{
    std::vector<uint8_t> out;
    for (uint8_t c : commands)
        if (out.empty() || out.back() != c)
            out.push_back(c);
    return out;
}

} // namespace

class KeyboardSim : public nqtest::KeyboardSimTest {};

TEST_F(KeyboardSim, ConnectionReadsTablesBlockAndProfile)
{
    ConnectKeyboard();
    keyboard->OnConnected();

    const std::vector<uint8_t> commands = Distinct(SentCommands());
    ASSERT_GE(commands.size(), 6u);
    EXPECT_EQ(Bytes(commands.begin(), commands.begin() + 6), (Bytes{kBegin, kInfo, kReadKeymap, kReadKeyIndex, kEnd, kReadConfig}));
    // The factory table puts every key at its own slot with the LED of the same number.
    for (int p : {0, 34, 110, 125}) {
        EXPECT_EQ(keyboard->KeyMaps().positionToSlot[size_t(p)], p);
        EXPECT_EQ(keyboard->KeyMaps().positionToLed[size_t(p)], p);
    }
    EXPECT_EQ(keyboard->KeyMaps().positionToSlot[104], 20); // the second "no key" position

    // On-board profile 0 of the factory memory: wave in azure; logo and side on effect 0.
    EXPECT_EQ(keyboard->LiveBlock()[0], 0);
    EXPECT_EQ(keyboard->LiveBlock()[1], 1);
    EXPECT_EQ(keyboard->LiveBlock()[3], 2);
    EXPECT_EQ(keyboard->GetLightSetting().Blue(), 255);
    EXPECT_EQ(keyboard->GetKeyTable().size(), 126u);
    EXPECT_EQ(keyboard->GetKeyboardSystemWords().PollingRate(), 3); // from the profile
    // The profile file now holds the keyboard's lighting.
    const Json::Value saved = ReadJsonFile(KeyboardFolder() + "profile_k.Json");
    EXPECT_EQ(saved["Device"][0]["LightInfo"]["SelectItem"].asInt(), 1);
}

TEST_F(KeyboardSim, ConnectionStopsAtAShortKeyToLedRead)
{
    ConnectKeyboard();
    // Reports: begin, info, 7 key table chunks, then the key-to-LED read (3 chunks): refuse its second.
    Fw({"refuse", "ff", "11"});
    keyboard->ReadKeyTables();
    EXPECT_EQ(SentCommands().back(), kEnd);
    for (int p = 0; p < 126; ++p) {
        ASSERT_EQ(keyboard->KeyMaps().positionToSlot[size_t(p)], KeyboardKeyPositions::kNone) << p;
        ASSERT_EQ(keyboard->KeyMaps().positionToLed[size_t(p)], KeyboardKeyPositions::kNone) << p;
    }
    // Without the keyboard's table a key table write would wipe the keys: nothing is sent.
    keyboard->LoadProfile();
    const Bytes keymap = Area("keymap");
    ClearSent();
    EXPECT_EQ(keyboard->WriteAssignmentsToDevice(0), kNotOpen);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Area("keymap"), keymap);
}

TEST_F(KeyboardSim, KeyTableWithoutAFactoryAssignmentIsWrittenBackUnchangedThere)
{
    ConnectKeyboard();
    Poke(kWriteKeymap, 0, {0x30, 0xE9, 0x00}); // slot 0 holds volume up instead of Esc
    keyboard->OnConnected();
    ASSERT_EQ(keyboard->KeyMaps().positionToSlot[0], KeyboardKeyPositions::kNone);

    std::vector<KeyEntry> keys = keyboard->GetKeyTable();
    keys[0].current = KeyAssignment::Function(0x20, 0x00, 0x05);  // Esc position: no slot, nothing changes
    keys[64].current = KeyAssignment::Function(0x20, 0x00, 0x05); // "A" becomes "B"
    keyboard->SetKeyTable(keys);
    ClearSent();
    EXPECT_EQ(keyboard->WriteAssignmentsToDevice(0), kOk);

    EXPECT_EQ(Distinct(SentCommands()), (Bytes{kInfo, kBegin, kWriteKeymap, kEnd}));
    const Bytes keymap = Area("keymap");
    EXPECT_EQ(Slice(keymap, 0, 3), (Bytes{0x30, 0xE9, 0x00}));
    EXPECT_EQ(Slice(keymap, 3 * 64, 3), (Bytes{0x20, 0x00, 0x05}));
    EXPECT_EQ(Slice(keymap, 3 * 65, 3), (Bytes{0x20, 0x00, 0x16})); // untouched
}

TEST_F(KeyboardSim, SettingsBlockGoesToProfileZeroFromTheProfile)
{
    ConnectKeyboard();
    keyboard->OnConnected();
    LightSetting main = keyboard->GetLightSetting();
    main[LightSetting::kEffect] = 30;
    main[LightSetting::kSpeed] = 1;
    main[LightSetting::kRed] = 200;
    keyboard->SetLightSetting(Words(main));
    KeyboardSystemWords words = keyboard->GetKeyboardSystemWords();
    words.words[2] = KeyboardSystemWords::Pack(0, 1); // Win lock
    keyboard->SetKeyboardSystemWords(words);
    keyboard->SaveProfile();
    ClearSent();

    EXPECT_EQ(keyboard->WriteSettingsToDevice(0, 0, 1, 0, 0), kOk);
    EXPECT_EQ(Distinct(SentCommands()), (Bytes{kBegin, kWriteConfig, kEnd}));
    const Bytes config = Area("config");
    EXPECT_EQ(config[1], 0);  // effect 30 stored as 0
    EXPECT_EQ(config[3], 3);  // speed level 1
    EXPECT_EQ(config[6], 200);
    EXPECT_EQ(config[21], 1); // Win lock

    // Read back: speed level 1 again.
    keyboard->ReadOnBoardSettings();
    EXPECT_EQ(keyboard->LiveBlock()[3], 1);
    EXPECT_EQ(keyboard->GetKeyboardSystemWords().WinFlag(), 1);
}

TEST_F(KeyboardSim, RefusedOrUnsentWritesReportTheirFailure)
{
    ConnectKeyboard();
    keyboard->OnConnected();
    const Bytes before = Area("config");

    Fw({"refuse", "ff", "2"}); // the block itself, after BatchBegin
    EXPECT_EQ(keyboard->WriteSettingsToDevice(0, 0, 1, 0, 0), kRefusedFF);
    EXPECT_EQ(SentCommands().back(), kEnd); // the batch is still closed
    EXPECT_EQ(Area("config"), before);

    Fw({"refuse", "fe", "3"}); // the key table's first chunk after info and BatchBegin
    EXPECT_EQ(keyboard->WriteAssignmentsToDevice(0), kRefusedFE);

    keyboard->Channel().Close();
    EXPECT_EQ(keyboard->WriteSettingsToDevice(0, 0, 1, 0, 0), kNotOpen);
    EXPECT_EQ(keyboard->WriteAssignmentsToDevice(0), kNotOpen);
}

TEST_F(KeyboardSim, OnBoardProfileSwitchNoticeReadsTheProfileFromItsOffset)
{
    ConnectKeyboard();
    nqtest::RecordingTimerHost timers;
    keyboard->SetTimerHost(&timers);
    keyboard->OnConnected();
    ASSERT_TRUE(keyboard->OpenNotificationInterface(SimPath("keyboard", 1, 3)));
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the reader's connection is taken
    EXPECT_EQ(Fw({"profile", "2"}), "slot 2");
    ASSERT_TRUE(timers.WaitFor(kTimerDeviceNotice, std::chrono::milliseconds(2000)));
    ClearSent();
    keyboard->OnDeviceNotice();

    const std::vector<nqtest::SentReport> sent = Sent();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0].offset, 0);
    EXPECT_EQ(sent[0].length, 1);
    EXPECT_EQ(sent[1].offset, 88);
    EXPECT_EQ(keyboard->PreviousBlock()[0], 0);
    EXPECT_EQ(keyboard->LiveBlock()[0], 2);
    // Profile 2 of the factory memory: blue (its main effect is byte 45 of profile 1, always 0).
    EXPECT_EQ(keyboard->GetLightSetting().Blue(), 255);
    EXPECT_EQ(keyboard->GetLightSetting().Red(), 0);
}

TEST_F(KeyboardSim, ClosedChannelLeavesTheLightingAndProfileAlone)
{
    ConnectKeyboard();
    keyboard->OnConnected();
    const LightSetting before = keyboard->GetLightSetting();
    keyboard->Channel().Close();
    EXPECT_EQ(keyboard->ReadOnBoardSettings(), kNotOpen);
    EXPECT_EQ(keyboard->GetLightSetting(), before);
    EXPECT_EQ(keyboard->Profile().GetLightInfo().Effect(), before.Effect());
}

TEST_F(KeyboardSim, CustomColoursGoOnlyInTheCustomEffectIntoTheGroup)
{
    ConnectKeyboard();
    keyboard->OnConnected();
    keyboard->SetKeyColour(0, MakeLedWord(255, 128, 0, 128));
    ClearSent();
    EXPECT_EQ(keyboard->WriteCustomColours(), kNotOpen); // effect 1: nothing sent
    EXPECT_TRUE(Sent().empty());

    LightSetting main = keyboard->GetLightSetting();
    main[LightSetting::kEffect] = 20;
    main[LightSetting::kRed] = 255, main[LightSetting::kGreen] = 0, main[LightSetting::kBlue] = 0;
    keyboard->SetLightSetting(Words(main));
    keyboard->SetCustomGroup(2);
    keyboard->SetKeyColour(0, MakeLedWord(255, 128, 0, 128));
    EXPECT_EQ(keyboard->WriteCustomColours(), kOk);
    Bytes colours = Area("colours");
    EXPECT_EQ(Slice(colours, 1024, 3), (Bytes{127, 64, 0}));

    // Painting three keys red writes them unscaled and keeps them in the profile's group.
    EXPECT_EQ(keyboard->PaintKeys({22, 23, 24}), kOk);
    colours = Area("colours");
    for (int p : {22, 23, 24})
        EXPECT_EQ(Slice(colours, 1024 + 3 * size_t(p), 3), (Bytes{255, 0, 0})) << p;
    const Json::Value saved = ReadJsonFile(KeyboardFolder() + "profile_k.Json");
    const std::string dump = Sim().Dump("keyboard");
    EXPECT_NE(dump.find(" 22=ff0000 23=ff0000", dump.find("colour group 2:")), std::string::npos) << dump;
    const Json::Value& group = saved["Device"][0]["CustomLightMode"]["LightColorInfo"][2];
    EXPECT_EQ(group[23]["Red"].asInt(), 255);
    EXPECT_EQ(group[23]["Green"].asInt(), 0);
    EXPECT_EQ(saved["Device"][0]["CustomLightMode"]["CustomLightModeGroupIndex"].asInt(), 2);
}

TEST_F(KeyboardSim, MacroImageIsWrittenOrRefusedWhenTooLarge)
{
    ConnectKeyboard();
    folders->WriteMacroList({"one", "two"});
    MouseDataFolders::WriteEventFile(KeyboardFolder() + "m0.mac", 10, 1);
    MouseDataFolders::WriteEventFile(KeyboardFolder() + "m1.mac", 20, 2);
    // The rig writes its macro list into the mouse's folder; the keyboard reads its own.
    std::filesystem::copy_file(folders->UserFolder() + "macro.config", KeyboardFolder() + "macro.config");

    EXPECT_EQ(keyboard->WriteMacrosToDevice(), 0);
    const Bytes macros = Area("macros");
    EXPECT_EQ(Slice(macros, 0, 6), (Bytes{0xAA, 0x55, 148, 0, 2, 0}));
    EXPECT_EQ(Slice(macros, 16, 4), (Bytes{20, 0, 64, 0}));

    // 4096 bytes of macro memory: 16 + 12 + 4 * (10 + 1100) bytes do not fit.
    MouseDataFolders::WriteEventFile(KeyboardFolder() + "m1.mac", 1100, 2);
    ClearSent();
    EXPECT_EQ(keyboard->WriteMacrosToDevice(), (16 + 12 + 4 * 1110 - 4096) / 4 + 1);
    EXPECT_EQ(Distinct(SentCommands()), (Bytes{kInfo}));
}

TEST_F(KeyboardSim, PruneRevertsOnlyKeysOfMacrosBeyondTheList)
{
    ConnectKeyboard();
    keyboard->OnConnected();
    folders->WriteMacroList({"a", "b", "c"});
    std::filesystem::copy_file(folders->UserFolder() + "macro.config", KeyboardFolder() + "macro.config");
    std::vector<KeyEntry> keys = keyboard->GetKeyTable();
    keys[1].current = KeyAssignment::Function(0x70, 3, 0);
    keys[2].current = KeyAssignment::Function(0x70, 2, 0);
    keyboard->SetKeyTable(keys);

    keyboard->PruneAssignments();
    const std::vector<KeyEntry> pruned = keyboard->GetKeyTable();
    EXPECT_EQ(pruned[1].current, pruned[1].defaults);
    EXPECT_EQ(pruned[2].current.code, 0x70);
    EXPECT_EQ(pruned[2].current.param1, 2);
}

TEST_F(KeyboardSim, KeyCountBeyondATransferStopsTheTableReadAndKeepsTheMaps)
{
    ConnectKeyboard();
    keyboard->ReadKeyTables();
    ASSERT_EQ(keyboard->KeyMaps().positionToSlot[0], 0);

    // The memory image starts with 9 bytes, then "info": name length, name, size, bytes.
    const std::string file = folders->Root() + "keyboard.bin";
    ASSERT_TRUE(Sim().SaveMemory("keyboard", file));
    std::fstream image(file, std::ios::in | std::ios::out | std::ios::binary);
    image.seekp(9 + 1 + 4 + 4 + 5);
    image.put(char(171)); // 171 keys: 513 bytes of key table
    image.close();
    ASSERT_TRUE(Sim().LoadMemory("keyboard", file));
    ClearSent();

    keyboard->ReadKeyTables();
    EXPECT_EQ(Distinct(SentCommands()), (Bytes{kBegin, kInfo, kEnd}));
    EXPECT_EQ(keyboard->KeyMaps().positionToSlot[0], 0);
    EXPECT_EQ(keyboard->KeyMaps().positionToLed[125], 125);
}

TEST_F(KeyboardSim, RestoreDefaultsPutsTheDefaultNodeIntoTheCurrentProfile)
{
    ConnectKeyboard();
    keyboard->OnConnected();
    std::vector<KeyEntry> keys = keyboard->GetKeyTable();
    keys[5].current = KeyAssignment::Function(0x20, 0x00, 0x04);
    keyboard->SetKeyTable(keys);
    KeyboardSystemWords words = keyboard->GetKeyboardSystemWords();
    words.words[3] = KeyboardSystemWords::Pack(3, 0);
    keyboard->SetKeyboardSystemWords(words);
    keyboard->SaveProfile();

    keyboard->RestoreDefaults();
    EXPECT_EQ(keyboard->GetKeyTable()[5].current, keyboard->GetKeyTable()[5].defaults);
    EXPECT_EQ(keyboard->GetKeyboardSystemWords().ScanDelay(), 0);
    const Json::Value saved = ReadJsonFile(KeyboardFolder() + "profile_k.Json");
    const Json::Value defaults = ReadJsonFile(folders->DefaultFolder() + "keyboard.Json");
    EXPECT_EQ(saved["Device"][0]["KeyList"], defaults["Device"][0]["KeyList"]);
    EXPECT_EQ(saved["Device"][0]["SystemStages"]["ScanDelay"].asInt(), 0);
}
