#include "control/ControlExecutor.h"

#include "common/Result.h"
#include "control/ControlValues.h"
#include "devices/CKelvaskKeyboardDevice.h"
#include "devices/CKelvaskMouseDevice.h"
#include "devices/CKelvaskMousePadDevice.h"
#include "editors/LightEditorModel.h"
#include "profiles/ProfileListModel.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>

namespace nq::control {

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// An integer argument; false when it is missing or not an integer.
bool IntArg(const Json::Value& args, const char* name, int& value)
{
    const Json::Value& member = args[name];
    if (!member.isInt())
        return false;
    value = member.asInt();
    return true;
}

std::string TextArg(const Json::Value& args, const char* name)
{
    const Json::Value& member = args[name];
    return member.isString() ? member.asString() : std::string();
}

Response Usage(const std::string& message) { return Response::Fail(kExitUsage, message); }

// What a failed transfer returned, in words.
std::string TransferFailure(CKelvaskUSBDevice& device, int result)
{
    if (CKelvaskUSBDevice::IsRefusal(result))
        return "the device refused it (" + std::to_string(result) + ")";
    if (!device.Channel().IsOpen())
        return "the device is not connected any more";
    return "the device did not answer (" + std::to_string(result) + ")";
}

CBasicProfiledata* ProfileOf(CKelvaskUSBDevice& device)
{
    if (auto* mouse = dynamic_cast<CKelvaskMouseDevice*>(&device))
        return &mouse->Profile();
    if (auto* keyboard = dynamic_cast<CKelvaskKeyboardDevice*>(&device))
        return &keyboard->Profile();
    if (auto* pad = dynamic_cast<CKelvaskMousePadDevice*>(&device))
        return &pad->Profile();
    return nullptr;
}

Json::Value LightingJson(const LightSetting& record, int zone)
{
    const int at = zone == kZoneLogo ? LightSetting::kLogo : zone == kZoneSide ? LightSetting::kSt : LightSetting::kMain;
    Json::Value light;
    light["effect"] = record.Effect(at);
    light["brightness"] = record.Brightness(at);
    light["speed"] = record.Speed(at);
    light["colour"] = FormatColour(record.Red(at), record.Green(at), record.Blue(at));
    return light;
}

// The device answered the device-information read of its connection.
bool Answers(CKelvaskUSBDevice& device)
{
    const DeviceInfo& info = device.Info();
    return device.Channel().IsOpen() && std::any_of(info.bytes.begin(), info.bytes.end(), [](uint8_t b) { return b != 0; });
}

Response StatusAnswer(CKelvaskUSBDevice& device, const std::string& name, const std::string& kind, int result,
                      const std::array<uint8_t, 6>& status)
{
    if (result != kOk)
        return Response::Fail(kExitFailed, name + ": reading the status failed: " + TransferFailure(device, result));
    static const char* const charging[] = {"discharging", "charging", "charged"};
    Response response;
    response.data["name"] = name;
    response.data["battery"] = status[0];
    response.data["power"] = status[1] < 3 ? charging[status[1]] : "unknown";
    response.data["wireless"] = device.Channel().WirelessLink();
    if (kind == "chargepad") {
        static const char* const phones[] = {"none", "iphone", "samsung", "other"};
        response.data["phone"] = status[5] < 4 ? phones[status[5]] : "none";
    }
    response.message = name + ": battery " + std::to_string(status[0]) + "%, " + response.data["power"].asString();
    return response;
}

} // namespace

// ---- naming ----

std::string KindOf(const CKelvaskUSBDevice& device)
{
    switch (device.DeviceType()) {
    case kKindKeyboard: return "keyboard";
    case kKindMouse:
    case kKindReceiverMouse: return "mouse";
    case kKindMousePad: return device.PollsStatus() != 0 ? "chargepad" : "mousepad";
    case kKindHeadset: return "headset";
    default: return "";
    }
}

std::string LinkOf(CKelvaskUSBDevice& device)
{
    if (!device.Channel().IsOpen())
        return "";
    return device.Channel().WirelessLink() ? "receiver" : "wired";
}

std::vector<ControlDevice> NameDevices(const std::vector<CKelvaskUSBDevice*>& devices)
{
    std::vector<ControlDevice> named;
    std::map<std::string, int> seen;
    for (CKelvaskUSBDevice* device : devices) {
        const std::string kind = device ? KindOf(*device) : "";
        if (kind.empty())
            continue;
        const int n = ++seen[kind];
        named.push_back({device, n == 1 ? kind : kind + "-" + std::to_string(n), kind});
    }
    return named;
}

const ControlDevice* ControlExecutor::Find(const std::vector<ControlDevice>& devices, const std::string& selector,
                                           Response& error)
{
    const std::string wanted = Lower(selector);
    for (const ControlDevice& d : devices)
        if (d.name == wanted || (!selector.empty() && d.device->Slot().path == selector))
            return &d;
    std::vector<const ControlDevice*> ofKind;
    for (const ControlDevice& d : devices)
        if (d.kind == wanted)
            ofKind.push_back(&d);
    if (ofKind.size() == 1)
        return ofKind.front();
    if (ofKind.empty()) {
        error = Response::Fail(kExitNoDevice, "no device \"" + selector + "\" is connected (see nq501ctl list)");
    } else {
        std::string names;
        for (const ControlDevice* d : ofKind)
            names += (names.empty() ? "" : ", ") + d->name;
        error = Response::Fail(kExitNoDevice, "several devices are " + wanted + "s: name one of " + names);
    }
    return nullptr;
}

// ---- requests ----

void ControlExecutor::Execute(const Request& request, Done done)
{
    m_then = nullptr;
    const Response response = Dispatch(request);
    if (m_then)
        std::exchange(m_then, nullptr)(std::move(done));
    else
        done(response);
}

Response ControlExecutor::Execute(const Request& request)
{
    std::optional<Response> answer;
    Execute(request, [&answer](const Response& response) { answer = response; });
    return answer ? *answer : Response::Fail(kExitFailed, "the device did not answer in time");
}

Response ControlExecutor::Dispatch(const Request& request)
{
    if (request.command == "list")
        return List();
    static const std::array<const char*, 4> deviceCommands = {"show", "status", "set", "profile"};
    if (std::find(deviceCommands.begin(), deviceCommands.end(), request.command) == deviceCommands.end())
        return Usage("unknown command \"" + request.command + "\"");
    const std::vector<ControlDevice> devices = NameDevices(m_host.Devices());
    Response error;
    const ControlDevice* target = Find(devices, request.device, error);
    if (!target)
        return error;
    if (request.command == "show")
        return Show(*target);
    if (request.command == "status")
        return Status(*target);
    if (request.command == "set")
        return Set(*target, request.args);
    return Profile(*target, request.args);
}

Json::Value ControlExecutor::ProfilesJson(CKelvaskUSBDevice& device)
{
    Json::Value list(Json::arrayValue);
    ProfileListModel* model = m_host.Profiles(device);
    if (!model)
        return list;
    for (int i = 0; i < model->Count(); ++i) {
        Json::Value entry;
        entry["name"] = model->NameAt(i);
        entry["current"] = model->IdAt(i) == model->CurrentProfileId();
        list.append(entry);
    }
    return list;
}

namespace {
std::string CurrentProfileName(ProfileListModel* model)
{
    if (!model)
        return "";
    for (int i = 0; i < model->Count(); ++i)
        if (model->IdAt(i) == model->CurrentProfileId())
            return model->NameAt(i);
    return "";
}
} // namespace

Response ControlExecutor::List()
{
    Response response;
    Json::Value devices(Json::arrayValue);
    for (const ControlDevice& d : NameDevices(m_host.Devices())) {
        Json::Value entry;
        entry["name"] = d.name;
        entry["kind"] = d.kind;
        entry["link"] = LinkOf(*d.device);
        entry["path"] = d.device->Slot().path;
        entry["profile"] = CurrentProfileName(m_host.Profiles(*d.device));
        entry["answers"] = Answers(*d.device);
        devices.append(entry);
    }
    response.data["devices"] = devices;
    response.message = std::to_string(devices.size()) + " device(s)";
    return response;
}

Response ControlExecutor::Show(const ControlDevice& target)
{
    CKelvaskUSBDevice& device = *target.device;
    Response response;
    Json::Value& data = response.data;
    data["name"] = target.name;
    data["kind"] = target.kind;
    data["link"] = LinkOf(device);
    data["profile"] = CurrentProfileName(m_host.Profiles(device));
    data["profiles"] = ProfilesJson(device);
    if (auto* mouse = dynamic_cast<CKelvaskMouseDevice*>(&device)) {
        const int step = mouse->Info().DpiStep();
        Json::Value stages(Json::arrayValue);
        const std::vector<DpiStage> list = mouse->GetDpiStages();
        for (size_t i = 0; i < list.size(); ++i) {
            Json::Value stage;
            stage["stage"] = int(i) + 1;
            stage["enabled"] = list[i].active != 0;
            stage["dpi"] = int(list[i].dpiX) * step;
            stages.append(stage);
        }
        data["dpiStages"] = stages;
        data["activeStage"] = mouse->GetActiveStage() + 1;
        data["dpiRange"]["min"] = step ? int(mouse->Info().MinDpi()) : 0;
        data["dpiRange"]["max"] = mouse->DpiEditMaximum();
        const MouseSystemWords words = mouse->GetSystemWords();
        data["reportRate"] = MouseRateHz(words.ReportRateStage());
        data["system"]["pointerSpeed"] = words.MouseSpeed();
        data["system"]["doubleClickMs"] = words.DoubleClickTime();
        data["system"]["pointerPrecision"] = words.PointerPrecision() != 0;
        data["system"]["wheelLines"] = words.WheelLines();
        data["system"]["scrollsPage"] = words.ScrollPage() != 0;
        data["lighting"]["keys"] = LightingJson(mouse->MainLightSetting(), kZoneMain);
    } else if (auto* keyboard = dynamic_cast<CKelvaskKeyboardDevice*>(&device)) {
        const KeyboardSystemWords words = keyboard->GetKeyboardSystemWords();
        data["reportRate"] = KeyboardRateHz(words.PollingRate());
        data["system"]["repeatRate"] = words.Repeat();
        data["system"]["repeatDelayMs"] = (words.RepeatDelay() + 1) * 250;
        data["system"]["winLock"] = words.WinFlag() != 0;
        data["system"]["wFlag"] = words.WFlag() != 0;
        data["system"]["sixKeyFlag"] = words.Key6Flag() != 0;
        data["system"]["scanDelay"] = words.ScanDelay();
        const LightSetting main = keyboard->GetLightSetting();
        data["lighting"]["keys"] = LightingJson(main, kZoneMain);
        data["lighting"]["logo"] = LightingJson(keyboard->GetLogoLightSetting(), kZoneLogo);
        data["lighting"]["side"] = LightingJson(keyboard->GetStLightSetting(), kZoneSide);
    } else if (auto* pad = dynamic_cast<CKelvaskMousePadDevice*>(&device)) {
        data["lighting"]["keys"] = LightingJson(pad->GetLightSetting(), kZoneMain);
    }
    response.message = target.name;
    return response;
}

Response ControlExecutor::Status(const ControlDevice& target)
{
    CKelvaskUSBDevice& device = *target.device;
    if (device.PollsStatus() == 0 && !device.Channel().WirelessLink())
        return Usage(target.name + " does not report power or battery");
    // Read by the device's transfer worker, as its status poll is.
    m_then = [&device, name = target.name, kind = target.kind](Done answer) {
        auto status = std::make_shared<std::array<uint8_t, 6>>();
        device.RunTransfer([&device, status] { return device.Channel().ReadStatus(status->data(), status->size(), 0); },
                           [&device, status, name, kind, answer](int result) {
                               answer(StatusAnswer(device, name, kind, result, *status));
                           });
    };
    return {};
}

// ---- set ----

Response ControlExecutor::Set(const ControlDevice& target, const Json::Value& args)
{
    const std::string setting = TextArg(args, "setting");
    if (setting == "dpi")
        return SetDpi(target, args);
    if (setting == "stage")
        return SetStage(target, args);
    if (setting == "report-rate")
        return SetReportRate(target, args);
    if (setting == "lighting")
        return SetLighting(target, args);
    if (setting == "repeat")
        return SetRepeat(target, args);
    if (setting == "win-lock")
        return SetWinLock(target, args);
    return Usage("unknown setting \"" + setting + "\"");
}

Response ControlExecutor::Commit(const ControlDevice& target, bool write, const std::string& done)
{
    CKelvaskUSBDevice& device = *target.device;
    device.SaveProfile();
    CBasicProfiledata* profile = ProfileOf(device);
    const bool saved = !profile || profile->LastSaveStatus() == WriteStatus::Written;
    device.ReportProfileSave(saved);
    device.ShowProfile();
    if (write) {
        m_then = [this, &device, name = target.name, done, saved](Done answer) {
            WriteCommitted(device, name, done, saved, std::move(answer));
        };
        return {};
    }
    if (!saved)
        return Response::Fail(kExitFailed, target.name + ": saving the profile failed");
    Response response;
    response.message = target.name + ": " + done;
    return response;
}

void ControlExecutor::WriteCommitted(CKelvaskUSBDevice& device, const std::string& name, const std::string& done,
                                     bool saved, Done answer)
{
    auto finish = [name, done, saved, answer](CKelvaskUSBDevice& written, int result) {
        Response response;
        if (result != kOk)
            response = Response::Fail(kExitFailed, name + ": writing the settings: " + TransferFailure(written, result));
        else if (!saved)
            response = Response::Fail(kExitFailed, name + ": the device took it, but saving the profile failed");
        else
            response.message = name + ": " + done;
        answer(response);
    };
    const auto [width, height] = m_host.ScreenSize(device);
    if (auto* mouse = dynamic_cast<CKelvaskMouseDevice*>(&device)) {
        // As the page sends it: on the transfer worker, a refusal returning object, profile and
        // page to what the mouse holds.
        mouse->SubmitSettingsWrite(0, 0, 1, width, height, [mouse, finish](int result) { finish(*mouse, result); });
        return;
    }
    const int result = device.WriteSettingsToDevice(0, 0, 1, width, height);
    device.ReportDeviceWrite(result);
    finish(device, result);
}

namespace {

CKelvaskMouseDevice* MouseOf(const ControlDevice& target, Response& error, const char* what)
{
    auto* mouse = dynamic_cast<CKelvaskMouseDevice*>(target.device);
    if (!mouse)
        error = Usage(target.name + " has no " + what + " (only mice do)");
    return mouse;
}

bool Connected(const ControlDevice& target, Response& error)
{
    if (target.device->Channel().IsOpen())
        return true;
    error = Response::Fail(kExitFailed, target.name + " is not connected");
    return false;
}

} // namespace

Response ControlExecutor::SetDpi(const ControlDevice& target, const Json::Value& args)
{
    Response error;
    CKelvaskMouseDevice* mouse = MouseOf(target, error, "DPI stages");
    if (!mouse || !Connected(target, error))
        return error;
    int stage = 0, value = 0;
    if (!IntArg(args, "stage", stage) || !IntArg(args, "value", value))
        return Usage("set dpi needs a stage number and a DPI value");
    if (stage < 1 || stage > CKelvaskMouseDevice::kDpiRows)
        return Usage("DPI stage " + std::to_string(stage) + " does not exist (1-" +
                     std::to_string(CKelvaskMouseDevice::kDpiRows) + ")");
    const int step = mouse->Info().DpiStep();
    if (step == 0)
        return Response::Fail(kExitFailed, target.name + " did not report its DPI range; nothing was sent");
    const int lowest = mouse->Info().MinDpi();
    const int highest = mouse->DpiEditMaximum();
    if (value < lowest || value > highest)
        return Usage(std::to_string(value) + " DPI is outside the range of " + target.name + " (" +
                     std::to_string(lowest) + "-" + std::to_string(highest) + ")");
    std::vector<DpiStage> stages = mouse->GetDpiStages();
    if (int(stages.size()) < stage)
        stages.resize(size_t(stage));
    stages[size_t(stage - 1)].dpiX = uint16_t(value / step);
    mouse->SetDpiStages(stages);
    return Commit(target, true, "DPI stage " + std::to_string(stage) + " is " + std::to_string(value / step * step));
}

Response ControlExecutor::SetStage(const ControlDevice& target, const Json::Value& args)
{
    Response error;
    CKelvaskMouseDevice* mouse = MouseOf(target, error, "DPI stages");
    if (!mouse || !Connected(target, error))
        return error;
    int stage = 0;
    if (!IntArg(args, "stage", stage))
        return Usage("set stage needs a stage number");
    const std::vector<DpiStage> stages = mouse->GetDpiStages();
    if (stage < 1 || stage > int(stages.size()) || stages[size_t(stage - 1)].active == 0)
        return Usage("DPI stage " + std::to_string(stage) + " is not an enabled stage of " + target.name);
    mouse->Profile().SetActiveStage(stage - 1);
    return Commit(target, true, "active DPI stage is " + std::to_string(stage));
}

Response ControlExecutor::SetReportRate(const ControlDevice& target, const Json::Value& args)
{
    Response error;
    if (!Connected(target, error))
        return error;
    int hz = 0;
    if (!IntArg(args, "hz", hz))
        return Usage("set report-rate needs a rate in Hz");
    const std::string done = "report rate is " + std::to_string(hz) + " Hz";
    if (auto* mouse = dynamic_cast<CKelvaskMouseDevice*>(target.device)) {
        const int option = MouseRateOption(hz);
        if (option < 0)
            return Usage(std::to_string(hz) + " Hz is not a report rate of " + target.name + " (125, 250, 500, 1000, 2000)");
        MouseSystemWords words = mouse->GetSystemWords();
        words.words[2] = MouseSystemWords::Pack(words.WheelLines(), uint16_t(option));
        mouse->SetSystemWords(words);
        return Commit(target, true, done);
    }
    if (auto* keyboard = dynamic_cast<CKelvaskKeyboardDevice*>(target.device)) {
        const int option = KeyboardRateOption(hz);
        if (option < 0)
            return Usage(std::to_string(hz) + " Hz is not a report rate of " + target.name + " (125, 250, 500, 1000)");
        KeyboardSystemWords words = keyboard->GetKeyboardSystemWords();
        words.words[1] = KeyboardSystemWords::Pack(words.Key6Flag(), uint16_t(option));
        keyboard->SetKeyboardSystemWords(words);
        return Commit(target, true, done);
    }
    return Usage(target.name + " has no report rate setting");
}

Response ControlExecutor::SetLighting(const ControlDevice& target, const Json::Value& args)
{
    CKelvaskUSBDevice& device = *target.device;
    Response error;
    if (!Connected(target, error))
        return error;
    const std::string zoneName = TextArg(args, "zone");
    const int zone = zoneName.empty() ? kZoneMain : ParseZone(zoneName);
    if (zone < 0)
        return Usage("unknown lighting zone \"" + zoneName + "\" (keys, logo, side)");
    const int highest = HighestEffect(device.DeviceType(), zone);
    if (highest < 0)
        return Usage(target.name + " has no " + (zone == kZoneMain ? std::string("lighting") : std::string(ZoneName(zone)) + " zone") +
                     " that nq501ctl can set");
    int effect = 0;
    if (!IntArg(args, "effect", effect))
        return Usage("set lighting needs an effect number");
    if (effect < 0 || effect > highest)
        return Usage("effect " + std::to_string(effect) + " is unknown for the " + ZoneName(zone) + " zone of " +
                     target.name + " (0-" + std::to_string(highest) + ")");
    std::optional<Rgb> colour;
    if (args.isMember("colour")) {
        colour = ParseColour(TextArg(args, "colour"));
        if (!colour)
            return Usage("colour \"" + TextArg(args, "colour") + "\" is not six hex digits RRGGBB");
    }
    int brightness = -1, speed = -1;
    if (args.isMember("brightness") && (!IntArg(args, "brightness", brightness) || brightness < 0 || brightness > kMaxLevel))
        return Usage("brightness is a level 0-4");
    if (args.isMember("speed") && (!IntArg(args, "speed", speed) || speed < 0 || speed > kMaxLevel))
        return Usage("speed is a level 0-4");

    const int at = zone == kZoneLogo ? LightSetting::kLogo : zone == kZoneSide ? LightSetting::kSt : LightSetting::kMain;
    LightSetting record = device.ZoneLightSetting(zone);
    record[at + LightSetting::kEffect] = uint8_t(effect);
    if (brightness >= 0)
        record[at + LightSetting::kBrightness] = uint8_t(brightness);
    if (speed >= 0)
        record[at + LightSetting::kSpeed] = uint8_t(speed);
    if (colour) {
        record[at + LightSetting::kRed] = colour->red;
        record[at + LightSetting::kGreen] = colour->green;
        record[at + LightSetting::kBlue] = colour->blue;
        // As the editor's palette: a chosen colour turns the multicolour off.
        record[at + LightSetting::kMultiColour] = 0;
    }
    // As the lighting editor stores a record: the zone's setter, the lighting reloaded.
    device.Channel().SetLightingSynced(false);
    device.SetZoneLightSetting(zone, LightEditorModel::WordsOf(record));
    device.LoadLighting();
    if (auto* shown = dynamic_cast<LightEditorModel::Target*>(&device); shown && zone == kZoneMain)
        shown->ShowMainLighting(device.ZoneLightSetting(kZoneMain));
    const std::string what = device.DeviceType() == kKindKeyboard ? std::string(ZoneName(zone)) + " lighting" : "lighting";
    return Commit(target, true, what + " is effect " + std::to_string(effect));
}

Response ControlExecutor::SetRepeat(const ControlDevice& target, const Json::Value& args)
{
    auto* keyboard = dynamic_cast<CKelvaskKeyboardDevice*>(target.device);
    if (!keyboard)
        return Usage(target.name + " has no key repeat setting (only keyboards do)");
    int rate = -1, delay = -1;
    if (args.isMember("rate") && (!IntArg(args, "rate", rate) || rate < 0 || rate > kMaxRepeatRate))
        return Usage("the repeat rate is 0-31");
    if (args.isMember("delay") && (!IntArg(args, "delay", delay) || delay < 0 || delay > kMaxRepeatDelay))
        return Usage("the repeat delay is 0-3 (250, 500, 750, 1000 ms)");
    if (rate < 0 && delay < 0)
        return Usage("set repeat needs --rate, --delay or both");
    KeyboardSystemWords words = keyboard->GetKeyboardSystemWords();
    words.words[0] = KeyboardSystemWords::Pack(uint16_t(rate >= 0 ? rate : words.Repeat()),
                                               uint16_t(delay >= 0 ? delay : words.RepeatDelay()));
    keyboard->SetKeyboardSystemWords(words);
    // The repeat words are the desktop's: the page keeps them in the profile and sends nothing.
    return Commit(target, false,
                  "key repeat rate " + std::to_string(words.Repeat()) + ", delay " +
                      std::to_string((words.RepeatDelay() + 1) * 250) + " ms");
}

Response ControlExecutor::SetWinLock(const ControlDevice& target, const Json::Value& args)
{
    auto* keyboard = dynamic_cast<CKelvaskKeyboardDevice*>(target.device);
    if (!keyboard)
        return Usage(target.name + " has no Windows-key lock (only keyboards do)");
    Response error;
    if (!Connected(target, error))
        return error;
    if (!args["on"].isBool())
        return Usage("set win-lock needs on or off");
    const bool on = args["on"].asBool();
    KeyboardSystemWords words = keyboard->GetKeyboardSystemWords();
    words.words[2] = KeyboardSystemWords::Pack(words.WFlag(), on ? 1 : 0);
    keyboard->SetKeyboardSystemWords(words);
    return Commit(target, true, std::string("Windows-key lock ") + (on ? "on" : "off"));
}

// ---- profiles ----

Response ControlExecutor::Profile(const ControlDevice& target, const Json::Value& args)
{
    CKelvaskUSBDevice& device = *target.device;
    ProfileListModel* model = m_host.Profiles(device);
    if (!model)
        return Usage(target.name + " keeps no profiles nq501ctl can reach");
    const std::string action = TextArg(args, "action");
    auto indexOf = [&](const std::string& name) {
        for (int i = 0; i < model->Count(); ++i)
            if (Lower(model->NameAt(i)) == Lower(name))
                return i;
        return -1;
    };
    Response response;
    if (action == "list") {
        response.data["profiles"] = ProfilesJson(device);
        response.message = target.name + ": " + std::to_string(model->Count()) + " profile(s)";
        return response;
    }
    if (action == "use" || action == "export") {
        const std::string name = TextArg(args, "name");
        const int index = indexOf(name);
        if (index < 0)
            return Usage(target.name + " has no profile \"" + name + "\"");
        if (action == "use") {
            // The answer waits for the switch's writes (on the mouse's transfer worker in the program).
            m_then = [this, &device, index, name = target.name, profile = model->NameAt(index)](Done answer) {
                m_host.SwitchProfile(device, index, [name, profile, answer](int exit, const std::string& message) {
                    if (exit != kExitDone) {
                        answer(Response::Fail(exit, name + ": " + message));
                        return;
                    }
                    Response done;
                    done.message = name + ": profile \"" + profile + "\" is in use";
                    answer(done);
                });
            };
            return {};
        }
        const std::string file = TextArg(args, "file");
        if (file.empty())
            return Usage("profile export needs a file");
        const int shown = model->Selected();
        model->SetShownSelection(index);
        const bool exported = model->Export(file);
        model->SetShownSelection(shown);
        if (!exported)
            return Response::Fail(kExitFailed, target.name + ": profile \"" + name + "\" could not be written to " + file);
        response.message = target.name + ": profile \"" + model->NameAt(index) + "\" exported to " + file;
        return response;
    }
    if (action == "import") {
        const std::string file = TextArg(args, "file");
        if (file.empty())
            return Usage("profile import needs a file");
        const int before = model->Count();
        const ProfileListModel::ImportResult result = model->Import(file);
        m_host.ProfileListChanged(device);
        switch (result) {
        case ProfileListModel::ImportResult::Imported:
            response.message = target.name + ": imported as profile \"" +
                               (model->Count() > before ? model->NameAt(model->Count() - 1) : std::string()) + "\"";
            return response;
        case ProfileListModel::ImportResult::NotAProfile:
            return Response::Fail(kExitFailed, file + " is not a profile (it has no profilename or profileUUID)");
        case ProfileListModel::ImportResult::Unreadable:
            return Response::Fail(kExitFailed, file + " cannot be read as a profile");
        case ProfileListModel::ImportResult::WrongDevice:
            return Response::Fail(kExitFailed, file + " is a profile of another kind of device");
        case ProfileListModel::ImportResult::WriteFailed:
            return Response::Fail(kExitFailed, target.name + ": the imported profile could not be written");
        case ProfileListModel::ImportResult::ListChanged:
            return Response::Fail(kExitFailed, target.name + ": the profile list changed meanwhile; nothing imported");
        }
    }
    return Usage("unknown profile action \"" + action + "\" (list, use, export, import)");
}

} // namespace nq::control
