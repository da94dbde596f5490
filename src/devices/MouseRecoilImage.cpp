#include "devices/MouseRecoilImage.h"

namespace nq {

std::string MouseRecoilImage::TablePath(const std::string& folder, int table)
{
    return folder + "ShootData_" + std::to_string(table) + ".Shoot";
}

std::vector<MouseMacroImage::Events> MouseRecoilImage::ReadTables(const std::string& folder)
{
    std::vector<MouseMacroImage::Events> tables;
    tables.reserve(kTables);
    for (int k = 0; k < kTables; ++k)
        tables.push_back(MouseMacroImage::ReadEventFile(TablePath(folder, k)));
    return tables;
}

std::vector<uint8_t> MouseRecoilImage::Build(const std::string& folder)
{
    return MouseMacroImage::Build(ReadTables(folder));
}

} // namespace nq
