#include "devices/CKelvaskMouseDevice.h"

#include "devices/MouseKeyMap.h"
#include "devices/MouseMacroImage.h"
#include "devices/MouseMacroList.h"
#include "devices/MouseRecoilImage.h"
#include "profiles/JsonFile.h"

#include <new>

namespace nq {

CKelvaskMouseDevice::CKelvaskMouseDevice()
{
    deviceType = 2;
    folderName = "mouse";
    engine.Reactive().Reset();
    profile.SetDefaultPath(GetDefaultProfilePath());
    // The default node, read without writing anything: the profile file is chosen later.
    const Json::Value document = ReadJsonFile(profile.GetDefaultPath());
    if (document.isObject() && document["Device"].isArray() && document["Device"][0].isObject())
        profile.SetNode(document["Device"][0]);
}

CKelvaskMouseDevice::~CKelvaskMouseDevice()
{
    StopWorkers();
}

bool CKelvaskMouseDevice::LinkReady()
{
    if (!commandChannel.IsOpen())
        return false;
    return !commandChannel.WirelessLink() || commandChannel.QueryLink();
}

// ---- connection and device notices ----

void CKelvaskMouseDevice::OnConnected()
{
    ReadDeviceState();
    LoadProfile();
    ShowProfile();
    StartLightingThread();
}

void CKelvaskMouseDevice::OnDeviceNotice()
{
    ReadOnboardSettings();
    ShowProfile();
}

void CKelvaskMouseDevice::ReadDeviceState()
{
    if (!LinkReady())
        return;
    commandChannel.BatchBegin();
    if (commandChannel.ReadDeviceInfo(deviceInfo) != kOk)
        return;
    const size_t slotCount = deviceInfo.KeyEntryCount();
    if (!commandChannel.SetTransferLength(slotCount * MouseKeyMap::kSlotBytes))
        return;
    std::array<uint8_t, kKeyTableBytes> table{};
    if (commandChannel.ReadKeymap(table.data()) != kOk)
        return;
    keyTable = table;
    commandChannel.BatchEnd();

    SetKeyIndexMap(MouseKeyMap::BuildKeyIndexMap(keyTable.data(), slotCount));
    dpiSliderMaximum = deviceInfo.MaxDpiSliderPosition();
    dpiEditMaximum = dpiSliderMaximum * deviceInfo.DpiStep();
}

int CKelvaskMouseDevice::ReadOnboardSettings()
{
    commandChannel.SetLightingSynced(false);
    if (!LinkReady())
        return kNotOpen;
    uint8_t slot = 0;
    if (commandChannel.ReadConfig(&slot, 1, 0) != kOk)
        return kNotOpen;
    MouseSettingsBlock::Block block{};
    if (commandChannel.ReadConfig(block.data(), block.size(), MouseSettingsBlock::SlotOffset(slot)) != kOk)
        return kNotOpen;
    block[9] = 0;
    onboardSlot = slot;
    onboardBlock = block;

    const MouseSettingsBlock::Onboard values = MouseSettingsBlock::Parse(block);
    lightSetting = MouseSettingsBlock::ApplyTo(values, lightSetting);
    engine.SetMainSetting(lightSetting);
    engine.SetEffect(values.effect, values.speed);

    profile.SetActiveStage(values.activeStage);
    profile.SetLightInfo(lightSetting);
    profile.Save();
    return kOk;
}

// ---- writes ----

int CKelvaskMouseDevice::WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight)
{
    MouseSettingsBlock::Inputs in;
    in.stages = profile.GetDpiStages();
    in.words = profile.GetSystemWords();
    in.activeStage = profile.GetActiveStage();
    in.light = profile.GetLightInfo();
    in.corrections = profile.GetCorrectList();
    in.byte0 = byte0;
    in.flag = static_cast<uint8_t>(flag);
    in.screenWidth = static_cast<uint16_t>(screenWidth);
    in.screenHeight = static_cast<uint16_t>(screenHeight);
    const MouseSettingsBlock::Block block = MouseSettingsBlock::Build(in);

    if (!commandChannel.IsOpen())
        return kOk; // nothing to send; the profile keeps the settings
    if (slot < 0 || MouseSettingsBlock::kSlotStride * static_cast<size_t>(slot) + MouseSettingsBlock::kWriteSize > 0xFFFF)
        return kInvalidArgument;
    if (!LinkReady())
        return kNotOpen;
    commandChannel.BatchBegin();
    if (!LinkReady())
        return kNotOpen;
    const int written = commandChannel.WriteConfig(block.data(), MouseSettingsBlock::kWriteSize,
                                                   MouseSettingsBlock::SlotOffset(slot));
    if (!LinkReady())
        return kNotOpen;
    commandChannel.BatchEnd();
    return written;
}

int CKelvaskMouseDevice::WriteKeymapToDevice(int bank, const std::vector<KeyEntry>& keys)
{
    if (!LinkReady())
        return kNotOpen;
    if (commandChannel.ReadDeviceInfo(deviceInfo) != kOk)
        return kNotOpen;
    // The whole key table buffer, so the write never reads past it whatever the transfer length.
    std::array<uint8_t, kKeyTableBytes> buffer{};
    const std::vector<uint8_t> table =
        MouseKeyMap::BuildKeymap(keyTable.data(), deviceInfo.KeyEntryCount(), keyIndexMap, keys);
    std::copy(table.begin(), table.end(), buffer.begin());

    if (!LinkReady())
        return kNotOpen;
    commandChannel.BatchBegin();
    if (!LinkReady())
        return kNotOpen;
    const int written = commandChannel.WriteKeymap(buffer.data(), bank);
    if (!LinkReady())
        return kNotOpen;
    commandChannel.BatchEnd();
    return written;
}

int CKelvaskMouseDevice::WriteAssignmentsToDevice(int bank)
{
    return WriteKeymapToDevice(bank, std::vector<KeyEntry>(keyList));
}

int CKelvaskMouseDevice::WriteMacrosToDevice()
{
    const bool open = commandChannel.IsOpen();
    if (open && (!LinkReady() || commandChannel.ReadDeviceInfo(deviceInfo) != kOk))
        return kNotOpen;
    try {
        const MouseMacroList list = MouseMacroList::Load(GetUserFolder());
        if (list.Count() == 0)
            return 0;
        const std::vector<MouseMacroImage::Events> blocks = list.ReadAllEvents();
        const size_t total = MouseMacroImage::Length(blocks);
        if (const int overflow = MouseMacroImage::Overflow(total, deviceInfo.MacroCapacityBytes()))
            return overflow;
        const std::vector<uint8_t> image = MouseMacroImage::Build(blocks);
        if (image.size() != total)
            return kWriteFailed;
        if (!open)
            return 0;
        if (!LinkReady())
            return kWriteFailed;
        commandChannel.BatchBegin();
        if (!LinkReady())
            return kWriteFailed;
        const int written = commandChannel.WriteMacros(image.data(), image.size());
        if (!LinkReady())
            return kWriteFailed;
        commandChannel.BatchEnd();
        // The key assignments that follow may only refer to macros the device took.
        return written == kOk ? 0 : kWriteFailed;
    } catch (const std::bad_alloc&) {
        return kWriteFailed;
    }
}

void CKelvaskMouseDevice::WriteRecoilToDevice()
{
    const bool open = commandChannel.IsOpen();
    if (open && (!LinkReady() || commandChannel.ReadDeviceInfo(deviceInfo) != kOk))
        return;
    try {
        const std::vector<uint8_t> image = MouseRecoilImage::Build(GetUserFolder());
        if (!open || image.empty())
            return;
        if (!LinkReady())
            return;
        commandChannel.BatchBegin();
        if (!LinkReady())
            return;
        commandChannel.WriteRecoil(image.data(), image.size());
        if (!LinkReady())
            return;
        commandChannel.BatchEnd();
    } catch (const std::bad_alloc&) {
    }
}

// ---- profile ----

void CKelvaskMouseDevice::SetProfilePaths()
{
    SetProfilePathsOf(profile);
}

void CKelvaskMouseDevice::TakeProfileValues()
{
    keyList = profile.GetKeyList();
    LoadLighting();
    dpiStages = profile.GetDpiStages();
    systemWords = profile.GetSystemWords();
}

int CKelvaskMouseDevice::LoadProfile()
{
    SetProfilePaths();
    profile.Load(profile.GetProfilePath());
    TakeProfileValues();
    return kOk;
}

int CKelvaskMouseDevice::LoadLighting()
{
    lightSetting = profile.GetLightInfo();
    // A new effect number also restarts the reactive buffers.
    engine.LoadMainSetting(lightSetting);
    engine.SetKeyLightRecords(profile.GetLightList());
    engine.EvaluateRecordsOnce();
    profile.LoadLightConfig(profile.GetLightConfigPath());
    engine.SetEffectFrames(profile.GetEffectFrames());
    return kOk;
}

void CKelvaskMouseDevice::RestoreDefaults()
{
    profile.Load(profile.GetDefaultPath());
    TakeProfileValues();
    SaveProfile();
    ShowProfile();
}

void CKelvaskMouseDevice::ShowProfile()
{
    LoadNameLists();
    RefreshKeyLabels();
}

void CKelvaskMouseDevice::LoadNameLists()
{
    nameLists = MouseNameLists::Load(GetUserFolder(), GetDefaultFolder(), variant);
}

void CKelvaskMouseDevice::PruneAssignments()
{
    LoadNameLists();
    if (!MouseMacroList::RevertKeysBeyond(keyList, nameLists.macroNames.size()))
        return;
    profile.SetKeyList(keyList);
    RefreshKeyLabels();
}

// ---- key list, DPI stages, system words ----

void CKelvaskMouseDevice::SetKeyTable(const std::vector<KeyEntry>& list)
{
    keyList = list;
    profile.SetKeyList(keyList);
}

void CKelvaskMouseDevice::SetSelectedKeyEntry(const KeyEntry& entry)
{
    if (selectedKey < 0 || static_cast<size_t>(selectedKey) >= keyList.size())
        return;
    keyList[static_cast<size_t>(selectedKey)] = entry;
    profile.SetKeyList(keyList);
}

void CKelvaskMouseDevice::SetDpiStages(const std::vector<DpiStage>& stages)
{
    dpiStages = stages;
    profile.SetDpiStages(stages);
}

void CKelvaskMouseDevice::SetSystemWords(const MouseSystemWords& words)
{
    systemWords = words;
    profile.SetSystemWords(words);
}

// ---- page state, variant, lighting record ----

void CKelvaskMouseDevice::SetPageState(int code)
{
    CKelvaskUSBDevice::SetPageState(code);
    if (IDevicePage* page = Page()) {
        if (IPageControl* hint = page->FindControl("device_tishi_info"))
            hint->SetVisible(false);
    }
}

void CKelvaskMouseDevice::SetVariant(int n)
{
    CKelvaskUSBDevice::SetVariant(n);
    profile.SetDeviceIndex(0);
}

void CKelvaskMouseDevice::SetLightSetting(const std::array<uint32_t, 8>& words)
{
    CKelvaskUSBDevice::SetLightSetting(words);
    profile.SetLightInfo(lightSetting);
}

} // namespace nq
