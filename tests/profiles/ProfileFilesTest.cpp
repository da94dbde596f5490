// Loading and saving the profile file: fallback to the default profile, write-back, what is kept.
#include "ProfileTestFolder.h"

#include "profiles/CBasicProfiledata.h"
#include "profiles/FileBackup.h"
#include "profiles/JsonFile.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

class ProfileFiles : public ProfileTestFolder {
protected:
    void SetUp() override
    {
        ProfileTestFolder::SetUp();
        m_defaultNode = Parse(R"({"LightInfo": {"SelectItem": 2, "Light": 4}, "Marker": "default"})");
        Json::Value defaults;
        defaults["Device"][0] = m_defaultNode;
        m_defaultPath = Path("DefaultData/mouse.Json");
        WriteRaw("DefaultData/mouse.Json", nq::StyledJsonText(defaults));
        m_profile.SetDefaultPath(m_defaultPath);
        m_profilePath = Path("user/2024_01_01_00_00_00_000.Json");
        WriteRaw("user/.keep", "");
    }

    nq::CBasicProfiledata m_profile;
    Json::Value m_defaultNode;
    std::string m_defaultPath;
    std::string m_profilePath;
};

TEST_F(ProfileFiles, LoadOfAMissingFileCreatesItFromTheDefault)
{
    EXPECT_EQ(m_profile.Load(m_profilePath), m_defaultNode);
    EXPECT_EQ(m_profile.GetNode(), m_defaultNode);

    Json::Value expected;
    expected["Device"][0] = m_defaultNode;
    EXPECT_EQ(ReadRaw(m_profilePath), nq::StyledJsonText(expected));
}

TEST_F(ProfileFiles, LoadKeepsTheNodeOfAGoodFileAndDoesNotWrite)
{
    const std::string text = R"({"Device": [{"LightInfo": {"SelectItem": 7}}], "profilename": "A"})";
    WriteRaw("user/p.Json", text);
    const Json::Value node = m_profile.Load(Path("user/p.Json"));
    EXPECT_EQ(node["LightInfo"]["SelectItem"].asInt(), 7);
    EXPECT_EQ(ReadRaw(Path("user/p.Json")), text);
}

// Files that lack a usable node are recreated from the default; what they had besides is kept.
TEST_F(ProfileFiles, LoadFallsBackAndKeepsTheRest)
{
    struct Case {
        const char* name;
        std::string text;
        const char* keptMember;  // top-level member that must survive, or nullptr
        bool keptAside;          // the unusable file is kept as ".broken"
    };
    static const char kUtf16[] = "\xFF\xFE{\0\"\0D\0\"\0:\0[\0]\0}\0";  // {"D":[]} in UTF-16
    const Case cases[] = {
        {"empty Device array", R"({"Device": [], "profilename": "Mine", "profileUUID": "u1"})", "profilename", false},
        {"null element", R"({"Device": [null], "profilename": "Mine"})", "profilename", false},
        {"no Device", R"({"profilename": "Mine"})", "profilename", false},
        {"element of the wrong type", R"({"Device": [5], "profilename": "Mine"})", "profilename", true},
        {"Device of the wrong type", R"({"Device": {"LightInfo": {}}, "profilename": "Mine"})", "profilename", true},
        {"top level array", R"([{"LightInfo": {}}])", nullptr, true},
        {"truncated", R"({"Device": [{"LightInfo": {"Sel)", nullptr, true},
        {"deeply nested", "{\"Device\": " + std::string(100000, '['), nullptr, true},
        {"utf-16 text", std::string(kUtf16, sizeof(kUtf16) - 1), nullptr, true},
        {"empty file", "", nullptr, false},
        {"zero bytes (a crash on some file systems leaves these)", std::string(16, '\0'), nullptr, true},
        {"white space", "  \n ", nullptr, false},
        {"white space, a zero byte and more", "  \n\t" + std::string(1, '\0') + std::string(1400, 'x'), nullptr, true},
        {"a document after a zero byte", std::string(1, '\0') + R"({"Device": [{}]})", nullptr, true},
        {"a second document after the first", R"({"Device": [{"a": 1}]} {"Device": [{"b": 2}]})", nullptr, true},
        {"a document and then junk", R"({"Device": [{"a": 1}]} trailing)", nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteRaw("user/p.Json", c.text);
        for (const std::string& old : nq::FileBackup::List(path))
            unlink(old.c_str());

        EXPECT_EQ(m_profile.Load(path), m_defaultNode);

        const Json::Value written = nq::ReadJsonFile(path);
        EXPECT_EQ(written["Device"][0], m_defaultNode);
        if (c.keptMember) {
            EXPECT_EQ(written[c.keptMember].asString(), "Mine");
        }
        EXPECT_EQ(access((path + ".broken").c_str(), F_OK) == 0, c.keptAside);
        if (c.keptAside) {
            EXPECT_EQ(ReadRaw(path + ".broken"), c.text);
        }
    }
}

TEST_F(ProfileFiles, LoadWithAnUnreadableDefaultLeavesTheFileAlone)
{
    WriteRaw("DefaultData/mouse.Json", "{ broken");
    const std::string text = R"({"Device": [], "profilename": "Mine"})";
    const std::string path = WriteRaw("user/p.Json", text);
    EXPECT_TRUE(m_profile.Load(path).isNull());
    EXPECT_EQ(ReadRaw(path), text);

    // A missing profile file is not created either.
    EXPECT_TRUE(m_profile.Load(Path("user/none.Json")).isNull());
    EXPECT_NE(access(Path("user/none.Json").c_str(), F_OK), 0);
}

TEST_F(ProfileFiles, RestoringFromTheDefaultPathDoesNotWriteTheDefault)
{
    const std::string before = ReadRaw(m_defaultPath);
    EXPECT_EQ(m_profile.Load(m_defaultPath), m_defaultNode);
    EXPECT_EQ(ReadRaw(m_defaultPath), before);
}

TEST_F(ProfileFiles, SaveReplacesOnlyTheIndexedNode)
{
    const std::string path = WriteRaw("user/p.Json", R"({"Device": [{"a": 1}, {"b": 2}], "profilename": "Mine",
        "profileUUID": "2024_01_01_00_00_00_000"})");
    m_profile.SetProfilePath(path);
    m_profile.SetDeviceIndex(1);
    m_profile.Load(path);
    nq::LightSetting light;
    light[nq::LightSetting::kEffect] = 5;
    m_profile.SetLightInfo(light);
    ASSERT_TRUE(m_profile.Save());

    const Json::Value doc = nq::ReadJsonFile(path);
    EXPECT_EQ(doc["Device"][0], Parse(R"({"a": 1})"));
    EXPECT_EQ(doc["Device"][1]["b"].asInt(), 2);
    EXPECT_EQ(doc["Device"][1]["LightInfo"]["SelectItem"].asInt(), 5);
    EXPECT_EQ(doc["profilename"].asString(), "Mine");
    EXPECT_EQ(doc["profileUUID"].asString(), "2024_01_01_00_00_00_000");

    // SaveNode into a file that does not exist yet creates the element at the index.
    ASSERT_TRUE(m_profile.SaveNode(Parse(R"({"c": 3})"), Path("user/new.Json")));
    const Json::Value created = nq::ReadJsonFile(Path("user/new.Json"));
    ASSERT_TRUE(created["Device"].isArray());
    EXPECT_EQ(created["Device"].size(), 2u);
    EXPECT_TRUE(created["Device"][0].isNull());
    EXPECT_EQ(created["Device"][1]["c"].asInt(), 3);
}

TEST_F(ProfileFiles, FailedSaveIsReportedAndKeepsFileAndNode)
{
    const std::string path = m_profilePath;
    m_profile.SetProfilePath(path);
    m_profile.Load(path);
    const std::string before = ReadRaw(path);

    // The folder becomes unusable: a file stands where the profile's folder was.
    ASSERT_EQ(rename(Path("user").c_str(), Path("moved").c_str()), 0);
    WriteRaw("user", "");
    m_profile.SetLightInfo(nq::LightSetting{});
    EXPECT_FALSE(m_profile.Save());
    EXPECT_EQ(ReadRaw(Path("moved/2024_01_01_00_00_00_000.Json")), before);
    EXPECT_TRUE(m_profile.GetNode().isMember("LightInfo"));

    nq::CBasicProfiledata noPath;
    EXPECT_FALSE(noPath.Save());  // no profile path yet: nothing is written anywhere

    // Nothing loaded yet: saving would replace the file's node by null.
    const std::string good = WriteRaw("good.Json", R"({"Device": [{"a": 1}]})");
    nq::CBasicProfiledata notLoaded;
    notLoaded.SetProfilePath(good);
    EXPECT_FALSE(notLoaded.Save());
    EXPECT_EQ(ReadRaw(good), R"({"Device": [{"a": 1}]})");
}

TEST_F(ProfileFiles, PathSettersIgnoreEmptyTextAndIndexIsBounded)
{
    m_profile.SetProfilePath("a.Json");
    m_profile.SetProfilePath("");
    EXPECT_EQ(m_profile.GetProfilePath(), "a.Json");
    m_profile.SetDefaultPath("");
    EXPECT_EQ(m_profile.GetDefaultPath(), m_defaultPath);
    m_profile.SetDeviceIndex(3);
    m_profile.SetDeviceIndex(-1);
    m_profile.SetDeviceIndex(1 << 30);  // would make the file hold a billion elements
    EXPECT_EQ(m_profile.GetDeviceIndex(), 3);
}

TEST_F(ProfileFiles, WriteDocumentWritesTheWholeDocument)
{
    const Json::Value doc = Parse(R"({"profilename": "x", "Device": [{}]})");
    ASSERT_TRUE(m_profile.WriteDocument(doc, Path("user/whole.Json")));
    EXPECT_EQ(nq::ReadJsonFile(Path("user/whole.Json")), doc);
}

} // namespace
