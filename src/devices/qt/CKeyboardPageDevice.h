#pragma once
// The keyboard object as its Qt page runs it: the page operations of the keyboard go to the page;
// the key assignment editor reaches the keyboard through IKeyAssignmentTarget and the lighting
// editor through LightEditorModel::Target. Every write's result goes to the page's status line,
// which tells the user when the keyboard did not take it.
#include "devices/CKelvaskKeyboardDevice.h"
#include "editors/IKeyAssignmentTarget.h"
#include "editors/LightEditorModel.h"

namespace nq::pages {

class CKeyboardPageUI;

class CKeyboardPageDevice : public CKelvaskKeyboardDevice, public IKeyAssignmentTarget, public LightEditorModel::Target {
public:
    CKeyboardPageDevice() = default;

    void SetPageUI(CKeyboardPageUI* page) { m_pageUI = page; }

    // ---- device operations that involve the page ----
    void InitPage() override;
    void BuildPage() override;
    void ShowSystemSettings() override;
    void ShowLightRecords() override;
    void ShowCustomGroup(int group) override;
    void EnableFnKey(bool on) override;
    void SetSelectedKey(int index) override;
    void SetPageState(int code) override { CKelvaskKeyboardDevice::SetPageState(code); }

    // ---- writes, reported to the page ----
    int WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight) override;
    int WriteAssignmentsToDevice(int bank) override;
    int WriteMacrosToDevice() override;
    // The key editor's save runs on the keyboard's transfer worker; its outcome is reported as the
    // two writes above report theirs.
    void SubmitKeySave(int bank, std::function<void(const KeySaveResult&)> done) override;
    int WriteCustomColours() override;

    // ---- IKeyAssignmentTarget ----
    void SetSelectedKeyEntry(const KeyEntry& entry) override { CKelvaskKeyboardDevice::SetSelectedKeyEntry(entry); }
    void RefreshKeyLabels() override;
    void SaveProfile() override { CKelvaskKeyboardDevice::SaveProfile(); }

    // ---- LightEditorModel::Target ----
    int LightDeviceType() const override { return DeviceType(); }
    LightSetting LightRecord(LightEditorModel::Panel panel) const override;
    void StoreLightRecord(LightEditorModel::Panel panel, const LightSetting& record) override;
    int LoadLighting() override { return CKelvaskKeyboardDevice::LoadLighting(); }
    void SetLightingSynced(bool synced) override { Channel().SetLightingSynced(synced); }
    bool IsLightChannelOpen() const override { return const_cast<CKeyboardPageDevice*>(this)->Channel().IsOpen(); }
    void SetCustomGroup(int group) override { CKelvaskKeyboardDevice::SetCustomGroup(group); }
    void LoadCustomGroup() override { CKelvaskKeyboardDevice::LoadCustomGroup(); }
    void ShowMainLighting(const LightSetting& record) override;

    // Paints keys in the custom effect and reports the write.
    int PaintKeysOnPage(const std::vector<int>& positions);

private:
    void Report(int result);
    CKeyboardPageUI* m_pageUI = nullptr;
};

} // namespace nq::pages
