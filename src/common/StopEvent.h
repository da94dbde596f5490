#pragma once
// A manual-reset event: once set it stays set until reset. Worker threads wait on it with a time
// limit instead of sleeping, so a stop request ends their wait at once.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "common/EventFd.h"

namespace nq {

class StopEvent {
public:
    StopEvent() = default;
    StopEvent(const StopEvent&) = delete;
    StopEvent& operator=(const StopEvent&) = delete;

    void Set()
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_set = true;
            if (m_wake)
                m_wake->Signal();
        }
        m_cv.notify_all();
    }

    void Reset()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_set = false;
        if (m_wake)
            m_wake->Drain();
    }

    // A descriptor that polls readable (POLLIN) while the event is set, for a thread that waits on
    // other descriptors too. Created on first use; -1 when no descriptor can be made.
    int WakeFd() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_wake) {
            m_wake = std::make_unique<EventFd>();
            if (m_set)
                m_wake->Signal();
        }
        return m_wake->Fd();
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
    mutable std::unique_ptr<EventFd> m_wake; // created by the first WakeFd()
    bool m_set = false;
};

} // namespace nq
