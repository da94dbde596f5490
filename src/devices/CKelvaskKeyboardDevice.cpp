#include "devices/CKelvaskKeyboardDevice.h"

#include "common/DebugLog.h"
#include "devices/KeyColourFrame.h"
#include "devices/MouseMacroImage.h"
#include "devices/MouseMacroList.h"
#include "profiles/JsonFile.h"
#include "profiles/TextHelpers.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <thread>

namespace nq {

namespace {

constexpr uint8_t kLogoOff = 1;

uint32_t WordOf(const RgbaColor& c) { return MakeLedWord(c.red, c.green, c.blue, c.alpha); }
RgbaColor ColourOf(uint32_t word) { return {LedRed(word), LedGreen(word), LedBlue(word), LedLevel(word)}; }

} // namespace

CKelvaskKeyboardDevice::CKelvaskKeyboardDevice()
{
    deviceType = 1;
    folderName = "keyboard";
    // One colour word per key position, whatever LED count the catalogue gives.
    SetLedCount(kPositions);
    profile.SetDefaultPath(GetDefaultProfilePath());
    // The default node, read without writing anything: the profile file is chosen later.
    const Json::Value document = ReadJsonFile(profile.GetDefaultPath());
    if (document.isObject() && document["Device"].isArray() && document["Device"][0].isObject())
        profile.SetNode(document["Device"][0]);
}

CKelvaskKeyboardDevice::~CKelvaskKeyboardDevice()
{
    StopWorkers();
}

void CKelvaskKeyboardDevice::InitPage()
{
    CKelvaskUSBDevice::InitPage();
    BuildPage();
}

template <typename Write> int CKelvaskKeyboardDevice::WriteBatch(Write&& write)
{
    if (!commandChannel.IsOpen())
        return kNotOpen;
    int result = commandChannel.BatchBegin();
    if (result == kOk)
        result = write();
    // The batch is closed whatever happened inside it.
    const int ended = commandChannel.BatchEnd();
    return result != kOk ? result : ended;
}

// ---- connection and device notices ----

void CKelvaskKeyboardDevice::OnConnected()
{
    ReadKeyTables();
    LoadProfile();
    ReadOnBoardSettings();
    ShowProfile();
    StartLightingThread();
}

void CKelvaskKeyboardDevice::OnDeviceNotice()
{
    ReadOnBoardSettings();
    ShowProfile();
}

void CKelvaskKeyboardDevice::ReadKeyTables()
{
    if (!commandChannel.IsOpen())
        return;
    commandChannel.BatchBegin();
    DeviceInfo info;
    if (commandChannel.ReadDeviceInfo(info) != kOk) {
        commandChannel.BatchEnd();
        return;
    }
    deviceInfo = info;
    if (!commandChannel.SetTransferLength(size_t(deviceInfo.KeyEntryCount()) * 3)) {
        commandChannel.BatchEnd();
        return;
    }
    // A table or LED list that does not arrive whole leaves the maps as they were.
    std::array<uint8_t, kKeyImageBytes> keys{};
    std::array<uint8_t, kKeyImageBytes> leds{};
    const bool read = commandChannel.ReadKeymap(keys.data()) == kOk && commandChannel.ReadKeyIndex(leds.data()) == kOk;
    commandChannel.BatchEnd();
    if (!read)
        return;
    keyImage = keys;
    keyLedImage = leds;
    keyImageSlots = std::min<size_t>(deviceInfo.KeyEntryCount(), kKeyImageBytes / 3);
    BuildKeyMaps();
}

void CKelvaskKeyboardDevice::BuildKeyMaps()
{
    keyMaps = KeyboardKeyPositions::Build(keyImage.data(), keyLedImage.data(), deviceInfo.KeyEntryCount());
    previewEngine.SetPositionToSlot(keyMaps.positionToSlot);
}

int CKelvaskKeyboardDevice::ReadOnBoardSettings()
{
    // Without a whole block from the keyboard nothing changes: a zero block would wipe the
    // profile's lighting.
    if (!commandChannel.IsOpen())
        return kNotOpen;
    KeyboardSettingsBlock::Block block{};
    uint8_t p = 0;
    if (commandChannel.ReadConfig(&p, 1, 0) != kOk ||
        commandChannel.ReadConfig(block.data(), block.size(), KeyboardSettingsBlock::Offset(p)) != kOk)
        return kNotOpen;
    previousBlock = liveBlock;
    block[0] = p;
    block[16] = 0;
    const uint8_t effectBefore = lightSetting[LightSetting::kEffect];
    KeyboardSettingsBlock::Read read =
        KeyboardSettingsBlock::Parse(block, liveBlock, lightSetting, logoLightSetting, stLightSetting);
    liveBlock = read.live;
    // The main record carries the logo and side zones too.
    for (int i = LightSetting::kLogo; i < LightSetting::kCustomGroup; ++i)
        read.main[i] = i < LightSetting::kSt ? read.logo[i] : read.st[i];
    lightSetting = read.main;
    logoLightSetting = read.logo;
    stLightSetting = read.st;
    engine.SetMainSetting(lightSetting);

    KeyboardSystemWords words = systemWords;
    words.words[2] = KeyboardSystemWords::Pack(read.wFlag, read.winFlag);
    words.words[1] = KeyboardSystemWords::Pack(read.key6Flag, words.PollingRate());
    systemWords = words;

    profile.SetSystemWords(systemWords);
    profile.SetLightInfo(lightSetting);
    profile.SetLogoLightInfo(logoLightSetting);
    profile.SetStLightInfo(stLightSetting);
    profile.Save();
    if (lightSetting[LightSetting::kEffect] != effectBefore)
        OnKeyEffectChanged();
    else
        PaintPreviewColours();
    return kOk;
}

// ---- profile ----

void CKelvaskKeyboardDevice::SetProfilePaths()
{
    SetProfilePathsOf(profile);
}

void CKelvaskKeyboardDevice::TakeProfileValues()
{
    keyTable = profile.GetKeyList();
    LoadLighting();
    systemWords = profile.GetSystemWords();
}

int CKelvaskKeyboardDevice::LoadProfile()
{
    SetProfilePaths();
    profile.Load(profile.GetProfilePath());
    TakeProfileValues();
    return kOk;
}

int CKelvaskKeyboardDevice::LoadLighting()
{
    const uint8_t effectBefore = liveBlock[1];
    lightSetting = profile.GetLightInfo();
    liveBlock[1] = lightSetting[0];
    liveBlock[2] = lightSetting[1];
    liveBlock[3] = lightSetting[2];
    for (int i = 4; i <= 7; ++i)
        liveBlock[size_t(i + 1)] = lightSetting[i];

    logoLightSetting = profile.GetLogoLightInfo();
    liveBlock[22] = logoLightSetting[LightSetting::kLogo];
    for (int i = LightSetting::kLogo; i <= LightSetting::kLogo + 7; ++i)
        lightSetting[i] = logoLightSetting[i];
    lightSetting[LightSetting::kLogoOnOff] = logoLightSetting[LightSetting::kLogoOnOff];

    stLightSetting = profile.GetStLightInfo();
    liveBlock[31] = stLightSetting[22];
    liveBlock[32] = stLightSetting[23];
    liveBlock[33] = stLightSetting[24];
    for (int i = 26; i <= 29; ++i)
        liveBlock[size_t(i + 9)] = stLightSetting[i];
    for (int i = LightSetting::kSt; i <= LightSetting::kSt + 7; ++i)
        lightSetting[i] = stLightSetting[i];
    liveBlock[24] = lightSetting[LightSetting::kLogo + LightSetting::kSpeed];
    lightSetting[LightSetting::kCustomGroup] = uint8_t(profile.GetCustomGroupIndex());
    engine.SetMainSetting(lightSetting);

    engine.SetKeyLightRecords(profile.GetLightList());
    profile.LoadLightConfig(profile.GetLightConfigPath());
    engine.SetEffectFrames(profile.GetEffectFrames());
    if (liveBlock[1] != effectBefore)
        OnKeyEffectChanged();
    else
        PaintPreviewColours();
    return kOk;
}

void CKelvaskKeyboardDevice::RestoreDefaults()
{
    profile.Load(profile.GetDefaultPath());
    TakeProfileValues();
    SaveProfile();
    ShowProfile();
}

void CKelvaskKeyboardDevice::ShowProfile()
{
    LoadNameLists();
    RefreshKeyLabels();
    ShowLightRecords();
    if (lightSetting[LightSetting::kEffect] == kCustomEffect)
        SelectCustomGroup(lightSetting[LightSetting::kCustomGroup]);
    ShowSystemSettings();
}

void CKelvaskKeyboardDevice::LoadNameLists()
{
    nameLists = MouseNameLists::Load(GetUserFolder(), GetDefaultFolder(), variant);
}

void CKelvaskKeyboardDevice::PruneAssignments()
{
    LoadNameLists();
    const bool changed = MouseMacroList::RevertKeysBeyond(keyTable, nameLists.macroNames.size());
    if (changed)
        SetKeyTable(std::vector<KeyEntry>(keyTable));
    LoadNameLists();
    if (changed)
        RefreshKeyLabels();
}

// ---- writes ----

int CKelvaskKeyboardDevice::SendKeyImage(int bank, const std::vector<KeyEntry>& keys,
                                         const std::array<uint8_t, kKeyImageBytes>& base, size_t baseSlots,
                                         const KeyboardKeyPositions::Maps& maps, DeviceInfo& info,
                                         std::array<uint8_t, kKeyImageBytes>& image, size_t& slots)
{
    // Without the keyboard's own table the slots of the keys not listed would be sent as zeros.
    if (!commandChannel.IsOpen() || baseSlots == 0)
        return kNotOpen;
    if (const int read = commandChannel.ReadDeviceInfo(info); read != kOk)
        return read;
    slots = std::min<size_t>(info.KeyEntryCount(), baseSlots);
    // The slots of the table as read at connection; the keys of the list over them.
    image.fill(0);
    std::copy(base.begin(), base.begin() + 3 * slots, image.begin());
    for (size_t i = 0; i < keys.size() && i < size_t(kPositions); ++i) {
        const uint8_t s = maps.positionToSlot[i];
        if (s == KeyboardKeyPositions::kNone || s >= slots)
            continue;
        const KeyAssignment& a = keys[i].current;
        image[3 * s] = a.code;
        image[3 * s + 1] = a.param1;
        image[3 * s + 2] = a.param2;
    }
    if (!commandChannel.SetTransferLength(3 * slots))
        return kInvalidArgument;
    return WriteBatch([&] { return commandChannel.WriteKeymap(image.data(), bank); });
}

int CKelvaskKeyboardDevice::WriteKeymapToDevice(int bank, const std::vector<KeyEntry>& keys)
{
    DeviceInfo info;
    std::array<uint8_t, kKeyImageBytes> image{};
    size_t slots = 0;
    const int written = SendKeyImage(bank, keys, keyImage, keyImageSlots, keyMaps, info, image, slots);
    if (written == kOk)
        std::copy(image.begin(), image.begin() + 3 * slots, keyImage.begin());
    return written;
}

int CKelvaskKeyboardDevice::WriteAssignmentsToDevice(int bank)
{
    return WriteKeymapToDevice(bank, std::vector<KeyEntry>(keyTable));
}

int CKelvaskKeyboardDevice::WriteMacrosToDevice()
{
    std::vector<MouseMacroImage::Events> blocks;
    if (MouseMacroList::ReadFolderEvents(GetUserFolder(), blocks) != 0)
        return kWriteFailed;
    int writeResult = kOk;
    return SendMacroImage(blocks, deviceInfo, writeResult);
}

int CKelvaskKeyboardDevice::SendMacroImage(const std::vector<MouseMacroImage::Events>& blocks, DeviceInfo& info,
                                           int& writeResult)
{
    writeResult = kOk;
    if (blocks.empty())
        return 0; // no macros: nothing to send, nothing to ask
    const bool open = commandChannel.IsOpen();
    if (open) {
        if (const int read = commandChannel.ReadDeviceInfo(info); read != kOk) {
            writeResult = read;
            return kWriteFailed;
        }
    }
    try {
        const size_t total = MouseMacroImage::Length(blocks);
        if (const int overflow = MouseMacroImage::Overflow(total, info.MacroCapacityBytes()))
            return overflow;
        const std::vector<uint8_t> image = MouseMacroImage::Build(blocks);
        if (image.size() != total)
            return kWriteFailed;
        if (!open)
            return 0;
        const int written = WriteBatch([&] { return commandChannel.WriteMacros(image.data(), image.size()); });
        // Key assignments may only refer to macros the keyboard took.
        if (written == kOk)
            return 0;
        writeResult = written;
        return kWriteFailed;
    } catch (const std::bad_alloc&) {
        return kWriteFailed;
    }
}

void CKelvaskKeyboardDevice::SubmitKeySave(int bank, std::function<void(const KeySaveResult&)> done)
{
    // What the worker is given (taken now, on the UI thread) and what it finds.
    struct Save {
        MouseMacroList::Pending macros;
        DeviceInfo info;
        std::vector<KeyEntry> keys;
        std::array<uint8_t, kKeyImageBytes> base{};
        size_t baseSlots = 0;
        KeyboardKeyPositions::Maps maps;
        KeySaveResult result;
        std::array<uint8_t, kKeyImageBytes> image{};
        size_t slots = 0;
    };
    auto save = std::make_shared<Save>(Save{MouseMacroList::ReadPending(GetUserFolder()), deviceInfo, keyTable,
                                            keyImage, keyImageSlots, keyMaps, {}, {}, 0});
    RunTransfer(
        [this, bank, save] {
            KeySaveResult& r = save->result;
            r.macros = save->macros.Send([&](const auto& blocks) { return SendMacroImage(blocks, save->info, r.macroWrite); });
            if (r.macros == 0)
                r.keys = SendKeyImage(bank, save->keys, save->base, save->baseSlots, save->maps, save->info,
                                      save->image, save->slots);
            return r.keys;
        },
        [this, save, done = std::move(done)](int) {
            if (save->info.KeyEntryCount() != 0)
                deviceInfo = save->info;
            if (save->result.keys == kOk)
                std::copy(save->image.begin(), save->image.begin() + 3 * save->slots, keyImage.begin());
            if (done)
                done(save->result);
        });
}

int CKelvaskKeyboardDevice::WriteSettingsToDevice(int slot, uint8_t byte0, int, int, int)
{
    KeyboardSettingsBlock::Inputs in;
    in.byte0 = byte0;
    in.words = profile.GetSystemWords();
    in.main = profile.GetLightInfo();
    in.logo = profile.GetLogoLightInfo();
    in.st = profile.GetStLightInfo();
    in.customGroup = uint8_t(profile.GetCustomGroupIndex());
    const KeyboardSettingsBlock::Block block = KeyboardSettingsBlock::Build(in);
    if (slot < 0 || size_t(slot) * KeyboardSettingsBlock::kStride + KeyboardSettingsBlock::kSize > 0xFFFF)
        return kInvalidArgument;
    return WriteBatch([&] {
        return commandChannel.WriteConfig(block.data(), block.size(), KeyboardSettingsBlock::Offset(slot));
    });
}

int CKelvaskKeyboardDevice::SendKeyColours(bool scaled)
{
    if (customGroup < 0)
        return kNotOpen;
    const KeyColourFrame::Frame frame =
        KeyColourFrame::Build([this](int i) { return ledColours.Get(i); }, keyMaps.positionToLed, scaled);
    const int written = commandChannel.WriteKeyColours(frame.data(), frame.size(), customGroup, KeyColourFrame::kSize);
    if (written != kOk && commandChannel.IsOpen())
        std::this_thread::sleep_for(std::chrono::milliseconds(kColourFailurePauseMs));
    return written;
}

int CKelvaskKeyboardDevice::WriteCustomColours()
{
    if (lightSetting[LightSetting::kEffect] != kCustomEffect)
        return kNotOpen;
    return SendKeyColours(true);
}

// ---- custom colour groups ----

void CKelvaskKeyboardDevice::SetCustomGroup(int group)
{
    customGroup = group;
    ShowCustomGroup(group);
    profile.SetCustomGroupIndex(group);
    lightSetting[LightSetting::kCustomGroup] = uint8_t(group);
}

void CKelvaskKeyboardDevice::TakeGroupColours(int group)
{
    customGroup = group;
    const std::vector<RgbaColor> colours = profile.GetCustomColors(group, kPositions);
    for (int i = 0; i < kPositions && i < int(colours.size()); ++i)
        ledColours.Set(i, WordOf(colours[size_t(i)]));
    ShowCustomGroup(group);
}

void CKelvaskKeyboardDevice::StoreGroupColours()
{
    std::vector<RgbaColor> colours;
    for (int i = 0; i < kPositions; ++i)
        colours.push_back(ColourOf(ledColours.Get(i)));
    profile.SetCustomColors(colours, customGroup);
    SaveProfile();
}

void CKelvaskKeyboardDevice::ColourKeys(const std::vector<int>& positions, bool on)
{
    const uint32_t colour = on ? MakeLedWord(lightSetting.Red(), lightSetting.Green(), lightSetting.Blue(), 0) : 0;
    for (int p : positions) {
        if (p >= 0 && p < kPositions)
            ledColours.Set(p, (ledColours.Get(p) & 0xFF000000u) | colour);
    }
}

int CKelvaskKeyboardDevice::SelectCustomGroup(int group)
{
    TakeGroupColours(group);
    const int written = WriteCustomColours();
    profile.SetCustomGroupIndex(group);
    return written;
}

int CKelvaskKeyboardDevice::LoadCustomGroup()
{
    TakeGroupColours(profile.GetCustomGroupIndex());
    return WriteCustomColours();
}

int CKelvaskKeyboardDevice::FillCustomColours(bool on)
{
    std::vector<int> all(kPositions);
    for (int i = 0; i < kPositions; ++i)
        all[size_t(i)] = i;
    ColourKeys(all, on);
    const int written = WriteCustomColours();
    if (customGroup != kNoGroup)
        StoreGroupColours();
    return written;
}

int CKelvaskKeyboardDevice::PaintKeys(const std::vector<int>& positions)
{
    if (lightSetting[LightSetting::kEffect] != kCustomEffect)
        return kNotOpen;
    ColourKeys(positions, true);
    if (customGroup == kNoGroup)
        return kNotOpen;
    const int written = commandChannel.WirelessLink() ? kNotOpen : SendKeyColours(false);
    StoreGroupColours();
    return written;
}

// ---- key table and system words ----

void CKelvaskKeyboardDevice::SetKeyTable(const std::vector<KeyEntry>& list)
{
    keyTable = list;
    profile.SetKeyList(keyTable);
}

void CKelvaskKeyboardDevice::SetSelectedKeyEntry(const KeyEntry& entry)
{
    if (selectedKey < 0 || size_t(selectedKey) >= keyTable.size())
        return;
    keyTable[size_t(selectedKey)] = entry;
    profile.SetKeyList(keyTable);
}

void CKelvaskKeyboardDevice::SetKeyboardSystemWords(const KeyboardSystemWords& words)
{
    systemWords = words;
    profile.SetSystemWords(words);
}

// ---- page state, lighting records ----

void CKelvaskKeyboardDevice::SetPageState(int code)
{
    CKelvaskUSBDevice::SetPageState(code);
    if (code == 1 || code == 2)
        EnableFnKey(code == 1);
}

void CKelvaskKeyboardDevice::SetLogoLightSetting(const std::array<uint32_t, 8>& words)
{
    CKelvaskUSBDevice::SetLogoLightSetting(words);
    profile.SetLogoLightInfo(logoLightSetting);
}

void CKelvaskKeyboardDevice::SetStLightSetting(const std::array<uint32_t, 8>& words)
{
    CKelvaskUSBDevice::SetStLightSetting(words);
    profile.SetStLightInfo(stLightSetting);
}

// ---- page binding ----

bool CKelvaskKeyboardDevice::BindKeyboardPicture(int view)
{
    IDevicePage* page = Page();
    IPageControl* picture = page ? page->FindControl("keyboard_device_key_light_" + std::to_string(view)) : nullptr;
    if (!picture)
        return false;
    currentView = view;
    constexpr uint32_t kWhite = 0xFFFFFF;
    for (IPageControl* button : picture->Children()) {
        if (!button || button->ClassName() != "DeviceKeyButton")
            continue;
        std::string prefix;
        int n = -1;
        if (SplitIndexedName(button->Name(), prefix, n)) {
            if (prefix == "key_" && n < int(keyButtons.size()))
                keyButtons[size_t(n)] = button;
            if (prefix == "light_" && n < int(lightButtons.size())) {
                lightButtons[size_t(n)] = button;
                button->SetLightColour(kWhite, 255, true);
            }
        }
        if (!SplitIndexedName(button->UserData(), prefix, n) || prefix != "light_")
            continue;
        bool bound = false;
        if (view == 0 && n < int(lightButtons.size()))
            lightButtons[size_t(n)] = button, bound = true;
        else if (view == 1 && n < kLogoLeds)
            zoneButtonsA[size_t(n)] = button, bound = true;
        else if (view == 2 && n < kSideLeds)
            zoneButtonsB[size_t(n)] = button, bound = true;
        if (bound)
            button->SetLightColour(kWhite, 255, true);
    }
    return true;
}

// ---- previews ----

void CKelvaskKeyboardDevice::StartLightingThread()
{
    PaintPreviewColours();
    using Thread = KeyboardLightingEngine::Thread;
    for (Thread t : {Thread::Keys, Thread::Logo, Thread::Side}) {
        engineAsleep[size_t(t)] = false;
        EngineThread(t).Start([this, t](int passes) { return EnginePass(t, passes); });
    }
}

void CKelvaskKeyboardDevice::StopLightingThread()
{
    for (LightingThread* thread : {&keyThread, &logoThread, &sideThread}) {
        const LightingThread::StopOutcome outcome = thread->Stop(kStopWaitMs);
        if (outcome != LightingThread::StopOutcome::NotRunning)
            LogStopOutcome(outcome == LightingThread::StopOutcome::Stopped ? WaitOutcome::Signalled : WaitOutcome::Timeout);
    }
}

LightingThread& CKelvaskKeyboardDevice::EngineThread(KeyboardLightingEngine::Thread thread)
{
    switch (thread) {
    case KeyboardLightingEngine::Thread::Logo: return logoThread;
    case KeyboardLightingEngine::Thread::Side: return sideThread;
    default: return keyThread;
    }
}

uint64_t CKelvaskKeyboardDevice::EngineWakeups(KeyboardLightingEngine::Thread thread) const
{
    return const_cast<CKelvaskKeyboardDevice*>(this)->EngineThread(thread).Wakeups();
}

bool CKelvaskKeyboardDevice::PreviewRunnable()
{
    return previewShown && lightingEnabled && commandChannel.IsOpen() && !commandChannel.LightingSynced();
}

int CKelvaskKeyboardDevice::EnginePass(KeyboardLightingEngine::Thread thread, int passes)
{
    if (!PreviewRunnable()) {
        engineAsleep[size_t(thread)] = true;
        return LightingThread::kUntilWoken;
    }
    // The previews show the words once per 50 ms frame: computing more often is not seen.
    const int next = previewEngine.Advance(thread, passes, LightingClockMs());
    return std::max(next, LightingThread::kFramePasses);
}

void CKelvaskKeyboardDevice::WakePreviewEngine()
{
    if (!PreviewRunnable())
        return;
    using Thread = KeyboardLightingEngine::Thread;
    for (Thread t : {Thread::Keys, Thread::Logo, Thread::Side}) {
        if (engineAsleep[size_t(t)].exchange(false))
            EngineThread(t).Wake();
    }
}

void CKelvaskKeyboardDevice::SetPreviewShown(bool shown)
{
    previewShown = shown;
    WakePreviewEngine();
}

void CKelvaskKeyboardDevice::OnNotice(uint16_t value)
{
    constexpr uint16_t kPressed = 1280, kReleased = 1536, kEnd = 1792;
    if (value >= kPressed && value < kReleased)
        KeyEvent(value - kPressed, 1);
    else if (value >= kReleased && value < kEnd)
        KeyEvent(value - kReleased, 2);
}

void CKelvaskKeyboardDevice::OnKeyEffectChanged()
{
    PaintPreviewColours();
    const int effect = lightSetting[LightSetting::kEffect];
    previewEngine.ResetEffectState();
    if (effect == kCustomEffect)
        LoadCustomGroup();
    previewEngine.RunEffectHook(effect);
}

void CKelvaskKeyboardDevice::PaintPreviewColours()
{
    previewEngine.SetLighting(lightSetting, liveBlock);
}

template <size_t N>
void CKelvaskKeyboardDevice::ShowZone(const std::array<IPageControl*, N>& buttons, bool logoOff, bool logo)
{
    for (size_t i = 0; i < N; ++i) {
        IPageControl* button = buttons[i];
        if (!button || !button->IsVisible())
            continue;
        const uint32_t word = logo ? ZoneColourA(int(i)) : ZoneColourB(int(i));
        button->SetLightColour(LedPreviewColour(word), logoOff ? 0 : LedLevel(word), true);
    }
}

void CKelvaskKeyboardDevice::OutputLightFrame()
{
    if (!lightingEnabled)
        return;
    RefreshLightPreviews();
    WakePreviewEngine();
}

void CKelvaskKeyboardDevice::OnRefreshTickB()
{
    if (!lightingEnabled)
        return;
    const bool off = lightSetting[LightSetting::kLogoOnOff] == kLogoOff;
    if (off) {
        for (int i = 0; i < kLogoLeds; ++i)
            SetZoneColourA(i, ZoneColourA(i) & 0x00FFFFFFu);
    }
    ShowZone(zoneButtonsA, off, true);
}

void CKelvaskKeyboardDevice::OnRefreshTickC()
{
    if (lightingEnabled)
        ShowZone(zoneButtonsB, false, false);
}

} // namespace nq
