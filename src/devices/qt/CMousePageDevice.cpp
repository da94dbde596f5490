#include "devices/qt/CMousePageDevice.h"

#include "devices/qt/CMousePageUI.h"

namespace nq::pages {

void CMousePageDevice::InitPage()
{
    if (pageXmlName.empty() || !m_pageUI) {
        CKelvaskMouseDevice::InitPage();
        return;
    }
    m_pageUI->BuildPage();
    AttachProfileList();
}

void CMousePageDevice::ShowProfile()
{
    CKelvaskMouseDevice::ShowProfile();
    if (m_pageUI)
        m_pageUI->ShowProfilePage();
}

void CMousePageDevice::RefreshKeyLabels()
{
    if (m_pageUI)
        m_pageUI->RefreshKeyLabelsPage();
}

void CMousePageDevice::SetSelectedKey(int index)
{
    CKelvaskMouseDevice::SetSelectedKey(index);
    if (m_pageUI)
        m_pageUI->ShowSelectedKey(index);
}

void CMousePageDevice::OutputLightFrame()
{
    if (m_pageUI)
        m_pageUI->OutputLightFramePage();
    else
        CKelvaskMouseDevice::OutputLightFrame();
}

void CMousePageDevice::SetPageState(int code)
{
    CKelvaskMouseDevice::SetPageState(code);
    if (m_pageUI)
        m_pageUI->ShowFunctionTab(code);
}

LightSetting CMousePageDevice::LightRecord(LightEditorModel::Panel panel) const
{
    return ZoneLightSetting(static_cast<int>(panel));
}

void CMousePageDevice::StoreLightRecord(LightEditorModel::Panel panel, const LightSetting& record)
{
    SetZoneLightSetting(static_cast<int>(panel), LightEditorModel::WordsOf(record));
}

void CMousePageDevice::ShowMainLighting(const LightSetting& record)
{
    if (m_pageUI)
        m_pageUI->ShowLighting(record);
}

void CMousePageDevice::BindKeyButton(int index, IPageControl* button)
{
    if (index >= 0 && index < static_cast<int>(keyButtons.size()))
        keyButtons[static_cast<size_t>(index)] = button;
}

void CMousePageDevice::BindLightButton(int index, IPageControl* button)
{
    if (index >= 0 && index < static_cast<int>(lightButtons.size()))
        lightButtons[static_cast<size_t>(index)] = button;
}

} // namespace nq::pages
