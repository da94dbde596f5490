#pragma once
// A real main window, created and shown, with the simulated mouse once it answers: connected, its
// device information read and its connection step (reads, profile loaded, a write-back when they
// differ) finished; with the mouse's page and profile list.
#include "PagesSupport.h"
#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "devices/CKelvaskMouseDevice.h"
#include "editors/qt/CDevicePageUI.h"
#include "profiles/qt/CDeviceProfileUI.h"
#include "ui/CControlAccess.h"

#include <memory>

namespace nqtest {

struct WindowMouse {
    nq::CKelvaskMouseDevice* mouse = nullptr;
    nq::pages::CDevicePageUI* page = nullptr;
    nq::pages::CDeviceProfileUI* list = nullptr; // null when something is missing
};

inline WindowMouse OpenWindowMouse(std::unique_ptr<nq::app::CMainWnd>& window)
{
    WindowMouse found;
    window = std::make_unique<nq::app::CMainWnd>();
    if (!window->Create())
        return found;
    window->show();
    nq::CKelvaskMouseDevice* mouse = nullptr;
    const bool connected = WaitFor([&] {
        for (nq::CKelvaskUSBDevice* device : window->Connections().DevicesOfKind(nq::kKindMouse))
            if (device->Channel().IsOpen() && device->Info().DpiStep() > 0)
                mouse = dynamic_cast<nq::CKelvaskMouseDevice*>(device);
        return mouse != nullptr;
    }, 8000);
    if (!connected || !WaitFor([&] { return !mouse->TransferWorker().Busy(); }))
        return found;
    QTest::qWait(100);
    found.mouse = mouse;
    found.page = window->Selector().Page(window->Selector().IndexOf(mouse));
    if (found.page)
        found.list = nq::ui::CControlAccess::Find<nq::pages::CDeviceProfileUI>(found.page, "DeviceProfileItem");
    return found;
}

} // namespace nqtest
