#include "devsim/firmware/FirmwareFaults.h"

#include <algorithm>

namespace nqsim {

void FirmwareFaults::Arm(FirmwareFault::Kind kind, uint64_t reportsSoFar, uint64_t n, int value)
{
    m_faults.push_back({kind, reportsSoFar + std::max<uint64_t>(n, 1), value});
}

FaultEffect FirmwareFaults::Take(uint64_t report)
{
    FaultEffect effect;
    for (auto it = m_faults.begin(); it != m_faults.end();) {
        if (it->atReport != report) {
            ++it;
            continue;
        }
        switch (it->kind) {
        case FirmwareFault::Kind::Refuse: effect.refuseStatus = it->value; break;
        case FirmwareFault::Kind::Delay: effect.delayMs = it->value; break;
        case FirmwareFault::Kind::Mismatch: effect.staleReplies = it->value; break;
        case FirmwareFault::Kind::Unplug: effect.unplug = true; break;
        }
        it = m_faults.erase(it);
    }
    // Faults whose report has passed can no longer fire.
    m_faults.erase(std::remove_if(m_faults.begin(), m_faults.end(),
                                  [report](const FirmwareFault& f) { return f.atReport < report; }),
                   m_faults.end());
    return effect;
}

std::string FirmwareFaults::Describe() const
{
    if (m_faults.empty())
        return "no faults armed";
    std::string out;
    for (const FirmwareFault& f : m_faults) {
        static const char* const names[] = {"refuse", "delay", "mismatch", "unplug"};
        if (!out.empty())
            out += "; ";
        out += std::string(names[static_cast<int>(f.kind)]) + " at report " + std::to_string(f.atReport);
        if (f.kind != FirmwareFault::Kind::Unplug)
            out += " (" + std::to_string(f.value) + ")";
    }
    return out;
}

} // namespace nqsim
