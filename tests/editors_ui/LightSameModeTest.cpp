// Same mode in the main window on the simulator: the mouse page's lighting editor offers it only
// while two devices are shown, and using it gives the mouse the common effect with the
// synchronised-lighting flag.
#include "../pages/PagesSupport.h"
#include "PageTestSupport.h"
#include "mouse/MouseTestRig.h"
#include "support/SimFixture.h"

#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "devices/CKelvaskUSBDevice.h"
#include "devices/qt/CMousePageUI.h"
#include "editors/qt/CLightControlUI.h"
#include "ui/CControlAccess.h"

#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace nq;

TEST(LightSameMode, OfferedWithTwoDevicesAndAppliedToTheMouse)
{
    nqtest::MouseDataFolders folders;
    nqtest::PreparePageSkin();
    std::filesystem::copy_file(NQ501_SOURCE_DIR "/DefaultData/default_light.json",
                               folders.DefaultFolder() + "default_light.json",
                               std::filesystem::copy_options::overwrite_existing);
    // The simulated devices' own catalogue rows, from the program's data folder.
    std::filesystem::copy_file(NQ501_SOURCE_DIR "/DefaultData/simdevices.json",
                               folders.DefaultFolder() + "simdevices.json",
                               std::filesystem::copy_options::overwrite_existing);
    nqtest::SimEnvironment sim({"keyboard", "mouse"});
    app::CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    ASSERT_TRUE(nqtest::WaitFor([&] { return window.IsSetUp() && window.Selector().VisibleCount() == 2; }, 5000));

    CKelvaskUSBDevice* mouse = nullptr;
    for (CKelvaskUSBDevice* device : window.Connections().DevicesOfKind(kKindMouse))
        if (window.Selector().IsTabVisible(window.Selector().IndexOf(device)))
            mouse = device;
    ASSERT_NE(mouse, nullptr);
    auto* page = qobject_cast<pages::CMousePageUI*>(window.Selector().Page(window.Selector().IndexOf(mouse)));
    ASSERT_NE(page, nullptr);
    // The main window hands notifications to the selected device's page.
    window.Selector().ShowDeviceTab(window.Selector().IndexOf(mouse), true, true);
    ASSERT_EQ(window.Selector().SelectedDevice(), mouse);
    pages::CLightControlUI* editor = page->LightEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Model().SameModePermission(), 1);
    auto* combo = qobject_cast<QComboBox*>(ui::CControlAccess::FindControl(editor, "light_combo_modeSelect"));
    auto* same = qobject_cast<QPushButton*>(ui::CControlAccess::FindControl(editor, "deng_same_mode"));
    ASSERT_TRUE(combo && same);
    ASSERT_GT(combo->count(), 3);

    combo->setCurrentIndex(3); // mouse effect 3: common effect 1
    EXPECT_FALSE(same->isHidden());
    same->click();
    EXPECT_TRUE(mouse->Channel().LightingSynced());
    EXPECT_EQ(LightEditorModel::LastCommonEffect(), 1);
    EXPECT_EQ(mouse->MainLightSetting().Effect(), 3);

    // With one device left same mode goes, and with it the synchronised flag.
    ASSERT_TRUE(sim.Sim().Unplug("keyboard"));
    ASSERT_TRUE(nqtest::WaitFor([&] { return window.Selector().VisibleCount() == 1; }, 3000));
    EXPECT_EQ(editor->Model().SameModePermission(), 0);
    EXPECT_TRUE(same->isHidden());
    EXPECT_FALSE(mouse->Channel().LightingSynced());
    window.StopThreads();
}
