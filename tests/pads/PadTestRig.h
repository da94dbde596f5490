#pragma once
// A mousepad (or the charging pad) against its simulated firmware: fresh user and program data
// folders per test (the program's own default pad profile and light names), the simulator, and
// what the host sent.
#include "devices/CKelvaskMousePadDevice.h"
#include "support/ScopedEnv.h"
#include "support/SimFixture.h"
#include "support/SimWire.h"

#include <json/value.h>

#include <memory>
#include <string>
#include <vector>

namespace nqtest {

using Bytes = std::vector<uint8_t>;

class PadDataFolders {
public:
    PadDataFolders(); // copies the installed DefaultData files the pad (and the catalogue) reads
    ~PadDataFolders();

    const std::string& Root() const { return m_root; }
    std::string UserFolder() const { return m_root + "data/NQ501/MousePad/"; }
    std::string DefaultFolder() const { return m_root + "program/DefaultData/"; }
    static void WriteJson(const std::string& path, const Json::Value& value);

private:
    std::string m_root;
    std::unique_ptr<ScopedEnv> m_dataHome;
    std::unique_ptr<ScopedEnv> m_programData;
};

class PadSimTest : public SimFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the simulator with `kind` ("mousepad" or "chargepad") and opens the pad's channel.
    void Connect(const std::string& kind = "mousepad");
    std::vector<WireReport> Sent() { return SentVendorReports(Env().WireLines(), m_vendorPath); }
    std::vector<uint8_t> SentCommands();
    void ClearSent() { Env().ClearWireLines(); }
    Bytes Area(const std::string& area) { return SimMemoryArea(Sim(), m_device, area, folders->Root() + "memory.bin"); }
    std::string Fw(const std::vector<std::string>& args) { return Sim().FirmwareControl(m_device, args); }
    // The profile file of the pad as it lies on disk.
    Json::Value SavedNode() const;

    std::unique_ptr<PadDataFolders> folders;
    std::unique_ptr<nq::CKelvaskMousePadDevice> pad;
    std::string m_device;
    std::string m_vendorPath;
};

} // namespace nqtest
