#pragma once
// The mousepad page ("KelvaskMousePadDevice", layouts "XML\DeviceXml\mousepaddevice.xml" and, for
// the charging pad, "XML\DeviceXml\chargepaddevice.xml"): a picture of the pad with its LEDs where
// they sit around its edge (from the layout data file the page root names in its "ledLayout"
// property), live previews of the LED colours, the lighting editor with the pad's effect list,
// the per-LED records (pick LEDs on the picture by click or drag, give them a record effect) and
// room for the profile list. A change that did not reach the pad is said in the page's status line.
//
// The page owns its pad object and only copies values between the widgets and the pad; the
// main window hands it the notifications of its controls (Notify). When the page appears, a pad
// that polls its status polls at once, so its power display is current.
#include "editors/qt/CDevicePageUI.h"
#include "ui/TNotify.h"

#include "editors/qt/CDeviceKeyButtonUI.h"
#include "editors/qt/CLightControlUI.h"

#include <QPointer>

#include <array>
#include <vector>

namespace nq::pages {

class CMousePadPageDevice;

class CMousePadPageUI : public CDevicePageUI, public ui::INotifyUI {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "KelvaskMousePadDevice";
    static constexpr const char* kLayoutName = "XML\\DeviceXml\\mousepaddevice.xml";
    static constexpr const char* kChargePadLayoutName = "XML\\DeviceXml\\chargepaddevice.xml";
    static constexpr const char* kLightPanel = "mousepad_device_key_light";
    // The record effect combo: position 0 takes the LEDs' own records away, position p gives
    // them record effect p - 1 (breathing, static, flash, colour cycle, off).
    static constexpr std::array<const char*, 6> RECORD_EFFECT_KEYS = {
        "mousepad_led_own_none", "mousepad_led_own_breathing", "mousepad_led_own_static",
        "mousepad_led_own_flash", "mousepad_led_own_cycle",     "mousepad_led_own_off"};

    explicit CMousePadPageUI(QWidget* parent = nullptr);
    ~CMousePadPageUI() override;

    // Registers the pad page with the control factory (replacing the plain one) and adds its texts.
    static void RegisterClasses();
    static void MergePageTexts();

    CMousePadPageDevice& Pad();

    // ---- page operations ----
    // The pad's picture and one LED button per LED of the layout data file.
    void BuildPicture();
    // The lighting editor and the record panel (after the pad has bound its LEDs).
    void BuildEditors();
    void ShowProfilePage();
    void ShowLighting(const LightSetting& record);

    // ---- LED picking and records ----
    std::vector<int> PickedLeds() const;
    void PickLed(int led, bool picked);
    void ClearPicks();
    // Gives the picked LEDs the record effect of combo position `position` (0: their own record
    // is taken away) with the brightness, speed, direction, multicolour flag and colour of the
    // pad's main lighting. False when no LED is picked.
    bool ApplyRecordEffect(int position);

    void Notify(const ui::TNotify& msg) override;
    bool HandleNotify(const ui::TNotify& msg);

    CLightControlUI* LightEditor() const { return m_lightEditor; }
    CDeviceKeyButtonUI* LedButton(int index) const;
    QWidget* Picture() const { return m_panel; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowPickState();
    void ShowRecordStatus(const QString& key, int count = -1);

    CMousePadPageDevice* m_pad = nullptr;
    QPointer<QWidget> m_panel;
    QPointer<CLightControlUI> m_lightEditor;
    std::vector<QPointer<CDeviceKeyButtonUI>> m_ledButtons;
};

} // namespace nq::pages
