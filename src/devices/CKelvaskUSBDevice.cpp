#include "devices/CKelvaskUSBDevice.h"

#include "common/DebugLog.h"
#include "devices/IProfileList.h"
#include "profiles/DataFolders.h"

#include <algorithm>
#include <cctype>
#include <tuple>

namespace nq {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint16_t kNoticeProfileChanged = 1025;
constexpr uint16_t kNoticeOther = 1028;
constexpr uint32_t kNoticeDelayMs = 500;
// After a failed read of the notification interface (device gone, interface closed) the thread
// waits this long on its stop event before it tries again.
constexpr uint32_t kNoticeRetryMs = 100;
constexpr uint32_t kNoticeReadPauseMs = 200;
constexpr uint32_t kNoticeWakeAfterReports = 32;

// "key_12" -> ("key_", 12); -1 when the text has no trailing number.
std::pair<std::string, int> SplitTrailingNumber(const std::string& text)
{
    size_t end = text.size();
    size_t start = end;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1])))
        --start;
    if (start == end || end - start > 9)
        return {text, -1};
    return {text.substr(0, start), std::stoi(text.substr(start))};
}

bool EqualsNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

CKelvaskUSBDevice::CKelvaskUSBDevice()
{
    commandChannel.Hid().CountTraffic(m_nodeTraffic);
    keyIndexMap.assign(LightingReactiveBuffers::kLevelCount, kNoSlot);
}

CKelvaskUSBDevice::~CKelvaskUSBDevice()
{
    StopWorkers();
}

void CKelvaskUSBDevice::StopWorkers()
{
    StopLightingThread();
    CloseNotificationInterface();
    StopWorker(syncWorker);
    if (m_worker.Busy())
        commandChannel.Close(); // a transfer waiting for a reply ends at once
    m_worker.Stop();
}

// ---- transfers that wait for the device ----

void CKelvaskUSBDevice::SetTimerHost(IDeviceTimerHost* host)
{
    std::lock_guard<std::mutex> guard(m_hostMutex);
    m_timerHost = host;
}

bool CKelvaskUSBDevice::TransfersInBackground() const
{
    IDeviceTimerHost* host = m_timerHost.load();
    return host && host->CanPostToUi();
}

void CKelvaskUSBDevice::RunTransfer(std::function<int()> transfer, std::function<void(int)> done)
{
    if (!TransfersInBackground()) {
        const int result = transfer();
        if (done)
            done(result);
        return;
    }
    std::weak_ptr<int> alive = m_alive;
    m_worker.Post([this, alive, transfer = std::move(transfer), done = std::move(done)]() mutable {
        const int result = transfer();
        if (!done)
            return;
        std::lock_guard<std::mutex> guard(m_hostMutex);
        if (IDeviceTimerHost* host = m_timerHost.load()) {
            host->PostToUi([alive, done = std::move(done), result] {
                if (alive.lock())
                    done(result);
            });
        }
    });
}

void CKelvaskUSBDevice::SubmitProfileWrite(int screenWidth, int screenHeight, ProfileKeys keys,
                                           std::function<void(const ProfileWriteResult&)> done)
{
    ProfileWriteResult result;
    result.settings = WriteSettingsToDevice(0, 0, 1, screenWidth, screenHeight);
    if (KeysFollow(keys, result.settings)) {
        result.keysSent = true;
        result.keys.macros = WriteMacrosToDevice();
        result.keys.keys = WriteAssignmentsToDevice(0);
    }
    if (done)
        done(result);
}

// ---- what became of the user's changes ----

void CKelvaskUSBDevice::ShowStatus(const std::string& key)
{
    if (key == m_statusKey)
        return;
    m_statusKey = key;
    if (m_page)
        m_page->ShowStatus(key);
}

void CKelvaskUSBDevice::ReportDeviceWrite(int result)
{
    if (result != kOk)
        DebugOutF("device write failed: %d (%s)", result, folderName.c_str());
    ReportWriteOutcome(result == kOk ? std::string() : IsRefusal(result) ? kStatusRefused : kStatusLost);
}

void CKelvaskUSBDevice::ReportWriteOutcome(const std::string& failureKey)
{
    if (!failureKey.empty())
        ShowStatus(failureKey);
    else if (m_statusKey != kStatusNotSaved)
        ShowStatus({});
}

void CKelvaskUSBDevice::ReportProfileSave(bool saved)
{
    if (saved) {
        if (m_statusKey == kStatusNotSaved)
            ShowStatus({});
        return;
    }
    DebugOutF("profile not saved (%s)", folderName.c_str());
    ShowStatus(kStatusNotSaved);
}

const LightSetting& CKelvaskUSBDevice::ZoneLightSetting(int zone) const
{
    switch (zone) {
    case 1: return logoLightSetting;
    case 2: return stLightSetting;
    default: return lightSetting;
    }
}

void CKelvaskUSBDevice::SetZoneLightSetting(int zone, const std::array<uint32_t, 8>& words)
{
    switch (zone) {
    case 1: SetLogoLightSetting(words); break;
    case 2: SetStLightSetting(words); break;
    default: SetLightSetting(words); break;
    }
}

// ---- page binding ----

void CKelvaskUSBDevice::InitPage()
{
    BindPageButtons();
    if (!pageXmlName.empty())
        AttachProfileList();
}

void CKelvaskUSBDevice::AttachProfileList()
{
    IProfileList* list = m_page ? m_page->ProfileList() : nullptr;
    if (!list)
        return;
    list->SetDeviceType(deviceType);
    list->SetFolders(GetUserFolder(), GetDefaultProfilePath());
    list->LoadProfileList();
    list->SelectEditorTab(1);
    profileName = list->CurrentProfileId();
}

void CKelvaskUSBDevice::BindPageButtons()
{
    if (pageXmlName.empty()) {
        keyButtonCount = 0;
        ledCount = 0;
        keyButtons.clear();
        lightButtons.clear();
        ledColours.Resize(0);
        engine.SetKeyLightRecords({});
        return;
    }
    m_selectionPanel = nullptr;
    if (!m_page)
        return;
    for (IPageControl* child : m_page->Children()) {
        if (child && child->ClassName() == "SelectPanel") {
            m_selectionPanel = child;
            break;
        }
    }
    BindButtonPanel(m_selectionPanel);
}

void CKelvaskUSBDevice::BindButtonPanel(IPageControl* panel, bool lightsByName)
{
    m_selectionPanel = panel;
    if (!m_selectionPanel)
        return;
    for (IPageControl* button : m_selectionPanel->Children()) {
        if (!button || button->ClassName() != "DeviceKeyButton")
            continue;
        auto [namePrefix, keyNumber] = SplitTrailingNumber(button->Name());
        if (keyNumber >= 0 && EqualsNoCase(namePrefix, "key_") && keyNumber < static_cast<int>(keyButtons.size()))
            keyButtons[keyNumber] = button;
        auto [dataPrefix, ledNumber] = SplitTrailingNumber(button->UserData());
        if (lightsByName && (ledNumber < 0 || dataPrefix != "light_")) {
            std::tie(dataPrefix, ledNumber) = SplitTrailingNumber(button->Name());
            if (!EqualsNoCase(dataPrefix, "light_"))
                ledNumber = -1;
            dataPrefix = "light_";
        }
        if (ledNumber >= 0 && dataPrefix == "light_" && ledNumber < static_cast<int>(lightButtons.size())) {
            lightButtons[ledNumber] = button;
            button->SetLightColour(kWhite, 255, true);
        }
    }
}

IPageControl* CKelvaskUSBDevice::KeyButton(int index) const
{
    return index >= 0 && index < static_cast<int>(keyButtons.size()) ? keyButtons[index] : nullptr;
}

IPageControl* CKelvaskUSBDevice::LightButton(int index) const
{
    return index >= 0 && index < static_cast<int>(lightButtons.size()) ? lightButtons[index] : nullptr;
}

// ---- configuration ----

void CKelvaskUSBDevice::SetKeyButtonCount(int count)
{
    keyButtonCount = std::max(0, count);
    keyButtons.assign(keyButtonCount, nullptr);
}

void CKelvaskUSBDevice::SetLedCount(int count)
{
    count = std::clamp(count, 0, kMaxStreamedLeds);
    if (count == ledCount)
        return;
    ledCount = count;
    lightButtons.assign(count, nullptr);
    zoneButtonsA.fill(nullptr);
    zoneButtonsB.fill(nullptr);
    ledColours.Resize(count);
    engine.SetKeyLightRecords(std::vector<LightSetting>(count));
    for (auto& word : zoneColoursA)
        word.store(0);
    for (auto& word : zoneColoursB)
        word.store(0);
}

void CKelvaskUSBDevice::ConfigureForPage(const DevicePage& row, const DeviceLayout& layout, const DeviceSlot& pageSlot,
                                         const std::string& profile, void* window, IPowerDisplay* display)
{
    DeviceSlot bound = pageSlot;
    bound.connected = 0;
    bound.path.clear();
    SetPageXmlName(layout.pageLayoutFile);
    SetMainWindow(window);
    SetKeyButtonCount(layout.keyEntries);
    SetLedCount(layout.lightingPoints);
    SetPollsStatus(layout.powerDisplayKind);
    SetSubclassValue(layout.mousePageValue);
    SetProfileName(profile);
    SetFolderName(row.kindName);
    SetPowerDisplay(display);
    SetSlot(bound);
    SetVariant(row.ordinal);
    SetLightConfigName(layout.lightingFolder);
}

void CKelvaskUSBDevice::SetPollsStatus(int polls)
{
    pollsStatus = polls;
    if (powerDisplay)
        powerDisplay->SetPowerLayoutVisible(pollsStatus != 0);
}

void CKelvaskUSBDevice::SetPowerDisplay(IPowerDisplay* display)
{
    powerDisplay = display;
    if (powerDisplay)
        powerDisplay->SetPowerLayoutVisible(pollsStatus != 0);
}

void CKelvaskUSBDevice::SetSlot(const DeviceSlot& newSlot)
{
    slot = newSlot;
    deviceType = slot.kind;
    subKind = slot.role;
}

void CKelvaskUSBDevice::SetLightingEnabled(bool on)
{
    lightingEnabled = on;
    if (on && deviceType == kKindKeyboard)
        RunTransfer([this] { return commandChannel.EnterHostLighting(); }, nullptr);
}

// ---- LED colour words and effect steps ----

void CKelvaskUSBDevice::SetLedColour(int index, uint32_t word)
{
    if (index >= 0 && index < ledCount)
        ledColours.Set(index, word);
}

uint32_t CKelvaskUSBDevice::GetLedColour(int index) const
{
    return index >= 0 && index < ledCount ? ledColours.Get(index) : 0;
}

uint32_t CKelvaskUSBDevice::ZoneColourA(int index) const
{
    return index >= 0 && index < kZoneButtonsA ? zoneColoursA[index].load() : 0;
}

uint32_t CKelvaskUSBDevice::ZoneColourB(int index) const
{
    return index >= 0 && index < kZoneButtonsB ? zoneColoursB[index].load() : 0;
}

void CKelvaskUSBDevice::SetZoneColourA(int index, uint32_t word)
{
    if (index >= 0 && index < kZoneButtonsA)
        zoneColoursA[index].store(word);
}

void CKelvaskUSBDevice::SetZoneColourB(int index, uint32_t word)
{
    if (index >= 0 && index < kZoneButtonsB)
        zoneColoursB[index].store(word);
}

void CKelvaskUSBDevice::StepBreathing() { engine.StepBreathing(); }
void CKelvaskUSBDevice::StepBreathingFourColours() { engine.StepBreathingFourColours(); }
void CKelvaskUSBDevice::StepStatic() { engine.StepStatic(); }
void CKelvaskUSBDevice::StepSpectrum() { engine.StepSpectrum(); }
void CKelvaskUSBDevice::StepFlash() { engine.StepFlash(); }
void CKelvaskUSBDevice::StepFlashFourColours() { engine.StepFlashFourColours(); }
void CKelvaskUSBDevice::StepOff() { engine.StepOff(); }

void CKelvaskUSBDevice::SetKeyLightRecords(const std::vector<LightSetting>& records)
{
    engine.SetKeyLightRecords(records);
}

void CKelvaskUSBDevice::SetEffectFrames(const std::vector<EffectFrame>& frames)
{
    engine.SetEffectFrames(frames);
}

void CKelvaskUSBDevice::SetKeyIndexMap(const std::vector<int>& map)
{
    keyIndexMap = map;
}

void CKelvaskUSBDevice::DecayKeyLevel(int column, bool fast) { engine.DecayKeyLevel(column, fast); }
void CKelvaskUSBDevice::TriggerRingColumns() { engine.TriggerRingColumns(); }
void CKelvaskUSBDevice::RotateRing(int direction) { engine.RotateRing(direction); }
void CKelvaskUSBDevice::ClearReactiveBuffers() { engine.ClearReactiveBuffers(); }

// ---- the 50 ms frame and the status poll ----

void CKelvaskUSBDevice::RefreshLightPreviews()
{
    const int count = std::min(ledCount, kMaxStreamedLeds);
    const int buttons = std::min(count, static_cast<int>(lightButtons.size()));
    for (int i = 0; i < buttons; ++i) {
        IPageControl* button = lightButtons[i];
        if (!button || !button->IsVisible())
            continue;
        const uint32_t word = ledColours.Get(i);
        button->SetLightColour(LedPreviewColour(word), LedLevel(word), true);
    }
}

void CKelvaskUSBDevice::OutputLightFrame()
{
    if (!lightingEnabled)
        return;
    RefreshLightPreviews();
    uint8_t frame[kMaxFrameBytes] = {};
    const int count = std::min(ledCount, kMaxStreamedLeds);
    for (int i = 0; i < count; ++i) {
        if (i == kNoSlot)
            continue;
        const uint32_t word = ledColours.Get(i);
        const uint8_t level = LedLevel(word);
        frame[3 * i + 0] = static_cast<uint8_t>((LedRed(word) * level) >> 8);
        frame[3 * i + 1] = static_cast<uint8_t>((LedGreen(word) * level) >> 8);
        frame[3 * i + 2] = static_cast<uint8_t>((LedBlue(word) * level) >> 8);
    }
    if (commandChannel.WirelessLink())
        return;
    StreamFrame(frame, static_cast<size_t>(3 * count));
}

void CKelvaskUSBDevice::StreamFrame(const uint8_t* frame, size_t length)
{
    // A failed frame pauses the stream; the tab adds the pause to its next tick instead of
    // blocking the UI thread.
    if (!TransfersInBackground()) {
        if (commandChannel.StreamLighting(frame, length) != kOk)
            m_streamPauseMs = kStreamPauseMs;
        return;
    }
    // When the frame before has been answered already and nothing else holds the channel, the
    // frame goes out from here at once, without waiting and without waking the worker; else the
    // worker sends it. Neither waits for the frame's reply: it is read when the next frame goes out.
    // A device whose output report could not be written once may hold a write up to the kernel's
    // own limit: from then on only the worker writes its frames.
    if (!m_worker.Busy() && !m_framesOnWorker) {
        bool wouldWait = false;
        const int result = commandChannel.TryStreamLightingNow(frame, length, wouldWait);
        if (!wouldWait) {
            if (result == kWriteFailed)
                m_framesOnWorker = true;
            if (result != kOk)
                m_streamPauseMs = kStreamPauseMs;
            return;
        }
    }
    std::array<uint8_t, kMaxFrameBytes> bytes{};
    std::copy(frame, frame + std::min(length, bytes.size()), bytes.begin());
    m_worker.PostFrame([this, bytes, length] {
        if (commandChannel.StreamLightingDeferred(bytes.data(), length) != kOk)
            m_streamPauseMs = kStreamPauseMs;
    });
}

int CKelvaskUSBDevice::ReadDeviceInformation()
{
    if (!commandChannel.IsOpen())
        return kNotOpen;
    commandChannel.BatchBegin();
    const int result = commandChannel.ReadDeviceInfo(deviceInfo);
    commandChannel.BatchEnd();
    return result;
}

void CKelvaskUSBDevice::RunStatusPoll()
{
    if (!commandChannel.IsOpen())
        return;
    auto status = std::make_shared<std::array<uint8_t, 6>>();
    RunTransfer([this, status] { return commandChannel.ReadStatus(status->data(), status->size(), 0); },
                [this, status](int result) {
                    if (result != kOk)
                        return;
                    (*status)[3] = commandChannel.WirelessLink() ? 1 : 0;
                    if (powerDisplay)
                        powerDisplay->Update(status->data(), status->size());
                });
}

// ---- page state ----

void CKelvaskUSBDevice::SetPageState(int code)
{
    pageState = code;
    if (!m_switchesLooked && m_page) {
        m_functionSwitch = m_page->FindControl("device_function_switch");
        m_keyFunctionSwitch = m_page->FindControl("device_key_function_switch");
        m_switchesLooked = m_functionSwitch && m_keyFunctionSwitch;
    }
    if (!m_functionSwitch || !m_keyFunctionSwitch)
        return;
    if (code == 3 || code == 8) {
        m_functionSwitch->SelectTab(1);
    } else if (code == 5) {
        m_functionSwitch->SelectTab(2);
    } else if (code == 4 && (deviceType == 1 || deviceType == 2)) {
        m_functionSwitch->SelectTab(3);
    } else {
        m_functionSwitch->SelectTab(0);
        int keyTab = 0;
        if (code == 2 || code == 6)
            keyTab = 1;
        else if (code == 4 || code == 7)
            keyTab = 2;
        m_keyFunctionSwitch->SelectTab(keyTab);
    }
}

// ---- lighting records ----

LightSetting CKelvaskUSBDevice::LightSettingFromWords(const std::array<uint32_t, 8>& words)
{
    LightSetting setting;
    for (int i = 0; i < LightSetting::kSize; ++i)
        setting[i] = static_cast<uint8_t>(words[i / 4] >> (8 * (i % 4)));
    return setting;
}

void CKelvaskUSBDevice::SetVariant(int n)
{
    variant = n;
    if (CBasicProfiledata* stored = StoredProfile())
        stored->SetDeviceIndex(0);
}

void CKelvaskUSBDevice::SetLightSetting(const std::array<uint32_t, 8>& words)
{
    lightSetting = LightSettingFromWords(words);
    engine.SetMainSetting(lightSetting);
    if (CBasicProfiledata* stored = StoredProfile())
        stored->SetLightInfo(lightSetting);
}

void CKelvaskUSBDevice::SetLogoLightSetting(const std::array<uint32_t, 8>& words)
{
    logoLightSetting = LightSettingFromWords(words);
}

void CKelvaskUSBDevice::SetStLightSetting(const std::array<uint32_t, 8>& words)
{
    stLightSetting = LightSettingFromWords(words);
}

// ---- folders ----

std::string CKelvaskUSBDevice::GetUserFolder() const
{
    return nq::GetUserFolder(folderName);
}

std::string CKelvaskUSBDevice::GetDefaultFolder() const
{
    return nq::GetDefaultFolder();
}

std::string CKelvaskUSBDevice::GetDefaultProfilePath() const
{
    return nq::GetDefaultFolder() + folderName + ".Json";
}

void CKelvaskUSBDevice::SetProfilePathsOf(CBasicProfiledata& profile) const
{
    const std::string folder = GetUserFolder();
    profile.SetDefaultPath(GetDefaultProfilePath());
    profile.SetProfilePath(folder + profileName + ".Json");
    profile.SetLightConfigPath(folder + lightConfigName + ".config");
}

// ---- worker threads ----

void CKelvaskUSBDevice::LogStopOutcome(WaitOutcome outcome)
{
    switch (outcome) {
    case WaitOutcome::Signalled:
        DebugOut("线程退出：：对象处于激发状态\n");
        break;
    case WaitOutcome::Abandoned:
        DebugOut("线程退出：：对象处于激发状态，但其中有未释放的Mutex 对象\n");
        break;
    case WaitOutcome::Timeout:
        DebugOut("线程退出：：对象处于非激发状态，超时\n");
        break;
    case WaitOutcome::Failed:
        DebugOut("线程退出：：错误\n");
        break;
    }
}

WaitOutcome CKelvaskUSBDevice::StopWorker(WorkerThread& worker, uint32_t timeoutMs)
{
    if (!worker.Started())
        return WaitOutcome::Failed;
    WaitOutcome outcome = worker.Stop(timeoutMs);
    LogStopOutcome(outcome);
    return outcome;
}

void CKelvaskUSBDevice::StartLightingThread()
{
    StopLightingThread();
    lightingThread.Start([this](int passes) {
        if (!commandChannel.IsOpen())
            return LightingThread::kClosedPasses;
        if (commandChannel.LightingSynced())
            return LightingThread::kIdlePasses;
        // The colour words are read once per 50 ms frame: computing them more often shows nothing,
        // so the thread wakes at most once a frame and catches up on the missed passes exactly.
        return std::max(engine.Advance(passes, LightingClockMs()), LightingThread::kFramePasses);
    });
}

void CKelvaskUSBDevice::StopLightingThread()
{
    switch (lightingThread.Stop(kStopWaitMs)) {
    case LightingThread::StopOutcome::NotRunning:
        break;
    case LightingThread::StopOutcome::Stopped:
        LogStopOutcome(WaitOutcome::Signalled);
        break;
    case LightingThread::StopOutcome::TimedOut:
        LogStopOutcome(WaitOutcome::Timeout);
        break;
    }
}

bool CKelvaskUSBDevice::OpenNotificationInterface(const std::string& path)
{
    // Already open with its reader running: restarting the reader would have to wait out a read
    // without time limit.
    if (m_notificationOpen && syncWorker.Running())
        return true;
    if (!m_notificationOpen) {
        std::lock_guard<std::mutex> guard(notificationChannel.CommandLock());
        if (notificationChannel.Hid().Open(path, true, true, true, false))
            m_notificationOpen = true;
    }
    // The notification thread only has work while the interface is open.
    StopWorker(syncWorker);
    if (m_notificationOpen)
        syncWorker.Start([this](StopEvent& stop) { return SyncThread(stop); });
    return m_notificationOpen;
}

void CKelvaskUSBDevice::CloseNotificationInterface()
{
    if (!m_notificationOpen)
        return;
    // The notification thread blocks in a read without time limit: closing the interface first
    // ends that read, so the thread sees its stop event at once instead of being given up.
    syncWorker.Signal();
    {
        std::lock_guard<std::mutex> guard(notificationChannel.CommandLock());
        m_notificationOpen = false;
        notificationChannel.Hid().Close();
    }
    StopWorker(syncWorker);
}

bool CKelvaskUSBDevice::ReopenNotificationInterface(const std::string& path)
{
    CloseNotificationInterface();
    return OpenNotificationInterface(path);
}

int CKelvaskUSBDevice::SyncThread(StopEvent& stop)
{
    HidDevice& hid = notificationChannel.Hid();
    // The notice collection shares its node with the command collection: without a pause this
    // thread would wake for every command reply of the 20 Hz lighting stream. After throwing
    // replies away it pauses 200 ms (a notice only arms a 500 ms timer), or less when the command
    // channel has read 32 reports meanwhile, so its queue of 64 reports never fills.
    hid.SetForeignReportPause(kNoticeReadPauseMs, m_nodeTraffic, kNoticeWakeAfterReports);
    std::vector<uint8_t> report;
    while (!stop.IsSet()) {
        if (!m_notificationOpen) {
            if (stop.Wait(kNoticeRetryMs))
                break;
            continue;
        }
        size_t length = hid.Caps().inputReportByteLength;
        report.assign(length ? length : CommandChannel::kReportSize, 0);
        size_t count = 0;
        if (!hid.Read(report.size(), report.data(), kHidInfinite, &count) || count == 0) {
            if (stop.Wait(kNoticeRetryMs))
                break;
            continue;
        }
        if (stop.IsSet())
            break;
        // The interface's data items (prepared when it was opened) receive the decoded values.
        std::vector<HidDataItem>& items = hid.DataItems(HidReportType::Input);
        hid.DecodeReport(HidReportType::Input, report.data(), count, items);
        uint16_t value = 0;
        if (!items.empty() && !items.front().button.usages.empty())
            value = items.front().button.usages.front();
        DebugOut("接收到自动添加设备的同步信息要求  TEST");
        if (value == kNoticeProfileChanged) {
            DebugOut("接收到自动添加设备的同步信息要求");
            if (IDeviceTimerHost* host = m_timerHost.load())
                host->SetTimer(kTimerDeviceNotice, kNoticeDelayMs);
        } else if (value == kNoticeOther) {
            m_noticeCounter = (m_noticeCounter + 1) % 4;
        } else {
            OnNotice(value);
        }
    }
    DebugOut("MS设备同步线程设定退出");
    return 0;
}

} // namespace nq
