#pragma once
// The lighting editor of a device page ("LightControl", found as "LightControlItem"): a horizontal
// container that builds its controls from "XML\CustomControlXML\LightControl.xml". It shows one
// zone of the device's lighting record per panel (main; logo "LightTab1_"; St "LightTab2_") and
// hands every user change to LightEditorModel, which stores it in the device, the profile file and
// the device at once. Any control may be missing from the layout: operations on it are skipped,
// getters give -1 for positions, 0 for flags and values, an empty text for edits.
//
// The colour palette "deng_Color_Pallet" is a plain widget the editor paints (hue across,
// saturation down); a click or drag picks a colour, releasing the button raises "colorchanged".
// Its colour is kept in the property "selectedColour"; the preset buttons "color_option_" n carry
// theirs in "bkcolor".
#include "editors/LightEditorModel.h"
#include "ui/TNotify.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nq::pages {

class CLightControlUI : public QWidget {
    Q_OBJECT
public:
    using Panel = LightEditorModel::Panel;
    static constexpr const char* kClassName = "LightControl";
    static constexpr const char* kLayoutName = "XML\\CustomControlXML\\LightControl.xml";
    static constexpr int kItemHeight = 30;

    explicit CLightControlUI(QWidget* parent = nullptr);
    ~CLightControlUI() override;

    // Registers the class under its skin name, its class name and "LightSetControlUI" with the
    // control factory and adds the editor's texts to the loaded language.
    static void RegisterClass();
    // Adds the texts of skin/lang/light_<language>.json that the loaded language lacks.
    static void MergeTexts();

    void SetTarget(LightEditorModel::Target* target) { m_model->SetTarget(target); }
    LightEditorModel& Model() { return *m_model; }
    void SetDeviceType(int type) { m_model->SetDeviceType(type); }
    int DeviceType() const { return m_model->DeviceType(); }
    // The keyboard's editor: the logo ("LightTab1_") and side ("LightTab2_") panels as two more
    // copies of the layout, all three in the tab layout "Light_seting_layout" (page 0 main, 1 logo,
    // 2 side), the main panel's custom colour group, LED mode and custom colour controls
    // ("XML\CustomControlXML\LightControlKeyboard.xml") and the logo panel's on/off option
    // ("XML\CustomControlXML\LightControlLogo.xml"). Does nothing when the panels exist.
    void AddKeyboardPanels();
    // Stores the flag and applies the effect switch again for the main panel's effect.
    void SetSameModePermission(int flag);
    // The devices same mode reaches (the main window's lists, keyboards first); without it, the
    // editor's own device only.
    std::function<std::vector<LightEditorModel::SameModeDevice>()> sameModeDevices;

    // Empties the panel's effect combo and adds one item per name (a language key, shown
    // translated, kept as the item's data; hidden unless its flag is set); sets the slider maxima.
    void FillEffects(Panel panel, const std::vector<std::string>& names, const std::vector<bool>& visible,
                     int highestBrightness, int highestSpeed);
    // Fills the panel's controls from the record's zone, without raising events.
    void Show(Panel panel, const LightSetting& record);
    // Enables, shows and captions the panel's sub-panels for an effect.
    void ApplyEffectSwitch(Panel panel, int effect);

    // ---- controls ----
    int EffectPosition(Panel panel) const;
    void SetEffectPosition(Panel panel, int position);
    int Brightness(Panel panel) const;
    void SetBrightness(Panel panel, int value);
    int Speed(Panel panel) const;
    void SetSpeed(Panel panel, int value);
    // 1 when "deng_FXL_check" is selected, 0 otherwise.
    int Direction(Panel panel) const;
    void SetDirection(Panel panel, int direction);
    bool MultiColour(Panel panel) const;
    void SetMultiColour(Panel panel, bool on, bool notify);
    // channel 0 red, 1 green, 2 blue.
    QString ComponentText(Panel panel, int channel) const;
    void SetComponentText(Panel panel, int channel, const QString& text);
    // 0xFF000000 when the palette is missing.
    uint32_t PaletteColour(Panel panel) const;
    void SetPaletteColour(Panel panel, uint32_t word);
    // 0 when the preset button is missing.
    uint32_t PresetColour(Panel panel, int n) const;
    uint32_t ShownColour(Panel panel) const;
    int CustomGroup() const;
    void SetCustomGroup(int position);
    int LedMode() const;
    void SetLedMode(int position);
    bool LogoLight() const;
    void SetLogoLight(bool on);

    // Handles the notifications of the editor's controls; false for any other sender.
    bool HandleNotify(const ui::TNotify& msg);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Control(Panel panel, const char* name) const;
    void BindPanel(Panel panel);
    // After a colour was stored: edits, multicolour check, palette and colour button.
    void ShowColour(Panel panel, uint32_t word, bool palette);
    // The preset button of exactly this colour carries the selection ring (property
    // "selectedSwatch"); no other does.
    void MarkPreset(Panel panel, uint32_t word);
    // A colour edit left or confirmed with Enter.
    void OnComponentEdited(Panel panel, int channel);
    void PaintPalette(QWidget* palette);
    void PickColour(QWidget* palette, const QPoint& at);
    static QRgb PaletteColourAt(const QSize& size, const QPoint& at);

    std::unique_ptr<LightEditorModel> m_model;
    QWidget* m_root = nullptr;
    QImage m_paletteImage;
};

} // namespace nq::pages
