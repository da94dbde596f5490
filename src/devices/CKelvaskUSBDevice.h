#pragma once
// The device base: the model of one connected device (identity, command channel, live lighting,
// page state) and the owner of its page bindings. The Qt page that shows the device holds the
// object and reaches it through the virtual operations below; the object reaches the page only
// through IDevicePage, so the logic builds and runs without a widget toolkit.
//
// Threads: the UI thread runs every page operation, the device tab's timers (and with them
// OutputLightFrame and PollStatus) and every configuration command. Each device also runs a
// lighting thread (the effect steps, which write the LED colour words) and a notification thread
// (SyncThread) that blocks on the notification interface and only arms timer 1002 of the tab.
// Transfers that wait for the device (the reads at connection and after a notice, the
// configuration writes, the status poll, the lighting frame) run on the device's transfer worker
// when its tab can deliver results to the UI thread (IDeviceTimerHost::PostToUi); the results
// come back to the UI thread, so no reply is ever waited for there. Without such a tab (tests of
// the logic) they run in the caller's thread.
// The colour words are atomics: the lighting thread writes them while the worker streams them,
// and a frame may mix two steps. The frame lock guards the effect frames, the key-light lock the
// key-light records.
#include "common/WorkerThread.h"
#include "devices/DeviceWorker.h"
#include "devices/IDevicePage.h"
#include "devices/IDeviceTimerHost.h"
#include "devices/IPowerDisplay.h"
#include "devices/LightingColourBuffer.h"
#include "devices/LightingEffectEngine.h"
#include "devices/LightingThread.h"
#include "editors/IKeyAssignmentTarget.h"
#include "editors/KeyAssignment.h"
#include "hid/Catalogue.h"
#include "hid/CommandChannel.h"
#include "hid/DeviceInfo.h"
#include "hid/DeviceSlot.h"
#include "profiles/CBasicProfiledata.h"
#include "profiles/EffectFrame.h"
#include "profiles/LightSetting.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace nq {

// Timers of the device tab.
enum DeviceTimer : int {
    kTimerLightFrame = 1000,    // 50 ms: OutputLightFrame, OnRefreshTickB, OnRefreshTickC
    kTimerConnected = 1001,     // 500 ms after connection: OnConnected
    kTimerDeviceNotice = 1002,  // one-shot: OnDeviceNotice
    kTimerDeferredTwo = 1003,   // one-shot: OnDeferredStepTwo
    kTimerDeferredThree = 1004, // one-shot: OnDeferredStepThree
    kTimerPollStatus = 1005,    // 5000 ms: PollStatus
};

class CKelvaskUSBDevice {
public:
    static constexpr int kZoneButtonsA = 15;   // the 15- and 6-entry zone sequences
    static constexpr int kZoneButtonsB = 6;
    static constexpr int kNoSlot = 126;        // keyIndexMap value and LED index never streamed
    static constexpr size_t kMaxFrameBytes = 512;
    static constexpr int kMaxStreamedLeds = LightingColourBuffer::kCapacity;
    static constexpr uint32_t kStreamPauseMs = 200;
    static constexpr uint32_t kStopWaitMs = 1000;

    CKelvaskUSBDevice();
    virtual ~CKelvaskUSBDevice();
    CKelvaskUSBDevice(const CKelvaskUSBDevice&) = delete;
    CKelvaskUSBDevice& operator=(const CKelvaskUSBDevice&) = delete;

    virtual std::string GetClass() const { return "KelvaskUSBDevice"; }

    // ---- virtual operations, in slot order (subclasses keep it and append their own) ----
    virtual void InitPage();                                                           // 1
    virtual int LoadLighting() { return 0; }                                           // 2
    virtual void StepBreathing();                                                      // 3
    virtual void StepBreathingFourColours();                                           // 4
    virtual void StepStatic();                                                         // 5
    virtual void StepSpectrum();                                                       // 6
    virtual void StepFlash();                                                          // 7
    virtual void StepFlashFourColours();                                               // 8
    virtual void StepOff();                                                            // 9
    virtual void OutputLightFrame();                                                   // 10
    virtual void OnRefreshTickB() {}                                                   // 11
    virtual void OnRefreshTickC() {}                                                   // 12
    virtual void SetLedColour(int index, uint32_t word);                               // 13
    virtual uint32_t GetLedColour(int index) const;                                    // 14
    virtual void OnConnected() {}                                                      // 15
    virtual void OnDeviceNotice() {}                                                   // 16
    virtual void OnDeferredStepTwo() {}                                                // 17
    virtual void OnDeferredStepThree() {}                                              // 18
    virtual void PollStatus() {}                                                       // 19
    virtual int LoadProfile() { return 0; }                                            // 20
    virtual void ShowProfile() {}                                                      // 21
    virtual void PruneAssignments() {}                                                 // 22
    virtual void RestoreDefaults() {}                                                  // 23
    virtual int WriteKeymapToDevice(int bank, const std::vector<KeyEntry>& keys) { return 0; } // 24
    virtual int WriteAssignmentsToDevice(int bank) { return 0; }                       // 25
    virtual int WriteMacrosToDevice() { return 0; }                                    // 26
    virtual int WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth,
                                      int screenHeight) { return 0; }                  // 27
    virtual int WriteCustomColours() { return 0; }                                     // 28
    virtual void LoadNameLists() {}                                                    // 29
    virtual void SetKeyIndexMap(const std::vector<int>& map);                          // 30
    virtual void DecayKeyLevel(int column, bool fast);                                 // 31
    virtual void TriggerRingColumns();                                                 // 32
    virtual void RotateRing(int direction);                                            // 33
    virtual void ClearReactiveBuffers();                                               // 34
    virtual void SetPageState(int code);                                               // 35
    virtual int GetPageState() const { return pageState; }                             // 36
    virtual void SetProfilePaths() {}                                                  // 37
    virtual std::string CurrentProfilePath() const { return {}; }                      // 38
    virtual void SaveProfile() {}                                                      // 39
    virtual void SetVariant(int n);                                                    // 40
    virtual int GetVariant() const { return variant; }                                 // 41
    virtual void SetLightSetting(const std::array<uint32_t, 8>& words);                // 42
    virtual void SetLogoLightSetting(const std::array<uint32_t, 8>& words);            // 43
    virtual void SetStLightSetting(const std::array<uint32_t, 8>& words);              // 44
    virtual void SetSelectedKey(int index) { selectedKey = index; }                    // 45

    // ---- configuration, called once after creation in this order, then InitPage ----
    void SetPageXmlName(const std::string& name) { pageXmlName = name; }
    void SetMainWindow(void* window) { mainWindow = window; }
    void SetKeyButtonCount(int count);
    void SetLedCount(int count);
    void SetPollsStatus(int polls);
    virtual void SetSubclassValue(int value) {}
    void SetProfileName(const std::string& name) { profileName = name; }
    void SetFolderName(const std::string& name) { folderName = name; }
    void SetPowerDisplay(IPowerDisplay* display);
    void SetSlot(const DeviceSlot& slot);
    void SetLightConfigName(const std::string& name) { lightConfigName = name; }
    // All of the above from the catalogue rows of the device's page (the slot's run-time fields
    // cleared), as the main window and nq501ctl configure the object behind a page.
    void ConfigureForPage(const DevicePage& row, const DeviceLayout& layout, const DeviceSlot& slot,
                          const std::string& profileName, void* window, IPowerDisplay* display);

    // The page's profile list: gives it the device type and folders, loads it, selects the first
    // editor tab and takes the current profile's identifier as the profile name. Part of
    // building the page; nothing happens on a page without a profile list.
    void AttachProfileList();

    // The page the object binds (the Qt page, or a fake page in tests) and the tab hosting its timers.
    void SetPage(IDevicePage* page) { m_page = page; }
    IDevicePage* Page() const { return m_page; }
    // After SetTimerHost returns, no result is being handed to the previous host any more.
    void SetTimerHost(IDeviceTimerHost* host);
    IDeviceTimerHost* TimerHost() const { return m_timerHost; }

    // ---- transfers that wait for the device ----
    // Carries out `transfer` (which may only use the command channel and what it captured) on the
    // transfer worker and hands its result to `done` on the UI thread; without a tab that
    // delivers to the UI thread, both run at once in the caller's thread. `done` is dropped when
    // the device is gone by then.
    void RunTransfer(std::function<int()> transfer, std::function<void(int)> done);
    bool TransfersInBackground() const;
    DeviceWorker& TransferWorker() { return m_worker; }

    // The writes that follow a profile switch or reset: the settings block of the loaded profile,
    // then the macro image and the key table (`keys`: never, only when the settings were written,
    // or whatever became of them). `done` gets the outcome on the UI thread. Here the writes run
    // at once, in the caller's thread (the keyboard, the pads); the mouse hands them to its
    // transfer worker.
    enum class ProfileKeys { None, AfterSettings, Always };
    struct ProfileWriteResult {
        int settings = kOk;
        bool keysSent = false; // the macros and the key table were written (or tried)
        KeySaveResult keys;
    };
    static bool KeysFollow(ProfileKeys keys, int settings)
    {
        return keys == ProfileKeys::Always || (keys == ProfileKeys::AfterSettings && settings == kOk);
    }
    virtual void SubmitProfileWrite(int screenWidth, int screenHeight, ProfileKeys keys,
                                    std::function<void(const ProfileWriteResult&)> done);

    // ---- what became of the user's changes (the page's status line) ----
    static constexpr const char* kStatusRefused = "device_status_refused";
    static constexpr const char* kStatusLost = "device_status_lost";
    static constexpr const char* kStatusWrittenBack = "device_status_written_back";
    static constexpr const char* kStatusNotSaved = "device_status_not_saved";
    // A key save the device refused, or that never reached it: the key edits went back to what the
    // device holds.
    static constexpr const char* kStatusKeysRefused = "device_status_keys_refused";
    static constexpr const char* kStatusKeysLost = "device_status_keys_lost";
    // The writes of a profile switch or reset are under way.
    static constexpr const char* kStatusSwitching = "device_status_switching";
    // The outcome of a write of a change: a refusal (status 0xFF / 0xFE) and a write that never
    // reached the device (closed channel, lost link, no reply) are shown; a success clears an
    // earlier write failure.
    void ReportDeviceWrite(int result);
    // The same in a device's own words: a non-empty key (language key) shows a write that failed;
    // an empty key is a write that went through and clears an earlier write failure (a profile
    // that could not be saved stays).
    void ReportWriteOutcome(const std::string& failureKey);
    // The outcome of a profile save: a failure is shown; a success clears an earlier one.
    void ReportProfileSave(bool saved);
    // Shows a status text (language key) on the page; empty clears it.
    void ShowStatus(const std::string& key);
    const std::string& StatusKey() const { return m_statusKey; }
    // True for the results of a write the device answered with a refusal.
    static bool IsRefusal(int result) { return result == kRefusedFF || result == kRefusedFE; }

    // ---- lighting control and preview ----
    void SetLightingEnabled(bool on);
    bool IsLightingEnabled() const { return lightingEnabled.load(); }
    void SetPreviewEnabled(bool on) { previewEnabled = on; }
    bool IsPreviewEnabled() const { return previewEnabled.load(); }
    // Synchronised lighting is offered while two or more devices are shown.
    void SetSyncAvailable(bool available) { m_syncAvailable = available; }
    bool IsSyncAvailable() const { return m_syncAvailable; }

    // ---- folders ----
    std::string GetUserFolder() const;
    std::string GetDefaultFolder() const;
    std::string GetDefaultProfilePath() const;

    // ---- worker threads ----
    virtual void StartLightingThread();
    virtual void StopLightingThread();
    bool OpenNotificationInterface(const std::string& path);
    void CloseNotificationInterface();
    bool ReopenNotificationInterface(const std::string& path);
    bool IsNotificationOpen() const { return m_notificationOpen.load(); }
    // Stops both worker threads and the transfer worker (closing the command channel, which wakes
    // a transfer waiting for a reply) and closes the notification interface. Every subclass
    // destructor calls it first, so no worker thread runs while the subclass part is torn down.
    void StopWorkers();
    // Signals the worker's stop event, waits up to 1000 ms and logs the outcome; a thread that
    // does not end is given up. Nothing happens for a worker that never started.
    static WaitOutcome StopWorker(WorkerThread& worker, uint32_t timeoutMs = kStopWaitMs);

    // ---- state read by the main window, the tab and the pages ----
    CommandChannel& Channel() { return commandChannel; }
    HidDevice& NotificationHid() { return notificationChannel.Hid(); }
    const DeviceSlot& Slot() const { return slot; }
    int DeviceType() const { return deviceType; }
    int SubKind() const { return subKind; }
    int KeyButtonCount() const { return keyButtonCount; }
    int LedCount() const { return ledCount; }
    int PollsStatus() const { return pollsStatus; }
    int SelectedKey() const { return selectedKey; }
    const std::string& PageXmlName() const { return pageXmlName; }
    const std::string& ProfileName() const { return profileName; }
    const std::string& FolderName() const { return folderName; }
    const std::string& LightConfigName() const { return lightConfigName; }
    IPageControl* SelectionPanel() const { return m_selectionPanel; }
    IPageControl* KeyButton(int index) const;
    IPageControl* LightButton(int index) const;
    const LightSetting& MainLightSetting() const { return lightSetting; }
    const LightSetting& LogoLightSetting() const { return logoLightSetting; }
    const LightSetting& StLightSetting() const { return stLightSetting; }
    // The record of a lighting zone as the lighting editor's panels number them (0 main, 1 logo,
    // 2 side), and its setter through the virtual Set...LightSetting of that zone.
    const LightSetting& ZoneLightSetting(int zone) const;
    void SetZoneLightSetting(int zone, const std::array<uint32_t, 8>& words);
    DeviceInfo& Info() { return deviceInfo; }
    const std::vector<int>& KeyIndexMap() const { return keyIndexMap; }
    uint8_t ReactiveLevel(int column) { return engine.Reactive().Level(column); }
    // Zone colour words (15- and 6-entry sequences).
    uint32_t ZoneColourA(int index) const;
    uint32_t ZoneColourB(int index) const;
    void SetZoneColourA(int index, uint32_t word);
    void SetZoneColourB(int index, uint32_t word);
    // Key-light records and effect frames, replaced under their locks.
    void SetKeyLightRecords(const std::vector<LightSetting>& records);
    std::vector<LightSetting> KeyLightRecords() const { return engine.KeyLightRecords(); }
    void SetEffectFrames(const std::vector<EffectFrame>& frames);
    // The stream pause a failed lighting frame asks for (taken once by the tab's timer 1000).
    uint32_t TakeStreamPause() { return m_streamPauseMs.exchange(0); }
    // Counter of consumer-control notices 1028 (modulo 4).
    int NoticeCounter() const { return m_noticeCounter.load(); }

    LightingColourBuffer& LedColours() { return ledColours; }
    LightingEffectEngine& Engine() { return engine; }
    bool IsLightingThreadRunning() const { return lightingThread.Running(); }

    // Writes the diagnostics text of a worker's stop outcome.
    static void LogStopOutcome(WaitOutcome outcome);

    // The 31 bytes of a lighting record from the eight words of SetLightSetting.
    static LightSetting LightSettingFromWords(const std::array<uint32_t, 8>& words);

protected:
    // Binds the key and light buttons of the page's selection panel.
    void BindPageButtons();
    // The notification thread body.
    int SyncThread(StopEvent& stop);
    // A notice value other than 1025 and 1028, on the notification thread (the keyboard's key
    // events); nothing by default.
    virtual void OnNotice(uint16_t /*value*/) {}
    // Status poll shared by every device class: ReadStatus 6 bytes, wireless flag in byte 3,
    // then the power display.
    void RunStatusPoll();
    // Makes `panel` the selection panel (the preview control) and binds its "DeviceKeyButton"
    // children: name "key_" n to key button n, user data "light_" n to light button n (shown
    // white at level 255). Numbers beyond the sequences are not bound. With `lightsByName` a
    // button without such user data is also bound by its name "light_" n.
    void BindButtonPanel(IPageControl* panel, bool lightsByName = false);
    // The profile's default path, its file (user folder + profile name + ".Json") and its light
    // configuration (user folder + light configuration name + ".config").
    void SetProfilePathsOf(CBasicProfiledata& profile) const;
    // The profile that holds the device's settings, or nullptr for a device without one. The
    // variant (the profile then starts at its first device) and the main lighting record set here
    // are stored in it.
    virtual CBasicProfiledata* StoredProfile() { return nullptr; }
    // The connection read of the mousepad and the headset: BatchBegin, ReadDeviceInfo into
    // deviceInfo, BatchEnd, when the channel is open. 1 when the information was read.
    int ReadDeviceInformation();
    // Shows every LED colour word on its visible light button (red | blue << 8 | green << 16, with
    // the word's level).
    void RefreshLightPreviews();
    // Streams one built frame (command 18) on the transfer worker, replacing a frame that has not
    // started yet; a failed frame asks for the stream pause.
    void StreamFrame(const uint8_t* frame, size_t length);

    CommandChannel commandChannel;
    CommandChannel notificationChannel; // only its HidDevice is used
    DeviceInfo deviceInfo;

    std::string pageXmlName;
    void* mainWindow = nullptr;
    std::string profileName;
    std::string lightConfigName;
    std::string folderName;
    int deviceType = 0;
    int subKind = 0;
    int keyButtonCount = 0;
    int ledCount = 0;
    int selectedKey = -1;
    int pageState = 1;
    int pollsStatus = 0;
    int variant = 0;
    DeviceSlot slot;

    std::vector<IPageControl*> keyButtons;
    std::vector<IPageControl*> lightButtons;
    std::array<IPageControl*, kZoneButtonsA> zoneButtonsA{};
    std::array<IPageControl*, kZoneButtonsB> zoneButtonsB{};

    std::vector<int> keyIndexMap;
    std::vector<int> keyIndexMapB;
    std::vector<int> keyIndexMapC;

    LightingColourBuffer ledColours;
    std::array<std::atomic<uint32_t>, kZoneButtonsA> zoneColoursA{};
    std::array<std::atomic<uint32_t>, kZoneButtonsB> zoneColoursB{};

    LightSetting lightSetting;
    LightSetting logoLightSetting;
    LightSetting stLightSetting;

    // The effect engine owns the effect state, the reactive buffers, the key-light records (under
    // its key-light lock) and the custom effect frames with their count and position (under its
    // frame lock).
    LightingEffectEngine engine{ledColours, LightingFamily::Mouse};
    LightingThread lightingThread{"MS灯光线程设定退出"};

    std::atomic<bool> lightingEnabled{true};
    std::atomic<bool> previewEnabled{true};

    WorkerThread syncWorker;

    IPowerDisplay* powerDisplay = nullptr;

private:
    IDevicePage* m_page = nullptr;
    std::atomic<IDeviceTimerHost*> m_timerHost{nullptr};
    std::mutex m_hostMutex; // held while a result is handed to the host
    DeviceWorker m_worker;
    // Results posted to the UI thread hold it weakly: one that arrives after the device is gone
    // is dropped.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    std::string m_statusKey;
    bool m_framesOnWorker = false; // UI thread only
    IPageControl* m_selectionPanel = nullptr;
    IPageControl* m_functionSwitch = nullptr;
    IPageControl* m_keyFunctionSwitch = nullptr;
    bool m_switchesLooked = false;
    std::atomic<bool> m_notificationOpen{false};
    std::atomic<uint32_t> m_streamPauseMs{0};
    // Reports the command channel reads from the node it shares with the notification interface.
    std::shared_ptr<NodeTraffic> m_nodeTraffic = std::make_shared<NodeTraffic>();
    std::atomic<int> m_noticeCounter{0};
    bool m_syncAvailable = false;
};

} // namespace nq
