#pragma once
// A lit mousepad, and the wireless phone-charging pad (the same device with a status poll).
//
// The pad has no keys and no macros: its settings are the lighting record and, per LED, an
// optional lighting record of its own. The object keeps the profile and a copy of the first 21
// bytes of the pad's on-board block (MousePadSettingsBlock), which is also the lighting engine's
// copy: its effect and speed bytes choose the step; the step itself uses the main record.
//
// The pad reads its block at 44 * slot and writes it at 64 * slot. Every caller writes slot 0,
// the active slot number read from the pad only travels in byte 0 of the block. Writing another
// slot would need the pad's own layout for that slot: with the two strides a write to slot s > 0
// lands at 64 * s, in the middle of what a read of slot s-1 or s returns, so the two strides
// would first have to be reconciled with a real pad.
//
// All operations run on the UI thread; the lighting thread reads the engine's values.
#include "devices/CKelvaskUSBDevice.h"
#include "devices/MouseNameLists.h"
#include "devices/MousePadSettingsBlock.h"
#include "profiles/CBasicProfiledata.h"

#include <optional>
#include <string>
#include <vector>

namespace nq {

class CKelvaskMousePadDevice : public CKelvaskUSBDevice {
public:
    static constexpr const char* kMacroListFile = "drovo_macro.config";
    static constexpr const char* kLightPanelName = "mousepad_device_key_light";

    // How the last settings write ended, for the page to tell the user.
    enum class WriteOutcome {
        None,        // nothing written yet
        Written,     // the pad took the block
        NotConnected, // the channel was closed: nothing was sent (the profile keeps the change)
        Failed,      // the pad refused the block, did not answer, or its block could not be read
    };

    CKelvaskMousePadDevice();
    ~CKelvaskMousePadDevice() override;

    std::string GetClass() const override { return "KelvaskMousePadDevice"; }

    // ---- operations of the device base ----
    void InitPage() override { BuildPage(); }
    int LoadLighting() override;
    void OnConnected() override;
    void OnDeviceNotice() override { ReadOnboardSettings(); }
    // The status poll, only while the page is shown: a hidden page sends nothing.
    void PollStatus() override;
    int LoadProfile() override;
    void ShowProfile() override;
    void RestoreDefaults() override;
    // Writes the 21-byte block at 64 * slot (only slot 0 is ever passed). 1 when the pad took it
    // or the channel is closed (nothing is sent; WriteOutcome says so); the failed step's result
    // otherwise. A block never read from the pad is read first, so its bytes 9-20 are carried;
    // when that read fails nothing is written and the result is 0.
    int WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight) override;
    void LoadNameLists() override;
    void SetProfilePaths() override;
    std::string CurrentProfilePath() const override { return profile.GetProfilePath(); }
    void SaveProfile() override { profile.Save(); }

    // ---- the pad's own operations (after the base's, in this order) ----
    // Binds the LED buttons of "mousepad_device_key_light" (by name "key_" n / "light_" n and by
    // user data "light_" n), makes it the preview control and loads the name lists.
    virtual void BuildPage();
    LightSetting GetLightSetting() const { return lightSetting; }
    void StepWave() { engine.StepWave(); }
    void StepPairSweep() { engine.StepPairSweep(); }
    void StepRingSweep() { engine.StepRingSweep(); }

    // Re-reads the active slot's block: 1 when read; 0 (the copy unchanged) when the channel is
    // closed or a read fails. The profile and the page are not changed.
    int ReadOnboardSettings();

    // Gives the LEDs their own record (present flag set) or, with no record, takes theirs away;
    // stores the light list in the profile, saves it and reloads the lighting. LEDs outside the
    // pad are ignored. False when no LED was changed.
    bool SetLedRecords(const std::vector<int>& leds, const std::optional<LightSetting>& record);
    // The LED's record as the profile holds it (all zero when it has none).
    LightSetting LedRecord(int led) const;

    // ---- state read by the page and tests ----
    CBasicProfiledata& Profile() { return profile; }
    const MousePadSettingsBlock::Block& OnboardBlock() const { return onboardBlock; }
    bool OnboardBlockRead() const { return onboardRead; }
    WriteOutcome LastWriteOutcome() const { return lastWrite; }
    int LastWriteResult() const { return lastWriteResult; }
    const MouseNameLists& NameLists() const { return nameLists; }

protected:
    CBasicProfiledata* StoredProfile() override { return &profile; }
    // Whether the page is on screen (the status poll runs only then).
    virtual bool IsPageShown() const;
    // Remembers how a settings write ended and returns its result.
    int FinishWrite(WriteOutcome outcome, int result);

    CBasicProfiledata profile;
    MousePadSettingsBlock::Block onboardBlock{};
    bool onboardRead = false;
    MouseNameLists nameLists;
    WriteOutcome lastWrite = WriteOutcome::None;
    int lastWriteResult = 0;
};

} // namespace nq
