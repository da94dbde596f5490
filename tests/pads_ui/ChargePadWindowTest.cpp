// The charging pad in the main window, bound through a catalogue row given as data: its power
// display follows what the simulated pad reports, poll by poll (one poll every five seconds).
#include "PadPageFixture.h"
#include "pages/PagesSupport.h"

#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "devices/CKelvaskUSBDevice.h"
#include "editors/qt/CMpDevicePowerUI.h"

#include <QStackedWidget>

#include <filesystem>

#include <gtest/gtest.h>

namespace nqtest {
namespace {

TEST_F(PadSimTest, ChargingPadPowerDisplayFollowsThePadInTheMainWindow)
{
    // The catalogue's extra rows give the charging pad an identity and a page with a power display.
    const std::string config = folders->Root() + "config/";
    std::filesystem::create_directories(config + "NQ501");
    std::filesystem::copy_file(NQ501_SOURCE_DIR "/bench/chargepad-devices.json", config + "NQ501/devices.json");
    ScopedEnv configHome("XDG_CONFIG_HOME", config);
    PreparePageSkin();
    StartSim({"chargepad@320F:5050"});
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
