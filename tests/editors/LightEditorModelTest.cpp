// The lighting editor's logic: the effect switch per device type, what an accepted change does to
// the device, the colour edits and same mode.
#include "editors/LightEditorModel.h"

#include "devices/CKelvaskUSBDevice.h"
#include "devices/SyncLighting.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace nq;
using Panel = LightEditorModel::Panel;

namespace {

// A device that records what the editor asks of it.
class FakeLightTarget : public LightEditorModel::Target {
public:
    explicit FakeLightTarget(int type = LightEditorModel::kMouse, bool open = true) : type(type), open(open) {}

    int LightDeviceType() const override { return type; }
    LightSetting LightRecord(Panel panel) const override { return records[int(panel)]; }
    void StoreLightRecord(Panel panel, const LightSetting& record) override
    {
        records[int(panel)] = record;
        calls.push_back("store" + std::to_string(int(panel)));
    }
    void SaveProfile() override { calls.push_back("save"); }
    int LoadLighting() override
    {
        calls.push_back("load");
        return 1;
    }
    int WriteSettingsToDevice(int slot, uint8_t byte0, int flag, int w, int h) override
    {
        calls.push_back("write " + std::to_string(slot) + " " + std::to_string(byte0) + " " + std::to_string(flag) +
                        " " + std::to_string(w) + "x" + std::to_string(h));
        return 1;
    }
    void SetLightingSynced(bool on) override
    {
        synced = on;
        calls.push_back(on ? "synced" : "unsynced");
    }
    bool IsLightChannelOpen() const override { return open; }
    void ShowMainLighting(const LightSetting& record) override { shown = record; }

    int type;
    bool open;
    bool synced = true;
    LightSetting records[3];
    LightSetting shown;
    std::vector<std::string> calls;
};

const std::vector<std::string> kStoreMain = {"unsynced", "store0", "save", "load", "write 0 0 1 1920x1080"};

class LightEditorModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.SetTarget(&device);
        model.SetDeviceType(LightEditorModel::kMouse);
        model.SetScreenSize(1920, 1080);
        LightEditorModel::ResetLastCommonEffect();
    }
    FakeLightTarget device;
    LightEditorModel model;
};

} // namespace

// ---- the effect switch ----

struct SwitchCase {
    int type;
    Panel panel;
    int effect;
    const char* enabled; // 7-colour, colour, 7-colour select, palette, direction, brightness, speed, RGB ('-': untouched)
    int sameMode;        // -1 untouched, 0 hidden, 1 shown (same mode permitted)
};

TEST(LightEffectSwitch, EnablesTheSubPanelsOfEachEffect)
{
    const char* columns[] = {"deng_7color_check", "deng_color_layout", "deng_7colorselect_layout", "colorpallet_layout",
                             "deng_fx_layout",    "deng_light_layout", "deng_speed_layout",        "deng_rgb_layout"};
    const SwitchCase cases[] = {
        {1, Panel::Main, 1, "11111111", 0},   {1, Panel::Main, 4, "00000110", 1},
        {1, Panel::Main, 6, "11110101", 1},   {1, Panel::Main, 0, "00000001", 0},
        {1, Panel::Main, 28, "00000001", 0},  {1, Panel::Main, 20, "01010101", 0},
        {1, Panel::Main, 24, "00000001", 1},  {1, Panel::Logo, 0, "11-11111", 1},
        {1, Panel::St, 4, "11-10101", 1},     {1, Panel::Logo, 5, "00-00000", 1},
        {1, Panel::Logo, 6, "00-00001", 0},   {2, Panel::Main, 0, "11-1111-", 0},
        {2, Panel::Main, 1, "00-0011-", 1},   {2, Panel::Main, 3, "01-1010-", 1},
        {2, Panel::Main, 5, "11-1111-", 0},   {2, Panel::Main, 8, "00-0000-", 1},
        {2, Panel::Main, 9, "00-0000-", 0},   {3, Panel::Main, 2, "11-1011-", 1},
        {7, Panel::Main, 5, "00-0000-", 0},   {3, Panel::Main, 4, "11-1011-", 1},
        {5, Panel::Main, 1, "01-1-10-", -1},  {5, Panel::Main, 5, "00-0-00-", -1},
        {6, Panel::Main, 2, "--------", -1},
    };
    for (const SwitchCase& c : cases) {
        const auto sw = LightEditorModel::SwitchFor(c.type, c.panel, c.effect, true);
        SCOPED_TRACE(testing::Message() << "type " << c.type << " panel " << int(c.panel) << " effect " << c.effect);
        for (int i = 0; i < 8; ++i) {
            const std::optional<bool> state = sw.Enabled(columns[i]);
            if (c.enabled[i] == '-') {
                EXPECT_FALSE(state.has_value()) << columns[i];
            } else {
                EXPECT_EQ(state, std::optional<bool>(c.enabled[i] == '1')) << columns[i];
            }
        }
        const std::optional<bool> same = sw.Shown("deng_same_mode");
        if (c.sameMode < 0) {
            EXPECT_FALSE(same.has_value());
        } else {
            EXPECT_EQ(same, std::optional<bool>(c.sameMode == 1));
        }
        if (c.type != 6) {
            EXPECT_EQ(sw.Enabled("lighteffect_layout"), std::optional<bool>(true));
        }
    }
}

TEST(LightEffectSwitch, KeyboardCustomEffectSwapsLayoutsAndBack)
{
    const auto custom = LightEditorModel::SwitchFor(1, Panel::Main, 20, false);
    EXPECT_EQ(custom.Shown("deng_fx_layout"), false);
    EXPECT_EQ(custom.Shown("deng_speed_layout"), false);
    EXPECT_EQ(custom.Shown("light_combo_custommodeSelectLayout"), true);
    EXPECT_EQ(custom.Shown("lightcustom_layout"), true);

    const auto breathing = LightEditorModel::SwitchFor(1, Panel::Main, 5, false);
    EXPECT_EQ(breathing.Shown("deng_fx_layout"), true);
    EXPECT_EQ(breathing.Shown("deng_speed_layout"), true);
    EXPECT_EQ(breathing.Shown("light_combo_custommodeSelectLayout"), false);
    EXPECT_EQ(breathing.Shown("lightcustom_layout"), false);

    const auto ledMode = LightEditorModel::SwitchFor(1, Panel::Main, 17, false);
    EXPECT_EQ(ledMode.Shown("light_combo_ZZCCmodeSelectLayout"), true);
    EXPECT_EQ(ledMode.Shown("deng_speed_layout"), false);
}

TEST(LightEffectSwitch, KeyboardDirectionCaptionsFollowTheEffect)
{
    struct {
        int effect;
        const char* fxl;
        const char* fxr;
    } cases[] = {
        {1, "light_set_right_to_left_text", "light_set_left_to_right_text"},
        {27, "light_set_clockwise_text", "light_set_anticlockwise_text"},
        {12, "light_set_down_to_up_text", "light_set_up_to_down_text"},
        {18, "light_set_outside_to_inside_text", "light_set_inside_to_outside_text"},
    };
    for (const auto& c : cases) {
        const auto sw = LightEditorModel::SwitchFor(1, Panel::Main, c.effect, false);
        EXPECT_EQ(sw.TextOf("deng_FXL_check"), std::optional<std::string>(c.fxl)) << c.effect;
        EXPECT_EQ(sw.TextOf("deng_FXR_check"), std::optional<std::string>(c.fxr)) << c.effect;
    }
}

TEST(LightEffectSwitch, SameModeButtonNeedsThePermission)
{
    for (int type : {1, 2, 3, 7}) {
        for (int effect = 0; effect < 30; ++effect) {
            EXPECT_EQ(LightEditorModel::SwitchFor(type, Panel::Main, effect, false).Shown("deng_same_mode"), false)
                << type << "/" << effect;
        }
    }
}

// ---- accepted changes ----

TEST_F(LightEditorModelTest, EachControlStoresItsByteAndWritesTheDevice)
{
    struct {
        const char* what;
        void (*change)(LightEditorModel&);
        int byte;
        uint8_t value;
    } cases[] = {
        {"effect", [](LightEditorModel& m) { m.ChooseEffect(Panel::Main, 3); }, 0, 3},
        {"brightness", [](LightEditorModel& m) { m.SetBrightness(Panel::Main, 2); }, 1, 2},
        {"speed", [](LightEditorModel& m) { m.SetSpeed(Panel::Main, 4); }, 2, 4},
        {"direction", [](LightEditorModel& m) { m.SetDirection(Panel::Main, true); }, 3, 1},
        {"multicolour", [](LightEditorModel& m) { m.SetMultiColour(Panel::Main, true); }, 4, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        device.records[0] = LightSetting{};
        device.records[0][5] = 0x40; // the rest of the record is kept
        device.calls.clear();
        c.change(model);
        EXPECT_EQ(device.records[0][c.byte], c.value);
        EXPECT_EQ(device.records[0][5], 0x40);
        EXPECT_EQ(device.calls, kStoreMain);
    }
}

TEST_F(LightEditorModelTest, LogoAndStPanelsEditTheirOwnZones)
{
    model.ChooseEffect(Panel::Logo, 4);
    model.SetSpeed(Panel::St, 3);
    model.SetLogoLight(true);
    EXPECT_EQ(device.records[1][12], 4);
    EXPECT_EQ(device.records[1][21], 1);
    EXPECT_EQ(device.records[2][24], 3);
    EXPECT_EQ(device.records[0], LightSetting{});
    EXPECT_EQ(device.calls[1], "store1");
}

TEST_F(LightEditorModelTest, LedModeKeepsTheSyncedFlag)
{
    model.SetLedMode(2);
    EXPECT_EQ(device.records[0][11], 2);
    EXPECT_TRUE(device.synced);
    EXPECT_EQ(device.calls, std::vector<std::string>(kStoreMain.begin() + 1, kStoreMain.end()));
}

TEST_F(LightEditorModelTest, NothingHappensWithoutADeviceOrWithAnEmptyCombo)
{
    model.ChooseEffect(Panel::Main, -1);
    EXPECT_TRUE(device.calls.empty());
    LightEditorModel alone;
    alone.ChooseEffect(Panel::Main, 2);
    EXPECT_EQ(alone.EditComponent(Panel::Main, 0, "12").value, 12);
}

// ---- colours ----

TEST(LightColourEdit, ValuesAreClampedToAByte)
{
    struct {
        const char* text;
        int value;
        const char* shown;
    } cases[] = {
        {"300", 255, "255"}, {"", 0, "0"},  {"255", 255, "255"}, {"17", 17, "17"},
        {" 8", 8, "8"},      {"-5", 0, "0"}, {"99999999999", 255, "255"}, {"12ab", 12, "12"},
    };
    for (const auto& c : cases) {
        const auto edited = LightEditorModel::ParseComponent(c.text);
        EXPECT_EQ(edited.value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(edited.shown, c.shown) << '"' << c.text << '"';
    }
}

TEST_F(LightEditorModelTest, TypedComponentIsStoredWithMulticolourOff)
{
    device.records[0][4] = 1;
    device.records[0][5] = 10;
    const auto edited = model.EditComponent(Panel::Main, 1, "300");
    EXPECT_EQ(edited.shown, "255");
    EXPECT_EQ(device.records[0][6], 255);
    EXPECT_EQ(device.records[0][5], 10);
    EXPECT_EQ(device.records[0][4], 0);
    EXPECT_EQ(device.calls, kStoreMain);

    model.EditComponent(Panel::St, 2, "");
    EXPECT_EQ(device.records[2][22 + 7], 0);
}

TEST_F(LightEditorModelTest, PaletteClearsTheSyncedFlagAndPresetsDoNot)
{
    device.records[0][4] = 1;
    EXPECT_EQ(model.ChooseColour(Panel::Main, 0x00123456, false), 0xFF123456u);
    EXPECT_TRUE(device.synced);
    EXPECT_EQ(device.records[0][4], 0);
    EXPECT_EQ(device.records[0][5], 0x12);
    EXPECT_EQ(device.records[0][6], 0x34);
    EXPECT_EQ(device.records[0][7], 0x56);
    EXPECT_EQ(device.calls.back(), "write 0 0 1 1920x1080");

    model.ChooseColour(Panel::Logo, 0xFFA0B0C0, true);
    EXPECT_FALSE(device.synced);
    EXPECT_EQ(device.records[1][17], 0xA0);
    EXPECT_EQ(device.records[1][19], 0xC0);
}

TEST(LightColourWord, PacksAndSplitsTheComponents)
{
    EXPECT_EQ(LightEditorModel::ColourWord(0x12, 0x34, 0x56), 0xFF123456u);
    EXPECT_EQ(LightEditorModel::RedOf(0x7F123456), 0x12);
    EXPECT_EQ(LightEditorModel::GreenOf(0x7F123456), 0x34);
    EXPECT_EQ(LightEditorModel::BlueOf(0x7F123456), 0x56);
    LightSetting record;
    for (int i = 0; i < LightSetting::kSize; ++i)
        record[i] = uint8_t(i * 7 + 1);
    EXPECT_EQ(CKelvaskUSBDevice::LightSettingFromWords(LightEditorModel::WordsOf(record)), record);
}

TEST(LightPanelNames, PrefixSelectsThePanel)
{
    std::string bare;
    EXPECT_EQ(LightEditorModel::PanelOfName("LightTab1_deng_light_slider", &bare), Panel::Logo);
    EXPECT_EQ(bare, "deng_light_slider");
    EXPECT_EQ(LightEditorModel::PanelOfName("LightTab2_color_option_3", &bare), Panel::St);
    EXPECT_EQ(bare, "color_option_3");
    EXPECT_EQ(LightEditorModel::PanelOfName("deng_edit_R", &bare), Panel::Main);
    EXPECT_EQ(bare, "deng_edit_R");
}

// ---- same mode ----

TEST_F(LightEditorModelTest, SameModeGivesEveryOpenDeviceTheCommonEffect)
{
    device.records[0][0] = 3; // mouse: common effect 1
    for (int i = 1; i <= 7; ++i)
        device.records[0][i] = uint8_t(i * 10);
    FakeLightTarget keyboard(LightEditorModel::kKeyboard), pad(LightEditorModel::kMousePad),
        closed(LightEditorModel::kMousePad, false);
    keyboard.synced = pad.synced = device.synced = false;

    const auto shared = model.SameMode({{&keyboard, true}, {&device, false}, {&closed, false}, {&pad, false}});
    ASSERT_TRUE(shared.has_value());
    EXPECT_EQ((*shared)[0], 1);
    EXPECT_EQ((*shared)[1], 10);
    EXPECT_EQ((*shared)[7], 70);
    EXPECT_EQ(SyncLighting::SharedSetting(), *shared);
    EXPECT_EQ(LightEditorModel::LastCommonEffect(), 1);

    EXPECT_EQ(keyboard.records[0][0], 6);
    EXPECT_EQ(pad.records[0][0], 3);
    EXPECT_EQ(device.records[0][0], 3);
    for (FakeLightTarget* t : {&keyboard, &pad, &device}) {
        EXPECT_TRUE(t->synced);
        EXPECT_EQ(t->shown, t->records[0]);
        EXPECT_EQ(t->records[0][5], 50);
        EXPECT_EQ(t->calls, (std::vector<std::string>{"synced", "store0", "save", "load", "write 0 0 1 1920x1080"}));
    }
    EXPECT_TRUE(closed.calls.empty());
}

TEST_F(LightEditorModelTest, SameModeWithoutACommonEffectChangesNothing)
{
    device.records[0][0] = 5;
    FakeLightTarget keyboard(LightEditorModel::kKeyboard);
    SyncLighting::SetSharedSetting(LightSetting{});
    EXPECT_FALSE(model.SameMode({{&keyboard, true}, {&device, false}}).has_value());
    EXPECT_TRUE(keyboard.calls.empty());
    EXPECT_TRUE(device.calls.empty());
    EXPECT_EQ(SyncLighting::SharedSetting(), LightSetting{});
}

TEST(LightSameModeTable, TranslatesBothWays)
{
    const int keyboardEffects[] = {5, 6, 26, 4, 24};
    const int mouseEffects[] = {2, 3, 4, 1, 8};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(LightEditorModel::CommonEffect(1, keyboardEffects[c], 9), c);
        for (int type : {2, 3, 7})
            EXPECT_EQ(LightEditorModel::CommonEffect(type, mouseEffects[c], 9), c);
        EXPECT_EQ(LightEditorModel::EffectForCommon(c, true), keyboardEffects[c]);
        EXPECT_EQ(LightEditorModel::EffectForCommon(c, false), mouseEffects[c]);
    }
    EXPECT_FALSE(LightEditorModel::CommonEffect(1, 3, 0).has_value());
    EXPECT_FALSE(LightEditorModel::CommonEffect(2, 0, 0).has_value());
    // Other device types take the previous operation's common effect.
    EXPECT_EQ(LightEditorModel::CommonEffect(6, 0, 3), 3);
}
