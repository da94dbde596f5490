#include "devices/DeviceConnections.h"

#include "common/DebugLog.h"

namespace nq {

namespace {

// The headset has no text.
void LogByKind(int kind, const char* keyboard, const char* mouse, const char* mousePad)
{
    if (kind == kKindKeyboard)
        DebugOut(keyboard);
    else if (kind == kKindMouse || kind == kKindReceiverMouse)
        DebugOut(mouse);
    else if (kind == kKindMousePad)
        DebugOut(mousePad);
}

} // namespace

DeviceConnections::DeviceConnections(std::vector<DeviceSlot>& slots, IDeviceSelector& selector)
    : m_slots(slots), m_selector(selector)
{
}

std::vector<CKelvaskUSBDevice*>& DeviceConnections::DevicesOfKind(int kind)
{
    switch (kind) {
    case kKindKeyboard:
        return m_keyboards;
    case kKindMouse:
    case kKindReceiverMouse:
        return m_mice;
    case kKindMousePad:
        return m_mousePads;
    case kKindHeadset:
        return m_headsets;
    default:
        m_none.clear();
        return m_none;
    }
}

void DeviceConnections::AddDevice(CKelvaskUSBDevice* device, int kind)
{
    if (device)
        DevicesOfKind(kind).push_back(device);
}

std::vector<CKelvaskUSBDevice*> DeviceConnections::AllDevices() const
{
    std::vector<CKelvaskUSBDevice*> all;
    for (const auto* list : {&m_mice, &m_keyboards, &m_mousePads, &m_headsets})
        all.insert(all.end(), list->begin(), list->end());
    return all;
}

bool DeviceConnections::IsDeviceLink(const CKelvaskUSBDevice& device, const DeviceSlot& slot) const
{
    const DeviceSlot& own = device.Slot();
    if (IsSameSlot(own, slot))
        return true;
    return own.hasTwin && own.twinIndex < m_slots.size() && IsSameSlot(m_slots[own.twinIndex], slot);
}

bool DeviceConnections::IsDeviceNotificationLink(const CKelvaskUSBDevice& device, const DeviceSlot& slot) const
{
    auto sameDevice = [&slot](const DeviceSlot& link) {
        return link.vendorId == slot.vendorId && link.productId == slot.productId && link.kind == slot.kind;
    };
    const DeviceSlot& own = device.Slot();
    return sameDevice(own) || (own.hasTwin && own.twinIndex < m_slots.size() && sameDevice(m_slots[own.twinIndex]));
}

CKelvaskUSBDevice* DeviceConnections::FindBySlot(int kind, const DeviceSlot& slot)
{
    for (CKelvaskUSBDevice* device : DevicesOfKind(kind))
        if (IsDeviceLink(*device, slot))
            return device;
    return nullptr;
}

bool DeviceConnections::TwinConnected(int slotIndex) const
{
    const DeviceSlot& slot = m_slots[slotIndex];
    if (!slot.hasTwin || slot.twinIndex >= m_slots.size())
        return false;
    const DeviceSlot& twin = m_slots[slot.twinIndex];
    return twin.connected && !twin.path.empty() && twin.twinIndex == slotIndex;
}

bool DeviceConnections::OpenChannel(CKelvaskUSBDevice& device, const DeviceSlot& slot)
{
    // CommandChannel::Open opens under the transaction lock, so no transfer of the device's
    // threads runs on a half-opened handle.
    if (!device.Channel().Open(slot.path))
        return false;
    device.Channel().SetWirelessLink(slot.kind == kKindReceiverMouse);
    device.SetSlot(slot);
    return true;
}

void DeviceConnections::OnDeviceArrived(int slotIndex)
{
    if (slotIndex < 0 || slotIndex >= static_cast<int>(m_slots.size()))
        return;
    const DeviceSlot slot = m_slots[slotIndex];
    LogByKind(slot.kind, "添加一个键盘设备", "添加一个鼠标设备", "添加一个鼠标垫设备");

    const bool mouse = slot.kind == kKindMouse || slot.kind == kKindReceiverMouse;
    if (slot.role == kRoleNotification) {
        for (CKelvaskUSBDevice* device : DevicesOfKind(slot.kind)) {
            if (!device->IsNotificationOpen() && IsDeviceNotificationLink(*device, slot)) {
                device->OpenNotificationInterface(slot.path);
                break;
            }
        }
    } else if (slot.role == kRoleCommand && mouse && TwinConnected(slotIndex)) {
        SwitchLink(slotIndex, false);
    } else if (slot.role == kRoleCommand) {
        if (CKelvaskUSBDevice* device = FindBySlot(slot.kind, slot)) {
            if (!device->Channel().IsOpen()) {
                if (!OpenChannel(*device, slot))
                    DebugOutF("cannot open the command interface %s", slot.path.c_str());
                m_selector.ShowConnectedDevice(*device);
            }
        }
    }
    m_selector.RefreshAndBringToFront();
}

void DeviceConnections::SwitchLink(int slotIndex, bool removal)
{
    const int twinIndex = m_slots[slotIndex].twinIndex;
    const DeviceSlot& arriving = m_slots[slotIndex];
    CKelvaskUSBDevice* device = FindBySlot(arriving.kind, arriving);
    if (!device)
        device = FindBySlot(m_slots[twinIndex].kind, m_slots[twinIndex]);
    if (!device)
        return;
    // On arrival the device moves to the arriving link when it is on its wireless link, else it
    // goes to the twin; on removal only the twin is left.
    int chosen = twinIndex;
    if (!removal && device->Channel().WirelessLink())
        chosen = slotIndex;
    const DeviceSlot target = m_slots[chosen];
    const bool wasOpen = device->Channel().IsOpen();
    if (OpenChannel(*device, target)) {
        // A device whose first link could not be opened is shown once a link opens.
        if (!wasOpen)
            m_selector.ShowConnectedDevice(*device);
        for (const DeviceSlot& other : m_slots) {
            if (other.connected && other.role == kRoleNotification && other.vendorId == target.vendorId &&
                other.productId == target.productId && other.kind == target.kind)
                device->ReopenNotificationInterface(other.path);
        }
    }
}

void DeviceConnections::OnDeviceRemoved(int slotIndex)
{
    if (slotIndex < 0 || slotIndex >= static_cast<int>(m_slots.size()))
        return;
    const DeviceSlot slot = m_slots[slotIndex];
    LogByKind(slot.kind, "删除一个键盘设备", "删除一个鼠标设备", "删除一个鼠标垫设备");

    const bool mouse = slot.kind == kKindMouse || slot.kind == kKindReceiverMouse;
    if (slot.role == kRoleNotification) {
        for (CKelvaskUSBDevice* device : DevicesOfKind(slot.kind)) {
            const DeviceSlot& own = device->Slot();
            if (device->IsNotificationOpen() && own.vendorId == slot.vendorId && own.productId == slot.productId) {
                device->CloseNotificationInterface();
                break;
            }
        }
    } else if (mouse && TwinConnected(slotIndex)) {
        SwitchLink(slotIndex, true);
    } else if (CKelvaskUSBDevice* device = FindBySlot(slot.kind, slot)) {
        device->Channel().Close();
        m_selector.HideDevice(*device);
    }
}

} // namespace nq
