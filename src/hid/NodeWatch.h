#pragma once
// Tells discovery when the HID nodes of the machine may have changed, so that it need not look
// every 100 ms while nothing happens: an inotify watch on the folder of the nodes (/dev, or the
// simulator's folder) that reports nodes created, removed, renamed or given new permissions (udev
// sets a node's permissions just after creating it). Only names with the given prefix and suffix
// count, so the many other files of /dev, or the simulator's log, wake nobody.
#include <cstdint>
#include <string>

namespace nq {

class NodeWatch {
public:
    enum class Outcome {
        Changed,  // a node of interest changed (or events were lost: look anyway)
        TimedOut, // nothing happened within the time limit
        Stopped,  // the stop descriptor became readable
        Failed,   // no watch (or it ended because the folder went away)
    };

    NodeWatch() = default;
    ~NodeWatch();
    NodeWatch(const NodeWatch&) = delete;
    NodeWatch& operator=(const NodeWatch&) = delete;

    // Starts watching `folder`; false when it cannot be watched (missing folder, no inotify).
    bool Start(const std::string& folder, std::string prefix, std::string suffix);
    void Stop();
    bool Active() const { return m_fd >= 0; }

    // Waits at most timeoutMs for a change of interest or for stopFd (-1: none) to become
    // readable. Reads every pending event.
    Outcome Wait(uint32_t timeoutMs, int stopFd);

private:
    // Reads the pending events; true when one of them is of interest. Ends the watch when the
    // folder itself went away.
    bool ReadEvents();
    bool Interesting(const char* name) const;

    int m_fd = -1;
    std::string m_prefix, m_suffix;
};

} // namespace nq
