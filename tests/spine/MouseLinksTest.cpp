// A mouse with a wired link and a receiver link (one simulated device, one memory, two USB
// identities), driven by real discovery over the simulator's sockets, in every order of plugging:
// the device is always on exactly one link, wired when it can, its reads and writes go to that
// link's socket, its tab shows while any link is there, and it never stays on a link that left.
#include "FakeSelector.h"
#include "support/SimFixture.h"
#include "devices/CKelvaskMouseDevice.h"
#include "devices/DeviceConnections.h"
#include "hid/Discovery.h"

#include <gtest/gtest.h>

#include <set>

using namespace nq;

namespace {

// The rows a user adds for such a mouse: wired 320F:5042 (kind 2) and receiver 320F:5043
// (kind 6), twins of each other, each with its notification interface.
const char* const kRows = R"({
  "interfaces": [
    { "vendorId": "0x320F", "productId": "0x5042", "interface": 1, "collection": 4,
      "kind": 2, "role": 0, "usagePage": "0xFF1C", "usage": "0x92", "twin": 8 },
    { "vendorId": "0x320F", "productId": "0x5043", "interface": 1, "collection": 4,
      "kind": 6, "role": 0, "usagePage": "0xFF1C", "usage": "0x92", "twin": 7 },
    { "vendorId": "0x320F", "productId": "0x5042", "interface": 1, "collection": 3,
      "kind": 2, "role": 255, "usagePage": "0x000C", "usage": "0x01" },
    { "vendorId": "0x320F", "productId": "0x5043", "interface": 1, "collection": 3,
      "kind": 6, "role": 255, "usagePage": "0x000C", "usage": "0x01" }
  ],
  "pages": [
    { "kindName": "mouse", "ordinal": 1, "vendorId": "0x320F", "productId": "0x5042", "kind": 2, "role": 0,
      "lightingPoints": 6, "keyEntries": 7, "layoutFile": "XML/DeviceXml/mousedevice.xml" }
  ]
})";

enum class On { None, Wired, Receiver };

struct Step {
    const char* action; // "plug" or "unplug"
    const char* link;   // "wired" or "receiver"
    On expected;
};

struct Order {
    const char* name;
    std::set<std::string> atStart; // links plugged before the first pass
    On expectedAtStart;
    std::vector<Step> steps;
};

const char* Name(On on)
{
    return on == On::None ? "none" : on == On::Wired ? "wired" : "receiver";
}

} // namespace

TEST(MouseLinks, EveryOrderOfPlugging)
{
    const Order orders[] = {
        {"wired first, receiver later",
         {"wired"},
         On::Wired,
         {{"plug", "receiver", On::Wired},
          {"unplug", "wired", On::Receiver},
          {"plug", "wired", On::Wired},
          {"unplug", "receiver", On::Wired},
          {"unplug", "wired", On::None}}},
        {"receiver first, wired later",
         {"receiver"},
         On::Receiver,
         {{"plug", "wired", On::Wired},
          {"unplug", "receiver", On::Wired},
          {"unplug", "wired", On::None},
          {"plug", "receiver", On::Receiver}}},
        {"both at start, wired leaves first",
         {"wired", "receiver"},
         On::Wired,
         {{"unplug", "wired", On::Receiver}, {"unplug", "receiver", On::None}, {"plug", "wired", On::Wired}}},
        {"both at start, receiver leaves first",
         {"wired", "receiver"},
         On::Wired,
         {{"unplug", "receiver", On::Wired},
          {"plug", "receiver", On::Wired},
          {"unplug", "wired", On::Receiver},
          {"plug", "wired", On::Wired}}},
        {"nothing at start",
         {},
         On::None,
         {{"plug", "receiver", On::Receiver}, {"plug", "wired", On::Wired}, {"unplug", "wired", On::Receiver}}},
    };

    for (const Order& order : orders) {
        SCOPED_TRACE(order.name);
        nqtest::SimEnvironment sim({"rxmouse:mouse2@320F:5042,320F:5043"});
        ASSERT_TRUE(sim.ok());
        const std::string vendorPath[] = {"", sim.PathOf("mouse2", 1, 4, "wired"), sim.PathOf("mouse2", 1, 4, "receiver")};
        const std::string noticePath[] = {"", sim.PathOf("mouse2", 1, 3, "wired"), sim.PathOf("mouse2", 1, 3, "receiver")};
        for (const char* link : {"wired", "receiver"})
            if (!order.atStart.count(link))
                ASSERT_TRUE(sim.Sim().Unplug("mouse2", link));

        Catalogue catalogue;
        ASSERT_TRUE(catalogue.LoadExtraRowsText(kRows, "devices.json"));
        std::vector<DeviceSlot> slots = catalogue.SupportedInterfaces();
        nqtest::FakeSelector selector;
        CKelvaskMouseDevice mouse;
        const PageChoice page = catalogue.ChoosePage(4, slots);
        ASSERT_EQ(page.slotIndex, 7); // the page is built on the wired link
        mouse.SetSlot(slots[page.slotIndex]);
        DeviceConnections connections(slots, selector);
        connections.AddDevice(&mouse, page.pageKind);
        nqtest::DirectListener listener(connections);
        Discovery discovery(slots, listener, catalogue);

        auto check = [&](On expected, const std::string& when) {
            SCOPED_TRACE(when + ": expected on " + Name(expected));
            // A placeholder row never takes either link.
            for (int placeholder = 2; placeholder <= 6; ++placeholder)
                EXPECT_FALSE(slots[placeholder].connected) << placeholder;
            EXPECT_EQ(selector.visible, expected != On::None);
            EXPECT_EQ(mouse.Channel().IsOpen(), expected != On::None);
            if (expected == On::None)
                return;
            const int link = expected == On::Wired ? 1 : 2;
            EXPECT_EQ(mouse.Channel().WirelessLink(), expected == On::Receiver);
            EXPECT_EQ(mouse.Slot().productId, expected == On::Wired ? 0x5042 : 0x5043);
            EXPECT_EQ(mouse.Slot().path, vendorPath[link]);
            EXPECT_TRUE(mouse.IsNotificationOpen());
            EXPECT_EQ(mouse.NotificationHid().Path(), noticePath[link]);
            // Reads and a settings write reach the device on that link's socket, and only there.
            sim.ClearWireLines();
            mouse.ReadDeviceState();
            EXPECT_EQ(mouse.Info().KeyEntryCount(), 10u);
            EXPECT_EQ(mouse.WriteSettingsToDevice(0, 0, 1, 1920, 1080), 1);
            int onLink = 0, elsewhere = 0;
            for (const std::string& line : sim.WireLines()) {
                if (line.rfind("> ", 0) != 0)
                    continue;
                (line.compare(2, vendorPath[link].size() + 1, vendorPath[link] + " ") == 0 ? onLink : elsewhere)++;
            }
            EXPECT_GE(onLink, 5); // info, key table, batch, write, batch
            EXPECT_EQ(elsewhere, 0);
        };

        discovery.RunPass();
        check(order.expectedAtStart, "at start");
        for (const Step& step : order.steps) {
            const std::string what = std::string(step.action) + " " + step.link;
            ASSERT_TRUE(what.rfind("plug", 0) == 0 ? sim.Sim().Plug("mouse2", step.link)
                                                   : sim.Sim().Unplug("mouse2", step.link));
            discovery.RunPass();
            check(step.expected, what);
        }
    }
}
