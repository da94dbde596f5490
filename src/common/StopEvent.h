#pragma once
// A manual-reset event: once set it stays set until reset. Worker threads wait on it with a time
// limit instead of sleeping, so a stop request ends their wait at once.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include <sys/eventfd.h>
#include <unistd.h>

namespace nq {

class StopEvent {
public:
    StopEvent() = default;
    ~StopEvent()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    StopEvent(const StopEvent&) = delete;
    StopEvent& operator=(const StopEvent&) = delete;

    void Set()
    {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_set = true;
            Signal();
        }
        m_cv.notify_all();
    }

    void Reset()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_set = false;
        if (m_fd >= 0) {
            uint64_t value = 0;
            [[maybe_unused]] ssize_t n = ::read(m_fd, &value, sizeof value);
        }
    }

    // A descriptor that polls readable (POLLIN) while the event is set, for a thread that waits on
    // other descriptors too. Created on first use; -1 when no descriptor can be made.
    int WakeFd() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_fd < 0) {
            m_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
            if (m_set)
                Signal();
        }
        return m_fd;
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
    void Signal() const
    {
        if (m_fd >= 0) {
            const uint64_t one = 1;
            [[maybe_unused]] ssize_t n = ::write(m_fd, &one, sizeof one);
        }
    }

    mutable std::mutex m_lock;
    mutable std::condition_variable m_cv;
    mutable int m_fd = -1;
    bool m_set = false;
};

} // namespace nq
