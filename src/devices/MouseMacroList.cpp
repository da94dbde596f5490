#include "devices/MouseMacroList.h"

#include "profiles/JsonFile.h"

namespace nq {

namespace {

std::string StringMember(const Json::Value& object, const char* key)
{
    if (!object.isObject())
        return {};
    const Json::Value& value = object[key];
    return value.isString() ? value.asString() : std::string();
}

// An identifier names a file in the macro folder; one that would leave the folder names nothing.
bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

} // namespace

MouseMacroList MouseMacroList::Load(const std::string& folder)
{
    MouseMacroList list;
    list.m_folder = folder;
    const Json::Value document = ReadJsonFile(folder + kListFile);
    if (!document.isObject())
        return list;
    const Json::Value& info = document["MacroInfo"];
    if (!info.isArray())
        return list;
    for (const Json::Value& element : info)
        list.m_macros.push_back({StringMember(element, "MacroName"), StringMember(element, "Guid")});
    return list;
}

std::vector<std::string> MouseMacroList::Names() const
{
    std::vector<std::string> names;
    names.reserve(m_macros.size());
    for (const Macro& macro : m_macros)
        names.push_back(macro.name);
    return names;
}

MouseMacroImage::Events MouseMacroList::ReadEvents(size_t index) const
{
    if (index >= m_macros.size() || !IsPlainFileName(m_macros[index].guid))
        return {};
    return MouseMacroImage::ReadEventFile(m_folder + m_macros[index].guid + kMacroExtension);
}

std::vector<MouseMacroImage::Events> MouseMacroList::ReadAllEvents() const
{
    std::vector<MouseMacroImage::Events> all;
    all.reserve(m_macros.size());
    for (size_t i = 0; i < m_macros.size(); ++i)
        all.push_back(ReadEvents(i));
    return all;
}

bool MouseMacroList::RevertKeysBeyond(std::vector<KeyEntry>& keys, size_t macroCount)
{
    constexpr uint8_t kMacroCode = 0x70, kMacroHoldCode = 0x71;
    bool changed = false;
    for (KeyEntry& entry : keys) {
        const KeyAssignment& current = entry.current;
        if ((current.code == kMacroCode || current.code == kMacroHoldCode) && current.param1 >= macroCount) {
            entry.current = entry.defaults;
            changed = true;
        }
    }
    return changed;
}

} // namespace nq
