#pragma once
// The logic of the lighting editor without its widgets.
//
// An editor has up to three panels: the main panel edits bytes 0-11 (and the keyboard's custom
// colour group, byte 30) of the device's main lighting record, the logo panel (control names
// prefixed "LightTab1_") bytes 12-21 of the logo record, the St panel ("LightTab2_") bytes 22-29
// of the St record. Every accepted change goes straight into the device's record, is stored in
// the profile file and is written to the device: the record is put back with the zone's setter,
// the profile saved, the lighting reloaded and the settings written (slot 0, byte 0, flag 1,
// screen size). There is no apply or cancel.
//
// Which sub-panels an effect can use is given by SwitchFor, per device type and panel, as a list of
// control changes the widget side carries out in order.
#include "profiles/LightSetting.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nq {

class LightEditorModel {
public:
    enum class Panel { Main = 0, Logo = 1, St = 2 };
    static constexpr int kPanels = 3;
    static constexpr std::array<const char*, kPanels> kPanelPrefixes = {"", "LightTab1_", "LightTab2_"};

    // Device types the editor tells apart.
    static constexpr int kKeyboard = 1, kMouse = 2, kMousePad = 3, kHeadset = 7;

    // What the editor needs from the device whose lighting it edits.
    class Target {
    public:
        virtual ~Target() = default;
        virtual int LightDeviceType() const = 0;
        // A copy of the panel's record (main, logo or St).
        virtual LightSetting LightRecord(Panel panel) const = 0;
        // Puts the record back with the zone's setter (the main record also goes into the profile).
        virtual void StoreLightRecord(Panel panel, const LightSetting& record) = 0;
        virtual void SaveProfile() = 0;
        virtual int LoadLighting() = 0;
        virtual int WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int screenWidth, int screenHeight) = 0;
        // How an accepted change reaches the device: a device that shows the outcome on its page
        // and keeps page, profile and device together overrides it.
        virtual void SendLightingToDevice(int screenWidth, int screenHeight)
        {
            WriteSettingsToDevice(0, 0, 1, screenWidth, screenHeight);
        }
        // The command channel's flag: the device shows a lighting set by same mode.
        virtual void SetLightingSynced(bool synced) = 0;
        virtual bool IsLightChannelOpen() const = 0;
        // Keyboard only: the custom effect's colour group.
        virtual void SetCustomGroup(int /*group*/) {}
        virtual void LoadCustomGroup() {}
        // Shows the main record on the device's own lighting editor (same mode reaches every
        // device, not only the one whose page is open).
        virtual void ShowMainLighting(const LightSetting& /*record*/) {}
    };

    // One change of a control: enable/disable, show/hide, or a new text (language key). Control
    // names are given without the panel prefix; the same-mode button is "deng_same_mode".
    struct ControlChange {
        enum Kind { Enable, Show, Text } kind;
        std::string control;
        bool on = false;
        std::string text;
    };
    struct EffectSwitch {
        std::vector<ControlChange> changes;
        // The state the changes leave for a control (the last change of that kind), or nothing
        // when the switch does not touch it.
        std::optional<bool> Enabled(const std::string& control) const;
        std::optional<bool> Shown(const std::string& control) const;
        std::optional<std::string> TextOf(const std::string& control) const;
    };
    static EffectSwitch SwitchFor(int deviceType, Panel panel, int effect, bool sameModePermitted);

    // The panel a control name belongs to, and the name without its prefix.
    static Panel PanelOfName(const std::string& name, std::string* bare = nullptr);
    static int ZoneOffset(Panel panel);

    // 0xFF000000 + red * 65536 + green * 256 + blue.
    static uint32_t ColourWord(uint8_t red, uint8_t green, uint8_t blue);
    static uint8_t RedOf(uint32_t word) { return uint8_t(word >> 16); }
    static uint8_t GreenOf(uint32_t word) { return uint8_t(word >> 8); }
    static uint8_t BlueOf(uint32_t word) { return uint8_t(word); }
    // The eight words the device's record setters take (four record bytes per word, low first).
    static std::array<uint32_t, 8> WordsOf(const LightSetting& record);

    // Same mode: the common effect of a device type's effect (nothing when the effect has none;
    // types other than 1, 2, 3 and 7 give `previous`), and back for keyboards or the other lists.
    static std::optional<int> CommonEffect(int deviceType, int effect, int previous);
    static int EffectForCommon(int common, bool keyboard);

    explicit LightEditorModel(Target* target = nullptr) : m_target(target) {}

    void SetTarget(Target* target) { m_target = target; }
    Target* GetTarget() const { return m_target; }
    void SetDeviceType(int type) { m_deviceType = type; }
    int DeviceType() const { return m_deviceType; }
    void SetSameModePermission(int flag) { m_sameModePermission = flag; }
    int SameModePermission() const { return m_sameModePermission; }
    void SetScreenSize(int width, int height) { m_screenWidth = width; m_screenHeight = height; }

    // ---- accepted changes (nothing happens without a target) ----
    void ChooseEffect(Panel panel, int position);
    void SetBrightness(Panel panel, int level);
    void SetSpeed(Panel panel, int level);
    // fromLeftOption: "deng_FXL_check" (direction 1), else "deng_FXR_check" (0).
    void SetDirection(Panel panel, bool fromLeftOption);
    void SetMultiColour(Panel panel, bool on);
    void SetLedMode(int position);
    void SetLogoLight(bool on);
    void SetCustomGroup(int position);

    // A colour component edit left (channel 0 red, 1 green, 2 blue): the value stored (0-255) and
    // the text the edit shows. Multicolour is switched off with it.
    struct EditedComponent {
        int value = 0;
        std::string shown;
    };
    static EditedComponent ParseComponent(const std::string& text);
    EditedComponent EditComponent(Panel panel, int channel, const std::string& text);
    // A colour picked on the palette (clears lightingSynced) or from a preset button (does not).
    // Multicolour is switched off with it. Returns the colour word stored.
    uint32_t ChooseColour(Panel panel, uint32_t word, bool fromPalette);

    // Same mode from the active device: its main record's effect, translated into the common
    // effect, is given to every device of `devices` (keyboard flag: which effect column) whose
    // channel is open, in order. Returns the common record remembered for the synchronised
    // lighting, or nothing when the effect has no common effect (then nothing changed at all).
    struct SameModeDevice {
        Target* target = nullptr;
        bool keyboard = false;
    };
    std::optional<LightSetting> SameMode(const std::vector<SameModeDevice>& devices);
    // The common effect of the last same-mode operation (process-wide; 0 before the first).
    static int LastCommonEffect();
    static void ResetLastCommonEffect();

private:
    // Puts the record back, saves the profile, reloads the lighting and writes the settings.
    void Store(Target& target, Panel panel, const LightSetting& record);
    void StoreByte(Panel panel, int field, uint8_t value, bool clearSynced = true);
    void Write(Target& target);

    Target* m_target = nullptr;
    int m_deviceType = 0;
    int m_sameModePermission = 0;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
};

} // namespace nq
