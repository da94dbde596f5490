#pragma once
// A non-blocking eventfd used as a wake-up signal for threads that wait in poll(): Signal() makes
// the descriptor readable, Drain() clears it. Fd() is -1 when no eventfd could be created; then
// Signal and Drain do nothing.
#include <cstdint>

#include <sys/eventfd.h>
#include <unistd.h>

namespace nq {

class EventFd {
public:
    EventFd() : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~EventFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    EventFd(const EventFd&) = delete;
    EventFd& operator=(const EventFd&) = delete;

    int Fd() const { return m_fd; }
    void Signal() const
    {
        if (m_fd >= 0) {
            const uint64_t one = 1;
            [[maybe_unused]] ssize_t n = ::write(m_fd, &one, sizeof one);
        }
    }
    void Drain() const
    {
        if (m_fd >= 0) {
            uint64_t value = 0;
            [[maybe_unused]] ssize_t n = ::read(m_fd, &value, sizeof value);
        }
    }

private:
    int m_fd;
};

} // namespace nq
