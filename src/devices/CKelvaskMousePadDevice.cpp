#include "devices/CKelvaskMousePadDevice.h"

#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

#include <algorithm>

namespace nq {

namespace {

// The "MacroName" of every "MacroInfo" element of a macro list file.
std::vector<std::string> MacroNamesOf(const std::string& path)
{
    std::vector<std::string> names;
    const Json::Value document = ReadJsonFile(path);
    const Json::Value& macros = JsonMember(document, "MacroInfo");
    if (!macros.isArray())
        return names;
    for (const Json::Value& macro : macros)
        names.push_back(JsonText(JsonMember(macro, "MacroName")));
    return names;
}

} // namespace

CKelvaskMousePadDevice::CKelvaskMousePadDevice()
{
    deviceType = 3;
    folderName = "MousePad";
    engine.SetFamily(LightingFamily::Pad);
    engine.Reactive().Reset(); // one marked ring entry for the sweeps
    profile.SetDefaultPath(GetDefaultProfilePath());
    // The default node, read without writing anything: the profile file is chosen later.
    const Json::Value document = ReadJsonFile(profile.GetDefaultPath());
    if (document.isObject() && document["Device"].isArray() && document["Device"][0].isObject())
        profile.SetNode(document["Device"][0]);
}

CKelvaskMousePadDevice::~CKelvaskMousePadDevice()
{
    StopWorkers();
}

// ---- page ----

void CKelvaskMousePadDevice::BuildPage()
{
    if (pageXmlName.empty()) {
        CKelvaskUSBDevice::InitPage(); // no page: every LED and key sequence emptied
        return;
    }
    BindButtonPanel(Page() ? Page()->FindControl(kLightPanelName) : nullptr, true);
    LoadNameLists();
}

bool CKelvaskMousePadDevice::IsPageShown() const
{
    return Page() && Page()->IsVisible();
}

// ---- connection, notices, status ----

void CKelvaskMousePadDevice::OnConnected()
{
    onboardRead = false;
    if (commandChannel.IsOpen()) {
        ReadDeviceInformation();
        // The block's bytes 9-20 are only known from a read: a write must carry them.
        ReadOnboardSettings();
    }
    LoadProfile();
    ShowProfile();
    StartLightingThread();
}

void CKelvaskMousePadDevice::PollStatus()
{
    if (IsPageShown())
        RunStatusPoll();
}

int CKelvaskMousePadDevice::ReadOnboardSettings()
{
    commandChannel.SetLightingSynced(false);
    if (!commandChannel.IsOpen())
        return kNotOpen;
    uint8_t slot = 0;
    if (commandChannel.ReadConfig(&slot, 1, 0) != kOk)
        return kNotOpen;
    uint8_t read[MousePadSettingsBlock::kReadSize] = {};
    if (commandChannel.ReadConfig(read, sizeof read, static_cast<uint16_t>(MousePadSettingsBlock::ReadOffset(slot))) != kOk)
        return kNotOpen;
    onboardBlock = MousePadSettingsBlock::FromRead(slot, read);
    onboardRead = true;
    engine.SetEffect(MousePadSettingsBlock::Effect(onboardBlock), MousePadSettingsBlock::Speed(onboardBlock));
    return kOk;
}

// ---- writes ----

int CKelvaskMousePadDevice::FinishWrite(WriteOutcome outcome, int result)
{
    lastWrite = outcome;
    lastWriteResult = result;
    return result;
}

int CKelvaskMousePadDevice::WriteSettingsToDevice(int slot, uint8_t, int, int, int)
{
    if (!commandChannel.IsOpen())
        return FinishWrite(WriteOutcome::NotConnected, kOk);
    if (slot < 0 || MousePadSettingsBlock::WriteOffset(slot) + MousePadSettingsBlock::kSize > 0xFFFF)
        return FinishWrite(WriteOutcome::Failed, kInvalidArgument);
    if (!onboardRead) {
        // Bytes 9-20 were never read: read them now, keeping the lighting the profile gave.
        const MousePadSettingsBlock::Block lighting = onboardBlock;
        if (ReadOnboardSettings() != kOk)
            return FinishWrite(WriteOutcome::Failed, kNotOpen);
        std::copy(lighting.begin() + 1, lighting.begin() + 9, onboardBlock.begin() + 1);
        engine.SetEffect(MousePadSettingsBlock::Effect(onboardBlock), MousePadSettingsBlock::Speed(onboardBlock));
    }
    const MousePadSettingsBlock::Block bytes = MousePadSettingsBlock::ForWrite(onboardBlock);
    const int begun = commandChannel.BatchBegin();
    if (begun != kOk)
        return FinishWrite(WriteOutcome::Failed, begun);
    const int written = commandChannel.WriteConfig(bytes.data(), bytes.size(),
                                                   static_cast<uint16_t>(MousePadSettingsBlock::WriteOffset(slot)));
    const int ended = commandChannel.BatchEnd();
    const int result = written != kOk ? written : ended;
    return FinishWrite(result == kOk ? WriteOutcome::Written : WriteOutcome::Failed, result);
}

// ---- profile and lighting ----

void CKelvaskMousePadDevice::SetProfilePaths()
{
    SetProfilePathsOf(profile);
}

int CKelvaskMousePadDevice::LoadProfile()
{
    SetProfilePaths();
    profile.Load(profile.GetProfilePath());
    return LoadLighting();
}

int CKelvaskMousePadDevice::LoadLighting()
{
    lightSetting = profile.GetLightInfo();
    onboardBlock = MousePadSettingsBlock::WithLighting(onboardBlock, lightSetting);
    engine.LoadMainSetting(lightSetting);
    engine.SetKeyLightRecords(profile.GetLightList());
    profile.LoadLightConfig(profile.GetLightConfigPath());
    engine.SetEffectFrames(profile.GetEffectFrames());
    return kOk;
}

void CKelvaskMousePadDevice::ShowProfile()
{
    LoadNameLists();
}

void CKelvaskMousePadDevice::RestoreDefaults()
{
    profile.Load(profile.GetDefaultPath());
    LoadLighting();
    SaveProfile();
    ShowProfile();
}

void CKelvaskMousePadDevice::LoadNameLists()
{
    const std::string userFolder = GetUserFolder();
    nameLists = MouseNameLists::Load(userFolder, GetDefaultFolder(), variant);
    nameLists.macroNames = MacroNamesOf(userFolder + kMacroListFile);
}

// ---- per-LED records ----

bool CKelvaskMousePadDevice::SetLedRecords(const std::vector<int>& leds, const std::optional<LightSetting>& record)
{
    std::vector<LightSetting> list = profile.GetLightList();
    if (list.size() < static_cast<size_t>(ledCount))
        list.resize(static_cast<size_t>(ledCount));
    LightSetting entry;
    if (record) {
        for (int field = LightSetting::kEffect; field <= LightSetting::kBlue; ++field)
            entry[field] = (*record)[field];
        entry[LightSetting::kPresent] = 1;
    }
    bool changed = false;
    for (int led : leds) {
        if (led < 0 || led >= ledCount)
            continue;
        list[static_cast<size_t>(led)] = entry;
        changed = true;
    }
    if (!changed)
        return false;
    profile.SetLightList(list);
    SaveProfile();
    LoadLighting();
    return true;
}

LightSetting CKelvaskMousePadDevice::LedRecord(int led) const
{
    const std::vector<LightSetting>& list = profile.LightList();
    return led >= 0 && static_cast<size_t>(led) < list.size() ? list[static_cast<size_t>(led)] : LightSetting{};
}

} // namespace nq
