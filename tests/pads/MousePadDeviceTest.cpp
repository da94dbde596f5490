// The mousepad and the charging pad against their simulated firmware: the on-board block read and
// written with its inverted speed and the bytes the program carries, slots, lighting from the
// profile, per-LED records, the status poll and a closed channel.
#include "PadTestRig.h"

#include "devices/EffectTables.h"
#include "devices/MousePadSettingsBlock.h"
#include "profiles/JsonFile.h"
#include "spine/FakePage.h"

#include <gtest/gtest.h>

namespace nqtest {
namespace {

using nq::CKelvaskMousePadDevice;
using nq::LightSetting;
using nq::MousePadSettingsBlock;
using Outcome = CKelvaskMousePadDevice::WriteOutcome;

// A block as the pad holds it: slot 0, the lighting bytes, and a pattern in bytes 9-20.
Bytes PadBlock(uint8_t effect, uint8_t storedSpeed)
{
    Bytes block = {0, effect, 3, storedSpeed, 1, 0, 10, 20, 30};
    for (uint8_t i = 9; i < 21; ++i)
        block.push_back(static_cast<uint8_t>(0xA0 + i));
    return block;
}

TEST(MousePadSettingsBlock, SpeedIsStoredInvertedBothWays)
{
    struct Case {
        uint8_t stored, level;
    } cases[] = {{0, 4}, {1, 3}, {2, 2}, {4, 0}, {5, 255}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.stored));
        const Bytes read = PadBlock(2, c.stored);
        Bytes raw(MousePadSettingsBlock::kReadSize, 0x55);
        std::copy(read.begin(), read.end(), raw.begin());
        const MousePadSettingsBlock::Block copy = MousePadSettingsBlock::FromRead(3, raw.data());
        EXPECT_EQ(copy[0], 3) << "byte 0 is the slot number read from offset 0";
        EXPECT_EQ(MousePadSettingsBlock::Speed(copy), c.level);
        const MousePadSettingsBlock::Block out = MousePadSettingsBlock::ForWrite(copy);
        EXPECT_EQ(out[3], c.stored);
        EXPECT_TRUE(std::equal(out.begin() + 9, out.end(), read.begin() + 9)) << "bytes 9-20 as read";
    }
}

class MousePadDevice : public PadSimTest {
protected:
    // Puts a block into the pad's slot 0 with the pad's own write, then connects the device.
    void ConnectWithBlock(const Bytes& block)
    {
        Connect();
        ASSERT_EQ(pad->Channel().WriteConfig(block.data(), block.size(), 0), nq::kOk);
        pad->OnConnected();
        pad->StopLightingThread();
        ClearSent();
    }
    LightSetting Lighting(uint8_t effect, uint8_t speed, uint8_t r, uint8_t g, uint8_t b)
    {
        LightSetting s;
        s[LightSetting::kEffect] = effect;
        s[LightSetting::kBrightness] = 4;
        s[LightSetting::kSpeed] = speed;
        s[LightSetting::kRed] = r;
        s[LightSetting::kGreen] = g;
        s[LightSetting::kBlue] = b;
        return s;
    }
    // The lighting editor's way of storing a change: record, profile, reload, write.
    int Store(const LightSetting& record)
    {
        std::array<uint32_t, 8> words{};
        for (int i = 0; i < LightSetting::kSize; ++i)
            words[i / 4] |= uint32_t(record[i]) << (8 * (i % 4));
        pad->SetLightSetting(words);
        pad->SaveProfile();
        pad->LoadLighting();
        return pad->WriteSettingsToDevice(0, 0, 1, 1920, 1080);
    }
};

TEST_F(MousePadDevice, ConnectionReadsInfoAndBlockThenRunsTheProfilesLighting)
{
    Connect();
    const Bytes block = PadBlock(2, 0);
    ASSERT_EQ(pad->Channel().WriteConfig(block.data(), block.size(), 0), nq::kOk);
    ClearSent();
    pad->OnConnected();
    pad->StopLightingThread();
    const std::vector<WireReport> sent = Sent();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(SentCommands(), (Bytes{1, 3, 2, 5, 5}));
    EXPECT_EQ(sent[3].length, 1);
    EXPECT_EQ(sent[4].length, 46);
    EXPECT_EQ(sent[4].offset, 0);
    EXPECT_TRUE(pad->OnboardBlockRead());
    // The default profile's multicolour wave drives the engine, not the block's breathing.
    EXPECT_EQ(pad->Engine().Effect(), 0);
    EXPECT_EQ(pad->OnboardBlock()[1], 0);
    EXPECT_EQ(pad->GetLightSetting()[LightSetting::kGreen], 160);
}

TEST_F(MousePadDevice, ABlockReadWithSpeedByteZeroDrivesTheThreadAtSpeedFour)
{
    ConnectWithBlock(PadBlock(3, 0));
    ASSERT_EQ(pad->ReadOnboardSettings(), nq::kOk);
    EXPECT_EQ(pad->Engine().Effect(), 3);
    EXPECT_EQ(pad->Engine().Speed(), 4);
    EXPECT_EQ(nq::SpeedTicks(pad->Engine().Speed()), 7);
    // The step uses the profile's record, not the block's colour.
    EXPECT_EQ(pad->GetLightSetting()[LightSetting::kGreen], 160);
}

TEST_F(MousePadDevice, WriteCarriesBytesNineToTwentyAndStoresTheSpeedInverted)
{
    const Bytes block = PadBlock(2, 1);
    ConnectWithBlock(block);
    ASSERT_EQ(Store(Lighting(3, 1, 255, 0, 0)), nq::kOk);
    EXPECT_EQ(pad->LastWriteOutcome(), Outcome::Written);
    EXPECT_EQ(SentCommands(), (Bytes{1, 6, 2}));
    const WireReport write = Sent()[1];
    EXPECT_EQ(write.length, 21);
    EXPECT_EQ(write.offset, 0);
    const Bytes data(write.bytes.begin() + 8, write.bytes.begin() + 29);
    EXPECT_EQ(data, (Bytes{0, 3, 4, 3, 0, 0, 255, 0, 0, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1,
                           0xB2, 0xB3, 0xB4}));
    const Bytes config = Area("config");
    EXPECT_EQ(Bytes(config.begin(), config.begin() + 21), data);
    EXPECT_EQ(pad->OnboardBlock()[3], 1) << "the copy keeps the level";
    EXPECT_EQ(SavedNode()["LightInfo"]["SelectItem"].asInt(), 3);
}

TEST_F(MousePadDevice, AWriteBeforeAnyReadFetchesTheBlockFirst)
{
    Connect();
    const Bytes block = PadBlock(2, 1);
    ASSERT_EQ(pad->Channel().WriteConfig(block.data(), block.size(), 0), nq::kOk);
    pad->LoadProfile(); // the profile's lighting, no read of the pad
    ClearSent();
    ASSERT_EQ(Store(Lighting(1, 2, 0, 0, 255)), nq::kOk);
    EXPECT_EQ(SentCommands(), (Bytes{5, 5, 1, 6, 2}));
    const Bytes config = Area("config");
    EXPECT_EQ(config[1], 1) << "the lighting the user chose, not the pad's";
    EXPECT_EQ(Bytes(config.begin() + 9, config.begin() + 21), Bytes(block.begin() + 9, block.end()));
}

TEST_F(MousePadDevice, RefusedWritesAreFailuresNotSuccess)
{
    ConnectWithBlock(PadBlock(2, 1));
    const Bytes before = Area("config");
    struct Case {
        const char* what;
        std::vector<std::string> fault;
        int result;
    } cases[] = {
        {"write refused", {"refuse", "ff", "2"}, nq::kRefusedFF},
        {"batch begin refused", {"refuse", "fe", "1"}, nq::kRefusedFE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(Fw(c.fault), "ok");
        EXPECT_EQ(Store(Lighting(4, 2, 9, 9, 9)), c.result);
        EXPECT_EQ(pad->LastWriteOutcome(), Outcome::Failed);
        EXPECT_EQ(Area("config"), before);
    }
}

TEST_F(MousePadDevice, ClosedChannelSendsNothingAndSaysSo)
{
    Connect();
    pad->Channel().Close();
    pad->OnConnected();
    pad->StopLightingThread();
    EXPECT_FALSE(pad->OnboardBlockRead());
    const MousePadSettingsBlock::Block copy = pad->OnboardBlock();
    EXPECT_EQ(pad->ReadOnboardSettings(), nq::kNotOpen);
    EXPECT_EQ(pad->OnboardBlock(), copy);
    EXPECT_EQ(Store(Lighting(3, 2, 1, 2, 3)), nq::kOk);
    EXPECT_EQ(pad->LastWriteOutcome(), Outcome::NotConnected);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(SavedNode()["LightInfo"]["SelectItem"].asInt(), 3) << "the profile keeps the change";
}

TEST_F(MousePadDevice, NoticeRereadsTheActiveSlotWithoutTouchingTheProfile)
{
    ConnectWithBlock(PadBlock(2, 1));
    const Json::Value saved = SavedNode();
    ASSERT_EQ(Fw({"profile", "2"}), "slot 2");
    ClearSent();
    pad->OnDeviceNotice();
    const std::vector<WireReport> sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].offset, 2 * 44);
    EXPECT_EQ(pad->OnboardBlock()[0], 2);
    EXPECT_EQ(pad->Engine().Effect(), 2) << "slot 2 holds a blue breathing";
    EXPECT_EQ(pad->Engine().Speed(), 2);
    EXPECT_EQ(SavedNode(), saved);
    EXPECT_EQ(pad->GetLightSetting()[LightSetting::kEffect], 0);
}

TEST_F(MousePadDevice, EffectFiveAndNineUpPlayTheCustomFramesSixIsTheRingSweep)
{
    Connect();
    pad->LoadProfile();
    // One preset per effect position, each naming the same static amber frame.
    Json::Value presets;
    for (int i = 0; i < 13; ++i) {
        Json::Value preset;
        preset["LightName"] = "p" + std::to_string(i);
        preset["Guid"] = "amber";
        presets["LightInfo"][0].append(preset);
    }
    PadDataFolders::WriteJson(folders->UserFolder() + "drovo_light.config", presets);
    Json::Value frame;
    frame["LEDREGMode"] = 1;
    frame["LEDBrightness"] = 4;
    frame["red"] = 255;
    frame["green"] = 120;
    frame["Time"] = 1000;
    Json::Value effect;
    effect["LEDEffectList"].append(frame);
    PadDataFolders::WriteJson(folders->UserFolder() + "amber.light", effect);

    const nq::LedWord amber = nq::MakeLedWord(255, 120, 0, 255);
    struct Case {
        uint8_t effect;
        bool frames;
    } cases[] = {{5, true}, {9, true}, {12, true}, {6, false}, {7, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.effect));
        ASSERT_EQ(Store(Lighting(c.effect, 4, 0, 0, 255)), nq::kOk);
        pad->LedColours().Fill(0);
        for (int i = 0; i < 20; ++i)
            pad->Engine().Advance(10, nq::LightingClockMs());
        EXPECT_EQ(pad->GetLedColour(7) == amber, c.frames);
    }
}

TEST_F(MousePadDevice, LedRecordsGoIntoTheLightListAndRunOverTheMainEffect)
{
    Connect();
    pad->LoadProfile();
    LightSetting red = Lighting(1, 0, 255, 0, 0); // static
    ASSERT_TRUE(pad->SetLedRecords({2, 5, 9, 40}, red));
    const Json::Value list = SavedNode()["LightList"];
    ASSERT_EQ(list.size(), 15u);
    EXPECT_TRUE(list[0].isNull());
    EXPECT_EQ(list[5]["LEDREGMode"].asInt(), 1);
    EXPECT_EQ(list[5]["red"].asInt(), 255);
    EXPECT_EQ(pad->LedRecord(9)[LightSetting::kPresent], 1);

    ASSERT_EQ(Store(Lighting(3, 2, 0, 0, 255)), nq::kOk); // static blue everywhere else
    pad->Engine().Advance(20, nq::LightingClockMs());
    EXPECT_EQ(pad->GetLedColour(5), nq::MakeLedWord(255, 0, 0, 255));
    EXPECT_EQ(pad->GetLedColour(6), nq::MakeLedWord(0, 0, 255, 255));

    ASSERT_TRUE(pad->SetLedRecords({5}, std::nullopt));
    EXPECT_TRUE(SavedNode()["LightList"][5].isNull());
    pad->Engine().Advance(20, nq::LightingClockMs());
    EXPECT_EQ(pad->GetLedColour(5), nq::MakeLedWord(0, 0, 255, 255));
    EXPECT_FALSE(pad->SetLedRecords({15, -1}, red)) << "no such LED";
}

TEST_F(MousePadDevice, RestoreDefaultsBringsBackTheDefaultLightingAndSavesIt)
{
    Connect();
    pad->LoadProfile();
    ASSERT_EQ(Store(Lighting(4, 1, 1, 2, 3)), nq::kOk);
    ASSERT_TRUE(pad->SetLedRecords({1}, Lighting(1, 4, 9, 9, 9)));
    pad->RestoreDefaults();
    EXPECT_EQ(pad->GetLightSetting()[LightSetting::kEffect], 0);
    EXPECT_EQ(pad->Engine().Effect(), 0);
    EXPECT_EQ(SavedNode()["LightInfo"]["SelectItem"].asInt(), 0);
    EXPECT_FALSE(SavedNode().isMember("LightList"));
}

TEST_F(MousePadDevice, MacroNamesComeFromTheMousepadsOwnList)
{
    Json::Value list;
    Json::Value macro;
    macro["MacroName"] = "pad macro";
    list["MacroInfo"].append(macro);
    PadDataFolders::WriteJson(folders->UserFolder() + "drovo_macro.config", list);
    macro["MacroName"] = "mouse macro";
    Json::Value other;
    other["MacroInfo"].append(macro);
    PadDataFolders::WriteJson(folders->UserFolder() + "macro.config", other);
    pad->LoadNameLists();
    EXPECT_EQ(pad->NameLists().macroNames, std::vector<std::string>{"pad macro"});
    ASSERT_EQ(pad->NameLists().defaultLightNames.size(), 9u);
    EXPECT_EQ(pad->NameLists().defaultLightNames[6], "light_name_ring_sweep");
}

TEST_F(MousePadDevice, BuildPageBindsTheLedsOfTheLightPanel)
{
    FakePage page;
    FakeControl* panel = page.root.Add("VerticalLayout", "mousepad_device_key_light");
    panel->Add("DeviceKeyButton", "light_0");
    panel->Add("DeviceKeyButton", "edge_a", "light_14");
    panel->Add("DeviceKeyButton", "light_15");
    panel->Add("Label", "light_3");
    pad->SetPage(&page);
    pad->SetPageXmlName("XML/DeviceXml/mousepaddevice.xml");
    pad->InitPage();
    EXPECT_EQ(pad->SelectionPanel(), panel);
    ASSERT_NE(pad->LightButton(0), nullptr);
    ASSERT_NE(pad->LightButton(14), nullptr);
    EXPECT_EQ(pad->LightButton(14)->Name(), "edge_a");
    EXPECT_EQ(pad->LightButton(3), nullptr);
    EXPECT_EQ(panel->children[0]->level, 255);
    EXPECT_EQ(panel->children[0]->colour, 0xFFFFFFu);

    nq::CKelvaskMousePadDevice bare;
    bare.SetLedCount(15);
    bare.InitPage();
    EXPECT_EQ(bare.LedCount(), 0) << "a pad without a page layout has no LEDs";
    pad->SetPage(nullptr);
}

// A page whose visibility the test sets.
class ShownPage : public FakePage {
public:
    bool IsVisible() const override { return shown; }
    bool shown = true;
};

TEST_F(MousePadDevice, ChargingPadStatusReachesThePowerDisplayOnlyWhileShown)
{
    Connect("chargepad");
    ShownPage page;
    FakePowerDisplay display;
    pad->SetPage(&page);
    pad->SetPollsStatus(1);
    pad->SetPowerDisplay(&display);
    ASSERT_EQ(Fw({"battery", "40"}), "ok");
    ASSERT_EQ(Fw({"phone", "2"}), "ok");
    pad->PollStatus();
    EXPECT_EQ(display.last, (Bytes{40, 1, 0, 0, 0, 2}));

    // Hidden: no read at all.
    page.shown = false;
    ClearSent();
    ASSERT_EQ(Fw({"battery", "10"}), "ok");
    pad->PollStatus();
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(display.updates, 1);

    // Refused, unanswered or closed: the display keeps what it showed.
    page.shown = true;
    for (const std::vector<std::string>& fault : {std::vector<std::string>{"refuse", "ff"},
                                                  std::vector<std::string>{"unplug"}}) {
        ASSERT_EQ(Fw(fault), "ok");
        pad->PollStatus();
        EXPECT_EQ(display.updates, 1);
    }
    pad->Channel().Close();
    pad->PollStatus();
    EXPECT_EQ(display.last, (Bytes{40, 1, 0, 0, 0, 2}));
    pad->SetPage(nullptr);
}

} // namespace
} // namespace nqtest
