#include "devices/MouseMacroImage.h"

#include "profiles/JsonFile.h"


namespace nq {

namespace {

void PutWord(std::vector<uint8_t>& image, size_t at, size_t value)
{
    image[at] = static_cast<uint8_t>(value & 0xFF);
    image[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

} // namespace

size_t MouseMacroImage::Length(const std::vector<size_t>& eventCounts)
{
    size_t total = kHeaderSize;
    for (size_t count : eventCounts)
        total += kOffsetSize + kBlockHeaderSize + kEventSize * count;
    return total;
}

size_t MouseMacroImage::Length(const std::vector<Events>& blocks)
{
    std::vector<size_t> counts;
    counts.reserve(blocks.size());
    for (const Events& block : blocks)
        counts.push_back(block.size());
    return Length(counts);
}

std::vector<uint8_t> MouseMacroImage::Build(const std::vector<Events>& blocks)
{
    const size_t total = Length(blocks);
    if (total > kMaxLength)
        return {};
    std::vector<uint8_t> image(total, 0);
    PutWord(image, 0, kMagic);
    PutWord(image, 2, total);
    PutWord(image, 4, blocks.size());
    size_t at = kHeaderSize + kOffsetSize * blocks.size();
    for (size_t m = 0; m < blocks.size(); ++m) {
        PutWord(image, kHeaderSize + kOffsetSize * m, at);
        PutWord(image, at, blocks[m].size());
        at += kBlockHeaderSize;
        for (const MouseMacroEvent& event : blocks[m]) {
            PutWord(image, at, event.delay);
            image[at + 2] = event.type;
            image[at + 3] = event.button;
            at += kEventSize;
        }
    }
    return image;
}

int MouseMacroImage::Overflow(size_t total, size_t capacity)
{
    if (total <= capacity)
        return 0;
    return static_cast<int>((total - capacity) / kEventSize + 1);
}

MouseMacroEvent MouseMacroImage::EventFrom(const MacroEvent& event)
{
    MouseMacroEvent out;
    out.delay = static_cast<uint16_t>(event.delay);
    out.type = static_cast<uint8_t>((event.type & 0xFF) | (event.down ? 0x80 : 0));
    out.button = static_cast<uint8_t>(event.button & 0xFF);
    return out;
}

MouseMacroEvent MouseMacroImage::EventFromJson(const Json::Value& event)
{
    return EventFrom(MacroEvent::FromJson(event));
}

MouseMacroImage::Events MouseMacroImage::EventsFromDocument(const Json::Value& document)
{
    Events events;
    if (!document.isObject())
        return events;
    const Json::Value& list = document["Events"];
    if (!list.isArray())
        return events;
    events.reserve(list.size());
    for (const Json::Value& event : list)
        events.push_back(EventFromJson(event));
    return events;
}

MouseMacroImage::Events MouseMacroImage::ReadEventFile(const std::string& path)
{
    return EventsFromDocument(ReadJsonFile(path));
}

} // namespace nq
