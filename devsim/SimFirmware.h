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

// The answer to a control command.
struct SimControlAnswer {
    bool ok = false;
    std::string text;
};

// What the firmware asks the transport to do after a report.
enum class SimAction { None, Unplug };

// Lets the firmware act on its own: a consumer-control notice (usage 1025 on an on-board profile
// change, 1028) on the device's notification interface, or an unplug.
class SimDeviceEvents {
public:
    virtual ~SimDeviceEvents() = default;
    virtual void SendNotice(uint16_t usage) = 0;
    virtual void RequestUnplug() = 0;
};

class SimInterfaceHandler {
public:
    virtual ~SimInterfaceHandler() = default;
    // The host wrote an output report (byte 0 = report ID). Fill the replies to deliver.
    virtual SimAction OnOutputReport(const std::vector<uint8_t>& report, std::vector<SimReply>& replies) = 0;
    // Given once by the simulator before the first report; lives as long as the handler.
    virtual void SetEvents(SimDeviceEvents* events) { (void)events; }
    // A command from nq501-devsim or a test ("refuse 0xff 3", "delay 1500", "profile 2", ...).
    // Returns the text to print and whether the command was carried out: a command that is not
    // the firmware's ("unknown command") or has bad arguments (a usage line) is not.
    // The simulator itself sends {"profile"} (next on-board slot) when the device's on-board
    // profile button is pressed (nq501-devsim button DEVICE).
    virtual SimControlAnswer RunControl(const std::vector<std::string>& args)
    {
        (void)args;
        return {false, "unknown command"};
    }
    // The text of RunControl, for callers that only print it.
    std::string Control(const std::vector<std::string>& args) { return RunControl(args).text; }
    // Memory image, so a simulated device keeps its state across runs.
    virtual std::vector<uint8_t> SaveMemory() const { return {}; }
    virtual bool LoadMemory(const std::vector<uint8_t>& image) { (void)image; return false; }
    // Human-readable dump of the memory ("dump" command).
    virtual std::string DumpMemory() const { return {}; }
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
