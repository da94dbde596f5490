// The pad page: its picture from the layout data file, live previews, the lighting editor writing
// the pad, LEDs picked on the picture and given their own effect, what the page says when a
// change does not reach the pad, and the charging pad's power display.
#include "PadPageFixture.h"

#include "devices/MousePadLedLayout.h"
#include "editors/qt/CMpDevicePowerUI.h"
#include "editors/qt/CSelectPanelUI.h"
#include "ui/CNotifyBridge.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace nqtest {
namespace {

using nq::LightSetting;
using nq::ui::CControlAccess;

TEST_F(PadPageTest, PictureHasEveryLedWhereTheLayoutFilePutsIt)
{
    BuildPage();
    const auto layout = nq::MousePadLedLayout::Load(NQ501_SOURCE_DIR "/skin/XML/DeviceXml/mousepad_leds.json");
    ASSERT_TRUE(layout);
    ASSERT_EQ(layout->leds.size(), size_t(kLeds));
    for (int i = 0; i < kLeds; ++i) {
        SCOPED_TRACE(i);
        nq::pages::CDeviceKeyButtonUI* button = page->LedButton(i);
        ASSERT_NE(button, nullptr);
        const QRect at = button->geometry();
        EXPECT_EQ(at.topLeft() + QPoint(at.width() / 2, at.height() / 2), QPoint(layout->leds[i].x, layout->leds[i].y));
        EXPECT_EQ(page->Pad().LightButton(i), page->AdapterOf(button)) << "bound to the pad's LED " << i;
    }
    EXPECT_EQ(page->Pad().SelectionPanel(), page->AdapterOf(page->Picture()));
    EXPECT_EQ(Control("mousepad_charging_surface"), nullptr) << "only the charging pad has the charging spot";
}

TEST_F(PadPageTest, EditorChangesAreWrittenAndPreviewed)
{
    BuildPage();
    nq::pages::CLightControlUI* editor = page->LightEditor();
    ASSERT_NE(editor, nullptr);
    auto* effects = qobject_cast<QComboBox*>(CControlAccess::FindControl(editor, "light_combo_modeSelect"));
    ASSERT_NE(effects, nullptr);
    ASSERT_EQ(effects->count(), 9);
    EXPECT_EQ(effects->currentIndex(), 0) << "the default profile's wave";

    effects->setCurrentIndex(3); // static
    EXPECT_EQ(SentCommands(), (Bytes{1, 6, 2}));
    auto* speed = qobject_cast<QSlider*>(CControlAccess::FindControl(editor, "deng_speed_slider"));
    ASSERT_NE(speed, nullptr);
    ClearSent();
    speed->setValue(1);
    nq::ui::CNotifyBridge::Raise(speed, "valuechanged", 1);
    const Bytes config = Area("config");
    EXPECT_EQ(config[1], 3);
    EXPECT_EQ(config[3], 3) << "speed level 1 stored as 4 - 1";
    EXPECT_EQ(page->Pad().LastWriteOutcome(), nq::CKelvaskMousePadDevice::WriteOutcome::Written);
    EXPECT_TRUE(!page->StatusLine() || page->StatusLine()->isHidden());

    // The frame previews the static colour on the picture and streams it.
    ClearSent();
    page->Pad().Engine().Advance(40, nq::LightingClockMs());
    page->Pad().OutputLightFrame();
    const LightSetting main = page->Pad().MainLightSetting();
    EXPECT_EQ(page->LedButton(9)->LightColour(), QColor(main.Red(), main.Green(), main.Blue()));
    EXPECT_EQ(SentCommands(), Bytes{18});
}

TEST_F(PadPageTest, PickedLedsTakeTheirOwnEffect)
{
    BuildPage();
    window->resize(page->size());
    window->show();
    // Three edge LEDs: two clicked, one more by a drag over it.
    QTest::mouseClick(page->LedButton(2), Qt::LeftButton);
    QTest::mouseClick(page->LedButton(3), Qt::LeftButton);
    EXPECT_EQ(page->PickedLeds(), (std::vector<int>{2, 3}));
    QTest::mouseClick(page->LedButton(3), Qt::LeftButton);
    EXPECT_EQ(page->PickedLeds(), (std::vector<int>{2}));

    auto* panel = qobject_cast<nq::pages::CSelectPanelUI*>(page->Picture());
    const QRect around = page->LedButton(10)->geometry().united(page->LedButton(12)->geometry()).adjusted(-2, -2, 2, 2);
    panel->DragPress(around.topLeft());
    panel->DragMove(around.bottomRight());
    panel->DragRelease();
    EXPECT_EQ(page->PickedLeds(), (std::vector<int>{10, 11, 12})) << "a drag picks what it covers";

    auto* combo = qobject_cast<QComboBox*>(Control("led_record_combo"));
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(3); // flash
    QTest::mouseClick(qobject_cast<QAbstractButton*>(Control("led_record_apply")), Qt::LeftButton);
    const Json::Value list = SavedNode()["LightList"];
    ASSERT_EQ(list.size(), size_t(kLeds));
    for (int led : {10, 11, 12})
        EXPECT_EQ(list[led]["LEDREGMode"].asInt(), 2) << led;
    EXPECT_TRUE(list[2].isNull());
    EXPECT_EQ(page->Pad().KeyLightRecords()[11][LightSetting::kPresent], 1) << "the engine runs them";
    EXPECT_TRUE(Sent().empty()) << "LED records live in the profile; the pad's block does not change";

    // Taking them away again.
    combo->setCurrentIndex(0);
    QTest::mouseClick(qobject_cast<QAbstractButton*>(Control("led_record_apply")), Qt::LeftButton);
    EXPECT_TRUE(SavedNode()["LightList"][11].isNull());
    QTest::mouseClick(qobject_cast<QAbstractButton*>(Control("led_pick_clear")), Qt::LeftButton);
    EXPECT_TRUE(page->PickedLeds().empty());
    EXPECT_FALSE(Control("led_record_apply")->isEnabled());
}

TEST_F(PadPageTest, AChangeThatDoesNotReachThePadIsShownAsSuch)
{
    BuildPage();
    window->resize(page->size());
    window->show();
    auto* effects = qobject_cast<QComboBox*>(CControlAccess::FindControl(page->LightEditor(), "light_combo_modeSelect"));
    EXPECT_EQ(Control("mousepad_write_status"), nullptr) << "the page's status line is the only one";
    page->Pad().Channel().Close();
    effects->setCurrentIndex(2);
    QLabel* status = page->StatusLine();
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->isVisible());
    EXPECT_NE(CControlAccess::GetText(status).indexOf("not connected"), -1) << CControlAccess::GetText(status).toStdString();
    EXPECT_TRUE(Sent().empty());

    ASSERT_TRUE(page->Pad().Channel().Open(m_vendorPath));
    ASSERT_EQ(Fw({"refuse", "ff", "2"}), "ok");
    effects->setCurrentIndex(4);
    EXPECT_TRUE(status->isVisible());
    EXPECT_NE(CControlAccess::GetText(status).indexOf("did not take"), -1);

    effects->setCurrentIndex(1);
    EXPECT_FALSE(status->isVisible());
}

TEST_F(PadPageTest, ChargingPadShowsItsPowerWhileThePageIsShown)
{
    BuildPage(nq::pages::CMousePadPageUI::kChargePadLayoutName, "chargepad");
    EXPECT_NE(Control("mousepad_charging_surface"), nullptr);
    nq::pages::CMpDevicePowerUI power;
    power.SetKind(3);
    page->Pad().SetPollsStatus(1);
    page->Pad().SetPowerDisplay(&power);
    QWidget* value = CControlAccess::FindControl(&power, "device_power_value");
    ASSERT_EQ(Fw({"battery", "40"}), "ok");

    page->Pad().PollStatus();
    EXPECT_TRUE(Sent().empty()) << "the page is not shown";
    EXPECT_EQ(CControlAccess::GetText(value), "0%");

    window->resize(page->size());
    window->show(); // showing the page polls at once
    EXPECT_EQ(CControlAccess::GetText(value), "40%");
    ASSERT_EQ(Fw({"battery", "35"}), "ok");
    ASSERT_EQ(Fw({"phone", "1"}), "ok");
    page->Pad().PollStatus();
    EXPECT_EQ(CControlAccess::GetText(value), "35%");
    EXPECT_EQ(CControlAccess::FindControl(&power, "device_phone_type")->toolTip(), "Phone_type_iphone");

    window->hide();
    ClearSent();
    page->Pad().PollStatus();
    EXPECT_TRUE(Sent().empty());
    page->Pad().SetPowerDisplay(nullptr);
}

} // namespace
} // namespace nqtest
