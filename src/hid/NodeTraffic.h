#pragma once
// Reports read from one hidraw node, counted by one of its readers so that another reader of the
// same node can be woken from a pause before its queue fills.
//
// A node hands every input report to every open handle, and the kernel keeps at most 64 unread
// reports per handle (newer ones are dropped). A notice reader that pauses while the command
// collection's replies flow would lose a notice if more than 64 replies came during the pause. The
// command channel's reader counts what it reads; the pausing reader watches that count and wakes
// after a set number of reports, long before its own queue is full.
#include "common/EventFd.h"

#include <atomic>
#include <cstdint>

namespace nq {

class NodeTraffic {
public:
    NodeTraffic() = default;
    NodeTraffic(const NodeTraffic&) = delete;
    NodeTraffic& operator=(const NodeTraffic&) = delete;

    // One report was read from the node (any collection). Cheap when nobody watches.
    void Count();
    // Starts a watch: Fd() becomes readable once `reports` (at least 1) more reports are counted.
    void Watch(uint32_t reports);
    // Ends the watch and clears the signal.
    void EndWatch();
    // An eventfd to poll for POLLIN; -1 when it could not be created (then nothing wakes early).
    int Fd() const { return m_signal.Fd(); }

private:
    EventFd m_signal;
    std::atomic<uint32_t> m_left{0}; // reports still to count before the signal; 0: no watch
};

} // namespace nq
