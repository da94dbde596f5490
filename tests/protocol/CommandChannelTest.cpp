// The command channel against the simulated firmware, over real sockets.
#include "common/DebugLog.h"
#include "hid/CommandChannel.h"
#include "support/SimFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

namespace nq {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pattern(size_t n, uint8_t seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

class LogCapture {
public:
    LogCapture()
    {
        SetDebugLogCallback([this](const std::string& line) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_lines.push_back(line);
        });
    }
    ~LogCapture() { SetDebugLogCallback({}); }
    std::vector<std::string> Lines()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_lines;
    }
    size_t Count(const std::string& text)
    {
        size_t n = 0;
        for (const std::string& line : Lines())
            n += line == text;
        return n;
    }

private:
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};

class ChannelTest : public nqtest::SimFixture {
protected:
    void Connect(const std::string& device, const std::string& link = "")
    {
        StartSim({device});
        m_device = device;
        m_path = device == "headset" ? SimPath(device, 3, 0, link) : SimPath(device, 1, 4, link);
        ASSERT_FALSE(m_path.empty());
        ASSERT_TRUE(channel.Open(m_path));
        ASSERT_TRUE(channel.IsOpen());
        Env().ClearWireLines();
    }

    // Reports on the vendor collection, '>' host to device or '<' device to host.
    std::vector<Bytes> Reports(char direction)
    {
        std::vector<Bytes> out;
        const std::string prefix = std::string(1, direction) + " " + m_path + " ";
        for (const std::string& line : Env().WireLines()) {
            if (line.compare(0, prefix.size(), prefix) != 0)
                continue;
            std::istringstream hex(line.substr(prefix.size()));
            Bytes bytes;
            unsigned value;
            while (hex >> std::hex >> value)
                bytes.push_back(static_cast<uint8_t>(value));
            out.push_back(bytes);
        }
        return out;
    }
    std::vector<Bytes> Sent() { return Reports('>'); }
    // Requests sent without waiting reach the simulator's log a moment later.
    std::vector<Bytes> SentAtLeast(size_t n)
    {
        for (int i = 0; i < 400 && Sent().size() < n; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return Sent();
    }

    std::string Fw(const std::vector<std::string>& args) { return Sim().FirmwareControl(m_device, args); }

    static uint16_t Offset(const Bytes& r) { return static_cast<uint16_t>(r[5] | r[6] << 8); }
    static bool ChecksumHolds(const Bytes& r)
    {
        return r.size() == 64 && CommandChannel::Checksum(r.data()) == (r[1] | r[2] << 8);
    }

    CommandChannel channel;
    std::string m_device;
    std::string m_path;
};

TEST_F(ChannelTest, RequestsWithoutDataCarryTheCommandAsChecksum)
{
    Connect("rxmouse", "receiver");
    struct Case {
        const char* name;
        std::function<int()> run;
        uint8_t command;
    };
    const Case cases[] = {
        {"BatchBegin", [&] { return channel.BatchBegin(); }, 1},
        {"BatchEnd", [&] { return channel.BatchEnd(); }, 2},
        {"EnterHostLighting", [&] { return channel.EnterHostLighting(); }, 28},
        {"QueryLink", [&] { return channel.QueryLink() ? 1 : 0; }, 170},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Env().ClearWireLines();
        EXPECT_EQ(c.run(), 1);
        const auto sent = Sent();
        ASSERT_EQ(sent.size(), 1u);
        const Bytes& r = sent[0];
        ASSERT_EQ(r.size(), 64u);
        EXPECT_EQ(r[0], 4);
        EXPECT_EQ(r[1], c.command);
        EXPECT_EQ(r[2], 0);
        EXPECT_EQ(r[3], c.command);
        for (size_t i = 4; i < 64; ++i)
            EXPECT_EQ(r[i], 0) << "byte " << i;
    }
}

TEST_F(ChannelTest, ReadDeviceInfoIsOneReportOf34Bytes)
{
    Connect("keyboard");
    DeviceInfo info;
    ASSERT_EQ(channel.ReadDeviceInfo(info), 1);
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][3], 3);
    EXPECT_EQ(sent[0][4], 34);
    EXPECT_EQ(Offset(sent[0]), 0);
    EXPECT_EQ(info.KeyEntryCount(), 126);
    EXPECT_EQ(info.MacroCapacityBytes(), 32u * 128);

    Connect("mouse");
    ASSERT_EQ(channel.ReadDeviceInfo(info), 1);
    EXPECT_EQ(info.KeyEntryCount(), 10);
    EXPECT_EQ(info.DpiStep(), 50);
    EXPECT_EQ(info.MaxDpiSliderPosition(), 520);
    EXPECT_EQ(info.MinDpi(), 100);
}

TEST_F(ChannelTest, KeyColoursGoToTheirSlotInChunksOf56)
{
    Connect("keyboard");
    const Bytes colours = Pattern(512, 3);
    ASSERT_EQ(channel.WriteKeyColours(colours.data(), colours.size(), 1, 512), 1);

    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 10u);
    for (size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sent[i][3], 11);
        EXPECT_EQ(sent[i][4], i < 9 ? 56 : 8);
        EXPECT_EQ(Offset(sent[i]), 512 + 56 * i);
        EXPECT_EQ(sent[i][7], 0);
        EXPECT_TRUE(ChecksumHolds(sent[i]));
        const size_t n = sent[i][4];
        EXPECT_EQ(Bytes(sent[i].begin() + 8, sent[i].begin() + 8 + n),
                  Bytes(colours.begin() + 56 * i, colours.begin() + 56 * i + n));
    }
    EXPECT_EQ(sent[9][5], 0xF8);
    EXPECT_EQ(sent[9][6], 0x03);
    // The last report's unused tail still holds the ninth chunk's bytes, and the checksum covers them.
    EXPECT_EQ(Bytes(sent[9].begin() + 16, sent[9].end()), Bytes(sent[8].begin() + 16, sent[8].end()));

    std::string dump = Sim().Dump("keyboard");
    EXPECT_NE(dump.find("colours (4096 bytes)"), std::string::npos);
}

TEST_F(ChannelTest, ChunkedReadsAndWritesRoundTrip)
{
    Connect("keyboard");
    ASSERT_TRUE(channel.SetTransferLength(126 * 3));
    Bytes keymap(378);
    ASSERT_EQ(channel.ReadKeymap(keymap.data()), 1);
    EXPECT_EQ(Sent().size(), 7u); // 6 x 56 + 42
    EXPECT_EQ((Bytes{keymap[0], keymap[1], keymap[2]}), (Bytes{0x20, 0x00, 0x29})); // Esc in slot 0
    Bytes index(126);
    ASSERT_EQ(channel.ReadKeyIndex(index.data()), 1);
    EXPECT_EQ(index[125], 125);

    keymap[3 * 5 + 2] = 0x04;
    ASSERT_EQ(channel.WriteKeymap(keymap.data(), 0), 1);
    Bytes back(378);
    ASSERT_EQ(channel.ReadKeymap(back.data()), 1);
    EXPECT_EQ(back, keymap);

    const Bytes record = Pattern(46, 40);
    ASSERT_EQ(channel.WriteConfig(record.data(), record.size(), 44), 1);
    Bytes read(46);
    ASSERT_EQ(channel.ReadConfig(read.data(), read.size(), 44), 1);
    EXPECT_EQ(read, record);

    // A macro image of 300 bytes without macros: magic, length, count 0.
    Bytes macros = Pattern(300, 9);
    std::copy_n(Bytes{0xAA, 0x55, 300 & 0xFF, 300 >> 8, 0, 0}.begin(), 6, macros.begin());
    Env().ClearWireLines();
    ASSERT_EQ(channel.WriteMacros(macros.data(), macros.size()), 1);
    EXPECT_EQ(Sent().size(), 6u);
    EXPECT_EQ(channel.WriteMacros(macros.data(), 0), 1);
    EXPECT_EQ(Sent().size(), 6u) << "nothing to write, nothing sent";
}

TEST_F(ChannelTest, ArgumentsTheChannelRefusesBeforeSending)
{
    Connect("keyboard");
    Bytes data(512, 1);
    EXPECT_EQ(channel.WriteKeymap(data.data(), 1), kInvalidArgument);
    EXPECT_EQ(channel.WriteKeymap(data.data(), -1), kInvalidArgument);
    ASSERT_TRUE(channel.SetTransferLength(378));
    EXPECT_FALSE(channel.SetTransferLength(513));
    EXPECT_EQ(channel.TransferLength(), 378);
    EXPECT_TRUE(channel.SetTransferLength(512));
    // One status report holds 56 bytes at most.
    EXPECT_EQ(channel.ReadStatus(data.data(), 57, 0), kInvalidArgument);
    // Offsets are 16 bit: a transfer that would wrap to offset 0 is not started.
    EXPECT_EQ(channel.WriteConfig(data.data(), 100, 65500), kInvalidArgument);
    EXPECT_EQ(channel.WriteKeyColours(data.data(), 512, 128, 512), kInvalidArgument);
    EXPECT_EQ(channel.WriteKeyColours(data.data(), 512, -1, 512), kInvalidArgument);
    EXPECT_EQ(channel.ReadConfig(nullptr, 4, 0), kInvalidArgument);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ChannelTest, ARefusalStopsTheTransferAtThatChunk)
{
    Connect("mouse");
    const Bytes before(Pattern(200, 0));
    for (const char* status : {"fe", "ff"}) {
        SCOPED_TRACE(status);
        Env().ClearWireLines();
        ASSERT_EQ(Fw({"refuse", status, "3"}), "ok");
        const Bytes record = Pattern(200, 17);
        EXPECT_EQ(channel.WriteConfig(record.data(), record.size(), 128),
                  std::string(status) == "fe" ? kRefusedFE : kRefusedFF);
        EXPECT_EQ(Sent().size(), 3u);
    }
    // A device's own refusal: the mouse has no bank 1 key map... nor room past its 3 KiB of macros
    // (the image announces 3072 bytes; the chunk past them is refused).
    Bytes big(24 * 128 + 56, 1);
    std::copy_n(Bytes{0xAA, 0x55, 0x00, 0x0C, 0, 0}.begin(), 6, big.begin());
    Env().ClearWireLines();
    EXPECT_EQ(channel.WriteMacros(big.data(), big.size()), kRefusedFF);
    EXPECT_EQ(Sent().size(), 55u);
    Bytes status(6);
    EXPECT_EQ(channel.ReadStatus(status.data(), 6, 0), 1);
    EXPECT_EQ(status, (Bytes{100, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Sent().back()[4], 6);
}

TEST_F(ChannelTest, ABusyChannelDropsLightingChunks)
{
    Connect("mouse");
    LogCapture log;
    const Bytes frame = Pattern(18, 1);
    channel.SetBusy(true);
    EXPECT_EQ(channel.StreamLighting(frame.data(), frame.size()), 1);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(log.Count("放弃灯光数据"), 1u);
    channel.SetBusy(false);

    const Bytes big = Pattern(120, 5); // three chunks
    EXPECT_EQ(channel.StreamLighting(big.data(), big.size()), 1);
    EXPECT_EQ(Sent().size(), 3u);
    EXPECT_EQ(log.Count("命令"), 0u) << "the stream is not logged";
}

TEST_F(ChannelTest, DeferredStreamReadsEachReplyWithTheNextFrame)
{
    Connect("mouse");
    const Bytes frame = Pattern(21, 3);
    const Bytes big = Pattern(120, 5); // three chunks
    // Frame 2 is refused; the stream learns it when frame 3 goes out.
    ASSERT_EQ(Fw({"refuse", "ff", "2"}), "ok");
    EXPECT_EQ(channel.StreamLightingDeferred(frame.data(), frame.size()), kOk);
    EXPECT_EQ(channel.StreamLightingDeferred(frame.data(), frame.size()), kOk);
    EXPECT_EQ(channel.StreamLightingDeferred(frame.data(), frame.size()), kRefusedFF);
    EXPECT_EQ(channel.StreamLightingDeferred(big.data(), big.size()), kOk);
    ASSERT_EQ(SentAtLeast(6).size(), 6u);
    for (const Bytes& r : Sent()) {
        EXPECT_EQ(r[3], CMD_STREAM_LIGHTING);
        EXPECT_TRUE(ChecksumHolds(r));
    }
    EXPECT_EQ(Offset(Sent()[5]), 112);

    // A transaction between two frames meets the stream's reply first and sets it aside; both
    // get their own.
    uint8_t config[8] = {};
    EXPECT_EQ(channel.ReadConfig(config, sizeof config, 0), kOk);
    EXPECT_EQ(channel.StreamLightingDeferred(frame.data(), frame.size()), kOk);

    // A reply later than the time limit counts as none. (The transaction first makes sure the
    // simulator has taken the frame sent without waiting, so the fault lands on the next one.)
    EXPECT_EQ(channel.ReadConfig(config, sizeof config, 0), kOk);
    ASSERT_EQ(Fw({"delay", "3000", "1"}), "ok");
    EXPECT_EQ(channel.StreamLightingDeferred(frame.data(), frame.size()), kOk);
    EXPECT_EQ(channel.StreamLightingDeferred(frame.data(), frame.size()), kNotOpen);
    channel.SetBusy(true);
    EXPECT_EQ(channel.StreamLightingDeferred(frame.data(), frame.size()), kOk);
    channel.SetBusy(false);
    channel.Close();
    EXPECT_EQ(channel.StreamLightingDeferred(frame.data(), frame.size()), kNotOpen);
}

TEST_F(ChannelTest, StreamFromAThreadThatMayNotWaitSendsOnlyWhenTheReplyBeforeIsIn)
{
    Connect("mouse");
    const Bytes frame = Pattern(21, 3);
    bool wouldWait = true;
    EXPECT_EQ(channel.TryStreamLightingNow(frame.data(), frame.size(), wouldWait), kOk);
    EXPECT_FALSE(wouldWait);
    ASSERT_TRUE(Env().WaitForWireLine("< " + m_path + " 04"));
    // The reply is in: the next frame goes out at once and reports how the first one fared.
    ASSERT_EQ(Fw({"delay", "3000", "1"}), "ok");
    EXPECT_EQ(channel.TryStreamLightingNow(frame.data(), frame.size(), wouldWait), kOk);
    EXPECT_FALSE(wouldWait);
    // Its reply comes 3 s late: nothing is sent, the caller hands the frame on.
    EXPECT_EQ(channel.TryStreamLightingNow(frame.data(), frame.size(), wouldWait), kOk);
    EXPECT_TRUE(wouldWait);
    EXPECT_EQ(SentAtLeast(3).size(), 2u);
    // A thread that may wait gives the late reply its time limit, then sends.
    EXPECT_EQ(channel.StreamLightingDeferred(frame.data(), frame.size()), kNotOpen);
    // A frame of more than one chunk always goes to such a thread.
    const Bytes big = Pattern(120, 5);
    EXPECT_EQ(channel.TryStreamLightingNow(big.data(), big.size(), wouldWait), kOk);
    EXPECT_TRUE(wouldWait);
    channel.SetBusy(true);
    EXPECT_EQ(channel.TryStreamLightingNow(frame.data(), frame.size(), wouldWait), kOk);
    EXPECT_FALSE(wouldWait) << "a busy channel drops the frame";
    channel.SetBusy(false);
}

TEST_F(ChannelTest, WirelessLinkLengthensTheTimeLimitsAndStopsTheStream)
{
    Connect("rxmouse", "receiver");
    EXPECT_EQ(channel.TimeoutMs(), 1000u);
    Bytes byte(1);
    // A reply 1.5 s late is too late on a wired link ...
    ASSERT_EQ(Fw({"delay", "1500"}), "ok");
    EXPECT_EQ(channel.ReadConfig(byte.data(), 1, 0), kNotOpen);

    // ... and in time on a wireless one.
    Connect("rxmouse", "receiver");
    channel.SetWirelessLink(true);
    EXPECT_EQ(channel.TimeoutMs(), 5000u);
    ASSERT_EQ(Fw({"delay", "1500"}), "ok");
    byte[0] = 9;
    EXPECT_EQ(channel.ReadConfig(byte.data(), 1, 0), 1);
    EXPECT_EQ(byte[0], 0);

    const Bytes frame = Pattern(18, 1);
    Env().ClearWireLines();
    EXPECT_EQ(channel.StreamLighting(frame.data(), frame.size()), 1);
    EXPECT_TRUE(Sent().empty());

    EXPECT_TRUE(channel.QueryLink());
    ASSERT_EQ(Fw({"link", "off"}), "ok");
    EXPECT_FALSE(channel.QueryLink());
}

TEST_F(ChannelTest, AMismatchedReplyLeadsToOneMoreRead)
{
    Connect("mouse");
    Bytes record(4);
    ASSERT_EQ(Fw({"mismatch"}), "ok");
    ASSERT_EQ(channel.ReadConfig(record.data(), 4, 1), 1);
    EXPECT_EQ(record, (Bytes{0, 4, 2, 0})) << "data of the second reply";
    EXPECT_EQ(Sent().size(), 1u) << "the request is not sent again";
    EXPECT_EQ(Reports('<').size(), 2u);

    // Two stale reports: the second is taken as it is; the right one is left over and the next
    // transaction reads past it.
    Env().ClearWireLines();
    ASSERT_EQ(Fw({"mismatch", "1", "2"}), "ok");
    ASSERT_EQ(channel.ReadConfig(record.data(), 4, 1), 1);
    EXPECT_EQ(record, Bytes(4, 0xEE));
    ASSERT_EQ(channel.ReadConfig(record.data(), 4, 1), 1);
    EXPECT_EQ(record, (Bytes{0, 4, 2, 0}));
}

TEST_F(ChannelTest, TransactLogsBothReportsInTheDumpFormat)
{
    Connect("keyboard");
    LogCapture log;
    ASSERT_EQ(channel.BatchBegin(), 1);
    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "命令");
    EXPECT_EQ(lines[1], "04 01 00 01   00 00 00 00   00 00 00 00   00 00 00 00  00 00 00 00  00 00 00 00  "
                        "00 00 00 00  00 00 00 00");
    EXPECT_EQ(lines[3], "返回");
    EXPECT_EQ(lines[4].substr(0, 13), "04 01 00 01  ");
}

TEST_F(ChannelTest, AClosedChannelSendsNothingAndReturnsZero)
{
    Connect("rxmouse", "receiver");
    channel.Close();
    EXPECT_FALSE(channel.IsOpen());
    Bytes buffer(512, 1);
    DeviceInfo info;
    const std::vector<std::pair<const char*, std::function<int()>>> operations = {
        {"BatchBegin", [&] { return channel.BatchBegin(); }},
        {"BatchEnd", [&] { return channel.BatchEnd(); }},
        {"EnterHostLighting", [&] { return channel.EnterHostLighting(); }},
        {"ReadDeviceInfo", [&] { return channel.ReadDeviceInfo(info); }},
        {"ReadConfig", [&] { return channel.ReadConfig(buffer.data(), 71, 0); }},
        {"WriteConfig", [&] { return channel.WriteConfig(buffer.data(), 66, 0); }},
        {"ReadKeymap", [&] { return channel.ReadKeymap(buffer.data()); }},
        {"ReadKeyIndex", [&] { return channel.ReadKeyIndex(buffer.data()); }},
        {"WriteKeymap", [&] { return channel.WriteKeymap(buffer.data(), 0); }},
        {"WriteMacros", [&] { return channel.WriteMacros(buffer.data(), 100); }},
        {"WriteRecoil", [&] { return channel.WriteRecoil(buffer.data(), 100); }},
        {"WriteKeyColours", [&] { return channel.WriteKeyColours(buffer.data(), 512, 0, 512); }},
        {"StreamLighting", [&] { return channel.StreamLighting(buffer.data(), 18); }},
        {"ReadStatus", [&] { return channel.ReadStatus(buffer.data(), 6, 0); }},
    };
    for (const auto& [name, run] : operations) {
        SCOPED_TRACE(name);
        EXPECT_EQ(run(), 0);
    }
    EXPECT_FALSE(channel.QueryLink());
    EXPECT_TRUE(Sent().empty());
    EXPECT_FALSE(channel.Busy());
}

TEST_F(ChannelTest, UnplugInTheMiddleOfATransfer)
{
    Connect("mouse");
    ASSERT_EQ(Fw({"unplug", "2"}), "ok");
    const Bytes record = Pattern(150, 77);
    EXPECT_NE(channel.WriteConfig(record.data(), record.size(), 128), 1);
    EXPECT_EQ(Sent().size(), 2u);
    EXPECT_NE(channel.BatchEnd(), 1);

    // Plugged in again, the device kept the first chunk only.
    ASSERT_TRUE(Sim().Plug("mouse"));
    ASSERT_TRUE(channel.Open(SimPath("mouse", 1, 4)));
    Bytes back(150);
    ASSERT_EQ(channel.ReadConfig(back.data(), back.size(), 128), 1);
    EXPECT_EQ(Bytes(back.begin(), back.begin() + 56), Bytes(record.begin(), record.begin() + 56));
    EXPECT_NE(Bytes(back.begin() + 56, back.begin() + 112), Bytes(record.begin() + 56, record.begin() + 112));
}

TEST_F(ChannelTest, HeadsetTakesVendorReportsAndLedReportsOnOneInterface)
{
    Connect("headset");
    Bytes record(9);
    ASSERT_EQ(channel.ReadConfig(record.data(), record.size(), 0), 1);
    EXPECT_EQ(record, (Bytes{0, 0, 4, 2, 0, 1, 0, 160, 255}));

    Bytes led(17, 0);
    led[0] = 0xFF;
    led[1] = 0x22;
    led[2] = 0xAA; // red, LEDs 0 to 6
    led[4] = 247;
    led[10] = 5;
    ASSERT_TRUE(channel.Hid().SetOutputReport(led.data(), led.size()));
    ASSERT_TRUE(Env().WaitForWireLine("ff 22 aa 00 f7"));
    const std::string leds = Fw({"leds"});
    EXPECT_EQ(leds.substr(0, 18), "22: f70000 000000 ") << leds;
    EXPECT_NE(leds.find(" 050000 000000"), std::string::npos) << leds; // LED 6, then LED 7
    EXPECT_EQ(Reports('<').size(), 1u) << "LED reports get no reply";
}

// A lighting stream on one thread and configuration traffic on another share the channel: every
// configuration transaction gets its own reply (its data is right), the stream loses none of its
// replies, and while configuration runs the stream's chunks are dropped, not queued.
TEST_F(ChannelTest, LightingStreamAndConfigurationOnTwoThreads)
{
    Connect("mouse");
    LogCapture log;
    std::atomic<bool> stop{false};
    std::atomic<int> frames{0}, frameFailures{0};
    std::thread lighting([&] {
        Bytes frame(18);
        while (!stop.load()) {
            frame[0] = static_cast<uint8_t>(frames.load());
            if (channel.StreamLighting(frame.data(), frame.size()) == 1)
                ++frames;
            else
                ++frameFailures;
        }
    });

    int configFailures = 0, wrongData = 0;
    for (int i = 0; i < 150; ++i) {
        const Bytes record = Pattern(66, static_cast<uint8_t>(i));
        configFailures += channel.BatchBegin() != 1;
        configFailures += channel.WriteConfig(record.data(), record.size(), 128 * (1 + i % 3)) != 1;
        Bytes back(66);
        configFailures += channel.ReadConfig(back.data(), back.size(), 128 * (1 + i % 3)) != 1;
        wrongData += back != record;
        configFailures += channel.BatchEnd() != 1;
    }
    stop = true;
    lighting.join();

    EXPECT_EQ(configFailures, 0);
    EXPECT_EQ(wrongData, 0);
    EXPECT_EQ(frameFailures.load(), 0);
    EXPECT_GT(frames.load(), 0);
    EXPECT_GT(log.Count("放弃灯光数据"), 0u) << "configuration went first";
    // Every reply on the wire answered some request: as many replies as requests.
    EXPECT_EQ(Reports('<').size(), Sent().size());
}

} // namespace
} // namespace nq
