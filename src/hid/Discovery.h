#pragma once
// Discovery and hot-plug: a thread that looks at the HID interfaces, binds interfaces the
// catalogue describes to free slots of the slot list, notices when a bound interface is gone, and
// reports both to its listener.
//
// A pass runs as soon as a node of the node folder (/dev, or the simulator's folder) is created,
// removed or given new permissions, at least once a second, and every 100 ms for the first
// 3 seconds of a node that could not be read or opened (it is tried again) or while the folder
// cannot be watched. Changes are
// therefore seen at least as soon as with a pass every 100 ms, and a machine where nothing is
// plugged or unplugged costs one wake-up a second.
//
// A pass enumerates only while some slot is free. The enumeration lists the HID nodes and reads the
// identity and report descriptor only of nodes not seen before (a node that is removed and created
// again counts as new); interfaces that were opened once are remembered with what they reported
// (ids and usages) for as long as their node stays the same, so an interface that matched no row is
// not opened again in every pass. With every slot bound a pass is only the presence tests of the
// bound paths (a stat of each node).
#include "common/StopEvent.h"
#include "hid/Catalogue.h"
#include "hid/DeviceSlot.h"
#include "hid/DiscoveryListener.h"
#include "hid/HidDevice.h"
#include "hid/NodeWatch.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace nq {

class Discovery {
public:
    static constexpr uint32_t kPassIntervalMs = 100;
    static constexpr uint32_t kQuietPassIntervalMs = 1000;
    // Failed reads or opens of one node that bring the next pass forward to 100 ms.
    static constexpr int kQuickRetries = 30;

    // The slot list and the listener must outlive the discovery.
    Discovery(std::vector<DeviceSlot>& slots, DiscoveryListener& listener,
              const Catalogue& catalogue = Catalogue::Default());
    ~Discovery();
    Discovery(const Discovery&) = delete;
    Discovery& operator=(const Discovery&) = delete;

    // The thread body: passes (see above) until the stop event is set. Returns 0.
    int Run(StopEvent& stop);

    // One pass: enumeration and binding while some slot is free, then the presence tests.
    void RunPass();

    bool AllSlotsConnected() const;
    bool IsCandidate(const InterfaceCandidate& candidate) const;
    bool BindSlot(InterfaceCandidate& candidate, int& slotIndex);

    // The node of a path still exists and is the one that was bound (see NodeIdentity).
    static bool IsPresent(const std::string& path, uint64_t boundIdentity);
    // An identity of the node behind a path (device and inode of the file), 0 when it is absent.
    static uint64_t NodeIdentity(const std::string& path);

    // Held while discovery changes `connected` and `path` of a slot. The UI thread takes it to read
    // the slot list outside the two handlers (inside them discovery is waiting anyway).
    std::mutex& SlotLock() { return m_slotLock; }

    // Passes that enumerated, and interfaces opened for probing, since construction (for tests
    // and benchmarks).
    int EnumerationCount() const { return m_enumerations; }
    int ProbeCount() const { return m_probes; }
    // Nodes whose identity and descriptor were read.
    int DescribedCount() const { return m_described; }

private:
    struct ProbeResult {
        uint64_t identity = 0;
        bool opened = false;
        uint16_t vendorId = 0, productId = 0, usagePage = 0, usage = 0;
    };

    void EnumerateAndBind();
    static bool StartWatch(NodeWatch& watch);
    // A node (or interface path) could not be read or opened in this pass.
    void NoteFailure(const std::string& key, uint64_t identity);
    // The interface paths of the nodes present, from the node cache.
    void ListPaths(std::vector<std::string>& paths);
    void CheckPresence();
    bool Probe(const std::string& path, ProbeResult& result);

    std::vector<DeviceSlot>& m_slots;
    DiscoveryListener& m_listener;
    const Catalogue& m_catalogue;
    std::mutex m_slotLock;
    std::vector<uint64_t> m_boundIdentity; // per slot
    std::map<std::string, ProbeResult> m_seen;
    struct NodeEntry {
        uint64_t identity = 0;
        std::vector<std::string> paths;
    };
    std::map<std::string, NodeEntry> m_nodes;
    int m_described = 0;
    bool m_firstPassDone = false;
    bool m_retryWanted = false; // the last pass could not read or open a node it should retry soon
    struct Failure {
        uint64_t identity = 0;
        int count = 0;
    };
    std::map<std::string, Failure> m_failures; // by node or path, while it keeps failing
    int m_enumerations = 0;
    int m_probes = 0;
};

} // namespace nq
