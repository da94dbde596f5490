#pragma once
// The mouse object as its Qt page runs it: the page operations of the mouse (building the page,
// showing a profile, key labels, key selection, LED previews) go to the page, and the key
// assignment editor reaches the mouse through IKeyAssignmentTarget.
#include "devices/CKelvaskMouseDevice.h"
#include "editors/IKeyAssignmentTarget.h"

namespace nq::pages {

class CMousePageUI;

class CMousePageDevice : public CKelvaskMouseDevice, public IKeyAssignmentTarget {
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
    int WriteAssignmentsToDevice(int bank) override { return CKelvaskMouseDevice::WriteAssignmentsToDevice(bank); }
    void SaveProfile() override { CKelvaskMouseDevice::SaveProfile(); }

    // The page binding of InitPage needs the protected button lists.
    void BindKeyButton(int index, IPageControl* button);
    void BindLightButton(int index, IPageControl* button);
    // The base frame output (second sequence and logo are the page's).
    void OutputBaseLightFrame() { CKelvaskMouseDevice::OutputLightFrame(); }

private:
    CMousePageUI* m_pageUI = nullptr;
};

} // namespace nq::pages
