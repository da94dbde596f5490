#pragma once
// Where the discovery thread reports to (the main window). The two device messages are
// synchronous: the call returns once the UI thread has handled them, or once the discovery thread
// is being stopped.
namespace nq {

// Window message numbers of the two reports (wParam = slot index, lParam = 0).
constexpr int WM_DEVICE_ARRIVED = 3090;
constexpr int WM_DEVICE_REMOVED = 3091;

class DiscoveryListener {
public:
    virtual ~DiscoveryListener() = default;
    // A free slot was bound to a newly found interface.
    virtual void SendDeviceArrived(int slotIndex) = 0;
    // The bound interface of the slot is gone; the slot is free again.
    virtual void SendDeviceRemoved(int slotIndex) = 0;
    // Posted once, after the first enumeration pass (the identity message, wParam 0, lParam 0).
    virtual void PostFirstPassDone() = 0;
};

} // namespace nq
