// The page widgets on real Qt widgets: the key-area drag, the device tab as timer host, the
// power display, the recording indicator.
#include "PagesSupport.h"
#include "support/SimFixture.h"
#include "devices/CKelvaskKeyboardDevice.h"
#include "editors/qt/CDeviceKeyButtonUI.h"
#include "editors/qt/CDeviceOptionUI.h"
#include "editors/qt/CMpDevicePowerUI.h"
#include "editors/qt/CRedioMacroButtonUI.h"
#include "editors/qt/CSelectPanelUI.h"
#include "ui/CControlAccess.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProgressBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace nq;
using namespace nq::pages;
using nqtest::WaitFor;

namespace {

void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

struct PanelRig {
    PanelRig()
    {
        window.resize(400, 300);
        auto* layout = new QVBoxLayout(&window);
        panel = new CSelectPanelUI(&window);
        panel->setObjectName("keyboard_device_key_light_0");
        layout->addWidget(panel);
        for (int i = 0; i < 3; ++i) {
            auto* button = new CDeviceKeyButtonUI(panel);
            button->setObjectName(QString("key_%1").arg(i));
            button->setGeometry(10 + 60 * i, 10, 50, 50);
            buttons.push_back(button);
        }
        window.show();
    }
    nqtest::RecordingWindow window;
    CSelectPanelUI* panel = nullptr;
    std::vector<CDeviceKeyButtonUI*> buttons;
};

} // namespace

TEST(SelectPanel, DragEndingInsideOneButtonSelectsOnlyIt)
{
    PanelRig rig;
    // From a point inside key_1 to another point inside it, through the button itself.
    SendMouse(rig.buttons[1], QEvent::MouseButtonPress, {5, 5});
    SendMouse(rig.buttons[1], QEvent::MouseMove, {30, 30});
    EXPECT_TRUE(rig.panel->IsDragging());
    SendMouse(rig.buttons[1], QEvent::MouseButtonRelease, {30, 30});
    EXPECT_FALSE(rig.panel->IsDragging());
    EXPECT_FALSE(rig.buttons[0]->IsKeySelected());
    EXPECT_TRUE(rig.buttons[1]->IsKeySelected());
    EXPECT_FALSE(rig.buttons[2]->IsKeySelected());
    EXPECT_EQ(rig.window.Count("click_select_end", "keyboard_device_key_light_0"), 1);
}

TEST(SelectPanel, DragAcrossButtonsAndPlainClick)
{
    PanelRig rig;
    // Right to left and bottom to top: the rectangle is normalised.
    SendMouse(rig.panel, QEvent::MouseButtonPress, {135, 70});
    SendMouse(rig.panel, QEvent::MouseMove, {20, 20});
    EXPECT_EQ(rig.panel->SelectionRect(), QRect(QPoint(20, 20), QPoint(135, 70)));
    SendMouse(rig.panel, QEvent::MouseButtonRelease, {20, 20});
    EXPECT_TRUE(rig.buttons[0]->IsKeySelected());
    EXPECT_TRUE(rig.buttons[1]->IsKeySelected());
    EXPECT_TRUE(rig.buttons[2]->IsKeySelected());

    // A click without movement changes nothing and raises nothing.
    SendMouse(rig.panel, QEvent::MouseButtonPress, {300, 200});
    SendMouse(rig.panel, QEvent::MouseButtonRelease, {300, 200});
    EXPECT_TRUE(rig.buttons[0]->IsKeySelected());
    EXPECT_EQ(rig.window.Count("click_select_end", "keyboard_device_key_light_0"), 1);

    // A disabled panel does not start a drag.
    rig.panel->setEnabled(false);
    SendMouse(rig.panel, QEvent::MouseButtonPress, {20, 20});
    SendMouse(rig.panel, QEvent::MouseMove, {40, 40});
    EXPECT_FALSE(rig.panel->IsDragging());
}

TEST(DeviceKeyButton, LightColourUnpacksTheDeviceOrder)
{
    CDeviceKeyButtonUI button;
    EXPECT_FALSE(button.ShowsLight());
    EXPECT_TRUE(button.HidesAssignmentImage());
    button.SetLightColour(0x223311, 128, true); // red 0x11, blue 0x33, green 0x22
    EXPECT_EQ(button.LightColour(), QColor(0x11, 0x22, 0x33, 128));
    EXPECT_TRUE(button.ShowsLight());
    EXPECT_TRUE(button.property("notifyMouse").toBool()); // double clicks raise "dbclick"
}

TEST(DeviceOption, IconsAndNamesByType)
{
    struct Case {
        int type, subKind;
        const char* stem;
    } cases[] = {{1, 0, "kb_device"},      {2, 0, "ms_device"}, {3, 0, "hard_mp_device"}, {3, 1, "soft_mp_device"},
                 {4, 0, "hd_device"},      {7, 0, "hd_device"}, {5, 0, "hub_device"},     {6, 0, "unknow_device"},
                 {0, 0, "unknow_device"}, {42, 0, "unknow_device"}};
    for (const Case& c : cases) {
        CDeviceOptionUI tab;
        tab.SetType(c.type, c.subKind);
        EXPECT_EQ(tab.IconStem(), c.stem) << c.type << "/" << c.subKind;
        EXPECT_EQ(tab.NameKey(), QString(c.stem) + "_name_text");
        EXPECT_EQ(tab.IconPaths().at(3), QString("common/device_ico/") + c.stem + "_synchro_selected.png");
    }
    CDeviceOptionUI pad;
    pad.SetType(3, 1);
    pad.SetType(3, 5); // another sub-kind keeps the icons
    EXPECT_EQ(pad.IconStem(), "soft_mp_device");
}

TEST(DeviceOption, LightFrameTimerStopsWhenTheChannelCloses)
{
    nqtest::SimEnvironment sim;
    ASSERT_TRUE(sim.Sim().AddDevice("keyboard"));
    CKelvaskKeyboardDevice keyboard;
    keyboard.SetLedCount(126);
    CDeviceOptionUI tab;
    tab.AttachDevice(&keyboard);
    keyboard.SetTimerHost(&tab);
    ASSERT_TRUE(keyboard.Channel().Open(sim.Sim().PathOf("keyboard", 1, 4)));

    tab.Start();
    EXPECT_TRUE(tab.IsTimerArmed(kTimerConnected));
    EXPECT_FALSE(tab.IsTimerArmed(kTimerLightFrame));
    ASSERT_TRUE(WaitFor([&] { return tab.IsTimerArmed(kTimerLightFrame); }));
    EXPECT_FALSE(tab.IsTimerArmed(kTimerConnected));
    EXPECT_FALSE(tab.IsTimerArmed(kTimerPollStatus)); // the keyboard does not poll its status
    QTest::qWait(200); // several frames
    EXPECT_TRUE(tab.IsTimerArmed(kTimerLightFrame));

    keyboard.Channel().Close();
    EXPECT_TRUE(WaitFor([&] { return !tab.IsTimerArmed(kTimerLightFrame); }, 500));
    QTest::qWait(150);
    EXPECT_FALSE(tab.IsTimerArmed(kTimerLightFrame));
}

TEST(DeviceOption, NoticeTimerArmedFromAnotherThreadRunsOnTheUiThread)
{
    CKelvaskKeyboardDevice keyboard;
    CDeviceOptionUI tab;
    tab.AttachDevice(&keyboard);
    std::thread worker([&] { tab.SetTimer(kTimerDeviceNotice, 500); });
    worker.join();
    EXPECT_FALSE(tab.IsTimerArmed(kTimerDeviceNotice)); // handed to the UI thread, not armed yet
    ASSERT_TRUE(WaitFor([&] { return tab.IsTimerArmed(kTimerDeviceNotice); }, 500));
    EXPECT_TRUE(WaitFor([&] { return !tab.IsTimerArmed(kTimerDeviceNotice); }, 1500)); // one-shot
}

TEST(MpDevicePower, ShortStatusReportShowsNoWirelessAndNoPhone)
{
    CMpDevicePowerUI power;
    power.SetKind(3);
    const uint8_t status[3] = {57, 1, 0};
    power.Update(status, 3);
    using ui::CControlAccess;
    EXPECT_EQ(CControlAccess::GetText(CControlAccess::FindControl(&power, "device_power_value")), "57%");
    EXPECT_EQ(CControlAccess::Value(CControlAccess::FindControl(&power, "device_Power_progress")), 43);
    EXPECT_TRUE(CControlAccess::FindControl(&power, "device_wuxian_logo")->isHidden());
    EXPECT_EQ(CControlAccess::ForeImage(CControlAccess::FindControl(&power, "device_power_status")), "power/powering.png");
    EXPECT_EQ(CControlAccess::ForeImage(CControlAccess::FindControl(&power, "device_phone_type")),
              "power/Phone_type_no_device.png");
    power.SetPowerLayoutVisible(false);
    EXPECT_TRUE(CControlAccess::FindControl(&power, "device_power_Layout")->isHidden());
}

TEST(RedioMacroButton, FadesBetween80And255)
{
    CRedioMacroButtonUI button;
    button.SetRedioImage("macro/redio.png");
    std::vector<int> fades;
    for (int i = 0; i < 12; ++i) {
        button.Tick();
        fades.push_back(button.Fade());
    }
    EXPECT_EQ(fades, (std::vector<int>{235, 215, 195, 175, 155, 135, 115, 95, 80, 100, 120, 140}));
    EXPECT_EQ(button.ForeImage(), "res='macro/redio.png' fade='140'");
    for (int i = 0; i < 6; ++i)
        button.Tick();
    EXPECT_EQ(button.Fade(), 255);
    button.Tick();
    EXPECT_EQ(button.Fade(), 235);
    button.StartIndicator();
    EXPECT_TRUE(button.IsIndicatorRunning());
    button.StopIndicator();
    EXPECT_FALSE(button.IsIndicatorRunning());
}
