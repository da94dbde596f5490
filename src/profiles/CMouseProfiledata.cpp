#include "profiles/CMouseProfiledata.h"

#include "profiles/JsonAccess.h"

namespace nq {

std::vector<DpiStage> CMouseProfiledata::GetDpiStages()
{
    const Json::Value& section = JsonMember(m_node, "DPIStages");
    // The active stage is one byte on the device.
    m_activeStage = JsonU8(JsonMember(section, "StageActive"));
    const Json::Value& stages = JsonMember(section, "StageDPIs");
    if (!stages.isArray())
        return m_dpiStages;
    for (Json::ArrayIndex j = 0; j < stages.size(); ++j) {
        const Json::Value& element = stages[j];
        DpiStage stage;
        stage.active = JsonU8(JsonMember(element, "StageActive"));
        stage.xy = JsonU8(JsonMember(element, "StageXY"));
        stage.dpiX = JsonU16(JsonMember(element, "StageDPIX"));
        stage.dpiY = JsonU16(JsonMember(element, "StageDPIY"));
        stage.red = JsonU8(JsonMember(element, "StageColorR"));
        stage.green = JsonU8(JsonMember(element, "StageColorG"));
        stage.blue = JsonU8(JsonMember(element, "StageColorB"));
        if (j < m_dpiStages.size())
            m_dpiStages[j] = stage;
        else
            m_dpiStages.push_back(stage);
    }
    return m_dpiStages;
}

void CMouseProfiledata::SetDpiStages(const std::vector<DpiStage>& stages)
{
    m_dpiStages = stages;
    Json::Value& list = JsonObjectMember(JsonObjectMember(WritableNode(), "DPIStages"), "StageDPIs");
    for (size_t i = 0; i < stages.size(); ++i) {
        Json::Value& element = JsonArrayElement(list, static_cast<Json::ArrayIndex>(i));
        const DpiStage& stage = stages[i];
        JsonObjectMember(element, "StageActive") = stage.active;
        JsonObjectMember(element, "StageXY") = stage.xy;
        JsonObjectMember(element, "StageDPIX") = stage.dpiX;
        JsonObjectMember(element, "StageDPIY") = stage.dpiY;
        JsonObjectMember(element, "StageColorR") = stage.red;
        JsonObjectMember(element, "StageColorG") = stage.green;
        JsonObjectMember(element, "StageColorB") = stage.blue;
    }
}

void CMouseProfiledata::SetActiveStage(int index)
{
    m_activeStage = index;
    JsonObjectMember(JsonObjectMember(WritableNode(), "DPIStages"), "StageActive") = index;
}

MouseSystemWords CMouseProfiledata::GetSystemWords()
{
    const Json::Value& stages = JsonMember(m_node, "SystemStages");
    MouseSystemWords words;
    if (stages.isObject()) {
        const auto half = [&](const char* key) { return JsonU16(JsonMember(stages, key)); };
        const uint16_t reportStage = JsonU16(JsonMember(JsonMember(m_node, "ReportStages"), "StageActive"));
        words.words[0] = MouseSystemWords::Pack(half("DoubleClickTime"), half("MouseSpeed"));
        words.words[1] = MouseSystemWords::Pack(half("PointerPrecision"), half("ScorllPage"));
        words.words[2] = MouseSystemWords::Pack(half("WheelScorlllinse"), reportStage);
    }
    m_systemWords = words;
    return words;
}

void CMouseProfiledata::SetSystemWords(uint32_t w0, uint32_t w1, uint32_t w2)
{
    SetSystemWords(MouseSystemWords{{w0, w1, w2}});
}

void CMouseProfiledata::SetSystemWords(const MouseSystemWords& words)
{
    m_systemWords = words;
    Json::Value& node = WritableNode();
    Json::Value& stages = JsonObjectMember(node, "SystemStages");
    JsonObjectMember(stages, "DoubleClickTime") = words.DoubleClickTime();
    JsonObjectMember(stages, "MouseSpeed") = words.MouseSpeed();
    JsonObjectMember(stages, "PointerPrecision") = words.PointerPrecision();
    JsonObjectMember(stages, "ScorllPage") = words.ScrollPage();
    JsonObjectMember(stages, "WheelScorlllinse") = words.WheelLines();
    JsonObjectMember(JsonObjectMember(node, "ReportStages"), "StageActive") = words.ReportRateStage();
}

std::vector<CorrectEntry> CMouseProfiledata::GetCorrectList()
{
    m_correctList.clear();
    const Json::Value& list = JsonMember(m_node, "CorrectInfo");
    if (!list.isArray())
        return m_correctList;
    for (const Json::Value& element : list) {
        CorrectEntry entry;
        entry.pixThresh = JsonU8(JsonMember(element, "CorrectPixThresh"));
        entry.minSq = JsonU8(JsonMember(element, "CorrectMinSq"));
        entry.select = JsonU8(JsonMember(element, "CorrectSelect"));
        entry.name = JsonText(JsonMember(element, "CorrectName"));
        m_correctList.push_back(std::move(entry));
    }
    return m_correctList;
}

} // namespace nq
