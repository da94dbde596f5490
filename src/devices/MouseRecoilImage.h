#pragma once
// The recoil image: the macro image layout with exactly four blocks, block k built from the
// events of the user folder's "ShootData_" + k + ".Shoot" (a missing file gives 0 events).
#include "devices/MouseMacroImage.h"

#include <string>
#include <vector>

namespace nq {

class MouseRecoilImage {
public:
    static constexpr int kTables = 4;

    // folder + "ShootData_" + table + ".Shoot".
    static std::string TablePath(const std::string& folder, int table);
    // The four tables' events.
    static std::vector<MouseMacroImage::Events> ReadTables(const std::string& folder);
    // The image of the four tables (empty when too large for the length field).
    static std::vector<uint8_t> Build(const std::string& folder);
};

} // namespace nq
