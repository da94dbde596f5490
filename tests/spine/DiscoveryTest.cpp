// Discovery against the simulator's interfaces on real sockets.
#include "DebugCapture.h"
#include "support/SimFixture.h"
#include "common/WorkerThread.h"
#include "hid/Discovery.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <cstdlib>

using namespace nq;
using namespace std::chrono_literals;

namespace {

class RecordingListener : public DiscoveryListener {
public:
    struct Event {
        char type; // '+' arrived, '-' removed
        int slot;
        std::string path;
    };

    explicit RecordingListener(std::vector<DeviceSlot>& slots) : m_slots(slots) {}

    void SendDeviceArrived(int slot) override { Record('+', slot); }
    void SendDeviceRemoved(int slot) override { Record('-', slot); }
    void PostFirstPassDone() override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        ++firstPasses;
    }

    std::vector<Event> Events()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_events;
    }
    // Waits until `count` events were recorded.
    bool WaitFor(size_t count, std::chrono::milliseconds limit)
    {
        std::unique_lock<std::mutex> guard(m_lock);
        return m_cv.wait_for(guard, limit, [&] { return m_events.size() >= count; });
    }

    int firstPasses = 0;

private:
    void Record(char type, int slot)
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            // What a handler sees: the slot as discovery left it.
            m_events.push_back({type, slot, m_slots[slot].path});
        }
        m_cv.notify_all();
    }

    std::vector<DeviceSlot>& m_slots;
    std::mutex m_lock;
    std::condition_variable m_cv;
    std::vector<Event> m_events;
};

std::vector<DeviceSlot> CatalogueSlots()
{
    return Catalogue().SupportedInterfaces();
}

// A discovery over a slot list, reporting to a recording listener.
struct Rig {
    explicit Rig(std::vector<DeviceSlot> rows = CatalogueSlots()) : slots(std::move(rows)) {}
    std::vector<DeviceSlot> slots;
    RecordingListener listener{slots};
    Catalogue catalogue;
    Discovery discovery{slots, listener, catalogue};
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(Discovery, KeyboardArrivesOnBothSlotsAndLeavesFromBoth)
{
    nqtest::SimEnvironment sim;
    Rig rig;
    auto& [slots, listener, catalogue, discovery] = rig;

    discovery.RunPass(); // nothing plugged
    EXPECT_TRUE(listener.Events().empty());
    EXPECT_EQ(listener.firstPasses, 1);

    ASSERT_TRUE(sim.Sim().AddDevice("keyboard"));
    discovery.RunPass();
    auto events = listener.Events();
    ASSERT_EQ(events.size(), 2u);
    // In enumeration order: collection 3 (notices, slot 1) before collection 4 (commands, slot 0).
    EXPECT_EQ(events[0].type, '+');
    EXPECT_EQ(events[0].slot, 1);
    EXPECT_TRUE(Contains(events[0].path, "&col03")) << events[0].path;
    EXPECT_EQ(events[1].type, '+');
    EXPECT_EQ(events[1].slot, 0);
    EXPECT_TRUE(Contains(events[1].path, "&col04")) << events[1].path;
    EXPECT_TRUE(slots[0].connected && slots[1].connected);
    for (size_t i = 2; i < slots.size(); ++i)
        EXPECT_TRUE(slots[i].IsFree());
    EXPECT_EQ(listener.firstPasses, 1); // only after the first pass

    discovery.RunPass(); // nothing new
    EXPECT_EQ(listener.Events().size(), 2u);

    ASSERT_TRUE(sim.Sim().Unplug("keyboard"));
    discovery.RunPass();
    events = listener.Events();
    ASSERT_EQ(events.size(), 4u);
    std::set<int> removed = {events[2].slot, events[3].slot};
    EXPECT_EQ(events[2].type, '-');
    EXPECT_EQ(events[3].type, '-');
    EXPECT_EQ(removed, (std::set<int>{0, 1}));
    EXPECT_TRUE(events[2].path.empty()); // the slot is already free when the handler runs
    EXPECT_TRUE(slots[0].IsFree() && slots[1].IsFree());

    // Plugged again: bound again.
    ASSERT_TRUE(sim.Sim().Plug("keyboard"));
    discovery.RunPass();
    EXPECT_EQ(listener.Events().size(), 6u);
}

TEST(Discovery, SecondIdenticalKeyboardIsIgnored)
{
    nqtest::SimEnvironment sim;
    Rig rig;
    auto& [slots, listener, catalogue, discovery] = rig;
    ASSERT_TRUE(sim.Sim().AddDevice("keyboard"));
    discovery.RunPass();
    ASSERT_EQ(listener.Events().size(), 2u);
    const std::string boundPath = slots[0].path;
    const int probes = discovery.ProbeCount();

    ASSERT_TRUE(sim.Sim().AddDevice("keyboard:second"));
    for (int i = 0; i < 3; ++i)
        discovery.RunPass();
    EXPECT_EQ(listener.Events().size(), 2u);
    EXPECT_EQ(slots[0].path, boundPath);
    EXPECT_EQ(discovery.ProbeCount(), probes); // no free slot: not even opened

    // The first one leaves: the second takes its slots.
    ASSERT_TRUE(sim.Sim().Unplug("keyboard"));
    discovery.RunPass(); // removals
    discovery.RunPass(); // arrivals of the second keyboard
    auto events = listener.Events();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_TRUE(Contains(slots[0].path, "second")) << slots[0].path;
}

TEST(Discovery, PassesStayCheap)
{
    nqtest::SimEnvironment sim;
    // Only the keyboard's two rows: once both are bound no enumeration happens at all.
    const std::vector<DeviceSlot> rows = CatalogueSlots();
    Rig keyboardOnly({rows.begin(), rows.begin() + 2});
    auto& discovery = keyboardOnly.discovery;
    ASSERT_TRUE(sim.Sim().AddDevice("keyboard"));
    discovery.RunPass();
    ASSERT_TRUE(discovery.AllSlotsConnected());
    const int enumerations = discovery.EnumerationCount();
    for (int i = 0; i < 5; ++i)
        discovery.RunPass();
    EXPECT_EQ(discovery.EnumerationCount(), enumerations);

    // With free placeholder slots the passes enumerate, but interfaces already seen are not
    // opened again.
    Rig rig;
    auto& listener2 = rig.listener;
    auto& full = rig.discovery;
    ASSERT_TRUE(sim.Sim().AddDevice("mouse@0:0")); // a placeholder mouse (ids 0) binds slots 2 and 3
    full.RunPass();
    EXPECT_EQ(listener2.Events().size(), 4u);
    const int probes = full.ProbeCount();
    const int described = full.DescribedCount();
    EXPECT_EQ(described, 4); // keyboard and mouse, interfaces 0 and 1 each
    for (int i = 0; i < 5; ++i)
        full.RunPass();
    EXPECT_EQ(full.ProbeCount(), probes);
    EXPECT_EQ(full.DescribedCount(), described); // descriptors are not read again
    EXPECT_EQ(full.EnumerationCount(), 6);

    // A node that goes and comes back is read again.
    ASSERT_TRUE(sim.Sim().Unplug("mouse"));
    full.RunPass();
    ASSERT_TRUE(sim.Sim().Plug("mouse"));
    full.RunPass();
    EXPECT_EQ(full.DescribedCount(), described + 2);
    EXPECT_EQ(listener2.Events().size(), 8u);
}

namespace {

// A consumer-control collection with report ID `id`.
void AppendConsumerCollection(std::vector<uint8_t>& d, uint8_t id)
{
    const uint8_t bytes[] = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, id, 0x19, 0x00, 0x2A, 0xFF, 0x03,
                             0x15, 0x00, 0x26, 0xFF, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0};
    d.insert(d.end(), std::begin(bytes), std::end(bytes));
}

// An interface laid out by hand in the simulator folder: descriptor, identity and a listening
// socket, the way the simulator presents its own.
struct HandMadeInterface {
    int fd = -1;
    HandMadeInterface(const std::string& folder, const std::string& base, const std::vector<uint8_t>& descriptor)
    {
        std::ofstream(folder + base + ".desc", std::ios::binary)
            .write(reinterpret_cast<const char*>(descriptor.data()), static_cast<std::streamsize>(descriptor.size()));
        std::ofstream(folder + base + ".id") << "vendor=320f\nproduct=5041\nversion=0100\ninterface=1\ndevice=odd\n"
                                                "kind=keyboard\nlink=\n";
        fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::string path = folder + base + ".sock";
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd, 8);
    }
    ~HandMadeInterface() { ::close(fd); }
};

} // namespace

TEST(Discovery, WrongUsagePageIsNotBound)
{
    nqtest::SimEnvironment sim;
    // Interface 1 of 0x320F:0x5041 whose collection 4 is a consumer control (page 0x000C).
    std::vector<uint8_t> descriptor;
    for (uint8_t id = 1; id <= 4; ++id)
        AppendConsumerCollection(descriptor, id);
    HandMadeInterface odd(sim.Folder(), "odd-if1", descriptor);

    Rig rig;
    auto& [slots, listener, catalogue, discovery] = rig;
    discovery.RunPass();
    auto events = listener.Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].slot, 1); // collection 3 is a proper notification interface
    EXPECT_TRUE(slots[0].IsFree());

    const int probes = discovery.ProbeCount();
    discovery.RunPass();
    EXPECT_TRUE(slots[0].IsFree());
    EXPECT_EQ(discovery.ProbeCount(), probes); // remembered, not opened again
}

TEST(Discovery, StopEventEndsTheThreadPromptly)
{
    nqtest::SimEnvironment sim;
    ASSERT_TRUE(sim.Sim().AddDevice("keyboard"));
    Rig rig;
    auto& [slots, listener, catalogue, discovery] = rig;
    nqtest::DebugCapture log;
    WorkerThread thread;
    thread.Start([&](StopEvent& stop) { return discovery.Run(stop); });
    ASSERT_TRUE(listener.WaitFor(2, 2s));

    // Unplugged while the thread runs: both removals within about one pass interval.
    auto unplugged = std::chrono::steady_clock::now();
    ASSERT_TRUE(sim.Sim().Unplug("keyboard"));
    ASSERT_TRUE(listener.WaitFor(4, 2s));
    EXPECT_LT(std::chrono::steady_clock::now() - unplugged, 400ms);

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(thread.Stop(1000), WaitOutcome::Signalled);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(log.Count("抓取设备线程设定退出"), 1);
}

TEST(Discovery, PassesFollowNodeChangesAndRetryNodesThatCannotBeRead)
{
    nqtest::SimEnvironment sim;
    Rig rig;
    auto& [slots, listener, catalogue, discovery] = rig;
    WorkerThread thread;
    thread.Start([&](StopEvent& stop) { return discovery.Run(stop); });

    // Nothing changes: after the first pass the thread waits for the node folder.
    std::this_thread::sleep_for(650ms);
    EXPECT_LE(discovery.EnumerationCount(), 2);

    // A device plugged in is seen at once, not on a timer.
    const auto plugged = std::chrono::steady_clock::now();
    ASSERT_TRUE(sim.Sim().AddDevice("keyboard"));
    ASSERT_TRUE(listener.WaitFor(2, 2s));
    EXPECT_LT(std::chrono::steady_clock::now() - plugged, 300ms);

    // A node whose identity cannot be read yet is looked at every 100 ms until it can.
    const std::string ghost = sim.Folder() + "ghost-if1.sock";
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", ghost.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::this_thread::sleep_for(100ms);
    const int before = discovery.EnumerationCount();
    std::this_thread::sleep_for(550ms);
    EXPECT_GE(discovery.EnumerationCount() - before, 3);
    // ...for about three seconds; then only once a second (or when the folder changes).
    std::this_thread::sleep_for(2700ms);
    const int later = discovery.EnumerationCount();
    std::this_thread::sleep_for(1100ms);
    EXPECT_LE(discovery.EnumerationCount() - later, 2);

    // Gone again: quiet.
    ::close(fd);
    ::unlink(ghost.c_str());
    std::this_thread::sleep_for(150ms);
    const int quiet = discovery.EnumerationCount();
    std::this_thread::sleep_for(550ms);
    EXPECT_LE(discovery.EnumerationCount() - quiet, 1);

    // A removal is seen at once too.
    const auto unplugged = std::chrono::steady_clock::now();
    ASSERT_TRUE(sim.Sim().Unplug("keyboard"));
    ASSERT_TRUE(listener.WaitFor(4, 2s));
    EXPECT_LT(std::chrono::steady_clock::now() - unplugged, 300ms);
    EXPECT_EQ(thread.Stop(1000), WaitOutcome::Signalled);
}

TEST(Discovery, FolderThatAppearsLaterIsWatchedOnceItExists)
{
    // The simulator folder is named but not there yet: discovery looks on a 100 ms timer, and
    // watches the folder once it exists.
    nqtest::SimEnvironment sim;
    const std::string later = sim.Folder() + "later/";
    const char* previous = std::getenv("NQ501_SIM_DIR");
    const std::string saved = previous ? previous : "";
    ::setenv("NQ501_SIM_DIR", later.c_str(), 1);
    {
        Rig rig;
        auto& [slots, listener, catalogue, discovery] = rig;
        WorkerThread thread;
        thread.Start([&](StopEvent& stop) { return discovery.Run(stop); });
        std::this_thread::sleep_for(350ms);
        EXPECT_GE(discovery.EnumerationCount(), 3);
        ASSERT_EQ(::mkdir(later.c_str(), 0700), 0);
        std::this_thread::sleep_for(250ms); // the next timed pass starts the watch
        const int watched = discovery.EnumerationCount();
        std::this_thread::sleep_for(550ms);
        EXPECT_LE(discovery.EnumerationCount() - watched, 1);
        EXPECT_EQ(thread.Stop(1000), WaitOutcome::Signalled);
        ::rmdir(later.c_str());
    }
    ::setenv("NQ501_SIM_DIR", saved.c_str(), 1);
}
