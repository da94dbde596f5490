#pragma once
// The seam between the simulator's transport (sockets, descriptors, plug/unplug, wire log) and the
// emulated firmware behind a vendor interface.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nqsim {

struct SimReply {
    std::vector<uint8_t> report; // one input report, byte 0 = report ID
    int delayMs = 0;             // deliver after this delay (fault injection: past the time limit)
};

// What the firmware asks the transport to do after a report.
enum class SimAction { None, Unplug };

class SimInterfaceHandler {
public:
    virtual ~SimInterfaceHandler() = default;
    // The host wrote an output report (byte 0 = report ID). Fill the replies to deliver.
    virtual SimAction OnOutputReport(const std::vector<uint8_t>& report, std::vector<SimReply>& replies) = 0;
};

// Identity of a simulated device, enough for the firmware to choose its behaviour.
struct SimDeviceIdentity {
    int kind = 0;             // catalogue device kind: 1 keyboard, 2 mouse, 3 mousepad, 6 receiver mouse, 7 headset
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    std::string name;         // simulator's name of the device ("keyboard", "mouse", ...)
};

// Creates the firmware behind a device's vendor interface. Defined by the firmware code.
std::unique_ptr<SimInterfaceHandler> MakeVendorFirmware(const SimDeviceIdentity& identity);

} // namespace nqsim
