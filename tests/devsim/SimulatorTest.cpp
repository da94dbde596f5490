// The simulator transport: interfaces in the folder, plug and unplug, links, the wire log,
// memory save and load, the command interpreter and the control socket.
#include "devsim/SimDeviceSetup.h"
#include "devsim/Simulator.h"
#include "hid/HidDevice.h"
#include "hid/HidSeqPacket.h"
#include "support/SimFixture.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace std::chrono;
using nq::HidDevice;

namespace {

class Simulator : public nqtest::SimFixture {};

std::set<std::string> Paths()
{
    HidDevice dev;
    std::set<std::string> out;
    EXPECT_TRUE(dev.Enumerate());
    while (auto p = dev.NextPath())
        out.insert(*p);
    return out;
}

std::vector<uint8_t> VendorRequest()
{
    std::vector<uint8_t> r(64, 0);
    r[0] = 4;
    return r;
}

TEST(SimDeviceSetup, Setups)
{
    struct Case { const char* text; bool ok; const char* name; int kind; uint16_t vid, pid; size_t links; };
    const Case cases[] = {
        {"keyboard", true, "keyboard", 1, 0x320F, 0x5041, 1},
        {"mouse:left", true, "left", 2, 0x320F, 0x5F10, 1},
        {"rxmouse", true, "rxmouse", 6, 0x320F, 0x5F11, 2},
        {"mousepad", true, "mousepad", 3, 0x320F, 0x5F13, 1},
        {"chargepad", true, "chargepad", 3, 0x320F, 0x5F14, 1},
        {"headset", true, "headset", 7, 0x320F, 0x5F15, 1},
        {"mouse@0:0", true, "mouse", 2, 0, 0, 1},
        {"headset@1234:abcd", true, "headset", 7, 0x1234, 0xABCD, 1},
        {"mousepad:pad2@1:2", true, "pad2", 3, 1, 2, 1},
        {"toaster", false, "", 0, 0, 0, 0},
        {"mouse:../x", false, "", 0, 0, 0, 0},
        {"mouse@12345:1", false, "", 0, 0, 0, 0},
        {"mouse@zz:1", false, "", 0, 0, 0, 0},
        {"mouse@1:2,3:4", false, "", 0, 0, 0, 0}, // one link only
        {"rxmouse@1:2,", false, "", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        auto setup = nqsim::MakeSimDeviceSetup(c.text, &error);
        ASSERT_EQ(setup.has_value(), c.ok);
        if (!c.ok) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(setup->name, c.name);
        EXPECT_EQ(setup->identity.kind, c.kind);
        EXPECT_EQ(setup->links.front().vendorId, c.vid);
        EXPECT_EQ(setup->links.front().productId, c.pid);
        EXPECT_EQ(setup->links.size(), c.links);
    }
    // The charging pad is told apart from the plain pad by its identity name.
    EXPECT_EQ(nqsim::MakeSimDeviceSetup("chargepad:x")->identity.name, "chargepad");
    // A receiver mouse has one identity per link: its own, one given for both, or one each.
    auto links = [](const char* text) {
        std::vector<std::pair<uint16_t, uint16_t>> ids;
        const auto setup = nqsim::MakeSimDeviceSetup(text);
        for (const auto& link : setup->links)
            ids.emplace_back(link.vendorId, link.productId);
        return ids;
    };
    using Ids = std::vector<std::pair<uint16_t, uint16_t>>;
    EXPECT_EQ(links("rxmouse"), (Ids{{0x320F, 0x5F11}, {0x320F, 0x5F12}}));
    EXPECT_EQ(links("rxmouse@1:2"), (Ids{{1, 2}, {1, 2}}));
    EXPECT_EQ(links("rxmouse:m@320F:5042,320F:5043"), (Ids{{0x320F, 0x5042}, {0x320F, 0x5043}}));
}

TEST_F(Simulator, PlugAndUnplugAtRunTime)
{
    StartSim({});
    EXPECT_TRUE(Paths().empty());
    ASSERT_TRUE(Sim().AddDevice("keyboard"));
    std::string vendor = SimPath("keyboard", 1, 4);
    ASSERT_FALSE(vendor.empty());
    EXPECT_EQ(Paths().size(), 5u);
    EXPECT_TRUE(fs::exists(SimDir() + "keyboard-if1.desc"));
    EXPECT_TRUE(fs::exists(SimDir() + "keyboard-if1.id"));

    HidDevice dev;
    ASSERT_TRUE(dev.Open(vendor, true, true, true, false));
    ASSERT_TRUE(Sim().Unplug("keyboard"));
    EXPECT_TRUE(Paths().empty());
    EXPECT_FALSE(fs::exists(SimDir() + "keyboard-if1.sock"));
    EXPECT_FALSE(fs::exists(SimDir() + "keyboard-if1.desc"));
    auto request = VendorRequest();
    uint8_t reply[64];
    EXPECT_FALSE(dev.Write(request.size(), request.data(), 1000) && dev.Read(sizeof(reply), reply, 300));
    EXPECT_TRUE(SimPath("keyboard", 1, 4).empty());

    ASSERT_TRUE(Sim().Plug("keyboard"));
    EXPECT_EQ(Paths().size(), 5u);
    ASSERT_TRUE(dev.Open(vendor, true, true, true, false));
    EXPECT_TRUE(dev.Write(request.size(), request.data(), 1000));
    EXPECT_TRUE(dev.Read(sizeof(reply), reply, 1000));

    EXPECT_FALSE(Sim().Plug("nobody"));
    EXPECT_FALSE(Sim().AddDevice("keyboard")); // the name is taken
    EXPECT_TRUE(Sim().RemoveDevice("keyboard"));
    EXPECT_TRUE(Paths().empty());
}

TEST_F(Simulator, ReceiverMouseLinksPlugSeparately)
{
    StartSim({"rxmouse"});
    std::string wired = SimPath("rxmouse", 1, 4, "wired");
    std::string receiver = SimPath("rxmouse", 1, 4, "receiver");
    ASSERT_FALSE(wired.empty());
    ASSERT_FALSE(receiver.empty());
    EXPECT_NE(wired, receiver);
    EXPECT_EQ(Paths().size(), 10u);
    ASSERT_TRUE(Sim().Unplug("rxmouse", "receiver"));
    auto paths = Paths();
    EXPECT_EQ(paths.size(), 5u);
    EXPECT_TRUE(paths.count(wired));
    EXPECT_FALSE(Sim().Unplug("rxmouse", "bluetooth"));
}

TEST_F(Simulator, WireLogHasOneLinePerReport)
{
    StartSim({"keyboard", "headset"});
    std::string vendor = SimPath("keyboard", 1, 4);
    HidDevice dev;
    ASSERT_TRUE(dev.Open(vendor, true, true, true, false));
    auto request = VendorRequest();
    request[1] = 0xAB;
    ASSERT_TRUE(dev.Write(request.size(), request.data(), 1000));
    uint8_t reply[64];
    ASSERT_TRUE(dev.Read(sizeof(reply), reply, 1000));

    HidDevice headset;
    ASSERT_TRUE(headset.Open(SimPath("headset", 3, 0), true, true, true, false));
    std::vector<uint8_t> led(17, 0);
    led[0] = 0xFF;
    led[1] = 0x22;
    ASSERT_TRUE(headset.SetOutputReport(led.data(), led.size()));
    ASSERT_TRUE(Env().WaitForWireLine("> " + SimPath("headset", 3, 0) + " ff 22 00"));

    std::ifstream in(Sim().WireLogPath());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 3u);
    std::string expected = "> " + vendor + " 04 ab";
    for (int i = 2; i < 64; ++i)
        expected += " 00";
    EXPECT_EQ(lines[0], expected);
    EXPECT_EQ(lines[1].rfind("< " + vendor + " 04 ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[1].size(), expected.size());
}

TEST_F(Simulator, WireLogKeepsOneOlderFile)
{
    StartSim({"keyboard"});
    Sim().SetWireLogLimit(2000);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(Sim().SendNotice("keyboard", 1028));
    ASSERT_TRUE(fs::exists(Sim().WireLogPath() + ".1"));
    EXPECT_LE(fs::file_size(Sim().WireLogPath()), 2200u);
    EXPECT_LE(fs::file_size(Sim().WireLogPath() + ".1"), 2200u);
    EXPECT_FALSE(fs::exists(Sim().WireLogPath() + ".2"));
}

TEST_F(Simulator, UnreadHandleDoesNotStallTheDevice)
{
    StartSim({"keyboard"});
    HidDevice idle, active;
    ASSERT_TRUE(idle.Open(SimPath("keyboard", 1, 3), true, false, true, false));
    for (int i = 0; i < 2000; ++i)
        ASSERT_TRUE(Sim().SendNotice("keyboard", 1028));
    ASSERT_TRUE(active.Open(SimPath("keyboard", 1, 4), true, true, true, false));
    auto request = VendorRequest();
    uint8_t reply[64];
    ASSERT_TRUE(active.Write(request.size(), request.data(), 1000));
    EXPECT_TRUE(active.Read(sizeof(reply), reply, 1000));
}

TEST_F(Simulator, FirmwareUnplugEndsTheTransfer)
{
    StartSim({"mouse"});
    HidDevice dev;
    std::string vendor = SimPath("mouse", 1, 4);
    ASSERT_TRUE(dev.Open(vendor, true, true, true, false));
    std::string answer = Sim().FirmwareControl("mouse", {"unplug", "1"});
    if (answer == "unknown command")
        GTEST_SKIP() << "firmware without the unplug fault";
    auto request = VendorRequest();
    uint8_t reply[64];
    dev.Write(request.size(), request.data(), 1000);
    EXPECT_FALSE(dev.Read(sizeof(reply), reply, 1000));
    EXPECT_FALSE(HidDevice::IsPresent(vendor));
    EXPECT_TRUE(Sim().Plug("mouse"));
    EXPECT_TRUE(HidDevice::IsPresent(vendor));
}

TEST_F(Simulator, DelayedRepliesArriveLateAndDieWithTheirPlug)
{
    StartSim({"keyboard"});
    std::string vendor = SimPath("keyboard", 1, 4);
    HidDevice dev;
    ASSERT_TRUE(dev.Open(vendor, true, true, true, false));
    if (Sim().FirmwareControl("keyboard", {"delay", "400"}) == "unknown command")
        GTEST_SKIP() << "firmware without the delay fault";
    auto request = VendorRequest();
    uint8_t reply[64];
    auto start = steady_clock::now();
    ASSERT_TRUE(dev.Write(request.size(), request.data(), 1000));
    EXPECT_FALSE(dev.Read(sizeof(reply), reply, 100));
    EXPECT_TRUE(dev.Read(sizeof(reply), reply, 1000));
    EXPECT_GE(steady_clock::now() - start, milliseconds(380));

    // A reply due after an unplug is not delivered to the device plugged in again.
    ASSERT_EQ(Sim().FirmwareControl("keyboard", {"delay", "300"}), "ok");
    ASSERT_TRUE(dev.Write(request.size(), request.data(), 1000));
    ASSERT_TRUE(Sim().Unplug("keyboard"));
    ASSERT_TRUE(Sim().Plug("keyboard"));
    ASSERT_TRUE(dev.Open(vendor, true, true, true, false));
    EXPECT_FALSE(dev.Read(sizeof(reply), reply, 600));
}

TEST_F(Simulator, MemorySurvivesSaveAndLoad)
{
    StartSim({"keyboard"});
    std::string before = Sim().Dump("keyboard");
    std::string file = SimDir() + "keyboard.mem";
    ASSERT_TRUE(Sim().SaveMemory("keyboard", file));
    if (fs::file_size(file) == 0)
        GTEST_SKIP() << "firmware without a memory image";
    Sim().PressButton("keyboard");
    ASSERT_NE(Sim().Dump("keyboard"), before);
    ASSERT_TRUE(Sim().LoadMemory("keyboard", file));
    EXPECT_EQ(Sim().Dump("keyboard"), before);
    EXPECT_FALSE(Sim().LoadMemory("keyboard", SimDir() + "missing.mem"));
    EXPECT_FALSE(Sim().SaveMemory("nobody", file));
}

TEST_F(Simulator, CommandsThroughTheControlSocket)
{
    StartSim({"mouse"});
    ASSERT_TRUE(Sim().ServeControlSocket());
    auto run = [&](const std::vector<std::string>& args, std::string& text) {
        int fd = nq::HidSeqPacket::Connect(SimDir() + "control");
        EXPECT_GE(fd, 0);
        std::string request;
        for (const auto& a : args)
            request.append(a).push_back('\0');
        EXPECT_GT(::send(fd, request.data(), request.size(), MSG_NOSIGNAL), 0);
        pollfd p{fd, POLLIN, 0};
        EXPECT_EQ(::poll(&p, 1, 5000), 1);
        char buf[65536];
        ssize_t n = ::recv(fd, buf, sizeof(buf), 0);
        ::close(fd);
        EXPECT_GT(n, 0);
        text.assign(buf + 1, n > 0 ? static_cast<size_t>(n - 1) : 0);
        return n > 0 && buf[0] == '0';
    };
    std::string text;
    EXPECT_TRUE(run({"add", "mousepad:pad"}, text)) << text;
    EXPECT_TRUE(run({"unplug", "mouse"}, text)) << text;
    EXPECT_TRUE(run({"list"}, text));
    EXPECT_NE(text.find("mouse mouse 320f:5f10 unplugged"), std::string::npos) << text;
    EXPECT_NE(text.find("pad mousepad 320f:5f13 plugged"), std::string::npos) << text;
    EXPECT_NE(text.find(SimPath("pad", 1, 4)), std::string::npos) << text;
    EXPECT_FALSE(run({"plug", "nobody"}, text));
    EXPECT_FALSE(run({"frobnicate"}, text));
    EXPECT_FALSE(run({"add", "toaster"}, text));
    EXPECT_FALSE(run({"fw", "pad", "no-such-firmware-command"}, text));
    EXPECT_TRUE(run({"notice", "pad", "1025"}, text));
    EXPECT_TRUE(Env().WaitForWireLine("< " + SimPath("pad", 1, 3) + " 03 01 04"));
}

TEST(SimulatorDemo, OneDeviceOfEachKindWithAPage)
{
    nqtest::SimEnvironment env; // a folder and NQ501_SIM_DIR; the demo runs its own simulator there
    std::string folder = env.Folder() + "demo/";
    auto demo = nqsim::Simulator::StartDemo(folder);
    ASSERT_TRUE(demo);
    auto devices = demo->List();
    ASSERT_EQ(devices.size(), nqsim::DemoKindNames().size());
    std::set<int> kinds;
    for (const auto& d : devices) {
        kinds.insert(d.kind);
        for (const auto& l : d.links)
            EXPECT_TRUE(l.plugged) << d.name;
    }
    EXPECT_EQ(kinds, (std::set<int>{1, 2, 3, 6, 7}));
    HidDevice dev;
    ASSERT_TRUE(dev.Open(demo->PathOf("keyboard", 1, 4), true, true, true, false));
    EXPECT_EQ(dev.Caps().usagePage, 0xFF1C);
    // The demo is controlled like the daemon: through its control socket.
    int control = nq::HidSeqPacket::Connect(folder + "control");
    EXPECT_GE(control, 0);
    if (control >= 0)
        ::close(control);
}

} // namespace
