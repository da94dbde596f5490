// The mouse page as a user drives it, with its mouse on the simulator: after every step the page,
// the saved profile and the simulated mouse's memory agree.
#include "MousePageFixture.h"

#include "profiles/JsonFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionButton>

#include <filesystem>
#include <gtest/gtest.h>

using namespace nq;
using nqtest::Bytes;
using nqtest::SentReport;
using nqtest::SlotStageX;

namespace {

constexpr uint8_t kStreamLighting = 18;
constexpr int kForward = nqtest::MousePageTest::kForward;


} // namespace

class MousePageAgreement : public nqtest::MousePageTest {
protected:
    // Forward does Ctrl + C, saved to the mouse.
    void SaveCtrlCOnForward()
    {
        SelectKey(kForward);
        ChooseCtrlC();
        Get<QAbstractButton>("key_butt_prosave")->click();
        ASSERT_EQ(KeySlot(kForward), (Bytes{0x20, 0x01, 0x06}));
    }
};

TEST_F(MousePageAgreement, DpiAboveTheSensorIsTakenAtItsHighestAndTheRangeIsShown)
{
    ConnectPage();
    const int step = page->Mouse().Info().DpiStep();
    const int highest = page->Mouse().DpiSliderMaximum();
    ASSERT_EQ(highest * step, 26000);
    auto* edit = Get<QLineEdit>("DPI_edit_4");
    edit->setText("30000");
    emit edit->returnPressed();

    EXPECT_EQ(edit->text(), "26000");
    EXPECT_EQ(page->GetDpiSlider(4), highest);
    EXPECT_EQ(SlotStageX(Area("config"), 0, 4), highest);
    EXPECT_EQ(SavedNode()["DPIStages"]["StageDPIs"][4]["StageDPIX"].asInt(), highest);
    QWidget* hint = Control("device_tishi_info");
    EXPECT_FALSE(hint->isHidden());
    EXPECT_TRUE(Text("device_tishi_info").contains("26000")) << Text("device_tishi_info").toStdString();
    EXPECT_TRUE(Text("device_tishi_info").contains("100"));

    // A DPI in range is taken as typed and says nothing.
    page->Mouse().SetPageState(4); // hides the hint
    edit->setText("25950");
    emit edit->returnPressed();
    EXPECT_EQ(page->GetDpiSlider(4), 519);
    EXPECT_EQ(SlotStageX(Area("config"), 0, 4), 519);
    EXPECT_TRUE(hint->isHidden());
}

TEST_F(MousePageAgreement, CancelReturnsEditorPageAndProfileToWhatTheMouseHolds)
{
    ConnectPage();
    SelectKey(kForward);
    ChooseCtrlC();
    ASSERT_EQ(KeyText(kForward), "Left Ctrl+C");
    ASSERT_EQ(page->Mouse().GetKeyTable()[kForward].current, KeyAssignment::Function(0x20, 0x01, 0x06));

    Get<QAbstractButton>("key_butt_keycancel")->click();
    const KeyAssignment forward = KeyAssignment::Function(0x10, 0x10, 0x00);
    EXPECT_EQ(page->Mouse().GetKeyTable()[kForward].current, forward);
    EXPECT_EQ(KeyText(kForward), "Forward");
    EXPECT_EQ(ui::CControlAccess::CurrentPage(Control("function_switch_tablayout")), 0); // its factory function
    EXPECT_FALSE(Control("key_butt_prosave")->isEnabled());
    EXPECT_EQ(SavedNode()["KeyList"][kForward]["Assignment"].asUInt(), 0x101000u);

    // An unrelated change saves the profile: the cancelled key stays out of it, and the mouse
    // was never asked to change.
    Get<QRadioButton>("polling_rate_option_2")->click();
    EXPECT_EQ(SavedNode()["KeyList"][kForward]["Assignment"].asUInt(), 0x101000u);
    EXPECT_EQ(KeySlot(kForward), (Bytes{0x10, 0x10, 0x00}));
}

TEST_F(MousePageAgreement, AKeyEditWaitsForTheKeySaveWhateverElseIsSaved)
{
    ConnectPage();
    SelectKey(kForward);
    ChooseCtrlC();
    ASSERT_TRUE(Control("key_butt_prosave")->isEnabled()); // pending
    // A DPI change saves the profile: the pending key stays out of the file, as out of the mouse.
    Get<QSlider>("DPI_slider_0")->setValue(20);
    EXPECT_EQ(SavedNode()["DPIStages"]["StageDPIs"][0]["StageDPIX"].asInt(), 20);
    EXPECT_EQ(SavedNode()["KeyList"][kForward]["Assignment"].asUInt(), 0x101000u);
    EXPECT_EQ(KeySlot(kForward), (Bytes{0x10, 0x10, 0x00}));
    EXPECT_EQ(KeyText(kForward), "Left Ctrl+C"); // still shown as the edit in progress

    Get<QAbstractButton>("key_butt_prosave")->click();
    EXPECT_EQ(SavedNode()["KeyList"][kForward]["Assignment"].asUInt(), 0x200106u);
    EXPECT_EQ(KeySlot(kForward), (Bytes{0x20, 0x01, 0x06}));
    // Later saves keep it.
    Get<QSlider>("DPI_slider_0")->setValue(24);
    EXPECT_EQ(SavedNode()["KeyList"][kForward]["Assignment"].asUInt(), 0x200106u);
}

TEST_F(MousePageAgreement, CancelAfterASaveKeepsWhatWasSaved)
{
    ConnectPage();
    SaveCtrlCOnForward();

    // Another choice, then cancel: back to what the mouse now holds.
    auto* function = Get<QComboBox>("keyset_function_combo");
    function->setCurrentIndex(function->findData("7"));
    Get<QComboBox>("keyset_media_combo")->setCurrentIndex(6);
    Get<QAbstractButton>("key_butt_keycancel")->click();
    EXPECT_EQ(page->Mouse().GetKeyTable()[kForward].current, KeyAssignment::Function(0x20, 0x01, 0x06));
    EXPECT_EQ(KeyText(kForward), "Left Ctrl+C");
    EXPECT_EQ(SavedNode()["KeyList"][kForward]["Assignment"].asUInt(), 0x200106u);
}

TEST_F(MousePageAgreement, RestoreDefaultThenSaveSendsTheDefault)
{
    ConnectPage();
    SaveCtrlCOnForward();

    Get<QAbstractButton>("key_butt_keydefalut")->click();
    EXPECT_EQ(KeyText(kForward), "Forward");
    EXPECT_TRUE(Control("key_butt_prosave")->isEnabled());
    Get<QAbstractButton>("key_butt_prosave")->click();
    EXPECT_EQ(KeySlot(kForward), (Bytes{0x10, 0x10, 0x00}));
    EXPECT_EQ(SavedNode()["KeyList"][kForward]["Assignment"].asUInt(), 0x101000u);
    EXPECT_EQ(page->Mouse().GetKeyTable()[kForward].current, KeyAssignment::Function(0x10, 0x10, 0x00));
}

TEST_F(MousePageAgreement, OnboardSlotButtonSwitchesEverythingShownAndEditsStayInThatSlot)
{
    ConnectPage();
    // Slot 0 now differs from the factory's slot 1: report rate 250 Hz, stage 1 at 20 units.
    Get<QRadioButton>("polling_rate_option_1")->click();
    Get<QSlider>("DPI_slider_0")->setValue(20);
    const Bytes slot0 = Area("config");
    ASSERT_EQ(slot0[11], 1);

    ASSERT_EQ(Fw({"button"}), "slot 1"); // the button on the mouse
    page->Mouse().OnDeviceNotice();      // what the tab's notice timer runs
    const Bytes config = Area("config");
    const int factoryStages[5] = {8, 16, 32, 64, 128};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(page->GetDpiSlider(i), factoryStages[i]);
        EXPECT_EQ(Control(QString("DPI_slider_%1").arg(i))->property("activeStage").toBool(), i == config[128 + 12]);
    }
    EXPECT_EQ(page->SelectedPollingOption(), config[128 + 11]);
    EXPECT_EQ(Text("deng_edit_R"), QString::number(config[128 + 6]));
    EXPECT_EQ(Text("deng_edit_G"), QString::number(config[128 + 7]));
    EXPECT_EQ(SavedNode()["ReportStages"]["StageActive"].asInt(), config[128 + 11]);
    EXPECT_EQ(SavedNode()["DPIStages"]["StageDPIs"][0]["StageDPIX"].asInt(), 8);

    // Edits go to slot 1; the mouse stays on it and slot 0 keeps its settings.
    Get<QRadioButton>("polling_rate_option_4")->click();
    Get<QSlider>("DPI_slider_2")->setValue(40);
    const Bytes after = Area("config");
    EXPECT_EQ(after[0], 1);
    EXPECT_EQ(after[128 + 11], 4);
    EXPECT_EQ(SlotStageX(after, 1, 2), 40);
    EXPECT_EQ(Bytes(after.begin() + 1, after.begin() + 128), Bytes(slot0.begin() + 1, slot0.begin() + 128));
}

TEST_F(MousePageAgreement, AllTenButtonsAreListedAndEditable)
{
    ConnectPage();
    QListWidget* list = page->KeySummary();
    ASSERT_EQ(list->count(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(list->item(i)->isHidden()) << i;
    EXPECT_EQ(KeyText(7), "DPI cycle");
    EXPECT_EQ(KeyText(9), "DPI shift");

    const struct {
        int key;
        int mouseButton; // "keyset_mousekey_combo" position
        Bytes sent;
    } cases[] = {{7, 0, {0x10, 0x01, 0x00}}, {8, 1, {0x10, 0x04, 0x00}}, {9, 3, {0x10, 0x10, 0x00}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        SelectKey(c.key);
        EXPECT_FALSE(Control("keyset_layout")->isHidden());
        auto* function = Get<QComboBox>("keyset_function_combo");
        function->setCurrentIndex(function->findData("1"));
        Get<QComboBox>("keyset_mousekey_combo")->setCurrentIndex(c.mouseButton);
        Get<QAbstractButton>("key_butt_prosave")->click();
        EXPECT_EQ(KeySlot(c.key), c.sent);
    }
}

TEST_F(MousePageAgreement, TheLightsViewKeepsTheLightingControls)
{
    window->show();
    ConnectPage();
    Get<QAbstractButton>("mouse_device_seting_option_1")->click();
    page->Mouse().SetPageState(1);
    ASSERT_EQ(Get<QStackedWidget>("mouse_device_seting_layout")->currentIndex(), 1);
    EXPECT_TRUE(page->LightEditor()->isVisible());
    for (const char* name : {"light_combo_modeSelect", "deng_light_slider", "deng_edit_R", "color_option_0"})
        EXPECT_TRUE(Control(name)->isVisible()) << name;
    EXPECT_TRUE(Control("mouse_led_caption_2")->isVisible());
    window->hide();
}

TEST_F(MousePageAgreement, PointerSlidersHoldTheInstalledDefaultProfile)
{
    // The installed default profile, as the program reads it.
    std::filesystem::copy_file(NQ501_SOURCE_DIR "/DefaultData/mouse.Json", folders->DefaultFolder() + "mouse.Json",
                               std::filesystem::copy_options::overwrite_existing);
    const Json::Value stages = ReadJsonFile(folders->DefaultFolder() + "mouse.Json")["Device"][0]["SystemStages"];
    ConnectPage();
    EXPECT_EQ(page->PointerSpeed(), stages["MouseSpeed"].asInt());
    EXPECT_EQ(page->DoubleClick(), stages["DoubleClickTime"].asInt());
    EXPECT_EQ(page->ScrollSpeed(), stages["WheelScorlllinse"].asInt());
    // Nothing was cut to the slider: the profile still holds the same values.
    EXPECT_EQ(SavedNode()["SystemStages"], stages);
}

TEST_F(MousePageAgreement, TheSeventhLedIsStreamed)
{
    ConnectPage();
    ASSERT_EQ(page->Mouse().LedCount(), 7);
    ASSERT_NE(page->LedButton(6), nullptr);
    page->Mouse().LedColours().Set(6, MakeLedWord(0x40, 0x80, 0xC0, 255));
    page->OutputLightFramePage();
    const std::vector<SentReport> sent = Sent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), (SentReport{kStreamLighting, 21, 0}));
    const Bytes frame = Area("frame");
    EXPECT_EQ(Bytes(frame.begin() + 18, frame.begin() + 21),
              (Bytes{uint8_t((0x40 * 255) >> 8), uint8_t((0x80 * 255) >> 8), uint8_t((0xC0 * 255) >> 8)}));
}

TEST_F(MousePageAgreement, TheLastStagesCheckLooksItCannotBeChanged)
{
    QFile sheet(NQ501_SOURCE_DIR "/skin/style.qss");
    ASSERT_TRUE(sheet.open(QIODevice::ReadOnly));
    // The program's style sheet for this test only.
    struct StyleSheet {
        QString before = qApp->styleSheet();
        explicit StyleSheet(const QString& sheet) { qApp->setStyleSheet(sheet); }
        ~StyleSheet() { qApp->setStyleSheet(before); }
    } style(QString::fromUtf8(sheet.readAll()));
    window->show();
    ConnectPage();
    page->Mouse().SetPageState(4);
    auto* last = Get<QCheckBox>("DPI_enable_check_4");
    auto indicatorColour = [&] {
        QStyleOptionButton option;
        option.initFrom(last);
        const QRect box = last->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, last);
        return last->grab().toImage().pixelColor(box.center());
    };
    const QColor enabled = indicatorColour();
    for (int i = 0; i < 4; ++i)
        Get<QCheckBox>(QString("DPI_enable_check_%1").arg(i))->click();
    ASSERT_FALSE(last->isEnabled());
    ASSERT_TRUE(last->isChecked());
    EXPECT_NE(indicatorColour(), enabled);
    window->hide();
}

TEST_F(MousePageAgreement, TheSwatchRingFollowsTheColourShown)
{
    ConnectPage();
    auto* red = Get<QAbstractButton>("color_option_0");
    red->click();
    EXPECT_TRUE(red->property("selectedSwatch").toBool());
    EXPECT_EQ(Area("config")[6], 0xFF); // red

    ASSERT_EQ(Fw({"profile", "1"}), "slot 1"); // static green on the mouse
    page->Mouse().OnDeviceNotice();
    EXPECT_EQ(page->Mouse().MainLightSetting().Green(), 255);
    EXPECT_FALSE(red->property("selectedSwatch").toBool());
    EXPECT_NE(red->focusPolicy() & Qt::ClickFocus, Qt::ClickFocus); // a click leaves no focus ring
}

TEST_F(MousePageAgreement, ColourEditsTakeEnter)
{
    ConnectPage();
    auto* green = Get<QLineEdit>("deng_edit_G");
    green->setText("300");
    emit green->returnPressed();
    EXPECT_EQ(green->text(), "255");
    EXPECT_EQ(page->Mouse().MainLightSetting().Green(), 255);
    EXPECT_EQ(Area("config")[7], 255);
    EXPECT_EQ(SavedNode()["LightInfo"]["Green"].asInt(), 255);
}
