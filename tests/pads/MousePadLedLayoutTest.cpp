// The LED layout data files of the pad pictures: the shipped ones, and files that must not give a
// picture at all.
#include "devices/MousePadLedLayout.h"
#include "profiles/JsonFile.h"

#include <gtest/gtest.h>

#include <json/reader.h>

#include <cstdlib>
#include <filesystem>

namespace {

using nq::MousePadLedLayout;

TEST(MousePadLedLayout, ShippedLayoutsPutFifteenLedsOnThePadsEdge)
{
    for (const char* name : {"mousepad_leds.json", "chargepad_leds.json"}) {
        SCOPED_TRACE(name);
        const auto layout = MousePadLedLayout::Load(std::string(NQ501_SOURCE_DIR "/skin/XML/DeviceXml/") + name);
        ASSERT_TRUE(layout);
        ASSERT_EQ(layout->leds.size(), 15u);
        const MousePadLedLayout::Rect& b = layout->body;
        for (const auto& led : layout->leds) {
            const bool onEdge = led.x == b.x || led.x == b.x + b.width || led.y == b.y || led.y == b.y + b.height;
            EXPECT_TRUE(onEdge) << led.x << "," << led.y;
        }
        // The pairs of the pair sweep face each other across the pad: (1, 14) ... (7, 8).
        for (int i = 1; i <= 7; ++i)
            EXPECT_EQ(layout->leds[i].x, layout->leds[15 - i].x) << i;
        EXPECT_EQ(layout->charger.has_value(), std::string(name) == "chargepad_leds.json");
    }
}

TEST(MousePadLedLayout, AnyBadValueRejectsTheWholeFile)
{
    char pattern[] = "/tmp/nq501-padlayout-XXXXXX";
    const std::string folder = std::string(::mkdtemp(pattern)) + "/";
    const std::string good = R"({"width": 100, "height": 60, "ledSize": 8,
        "body": {"x": 5, "y": 5, "width": 90, "height": 50, "radius": 6},
        "leds": [[5, 30], [50, 5]]})";
    auto parse = [](const std::string& text) {
        Json::Value value;
        Json::Reader().parse(text, value);
        return value;
    };
    ASSERT_TRUE(nq::WriteJsonFile(folder + "good.json", parse(good)));
    ASSERT_TRUE(MousePadLedLayout::Load(folder + "good.json"));

    struct Case {
        const char* what;
        const char* member;
        const char* value;
    } cases[] = {
        {"no width", "width", "null"},
        {"a fraction", "ledSize", "7.5"},
        {"a negative body", "body", R"({"x": -1, "y": 5, "width": 90, "height": 50})"},
        {"an LED outside the picture", "leds", "[[5, 30], [101, 5]]"},
        {"an LED with three numbers", "leds", "[[5, 30, 1]]"},
        {"an LED as text", "leds", R"(["5,30"])"},
        {"a charger without a size", "charger", R"({"x": 1, "y": 1})"},
        {"a huge picture", "height", "40000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Json::Value document = parse(good);
        document[c.member] = parse(std::string("{\"v\": ") + c.value + "}")["v"];
        ASSERT_TRUE(nq::WriteJsonFile(folder + "bad.json", document));
        EXPECT_FALSE(MousePadLedLayout::Load(folder + "bad.json"));
    }
    EXPECT_FALSE(MousePadLedLayout::Load(folder + "missing.json"));
    std::filesystem::remove_all(folder);
}

} // namespace
