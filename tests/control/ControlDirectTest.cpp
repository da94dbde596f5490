// nq501ctl's requests carried out directly (no program running) on the simulated devices: every
// command, the values refused before anything is sent, the exit codes, and the profile files the
// program reads afterwards.
#include "control/ControlExecutor.h"
#include "control/ControlValues.h"
#include "control/DirectDevices.h"
#include "devices/MouseSettingsBlock.h"
#include "profiles/JsonFile.h"
#include "profiles/ProfileListModel.h"
#include "support/ScopedEnv.h"
#include "support/SimFixture.h"
#include "support/SimWire.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace nq;
using namespace nq::control;

namespace {

Request Req(const std::string& command, const std::string& device, Json::Value args = Json::Value(Json::objectValue))
{
    Request r;
    r.command = command;
    r.device = device;
    r.args = args;
    return r;
}

Json::Value Args(std::initializer_list<std::pair<const char*, Json::Value>> members)
{
    Json::Value args(Json::objectValue);
    for (const auto& [name, value] : members)
        args[name] = value;
    return args;
}

class ControlDirect : public nqtest::SimFixture {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/nq501-ctl-XXXXXX";
        m_root = std::string(::mkdtemp(pattern)) + "/";
        m_dataHome = std::make_unique<nqtest::ScopedEnv>("XDG_DATA_HOME", m_root + "data");
    }
    void TearDown() override
    {
        m_devices.reset();
        SimFixture::TearDown();
        m_dataHome.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    // A fresh nq501ctl run: the devices found and read again, as each command line does.
    Response Run(const Request& request)
    {
        m_devices = std::make_unique<DirectDevices>();
        m_devices->Open();
        ControlExecutor executor(*m_devices);
        return executor.Execute(request);
    }

    // X resolution (device units) of DPI stage `stage` (0-based) of the mouse's slot 0.
    int StageUnits(int stage)
    {
        const std::vector<uint8_t> config = nqtest::SimMemoryArea(Sim(), "mouse", "config", m_root + "memory.bin");
        const size_t at = MouseSettingsBlock::StageStart(stage) + 2;
        return config.size() > at + 1 ? config[at] | (config[at + 1] << 8) : -1;
    }
    std::string MouseFolder() const { return m_root + "data/NQ501/mouse/"; }

    std::string m_root;
    std::unique_ptr<nqtest::ScopedEnv> m_dataHome;
    std::unique_ptr<DirectDevices> m_devices;
};

} // namespace

TEST(ControlValues, ColoursRatesAndEffects)
{
    struct Case {
        const char* text;
        bool ok;
        int red, green, blue;
    };
    for (const Case& c : {Case{"ff8800", true, 255, 136, 0}, Case{"#00FF7f", true, 0, 255, 127},
                          Case{"fff", false, 0, 0, 0}, Case{"gg0000", false, 0, 0, 0}, Case{"ff88001", false, 0, 0, 0},
                          Case{"", false, 0, 0, 0}, Case{"red", false, 0, 0, 0}}) {
        const auto rgb = ParseColour(c.text);
        ASSERT_EQ(rgb.has_value(), c.ok) << c.text;
        if (rgb)
            EXPECT_EQ((std::array<int, 3>{rgb->red, rgb->green, rgb->blue}), (std::array<int, 3>{c.red, c.green, c.blue}));
    }
    EXPECT_EQ(MouseRateOption(2000), 4);
    EXPECT_EQ(MouseRateOption(1000), 3);
    EXPECT_EQ(KeyboardRateOption(2000), -1);
    EXPECT_EQ(MouseRateOption(999), -1);
    EXPECT_EQ(HighestEffect(1, kZoneMain), 27);
    EXPECT_EQ(HighestEffect(1, kZoneLogo), 5);
    EXPECT_EQ(HighestEffect(2, kZoneMain), 8);
    EXPECT_EQ(HighestEffect(2, kZoneLogo), -1);
}

TEST(ControlRequest, TheLineFormatIsVersioned)
{
    Request request = Req("set", "mouse", Args({{"setting", "dpi"}, {"stage", 1}, {"value", 1600}}));
    const std::string line = ToLine(request.ToJson());
    EXPECT_EQ(line.find('\n'), std::string::npos);
    Json::Value parsed;
    ASSERT_TRUE(ParseLine(line, parsed));
    Request back;
    std::string error;
    ASSERT_TRUE(Request::FromJson(parsed, back, error)) << error;
    EXPECT_EQ(back.command, "set");
    EXPECT_EQ(back.args["value"].asInt(), 1600);

    for (const char* bad : {R"({"version":2,"command":"list"})", R"({"command":"list"})", R"([1,2])",
                            R"({"version":1,"command":3})", R"({"version":1,"command":"list","args":[]})"}) {
        Json::Value value;
        ASSERT_TRUE(ParseLine(bad, value)) << bad;
        EXPECT_FALSE(Request::FromJson(value, back, error)) << bad;
    }
    Json::Value value;
    EXPECT_FALSE(ParseLine(R"({"version":1} trailing)", value));
}

TEST_F(ControlDirect, SetDpiReachesTheMouseAndItsProfile)
{
    StartSim({"mouse"});
    const Response r = Run(Req("set", "mouse", Args({{"setting", "dpi"}, {"stage", 1}, {"value", 1600}})));
    ASSERT_EQ(r.exit, kExitDone) << r.message;
    const int step = m_devices->Devices().front()->Info().DpiStep();
    ASSERT_GT(step, 0);
    EXPECT_EQ(StageUnits(0), 1600 / step);
    // Without a screen of its own nq501ctl keeps the screen size the mouse holds.
    const std::vector<uint8_t> config = nqtest::SimMemoryArea(Sim(), "mouse", "config", m_root + "memory.bin");
    ASSERT_GE(config.size(), 64u);
    EXPECT_EQ(std::vector<uint8_t>(config.begin() + 60, config.begin() + 64), (std::vector<uint8_t>{0x80, 0x07, 0x38, 0x04}));

    // A later run reads the profile file the first one saved.
    const Response shown = Run(Req("show", "mouse"));
    ASSERT_EQ(shown.exit, kExitDone) << shown.message;
    EXPECT_EQ(shown.data["dpiStages"][0]["dpi"].asInt(), 1600 / step * step);
    EXPECT_EQ(shown.data["kind"].asString(), "mouse");
    EXPECT_EQ(shown.data["link"].asString(), "wired");

    // A mouse that comes back without the change (a fresh simulator) gets the profile written
    // back when nq501ctl connects, as the program does, keeping its screen size.
    m_devices.reset();
    StartSim({"mouse"});
    ASSERT_EQ(Run(Req("show", "mouse")).exit, kExitDone);
    EXPECT_EQ(StageUnits(0), 1600 / step);
    const std::vector<uint8_t> again = nqtest::SimMemoryArea(Sim(), "mouse", "config", m_root + "memory.bin");
    ASSERT_GE(again.size(), 64u);
    EXPECT_EQ(std::vector<uint8_t>(again.begin() + 60, again.begin() + 64), (std::vector<uint8_t>{0x80, 0x07, 0x38, 0x04}));
}

TEST_F(ControlDirect, OutOfRangeValuesAreRefusedBeforeAnythingIsSent)
{
    StartSim({"mouse", "keyboard"});
    const Response shown = Run(Req("show", "mouse"));
    const int highest = shown.data["dpiRange"]["max"].asInt();
    ASSERT_GT(highest, 0);
    const struct {
        const char* device;
        Json::Value args;
    } cases[] = {
        {"mouse", Args({{"setting", "dpi"}, {"stage", 1}, {"value", highest + 1}})},
        {"mouse", Args({{"setting", "dpi"}, {"stage", 6}, {"value", 800}})},
        {"mouse", Args({{"setting", "dpi"}, {"stage", 0}, {"value", 800}})},
        {"mouse", Args({{"setting", "lighting"}, {"effect", 9}})},
        {"mouse", Args({{"setting", "lighting"}, {"effect", 1}, {"colour", "12345g"}})},
        {"mouse", Args({{"setting", "lighting"}, {"effect", 1}, {"brightness", 5}})},
        {"mouse", Args({{"setting", "lighting"}, {"effect", 1}, {"speed", -1}})},
        {"mouse", Args({{"setting", "lighting"}, {"effect", 1}, {"zone", "logo"}})},
        {"mouse", Args({{"setting", "report-rate"}, {"hz", 333}})},
        {"mouse", Args({{"setting", "repeat"}, {"rate", 3}})},
        {"mouse", Args({{"setting", "volume"}})},
        {"keyboard", Args({{"setting", "lighting"}, {"effect", 28}})},
        {"keyboard", Args({{"setting", "lighting"}, {"effect", 6}, {"zone", "side"}})},
        {"keyboard", Args({{"setting", "report-rate"}, {"hz", 2000}})},
        {"keyboard", Args({{"setting", "repeat"}, {"delay", 4}})},
        {"keyboard", Args({{"setting", "dpi"}, {"stage", 1}, {"value", 800}})},
    };
    for (const auto& c : cases) {
        m_devices = std::make_unique<DirectDevices>();
        m_devices->Open();
        Env().ClearWireLines();
        const Response r = ControlExecutor(*m_devices).Execute(Req("set", c.device, c.args));
        EXPECT_EQ(r.exit, kExitUsage) << c.device << " " << ToLine(c.args) << ": " << r.message;
        for (const std::string& line : Env().WireLines())
            EXPECT_NE(line.rfind(">", 0), 0u) << "sent after a refused value: " << line;
    }
    EXPECT_EQ(shown.data["dpiStages"][0]["dpi"], Run(Req("show", "mouse")).data["dpiStages"][0]["dpi"]);
}

TEST_F(ControlDirect, DevicesAreNamedAndFound)
{
    StartSim({"mouse", "rxmouse", "keyboard", "chargepad", "headset"});
    const Response list = Run(Req("list", ""));
    ASSERT_EQ(list.exit, kExitDone);
    std::map<std::string, std::string> kinds;
    for (const Json::Value& d : list.data["devices"]) {
        kinds[d["name"].asString()] = d["kind"].asString();
        EXPECT_TRUE(d["answers"].asBool()) << d["name"].asString();
        EXPECT_FALSE(d["profile"].asString().empty()) << d["name"].asString();
    }
    EXPECT_EQ(kinds, (std::map<std::string, std::string>{{"mouse", "mouse"}, {"mouse-2", "mouse"},
                                                         {"keyboard", "keyboard"}, {"chargepad", "chargepad"},
                                                         {"headset", "headset"}}));

    // A kind names the only device of that kind; a name or a path names one device.
    EXPECT_EQ(Run(Req("show", "keyboard")).exit, kExitDone);
    EXPECT_EQ(Run(Req("show", "Mouse-2")).exit, kExitDone);
    const std::string path = list.data["devices"][0]["path"].asString();
    EXPECT_EQ(Run(Req("show", path)).data["name"].asString(), list.data["devices"][0]["name"].asString());
    // The headset keeps its list of equaliser profiles; a switch only changes the list's choice.
    EXPECT_EQ(Run(Req("profile", "headset", Args({{"action", "use"}, {"name", "profile1"}}))).exit, kExitDone);
    EXPECT_EQ(Run(Req("show", "mousepad")).exit, kExitNoDevice);
    EXPECT_EQ(Run(Req("fly", "mouse")).exit, kExitUsage);
}

TEST_F(ControlDirect, StatusOfTheChargingPad)
{
    StartSim({"chargepad", "keyboard"});
    ASSERT_EQ(Sim().FirmwareControl("chargepad", {"battery", "57"}), "ok");
    const Response r = Run(Req("status", "chargepad"));
    ASSERT_EQ(r.exit, kExitDone) << r.message;
    EXPECT_EQ(r.data["battery"].asInt(), 57);
    EXPECT_TRUE(r.data.isMember("phone"));
    EXPECT_EQ(Run(Req("status", "keyboard")).exit, kExitUsage);
}

TEST_F(ControlDirect, SettingsOfEachKindReachTheDevice)
{
    StartSim({"mouse", "keyboard", "mousepad"});
    struct Case {
        const char* device;
        Json::Value args;
        const char* showPath; // member path of `show` data that must follow
        Json::Value expected;
    };
    const Case cases[] = {
        {"mouse", Args({{"setting", "report-rate"}, {"hz", 500}}), "reportRate", 500},
        {"mouse", Args({{"setting", "stage"}, {"stage", 2}}), "activeStage", 2},
        {"mouse", Args({{"setting", "lighting"}, {"effect", 2}, {"colour", "00ff80"}, {"brightness", 3}}),
         "lighting.keys.colour", "00ff80"},
        {"keyboard", Args({{"setting", "report-rate"}, {"hz", 250}}), "reportRate", 250},
        {"keyboard", Args({{"setting", "win-lock"}, {"on", true}}), "system.winLock", true},
        {"keyboard", Args({{"setting", "repeat"}, {"rate", 20}, {"delay", 2}}), "system.repeatDelayMs", 750},
        {"keyboard", Args({{"setting", "lighting"}, {"zone", "logo"}, {"effect", 3}, {"speed", 1}}),
         "lighting.logo.effect", 3},
        {"mousepad", Args({{"setting", "lighting"}, {"effect", 4}, {"colour", "102030"}}), "lighting.keys.colour",
         "102030"},
    };
    for (const Case& c : cases) {
        const Response r = Run(Req("set", c.device, c.args));
        ASSERT_EQ(r.exit, kExitDone) << c.device << " " << ToLine(c.args) << ": " << r.message;
        // The next run reads the device and the profile afresh.
        Json::Value value = Run(Req("show", c.device)).data;
        std::string path = c.showPath;
        for (size_t dot; (dot = path.find('.')) != std::string::npos; path = path.substr(dot + 1))
            value = value[path.substr(0, dot)];
        EXPECT_EQ(value[path], c.expected) << c.device << " " << c.showPath;
    }
    // The keyboard's on-board profile 0 holds the Windows-key lock and the report rate option.
    const std::string dump = Sim().Dump("keyboard");
    EXPECT_NE(dump.find("profile 0: LED mode 0 W flag 0 6-key 0 Win lock 1 polling 1"), std::string::npos) << dump;
}

TEST_F(ControlDirect, ARefusedWriteIsExitOne)
{
    StartSim({"mouse"});
    ASSERT_EQ(Run(Req("show", "mouse")).exit, kExitDone);
    m_devices.reset();
    ASSERT_EQ(Sim().FirmwareControl("mouse", {"refuse", "ff", "1..400"}), "ok");
    const Response r = Run(Req("set", "mouse", Args({{"setting", "report-rate"}, {"hz", 250}})));
    EXPECT_EQ(r.exit, kExitFailed);
    EXPECT_NE(r.message.find("refused"), std::string::npos) << r.message;
}

TEST_F(ControlDirect, ProfilesListSwitchExportAndImport)
{
    StartSim({"mouse"});
    // A second profile "game" with stage 1 at another resolution.
    ASSERT_EQ(Run(Req("profile", "mouse", Args({{"action", "list"}}))).exit, kExitDone);
    ProfileListModel* model = m_devices->Profiles(*m_devices->Devices().front());
    ASSERT_TRUE(model && model->Add());
    model->SetShownSelection(1);
    ASSERT_EQ(model->Rename("game"), ProfileListModel::kRenamed);
    ASSERT_TRUE(model->Select(0));
    m_devices.reset();

    const Response list = Run(Req("profile", "mouse", Args({{"action", "list"}})));
    ASSERT_EQ(list.data["profiles"].size(), 2u);
    EXPECT_TRUE(list.data["profiles"][0]["current"].asBool());

    const Response use = Run(Req("profile", "mouse", Args({{"action", "use"}, {"name", "GAME"}})));
    ASSERT_EQ(use.exit, kExitDone) << use.message;
    EXPECT_EQ(Run(Req("list", "")).data["devices"][0]["profile"].asString(), "game");
    EXPECT_EQ(Run(Req("profile", "mouse", Args({{"action", "use"}, {"name", "nothing"}}))).exit, kExitUsage);

    const std::string file = m_root + "game.json";
    ASSERT_EQ(Run(Req("profile", "mouse", Args({{"action", "export"}, {"name", "game"}, {"file", file}}))).exit,
              kExitDone);
    ASSERT_TRUE(std::filesystem::exists(file));
    const Response imported = Run(Req("profile", "mouse", Args({{"action", "import"}, {"file", file}})));
    ASSERT_EQ(imported.exit, kExitDone) << imported.message;
    EXPECT_EQ(Run(Req("profile", "mouse", Args({{"action", "list"}}))).data["profiles"].size(), 3u);

    // Not a profile, and unwritable export targets, are failures.
    const std::string junk = m_root + "junk.json";
    ASSERT_TRUE(WriteJsonFile(junk, Json::Value("text")));
    EXPECT_EQ(Run(Req("profile", "mouse", Args({{"action", "import"}, {"file", junk}}))).exit, kExitFailed);
    EXPECT_EQ(Run(Req("profile", "mouse", Args({{"action", "export"}, {"name", "game"}, {"file", "/proc/nope/x.json"}}))).exit,
              kExitFailed);
}
