#pragma once
// The keyboard page ("KelvaskKeyboardDevice", layout "XML\DeviceXml\keyboarddevice.xml"): three
// pictures of the keyboard (keys, logo LEDs, side LEDs) drawn from the layout data
// "XML/DeviceXml/keyboard_layout.json", their live previews, the key assignment labels, the
// lighting editor with the key, logo and side zones, the key assignment editor bound to a clicked
// key, the system settings and the Win lock, WASD swap and 6-key indicators. It owns its keyboard
// object and carries out the keyboard's page operations; the main window hands it the
// notifications of its controls (Notify).
//
// Every accepted change is stored in the keyboard and its profile, the profile file is saved, and
// what the keyboard keeps is written to it at once. A write the keyboard refused, or one that never
// reached it, is shown in the page's status line until the next write succeeds.
#include "devices/KeyboardPictureLayout.h"
#include "editors/qt/CDevicePageUI.h"
#include "editors/qt/CKeySetControlUI.h"
#include "editors/qt/CLightControlUI.h"
#include "macros/qt/CMacroControlUI.h"
#include "profiles/KeyboardSystemWords.h"
#include "ui/TNotify.h"

#include <QPointer>

#include <array>
#include <functional>
#include <vector>

namespace nq::pages {

class CKeyboardPageDevice;
class CKeyCapButtonUI;

class CKeyboardPageUI : public CDevicePageUI, public ui::INotifyUI {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "KelvaskKeyboardDevice";
    static constexpr const char* kLayoutName = "XML\\DeviceXml\\keyboarddevice.xml";
    static constexpr int kViews = 3;
    static constexpr int kOptionCount = 4; // polling rate, scan delay and repeat delay options
    static constexpr int kCustomGroups = 8;
    static constexpr int kLedModes = 4;

    explicit CKeyboardPageUI(QWidget* parent = nullptr);
    ~CKeyboardPageUI() override;

    // Registers the keyboard page (replacing the plain one) and adds the page's texts.
    static void RegisterClasses();
    // Adds the texts of skin/lang/keyboard_<language>.json that the loaded language lacks.
    static void MergePageTexts();

    CKeyboardPageDevice& Keyboard() { return *m_keyboard; }

    // ---- page operations ----
    void BuildPage();
    void SelectKeyboardView(int view);
    // Shows or hides the logo and side view options; the current view stays.
    void ShowViewOptions(bool flag);
    void RefreshKeyLabelsPage();
    void ShowSystemSettingsPage();
    void ShowLightRecordsPage();
    void ShowCustomGroupPage(int group);
    void ShowMainLightingPage(const LightSetting& record);
    void EnableFnKeyPage(bool on);
    void ShowSelectedKey(int index);

    // ---- system setting controls ----
    // Option N of a group of four selected (a value outside 0-3 selects option 0), the others clear.
    void SelectOptionGroup(const char* prefix, int value);
    int SelectedOption(const char* prefix) const;
    void ShowRepeatDelay(int option);
    void ShowIndicators();

    // A click on key `position`: on the key tab the key goes to the key assignment editor; on
    // the lighting tab in the custom effect the key is painted. True when it did either.
    bool OnKeyClick(int position);

    void Notify(const ui::TNotify& msg) override;
    bool HandleNotify(const ui::TNotify& msg);

    CKeySetControlUI* KeyEditor() const { return m_keyEditor; }
    CLightControlUI* LightEditor() const { return m_lightEditor; }
    CMacroControlUI* MacroEditor() const { return m_macroEditor; }
    CKeyCapButtonUI* KeyCap(int position) const;
    const KeyboardPictureLayout& PictureLayout() const { return m_layout; }

protected:
    // The preview engine computes only while the page can be seen.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Stores changed system words, saves the profile and, when `write`, sends the block.
    void ChangeWords(const std::function<void(KeyboardSystemWords&)>& change, bool write);
    void PaintSelectedKeys();

    CKeyboardPageDevice* m_keyboard = nullptr;
    KeyboardPictureLayout m_layout;
    QPointer<CKeySetControlUI> m_keyEditor;
    QPointer<CLightControlUI> m_lightEditor;
    QPointer<CMacroControlUI> m_macroEditor;
    std::array<QPointer<QWidget>, kViews> m_pictures;
};

} // namespace nq::pages
