// The simulated firmware on its own, report by report, without the transport.
#include "devsim/firmware/ChargingPadFirmware.h"
#include "devsim/firmware/HeadsetFirmware.h"
#include "devsim/firmware/KeyboardFirmware.h"
#include "devsim/firmware/MouseFirmware.h"
#include "devsim/firmware/MousePadFirmware.h"
#include "devsim/firmware/ReceiverMouseFirmware.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace nqsim {
namespace {

using Bytes = std::vector<uint8_t>;

// A request as a host builds it: header, data, then the 16-bit sum of bytes 3..63.
Bytes Request(uint8_t command, uint8_t length = 0, uint16_t offset = 0, const Bytes& data = {})
{
    Bytes r(64, 0);
    r[0] = 4;
    r[3] = command;
    r[4] = length;
    r[5] = offset & 0xFF;
    r[6] = offset >> 8;
    for (size_t i = 0; i < data.size() && i < 56; ++i)
        r[8 + i] = data[i];
    unsigned sum = 0;
    for (size_t i = 3; i < 64; ++i)
        sum += r[i];
    r[1] = sum & 0xFF;
    r[2] = (sum >> 8) & 0xFF;
    return r;
}

struct Answer {
    SimAction action = SimAction::None;
    std::vector<SimReply> replies;
    const Bytes& Last() const { return replies.back().report; }
    uint8_t Status() const { return Last()[7]; }
};

Answer Send(SimInterfaceHandler& fw, const Bytes& report)
{
    Answer a;
    a.action = fw.OnOutputReport(report, a.replies);
    return a;
}

Bytes Read(SimInterfaceHandler& fw, uint8_t command, uint16_t offset, uint8_t length)
{
    Answer a = Send(fw, Request(command, length, offset));
    EXPECT_EQ(a.replies.size(), 1u);
    EXPECT_EQ(a.Status(), 0);
    return Bytes(a.Last().begin() + 8, a.Last().begin() + 8 + length);
}

class RecordingEvents : public SimDeviceEvents {
public:
    void SendNotice(uint16_t usage) override { notices.push_back(usage); }
    void RequestUnplug() override { ++unplugs; }
    std::vector<uint16_t> notices;
    int unplugs = 0;
};

TEST(Firmware, InformationBlockPerKind)
{
    struct Case {
        const char* name;
        std::unique_ptr<VendorFirmware> fw;
        uint8_t kind, entries, macroUnits, dpiStep;
        uint16_t maxSlider, minDpi;
    };
    Case cases[] = {
        {"keyboard", std::make_unique<KeyboardFirmware>(), 1, 126, 32, 0, 0, 0},
        {"mouse", std::make_unique<MouseFirmware>(), 2, 10, 24, 50, 520, 100},
        {"rxmouse", std::make_unique<ReceiverMouseFirmware>(), 6, 10, 24, 50, 520, 100},
        {"mousepad", std::make_unique<MousePadFirmware>(), 3, 0, 0, 0, 0, 0},
        {"chargepad", std::make_unique<ChargingPadFirmware>(), 3, 0, 0, 0, 0, 0},
        {"headset", std::make_unique<HeadsetFirmware>(), 7, 0, 0, 0, 0, 0},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Read in two chunks, as a host with 56-byte chunks would not: the offset must be honoured.
        Bytes info = Read(*c.fw, 3, 0, 20);
        Bytes tail = Read(*c.fw, 3, 20, 14);
        info.insert(info.end(), tail.begin(), tail.end());
        EXPECT_EQ(info[0], c.kind);
        EXPECT_EQ(info[5], c.entries);
        EXPECT_EQ(info[6], c.macroUnits);
        EXPECT_EQ(info[11], c.dpiStep);
        EXPECT_EQ(info[12] | info[13] << 8, c.maxSlider);
        EXPECT_EQ(info[14] | info[15] << 8, c.minDpi);
        EXPECT_EQ(Send(*c.fw, Request(3, 35, 0)).Status(), 0xFF) << "past the 34-byte block";
    }
}

TEST(Firmware, ReplyEchoesTheRequestAndCarriesItsOwnChecksum)
{
    MouseFirmware fw;
    Answer a = Send(fw, Request(5, 3, 0x0102));
    ASSERT_EQ(a.replies.size(), 1u);
    const Bytes& r = a.Last();
    ASSERT_EQ(r.size(), 64u);
    EXPECT_EQ(r[0], 4);
    EXPECT_EQ(r[3], 5);
    EXPECT_EQ(r[4], 3);
    EXPECT_EQ(r[5], 0x02);
    EXPECT_EQ(r[6], 0x01);
    EXPECT_EQ(r[7], 0);
    EXPECT_EQ(r[1] | r[2] << 8, VendorFirmware::Checksum(r.data()));
    EXPECT_EQ(a.replies[0].delayMs, 0);
}

TEST(Firmware, RefusesBadChecksumsAndAccessOutsideItsMemory)
{
    MouseFirmware fw;
    const Bytes before = fw.Area("config");

    Bytes bad = Request(6, 2, 128, {9, 9});
    bad[1] ^= 1;
    Answer a = Send(fw, bad);
    EXPECT_EQ(a.Status(), 0xFF);
    EXPECT_EQ(a.Last()[3], 6) << "the refusal still names the command";

    // Padding counts: a byte past the data length changes the sum.
    Bytes padded = Request(6, 2, 128, {9, 9});
    padded[40] = 1;
    EXPECT_EQ(Send(fw, padded).Status(), 0xFF);

    struct Case {
        const char* what;
        Bytes request;
    };
    const Case refused[] = {
        {"config write past the end", Request(6, 20, 500, Bytes(20, 1))},
        {"config read past the end", Request(5, 56, 480)},
        {"key map bank 1", Request(9, 30, 512, Bytes(30, 1))},
        {"key map read in bank 1", Request(7, 3, 512)},
        {"more than 56 data bytes", Request(6, 57, 0)},
        {"key colours on a mouse", Request(11, 3, 0, {1, 2, 3})},
        {"link query on a wired mouse", Request(170)},
        {"unknown command", Request(99)},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Send(fw, c.request).Status(), 0xFF);
    }
    EXPECT_EQ(fw.Area("config"), before);
    EXPECT_EQ(fw.ReportCount(), 10u);
}

TEST(Firmware, StoresWritesWhereTheOffsetSays)
{
    KeyboardFirmware fw;
    EXPECT_EQ(Send(fw, Request(6, 3, 44, {7, 8, 9})).Status(), 0);
    EXPECT_EQ(Read(fw, 5, 43, 5), (Bytes{fw.Area("config")[43], 7, 8, 9, fw.Area("config")[47]}));

    Bytes keys(56);
    for (size_t i = 0; i < keys.size(); ++i)
        keys[i] = static_cast<uint8_t>(i + 1);
    EXPECT_EQ(Send(fw, Request(9, 56, 336, keys)).Status(), 0);
    EXPECT_EQ(Read(fw, 7, 336, 56), keys);

    EXPECT_EQ(Send(fw, Request(11, 8, 1016, Bytes(8, 0x55))).Status(), 0);
    EXPECT_EQ(fw.Area("colours")[1016], 0x55);
    EXPECT_EQ(fw.Area("colours")[1023], 0x55);
    EXPECT_EQ(Send(fw, Request(11, 8, 4096)).Status(), 0xFF) << "eight colour slots of 512 bytes";

    EXPECT_FALSE(fw.HostLighting());
    EXPECT_EQ(Send(fw, Request(28)).Status(), 0);
    EXPECT_TRUE(fw.HostLighting());
}

TEST(Firmware, FactoryMemoryOfTheMouse)
{
    MouseFirmware fw;
    // Key map: the ten factory buttons, and a key-to-LED index without LEDs.
    const Bytes keymap = Read(fw, 7, 0, 30);
    EXPECT_EQ((Bytes{keymap[0], keymap[1], keymap[2]}), (Bytes{0x10, 0x01, 0x00}));
    EXPECT_EQ((Bytes{keymap[24], keymap[25], keymap[26]}), (Bytes{0x16, 0x90, 0x01}));
    EXPECT_EQ(Read(fw, 27, 0, 10), Bytes(10, 0xFF));
    // Settings record of slot 0 at offset 0, slot 2 at offset 256.
    const Bytes record = Read(fw, 5, 0, 56);
    EXPECT_EQ(record[0], 0);   // active slot
    EXPECT_EQ(record[1], 0);   // wave
    EXPECT_EQ(record[2], 4);   // brightness
    EXPECT_EQ(record[3], 2);   // speed 4 - 2
    EXPECT_EQ((Bytes{record[6], record[7], record[8]}), (Bytes{0, 160, 255}));
    EXPECT_EQ(record[11], 3);  // report rate option
    EXPECT_EQ(record[12], 2);  // active DPI stage
    EXPECT_EQ(record[14], 1);  // stage 0 enabled
    EXPECT_EQ(record[16] | record[17] << 8, 8); // 400 DPI in steps of 50
    EXPECT_EQ(Read(fw, 5, 256 + 1, 1), Bytes{2}); // slot 2 breathes
    EXPECT_EQ(Read(fw, 26, 0, 6), (Bytes{100, 0, 0, 0, 0, 0}));
}

Json::Value DefaultProfile(const std::string& name)
{
    std::ifstream file(std::string(NQ501_SOURCE_DIR) + "/DefaultData/" + name + ".Json");
    Json::Value root;
    Json::CharReaderBuilder builder;
    std::string errors;
    EXPECT_TRUE(Json::parseFromStream(builder, file, &root, &errors)) << name << ": " << errors;
    return root["Device"][0];
}

// The lighting fields of a settings record (bytes at+1 .. at+8) against a profile's lighting section.
void ExpectLighting(const Bytes& config, size_t at, const Json::Value& section)
{
    EXPECT_EQ(config[at + 1], section["SelectItem"].asInt());
    EXPECT_EQ(config[at + 2], section["Light"].asInt());
    EXPECT_EQ(config[at + 3], 4 - section["Speed"].asInt());
    EXPECT_EQ(config[at + 4], section["Fx"].asInt());
    EXPECT_EQ(config[at + 5], section["MultiColor"].asInt());
    EXPECT_EQ(config[at + 6], section["Red"].asInt());
    EXPECT_EQ(config[at + 7], section["Green"].asInt());
    EXPECT_EQ(config[at + 8], section["Blue"].asInt());
}

// A device fresh from the factory holds what the program's default profile holds.
TEST(Firmware, FactorySettingsMatchTheDefaultProfiles)
{
    {
        SCOPED_TRACE("mouse");
        const Json::Value profile = DefaultProfile("mouse");
        const Bytes config = MouseFirmware().Area("config");
        ExpectLighting(config, 0, profile["LightInfo"]);
        EXPECT_EQ(config[11], profile["ReportStages"]["StageActive"].asInt());
        EXPECT_EQ(config[12], profile["DPIStages"]["StageActive"].asInt());
        const Json::Value& stages = profile["DPIStages"]["StageDPIs"];
        for (Json::ArrayIndex i = 0; i < stages.size() && i < 5; ++i) {
            const uint8_t* stage = &config[14 + 9 * i];
            EXPECT_EQ(stage[0], stages[i]["StageActive"].asInt());
            EXPECT_EQ(stage[2] | stage[3] << 8, stages[i]["StageDPIX"].asInt());
            EXPECT_EQ(stage[6], stages[i]["StageColorR"].asInt());
            EXPECT_EQ(stage[8], stages[i]["StageColorB"].asInt());
        }
        const Json::Value& keys = profile["KeyList"];
        const Bytes keymap = MouseFirmware().Area("keymap");
        for (Json::ArrayIndex k = 0; k < keys.size(); ++k) {
            // Each default button assignment is somewhere in the device's key map.
            const int value = keys[k]["DefaultAssignment"].asInt();
            bool found = false;
            for (size_t slot = 0; slot < MouseFirmware::kEntries; ++slot)
                found = found || (keymap[3 * slot] << 16 | keymap[3 * slot + 1] << 8 | keymap[3 * slot + 2]) == value;
            EXPECT_TRUE(found) << "key " << k;
        }
    }
    {
        SCOPED_TRACE("keyboard");
        const Json::Value profile = DefaultProfile("keyboard");
        const Bytes config = KeyboardFirmware().Area("config");
        ExpectLighting(config, 0, profile["LightInfo"]);
        ExpectLighting(config, 26, profile["LogoLightInfo"]);
        ExpectLighting(config, 36, profile["StLightInfo"]);
        EXPECT_EQ(config[18], profile["LightInfo"]["ZZCCLedMode"].asInt());
        EXPECT_EQ(config[36], profile["LogoLightInfo"]["RGBdengoffon"].asInt());
        const Json::Value& words = profile["SystemStages"];
        EXPECT_EQ(config[19], words["WFlag"].asInt());
        EXPECT_EQ(config[20], words["Key6Flag"].asInt());
        EXPECT_EQ(config[21], words["WinFlag"].asInt());
        EXPECT_EQ(config[22], words["PollingRate"].asInt());
        EXPECT_EQ(config[25], words["ScanDelay"].asInt());
        EXPECT_EQ(config[26], profile["CustomLightMode"]["CustomLightModeGroupIndex"].asInt());
        const Json::Value& keys = profile["KeyList"];
        const Bytes keymap = KeyboardFirmware().Area("keymap");
        ASSERT_EQ(keys.size(), KeyboardFirmware::kEntries);
        for (Json::ArrayIndex k = 0; k < keys.size(); ++k)
            EXPECT_EQ(keymap[3 * k] << 16 | keymap[3 * k + 1] << 8 | keymap[3 * k + 2],
                      keys[k]["DefaultAssignment"].asInt())
                << "key " << k;
    }
    const std::pair<const char*, std::unique_ptr<VendorFirmware>> pads[] = {
        {"MousePad", std::make_unique<MousePadFirmware>()},
        {"HD", std::make_unique<HeadsetFirmware>()},
    };
    for (const auto& [name, fw] : pads) {
        SCOPED_TRACE(name);
        ExpectLighting(fw->Area("config"), 0, DefaultProfile(name)["LightInfo"]);
    }
}

TEST(Firmware, ArmedFaultsFireAtTheirReportOnce)
{
    KeyboardFirmware fw;
    EXPECT_EQ(fw.Control({"refuse", "fe", "3"}), "ok");
    EXPECT_EQ(fw.Control({"delay", "1500", "4"}), "ok");
    EXPECT_EQ(fw.Control({"mismatch", "5"}), "ok");
    EXPECT_EQ(fw.Control({"unplug", "6"}), "ok");
    const Bytes before = fw.Area("config");

    EXPECT_EQ(Send(fw, Request(1)).Status(), 0);
    EXPECT_EQ(Send(fw, Request(6, 1, 100, {1})).Status(), 0);
    Answer third = Send(fw, Request(6, 1, 101, {2}));
    EXPECT_EQ(third.Status(), 0xFE);
    EXPECT_EQ(fw.Area("config")[101], before[101]) << "a refused write is not stored";

    Answer fourth = Send(fw, Request(5, 1, 100));
    ASSERT_EQ(fourth.replies.size(), 1u);
    EXPECT_EQ(fourth.replies[0].delayMs, 1500);
    EXPECT_EQ(fourth.Last()[8], 1);

    Answer fifth = Send(fw, Request(5, 1, 100));
    ASSERT_EQ(fifth.replies.size(), 2u);
    EXPECT_NE(fifth.replies[0].report[3], 5) << "stale report of another command first";
    EXPECT_EQ(fifth.replies[1].report[3], 5);
    EXPECT_EQ(fifth.replies[1].report[8], 1);

    Answer sixth = Send(fw, Request(2));
    EXPECT_EQ(sixth.action, SimAction::Unplug);
    EXPECT_TRUE(sixth.replies.empty());

    Answer seventh = Send(fw, Request(6, 1, 101, {2}));
    EXPECT_EQ(seventh.Status(), 0);
    EXPECT_EQ(seventh.replies.size(), 1u);
    EXPECT_EQ(fw.Control({"faults"}), "no faults armed");

    EXPECT_EQ(fw.Control({"refuse", "0xff"}), "ok");
    EXPECT_EQ(fw.Control({"clear"}), "ok");
    EXPECT_EQ(Send(fw, Request(1)).Status(), 0);
    EXPECT_NE(fw.Control({"refuse", "zz"}).find("usage"), std::string::npos);
    EXPECT_EQ(fw.Control({"frobnicate"}), "unknown command");
}

TEST(Firmware, FaultRangesFireOnEveryReportOfTheRange)
{
    KeyboardFirmware fw;
    EXPECT_EQ(fw.Control({"refuse", "ff", "2..4"}), "ok");
    EXPECT_EQ(fw.Control({"delay", "700", "5..6"}), "ok");
    std::vector<int> statuses;
    for (int i = 0; i < 7; ++i) {
        Answer a = Send(fw, Request(5, 1, 100));
        statuses.push_back(a.Status());
        EXPECT_EQ(a.replies.back().delayMs, i == 4 || i == 5 ? 700 : 0) << "report " << i + 1;
    }
    EXPECT_EQ(statuses, (std::vector<int>{0, 0xFF, 0xFF, 0xFF, 0, 0, 0}));
    EXPECT_EQ(fw.Control({"faults"}), "no faults armed");
    for (const char* bad : {"0..3", "4..2", "1..", "..5", "1..x", "1..200000"})
        EXPECT_NE(fw.Control({"refuse", "ff", bad}).find("usage"), std::string::npos) << bad;
}

TEST(Firmware, ReceiverReportsTheLinkState)
{
    ReceiverMouseFirmware fw;
    Answer linked = Send(fw, Request(170));
    EXPECT_EQ(linked.Status(), 0);
    EXPECT_EQ(linked.Last()[8], 0xFF);
    EXPECT_EQ(fw.Control({"link", "off"}), "ok");
    EXPECT_EQ(Send(fw, Request(170)).Last()[8], 0x00);
    EXPECT_FALSE(fw.Linked());
    EXPECT_EQ(Read(fw, 26, 0, 6), (Bytes{85, 0, 0, 1, 0, 0}));

    MouseFirmware wired;
    EXPECT_EQ(wired.Control({"link", "off"}), "not a receiver");
}

TEST(Firmware, OnBoardSlotChangeAndButtonsSendNotices)
{
    MousePadFirmware fw;
    RecordingEvents events;
    fw.SetEvents(&events);
    EXPECT_EQ(fw.Control({"profile", "2"}), "slot 2");
    EXPECT_EQ(fw.ActiveSlot(), 2);
    EXPECT_EQ(Read(fw, 5, 0, 1), Bytes{2});
    EXPECT_EQ(Read(fw, 5, 2 * 44 + 1, 1), Bytes{2}) << "slot 2's record at the read stride";
    EXPECT_EQ(fw.Control({"button"}), "slot 3");
    EXPECT_EQ(fw.Control({"button"}), "slot 0");
    EXPECT_NE(fw.Control({"profile", "4"}).find("usage"), std::string::npos);
    EXPECT_EQ(fw.Control({"dpi-button"}), "ok");
    EXPECT_EQ(events.notices, (std::vector<uint16_t>{1025, 1025, 1025, 1028}));
}

TEST(Firmware, PadTakesOnlyWholeSettingsRecordsAtTheWriteStride)
{
    MousePadFirmware fw;
    Bytes record(21, 0);
    for (size_t i = 1; i < record.size(); ++i)
        record[i] = static_cast<uint8_t>(i);
    record[0] = 1; // byte 0 names the active slot
    const Bytes before = fw.Area("config");
    struct Case {
        const char* what;
        Bytes request;
    } refused[] = {
        {"20 bytes", Request(6, 20, 0, Bytes(record.begin(), record.end() - 1))},
        {"22 bytes", Request(6, 22, 0, Bytes(22, 1))},
        {"at the read stride", Request(6, 21, 44, record)},
        {"slot 4", Request(6, 21, 256, record)},
        {"no such active slot", Request(6, 21, 0, Bytes{4, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                                                        17, 18, 19, 20})},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Send(fw, c.request).Status(), 0xFF);
    }
    EXPECT_EQ(fw.Area("config"), before);

    // Slot 0's record begins at the active slot byte; slot 2's write at 128 lands in its record at 88.
    ASSERT_EQ(Send(fw, Request(6, 21, 0, record)).Status(), 0);
    EXPECT_EQ(fw.ActiveSlot(), 1);
    EXPECT_EQ(Read(fw, 5, 0, 21), record);
    ASSERT_EQ(Send(fw, Request(6, 21, 128, record)).Status(), 0);
    EXPECT_EQ(Read(fw, 5, 2 * 44 + 1, 20), Bytes(record.begin() + 1, record.end()));
    EXPECT_EQ(Read(fw, 5, 44, 1), Bytes{before[44]}) << "slot 1 untouched";
}

TEST(Firmware, StatusBlockOfTheChargingPad)
{
    ChargingPadFirmware fw;
    EXPECT_EQ(Read(fw, 26, 0, 6), (Bytes{100, 1, 0, 0, 0, 1}));
    EXPECT_EQ(fw.Control({"charging", "0"}), "ok");
    EXPECT_EQ(fw.Control({"phone", "2"}), "ok");
    EXPECT_EQ(Read(fw, 26, 0, 6), (Bytes{100, 0, 0, 0, 0, 2}));
    EXPECT_EQ(Send(fw, Request(26, 6, 12)).Status(), 0xFF) << "the status block is 16 bytes";
    EXPECT_EQ(Send(fw, Request(7, 3, 0)).Status(), 0xFF) << "a pad has no key map";
}

TEST(Firmware, HeadsetTakesLedReportsWithoutReplying)
{
    HeadsetFirmware fw;
    Bytes led(17, 0);
    led[0] = 0xFF;
    led[1] = 0x44;
    led[2] = 0xAE; // green, LEDs 7 to 12
    for (int i = 0; i < 7; ++i)
        led[4 + i] = static_cast<uint8_t>(10 + i);
    Answer a = Send(fw, led);
    EXPECT_TRUE(a.replies.empty());
    EXPECT_EQ(fw.LedChannel(0x44, 7, 1), 10);
    EXPECT_EQ(fw.LedChannel(0x44, 12, 1), 15);
    EXPECT_EQ(fw.LedChannel(0x22, 7, 1), 0);
    // Refused, not applied: an unknown bank or register, a short or long report, stray bytes.
    struct Bad {
        size_t index;
        uint8_t value;
        size_t size;
    } bad[] = {{1, 0x33, 17}, {2, 0xB0, 17}, {3, 1, 17}, {16, 1, 17}, {1, 0x44, 16}, {1, 0x44, 18}};
    for (const Bad& b : bad) {
        Bytes wrong = led;
        wrong[4] = 99;
        wrong.resize(std::max(b.size, b.index + 1), 0);
        wrong[b.index] = b.value;
        wrong.resize(b.size);
        Send(fw, wrong);
    }
    EXPECT_EQ(fw.LedChannel(0x44, 7, 1), 10);
    EXPECT_EQ(fw.LedReportCount(), 1u);
    EXPECT_EQ(fw.BadLedReportCount(), std::size(bad));
    EXPECT_EQ(fw.ReportCount(), 0u);
    // Its vendor reports reach the configuration memory like a mousepad's.
    EXPECT_EQ(Read(fw, 5, 1, 3), (Bytes{0, 4, 2}));
}

TEST(Firmware, MemorySurvivesSaveAndLoad)
{
    KeyboardFirmware fw;
    ASSERT_EQ(Send(fw, Request(6, 2, 10, {0xAB, 0xCD})).Status(), 0);
    ASSERT_EQ(Send(fw, Request(28)).Status(), 0);
    const Bytes image = fw.SaveMemory();

    KeyboardFirmware fresh;
    ASSERT_TRUE(fresh.LoadMemory(image));
    EXPECT_EQ(fresh.Area("config"), fw.Area("config"));
    EXPECT_TRUE(fresh.HostLighting());

    // An image of another kind, or a damaged one, changes nothing.
    MouseFirmware mouse;
    const Bytes mouseConfig = mouse.Area("config");
    EXPECT_FALSE(mouse.LoadMemory(image));
    Bytes cut(image.begin(), image.end() - 1);
    EXPECT_FALSE(fresh.LoadMemory(cut));
    EXPECT_FALSE(fresh.LoadMemory({}));
    EXPECT_EQ(mouse.Area("config"), mouseConfig);

    const std::string dump = fw.DumpMemory();
    EXPECT_NE(dump.find("config (256 bytes)"), std::string::npos);
    EXPECT_NE(dump.find("  0000: 00 01 04 02 00 01 00 a0 ff 00 ab cd"), std::string::npos);
}

// Writes an image in 56-byte chunks from offset 0; the status of each chunk.
std::vector<uint8_t> WriteMacroImage(SimInterfaceHandler& fw, const Bytes& image)
{
    std::vector<uint8_t> status;
    for (size_t at = 0; at < image.size(); at += 56) {
        const size_t n = std::min<size_t>(56, image.size() - at);
        status.push_back(Send(fw, Request(21, uint8_t(n), uint16_t(at), Bytes(image.begin() + long(at), image.begin() + long(at + n)))).Status());
    }
    return status;
}

// One macro: Ctrl down, C down, C up (100 ms), left click down.
const Bytes kMacroImage = {0xAA, 0x55, 38, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 18, 0, 4, 0, 0, 0,
                           0, 0, 0x89, 0x01, 0, 0, 0x8A, 0x06, 100, 0, 0x0A, 0x06, 0, 0, 0x81, 0x01};

TEST(Firmware, MouseAndKeyboardTakeMacroImagesThatFit)
{
    MouseFirmware mouse;
    KeyboardFirmware keyboard;
    for (VendorFirmware* fw : {static_cast<VendorFirmware*>(&mouse), static_cast<VendorFirmware*>(&keyboard)}) {
        EXPECT_EQ(WriteMacroImage(*fw, kMacroImage), (std::vector<uint8_t>{0}));
        const Bytes memory = fw->Area("macros");
        EXPECT_EQ(Bytes(memory.begin(), memory.begin() + long(kMacroImage.size())), kMacroImage);
        const std::string dump = fw->DumpMemory();
        EXPECT_NE(dump.find("stored macros\n  1 macros, 38 bytes\n  macro 0: 4 events\n"
                            "    modifier 0x01 down, then 0 ms\n    key 0x06 down, then 0 ms\n"
                            "    key 0x06 up, then 100 ms\n    mouse button 0x01 down, then 0 ms\n"),
                  std::string::npos)
            << dump;
    }
}

TEST(Firmware, RefusesMacroImagesThatDoNotFitOrHaveNoHeader)
{
    KeyboardFirmware fw; // 4096 bytes of macro memory
    ASSERT_EQ(WriteMacroImage(fw, kMacroImage), (std::vector<uint8_t>{0}));
    const Bytes before = fw.Area("macros");

    Bytes tooLong(4100, 0);
    tooLong[0] = 0xAA;
    tooLong[1] = 0x55;
    tooLong[2] = 4100 & 0xFF;
    tooLong[3] = 4100 >> 8;
    const std::vector<uint8_t> status = WriteMacroImage(fw, tooLong);
    EXPECT_TRUE(std::all_of(status.begin(), status.end(), [](uint8_t s) { return s == 0xFF; }));

    Bytes noMagic = kMacroImage;
    noMagic[0] = 0;
    Bytes countBeyondLength = kMacroImage;
    countBeyondLength[4] = 9; // nine offsets need more than 38 bytes
    for (const Bytes& image : {noMagic, countBeyondLength})
        EXPECT_EQ(WriteMacroImage(fw, image), (std::vector<uint8_t>{0xFF}));
    // The chunks after a refused header, and a chunk past an announced image.
    EXPECT_EQ(Send(fw, Request(21, 4, 8, {1, 2, 3, 4})).Status(), 0xFF);
    ASSERT_EQ(WriteMacroImage(fw, kMacroImage), (std::vector<uint8_t>{0}));
    EXPECT_EQ(Send(fw, Request(21, 4, 36, {1, 2, 3, 4})).Status(), 0xFF);
    EXPECT_EQ(fw.Area("macros"), before);
    EXPECT_NE(fw.DumpMemory().find("macro 0: 4 events"), std::string::npos);

    MousePadFirmware pad; // no macro memory
    EXPECT_EQ(WriteMacroImage(pad, kMacroImage), (std::vector<uint8_t>{0xFF}));
    EXPECT_EQ(pad.DumpMemory().find("stored macros"), std::string::npos);
}

} // namespace
} // namespace nqsim
