// The device base without a device: page binding, LED words, page state, worker-thread stops.
#include "DebugCapture.h"
#include "FakePage.h"
#include "devices/CKelvaskKeyboardDevice.h"
#include "devices/CKelvaskMouseDevice.h"
#include "devices/CKelvaskMousePadDevice.h"
#include "devices/CKelvaskVA6533Device.h"
#include "devices/PowerStatus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <thread>

using namespace nq;
using nqtest::DebugCapture;
using nqtest::FakeControl;
using nqtest::FakePage;

namespace {

struct BoundDevice {
    CKelvaskMouseDevice device;
    FakePage page;
    FakeControl* panel = nullptr;

    explicit BoundDevice(int keys = 10, int leds = 6)
    {
        panel = page.root.Add("SelectPanel", "mouse_device_key_light");
        device.SetPage(&page);
        device.SetPageXmlName("XML/DeviceXml/mousedevice.xml");
        device.SetKeyButtonCount(keys);
        device.SetLedCount(leds);
    }
};

} // namespace

TEST(DeviceBase, ConstructionDefaultsAndTypes)
{
    CKelvaskMouseDevice mouse;
    CKelvaskKeyboardDevice keyboard;
    CKelvaskMousePadDevice pad;
    CKelvaskVA6533Device headset;
    EXPECT_EQ(mouse.DeviceType(), 2);
    EXPECT_EQ(keyboard.DeviceType(), 1);
    EXPECT_EQ(pad.DeviceType(), 3);
    EXPECT_EQ(headset.DeviceType(), 7);
    EXPECT_EQ(mouse.GetClass(), "KelvaskMouseDevice");
    EXPECT_EQ(mouse.SelectedKey(), -1);
    EXPECT_EQ(mouse.GetPageState(), 1);
    EXPECT_TRUE(mouse.IsLightingEnabled());
    EXPECT_TRUE(mouse.IsPreviewEnabled());
    EXPECT_FALSE(mouse.Channel().IsOpen());
    EXPECT_FALSE(mouse.IsNotificationOpen());
}

TEST(DeviceBase, InitPageBindsKeyAndLightButtonsByName)
{
    BoundDevice d;
    FakeControl* key3 = d.panel->Add("DeviceKeyButton", "key_3", "light_2");
    FakeControl* upper = d.panel->Add("DeviceKeyButton", "KEY_5");
    FakeControl* beyond = d.panel->Add("DeviceKeyButton", "key_12", "light_9");
    FakeControl* otherClass = d.panel->Add("Button", "key_4", "light_1");
    FakeControl* noNumber = d.panel->Add("DeviceKeyButton", "key_", "light_");
    d.device.InitPage();

    EXPECT_EQ(d.device.SelectionPanel(), d.panel);
    EXPECT_EQ(d.device.KeyButton(3), key3);
    EXPECT_EQ(d.device.KeyButton(5), upper);      // the key prefix ignores case
    EXPECT_EQ(d.device.KeyButton(4), nullptr);    // not a key button
    EXPECT_EQ(d.device.LightButton(2), key3);
    EXPECT_EQ(d.device.LightButton(1), nullptr);
    EXPECT_EQ(d.device.LightButton(9), nullptr);  // only 6 LEDs
    EXPECT_EQ(d.device.KeyButton(12), nullptr);   // only 10 keys
    EXPECT_EQ(key3->colour, 0xFFFFFFu);           // bound light buttons start white, full, shown
    EXPECT_EQ(key3->level, 255);
    EXPECT_TRUE(key3->shown);
    EXPECT_EQ(beyond->lightUpdates, 0);
    EXPECT_EQ(otherClass->lightUpdates, 0);
    EXPECT_EQ(noNumber->lightUpdates, 0);
}

TEST(DeviceBase, EmptyPageNameLeavesNoLedsAndNothingToStream)
{
    BoundDevice d;
    d.panel->Add("DeviceKeyButton", "key_1", "light_1");
    d.device.SetPageXmlName("");
    d.device.InitPage();
    EXPECT_EQ(d.device.KeyButtonCount(), 0);
    EXPECT_EQ(d.device.LedCount(), 0);
    EXPECT_EQ(d.device.KeyButton(1), nullptr);
    d.device.SetLedColour(0, 0x11223344);
    EXPECT_EQ(d.device.GetLedColour(0), 0u);
    d.device.StepOff();
    d.device.OutputLightFrame(); // closed channel, nothing to do and no crash
}

TEST(DeviceBase, LedWordsIgnoreOutOfRangeIndices)
{
    BoundDevice d;
    d.device.SetLedColour(5, 0x80FF0010);
    d.device.SetLedColour(6, 0x12345678);
    d.device.SetLedColour(-1, 0x12345678);
    EXPECT_EQ(d.device.GetLedColour(5), 0x80FF0010u);
    EXPECT_EQ(d.device.GetLedColour(6), 0u);
    EXPECT_EQ(d.device.GetLedColour(-1), 0u);
    d.device.StepOff();
    EXPECT_EQ(d.device.GetLedColour(5), 0u);
}

TEST(DeviceBase, ChangingTheLedCountClearsTheWords)
{
    BoundDevice d;
    d.device.SetLedColour(1, 0xFF0000FF);
    d.device.SetLedCount(6); // unchanged: kept
    EXPECT_EQ(d.device.GetLedColour(1), 0xFF0000FFu);
    d.device.SetLedCount(15);
    EXPECT_EQ(d.device.GetLedColour(1), 0u);
    EXPECT_EQ(d.device.KeyLightRecords().size(), 15u);
    d.device.SetLedCount(1000); // a frame holds at most 170 LEDs
    EXPECT_EQ(d.device.LedCount(), CKelvaskUSBDevice::kMaxStreamedLeds);
}

TEST(DeviceBase, OutputLightFrameRefreshesVisibleLightButtons)
{
    BoundDevice d;
    FakeControl* led0 = d.panel->Add("DeviceKeyButton", "key_0", "light_0");
    FakeControl* led1 = d.panel->Add("DeviceKeyButton", "key_1", "light_1");
    d.device.InitPage();
    led1->visible = false;
    led1->lightUpdates = 0;
    d.device.SetLedColour(0, MakeLedWord(0x11, 0x22, 0x33, 0x80));
    d.device.SetLedColour(1, MakeLedWord(0x44, 0x55, 0x66, 0x90));
    d.device.OutputLightFrame();
    EXPECT_EQ(led0->colour, 0x223311u); // red | blue << 8 | green << 16
    EXPECT_EQ(led0->level, 0x80);
    EXPECT_EQ(led1->lightUpdates, 0);
    // The channel is closed, so the stream failed and asks for the pause.
    EXPECT_EQ(d.device.TakeStreamPause(), CKelvaskUSBDevice::kStreamPauseMs);
    EXPECT_EQ(d.device.TakeStreamPause(), 0u);

    d.device.SetLightingEnabled(false);
    led0->lightUpdates = 0;
    d.device.OutputLightFrame();
    EXPECT_EQ(led0->lightUpdates, 0);
    EXPECT_EQ(d.device.TakeStreamPause(), 0u);
}

TEST(DeviceBase, WirelessLinkUpdatesPreviewButStreamsNothing)
{
    BoundDevice d;
    FakeControl* led0 = d.panel->Add("DeviceKeyButton", "key_0", "light_0");
    d.device.InitPage();
    d.device.Channel().SetWirelessLink(true);
    d.device.SetLedColour(0, MakeLedWord(1, 2, 3, 4));
    d.device.OutputLightFrame();
    EXPECT_EQ(led0->colour, 0x020301u);
    EXPECT_EQ(d.device.TakeStreamPause(), 0u);
}

TEST(DeviceBase, HeadsetLedReportsCarryEachChannelToBothBanks)
{
    CKelvaskVA6533Device headset;
    headset.SetPageXmlName("XML/DeviceXml/va6533device.xml");
    headset.SetLedCount(5);
    for (int i = 0; i < 5; ++i)
        headset.SetLedColour(i, MakeLedWord(static_cast<uint8_t>(10 * (i + 1)), 255, static_cast<uint8_t>(i), 128));
    headset.SetLedColour(4, MakeLedWord(255, 255, 255, 255)); // 254 after scaling, capped at 247
    const CKelvaskVA6533Device::LedReports reports = headset.BuildLedReports();

    const uint8_t order[12][2] = {{0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD},
                                  {0x22, 0xAB}, {0x22, 0xAE}, {0x44, 0xAB}, {0x44, 0xAE},
                                  {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF}};
    for (int r = 0; r < 12; ++r) {
        const auto& report = reports[r];
        EXPECT_EQ(report[0], 0xFF);
        EXPECT_EQ(report[1], order[r][0]) << r;
        EXPECT_EQ(report[2], order[r][1]) << r;
        EXPECT_EQ(report[3], 0) << r;
        for (int b = 11; b < 17; ++b)
            EXPECT_EQ(report[b], 0) << r << " byte " << b;
    }
    // Red of LEDs 0-6: five values (x 128 / 256) and two zeros; LED 4 is capped.
    const std::array<uint8_t, 7> red = {5, 10, 15, 20, 247, 0, 0};
    EXPECT_TRUE(std::equal(red.begin(), red.end(), reports[0].begin() + 4));
    EXPECT_TRUE(std::equal(red.begin(), red.end(), reports[2].begin() + 4)); // the other bank
    const std::array<uint8_t, 7> green = {127, 127, 127, 127, 247, 0, 0};
    EXPECT_TRUE(std::equal(green.begin(), green.end(), reports[4].begin() + 4));
    const std::array<uint8_t, 7> blue = {0, 0, 1, 1, 247, 0, 0};
    EXPECT_TRUE(std::equal(blue.begin(), blue.end(), reports[8].begin() + 4));
    // LEDs 7-12 are beyond the count; byte 10 of a high report repeats the report before it.
    headset.SetLedCount(13);
    headset.SetLedColour(6, MakeLedWord(200, 100, 50, 255));
    headset.SetLedColour(12, MakeLedWord(1, 2, 3, 255));
    const CKelvaskVA6533Device::LedReports full = headset.BuildLedReports();
    EXPECT_EQ(full[1][9], 0);      // LED 12 red (1 x 255 / 256)
    EXPECT_EQ(full[9][9], 2);      // LED 12 blue
    EXPECT_EQ(full[0][10], 199);   // LED 6 red
    EXPECT_EQ(full[1][10], 199);
    EXPECT_EQ(full[5][10], 99);    // green high report: LED 6 green
    EXPECT_EQ(full[11][10], 49);   // blue, second bank
}

TEST(DeviceBase, KeyboardAndHeadsetPreviewWithoutTheVendorStream)
{
    // The keyboard previews its key colours and streams nothing; the headset's frame goes out as
    // output reports. With the channel closed neither asks for a stream pause.
    CKelvaskKeyboardDevice keyboard;
    CKelvaskVA6533Device headset;
    for (CKelvaskUSBDevice* device : {static_cast<CKelvaskUSBDevice*>(&keyboard), static_cast<CKelvaskUSBDevice*>(&headset)}) {
        FakePage page;
        FakeControl* panel = page.root.Add("SelectPanel", "panel");
        FakeControl* led0 = panel->Add("DeviceKeyButton", "key_0", "light_0");
        device->SetPage(&page);
        device->SetPageXmlName("page.xml");
        device->SetKeyButtonCount(2);
        device->SetLedCount(2);
        device->InitPage();
        device->SetLedColour(0, MakeLedWord(0x11, 0x22, 0x33, 0x80));
        device->OutputLightFrame();
        EXPECT_EQ(led0->colour, 0x223311u) << device->GetClass();
        EXPECT_EQ(device->TakeStreamPause(), 0u) << device->GetClass();
        device->SetLightingEnabled(false);
        device->SetLedColour(0, MakeLedWord(1, 1, 1, 1));
        device->OutputLightFrame();
        EXPECT_EQ(led0->colour, 0x223311u) << device->GetClass();
        device->SetPage(nullptr);
    }
}

TEST(DeviceBase, PageStateSelectsFunctionAndKeyTabs)
{
    struct Case {
        int type, code, functionTab, keyTab; // keyTab -1: untouched
    } cases[] = {
        {2, 3, 1, -1}, {2, 8, 1, -1}, {2, 5, 2, -1}, {2, 4, 3, -1}, {1, 4, 3, -1},
        {3, 4, 0, 2},  {2, 2, 0, 1},  {2, 6, 0, 1},  {2, 7, 0, 2},  {2, 1, 0, 0}, {7, 9, 0, 0},
    };
    for (const Case& c : cases) {
        CKelvaskMouseDevice device;
        FakePage page;
        FakeControl* functions = page.root.Add("TabLayout", "device_function_switch");
        FakeControl* keys = page.root.Add("TabLayout", "device_key_function_switch");
        device.SetPage(&page);
        DeviceSlot slot;
        slot.kind = static_cast<uint16_t>(c.type);
        device.SetSlot(slot);
        device.SetPageState(c.code);
        EXPECT_EQ(device.GetPageState(), c.code);
        EXPECT_EQ(functions->selectedTab, c.functionTab) << "type " << c.type << " code " << c.code;
        EXPECT_EQ(keys->selectedTab, c.keyTab) << "type " << c.type << " code " << c.code;
    }
    // Without both switches the state is remembered and nothing else happens.
    CKelvaskMouseDevice device;
    FakePage page;
    FakeControl* functions = page.root.Add("TabLayout", "device_function_switch");
    device.SetPage(&page);
    device.SetPageState(3);
    EXPECT_EQ(device.GetPageState(), 3);
    EXPECT_EQ(functions->selectedTab, -1);
}

TEST(DeviceBase, LightSettingWordsCarryThe31BytesInOrder)
{
    CKelvaskMouseDevice device;
    std::array<uint32_t, 8> words{};
    for (int i = 0; i < 32; ++i)
        words[i / 4] |= static_cast<uint32_t>(i + 1) << (8 * (i % 4));
    device.SetLightSetting(words);
    device.SetLogoLightSetting(words);
    for (int i = 0; i < LightSetting::kSize; ++i) {
        EXPECT_EQ(device.MainLightSetting()[i], i + 1);
        EXPECT_EQ(device.LogoLightSetting()[i], i + 1);
    }
    EXPECT_EQ(device.StLightSetting()[0], 0);
}

TEST(DeviceBase, PollsStatusShowsOrHidesThePowerLayout)
{
    CKelvaskMousePadDevice device;
    nqtest::FakePowerDisplay display;
    device.SetPollsStatus(0);
    device.SetPowerDisplay(&display);
    EXPECT_FALSE(display.layoutVisible);
    device.SetPollsStatus(1);
    EXPECT_TRUE(display.layoutVisible);
    // A closed channel reads nothing and leaves the display unchanged.
    device.PollStatus();
    EXPECT_EQ(display.updates, 0);
}

TEST(DeviceBase, SlotSetsTypeAndSubKind)
{
    CKelvaskMouseDevice device;
    DeviceSlot slot;
    slot.kind = 6;
    slot.role = 0;
    slot.path = "/x";
    device.SetSlot(slot);
    EXPECT_EQ(device.DeviceType(), 6);
    EXPECT_EQ(device.SubKind(), 0);
    EXPECT_EQ(device.Slot().path, "/x");
}

TEST(DeviceBase, ReactiveBuffersClear)
{
    CKelvaskMouseDevice device;
    device.TriggerRingColumns(); // ring entry 0 is marked at construction
    EXPECT_EQ(device.ReactiveLevel(0), 255);
    device.DecayKeyLevel(0, true);
    EXPECT_EQ(device.ReactiveLevel(0), 215);
    device.ClearReactiveBuffers();
    EXPECT_EQ(device.ReactiveLevel(0), 0);
    device.TriggerRingColumns();
    EXPECT_EQ(device.ReactiveLevel(0), 0);
}

TEST(StopWorker, OutcomesAndTheirTexts)
{
    DebugCapture log;
    WorkerThread never;
    EXPECT_EQ(CKelvaskUSBDevice::StopWorker(never), WaitOutcome::Failed);
    EXPECT_TRUE(log.Lines().empty()); // a thread that never started: nothing to do

    WorkerThread polite;
    polite.Start([](StopEvent& stop) {
        while (!stop.Wait(1000)) {
        }
        return 0;
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CKelvaskUSBDevice::StopWorker(polite), WaitOutcome::Signalled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(log.Count("线程退出：：对象处于激发状态"), 1);
    EXPECT_FALSE(polite.Started());

    std::atomic<bool> release{false};
    WorkerThread stubborn;
    const int runawaysBefore = WorkerThread::RunawayCount();
    stubborn.Start([&release](StopEvent&) {
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return 0;
    });
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(CKelvaskUSBDevice::StopWorker(stubborn, 100), WaitOutcome::Timeout);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(100));
    EXPECT_LT(waited, std::chrono::milliseconds(600));
    EXPECT_EQ(log.Count("线程退出：：对象处于非激发状态，超时"), 1);
    EXPECT_EQ(WorkerThread::RunawayCount(), runawaysBefore + 1);
    release = true; // the given-up thread still holds only its own shared state
}

TEST(PowerStatus, ShortReportIsPaddedWithZeros)
{
    const uint8_t report[3] = {57, 1, 9};
    PowerStatus pad = PowerStatus::FromReport(report, 3, 3);
    EXPECT_EQ(pad.progressValue, 43);
    EXPECT_EQ(pad.valueText, "57%");
    EXPECT_FALSE(pad.wirelessVisible); // byte 3 missing: zero
    EXPECT_EQ(pad.statusIcon.value_or(""), "power/powering.png");
    EXPECT_EQ(pad.phoneKey.value_or(""), "Phone_type_no_device");
}

TEST(PowerStatus, ChargingStatesAndPhones)
{
    struct Case {
        uint8_t charging, wireless, phone;
        int kind;
        const char* icon; // nullptr: unchanged
        const char* phoneKey; // nullptr: not shown
        bool progress;
    } cases[] = {
        {0, 0, 1, 3, "power/powered.png", "Phone_type_iphone", true},
        {1, 1, 2, 3, "power/wuxian_powering.png", "Phone_type_samsung", false},
        {2, 0, 3, 3, "power/power.png", "Phone_type_other", false},
        {7, 0, 4, 3, nullptr, "Phone_type_no_device", false},
        {2, 1, 1, 2, "power/power.png", nullptr, false},
    };
    for (const Case& c : cases) {
        uint8_t report[64] = {100, c.charging, 0, c.wireless, 0, c.phone};
        PowerStatus s = PowerStatus::FromReport(report, 200, c.kind); // longer than 64: cut
        EXPECT_EQ(s.statusIcon.has_value(), c.icon != nullptr);
        if (c.icon) {
            EXPECT_EQ(*s.statusIcon, c.icon);
        }
        EXPECT_EQ(s.phoneKey.has_value(), c.phoneKey != nullptr);
        if (c.phoneKey) {
            EXPECT_EQ(*s.phoneKey, c.phoneKey);
        }
        EXPECT_EQ(s.progressVisible, c.progress);
        EXPECT_EQ(s.wirelessVisible, c.wireless != 0);
        EXPECT_EQ(s.progressValue, 0);
    }
}
