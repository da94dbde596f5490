#include "macros/MacroEvent.h"

#include "editors/KeyCodeTable.h"
#include "macros/MouseEventTable.h"

#include <cctype>

namespace nq {

namespace {

constexpr uint8_t kKeyboardCode = 0x20;

int IntMember(const Json::Value& object, const char* key)
{
    const Json::Value& value = object[key];
    if (value.isInt())
        return value.asInt();
    if (value.isDouble() && value.asDouble() >= -2147483648.0 && value.asDouble() <= 2147483647.0)
        return int(value.asDouble());
    return 0;
}

} // namespace

uint32_t MacroEvent::DelayFromText(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    uint32_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + uint32_t(text[i] - '0');
        if (value > kMaxDelay)
            return kMaxDelay;
    }
    return value;
}

uint32_t MacroEvent::DelayFromJson(const Json::Value& value)
{
    if (value.isString())
        return DelayFromText(value.asString());
    if (value.isInt64())
        return value.asInt64() < 0 ? 0 : (value.asInt64() > kMaxDelay ? kMaxDelay : uint32_t(value.asInt64()));
    if (value.isUInt64())
        return kMaxDelay;
    if (value.isDouble())
        return value.asDouble() <= 0 ? 0 : (value.asDouble() >= kMaxDelay ? kMaxDelay : uint32_t(value.asDouble()));
    return 0;
}

MacroEvent MacroEvent::FromJson(const Json::Value& object)
{
    MacroEvent event;
    if (!object.isObject())
        return event;
    event.type = IntMember(object, "Type");
    event.button = IntMember(object, "Button");
    const Json::Value& action = object["Action"];
    event.down = action.isString() && action.asString() == "down";
    event.delay = DelayFromJson(object["Delay"]);
    return event;
}

Json::Value MacroEvent::ToJson() const
{
    Json::Value object(Json::objectValue);
    object["Type"] = type;
    object["Button"] = button;
    object["Action"] = down ? "down" : "up";
    object["Delay"] = std::to_string(delay > kMaxDelay ? kMaxDelay : delay);
    return object;
}

std::string MacroEvent::NameKey() const
{
    const bool byteButton = button >= 0 && button <= 0xFF;
    switch (type) {
    case kKeyType: {
        const int row = byteButton ? KeyCodeTable::Find(kKeyboardCode, 0, uint8_t(button), KeyCodeTable::kModifierRows) : -1;
        return row >= 0 ? KeyCodeTable::Name(row) : std::string();
    }
    case kModifierType: {
        const int row = byteButton ? KeyCodeTable::Find(kKeyboardCode, uint8_t(button), 0) : -1;
        return row >= 0 && row < KeyCodeTable::kModifierRows ? KeyCodeTable::Name(row) : std::string();
    }
    case kMouseButtonType: {
        const MouseEventRow* row = MouseEventTable::Row(MouseEventTable::FindButton(button));
        return row ? row->name : std::string();
    }
    case kHorizontalMoveType:
    case kVerticalMoveType: {
        const MouseEventRow* row = MouseEventTable::Row(MouseEventTable::FindMove(type, down));
        return row ? row->name : std::string();
    }
    default:
        return {};
    }
}

} // namespace nq
