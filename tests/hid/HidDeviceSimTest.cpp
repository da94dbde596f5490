// HidDevice against the simulator over real sockets.
#include "hid/HidDevice.h"
#include "hid/HidSeqPacket.h"
#include "support/SimFixture.h"

#include <atomic>
#include <fstream>
#include <unistd.h>
#include <chrono>
#include <set>
#include <thread>

using namespace std::chrono;
using nq::HidDevice;
using nq::HidReportType;
using nq::NodeTraffic;

namespace {

class HidDeviceSim : public nqtest::SimFixture {};

std::vector<std::string> AllPaths(HidDevice& dev)
{
    std::vector<std::string> paths;
    EXPECT_TRUE(dev.Enumerate());
    while (auto p = dev.NextPath())
        paths.push_back(*p);
    return paths;
}

TEST_F(HidDeviceSim, EnumerationListsEveryCollectionOnceAndGrowsPastEight)
{
    // keyboard: interface 0 (1 collection) + interface 1 (4) = 5; three mice: 5 each; headset: 1.
    StartSim({"keyboard", "mouse", "mouse:m2", "mouse:m3", "headset"});
    HidDevice dev;
    auto paths = AllPaths(dev);
    ASSERT_EQ(paths.size(), 21u);
    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()).size(), paths.size());
    EXPECT_FALSE(dev.NextPath().has_value());

    // The keyboard's interface 1 comes as four collection paths in descriptor order.
    std::vector<std::string> kb;
    for (const auto& p : paths)
        if (p.find("keyboard-if1.sock") != std::string::npos)
            kb.push_back(p);
    ASSERT_EQ(kb.size(), 4u);
    for (uint16_t i = 0; i < 4; ++i) {
        EXPECT_EQ(HidDevice::ParseVendorId(kb[i]), 0x320F);
        EXPECT_EQ(HidDevice::ParseProductId(kb[i]), 0x5041);
        EXPECT_EQ(HidDevice::ParseInterfaceNumber(kb[i]), 1);
        EXPECT_EQ(HidDevice::ParseCollectionNumber(kb[i]), i + 1);
    }
    // The headset's only interface has one collection: no "&col".
    std::string hs = SimPath("headset", 3, 0);
    EXPECT_EQ(HidDevice::ParseCollectionNumber(hs), 0);
    EXPECT_EQ(HidDevice::ParseInterfaceNumber(hs), 3);

    // Enumerating again starts over; FreePaths empties the list.
    EXPECT_TRUE(dev.Enumerate());
    EXPECT_EQ(dev.NextPath(), paths.front());
    dev.FreePaths();
    EXPECT_FALSE(dev.NextPath().has_value());
}

TEST_F(HidDeviceSim, OpenDescribesOnlyTheChosenCollection)
{
    StartSim({"keyboard", "headset"});
    HidDevice dev;
    ASSERT_TRUE(dev.Open(SimPath("keyboard", 1, 4), true, true, true, false));
    EXPECT_EQ(dev.Attributes().vendorId, 0x320F);
    EXPECT_EQ(dev.Attributes().productId, 0x5041);
    EXPECT_EQ(dev.Caps().usagePage, 0xFF1C);
    EXPECT_EQ(dev.Caps().usage, 0x92);
    EXPECT_EQ(dev.Caps().inputReportByteLength, 64);
    EXPECT_EQ(dev.Caps().outputReportByteLength, 64);
    EXPECT_EQ(dev.Caps().featureReportByteLength, 0);
    EXPECT_EQ(dev.InterfaceNumber(), 1);
    EXPECT_EQ(dev.CollectionNumber(), 4);
    EXPECT_EQ(dev.ReportBuffer(HidReportType::Input).size(), 64u);

    ASSERT_TRUE(dev.Open(SimPath("keyboard", 1, 3), true, true, true, false));
    EXPECT_EQ(dev.Caps().usagePage, 0x000C);
    EXPECT_EQ(dev.Caps().usage, 0x01);
    EXPECT_EQ(dev.Caps().inputReportByteLength, 3);
    ASSERT_FALSE(dev.DataItems(HidReportType::Input).empty());
    const auto& first = dev.DataItems(HidReportType::Input).front();
    EXPECT_TRUE(first.isButtonData);
    EXPECT_LE(first.button.usageMin, 1025u);
    EXPECT_GE(first.button.usageMax, 1028u);

    ASSERT_TRUE(dev.Open(SimPath("headset", 3, 0), true, true, true, false));
    EXPECT_EQ(dev.Caps().usagePage, 0x000C);
    EXPECT_EQ(dev.Caps().outputReportByteLength, 64);
}

TEST_F(HidDeviceSim, WriteReachesFirmwareAndReadGetsOnlyThisCollectionsReports)
{
    StartSim({"keyboard"});
    HidDevice vendor, consumer;
    ASSERT_TRUE(vendor.Open(SimPath("keyboard", 1, 4), true, true, true, false));
    ASSERT_TRUE(consumer.Open(SimPath("keyboard", 1, 3), true, true, true, false));

    std::vector<uint8_t> out(64, 0);
    out[0] = 4;
    out[1] = 0x12;
    size_t n = 0;
    ASSERT_TRUE(vendor.Write(out.size(), out.data(), 1000, &n));
    EXPECT_EQ(n, 64u);
    std::vector<uint8_t> in(64, 0xEE);
    ASSERT_TRUE(vendor.Read(in.size(), in.data(), 1000, &n));
    EXPECT_EQ(n, 64u);
    EXPECT_EQ(in[0], 4);

    // The vendor reply is not a consumer-control report: the consumer handle sees nothing...
    auto start = steady_clock::now();
    EXPECT_FALSE(consumer.Read(in.size(), in.data(), 200, &n));
    EXPECT_GE(steady_clock::now() - start, milliseconds(180));
    // ...but gets the notice, decoded as the usage in its first data item.
    ASSERT_TRUE(Sim().SendNotice("keyboard", 1025));
    ASSERT_TRUE(consumer.Read(in.size(), in.data(), 1000, &n));
    EXPECT_EQ(n, 3u);
    auto& items = consumer.DataItems(HidReportType::Input);
    ASSERT_TRUE(consumer.DecodeReport(HidReportType::Input, in.data(), n, items));
    EXPECT_EQ(items.front().button.usages.at(0), 1025);
    EXPECT_TRUE(items.front().isDataSet);

    EXPECT_TRUE(Env().WaitForWireLine("> " + SimPath("keyboard", 1, 4) + " 04 12 00"));
    EXPECT_TRUE(Env().WaitForWireLine("< " + SimPath("keyboard", 1, 3) + " 03 01 04"));
}

TEST_F(HidDeviceSim, ReadOnSilentInterfaceTimesOutAfterItsLimit)
{
    StartSim({"mouse"});
    HidDevice dev;
    ASSERT_TRUE(dev.Open(SimPath("mouse", 1, 4), true, true, true, false));
    uint8_t buf[64];
    size_t n = 99;
    auto start = steady_clock::now();
    EXPECT_FALSE(dev.Read(sizeof(buf), buf, 1000, &n));
    auto elapsed = steady_clock::now() - start;
    EXPECT_EQ(n, 0u);
    EXPECT_GE(elapsed, milliseconds(990));
    EXPECT_LT(elapsed, milliseconds(1500));
}

TEST_F(HidDeviceSim, CloseFromAnotherThreadEndsAnInfiniteRead)
{
    StartSim({"keyboard"});
    HidDevice dev;
    ASSERT_TRUE(dev.Open(SimPath("keyboard", 1, 3), true, true, true, false));
    std::atomic<bool> done{false}, result{true};
    size_t n = 99;
    std::thread reader([&] {
        uint8_t buf[8];
        result = dev.Read(sizeof(buf), buf, nq::kHidInfinite, &n);
        done = true;
    });
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_FALSE(done);
    auto start = steady_clock::now();
    dev.Close();
    // The read has left the handle when Close returns; its caller gets the failure just after.
    reader.join();
    EXPECT_TRUE(done);
    EXPECT_LT(steady_clock::now() - start, milliseconds(500));
    EXPECT_FALSE(result);
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(dev.IsOpen());
    uint8_t buf[8];
    EXPECT_FALSE(dev.Read(sizeof(buf), buf, 10, &n));
}

TEST_F(HidDeviceSim, PausedReaderStillGetsItsReportsAndStopsOnClose)
{
    // A notice reader with a pause, while the command collection's replies flood the node: the
    // replies are thrown away, the notice still arrives, and Close ends a paused read at once.
    StartSim({"keyboard"});
    HidDevice vendor, notices;
    ASSERT_TRUE(vendor.Open(SimPath("keyboard", 1, 4), true, true, true, false));
    ASSERT_TRUE(notices.Open(SimPath("keyboard", 1, 3), true, true, true, false));
    notices.SetForeignReportPause(50);

    std::atomic<bool> got{false};
    std::atomic<uint16_t> usage{0};
    std::thread reader([&] {
        uint8_t buf[8] = {};
        size_t n = 0;
        if (notices.Read(sizeof(buf), buf, 3000, &n)) {
            auto& items = notices.DataItems(HidReportType::Input);
            if (notices.DecodeReport(HidReportType::Input, buf, n, items) && !items.front().button.usages.empty())
                usage = items.front().button.usages.front();
            got = true;
        }
    });
    std::vector<uint8_t> out(64, 0), in(64, 0);
    out[0] = 4;
    out[1] = 3; // device information: answered with a reply on the same node
    for (int i = 0; i < 20; ++i) {
        size_t n = 0;
        ASSERT_TRUE(vendor.Write(out.size(), out.data(), 1000, &n));
        ASSERT_TRUE(vendor.Read(in.size(), in.data(), 1000, &n));
    }
    ASSERT_TRUE(Sim().SendNotice("keyboard", 1025));
    reader.join();
    EXPECT_TRUE(got);
    EXPECT_EQ(usage.load(), 1025);

    // A read that pauses after a foreign report ends promptly when the handle is closed.
    std::atomic<bool> result{true};
    std::thread waiter([&] {
        uint8_t buf[8];
        size_t n = 0;
        result = notices.Read(sizeof(buf), buf, nq::kHidInfinite, &n);
    });
    std::this_thread::sleep_for(milliseconds(50)); // the waiter is listening
    size_t n = 0;
    ASSERT_TRUE(vendor.Write(out.size(), out.data(), 1000, &n));
    ASSERT_TRUE(vendor.Read(in.size(), in.data(), 1000, &n));
    std::this_thread::sleep_for(milliseconds(10)); // ...and now pauses after the reply
    auto start = steady_clock::now();
    notices.Close();
    waiter.join();
    EXPECT_LT(steady_clock::now() - start, milliseconds(500));
    EXPECT_FALSE(result);
}

TEST_F(HidDeviceSim, PauseEndsOnceTheCommandReaderHasReadEnough)
{
    // A notice reader pausing for 5 s is woken when the command collection's reader of the same
    // node has read 8 reports, so a notice that follows is not held back by the long pause (and
    // the pausing handle's queue never fills).
    StartSim({"keyboard"});
    auto traffic = std::make_shared<NodeTraffic>();
    HidDevice vendor, notices;
    ASSERT_TRUE(vendor.Open(SimPath("keyboard", 1, 4), true, true, true, false));
    ASSERT_TRUE(notices.Open(SimPath("keyboard", 1, 3), true, true, true, false));
    vendor.CountTraffic(traffic);
    notices.SetForeignReportPause(5000, traffic, 8);

    std::atomic<bool> got{false};
    std::thread reader([&] {
        uint8_t buf[8] = {};
        size_t n = 0;
        got = notices.Read(sizeof(buf), buf, 10000, &n);
    });
    std::vector<uint8_t> out(64, 0), in(64, 0);
    out[0] = 4;
    out[1] = 3;
    auto exchange = [&] {
        size_t n = 0;
        ASSERT_TRUE(vendor.Write(out.size(), out.data(), 1000, &n));
        ASSERT_TRUE(vendor.Read(in.size(), in.data(), 1000, &n));
    };
    exchange();
    std::this_thread::sleep_for(milliseconds(100)); // the reader has thrown the reply away and pauses
    const auto start = steady_clock::now();
    for (int i = 0; i < 4; ++i)
        exchange();
    // The notice waits in the paused handle's queue behind four replies; four more replies end the
    // pause.
    ASSERT_TRUE(Sim().SendNotice("keyboard", 1025));
    for (int i = 0; i < 4; ++i)
        exchange();
    reader.join();
    EXPECT_TRUE(got);
    EXPECT_LT(steady_clock::now() - start, milliseconds(2000));
}

TEST_F(HidDeviceSim, OpenOnOpenObjectReleasesThePreviousInterfaceAndKeepsThePathList)
{
    StartSim({"keyboard"});
    HidDevice dev;
    ASSERT_TRUE(dev.Enumerate());
    auto first = dev.NextPath();
    ASSERT_TRUE(dev.Open(SimPath("keyboard", 1, 4), true, true, true, false));
    ASSERT_TRUE(dev.Open(SimPath("keyboard", 1, 3), true, true, true, false));
    EXPECT_EQ(dev.Caps().usagePage, 0x000C);
    EXPECT_EQ(dev.CollectionNumber(), 3);
    // The list goes on where it stopped.
    auto second = dev.NextPath();
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);

    // A failed open leaves the object closed.
    EXPECT_FALSE(dev.Open(SimDir() + "nothing.sock?vid_320f&pid_5041&mi_01&col04", true, true, true, false));
    EXPECT_FALSE(dev.IsOpen());
    EXPECT_EQ(dev.Caps().usagePage, 0);
    EXPECT_TRUE(dev.NextPath().has_value());
}

TEST_F(HidDeviceSim, UnplugFailsTransfersAndPresence)
{
    StartSim({"keyboard"});
    std::string path = SimPath("keyboard", 1, 4);
    HidDevice dev;
    ASSERT_TRUE(dev.Open(path, true, true, true, false));
    EXPECT_TRUE(HidDevice::IsPresent(path));
    std::atomic<bool> result{true};
    std::thread reader([&] {
        uint8_t buf[64];
        result = dev.Read(sizeof(buf), buf, 5000);
    });
    std::this_thread::sleep_for(milliseconds(50));
    auto start = steady_clock::now();
    ASSERT_TRUE(Sim().Unplug("keyboard"));
    reader.join();
    EXPECT_FALSE(result);
    EXPECT_LT(steady_clock::now() - start, milliseconds(1000));
    EXPECT_FALSE(HidDevice::IsPresent(path));
    EXPECT_FALSE(dev.Open(path, true, true, true, false));
    ASSERT_TRUE(Sim().Plug("keyboard"));
    EXPECT_TRUE(HidDevice::IsPresent(path));
    EXPECT_TRUE(dev.Open(path, true, true, true, false));
}

TEST_F(HidDeviceSim, AccessFollowsTheOpenFlags)
{
    StartSim({"keyboard"});
    std::vector<uint8_t> report(64, 0);
    report[0] = 4;
    uint8_t buf[64];
    HidDevice readOnly, writeOnly;
    ASSERT_TRUE(readOnly.Open(SimPath("keyboard", 1, 4), true, false, true, false));
    EXPECT_FALSE(readOnly.Write(report.size(), report.data(), 100));
    ASSERT_TRUE(writeOnly.Open(SimPath("keyboard", 1, 4), false, true, true, false));
    EXPECT_FALSE(writeOnly.Read(sizeof(buf), buf, 100));
    // The reply to the write-only handle's request reaches every reader of the interface.
    ASSERT_TRUE(writeOnly.Write(report.size(), report.data(), 1000));
    EXPECT_TRUE(readOnly.Read(sizeof(buf), buf, 1000));
    // Without access the interface is described but moves no reports.
    HidDevice look;
    ASSERT_TRUE(look.Open(SimPath("keyboard", 1, 4), false, false, false, false));
    EXPECT_EQ(look.Caps().usagePage, 0xFF1C);
    EXPECT_EQ(look.Attributes().productId, 0x5041);
    EXPECT_FALSE(look.Write(report.size(), report.data(), 100));
    EXPECT_FALSE(look.Read(sizeof(buf), buf, 10));
}

TEST_F(HidDeviceSim, ReadAndWriteRunOnTwoThreadsAtOnce)
{
    StartSim({"keyboard"});
    HidDevice dev;
    ASSERT_TRUE(dev.Open(SimPath("keyboard", 1, 4), true, true, true, false));
    constexpr int kCount = 50;
    std::atomic<int> received{0};
    std::thread reader([&] {
        uint8_t buf[64];
        while (dev.Read(sizeof(buf), buf, nq::kHidInfinite))
            ++received;
    });
    std::vector<uint8_t> report(64, 0);
    report[0] = 4;
    for (int i = 0; i < kCount; ++i)
        ASSERT_TRUE(dev.Write(report.size(), report.data(), 1000));
    for (int i = 0; i < 200 && received < kCount; ++i)
        std::this_thread::sleep_for(milliseconds(10));
    EXPECT_EQ(received, kCount);
    dev.Close();
    reader.join();
}

TEST(HidDevicePath, TagsInAnyCaseAndAbsentTags)
{
    struct Case { const char* path; uint16_t vid, pid, mi, col; };
    const Case cases[] = {
        {"/dev/hidraw3?vid_320f&pid_5041&mi_01&col04", 0x320F, 0x5041, 1, 4},
        {"\\\\?\\HID#VID_320F&PID_5041&MI_01&COL04#7&1a2b", 0x320F, 0x5041, 1, 4},
        {"/dev/hidraw0?vid_046d&pid_c52b", 0x046D, 0xC52B, 0, 0},
        {"/dev/hidraw1?Vid_ABCD&Pid_12345&Mi_0a&Col10", 0xABCD, 0x2345, 0x0A, 0x10},
        {"/dev/hidraw2", 0, 0, 0, 0},
        {"/dev/hidraw2?vid_&pid_zz", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(HidDevice::ParseVendorId(c.path), c.vid);
        EXPECT_EQ(HidDevice::ParseProductId(c.path), c.pid);
        EXPECT_EQ(HidDevice::ParseInterfaceNumber(c.path), c.mi);
        EXPECT_EQ(HidDevice::ParseCollectionNumber(c.path), c.col);
    }
}

TEST_F(HidDeviceSim, DecodeLeavesItemsOfOtherReportsAlone)
{
    StartSim({"keyboard"});
    HidDevice dev;
    ASSERT_TRUE(dev.Open(SimPath("keyboard", 1, 3), true, true, true, false));
    auto& items = dev.DataItems(HidReportType::Input);
    ASSERT_EQ(items.size(), 1u);
    auto before = items.front().button.usages;
    const uint8_t vendorReport[] = {4, 0x01, 0x04};
    EXPECT_TRUE(dev.DecodeReport(HidReportType::Input, vendorReport, sizeof(vendorReport), items));
    EXPECT_FALSE(items.front().isDataSet);
    EXPECT_EQ(items.front().button.usages, before);

    // A value that lies beyond the report's end fails the decode.
    ASSERT_TRUE(dev.Open(SimPath("keyboard", 1, 4), true, true, true, false));
    auto& values = dev.DataItems(HidReportType::Input);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_FALSE(values.front().isButtonData);
    const uint8_t truncated[] = {4};
    EXPECT_FALSE(dev.DecodeReport(HidReportType::Input, truncated, sizeof(truncated), values));
    const uint8_t full[64] = {4, 0x2A};
    EXPECT_TRUE(dev.DecodeReport(HidReportType::Input, full, sizeof(full), values));
    EXPECT_EQ(values.front().value.rawValue, 0x2Au);
}

TEST_F(HidDeviceSim, InterfaceWithMalformedDescriptorIsNeitherListedNorOpened)
{
    StartSim({"mouse"});
    // A hand-made interface beside the simulator's, with a descriptor whose collection never ends.
    std::string base = SimDir() + "broken-if1";
    int fd = nq::HidSeqPacket::Listen(base + ".sock");
    ASSERT_GE(fd, 0);
    std::ofstream(base + ".id") << "vendor=320f\nproduct=5041\nversion=0100\ninterface=1\n";
    std::ofstream(base + ".desc", std::ios::binary) << std::string("\x05\x01\x09\x02\xa1\x01\x75\x08", 8);
    HidDevice dev;
    for (const auto& p : AllPaths(dev))
        EXPECT_EQ(p.find("broken"), std::string::npos) << p;
    EXPECT_FALSE(dev.Open(base + ".sock?vid_320f&pid_5041&mi_01", true, true, true, false));
    EXPECT_FALSE(dev.IsOpen());
    ::close(fd);
}

} // namespace
