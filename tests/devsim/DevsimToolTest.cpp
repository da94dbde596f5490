// The nq501-devsim command: a background simulator driven from the command line (skipped when
// the command has not been built).
#include "hid/HidDevice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

const std::string kTool = std::string(NQ501_BINARY_DIR) + "/nq501-devsim";

std::string RunTool(const std::string& args, int& status)
{
    std::string out;
    FILE* pipe = ::popen((kTool + " " + args + " 2>&1").c_str(), "r");
    if (!pipe) {
        status = -1;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), pipe)) > 0)
        out.append(buf, n);
    int raw = ::pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

TEST(DevsimTool, BackgroundSimulatorFromStartToStop)
{
    if (!std::filesystem::exists(kTool))
        GTEST_SKIP() << kTool << " not built";
    char pattern[] = "/tmp/nq501-devsim-XXXXXX";
    ASSERT_TRUE(::mkdtemp(pattern));
    const std::string dir = std::string(pattern) + "/";
    const std::string state = dir + "state/";
    const std::string d = "--dir " + dir + " ";
    int status = -1;
    // Whatever fails below, the daemon does not outlive the test.
    struct StopAtEnd {
        std::string args;
        ~StopAtEnd() { int ignored; RunTool(args, ignored); }
    } stopAtEnd{d + "stop"};

    std::string out = RunTool(d + "start --background --state " + state + " keyboard mouse:m1", status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("NQ501_SIM_DIR=" + dir), std::string::npos) << out;
    // A second simulator in the same folder is refused.
    RunTool(d + "start --background keyboard", status);
    EXPECT_EQ(status, 1);

    out = RunTool(d + "list", status);
    EXPECT_EQ(status, 0);
    const std::string vendor = dir + "keyboard-if1.sock?vid_320f&pid_5041&mi_01&col04";
    EXPECT_NE(out.find(vendor), std::string::npos) << out;
    EXPECT_NE(out.find("m1 mouse 320f:5f10 plugged"), std::string::npos) << out;

    ::setenv("NQ501_SIM_DIR", dir.c_str(), 1);
    nq::HidDevice dev;
    EXPECT_TRUE(dev.Open(vendor, true, true, true, false));
    dev.Close();

    RunTool(d + "unplug keyboard", status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(nq::HidDevice::IsPresent(vendor));
    RunTool(d + "plug keyboard", status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(nq::HidDevice::IsPresent(vendor));
    RunTool(d + "plug toaster", status);
    EXPECT_EQ(status, 1);
    out = RunTool(d + "button keyboard", status);
    EXPECT_EQ(status, 0) << out;
    out = RunTool(d + "fw keyboard no-such-command", status);
    EXPECT_EQ(status, 1) << out;
    out = RunTool(d + "dump keyboard", status);
    EXPECT_EQ(status, 0) << out;

    out = RunTool(d + "stop", status);
    EXPECT_EQ(status, 0) << out;
    // The daemon leaves: its control socket goes, and the memory is kept in the state folder.
    for (int i = 0; i < 100 && std::filesystem::exists(dir + "control"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(std::filesystem::exists(dir + "control"));
    for (int i = 0; i < 100 && !std::filesystem::exists(state + "m1.mem"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(std::filesystem::exists(state + "keyboard.mem"));
    EXPECT_TRUE(std::filesystem::exists(state + "m1.mem"));
    RunTool(d + "list", status);
    EXPECT_EQ(status, 2); // nobody answers

    ::unsetenv("NQ501_SIM_DIR");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

} // namespace
