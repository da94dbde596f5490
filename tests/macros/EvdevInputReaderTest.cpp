// The evdev reader on folders without input devices: nothing is used, nothing runs. Real nodes
// are exercised by the page test with a virtual input device where the machine allows one.
#include "macros/EvdevInputReader.h"
#include "macros/LinuxInputCodes.h"

#include "support/TempFolderTest.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class EvdevFolder : public nqtest::TempFolderTest {};

TEST_F(EvdevFolder, FilesThatAreNoInputDevicesAreSkipped)
{
    std::ofstream(folder + "event0") << "not a device";
    std::ofstream(folder + "mouse0") << "";
    EXPECT_TRUE(nq::EvdevInputReader::ReadableNodes(folder).empty());
    nq::EvdevInputReader reader;
    EXPECT_FALSE(reader.Start([](uint16_t, bool) {}, folder));
    EXPECT_FALSE(reader.IsRunning());
    reader.Stop(); // harmless when nothing runs
    EXPECT_FALSE(reader.Start([](uint16_t, bool) {}, folder + "missing/"));
}

TEST(LinuxInputCodes, KeysAndButtonsMapToTheTables)
{
    struct Case {
        uint32_t input;
        bool known;
        uint8_t scan;
        bool extended;
    };
    const Case cases[] = {
        {29, true, 0x1D, false},  // left Ctrl
        {97, true, 0x1D, true},   // right Ctrl
        {46, true, 0x2E, false},  // C
        {103, true, 0x48, true},  // cursor up
        {119, true, 0x45, false}, // Pause
        {125, true, 0x5B, true},  // left Meta
        {0, false, 0, false},
        {240, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        uint8_t scan = 0;
        bool extended = false;
        EXPECT_EQ(nq::LinuxInputCodes::ToSet1(c.input, scan, extended), c.known);
        if (c.known) {
            EXPECT_EQ(scan, c.scan);
            EXPECT_EQ(extended, c.extended);
        }
    }
    nq::MouseButtonMessage m;
    ASSERT_TRUE(nq::LinuxInputCodes::ToMouseMessage(0x113, true, m)); // side button: back
    EXPECT_EQ(m.message, 0x020B);
    EXPECT_EQ(m.xButton, 1);
    ASSERT_TRUE(nq::LinuxInputCodes::ToMouseMessage(0x114, false, m)); // extra button: forward
    EXPECT_EQ(m.message, 0x020C);
    EXPECT_EQ(m.xButton, 2);
    EXPECT_FALSE(nq::LinuxInputCodes::ToMouseMessage(0x115, true, m));
    EXPECT_TRUE(nq::LinuxInputCodes::IsLockKey(58));
}

} // namespace
