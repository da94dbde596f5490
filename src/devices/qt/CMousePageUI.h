#pragma once
// The mouse page ("KelvaskMouseDevice", layout "XML\DeviceXml\mousedevice.xml"): the device
// picture with its key and LED buttons, DPI stage rows, report-rate options, pointer controls, the
// key summary list, the key assignment editor and the lighting editor. It owns its mouse object and carries out the
// mouse's page operations; the main window hands it the notifications of its controls (Notify).
//
// Every accepted change is stored in the mouse object and its profile, the profile file is saved,
// and the DPI and report-rate changes are written to the device at once. The pointer controls are
// kept in the profile only; their desktop values are computed (OsPointerSettings) but this build
// leaves the desktop's own pointer settings alone.
#include "editors/qt/CDevicePageUI.h"
#include "profiles/DpiStage.h"
#include "ui/TNotify.h"

#include "editors/qt/CDeviceKeyButtonUI.h"
#include "editors/qt/CKeySetControlUI.h"
#include "editors/qt/CLightControlUI.h"
#include "macros/qt/CMacroControlUI.h"

#include <QListWidget>
#include <QPointer>

#include <array>
#include <functional>
#include <vector>

namespace nq::pages {

class CMousePageDevice;

class CMousePageUI : public CDevicePageUI, public ui::INotifyUI {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "KelvaskMouseDevice";
    static constexpr const char* kLayoutName = "XML\\DeviceXml\\mousedevice.xml";
    static constexpr int kDpiRows = 5;
    static constexpr int kPollingOptions = 5;
    // Language keys of the key names by key index.
    static constexpr std::array<const char*, 10> MOUSE_KEY_NAMES = {
        "mouse_key_left",     "mouse_key_right",  "mouse_key_middle",   "mouse_key_forward",
        "mouse_key_back",     "mouse_key_DPI_add", "mouse_key_DPI_sub", "mouse_key_DPI_loop",
        "keyboard_key_GM",    "mouse_key_M8_key"};

    // The values the pointer controls stand for on the desktop. The profile keeps the desktop's
    // own values: the speed slider runs 1-20, the double-click slider 200-900 ms.
    struct PointerSettings {
        int speed = 0;          // 1-20
        bool precision = false;
        int wheelLines = 0;     // 255: a page per notch
        int doubleClickMs = 0;
        bool operator==(const PointerSettings&) const = default;
    };

    explicit CMousePageUI(QWidget* parent = nullptr);
    ~CMousePageUI() override;

    // Registers the mouse page and the key assignment editor with the control factory (replacing
    // the plain mouse page) and adds the page's texts to the loaded language.
    static void RegisterClasses();
    // Adds the texts of skin/lang/mouse_<language>.json that the loaded language lacks.
    static void MergePageTexts();

    CMousePageDevice& Mouse();

    // ---- page operations ----
    void BuildPage();
    void ShowProfilePage();
    void SelectOptionPage(int n);
    void ShowDpiStage(int i, bool enabled);
    bool IsDpiStageChecked(int i) const;
    void SetDpiSlider(int i, int value);
    // The device reports a DPI step (its information was read and it has DPI stages).
    bool HasDpiStep() const;
    // Enables the DPI rows, or marks them unavailable when the device reports no DPI step.
    void ShowDpiAvailability();
    int GetDpiSlider(int i) const;
    int ReadDpiEdit(int i) const;
    void SelectPollingOption(int n);
    int SelectedPollingOption() const;
    void RefreshKeyLabelsPage();
    void ShowSelectedKey(int index);
    void OutputLightFramePage();
    // Marks the function tab option of a page state selected (without raising events).
    void ShowFunctionTab(int code);
    // The lighting editor shows the record's main zone.
    void ShowLighting(const LightSetting& record);

    // Pointer controls (0 when the control is missing).
    int PointerSpeed() const;
    void SetPointerSpeed(int value);
    bool PointerPrecision() const;
    void SetPointerPrecision(bool on);
    int ScrollSpeed() const;
    void SetScrollSpeed(int value);
    bool ScrollsPage() const;
    void SetScrollsPage(bool on);
    int DoubleClick() const;
    void SetDoubleClick(int value);
    const PointerSettings& OsPointerSettings() const { return m_pointer; }

    // A click on key button `position` while the page is on its key tab: the mouse keeps one key
    // that clicks left, so selecting the only such key is refused with "message_text_6". True
    // when the key was selected.
    bool OnKeyClick(int position);

    // The notifications of the page's controls; HandleNotify tells whether the page took it.
    void Notify(const ui::TNotify& msg) override;
    bool HandleNotify(const ui::TNotify& msg);

    CKeySetControlUI* KeyEditor() const { return m_keyEditor; }
    CLightControlUI* LightEditor() const { return m_lightEditor; }
    CMacroControlUI* MacroEditor() const { return m_macroEditor; }
    QListWidget* KeySummary() const { return m_keySummary; }
    CDeviceKeyButtonUI* LedButton(int index) const;
    CDeviceKeyButtonUI* LogoButton() const { return m_logoButton; }

private:
    // Changes DPI stage i in the mouse and its profile, saves the profile and sends the settings.
    void ChangeStage(int i, const std::function<void(DpiStage&)>& change);
    void StoreWord(int half, int value);
    void SendSettings();
    void ApplyPointerSettings();
    void ShowActiveStageSliders();
    // The hint under the picture tells the DPI range of the sensor and the DPI a stage took.
    void ShowDpiRange(int taken);
    void EnsureSummaryRows(int count);

    CMousePageDevice* m_mouse = nullptr;
    QPointer<CKeySetControlUI> m_keyEditor;
    QPointer<CLightControlUI> m_lightEditor;
    QPointer<CMacroControlUI> m_macroEditor;
    QPointer<QListWidget> m_keySummary;
    QPointer<CDeviceKeyButtonUI> m_logoButton;
    QPointer<QWidget> m_previewPanel;
    QPointer<QWidget> m_ledPreviewPanel;
    std::vector<QPointer<CDeviceKeyButtonUI>> m_ledButtons; // the "light_0_" sequence
    PointerSettings m_pointer;
};

} // namespace nq::pages
