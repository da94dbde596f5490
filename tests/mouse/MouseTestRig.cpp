#include "MouseTestRig.h"

#include "devices/MouseSettingsBlock.h"
#include "profiles/JsonFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

namespace nqtest {

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_name(name)
{
    if (const char* old = std::getenv(name)) {
        m_had = true;
        m_old = old;
    }
    ::setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (m_had)
        ::setenv(m_name.c_str(), m_old.c_str(), 1);
    else
        ::unsetenv(m_name.c_str());
}

void RecordingTimerHost::SetTimer(int id, uint32_t periodMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_armed[id] = periodMs;
    m_cv.notify_all();
}

void RecordingTimerHost::KillTimer(int id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_armed.erase(id);
}

bool RecordingTimerHost::WaitFor(int id, std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cv.wait_for(lock, limit, [&] { return m_armed.count(id) != 0; });
}

// ---- data folders ----

MouseDataFolders::MouseDataFolders()
{
    char pattern[] = "/tmp/nq501-mouse-XXXXXX";
    m_root = std::string(::mkdtemp(pattern)) + "/";
    std::filesystem::create_directories(DefaultFolder());
    std::filesystem::create_directories(UserFolder());
    m_dataHome = std::make_unique<ScopedEnv>("XDG_DATA_HOME", m_root + "data");
    m_programData = std::make_unique<ScopedEnv>("NQ501_DATA_DIR", m_root + "program/");

    Json::Value document;
    document["Device"].append(DefaultNode());
    WriteJson(DefaultFolder() + "mouse.Json", document);

    Json::Value lights;
    for (const char* name : {"light_wave", "light_spectrum", "light_breathing"}) {
        Json::Value entry;
        entry["LightName"] = name;
        entry["visible"] = std::string(name) != "light_spectrum";
        lights["DefaultLightName"][0].append(entry);
    }
    Json::Value area;
    area["LightName"] = "light_area_all";
    lights["AreaLightName"][0].append(area);
    WriteJson(DefaultFolder() + "default_light.json", lights);
}

MouseDataFolders::~MouseDataFolders()
{
    m_dataHome.reset();
    m_programData.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

void MouseDataFolders::WriteJson(const std::string& path, const Json::Value& value)
{
    ASSERT_TRUE(nq::WriteJsonFile(path, value)) << path;
}

Json::Value MouseDataFolders::DefaultNode()
{
    // Page order: left, right, middle, forward, back, DPI up, DPI down, DPI cycle, lighting, DPI shift.
    static const uint32_t buttons[10] = {0x100100, 0x100200, 0x100400, 0x101000, 0x100800,
                                         0x130100, 0x130200, 0x130300, 0xA01B00, 0x169001};
    Json::Value node;
    for (uint32_t packed : buttons) {
        Json::Value key;
        key["Assignment"] = packed;
        key["DefaultAssignment"] = packed;
        node["KeyList"].append(key);
    }
    static const int dpi[5] = {8, 16, 32, 64, 128};
    for (int i = 0; i < 5; ++i) {
        Json::Value stage;
        stage["StageActive"] = 1;
        stage["StageXY"] = 0;
        stage["StageDPIX"] = dpi[i];
        stage["StageDPIY"] = dpi[i];
        stage["StageColorR"] = 255;
        stage["StageColorG"] = 40 * i;
        stage["StageColorB"] = 0;
        node["DPIStages"]["StageDPIs"].append(stage);
    }
    node["DPIStages"]["StageActive"] = 1;
    node["SystemStages"]["DoubleClickTime"] = 500;
    node["SystemStages"]["MouseSpeed"] = 10;
    node["SystemStages"]["PointerPrecision"] = 1;
    node["SystemStages"]["ScorllPage"] = 0;
    node["SystemStages"]["WheelScorlllinse"] = 3;
    node["ReportStages"]["StageActive"] = 3;
    Json::Value light;
    light["SelectItem"] = 3;
    light["Light"] = 4;
    light["Speed"] = 2;
    light["Fx"] = 0;
    light["MultiColor"] = 0;
    light["Red"] = 255;
    light["Green"] = 0;
    light["Blue"] = 0;
    light["ZZCCLedMode"] = 0;
    node["LightInfo"] = light;
    return node;
}

void MouseDataFolders::WriteMacroList(const std::vector<std::string>& names) const
{
    Json::Value list;
    list["MacroInfo"] = Json::Value(Json::arrayValue);
    for (size_t i = 0; i < names.size(); ++i) {
        Json::Value macro;
        macro["MacroName"] = names[i];
        macro["Guid"] = "m" + std::to_string(i);
        list["MacroInfo"].append(macro);
    }
    WriteJson(UserFolder() + "macro.config", list);
}

void MouseDataFolders::WriteEventFile(const std::string& path, int count, int seed)
{
    Json::Value document;
    document["Events"] = Json::Value(Json::arrayValue);
    for (int i = 0; i < count; ++i) {
        Json::Value event;
        event["Type"] = (i % 2) ? 10 : 1;
        event["Button"] = (seed * 7 + i) % 200;
        event["Action"] = (i % 3) ? "up" : "down";
        event["Delay"] = std::to_string(seed * 100 + i);
        document["Events"].append(event);
    }
    document["Version"] = 64;
    WriteJson(path, document);
}

// ---- the rig ----

uint16_t SlotStageX(const Bytes& config, int slot, int stage)
{
    const size_t at = nq::MouseSettingsBlock::kSlotStride * size_t(slot) + nq::MouseSettingsBlock::kFirstStage +
                      nq::MouseSettingsBlock::kStageBytes * size_t(stage) + 2;
    return uint16_t(config.at(at) | (config.at(at + 1) << 8));
}

void MouseSimTest::WriteUserProfile(const Json::Value& node)
{
    Json::Value document;
    document["Device"].append(node);
    MouseDataFolders::WriteJson(folders->UserFolder() + "profile_a.Json", document);
}

void MouseSimTest::SetUp()
{
    folders = std::make_unique<MouseDataFolders>();
    mouse = std::make_unique<nq::CKelvaskMouseDevice>();
    mouse->SetProfileName("profile_a");
    mouse->SetLightConfigName("drovo_light");
}

void MouseSimTest::Connect(const std::string& device, const std::string& link)
{
    StartSim({device});
    m_device = device;
    m_vendorPath = SimPath(device, 1, 4, link);
    ASSERT_FALSE(m_vendorPath.empty());
    ASSERT_TRUE(mouse->Channel().Open(m_vendorPath));
    ClearSent();
}

std::vector<SentReport> MouseSimTest::Sent()
{
    std::vector<SentReport> sent;
    const std::string prefix = "> " + m_vendorPath + " ";
    for (const std::string& line : Env().WireLines()) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        std::istringstream hex(line.substr(prefix.size()));
        Bytes bytes;
        unsigned value = 0;
        while (hex >> std::hex >> value)
            bytes.push_back(static_cast<uint8_t>(value));
        if (bytes.size() < 8 || bytes[0] != 4)
            continue;
        sent.push_back({bytes[3], bytes[4], static_cast<uint16_t>(bytes[5] | (bytes[6] << 8))});
    }
    return sent;
}

std::vector<uint8_t> MouseSimTest::SentCommands()
{
    std::vector<uint8_t> commands;
    for (const SentReport& report : Sent())
        commands.push_back(report.command);
    return commands;
}

Bytes MouseSimTest::Area(const std::string& area)
{
    // The simulator's saved memory image: 8-byte magic, version, then per area its name length,
    // name, size (32 bit, LE) and bytes.
    const std::string file = folders->Root() + "memory.bin";
    EXPECT_TRUE(Sim().SaveMemory(m_device, file));
    std::ifstream in(file, std::ios::binary);
    const Bytes image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = 9;
    while (at < image.size()) {
        const size_t nameLength = image[at++];
        const std::string name(image.begin() + at, image.begin() + at + nameLength);
        at += nameLength;
        uint32_t size = 0;
        for (int i = 0; i < 4; ++i)
            size |= static_cast<uint32_t>(image[at + i]) << (8 * i);
        at += 4;
        if (name == area)
            return Bytes(image.begin() + at, image.begin() + at + size);
        at += size;
    }
    ADD_FAILURE() << "no memory area " << area;
    return {};
}

} // namespace nqtest
