// The installed default data: every file parses, loads through the profile classes, and a
// profile read and written back through every getter and setter comes out unchanged.
#include "ProfileTestFolder.h"

#include "profiles/CKeyboardProfiledata.h"
#include "profiles/CMouseProfiledata.h"
#include "profiles/CVa6533Profiledata.h"
#include "profiles/JsonFile.h"
#include "profiles/LightFiles.h"

namespace {

const std::string kDefaultFolder = std::string(NQ501_SOURCE_DIR) + "/DefaultData/";

class DefaultData : public ProfileTestFolder {
protected:
    // Loads the default profile of `kind` into `profile` the way a device does on first start
    // (the user's profile file does not exist yet) and checks the file it creates.
    void LoadFresh(nq::CBasicProfiledata& profile, const std::string& kind)
    {
        const std::string defaultPath = kDefaultFolder + kind + ".Json";
        m_defaultText = ReadRaw(defaultPath);
        const Json::Value defaults = nq::ParseJsonText(m_defaultText);
        ASSERT_TRUE(defaults["Device"][0].isObject()) << kind;
        profile.SetDefaultPath(defaultPath);
        m_userPath = Path("user/" + kind + ".Json");
        WriteRaw("user/.keep", "");
        profile.SetProfilePath(m_userPath);
        ASSERT_EQ(profile.Load(m_userPath), defaults["Device"][0]);
        // The default files are kept in the exact form the program writes, so the first copy
        // is the default file byte for byte.
        EXPECT_EQ(ReadRaw(m_userPath), m_defaultText) << kind;
    }

    void ExpectSavedUnchanged(nq::CBasicProfiledata& profile)
    {
        ASSERT_TRUE(profile.Save());
        EXPECT_EQ(ReadRaw(m_userPath), m_defaultText);
    }

    // The shared part: lighting records and the key list through their getters and setters.
    static void CopyBasics(nq::CBasicProfiledata& profile)
    {
        profile.SetLightInfo(profile.GetLightInfo());
        profile.GetLightList();
        const auto keys = profile.GetKeyList();
        if (!keys.empty())
            profile.SetKeyList(keys);
    }

    std::string m_defaultText;
    std::string m_userPath;
};

TEST_F(DefaultData, KeyboardProfile)
{
    nq::CKeyboardProfiledata profile;
    LoadFresh(profile, "keyboard");
    CopyBasics(profile);
    profile.SetLogoLightInfo(profile.GetLogoLightInfo());
    profile.SetStLightInfo(profile.GetStLightInfo());
    const nq::KeyboardSystemWords words = profile.GetSystemWords();
    profile.SetSystemWords(words);
    const int group = profile.GetCustomGroupIndex();
    profile.SetCustomGroupIndex(group);
    profile.SetCustomColors(profile.GetCustomColors(group, 126), group);
    ExpectSavedUnchanged(profile);

    const auto keys = profile.GetKeyList();
    ASSERT_EQ(keys.size(), 126u);
    EXPECT_EQ(keys[0].current.Packed(), 0x200029u);    // Esc
    EXPECT_EQ(keys[110].current.Packed(), 0xA00100u);  // Fn
    EXPECT_EQ(keys[124].defaults.Packed(), 0xD0A205u); // M5
    for (const nq::KeyEntry& key : keys)
        EXPECT_EQ(key.current, key.defaults);
    EXPECT_EQ(words.PollingRate(), 3);  // 1000 Hz
    EXPECT_EQ(profile.GetLogoLightInfo()[nq::LightSetting::kLogoOnOff], 1);
    EXPECT_LE(profile.GetLightInfo().Brightness(), 4);
}

TEST_F(DefaultData, MouseProfile)
{
    nq::CMouseProfiledata profile;
    LoadFresh(profile, "mouse");
    CopyBasics(profile);
    const auto stages = profile.GetDpiStages();
    profile.SetDpiStages(stages);
    profile.SetActiveStage(profile.GetActiveStage());
    profile.SetSystemWords(profile.GetSystemWords());
    profile.GetCorrectList();
    ExpectSavedUnchanged(profile);

    ASSERT_EQ(stages.size(), 5u);
    const uint16_t units[] = {8, 16, 32, 64, 128};  // x 50: 400, 800, 1600, 3200, 6400 DPI
    for (size_t i = 0; i < stages.size(); ++i) {
        EXPECT_EQ(stages[i].dpiX, units[i]);
        EXPECT_EQ(stages[i].dpiY, units[i]);
        EXPECT_EQ(stages[i].active, 1);
    }
    EXPECT_EQ(profile.GetActiveStage(), 2);
    EXPECT_EQ(profile.GetSystemWords().ReportRateStage(), 3);  // 1000 Hz
    // The ten buttons in page order, each with its factory function.
    const uint32_t buttons[] = {0x100100, 0x100200, 0x100400, 0x101000, 0x100800,
                                0x130100, 0x130200, 0x130300, 0xA01B00, 0x169001};
    const auto keys = profile.GetKeyList();
    ASSERT_EQ(keys.size(), 10u);
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].current.Packed(), buttons[i]) << i;
        EXPECT_EQ(keys[i].defaults.Packed(), buttons[i]) << i;
    }
    // The pointer values are the desktop's: speed 1-20, double-click time in milliseconds.
    EXPECT_EQ(profile.GetSystemWords().MouseSpeed(), 10);
    EXPECT_EQ(profile.GetSystemWords().DoubleClickTime(), 500);
    EXPECT_EQ(profile.GetCorrectList().size(), 2u);
}

TEST_F(DefaultData, MousepadProfile)
{
    nq::CBasicProfiledata profile;
    LoadFresh(profile, "MousePad");
    CopyBasics(profile);
    ExpectSavedUnchanged(profile);
    EXPECT_TRUE(profile.GetLightList().empty());  // no per-LED records over the main effect
}

TEST_F(DefaultData, HeadsetProfile)
{
    nq::CVa6533Profiledata profile;
    LoadFresh(profile, "HD");
    CopyBasics(profile);
    profile.SetSystemSettings(profile.GetSystemSettings());
    for (int type = 1; type <= 12; ++type)
        profile.SetEqValues(type, profile.GetEqValues(type));
    profile.SetCustomEqNames(profile.GetCustomEqNames());
    ExpectSavedUnchanged(profile);

    EXPECT_EQ(profile.GetEqValues(1), (std::vector<int>{7, 11, 2, -3, -1, 4, 9, 12, 9, 5}));
    EXPECT_EQ(profile.GetEqValues(12), (std::vector<int>{2, 1, -2, -4, -8, 4, 12, 16, 18, 15}));
    EXPECT_EQ(profile.GetSystemSettings().eqType, 5);  // the flat preset
    EXPECT_TRUE(profile.GetCustomEqNames().empty());
}

TEST_F(DefaultData, LightNameLists)
{
    const Json::Value doc = nq::ReadJsonFile(kDefaultFolder + "default_light.json");
    ASSERT_TRUE(doc.isObject());
    // Variants: 0 keyboard, 1 mouse, 2 mousepad, 3 headset.
    for (int variant = 0; variant < 4; ++variant) {
        SCOPED_TRACE(variant);
        const auto names = nq::LightNamesFromJson(doc, "DefaultLightName", variant);
        ASSERT_TRUE(names.has_value());
        EXPECT_EQ(names->size(), variant == 0 ? 28u : 9u);
        for (const nq::LightName& name : *names)
            EXPECT_EQ(name.name.rfind("light_name_", 0), 0u);
        ASSERT_TRUE(nq::LightNamesFromJson(doc, "AreaLightName", variant).has_value());
    }
    EXPECT_EQ(nq::LightNamesFromJson(doc, "LightTab1LightName", 0)->size(), 6u);
    EXPECT_EQ(nq::LightNamesFromJson(doc, "LightTab2LightName", 0)->size(), 6u);
}

TEST_F(DefaultData, LanguageList)
{
    const Json::Value doc = nq::ReadJsonFile(kDefaultFolder + "Language.config");
    const Json::Value& languages = doc["Language"];
    ASSERT_TRUE(languages.isArray());
    ASSERT_GE(languages.size(), 2u);
    std::vector<std::string> texts;
    for (const Json::Value& language : languages) {
        EXPECT_TRUE(language["Language_name"].isString());
        EXPECT_TRUE(language["Language_file"].isString());
        EXPECT_TRUE(language["Language_ID"].isInt());
        texts.push_back(language["Language_text"].asString());
    }
    EXPECT_EQ(texts[0], "简体中文");  // index 0 goes with the Chinese font face
    EXPECT_EQ(texts[1], "English");
}

} // namespace
