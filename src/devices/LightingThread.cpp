#include "devices/LightingThread.h"

#include <algorithm>
#include <atomic>
#include <system_error>

#include "common/DebugLog.h"

namespace nq {

// State shared with the thread; it outlives the LightingThread object when a thread that did not
// stop in time is left to finish.
struct LightingThread::Shared {
    std::mutex lock;
    std::condition_variable wake;    // stop requests
    std::condition_variable exited;  // the thread has left its loop
    bool stopRequested = false;
    bool woken = false;
    bool done = false;
    std::atomic<uint64_t> wakeups{0};
    PassFunction function;
    std::string exitMessage;
};

LightingThread::LightingThread(std::string exitMessage) : m_exitMessage(std::move(exitMessage)) {}

LightingThread::~LightingThread() { Stop(); }

bool LightingThread::Start(PassFunction function)
{
    Stop();
    auto shared = std::make_shared<Shared>();
    shared->function = std::move(function);
    shared->exitMessage = m_exitMessage;
    try {
        m_thread = std::thread([shared] {
            using Clock = std::chrono::steady_clock;
            Clock::time_point base = Clock::now(); // the pass grid
            int passes = 1;
            std::unique_lock<std::mutex> guard(shared->lock);
            for (;;) {
                const bool sleeping = passes == kUntilWoken;
                if (sleeping) {
                    shared->wake.wait(guard, [&] { return shared->stopRequested || shared->woken; });
                    if (shared->stopRequested)
                        break;
                } else {
                    const Clock::time_point deadline = base + passes * kPass;
                    if (shared->wake.wait_until(guard, deadline, [&] { return shared->stopRequested; }))
                        break;
                }
                shared->woken = false;
                guard.unlock();
                const Clock::time_point now = Clock::now();
                int elapsed = int((now - base) / kPass);
                if (sleeping) {
                    base = now; // a new grid: nothing was shown while it slept
                    elapsed = 1;
                } else if (elapsed > kMaxPasses) {
                    // Far behind (a suspended machine): start a new grid instead of catching up.
                    base = now;
                    elapsed = kMaxPasses;
                } else {
                    elapsed = std::max(elapsed, 1);
                    base += elapsed * kPass;
                }
                shared->wakeups.fetch_add(1, std::memory_order_relaxed);
                passes = shared->function(elapsed);
                if (passes != kUntilWoken)
                    passes = std::clamp(passes, 1, kMaxPasses);
                guard.lock();
            }
            guard.unlock();
            DebugOut(shared->exitMessage);
            guard.lock();
            shared->done = true;
            shared->exited.notify_all();
        });
    } catch (const std::system_error&) {
        return false;
    }
    m_shared = std::move(shared);
    return true;
}

LightingThread::StopOutcome LightingThread::Stop(uint32_t timeoutMs)
{
    if (!m_thread.joinable())
        return StopOutcome::NotRunning;
    std::shared_ptr<Shared> shared = m_shared;
    bool ended;
    {
        std::unique_lock<std::mutex> guard(shared->lock);
        shared->stopRequested = true;
        shared->wake.notify_all();
        ended = shared->exited.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                        [&] { return shared->done; });
    }
    if (ended) {
        m_thread.join();
        return StopOutcome::Stopped;
    }
    m_thread.detach();
    return StopOutcome::TimedOut;
}

void LightingThread::Wake()
{
    if (!m_shared)
        return;
    std::lock_guard<std::mutex> guard(m_shared->lock);
    m_shared->woken = true;
    m_shared->wake.notify_all();
}

bool LightingThread::Running() const
{
    if (!m_thread.joinable())
        return false;
    std::lock_guard<std::mutex> guard(m_shared->lock);
    return !m_shared->done;
}

uint64_t LightingThread::Wakeups() const
{
    return m_shared ? m_shared->wakeups.load(std::memory_order_relaxed) : 0;
}

} // namespace nq
