#include "devices/MouseNameLists.h"

#include "devices/MouseMacroList.h"
#include "profiles/JsonFile.h"

namespace nq {

namespace {

// document[key][variant] when it is an array.
const Json::Value* VariantArray(const Json::Value& document, const char* key, int variant)
{
    if (!document.isObject() || variant < 0)
        return nullptr;
    const Json::Value& perVariant = document[key];
    if (!perVariant.isArray() || static_cast<Json::ArrayIndex>(variant) >= perVariant.size())
        return nullptr;
    const Json::Value& list = perVariant[static_cast<Json::ArrayIndex>(variant)];
    return list.isArray() ? &list : nullptr;
}

std::string NameOf(const Json::Value& entry)
{
    if (!entry.isObject())
        return {};
    const Json::Value& name = entry["LightName"];
    return name.isString() ? name.asString() : std::string();
}

} // namespace

MouseNameLists MouseNameLists::Load(const std::string& userFolder, const std::string& defaultFolder, int variant)
{
    MouseNameLists lists;
    lists.macroNames = MouseMacroList::Load(userFolder).Names();

    const Json::Value defaults = ReadJsonFile(defaultFolder + kDefaultLightFile);
    auto readFlagged = [&](const char* key, std::vector<std::string>& names, std::vector<bool>& flags) {
        const Json::Value* list = VariantArray(defaults, key, variant);
        if (!list)
            return;
        for (const Json::Value& entry : *list) {
            names.push_back(NameOf(entry));
            const Json::Value& visible = entry.isObject() ? entry["visible"] : Json::Value::nullSingleton();
            flags.push_back(visible.isBool() ? visible.asBool() : visible.isIntegral() && visible.asInt64() != 0);
        }
    };
    readFlagged("DefaultLightName", lists.defaultLightNames, lists.defaultLightVisible);
    readFlagged("LightTab1LightName", lists.tab1LightNames, lists.tab1LightVisible);
    readFlagged("LightTab2LightName", lists.tab2LightNames, lists.tab2LightVisible);
    if (const Json::Value* names = VariantArray(defaults, "AreaLightName", variant)) {
        for (const Json::Value& entry : *names)
            lists.areaLightNames.push_back(NameOf(entry));
    }

    const Json::Value user = ReadJsonFile(userFolder + kUserLightFile);
    if (const Json::Value* names = VariantArray(user, "LightInfo", variant)) {
        for (const Json::Value& entry : *names)
            lists.userLightNames.push_back(NameOf(entry));
    }
    return lists;
}

} // namespace nq
