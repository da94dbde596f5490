#pragma once
// A simulator in a fresh temporary folder, named by NQ501_SIM_DIR while it lives.
#include "devsim/Simulator.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace nqtest {

class SimFolder {
public:
    SimFolder()
    {
        char pattern[] = "/tmp/nq501-spine-XXXXXX";
        folder = std::string(::mkdtemp(pattern)) + "/";
        sim = std::make_unique<nqsim::Simulator>(folder);
        sim->Start();
        ::setenv("NQ501_SIM_DIR", folder.c_str(), 1);
    }
    ~SimFolder()
    {
        sim.reset();
        ::unsetenv("NQ501_SIM_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string folder;
    std::unique_ptr<nqsim::Simulator> sim;
};

} // namespace nqtest
