// The mouse page built from its layout, driven through its real widgets, with its mouse connected
// to the simulated mouse: what the page shows, what it stores in the profile and what reaches the
// device's memory.
#include "MousePageFixture.h"

#include "devices/MouseSettingsBlock.h"
#include "editors/qt/CSelectPanelUI.h"
#include "profiles/JsonFile.h"
#include "ui/CResourceManager.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>

#include <gtest/gtest.h>

using namespace nq;
using nqtest::Bytes;
using nqtest::SentReport;

namespace {

constexpr uint8_t kBegin = 0x01, kEnd = 0x02, kWriteConfig = 0x06;
const std::vector<SentReport> kSettingsWrite = {{kBegin, 0, 0}, {kWriteConfig, 56, 0}, {kWriteConfig, 10, 56}, {kEnd, 0, 0}};

uint16_t StageX(const Bytes& config, int stage) { return nqtest::SlotStageX(config, 0, stage); }

} // namespace

class MousePage : public nqtest::MousePageTest {};

TEST_F(MousePage, LayoutHoldsEveryNamedControl)
{
    QStringList names = {"mouse_device_seting_layout", "Light_seting_layout", "mouse_option_layout",
                         "DeviceProfileItem", "LightControlItem", "MacroControlItem", "KeySetControlItem",
                         "ShootControlItem", "device_tishi_info", "device_setkeyinfo_list", "text_test",
                         "pointer_speed_slider", "pointer_precision_check", "scroll_speed_slider",
                         "scrolls_page_check", "double_click_slider", "device_function_switch",
                         "device_key_function_switch", "mouse_device_seting_option_0", "mouse_device_seting_option_1"};
    for (int i = 0; i < 5; ++i) {
        for (const char* prefix : {"DPI_layout_", "DPI_enable_check_", "DPI_slider_", "DPI_edit_", "polling_rate_option_"})
            names << QString("%1%2").arg(prefix).arg(i);
    }
    // The key editor's own controls come from its sub-layout.
    names << "keyset_layout" << "keyset_function_combo" << "key_butt_keydefalut" << "key_butt_keysave"
          << "key_butt_keycancel" << "key_butt_prosave" << "function_switch_tablayout" << "keyset_mousekey_combo"
          << "keyset_mouseswing_combo" << "keyset_mouseswing_num_edit" << "keyset_mouseswing_delay_edit"
          << "keyset_mouseswing_speed_edit" << "keyset_mousewheel_combo" << "keyset_mousewheel_num_edit"
          << "keyset_mousewheel_delay_edit" << "keyset_mousewheel_speed_edit" << "keyset_mousedpi_combo"
          << "keyset_mousefire_interval_edit" << "keyset_mousefire_num_edit" << "keyset_keyboard_text_edit"
          << "keyset_media_combo" << "keyset_system_combo" << "keyset_macro_combo" << "keyset_macro_over_combo"
          << "keyset_macro_cycle_layout" << "keyset_macro_cycle_edit" << "keyset_gunkey_combo"
          << "keyset_combokey_combo";
    for (int i = 0; i < 5; ++i)
        names << QString("key_ComBox_check_%1").arg(i);
    for (const QString& name : names)
        EXPECT_NE(Control(name), nullptr) << name.toStdString();

    EXPECT_NE(qobject_cast<pages::CKeySetControlUI*>(Control("KeySetControlItem")), nullptr);
    EXPECT_EQ(page->KeyEditor(), Control("KeySetControlItem"));
    // The function combo lists the twelve kinds by user data.
    EXPECT_EQ(ui::CControlAccess::ItemCount(Control("keyset_function_combo")), 12);
    EXPECT_EQ(ui::CControlAccess::ItemData(Control("keyset_function_combo"), 11).toString(), "11");
}

TEST_F(MousePage, BuildBindsKeyAndLightButtonsAndHidesTheEditor)
{
    auto& mouse = page->Mouse();
    for (int i = 0; i < kKeyButtons; ++i) {
        ASSERT_NE(mouse.KeyButton(i), nullptr) << i;
        EXPECT_EQ(mouse.KeyButton(i)->Name(), "key_" + std::to_string(i));
    }
    // All ten buttons of the mouse are on the picture.
    ASSERT_EQ(kKeyButtons, 10);
    for (int i = 0; i < kKeyButtons; ++i)
        EXPECT_FALSE(Control(QString("key_%1").arg(i))->isHidden()) << i;
    for (int i = 0; i < kLeds; ++i) {
        ASSERT_NE(page->LedButton(i), nullptr) << i;
        ASSERT_NE(mouse.LightButton(i), nullptr) << i; // bound by its user data "light_" + i
        EXPECT_EQ(mouse.LightButton(i)->Name(), "light_0_" + std::to_string(i));
        EXPECT_TRUE(page->LedButton(i)->ShowsLight());
        EXPECT_EQ(page->LedButton(i)->LightColour(), QColor(Qt::white));
    }
    EXPECT_NE(page->LogoButton(), nullptr);
    EXPECT_TRUE(page->KeyEditor()->isHidden());
    EXPECT_TRUE(Control("keyset_layout")->isHidden());
    EXPECT_EQ(Get<QStackedWidget>("mouse_device_seting_layout")->currentIndex(), 0);
    EXPECT_TRUE(ui::CControlAccess::IsSelected(Control("mouse_device_seting_option_0")));
}

TEST_F(MousePage, ConnectionShowsTheProfile)
{
    ConnectPage();
    const int step = page->Mouse().Info().DpiStep();
    ASSERT_GT(step, 0);
    const int dpi[5] = {8, 16, 32, 64, 128}; // the test profile's stages
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(page->IsDpiStageChecked(i));
        EXPECT_EQ(page->GetDpiSlider(i), dpi[i]);
        EXPECT_EQ(Text(QString("DPI_edit_%1").arg(i)), QString::number(dpi[i] * step));
        EXPECT_EQ(Get<QSlider>(QString("DPI_slider_%1").arg(i))->maximum(), page->Mouse().DpiSliderMaximum());
        const QVariant mark = Control(QString("DPI_slider_%1").arg(i))->property("activeStage");
        ASSERT_TRUE(mark.isValid()); // the style sheet tells both states apart
        EXPECT_EQ(mark.toBool(), i == 1);
    }
    EXPECT_EQ(page->SelectedPollingOption(), 3);
    EXPECT_TRUE(page->PointerPrecision());
    EXPECT_EQ(page->ScrollSpeed(), 3);
    EXPECT_FALSE(page->ScrollsPage());
    EXPECT_EQ(page->DoubleClick(), 500);
    EXPECT_EQ(page->PointerSpeed(), 10);
    // Key labels: the button names and their assignments in the summary list.
    EXPECT_EQ(Get<QAbstractButton>("key_1")->text(), "Right click");
    EXPECT_EQ(Get<QAbstractButton>("key_5")->toolTip(), "DPI up");
    EXPECT_EQ(page->KeySummary()->count(), kKeyButtons);
    EXPECT_FALSE(page->KeySummary()->item(0)->isHidden());
}

TEST_F(MousePage, DraggingADpiSliderMirrorsTheEditAndStoresOnRelease)
{
    ConnectPage();
    auto* slider = Get<QSlider>("DPI_slider_1");
    const int step = page->Mouse().Info().DpiStep();

    slider->setSliderDown(true);
    slider->setValue(100);
    EXPECT_EQ(Text("DPI_edit_1"), QString::number(100 * step));
    EXPECT_TRUE(Sent().empty()) << "nothing is sent while the thumb is held";
    EXPECT_EQ(page->Mouse().GetDpiStages()[1].dpiX, 16);

    slider->setSliderDown(false); // release
    EXPECT_EQ(Sent(), kSettingsWrite);
    EXPECT_EQ(page->Mouse().GetDpiStages()[1].dpiX, 100);
    EXPECT_EQ(StageX(Area("config"), 1), 100);
    EXPECT_EQ(SavedNode()["DPIStages"]["StageDPIs"][1]["StageDPIX"].asInt(), 100);
}

TEST_F(MousePage, DpiEditIsReadInDpiAndRaisedToTheLowest)
{
    ConnectPage();
    auto& info = page->Mouse().Info();
    const int step = info.DpiStep(), lowest = info.MinDpi();
    ASSERT_GT(step, 0);
    struct Case {
        QString typed;
        int units;
    } cases[] = {
        {"50", std::max(50, lowest) / step},
        {"", lowest / step},                  // an empty edit counts as 0
        {"1234dpi", std::max(1234, lowest) / step}, // trailing text is ignored
        {QString::number(40 * step), 40},
    };
    auto* edit = Get<QLineEdit>("DPI_edit_2");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        ClearSent();
        edit->setText(c.typed);
        emit edit->returnPressed();
        EXPECT_EQ(page->GetDpiSlider(2), c.units);
        EXPECT_EQ(edit->text(), QString::number(c.units * step));
        EXPECT_EQ(page->Mouse().GetDpiStages()[2].dpiX, c.units);
        EXPECT_EQ(Sent(), kSettingsWrite);
        EXPECT_EQ(StageX(Area("config"), 2), c.units);
    }
}

TEST_F(MousePage, DeviceWithoutDpiStepShowsNoDpiAndSendsNothing)
{
    // The page's mouse on a device that reports a DPI step of 0 (here a charging pad).
    ASSERT_TRUE(Sim().AddDevice("chargepad"));
    m_device = "chargepad";
    m_vendorPath = SimPath("chargepad", 1, 4);
    ConnectPage();
    ASSERT_EQ(page->Mouse().Info().DpiStep(), 0);
    const QString unavailable = ui::CResourceManager::Instance().Text("mouse_dpi_unavailable");
    EXPECT_FALSE(unavailable.isEmpty());
    EXPECT_EQ(Text("mouse_dpi_card_title"), unavailable);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        auto* edit = Get<QLineEdit>(QString("DPI_edit_%1").arg(i));
        EXPECT_EQ(edit->text(), QString()); // not "0"
        EXPECT_FALSE(edit->isEnabled());
        EXPECT_FALSE(Control(QString("DPI_slider_%1").arg(i))->isEnabled());
    }

    // Neither a typed DPI nor a slider move reaches the device or the profile.
    const std::vector<DpiStage> before = page->Mouse().GetDpiStages();
    auto* edit = Get<QLineEdit>("DPI_edit_0");
    edit->setText("800");
    emit edit->returnPressed();
    Get<QSlider>("DPI_slider_1")->setValue(100);
    EXPECT_TRUE(Env().WireLines().empty());
    EXPECT_EQ(page->Mouse().GetDpiStages()[0].dpiX, before[0].dpiX);
    EXPECT_EQ(page->Mouse().GetDpiStages()[1].dpiX, before[1].dpiX);

    // On a mouse the same page shows its DPI values again.
    page->Mouse().Channel().Close();
    m_device = "mouse";
    m_vendorPath = SimPath("mouse", 1, 4);
    ConnectPage();
    const int step = page->Mouse().Info().DpiStep();
    ASSERT_GT(step, 0);
    EXPECT_NE(Text("mouse_dpi_card_title"), unavailable);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_EQ(edit->text(), QString::number(page->GetDpiSlider(0) * step));
}

TEST_F(MousePage, TheLastCheckedStageCannotBeSwitchedOff)
{
    ConnectPage();
    for (int i = 0; i < 4; ++i)
        Get<QCheckBox>(QString("DPI_enable_check_%1").arg(i))->click();
    auto* last = Get<QCheckBox>("DPI_enable_check_4");
    EXPECT_TRUE(last->isChecked());
    EXPECT_FALSE(last->isEnabled());
    EXPECT_TRUE(Control("DPI_layout_0")->isHidden());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(page->Mouse().GetDpiStages()[size_t(i)].active, 0) << i;
    EXPECT_EQ(Area("config")[MouseSettingsBlock::kFirstStage], 0); // stage 0's enabled byte

    Get<QCheckBox>("DPI_enable_check_2")->click();
    EXPECT_TRUE(last->isEnabled());
    EXPECT_FALSE(Control("DPI_layout_2")->isHidden());
    EXPECT_EQ(SavedNode()["DPIStages"]["StageDPIs"][2]["StageActive"].asInt(), 1);
}

TEST_F(MousePage, ReportRateOptionIsStoredAndSent)
{
    ConnectPage();
    Get<QRadioButton>("polling_rate_option_1")->click();
    EXPECT_EQ(page->SelectedPollingOption(), 1);
    EXPECT_EQ(page->Mouse().GetSystemWords().ReportRateStage(), 1);
    EXPECT_EQ(Sent(), kSettingsWrite);
    EXPECT_EQ(Area("config")[11], 1);
    EXPECT_EQ(SavedNode()["ReportStages"]["StageActive"].asInt(), 1);

    // Out-of-range option numbers select the first option.
    for (int n : {7, -1, 5}) {
        page->SelectPollingOption(n);
        EXPECT_EQ(page->SelectedPollingOption(), 0) << n;
    }
}

TEST_F(MousePage, PointerControlsAreStoredButNotSent)
{
    ConnectPage();
    using Pointer = pages::CMousePageUI::PointerSettings;
    struct Step {
        const char* what;
        std::function<void()> act;
        int word;        // the system word half that changes
        int stored;
        Pointer os;      // the desktop values after the step
    } steps[] = {
        {"pointer speed 4", [&] { Get<QSlider>("pointer_speed_slider")->setValue(4); }, 1, 4, {4, false, 0, 0}},
        {"pointer speed 20", [&] { Get<QSlider>("pointer_speed_slider")->setValue(20); }, 1, 20, {20, false, 0, 0}},
        {"precision off", [&] { Get<QCheckBox>("pointer_precision_check")->click(); }, 2, 0, {20, false, 0, 0}},
        {"wheel 5 lines", [&] { Get<QSlider>("scroll_speed_slider")->setValue(5); }, 4, 5, {20, false, 6, 0}},
        {"page scrolling", [&] { Get<QCheckBox>("scrolls_page_check")->click(); }, 3, 1, {20, false, 255, 0}},
        {"wheel moved again", [&] { Get<QSlider>("scroll_speed_slider")->setValue(2); }, 3, 0, {20, false, 3, 0}},
        {"double-click 300 ms", [&] { Get<QSlider>("double_click_slider")->setValue(300); }, 0, 300, {20, false, 3, 300}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        const MouseSystemWords words = page->Mouse().GetSystemWords();
        const uint32_t word = words.words[size_t(step.word / 2)];
        EXPECT_EQ(step.word % 2 == 0 ? (word & 0xFFFF) : (word >> 16), uint32_t(step.stored));
        EXPECT_EQ(page->OsPointerSettings(), step.os);
    }
    EXPECT_FALSE(page->ScrollsPage()) << "moving the wheel slider clears page scrolling";
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(SavedNode()["SystemStages"]["DoubleClickTime"].asInt(), 300);
}

TEST_F(MousePage, KeyLabelsFollowTheAssignments)
{
    ConnectPage();
    std::vector<KeyEntry> keys = page->Mouse().GetKeyTable();
    ASSERT_GE(keys.size(), size_t(kKeyButtons));
    auto assign = [&](int key, uint8_t code, uint8_t p1, uint8_t p2) {
        keys[size_t(key)].current = KeyAssignment::Function(code, p1, p2);
        page->Mouse().SetKeyTable(keys);
        page->RefreshKeyLabelsPage();
    };
    auto rowText = [&](int row) {
        QWidget* widget = page->KeySummary()->itemWidget(page->KeySummary()->item(row));
        return widget->findChild<QLabel*>("keyinfo_value")->toolTip();
    };
    struct Case {
        uint8_t code, p1, p2;
        QString text;
    } cases[] = {
        {0x20, 0x01, 0x06, "Left Ctrl+C"}, // no single row: the modifier and key names joined
        {0x00, 0x00, 0x00, "Disabled"},
        {0x55, 0x00, 0x00, "关闭"},
        {0x72, 0x02, 0x00, "Recoil table 3"},
        {0x72, 0x07, 0x00, "Recoil table 3"}, // no such table: the label keeps its text
        {0x30, 0xE9, 0x00, "Volume up"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        assign(1, c.code, c.p1, c.p2);
        EXPECT_EQ(Get<QAbstractButton>("key_1")->toolTip(), c.text);
        EXPECT_EQ(rowText(1), c.text);
        EXPECT_EQ(Get<QAbstractButton>("key_1")->text(), "Right click");
    }
}

TEST_F(MousePage, KeyClickKeepsOneLeftClickKey)
{
    ConnectPage();
    page->Mouse().SetPageState(2);
    nqtest::MessageBoxWatcher boxes;

    Get<QAbstractButton>("key_0")->click(); // the only left-click key
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_EQ(boxes.Texts()[0], ui::CResourceManager::Instance().Text("message_text_6"));
    EXPECT_TRUE(page->KeyEditor()->isHidden());
    EXPECT_EQ(page->Mouse().SelectedKey(), -1);

    // Another key takes the left click: now key 0 may be changed.
    std::vector<KeyEntry> keys = page->Mouse().GetKeyTable();
    keys[3].current = KeyAssignment::Function(0x10, 0x01, 0x00);
    page->Mouse().SetKeyTable(keys);
    Get<QAbstractButton>("key_0")->click();
    EXPECT_EQ(boxes.Texts().size(), 1);
    EXPECT_EQ(page->Mouse().SelectedKey(), 0);
    EXPECT_FALSE(page->KeyEditor()->isHidden());
    EXPECT_FALSE(Control("keyset_layout")->isHidden());
    EXPECT_TRUE(Control("key_0")->property("selectedKey").toBool());

    // Outside the key tab a key click selects nothing.
    page->Mouse().SetPageState(4);
    Get<QAbstractButton>("key_2")->click();
    EXPECT_EQ(page->Mouse().SelectedKey(), 0);
}

TEST_F(MousePage, AssignedKeyIsSavedToTheMouse)
{
    ConnectPage();
    page->Mouse().SetPageState(2);
    Get<QAbstractButton>("key_2")->click(); // middle button
    ASSERT_EQ(page->Mouse().SelectedKey(), 2);

    auto* function = Get<QComboBox>("keyset_function_combo");
    function->setCurrentIndex(function->findData("7")); // media key
    Get<QComboBox>("keyset_media_combo")->setCurrentIndex(6); // volume up
    EXPECT_EQ(page->Mouse().GetKeyTable()[2].current, KeyAssignment::Function(0x30, 0xE9, 0x00));
    EXPECT_EQ(Get<QAbstractButton>("key_2")->toolTip(), "Volume up");
    EXPECT_TRUE(Control("key_butt_prosave")->isEnabled());
    EXPECT_TRUE(Sent().empty()) << "an applied key is not sent before the save";

    Get<QAbstractButton>("key_butt_prosave")->click();
    EXPECT_FALSE(Control("key_butt_prosave")->isEnabled());
    EXPECT_EQ(SavedNode()["KeyList"][2]["Assignment"].asUInt(), 0x30E900u);
    const Bytes keymap = Area("keymap");
    const auto keySlots = page->Mouse().KeyIndexMap();
    const size_t slot = size_t(keySlots[2]);
    EXPECT_EQ(Bytes(keymap.begin() + 3 * slot, keymap.begin() + 3 * slot + 3), (Bytes{0x30, 0xE9, 0x00}));
}

TEST_F(MousePage, OptionPagesSwitchThePicturesTogether)
{
    Get<QAbstractButton>("mouse_device_seting_option_1")->click();
    EXPECT_EQ(Get<QStackedWidget>("mouse_device_seting_layout")->currentIndex(), 1);
    EXPECT_EQ(Get<QStackedWidget>("Light_seting_layout")->currentIndex(), 1);
    page->SelectOptionPage(9); // beyond the pages: the first
    EXPECT_EQ(Get<QStackedWidget>("mouse_device_seting_layout")->currentIndex(), 0);
    EXPECT_FALSE(ui::CControlAccess::IsSelected(Control("mouse_device_seting_option_1")));
}

TEST_F(MousePage, LedPreviewsShowTheLightingColours)
{
    auto& mouse = page->Mouse();
    mouse.SetLogoLedIndex(6);
    mouse.LedColours().Set(2, MakeLedWord(0x10, 0x20, 0x30, 200));
    mouse.LedColours().Set(6, MakeLedWord(0xFF, 0x00, 0x80, 255));
    page->OutputLightFramePage();
    // The colour handed to a button: red | blue << 8 | green << 16 with the word's level.
    QColor expected;
    {
        pages::CDeviceKeyButtonUI probe;
        probe.SetLightColour(0x10 | (0x30 << 8) | (0x20 << 16), 200, true);
        expected = probe.LightColour();
    }
    EXPECT_EQ(page->LedButton(2)->LightColour(), expected);
    EXPECT_TRUE(page->LogoButton()->ShowsLight());
}

TEST_F(MousePage, OnboardSlotSwitchIsShown)
{
    ConnectPage();
    ASSERT_EQ(Fw({"profile", "2"}), "slot 2");
    const Bytes config = Area("config");
    const int active = config[256 + 12]; // slot 2's active DPI stage
    ASSERT_NE(active, page->Mouse().GetActiveStage()) << "the slots must differ for this test";
    page->Mouse().OnDeviceNotice();       // what the tab's notice timer runs
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Control(QString("DPI_slider_%1").arg(i))->property("activeStage").toBool(), i == active) << i;
    EXPECT_TRUE(page->LogoButton()->toolTip().startsWith("Lighting\n"));
}
