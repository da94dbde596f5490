#pragma once
// A manual-reset event: once set it stays set until reset. Worker threads wait on it with a time
// limit instead of sleeping, so a stop request ends their wait at once.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace nq {

class StopEvent {
public:
    void Set()
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_set = true;
        }
        m_cv.notify_all();
    }

    void Reset()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_set = false;
    }

    bool IsSet() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_set;
    }

    // Waits at most timeoutMs for the event; true when it is set.
    bool Wait(uint32_t timeoutMs) const
    {
        std::unique_lock<std::mutex> guard(m_lock);
        return m_cv.wait_for(guard, std::chrono::milliseconds(timeoutMs), [this] { return m_set; });
    }

private:
    mutable std::mutex m_lock;
    mutable std::condition_variable m_cv;
    bool m_set = false;
};

} // namespace nq
