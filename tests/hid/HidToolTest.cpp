// The nq501-hid command, run as a program (skipped when it has not been built).
#include "DescriptorSamples.h"

#include "hid/HidDescriptorReport.h"
#include "hid/HidSeqPacket.h"
#include "support/SimFixture.h"

#include <json/reader.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

const std::string kTool = std::string(NQ501_BINARY_DIR) + "/nq501-hid";

// Runs the command line; returns its standard output and sets the exit status.
std::string RunTool(const std::string& command, int& status)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), pipe)) > 0)
        out.append(buf, n);
    status = ::pclose(pipe);
    return out;
}

Json::Value ParseJson(const std::string& text)
{
    Json::Value v;
    Json::CharReaderBuilder builder;
    std::string errors;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &v, &errors)) << errors << text;
    return v;
}

class HidTool : public nqtest::SimFixture {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(kTool))
            GTEST_SKIP() << kTool << " not built";
    }
};

TEST_F(HidTool, ListShowsTheSimulatedInterfaces)
{
    StartSim({"keyboard", "headset"});
    int status = -1;
    Json::Value list = ParseJson(RunTool(kTool + " list --json", status));
    EXPECT_EQ(status, 0);
    ASSERT_EQ(list.size(), 6u);
    bool vendorSeen = false;
    for (const auto& row : list)
        if (row["path"].asString() == SimPath("keyboard", 1, 4)) {
            vendorSeen = true;
            EXPECT_EQ(row["vendorId"].asInt(), 0x320F);
            EXPECT_EQ(row["interface"].asInt(), 1);
            EXPECT_EQ(row["collection"].asInt(), 4);
            EXPECT_EQ(row["usagePage"].asInt(), 0xFF1C);
            EXPECT_EQ(row["inputLength"].asInt(), 64);
        }
    EXPECT_TRUE(vendorSeen);
    std::string table = RunTool(kTool + " list", status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(table.find(SimPath("headset", 3, 0)), std::string::npos) << table;
}

TEST_F(HidTool, ListNamesANodeWhoseDescriptorDoesNotParse)
{
    StartSim({"headset"});
    std::string base = SimDir() + "broken-if2";
    int fd = nq::HidSeqPacket::Listen(base + ".sock");
    ASSERT_GE(fd, 0);
    std::ofstream(base + ".id") << "vendor=1234\nproduct=0001\nversion=0100\ninterface=2\n";
    std::ofstream(base + ".desc", std::ios::binary) << std::string("\x05\x01\xc0", 3);
    int status = -1;
    Json::Value list = ParseJson(RunTool(kTool + " list --json", status));
    ::close(fd);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(list.size(), 2u);
    const Json::Value& broken = list[0]; // nodes come in name order
    EXPECT_EQ(broken["path"].asString(), base + ".sock?vid_1234&pid_0001&mi_02");
    EXPECT_NE(broken["error"].asString().find("invalid report descriptor"), std::string::npos);
    EXPECT_FALSE(list[1].isMember("error"));
}

TEST_F(HidTool, CallRunsOneChannelOperationOnTheSimulator)
{
    StartSim({"keyboard"});
    int status = -1;
    std::string out = RunTool(kTool + " call '" + SimPath("keyboard", 1, 4) + "' read-device-info", status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("result 1"), std::string::npos) << out;
    EXPECT_TRUE(Env().WaitForWireLine("> " + SimPath("keyboard", 1, 4) + " 04 "));
    RunTool(kTool + " call 2>/dev/null", status);
    EXPECT_NE(status, 0);
}

TEST_F(HidTool, ListOfAnEmptyMachineIsEmpty)
{
    StartSim({}); // an empty simulator folder stands for a machine without HID nodes
    int status = -1;
    Json::Value list = ParseJson(RunTool(kTool + " list --json", status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(list.size(), 0u);
}

TEST_F(HidTool, DescribeBinaryAndHexFilesLikeTheParser)
{
    StartSim({});
    std::string bin = SimDir() + "multi.bin", hex = SimDir() + "multi.txt";
    {
        std::ofstream(bin, std::ios::binary).write(reinterpret_cast<const char*>(samples::kMultiKeyboard.data()),
                                                   static_cast<std::streamsize>(samples::kMultiKeyboard.size()));
        std::ofstream out(hex);
        for (uint8_t b : samples::kMultiKeyboard) {
            char buf[8];
            std::snprintf(buf, sizeof(buf), "0x%02X, ", b);
            out << buf;
        }
    }
    nq::HidReportDescriptor d;
    ASSERT_TRUE(d.Parse(samples::kMultiKeyboard));
    Json::Value expected = nq::HidDescriptorReport::Describe(d);
    for (const auto& file : {bin, hex}) {
        int status = -1;
        Json::Value got = ParseJson(RunTool(kTool + " describe " + file, status));
        EXPECT_EQ(status, 0) << file;
        EXPECT_EQ(got.toStyledString(), expected.toStyledString()) << file;
    }
    std::ofstream(SimDir() + "bad.txt") << "05 01 a1 01";
    int status = -1;
    RunTool(kTool + " describe " + SimDir() + "bad.txt 2>/dev/null", status);
    EXPECT_NE(status, 0);
}

} // namespace
