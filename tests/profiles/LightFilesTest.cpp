// The light list, the light preset list with its effect files, and the light name lists.
#include "ProfileTestFolder.h"

#include "profiles/CBasicProfiledata.h"
#include "profiles/JsonFile.h"
#include "profiles/LightFiles.h"

namespace {

using LightFiles = ProfileTestFolder;

nq::LightSetting MainBytes(std::initializer_list<uint8_t> bytes, uint8_t present)
{
    nq::LightSetting record;
    int i = 0;
    for (uint8_t b : bytes)
        record[i++] = b;
    record[nq::LightSetting::kPresent] = present;
    return record;
}

TEST_F(LightFiles, LightListEntriesAndPlaceholders)
{
    nq::CBasicProfiledata profile;
    EXPECT_TRUE(profile.GetLightList().empty());  // no node at all

    profile.SetNode(Parse(R"({"LightList": [null, {"LEDREGMode": 2, "LEDBrightness": 4, "LEDSpeed": 1,
        "LEDDirection": 1, "LEDMultiColor": 0, "red": 255, "green": 0, "blue": 16},
        {"LEDMultiColor": 2, "LEDDirection": true, "Red": 9}, 17]})"));
    const auto list = profile.GetLightList();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], nq::LightSetting{});
    EXPECT_EQ(list[1], MainBytes({2, 4, 1, 1, 0, 255, 0, 16}, 1));
    EXPECT_EQ(list[2], MainBytes({0, 0, 0, 1, 1, 0, 0, 0}, 1));  // flags are 0/1; "Red" is not a light list key
    EXPECT_EQ(list[3], nq::LightSetting{});                      // not an object: absent
    EXPECT_EQ(profile.LightList(), list);

    profile.SetNode(Parse(R"({"LightList": {"0": {}}})"));
    EXPECT_TRUE(profile.GetLightList().empty());
}

class EffectFrames : public LightFiles {
protected:
    void SetUp() override
    {
        LightFiles::SetUp();
        m_configPath = WriteRaw("user/drovo_light.config", R"({"LightInfo": [[
            {"LightName": "First", "Guid": "first"},
            {"LightName": "Second", "Guid": "second"},
            {"LightName": "Escape", "Guid": "../outside"}]]})");
        WriteRaw("user/first.light", R"({"LEDEffectList": [{"LEDREGMode": 1, "Time": 10}]})");
        WriteRaw("user/second.light", R"({"LEDEffectList": [
            {"LEDREGMode": 3, "LEDDirection": 2, "LEDBrightness": 4, "LEDSpeed": 1, "LEDMultiColor": 2,
             "red": 1, "green": 2, "blue": 300, "Time": 250, "Cyle": -1},
            {"Time": 40}]})");
        WriteRaw("outside.light", R"({"LEDEffectList": [{"Time": 1}]})");
        m_profile.SetLightConfigPath(m_configPath);
    }

    void SelectEffect(uint8_t effect)
    {
        nq::LightSetting main;
        main[nq::LightSetting::kEffect] = effect;
        m_profile.SetLightInfo(main);
    }

    nq::CBasicProfiledata m_profile;
    std::string m_configPath;
};

TEST_F(EffectFrames, MainEffectNumberChoosesThePreset)
{
    SelectEffect(1);
    EXPECT_TRUE(m_profile.GetEffectFrames().empty());  // no preset list loaded yet

    EXPECT_TRUE(m_profile.LoadLightConfig(m_profile.GetLightConfigPath()).isObject());
    const auto frames = m_profile.GetEffectFrames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].setting, MainBytes({3, 4, 1, 2, 2, 1, 2, 44}, 0));  // integers here: 2 stays 2
    EXPECT_EQ(frames[0].time, 250);
    EXPECT_EQ(frames[0].cycle, -1);
    EXPECT_EQ(frames[1].time, 40);
    EXPECT_EQ(m_profile.EffectFrames(), frames);

    SelectEffect(0);
    ASSERT_EQ(m_profile.GetEffectFrames().size(), 1u);
    EXPECT_EQ(m_profile.EffectFrames()[0].setting[0], 1);
}

TEST_F(EffectFrames, MissingPresetsAndUnsafeNamesGiveNoFrames)
{
    m_profile.LoadLightConfig(m_configPath);
    for (uint8_t effect : {2, 3, 200}) {  // a name leading out of the folder, beyond the list
        SelectEffect(effect);
        EXPECT_TRUE(m_profile.GetEffectFrames().empty()) << int(effect);
    }
    // The preset list is indexed by device index: index 1 has none.
    m_profile.SetDeviceIndex(1);
    SelectEffect(0);
    EXPECT_TRUE(m_profile.GetEffectFrames().empty());

    m_profile.SetDeviceIndex(0);
    EXPECT_TRUE(m_profile.LoadLightConfig(Path("user/none.config")).isNull());
    EXPECT_TRUE(m_profile.GetEffectFrames().empty());

    EXPECT_EQ(nq::EffectFilePath("/f/", "abc"), "/f/abc.light");
    for (const char* bad : {"", ".", "..", "a/b", "a\\b", "..x"})
        EXPECT_EQ(nq::EffectFilePath("/f/", bad), "") << bad;
}

TEST_F(LightFiles, NameListsByVariant)
{
    const Json::Value doc = Parse(R"({
        "DefaultLightName": [[{"LightName": "light_a", "visible": true}, {"LightName": "light_b", "visible": false},
                              {"LightName": "light_c", "visible": 1}, {"LightName": 4}],
                             [{"LightName": "mouse_a", "visible": true}]],
        "AreaLightName": [[{"LightName": "area_keys"}]],
        "LightTab1LightName": "wrong"})");
    const auto names = nq::LightNamesFromJson(doc, "DefaultLightName", 0);
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(*names, (std::vector<nq::LightName>{{"light_a", true}, {"light_b", false}, {"light_c", true}, {"", false}}));
    EXPECT_EQ(nq::LightNamesFromJson(doc, "DefaultLightName", 1)->at(0).name, "mouse_a");
    EXPECT_EQ(nq::LightNamesFromJson(doc, "AreaLightName", 0)->at(0).name, "area_keys");
    // Absent elements tell the caller to keep its previous list.
    EXPECT_FALSE(nq::LightNamesFromJson(doc, "DefaultLightName", 2).has_value());
    EXPECT_FALSE(nq::LightNamesFromJson(doc, "DefaultLightName", -1).has_value());
    EXPECT_FALSE(nq::LightNamesFromJson(doc, "LightTab1LightName", 0).has_value());
    EXPECT_FALSE(nq::LightNamesFromJson(Json::Value(), "AreaLightName", 0).has_value());

    const Json::Value presets = Parse(R"({"LightInfo": [[{"LightName": "Mine", "Guid": "g1"}], []]})");
    EXPECT_EQ(*nq::LightPresetsFromJson(presets, 0), (std::vector<nq::LightPreset>{{"Mine", "g1"}}));
    EXPECT_TRUE(nq::LightPresetsFromJson(presets, 1)->empty());
    EXPECT_FALSE(nq::LightPresetsFromJson(presets, 2).has_value());
}

} // namespace
