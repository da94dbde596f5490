#pragma once
// A mouse, wired or behind its wireless receiver.
//
// The object keeps the mouse profile with its key list, DPI stages and system words, a copy of
// the device's key table and its on-board settings block, and writes the settings block, the key
// table, the macro image and the recoil image. Every transfer group is bracketed by BatchBegin
// and BatchEnd. On a wireless link the reads ask QueryLink once before they start and the writes
// before each step (device information, BatchBegin, the write, BatchEnd); a lost link or a channel
// closed in between ends the operation at once with its failure result, without BatchEnd.
//
// All operations run on the UI thread; the lighting thread reads the engine's lighting values,
// which ReadOnboardSettings and LoadLighting replace. The connection step, the device notice, the
// page's settings writes, the key editor's save and the writes of a profile switch hand their
// transfers to the transfer worker
// (Fetch*, Send* and ReadKeyTable only use the command channel and what they are given) and take
// the results on the UI thread.
//
// The object remembers the settings block the device holds for slot 0 (read at connection,
// replaced by every write it took). At connection a profile that differs from it is written back,
// so a change lost to an unplug reaches the mouse when it returns; a write the mouse refuses puts
// what the mouse holds back into the object, the profile and the page.
#include "devices/CKelvaskUSBDevice.h"
#include "devices/MouseMacroImage.h"
#include "devices/MouseNameLists.h"
#include "devices/MouseSettingsBlock.h"
#include "editors/IKeyAssignmentTarget.h"
#include "profiles/CMouseProfiledata.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace nq {

class CKelvaskMouseDevice : public CKelvaskUSBDevice {
public:
    static constexpr size_t kKeyTableBytes = 512;
    static constexpr int kDpiRows = 5;

    CKelvaskMouseDevice();
    ~CKelvaskMouseDevice() override;

    std::string GetClass() const override { return "KelvaskMouseDevice"; }

    // ---- operations of the device base ----
    int LoadLighting() override;
    void OnConnected() override;
    void OnDeviceNotice() override;
    void PollStatus() override { RunStatusPoll(); }
    int LoadProfile() override;
    void ShowProfile() override;
    void PruneAssignments() override;
    void RestoreDefaults() override;
    // Writes the current assignments of the page buttons into the device's key table (the other
    // slots are sent back as read). 1 on success, 0 when the channel is closed, the link is down
    // or the device information cannot be read, else the failed write's result.
    int WriteKeymapToDevice(int bank, const std::vector<KeyEntry>& keys) override;
    // The key save: the key list becomes the profile's (saved with the next SaveProfile) and is
    // written to the mouse.
    int WriteAssignmentsToDevice(int bank) override;
    // The key editor's save ("Save to mouse") as the page runs it: the macro files and the key
    // list are taken now; the transfer worker writes the macro image and then (when the mouse took
    // it) the key table, and `done` gets the outcome on the UI thread. A key table the mouse took
    // is what it holds, and the key list the profile's (saved by the editor); one it refused or
    // that never reached it is shown on the page (after a refusal the mouse's own key table is read
    // back: it says what the mouse holds now), and the profile keeps the key list of the last save.
    void SubmitKeySave(int bank, std::function<void(const KeySaveResult&)> done);
    // 0 when the macros were written or there are none; the number of 4-byte events too many
    // (+1) when the image does not fit the macro memory (nothing is sent); -1 when the channel is
    // closed, the link is lost, the device information cannot be read or the device does not take
    // the image.
    int WriteMacrosToDevice() override;
    // 1 when the block was written; 0 when the channel is closed or the link is down; -201 for a
    // slot outside the configuration memory; else the result of the failed write. Every caller
    // passes slot 0, meaning the slot the mouse runs: the block goes to the active on-board slot
    // (read at connection and after each slot notice), so an edit never moves the mouse back to
    // slot 0.
    int WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight) override;
    // WriteSettingsToDevice as the page and the lighting editor run it: the block is built now, sent
    // by the transfer worker, and the outcome shown on the page; a refusal returns the object, the
    // profile and the page to what the mouse holds, a write that never reached the mouse stays in
    // the profile for the next connection. `written`, when given, then gets the write's result on
    // the UI thread (it is dropped with the result when the device is gone by then).
    void SubmitSettingsWrite(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight,
                             std::function<void(int)> written = nullptr);
    // The writes of a profile switch or reset on the transfer worker: the settings block (built
    // now), then, when they follow, the key save as SubmitKeySave runs it (macro image, then key
    // table, taken on the UI thread once the settings are written). A refused settings block is
    // not taken into the profile: the caller returns to the profile the mouse holds.
    void SubmitProfileWrite(int screenWidth, int screenHeight, ProfileKeys keys,
                            std::function<void(const ProfileWriteResult&)> done) override;
    void LoadNameLists() override;
    void SetPageState(int code) override;
    void SetProfilePaths() override;
    std::string CurrentProfilePath() const override { return profile.GetProfilePath(); }
    // Saves the profile file (a failure is shown on the page). Key edits not saved to the mouse
    // yet stay out of it: the file holds the key list of the last key save (or as loaded).
    void SaveProfile() override;

    // ---- mouse operations ----
    // Device information, key table, page-button map and DPI ranges (first step of OnConnected).
    void ReadDeviceState();
    // Re-reads the active on-board slot's settings: lighting values for the engine and the
    // profile, the DPI stages with the active one, the report rate; saves the profile. 1 on
    // success, 0 otherwise (nothing changed).
    int ReadOnboardSettings();
    // Sends the four recoil tables: 1 when sent (or there is nothing to send), 0 when the channel
    // is closed or the link is down, else the failed write's result.
    int WriteRecoilToDevice();

    // What the connection step reads: device information, key table and, for the comparison with
    // the profile, the active slot and slot 0's settings block.
    struct DeviceStateRead {
        bool infoRead = false;
        DeviceInfo info;
        bool tableRead = false;
        std::array<uint8_t, kKeyTableBytes> table{};
        bool slotRead = false;
        bool blockRead = false;
        uint8_t slot = 0;
        MouseSettingsBlock::Block block{};
    };
    DeviceStateRead FetchDeviceState(bool withBlock);
    void ApplyDeviceState(const DeviceStateRead& read);
    // The active slot and its settings block, read from the device.
    struct OnboardRead {
        bool read = false;
        uint8_t slot = 0;
        MouseSettingsBlock::Block block{};
    };
    OnboardRead FetchOnboardSettings();
    int ApplyOnboardSettings(const OnboardRead& read);
    // The settings block the mouse holds for slot 0, when known.
    const std::optional<MouseSettingsBlock::Block>& DeviceBlock() const { return m_deviceBlock; }
    // The screen size the page's writes carry (also used for the write-back at connection).
    void SetScreenSize(int width, int height);
    // Refills the page's key labels; the page extends it.
    virtual void RefreshKeyLabels() {}

    // Key list. None of these writes to the device or saves the profile file. A list set with
    // SetKeyTable goes into the file with the next SaveProfile; an entry set with
    // SetSelectedKeyEntry (the key editor) only with the key save (WriteAssignmentsToDevice).
    std::vector<KeyEntry> GetKeyTable() const { return keyList; }
    void SetKeyTable(const std::vector<KeyEntry>& list);
    void SetSelectedKeyEntry(const KeyEntry& entry);
    // The key list as the mouse holds it: as loaded (the buttons found in the device's key table
    // hold what the table holds) or as last written to the mouse.
    const std::vector<KeyEntry>& HeldKeyList() const { return heldKeys; }
    // Drops the key edits not written to the mouse: the key list and the profile (saved) return
    // to HeldKeyList and the labels are refreshed. Gives the selected key's entry.
    bool RevertKeyEdits(KeyEntry& selectedEntry);

    // DPI stages and system words, stored in the object and the profile (not saved). Stage
    // resolutions above the device's highest slider position are stored as that position.
    std::vector<DpiStage> GetDpiStages() const { return dpiStages; }
    void SetDpiStages(const std::vector<DpiStage>& stages);
    MouseSystemWords GetSystemWords() const { return systemWords; }
    void SetSystemWords(const MouseSystemWords& words);
    int GetActiveStage() const { return profile.GetActiveStage(); }
    // Slider range of the DPI rows (device units) and of the DPI edits (DPI), from the device
    // information; both start at 0.
    int DpiSliderMaximum() const { return dpiSliderMaximum; }
    int DpiEditMaximum() const { return dpiEditMaximum; }
    // `stages` with every resolution above DpiSliderMaximum lowered to it (unchanged while the
    // device information is unknown).
    std::vector<DpiStage> ClampedStages(std::vector<DpiStage> stages) const;

    void SetLogoLedIndex(int n) { logoLedIndex = n; }
    int LogoLedIndex() const { return logoLedIndex; }

    void StepWave() { engine.StepWave(); }
    void StepColumnSweep() { engine.StepColumnSweep(); }

    // ---- state read by the page and tests ----
    CMouseProfiledata& Profile() { return profile; }
    const std::array<uint8_t, kKeyTableBytes>& KeyTableCopy() const { return keyTable; }
    int OnboardSlot() const { return onboardSlot; }
    const MouseSettingsBlock::Block& OnboardBlock() const { return onboardBlock; }
    const MouseNameLists& NameLists() const { return nameLists; }

protected:
    CBasicProfiledata* StoredProfile() override { return &profile; }
    // True when the next step may run: the channel is open and, on a wireless link, the mouse
    // answers the link query.
    bool LinkReady();
    // The profile's values loaded into the object (key list, lighting, DPI stages, system words);
    // a key list shorter than the ten buttons gets the missing buttons with their factory
    // assignment, and stages above the device's maximum are lowered (both stored in the profile).
    void TakeProfileValues();
    // heldKeys = the key list, with the buttons found in the device's key table as it holds them.
    void TakeHeldKeys();
    MouseSettingsBlock::Block BuildSettingsBlock(uint8_t byte0, int flag, int screenWidth, int screenHeight);
    int SendSettingsBlock(const MouseSettingsBlock::Block& block, int slot);
    // Sends the macro image of `blocks` (nothing when there are none) after reading the device
    // information into `info`: the result of WriteMacrosToDevice; `writeResult` is the failed
    // transfer's own result (a refusal, or kNotOpen), kOk when nothing was refused or lost.
    int SendMacroImage(const std::vector<MouseMacroImage::Events>& blocks, DeviceInfo& info, int& writeResult);
    // Reads the device information into `info` and writes the key table: `base` with the page
    // buttons of `indexMap` holding `keys`. `table` gets the bytes written (the first
    // KeyEntryCount slots).
    int SendKeymap(int bank, const std::vector<KeyEntry>& keys, const std::vector<int>& indexMap,
                   const std::array<uint8_t, kKeyTableBytes>& base, DeviceInfo& info, std::vector<uint8_t>& table);
    // Reads the first `slotCount` slots of the device's key table into `table`.
    bool ReadKeyTable(size_t slotCount, std::array<uint8_t, kKeyTableBytes>& table);
    // The buttons found in the key table copy take what it holds in heldKeys.
    void TakeHeldKeysFromTable();
    bool ReadSettingsBlock(int slot, MouseSettingsBlock::Block& block);
    // Slot 0 stands for the on-board slot the mouse runs.
    int TargetSlot(int slot) const { return slot == 0 ? onboardSlot : slot; }
    // At connection: a profile that differs from slot 0's block on the mouse is written back.
    void WriteBackIfDiffers(const DeviceStateRead& read);
    // `adoptRefused`: after a refusal the object, profile and page take what the mouse holds (a
    // profile switch instead returns to the profile the mouse holds).
    void SubmitSettings(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight, bool writtenBack,
                        std::function<void(int)> written = nullptr, bool adoptRefused = true);
    void OnSettingsWritten(uint64_t write, int slot, const MouseSettingsBlock::Block& block, int result,
                           const std::optional<MouseSettingsBlock::Block>& deviceHolds, bool writtenBack,
                           bool adoptRefused);
    // The fields in which `device` differs from what the profile would write go into the object
    // and the profile; the profile is saved and shown.
    void TakeDeviceBlock(const MouseSettingsBlock::Block& device);

    CMouseProfiledata profile;
    std::vector<KeyEntry> keyList;
    std::vector<KeyEntry> heldKeys;
    std::vector<KeyEntry> savedKeys; // the key list the profile file holds
    std::vector<DpiStage> dpiStages;
    MouseSystemWords systemWords;
    std::array<uint8_t, kKeyTableBytes> keyTable{};
    int onboardSlot = 0;
    MouseSettingsBlock::Block onboardBlock{};
    MouseNameLists nameLists;
    int logoLedIndex = -1;
    int dpiSliderMaximum = 0;
    int dpiEditMaximum = 0;
    std::optional<MouseSettingsBlock::Block> m_deviceBlock;
    uint64_t m_settingsWrites = 0;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
};

} // namespace nq
