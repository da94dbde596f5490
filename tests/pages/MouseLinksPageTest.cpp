// The main window with a mouse on two links (the simulator's receiver mouse): its one page keeps
// working while the links come and go, and what the user types reaches the mouse on the link it
// is on at that moment.
#include "PagesSupport.h"
#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "devices/qt/CMousePageDevice.h"
#include "devices/qt/CMousePageUI.h"
#include "hid/CommandChannel.h"
#include "support/SimFixture.h"
#include "ui/CControlAccess.h"

#include <QLineEdit>
#include <gtest/gtest.h>

#include <mutex>
#include <sstream>

using namespace nq;
using nq::app::CMainWnd;

TEST(MouseLinksPage, PageFollowsTheMouseAcrossItsLinks)
{
    nqtest::SimEnvironment sim({"rxmouse"});
    const std::string wired = sim.PathOf("rxmouse", 1, 4, "wired");
    const std::string receiver = sim.PathOf("rxmouse", 1, 4, "receiver");
    ASSERT_TRUE(sim.Sim().Unplug("rxmouse", "receiver"));
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();

    CKelvaskUSBDevice* mouse = nullptr;
    ASSERT_TRUE(nqtest::WaitFor(
        [&] {
            for (CKelvaskUSBDevice* device : window.Selector().Devices())
                if (device->Channel().IsOpen() && device->Slot().path == wired && device->Info().DpiStep() != 0)
                    mouse = device;
            return mouse != nullptr;
        },
        5000));
    auto* page = qobject_cast<pages::CMousePageUI*>(window.Selector().Page(window.Selector().IndexOf(mouse)));
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(window.Selector().SelectedDevice(), mouse);
    auto* edit = qobject_cast<QLineEdit*>(ui::CControlAccess::FindControl(page, "DPI_edit_0"));
    ASSERT_NE(edit, nullptr);

    // Types a DPI into stage 1: the settings write goes to `path`, and to no other interface.
    auto typeDpi = [&](int dpi, const std::string& path) {
        sim.ClearWireLines();
        edit->setText(QString::number(dpi));
        emit edit->returnPressed();
        bool onPath = false, elsewhere = false;
        for (const std::string& line : sim.WireLines()) {
            // "> PATH 04 cs cs CMD ...": command 06 writes the configuration.
            std::istringstream fields(line);
            std::string direction, linePath, id, low, high, command;
            if (!(fields >> direction >> linePath >> id >> low >> high >> command) || direction != ">" ||
                id != "04" || command != "06")
                continue;
            (linePath == path ? onPath : elsewhere) = true;
        }
        return onPath && !elsewhere;
    };
    auto onLink = [&](const std::string& path) {
        return nqtest::WaitFor([&] { return mouse->Channel().IsOpen() && mouse->Slot().path == path; }, 5000);
    };

    EXPECT_TRUE(typeDpi(800, wired));
    // The receiver comes: the mouse stays on its wire, the page keeps writing there.
    ASSERT_TRUE(sim.Sim().Plug("rxmouse", "receiver"));
    ASSERT_TRUE(nqtest::WaitFor([&] {
        std::lock_guard<std::mutex> guard(window.DiscoveryObject()->SlotLock());
        for (const DeviceSlot& slot : window.Slots())
            if (slot.connected && slot.path == receiver)
                return true;
        return false;
    }));
    ASSERT_TRUE(onLink(wired));
    EXPECT_TRUE(typeDpi(1200, wired));
    // The wire goes: the mouse and its page move to the receiver.
    ASSERT_TRUE(sim.Sim().Unplug("rxmouse", "wired"));
    ASSERT_TRUE(onLink(receiver));
    EXPECT_TRUE(window.Selector().IsTabVisible(window.Selector().IndexOf(mouse)));
    EXPECT_TRUE(typeDpi(1600, receiver));
    // The wire comes back: back to it, without a restart.
    ASSERT_TRUE(sim.Sim().Plug("rxmouse", "wired"));
    ASSERT_TRUE(onLink(wired));
    EXPECT_TRUE(typeDpi(400, wired));
    EXPECT_EQ(page->Mouse().GetDpiStages()[0].dpiX, 400 / mouse->Info().DpiStep());
    window.StopThreads();
}
