#include "support/SimFixture.h"

#include <cstdlib>
#include <filesystem>

namespace nqtest {

namespace fs = std::filesystem;

SimEnvironment::SimEnvironment(const std::vector<std::string>& devices)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/nq501-sim-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) {
        ADD_FAILURE() << "cannot create a simulator folder from " << pattern;
        return;
    }
    m_folder = std::string(buf.data()) + "/";
    if (const char* old = std::getenv("NQ501_SIM_DIR")) {
        m_hadEnv = true;
        m_oldEnv = old;
    }
    ::setenv("NQ501_SIM_DIR", m_folder.c_str(), 1);
    m_sim = std::make_unique<nqsim::Simulator>(m_folder);
    m_sim->SetWireLogCallback([this](const std::string& line) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.push_back(line);
        m_cv.notify_all();
    });
    m_ok = m_sim->Start();
    for (const auto& d : devices) {
        std::string error;
        if (!m_sim->AddDevice(d, true, &error)) {
            ADD_FAILURE() << "simulated device " << d << ": " << error;
            m_ok = false;
        }
    }
}

SimEnvironment::~SimEnvironment()
{
    if (m_sim) {
        m_sim->SetWireLogCallback({});
        m_sim.reset();
    }
    if (!m_folder.empty()) {
        std::error_code ec;
        fs::remove_all(m_folder, ec);
    }
    if (m_hadEnv)
        ::setenv("NQ501_SIM_DIR", m_oldEnv.c_str(), 1);
    else
        ::unsetenv("NQ501_SIM_DIR");
}

std::string SimEnvironment::PathOf(const std::string& device, uint16_t interfaceNumber, uint16_t collection,
                                   const std::string& link)
{
    return m_sim ? m_sim->PathOf(device, interfaceNumber, collection, link) : std::string();
}

std::vector<std::string> SimEnvironment::WireLines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

void SimEnvironment::ClearWireLines()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines.clear();
}

bool SimEnvironment::WaitForWireLine(const std::string& text, std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, limit, [&] {
        for (const auto& l : m_lines)
            if (l.find(text) != std::string::npos)
                return true;
        return false;
    });
}

void SimFixture::StartSim(const std::vector<std::string>& devices)
{
    m_env.reset();
    m_env = std::make_unique<SimEnvironment>(devices);
    ASSERT_TRUE(m_env->ok());
}

} // namespace nqtest
