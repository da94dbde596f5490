#pragma once
// The mousepad object as its Qt page runs it: building the page and showing a profile go to the
// page, the lighting editor reaches the pad through LightEditorModel::Target, and every settings
// write ends with the page telling how it went.
#include "devices/CKelvaskMousePadDevice.h"
#include "editors/LightEditorModel.h"

namespace nq::pages {

class CMousePadPageUI;

class CMousePadPageDevice : public CKelvaskMousePadDevice, public LightEditorModel::Target {
public:
    CMousePadPageDevice() = default;

    void SetPageUI(CMousePadPageUI* page) { m_pageUI = page; }

    // ---- device operations that involve the page ----
    void BuildPage() override;
    void ShowProfile() override;
    // The outcome of each settings write goes to the page's status line.
    int WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight) override;

    // ---- LightEditorModel::Target ----
    int LightDeviceType() const override { return DeviceType(); }
    LightSetting LightRecord(LightEditorModel::Panel) const override { return MainLightSetting(); }
    void StoreLightRecord(LightEditorModel::Panel panel, const LightSetting& record) override;
    void SaveProfile() override { CKelvaskMousePadDevice::SaveProfile(); }
    int LoadLighting() override { return CKelvaskMousePadDevice::LoadLighting(); }
    void SetLightingSynced(bool synced) override { Channel().SetLightingSynced(synced); }
    bool IsLightChannelOpen() const override { return const_cast<CMousePadPageDevice*>(this)->Channel().IsOpen(); }
    void ShowMainLighting(const LightSetting& record) override;

protected:
    bool IsPageShown() const override;

private:
    CMousePadPageUI* m_pageUI = nullptr;
};

} // namespace nq::pages
