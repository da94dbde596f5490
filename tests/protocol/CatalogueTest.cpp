#include "common/DebugLog.h"
#include "hid/Catalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <string>
#include <vector>

namespace nq {
namespace {

InterfaceCandidate Candidate(uint16_t vid, uint16_t pid, uint16_t mi, uint16_t col, uint16_t page, uint16_t usage,
                             std::string path = "/dev/hidraw3?x")
{
    InterfaceCandidate c;
    c.vendorId = vid;
    c.productId = pid;
    c.interfaceNumber = mi;
    c.collectionNumber = col;
    c.usagePage = page;
    c.usage = usage;
    c.path = std::move(path);
    return c;
}

// A valid extra-rows file with `interfaces` distinct interface rows and `pages` distinct page rows.
std::string ManyRows(size_t interfaces, size_t pages)
{
    std::string text = R"({"interfaces": [)";
    for (size_t i = 0; i < interfaces; ++i)
        text += std::string(i ? "," : "") + R"({"vendorId": 1, "productId": )" + std::to_string(i) +
                R"(, "interface": 1, "collection": 4, "kind": 2, "role": 0, "usagePage": 1, "usage": 1})";
    text += R"(], "pages": [)";
    for (size_t i = 0; i < pages; ++i)
        text += std::string(i ? "," : "") + R"({"kindName": "m", "ordinal": 9, "vendorId": 1, "productId": )" +
                std::to_string(i) + R"(, "kind": 2, "role": 0, "lightingPoints": 6, "keyEntries": 7, "layoutFile": "a.xml"})";
    return text + "]}";
}

// Captures diagnostics for the length of a test.
class LogCapture {
public:
    LogCapture()
    {
        SetDebugLogCallback([this](const std::string& line) { lines.push_back(line); });
    }
    ~LogCapture() { SetDebugLogCallback({}); }
    std::vector<std::string> lines;
};

TEST(Catalogue, CompiledTablesHaveTheirRowsInOrder)
{
    Catalogue catalogue;
    const auto& slots = catalogue.SupportedInterfaces();
    ASSERT_EQ(slots.size(), 7u);
    struct Row {
        uint16_t vid, pid, mi, col, kind, role, page, usage;
    };
    const Row expected[] = {
        {0x320F, 0x5041, 1, 4, 1, 0, 0xFF1C, 0x92}, {0x320F, 0x5041, 1, 3, 1, 255, 0x0C, 1},
        {0, 0, 1, 4, 2, 0, 0xFF1C, 0x92},           {0, 0, 1, 3, 2, 255, 0x0C, 1},
        {0, 0, 1, 4, 3, 0, 0xFF1C, 0x92},           {0, 0, 1, 3, 3, 255, 0x0C, 1},
        {0, 0, 3, 0, 7, 0, 0x0C, 1},
    };
    for (size_t i = 0; i < slots.size(); ++i) {
        SCOPED_TRACE(i);
        const Row& e = expected[i];
        EXPECT_EQ(slots[i].vendorId, e.vid);
        EXPECT_EQ(slots[i].productId, e.pid);
        EXPECT_EQ(slots[i].interfaceNumber, e.mi);
        EXPECT_EQ(slots[i].collectionNumber, e.col);
        EXPECT_EQ(slots[i].kind, e.kind);
        EXPECT_EQ(slots[i].role, e.role);
        EXPECT_EQ(slots[i].usagePage, e.page);
        EXPECT_EQ(slots[i].usage, e.usage);
        EXPECT_TRUE(slots[i].IsFree());
        EXPECT_EQ(slots[i].hasTwin, 0);
    }

    ASSERT_EQ(catalogue.DevicePages().size(), 4u);
    ASSERT_EQ(catalogue.DeviceLayouts().size(), 4u);
    const char* kindNames[] = {"mouse", "keyboard", "MousePad", "HD"};
    const int ordinals[] = {1, 0, 2, 3};
    const int leds[] = {7, 126, 15, 13};
    const int keys[] = {10, 126, 0, 0};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(catalogue.DevicePages()[i].kindName, kindNames[i]);
        EXPECT_EQ(catalogue.DevicePages()[i].ordinal, ordinals[i]);
        EXPECT_EQ(catalogue.DevicePages()[i].selectorFile, "XML/CustomControlXML/DeviceOption.xml");
        EXPECT_EQ(catalogue.DeviceLayouts()[i].lightingPoints, leds[i]);
        EXPECT_EQ(catalogue.DeviceLayouts()[i].keyEntries, keys[i]);
        EXPECT_EQ(catalogue.DeviceLayouts()[i].powerDisplayKind, 0);
        EXPECT_EQ(catalogue.DeviceLayouts()[i].mousePageValue, -1);
        EXPECT_EQ(catalogue.DeviceLayouts()[i].lightingFolder, "drovo_light");
    }
    EXPECT_EQ(catalogue.DeviceLayouts()[3].pageLayoutFile, "XML/DeviceXml/va6533device.xml");

    ASSERT_EQ(catalogue.ProductIdentities().size(), 4u);
    EXPECT_EQ(catalogue.ProductIdentities()[1].productName2, "Silent Harbinger");
    EXPECT_EQ(catalogue.ProductIdentities()[3].productKind, 0);
    EXPECT_EQ(catalogue.ProductIdentities()[3].versionText, "V0102");
}

TEST(Catalogue, FindDevicePageAndFindSlot)
{
    Catalogue catalogue;
    EXPECT_EQ(catalogue.FindDevicePage(0, 0, 2, 0), 0);
    EXPECT_EQ(catalogue.FindDevicePage(0x320F, 0x5041, 1, 0), 1);
    EXPECT_EQ(catalogue.FindDevicePage(0x320F, 0x5041, 2, 0), -1);
    EXPECT_EQ(catalogue.FindDevicePage(0, 0, 7, 0), 3);
    EXPECT_EQ(catalogue.FindDevicePage(0x320F, 0x5041, 1, 255), -1);
    EXPECT_EQ(catalogue.FindSlot(0, 0, 7, 0), 6);
    EXPECT_EQ(catalogue.FindSlot(0x320F, 0x5041, 1, 255), 1);
    EXPECT_EQ(catalogue.FindSlot(0, 0, 6, 0), -1);
    // The process-wide catalogue starts with the same rows.
    EXPECT_EQ(FindSlot(0, 0, 7, 0), 6);
    EXPECT_EQ(FindDevicePage(0x320F, 0x5041, 1, 0), 1);
}

TEST(Catalogue, SameSlotComparesTheEightIdentityFieldsOnly)
{
    Catalogue catalogue;
    DeviceSlot a = catalogue.SupportedInterfaces()[0];
    DeviceSlot b = a;
    b.connected = 1;
    b.hasTwin = 1;
    b.twinIndex = 5;
    b.path = "/dev/hidraw1";
    EXPECT_TRUE(IsSameSlot(a, b));
    uint16_t DeviceSlot::*fields[] = {&DeviceSlot::vendorId, &DeviceSlot::productId, &DeviceSlot::interfaceNumber,
                                      &DeviceSlot::collectionNumber, &DeviceSlot::kind, &DeviceSlot::role,
                                      &DeviceSlot::usagePage, &DeviceSlot::usage};
    for (auto field : fields) {
        DeviceSlot c = a;
        c.*field = static_cast<uint16_t>(c.*field + 1);
        EXPECT_FALSE(IsSameSlot(a, c));
    }
}

TEST(Catalogue, KeyboardInterfacesBindTheirSlotsByUsage)
{
    Catalogue catalogue;
    std::vector<DeviceSlot> slots = catalogue.SupportedInterfaces();

    auto command = Candidate(0x320F, 0x5041, 1, 4, 0xFF1C, 0x92, "kbd-col04");
    ASSERT_TRUE(catalogue.IsCandidate(command, slots));
    EXPECT_EQ(catalogue.BindSlot(command, slots), 0);
    EXPECT_EQ(command.kind, 1);
    EXPECT_EQ(command.role, 0);
    EXPECT_EQ(slots[0].connected, 1);
    EXPECT_EQ(slots[0].path, "kbd-col04");

    auto notices = Candidate(0x320F, 0x5041, 1, 3, 0x000C, 0x01, "kbd-col03");
    ASSERT_TRUE(catalogue.IsCandidate(notices, slots));
    EXPECT_EQ(catalogue.BindSlot(notices, slots), 1);
    EXPECT_EQ(notices.role, 255);

    // A second keyboard of the same model finds no free slot.
    auto second = Candidate(0x320F, 0x5041, 1, 4, 0xFF1C, 0x92, "other-col04");
    EXPECT_FALSE(catalogue.IsCandidate(second, slots));
    EXPECT_EQ(catalogue.BindSlot(second, slots), -1);
    EXPECT_EQ(slots[0].path, "kbd-col04");
}

TEST(Catalogue, InterfacesThatFitNoRowAreNotBound)
{
    Catalogue catalogue;
    std::vector<DeviceSlot> slots = catalogue.SupportedInterfaces();
    // Matches slot 0 by path but reports the consumer-control usage page.
    auto wrongUsage = Candidate(0x320F, 0x5041, 1, 4, 0x000C, 0x01);
    EXPECT_TRUE(catalogue.IsCandidate(wrongUsage, slots));
    EXPECT_EQ(catalogue.BindSlot(wrongUsage, slots), -1);
    // Same vendor, another product.
    auto otherProduct = Candidate(0x320F, 0x5042, 1, 4, 0xFF1C, 0x92);
    EXPECT_FALSE(catalogue.IsCandidate(otherProduct, slots));
    EXPECT_EQ(catalogue.BindSlot(otherProduct, slots), -1);
    // Right ids, interface the catalogue does not list.
    EXPECT_FALSE(catalogue.IsCandidate(Candidate(0x320F, 0x5041, 0, 0, 1, 6), slots));
    for (const DeviceSlot& slot : slots)
        EXPECT_TRUE(slot.IsFree());
}

TEST(Catalogue, ThePlaceholderRowsBindInTableOrder)
{
    // Vendor and product 0 with the family's vendor collection: the first such interface takes the
    // mouse slot, the second the mousepad slot, a third finds none; the headset has its own row.
    Catalogue catalogue;
    std::vector<DeviceSlot> slots = catalogue.SupportedInterfaces();
    auto first = Candidate(0, 0, 1, 4, 0xFF1C, 0x92);
    EXPECT_EQ(catalogue.BindSlot(first, slots), 2);
    EXPECT_EQ(first.kind, 2);
    auto again = first; // the same interface seen on the next pass
    EXPECT_EQ(catalogue.BindSlot(again, slots), -1);
    auto second = Candidate(0, 0, 1, 4, 0xFF1C, 0x92);
    second.path += "-second";
    EXPECT_TRUE(catalogue.IsCandidate(second, slots));
    EXPECT_EQ(catalogue.BindSlot(second, slots), 4);
    EXPECT_EQ(second.kind, 3);
    auto third = Candidate(0, 0, 1, 4, 0xFF1C, 0x92);
    third.path += "-third";
    EXPECT_FALSE(catalogue.IsCandidate(third, slots));
    EXPECT_EQ(catalogue.BindSlot(third, slots), -1);
    auto secondNotices = Candidate(0, 0, 1, 3, 0x000C, 0x01, "pad-col03");
    EXPECT_EQ(catalogue.BindSlot(secondNotices, slots), 3);
    auto headset = Candidate(0, 0, 3, 0, 0x000C, 0x01, "headset-if3");
    EXPECT_EQ(catalogue.BindSlot(headset, slots), 6);
}

TEST(Catalogue, EveryPageRowGetsItsSlotAndLayout)
{
    Catalogue catalogue;
    const auto& slots = catalogue.SupportedInterfaces();
    const int expectedSlot[] = {2, 0, 4, 6};
    const int expectedKind[] = {2, 1, 3, 7};
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        PageChoice choice = catalogue.ChoosePage(row, slots);
        EXPECT_EQ(choice.pageRow, row);
        EXPECT_EQ(choice.slotIndex, expectedSlot[row]);
        EXPECT_EQ(choice.pageKind, expectedKind[row]);
        EXPECT_EQ(choice.layoutRow, row);
    }
    EXPECT_EQ(catalogue.ChoosePage(4, slots).slotIndex, -1);
    EXPECT_EQ(catalogue.ChoosePage(-1, slots).pageRow, -1);
}

const char* const kReceiverRows = R"({
  "interfaces": [
    { "vendorId": "0x1D57", "productId": "0xFA60", "interface": 1, "collection": 4,
      "kind": 2, "role": 0, "usagePage": "0xFF1C", "usage": "0x92", "twin": 8 },
    { "vendorId": "0x1D57", "productId": "0xFA61", "interface": 1, "collection": 4,
      "kind": 6, "role": 0, "usagePage": "0xFF1C", "usage": "0x92", "twin": 7 }
  ],
  "pages": [
    { "kindName": "mouse2", "ordinal": 4, "vendorId": "0x1D57", "productId": "0xFA60", "kind": 2, "role": 0,
      "lightingPoints": 6, "keyEntries": 10, "layoutFile": "XML/DeviceXml/mousedevice.xml" },
    { "kindName": "mouse2rx", "ordinal": 5, "vendorId": "0x1D57", "productId": 64097, "kind": 6, "role": 0,
      "lightingPoints": 6, "keyEntries": 10, "layoutFile": "XML/DeviceXml/mousedevice.xml",
      "lightingFolder": "drovo_light", "powerDisplayKind": 1 }
  ]
})";

TEST(CatalogueExtraRows, AreAppendedAfterTheCompiledRows)
{
    Catalogue catalogue;
    const std::vector<DeviceSlot> compiled = catalogue.SupportedInterfaces();
    ASSERT_TRUE(catalogue.LoadExtraRowsText(kReceiverRows, "devices.json"));

    const auto& slots = catalogue.SupportedInterfaces();
    ASSERT_EQ(slots.size(), 9u);
    for (size_t i = 0; i < compiled.size(); ++i)
        EXPECT_TRUE(IsSameSlot(slots[i], compiled[i]) && slots[i].hasTwin == 0);
    EXPECT_EQ(slots[7].productId, 0xFA60);
    EXPECT_EQ(slots[7].hasTwin, 1);
    EXPECT_EQ(slots[7].twinIndex, 8);
    EXPECT_EQ(slots[8].kind, 6);
    ASSERT_EQ(catalogue.DevicePages().size(), 6u);
    ASSERT_EQ(catalogue.DeviceLayouts().size(), 6u);
    EXPECT_EQ(catalogue.DevicePages()[0].kindName, "mouse"); // compiled rows first, unchanged
    EXPECT_EQ(catalogue.DevicePages()[4].group, "tab_header_device");
    EXPECT_EQ(catalogue.DeviceLayouts()[4].lightingFolder, "drovo_light");
    EXPECT_EQ(catalogue.DeviceLayouts()[4].mousePageValue, -1);
    EXPECT_EQ(catalogue.DeviceLayouts()[5].powerDisplayKind, 1);
    EXPECT_EQ(catalogue.DevicePages()[5].productId, 0xFA61);

    // The receiver's page is a mouse page found through its wired twin.
    PageChoice rx = catalogue.ChoosePage(5, slots);
    EXPECT_EQ(rx.slotIndex, 8);
    EXPECT_EQ(rx.pageKind, 2);
    EXPECT_EQ(rx.layoutRow, 4);
    PageChoice wired = catalogue.ChoosePage(4, slots);
    EXPECT_EQ(wired.slotIndex, 7);
    EXPECT_EQ(wired.layoutRow, 4);

    std::vector<DeviceSlot> list = slots;
    auto receiver = Candidate(0x1D57, 0xFA61, 1, 4, 0xFF1C, 0x92);
    EXPECT_EQ(catalogue.BindSlot(receiver, list), 8);
    EXPECT_EQ(receiver.kind, 6);
}

TEST(CatalogueExtraRows, TwinRowCountsFromTheFilesOwnRows)
{
    // The same two links named by their places in the file: the indices do not depend on the rows
    // loaded before (here a first file of two rows).
    // The second file names another product, as a repeated row would be refused.
    std::string file = kReceiverRows;
    file.replace(file.find("\"twin\": 8"), 9, "\"twinRow\": 1");
    file.replace(file.find("\"twin\": 7"), 9, "\"twinRow\": 0");
    for (size_t at = file.find("0xFA6"); at != std::string::npos; at = file.find("0xFA6"))
        file.replace(at, 5, "0xFB6");
    file.replace(file.find("64097"), 5, "64353");
    file.replace(file.find("\"ordinal\": 4"), 12, "\"ordinal\": 6");
    file.replace(file.find("\"ordinal\": 5"), 12, "\"ordinal\": 7");
    Catalogue catalogue;
    ASSERT_TRUE(catalogue.LoadExtraRowsText(kReceiverRows, "devices.json"));
    ASSERT_TRUE(catalogue.LoadExtraRowsText(file, "simdevices.json"));
    const auto& slots = catalogue.SupportedInterfaces();
    ASSERT_EQ(slots.size(), 11u);
    EXPECT_EQ(slots[9].twinIndex, 10);
    EXPECT_EQ(slots[10].twinIndex, 9);
    EXPECT_TRUE(slots[9].hasTwin && slots[10].hasTwin);
}

TEST(CatalogueExtraRows, AMalformedFileIsReportedAndChangesNothing)
{
    const std::string row = R"("vendorId": 1, "productId": 2, "interface": 1, "collection": 4, "usagePage": 65308, "usage": 146)";
    const std::string page = R"("kindName": "pad2", "ordinal": 9, "vendorId": 1, "productId": 2, "kind": 3, "role": 0,
                                "lightingPoints": 15, "keyEntries": 0)";
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"not JSON", "{ \"interfaces\": [ "},
        {"top level is an array", "[]"},
        {"a second document", R"({"interfaces": []} {"pages": []})"},
        {"a zero byte and more", std::string(R"({"interfaces": []})") + std::string(1, '\0') + "junk"},
        {"interfaces is an object", R"({"interfaces": {}})"},
        {"unknown top-level key", R"({"interface": []})"},
        {"row is a number", R"({"interfaces": [3]})"},
        {"missing key", R"({"interfaces": [{"vendorId": 1}]})"},
        {"kind 4", R"({"interfaces": [{)" + row + R"(, "kind": 4, "role": 0}]})"},
        {"role 1", R"({"interfaces": [{)" + row + R"(, "kind": 2, "role": 1}]})"},
        {"id too large", R"({"interfaces": [{"vendorId": "0x1FFFF", "productId": 2, "interface": 1, "collection": 4,
            "usagePage": 1, "usage": 1, "kind": 2, "role": 0}]})"},
        {"id not a number", R"({"interfaces": [{"vendorId": "abc", "productId": 2, "interface": 1, "collection": 4,
            "usagePage": 1, "usage": 1, "kind": 2, "role": 0}]})"},
        {"twin out of range", R"({"interfaces": [{)" + row + R"(, "kind": 2, "role": 0, "twin": 8}]})"},
        {"twinRow past the file's rows", R"({"interfaces": [{)" + row + R"(, "kind": 2, "role": 0, "twinRow": 1}]})"},
        {"twin and twinRow", R"({"interfaces": [{)" + row + R"(, "kind": 2, "role": 0, "twin": 7, "twinRow": 0}]})"},
        {"unknown row key", R"({"interfaces": [{)" + row + R"(, "kind": 2, "role": 0, "colour": 1}]})"},
        {"layout escapes the skin", R"({"pages": [{)" + page + R"(, "layoutFile": "../../etc/passwd"}]})"},
        {"absolute layout", R"({"pages": [{)" + page + R"(, "layoutFile": "/etc/passwd"}]})"},
        {"folder name with a slash", R"({"pages": [{)" + page + R"(, "layoutFile": "a.xml", "lightingFolder": "a/b"}]})"},
        {"too many LEDs", R"({"pages": [{"kindName": "x", "ordinal": 9, "vendorId": 1, "productId": 2, "kind": 3,
            "role": 0, "lightingPoints": 171, "keyEntries": 0, "layoutFile": "a.xml"}]})"},
        {"row that is its own twin", R"({"interfaces": [{)" + row + R"(, "kind": 2, "role": 0, "twin": 7}]})"},
        {"row that repeats a compiled row", R"({"interfaces": [{"vendorId": "0x320F", "productId": "0x5041",
            "interface": 1, "collection": 4, "kind": 1, "role": 0, "usagePage": "0xFF1C", "usage": "0x92"}]})"},
        {"two equal rows", R"({"interfaces": [{)" + row + R"(, "kind": 2, "role": 0, "twin": 8}, {)" + row +
                               R"(, "kind": 2, "role": 0}]})"},
        {"page that repeats the compiled mouse page", R"({"pages": [{"kindName": "m", "ordinal": 9, "vendorId": 0,
            "productId": 0, "kind": 2, "role": 0, "lightingPoints": 6, "keyEntries": 7, "layoutFile": "a.xml"}]})"},
        {"two equal pages", R"({"pages": [{)" + page + R"(, "layoutFile": "a.xml"}, {)" + page + R"(, "layoutFile": "b.xml"}]})"},
        {"more interface rows than the bound", ManyRows(Catalogue::kMaxExtraInterfaces + 1, 0)},
        {"more page rows than the bound", ManyRows(0, Catalogue::kMaxExtraPages + 1)},
        {"larger than the bound", "{" + std::string(Catalogue::kMaxExtraRowsFileSize, ' ') + "}"},
        // One good row does not save a file with a bad one.
        {"good row then bad row", R"({"interfaces": [{)" + row + R"(, "kind": 2, "role": 0}, {)" + row +
                                      R"(, "kind": 5, "role": 0}]})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Catalogue catalogue;
        LogCapture log;
        EXPECT_FALSE(catalogue.LoadExtraRowsText(c.text, "devices.json"));
        EXPECT_EQ(catalogue.SupportedInterfaces().size(), 7u);
        EXPECT_EQ(catalogue.DevicePages().size(), 4u);
        EXPECT_EQ(catalogue.DeviceLayouts().size(), 4u);
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_NE(log.lines[0].find("devices.json"), std::string::npos);
        EXPECT_NE(log.lines[0].find("ignored"), std::string::npos);
        EXPECT_EQ(catalogue.ExtraRowsError(), log.lines[0]);
    }
}

TEST(CatalogueExtraRows, TheBoundsThemselvesAreAccepted)
{
    Catalogue catalogue;
    ASSERT_TRUE(catalogue.LoadExtraRowsText(ManyRows(Catalogue::kMaxExtraInterfaces, Catalogue::kMaxExtraPages),
                                            "devices.json"))
        << catalogue.ExtraRowsError();
    EXPECT_EQ(catalogue.SupportedInterfaces().size(), 7 + Catalogue::kMaxExtraInterfaces);
    EXPECT_EQ(catalogue.DevicePages().size(), 4 + Catalogue::kMaxExtraPages);
    EXPECT_TRUE(catalogue.ExtraRowsError().empty());
}

// Whatever stands at the file's place, loading returns at once.
TEST(CatalogueExtraRows, OnlyARegularFileIsRead)
{
    char folder[] = "/tmp/nq501-catalogue-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    const std::string base = folder;
    ASSERT_EQ(mkfifo((base + "/fifo.json").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((base + "/folder.json").c_str(), 0700), 0);
    { std::ofstream(base + "/large.json") << "{" << std::string(Catalogue::kMaxExtraRowsFileSize, ' ') << "}"; }
    const std::pair<const char*, const char*> cases[] = {
        {"/fifo.json", "not a regular file"},
        {"/folder.json", "not a regular file"},
        {"/large.json", "larger than"},
    };
    for (const auto& [name, why] : cases) {
        SCOPED_TRACE(name);
        Catalogue catalogue;
        LogCapture log;
        EXPECT_FALSE(catalogue.LoadExtraRows(base + name));
        EXPECT_NE(catalogue.ExtraRowsError().find(why), std::string::npos) << catalogue.ExtraRowsError();
        EXPECT_EQ(catalogue.SupportedInterfaces().size(), 7u);
    }
    std::filesystem::remove_all(base);
}

TEST(CatalogueExtraRows, FileInTheUserConfigurationFolder)
{
    char folder[] = "/tmp/nq501-catalogue-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    const std::string base = folder;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CONFIG_HOME", base.c_str(), 1);
    const std::string path = Catalogue::ExtraRowsPath();
    if (old)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(path, base + "/NQ501/devices.json");

    Catalogue catalogue;
    EXPECT_TRUE(catalogue.LoadExtraRows(path)); // missing: nothing to add, nothing to report
    EXPECT_EQ(catalogue.SupportedInterfaces().size(), 7u);

    ASSERT_EQ(system(("mkdir -p " + base + "/NQ501").c_str()), 0);
    { std::ofstream(path) << kReceiverRows; }
    EXPECT_TRUE(catalogue.LoadExtraRows(path));
    EXPECT_EQ(catalogue.SupportedInterfaces().size(), 9u);
    std::remove(path.c_str());
    std::remove((base + "/NQ501").c_str());
    std::remove(base.c_str());
}

} // namespace
} // namespace nq
