// "nq501-hid call": one channel operation from the command line, against the simulator.
#include "hid/ChannelCall.h"
#include "support/SimFixture.h"

#include <gtest/gtest.h>

#include <sstream>

namespace nq {
namespace {

class ChannelCallTest : public nqtest::SimFixture {
protected:
    struct Outcome {
        int code;
        std::string out;
        std::string err;
    };
    Outcome Call(std::vector<std::string> args)
    {
        std::ostringstream out, err;
        const int code = ChannelCall::Run(args, out, err);
        return {code, out.str(), err.str()};
    }
};

TEST_F(ChannelCallTest, RunsOperationsAndPrintsTheirResult)
{
    StartSim({"keyboard", "rxmouse"});
    const std::string keyboard = SimPath("keyboard", 1, 4);
    const std::string receiver = SimPath("rxmouse", 1, 4, "receiver");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string out;
    };
    const Case cases[] = {
        {{keyboard, "batch-begin"}, 0, "result 1\n"},
        {{keyboard, "write-config", "0x40", "0a 0b:0C"}, 0, "result 1\n"},
        {{keyboard, "read-config", "64", "3"}, 0, "result 1\n0a 0b 0c\n"},
        {{keyboard, "read-keymap", "6"}, 0, "result 1\n20 00 29 20 00 3a\n"},
        {{keyboard, "read-key-index", "3"}, 0, "result 1\n00 01 02\n"},
        {{keyboard, "write-keymap", "200029", "1"}, 1, "result -201\n"},
        {{keyboard, "write-key-colours", "2", "ffffff"}, 0, "result 1\n"},
        {{keyboard, "read-status", "2", "0"}, 0, "result 1\n64 00\n"},
        {{keyboard, "query-link"}, 1, "result 0\n"}, // a wired keyboard refuses the link query
        {{receiver, "query-link", "--wireless"}, 0, "result 1\n"},
        {{receiver, "write-macros", "aa551000000000000000000000000000"}, 0, "result 1\n"},
        {{receiver, "write-recoil", "aa55"}, 0, "result 1\n"},
        {{receiver, "stream-lighting", "ff0000"}, 0, "result 1\n"},
        {{receiver, "enter-host-lighting"}, 0, "result 1\n"},
        {{receiver, "batch-end"}, 0, "result 1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        Outcome o = Call(c.args);
        EXPECT_EQ(o.code, c.code) << o.err;
        EXPECT_EQ(o.out, c.out);
    }
    Outcome info = Call({keyboard, "read-device-info"});
    EXPECT_EQ(info.code, 0);
    EXPECT_EQ(info.out.substr(0, 9), "result 1\n");
    EXPECT_EQ(info.out.size(), 9 + 34 * 3);
    EXPECT_NE(Sim().Dump("keyboard").find("  0400: ff ff ff"), std::string::npos);
}

TEST_F(ChannelCallTest, RejectsBadCommandLines)
{
    StartSim({"keyboard"});
    const std::string keyboard = SimPath("keyboard", 1, 4);
    const std::vector<std::vector<std::string>> bad = {
        {},
        {keyboard},
        {keyboard, "frobnicate"},
        {keyboard, "read-config", "0"},
        {keyboard, "read-config", "x", "1"},
        {keyboard, "write-config", "0", "abc"},     // odd number of digits
        {keyboard, "write-config", "0", "zz"},
        {keyboard, "read-keymap", "513"},
        {keyboard, "read-status", "57", "0"},
        {keyboard, "batch-begin", "extra"},
    };
    for (const auto& args : bad) {
        SCOPED_TRACE(args.size() > 1 ? args[1] : "");
        Outcome o = Call(args);
        EXPECT_EQ(o.code, 2);
        EXPECT_TRUE(o.out.empty());
        EXPECT_FALSE(o.err.empty());
    }
    Outcome missing = Call({SimDir() + "nothing", "batch-begin"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
}

} // namespace
} // namespace nq
