#pragma once
// The read-only lighting files besides the profile's own lighting records:
//   - "LightList" entries of a device node: one LightSetting per LED;
//   - the light preset list ("<light config name>.config" in the user folder):
//     {"LightInfo": [[{"LightName", "Guid"}, ...], ...]}, indexed by device index or variant;
//   - effect files ("<Guid>.light"): {"LEDEffectList": [frame, ...]};
//   - the light name lists of "default_light.json" in the default folder, indexed by variant.
#include "profiles/EffectFrame.h"
#include "profiles/LightSetting.h"

#include <json/value.h>

#include <optional>
#include <string>
#include <vector>

namespace nq {

// One "LightList" element: bytes 0-7 from "LEDREGMode", "LEDBrightness", "LEDSpeed",
// "LEDDirection" (flag), "LEDMultiColor" (flag), "red", "green", "blue"; byte 10 (present) is 1 for
// an object and 0 for anything else, which reads as an all-zero record.
LightSetting LightFromListEntry(const Json::Value& entry);
// A whole "LightList" array (empty when it is not an array).
std::vector<LightSetting> LightListFromJson(const Json::Value& list);
// The "LightList" element of a record: an object with the eight keys above when the record is
// present (byte 10 set), null otherwise; LightFromListEntry reads it back as the same record.
Json::Value LightListEntryJson(const LightSetting& record);

// One "LEDEffectList" element. Direction and multicolour are read as integers here (2 stays 2).
EffectFrame EffectFrameFromJson(const Json::Value& frame);
// The frames of an effect file document (empty when it has no "LEDEffectList").
std::vector<EffectFrame> EffectFramesFromJson(const Json::Value& document);

// The file name of a preset's effect file in `folder`: folder + guid + ".light". A guid that is
// empty or could leave the folder ("/", "\\", "..") gives an empty path: there is no such file.
std::string EffectFilePath(const std::string& folder, const std::string& guid);

// One preset of the light preset list.
struct LightPreset {
    std::string name;  // "LightName"
    std::string guid;  // "Guid": the base name of its effect file
    bool operator==(const LightPreset&) const = default;
};
// The presets of "LightInfo"[index]; nullopt when that element is absent.
std::optional<std::vector<LightPreset>> LightPresetsFromJson(const Json::Value& document, int index);

// One built-in effect or area name (a language resource key) with its visibility flag.
struct LightName {
    std::string name;      // "LightName"
    bool visible = false;  // "visible"; false when missing (the area names carry no flag)
    bool operator==(const LightName&) const = default;
};
// The names of `listKey` ("DefaultLightName", "LightTab1LightName", "LightTab2LightName",
// "AreaLightName") for one device variant; nullopt when that element is absent, in which case
// the caller keeps its previous list.
std::optional<std::vector<LightName>> LightNamesFromJson(const Json::Value& document, const char* listKey,
                                                         int variant);

} // namespace nq
