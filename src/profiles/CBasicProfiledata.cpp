#include "profiles/CBasicProfiledata.h"

#include "common/DebugLog.h"
#include "profiles/JsonAccess.h"
#include "profiles/FileBackup.h"
#include "profiles/JsonFile.h"
#include "profiles/LightFiles.h"


namespace nq {
namespace {

// True when putting a node at "Device"[index] of `document` would throw away content that is not
// simply absent: a document that is not an object, a "Device" that is not an array, or an element
// there that is not an object.
bool WriteBackDiscardsContent(const Json::Value& document, int index)
{
    if (!document.isObject())
        return true;
    const Json::Value& devices = JsonMember(document, "Device");
    if (devices.isNull())
        return false;
    if (!devices.isArray())
        return true;
    const Json::Value& element = JsonElement(devices, index);
    return !element.isNull() && !element.isObject();
}

// Makes the file's document ready to take a node at "Device"[index]. Content that the write-back
// would throw away (a file that is not one JSON document, or has the wrong shape) is kept aside
// first. False when the file must not be replaced: it is not a regular file, or what it holds
// could not be kept.
bool PrepareWriteBack(const std::string& path, JsonDocument& file, int index)
{
    using State = JsonDocument::State;
    if (file.state == State::NotAFile)
        return false;
    const bool discards =
        file.state == State::Unusable || (file.state == State::Parsed && WriteBackDiscardsContent(file.value, index));
    if (discards && FileBackup::Keep(path).empty())
        return false;
    if (!file.value.isObject())
        file.value = Json::Value(Json::objectValue);
    return true;
}

void PutNode(Json::Value& document, int index, const Json::Value& node)
{
    JsonArrayElement(JsonObjectMember(document, "Device"), static_cast<Json::ArrayIndex>(index)) = node;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

CBasicProfiledata::CBasicProfiledata() = default;
CBasicProfiledata::~CBasicProfiledata() = default;

// --- files ------------------------------------------------------------------------------------

bool CBasicProfiledata::Save()
{
    // Nothing loaded or set: writing would only replace the file's node by null.
    if (m_node.isNull()) {
        m_lastSave = WriteStatus::NothingToWrite;
        return false;
    }
    return SaveNode(Json::Value(m_node), m_profilePath);
}

bool CBasicProfiledata::SaveNode(const Json::Value& node, const std::string& path)
{
    if (path.empty()) {
        m_lastSave = WriteStatus::NothingToWrite;
        return false;
    }
    JsonDocument file = ReadJsonDocument(path);
    if (!PrepareWriteBack(path, file, m_deviceIndex)) {
        m_lastSave = WriteStatus::Failed;
        return false;
    }
    PutNode(file.value, m_deviceIndex, node);
    return WriteJsonFile(path, file.value, &m_lastSave);
}

bool CBasicProfiledata::WriteDocument(const Json::Value& value, const std::string& path)
{
    return WriteJsonFile(path, value, &m_lastSave);
}

Json::Value CBasicProfiledata::Load(const std::string& path)
{
    JsonDocument file = ReadJsonDocument(path);
    const Json::Value& found = JsonElement(JsonMember(file.value, "Device"), m_deviceIndex);
    if (found.isObject()) {
        m_node = found;
        return m_node;
    }

    // The file lacks the node: take the default profile's and write it into the file.
    const Json::Value defaults = ReadJsonFile(m_defaultPath);
    const Json::Value& defaultNode = JsonElement(JsonMember(defaults, "Device"), m_deviceIndex);
    if (!defaultNode.isObject()) {
        // Nothing to recreate the file from; leave the file alone.
        m_node = Json::Value();
        return m_node;
    }
    m_node = defaultNode;
    if (!path.empty() && PrepareWriteBack(path, file, m_deviceIndex)) {
        PutNode(file.value, m_deviceIndex, m_node);
        WriteJsonFile(path, file.value);
    }
    return m_node;
}

void CBasicProfiledata::SetProfilePath(const std::string& path)
{
    if (!path.empty())
        m_profilePath = path;
}

void CBasicProfiledata::SetDefaultPath(const std::string& path)
{
    if (!path.empty())
        m_defaultPath = path;
}

void CBasicProfiledata::SetDeviceIndex(int index)
{
    if (index >= 0 && index <= kMaxDeviceIndex)
        m_deviceIndex = index;
}

Json::Value& CBasicProfiledata::WritableNode()
{
    if (!m_node.isObject())
        m_node = Json::Value(Json::objectValue);
    return m_node;
}

// --- lighting records ---------------------------------------------------------------------------

LightSetting CBasicProfiledata::ReadLightSection(const char* section, int zone, bool hasLedMode, bool hasOnOff)
{
    const Json::Value& values = JsonMember(m_node, section);
    LightSetting record = m_fallbackLight;
    if (values.isObject()) {
        record[zone + LightSetting::kEffect] = JsonU8(JsonMember(values, "SelectItem"));
        record[zone + LightSetting::kBrightness] = JsonU8(JsonMember(values, "Light"));
        record[zone + LightSetting::kSpeed] = JsonU8(JsonMember(values, "Speed"));
        record[zone + LightSetting::kDirection] = JsonU8(JsonMember(values, "Fx"));
        record[zone + LightSetting::kMultiColour] = JsonFlag(JsonMember(values, "MultiColor")) ? 1 : 0;
        record[zone + LightSetting::kRed] = JsonU8(JsonMember(values, "Red"));
        record[zone + LightSetting::kGreen] = JsonU8(JsonMember(values, "Green"));
        record[zone + LightSetting::kBlue] = JsonU8(JsonMember(values, "Blue"));
        if (hasLedMode)
            record[LightSetting::kLedMode] = JsonU8(JsonMember(values, "ZZCCLedMode"));
        if (hasOnOff)
            record[LightSetting::kLogoOnOff] = JsonU8(JsonMember(values, "RGBdengoffon"));
    }
    return record;
}

void CBasicProfiledata::WriteLightSection(const char* section, const LightSetting& record, int zone,
                                          bool hasLedMode, bool hasOnOff)
{
    Json::Value values(Json::objectValue);
    values["SelectItem"] = record[zone + LightSetting::kEffect];
    values["Light"] = record[zone + LightSetting::kBrightness];
    values["Speed"] = record[zone + LightSetting::kSpeed];
    values["Fx"] = record[zone + LightSetting::kDirection];
    values["MultiColor"] = record[zone + LightSetting::kMultiColour];
    values["Red"] = record[zone + LightSetting::kRed];
    values["Green"] = record[zone + LightSetting::kGreen];
    values["Blue"] = record[zone + LightSetting::kBlue];
    if (hasLedMode)
        values["ZZCCLedMode"] = record[LightSetting::kLedMode];
    if (hasOnOff)
        values["RGBdengoffon"] = record[LightSetting::kLogoOnOff];
    WritableNode()[section] = std::move(values);
}

LightSetting CBasicProfiledata::GetLightInfo()
{
    m_light = ReadLightSection("LightInfo", LightSetting::kMain, true, false);
    return m_light;
}

LightSetting CBasicProfiledata::GetLogoLightInfo()
{
    m_logoLight = ReadLightSection("LogoLightInfo", LightSetting::kLogo, false, true);
    return m_logoLight;
}

LightSetting CBasicProfiledata::GetStLightInfo()
{
    m_stLight = ReadLightSection("StLightInfo", LightSetting::kSt, false, false);
    return m_stLight;
}

void CBasicProfiledata::SetLightInfo(const LightSetting& record)
{
    m_light = record;
    WriteLightSection("LightInfo", record, LightSetting::kMain, true, false);
}

void CBasicProfiledata::SetLogoLightInfo(const LightSetting& record)
{
    m_logoLight = record;
    WriteLightSection("LogoLightInfo", record, LightSetting::kLogo, false, true);
}

void CBasicProfiledata::SetStLightInfo(const LightSetting& record)
{
    m_stLight = record;
    WriteLightSection("StLightInfo", record, LightSetting::kSt, false, false);
}

// --- light list, presets and effect frames ----------------------------------------------------

std::vector<LightSetting> CBasicProfiledata::GetLightList()
{
    m_lightList = LightListFromJson(JsonMember(m_node, "LightList"));
    return m_lightList;
}

Json::Value CBasicProfiledata::LoadLightConfig(const std::string& path)
{
    m_lightConfig = ReadJsonFile(path);
    return m_lightConfig;
}

std::vector<EffectFrame> CBasicProfiledata::GetEffectFrames()
{
    m_effectFrames.clear();
    if (m_lightConfig.isNull())
        return m_effectFrames;
    const Json::Value& presets = JsonElement(JsonMember(m_lightConfig, "LightInfo"), m_deviceIndex);
    const Json::Value& preset = JsonElement(presets, m_light[LightSetting::kEffect]);
    // Effect files lie beside the preset list that names them.
    const std::string file = EffectFilePath(FolderOf(m_lightConfigPath), JsonText(JsonMember(preset, "Guid")));
    if (!file.empty())
        m_effectFrames = EffectFramesFromJson(ReadJsonFile(file));
    return m_effectFrames;
}

// --- key list -----------------------------------------------------------------------------------

std::vector<KeyEntry> CBasicProfiledata::GetKeyList()
{
    m_keyList.clear();
    const Json::Value& list = JsonMember(m_node, "KeyList");
    if (list.isArray()) {
        m_keyList.reserve(list.size());
        for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
            const Json::Value& element = list[i];
            const auto index = static_cast<uint16_t>(i);
            KeyEntry entry;
            entry.current = KeyAssignment::FromPacked(index, uint32_t(JsonInteger(JsonMember(element, "Assignment"))));
            entry.defaults =
                KeyAssignment::FromPacked(index, uint32_t(JsonInteger(JsonMember(element, "DefaultAssignment"))));
            m_keyList.push_back(entry);
        }
    }
    return m_keyList;
}

void CBasicProfiledata::SetKeyList(const std::vector<KeyEntry>& entries)
{
    m_keyList = entries;
    Json::Value& list = JsonObjectMember(WritableNode(), "KeyList");
    for (size_t k = 0; k < entries.size(); ++k) {
        Json::Value& element = JsonArrayElement(list, static_cast<Json::ArrayIndex>(k));
        JsonObjectMember(element, "Assignment") = static_cast<Json::Int>(entries[k].current.Packed());
    }
}

void CBasicProfiledata::AddKeyEntries(const std::vector<KeyEntry>& entries, size_t from)
{
    SetKeyList(entries);
    Json::Value& list = JsonObjectMember(WritableNode(), "KeyList");
    for (size_t k = from; k < entries.size(); ++k) {
        Json::Value& element = JsonArrayElement(list, static_cast<Json::ArrayIndex>(k));
        JsonObjectMember(element, "DefaultAssignment") = static_cast<Json::Int>(entries[k].defaults.Packed());
    }
}

} // namespace nq
