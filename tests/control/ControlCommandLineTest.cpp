// The nq501ctl program itself: usage errors and help, the route it takes when a program holds
// the instance lock without answering, and its output for scripts.
#include "control/ControlRequest.h"
#include "control/InstanceLink.h"
#include "profiles/JsonFile.h"
#include "support/ScopedEnv.h"
#include "support/SimFixture.h"

#include <gtest/gtest.h>
#include <json/value.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <chrono>
#include <memory>
#include <thread>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kTool = std::string(NQ501_BINARY_DIR) + "/nq501ctl";

struct CtlRun {
    int exit = -1;
    std::string out;
};

// Runs a shell command line and takes its output.
CtlRun Shell(const std::string& command)
{
    CtlRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Runs nq501ctl with these arguments; standard error goes to the output as well.
CtlRun Ctl(const std::string& args) { return Shell(kTool + " " + args + " 2>&1"); }

class ControlCommandLine : public nqtest::SimFixture {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/nq501-ctlcli-XXXXXX";
        m_root = std::string(::mkdtemp(pattern)) + "/";
        std::filesystem::create_directories(m_root + "run");
        // A runtime folder of its own: no nq501 of the machine answers these tests.
        m_runtime = std::make_unique<nqtest::ScopedEnv>("XDG_RUNTIME_DIR", m_root + "run");
        m_dataHome = std::make_unique<nqtest::ScopedEnv>("XDG_DATA_HOME", m_root + "data");
    }
    void TearDown() override
    {
        SimFixture::TearDown();
        m_runtime.reset();
        m_dataHome.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    std::string m_root;
    std::unique_ptr<nqtest::ScopedEnv> m_runtime, m_dataHome;
};

} // namespace

TEST_F(ControlCommandLine, UsageErrorsAreExitTwoAndEverySubcommandHasHelp)
{
    StartSim({"mouse"});
    for (const char* args : {"", "fly", "set mouse", "set mouse dpi 1", "set mouse dpi one 1600",
                             "set keyboard lighting --zone top 1", "set keyboard win-lock maybe", "profile mouse",
                             "profile mouse use", "list --bogus"}) {
        const CtlRun run = Ctl(args);
        EXPECT_EQ(run.exit, 2) << args << ": " << run.out;
    }
    for (const char* args : {"--help", "list --help", "show --help", "status --help", "set --help",
                             "set mouse dpi --help", "set mouse stage --help", "set mouse report-rate --help",
                             "set mouse lighting --help", "set mouse repeat --help", "set mouse win-lock --help",
                             "profile --help", "profile mouse use --help", "profile mouse list --help",
                             "profile mouse export --help", "profile mouse import --help"}) {
        const CtlRun run = Ctl(args);
        EXPECT_EQ(run.exit, 0) << args << ": " << run.out;
        EXPECT_NE(run.out.find("Usage"), std::string::npos) << args;
    }
    // A setting's usage line names the device before the setting.
    EXPECT_NE(Ctl("set mouse lighting --help").out.find("set DEVICE lighting [OPTIONS] EFFECT"), std::string::npos);
    EXPECT_NE(Ctl("profile mouse export --help").out.find("profile DEVICE export [OPTIONS] NAME FILE"), std::string::npos);
}

TEST_F(ControlCommandLine, TheDirectRouteSetsTheMouseAndPrintsJson)
{
    StartSim({"mouse", "keyboard"});
    CtlRun run = Ctl("set mouse dpi 1 1600");
    ASSERT_EQ(run.exit, 0) << run.out;
    EXPECT_NE(run.out.find("DPI stage 1 is 1600"), std::string::npos) << run.out;
    EXPECT_NE(Sim().Dump("mouse").find("0010: 20 00"), std::string::npos) << Sim().Dump("mouse");

    run = Ctl("list --json");
    ASSERT_EQ(run.exit, 0) << run.out;
    Json::Value parsed;
    ASSERT_TRUE(nq::control::ParseLine(run.out, parsed)) << run.out;
    EXPECT_EQ(parsed["devices"].size(), 2u);

    EXPECT_EQ(Ctl("set mouse dpi 1 99999").exit, 2);
    EXPECT_EQ(Ctl("set mouse lighting 1 --colour nothex").exit, 2);
    EXPECT_EQ(Ctl("show headset").exit, 3);
}

TEST_F(ControlCommandLine, AProgramThatHoldsTheLockWithoutAnsweringIsExitFour)
{
    StartSim({"mouse"});
    const std::string lock = nq::control::InstanceLockPath();
    const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ASSERT_TRUE(nq::control::InstanceRuns());
    const CtlRun run = Ctl("set mouse dpi 1 1600");
    ::close(fd);
    EXPECT_EQ(run.exit, 4) << run.out;
    EXPECT_NE(run.out.find("does not answer"), std::string::npos) << run.out;
    // Nothing reached the mouse: nq501ctl never opens a device another program holds.
    EXPECT_EQ(Sim().Dump("mouse").find("0010: 20 00"), std::string::npos);
}

TEST_F(ControlCommandLine, BashCompletionOffersSubcommandsValuesDevicesAndProfiles)
{
    StartSim({"mouse", "keyboard"});
    const std::string script = std::string(NQ501_SOURCE_DIR) + "/tools/nq501ctl/nq501ctl.bash";
    // Completes the words given (the last one is being typed) with the installed function.
    auto complete = [&](const std::string& words) {
        const std::string command = "PATH='" + std::string(NQ501_BINARY_DIR) + "':\"$PATH\" bash -c 'source \"" + script +
                                    "\"; COMP_WORDS=(" + words + "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
                                    "_nq501ctl; echo \"${COMPREPLY[*]}\"' 2>&1";
        const std::string out = Shell(command).out;
        return out.substr(0, out.find_last_not_of('\n') + 1);
    };
    EXPECT_EQ(complete("nq501ctl \"\""), "list show status set profile --help");
    EXPECT_EQ(complete("nq501ctl set mouse \"\""), "dpi stage report-rate lighting repeat win-lock");
    EXPECT_EQ(complete("nq501ctl set keyboard lighting --zone \"\""), "keys logo side");
    EXPECT_EQ(complete("nq501ctl set mouse report-rate 1"), "125 1000");
    EXPECT_EQ(complete("nq501ctl set keyboard win-lock o"), "on off");
    EXPECT_EQ(complete("nq501ctl show k"), "keyboard");
    EXPECT_EQ(complete("nq501ctl profile mouse use \"\""), "profile1");
}

TEST_F(ControlCommandLine, OneNq501ctlAtATimeOpensTheDevices)
{
    StartSim({"mouse"});
    nq::control::DirectRouteLock other;
    ASSERT_TRUE(other.Take(0));
    // A run that finds the devices taken waits for them...
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other.Release();
    });
    const CtlRun waited = Ctl("set mouse dpi 1 1600");
    release.join();
    EXPECT_EQ(waited.exit, 0) << waited.out;

    // ... and gives up with exit 4 when they stay taken.
    ASSERT_TRUE(other.Take(0));
    const CtlRun held = Ctl("set mouse dpi 1 800");
    EXPECT_EQ(held.exit, 4) << held.out;
    EXPECT_NE(held.out.find("another nq501ctl"), std::string::npos) << held.out;
    EXPECT_NE(Sim().Dump("mouse").find("0010: 20 00"), std::string::npos) << "800 DPI never reached the mouse";
}
