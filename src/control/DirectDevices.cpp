#include "control/DirectDevices.h"

#include "common/Result.h"
#include "devices/CKelvaskKeyboardDevice.h"
#include "devices/CKelvaskMouseDevice.h"
#include "devices/CKelvaskMousePadDevice.h"
#include "devices/CKelvaskVA6533Device.h"
#include "hid/Discovery.h"

namespace nq::control {

namespace {

std::unique_ptr<CKelvaskUSBDevice> NewDevice(int pageKind)
{
    switch (pageKind) {
    case kKindKeyboard: return std::make_unique<CKelvaskKeyboardDevice>();
    case kKindMouse:
    case kKindReceiverMouse: return std::make_unique<CKelvaskMouseDevice>();
    case kKindMousePad: return std::make_unique<CKelvaskMousePadDevice>();
    case kKindHeadset: return std::make_unique<CKelvaskVA6533Device>();
    default: return nullptr;
    }
}

} // namespace

DirectDevices::DirectDevices(const Catalogue& catalogue)
    : m_catalogue(catalogue), m_slots(catalogue.SupportedInterfaces()), m_connections(m_slots, *this)
{
}

DirectDevices::~DirectDevices()
{
    for (Entry& entry : m_entries)
        entry.device->StopWorkers();
}

void DirectDevices::BuildDevices()
{
    // One device object per device-page row, configured as the main window configures the object
    // behind each page.
    for (size_t row = 0; row < m_catalogue.DevicePages().size(); ++row) {
        const PageChoice choice = m_catalogue.ChoosePage(static_cast<int>(row), m_slots);
        if (choice.slotIndex < 0 || choice.layoutRow < 0)
            continue;
        std::unique_ptr<CKelvaskUSBDevice> device = NewDevice(choice.pageKind);
        if (!device)
            continue;
        const DevicePage& page = m_catalogue.DevicePages()[size_t(choice.layoutRow)];
        const DeviceLayout& layout = m_catalogue.DeviceLayouts()[size_t(choice.layoutRow)];
        device->ConfigureForPage(page, layout, m_slots[size_t(choice.slotIndex)], "", nullptr, nullptr);
        device->InitPage();
        m_connections.AddDevice(device.get(), choice.pageKind);
        m_entries.push_back({std::move(device), nullptr});
    }
}

void DirectDevices::SendDeviceArrived(int slotIndex)
{
    // Only the command channel is needed: no notification reader is started.
    if (slotIndex >= 0 && size_t(slotIndex) < m_slots.size() && m_slots[size_t(slotIndex)].role == kRoleCommand)
        m_connections.OnDeviceArrived(slotIndex);
}

int DirectDevices::Open()
{
    if (m_entries.empty())
        BuildDevices();
    {
        Discovery discovery(m_slots, *this, m_catalogue);
        discovery.RunPass();
    }
    int opened = 0;
    for (Entry& entry : m_entries) {
        CKelvaskUSBDevice& device = *entry.device;
        if (!device.Channel().IsOpen())
            continue;
        ++opened;
        // The page's profile list: its current profile is the device's.
        entry.profiles = std::make_unique<ProfileListModel>();
        entry.profiles->SetDeviceType(device.DeviceType());
        entry.profiles->SetFolders(device.GetUserFolder(), device.GetDefaultProfilePath());
        entry.profiles->Load();
        device.SetProfileName(entry.profiles->CurrentProfileId());
        device.OnConnected();
    }
    return opened;
}

std::vector<CKelvaskUSBDevice*> DirectDevices::Devices()
{
    std::vector<CKelvaskUSBDevice*> devices;
    for (Entry& entry : m_entries)
        if (entry.device->Channel().IsOpen())
            devices.push_back(entry.device.get());
    return devices;
}

DirectDevices::Entry* DirectDevices::EntryOf(const CKelvaskUSBDevice& device)
{
    for (Entry& entry : m_entries)
        if (entry.device.get() == &device)
            return &entry;
    return nullptr;
}

std::pair<int, int> DirectDevices::ScreenSize(CKelvaskUSBDevice& device) const
{
    const auto* mouse = dynamic_cast<const CKelvaskMouseDevice*>(&device);
    if (!mouse || !mouse->DeviceBlock())
        return {0, 0};
    return MouseSettingsBlock::ScreenSizeOf(*mouse->DeviceBlock());
}

ProfileListModel* DirectDevices::Profiles(CKelvaskUSBDevice& device)
{
    Entry* entry = EntryOf(device);
    return entry ? entry->profiles.get() : nullptr;
}

void DirectDevices::SwitchProfile(CKelvaskUSBDevice& device, int index, SwitchDone done)
{
    std::string message;
    const int exit = Switch(device, index, message);
    done(exit, message);
}

int DirectDevices::Switch(CKelvaskUSBDevice& device, int index, std::string& message)
{
    ProfileListModel* list = Profiles(device);
    if (!list)
        return kExitUsage;
    int previous = -1;
    for (int i = 0; i < list->Count(); ++i)
        if (list->IdAt(i) == list->CurrentProfileId())
            previous = i;
    // As the profile combo's switch: the list selects, the device loads the profile and writes
    // its settings; a refused write leaves device and list on the profile the device holds.
    // A device that keeps no profile of its own (the headset) only changes its list's choice.
    auto load = [&](int entry) {
        list->SetShownSelection(entry);
        list->Select(entry);
        device.SetProfileName(list->CurrentProfileId());
        const bool keepsProfiles = device.LoadProfile() == kOk;
        device.PruneAssignments();
        return keepsProfiles;
    };
    if (!load(index))
        return kExitDone;
    if (!device.Channel().IsOpen()) {
        message = "the device is not connected; the profile was chosen but not written";
        return kExitFailed;
    }
    const auto [width, height] = ScreenSize(device);
    const int settings = device.WriteSettingsToDevice(0, 0, 1, width, height);
    if (settings != kOk) {
        if (previous >= 0 && previous != index)
            load(previous);
        message = "the device did not take the profile's settings (" + std::to_string(settings) +
                  "); it keeps the profile it had";
        return kExitFailed;
    }
    const int macros = device.WriteMacrosToDevice();
    if (macros != 0) {
        message = macros == kWriteFailed ? "the profile's macros did not reach the device"
                                         : "the profile's macros do not fit the device's memory";
        return kExitFailed;
    }
    const int keys = device.WriteAssignmentsToDevice(0);
    if (keys != kOk && device.DeviceType() != kKindMousePad) {
        message = "the profile's key table did not reach the device (" + std::to_string(keys) + ")";
        return kExitFailed;
    }
    return kExitDone;
}

} // namespace nq::control
