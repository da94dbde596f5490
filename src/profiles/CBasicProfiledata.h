#pragma once
// The profile object of a device: the device node of the current profile file in memory, with
// typed getters and setters over it, and loading and saving of the file.
//
// A profile file is {"Device": [node, ...], "profilename": ..., "profileUUID": ...}; the object
// works on "Device"[device index] and leaves everything else in the file as it is. Getters turn
// JSON values into the binary records the devices send; setters edit the in-memory node only.
// Nothing reaches the disk until Save. A member of the wrong JSON type reads as missing.
//
// No lock of its own: the owning device serialises access.
#include "editors/KeyAssignment.h"
#include "profiles/EffectFrame.h"
#include "profiles/JsonFile.h"
#include "profiles/LightSetting.h"

#include <json/value.h>

#include <string>
#include <vector>

namespace nq {

class CBasicProfiledata {
public:
    // Device indices above this are refused (an index is an array position in the file).
    static constexpr int kMaxDeviceIndex = 255;

    CBasicProfiledata();
    virtual ~CBasicProfiledata();

    // --- files -----------------------------------------------------------------------------
    // SaveNode(copy of the node, profile path). Does nothing (false) while the node is null.
    virtual bool Save();
    // Reads the document at `path`, puts `node` at "Device"[device index] (creating what is
    // missing) and writes the document back. A file whose content the write would throw away (not
    // one JSON document, or not of the profile's shape) is kept first (FileBackup). False when the
    // file was not written: it is then unchanged, and LastSaveStatus() tells why.
    virtual bool SaveNode(const Json::Value& node, const std::string& path);
    // Writes `value` as the whole document at `path`.
    virtual bool WriteDocument(const Json::Value& value, const std::string& path);
    // How the last Save, SaveNode or WriteDocument ended: Written, NothingToWrite (no path or
    // nothing loaded), TooLarge (the file would be larger than the program reads back) or Failed
    // (the folder or disk refused it); a page shows "the profile could not be saved" for the last
    // two.
    WriteStatus LastSaveStatus() const { return m_lastSave; }

    // Reads "Device"[device index] of the file at `path` and keeps it as the node. When the file
    // lacks it (missing, unreadable, not JSON, no such element, not an object) the node comes from
    // the default profile instead and is written into the file, which keeps its other members.
    // An existing file with content that cannot be used (it is not exactly one JSON document,
    // cannot be read, is too large, or has the wrong shape) is first kept aside (FileBackup:
    // `path` + ".broken", ".broken.1", ...); when it cannot be kept, or `path` is not a regular
    // file, the file is left alone and only the in-memory node comes from the default.
    // Does not refresh the cached records. Returns a copy of the node.
    Json::Value Load(const std::string& path);

    void SetProfilePath(const std::string& path);  // ignores ""
    const std::string& GetProfilePath() const { return m_profilePath; }
    void SetDefaultPath(const std::string& path);  // ignores ""
    const std::string& GetDefaultPath() const { return m_defaultPath; }
    void SetDeviceIndex(int index);                // ignores values outside 0..kMaxDeviceIndex
    int GetDeviceIndex() const { return m_deviceIndex; }

    // The in-memory device node.
    const Json::Value& GetNode() const { return m_node; }
    void SetNode(const Json::Value& node) { m_node = node; }

    // --- lighting records ----------------------------------------------------------------------
    // Read "LightInfo" (bytes 0-11), "LogoLightInfo" (12-21), "StLightInfo" (22-30) into the
    // matching record; the other zones are zero. A missing section gives an all-zero record.
    LightSetting GetLightInfo();
    LightSetting GetLogoLightInfo();
    LightSetting GetStLightInfo();
    // Store the record and replace the section by one holding only that zone's keys.
    void SetLightInfo(const LightSetting& record);
    void SetLogoLightInfo(const LightSetting& record);
    void SetStLightInfo(const LightSetting& record);
    // The records as last read or set (no node access).
    const LightSetting& LightInfo() const { return m_light; }
    const LightSetting& LogoLightInfo() const { return m_logoLight; }
    const LightSetting& StLightInfo() const { return m_stLight; }

    // --- light list, presets and effect frames -------------------------------------------------
    // One record per "LightList" element; empty without a list. Also cached.
    std::vector<LightSetting> GetLightList();
    const std::vector<LightSetting>& LightList() const { return m_lightList; }

    void SetLightConfigPath(const std::string& path) { m_lightConfigPath = path; }
    const std::string& GetLightConfigPath() const { return m_lightConfigPath; }
    // Reads the light preset list at `path` (null when unreadable), keeps it and returns a copy.
    Json::Value LoadLightConfig(const std::string& path);
    const Json::Value& LightConfig() const { return m_lightConfig; }

    // The frames of the effect file of preset "LightInfo"[device index][main effect number] of
    // the light config; the file is looked for in the light config's folder. Also cached.
    std::vector<EffectFrame> GetEffectFrames();
    const std::vector<EffectFrame>& EffectFrames() const { return m_effectFrames; }

    // --- key list (keyboard, mouse) --------------------------------------------------------------
    // One entry per "KeyList" element; entry i has key index i, current assignment from
    // "Assignment", default from "DefaultAssignment" (code << 16 | param1 << 8 | param2).
    std::vector<KeyEntry> GetKeyList();
    // Caches the entries and writes "KeyList"[k]."Assignment" for each; "DefaultAssignment" and
    // elements beyond the sequence stay.
    void SetKeyList(const std::vector<KeyEntry>& entries);
    // Caches `entries` and writes the elements from position `from` on whole: current and
    // default assignment (keys the stored list did not have yet).
    void AddKeyEntries(const std::vector<KeyEntry>& entries, size_t from);
    const std::vector<KeyEntry>& KeyList() const { return m_keyList; }

protected:
    LightSetting ReadLightSection(const char* section, int zone, bool hasLedMode, bool hasOnOff);
    void WriteLightSection(const char* section, const LightSetting& record, int zone, bool hasLedMode,
                           bool hasOnOff);
    // The node as a writable object (a null or wrong-typed node becomes an empty object).
    Json::Value& WritableNode();

    std::string m_profilePath;
    std::string m_defaultPath;
    WriteStatus m_lastSave = WriteStatus::NothingToWrite;
    int m_deviceIndex = 0;
    Json::Value m_node;

    LightSetting m_light;
    LightSetting m_logoLight;
    LightSetting m_stLight;
    const LightSetting m_fallbackLight{};

    std::vector<LightSetting> m_lightList;
    std::vector<EffectFrame> m_effectFrames;
    std::string m_lightConfigPath;
    Json::Value m_lightConfig;

    std::vector<KeyEntry> m_keyList;
};

} // namespace nq
