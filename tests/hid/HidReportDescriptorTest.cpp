// The report descriptor parser and the decoding of reports.
#include "DescriptorSamples.h"

#include "hid/HidDescriptorReport.h"
#include "hid/HidReportDecoder.h"
#include "hid/HidReportDescriptor.h"

#include <gtest/gtest.h>

#include <random>

using nq::HidReportDecoder;
using nq::HidReportDescriptor;
using nq::HidReportType;
using nq::HidTopCollection;

namespace {

const HidTopCollection& ParseOne(HidReportDescriptor& d, const std::vector<uint8_t>& bytes)
{
    EXPECT_TRUE(d.Parse(bytes)) << d.Error();
    EXPECT_EQ(d.Collections().size(), 1u);
    static HidTopCollection empty;
    return d.Collections().empty() ? empty : d.Collections()[0];
}

constexpr int kIn = 0, kOut = 1, kFeat = 2;

TEST(HidReportDescriptor, BootKeyboard)
{
    HidReportDescriptor d;
    const auto& c = ParseOne(d, samples::kBootKeyboard);
    EXPECT_FALSE(d.UsesReportIds());
    EXPECT_EQ(c.usagePage, 0x01);
    EXPECT_EQ(c.usage, 0x06);
    EXPECT_EQ(c.caps.inputReportByteLength, 9);
    EXPECT_EQ(c.caps.outputReportByteLength, 2);
    EXPECT_EQ(c.caps.featureReportByteLength, 0);
    // Modifier bitmap and key array are buttons; the reserved byte and LED padding make none.
    ASSERT_EQ(c.buttonCaps[kIn].size(), 2u);
    EXPECT_EQ(c.valueCaps[kIn].size(), 0u);
    const auto& mods = c.buttonCaps[kIn][0];
    EXPECT_FALSE(mods.isArray);
    EXPECT_TRUE(mods.isRange);
    EXPECT_EQ(mods.usagePage, 0x07);
    EXPECT_EQ(mods.usageMin, 0xE0);
    EXPECT_EQ(mods.usageMax, 0xE7);
    EXPECT_EQ(mods.bitOffset, 0u);
    EXPECT_EQ(mods.dataIndexMin, 0);
    EXPECT_EQ(mods.dataIndexMax, 7);
    const auto& keys = c.buttonCaps[kIn][1];
    EXPECT_TRUE(keys.isArray);
    EXPECT_EQ(keys.usageMin, 0x00);
    EXPECT_EQ(keys.usageMax, 0x65);
    EXPECT_EQ(keys.reportCount, 6u);
    EXPECT_EQ(keys.bitSize, 8u);
    EXPECT_EQ(keys.bitOffset, 16u);
    EXPECT_EQ(keys.dataIndexMin, 8);
    ASSERT_EQ(c.buttonCaps[kOut].size(), 1u);
    EXPECT_EQ(c.buttonCaps[kOut][0].usagePage, 0x08);
    EXPECT_EQ(c.buttonCaps[kOut][0].usageMax, 5);
    EXPECT_EQ(HidReportDecoder::MaxUsageListLength(c, HidReportType::Input, 0x07), 14u);
}

TEST(HidReportDescriptor, BootMouseLinksItsFieldsToThePointerCollection)
{
    HidReportDescriptor d;
    const auto& c = ParseOne(d, samples::kBootMouse);
    EXPECT_EQ(c.caps.inputReportByteLength, 4);
    EXPECT_EQ(c.caps.outputReportByteLength, 0);
    EXPECT_EQ(c.linkCollections, 2);
    ASSERT_EQ(c.buttonCaps[kIn].size(), 1u);
    EXPECT_EQ(c.buttonCaps[kIn][0].usagePage, 0x09);
    EXPECT_EQ(c.buttonCaps[kIn][0].linkCollection, 1);
    EXPECT_EQ(c.buttonCaps[kIn][0].linkUsage, 0x01);
    ASSERT_EQ(c.valueCaps[kIn].size(), 2u);
    EXPECT_EQ(c.valueCaps[kIn][0].usageMin, 0x30);
    EXPECT_EQ(c.valueCaps[kIn][1].usageMin, 0x31);
    EXPECT_EQ(c.valueCaps[kIn][0].bitOffset, 8u);
    EXPECT_EQ(c.valueCaps[kIn][1].bitOffset, 16u);
    EXPECT_EQ(c.valueCaps[kIn][0].logicalMin, -127);
    EXPECT_EQ(c.valueCaps[kIn][0].logicalMax, 127);
    EXPECT_FALSE(c.valueCaps[kIn][0].isAbsolute);
    EXPECT_EQ(c.caps.numberInputButtonCaps, 1);
    EXPECT_EQ(c.caps.numberInputValueCaps, 2);
}

TEST(HidReportDescriptor, JoystickValuesUnitsAndNullState)
{
    HidReportDescriptor d;
    const auto& c = ParseOne(d, samples::kJoystick);
    EXPECT_EQ(c.caps.inputReportByteLength, 4);
    ASSERT_EQ(c.valueCaps[kIn].size(), 3u);
    const auto& hat = c.valueCaps[kIn][2];
    EXPECT_EQ(hat.usageMin, 0x39);
    EXPECT_TRUE(hat.hasNull);
    EXPECT_EQ(hat.units, 0x14u);
    EXPECT_EQ(hat.physicalMax, 270);
    EXPECT_EQ(c.valueCaps[kIn][0].physicalMax, 255); // 0x46 0xFF 0x00 is 255, not -1
    ASSERT_EQ(c.buttonCaps[kIn].size(), 1u);
    EXPECT_EQ(c.buttonCaps[kIn][0].bitOffset, 20u);
}

TEST(HidReportDescriptor, ConsumerControlBitsValueAndArray)
{
    HidReportDescriptor d;
    const auto& c = ParseOne(d, samples::kConsumerControl);
    EXPECT_EQ(c.usagePage, 0x0C);
    EXPECT_EQ(c.caps.inputReportByteLength, 1 + 1 + 1 + 4);
    // Three single-usage bits, then the usage array.
    ASSERT_EQ(c.buttonCaps[kIn].size(), 4u);
    EXPECT_EQ(c.buttonCaps[kIn][2].usageMin, 0xE2);
    EXPECT_EQ(c.buttonCaps[kIn][2].bitOffset, 2u);
    EXPECT_TRUE(c.buttonCaps[kIn][3].isArray);
    EXPECT_EQ(c.buttonCaps[kIn][3].usageMax, 0x23C);
    ASSERT_EQ(c.valueCaps[kIn].size(), 1u);
    EXPECT_EQ(c.valueCaps[kIn][0].bitSize, 7u);
    EXPECT_EQ(c.valueCaps[kIn][0].bitOffset, 8u);
    EXPECT_EQ(HidReportDecoder::MaxUsageListLength(c, HidReportType::Input, 0x0C), 5u);
}

TEST(HidReportDescriptor, MultiCollectionKeyboardWithReportIds)
{
    HidReportDescriptor d;
    ASSERT_TRUE(d.Parse(samples::kMultiKeyboard)) << d.Error();
    EXPECT_TRUE(d.UsesReportIds());
    ASSERT_EQ(d.Collections().size(), 4u);
    struct Row { uint16_t page, usage, in, out, feat; uint8_t id; };
    const Row rows[] = {{0x01, 0x06, 9, 2, 0, 1}, {0x0C, 0x01, 3, 0, 0, 2}, {0x01, 0x80, 2, 0, 0, 3}, {0xFF00, 0x01, 0, 0, 8, 5}};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const auto& c = d.Collections()[i];
        EXPECT_EQ(c.usagePage, rows[i].page);
        EXPECT_EQ(c.usage, rows[i].usage);
        EXPECT_EQ(c.caps.inputReportByteLength, rows[i].in);
        EXPECT_EQ(c.caps.outputReportByteLength, rows[i].out);
        EXPECT_EQ(c.caps.featureReportByteLength, rows[i].feat);
        for (int t = 0; t < 3; ++t)
            for (const auto& b : c.buttonCaps[t])
                EXPECT_EQ(b.reportId, rows[i].id);
    }
    EXPECT_EQ(d.FindCollection(HidReportType::Input, 2), 1);
    EXPECT_EQ(d.FindCollection(HidReportType::Feature, 5), 3);
    EXPECT_EQ(d.FindCollection(HidReportType::Input, 5), -1);
    EXPECT_EQ(d.FindCollection(HidReportType::Input, 9), -1);
    // Each collection numbers its data indices from 0.
    EXPECT_EQ(d.Collections()[2].buttonCaps[kIn][0].dataIndexMin, 0);
}

TEST(HidReportDescriptor, GlobalsPushPopExtendedUsagesDelimitersAndLongItems)
{
    const std::vector<uint8_t> bytes = {
        0x05, 0x01, 0x09, 0x05, 0xA1, 0x01,
        0xFE, 0x02, 0x10, 0xAA, 0xBB,                    // long item, skipped
        0xA4,                                            // push
        0x05, 0x09, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x02,
        0xA9, 0x01, 0x19, 0x01, 0x29, 0x02, 0x09, 0x07, 0xA9, 0x00, // delimiter: only the first usage counts
        0x81, 0x02,
        0xB4,                                            // pop: back to the desktop page
        0x0B, 0x35, 0x00, 0x01, 0x00,                    // extended usage: page 1, usage 0x35
        0x15, 0x00, 0x26, 0xFF, 0x0F, 0x75, 0x0C, 0x95, 0x01, 0x81, 0x02,
        0x75, 0x02, 0x81, 0x01,
        0xC0};
    HidReportDescriptor d;
    const auto& c = ParseOne(d, bytes);
    EXPECT_EQ(c.caps.inputReportByteLength, 3);
    ASSERT_EQ(c.buttonCaps[kIn].size(), 1u);
    EXPECT_EQ(c.buttonCaps[kIn][0].usagePage, 0x09);
    EXPECT_EQ(c.buttonCaps[kIn][0].usageMin, 1);
    EXPECT_EQ(c.buttonCaps[kIn][0].usageMax, 2);
    ASSERT_EQ(c.valueCaps[kIn].size(), 1u);
    EXPECT_EQ(c.valueCaps[kIn][0].usagePage, 0x01);
    EXPECT_EQ(c.valueCaps[kIn][0].usageMin, 0x35);
    EXPECT_EQ(c.valueCaps[kIn][0].logicalMax, 4095);
    EXPECT_EQ(c.valueCaps[kIn][0].bitOffset, 2u);
}

TEST(HidReportDescriptor, MalformedInputIsRefused)
{
    struct Case { const char* name; std::vector<uint8_t> bytes; };
    std::vector<uint8_t> deep;
    for (int i = 0; i < 40; ++i)
        deep.insert(deep.end(), {0xA1, 0x00});
    std::vector<uint8_t> pushes = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01};
    for (int i = 0; i < 20; ++i)
        pushes.push_back(0xA4);
    const Case cases[] = {
        {"empty", {}},
        {"prefix without data", {0x05}},
        {"item longer than the rest", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x26, 0xFF}},
        {"four-byte item cut short", {0x05, 0x01, 0x27, 0xFF, 0xFF}},
        {"long item past the end", {0x05, 0x01, 0xFE, 0x10, 0x00, 0x01}},
        {"collection not closed", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01}},
        {"end without collection", {0x05, 0x01, 0xC0}},
        {"no collection at all", {0x05, 0x01, 0x09, 0x02}},
        {"field outside a collection", {0x75, 0x08, 0x95, 0x01, 0x81, 0x02}},
        {"absurd report count", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x08, 0x97, 0xFF, 0xFF, 0xFF, 0x7F, 0x81, 0x02, 0xC0}},
        {"report longer than allowed", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x20, 0x96, 0x00, 0x10, 0x81, 0x02, 0xC0}},
        {"report size 64", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x40, 0x95, 0x01, 0x81, 0x02, 0xC0}},
        {"report ID 0", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x00, 0xC0}},
        {"report ID after fields without one",
         {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0x85, 0x01, 0x81, 0x02, 0xC0}},
        {"pop without push", {0x05, 0x01, 0xB4}},
        {"push overflow", pushes},
        {"nested too deep", deep},
        {"inverted usage range", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x19, 0x10, 0x29, 0x01, 0x75, 0x01, 0x95, 0x01, 0x81, 0x02, 0xC0}},
        {"inverted logical range on an array",
         {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x15, 0x10, 0x25, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x00, 0xC0}},
        {"descriptor too large", std::vector<uint8_t>(5000, 0xA4)},
    };
    for (const auto& c : cases) {
        HidReportDescriptor d;
        EXPECT_FALSE(d.Parse(c.bytes)) << c.name;
        EXPECT_FALSE(d.Error().empty()) << c.name;
        EXPECT_TRUE(d.Collections().empty()) << c.name;
    }
}

// A game pad that pads with a zero-bit item (Report Size 0, Report Count 1, Input Constant) and
// has a zero-bit data field: both add no bits and no capability, so it parses exactly like the
// same pad without them. A field with no Report Size given at all stays refused.
TEST(HidReportDescriptor, ZeroSizeItemsAddNothing)
{
    const std::vector<uint8_t> head = {
        0x05, 0x01, 0x09, 0x05, 0xA1, 0x01, 0x85, 0x01,
        0x09, 0x30, 0x09, 0x31, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02};
    const std::vector<uint8_t> zeroItems = {
        0x75, 0x00, 0x95, 0x01, 0x81, 0x03,        // zero-bit padding
        0x09, 0x32, 0x75, 0x00, 0x95, 0x01, 0x81, 0x02}; // zero-bit data field with a usage
    const std::vector<uint8_t> tail = {
        0x05, 0x09, 0x19, 0x01, 0x29, 0x08, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xC0};
    std::vector<uint8_t> plain = head, padded = head;
    plain.insert(plain.end(), tail.begin(), tail.end());
    padded.insert(padded.end(), zeroItems.begin(), zeroItems.end());
    padded.insert(padded.end(), tail.begin(), tail.end());

    HidReportDescriptor a, b;
    const HidTopCollection& ca = ParseOne(a, plain);
    const HidTopCollection& cb = ParseOne(b, padded);
    EXPECT_EQ(cb.caps.inputReportByteLength, 4); // ID, X, Y, buttons
    EXPECT_EQ(cb.caps.inputReportByteLength, ca.caps.inputReportByteLength);
    EXPECT_EQ(cb.caps.numberInputButtonCaps, ca.caps.numberInputButtonCaps);
    EXPECT_EQ(cb.caps.numberInputValueCaps, ca.caps.numberInputValueCaps);
    ASSERT_EQ(cb.buttonCaps[kIn].size(), 1u);
    EXPECT_EQ(cb.buttonCaps[kIn][0].bitOffset, 16u); // buttons right after X and Y
    for (const auto& v : cb.valueCaps[kIn])
        EXPECT_NE(v.usageMin, 0x32) << "a zero-bit field must not become a capability";

    HidReportDescriptor missing;
    EXPECT_FALSE(missing.Parse({0x05, 0x01, 0x09, 0x05, 0xA1, 0x01, 0x95, 0x01, 0x81, 0x03, 0xC0}));
}

// Mutated real descriptors never crash the parser, and whatever parses stays inside the limits.
TEST(HidReportDescriptor, MutatedDescriptorsStayWithinLimits)
{
    std::mt19937 rng(501);
    const std::vector<uint8_t>* seeds[] = {&samples::kBootKeyboard, &samples::kBootMouse, &samples::kJoystick,
                                           &samples::kConsumerControl, &samples::kMultiKeyboard};
    int parsed = 0;
    for (int i = 0; i < 20000; ++i) {
        std::vector<uint8_t> bytes = *seeds[i % 5];
        int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            size_t at = rng() % (bytes.size() + 1);
            switch (rng() % 3) {
            case 0: if (at < bytes.size()) bytes[at] = static_cast<uint8_t>(rng()); break;
            case 1: bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<uint8_t>(rng())); break;
            default: bytes.resize(at); break;
            }
        }
        HidReportDescriptor d;
        if (!d.Parse(bytes))
            continue;
        ++parsed;
        for (const auto& c : d.Collections()) {
            size_t items = 0;
            for (int t = 0; t < 3; ++t) {
                items += c.buttonCaps[t].size();
                for (const auto& v : c.valueCaps[t]) {
                    ASSERT_LE(v.usageMin, v.usageMax);
                    items += v.usageMax - v.usageMin + 1u;
                    ASSERT_LE(v.bitSize, 32u);
                }
            }
            ASSERT_LE(items, HidReportDescriptor::kMaxDataItems);
        }
    }
    EXPECT_GT(parsed, 100); // the mutations do not only produce garbage
}

// ---- decoding ----

TEST(HidReportDecoder, BootKeyboardUsagesFromBitmapAndArray)
{
    HidReportDescriptor d;
    const auto& c = ParseOne(d, samples::kBootKeyboard);
    const uint8_t report[] = {0x00, 0x22, 0x00, 0x04, 0x05, 0x00, 0x00, 0x00, 0x00}; // left and right shift; A, B
    std::vector<uint16_t> usages;
    EXPECT_EQ(HidReportDecoder::GetUsages(c, HidReportType::Input, 0x07, report, sizeof(report), usages), nq::kHidStatusSuccess);
    EXPECT_EQ(usages, (std::vector<uint16_t>{0xE1, 0xE5, 0x04, 0x05}));
    // Another page has none of them.
    HidReportDecoder::GetUsages(c, HidReportType::Input, 0x09, report, sizeof(report), usages);
    EXPECT_TRUE(usages.empty());
}

TEST(HidReportDecoder, RawAndScaledValues)
{
    HidReportDescriptor d;
    const auto& c = ParseOne(d, samples::kJoystick);
    struct Case { uint8_t x; uint8_t hatAndButtons; int32_t scaledX; uint32_t hatStatus; int32_t scaledHat; };
    const Case cases[] = {
        {0x81, 0x00, 0, nq::kHidStatusSuccess, 0},      // X at logical minimum -> physical 0
        {0x7F, 0x02, 255, nq::kHidStatusSuccess, 180},   // maximum; hat 2 of 0..3 -> 180 degrees
        {0x00, 0x0F, 127, nq::kHidStatusNull, 0},        // hat outside its range: the null state
    };
    for (const auto& k : cases) {
        const uint8_t report[] = {0x00, k.x, 0x00, k.hatAndButtons};
        uint32_t raw = 0;
        int32_t scaled = -1;
        ASSERT_EQ(HidReportDecoder::GetUsageValue(c, HidReportType::Input, 0x01, 0x30, report, sizeof(report), raw), nq::kHidStatusSuccess);
        EXPECT_EQ(raw, k.x);
        EXPECT_EQ(HidReportDecoder::GetScaledUsageValue(c, HidReportType::Input, 0x01, 0x30, report, sizeof(report), scaled), nq::kHidStatusSuccess);
        EXPECT_EQ(scaled, k.scaledX);
        EXPECT_EQ(HidReportDecoder::GetScaledUsageValue(c, HidReportType::Input, 0x01, 0x39, report, sizeof(report), scaled), k.hatStatus);
        if (k.hatStatus == nq::kHidStatusSuccess)
            EXPECT_EQ(scaled, k.scaledHat);
    }
    const uint8_t shortReport[] = {0x00, 0x10};
    uint32_t raw = 0;
    EXPECT_EQ(HidReportDecoder::GetUsageValue(c, HidReportType::Input, 0x01, 0x31, shortReport, sizeof(shortReport), raw),
              nq::kHidStatusInvalidReportLength);
    EXPECT_EQ(HidReportDecoder::GetUsageValue(c, HidReportType::Input, 0x01, 0x32, shortReport, sizeof(shortReport), raw),
              nq::kHidStatusUsageNotFound);
}

TEST(HidReportDecoder, UsageArrayWithReportId)
{
    HidReportDescriptor d;
    ASSERT_TRUE(d.Parse(samples::kMultiKeyboard));
    const auto& consumer = d.Collections()[1];
    const uint8_t notice[] = {0x02, 0xE9, 0x00}; // volume up
    std::vector<uint16_t> usages;
    HidReportDecoder::GetUsages(consumer, HidReportType::Input, 0x0C, notice, sizeof(notice), usages);
    EXPECT_EQ(usages, std::vector<uint16_t>{0xE9});
    const uint8_t release[] = {0x02, 0x00, 0x00};
    HidReportDecoder::GetUsages(consumer, HidReportType::Input, 0x0C, release, sizeof(release), usages);
    EXPECT_TRUE(usages.empty());
    const uint8_t outOfRange[] = {0x02, 0xFF, 0x7F};
    HidReportDecoder::GetUsages(consumer, HidReportType::Input, 0x0C, outOfRange, sizeof(outOfRange), usages);
    EXPECT_TRUE(usages.empty());
    const uint8_t otherReport[] = {0x03, 0xE9, 0x00};
    HidReportDecoder::GetUsages(consumer, HidReportType::Input, 0x0C, otherReport, sizeof(otherReport), usages);
    EXPECT_TRUE(usages.empty());
}

// ---- the describe output ----

TEST(HidDescriptorReport, DescribeAgreesWithTheParser)
{
    HidReportDescriptor d;
    ASSERT_TRUE(d.Parse(samples::kMultiKeyboard));
    Json::Value v = nq::HidDescriptorReport::Describe(d);
    ASSERT_EQ(v["collections"].size(), 4u);
    const Json::Value& kb = v["collections"][0];
    EXPECT_EQ(kb["index"].asInt(), 1);
    EXPECT_EQ(kb["usagePage"].asInt(), 1);
    EXPECT_EQ(kb["usage"].asInt(), 6);
    ASSERT_EQ(kb["reportIds"].size(), 1u);
    EXPECT_EQ(kb["reportIds"][0].asInt(), 1);
    EXPECT_EQ(kb["inputLength"].asInt(), 9);
    EXPECT_EQ(kb["outputLength"].asInt(), 2);
    EXPECT_EQ(kb["buttonCaps"]["input"].asInt(), 2);
    EXPECT_EQ(kb["buttonCaps"]["output"].asInt(), 1);
    EXPECT_EQ(kb["valueCaps"]["input"].asInt(), 0);
    const Json::Value& vendor = v["collections"][3];
    EXPECT_EQ(vendor["usagePage"].asInt(), 0xFF00);
    EXPECT_EQ(vendor["featureLength"].asInt(), 8);
    EXPECT_EQ(vendor["valueCaps"]["feature"].asInt(), 1);
    EXPECT_EQ(vendor["dataItems"]["feature"].asInt(), 1);

    HidReportDescriptor boot;
    ASSERT_TRUE(boot.Parse(samples::kBootMouse));
    Json::Value m = nq::HidDescriptorReport::Describe(boot);
    EXPECT_EQ(m["collections"][0]["reportIds"].size(), 0u);
    EXPECT_EQ(m["collections"][0]["dataItems"]["input"].asInt(), 3);
}

TEST(HidDescriptorReport, HexTextForms)
{
    struct Case { const char* text; std::vector<uint8_t> bytes; bool ok; };
    const Case cases[] = {
        {"05 01 09 06", {0x05, 0x01, 0x09, 0x06}, true},
        {"0x05, 0x01,\n0xA1 0x01", {0x05, 0x01, 0xA1, 0x01}, true},
        {"050109", {0x05, 0x01, 0x09}, true},
        {"c0", {0xC0}, true},
        {"05 0g", {}, false},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> out;
        EXPECT_EQ(nq::HidDescriptorReport::DecodeHexText(c.text, out), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(out, c.bytes) << c.text;
    }
}

} // namespace
