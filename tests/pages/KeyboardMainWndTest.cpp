// The keyboard in the main window on the simulator, as `nq501 --demo` shows it: discovery binds
// the simulated keyboard, its tab connects it, and its page shows the keyboard's lighting.
#include "PagesSupport.h"
#include "app/CApplication.h"
#include "app/CMainWnd.h"
#include "app/CustomControls.h"
#include "app/DeviceSelector.h"
#include "devices/CKelvaskKeyboardDevice.h"
#include "support/SimFixture.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace nq;
using nq::app::CMainWnd;

TEST(KeyboardMainWnd, ConnectedKeyboardShowsItsOnBoardLighting)
{
    nqtest::SimEnvironment sim({"keyboard"});
    app::RegisterCustomControls();
    app::CApplication::ApplyStyleSheet();
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    CKelvaskKeyboardDevice* keyboard = nullptr;
    ASSERT_TRUE(nqtest::WaitFor([&] {
        if (!window.IsSetUp() || window.Connections().DevicesOfKind(kKindKeyboard).empty())
            return false;
        keyboard = dynamic_cast<CKelvaskKeyboardDevice*>(window.Connections().DevicesOfKind(kKindKeyboard).at(0));
        // Connected: the key table was read, so the keys have their slots.
        return keyboard && keyboard->KeyMaps().positionToSlot[0] == 0;
    }, 5000));
    EXPECT_EQ(keyboard->GetLightSetting().Effect(), 1); // on-board profile 0 of the simulated keyboard

    const QString output = qEnvironmentVariable("NQ501_KEYBOARD_SCREENSHOT");
    if (!output.isEmpty()) {
        window.Selector().ShowDeviceTab(window.Selector().IndexOf(keyboard), true, true);
        QTest::qWait(800);
        EXPECT_TRUE(window.grab().save(output));
    }
    window.StopThreads();
}
