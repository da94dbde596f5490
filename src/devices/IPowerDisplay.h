#pragma once
// The power display of a device page: battery, charging, wireless and phone state from the
// device's status report.
#include <cstddef>
#include <cstdint>

namespace nq {

class IPowerDisplay {
public:
    virtual ~IPowerDisplay() = default;
    // Up to 64 bytes of the status report; fewer bytes count as zeros.
    virtual void Update(const uint8_t* status, size_t length) = 0;
    // Shows or hides the "device_power_Layout" part.
    virtual void SetPowerLayoutVisible(bool visible) = 0;
};

} // namespace nq
