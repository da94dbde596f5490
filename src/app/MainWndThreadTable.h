#pragma once
// The main window's twenty worker-thread entries. In use: 0 discovery, 2 update notification,
// 8 synchronised lighting. Stopping sets every stop event, then waits at most 1000 ms per entry;
// a thread that has not ended by then is given up.
#include "common/WorkerThread.h"

#include <array>
#include <cstdint>

namespace nq::app {

class MainWndThreadTable {
public:
    static constexpr int kEntries = 20;
    static constexpr int kDiscovery = 0;
    static constexpr int kUpdateNotification = 2;
    static constexpr int kSyncLighting = 8;
    static constexpr uint32_t kStopWaitMs = 1000;

    ~MainWndThreadTable() { StopAll(); }

    bool Start(int entry, WorkerThread::Body body);
    bool IsRunning(int entry) const;
    // Sets all stop events, then waits for each entry in turn and logs how it ended. Returns the
    // number of threads that had to be given up. Does nothing the second time.
    int StopAll(uint32_t waitMs = kStopWaitMs);
    bool Stopped() const { return m_stopped; }

private:
    std::array<WorkerThread, kEntries> m_threads;
    bool m_stopped = false;
};

} // namespace nq::app
