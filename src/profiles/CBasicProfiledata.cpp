#include "profiles/CBasicProfiledata.h"

#include "common/DebugLog.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "profiles/LightFiles.h"

#include <cstdio>
#include <sys/stat.h>

namespace nq {
namespace {

// True when the file at `path` holds something that could be the user's: text that is not blank,
// or bytes that could not be read as text (no permission, too large, zero bytes).
bool HoldsContent(const std::string& path, const std::string& text)
{
    if (!text.empty())
        return text.find_first_not_of(" \t\r\n") != std::string::npos;
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

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

// A user's file that cannot be used as it is gets kept beside it before it is replaced, so that
// nothing the user had is lost without a trace.
void KeepAside(const std::string& path)
{
    const std::string aside = path + ".broken";
    if (std::rename(path.c_str(), aside.c_str()) == 0)
        DebugOutF("profile file unreadable, kept as %s", aside.c_str());
}

// A file's text and its document as ReadJsonFile gives it.
struct FileDocument {
    std::string text;
    Json::Value document;
};

FileDocument ReadDocument(const std::string& path)
{
    FileDocument file;
    file.text = ReadTextFile(path);
    if (file.text.empty())
        DebugOut(path);
    file.document = ParseJsonText(file.text);
    return file;
}

// Makes the document ready to take a node at "Device"[index]. When that throws away what the file
// held, the file is kept aside first.
void PrepareWriteBack(const std::string& path, FileDocument& file, int index)
{
    if (!WriteBackDiscardsContent(file.document, index))
        return;
    if (HoldsContent(path, file.text))
        KeepAside(path);
    if (!file.document.isObject())
        file.document = Json::Value(Json::objectValue);
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
    if (m_node.isNull())
        return false;
    return SaveNode(Json::Value(m_node), m_profilePath);
}

bool CBasicProfiledata::SaveNode(const Json::Value& node, const std::string& path)
{
    if (path.empty())
        return false;
    FileDocument file = ReadDocument(path);
    PrepareWriteBack(path, file, m_deviceIndex);
    PutNode(file.document, m_deviceIndex, node);
    return WriteJsonFile(path, file.document);
}

bool CBasicProfiledata::WriteDocument(const Json::Value& value, const std::string& path)
{
    if (path.empty())
        return false;
    return WriteJsonFile(path, value);
}

Json::Value CBasicProfiledata::Load(const std::string& path)
{
    FileDocument file = ReadDocument(path);
    const Json::Value& found = JsonElement(JsonMember(file.document, "Device"), m_deviceIndex);
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
    if (!path.empty()) {
        PrepareWriteBack(path, file, m_deviceIndex);
        PutNode(file.document, m_deviceIndex, m_node);
        WriteJsonFile(path, file.document);
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

void CBasicProfiledata::SetLightList(const std::vector<LightSetting>& records)
{
    Json::Value list(Json::arrayValue);
    for (const LightSetting& record : records)
        list.append(LightListEntryJson(record));
    WritableNode()["LightList"] = list;
    m_lightList = LightListFromJson(list);
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

} // namespace nq
