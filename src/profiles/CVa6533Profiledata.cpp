#include "profiles/CVa6533Profiledata.h"

#include "profiles/JsonAccess.h"
#include "profiles/TextHelpers.h"

namespace nq {
namespace {

constexpr const char* kSettingKeys[8] = {"MagicEnable",  "MagicType",  "EqType",           "CustomEqSeletIndex",
                                         "MicInSelect",  "MicInValue", "MicMoniterSelect", "MicMoniterValue"};

} // namespace

HeadsetSystemSettings CVa6533Profiledata::GetSystemSettings()
{
    const Json::Value& section = JsonMember(m_node, "SystemSetStages");
    std::array<int32_t, 8> values{};
    if (section.isObject()) {
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = JsonI32(JsonMember(section, kSettingKeys[i]));
    }
    m_settings = HeadsetSystemSettings::FromArray(values);
    return m_settings;
}

void CVa6533Profiledata::SetSystemSettings(const HeadsetSystemSettings& settings)
{
    m_settings = settings;
    Json::Value& section = JsonObjectMember(WritableNode(), "SystemSetStages");
    const auto values = settings.ToArray();
    for (size_t i = 0; i < values.size(); ++i)
        JsonObjectMember(section, kSettingKeys[i]) = values[i];
}

int CVa6533Profiledata::EqPresetPosition(int eqType)
{
    if (eqType == kCustomEqType)
        return -1;
    if (eqType >= 1 && eqType <= 12)
        return eqType;
    return 1;
}

std::vector<int> CVa6533Profiledata::ReadCurve(const char* section, int position)
{
    std::vector<int> points(kEqPoints, 0);
    const Json::Value& curve = JsonElement(JsonMember(m_node, section), position);
    if (curve.isArray()) {
        for (int i = 0; i < kEqPoints; ++i)
            points[static_cast<size_t>(i)] = JsonI32(JsonMember(JsonElement(curve, i), "value"));
        return points;
    }
    // A missing curve is created in the node, filled with zeros.
    WriteCurve(section, position, points);
    return points;
}

void CVa6533Profiledata::WriteCurve(const char* section, int position, const std::vector<int>& values)
{
    Json::Value& curves = JsonObjectMember(WritableNode(), section);
    Json::Value& curve = JsonArrayElement(curves, static_cast<Json::ArrayIndex>(position));
    for (int i = 0; i < kEqPoints; ++i) {
        const int value = static_cast<size_t>(i) < values.size() ? values[static_cast<size_t>(i)] : 0;
        JsonObjectMember(JsonArrayElement(curve, static_cast<Json::ArrayIndex>(i)), "value") = value;
    }
}

std::vector<int> CVa6533Profiledata::GetEqValues(int eqType)
{
    const int position = EqPresetPosition(eqType);
    if (position < 0)
        return {};
    return ReadCurve("EQHzValueInfo", position);
}

void CVa6533Profiledata::SetEqValues(int eqType, const std::vector<int>& values)
{
    const int position = EqPresetPosition(eqType);
    if (position >= 0)
        WriteCurve("EQHzValueInfo", position, values);
}

std::vector<std::string> CVa6533Profiledata::GetCustomEqNames()
{
    std::vector<std::string> names;
    const Json::Value& list = JsonMember(m_node, "CustomEQNameInfo");
    if (list.isArray()) {
        for (const Json::Value& element : list)
            names.push_back(JsonText(JsonMember(element, "Name")));
    }
    return names;
}

void CVa6533Profiledata::SetCustomEqNames(const std::vector<std::string>& names)
{
    Json::Value list(Json::arrayValue);
    for (const std::string& name : names) {
        Json::Value element(Json::objectValue);
        element["Name"] = SanitizeUtf8(name);
        list.append(element);
    }
    WritableNode()["CustomEQNameInfo"] = std::move(list);
}

std::vector<int> CVa6533Profiledata::GetCustomEqValues(int index)
{
    if (index < 0 || index >= kMaxCustomCurves)
        return std::vector<int>(kEqPoints, 0);
    return ReadCurve("CustomEQHzValueInfo", index);
}

void CVa6533Profiledata::SetCustomEqValues(int index, const std::vector<int>& values)
{
    if (index >= 0 && index < kMaxCustomCurves)
        WriteCurve("CustomEQHzValueInfo", index, values);
}

} // namespace nq
