#include "editors/LightEditorModel.h"

#include "devices/SyncLighting.h"

#include <algorithm>
#include <atomic>
#include <cctype>

namespace nq {

namespace {

constexpr const char* kMultiCheck = "deng_7color_check";
constexpr const char* kColour = "deng_color_layout";
constexpr const char* kSevenSelect = "deng_7colorselect_layout";
constexpr const char* kPalette = "colorpallet_layout";
constexpr const char* kDirection = "deng_fx_layout";
constexpr const char* kBrightness = "deng_light_layout";
constexpr const char* kSpeed = "deng_speed_layout";
constexpr const char* kRgb = "deng_rgb_layout";
constexpr const char* kSameMode = "deng_same_mode";
constexpr const char* kEffectLayout = "lighteffect_layout";
constexpr const char* kCustomLayout = "lightcustom_layout";
constexpr const char* kCustomComboLayout = "light_combo_custommodeSelectLayout";
constexpr const char* kLedModeLayout = "light_combo_ZZCCmodeSelectLayout";
constexpr const char* kFxl = "deng_FXL_check";
constexpr const char* kFxr = "deng_FXR_check";

// One row of a switch table: a string of '1'/'0' per column and the effects it covers.
struct Row {
    std::vector<int> effects;
    const char* flags;
};

// Common effects 0-4 and the effect each list uses for them.
constexpr std::array<int, 5> kKeyboardCommon = {5, 6, 26, 4, 24};
constexpr std::array<int, 5> kMouseCommon = {2, 3, 4, 1, 8};

std::atomic<int> s_lastCommon{0};

class SwitchBuilder {
public:
    explicit SwitchBuilder(LightEditorModel::EffectSwitch& out) : m_out(out) {}
    void Enable(const char* control, bool on) { m_out.changes.push_back({LightEditorModel::ControlChange::Enable, control, on, {}}); }
    void Show(const char* control, bool on) { m_out.changes.push_back({LightEditorModel::ControlChange::Show, control, on, {}}); }
    void Text(const char* control, const char* key) { m_out.changes.push_back({LightEditorModel::ControlChange::Text, control, false, key}); }
    // Applies the row of `rows` holding effect (or `otherwise`) to `columns`; a column named
    // kSameMode shows the same-mode button when the row says so and same mode is permitted.
    void Apply(const std::vector<const char*>& columns, const std::vector<Row>& rows, const char* otherwise,
               int effect, bool sameModePermitted)
    {
        const char* flags = otherwise;
        for (const Row& row : rows) {
            if (std::find(row.effects.begin(), row.effects.end(), effect) != row.effects.end())
                flags = row.flags;
        }
        for (size_t i = 0; i < columns.size(); ++i) {
            const bool on = flags[i] == '1';
            if (std::string(columns[i]) == kSameMode)
                Show(kSameMode, on && sameModePermitted);
            else
                Enable(columns[i], on);
        }
    }

private:
    LightEditorModel::EffectSwitch& m_out;
};

void KeyboardMain(SwitchBuilder& b, int effect, bool permitted)
{
    b.Text(kFxr, "light_set_left_to_right_text");
    b.Text(kFxl, "light_set_right_to_left_text");
    b.Show(kCustomLayout, false);
    b.Show(kCustomComboLayout, false);
    b.Show(kLedModeLayout, false);
    b.Show(kDirection, true);
    b.Show(kSpeed, true);
    b.Enable(kDirection, true);
    b.Enable(kRgb, true);
    b.Show(kSameMode, false);
    b.Enable(kEffectLayout, true);
    static const std::vector<Row> rows = {
        {{1, 2, 3, 27}, "111111110"},
        {{4}, "000001101"},
        {{5}, "111101111"},
        {{6}, "111101011"},
        {{7, 8, 9, 10, 13, 14, 15, 21}, "111101110"},
        {{11}, "000001100"},
        {{12}, "000011100"},
        {{16}, "111101010"},
        {{17}, "000001000"},
        {{18}, "000011000"},
        {{19, 25}, "000000010"},
        {{20}, "010101010"},
        {{22, 23}, "000001110"},
        {{24}, "000000011"},
        {{26}, "111101111"},
    };
    b.Apply({kMultiCheck, kColour, kSevenSelect, kPalette, kDirection, kBrightness, kSpeed, kRgb, kSameMode}, rows,
            "000000010", effect, permitted);
    switch (effect) {
    case 3:
    case 27:
        b.Text(kFxl, "light_set_clockwise_text");
        b.Text(kFxr, "light_set_anticlockwise_text");
        break;
    case 12:
        b.Text(kFxl, "light_set_down_to_up_text");
        b.Text(kFxr, "light_set_up_to_down_text");
        break;
    case 17:
        b.Show(kSpeed, false);
        b.Show(kLedModeLayout, true);
        break;
    case 18:
        b.Text(kFxl, "light_set_outside_to_inside_text");
        b.Text(kFxr, "light_set_inside_to_outside_text");
        break;
    case 20:
        b.Show(kDirection, false);
        b.Show(kSpeed, false);
        b.Show(kCustomLayout, true);
        b.Show(kCustomComboLayout, true);
        break;
    default:
        break;
    }
}

void KeyboardZone(SwitchBuilder& b, int effect, bool permitted)
{
    b.Show(kDirection, true);
    b.Enable(kDirection, true);
    b.Show(kSpeed, true);
    b.Enable(kRgb, true);
    b.Show(kSameMode, false);
    b.Enable(kEffectLayout, true);
    static const std::vector<Row> rows = {
        {{0}, "11111111"},
        {{1, 2, 3}, "11101111"},
        {{4}, "11101011"},
        {{5}, "00000001"},
    };
    b.Apply({kMultiCheck, kColour, kPalette, kDirection, kBrightness, kSpeed, kRgb, kSameMode}, rows, "00000010",
            effect, permitted);
}

void MouseFamily(SwitchBuilder& b, int effect, bool permitted, bool mouse)
{
    b.Enable(kDirection, true);
    b.Show(kSameMode, false);
    b.Enable(kEffectLayout, true);
    static const std::vector<Row> mouseRows = {
        {{0, 5}, "1111110"}, {{1}, "0000111"}, {{2}, "1111111"}, {{3}, "0110101"},
        {{4}, "1110111"},    {{6, 7}, "0000110"}, {{8}, "0000001"},
    };
    // Mousepads and headsets: effect 2 has no direction, effects 5-7 use nothing.
    static const std::vector<Row> padRows = {
        {{0}, "1111110"},  {{1}, "0000111"}, {{2}, "1110111"}, {{3}, "0110101"},
        {{4}, "1110111"},  {{5, 6, 7}, "0000000"}, {{8}, "0000001"},
    };
    b.Apply({kMultiCheck, kColour, kPalette, kDirection, kBrightness, kSpeed, kSameMode}, mouse ? mouseRows : padRows,
            "0000000", effect, permitted);
}

void TypeFive(SwitchBuilder& b, int effect)
{
    b.Enable(kEffectLayout, true);
    static const std::vector<Row> rows = {{{0, 2, 3}, "11111"}, {{1}, "01110"}, {{4}, "00011"}};
    b.Apply({kMultiCheck, kColour, kPalette, kBrightness, kSpeed}, rows, "00000", effect, false);
}

std::optional<int> Find(const std::array<int, 5>& column, int effect)
{
    for (size_t c = 0; c < column.size(); ++c) {
        if (column[c] == effect)
            return int(c);
    }
    return std::nullopt;
}

} // namespace

// ---- effect switch ----

LightEditorModel::EffectSwitch LightEditorModel::SwitchFor(int deviceType, Panel panel, int effect, bool sameModePermitted)
{
    EffectSwitch result;
    SwitchBuilder b(result);
    switch (deviceType) {
    case kKeyboard:
        if (panel == Panel::Main)
            KeyboardMain(b, effect, sameModePermitted);
        else
            KeyboardZone(b, effect, sameModePermitted);
        break;
    case kMouse:
        MouseFamily(b, effect, sameModePermitted, true);
        break;
    case kMousePad:
    case 4:
    case kHeadset:
        MouseFamily(b, effect, sameModePermitted, false);
        break;
    case 5:
        TypeFive(b, effect);
        break;
    default:
        break; // nothing is switched
    }
    return result;
}

namespace {

// The last change of `kind` to `control`.
const LightEditorModel::ControlChange* LastChange(const std::vector<LightEditorModel::ControlChange>& changes,
                                                  LightEditorModel::ControlChange::Kind kind, const std::string& control)
{
    const LightEditorModel::ControlChange* last = nullptr;
    for (const auto& c : changes) {
        if (c.kind == kind && c.control == control)
            last = &c;
    }
    return last;
}

} // namespace

std::optional<bool> LightEditorModel::EffectSwitch::Enabled(const std::string& control) const
{
    const ControlChange* c = LastChange(changes, ControlChange::Enable, control);
    return c ? std::optional<bool>(c->on) : std::nullopt;
}

std::optional<bool> LightEditorModel::EffectSwitch::Shown(const std::string& control) const
{
    const ControlChange* c = LastChange(changes, ControlChange::Show, control);
    return c ? std::optional<bool>(c->on) : std::nullopt;
}

std::optional<std::string> LightEditorModel::EffectSwitch::TextOf(const std::string& control) const
{
    const ControlChange* c = LastChange(changes, ControlChange::Text, control);
    return c ? std::optional<std::string>(c->text) : std::nullopt;
}

// ---- names, zones, colours ----

LightEditorModel::Panel LightEditorModel::PanelOfName(const std::string& name, std::string* bare)
{
    for (int p = kPanels - 1; p > 0; --p) {
        const std::string prefix = kPanelPrefixes[size_t(p)];
        if (name.compare(0, prefix.size(), prefix) == 0) {
            if (bare)
                *bare = name.substr(prefix.size());
            return Panel(p);
        }
    }
    if (bare)
        *bare = name;
    return Panel::Main;
}

int LightEditorModel::ZoneOffset(Panel panel)
{
    switch (panel) {
    case Panel::Logo:
        return LightSetting::kLogo;
    case Panel::St:
        return LightSetting::kSt;
    default:
        return LightSetting::kMain;
    }
}

uint32_t LightEditorModel::ColourWord(uint8_t red, uint8_t green, uint8_t blue)
{
    return 0xFF000000u + uint32_t(red) * 65536u + uint32_t(green) * 256u + uint32_t(blue);
}

std::array<uint32_t, 8> LightEditorModel::WordsOf(const LightSetting& record)
{
    std::array<uint32_t, 8> words{};
    for (int i = 0; i < LightSetting::kSize; ++i)
        words[size_t(i / 4)] |= uint32_t(record[i]) << (8 * (i % 4));
    return words;
}

// ---- same mode ----

std::optional<int> LightEditorModel::CommonEffect(int deviceType, int effect, int previous)
{
    switch (deviceType) {
    case kKeyboard:
        return Find(kKeyboardCommon, effect);
    case kMouse:
    case kMousePad:
    case kHeadset:
        return Find(kMouseCommon, effect);
    default:
        return previous;
    }
}

int LightEditorModel::EffectForCommon(int common, bool keyboard)
{
    const auto& column = keyboard ? kKeyboardCommon : kMouseCommon;
    return column[size_t(std::clamp(common, 0, int(column.size()) - 1))];
}

int LightEditorModel::LastCommonEffect() { return s_lastCommon.load(); }
void LightEditorModel::ResetLastCommonEffect() { s_lastCommon.store(0); }

std::optional<LightSetting> LightEditorModel::SameMode(const std::vector<SameModeDevice>& devices)
{
    if (!m_target)
        return std::nullopt;
    const LightSetting source = m_target->LightRecord(Panel::Main);
    const std::optional<int> common = CommonEffect(m_target->LightDeviceType(), source.Effect(), s_lastCommon.load());
    if (!common)
        return std::nullopt;
    s_lastCommon.store(*common);

    LightSetting shared;
    shared[LightSetting::kEffect] = uint8_t(*common);
    for (int field = LightSetting::kBrightness; field <= LightSetting::kBlue; ++field)
        shared[field] = source[field];
    SyncLighting::SetSharedSetting(shared);

    for (const SameModeDevice& device : devices) {
        if (!device.target || !device.target->IsLightChannelOpen())
            continue;
        LightSetting record = source;
        record[LightSetting::kEffect] = uint8_t(EffectForCommon(*common, device.keyboard));
        Target& t = *device.target;
        t.SetLightingSynced(true);
        t.ShowMainLighting(record);
        t.StoreLightRecord(Panel::Main, record);
        t.SaveProfile();
        t.LoadLighting();
        Write(t);
    }
    return shared;
}

// ---- accepted changes ----

void LightEditorModel::Write(Target& target)
{
    target.SendLightingToDevice(m_screenWidth, m_screenHeight);
}

void LightEditorModel::Store(Target& target, Panel panel, const LightSetting& record)
{
    target.StoreLightRecord(panel, record);
    target.SaveProfile();
    target.LoadLighting();
    Write(target);
}

void LightEditorModel::StoreByte(Panel panel, int field, uint8_t value, bool clearSynced)
{
    if (!m_target)
        return;
    if (clearSynced)
        m_target->SetLightingSynced(false);
    LightSetting record = m_target->LightRecord(panel);
    record[field] = value;
    Store(*m_target, panel, record);
}

void LightEditorModel::ChooseEffect(Panel panel, int position)
{
    if (position < 0)
        return; // an emptied combo selects nothing
    StoreByte(panel, ZoneOffset(panel) + LightSetting::kEffect, uint8_t(position));
}

void LightEditorModel::SetBrightness(Panel panel, int level)
{
    StoreByte(panel, ZoneOffset(panel) + LightSetting::kBrightness, uint8_t(std::clamp(level, 0, 255)));
}

void LightEditorModel::SetSpeed(Panel panel, int level)
{
    StoreByte(panel, ZoneOffset(panel) + LightSetting::kSpeed, uint8_t(std::clamp(level, 0, 255)));
}

void LightEditorModel::SetDirection(Panel panel, bool fromLeftOption)
{
    StoreByte(panel, ZoneOffset(panel) + LightSetting::kDirection, fromLeftOption ? 1 : 0);
}

void LightEditorModel::SetMultiColour(Panel panel, bool on)
{
    StoreByte(panel, ZoneOffset(panel) + LightSetting::kMultiColour, on ? 1 : 0);
}

void LightEditorModel::SetLedMode(int position)
{
    if (position >= 0)
        StoreByte(Panel::Main, LightSetting::kLedMode, uint8_t(position), false);
}

void LightEditorModel::SetLogoLight(bool on)
{
    StoreByte(Panel::Logo, LightSetting::kLogoOnOff, on ? 1 : 0);
}

void LightEditorModel::SetCustomGroup(int position)
{
    if (!m_target || position < 0)
        return;
    m_target->SetCustomGroup(position);
    LightSetting record = m_target->LightRecord(Panel::Main);
    record[LightSetting::kCustomGroup] = uint8_t(position);
    m_target->StoreLightRecord(Panel::Main, record);
    m_target->SaveProfile();
    m_target->LoadCustomGroup();
    Write(*m_target);
}

LightEditorModel::EditedComponent LightEditorModel::ParseComponent(const std::string& text)
{
    // Leading blanks and digits count; the value stops at 255 and never goes below 0 (a byte
    // cannot hold a negative level).
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min(value * 10 + (text[i] - '0'), 1000L);
    const int v = negative ? 0 : int(std::min(value, 255L));
    return {v, std::to_string(v)};
}

LightEditorModel::EditedComponent LightEditorModel::EditComponent(Panel panel, int channel, const std::string& text)
{
    const EditedComponent edited = ParseComponent(text);
    if (!m_target || channel < 0 || channel > 2)
        return edited;
    const int zone = ZoneOffset(panel);
    LightSetting record = m_target->LightRecord(panel);
    record[zone + LightSetting::kRed + channel] = uint8_t(edited.value);
    // A colour typed in means one colour: multicolour goes off with it.
    record[zone + LightSetting::kMultiColour] = 0;
    m_target->SetLightingSynced(false);
    Store(*m_target, panel, record);
    return edited;
}

uint32_t LightEditorModel::ChooseColour(Panel panel, uint32_t word, bool fromPalette)
{
    const uint32_t colour = ColourWord(RedOf(word), GreenOf(word), BlueOf(word));
    if (!m_target)
        return colour;
    const int zone = ZoneOffset(panel);
    LightSetting record = m_target->LightRecord(panel);
    record[zone + LightSetting::kRed] = RedOf(word);
    record[zone + LightSetting::kGreen] = GreenOf(word);
    record[zone + LightSetting::kBlue] = BlueOf(word);
    record[zone + LightSetting::kMultiColour] = 0;
    if (fromPalette)
        m_target->SetLightingSynced(false);
    Store(*m_target, panel, record);
    return colour;
}

} // namespace nq
