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

// Runs the tool; `streams` is appended to the command line ("2>&1": both, "2>&1 >/dev/null":
// standard error only).
std::string RunTool(const std::string& args, int& status, const std::string& streams = "2>&1")
{
    std::string out;
    FILE* pipe = ::popen((kTool + " " + args + " " + streams).c_str(), "r");
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

// A simulator folder for one test; whatever fails, the daemon does not outlive the test.
class DevsimTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(kTool))
            GTEST_SKIP() << kTool << " not built";
        char pattern[] = "/tmp/nq501-devsim-XXXXXX";
        ASSERT_TRUE(::mkdtemp(pattern));
        dir = std::string(pattern) + "/";
        d = "--dir " + dir + " ";
    }
    void TearDown() override
    {
        if (dir.empty())
            return;
        int ignored;
        RunTool(d + "stop", ignored);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string dir; // the simulator's folder
    std::string d;   // "--dir FOLDER "
};

TEST_F(DevsimTool, BackgroundSimulatorFromStartToStop)
{
    const std::string state = dir + "state/";
    int status = -1;

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
}

// Every refused command exits non-zero and says why on standard error; the same commands with good
// arguments are carried out.
TEST_F(DevsimTool, EveryErrorExitsNonZeroWithAMessage)
{
    int status = -1;
    std::string out = RunTool(d + "start --background mouse rxmouse", status);
    ASSERT_EQ(status, 0) << out;

    const char* const refused[] = {
        "fw mouse refuse ff 0",
        "fw mouse refuse 00",
        "fw mouse refuse 1",
        "fw mouse delay -5",
        "fw mouse profile 99",
        "fw mouse battery 256",
        "fw mouse link on",
        "fw mouse no-such-command",
        "fw nosuch status",
        "dump nosuch",
        "button nosuch",
        "notice mouse abc",
        "notice mouse 1025x",
        "notice mouse -1",
        "notice mouse 65536",
        "notice nosuch 1025",
        "plug nosuch",
        "frobnicate",
        "",
    };
    for (const char* command : refused) {
        SCOPED_TRACE(command);
        const std::string errors = RunTool(d + command, status, "2>&1 >/dev/null");
        EXPECT_NE(status, 0);
        EXPECT_FALSE(errors.empty()) << "no message on standard error";
    }

    const char* const carriedOut[] = {
        "fw mouse refuse ff 2", "fw mouse refuse 0xfe", "fw mouse delay 5", "fw mouse profile 1",
        "fw mouse battery 255", "fw rxmouse link on",   "dump mouse",        "button mouse",
        "notice mouse 1025",    "notice mouse 0x404",   "fw mouse clear",
    };
    for (const char* command : carriedOut) {
        SCOPED_TRACE(command);
        out = RunTool(d + command, status);
        EXPECT_EQ(status, 0) << out;
    }
}

} // namespace
