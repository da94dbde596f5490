#include "hid/Discovery.h"

#include "common/DebugLog.h"
#include "hid/HidEnumerator.h"
#include "hid/NodeWatch.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <set>
#include <sys/stat.h>

namespace nq {

namespace fs = std::filesystem;

namespace {

// The file behind an interface path: everything before the "?" that carries the ids.
std::string NodeOf(const std::string& path)
{
    size_t mark = path.find('?');
    return mark == std::string::npos ? path : path.substr(0, mark);
}

} // namespace

Discovery::Discovery(std::vector<DeviceSlot>& slots, DiscoveryListener& listener, const Catalogue& catalogue)
    : m_slots(slots), m_listener(listener), m_catalogue(catalogue), m_boundIdentity(slots.size(), 0)
{
}

Discovery::~Discovery() = default;

int Discovery::Run(StopEvent& stop)
{
    // The stop event is fresh and clear when the thread starts; clearing it here could lose a
    // stop request that came before the thread ran.
    NodeWatch watch;
    const int stopFd = stop.WakeFd();
    for (;;) {
        if (stop.IsSet())
            break;
        // The watch starts before the pass, so a change during the pass wakes the next wait.
        if (!watch.Active() && stopFd >= 0)
            StartWatch(watch);
        RunPass();
        // Every 100 ms while a node waits to be read again or nothing can be watched; otherwise
        // on the next change of the nodes, and at least once a second.
        const uint32_t wait = (!watch.Active() || m_retryWanted) ? kPassIntervalMs : kQuietPassIntervalMs;
        if (watch.Active()) {
            if (watch.Wait(wait, stopFd) == NodeWatch::Outcome::Stopped)
                break;
        } else if (stop.Wait(wait)) {
            break;
        }
    }
    DebugOut("抓取设备线程设定退出");
    return 0;
}

bool Discovery::StartWatch(NodeWatch& watch)
{
    const std::string sim = HidEnumerator::SimulatorFolder();
    return sim.empty() ? watch.Start("/dev", "hidraw", "") : watch.Start(sim, "", ".sock");
}

void Discovery::RunPass()
{
    m_retryWanted = false;
    if (!AllSlotsConnected())
        EnumerateAndBind();
    CheckPresence();
}

bool Discovery::AllSlotsConnected() const
{
    for (const DeviceSlot& slot : m_slots)
        if (!slot.connected && slot.path.empty())
            return false;
    return true;
}

bool Discovery::IsCandidate(const InterfaceCandidate& candidate) const
{
    return m_catalogue.IsCandidate(candidate, m_slots);
}

bool Discovery::BindSlot(InterfaceCandidate& candidate, int& slotIndex)
{
    std::lock_guard<std::mutex> guard(m_slotLock);
    slotIndex = m_catalogue.BindSlot(candidate, m_slots);
    return slotIndex >= 0;
}

uint64_t Discovery::NodeIdentity(const std::string& path)
{
    struct stat info {};
    if (::stat(NodeOf(path).c_str(), &info) != 0)
        return 0;
    uint64_t identity = (static_cast<uint64_t>(info.st_dev) << 40) ^ static_cast<uint64_t>(info.st_ino);
    return identity ? identity : 1;
}

bool Discovery::IsPresent(const std::string& path, uint64_t boundIdentity)
{
    uint64_t now = NodeIdentity(path);
    if (now == 0)
        return false;
    // A node removed and created again (another device on the same node) is a removal too.
    return boundIdentity == 0 || now == boundIdentity;
}

bool Discovery::Probe(const std::string& path, ProbeResult& result)
{
    ++m_probes;
    HidDevice probe;
    if (!probe.Open(path, true, false, true, false))
        return false;
    result.opened = true;
    result.vendorId = probe.Attributes().vendorId;
    result.productId = probe.Attributes().productId;
    result.usagePage = probe.Caps().usagePage;
    result.usage = probe.Caps().usage;
    probe.Close();
    return true;
}

void Discovery::ListPaths(std::vector<std::string>& paths)
{
    // The node names are cheap to list; identity and descriptor are read once per node.
    std::vector<std::string> names;
    std::error_code error;
    const std::string sim = HidEnumerator::SimulatorFolder();
    if (!sim.empty()) {
        for (const auto& entry : fs::directory_iterator(sim, error)) {
            std::string node = entry.path().string();
            if (node.size() > 5 && node.compare(node.size() - 5, 5, ".sock") == 0)
                names.push_back(std::move(node));
        }
        std::sort(names.begin(), names.end());
    } else {
        std::vector<std::pair<long, std::string>> numbered;
        for (const auto& entry : fs::directory_iterator("/sys/class/hidraw", error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("hidraw", 0) == 0)
                numbered.emplace_back(std::strtol(name.c_str() + 6, nullptr, 10), "/dev/" + name);
        }
        std::sort(numbered.begin(), numbered.end());
        for (auto& [number, node] : numbered)
            names.push_back(std::move(node));
    }

    std::map<std::string, NodeEntry> current;
    for (const std::string& node : names) {
        const uint64_t identity = NodeIdentity(node);
        if (identity == 0)
            continue;
        auto known = m_nodes.find(node);
        if (known != m_nodes.end() && known->second.identity == identity) {
            current.emplace(node, std::move(known->second));
            continue;
        }
        HidNodeInfo info;
        ++m_described;
        if (!HidEnumerator::DescribeNode(node, info)) {
            NoteFailure(node, identity);
            continue; // read again next pass
        }
        m_failures.erase(node);
        current.emplace(node, NodeEntry{identity, HidEnumerator::PathsOf(info)});
    }
    m_nodes = std::move(current);
    for (const auto& [node, entry] : m_nodes)
        paths.insert(paths.end(), entry.paths.begin(), entry.paths.end());
}

void Discovery::NoteFailure(const std::string& key, uint64_t identity)
{
    Failure& failure = m_failures[key];
    if (failure.identity != identity)
        failure = Failure{identity, 0};
    // Soon after a node appears its permissions may not be set yet: look again every 100 ms for a
    // few seconds. After that only a change of the node (or the pass once a second) tries again.
    if (++failure.count <= kQuickRetries)
        m_retryWanted = true;
}

void Discovery::EnumerateAndBind()
{
    // A bus that cannot be listed (no hidraw nodes at all, no simulator folder yet) is an empty
    // bus: discovery goes on and finds the devices once they appear.
    std::vector<std::string> paths;
    ListPaths(paths);
    ++m_enumerations;

    std::set<std::string> present(paths.begin(), paths.end());
    for (auto it = m_seen.begin(); it != m_seen.end();)
        it = present.count(it->first) ? std::next(it) : m_seen.erase(it);

    for (const std::string& path : paths) {
        InterfaceCandidate candidate;
        candidate.vendorId = HidDevice::ParseVendorId(path);
        candidate.productId = HidDevice::ParseProductId(path);
        candidate.interfaceNumber = HidDevice::ParseInterfaceNumber(path);
        candidate.collectionNumber = HidDevice::ParseCollectionNumber(path);
        candidate.path = path;
        if (!IsCandidate(candidate))
            continue;

        uint64_t identity = NodeIdentity(path);
        auto seen = m_seen.find(path);
        if (seen == m_seen.end() || seen->second.identity != identity || identity == 0) {
            ProbeResult result;
            result.identity = identity;
            if (!Probe(path, result)) {
                m_seen.erase(path); // could not open: probed again next pass
                NoteFailure(path, identity);
                continue;
            }
            seen = m_seen.insert_or_assign(path, result).first;
            m_failures.erase(path);
        }
        candidate.vendorId = seen->second.vendorId;
        candidate.productId = seen->second.productId;
        candidate.usagePage = seen->second.usagePage;
        candidate.usage = seen->second.usage;
        int slotIndex = -1;
        if (BindSlot(candidate, slotIndex)) {
            if (slotIndex < static_cast<int>(m_boundIdentity.size()))
                m_boundIdentity[slotIndex] = identity;
            m_listener.SendDeviceArrived(slotIndex);
        }
    }

    for (auto it = m_failures.begin(); it != m_failures.end();)
        it = NodeIdentity(it->first) == 0 ? m_failures.erase(it) : std::next(it);

    if (!m_firstPassDone) {
        m_firstPassDone = true;
        m_listener.PostFirstPassDone();
    }
}

void Discovery::CheckPresence()
{
    if (m_boundIdentity.size() < m_slots.size())
        m_boundIdentity.resize(m_slots.size(), 0);
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i].connected)
            continue;
        if (IsPresent(m_slots[i].path, m_boundIdentity[i]))
            continue;
        std::string path = m_slots[i].path;
        {
            std::lock_guard<std::mutex> guard(m_slotLock);
            m_slots[i].connected = 0;
            m_slots[i].path.clear();
        }
        m_seen.erase(path);
        m_boundIdentity[i] = 0;
        m_listener.SendDeviceRemoved(static_cast<int>(i));
    }
}

} // namespace nq
