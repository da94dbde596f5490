#include "profiles/LightFiles.h"

#include "profiles/JsonAccess.h"

namespace nq {

namespace {

// Bytes 0-7 of a light list entry or an effect frame. The light list reads direction and
// multicolour as flags (0 or 1), effect files as plain integers.
void ReadLedBytes(const Json::Value& element, LightSetting& record, bool flagBytes)
{
    const auto flagOrByte = [&](const char* key) -> uint8_t {
        const Json::Value& value = JsonMember(element, key);
        return flagBytes ? (JsonFlag(value) ? 1 : 0) : JsonU8(value);
    };
    record[LightSetting::kEffect] = JsonU8(JsonMember(element, "LEDREGMode"));
    record[LightSetting::kBrightness] = JsonU8(JsonMember(element, "LEDBrightness"));
    record[LightSetting::kSpeed] = JsonU8(JsonMember(element, "LEDSpeed"));
    record[LightSetting::kDirection] = flagOrByte("LEDDirection");
    record[LightSetting::kMultiColour] = flagOrByte("LEDMultiColor");
    record[LightSetting::kRed] = JsonU8(JsonMember(element, "red"));
    record[LightSetting::kGreen] = JsonU8(JsonMember(element, "green"));
    record[LightSetting::kBlue] = JsonU8(JsonMember(element, "blue"));
}

} // namespace

LightSetting LightFromListEntry(const Json::Value& entry)
{
    LightSetting record;
    if (!entry.isObject())
        return record;
    ReadLedBytes(entry, record, true);
    record[LightSetting::kPresent] = 1;
    return record;
}

std::vector<LightSetting> LightListFromJson(const Json::Value& list)
{
    std::vector<LightSetting> records;
    if (!list.isArray())
        return records;
    records.reserve(list.size());
    for (const Json::Value& entry : list)
        records.push_back(LightFromListEntry(entry));
    return records;
}

Json::Value LightListEntryJson(const LightSetting& record)
{
    if (record[LightSetting::kPresent] == 0)
        return Json::Value(Json::nullValue);
    Json::Value entry(Json::objectValue);
    entry["LEDREGMode"] = record.Effect();
    entry["LEDBrightness"] = record.Brightness();
    entry["LEDSpeed"] = record.Speed();
    entry["LEDDirection"] = record.Direction() != 0;
    entry["LEDMultiColor"] = record.MultiColour() != 0;
    entry["red"] = record.Red();
    entry["green"] = record.Green();
    entry["blue"] = record.Blue();
    return entry;
}

EffectFrame EffectFrameFromJson(const Json::Value& element)
{
    EffectFrame frame;
    if (!element.isObject())
        return frame;
    ReadLedBytes(element, frame.setting, false);
    frame.time = JsonI32(JsonMember(element, "Time"));
    frame.cycle = JsonI32(JsonMember(element, "Cyle"));
    return frame;
}

std::vector<EffectFrame> EffectFramesFromJson(const Json::Value& document)
{
    std::vector<EffectFrame> frames;
    const Json::Value& list = JsonMember(document, "LEDEffectList");
    if (!list.isArray())
        return frames;
    frames.reserve(list.size());
    for (const Json::Value& element : list)
        frames.push_back(EffectFrameFromJson(element));
    return frames;
}

std::string EffectFilePath(const std::string& folder, const std::string& guid)
{
    if (guid.empty() || guid == "." || guid.find('/') != std::string::npos ||
        guid.find('\\') != std::string::npos || guid.find("..") != std::string::npos ||
        guid.find('\0') != std::string::npos)
        return {};
    return folder + guid + ".light";
}

std::optional<std::vector<LightPreset>> LightPresetsFromJson(const Json::Value& document, int index)
{
    const Json::Value& element = JsonElement(JsonMember(document, "LightInfo"), index);
    if (element.isNull())
        return std::nullopt;
    std::vector<LightPreset> presets;
    if (element.isArray()) {
        for (const Json::Value& preset : element)
            presets.push_back({JsonText(JsonMember(preset, "LightName")), JsonText(JsonMember(preset, "Guid"))});
    }
    return presets;
}

std::optional<std::vector<LightName>> LightNamesFromJson(const Json::Value& document, const char* listKey,
                                                         int variant)
{
    const Json::Value& element = JsonElement(JsonMember(document, listKey), variant);
    if (element.isNull())
        return std::nullopt;
    std::vector<LightName> names;
    if (element.isArray()) {
        for (const Json::Value& entry : element) {
            names.push_back({JsonText(JsonMember(entry, "LightName")), JsonFlag(JsonMember(entry, "visible"))});
        }
    }
    return names;
}

} // namespace nq
