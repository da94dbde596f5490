#pragma once
// Carries out a control request on the device objects of whoever owns the devices: the running
// program (its pages' device objects, on its UI thread) or nq501ctl itself when no program runs
// (device objects it opened through discovery). Both give the same answers for the same request.
//
// Every value is checked before anything is sent (a DPI against the device's range, an effect
// number against the zone's effects, a colour as six hex digits, levels 0-4); a change then goes
// the way the page's own control takes it: into the device object and its profile, the profile
// saved once, the settings written to the device, and the page (when there is one) shown again.
#include "control/ControlRequest.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nq {
class CKelvaskUSBDevice;
class ProfileListModel;
}

namespace nq::control {

// One device a request can name.
struct ControlDevice {
    CKelvaskUSBDevice* device = nullptr;
    std::string name; // unique: the kind for the first of its kind, then "mouse-2", ...
    std::string kind; // keyboard, mouse, mousepad, chargepad, headset
};

// What the owner of the devices provides.
class ControlHost {
public:
    virtual ~ControlHost() = default;
    // The connected devices, in the order of the program's device tabs.
    virtual std::vector<CKelvaskUSBDevice*> Devices() = 0;
    // The device's profile list, loaded; nullptr for a device without profiles.
    virtual ProfileListModel* Profiles(CKelvaskUSBDevice& device) = 0;
    // Makes entry `index` of the device's list its profile and writes it to the device, as the
    // page's profile combo does, and hands the exit code to `done` once the writes are over (at
    // once, or later on the UI thread), with a message when it did not succeed.
    using SwitchDone = std::function<void(int exit, const std::string& message)>;
    virtual void SwitchProfile(CKelvaskUSBDevice& device, int index, SwitchDone done) = 0;
    // The list file changed (an import): whoever shows the list shows it again.
    virtual void ProfileListChanged(CKelvaskUSBDevice& /*device*/) {}
    // The screen size the mouse's settings block carries.
    virtual std::pair<int, int> ScreenSize(CKelvaskUSBDevice& device) const = 0;
};

// The kind name of a device object ("" for a device nq501ctl does not handle).
std::string KindOf(const CKelvaskUSBDevice& device);
// "wired", "receiver" (a mouse on its wireless receiver) or "" when not connected.
std::string LinkOf(CKelvaskUSBDevice& device);
// Names the devices: the first of a kind by its kind, the next ones kind-2, kind-3, ...
std::vector<ControlDevice> NameDevices(const std::vector<CKelvaskUSBDevice*>& devices);

class ControlExecutor {
public:
    using Done = std::function<void(const Response&)>;

    explicit ControlExecutor(ControlHost& host) : m_host(host) {}

    // Carries the request out and hands the answer to `done`: at once, or, when a mouse's
    // settings go out on its transfer worker (in the program, as the page sends them), on the UI
    // thread once the mouse answered. The executor need not outlive the call.
    void Execute(const Request& request, Done done);
    // The answer when it comes at once, as it always does on the direct route.
    Response Execute(const Request& request);

    // The device a request names: its name, its command interface path, or its kind when only
    // one device of that kind is connected. Fills `error` (exit 3) when none or several fit.
    static const ControlDevice* Find(const std::vector<ControlDevice>& devices, const std::string& selector,
                                     Response& error);

private:
    Response List();
    Response Show(const ControlDevice& target);
    Response Status(const ControlDevice& target);
    Response Set(const ControlDevice& target, const Json::Value& args);
    Response Profile(const ControlDevice& target, const Json::Value& args);

    Response SetDpi(const ControlDevice& target, const Json::Value& args);
    Response SetStage(const ControlDevice& target, const Json::Value& args);
    Response SetReportRate(const ControlDevice& target, const Json::Value& args);
    Response SetLighting(const ControlDevice& target, const Json::Value& args);
    Response SetRepeat(const ControlDevice& target, const Json::Value& args);
    Response SetWinLock(const ControlDevice& target, const Json::Value& args);

    Response Dispatch(const Request& request);
    // Saves the device's profile and shows the change on the page; with `write` the settings are
    // then sent (Execute does that once the request is checked). The answer names the step that
    // failed.
    Response Commit(const ControlDevice& target, bool write, const std::string& done);
    // Sends the settings of a committed change and answers with the outcome.
    void WriteCommitted(CKelvaskUSBDevice& device, const std::string& name, const std::string& done, bool saved,
                        Done answer);
    Json::Value ProfilesJson(CKelvaskUSBDevice& device);

    ControlHost& m_host;
    // The step that waits for the device, set by a command that is checked and ready for it; it
    // answers through the Done it is given.
    std::function<void(Done)> m_then;
};

} // namespace nq::control
