#include "devices/CKelvaskMouseDevice.h"

#include "devices/MouseKeyMap.h"
#include "devices/MouseMacroImage.h"
#include "devices/MouseMacroList.h"
#include "devices/MouseRecoilImage.h"
#include "profiles/JsonFile.h"

#include <algorithm>
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
    // The on-board slot the mouse runs: the settings written from now on go there.
    uint8_t slot = 0;
    if (commandChannel.ReadConfig(&slot, 1, 0) == kOk)
        onboardSlot = slot;
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

    // The slot's DPI stages and report rate replace the profile's, so the page shows the slot
    // and the next edit writes the slot back as it is.
    std::vector<DpiStage> stages = dpiStages;
    if (stages.size() < values.stages.size())
        stages.resize(values.stages.size());
    std::copy(values.stages.begin(), values.stages.end(), stages.begin());
    SetDpiStages(stages);
    MouseSystemWords words = systemWords;
    words.words[2] = MouseSystemWords::Pack(words.WheelLines(), values.reportRate);
    SetSystemWords(words);

    profile.SetActiveStage(values.activeStage);
    profile.SetLightInfo(lightSetting);
    SaveProfile();
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
    if (slot == 0)
        slot = onboardSlot;
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
    if (written == kOk) {
        // The mouse holds these now.
        std::copy(table.begin(), table.end(), keyTable.begin());
        heldKeys = keys;
    }
    return written;
}

int CKelvaskMouseDevice::WriteAssignmentsToDevice(int bank)
{
    savedKeys = keyList;
    return WriteKeymapToDevice(bank, std::vector<KeyEntry>(keyList));
}

void CKelvaskMouseDevice::SaveProfile()
{
    if (savedKeys == keyList) {
        profile.Save();
        return;
    }
    profile.SetKeyList(savedKeys);
    profile.Save();
    profile.SetKeyList(keyList);
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
    // Profiles written for fewer buttons get the others with their factory function.
    const size_t known = keyList.size();
    const auto& factory = MouseKeyMap::FactoryButtons();
    for (size_t k = known; k < factory.size(); ++k) {
        const KeyAssignment assignment = KeyAssignment::Function(factory[k].code, factory[k].param1, factory[k].param2);
        KeyEntry entry;
        entry.current = assignment;
        entry.defaults = assignment;
        entry.current.keyIndex = entry.defaults.keyIndex = static_cast<uint16_t>(k);
        keyList.push_back(entry);
    }
    bool changed = keyList.size() != known;
    if (changed)
        profile.AddKeyEntries(keyList, known);
    LoadLighting();
    dpiStages = profile.GetDpiStages();
    if (ClampedStages(dpiStages) != dpiStages) {
        SetDpiStages(dpiStages);
        changed = true;
    }
    systemWords = profile.GetSystemWords();
    savedKeys = keyList;
    if (changed)
        profile.Save();
    TakeHeldKeys();
}

void CKelvaskMouseDevice::TakeHeldKeys()
{
    heldKeys = keyList;
    const size_t slotCount = deviceInfo.KeyEntryCount();
    // Buttons the profile gave another function are found by that function.
    std::vector<int> map = keyIndexMap;
    MouseKeyMap::CompleteKeyIndexMap(keyTable.data(), slotCount, map, keyList);
    if (map != keyIndexMap)
        SetKeyIndexMap(map);
    for (size_t e = 0; e < heldKeys.size() && e < keyIndexMap.size(); ++e) {
        const int slot = keyIndexMap[e];
        if (slot == MouseKeyMap::kNoSlot || slot < 0 || static_cast<size_t>(slot) >= slotCount)
            continue;
        const uint8_t* bytes = &keyTable[MouseKeyMap::kSlotBytes * static_cast<size_t>(slot)];
        KeyAssignment& held = heldKeys[e].current;
        held = KeyAssignment::Function(bytes[0], bytes[1], bytes[2]);
        held.keyIndex = static_cast<uint16_t>(e);
    }
}

bool CKelvaskMouseDevice::RevertKeyEdits(KeyEntry& selectedEntry)
{
    keyList = savedKeys = heldKeys;
    profile.SetKeyList(keyList);
    SaveProfile();
    RefreshKeyLabels();
    if (selectedKey >= 0 && static_cast<size_t>(selectedKey) < keyList.size())
        selectedEntry = keyList[static_cast<size_t>(selectedKey)];
    return true;
}

std::vector<DpiStage> CKelvaskMouseDevice::ClampedStages(std::vector<DpiStage> stages) const
{
    if (dpiSliderMaximum <= 0)
        return stages;
    const auto highest = static_cast<uint16_t>(dpiSliderMaximum);
    for (DpiStage& stage : stages) {
        stage.dpiX = std::min(stage.dpiX, highest);
        stage.dpiY = std::min(stage.dpiY, highest);
    }
    return stages;
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
    const size_t macroCount = nameLists.macroNames.size();
    // A key on a macro that no longer exists gets its default, in the saved key list as well.
    MouseMacroList::RevertKeysBeyond(savedKeys, macroCount);
    if (!MouseMacroList::RevertKeysBeyond(keyList, macroCount))
        return;
    profile.SetKeyList(keyList);
    RefreshKeyLabels();
}

// ---- key list, DPI stages, system words ----

void CKelvaskMouseDevice::SetKeyTable(const std::vector<KeyEntry>& list)
{
    // A whole new key list (the macro editor's renumbering, among others) is saved with the
    // profile; only the key editor's single-key edits wait for the key save.
    keyList = savedKeys = list;
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
    dpiStages = ClampedStages(stages);
    profile.SetDpiStages(dpiStages);
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
