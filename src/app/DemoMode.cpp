#include "app/DemoMode.h"

#include "common/DebugLog.h"
#include "devsim/Simulator.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<nqsim::Simulator>& DemoSimulator()
{
    static std::unique_ptr<nqsim::Simulator> simulator;
    return simulator;
}

} // namespace

bool StartDemoSimulator()
{
    if (DemoSimulator())
        return true;
    const std::string folder = nqsim::Simulator::DemoFolder();
    DemoSimulator() = nqsim::Simulator::StartDemo(folder);
    if (!DemoSimulator()) {
        nq::DebugOutF("demo mode: the device simulator cannot start in %s", folder.c_str());
        return false;
    }
    setenv("NQ501_SIM_DIR", folder.c_str(), 1);
    nq::DebugOutF("demo mode: simulated devices in %s", folder.c_str());
    std::fprintf(stderr, "NQ501 demo: simulated devices in %s\n"
                         "  try: nq501-devsim --dir %s list\n",
                 folder.c_str(), folder.c_str());
    return true;
}

void StopDemoSimulator()
{
    if (!DemoSimulator())
        return;
    DemoSimulator().reset();
    unsetenv("NQ501_SIM_DIR");
}
