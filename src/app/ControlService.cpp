#include "app/ControlService.h"

#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "app/ProfileActions.h"
#include "common/DebugLog.h"
#include "devices/CKelvaskUSBDevice.h"
#include "editors/qt/CDevicePageUI.h"
#include "profiles/qt/CDeviceProfileUI.h"
#include "ui/CResourceManager.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSignalBlocker>

namespace nq::app {

void ControlService::Handle(const QByteArray& requestLine, std::function<void(const QByteArray&)> reply)
{
    Json::Value value;
    control::Request request;
    std::string error;
    if (!control::ParseLine(requestLine.toStdString(), value))
        error = "the request is not JSON";
    else
        control::Request::FromJson(value, request, error);
    auto answer = [reply, command = request.command, device = request.device](const control::Response& response) {
        DebugOutF("control request \"%s\" on \"%s\": exit %d", command.c_str(), device.c_str(), response.exit);
        reply(QByteArray::fromStdString(control::ToLine(response.ToJson())));
    };
    if (!error.empty())
        answer(control::Response::Fail(control::kExitUsage, error));
    else
        control::ControlExecutor(*this).Execute(request, answer);
}

std::vector<CKelvaskUSBDevice*> ControlService::Devices()
{
    std::vector<CKelvaskUSBDevice*> connected;
    for (CKelvaskUSBDevice* device : m_window.Selector().Devices())
        if (device->Channel().IsOpen())
            connected.push_back(device);
    return connected;
}

pages::CDeviceProfileUI* ControlService::ListOf(CKelvaskUSBDevice& device)
{
    DeviceSelector& selector = m_window.Selector();
    pages::CDevicePageUI* page = selector.Page(selector.IndexOf(&device));
    return page ? page->findChild<pages::CDeviceProfileUI*>() : nullptr;
}

ProfileListModel* ControlService::Profiles(CKelvaskUSBDevice& device)
{
    pages::CDeviceProfileUI* list = ListOf(device);
    return list && list->Model().Count() > 0 ? &list->Model() : nullptr;
}

void ControlService::SwitchProfile(CKelvaskUSBDevice& device, int index, SwitchDone done)
{
    pages::CDeviceProfileUI* list = ListOf(device);
    QComboBox* combo = list ? list->Combo() : nullptr;
    if (!combo)
        return done(control::kExitUsage, std::string());
    // The page's answer to a choice while its switch runs: the combo is not changed.
    ProfileActions& actions = m_window.Profiles();
    QPointer<pages::CDevicePageUI> page = m_window.Selector().Page(m_window.Selector().IndexOf(&device));
    if (actions.IsSwitching(page))
        return done(control::kExitFailed, ui::CResourceManager::Instance().Text("profile_switch_busy").toStdString());
    // The combo chooses the entry (without the 400 ms timer of a user's choice) and the main
    // window's profile actions carry the switch out at once; the answer waits for its writes.
    {
        QSignalBlocker quiet(combo);
        combo->setCurrentIndex(index);
    }
    QPointer<pages::CDeviceProfileUI> shown = list;
    actions.OnProfileChosen(combo);
    actions.SwitchToChosenProfile([shown, page, index, done](const QStringList& told) {
        if (!shown || !page || shown->CurrentIndex() != index || !told.isEmpty()) {
            done(control::kExitFailed,
                 told.isEmpty() ? "the device did not take the profile's settings; it keeps the profile it had"
                                : told.join(' ').toStdString());
            return;
        }
        if (!page->Device().Channel().IsOpen()) {
            done(control::kExitFailed, "the device is not connected any more");
            return;
        }
        done(control::kExitDone, std::string());
    });
}

void ControlService::ProfileListChanged(CKelvaskUSBDevice& device)
{
    if (pages::CDeviceProfileUI* list = ListOf(device))
        list->LoadProfileList();
}

std::pair<int, int> ControlService::ScreenSize(CKelvaskUSBDevice& /*device*/) const
{
    QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? std::pair{primary->geometry().width(), primary->geometry().height()} : std::pair{0, 0};
}

} // namespace nq::app
