#pragma once
// Faults a simulated firmware can be told to show at a given report: refuse it with status 0xFF
// or 0xFE, answer it late, answer it first with a stale report carrying another command code, or
// vanish from the bus while it is being sent. Reports are counted from 1 after the fault is armed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nqsim {

struct FirmwareFault {
    enum class Kind { Refuse, Delay, Mismatch, Unplug };
    Kind kind = Kind::Refuse;
    uint64_t atReport = 0; // absolute report number at which it fires
    int value = 0;         // Refuse: status byte; Delay: milliseconds; Mismatch: number of stale replies
};

// What the armed faults do to one report.
struct FaultEffect {
    int refuseStatus = -1; // status byte to answer with, -1 for none
    int delayMs = 0;
    int staleReplies = 0;
    bool unplug = false;
};

class FirmwareFaults {
public:
    // Arms a fault at the n-th report from now (n >= 1). `reportsSoFar` is the current count.
    void Arm(FirmwareFault::Kind kind, uint64_t reportsSoFar, uint64_t n, int value);
    // Removes and returns the faults of report number `report`.
    FaultEffect Take(uint64_t report);
    void Clear() { m_faults.clear(); }
    size_t Pending() const { return m_faults.size(); }
    std::string Describe() const;

private:
    std::vector<FirmwareFault> m_faults;
};

} // namespace nqsim
