#include "profiles/JsonAccess.h"

#include "profiles/TextHelpers.h"

#include <cmath>

namespace nq {

const Json::Value& JsonNull()
{
    static const Json::Value null;
    return null;
}

const Json::Value& JsonMember(const Json::Value& value, const char* key)
{
    if (!value.isObject())
        return JsonNull();
    const Json::Value* member = value.find(key, key + std::char_traits<char>::length(key));
    return member ? *member : JsonNull();
}

const Json::Value& JsonElement(const Json::Value& value, int64_t index)
{
    if (!value.isArray() || index < 0 || index >= static_cast<int64_t>(value.size()))
        return JsonNull();
    return value[static_cast<Json::ArrayIndex>(index)];
}

int64_t JsonInteger(const Json::Value& value)
{
    switch (value.type()) {
    case Json::intValue:
        return value.asInt64();
    case Json::uintValue:
        return static_cast<int64_t>(value.asUInt64());  // keeps the low 64 bits
    case Json::realValue: {
        const double d = value.asDouble();
        if (!std::isfinite(d) || d >= 9.2e18 || d <= -9.2e18)
            return 0;
        return static_cast<int64_t>(d);
    }
    case Json::booleanValue:
        return value.asBool() ? 1 : 0;
    default:
        return 0;
    }
}

bool JsonFlag(const Json::Value& value)
{
    if (value.isBool())
        return value.asBool();
    if (value.isDouble() && !value.isIntegral())
        return value.asDouble() != 0.0;
    return JsonInteger(value) != 0;
}

std::string JsonText(const Json::Value& value)
{
    if (!value.isString())
        return {};
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!value.getString(&begin, &end) || !begin)
        return {};
    return SanitizeUtf8(std::string(begin, end));
}

Json::Value& JsonObjectMember(Json::Value& value, const char* key)
{
    if (!value.isObject())
        value = Json::Value(Json::objectValue);
    return value[key];
}

Json::Value& JsonArrayElement(Json::Value& value, Json::ArrayIndex index)
{
    if (!value.isArray())
        value = Json::Value(Json::arrayValue);
    return value[index];
}

} // namespace nq
