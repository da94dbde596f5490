#include "devices/MouseMacroList.h"

#include <new>

#include "macros/MacroLibrary.h"

namespace nq {

MouseMacroList MouseMacroList::Load(const std::string& folder)
{
    MouseMacroList list;
    list.m_folder = folder;
    for (const MacroLibrary::Entry& entry : MacroLibrary(folder).ReadList())
        list.m_macros.push_back({entry.name, entry.guid});
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
    MouseMacroImage::Events events;
    if (index >= m_macros.size())
        return events;
    for (const MacroEvent& event : MacroLibrary(m_folder).ReadEvents(m_macros[index].guid))
        events.push_back(MouseMacroImage::EventFrom(event));
    return events;
}

int MouseMacroList::ReadFolderEvents(const std::string& folder, std::vector<MouseMacroImage::Events>& blocks)
{
    try {
        blocks = Load(folder).ReadAllEvents();
        return 0;
    } catch (const std::bad_alloc&) {
        blocks.clear();
        return -1;
    }
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
