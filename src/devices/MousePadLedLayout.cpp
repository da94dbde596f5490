#include "devices/MousePadLedLayout.h"

#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace nq {

namespace {

// A whole number in [low, 4000], or nothing.
std::optional<int> Number(const Json::Value& value, int low)
{
    if (!value.isIntegral())
        return std::nullopt;
    const Json::LargestInt n = value.asLargestInt();
    if (n < low || n > MousePadLedLayout::kMaxCoordinate)
        return std::nullopt;
    return static_cast<int>(n);
}

std::optional<MousePadLedLayout::Rect> RectOf(const Json::Value& value, const char* widthKey, const char* heightKey)
{
    if (!value.isObject())
        return std::nullopt;
    const auto x = Number(JsonMember(value, "x"), 0);
    const auto y = Number(JsonMember(value, "y"), 0);
    const auto w = Number(JsonMember(value, widthKey), 1);
    const auto h = Number(JsonMember(value, heightKey), 1);
    if (!x || !y || !w || !h)
        return std::nullopt;
    return MousePadLedLayout::Rect{*x, *y, *w, *h};
}

} // namespace

std::optional<MousePadLedLayout> MousePadLedLayout::Load(const std::string& path)
{
    const Json::Value document = ReadJsonFile(path);
    if (!document.isObject())
        return std::nullopt;
    MousePadLedLayout layout;
    const auto width = Number(JsonMember(document, "width"), 1);
    const auto height = Number(JsonMember(document, "height"), 1);
    const auto ledSize = Number(JsonMember(document, "ledSize"), 1);
    const auto body = RectOf(JsonMember(document, "body"), "width", "height");
    if (!width || !height || !ledSize || !body)
        return std::nullopt;
    layout.width = *width;
    layout.height = *height;
    layout.ledSize = *ledSize;
    layout.body = *body;
    const auto radius = Number(JsonMember(JsonMember(document, "body"), "radius"), 0);
    layout.bodyRadius = radius.value_or(0);
    const Json::Value& charger = JsonMember(document, "charger");
    if (!charger.isNull()) {
        layout.charger = RectOf(charger, "diameter", "diameter");
        if (!layout.charger)
            return std::nullopt;
    }
    const Json::Value& leds = JsonMember(document, "leds");
    if (!leds.isArray() || leds.size() > kMaxLeds)
        return std::nullopt;
    for (const Json::Value& led : leds) {
        if (!led.isArray() || led.size() != 2)
            return std::nullopt;
        const auto x = Number(led[0], 0);
        const auto y = Number(led[1], 0);
        if (!x || !y || *x > layout.width || *y > layout.height)
            return std::nullopt;
        layout.leds.push_back({*x, *y});
    }
    return layout;
}

} // namespace nq
