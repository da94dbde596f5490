#include "devices/MacroImage.h"

#include "devices/MouseMacroImage.h"
#include "devices/MouseMacroList.h"

namespace nq {

MacroImage::Built MacroImage::FromFolder(const std::string& folder, size_t capacity)
{
    Built built;
    const MouseMacroList list = MouseMacroList::Load(folder);
    if (list.Count() == 0)
        return built;
    const std::vector<MouseMacroImage::Events> blocks = list.ReadAllEvents();
    built.length = MouseMacroImage::Length(blocks);
    built.overflow = MouseMacroImage::Overflow(built.length, capacity);
    if (built.overflow == 0)
        built.bytes = MouseMacroImage::Build(blocks);
    return built;
}

} // namespace nq
