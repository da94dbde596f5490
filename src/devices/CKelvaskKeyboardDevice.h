#pragma once
// A keyboard (device type 1).
//
// The object translates between the keyboard's memory (key table, key-to-LED table, the 46-byte
// on-board block, macro memory, per-key colour groups), the keyboard profile and the page. It
// keeps all three lighting zones in its main record (bytes 0-11 key zone, 12-21 logo, 22-29 side,
// 30 the custom colour group) beside the logo and side records as loaded.
//
// The keyboard runs its lighting effects itself; nothing is streamed. The page previews the colour
// words: keyColours (the base's LED words, one per key position), logoColours (15) and
// sideColours (6). Until the keyboard's own effect engine drives them, PaintPreviewColours puts
// each zone's colour at its brightness into them (the custom colours for the custom effect 20).
//
// Writes return a Result: 1 written; 0 the channel is closed (nothing reached the keyboard);
// otherwise the failed step's result (-1 not written, -102/-103 refused by the keyboard). The page
// shows every result other than 1.
//
// Everything runs on the UI thread; the notice thread only arms timer 1002.
#include "devices/CKelvaskUSBDevice.h"
#include "devices/KeyboardKeyPositions.h"
#include "devices/KeyboardLightingEngine.h"
#include "devices/KeyboardSettingsBlock.h"
#include "devices/MouseMacroImage.h"
#include "devices/MouseNameLists.h"
#include "editors/IKeyAssignmentTarget.h"
#include "profiles/CKeyboardProfiledata.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nq {

class CKelvaskKeyboardDevice : public CKelvaskUSBDevice {
public:
    static constexpr size_t kKeyImageBytes = 512;
    static constexpr int kPositions = KeyboardKeyPositions::kPositions;
    static constexpr int kLogoLeds = kZoneButtonsA;  // 15
    static constexpr int kSideLeds = kZoneButtonsB;  // 6
    static constexpr int kCustomEffect = 20;
    static constexpr int kNoGroup = -1;
    static constexpr uint32_t kColourFailurePauseMs = 200;

    CKelvaskKeyboardDevice();
    ~CKelvaskKeyboardDevice() override;

    std::string GetClass() const override { return "KelvaskKeyboardDevice"; }

    // ---- operations of the device base ----
    void InitPage() override;
    int LoadLighting() override;
    // Refresh the key, logo and side previews; nothing goes to the keyboard.
    void OutputLightFrame() override;
    void OnRefreshTickB() override;
    void OnRefreshTickC() override;
    void OnConnected() override;
    void OnDeviceNotice() override;
    void PollStatus() override { RunStatusPoll(); }
    int LoadProfile() override;
    void ShowProfile() override;
    void PruneAssignments() override;
    void RestoreDefaults() override;
    // The key table as read at connection with the listed keys' assignments over their slots.
    // 0 when the channel is closed or the keyboard's table was never read whole (nothing sent).
    int WriteKeymapToDevice(int bank, const std::vector<KeyEntry>& keys) override;
    int WriteAssignmentsToDevice(int bank) override;
    // 0 written, nothing to write or channel closed; n > 0 the image is n - 1 events (4 bytes)
    // too large and nothing was sent; -1 out of memory or the keyboard did not take the image.
    int WriteMacrosToDevice() override;
    // The key editor's save as the page runs it: the macro files and the key list are taken now,
    // the transfer worker writes the macro image and then (when it was written) the key table, and
    // `done` gets the outcome on the UI thread.
    void SubmitKeySave(int bank, std::function<void(const KeySaveResult&)> done);
    // The block from the profile into on-board profile `slot` (the further arguments are ignored).
    int WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight) override;
    // The key colours, scaled by their levels, into the current custom group; only while the
    // key effect is the custom one (0 otherwise). A failure costs a 200 ms pause.
    int WriteCustomColours() override;
    void LoadNameLists() override;
    void SetPageState(int code) override;
    void SetProfilePaths() override;
    std::string CurrentProfilePath() const override { return profile.GetProfilePath(); }
    void SaveProfile() override { profile.Save(); }
    void SetLogoLightSetting(const std::array<uint32_t, 8>& words) override;
    void SetStLightSetting(const std::array<uint32_t, 8>& words) override;
    // The preview engine's three threads (keys, logo, side). They compute only while their output
    // can be seen: the channel open, the lighting not synchronised elsewhere, lighting control on
    // and the page shown; otherwise they sleep until the preview timer or the page wakes them.
    void StartLightingThread() override;
    void StopLightingThread() override;

    // ---- keyboard operations (the page overrides the page ones) ----
    virtual void BuildPage() {}
    // Makes picture "keyboard_device_key_light_" + view (0 keys, 1 logo, 2 side) the current one
    // and binds its key buttons: name "key_" N is key button N; user data "light_" N is LED N of
    // the view's sequence (keys, 15 logo LEDs, 6 side LEDs), shown white at full level. False when
    // the page has no such picture.
    bool BindKeyboardPicture(int view);
    int CurrentView() const { return currentView; }
    virtual void RefreshKeyLabels() {}
    virtual void ShowSystemSettings() {}
    // The lighting editor shows the three records.
    virtual void ShowLightRecords() {}
    // The lighting editor shows custom colour group g.
    virtual void ShowCustomGroup(int /*group*/) {}
    // The Fn key's button (position 110) is usable or not.
    virtual void EnableFnKey(bool /*on*/) {}
    LightSetting GetLightSetting() const { return lightSetting; }
    LightSetting GetLogoLightSetting() const { return logoLightSetting; }
    LightSetting GetStLightSetting() const { return stLightSetting; }

    // Device information, key table and key-to-LED table (first step of the connection).
    void ReadKeyTables();
    void BuildKeyMaps();
    // The current on-board profile's block into the live block, the records, the system flags and
    // the profile (saved). 1, or 0 when the keyboard did not answer (then nothing changed).
    int ReadOnBoardSettings();

    // System words, stored in the object and the profile (not saved, not written).
    void SetKeyboardSystemWords(const KeyboardSystemWords& words);
    KeyboardSystemWords GetKeyboardSystemWords() const { return systemWords; }

    // Key table. None of these writes to the device or saves the profile file.
    std::vector<KeyEntry> GetKeyTable() const { return keyTable; }
    void SetKeyTable(const std::vector<KeyEntry>& list);
    void SetSelectedKeyEntry(const KeyEntry& entry);

    // ---- custom colour groups of the custom effect ----
    // The editor's group becomes g and the profile's group index g.
    void SetCustomGroup(int group);
    // The key colours of group g from the profile, written to the keyboard. Result of the write.
    int SelectCustomGroup(int group);
    // The profile's group and its colours, written to the keyboard. Result of the write.
    int LoadCustomGroup();
    // Every key the key zone colour (on) or black (off), written and stored in the group.
    int FillCustomColours(bool on);
    // The listed positions get the key zone colour (only in the custom effect), are written to the
    // group unscaled and stored in the profile (saved). 1 written; 0 not the custom effect or the
    // channel closed; else the failed write's result.
    int PaintKeys(const std::vector<int>& positions);
    int CustomGroup() const { return customGroup; }

    // A new key effect: the engine's effect state is reset and seeded for it (effect 20 first
    // loads the custom colour group).
    virtual void OnKeyEffectChanged();
    // Hands the current lighting (records and live block) to the preview engine.
    virtual void PaintPreviewColours();

    // ---- preview engine ----
    // The page is shown (its pictures can be seen) or hidden.
    void SetPreviewShown(bool shown);
    bool IsPreviewShown() const { return previewShown.load(); }
    // True when the engine's output can be seen, so its threads compute.
    bool PreviewRunnable();
    // A key notice: device key slot `slot`, kind 1 pressed or 2 released (reactive effects).
    void KeyEvent(int slot, int kind) { previewEngine.KeyEvent(slot, kind); }
    KeyboardLightingEngine& PreviewEngine() { return previewEngine; }
    // Times each engine thread ran its pass function since it started (benchmarks, tests).
    uint64_t EngineWakeups(KeyboardLightingEngine::Thread thread) const;
    // True while an engine thread sleeps because its output cannot be seen.
    bool EngineAsleep(KeyboardLightingEngine::Thread thread) const { return engineAsleep[size_t(thread)].load(); }

    // ---- state read by the page and tests ----
    CKeyboardProfiledata& Profile() { return profile; }
    const KeyboardKeyPositions::Maps& KeyMaps() const { return keyMaps; }
    const std::array<uint8_t, kKeyImageBytes>& KeyImage() const { return keyImage; }
    const std::array<uint8_t, kKeyImageBytes>& KeyLedImage() const { return keyLedImage; }
    const KeyboardSettingsBlock::Live& LiveBlock() const { return liveBlock; }
    const KeyboardSettingsBlock::Live& PreviousBlock() const { return previousBlock; }
    const MouseNameLists& NameLists() const { return nameLists; }
    uint32_t KeyColour(int position) const { return ledColours.Get(position); }
    void SetKeyColour(int position, uint32_t word) { ledColours.Set(position, word); }
    uint32_t LogoColour(int i) const { return ZoneColourA(i); }
    uint32_t SideColour(int i) const { return ZoneColourB(i); }

protected:
    CBasicProfiledata* StoredProfile() override { return &profile; }
    // Key notices 1280-1535 (kind 1) and 1536-1791 (kind 2) carry a device key slot.
    void OnNotice(uint16_t value) override;
    // Runs one write group: BatchBegin, `write`, BatchEnd. The first failed result, else 1.
    template <typename Write> int WriteBatch(Write&& write);
    // The keyboard's profile values into the object (key table, lighting, system words).
    void TakeProfileValues();
    // The key colours of a group from the profile; the editor shows the group.
    void TakeGroupColours(int group);
    // The key colours into the profile's current group; the profile is saved.
    void StoreGroupColours();
    // The key zone colour (on) or black into the listed positions, levels kept.
    void ColourKeys(const std::vector<int>& positions, bool on);
    // Builds and sends a key colour frame to the current group.
    int SendKeyColours(bool scaled);
    // Channel only. The key table: `base` (its first `baseSlots` slots as read) with the keys over
    // their slots, after reading the device information into `info`; `image` and `slots` get
    // what was written.
    int SendKeyImage(int bank, const std::vector<KeyEntry>& keys, const std::array<uint8_t, kKeyImageBytes>& base,
                     size_t baseSlots, const KeyboardKeyPositions::Maps& maps, DeviceInfo& info,
                     std::array<uint8_t, kKeyImageBytes>& image, size_t& slots);
    // Channel only. The macro image of `blocks` (WriteMacrosToDevice's result), after reading the
    // device information into `info`; `writeResult` is a failed write's own result, else kOk.
    int SendMacroImage(const std::vector<MouseMacroImage::Events>& blocks, DeviceInfo& info, int& writeResult);
    // Shows zone colour words on the visible buttons of a sequence.
    template <size_t N> void ShowZone(const std::array<IPageControl*, N>& buttons, bool logoOff, bool logo);

    CKeyboardProfiledata profile;
    std::vector<KeyEntry> keyTable;
    std::array<uint8_t, kKeyImageBytes> keyImage{};
    std::array<uint8_t, kKeyImageBytes> keyLedImage{};
    size_t keyImageSlots = 0; // slots of keyImage read from the keyboard; 0 before a whole read
    KeyboardKeyPositions::Maps keyMaps;
    KeyboardSettingsBlock::Live liveBlock{};
    KeyboardSettingsBlock::Live previousBlock{};
    KeyboardSystemWords systemWords;
    MouseNameLists nameLists;
    int customGroup = kNoGroup;
    int currentView = 0;

private:
    int EnginePass(KeyboardLightingEngine::Thread thread, int passes);
    // Wakes the engine threads that sleep while their output can be seen again.
    void WakePreviewEngine();
    LightingThread& EngineThread(KeyboardLightingEngine::Thread thread);

    KeyboardLightingEngine previewEngine{engine, zoneColoursA.data(), zoneColoursB.data()};
    LightingThread keyThread{"MS灯光线程设定退出"};
    LightingThread logoThread{"KB灯光线程设定退出"};
    LightingThread sideThread{"KB灯光线程设定退出"};
    std::atomic<bool> previewShown{false};
    std::array<std::atomic<bool>, 3> engineAsleep{};
};

} // namespace nq
