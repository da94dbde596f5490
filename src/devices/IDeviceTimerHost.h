#pragma once
// The device tab hosts a device's timers on the UI thread (identifiers 1000-1005). Worker threads
// may call SetTimer too: the host hands the request to the UI thread.
#include <cstdint>
#include <functional>

namespace nq {

class IDeviceTimerHost {
public:
    virtual ~IDeviceTimerHost() = default;
    virtual void SetTimer(int id, uint32_t periodMs) = 0;
    virtual void KillTimer(int id) = 0;
    // True when the host runs tasks handed to PostToUi on the UI thread. Without it the device
    // carries out its transfers in the caller's thread and takes their results at once.
    virtual bool CanPostToUi() const { return false; }
    // Runs `task` later on the UI thread (never inside this call); may be called from any thread.
    virtual void PostToUi(std::function<void()> /*task*/) {}
};

} // namespace nq
