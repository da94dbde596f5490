#include "devices/PowerStatus.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace nq {

PowerStatus PowerStatus::FromReport(const uint8_t* bytes, size_t length, int displayKind)
{
    std::array<uint8_t, kMaxBytes> b{};
    if (bytes)
        std::memcpy(b.data(), bytes, std::min(length, kMaxBytes));

    PowerStatus status;
    status.progressValue = 100 - b[0];
    status.valueText = std::to_string(b[0]) + "%";
    status.wirelessVisible = b[3] != 0;
    switch (b[1]) {
    case 0:
        status.progressVisible = true;
        status.statusIcon = "power/powered.png";
        break;
    case 1:
        status.statusIcon = b[3] ? "power/wuxian_powering.png" : "power/powering.png";
        break;
    case 2:
        status.statusIcon = "power/power.png";
        break;
    default:
        break;
    }
    if (displayKind == 3) {
        switch (b[5]) {
        case 1:
            status.phoneKey = "Phone_type_iphone";
            break;
        case 2:
            status.phoneKey = "Phone_type_samsung";
            break;
        case 3:
            status.phoneKey = "Phone_type_other";
            break;
        default:
            status.phoneKey = "Phone_type_no_device";
            break;
        }
    }
    return status;
}

} // namespace nq
