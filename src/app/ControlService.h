#pragma once
// The running program's side of nq501ctl: control requests that arrive on the single-instance
// socket are carried out here, on the UI thread, through the device objects of the pages. A
// change goes into the device object and its profile as the page's own control takes it, the
// page shows it, the profile is saved once and the device written once; a profile switch goes
// through the page's profile combo and the main window's profile actions.
#include "control/ControlExecutor.h"

#include <QByteArray>

#include <functional>

namespace nq::pages {
class CDeviceProfileUI;
}

namespace nq::app {

class CMainWnd;

class ControlService : public control::ControlHost {
public:
    explicit ControlService(CMainWnd& window) : m_window(window) {}

    // One request line in; its answer line goes to `reply`, at once or once the device answered.
    void Handle(const QByteArray& requestLine, std::function<void(const QByteArray&)> reply);

    std::vector<CKelvaskUSBDevice*> Devices() override;
    ProfileListModel* Profiles(CKelvaskUSBDevice& device) override;
    void SwitchProfile(CKelvaskUSBDevice& device, int index, SwitchDone done) override;
    void ProfileListChanged(CKelvaskUSBDevice& device) override;
    std::pair<int, int> ScreenSize(CKelvaskUSBDevice& device) const override;

private:
    pages::CDeviceProfileUI* ListOf(CKelvaskUSBDevice& device);

    CMainWnd& m_window;
};

} // namespace nq::app
