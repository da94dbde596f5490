// nq501ctl: every device setting from the command line. With nq501 running, the request goes
// over the program's local socket and the program carries it out on its own device objects (its
// pages show the change); without it, nq501ctl opens the devices itself.
#include "common/DebugLog.h"
#include "control/ControlExecutor.h"
#include "control/ControlRequest.h"
#include "control/DirectDevices.h"
#include "control/InstanceLink.h"

#include <CLI/CLI.hpp>
#include <json/writer.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

namespace {

using nq::control::Request;
using nq::control::Response;

constexpr int kAnswerTimeoutMs = 15000;

const char* kDeviceHelp = "a name from `nq501ctl list` (mouse, mouse-2, keyboard, ...), a device kind when only one "
                          "device of that kind is connected, or the interface path from `list --json`";

const char* kMainFooter = R"(
Exit codes:
  0  done
  1  the device refused or did not answer, or a file could not be written (the message says which step)
  2  usage error, or a value out of range (nothing was sent)
  3  no such device
  4  another program holds the devices (a running nq501 that does not answer, or another
     nq501ctl that kept them open for 5 s)

When nq501 runs, every request goes through it: it changes the device with the same objects its
pages use, shows the change and saves the profile. Otherwise nq501ctl opens the devices itself
and updates the same profile files.

Examples:
  nq501ctl list
  nq501ctl set mouse dpi 1 1600
  nq501ctl set keyboard lighting --zone logo 2 --colour ff8800 --brightness 4
  nq501ctl profile mouse use game
  nq501ctl status chargepad --json)";

const char* kExitFooter = R"(
Exit codes: 0 done, 1 the device refused or failed, 2 usage error or value out of range,
3 no such device, 4 another program holds the devices (see nq501ctl --help).)";

// The usage line of a setting or profile action names the device before it:
// "nq501ctl set DEVICE dpi [OPTIONS] STAGE VALUE".
class DeviceUsage : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App* app, std::string name) const override
    {
        std::string usage = CLI::Formatter::make_usage(app, std::move(name));
        const CLI::App* parent = app->get_parent();
        if (parent && parent->get_parent() && (parent->get_name() == "set" || parent->get_name() == "profile")) {
            const std::string from = parent->get_name() + " " + app->get_name();
            if (const size_t at = usage.find(from); at != std::string::npos)
                usage.replace(at, from.size(), parent->get_name() + " DEVICE " + app->get_name());
        }
        return usage;
    }
};

std::string Absolute(const std::string& file)
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(file, error);
    return error ? file : path.lexically_normal().string();
}

void PrintJson(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "  ";
    builder["emitUTF8"] = true;
    std::cout << Json::writeString(builder, value) << "\n";
}

std::string Text(const Json::Value& value)
{
    if (value.isBool())
        return value.asBool() ? "yes" : "no";
    if (value.isString())
        return value.asString();
    return nq::control::ToLine(value);
}

void PrintList(const Json::Value& devices)
{
    std::printf("%-12s %-10s %-9s %-20s %-8s %s\n", "NAME", "KIND", "LINK", "PROFILE", "ANSWERS", "PATH");
    for (const Json::Value& d : devices)
        std::printf("%-12s %-10s %-9s %-20s %-8s %s\n", d["name"].asCString(), d["kind"].asCString(),
                    d["link"].asCString(), d["profile"].asCString(), d["answers"].asBool() ? "yes" : "no",
                    d["path"].asCString());
}

void PrintProfiles(const Json::Value& profiles)
{
    for (const Json::Value& p : profiles)
        std::cout << (p["current"].asBool() ? "* " : "  ") << p["name"].asString() << "\n";
}

void PrintShow(const Json::Value& data)
{
    std::cout << data["name"].asString() << " (" << data["kind"].asString() << ", " << data["link"].asString() << ")\n";
    std::cout << "profile: " << data["profile"].asString() << "\n";
    if (data.isMember("dpiStages")) {
        std::cout << "DPI stages (active " << data["activeStage"].asInt() << ", range " << data["dpiRange"]["min"].asInt()
                  << "-" << data["dpiRange"]["max"].asInt() << "):\n";
        for (const Json::Value& s : data["dpiStages"])
            std::cout << "  " << s["stage"].asInt() << ": " << s["dpi"].asInt() << (s["enabled"].asBool() ? "" : " (off)")
                      << "\n";
    }
    if (data.isMember("reportRate"))
        std::cout << "report rate: " << data["reportRate"].asInt() << " Hz\n";
    for (const std::string& zone : data["lighting"].getMemberNames()) {
        const Json::Value& l = data["lighting"][zone];
        std::cout << "lighting " << zone << ": effect " << l["effect"].asInt() << ", colour " << l["colour"].asString()
                  << ", brightness " << l["brightness"].asInt() << ", speed " << l["speed"].asInt() << "\n";
    }
    if (data.isMember("system")) {
        std::cout << "system:";
        for (const std::string& word : data["system"].getMemberNames())
            std::cout << " " << word << "=" << Text(data["system"][word]);
        std::cout << "\n";
    }
    std::cout << "profiles:\n";
    PrintProfiles(data["profiles"]);
}

// Carries the request out through the running program, or directly when none runs.
Response Carry(const Request& request)
{
    const std::string line = nq::control::ToLine(request.ToJson());
    // Taken before the look for a running nq501: a program that starts meanwhile waits for it.
    nq::control::DirectRouteLock direct;
    if (!direct.Take())
        return Response::Fail(nq::control::kExitHeld, "another nq501ctl holds the devices (or " +
                                                          nq::control::InstanceSocketPath() +
                                                          ".ctl.lock cannot be opened)");
    if (nq::control::InstanceRuns()) {
        // The program owns the devices: it is not kept waiting for the lock meanwhile.
        direct.Release();
        std::string answer;
        const nq::control::LinkResult link = nq::control::SendToInstance(line, answer, kAnswerTimeoutMs);
        Json::Value value;
        Response response;
        std::string error;
        if (link == nq::control::LinkResult::Answered && nq::control::ParseLine(answer, value) &&
            Response::FromJson(value, response, error))
            return response;
        return Response::Fail(nq::control::kExitHeld,
                              "nq501 is running but does not answer control requests; it holds the devices "
                              "(update it, or quit it to let nq501ctl open them)");
    }
    nq::control::DirectDevices devices;
    devices.Open();
    nq::control::ControlExecutor executor(devices);
    return executor.Execute(request);
}

} // namespace

int main(int argc, char** argv)
{
    nq::InitDebugLogFromEnvironment();
    CLI::App app{"nq501ctl: read and change the settings of the NQ501 devices"};
    app.formatter(std::make_shared<DeviceUsage>());
    app.require_subcommand(1);
    bool json = false;
    Request request;
    request.command = "";

    auto* list = app.add_subcommand("list", "The connected devices: name, kind, link (wired or receiver), "
                                            "current profile, and whether the device answered");
    list->add_flag("--json", json, "print JSON (an object with the array \"devices\")");
    list->footer(std::string("\nExample: nq501ctl list --json | python3 -m json.tool\n") + kExitFooter);

    auto* show = app.add_subcommand("show", "A device's settings: DPI stages and the active stage, report rate, "
                                            "lighting of each zone, system settings, profiles");
    show->add_option("DEVICE", request.device, kDeviceHelp)->required();
    show->add_flag("--json", json, "print JSON");
    show->footer(std::string("\nExample: nq501ctl show mouse\n") + kExitFooter);

    auto* status = app.add_subcommand("status", "Power and battery of a device that reports them "
                                                "(the charging pad, a mouse on its receiver)");
    status->add_option("DEVICE", request.device, kDeviceHelp)->required();
    status->add_flag("--json", json, "print JSON: battery (percent), power (discharging, charging, charged), "
                                     "wireless, phone (charging pad)");
    status->footer(std::string("\nExample: nq501ctl status chargepad --json\n") + kExitFooter);

    // ---- set ----
    auto* set = app.add_subcommand("set", "Change one setting; the profile is saved and the device written");
    set->add_option("DEVICE", request.device, kDeviceHelp)->required();
    set->require_subcommand(1);
    set->footer(std::string("\nEvery value is checked before anything is sent: a DPI outside the mouse's range, an "
                            "unknown effect number or a colour that is not RRGGBB ends with exit code 2.\n") +
                kExitFooter);
    int stage = 0, value = 0, hz = 0, effect = 0, brightness = -1, speed = -1, rate = -1, delay = -1;
    std::string zone, colour, onOff;

    auto* dpi = set->add_subcommand("dpi", "Set the resolution of a DPI stage of a mouse");
    dpi->add_option("STAGE", stage, "the stage, 1-5")->required();
    dpi->add_option("VALUE", value, "DPI, within the range `show` prints; the mouse's DPI step rounds it down")
        ->required();
    dpi->footer("\nExample: nq501ctl set mouse dpi 1 1600");

    auto* stageCmd = set->add_subcommand("stage", "Make a DPI stage of a mouse the active one");
    stageCmd->add_option("N", stage, "an enabled stage, 1-5")->required();
    stageCmd->footer("\nExample: nq501ctl set mouse stage 2");

    auto* rateCmd = set->add_subcommand("report-rate", "Set the USB report rate");
    rateCmd->add_option("HZ", hz, "mouse: 125, 250, 500, 1000 or 2000; keyboard: 125, 250, 500 or 1000")->required();
    rateCmd->footer("\nExample: nq501ctl set mouse report-rate 1000");

    auto* lighting = set->add_subcommand("lighting", "Set the lighting effect of a zone, with its colour, "
                                                     "brightness and speed");
    lighting->add_option("EFFECT", effect, "the effect number: keyboard keys 0-27, keyboard logo and side 0-5, "
                                           "mouse and pads 0-8 (the order of the page's effect list)")
        ->required();
    lighting->add_option("--zone", zone, "keys (the default), logo or side (keyboard only)")
        ->check(CLI::IsMember({"keys", "logo", "side"}));
    lighting->add_option("--colour,--color", colour, "the colour as six hex digits RRGGBB (one colour: the effect's multicolour goes off, as in the page's palette)");
    lighting->add_option("--brightness", brightness, "0-4");
    lighting->add_option("--speed", speed, "0-4");
    lighting->footer("\nOptions left out keep their current value.\n"
                     "Example: nq501ctl set keyboard lighting 2 --colour 00ff80 --brightness 3 --speed 2");

    auto* repeat = set->add_subcommand("repeat", "Set the keyboard's key repeat (kept in the profile, as on the "
                                                 "page; the desktop applies it)");
    repeat->add_option("--rate", rate, "repeat rate 0 (slow) to 31 (fast)");
    repeat->add_option("--delay", delay, "delay before repeating: 0-3 for 250, 500, 750 or 1000 ms");
    repeat->footer("\nExample: nq501ctl set keyboard repeat --rate 20 --delay 1");

    auto* winLock = set->add_subcommand("win-lock", "Lock or free the keyboard's Windows key");
    winLock->add_option("STATE", onOff, "on or off")->required()->check(CLI::IsMember({"on", "off"}));
    winLock->footer("\nExample: nq501ctl set keyboard win-lock on");

    // ---- profile ----
    auto* profile = app.add_subcommand("profile", "List, switch, export or import a device's profiles");
    profile->add_option("DEVICE", request.device, kDeviceHelp)->required();
    profile->require_subcommand(1);
    profile->footer(kExitFooter);
    std::string name, file;
    auto* profileList = profile->add_subcommand("list", "The device's profiles; * marks the current one");
    profileList->add_flag("--json", json, "print JSON");
    profileList->footer("\nExample: nq501ctl profile keyboard list");
    auto* use = profile->add_subcommand("use", "Switch to a profile, as choosing it in the page's combo does: "
                                               "its settings, macros and key table are written");
    use->add_option("NAME", name, "the profile's name (case does not matter)")->required();
    use->footer("\nExample (a game launcher's pre-launch command): nq501ctl profile mouse use game");
    auto* exportCmd = profile->add_subcommand("export", "Write a profile to a file");
    exportCmd->add_option("NAME", name, "the profile's name")->required();
    exportCmd->add_option("FILE", file, "the file to write")->required();
    exportCmd->footer("\nExample: nq501ctl profile mouse export game ~/game-mouse.json");
    auto* importCmd = profile->add_subcommand("import", "Add a profile file to the device's profiles "
                                                        "(it is checked first: a profile of another kind of "
                                                        "device is refused)");
    importCmd->add_option("FILE", file, "the profile file")->required();
    importCmd->footer("\nExample: nq501ctl profile mouse import ~/game-mouse.json");

    app.footer(kMainFooter);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? 0 : nq::control::kExitUsage;
    }

    Json::Value& args = request.args;
    if (*list) {
        request.command = "list";
    } else if (*show) {
        request.command = "show";
    } else if (*status) {
        request.command = "status";
    } else if (*set) {
        request.command = "set";
        if (*dpi) {
            args["setting"] = "dpi";
            args["stage"] = stage;
            args["value"] = value;
        } else if (*stageCmd) {
            args["setting"] = "stage";
            args["stage"] = stage;
        } else if (*rateCmd) {
            args["setting"] = "report-rate";
            args["hz"] = hz;
        } else if (*lighting) {
            args["setting"] = "lighting";
            args["effect"] = effect;
            if (!zone.empty())
                args["zone"] = zone;
            if (lighting->count("--colour"))
                args["colour"] = colour;
            if (lighting->count("--brightness"))
                args["brightness"] = brightness;
            if (lighting->count("--speed"))
                args["speed"] = speed;
        } else if (*repeat) {
            args["setting"] = "repeat";
            if (repeat->count("--rate"))
                args["rate"] = rate;
            if (repeat->count("--delay"))
                args["delay"] = delay;
        } else if (*winLock) {
            args["setting"] = "win-lock";
            args["on"] = onOff == "on";
        }
    } else if (*profile) {
        request.command = "profile";
        if (*profileList) {
            args["action"] = "list";
        } else if (*use) {
            args["action"] = "use";
            args["name"] = name;
        } else if (*exportCmd) {
            args["action"] = "export";
            args["name"] = name;
            args["file"] = Absolute(file);
        } else if (*importCmd) {
            args["action"] = "import";
            args["file"] = Absolute(file);
        }
    }

    const Response response = Carry(request);
    if (response.exit != nq::control::kExitDone) {
        std::cerr << "nq501ctl: " << response.message << "\n";
        return response.exit;
    }
    if (json) {
        PrintJson(response.data);
    } else if (request.command == "list") {
        PrintList(response.data["devices"]);
    } else if (request.command == "show") {
        PrintShow(response.data);
    } else if (request.command == "profile" && *profileList) {
        PrintProfiles(response.data["profiles"]);
    } else {
        std::cout << response.message << "\n";
    }
    return nq::control::kExitDone;
}
