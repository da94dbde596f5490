#pragma once
// Attaches interfaces found by discovery to the device objects, on the UI thread: the handlers of
// the arrival and removal messages. A command interface opens the device's command channel and
// shows its tab; a notification interface starts the device's notification reader; a mouse on
// two links (wired and receiver) moves between them.
#include "devices/CKelvaskUSBDevice.h"
#include "devices/IDeviceSelector.h"
#include "hid/DeviceSlot.h"

#include <vector>

namespace nq {

class DeviceConnections {
public:
    // The slot list and the selector must outlive this object.
    DeviceConnections(std::vector<DeviceSlot>& slots, IDeviceSelector& selector);

    // The device objects by kind (the pages built at start-up).
    void AddDevice(CKelvaskUSBDevice* device, int kind);
    std::vector<CKelvaskUSBDevice*>& DevicesOfKind(int kind);
    // Every device of the four lists.
    std::vector<CKelvaskUSBDevice*> AllDevices() const;

    void OnDeviceArrived(int slotIndex);
    void OnDeviceRemoved(int slotIndex);

private:
    CKelvaskUSBDevice* FindBySlot(int kind, const DeviceSlot& slot);
    // The slot is the device's own, or (a mouse on two links) the twin of the device's own: the
    // page is built on one link and the device may come on the other first.
    bool IsDeviceLink(const CKelvaskUSBDevice& device, const DeviceSlot& slot) const;
    // The same for a notification slot: same vendor, product and kind as one of the two links.
    bool IsDeviceNotificationLink(const CKelvaskUSBDevice& device, const DeviceSlot& slot) const;
    bool TwinConnected(int slotIndex) const;
    // Moves a mouse on two links to `chosen`; reopens its notification interface.
    void SwitchLink(int slotIndex, bool removal);
    bool OpenChannel(CKelvaskUSBDevice& device, const DeviceSlot& slot);

    std::vector<DeviceSlot>& m_slots;
    IDeviceSelector& m_selector;
    std::vector<CKelvaskUSBDevice*> m_keyboards, m_mice, m_mousePads, m_headsets, m_none;
};

} // namespace nq
