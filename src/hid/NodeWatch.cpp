#include "hid/NodeWatch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace nq {

NodeWatch::~NodeWatch() { Stop(); }

bool NodeWatch::Start(const std::string& folder, std::string prefix, std::string suffix)
{
    Stop();
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return false;
    const uint32_t mask = IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                          IN_MOVE_SELF | IN_ONLYDIR;
    if (::inotify_add_watch(fd, folder.c_str(), mask) < 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_prefix = std::move(prefix);
    m_suffix = std::move(suffix);
    return true;
}

void NodeWatch::Stop()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool NodeWatch::Interesting(const char* name) const
{
    const size_t length = std::strlen(name);
    if (length < m_prefix.size() + m_suffix.size())
        return false;
    return std::memcmp(name, m_prefix.data(), m_prefix.size()) == 0 &&
           std::memcmp(name + length - m_suffix.size(), m_suffix.data(), m_suffix.size()) == 0;
}

bool NodeWatch::ReadEvents()
{
    alignas(inotify_event) char buffer[4096];
    bool interesting = false;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return interesting;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) {
                Stop(); // the folder went away: the caller looks on a timer until it is back
                return true;
            }
            if (event->mask & IN_Q_OVERFLOW)
                interesting = true;
            else if (event->len > 0 && Interesting(event->name))
                interesting = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

NodeWatch::Outcome NodeWatch::Wait(uint32_t timeoutMs, int stopFd)
{
    if (m_fd < 0)
        return Outcome::Failed;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int n = ::poll(fds, stopFd >= 0 ? 2 : 1, static_cast<int>(left > 0 ? left : 0));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Outcome::Failed;
        }
        if (stopFd >= 0 && fds[1].revents)
            return Outcome::Stopped;
        if (n == 0)
            return Outcome::TimedOut;
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            Stop();
            return Outcome::Failed;
        }
        if (ReadEvents())
            return m_fd >= 0 ? Outcome::Changed : Outcome::Failed;
        // Only events of no interest: wait on until the deadline.
    }
}

} // namespace nq
