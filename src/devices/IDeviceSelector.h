#pragma once
// What the connection logic asks of the device selector (the main window's device tabs).
namespace nq {

class CKelvaskUSBDevice;

class IDeviceSelector {
public:
    virtual ~IDeviceSelector() = default;
    // The device's tab becomes visible, selected when no other tab was visible, and is started
    // (its connected step follows 500 ms later).
    virtual void ShowConnectedDevice(CKelvaskUSBDevice& device) = 0;
    // The device's tab is hidden; when it was selected another visible tab is selected.
    virtual void HideDevice(CKelvaskUSBDevice& device) = 0;
    // Refresh the empty-state view and bring the main window to the front.
    virtual void RefreshAndBringToFront() = 0;
};

} // namespace nq
