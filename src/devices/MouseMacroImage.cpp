#include "devices/MouseMacroImage.h"

#include "profiles/JsonFile.h"

#include <cctype>
#include <cstdlib>

namespace nq {

namespace {

void PutWord(std::vector<uint8_t>& image, size_t at, size_t value)
{
    image[at] = static_cast<uint8_t>(value & 0xFF);
    image[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// The leading decimal digits of a delay text, limited to 0-65535; anything else reads as 0.
uint16_t DelayFromText(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    unsigned long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > 0xFFFF)
            return 0xFFFF;
    }
    return static_cast<uint16_t>(value);
}

uint8_t LowByte(const Json::Value& value)
{
    if (value.isInt64())
        return static_cast<uint8_t>(value.asInt64() & 0xFF);
    if (value.isUInt64())
        return static_cast<uint8_t>(value.asUInt64() & 0xFF);
    return 0;
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

MouseMacroEvent MouseMacroImage::EventFromJson(const Json::Value& event)
{
    MouseMacroEvent out;
    if (!event.isObject())
        return out;
    const Json::Value& delay = event["Delay"];
    if (delay.isString()) {
        out.delay = DelayFromText(delay.asString());
    } else if (delay.isInt64()) {
        const int64_t value = delay.asInt64();
        out.delay = static_cast<uint16_t>(value < 0 ? 0 : (value > 0xFFFF ? 0xFFFF : value));
    } else if (delay.isUInt64()) {
        out.delay = 0xFFFF;
    }
    out.type = LowByte(event["Type"]);
    const Json::Value& action = event["Action"];
    if (action.isString() && action.asString() == "down")
        out.type |= 0x80;
    out.button = LowByte(event["Button"]);
    return out;
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
