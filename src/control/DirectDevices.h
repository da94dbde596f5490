#pragma once
// The direct route: when no nq501 runs, nq501ctl owns the devices for the length of one request.
// One discovery pass over the catalogue finds the connected devices; each gets a device object
// configured as the program configures the object behind a device page, its profile list loaded
// from the same user folder, its command interface opened and its connection read run as the
// program runs it (without a device tab the transfers run in the calling thread). Changes then
// go through the same device objects and end in the same profile files.
#include "control/ControlExecutor.h"
#include "devices/DeviceConnections.h"
#include "devices/IDeviceSelector.h"
#include "hid/Catalogue.h"
#include "hid/DeviceSlot.h"
#include "hid/DiscoveryListener.h"
#include "profiles/ProfileListModel.h"

#include <memory>
#include <vector>

namespace nq::control {

class DirectDevices : public ControlHost, private IDeviceSelector, private DiscoveryListener {
public:
    explicit DirectDevices(const Catalogue& catalogue = Catalogue::Default());
    ~DirectDevices() override;

    // Looks for the devices and reads every one found. Returns the number of devices opened.
    int Open();

    std::vector<CKelvaskUSBDevice*> Devices() override;
    ProfileListModel* Profiles(CKelvaskUSBDevice& device) override;
    void SwitchProfile(CKelvaskUSBDevice& device, int index, SwitchDone done) override;
    // Without a screen of its own, a mouse keeps the screen size its settings block holds.
    std::pair<int, int> ScreenSize(CKelvaskUSBDevice& device) const override;

private:
    // The switch itself: the exit code, `message` filled when it did not succeed.
    int Switch(CKelvaskUSBDevice& device, int index, std::string& message);
    struct Entry {
        std::unique_ptr<CKelvaskUSBDevice> device;
        std::unique_ptr<ProfileListModel> profiles; // loaded once the device is connected
    };

    // IDeviceSelector: nothing to show.
    void ShowConnectedDevice(CKelvaskUSBDevice&) override {}
    void HideDevice(CKelvaskUSBDevice&) override {}
    void RefreshAndBringToFront() override {}
    // DiscoveryListener: command interfaces open their device's channel at once.
    void SendDeviceArrived(int slotIndex) override;
    void SendDeviceRemoved(int) override {}
    void PostFirstPassDone() override {}

    void BuildDevices();
    Entry* EntryOf(const CKelvaskUSBDevice& device);

    const Catalogue& m_catalogue;
    std::vector<DeviceSlot> m_slots;
    std::vector<Entry> m_entries;
    DeviceConnections m_connections;
};

} // namespace nq::control
