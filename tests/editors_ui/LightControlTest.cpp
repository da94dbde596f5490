// The lighting editor on the mouse page, driven through its real widgets with the page's mouse
// connected to the simulated mouse: what it shows, and that each change reaches the profile file
// and the mouse's configuration memory as one settings write.
#include "MousePageFixture.h"

#include "editors/qt/CLightControlUI.h"
#include "profiles/JsonFile.h"
#include "ui/CNotifyBridge.h"
#include "ui/CResourceManager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

using namespace nq;
using nqtest::SentReport;
using Panel = LightEditorModel::Panel;

namespace {

constexpr uint8_t kBegin = 0x01, kEnd = 0x02, kWriteConfig = 0x06;
const std::vector<SentReport> kSettingsWrite = {{kBegin, 0, 0}, {kWriteConfig, 56, 0}, {kWriteConfig, 10, 56}, {kEnd, 0, 0}};
// Settings block bytes of the lighting values.
constexpr size_t kEffectByte = 1, kBrightnessByte = 2, kSpeedByte = 3, kDirectionByte = 4, kMultiByte = 5, kRedByte = 6;

} // namespace

class LightControl : public nqtest::MousePageTest {
protected:
    void SetUp() override
    {
        nqtest::MousePageTest::SetUp();
        // The installed effect names of the mouse (variant 1), so positions mean the mouse's effects.
        std::filesystem::copy_file(NQ501_SOURCE_DIR "/DefaultData/default_light.json",
                                   folders->DefaultFolder() + "default_light.json",
                                   std::filesystem::copy_options::overwrite_existing);
        page->Mouse().SetVariant(1);
        page->BuildPage();
    }
    Json::Value SavedLight() { return ReadJsonFile(page->Mouse().CurrentProfilePath())["Device"][0]["LightInfo"]; }
    pages::CLightControlUI* Editor() { return page->LightEditor(); }
    // What the focus leaving an edit raises.
    void LeaveEdit(const char* name, const QString& text)
    {
        auto* edit = Get<QLineEdit>(name);
        edit->setText(text);
        ui::CNotifyBridge::Raise(edit, "killfocus");
    }
};

TEST_F(LightControl, ShowsTheProfileLightingWithTranslatedEffects)
{
    ASSERT_NE(Editor(), nullptr);
    ConnectPage();
    auto* combo = Get<QComboBox>("light_combo_modeSelect");
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 9); // the mouse variant's effect list
    EXPECT_EQ(combo->itemText(3), ui::CResourceManager::Instance().Text("light_name_static"));
    EXPECT_NE(combo->itemText(3), "light_name_static");
    EXPECT_EQ(combo->itemData(3).toString(), "light_name_static");

    // The rig's profile: static red, brightness 4, speed 2.
    EXPECT_EQ(combo->currentIndex(), 3);
    EXPECT_EQ(Get<QSlider>("deng_light_slider")->value(), 4);
    EXPECT_EQ(Get<QSlider>("deng_light_slider")->maximum(), 4);
    EXPECT_EQ(Get<QSlider>("deng_speed_slider")->value(), 2);
    EXPECT_EQ(Get<QLineEdit>("deng_edit_R")->text(), "255");
    EXPECT_EQ(Get<QLineEdit>("deng_edit_G")->text(), "0");
    EXPECT_EQ(Editor()->ShownColour(Panel::Main), 0xFFFF0000u);
    EXPECT_EQ(Editor()->PaletteColour(Panel::Main), 0xFFFF0000u);
    EXPECT_TRUE(Get<QRadioButton>("deng_FXR_check")->isChecked());
    // Static: one colour, no speed, no direction.
    EXPECT_FALSE(Get<QCheckBox>("deng_7color_check")->isEnabled());
    EXPECT_FALSE(Control("deng_speed_layout")->isEnabled());
    EXPECT_FALSE(Control("deng_fx_layout")->isEnabled());
    EXPECT_TRUE(Control("colorpallet_layout")->isEnabled());
    // One mouse alone: no same mode.
    EXPECT_TRUE(Control("deng_same_mode")->isHidden());
    EXPECT_TRUE(ReadJsonFile(page->Mouse().CurrentProfilePath()).isObject());
    EXPECT_TRUE(Sent().empty());
}

TEST_F(LightControl, ChoosingAnEffectAndAColourWritesTheMouse)
{
    ConnectPage();
    page->Mouse().Channel().SetLightingSynced(true);

    Get<QComboBox>("light_combo_modeSelect")->setCurrentIndex(2); // breathing
    EXPECT_EQ(Sent(), kSettingsWrite);
    EXPECT_EQ(Area("config")[kEffectByte], 2);
    EXPECT_EQ(SavedLight()["SelectItem"].asInt(), 2);
    EXPECT_EQ(page->Mouse().Engine().Effect(), 2);
    EXPECT_FALSE(page->Mouse().Channel().LightingSynced());
    // Breathing uses everything, colour cycle included.
    EXPECT_TRUE(Get<QCheckBox>("deng_7color_check")->isEnabled());
    EXPECT_TRUE(Control("deng_speed_layout")->isEnabled());
    EXPECT_TRUE(Control("deng_fx_layout")->isEnabled());

    Get<QCheckBox>("deng_7color_check")->click();
    EXPECT_EQ(Area("config")[kMultiByte], 1);
    ClearSent();

    // A preset colour: one colour again, written at once.
    page->Mouse().Channel().SetLightingSynced(true);
    const uint32_t preset = Editor()->PresetColour(Panel::Main, 4);
    ASSERT_NE(preset, 0u);
    Get<QPushButton>("color_option_4")->click();
    EXPECT_EQ(Sent(), kSettingsWrite);
    const auto config = Area("config");
    EXPECT_EQ(config[kRedByte], LightEditorModel::RedOf(preset));
    EXPECT_EQ(config[kRedByte + 1], LightEditorModel::GreenOf(preset));
    EXPECT_EQ(config[kRedByte + 2], LightEditorModel::BlueOf(preset));
    EXPECT_EQ(config[kMultiByte], 0);
    EXPECT_EQ(config[kEffectByte], 2);
    const Json::Value saved = SavedLight();
    EXPECT_EQ(saved["Red"].asInt(), LightEditorModel::RedOf(preset));
    EXPECT_EQ(saved["Blue"].asInt(), LightEditorModel::BlueOf(preset));
    EXPECT_EQ(saved["MultiColor"].asInt(), 0);
    EXPECT_FALSE(Get<QCheckBox>("deng_7color_check")->isChecked());
    EXPECT_EQ(Get<QLineEdit>("deng_edit_G")->text(), QString::number(LightEditorModel::GreenOf(preset)));
    EXPECT_EQ(Editor()->ShownColour(Panel::Main), preset | 0xFF000000u);
    EXPECT_EQ(Editor()->PaletteColour(Panel::Main), preset | 0xFF000000u);
    // A preset keeps a same-mode lighting flag.
    EXPECT_TRUE(page->Mouse().Channel().LightingSynced());
}

TEST_F(LightControl, SlidersAndDirectionAreWrittenInTheMouseOrder)
{
    ConnectPage();
    Get<QComboBox>("light_combo_modeSelect")->setCurrentIndex(0); // wave: speed and direction
    ClearSent();

    Get<QSlider>("deng_speed_slider")->setValue(4);
    EXPECT_EQ(Sent(), kSettingsWrite);
    EXPECT_EQ(Area("config")[kSpeedByte], 0); // the mouse keeps its speed inverted
    EXPECT_EQ(SavedLight()["Speed"].asInt(), 4);

    Get<QSlider>("deng_light_slider")->setValue(1);
    EXPECT_EQ(Area("config")[kBrightnessByte], 1);

    Get<QRadioButton>("deng_FXL_check")->click();
    EXPECT_EQ(Area("config")[kDirectionByte], 1);
    EXPECT_EQ(Editor()->Direction(Panel::Main), 1);
    EXPECT_FALSE(Get<QRadioButton>("deng_FXR_check")->isChecked());
    EXPECT_EQ(SavedLight()["Fx"].asInt(), 1);
}

TEST_F(LightControl, TypedColourIsClampedAndEndsColourCycle)
{
    ConnectPage();
    Get<QComboBox>("light_combo_modeSelect")->setCurrentIndex(2);
    Get<QCheckBox>("deng_7color_check")->click();
    ASSERT_EQ(Area("config")[kMultiByte], 1);
    ClearSent();

    LeaveEdit("deng_edit_G", "300");
    EXPECT_EQ(Sent(), kSettingsWrite);
    EXPECT_EQ(Get<QLineEdit>("deng_edit_G")->text(), "255");
    EXPECT_EQ(Area("config")[kRedByte + 1], 255);
    EXPECT_EQ(Area("config")[kMultiByte], 0);
    EXPECT_FALSE(Get<QCheckBox>("deng_7color_check")->isChecked());
    EXPECT_EQ(Editor()->ShownColour(Panel::Main), 0xFFFFFF00u);

    LeaveEdit("deng_edit_R", "");
    EXPECT_EQ(Get<QLineEdit>("deng_edit_R")->text(), "0");
    EXPECT_EQ(Area("config")[kRedByte], 0);
    EXPECT_EQ(SavedLight()["Red"].asInt(), 0);
    EXPECT_EQ(SavedLight()["Green"].asInt(), 255);
    // The edits take digits only.
    EXPECT_NE(Get<QLineEdit>("deng_edit_B")->validator(), nullptr);
}

TEST_F(LightControl, PalettePickStoresThePickedColour)
{
    ConnectPage();
    page->Mouse().Channel().SetLightingSynced(true);
    window->resize(900, 700);
    window->show();
    page->Mouse().SetPageState(1);
    QWidget* palette = Control("deng_Color_Pallet");
    ASSERT_NE(palette, nullptr);
    ASSERT_TRUE(palette->isVisible());
    ClearSent();

    QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(palette->width() / 3, 5));
    const uint32_t picked = Editor()->PaletteColour(Panel::Main);
    EXPECT_NE(picked, 0xFFFF0000u);
    EXPECT_EQ(Sent(), kSettingsWrite);
    EXPECT_EQ(Area("config")[kRedByte], LightEditorModel::RedOf(picked));
    EXPECT_EQ(Area("config")[kRedByte + 1], LightEditorModel::GreenOf(picked));
    EXPECT_EQ(Area("config")[kRedByte + 2], LightEditorModel::BlueOf(picked));
    EXPECT_EQ(Editor()->ShownColour(Panel::Main), picked);
    EXPECT_EQ(Get<QLineEdit>("deng_edit_B")->text(), QString::number(LightEditorModel::BlueOf(picked)));
    EXPECT_FALSE(page->Mouse().Channel().LightingSynced());
}

TEST_F(LightControl, SameModeShowsOnlyWithPermissionAndAppliesToTheMouse)
{
    ConnectPage();
    Get<QComboBox>("light_combo_modeSelect")->setCurrentIndex(4); // common effect 2
    EXPECT_TRUE(Control("deng_same_mode")->isHidden());
    Editor()->SetSameModePermission(1);
    EXPECT_FALSE(Control("deng_same_mode")->isHidden());
    ClearSent();

    Get<QPushButton>("deng_same_mode")->click();
    EXPECT_EQ(Sent(), kSettingsWrite);
    EXPECT_TRUE(page->Mouse().Channel().LightingSynced());
    EXPECT_EQ(LightEditorModel::LastCommonEffect(), 2);

    Editor()->SetSameModePermission(0);
    EXPECT_TRUE(Control("deng_same_mode")->isHidden());
}

TEST_F(LightControl, FollowsTheOnboardSlotTheMouseSwitchedToWithoutWritingIt)
{
    ConnectPage();
    // Slot 3 runs a colour cycle, which the profile's lighting does not: showing it flips the check.
    ASSERT_EQ(Fw({"profile", "3"}), "slot 3");
    const auto config = Area("config");
    const size_t slot = 3 * 128;
    ASSERT_NE(config[slot + kMultiByte], 0);
    ASSERT_FALSE(Editor()->MultiColour(Panel::Main));
    ClearSent();
    page->Mouse().OnDeviceNotice(); // what the tab's notice timer runs
    EXPECT_EQ(Editor()->EffectPosition(Panel::Main), config[slot + kEffectByte]);
    EXPECT_EQ(Editor()->Brightness(Panel::Main), config[slot + kBrightnessByte]);
    EXPECT_EQ(Editor()->Speed(Panel::Main), 4 - config[slot + kSpeedByte]);
    EXPECT_EQ(Get<QLineEdit>("deng_edit_R")->text(), QString::number(config[slot + kRedByte]));
    EXPECT_TRUE(Editor()->MultiColour(Panel::Main));
    // Showing the slot reads the mouse and writes nothing back (slot 0 keeps its settings).
    for (uint8_t command : SentCommands())
        EXPECT_NE(command, kWriteConfig);
    EXPECT_EQ(Area("config"), config);
}

TEST_F(LightControl, EffectListKeepsHiddenEntriesInTheirPositions)
{
    Editor()->FillEffects(Panel::Main, {"light_name_wave", "light_name_spectrum", "light_name_static"},
                          {true, false, true}, 3, 2);
    auto* combo = Get<QComboBox>("light_combo_modeSelect");
    ASSERT_EQ(combo->count(), 3);
    auto* view = qobject_cast<QListView*>(combo->view());
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->isRowHidden(0));
    EXPECT_TRUE(view->isRowHidden(1));
    EXPECT_EQ(combo->itemData(2).toString(), "light_name_static");
    EXPECT_EQ(Get<QSlider>("deng_light_slider")->maximum(), 3);
    EXPECT_EQ(Get<QSlider>("deng_speed_slider")->maximum(), 2);
    // An effect beyond the list shows none.
    Editor()->SetEffectPosition(Panel::Main, 2);
    Editor()->SetEffectPosition(Panel::Main, 12);
    EXPECT_EQ(combo->currentIndex(), -1);
    // Refilling empties the list first; a missing flag hides the entry.
    Editor()->FillEffects(Panel::Main, {"light_name_wave", "light_name_off"}, {true}, 4, 4);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_TRUE(view->isRowHidden(1));
    // Panels the layout does not have are skipped.
    Editor()->FillEffects(Panel::Logo, {"light_name_wave"}, {true}, 4, 4);
    EXPECT_EQ(Editor()->EffectPosition(Panel::Logo), -1);
    EXPECT_EQ(Editor()->PresetColour(Panel::Logo, 0), 0u);
    EXPECT_EQ(Editor()->PaletteColour(Panel::Logo), 0xFF000000u);
    EXPECT_TRUE(Editor()->ComponentText(Panel::St, 0).isEmpty());
}
