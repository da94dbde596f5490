#include "common/DebugLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

TEST(DebugLog, OffByDefaultThenOneLinePerMessageLine)
{
    nq::SetDebugLogTarget("");
    EXPECT_FALSE(nq::DebugLogEnabled());

    std::vector<std::string> lines;
    nq::SetDebugLogCallback([&](const std::string& line) { lines.push_back(line); });
    nq::DebugOutF("命令 %d", 7);
    nq::DebugOut("first\r\nsecond\n");
    nq::SetDebugLogCallback({});

    EXPECT_EQ(lines, (std::vector<std::string>{"命令 7", "first", "second"}));
}

TEST(DebugLog, FileTargetAppends)
{
    std::string path = testing::TempDir() + "nq501_debuglog.txt";
    std::remove(path.c_str());
    ASSERT_TRUE(nq::SetDebugLogTarget(path));
    nq::DebugOut("a");
    nq::DebugOut("b");
    nq::SetDebugLogTarget("");
    std::ifstream in(path);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all, "a\nb\n");
    EXPECT_FALSE(nq::SetDebugLogTarget("/nonexistent-folder/x.log"));
}

TEST(DebugLog, HexBytesIsLowerCaseSpaceSeparated)
{
    const unsigned char bytes[] = {0x04, 0xab, 0x00, 0xff};
    EXPECT_EQ(nq::HexBytes(bytes, 4), "04 ab 00 ff");
    EXPECT_EQ(nq::HexBytes(bytes, 0), "");
}
