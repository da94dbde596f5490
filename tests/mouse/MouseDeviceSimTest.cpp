// The mouse device against the simulated mouse over real sockets: what reaches the firmware's
// memory, in which reports, and what comes back.
#include "MouseTestRig.h"

#include "devices/MouseMacroImage.h"
#include "devices/MouseRecoilImage.h"
#include "devices/MouseSettingsBlock.h"
#include "profiles/JsonFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <thread>

using namespace nq;
using nqtest::Bytes;
using nqtest::MouseDataFolders;
using nqtest::SentReport;
using nqtest::SlotStageX;

namespace {

constexpr uint8_t kBegin = 0x01, kEnd = 0x02, kInfo = 0x03, kReadConfig = 0x05, kWriteConfig = 0x06,
                  kReadKeymap = 0x07, kWriteKeymap = 0x09, kWriteMacros = 0x15, kWriteRecoil = 0x17, kLink = 0xAA;

// The firmware's key map in its own slot order.
const Bytes kFactoryKeymap = {0x10, 0x01, 0, 0x10, 0x02, 0, 0x10, 0x04, 0, 0x10, 0x08, 0, 0x10, 0x10, 0,
                              0x13, 0x01, 0, 0x13, 0x02, 0, 0x13, 0x03, 0, 0x16, 0x90, 1, 0xA0, 0x1B, 0};

std::array<uint32_t, 8> LightWords(uint8_t effect, uint8_t brightness, uint8_t speed, uint8_t r, uint8_t g, uint8_t b)
{
    std::array<uint32_t, 8> words{};
    words[0] = effect | (brightness << 8) | (speed << 16);
    words[1] = (r << 8) | (g << 16) | (b << 24);
    return words;
}

} // namespace

class MouseSim : public nqtest::MouseSimTest {};

TEST_F(MouseSim, ConnectionReadsKeyTableButtonMapAndDpiRanges)
{
    Connect();
    mouse->ReadDeviceState();

    // Device information, key table and the number of the on-board slot in use.
    EXPECT_EQ(SentCommands(), (Bytes{kBegin, kInfo, kReadKeymap, kReadConfig, kEnd}));
    EXPECT_EQ(Sent()[2].length, 30); // ten slots of three bytes
    EXPECT_EQ(Sent()[3], (SentReport{kReadConfig, 1, 0}));
    EXPECT_EQ(Bytes(mouse->KeyTableCopy().begin(), mouse->KeyTableCopy().begin() + 30), kFactoryKeymap);
    // Back and forward, and the last two buttons, sit in swapped slots on this board.
    EXPECT_EQ(mouse->KeyIndexMap(), (std::vector<int>{0, 1, 2, 4, 3, 5, 6, 7, 9, 8}));
    EXPECT_EQ(mouse->DpiSliderMaximum(), 520);
    EXPECT_EQ(mouse->DpiEditMaximum(), 520 * 50);
}

TEST_F(MouseSim, FailedReadAtConnectionLeavesMapAndRangesAlone)
{
    Connect();
    Fw({"refuse", "ff", "3"}); // the key map read
    mouse->ReadDeviceState();
    EXPECT_EQ(SentCommands(), (Bytes{kBegin, kInfo, kReadKeymap})); // stops there, no BatchEnd
    EXPECT_EQ(mouse->KeyIndexMap()[3], 126);
    EXPECT_EQ(mouse->DpiSliderMaximum(), 0);
}

TEST_F(MouseSim, SettingsChangesReachTheSlotThroughOneBatch)
{
    Connect();
    mouse->OnConnected();
    mouse->StopLightingThread();
    const int width = 2560, height = 1440;

    struct Change {
        const char* what;
        std::function<void()> apply;
        size_t byte;
        uint8_t expected;
    } changes[] = {
        {"DPI stage 1 X = 300",
         [&] {
             std::vector<DpiStage> stages = mouse->GetDpiStages();
             stages[1].dpiX = 300;
             mouse->SetDpiStages(stages);
         },
         14 + 9 + 2, 300 & 0xFF},
        {"DPI stage 3 disabled",
         [&] {
             std::vector<DpiStage> stages = mouse->GetDpiStages();
             stages[3].active = 0;
             mouse->SetDpiStages(stages);
         },
         14 + 27, 0},
        {"polling rate option 1",
         [&] {
             MouseSystemWords words = mouse->GetSystemWords();
             words.words[2] = MouseSystemWords::Pack(words.WheelLines(), 1);
             mouse->SetSystemWords(words);
         },
         11, 1},
        {"lighting: breathing, speed 1", [&] { mouse->SetLightSetting(LightWords(2, 4, 1, 0, 0, 255)); }, 3, 3},
        {"lighting: custom effect 12", [&] { mouse->SetLightSetting(LightWords(12, 4, 1, 0, 0, 255)); }, 1, 0},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        change.apply();
        mouse->SaveProfile();
        ClearSent();
        EXPECT_EQ(mouse->WriteSettingsToDevice(0, 0, 1, width, height), 1);
        EXPECT_EQ(Sent(), (std::vector<SentReport>{{kBegin, 0, 0}, {kWriteConfig, 56, 0}, {kWriteConfig, 10, 56},
                                                   {kEnd, 0, 0}}));
        const Bytes config = Area("config");
        EXPECT_EQ(config[change.byte], change.expected);

        // The whole written block is what the profile holds.
        MouseSettingsBlock::Inputs in;
        in.stages = mouse->Profile().GetDpiStages();
        in.words = mouse->Profile().GetSystemWords();
        in.activeStage = mouse->Profile().GetActiveStage();
        in.light = mouse->Profile().GetLightInfo();
        in.corrections = mouse->Profile().GetCorrectList();
        in.screenWidth = width;
        in.screenHeight = height;
        const MouseSettingsBlock::Block block = MouseSettingsBlock::Build(in);
        EXPECT_EQ(Bytes(config.begin(), config.begin() + 66), Bytes(block.begin(), block.begin() + 66));
    }
    // The stored profile file carries the last change too.
    const Json::Value saved = ReadJsonFile(mouse->CurrentProfilePath());
    EXPECT_EQ(saved["Device"][0]["DPIStages"]["StageDPIs"][1]["StageDPIX"].asInt(), 300);
    EXPECT_EQ(saved["Device"][0]["ReportStages"]["StageActive"].asInt(), 1);
}

TEST_F(MouseSim, RefusedSettingsWriteIsReported)
{
    Connect();
    mouse->LoadProfile();
    Fw({"refuse", "ff", "2"}); // the first chunk
    EXPECT_EQ(mouse->WriteSettingsToDevice(0, 0, 1, 1920, 1080), kRefusedFF);
    // The batch is still closed.
    EXPECT_EQ(SentCommands(), (Bytes{kBegin, kWriteConfig, kEnd}));
}

TEST_F(MouseSim, OnboardSlotChangeNoticeIsFollowed)
{
    Connect();
    nqtest::RecordingTimerHost timers;
    mouse->SetTimerHost(&timers);
    mouse->LoadProfile();
    ASSERT_TRUE(mouse->OpenNotificationInterface(SimPath("mouse", 1, 3)));
    mouse->Channel().SetLightingSynced(true);

    // Switch the on-board slot on the device: notice 1025.
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the reader's connection is taken
    EXPECT_EQ(Fw({"profile", "2"}), "slot 2");
    ASSERT_TRUE(timers.WaitFor(kTimerDeviceNotice, std::chrono::milliseconds(2000)));

    // The tab's one-shot timer runs the notice step on the UI thread.
    ClearSent();
    mouse->OnDeviceNotice();
    EXPECT_EQ(Sent(), (std::vector<SentReport>{{kReadConfig, 1, 0}, {kReadConfig, 56, 256}, {kReadConfig, 15, 312}}));
    EXPECT_EQ(mouse->OnboardSlot(), 2);
    EXPECT_FALSE(mouse->Channel().LightingSynced());

    const Bytes config = Area("config");
    const Bytes slot2(config.begin() + 256, config.begin() + 256 + 71);
    EXPECT_EQ(mouse->OnboardBlock()[1], slot2[1]);
    EXPECT_EQ(mouse->Engine().Effect(), slot2[1]);
    EXPECT_EQ(mouse->Engine().Speed(), 4 - slot2[3]);
    EXPECT_EQ(mouse->MainLightSetting().Effect(), slot2[1]);
    EXPECT_EQ(mouse->MainLightSetting().Brightness(), slot2[2]);
    EXPECT_EQ(mouse->MainLightSetting().Red(), slot2[6]);
    EXPECT_EQ(mouse->Profile().GetActiveStage(), slot2[12]);
    // Taken into the profile file as well.
    const Json::Value saved = ReadJsonFile(mouse->CurrentProfilePath());
    EXPECT_EQ(saved["Device"][0]["DPIStages"]["StageActive"].asInt(), slot2[12]);
    EXPECT_EQ(saved["Device"][0]["LightInfo"]["SelectItem"].asInt(), slot2[1]);
    mouse->CloseNotificationInterface();
}

TEST_F(MouseSim, KeyAssignmentReachesTheButtonsSlot)
{
    Connect();
    mouse->ReadDeviceState();
    mouse->LoadProfile();
    mouse->SetSelectedKey(3); // forward, kept in slot 4 by the firmware
    KeyEntry entry = mouse->GetKeyTable()[3];
    entry.current.code = 0x20;
    entry.current.param1 = 0x01;
    entry.current.param2 = 0x06;
    mouse->SetSelectedKeyEntry(entry);
    ClearSent();

    EXPECT_EQ(mouse->WriteAssignmentsToDevice(0), 1);
    EXPECT_EQ(SentCommands(), (Bytes{kInfo, kBegin, kWriteKeymap, kEnd}));
    Bytes expected = kFactoryKeymap;
    expected[12] = 0x20, expected[13] = 0x01, expected[14] = 0x06;
    const Bytes keymap = Area("keymap");
    EXPECT_EQ(Bytes(keymap.begin(), keymap.begin() + 30), expected);

    // Only bank 0 exists: nothing is written and the result says why.
    ClearSent();
    EXPECT_EQ(mouse->WriteAssignmentsToDevice(1), kInvalidArgument);
    EXPECT_EQ(SentCommands(), (Bytes{kInfo, kBegin, kEnd}));
}

TEST_F(MouseSim, MacrosReachTheMacroMemory)
{
    Connect();
    mouse->ReadDeviceState();
    folders->WriteMacroList({"one", "missing", "three"});
    MouseDataFolders::WriteEventFile(folders->UserFolder() + "m0.mac", 3, 1);
    MouseDataFolders::WriteEventFile(folders->UserFolder() + "m2.mac", 5, 2);
    ClearSent();

    EXPECT_EQ(mouse->WriteMacrosToDevice(), 0);
    EXPECT_EQ(SentCommands(), (Bytes{kInfo, kBegin, kWriteMacros, kWriteMacros, kEnd}));
    const Bytes expected = MouseMacroImage::Build({MouseMacroImage::ReadEventFile(folders->UserFolder() + "m0.mac"),
                                                   {},
                                                   MouseMacroImage::ReadEventFile(folders->UserFolder() + "m2.mac")});
    ASSERT_EQ(expected.size(), 16u + 18u + 32u);
    const Bytes memory = Area("macros");
    EXPECT_EQ(Bytes(memory.begin(), memory.begin() + expected.size()), expected);
}

TEST_F(MouseSim, MacrosBeyondTheMemoryAreNotSent)
{
    Connect();
    // 3072 bytes of macro memory; 16 + 6 + 4 * 900 = 3622 bytes.
    folders->WriteMacroList({"long"});
    MouseDataFolders::WriteEventFile(folders->UserFolder() + "m0.mac", 900, 1);
    EXPECT_EQ(mouse->WriteMacrosToDevice(), (3622 - 3072) / 4 + 1);
    EXPECT_EQ(SentCommands(), (Bytes{kInfo}));

    // No macros: nothing to write, and nothing is asked (a mouse that does not answer cannot
    // make macros the user does not have fail).
    folders->WriteMacroList({});
    ClearSent();
    EXPECT_EQ(mouse->WriteMacrosToDevice(), 0);
    EXPECT_EQ(SentCommands(), Bytes{});
}

TEST_F(MouseSim, RefusedMacroAndRecoilWritesAreFailures)
{
    Connect();
    folders->WriteMacroList({"one"});
    MouseDataFolders::WriteEventFile(folders->UserFolder() + "m0.mac", 3, 1);
    Fw({"refuse", "ff", "3"}); // the image itself
    EXPECT_EQ(mouse->WriteMacrosToDevice(), kWriteFailed);
    // The recoil write tells its caller too (device information, BatchBegin, the first chunk).
    MouseDataFolders::WriteEventFile(MouseRecoilImage::TablePath(folders->UserFolder(), 0), 6, 3);
    Fw({"refuse", "fe", "3"});
    EXPECT_EQ(mouse->WriteRecoilToDevice(), kRefusedFE);
    EXPECT_EQ(mouse->WriteRecoilToDevice(), kOk);
}

TEST_F(MouseSim, RecoilTablesReachTheRecoilMemory)
{
    Connect();
    MouseDataFolders::WriteEventFile(MouseRecoilImage::TablePath(folders->UserFolder(), 0), 6, 3);
    MouseDataFolders::WriteEventFile(MouseRecoilImage::TablePath(folders->UserFolder(), 2), 12, 4);
    ClearSent();
    mouse->WriteRecoilToDevice();
    EXPECT_EQ(SentCommands(), (Bytes{kInfo, kBegin, kWriteRecoil, kWriteRecoil, kEnd}));
    const Bytes expected = MouseRecoilImage::Build(folders->UserFolder());
    ASSERT_EQ(expected.size(), 16u + 24u + 72u);
    EXPECT_EQ(expected[4], 4); // always four tables, missing ones empty
    const Bytes memory = Area("recoil");
    EXPECT_EQ(Bytes(memory.begin(), memory.begin() + expected.size()), expected);
}

TEST_F(MouseSim, WirelessLinkDownStopsEveryOperationAfterTheQuery)
{
    Connect("rxmouse", "receiver");
    mouse->Channel().SetWirelessLink(true);
    mouse->LoadProfile();
    folders->WriteMacroList({"one"});
    MouseDataFolders::WriteEventFile(folders->UserFolder() + "m0.mac", 3, 1);
    const Bytes configBefore = Area("config");
    ASSERT_EQ(Fw({"link", "off"}), "ok");

    struct Op {
        const char* name;
        std::function<int()> run;
        int expected;
    } ops[] = {
        {"ReadDeviceState", [&] { mouse->ReadDeviceState(); return 0; }, 0},
        {"ReadOnboardSettings", [&] { return mouse->ReadOnboardSettings(); }, 0},
        {"WriteSettingsToDevice", [&] { return mouse->WriteSettingsToDevice(0, 0, 1, 1920, 1080); }, 0},
        {"WriteAssignmentsToDevice", [&] { return mouse->WriteAssignmentsToDevice(0); }, 0},
        {"WriteMacrosToDevice", [&] { return mouse->WriteMacrosToDevice(); }, -1},
        {"WriteRecoilToDevice", [&] { return mouse->WriteRecoilToDevice(); }, 0},
    };
    for (const Op& op : ops) {
        SCOPED_TRACE(op.name);
        ClearSent();
        EXPECT_EQ(op.run(), op.expected);
        EXPECT_EQ(SentCommands(), (Bytes{kLink}));
    }
    EXPECT_EQ(Area("config"), configBefore);
    EXPECT_EQ(mouse->OnboardSlot(), 0);

    // Back in reach: each step of a write asks first.
    ASSERT_EQ(Fw({"link", "on"}), "ok");
    ClearSent();
    EXPECT_EQ(mouse->WriteSettingsToDevice(0, 0, 1, 1920, 1080), 1);
    EXPECT_EQ(SentCommands(), (Bytes{kLink, kBegin, kLink, kWriteConfig, kWriteConfig, kLink, kEnd}));
    ClearSent();
    EXPECT_EQ(mouse->ReadOnboardSettings(), 1);
    EXPECT_EQ(SentCommands(), (Bytes{kLink, kReadConfig, kReadConfig, kReadConfig}));
}

TEST_F(MouseSim, LinkLostInTheMiddleOfAMacroWriteEndsItWithoutBatchEnd)
{
    Connect("rxmouse", "receiver");
    mouse->Channel().SetWirelessLink(true);
    folders->WriteMacroList({"one"});
    MouseDataFolders::WriteEventFile(folders->UserFolder() + "m0.mac", 3, 1);
    // The mouse leaves while the image is sent (reports: query, info, query, begin, query, image).
    Fw({"unplug", "6"});
    const int result = mouse->WriteMacrosToDevice();
    EXPECT_EQ(result, kWriteFailed);
    const Bytes commands = SentCommands();
    EXPECT_TRUE(std::find(commands.begin(), commands.end(), kEnd) == commands.end());
}

TEST_F(MouseSim, StagesAboveTheSensorsHighestDpiAreLoweredBeforeAnythingIsWritten)
{
    // A profile written for a faster sensor: stage 4 at 600 units (30000 DPI), stage 3 Y at 1000.
    Json::Value node = MouseDataFolders::DefaultNode();
    node["DPIStages"]["StageDPIs"][4]["StageDPIX"] = 600;
    node["DPIStages"]["StageDPIs"][3]["StageDPIY"] = 1000;
    WriteUserProfile(node);

    Connect();
    mouse->ReadDeviceState();
    mouse->LoadProfile();
    ASSERT_EQ(mouse->DpiSliderMaximum(), 520);
    EXPECT_EQ(mouse->GetDpiStages()[4].dpiX, 520);
    EXPECT_EQ(mouse->GetDpiStages()[3].dpiY, 520);
    EXPECT_EQ(mouse->GetDpiStages()[3].dpiX, 64); // in range: untouched
    const Json::Value saved = ReadJsonFile(mouse->CurrentProfilePath())["Device"][0]["DPIStages"]["StageDPIs"];
    EXPECT_EQ(saved[4]["StageDPIX"].asInt(), 520);
    EXPECT_EQ(saved[3]["StageDPIY"].asInt(), 520);

    // A stage set above the maximum is stored and sent at the maximum.
    std::vector<DpiStage> stages = mouse->GetDpiStages();
    stages[1].dpiX = 0xFFFF;
    mouse->SetDpiStages(stages);
    EXPECT_EQ(mouse->GetDpiStages()[1].dpiX, 520);
    EXPECT_EQ(mouse->Profile().GetDpiStages()[1].dpiX, 520);
    EXPECT_EQ(mouse->WriteSettingsToDevice(0, 0, 1, 1920, 1080), 1);
    const Bytes config = Area("config");
    EXPECT_EQ(SlotStageX(config, 0, 1), 520);
    EXPECT_EQ(SlotStageX(config, 0, 4), 520);
}

TEST_F(MouseSim, SlotSwitchTakesTheWholeSlotAndEditsStayInIt)
{
    Connect();
    mouse->ReadDeviceState();
    mouse->LoadProfile();
    // Slot 0 gets the profile's settings (report rate 3, active stage 1, stage 0 at 8 units)...
    std::vector<DpiStage> stages = mouse->GetDpiStages();
    stages[0].dpiX = 20;
    mouse->SetDpiStages(stages);
    MouseSystemWords words = mouse->GetSystemWords();
    words.words[2] = MouseSystemWords::Pack(words.WheelLines(), 1);
    mouse->SetSystemWords(words);
    ASSERT_EQ(mouse->WriteSettingsToDevice(0, 0, 1, 1920, 1080), 1);
    const Bytes slot0Before = Area("config");

    // ...slot 2 keeps the factory's (report rate 3, active stage 2, stage 0 at 8 units).
    ASSERT_EQ(Fw({"profile", "2"}), "slot 2");
    mouse->OnDeviceNotice();
    EXPECT_EQ(mouse->OnboardSlot(), 2);
    EXPECT_EQ(mouse->GetDpiStages()[0].dpiX, 8);
    EXPECT_EQ(mouse->GetSystemWords().ReportRateStage(), 3);
    EXPECT_EQ(mouse->GetActiveStage(), 2);
    const Json::Value saved = ReadJsonFile(mouse->CurrentProfilePath())["Device"][0];
    EXPECT_EQ(saved["DPIStages"]["StageDPIs"][0]["StageDPIX"].asInt(), 8);
    EXPECT_EQ(saved["ReportStages"]["StageActive"].asInt(), 3);

    // An edit now goes to slot 2; the mouse stays there and slot 0 keeps what it had.
    stages = mouse->GetDpiStages();
    stages[1].dpiX = 40;
    mouse->SetDpiStages(stages);
    ClearSent();
    ASSERT_EQ(mouse->WriteSettingsToDevice(0, 0, 1, 1920, 1080), 1);
    EXPECT_EQ(Sent(), (std::vector<SentReport>{{kBegin, 0, 0}, {kWriteConfig, 56, 256}, {kWriteConfig, 10, 312}, {kEnd, 0, 0}}));
    const Bytes config = Area("config");
    EXPECT_EQ(config[0], 2);
    EXPECT_EQ(SlotStageX(config, 2, 1), 40);
    EXPECT_EQ(SlotStageX(config, 2, 0), 8);
    EXPECT_EQ(Bytes(config.begin() + 1, config.begin() + 128), Bytes(slot0Before.begin() + 1, slot0Before.begin() + 128));

    // A mouse found on slot 3 at connection is written there too.
    ASSERT_EQ(Fw({"profile", "3"}), "slot 3");
    mouse->ReadDeviceState();
    ASSERT_EQ(mouse->WriteSettingsToDevice(0, 0, 1, 1920, 1080), 1);
    EXPECT_EQ(Area("config")[0], 3);
    EXPECT_EQ(SlotStageX(Area("config"), 3, 1), 40);
}

TEST_F(MouseSim, AProfileForFewerButtonsGetsTheOthersWithTheirFactoryFunction)
{
    Json::Value node = MouseDataFolders::DefaultNode();
    node["KeyList"].resize(7);
    node["KeyList"][3]["Assignment"] = 0x200106; // forward does Ctrl+C
    WriteUserProfile(node);

    Connect();
    mouse->ReadDeviceState();
    mouse->LoadProfile();
    const std::vector<KeyEntry> keys = mouse->GetKeyTable();
    ASSERT_EQ(keys.size(), 10u);
    const uint32_t added[] = {0x130300, 0xA01B00, 0x169001}; // DPI cycle, lighting, DPI shift
    const Json::Value saved = ReadJsonFile(mouse->CurrentProfilePath())["Device"][0]["KeyList"];
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(keys[size_t(7 + k)].current.Packed(), added[k]);
        EXPECT_EQ(keys[size_t(7 + k)].defaults.Packed(), added[k]);
        EXPECT_EQ(saved[7 + k]["DefaultAssignment"].asUInt(), added[k]);
    }
    // What the mouse holds: its table still has forward in forward's slot.
    EXPECT_EQ(mouse->HeldKeyList()[3].current, KeyAssignment::Function(0x10, 0x10, 0));
    EXPECT_EQ(keys[3].current, KeyAssignment::Function(0x20, 0x01, 0x06));

    // The key write reaches all ten buttons' slots.
    ClearSent();
    ASSERT_EQ(mouse->WriteAssignmentsToDevice(0), 1);
    Bytes expected = kFactoryKeymap;
    expected[12] = 0x20, expected[13] = 0x01, expected[14] = 0x06;
    const Bytes keymap = Area("keymap");
    EXPECT_EQ(Bytes(keymap.begin(), keymap.begin() + 30), expected);
    EXPECT_EQ(mouse->HeldKeyList()[3].current, KeyAssignment::Function(0x20, 0x01, 0x06));
}

TEST_F(MouseSim, AButtonSavedWithAnotherFunctionIsStillFoundAfterARestart)
{
    Connect();
    mouse->ReadDeviceState();
    mouse->LoadProfile();
    mouse->SetSelectedKey(3); // forward
    KeyEntry entry = mouse->GetKeyTable()[3];
    entry.current = KeyAssignment::Function(0x20, 0x01, 0x06);
    mouse->SetSelectedKeyEntry(entry);
    ASSERT_EQ(mouse->WriteAssignmentsToDevice(0), 1);
    mouse->SaveProfile();
    mouse->Channel().Close();

    // The program starts again: the mouse's table no longer holds forward's factory function.
    mouse = std::make_unique<CKelvaskMouseDevice>();
    mouse->SetProfileName("profile_a");
    mouse->SetLightConfigName("drovo_light");
    ASSERT_TRUE(mouse->Channel().Open(m_vendorPath));
    mouse->ReadDeviceState();
    mouse->LoadProfile();
    EXPECT_EQ(mouse->KeyIndexMap()[3], 4);
    EXPECT_EQ(mouse->HeldKeyList()[3].current, KeyAssignment::Function(0x20, 0x01, 0x06));

    // Its factory function back: it reaches forward's slot.
    mouse->SetSelectedKey(3);
    entry = mouse->GetKeyTable()[3];
    entry.current = entry.defaults;
    mouse->SetSelectedKeyEntry(entry);
    ASSERT_EQ(mouse->WriteAssignmentsToDevice(0), 1);
    const Bytes keymap = Area("keymap");
    EXPECT_EQ(Bytes(keymap.begin(), keymap.begin() + 30), kFactoryKeymap);
}
