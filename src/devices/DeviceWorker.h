#pragma once
// The thread that carries out a device's transfers that wait for the device: the reads at
// connection and after a device notice, the configuration writes, the status poll and the 20 Hz
// lighting frame. The UI thread hands it work and goes on; it never waits for a reply itself.
//
// Jobs run one at a time, in the order they were handed in. The lighting frame has one slot of
// its own: a frame handed in while the previous one has not started yet replaces it, so a slow
// device drops frames instead of piling them up, and a waiting configuration job runs before the
// next frame (configuration traffic goes first, as on the command channel). The thread sleeps on
// a condition variable while there is nothing to do, and starts with the first job.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace nq {

class DeviceWorker {
public:
    using Job = std::function<void()>;

    DeviceWorker() = default;
    ~DeviceWorker(); // Stop
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Queues a job. False after Stop (the job is dropped).
    bool Post(Job job);
    // Puts a lighting frame into the frame slot, replacing a frame that has not started.
    bool PostFrame(Job frame);
    // True while a job or a frame waits or runs.
    bool Busy() const;
    // Waits until nothing waits or runs; false when timeoutMs passed first.
    bool WaitIdle(uint32_t timeoutMs);
    // Frames replaced before they ran, since the start.
    uint64_t DroppedFrames() const;
    // Drops what has not started, waits for the running job and ends the thread. Later Post and
    // PostFrame calls are refused until Restart.
    void Stop();
    // Accepts work again after Stop.
    void Restart();
    bool OnWorkerThread() const { return std::this_thread::get_id() == m_threadId; }

private:
    void Loop();
    bool StartLocked();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;   // work arrived or stop
    std::condition_variable m_idle;   // nothing left
    std::deque<Job> m_jobs;
    Job m_frame;
    bool m_running = false;           // a job or frame is being carried out
    bool m_stopping = false;
    bool m_refusing = false;
    uint64_t m_dropped = 0;
    std::thread m_thread;
    std::thread::id m_threadId;
};

} // namespace nq
