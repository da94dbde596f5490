// How the getters read a device node: zones, flags, packing, widths, missing and wrong-typed members.
#include "ProfileTestFolder.h"

#include "profiles/CKeyboardProfiledata.h"
#include "profiles/CMouseProfiledata.h"
#include "profiles/CVa6533Profiledata.h"
#include "profiles/JsonFile.h"

namespace {

using ProfileReading = ProfileTestFolder;

template <class Profile>
void Use(Profile& profile, const std::string& nodeText)
{
    profile.SetNode(nq::ParseJsonText(nodeText));
}

TEST_F(ProfileReading, EachSectionFillsOnlyItsZone)
{
    nq::CKeyboardProfiledata profile;
    Use(profile, R"({"LogoLightInfo": {"SelectItem": 3, "Fx": 1}, "LightInfo": {"SelectItem": 9, "ZZCCLedMode": 2},
                     "StLightInfo": {"Blue": 77, "RGBdengoffon": 1, "ZZCCLedMode": 5}})");
    nq::LightSetting logo;
    logo[12] = 3;
    logo[15] = 1;
    EXPECT_EQ(profile.GetLogoLightInfo(), logo);
    EXPECT_EQ(profile.LogoLightInfo(), logo);

    nq::LightSetting main;
    main[0] = 9;
    main[11] = 2;
    EXPECT_EQ(profile.GetLightInfo(), main);

    nq::LightSetting st;
    st[29] = 77;  // keys of other zones are not read into the St record
    EXPECT_EQ(profile.GetStLightInfo(), st);
}

TEST_F(ProfileReading, SetLightInfoReplacesTheSectionWithItsZoneKeys)
{
    nq::CBasicProfiledata profile;
    Use(profile, R"({"LightInfo": {"Old": 1, "SelectItem": 4}, "Other": true})");
    nq::LightSetting record;
    record[nq::LightSetting::kMultiColour] = 1;
    record[nq::LightSetting::kLogo] = 6;  // another zone: not written
    profile.SetLightInfo(record);

    const Json::Value& section = profile.GetNode()["LightInfo"];
    EXPECT_EQ(section, Parse(R"({"SelectItem": 0, "Light": 0, "Speed": 0, "Fx": 0, "MultiColor": 1,
                                   "Red": 0, "Green": 0, "Blue": 0, "ZZCCLedMode": 0})"));
    EXPECT_TRUE(profile.GetNode()["Other"].asBool());
    EXPECT_EQ(profile.LightInfo(), record);  // the cached record is the whole record as given

    profile.SetLogoLightInfo(record);
    EXPECT_EQ(profile.GetNode()["LogoLightInfo"]["SelectItem"].asInt(), 6);
    EXPECT_TRUE(profile.GetNode()["LogoLightInfo"].isMember("RGBdengoffon"));
    EXPECT_FALSE(profile.GetNode()["LogoLightInfo"].isMember("ZZCCLedMode"));
}

TEST_F(ProfileReading, MultiColorIsAFlagAndOtherNumbersAreCutToTheirWidth)
{
    struct Case {
        const char* json;  // a "LightInfo" member value
        const char* key;
        int byteIndex;
        uint8_t expected;
    };
    const Case cases[] = {
        {"2", "MultiColor", 4, 1},        {"true", "MultiColor", 4, 1},  {"0", "MultiColor", 4, 0},
        {"-3", "MultiColor", 4, 1},       {"300", "SelectItem", 0, 44},  {"-1", "Red", 5, 255},
        {"3.7", "Light", 1, 3},           {"1e30", "Blue", 7, 0},        {"18446744073709551615", "Green", 6, 255},
        {"\"12\"", "Speed", 2, 0},        {"[1]", "Fx", 3, 0},           {"null", "ZZCCLedMode", 11, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + c.json);
        nq::CBasicProfiledata profile;
        Use(profile, std::string(R"({"LightInfo": {")") + c.key + "\": " + c.json + "}}");
        EXPECT_EQ(profile.GetLightInfo()[c.byteIndex], c.expected);
    }

    nq::CMouseProfiledata mouse;
    Use(mouse, R"({"DPIStages": {"StageActive": 258, "StageDPIs": [{"StageDPIX": 70000, "StageDPIY": -1}]}})");
    const auto stages = mouse.GetDpiStages();
    ASSERT_EQ(stages.size(), 1u);
    EXPECT_EQ(stages[0].dpiX, 70000 & 0xFFFF);
    EXPECT_EQ(stages[0].dpiY, 0xFFFF);
    EXPECT_EQ(mouse.GetActiveStage(), 2);

    nq::CKeyboardProfiledata keyboard;
    Use(keyboard, R"({"SystemStages": {"Repeat": 65537, "RepeatDelay": 500},
                      "CustomLightMode": {"CustomLightModeGroupIndex": 2000000000}})");
    EXPECT_EQ(keyboard.GetSystemWords().words[0], 500u * 65536u + 1u);
    EXPECT_EQ(keyboard.GetCustomGroupIndex(), 2000000000 & 0xFF);
}

TEST_F(ProfileReading, KeyListPackingAndWriting)
{
    nq::CMouseProfiledata profile;
    Use(profile, R"({"KeyList": [{"Assignment": 65793, "DefaultAssignment": 0},
                                 {"Assignment": 1048832, "DefaultAssignment": 1048832, "Extra": 1},
                                 {"Assignment": 1, "DefaultAssignment": 2}]})");
    auto keys = profile.GetKeyList();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].current.keyIndex, 0);
    EXPECT_EQ(keys[0].current.code, 1);
    EXPECT_EQ(keys[0].current.param1, 1);
    EXPECT_EQ(keys[0].current.param2, 1);
    EXPECT_EQ(keys[0].defaults, nq::KeyAssignment{});
    EXPECT_EQ(keys[1].current.keyIndex, 1);
    EXPECT_EQ(keys[1].defaults.code, 0x10);
    EXPECT_EQ(keys[1].defaults.param1, 0x01);

    // Writing: only "Assignment" of the given positions; defaults and later elements stay.
    keys.resize(2);
    keys[0].current = nq::KeyAssignment::FromPacked(0, 0x130100);
    keys[1].defaults = nq::KeyAssignment::FromPacked(1, 0x999999);
    profile.SetKeyList(keys);
    EXPECT_EQ(profile.GetNode()["KeyList"], Parse(R"([{"Assignment": 1245440, "DefaultAssignment": 0},
        {"Assignment": 1048832, "DefaultAssignment": 1048832, "Extra": 1},
        {"Assignment": 1, "DefaultAssignment": 2}])"));
    EXPECT_EQ(profile.KeyList().size(), 2u);
}

// Missing and wrong-typed sections read as absent: zero records, empty lists, no exception.
TEST_F(ProfileReading, MissingOrWrongTypedSectionsReadAsAbsent)
{
    const char* nodes[] = {
        "null",
        "{}",
        "[1, 2]",
        R"("text")",
        R"({"LightInfo": [1], "LogoLightInfo": 5, "StLightInfo": "x", "KeyList": {"0": {}}, "LightList": {},
            "SystemStages": [], "CustomLightMode": [], "DPIStages": [], "ReportStages": 7, "CorrectInfo": "x",
            "SystemSetStages": 3, "CustomEQNameInfo": {"Name": "x"}})",
        R"({"KeyList": [7, "x", null], "DPIStages": {"StageDPIs": {"StageDPIX": 4}, "StageActive": "2"},
            "CorrectInfo": [3], "CustomEQNameInfo": [{"Name": 5}], "SystemStages": {"Repeat": {}}})",
    };
    for (const char* text : nodes) {
        SCOPED_TRACE(text);
        const Json::Value node = nq::ParseJsonText(text);

        nq::CKeyboardProfiledata keyboard;
        keyboard.SetNode(node);
        EXPECT_EQ(keyboard.GetLightInfo(), nq::LightSetting{});
        EXPECT_EQ(keyboard.GetLogoLightInfo(), nq::LightSetting{});
        EXPECT_EQ(keyboard.GetStLightInfo(), nq::LightSetting{});
        EXPECT_TRUE(keyboard.GetLightList().empty());
        EXPECT_EQ(keyboard.GetSystemWords(), nq::KeyboardSystemWords{});
        EXPECT_EQ(keyboard.GetCustomGroupIndex(), 0);
        for (const nq::KeyEntry& entry : keyboard.GetKeyList())
            EXPECT_EQ(entry.current.Packed(), 0u);

        nq::CMouseProfiledata mouse;
        mouse.SetNode(node);
        EXPECT_TRUE(mouse.GetDpiStages().empty());
        EXPECT_EQ(mouse.GetActiveStage(), 0);
        EXPECT_EQ(mouse.GetSystemWords(), nq::MouseSystemWords{});
        for (const nq::CorrectEntry& entry : mouse.GetCorrectList())
            EXPECT_EQ(entry, nq::CorrectEntry{});

        nq::CVa6533Profiledata headset;
        headset.SetNode(node);
        EXPECT_EQ(headset.GetSystemSettings(), nq::HeadsetSystemSettings{});
        for (const std::string& name : headset.GetCustomEqNames())
            EXPECT_EQ(name, "");
        EXPECT_EQ(headset.GetEqValues(3), std::vector<int>(10, 0));
    }
}

TEST_F(ProfileReading, SettersRepairWrongTypedSections)
{
    nq::CMouseProfiledata profile;
    Use(profile, R"({"DPIStages": "broken", "SystemStages": 4, "KeyList": {"x": 1}})");
    profile.SetDpiStages({{1, 0, 8, 8, 1, 2, 3}});
    profile.SetActiveStage(0);
    profile.SetSystemWords(1, 2, 3);
    profile.SetKeyList({nq::KeyEntry{}});
    EXPECT_EQ(profile.GetDpiStages().size(), 1u);
    EXPECT_EQ(profile.GetSystemWords().words[2], 3u);
    EXPECT_EQ(profile.GetKeyList().size(), 1u);

    nq::CBasicProfiledata nothingLoaded;  // a setter on an empty object makes the node an object
    nothingLoaded.SetLightInfo(nq::LightSetting{});
    EXPECT_TRUE(nothingLoaded.GetNode().isObject());
}

TEST_F(ProfileReading, KeyboardWordsAndCustomColours)
{
    nq::CKeyboardProfiledata profile;
    Use(profile, R"({"SystemStages": {"Repeat": 30, "RepeatDelay": 500, "Key6Flag": 1, "PollingRate": 3,
                     "WFlag": 1, "WinFlag": 2, "ScanDelay": 1},
                     "CustomLightMode": {"LightColorInfo": [[{"Red": 1, "Green": 2, "Blue": 3, "Alpha": 4}, 7]]}})");
    const nq::KeyboardSystemWords words = profile.GetSystemWords();
    EXPECT_EQ(words.words[0], 500u * 65536u + 30u);
    EXPECT_EQ(words.words[1], 3u * 65536u + 1u);
    EXPECT_EQ(words.words[2], 2u * 65536u + 1u);
    EXPECT_EQ(words.words[3], 1u);

    // Group 0: entry 0 read, entry 1 (not an object) and entry 2 (missing) written as zeros.
    const auto colours = profile.GetCustomColors(0, 3);
    EXPECT_EQ(colours, (std::vector<nq::RgbaColor>{{1, 2, 3, 4}, {}, {}}));
    const Json::Value zero = Parse(R"({"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0})");
    const Json::Value& group0 = profile.GetNode()["CustomLightMode"]["LightColorInfo"][0];
    EXPECT_EQ(group0[1], zero);
    EXPECT_EQ(group0[2], zero);

    // A missing group is created with zero colours.
    EXPECT_EQ(profile.GetCustomColors(2, 2), std::vector<nq::RgbaColor>(2));
    EXPECT_EQ(profile.GetNode()["CustomLightMode"]["LightColorInfo"][2], Parse(R"([
        {"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0}, {"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0}])"));

    // A group number beyond a byte neither reads nor grows the file.
    const Json::Value before = profile.GetNode();
    EXPECT_EQ(profile.GetCustomColors(1 << 30, 4), std::vector<nq::RgbaColor>(4));
    EXPECT_EQ(profile.GetCustomColors(-1, 4), std::vector<nq::RgbaColor>(4));
    profile.SetCustomColors({{1, 1, 1, 1}}, 1 << 30);
    EXPECT_EQ(profile.GetNode(), before);
}

TEST_F(ProfileReading, DpiStagesUpdateTheCachedListInPlace)
{
    const auto stagesText = [](int count, int dpi) {
        std::string text = R"({"DPIStages": {"StageActive": 1, "StageDPIs": [)";
        for (int i = 0; i < count; ++i)
            text += std::string(i ? "," : "") + "{\"StageDPIX\": " + std::to_string(dpi + i) + "}";
        return text + "]}}";
    };
    nq::CMouseProfiledata profile;
    Use(profile, stagesText(6, 100));
    ASSERT_EQ(profile.GetDpiStages().size(), 6u);
    Use(profile, stagesText(4, 200));
    const auto stages = profile.GetDpiStages();
    ASSERT_EQ(stages.size(), 6u);
    EXPECT_EQ(stages[0].dpiX, 200);
    EXPECT_EQ(stages[3].dpiX, 203);
    EXPECT_EQ(stages[4].dpiX, 104);
    EXPECT_EQ(stages[5].dpiX, 105);
    EXPECT_EQ(profile.GetActiveStage(), 1);
}

TEST_F(ProfileReading, MouseWordsNeedSystemStagesAndCorrectionList)
{
    nq::CMouseProfiledata profile;
    Use(profile, R"({"ReportStages": {"StageActive": 3}})");
    EXPECT_EQ(profile.GetSystemWords(), nq::MouseSystemWords{});  // no "SystemStages": all zero

    Use(profile, R"({"SystemStages": {"DoubleClickTime": 500, "MouseSpeed": 10, "PointerPrecision": 1,
                     "ScorllPage": 1, "WheelScorlllinse": 3},
                     "CorrectInfo": [{"CorrectPixThresh": 8, "CorrectMinSq": 4, "CorrectSelect": 1,
                                      "CorrectName": "Caf\u00e9"}]})");
    const nq::MouseSystemWords words = profile.GetSystemWords();
    EXPECT_EQ(words.words[0], 10u * 65536u + 500u);
    EXPECT_EQ(words.words[1], 65536u + 1u);
    EXPECT_EQ(words.words[2], 3u);  // no "ReportStages": the high half stays 0
    EXPECT_EQ(profile.GetCorrectList(), (std::vector<nq::CorrectEntry>{{8, 4, 1, "Caf\xC3\xA9"}}));

    profile.SetSystemWords(words.words[0], words.words[1], 0x00020003u);
    EXPECT_EQ(profile.GetNode()["ReportStages"]["StageActive"].asInt(), 2);
    EXPECT_EQ(profile.GetNode()["SystemStages"]["WheelScorlllinse"].asInt(), 3);
}

TEST_F(ProfileReading, HeadsetEqualiserPositions)
{
    EXPECT_EQ(nq::CVa6533Profiledata::EqPresetPosition(0), 1);
    EXPECT_EQ(nq::CVa6533Profiledata::EqPresetPosition(20), 1);
    EXPECT_EQ(nq::CVa6533Profiledata::EqPresetPosition(-4), 1);
    EXPECT_EQ(nq::CVa6533Profiledata::EqPresetPosition(12), 12);
    EXPECT_EQ(nq::CVa6533Profiledata::EqPresetPosition(13), -1);

    nq::CVa6533Profiledata profile;
    Use(profile, R"({"EQHzValueInfo": [[], [{"value": 1}, {"value": 2}, {"value": 3}, {"value": 4}, {"value": 5},
                     {"value": 6}, {"value": 7}, {"value": 8}, {"value": 9}, {"value": -10}]]})");
    const std::vector<int> first = {1, 2, 3, 4, 5, 6, 7, 8, 9, -10};
    EXPECT_EQ(profile.GetEqValues(0), first);
    EXPECT_EQ(profile.GetEqValues(20), first);

    const Json::Value before = profile.GetNode();
    EXPECT_TRUE(profile.GetEqValues(13).empty());
    profile.SetEqValues(13, first);
    EXPECT_EQ(profile.GetNode(), before);

    // A missing curve reads as zeros and is created in the node.
    EXPECT_EQ(profile.GetEqValues(5), std::vector<int>(10, 0));
    EXPECT_EQ(profile.GetNode()["EQHzValueInfo"].size(), 6u);
    EXPECT_EQ(profile.GetNode()["EQHzValueInfo"][5][9]["value"].asInt(), 0);
    EXPECT_EQ(profile.GetCustomEqValues(0), std::vector<int>(10, 0));
    EXPECT_EQ(profile.GetNode()["CustomEQHzValueInfo"][0].size(), 10u);

    // Short sequences are padded with zeros; custom curve numbers beyond the limit are refused.
    profile.SetCustomEqValues(0, {4, 5});
    EXPECT_EQ(profile.GetCustomEqValues(0), (std::vector<int>{4, 5, 0, 0, 0, 0, 0, 0, 0, 0}));
    const Json::Value kept = profile.GetNode();
    profile.SetCustomEqValues(1 << 30, first);
    EXPECT_EQ(profile.GetCustomEqValues(-1), std::vector<int>(10, 0));
    EXPECT_EQ(profile.GetNode(), kept);
}

} // namespace
