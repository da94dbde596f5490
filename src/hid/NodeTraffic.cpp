#include "hid/NodeTraffic.h"

namespace nq {

void NodeTraffic::Count()
{
    uint32_t left = m_left.load(std::memory_order_relaxed);
    while (left > 0) {
        if (m_left.compare_exchange_weak(left, left - 1, std::memory_order_acq_rel)) {
            if (left == 1)
                m_signal.Signal();
            return;
        }
    }
}

void NodeTraffic::Watch(uint32_t reports)
{
    m_signal.Drain();
    m_left.store(reports ? reports : 1, std::memory_order_release);
}

void NodeTraffic::EndWatch()
{
    m_left.store(0, std::memory_order_release);
    m_signal.Drain();
}

} // namespace nq
