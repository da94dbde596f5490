// Every record type written through a setter, saved, and loaded into a fresh object reads back equal.
#include "ProfileTestFolder.h"

#include "profiles/CKeyboardProfiledata.h"
#include "profiles/CMouseProfiledata.h"
#include "profiles/CVa6533Profiledata.h"
#include "profiles/JsonFile.h"

namespace {

class ProfileRoundTrip : public ProfileTestFolder {
protected:
    // Saves `from` and loads the file into `to`.
    template <class Profile>
    void Reload(Profile& from, Profile& to)
    {
        from.SetProfilePath(Path("p.Json"));
        ASSERT_TRUE(from.Save());
        to.SetDefaultPath(Path("missing-default.Json"));
        ASSERT_TRUE(to.Load(Path("p.Json")).isObject());
    }
};

nq::LightSetting Record(int zone, uint8_t seed)
{
    nq::LightSetting record;
    for (int i = 0; i < 8; ++i)
        record[zone + i] = static_cast<uint8_t>(seed + i * 31);
    record[zone + nq::LightSetting::kMultiColour] = 1;
    return record;
}

TEST_F(ProfileRoundTrip, LightingRecordsAndKeyList)
{
    nq::CKeyboardProfiledata saved;
    nq::LightSetting main = Record(nq::LightSetting::kMain, 200);
    main[nq::LightSetting::kLedMode] = 3;
    nq::LightSetting logo = Record(nq::LightSetting::kLogo, 17);
    logo[nq::LightSetting::kLogoOnOff] = 1;
    const nq::LightSetting st = Record(nq::LightSetting::kSt, 99);
    saved.SetLightInfo(main);
    saved.SetLogoLightInfo(logo);
    saved.SetStLightInfo(st);

    std::vector<nq::KeyEntry> keys(3);
    keys[0].current = nq::KeyAssignment::FromPacked(0, 0x200029);
    keys[1].current = nq::KeyAssignment::FromPacked(1, 0xD0A205);
    keys[2].current = nq::KeyAssignment::FromPacked(2, 0xFFFFFF);
    saved.SetKeyList(keys);

    nq::CKeyboardProfiledata loaded;
    Reload(saved, loaded);
    EXPECT_EQ(loaded.GetLightInfo(), main);
    EXPECT_EQ(loaded.GetLogoLightInfo(), logo);
    EXPECT_EQ(loaded.GetStLightInfo(), st);
    const std::vector<nq::KeyEntry> keysRead = loaded.GetKeyList();
    ASSERT_EQ(keysRead.size(), 3u);
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keysRead[i].current, keys[i].current);
        EXPECT_EQ(keysRead[i].current.keyIndex, i);
    }
}

TEST_F(ProfileRoundTrip, KeyboardSystemWordsAndCustomColours)
{
    nq::CKeyboardProfiledata saved;
    const nq::KeyboardSystemWords words{{0xFFFF0001u, 0x00030001u, 0x00010000u, 0x00000002u}};
    saved.SetSystemWords(words);
    std::vector<nq::RgbaColor> colours;
    for (int i = 0; i < 126; ++i)
        colours.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 2), 255});
    saved.SetCustomColors(colours, 2);
    saved.SetCustomGroupIndex(2);

    nq::CKeyboardProfiledata loaded;
    Reload(saved, loaded);
    EXPECT_EQ(loaded.GetSystemWords(), words);
    EXPECT_EQ(loaded.GetCustomColors(2, 126), colours);
    EXPECT_EQ(loaded.GetCustomGroupIndex(), 2);
}

TEST_F(ProfileRoundTrip, MouseStagesWordsAndActiveStage)
{
    nq::CMouseProfiledata saved;
    const std::vector<nq::DpiStage> stages = {
        {1, 0, 8, 8, 255, 0, 0}, {1, 1, 16, 640, 0, 255, 0}, {0, 0, 65535, 1, 1, 2, 3}};
    saved.SetDpiStages(stages);
    saved.SetActiveStage(2);
    const nq::MouseSystemWords words{{0x000A01F4u, 0x00010001u, 0x00040003u}};
    saved.SetSystemWords(words);

    nq::CMouseProfiledata loaded;
    Reload(saved, loaded);
    EXPECT_EQ(loaded.GetDpiStages(), stages);
    EXPECT_EQ(loaded.GetActiveStage(), 2);
    EXPECT_EQ(loaded.GetSystemWords(), words);
    EXPECT_EQ(loaded.GetSystemWords().ReportRateStage(), 4);
}

TEST_F(ProfileRoundTrip, HeadsetSettingsCurvesAndNames)
{
    nq::CVa6533Profiledata saved;
    const nq::HeadsetSystemSettings settings{1, 3, 13, 1, 1, 80, 0, -5};
    saved.SetSystemSettings(settings);
    const std::vector<int> preset = {7, 11, 2, -3, -1, 4, 9, 12, 9, 5};
    saved.SetEqValues(4, preset);
    const std::vector<std::string> names = {"Rock", "配置 2", ""};
    saved.SetCustomEqNames(names);
    const std::vector<int> custom = {-13, 18, 0, 1, 2, 3, 4, 5, 6, -7};
    saved.SetCustomEqValues(1, custom);

    nq::CVa6533Profiledata loaded;
    Reload(saved, loaded);
    EXPECT_EQ(loaded.GetSystemSettings(), settings);
    EXPECT_EQ(loaded.GetEqValues(4), preset);
    EXPECT_EQ(loaded.GetCustomEqNames(), names);
    EXPECT_EQ(loaded.GetCustomEqValues(1), custom);
}

} // namespace
