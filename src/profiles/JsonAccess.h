#pragma once
// Type-checked access to JSON documents read from disk.
//
// A member of the wrong JSON type (a string where a number is expected, an array where an object
// is expected, ...) reads exactly as a missing member; nothing here throws. The writing helpers
// replace a member of the wrong type by an empty one of the right type.
#include <json/value.h>

#include <cstdint>
#include <string>

namespace nq {

// A null value shared by the readers below.
const Json::Value& JsonNull();

// The member `key` of `value` when `value` is an object holding it; null otherwise.
const Json::Value& JsonMember(const Json::Value& value, const char* key);
// Element `index` of `value` when `value` is an array that long; null otherwise.
const Json::Value& JsonElement(const Json::Value& value, int64_t index);

// A number as a 64-bit integer: integers as they are, doubles truncated toward zero (0 when not
// finite or out of range), booleans 0/1; anything else 0.
int64_t JsonInteger(const Json::Value& value);
// The low bits of JsonInteger: how numbers are cut to the width of their field.
inline uint8_t JsonU8(const Json::Value& value) { return uint8_t(JsonInteger(value) & 0xFF); }
inline uint16_t JsonU16(const Json::Value& value) { return uint16_t(JsonInteger(value) & 0xFFFF); }
inline int32_t JsonI32(const Json::Value& value) { return int32_t(uint32_t(JsonInteger(value) & 0xFFFFFFFF)); }
// Boolean reading: true for true and for any non-zero number.
bool JsonFlag(const Json::Value& value);
// A string member as valid UTF-8 text; empty for anything that is not a string.
std::string JsonText(const Json::Value& value);

// Writing: the member `key` of `value`, turning `value` into an object first when it is not one.
Json::Value& JsonObjectMember(Json::Value& value, const char* key);
// Writing: element `index` of `value`, turning `value` into an array first when it is not one and
// growing it with nulls up to `index`.
Json::Value& JsonArrayElement(Json::Value& value, Json::ArrayIndex index);

} // namespace nq
