#include "devices/qt/CKeyboardPageDevice.h"

#include "common/Result.h"
#include "devices/qt/CKeyboardPageUI.h"

namespace nq::pages {

void CKeyboardPageDevice::InitPage()
{
    if (pageXmlName.empty() || !m_pageUI) {
        CKelvaskKeyboardDevice::InitPage();
        return;
    }
    BuildPage();
    AttachProfileList();
}

void CKeyboardPageDevice::BuildPage()
{
    if (m_pageUI)
        m_pageUI->BuildPage();
}

void CKeyboardPageDevice::ShowSystemSettings()
{
    if (m_pageUI)
        m_pageUI->ShowSystemSettingsPage();
}

void CKeyboardPageDevice::ShowLightRecords()
{
    if (m_pageUI)
        m_pageUI->ShowLightRecordsPage();
}

void CKeyboardPageDevice::ShowCustomGroup(int group)
{
    if (m_pageUI)
        m_pageUI->ShowCustomGroupPage(group);
}

void CKeyboardPageDevice::EnableFnKey(bool on)
{
    if (m_pageUI)
        m_pageUI->EnableFnKeyPage(on);
}

void CKeyboardPageDevice::SetSelectedKey(int index)
{
    CKelvaskKeyboardDevice::SetSelectedKey(index);
    if (m_pageUI)
        m_pageUI->ShowSelectedKey(index);
}

void CKeyboardPageDevice::RefreshKeyLabels()
{
    if (m_pageUI)
        m_pageUI->RefreshKeyLabelsPage();
}

void CKeyboardPageDevice::Report(int result)
{
    std::string key;
    switch (result) {
    case kOk: break;
    case kNotOpen: key = Channel().IsOpen() ? "keyboard_write_failed" : "keyboard_write_not_connected"; break;
    case kRefusedFF:
    case kRefusedFE: key = "keyboard_write_refused"; break;
    default: key = result > 0 ? "keyboard_write_too_large" : "keyboard_write_failed"; break;
    }
    ReportWriteOutcome(key);
}

int CKeyboardPageDevice::WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight)
{
    const int result = CKelvaskKeyboardDevice::WriteSettingsToDevice(slot, byte0, flag, screenWidth, screenHeight);
    Report(result);
    return result;
}

int CKeyboardPageDevice::WriteAssignmentsToDevice(int bank)
{
    const int result = CKelvaskKeyboardDevice::WriteAssignmentsToDevice(bank);
    Report(result);
    return result;
}

int CKeyboardPageDevice::WriteMacrosToDevice()
{
    // 0 is success here; the macro editor tells the user about an image that does not fit.
    const int result = CKelvaskKeyboardDevice::WriteMacrosToDevice();
    if (result <= 0)
        Report(result == 0 ? kOk : result);
    return result;
}

void CKeyboardPageDevice::SubmitKeySave(int bank, std::function<void(const KeySaveResult&)> done)
{
    CKelvaskKeyboardDevice::SubmitKeySave(bank, [this, done = std::move(done)](const KeySaveResult& result) {
        // Macros that do not fit are told by the editor; anything else that failed is shown here.
        if (result.macros == 0)
            Report(result.keys);
        else if (result.macros < 0)
            Report(result.macroWrite != kOk ? result.macroWrite : kWriteFailed);
        if (done)
            done(result);
    });
}

int CKeyboardPageDevice::WriteCustomColours()
{
    const int result = CKelvaskKeyboardDevice::WriteCustomColours();
    // Outside the custom effect nothing is due, and nothing is reported.
    if (GetLightSetting()[LightSetting::kEffect] == kCustomEffect)
        Report(result);
    return result;
}

int CKeyboardPageDevice::PaintKeysOnPage(const std::vector<int>& positions)
{
    const int result = PaintKeys(positions);
    Report(result);
    return result;
}

LightSetting CKeyboardPageDevice::LightRecord(LightEditorModel::Panel panel) const
{
    return ZoneLightSetting(static_cast<int>(panel));
}

void CKeyboardPageDevice::StoreLightRecord(LightEditorModel::Panel panel, const LightSetting& record)
{
    SetZoneLightSetting(static_cast<int>(panel), LightEditorModel::WordsOf(record));
}

void CKeyboardPageDevice::ShowMainLighting(const LightSetting& record)
{
    if (m_pageUI)
        m_pageUI->ShowMainLightingPage(record);
}

} // namespace nq::pages
