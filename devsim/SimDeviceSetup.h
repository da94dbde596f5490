#pragma once
// What a simulated device looks like on the bus: its links (a receiver mouse has a wired link
// and a receiver link), and per link the USB identity and the HID interfaces.
#include "devsim/SimFirmware.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nqsim {

struct SimInterfaceSpec {
    uint16_t number = 0;             // USB interface number
    std::vector<uint8_t> descriptor; // report descriptor
    bool firmware = false;           // output reports go to the device's firmware
    bool notices = false;            // consumer-control notices are sent here
    uint8_t noticeReportId = 0;
};

struct SimLinkSpec {
    std::string name;                // "" for the only link; "wired" / "receiver" for a receiver mouse
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0x0100;
    std::vector<SimInterfaceSpec> interfaces;
};

struct SimDeviceSetup {
    std::string name;                // the instance name used on the command line and in file names
    std::string kindName;            // keyboard, mouse, rxmouse, mousepad, chargepad, headset
    SimDeviceIdentity identity;      // identity.name is the kind name, so the firmware can tell a charging pad
    std::vector<SimLinkSpec> links;
};

// The device kinds the simulator knows, in catalogue order.
const std::vector<std::string>& SimKindNames();
// The devices of the demo, in plugging order: one of each kind.
const std::vector<std::string>& DemoKindNames();

// The USB identity a simulated kind has unless the command line gives one. The keyboard is the
// real product 320F:5041; the other kinds have made-up identities of their own (the receiver
// mouse one per link), named by the simulator's catalogue rows (DefaultData/simdevices.json).
struct SimKindIdentity {
    const char* kindName;
    uint16_t vendorId;
    uint16_t productId;
    uint16_t receiverProductId; // the receiver link of "rxmouse", else 0
};
const std::vector<SimKindIdentity>& SimKindIdentities();

// Builds a device from "KIND[:NAME][@VID:PID[,VID:PID]]" (hex IDs); the name defaults to the kind
// name and the IDs to the kind's own identity. One VID:PID applies to every link; a second one
// gives the receiver link of a receiver mouse its own ("rxmouse@320F:5042,320F:5043"). IDs
// 0000:0000 stand for the catalogue's placeholder rows.
std::optional<SimDeviceSetup> MakeSimDeviceSetup(const std::string& text, std::string* error = nullptr);

} // namespace nqsim
