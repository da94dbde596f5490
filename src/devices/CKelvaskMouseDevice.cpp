#include "devices/CKelvaskMouseDevice.h"

#include "devices/MouseKeyMap.h"
#include "devices/MouseMacroImage.h"
#include "devices/MouseMacroList.h"
#include "devices/MouseRecoilImage.h"
#include "common/DebugLog.h"
#include "profiles/JsonFile.h"

#include <memory>
#include <new>

namespace nq {

namespace {

constexpr uint8_t kMacroCode = 0x70;
constexpr uint8_t kMacroHoldCode = 0x71;
// The on-board slot every settings write of the page goes to; the profile stands for it.
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
    commandChannel.BatchEnd();
    if (withBlock && LinkReady() && commandChannel.ReadConfig(&read.slot, 1, 0) == kOk)
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

void CKelvaskMouseDevice::SubmitSettingsWrite(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight)
{
    SubmitSettings(slot, byte0, flag, screenWidth, screenHeight, false);
}

void CKelvaskMouseDevice::SubmitSettings(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight,
                                         bool writtenBack)
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
            if (IsRefusal(result) && LinkReady() && ReadSettingsBlock(slot, held))
                *deviceHolds = held;
            return result;
        },
        [this, write, slot, block, deviceHolds, writtenBack](int result) {
            OnSettingsWritten(write, slot, block, result, *deviceHolds, writtenBack);
        });
}

void CKelvaskMouseDevice::OnSettingsWritten(uint64_t write, int slot, const MouseSettingsBlock::Block& block,
                                            int result, const std::optional<MouseSettingsBlock::Block>& deviceHolds,
                                            bool writtenBack)
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
    if (write == m_settingsWrites && m_deviceBlock)
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
    // 0 means written: a lost link or an unreadable device is a failed write.
    if (open && (!LinkReady() || commandChannel.ReadDeviceInfo(deviceInfo) != kOk))
        return kWriteFailed;
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
            return kWriteFailed; // nothing reached the device

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
    const std::string folder = GetUserFolder();
    profile.SetDefaultPath(GetDefaultProfilePath());
    profile.SetProfilePath(folder + profileName + ".Json");
    profile.SetLightConfigPath(folder + lightConfigName + ".config");
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
    const size_t macroCount = nameLists.macroNames.size();
    bool changed = false;
    for (KeyEntry& entry : keyList) {
        const KeyAssignment& current = entry.current;
        if ((current.code == kMacroCode || current.code == kMacroHoldCode) && current.param1 >= macroCount) {
            entry.current = entry.defaults;
            changed = true;
        }
    }
    if (!changed)
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
