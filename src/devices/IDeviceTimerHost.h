#pragma once
// The device tab hosts a device's timers on the UI thread (identifiers 1000-1005). Worker threads
// may call SetTimer too: the host hands the request to the UI thread.
#include <cstdint>

namespace nq {

class IDeviceTimerHost {
public:
    virtual ~IDeviceTimerHost() = default;
    virtual void SetTimer(int id, uint32_t periodMs) = 0;
    virtual void KillTimer(int id) = 0;
};

} // namespace nq
