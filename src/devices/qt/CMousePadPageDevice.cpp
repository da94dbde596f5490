#include "devices/qt/CMousePadPageDevice.h"

#include "devices/qt/CMousePadPageUI.h"

namespace nq::pages {

void CMousePadPageDevice::BuildPage()
{
    if (m_pageUI && !pageXmlName.empty())
        m_pageUI->BuildPicture();
    CKelvaskMousePadDevice::BuildPage();
    if (m_pageUI && !pageXmlName.empty()) {
        m_pageUI->BuildEditors();
        AttachProfileList();
    }
}

void CMousePadPageDevice::ShowProfile()
{
    CKelvaskMousePadDevice::ShowProfile();
    if (m_pageUI)
        m_pageUI->ShowProfilePage();
}

int CMousePadPageDevice::WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight)
{
    const int result = CKelvaskMousePadDevice::WriteSettingsToDevice(slot, byte0, flag, screenWidth, screenHeight);
    switch (LastWriteOutcome()) {
    case WriteOutcome::NotConnected: ReportWriteOutcome("mousepad_write_not_connected"); break;
    case WriteOutcome::Failed: ReportWriteOutcome("mousepad_write_failed"); break;
    case WriteOutcome::Written: ReportWriteOutcome({}); break;
    case WriteOutcome::None: break;
    }
    return result;
}

void CMousePadPageDevice::StoreLightRecord(LightEditorModel::Panel panel, const LightSetting& record)
{
    if (panel == LightEditorModel::Panel::Main)
        SetLightSetting(LightEditorModel::WordsOf(record)); // also into the profile
}

void CMousePadPageDevice::ShowMainLighting(const LightSetting& record)
{
    if (m_pageUI)
        m_pageUI->ShowLighting(record);
}

bool CMousePadPageDevice::IsPageShown() const
{
    return m_pageUI && m_pageUI->isVisible();
}

} // namespace nq::pages
