// The main window routes the profile controls of a device page: a profile chosen in the combo
// switches the simulated mouse to it after the window's timer, the profile buttons reach the
// page's list, and a function tab marks the list's editor tab.
#include "PagesSupport.h"
#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "devices/CKelvaskUSBDevice.h"
#include "editors/qt/CDevicePageUI.h"
#include "profiles/qt/CDeviceProfileUI.h"
#include "support/SimFixture.h"
#include "ui/CControlAccess.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace nq;
using nq::app::CMainWnd;

namespace {

// True when a line of the wire log is a report the host sent with this command code.
bool SentCommand(const std::vector<std::string>& lines, const std::string& code)
{
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string direction, path, id, low, high, command;
        if (in >> direction >> path >> id >> low >> high >> command && direction == ">" && command == code)
            return true;
    }
    return false;
}

} // namespace

TEST(MainWndProfiles, AChosenProfileReachesTheMouseThroughTheWindow)
{
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    const char* previous = getenv("XDG_DATA_HOME");
    const std::string saved = previous ? previous : "";
    setenv("XDG_DATA_HOME", data.path().toUtf8().constData(), 1);

    {
        nqtest::SimEnvironment sim({"mouse"});
        CMainWnd window;
        ASSERT_TRUE(window.Create());
        window.show();
        ASSERT_TRUE(nqtest::WaitFor([&] { return window.IsSetUp(); }));
        // The page of the simulated mouse is the mouse page whose tab is shown.
        CKelvaskUSBDevice* mouse = nullptr;
        ASSERT_TRUE(nqtest::WaitFor([&] {
            for (CKelvaskUSBDevice* device : window.Connections().DevicesOfKind(kKindMouse))
                if (window.Selector().IsTabVisible(window.Selector().IndexOf(device)))
                    mouse = device;
            return mouse != nullptr;
        }));
        auto* page = window.Selector().Page(window.Selector().IndexOf(mouse));
        ASSERT_NE(page, nullptr);
        auto* list = ui::CControlAccess::Find<pages::CDeviceProfileUI>(page, "DeviceProfileItem");
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(nqtest::WaitFor([&] { return mouse->Info().DpiStep() > 0; }));
        // Every device page carries its list, and its device took the list's current profile.
        ASSERT_GE(window.Selector().TabCount(), 4);
        for (int i = 0; i < window.Selector().TabCount(); ++i) {
            pages::CDevicePageUI* each = window.Selector().Page(i);
            auto* itsList = ui::CControlAccess::Find<pages::CDeviceProfileUI>(each, "DeviceProfileItem");
            ASSERT_NE(itsList, nullptr) << i;
            EXPECT_EQ(itsList->Combo()->count(), 1) << i;
            EXPECT_FALSE(itsList->CurrentProfileId().empty()) << i;
            EXPECT_EQ(each->Device().ProfileName(), itsList->CurrentProfileId()) << i;
        }

        ui::CControlAccess::Find<QAbstractButton>(page, "device_add_btn")->click();
        ASSERT_EQ(list->Combo()->count(), 2);
        sim.ClearWireLines();
        list->Combo()->setCurrentIndex(1); // the user's choice
        ASSERT_TRUE(nqtest::WaitFor([&] { return mouse->ProfileName() == list->Model().IdAt(1); }));
        EXPECT_EQ(list->CurrentProfileId(), list->Model().IdAt(1));
        EXPECT_TRUE(SentCommand(sim.WireLines(), "06")) << "the settings block";
        EXPECT_TRUE(SentCommand(sim.WireLines(), "09")) << "the key table";

        auto* tab = ui::CControlAccess::Find<QAbstractButton>(page, "system_Op_tab");
        ASSERT_NE(tab, nullptr);
        tab->click();
        EXPECT_TRUE(ui::CControlAccess::IsSelected(tab));
        EXPECT_FALSE(ui::CControlAccess::IsSelected(ui::CControlAccess::FindControl(page, "deng_Op_tab")));
        EXPECT_EQ(mouse->GetPageState(), 4);
        window.StopThreads();
    }
    if (previous)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
