#pragma once
// A mouse against the simulated mouse: a fresh user data folder and program data folder (with a
// small default profile) for each test, the simulator, and the reports the host sent.
#include "devices/CKelvaskMouseDevice.h"
#include "devices/IDeviceTimerHost.h"
#include "support/SimFixture.h"

#include <json/value.h>

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace nqtest {

using Bytes = std::vector<uint8_t>;

// Sets an environment variable while it lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();

private:
    std::string m_name;
    bool m_had = false;
    std::string m_old;
};

// Timer requests of the device (from any thread), waitable.
class RecordingTimerHost : public nq::IDeviceTimerHost {
public:
    void SetTimer(int id, uint32_t periodMs) override;
    void KillTimer(int id) override;
    bool WaitFor(int id, std::chrono::milliseconds limit);

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::map<int, uint32_t> m_armed;
};

// Folders for the data files of one test.
class MouseDataFolders {
public:
    MouseDataFolders();
    ~MouseDataFolders();

    const std::string& Root() const { return m_root; }
    // The device's user folder ("mouse" under the temporary data home).
    std::string UserFolder() const { return m_root + "data/NQ501/mouse/"; }
    std::string DefaultFolder() const { return m_root + "program/DefaultData/"; }

    static void WriteJson(const std::string& path, const Json::Value& value);
    // The default profile the tests start from: the ten buttons in page order with their factory
    // assignments, five DPI stages, report rate option 3, static red lighting.
    static Json::Value DefaultNode();
    // A macro list with these names and identifiers "m0", "m1", ...
    void WriteMacroList(const std::vector<std::string>& names) const;
    // An event file (macro or recoil) holding `count` events.
    static void WriteEventFile(const std::string& path, int count, int seed);

private:
    std::string m_root;
    std::unique_ptr<ScopedEnv> m_dataHome;
    std::unique_ptr<ScopedEnv> m_programData;
};

// A report the host sent: command, length, offset.
struct SentReport {
    uint8_t command = 0;
    uint8_t length = 0;
    uint16_t offset = 0;
    bool operator==(const SentReport&) const = default;
};

// The X resolution of DPI stage `stage` of on-board slot `slot` in the mouse's configuration memory.
uint16_t SlotStageX(const Bytes& config, int slot, int stage);

class MouseSimTest : public SimFixture {
protected:
    void SetUp() override;

    // Starts the simulator with `device` and opens the mouse's command channel on it.
    void Connect(const std::string& device = "mouse", const std::string& link = "");
    // The reports sent to the vendor collection since the last ClearSent.
    std::vector<SentReport> Sent();
    std::vector<uint8_t> SentCommands();
    void ClearSent() { Env().ClearWireLines(); }
    Bytes Area(const std::string& area);
    std::string Fw(const std::vector<std::string>& args) { return Sim().FirmwareControl(m_device, args); }
    // The user's profile "profile_a" holding `node` as its device node.
    void WriteUserProfile(const Json::Value& node);

    std::unique_ptr<MouseDataFolders> folders;
    std::unique_ptr<nq::CKelvaskMouseDevice> mouse;
    std::string m_device;
    std::string m_vendorPath;
};

} // namespace nqtest
