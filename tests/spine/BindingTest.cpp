// Which interface lands on which slot, with the simulator's full default set and the catalogue
// rows shipped for it (the same loader as a user's devices.json): every device on its own rows,
// on its own sockets, never on a placeholder row or on another kind's row.
#include "support/SimFixture.h"
#include "devsim/SimDeviceSetup.h"
#include "hid/Discovery.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace nq;

namespace {

class RecordingListener : public DiscoveryListener {
public:
    void SendDeviceArrived(int slot) override { arrived.push_back(slot); }
    void SendDeviceRemoved(int slot) override { removed.push_back(slot); }
    void PostFirstPassDone() override {}
    std::vector<int> arrived, removed;
};

Catalogue SimulatorCatalogue()
{
    Catalogue catalogue;
    EXPECT_TRUE(catalogue.LoadExtraRows(NQ501_SOURCE_DIR "/DefaultData/simdevices.json"));
    return catalogue;
}

bool IsPlaceholder(const DeviceSlot& row)
{
    return row.vendorId == 0 && row.productId == 0;
}

} // namespace

TEST(Binding, ShippedRowsNameEverySimulatedIdentityOnce)
{
    const Catalogue catalogue = SimulatorCatalogue();
    const size_t compiled = Catalogue().SupportedInterfaces().size();
    const auto& rows = catalogue.SupportedInterfaces();
    ASSERT_GT(rows.size(), compiled);
    for (const nqsim::SimKindIdentity& identity : nqsim::SimKindIdentities()) {
        SCOPED_TRACE(identity.kindName);
        for (uint16_t productId : {identity.productId, identity.receiverProductId}) {
            if (!productId)
                continue;
            std::map<int, int> commandRowsByKind;
            for (const DeviceSlot& row : rows)
                if (row.vendorId == identity.vendorId && row.productId == productId && row.role == kRoleCommand)
                    ++commandRowsByKind[row.kind];
            // One command row, of one kind, for each identity.
            EXPECT_EQ(commandRowsByKind.size(), 1u) << std::hex << productId;
            for (const auto& [kind, count] : commandRowsByKind)
                EXPECT_EQ(count, 1) << std::hex << productId;
        }
    }
    // The two links of the receiver mouse are twins of each other; its page is built on the
    // wired link, the receiver link's page is the same mouse page.
    const int wired = catalogue.FindSlot(0x320F, 0x5F11, kKindMouse, kRoleCommand);
    const int receiver = catalogue.FindSlot(0x320F, 0x5F12, kKindReceiverMouse, kRoleCommand);
    ASSERT_GE(wired, 0);
    ASSERT_GE(receiver, 0);
    EXPECT_TRUE(rows[wired].hasTwin && rows[wired].twinIndex == receiver);
    EXPECT_TRUE(rows[receiver].hasTwin && rows[receiver].twinIndex == wired);
    // Every page row of the file has its own slot and its own layout row.
    std::set<int> slotsWithPages;
    for (size_t row = 4; row < catalogue.DevicePages().size(); ++row) {
        const PageChoice choice = catalogue.ChoosePage(static_cast<int>(row), rows);
        EXPECT_GE(choice.slotIndex, static_cast<int>(compiled)) << row;
        EXPECT_EQ(choice.layoutRow, static_cast<int>(row));
        EXPECT_TRUE(slotsWithPages.insert(choice.slotIndex).second) << row;
    }
    EXPECT_EQ(slotsWithPages.size(), 5u); // mouse, receiver mouse, mousepad, charging pad, headset
    EXPECT_TRUE(slotsWithPages.count(wired));
}

TEST(Binding, FullDefaultSetBindsEachDeviceToItsOwnRows)
{
    std::vector<std::string> kinds = nqsim::SimKindNames();
    nqtest::SimEnvironment sim(kinds);
    ASSERT_TRUE(sim.ok());
    const Catalogue catalogue = SimulatorCatalogue();
    std::vector<DeviceSlot> slots = catalogue.SupportedInterfaces();
    RecordingListener listener;
    Discovery discovery(slots, listener, catalogue);
    discovery.RunPass();

    // Each interface of each device: the slot whose path it is has the device's identity and kind.
    struct Expect {
        const char* device;
        const char* link;
        uint16_t interfaceNumber, collection, productId, kind, role;
    };
    const Expect expected[] = {
        {"keyboard", "", 1, 4, 0x5041, kKindKeyboard, kRoleCommand},
        {"keyboard", "", 1, 3, 0x5041, kKindKeyboard, kRoleNotification},
        {"mouse", "", 1, 4, 0x5F10, kKindMouse, kRoleCommand},
        {"mouse", "", 1, 3, 0x5F10, kKindMouse, kRoleNotification},
        {"rxmouse", "wired", 1, 4, 0x5F11, kKindMouse, kRoleCommand},
        {"rxmouse", "wired", 1, 3, 0x5F11, kKindMouse, kRoleNotification},
        {"rxmouse", "receiver", 1, 4, 0x5F12, kKindReceiverMouse, kRoleCommand},
        {"rxmouse", "receiver", 1, 3, 0x5F12, kKindReceiverMouse, kRoleNotification},
        {"mousepad", "", 1, 4, 0x5F13, kKindMousePad, kRoleCommand},
        {"mousepad", "", 1, 3, 0x5F13, kKindMousePad, kRoleNotification},
        {"chargepad", "", 1, 4, 0x5F14, kKindMousePad, kRoleCommand},
        {"chargepad", "", 1, 3, 0x5F14, kKindMousePad, kRoleNotification},
        {"headset", "", 3, 0, 0x5F15, kKindHeadset, kRoleCommand},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(std::string(e.device) + " " + e.link + " col " + std::to_string(e.collection));
        const std::string path = sim.PathOf(e.device, e.interfaceNumber, e.collection, e.link);
        ASSERT_FALSE(path.empty());
        int bound = -1, times = 0;
        for (size_t i = 0; i < slots.size(); ++i)
            if (slots[i].connected && slots[i].path == path) {
                bound = static_cast<int>(i);
                ++times;
            }
        ASSERT_EQ(times, 1);
        EXPECT_EQ(slots[bound].productId, e.productId);
        EXPECT_EQ(slots[bound].kind, e.kind);
        EXPECT_EQ(slots[bound].role, e.role);
    }
    EXPECT_EQ(listener.arrived.size(), std::size(expected));
    // No placeholder row took any of them.
    for (const DeviceSlot& slot : slots)
        if (IsPlaceholder(slot))
            EXPECT_FALSE(slot.connected);
}

TEST(Binding, NamedIdentityNeverFallsBackToAPlaceholderOrAnotherKind)
{
    nqtest::SimEnvironment sim({"mouse"});
    const Catalogue catalogue = SimulatorCatalogue();
    std::vector<DeviceSlot> slots = catalogue.SupportedInterfaces();
    RecordingListener listener;
    Discovery discovery(slots, listener, catalogue);
    discovery.RunPass();
    ASSERT_EQ(listener.arrived.size(), 2u);

    // A second mouse of the same identity finds its rows taken: it is left alone, not put on
    // the placeholder rows or on another kind's rows.
    ASSERT_TRUE(sim.Sim().AddDevice("mouse:second"));
    ASSERT_TRUE(sim.Sim().AddDevice("mousepad@320F:5F10")); // a pad claiming the mouse's identity
    discovery.RunPass();
    EXPECT_EQ(listener.arrived.size(), 2u);
    for (const DeviceSlot& slot : slots)
        if (slot.connected)
            EXPECT_EQ(slot.path.find("/mouse-if1"), slot.path.rfind('/')) << slot.path;

    // An identity no row names binds nothing at all.
    ASSERT_TRUE(sim.Sim().AddDevice("mouse:unknown@320F:5FFF"));
    discovery.RunPass();
    EXPECT_EQ(listener.arrived.size(), 2u);

    // Only a device that reports the placeholder identity itself reaches a placeholder row, and
    // then the row of its interface's place in the table: the first free mouse pair.
    ASSERT_TRUE(sim.Sim().AddDevice("mouse:unnamed@0:0"));
    discovery.RunPass();
    ASSERT_EQ(listener.arrived.size(), 4u);
    for (int slot : {listener.arrived[2], listener.arrived[3]}) {
        EXPECT_TRUE(IsPlaceholder(slots[slot]));
        EXPECT_EQ(slots[slot].kind, kKindMouse);
        EXPECT_NE(slots[slot].path.find("/unnamed-if1"), std::string::npos);
    }
}
