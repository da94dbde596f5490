#pragma once
// The mouse object as its Qt page runs it: the page operations of the mouse (building the page,
// showing a profile, key labels, key selection, LED previews) go to the page, and the key
// assignment editor reaches the mouse through IKeyAssignmentTarget, the lighting editor through
// LightEditorModel::Target.
#include "devices/CKelvaskMouseDevice.h"
#include "editors/IKeyAssignmentTarget.h"
#include "editors/LightEditorModel.h"

namespace nq::pages {

class CMousePageUI;

class CMousePageDevice : public CKelvaskMouseDevice, public IKeyAssignmentTarget, public LightEditorModel::Target {
public:
    CMousePageDevice() = default;

    void SetPageUI(CMousePageUI* page) { m_pageUI = page; }

    // ---- device operations that involve the page ----
    void InitPage() override;
    void ShowProfile() override;
    void RefreshKeyLabels() override;
    void SetSelectedKey(int index) override;
    void OutputLightFrame() override;
    void SetPageState(int code) override;

    // ---- IKeyAssignmentTarget ----
    void SetSelectedKeyEntry(const KeyEntry& entry) override { CKelvaskMouseDevice::SetSelectedKeyEntry(entry); }
    int WriteMacrosToDevice() override { return CKelvaskMouseDevice::WriteMacrosToDevice(); }
    // The key table write's outcome is shown on the page as well.
    int WriteAssignmentsToDevice(int bank) override
    {
        const int result = CKelvaskMouseDevice::WriteAssignmentsToDevice(bank);
        ReportDeviceWrite(result);
        return result;
    }
    // The key editor's save runs on the mouse's transfer worker; its outcome comes back to the page.
    void SubmitKeySave(int bank, std::function<void(const KeySaveResult&)> done) override
    {
        CKelvaskMouseDevice::SubmitKeySave(bank, std::move(done));
    }
    void SaveProfile() override { CKelvaskMouseDevice::SaveProfile(); }
    bool RevertKeyEdits(KeyEntry& selectedEntry) override { return CKelvaskMouseDevice::RevertKeyEdits(selectedEntry); }

    // ---- LightEditorModel::Target ----
    int LightDeviceType() const override { return DeviceType(); }
    LightSetting LightRecord(LightEditorModel::Panel panel) const override;
    void StoreLightRecord(LightEditorModel::Panel panel, const LightSetting& record) override;
    int LoadLighting() override { return CKelvaskMouseDevice::LoadLighting(); }
    int WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight) override
    {
        return CKelvaskMouseDevice::WriteSettingsToDevice(slot, byte0, flag, screenWidth, screenHeight);
    }
    // The lighting editor's writes show their outcome on the page.
    void SendLightingToDevice(int screenWidth, int screenHeight) override
    {
        SubmitSettingsWrite(0, 0, 1, screenWidth, screenHeight);
    }
    void SetLightingSynced(bool synced) override { Channel().SetLightingSynced(synced); }
    bool IsLightChannelOpen() const override { return const_cast<CMousePageDevice*>(this)->Channel().IsOpen(); }
    void ShowMainLighting(const LightSetting& record) override;

    // The page binding of InitPage needs the protected button lists.
    void BindKeyButton(int index, IPageControl* button);
    void BindLightButton(int index, IPageControl* button);
    // The base frame output (second sequence and logo are the page's).
    void OutputBaseLightFrame() { CKelvaskMouseDevice::OutputLightFrame(); }

private:
    CMousePageUI* m_pageUI = nullptr;
};

} // namespace nq::pages
