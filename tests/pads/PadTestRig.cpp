#include "PadTestRig.h"

#include "profiles/JsonFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdlib.h>

namespace nqtest {

PadDataFolders::PadDataFolders()
{
    char pattern[] = "/tmp/nq501-pad-XXXXXX";
    m_root = std::string(::mkdtemp(pattern)) + "/";
    std::filesystem::create_directories(DefaultFolder());
    std::filesystem::create_directories(UserFolder());
    m_dataHome = std::make_unique<ScopedEnv>("XDG_DATA_HOME", m_root + "data");
    m_programData = std::make_unique<ScopedEnv>("NQ501_DATA_DIR", m_root + "program/");
    for (const char* file : {"MousePad.Json", "default_light.json", "simdevices.json"})
        std::filesystem::copy_file(std::string(NQ501_SOURCE_DIR) + "/DefaultData/" + file, DefaultFolder() + file);
}

PadDataFolders::~PadDataFolders()
{
    m_dataHome.reset();
    m_programData.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

void PadDataFolders::WriteJson(const std::string& path, const Json::Value& value)
{
    ASSERT_TRUE(nq::WriteJsonFile(path, value)) << path;
}

void PadSimTest::SetUp()
{
    folders = std::make_unique<PadDataFolders>();
    pad = std::make_unique<nq::CKelvaskMousePadDevice>();
    pad->SetLedCount(15);
    pad->SetVariant(2); // the catalogue's mousepad row
    pad->SetProfileName("profile_a");
    pad->SetLightConfigName("drovo_light");
}

void PadSimTest::TearDown()
{
    pad.reset();
    SimFixture::TearDown();
}

void PadSimTest::Connect(const std::string& kind)
{
    StartSim({kind});
    m_device = kind;
    m_vendorPath = SimPath(kind, 1, 4);
    ASSERT_FALSE(m_vendorPath.empty());
    ASSERT_TRUE(pad->Channel().Open(m_vendorPath));
    ClearSent();
}

std::vector<uint8_t> PadSimTest::SentCommands()
{
    std::vector<uint8_t> commands;
    for (const WireReport& report : Sent())
        commands.push_back(report.command);
    return commands;
}

Json::Value PadSimTest::SavedNode() const
{
    return nq::ReadJsonFile(folders->UserFolder() + "profile_a.Json")["Device"][0];
}

} // namespace nqtest
