// The charging pad in the main window, bound through its catalogue row (the simulator's identities
// are catalogue rows given as data): its power display follows what the simulated pad reports,
// poll by poll (one poll every five seconds).
#include "PadPageFixture.h"
#include "pages/PagesSupport.h"

#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "devices/CKelvaskUSBDevice.h"
#include "editors/qt/CMpDevicePowerUI.h"

#include <QStackedWidget>


#include <gtest/gtest.h>

namespace nqtest {
namespace {

TEST_F(PadSimTest, ChargingPadPowerDisplayFollowsThePadInTheMainWindow)
{
    PreparePageSkin();
    StartSim({"chargepad"});
    m_device = "chargepad";
    ASSERT_EQ(Fw({"battery", "80"}), "ok");

    nq::app::CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    nq::CKelvaskUSBDevice* pad = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        pad = window.IsSetUp() ? window.Selector().SelectedDevice() : nullptr;
        return pad && pad->PollsStatus() && pad->Channel().IsOpen();
    }, 10000));
    auto* powers = qobject_cast<QStackedWidget*>(nq::ui::CControlAccess::FindControl(&window, "device_power_switch"));
    ASSERT_NE(powers, nullptr);
    auto* power = qobject_cast<nq::pages::CMpDevicePowerUI*>(powers->currentWidget());
    ASSERT_NE(power, nullptr);
    QWidget* value = nq::ui::CControlAccess::FindControl(power, "device_power_value");
    auto shows = [&](const char* text) { return nq::ui::CControlAccess::GetText(value) == text; };
    ASSERT_TRUE(WaitFor([&] { return shows("80%"); }, 12000)) << "the page shown polls at once";

    ASSERT_EQ(Fw({"battery", "35"}), "ok");
    ASSERT_EQ(Fw({"phone", "3"}), "ok");
    EXPECT_TRUE(WaitFor([&] { return shows("35%"); }, 15000)) << "within two poll periods";
    EXPECT_EQ(nq::ui::CControlAccess::FindControl(power, "device_phone_type")->toolTip(), "Phone_type_other");
    window.StopThreads();
}

} // namespace
} // namespace nqtest
