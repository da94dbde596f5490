#pragma once
// One HID interface the program looks for (a row of the supported-interface table) and, at run
// time, one entry of the slot list: whether and where that interface is connected.
#include <cstdint>
#include <string>

namespace nq {

enum DeviceKind : uint16_t {
    kKindKeyboard = 1,
    kKindMouse = 2,
    kKindMousePad = 3,
    kKindReceiverMouse = 6, // a mouse reached through its wireless receiver
    kKindHeadset = 7,
};

enum DeviceRole : uint16_t {
    kRoleCommand = 0,        // the interface that carries the command channel
    kRoleNotification = 255, // the interface that carries the device's notices
};

struct DeviceSlot {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;  // number after "&mi_" in the path, 0 when absent
    uint16_t collectionNumber = 0; // number after "&col" in the path, 0 when absent
    uint16_t kind = 0;
    uint16_t role = 0;
    uint16_t connected = 0;        // run time only
    uint16_t usagePage = 0;        // top-level usage page the opened interface must report
    uint16_t usage = 0;            // top-level usage the opened interface must report
    uint16_t hasTwin = 0;          // 1 when this slot and twinIndex are two links of one device
    uint16_t twinIndex = 0;
    std::string path;              // run time only: path of the bound interface

    bool IsFree() const { return !connected && path.empty(); }
};

// Same slot: vendor, product, interface, collection, kind, role, usage page and usage all equal.
bool IsSameSlot(const DeviceSlot& a, const DeviceSlot& b);

} // namespace nq
