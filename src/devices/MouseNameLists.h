#pragma once
// The name lists a device page shows: macro names (user folder "macro.config"), the default and
// area light names of the device's variant (default folder "default_light.json"; the keyboard also
// uses the logo and side zone lists "LightTab1LightName" and "LightTab2LightName") and the user's
// light preset names (user folder "drovo_light.config"). A missing file or array leaves its list
// empty.
#include <string>
#include <vector>

namespace nq {

class MouseNameLists {
public:
    static constexpr const char* kDefaultLightFile = "default_light.json";
    static constexpr const char* kUserLightFile = "drovo_light.config";

    static MouseNameLists Load(const std::string& userFolder, const std::string& defaultFolder, int variant);

    std::vector<std::string> macroNames;
    std::vector<std::string> defaultLightNames;
    std::vector<bool> defaultLightVisible;
    std::vector<std::string> areaLightNames;
    std::vector<std::string> tab1LightNames;
    std::vector<bool> tab1LightVisible;
    std::vector<std::string> tab2LightNames;
    std::vector<bool> tab2LightVisible;
    std::vector<std::string> userLightNames;
};

} // namespace nq
