#include "devices/CKelvaskMouseDevice.h"

#include "devices/MouseKeyMap.h"
#include "devices/MouseMacroImage.h"
#include "devices/MouseMacroList.h"
#include "devices/MouseRecoilImage.h"
#include "common/DebugLog.h"
#include "profiles/JsonFile.h"

#include <algorithm>
#include <memory>
#include <new>

namespace nq {

namespace {

// The on-board slot the comparison at connection looks at; the page's writes go to the slot the
// mouse runs (slot 0 stands for it).
constexpr int kWrittenSlot = 0;

} // namespace

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
    auto read = std::make_shared<DeviceStateRead>();
    RunTransfer(
        [this, read] {
            *read = FetchDeviceState(true);
            return read->tableRead ? kOk : kNotOpen;
        },
        [this, read](int) {
            ApplyDeviceState(*read);
            LoadProfile();
            ShowProfile();
            StartLightingThread();
            WriteBackIfDiffers(*read);
        });
}

void CKelvaskMouseDevice::OnDeviceNotice()
{
    commandChannel.SetLightingSynced(false);
    auto read = std::make_shared<OnboardRead>();
    RunTransfer(
        [this, read] {
            *read = FetchOnboardSettings();
            return read->read ? kOk : kNotOpen;
        },
        [this, read](int) {
            ApplyOnboardSettings(*read);
            ShowProfile();
        });
}

void CKelvaskMouseDevice::ReadDeviceState()
{
    ApplyDeviceState(FetchDeviceState(false));
}

CKelvaskMouseDevice::DeviceStateRead CKelvaskMouseDevice::FetchDeviceState(bool withBlock)
{
    DeviceStateRead read;
    if (!LinkReady())
        return read;
    commandChannel.BatchBegin();
    if (commandChannel.ReadDeviceInfo(read.info) != kOk)
        return read;
    read.infoRead = true;
    const size_t slotCount = read.info.KeyEntryCount();
    if (!commandChannel.SetTransferLength(slotCount * MouseKeyMap::kSlotBytes))
        return read;
    if (commandChannel.ReadKeymap(read.table.data()) != kOk)
        return read;
    read.tableRead = true;
    // The on-board slot the mouse runs: the settings written from now on go there.
    read.slotRead = commandChannel.ReadConfig(&read.slot, 1, 0) == kOk;
    commandChannel.BatchEnd();
    if (withBlock && read.slotRead && LinkReady())
        read.blockRead = ReadSettingsBlock(kWrittenSlot, read.block);
    return read;
}

void CKelvaskMouseDevice::ApplyDeviceState(const DeviceStateRead& read)
{
    if (read.infoRead)
        deviceInfo = read.info;
    if (!read.tableRead)
        return;
    keyTable = read.table;
    if (read.slotRead)
        onboardSlot = read.slot;
    SetKeyIndexMap(MouseKeyMap::BuildKeyIndexMap(keyTable.data(), deviceInfo.KeyEntryCount()));
    dpiSliderMaximum = deviceInfo.MaxDpiSliderPosition();
    dpiEditMaximum = dpiSliderMaximum * deviceInfo.DpiStep();
}

int CKelvaskMouseDevice::ReadOnboardSettings()
{
    commandChannel.SetLightingSynced(false);
    return ApplyOnboardSettings(FetchOnboardSettings());
}

CKelvaskMouseDevice::OnboardRead CKelvaskMouseDevice::FetchOnboardSettings()
{
    OnboardRead read;
    if (!LinkReady())
        return read;
    if (commandChannel.ReadConfig(&read.slot, 1, 0) != kOk)
        return read;
    read.read = ReadSettingsBlock(read.slot, read.block);
    return read;
}

bool CKelvaskMouseDevice::ReadSettingsBlock(int slot, MouseSettingsBlock::Block& block)
{
    return commandChannel.ReadConfig(block.data(), block.size(), MouseSettingsBlock::SlotOffset(slot)) == kOk;
}

int CKelvaskMouseDevice::ApplyOnboardSettings(const OnboardRead& read)
{
    if (!read.read)
        return kNotOpen;
    MouseSettingsBlock::Block block = read.block;
    if (read.slot == kWrittenSlot)
        m_deviceBlock = block;
    block[9] = 0;
    onboardSlot = read.slot;
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

MouseSettingsBlock::Block CKelvaskMouseDevice::BuildSettingsBlock(uint8_t byte0, int flag, int screenWidth,
                                                                  int screenHeight)
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
    return MouseSettingsBlock::Build(in);
}

int CKelvaskMouseDevice::WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight)
{
    return SendSettingsBlock(BuildSettingsBlock(byte0, flag, screenWidth, screenHeight), slot);
}

int CKelvaskMouseDevice::SendSettingsBlock(const MouseSettingsBlock::Block& block, int slot)
{
    // A closed channel is a write that did not happen: the caller is told so (the profile keeps
    // the settings and the next connection writes them back).
    if (!commandChannel.IsOpen())
        return kNotOpen;
    slot = TargetSlot(slot);
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

void CKelvaskMouseDevice::SetScreenSize(int width, int height)
{
    m_screenWidth = width;
    m_screenHeight = height;
}

void CKelvaskMouseDevice::SubmitSettingsWrite(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight,
                                              std::function<void(int)> written)
{
    SubmitSettings(slot, byte0, flag, screenWidth, screenHeight, false, std::move(written));
}

void CKelvaskMouseDevice::SubmitProfileWrite(int screenWidth, int screenHeight, ProfileKeys keys,
                                             std::function<void(const ProfileWriteResult&)> done)
{
    auto whenWritten = [this, keys, done = std::move(done)](int settings) {
        ProfileWriteResult result;
        result.settings = settings;
        if (!KeysFollow(keys, settings)) {
            if (done)
                done(result);
            return;
        }
        result.keysSent = true;
        SubmitKeySave(0, [result, done](const KeySaveResult& saved) mutable {
            result.keys = saved;
            if (done)
                done(result);
        });
    };
    SubmitSettings(0, 0, 1, screenWidth, screenHeight, false, std::move(whenWritten), false);
}

void CKelvaskMouseDevice::SubmitSettings(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight,
                                         bool writtenBack, std::function<void(int)> written, bool adoptRefused)
{
    SetScreenSize(screenWidth, screenHeight);
    const MouseSettingsBlock::Block block = BuildSettingsBlock(byte0, flag, screenWidth, screenHeight);
    const uint64_t write = ++m_settingsWrites;
    auto deviceHolds = std::make_shared<std::optional<MouseSettingsBlock::Block>>();
    RunTransfer(
        [this, block, slot, deviceHolds] {
            const int result = SendSettingsBlock(block, slot);
            // After a refusal the mouse's own block says what it holds now.
            MouseSettingsBlock::Block held{};
            if (IsRefusal(result) && LinkReady() && ReadSettingsBlock(TargetSlot(slot), held))
                *deviceHolds = held;
            return result;
        },
        [this, write, slot, block, deviceHolds, writtenBack, written, adoptRefused](int result) {
            OnSettingsWritten(write, slot, block, result, *deviceHolds, writtenBack, adoptRefused);
            if (written)
                written(result);
        });
}

void CKelvaskMouseDevice::OnSettingsWritten(uint64_t write, int slot, const MouseSettingsBlock::Block& block,
                                            int result, const std::optional<MouseSettingsBlock::Block>& deviceHolds,
                                            bool writtenBack, bool adoptRefused)
{
    ReportDeviceWrite(result);
    if (slot != kWrittenSlot)
        return;
    if (result == kOk) {
        m_deviceBlock = block;
        if (writtenBack)
            ShowStatus(kStatusWrittenBack);
        return;
    }
    if (!IsRefusal(result)) {
        // Never reached the mouse (unplugged, link lost, no answer): the profile keeps the change
        // and the next connection compares and writes it back.
        m_deviceBlock.reset();
        return;
    }
    if (deviceHolds)
        m_deviceBlock = deviceHolds;
    // A later write carries the whole block again and decides what the mouse holds.
    if (adoptRefused && write == m_settingsWrites && m_deviceBlock)
        TakeDeviceBlock(*m_deviceBlock);
}

void CKelvaskMouseDevice::WriteBackIfDiffers(const DeviceStateRead& read)
{
    m_deviceBlock.reset();
    if (!read.blockRead)
        return;
    m_deviceBlock = read.block;
    // The profile stands for slot 0, the slot the page writes; a mouse switched to another
    // on-board slot keeps it.
    if (read.slot != kWrittenSlot)
        return;
    // Without a screen (nq501ctl on its own) the mouse keeps the screen size it holds.
    if (m_screenWidth == 0 && m_screenHeight == 0) {
        const auto [width, height] = MouseSettingsBlock::ScreenSizeOf(read.block);
        SetScreenSize(width, height);
    }
    const MouseSettingsBlock::Block wanted = BuildSettingsBlock(0, 1, m_screenWidth, m_screenHeight);
    if (MouseSettingsBlock::SameBytes(wanted, read.block, 1, MouseSettingsBlock::kLastStageByte))
        return;
    DebugOut("mouse: the profile differs from the settings the mouse holds; writing them back");
    SubmitSettings(kWrittenSlot, 0, 1, m_screenWidth, m_screenHeight, true);
}

void CKelvaskMouseDevice::TakeDeviceBlock(const MouseSettingsBlock::Block& device)
{
    using B = MouseSettingsBlock;
    const B::Block mine = BuildSettingsBlock(0, 1, m_screenWidth, m_screenHeight);
    if (!B::SameBytes(mine, device, B::kFirstLightByte, B::kLastLightByte)) {
        lightSetting = B::ApplyTo(B::Parse(device), lightSetting);
        lightSetting[LightSetting::kDirection] = device[4];
        engine.LoadMainSetting(lightSetting);
        profile.SetLightInfo(lightSetting);
    }
    if (mine[B::kReportRateByte] != device[B::kReportRateByte]) {
        MouseSystemWords words = systemWords;
        words.words[2] = MouseSystemWords::Pack(words.WheelLines(), device[B::kReportRateByte]);
        SetSystemWords(words);
    }
    if (mine[B::kActiveStageByte] != device[B::kActiveStageByte])
        profile.SetActiveStage(device[B::kActiveStageByte]);
    std::vector<DpiStage> stages = dpiStages;
    bool stagesChanged = false;
    for (int i = 0; i < B::kStages; ++i) {
        if (B::SameBytes(mine, device, B::StageStart(i), B::StageStart(i) + B::kStageBytes - 1))
            continue;
        if (static_cast<int>(stages.size()) <= i)
            stages.resize(static_cast<size_t>(i) + 1);
        stages[static_cast<size_t>(i)] = B::StageOf(device, i);
        stagesChanged = true;
    }
    if (stagesChanged)
        SetDpiStages(stages);
    SaveProfile();
    ShowProfile();
}

int CKelvaskMouseDevice::SendKeymap(int bank, const std::vector<KeyEntry>& keys, const std::vector<int>& indexMap,
                                    const std::array<uint8_t, kKeyTableBytes>& base, DeviceInfo& info,
                                    std::vector<uint8_t>& table)
{
    if (!LinkReady())
        return kNotOpen;
    if (commandChannel.ReadDeviceInfo(info) != kOk)
        return kNotOpen;
    // The whole key table buffer, so the write never reads past it whatever the transfer length.
    std::array<uint8_t, kKeyTableBytes> buffer{};
    table = MouseKeyMap::BuildKeymap(base.data(), info.KeyEntryCount(), indexMap, keys);
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

bool CKelvaskMouseDevice::ReadKeyTable(size_t slotCount, std::array<uint8_t, kKeyTableBytes>& table)
{
    if (!LinkReady())
        return false;
    commandChannel.BatchBegin();
    std::array<uint8_t, kKeyTableBytes> read{};
    if (!commandChannel.SetTransferLength(slotCount * MouseKeyMap::kSlotBytes) ||
        commandChannel.ReadKeymap(read.data()) != kOk)
        return false;
    commandChannel.BatchEnd();
    const size_t bytes = std::min(slotCount * MouseKeyMap::kSlotBytes, table.size());
    std::copy(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(bytes), table.begin());
    return true;
}

int CKelvaskMouseDevice::WriteKeymapToDevice(int bank, const std::vector<KeyEntry>& keys)
{
    std::vector<uint8_t> table;
    const int written = SendKeymap(bank, keys, keyIndexMap, keyTable, deviceInfo, table);
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

void CKelvaskMouseDevice::SubmitKeySave(int bank, std::function<void(const KeySaveResult&)> done)
{
    // What the worker is given (taken now, on the UI thread) and what it finds.
    struct Save {
        int bank = 0;
        std::vector<KeyEntry> keys;
        std::vector<int> indexMap;
        std::array<uint8_t, kKeyTableBytes> base{};
        MouseMacroList::Pending macros;
        DeviceInfo info;
        KeySaveResult result;
        std::vector<uint8_t> written;
        bool tableRead = false;
        std::array<uint8_t, kKeyTableBytes> held{};
    };
    auto save = std::make_shared<Save>();
    save->bank = bank;
    save->keys = keyList;
    save->indexMap = keyIndexMap;
    save->base = keyTable;
    save->info = deviceInfo;
    save->held = keyTable;
    save->macros = MouseMacroList::ReadPending(GetUserFolder());
    RunTransfer(
        [this, save] {
            KeySaveResult& r = save->result;
            r.macros = save->macros.Send([&](const auto& blocks) { return SendMacroImage(blocks, save->info, r.macroWrite); });
            if (r.macros != 0)
                return r.keys;
            r.keys = SendKeymap(save->bank, save->keys, save->indexMap, save->base, save->info, save->written);
            // A refused table may have been taken in part: the mouse's own table says what it holds.
            if (IsRefusal(r.keys))
                save->tableRead = ReadKeyTable(save->info.KeyEntryCount(), save->held);
            return r.keys;
        },
        [this, save, done = std::move(done)](int) {
            const KeySaveResult& r = save->result;
            if (save->info.KeyEntryCount() != 0)
                deviceInfo = save->info;
            if (r.keys == kOk) {
                std::copy(save->written.begin(), save->written.end(), keyTable.begin());
                heldKeys = savedKeys = save->keys;
                ReportDeviceWrite(kOk);
            } else if (r.macros == 0) {
                if (save->tableRead) {
                    keyTable = save->held;
                    TakeHeldKeysFromTable();
                }
                ReportDeviceWrite(r.keys);
                ShowStatus(IsRefusal(r.keys) ? kStatusKeysRefused : kStatusKeysLost);
            }
            if (done)
                done(r);
        });
}

void CKelvaskMouseDevice::SaveProfile()
{
    if (savedKeys == keyList) {
        ReportProfileSave(profile.Save());
        return;
    }
    profile.SetKeyList(savedKeys);
    const bool saved = profile.Save();
    profile.SetKeyList(keyList);
    ReportProfileSave(saved);
}

int CKelvaskMouseDevice::WriteMacrosToDevice()
{
    std::vector<MouseMacroImage::Events> blocks;
    if (MouseMacroList::ReadFolderEvents(GetUserFolder(), blocks) != 0)
        return kWriteFailed;
    int writeResult = kOk;
    return SendMacroImage(blocks, deviceInfo, writeResult);
}

int CKelvaskMouseDevice::SendMacroImage(const std::vector<MouseMacroImage::Events>& blocks, DeviceInfo& info,
                                        int& writeResult)
{
    // 0 means written: a lost link, an unreadable device or a refused image is a failed write.
    const auto failed = [&writeResult](int result) {
        writeResult = result == kOk ? kNotOpen : result;
        return kWriteFailed;
    };
    writeResult = kOk;
    if (blocks.empty())
        return 0; // no macros: nothing to send, nothing to ask
    const bool open = commandChannel.IsOpen();
    if (open && !LinkReady())
        return failed(kNotOpen);
    if (open) {
        if (const int read = commandChannel.ReadDeviceInfo(info); read != kOk)
            return failed(read);
    }
    try {
        const size_t total = MouseMacroImage::Length(blocks);
        if (const int overflow = MouseMacroImage::Overflow(total, info.MacroCapacityBytes()))
            return overflow;
        const std::vector<uint8_t> image = MouseMacroImage::Build(blocks);
        if (image.size() != total)
            return kWriteFailed;
        if (!open || !LinkReady())
            return failed(kNotOpen); // nothing reached the device
        commandChannel.BatchBegin();
        if (!LinkReady())
            return failed(kNotOpen);
        const int written = commandChannel.WriteMacros(image.data(), image.size());
        if (!LinkReady())
            return failed(kNotOpen);
        commandChannel.BatchEnd();
        // The key assignments that follow may only refer to macros the device took.
        return written == kOk ? 0 : failed(written);
    } catch (const std::bad_alloc&) {
        return kWriteFailed;
    }
}

int CKelvaskMouseDevice::WriteRecoilToDevice()
{
    const bool open = commandChannel.IsOpen();
    if (open && (!LinkReady() || commandChannel.ReadDeviceInfo(deviceInfo) != kOk))
        return kNotOpen;
    try {
        const std::vector<uint8_t> image = MouseRecoilImage::Build(GetUserFolder());
        if (!open)
            return kNotOpen;
        if (image.empty())
            return kOk;
        if (!LinkReady())
            return kNotOpen;
        commandChannel.BatchBegin();
        if (!LinkReady())
            return kNotOpen;
        const int written = commandChannel.WriteRecoil(image.data(), image.size());
        if (!LinkReady())
            return kNotOpen;
        commandChannel.BatchEnd();
        return written;
    } catch (const std::bad_alloc&) {
        return kWriteFailed;
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
    // Buttons the profile gave another function are found by that function.
    std::vector<int> map = keyIndexMap;
    MouseKeyMap::CompleteKeyIndexMap(keyTable.data(), deviceInfo.KeyEntryCount(), map, keyList);
    if (map != keyIndexMap)
        SetKeyIndexMap(map);
    TakeHeldKeysFromTable();
}

void CKelvaskMouseDevice::TakeHeldKeysFromTable()
{
    const size_t slotCount = deviceInfo.KeyEntryCount();
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

// ---- page state ----

void CKelvaskMouseDevice::SetPageState(int code)
{
    CKelvaskUSBDevice::SetPageState(code);
    if (IDevicePage* page = Page()) {
        if (IPageControl* hint = page->FindControl("device_tishi_info"))
            hint->SetVisible(false);
    }
}

} // namespace nq
