// The keyboard page in a real skin window over the simulated keyboard: the picture drawn from the
// layout data, the views, the previews, the system settings and what each change writes.
#include "KeyboardPageFixture.h"

#include "devices/LightingColourBuffer.h"
#include "editors/qt/CKeySetControlUI.h"
#include "editors/qt/CDeviceOptionUI.h"
#include "editors/qt/CLightControlUI.h"
#include "profiles/JsonFile.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace nq;
using nq::pages::CKeyCapButtonUI;

namespace {

constexpr uint8_t kWriteConfig = 6, kWriteColours = 11;

bool Sends(const std::vector<uint8_t>& commands, uint8_t command)
{
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

} // namespace

class KeyboardPage : public nqtest::KeyboardPageTest {};

TEST_F(KeyboardPage, PictureHasACapForEveryKeyOfTheLayoutAtItsWidth)
{
    const KeyboardPictureLayout& layout = page->PictureLayout();
    ASSERT_EQ(layout.keys.size(), 113u); // 126 positions, 13 without a key on this keyboard
    for (int p : {20, 62, 79, 85, 104, 125})
        EXPECT_EQ(Control(QString("key_%1").arg(p)), nullptr) << p;

    CKeyCapButtonUI* esc = page->KeyCap(0);
    CKeyCapButtonUI* backspace = page->KeyCap(34);
    CKeyCapButtonUI* space = page->KeyCap(108);
    ASSERT_TRUE(esc && backspace && space);
    EXPECT_EQ(esc->Legend(), "Esc");
    const int unit = layout.unit;
    EXPECT_EQ(backspace->width() + layout.gap, 2 * unit);
    EXPECT_NEAR(space->width() + layout.gap, 6.25 * unit, 1);
    // Caps of one row share their top; the row below starts one unit lower.
    EXPECT_EQ(page->KeyCap(43)->y(), page->KeyCap(55)->y());
    EXPECT_EQ(page->KeyCap(64)->y() - page->KeyCap(43)->y(), unit);
}

TEST_F(KeyboardPage, ViewsBindTheirLedsAndOutOfRangeViewsShowTheKeys)
{
    page->SelectKeyboardView(1);
    EXPECT_FALSE(Control("key_Op_tab")->isVisibleTo(page));
    EXPECT_EQ(Kb().CurrentView(), 1);
    EXPECT_EQ(Get<QStackedWidget>("Light_seting_layout")->currentIndex(), 1);
    EXPECT_NE(Kb().KeyButton(0), nullptr); // key buttons stay bound

    page->SelectKeyboardView(5);
    EXPECT_EQ(Kb().CurrentView(), 0);
    EXPECT_EQ(Get<QStackedWidget>("keyboard_device_seting_layout")->currentIndex(), 0);
    EXPECT_TRUE(Control("key_Op_tab")->isVisibleTo(page));
}

TEST_F(KeyboardPage, PreviewsShowColourWordsAndTheLogoOffAtLevelZero)
{
    ConnectPage();
    Kb().SetKeyColour(64, MakeLedWord(10, 20, 30, 200));
    Kb().OutputLightFrame();
    const QColor shown = page->KeyCap(64)->LightColour();
    EXPECT_EQ(std::vector<int>({shown.red(), shown.green(), shown.blue(), shown.alpha()}),
              std::vector<int>({10, 20, 30, 200}));

    page->SelectKeyboardView(1);
    LightSetting logo = Kb().GetLogoLightSetting();
    logo[LightSetting::kLogoOnOff] = 1;
    Kb().Profile().SetLogoLightInfo(logo);
    Kb().LoadLighting();
    Kb().OnRefreshTickB();
    for (int i = 0; i < 15; ++i) {
        auto* lamp = Get<CKeyCapButtonUI>(QString("logo_led_%1").arg(i));
        ASSERT_NE(lamp, nullptr) << i;
        EXPECT_EQ(lamp->LightColour().alpha(), 0) << i;
    }
    logo[LightSetting::kLogoOnOff] = 0;
    Kb().Profile().SetLogoLightInfo(logo);
    Kb().LoadLighting();
    // The page is not shown, so the engine's threads sleep: run a few logo steps here.
    Kb().PreviewEngine().Advance(KeyboardLightingEngine::Thread::Logo, 50, LightingClockMs());
    Kb().OnRefreshTickB();
    EXPECT_GT(Get<CKeyCapButtonUI>("logo_led_0")->LightColour().alpha(), 0);
}

TEST_F(KeyboardPage, SystemOptionsStoreTheirWordsAndWriteWhatTheKeyboardKeeps)
{
    ConnectPage();
    Raise("repeat_delay_check_2", "selectchanged", 1);
    EXPECT_TRUE(Get<QLabel>("repeat_delay_time_label1")->text().endsWith("750ms"));
    EXPECT_EQ(Kb().GetKeyboardSystemWords().RepeatDelay(), 2);
    EXPECT_TRUE(Sent().empty()); // repeat settings live in the profile only

    Raise("winlockflag_option", "selectchanged", 1);
    Raise("polling_rate_option_1", "selectchanged", 1);
    EXPECT_TRUE(Sends(SentCommands(), kWriteConfig));
    const nqtest::Bytes config = Area("config");
    EXPECT_EQ(config[21], 1);
    EXPECT_EQ(config[22], 1);
    // The page took the profile list's current profile.
    EXPECT_EQ(ReadJsonFile(page->Keyboard().CurrentProfilePath())["Device"][0]["SystemStages"]["WinFlag"].asInt(), 1);
    EXPECT_EQ(Control("win_lock_indicator")->property("lit").toBool(), true);

    page->SelectOptionGroup("polling_rate_option_", 7);
    EXPECT_EQ(page->SelectedOption("polling_rate_option_"), 0);
}

TEST_F(KeyboardPage, RefusedWriteIsShownUntilAWriteSucceeds)
{
    ConnectPage();
    EXPECT_EQ(Control("keyboard_write_status"), nullptr) << "the page's status line is the only one";
    Fw({"refuse", "ff", "2"}); // the block after BatchBegin
    Raise("wflag_option", "selectchanged", 1);
    QLabel* status = page->StatusLine();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->isVisibleTo(page));
    EXPECT_EQ(status->text(), "Not written: the keyboard refused the change.");

    Raise("wflag_option", "selectchanged", 0);
    EXPECT_FALSE(status->isVisibleTo(page));

    page->Keyboard().Channel().Close();
    Raise("6flag_option", "selectchanged", 1);
    EXPECT_TRUE(status->isVisibleTo(page));
    EXPECT_EQ(status->text(), "Not written: the keyboard is not connected.");
}

TEST_F(KeyboardPage, ClickedKeyGoesToTheEditorAndItsNewAssignmentToTheKeyboard)
{
    ConnectPage();
    Raise("key_Op_tab", "selectchanged", 1);
    EXPECT_FALSE(page->KeyCap(110)->isEnabled()); // Fn stays as it is
    EXPECT_FALSE(page->OnKeyClick(110));
    Raise("key_64", "click");
    EXPECT_EQ(Kb().SelectedKey(), 64);
    EXPECT_TRUE(page->KeyCap(64)->property("selectedKey").toBool());

    KeyEntry entry = Kb().GetKeyTable()[64];
    entry.current = KeyAssignment::Function(0x20, 0x00, 0x05); // "B"
    page->Keyboard().SetSelectedKeyEntry(entry);
    EXPECT_EQ(page->Keyboard().WriteAssignmentsToDevice(0), kOk);
    page->Keyboard().RefreshKeyLabels();
    const nqtest::Bytes keymap = Area("keymap");
    EXPECT_EQ(nqtest::Bytes(keymap.begin() + 3 * 64, keymap.begin() + 3 * 64 + 3), (nqtest::Bytes{0x20, 0x00, 0x05}));
    EXPECT_TRUE(page->KeyCap(64)->IsRemapped());
    EXPECT_FALSE(page->KeyCap(65)->IsRemapped());
    EXPECT_FALSE(page->KeyCap(64)->text().isEmpty());

    Raise("deng_Op_tab", "selectchanged", 1);
    EXPECT_TRUE(page->KeyCap(110)->isEnabled());
}

TEST_F(KeyboardPage, KeySaveOfASlowKeyboardRunsOnItsWorkerAndReachesIt)
{
    ConnectPage();
    // A device tab hosts the keyboard: its transfers run on its worker, results come back through
    // the event loop.
    pages::CDeviceOptionUI tab;
    tab.AttachDevice(&Kb());
    Kb().SetTimerHost(&tab);
    Raise("key_Op_tab", "selectchanged", 1);
    Raise("key_64", "click");
    ASSERT_EQ(Kb().SelectedKey(), 64);
    auto* function = Get<QComboBox>("keyset_function_combo");
    function->setCurrentIndex(function->findData("11"));
    Get<QComboBox>("keyset_combokey_combo")->setCurrentIndex(4); // Ctrl + C

    // Replies come late, within the channel's time limit.
    ASSERT_EQ(Sim().FirmwareControl("keyboard", {"delay", "600", "1..4"}), "ok");
    Get<QAbstractButton>("key_butt_prosave")->click();
    EXPECT_TRUE(page->KeyEditor()->Saving());
    bool timerFired = false;
    QTimer::singleShot(0, page, [&] { timerFired = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return timerFired; }, 15000));
    EXPECT_TRUE(page->KeyEditor()->Saving()) << "the window waited for the keyboard";

    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->KeyEditor()->Saving(); }, 15000));
    const nqtest::Bytes keymap = Area("keymap");
    EXPECT_EQ(nqtest::Bytes(keymap.begin() + 3 * 64, keymap.begin() + 3 * 64 + 3), (nqtest::Bytes{0x20, 0x01, 0x06}));
    EXPECT_EQ(Kb().KeyImage()[3 * 64], 0x20);
    EXPECT_TRUE(page->KeyCap(64)->IsRemapped());
    EXPECT_FALSE(Get<QAbstractButton>("key_butt_prosave")->isEnabled());
    ASSERT_TRUE(Kb().TransferWorker().WaitIdle(15000));
    Kb().SetTimerHost(nullptr);
}

TEST_F(KeyboardPage, MacroKeyBeyondTheListKeepsItsLabel)
{
    ConnectPage();
    page->Keyboard().RefreshKeyLabels();
    const QString before = page->KeyCap(1)->text();
    std::vector<KeyEntry> keys = Kb().GetKeyTable();
    keys[1].current = KeyAssignment::Function(0x70, 3, 0);
    Kb().SetKeyTable(keys);
    page->Keyboard().RefreshKeyLabels();
    EXPECT_EQ(page->KeyCap(1)->text(), before);
}

TEST_F(KeyboardPage, CustomEffectPaintsClickedKeysIntoTheColourGroup)
{
    ConnectPage();
    Raise("deng_Op_tab", "selectchanged", 1);
    auto* effects = Get<QComboBox>("light_combo_modeSelect");
    ASSERT_NE(effects, nullptr);
    effects->setCurrentIndex(20);
    Raise("light_combo_modeSelect", "itemselect", 20);
    EXPECT_EQ(Area("config")[1], 20);
    EXPECT_TRUE(Control("light_combo_custommodeSelectLayout")->isVisibleTo(page));
    EXPECT_FALSE(Control("deng_speed_layout")->isVisibleTo(page));

    Raise("color_option_0", "click"); // red preset
    ClearSent();
    for (const char* key : {"key_43", "key_44", "key_45"})
        Raise(key, "click");
    EXPECT_TRUE(Sends(SentCommands(), kWriteColours));
    const nqtest::Bytes colours = Area("colours");
    const LightSetting main = Kb().GetLightSetting();
    for (int p : {43, 44, 45}) {
        EXPECT_EQ(colours[size_t(3 * p)], main.Red()) << p;
        EXPECT_EQ(colours[size_t(3 * p + 1)], main.Green()) << p;
        EXPECT_EQ(page->KeyCap(p)->LightColour().red(), main.Red()) << p;
    }
    EXPECT_EQ(main.Red(), 255);

    // Another group takes its own colours from the profile and writes them to its slot.
    ClearSent();
    auto* groups = Get<QComboBox>("light_combo_custommodeSelect");
    groups->setCurrentIndex(1);
    Raise("light_combo_custommodeSelect", "itemselect", 1);
    EXPECT_EQ(Area("config")[26], 1);
    bool slotOne = false;
    for (const nqtest::SentReport& r : Sent())
        slotOne = slotOne || (r.command == kWriteColours && r.offset >= 512 && r.offset < 1024);
    EXPECT_TRUE(slotOne);
}

TEST_F(KeyboardPage, LogoAndSidePanelsWriteTheirZones)
{
    ConnectPage();
    page->SelectKeyboardView(1);
    Raise("LightTab1_deng_light_slider", "valuechanged", 2);
    EXPECT_EQ(Area("config")[28], 2);
    page->SelectKeyboardView(2);
    Raise("LightTab2_deng_speed_slider", "valuechanged", 1);
    EXPECT_EQ(Area("config")[39], 3); // stored as 4 - level
    EXPECT_EQ(Kb().GetLightSetting().Speed(LightSetting::kSt), 1);
    EXPECT_EQ(Kb().GetLightSetting().Brightness(LightSetting::kLogo), 2);
}

TEST_F(KeyboardPage, PreviewEngineRunsOnlyWhileThePageIsShown)
{
    ConnectPage();
    EXPECT_FALSE(Kb().IsPreviewShown());
    window->show();
    EXPECT_TRUE(Kb().IsPreviewShown());
    window->hide();
    EXPECT_FALSE(Kb().IsPreviewShown());
}

TEST_F(KeyboardPage, MacroEditorMacroOnAKeyReachesTheKeyboard)
{
    ConnectPage();
    auto* editor = page->MacroEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(Control("macro_Op_tab")->isVisibleTo(page));
    Raise("macro_Op_tab", "selectchanged", 1);
    qobject_cast<QAbstractButton*>(editor->Control("macro_btn_name_add"))->click();
    editor->OnMenuItem("left_click");
    Raise("key_Op_tab", "selectchanged", 1);
    Raise("key_64", "click");
    auto* function = Get<QComboBox>("keyset_function_combo");
    function->setCurrentIndex(function->findData("9"));
    ASSERT_EQ(Get<QComboBox>("keyset_macro_combo")->count(), 1);
    Get<QComboBox>("keyset_macro_combo")->setCurrentIndex(0);
    Get<QComboBox>("keyset_macro_over_combo")->setCurrentIndex(0);
    qobject_cast<QAbstractButton*>(Control("key_butt_prosave"))->click();
    const nqtest::Bytes image = {0xAA, 0x55, 30, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 18, 0,
                                 2, 0, 0, 0, 50, 0, 0x81, 0x01, 50, 0, 0x01, 0x01};
    const nqtest::Bytes macros = Area("macros");
    EXPECT_EQ(nqtest::Bytes(macros.begin(), macros.begin() + long(image.size())), image);
    const nqtest::Bytes keymap = Area("keymap");
    EXPECT_EQ(nqtest::Bytes(keymap.begin() + 3 * 64, keymap.begin() + 3 * 64 + 3), (nqtest::Bytes{0x70, 0, 0}));
}
