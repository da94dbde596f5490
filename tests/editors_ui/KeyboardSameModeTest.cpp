// Same mode reaches the keyboard: in the main window on the simulator, same mode from the mouse
// gives the keyboard the keyboard's effect for the common one, on its page and in its memory.
#include "../pages/PagesSupport.h"
#include "PageTestSupport.h"
#include "mouse/MouseTestRig.h"
#include "support/SimFixture.h"

#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "devices/CKelvaskKeyboardDevice.h"
#include "devices/qt/CMousePageUI.h"
#include "editors/qt/CLightControlUI.h"
#include "ui/CControlAccess.h"

#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

using namespace nq;

TEST(KeyboardSameMode, MouseEffectReachesTheKeyboardAsItsOwnEffect)
{
    nqtest::MouseDataFolders folders;
    nqtest::PreparePageSkin();
    // The simulated devices' own catalogue rows come from the program's data folder with the rest.
    for (const char* file : {"default_light.json", "keyboard.Json", "simdevices.json"})
        std::filesystem::copy_file(std::string(NQ501_SOURCE_DIR "/DefaultData/") + file, folders.DefaultFolder() + file,
                                   std::filesystem::copy_options::overwrite_existing);
    nqtest::SimEnvironment sim({"keyboard", "mouse"});
    app::CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    ASSERT_TRUE(nqtest::WaitFor([&] { return window.IsSetUp() && window.Selector().VisibleCount() == 2; }, 5000));
    auto* keyboard = dynamic_cast<CKelvaskKeyboardDevice*>(window.Connections().DevicesOfKind(kKindKeyboard).at(0));
    ASSERT_NE(keyboard, nullptr);
    ASSERT_TRUE(nqtest::WaitFor([&] { return keyboard->KeyMaps().positionToSlot[0] == 0; }, 5000)); // connected

    // A kind has a page per catalogue row: the mouse is the one whose tab is shown.
    CKelvaskUSBDevice* mouse = nullptr;
    for (CKelvaskUSBDevice* device : window.Connections().DevicesOfKind(kKindMouse))
        if (window.Selector().IsTabVisible(window.Selector().IndexOf(device)))
            mouse = device;
    ASSERT_NE(mouse, nullptr);
    auto* page = qobject_cast<pages::CMousePageUI*>(window.Selector().Page(window.Selector().IndexOf(mouse)));
    ASSERT_NE(page, nullptr);
    window.Selector().ShowDeviceTab(window.Selector().IndexOf(mouse), true, true);
    pages::CLightControlUI* editor = page->LightEditor();
    auto* combo = qobject_cast<QComboBox*>(ui::CControlAccess::FindControl(editor, "light_combo_modeSelect"));
    auto* same = qobject_cast<QPushButton*>(ui::CControlAccess::FindControl(editor, "deng_same_mode"));
    ASSERT_TRUE(combo && same);
    combo->setCurrentIndex(3); // mouse effect 3: common effect 1, the keyboard's effect 6
    same->click();

    EXPECT_EQ(keyboard->GetLightSetting().Effect(), 6);
    EXPECT_TRUE(keyboard->Channel().LightingSynced());
    EXPECT_EQ(sim.Sim().Dump("keyboard").find("keys effect 6") != std::string::npos, true);
    window.StopThreads();
}
