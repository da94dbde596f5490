#include "devsim/SimFirmware.h"

namespace nqsim {
namespace {

// Until a device's firmware exists, its vendor interface answers every report with itself.
class EchoFirmware : public SimInterfaceHandler {
public:
    SimAction OnOutputReport(const std::vector<uint8_t>& report, std::vector<SimReply>& replies) override
    {
        replies.push_back({report, 0});
        return SimAction::None;
    }
};

} // namespace

std::unique_ptr<SimInterfaceHandler> MakeVendorFirmware(const SimDeviceIdentity&)
{
    return std::make_unique<EchoFirmware>();
}

} // namespace nqsim
