#pragma once
// Test support: a device simulator in a fresh temporary folder, with NQ501_SIM_DIR pointing at
// it while it lives, so HidDevice enumerates and opens the simulated interfaces.
//
//   TEST_F(SimFixture, Something) {
//       StartSim({"keyboard"});
//       nq::HidDevice dev;
//       dev.Open(SimPath("keyboard", 1, 4), true, true, true, false);   // the vendor collection
//       ...
//   }
// or, without deriving from the fixture: nqtest::SimEnvironment env({"keyboard", "headset"});
#include "devsim/Simulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <condition_variable>
#include <string>
#include <vector>

namespace nqtest {

class SimEnvironment {
public:
    // Device setups as nqsim::Simulator::AddDevice takes them ("keyboard", "mouse:second", ...);
    // every device starts plugged.
    explicit SimEnvironment(const std::vector<std::string>& devices = {});
    ~SimEnvironment(); // stops the simulator, removes the folder, restores NQ501_SIM_DIR
    SimEnvironment(const SimEnvironment&) = delete;
    SimEnvironment& operator=(const SimEnvironment&) = delete;

    nqsim::Simulator& Sim() { return *m_sim; }
    const std::string& Folder() const { return m_folder; }
    bool ok() const { return m_ok; }

    // Path of one collection of a plugged device (collection 0 for a single-collection interface).
    std::string PathOf(const std::string& device, uint16_t interfaceNumber, uint16_t collection,
                       const std::string& link = "");

    // The wire log lines seen so far ("> path 04 ..." / "< path 04 ...").
    std::vector<std::string> WireLines() const;
    void ClearWireLines();
    // Waits until a wire line contains the text; false after the time limit.
    bool WaitForWireLine(const std::string& text, std::chrono::milliseconds limit = std::chrono::milliseconds(2000));

private:
    std::string m_folder;
    std::unique_ptr<nqsim::Simulator> m_sim;
    bool m_ok = false;
    bool m_hadEnv = false;
    std::string m_oldEnv;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<std::string> m_lines;
};

class SimFixture : public ::testing::Test {
protected:
    void TearDown() override { m_env.reset(); }

    // Starts (or restarts) the simulator with these devices.
    void StartSim(const std::vector<std::string>& devices = {});
    nqsim::Simulator& Sim() { return m_env->Sim(); }
    SimEnvironment& Env() { return *m_env; }
    const std::string& SimDir() const { return m_env->Folder(); }
    std::string SimPath(const std::string& device, uint16_t interfaceNumber, uint16_t collection,
                        const std::string& link = "")
    {
        return m_env->PathOf(device, interfaceNumber, collection, link);
    }

    std::unique_ptr<SimEnvironment> m_env;
};

} // namespace nqtest
