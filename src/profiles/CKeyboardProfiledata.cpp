#include "profiles/CKeyboardProfiledata.h"

#include "profiles/JsonAccess.h"

namespace nq {
namespace {

Json::Value ZeroColour()
{
    Json::Value colour(Json::objectValue);
    colour["Red"] = 0;
    colour["Green"] = 0;
    colour["Blue"] = 0;
    colour["Alpha"] = 0;
    return colour;
}

} // namespace

KeyboardSystemWords CKeyboardProfiledata::GetSystemWords()
{
    const Json::Value& stages = JsonMember(m_node, "SystemStages");
    KeyboardSystemWords words;
    if (stages.isObject()) {
        const auto half = [&](const char* key) { return JsonU16(JsonMember(stages, key)); };
        words.words[0] = KeyboardSystemWords::Pack(half("Repeat"), half("RepeatDelay"));
        words.words[1] = KeyboardSystemWords::Pack(half("Key6Flag"), half("PollingRate"));
        words.words[2] = KeyboardSystemWords::Pack(half("WFlag"), half("WinFlag"));
        words.words[3] = half("ScanDelay");
    }
    m_systemWords = words;
    return words;
}

void CKeyboardProfiledata::SetSystemWords(uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3)
{
    SetSystemWords(KeyboardSystemWords{{w0, w1, w2, w3}});
}

void CKeyboardProfiledata::SetSystemWords(const KeyboardSystemWords& words)
{
    m_systemWords = words;
    Json::Value& stages = JsonObjectMember(WritableNode(), "SystemStages");
    const auto put = [&](const char* key, uint16_t value) { JsonObjectMember(stages, key) = value; };
    put("Repeat", words.Repeat());
    put("RepeatDelay", words.RepeatDelay());
    put("Key6Flag", words.Key6Flag());
    put("PollingRate", words.PollingRate());
    put("WFlag", words.WFlag());
    put("WinFlag", words.WinFlag());
    put("ScanDelay", words.ScanDelay());
}

std::vector<RgbaColor> CKeyboardProfiledata::GetCustomColors(int group, int count)
{
    m_customColors.assign(count > 0 ? static_cast<size_t>(count) : 0, RgbaColor{});
    if (group < 0 || group >= kMaxCustomGroups || count <= 0)
        return m_customColors;
    Json::Value& info = JsonObjectMember(JsonObjectMember(WritableNode(), "CustomLightMode"), "LightColorInfo");
    const bool groupPresent = JsonElement(info, group).isArray();
    Json::Value& colours = JsonArrayElement(info, static_cast<Json::ArrayIndex>(group));
    for (int i = 0; i < count; ++i) {
        const auto position = static_cast<Json::ArrayIndex>(i);
        const Json::Value& stored = groupPresent ? JsonElement(colours, i) : JsonNull();
        if (!stored.isObject()) {
            JsonArrayElement(colours, position) = ZeroColour();
            continue;
        }
        RgbaColor& colour = m_customColors[position];
        colour.red = JsonU8(JsonMember(stored, "Red"));
        colour.green = JsonU8(JsonMember(stored, "Green"));
        colour.blue = JsonU8(JsonMember(stored, "Blue"));
        colour.alpha = JsonU8(JsonMember(stored, "Alpha"));
    }
    return m_customColors;
}

void CKeyboardProfiledata::SetCustomColors(const std::vector<RgbaColor>& colors, int group)
{
    m_customColors = colors;
    if (group < 0 || group >= kMaxCustomGroups)
        return;
    Json::Value& info = JsonObjectMember(JsonObjectMember(WritableNode(), "CustomLightMode"), "LightColorInfo");
    Json::Value& colours = JsonArrayElement(info, static_cast<Json::ArrayIndex>(group));
    for (size_t i = 0; i < colors.size(); ++i) {
        Json::Value& stored = JsonArrayElement(colours, static_cast<Json::ArrayIndex>(i));
        JsonObjectMember(stored, "Red") = colors[i].red;
        JsonObjectMember(stored, "Green") = colors[i].green;
        JsonObjectMember(stored, "Blue") = colors[i].blue;
        JsonObjectMember(stored, "Alpha") = colors[i].alpha;
    }
}

int CKeyboardProfiledata::GetCustomGroupIndex()
{
    m_customGroupIndex = JsonU8(JsonMember(JsonMember(m_node, "CustomLightMode"), "CustomLightModeGroupIndex"));
    return m_customGroupIndex;
}

void CKeyboardProfiledata::SetCustomGroupIndex(int index)
{
    m_customGroupIndex = index;
    JsonObjectMember(JsonObjectMember(WritableNode(), "CustomLightMode"), "CustomLightModeGroupIndex") = index;
}

} // namespace nq
