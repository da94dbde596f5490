// Arrival and removal handlers over real simulated devices: channels open and close, the
// notification reader arms the notice timer, the status poll and the lighting stream reach the
// device.
#include "DebugCapture.h"
#include "FakePage.h"
#include "FakeSelector.h"
#include "support/SimFixture.h"
#include "devices/CKelvaskKeyboardDevice.h"
#include "devices/CKelvaskMouseDevice.h"
#include "devices/CKelvaskMousePadDevice.h"
#include "devices/CKelvaskVA6533Device.h"
#include "devices/DeviceConnections.h"
#include "hid/Discovery.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <sstream>
#include <thread>

using namespace nq;
using namespace std::chrono_literals;

namespace {

using nqtest::DirectListener;
using nqtest::FakeSelector;

struct Rig {
    Rig()
    {
        keyboard.SetSlot(slots[0]);
        keyboard.SetTimerHost(&timers);
        keyboard.SetPowerDisplay(&power);
        keyboard.SetLedCount(126);
        pad.SetSlot(slots[4]);
        connections.AddDevice(&keyboard, kKindKeyboard);
        connections.AddDevice(&pad, kKindMousePad);
    }
    ~Rig() { sim.Sim().SetWireLogCallback({}); }

    template <class Pred>
    static bool WaitUntil(Pred pred, std::chrono::milliseconds limit = 2000ms)
    {
        auto end = std::chrono::steady_clock::now() + limit;
        while (!pred()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }

    nqtest::SimEnvironment sim;
    std::vector<DeviceSlot> slots = Catalogue().SupportedInterfaces();
    FakeSelector selector;
    nqtest::FakeTimerHost timers;
    nqtest::FakePowerDisplay power;
    CKelvaskKeyboardDevice keyboard;
    CKelvaskMousePadDevice pad;
    DeviceConnections connections{slots, selector};
    DirectListener listener{connections};
    Discovery discovery{slots, listener};
};

} // namespace

TEST(Connections, KeyboardComesAndGoes)
{
    Rig rig;
    nqtest::DebugCapture log;
    ASSERT_TRUE(rig.sim.Sim().AddDevice("keyboard"));
    rig.discovery.RunPass();

    EXPECT_TRUE(rig.keyboard.Channel().IsOpen());
    EXPECT_FALSE(rig.keyboard.Channel().WirelessLink());
    EXPECT_TRUE(rig.keyboard.IsNotificationOpen());
    EXPECT_EQ(rig.keyboard.Slot().path, rig.slots[0].path);
    ASSERT_EQ(rig.selector.shown.size(), 1u);
    EXPECT_EQ(rig.selector.shown[0], &rig.keyboard);
    EXPECT_EQ(rig.selector.refreshes, 2); // after each of the two arrivals
    EXPECT_EQ(log.Count("添加一个键盘设备"), 2);
    EXPECT_FALSE(rig.pad.Channel().IsOpen());

    // A profile change on the device: the reader arms the notice timer for the UI thread.
    // (The simulator takes a new connection on its own thread; give it a moment to do so.)
    std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(rig.sim.Sim().SendNotice("keyboard", 1025));
    EXPECT_TRUE(Rig::WaitUntil([&] { return rig.timers.IsArmed(kTimerDeviceNotice); }));
    EXPECT_EQ(rig.timers.armed[kTimerDeviceNotice], 500u);
    EXPECT_EQ(log.Count("接收到自动添加设备的同步信息要求"), 1);
    ASSERT_TRUE(rig.sim.Sim().SendNotice("keyboard", 1028));
    EXPECT_TRUE(Rig::WaitUntil([&] { return rig.keyboard.NoticeCounter() == 1; }));

    // Unplugged: the reader, blocked in a read without time limit, ends at once.
    ASSERT_TRUE(rig.sim.Sim().Unplug("keyboard"));
    auto start = std::chrono::steady_clock::now();
    rig.discovery.RunPass();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_FALSE(rig.keyboard.Channel().IsOpen());
    EXPECT_FALSE(rig.keyboard.IsNotificationOpen());
    ASSERT_EQ(rig.selector.hidden.size(), 1u);
    EXPECT_EQ(log.Count("删除一个键盘设备"), 2);
    EXPECT_EQ(log.Count("MS设备同步线程设定退出"), 1);
    EXPECT_EQ(log.Count("线程退出：：对象处于非激发状态，超时"), 0);

    // And back.
    ASSERT_TRUE(rig.sim.Sim().Plug("keyboard"));
    rig.discovery.RunPass();
    EXPECT_TRUE(rig.keyboard.Channel().IsOpen());
    EXPECT_TRUE(rig.keyboard.IsNotificationOpen());
    EXPECT_EQ(rig.selector.shown.size(), 2u);
}

TEST(Connections, StatusPollAndLightingStreamReachTheDevice)
{
    Rig rig;
    std::mutex lock;
    std::vector<std::string> wire;
    rig.sim.Sim().SetWireLogCallback([&](const std::string& line) {
        std::lock_guard<std::mutex> guard(lock);
        wire.push_back(line);
    });
    ASSERT_TRUE(rig.sim.Sim().AddDevice("keyboard"));
    rig.discovery.RunPass();
    ASSERT_TRUE(rig.keyboard.Channel().IsOpen());
    rig.sim.Sim().FirmwareControl("keyboard", {"battery", "57"});

    rig.keyboard.SetPollsStatus(1);
    rig.keyboard.PollStatus();
    ASSERT_EQ(rig.power.updates, 1);
    ASSERT_EQ(rig.power.last.size(), 6u);
    EXPECT_EQ(rig.power.last[0], 57);
    EXPECT_EQ(rig.power.last[3], 0); // wired: no wireless symbol

    // The keyboard only previews its colours: nothing goes out.
    rig.keyboard.SetLedColour(0, MakeLedWord(255, 128, 0, 128));
    rig.keyboard.OutputLightFrame();
    EXPECT_EQ(rig.keyboard.TakeStreamPause(), 0u);

    // The mousepad streams its frame with command 18. (Simulated with the placeholder identity,
    // the rows bind in order, so a mouse takes the first pair of slots.)
    ASSERT_TRUE(rig.sim.Sim().AddDevice("mouse@0:0"));
    ASSERT_TRUE(rig.sim.Sim().AddDevice("mousepad@0:0"));
    rig.discovery.RunPass();
    ASSERT_TRUE(rig.pad.Channel().IsOpen());
    rig.pad.SetPageXmlName("XML/DeviceXml/mousepaddevice.xml");
    rig.pad.SetLedCount(15);
    rig.pad.SetLedColour(0, MakeLedWord(255, 128, 0, 128));
    rig.pad.OutputLightFrame();
    EXPECT_EQ(rig.pad.TakeStreamPause(), 0u);
    std::lock_guard<std::mutex> guard(lock);
    int keyboardFrames = 0;
    bool sawFrame = false;
    for (const std::string& line : wire) {
        if (line.rfind(">", 0) != 0)
            continue;
        // Command 18, 45 bytes at offset 0; LED 0 scaled by its level: 7f 40 00.
        if (line.find(" 12 2d 00 00 00 7f 40 00") != std::string::npos)
            sawFrame = true;
        if (line.find(" 12 38 00 00") != std::string::npos)
            ++keyboardFrames; // a 126-LED frame would start with a full 56-byte chunk
    }
    EXPECT_TRUE(sawFrame);
    EXPECT_EQ(keyboardFrames, 0);
}

TEST(Connections, HeadsetFrameGoesOutAsLedOutputReports)
{
    Rig rig;
    CKelvaskVA6533Device headset;
    headset.SetSlot(rig.slots[6]);
    headset.SetPageXmlName("XML/DeviceXml/va6533device.xml");
    headset.SetLedCount(13);
    rig.connections.AddDevice(&headset, kKindHeadset);
    ASSERT_TRUE(rig.sim.Sim().AddDevice("headset@0:0"));
    rig.discovery.RunPass();
    ASSERT_TRUE(headset.Channel().IsOpen());

    headset.SetLedColour(0, MakeLedWord(0x80, 0x40, 0x20, 255));
    headset.SetLedColour(12, MakeLedWord(255, 255, 255, 255));
    headset.OutputLightFrame();
    // The reports carry no reply, so wait until the simulator has taken all twelve. It prints a
    // line per bank: "22: rrggbb rrggbb ..." for the 13 LEDs.
    std::string leds;
    const bool arrived = Rig::WaitUntil([&] {
        leds = rig.sim.Sim().FirmwareControl("headset", {"leds"});
        std::istringstream lines(leds);
        std::string bank, first, last;
        for (const char* name : {"22:", "44:"}) {
            if (!(lines >> bank >> first) || bank != name || first != "7f3f1f")
                return false;
            for (int i = 1; i < 13; ++i)
                lines >> last;
            if (last != "f7f7f7") // 255 scaled is 254, capped at 247
                return false;
        }
        return true;
    });
    EXPECT_TRUE(arrived) << leds;
    EXPECT_EQ(headset.TakeStreamPause(), 0u);
    rig.connections.OnDeviceRemoved(6);
}

TEST(Connections, DeviceWithoutObjectIsIgnored)
{
    Rig rig;
    ASSERT_TRUE(rig.sim.Sim().AddDevice("headset@0:0")); // no headset object in this rig
    rig.discovery.RunPass();
    EXPECT_TRUE(rig.slots[6].connected);
    EXPECT_TRUE(rig.selector.shown.empty());
    EXPECT_EQ(rig.selector.refreshes, 1);
}

namespace {

DeviceSlot MouseSlot(uint16_t productId, uint16_t collection, uint16_t kind, uint16_t role, uint16_t twin)
{
    DeviceSlot slot;
    slot.vendorId = 0x320F;
    slot.productId = productId;
    slot.interfaceNumber = 1;
    slot.collectionNumber = collection;
    slot.kind = kind;
    slot.role = role;
    slot.usagePage = role == kRoleCommand ? 0xFF1C : 0x000C;
    slot.usage = role == kRoleCommand ? 0x92 : 0x01;
    slot.hasTwin = role == kRoleCommand ? 1 : 0;
    slot.twinIndex = twin;
    return slot;
}

} // namespace

// A mouse on two links: its wired link and its receiver (two simulated interfaces standing for
// them). It prefers the wired link and moves to the remaining one when a link goes.
TEST(Connections, MouseMovesBetweenItsTwoLinks)
{
    nqtest::SimEnvironment sim({"mouse:wired@320F:5042", "mouse:rx@320F:5043"});
    enum { kWired, kReceiver, kWiredNotices, kReceiverNotices };
    std::vector<DeviceSlot> slots = {MouseSlot(0x5042, 4, kKindMouse, kRoleCommand, kReceiver),
                                     MouseSlot(0x5043, 4, kKindReceiverMouse, kRoleCommand, kWired),
                                     MouseSlot(0x5042, 3, kKindMouse, kRoleNotification, 0),
                                     MouseSlot(0x5043, 3, kKindReceiverMouse, kRoleNotification, 0)};
    FakeSelector selector;
    CKelvaskMouseDevice mouse;
    mouse.SetSlot(slots[kWired]);
    DeviceConnections connections(slots, selector);
    connections.AddDevice(&mouse, kKindMouse);

    auto bind = [&](int index, const std::string& device, uint16_t collection) {
        slots[index].connected = 1;
        slots[index].path = sim.PathOf(device, 1, collection);
        connections.OnDeviceArrived(index);
    };
    auto unbind = [&](int index) {
        slots[index].connected = 0;
        slots[index].path.clear();
        connections.OnDeviceRemoved(index);
    };

    bind(kWiredNotices, "wired", 3);
    bind(kWired, "wired", 4);
    EXPECT_TRUE(mouse.Channel().IsOpen());
    EXPECT_FALSE(mouse.Channel().WirelessLink());
    EXPECT_TRUE(mouse.IsNotificationOpen());

    // The receiver comes too: the mouse stays on its wire.
    bind(kReceiverNotices, "rx", 3);
    bind(kReceiver, "rx", 4);
    EXPECT_EQ(mouse.Slot().productId, 0x5042);
    EXPECT_FALSE(mouse.Channel().WirelessLink());
    EXPECT_EQ(selector.shown.size(), 1u);

    // The wire goes: the mouse moves to its receiver, notices included.
    ASSERT_TRUE(sim.Sim().Unplug("wired"));
    unbind(kWiredNotices);
    unbind(kWired);
    EXPECT_TRUE(mouse.Channel().IsOpen());
    EXPECT_TRUE(mouse.Channel().WirelessLink());
    EXPECT_EQ(mouse.Slot().kind, kKindReceiverMouse);
    EXPECT_EQ(mouse.Slot().path, slots[kReceiver].path);
    EXPECT_TRUE(mouse.IsNotificationOpen());
    EXPECT_TRUE(selector.hidden.empty()); // still connected: its tab stays

    // The wire comes back: the mouse returns to it.
    ASSERT_TRUE(sim.Sim().Plug("wired"));
    bind(kWiredNotices, "wired", 3);
    bind(kWired, "wired", 4);
    EXPECT_FALSE(mouse.Channel().WirelessLink());
    EXPECT_EQ(mouse.Slot().path, slots[kWired].path);
    EXPECT_TRUE(mouse.IsNotificationOpen());

    // Both go: closed and hidden.
    ASSERT_TRUE(sim.Sim().Unplug("rx"));
    unbind(kReceiverNotices);
    unbind(kReceiver);
    ASSERT_TRUE(sim.Sim().Unplug("wired"));
    unbind(kWiredNotices);
    unbind(kWired);
    EXPECT_FALSE(mouse.Channel().IsOpen());
    EXPECT_FALSE(mouse.IsNotificationOpen());
    EXPECT_EQ(selector.hidden.size(), 1u);
}
