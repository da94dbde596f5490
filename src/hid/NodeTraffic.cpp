#include "hid/NodeTraffic.h"

#include <sys/eventfd.h>
#include <unistd.h>

namespace nq {

NodeTraffic::NodeTraffic() : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

NodeTraffic::~NodeTraffic()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void NodeTraffic::Count()
{
    uint32_t left = m_left.load(std::memory_order_relaxed);
    while (left > 0) {
        if (m_left.compare_exchange_weak(left, left - 1, std::memory_order_acq_rel)) {
            if (left == 1 && m_fd >= 0) {
                const uint64_t one = 1;
                [[maybe_unused]] ssize_t n = ::write(m_fd, &one, sizeof one);
            }
            return;
        }
    }
}

void NodeTraffic::Watch(uint32_t reports)
{
    Drain();
    m_left.store(reports ? reports : 1, std::memory_order_release);
}

void NodeTraffic::EndWatch()
{
    m_left.store(0, std::memory_order_release);
    Drain();
}

void NodeTraffic::Drain()
{
    if (m_fd < 0)
        return;
    uint64_t value = 0;
    [[maybe_unused]] ssize_t n = ::read(m_fd, &value, sizeof value);
}

} // namespace nq
