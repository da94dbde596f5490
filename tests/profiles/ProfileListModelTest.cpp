// The profile list of a device: the list file, the profile files beside it and every operation on
// them, in a fresh user folder per test.
#include "ProfileTestFolder.h"

#include "profiles/JsonFile.h"
#include "profiles/ProfileListModel.h"

#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>

using nq::ProfileListModel;
using ImportResult = ProfileListModel::ImportResult;

namespace {

Json::Value MouseDocument(int dpi)
{
    Json::Value document;
    Json::Value& node = document["Device"][0];
    node["DPIStages"]["StageActive"] = 0;
    node["DPIStages"]["StageDPIs"][0]["StageDPIX"] = dpi;
    node["LightInfo"]["SelectItem"] = 1;
    return document;
}

Json::Value HeadsetDocument(const std::string& eqName)
{
    Json::Value document;
    Json::Value& node = document["Device"][0];
    node["SystemSetStages"]["EqType"] = 2;
    node["CustomEQNameInfo"][0]["Name"] = eqName;
    node["CustomEQHzValueInfo"][0][0]["value"] = 7;
    node["LightInfo"]["SelectItem"] = 0;
    return document;
}

class ProfileListTest : public ProfileTestFolder {
protected:
    void SetUp() override
    {
        ProfileTestFolder::SetUp();
        folder = Path("user/");
        ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
        defaultPath = Path("mouse.Json");
        ASSERT_TRUE(nq::WriteJsonFile(defaultPath, MouseDocument(800)));
        model.SetDeviceType(2);
        model.SetFolders(folder, defaultPath);
    }

    Json::Value ListFile() const { return nq::ReadJsonFile(folder + "ProfileList.ini"); }
    Json::Value Profile(int index) const { return nq::ReadJsonFile(model.ProfilePath(model.IdAt(index))); }
    // Writes a list file with these names (identifiers id0, id1, ...) and their profile files.
    void WriteList(const std::vector<std::string>& names, int select = 0)
    {
        Json::Value list;
        for (size_t i = 0; i < names.size(); ++i) {
            Json::Value& entry = list["profilelist"][Json::ArrayIndex(i)];
            entry["profilename"] = names[i];
            entry["profileUUID"] = "id" + std::to_string(i);
            entry["profileislink"] = 0;
            entry["profilelinkmame"] = "";
            Json::Value profile = MouseDocument(int(100 * (i + 1)));
            profile["profilename"] = names[i];
            profile["profileUUID"] = "id" + std::to_string(i);
            ASSERT_TRUE(nq::WriteJsonFile(folder + "id" + std::to_string(i) + ".Json", profile));
        }
        list["profileselect"] = select;
        ASSERT_TRUE(nq::WriteJsonFile(folder + "ProfileList.ini", list));
    }
    std::string WriteImport(const std::string& file, const Json::Value& document)
    {
        const std::string path = Path(file);
        EXPECT_TRUE(nq::WriteJsonFile(path, document));
        return path;
    }
    static Json::Value Named(Json::Value document, const std::string& name, const std::string& id = "x")
    {
        document["profilename"] = name;
        document["profileUUID"] = id;
        return document;
    }

    std::string folder;
    std::string defaultPath;
    ProfileListModel model;
};

TEST_F(ProfileListTest, FirstStartMakesProfile1FromTheDefault)
{
    model.Load();
    ASSERT_EQ(model.Names(), std::vector<std::string>{"profile1"});
    EXPECT_EQ(model.Selected(), 0);
    const std::string id = model.CurrentProfileId();
    EXPECT_FALSE(id.empty());

    const Json::Value list = ListFile();
    ASSERT_EQ(list["profilelist"].size(), 1u);
    EXPECT_EQ(list["profileselect"].asInt(), 0);
    EXPECT_EQ(list["profilelist"][0]["profilename"].asString(), "profile1");
    EXPECT_EQ(list["profilelist"][0]["profileUUID"].asString(), id);
    EXPECT_EQ(list["profilelist"][0]["profileislink"].asInt(), 0);
    EXPECT_EQ(list["profilelist"][0]["profilelinkmame"].asString(), "");

    EXPECT_EQ(List(folder), (std::vector<std::string>{id + ".Json", "ProfileList.ini"}));
    Json::Value expected = MouseDocument(800);
    expected["profilename"] = "profile1";
    expected["profileUUID"] = id;
    EXPECT_EQ(Profile(0), expected);
}

TEST_F(ProfileListTest, AddTakesTheLowestFreeNumberWithoutRegardToCase)
{
    const struct {
        std::vector<std::string> names;
        std::string added;
    } cases[] = {
        {{"profile1", "Profile2"}, "profile3"},
        {{"PROFILE1", "profile3"}, "profile2"},
        {{"work"}, "profile1"},
    };
    for (const auto& c : cases) {
        WriteList(c.names);
        model.Load();
        ASSERT_TRUE(model.Add());
        EXPECT_EQ(model.Names().back(), c.added);
        // The new profile is named in the file but not shown selected or current until chosen.
        EXPECT_EQ(model.Selected(), 0);
        EXPECT_EQ(model.CurrentProfileId(), "id0");
        EXPECT_EQ(ListFile()["profileselect"].asInt(), int(c.names.size()));
        EXPECT_EQ(Profile(model.Count() - 1), Named(MouseDocument(800), c.added, model.IdAt(model.Count() - 1)));
    }
}

TEST_F(ProfileListTest, AddStopsAtFiftyButCopyAndImportDoNot)
{
    model.Load();
    while (model.Count() < ProfileListModel::kAddLimit)
        ASSERT_TRUE(model.Add());
    EXPECT_FALSE(model.Add());
    EXPECT_EQ(model.Count(), 50);
    EXPECT_TRUE(model.Copy());
    EXPECT_EQ(model.Import(WriteImport("in.json", Named(MouseDocument(300), "in"))), ImportResult::Imported);
    EXPECT_EQ(model.Count(), 52);
    EXPECT_EQ(ListFile()["profilelist"].size(), 52u);
    // Fifty-two identifiers, fifty-two files, all different although made within a few milliseconds.
    std::set<std::string> ids;
    for (int i = 0; i < model.Count(); ++i)
        ids.insert(model.IdAt(i));
    EXPECT_EQ(ids.size(), 52u);
    EXPECT_EQ(List(folder).size(), 53u);
}

TEST_F(ProfileListTest, DeleteKeepsTheListAndFilesInStep)
{
    const struct {
        int selected;
        std::vector<std::string> left;
        int select;
    } cases[] = {
        {0, {"b", "c"}, 0},
        {1, {"a", "c"}, 0},
        {2, {"a", "b"}, 1},
    };
    for (const auto& c : cases) {
        WriteList({"a", "b", "c"}, c.selected);
        model.Load();
        const std::string gone = model.IdAt(c.selected);
        ASSERT_TRUE(model.Delete());
        EXPECT_EQ(model.Names(), c.left);
        EXPECT_EQ(ListFile()["profileselect"].asInt(), c.select);
        EXPECT_EQ(model.Selected(), c.select);
        EXPECT_EQ(ListFile()["profilelist"].size(), 2u);
        EXPECT_FALSE(nq::ReadTextFile(folder + gone + ".Json").size());
        // The device keeps the deleted profile until the next choice.
        EXPECT_EQ(model.CurrentProfileId(), gone);
    }
    WriteList({"only"});
    model.Load();
    EXPECT_FALSE(model.Delete());
    EXPECT_EQ(ListFile()["profilelist"].size(), 1u);
}

TEST_F(ProfileListTest, CopyAppendsCopyUntilTheNameIsFree)
{
    WriteList({"A", "A copy"});
    model.Load();
    ASSERT_TRUE(model.Copy());
    EXPECT_EQ(model.Names(), (std::vector<std::string>{"A", "A copy", "A copy copy"}));
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 0);
    // The copy holds the source's settings as saved, under its own identity.
    EXPECT_EQ(Profile(2), Named(MouseDocument(100), "A copy copy", model.IdAt(2)));
}

TEST_F(ProfileListTest, ImportNamesAccumulateSuffixesAndKeepTheContent)
{
    WriteList({"A", "b"}, 1);
    model.Load();
    Json::Value file = Named(MouseDocument(1600), "A", "2020_01_01_00_00_00_000");
    file["Device"][0]["Extra"] = "kept";
    file["Device"][1]["other"] = 1;
    const std::string path = WriteImport("A.json", file);
    ASSERT_EQ(model.Import(path), ImportResult::Imported);
    ASSERT_EQ(model.Import(path), ImportResult::Imported);
    EXPECT_EQ(model.Names(), (std::vector<std::string>{"A", "b", "A(1)", "A(1)(2)"}));
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 1);
    EXPECT_EQ(Profile(3), Named(file, "A(1)(2)", model.IdAt(3)));
    EXPECT_NE(model.IdAt(2), "2020_01_01_00_00_00_000");
}

TEST_F(ProfileListTest, ImportValidatesTheFileBeforeCopyingIt)
{
    Json::Value keyboard;
    keyboard["Device"][0]["SystemStages"]["Repeat"] = 30;
    keyboard["Device"][0]["LightInfo"]["SelectItem"] = 1;
    Json::Value noName = MouseDocument(1);
    noName["profileUUID"] = "x";
    Json::Value noId = MouseDocument(1);
    noId["profilename"] = "x";
    Json::Value noNode;
    noNode["profilename"] = "x";
    noNode["profileUUID"] = "x";
    const struct {
        const char* file;
        std::string text;
        ImportResult result;
    } cases[] = {
        {"no-name.json", nq::StyledJsonText(noName), ImportResult::NotAProfile},
        {"no-id.json", nq::StyledJsonText(noId), ImportResult::NotAProfile},
        {"text.json", "not json at all", ImportResult::Unreadable},
        {"array.json", "[1, 2]", ImportResult::Unreadable},
        {"no-node.json", nq::StyledJsonText(noNode), ImportResult::Unreadable},
        {"keyboard.json", nq::StyledJsonText(Named(keyboard, "kb")), ImportResult::WrongDevice},
        {"headset.json", nq::StyledJsonText(Named(HeadsetDocument("e"), "hs")), ImportResult::WrongDevice},
    };
    model.Load();
    for (const auto& c : cases) {
        EXPECT_EQ(model.Import(WriteRaw(c.file, c.text)), c.result) << c.file;
        EXPECT_EQ(model.Count(), 1) << c.file;
    }
    EXPECT_EQ(List(folder).size(), 2u);
}

TEST_F(ProfileListTest, RenameResults)
{
    WriteList({"work", "ärger", "Game"}, 2);
    model.Load();
    EXPECT_EQ(model.Rename("   "), ProfileListModel::kNameBlank);
    EXPECT_EQ(model.Rename(""), ProfileListModel::kNameBlank);
    EXPECT_EQ(model.Rename("WORK"), ProfileListModel::kNameInUse);
    EXPECT_EQ(model.Rename("ÄRGER"), ProfileListModel::kNameInUse);
    EXPECT_EQ(model.Names()[2], "Game");
    EXPECT_EQ(model.Rename("GAME"), ProfileListModel::kRenamed);
    EXPECT_EQ(model.Rename(" fast "), ProfileListModel::kRenamed);
    EXPECT_EQ(model.Names()[2], " fast ");
    EXPECT_EQ(ListFile()["profilelist"][2]["profilename"].asString(), " fast ");
    EXPECT_EQ(Profile(2)["profilename"].asString(), " fast ");
    EXPECT_EQ(Profile(2)["Device"], MouseDocument(300)["Device"]);
}

TEST_F(ProfileListTest, NamesAreDisplayTextOnly)
{
    const std::string names[] = {"../../escape", "a/b", "..", "say \"hi\" 'x'", std::string(300, 'n') + "/"};
    model.Load();
    for (const std::string& name : names) {
        ASSERT_TRUE(model.Add());
        ASSERT_TRUE(model.Select(model.Count() - 1));
        ASSERT_EQ(model.Rename(name), ProfileListModel::kRenamed) << name;
        ASSERT_EQ(model.Import(WriteImport("in.json", Named(MouseDocument(5), name))), ImportResult::Imported);
        ASSERT_TRUE(model.Copy());
    }
    EXPECT_EQ(model.Count(), 16);
    EXPECT_EQ(model.NameAt(2), "../../escape(1)");
    EXPECT_EQ(model.NameAt(3), "../../escape copy");
    // Every file is the list or a profile named by its identifier; nothing left the folder.
    std::vector<std::string> expected{"ProfileList.ini"};
    for (int i = 0; i < model.Count(); ++i)
        expected.push_back(model.IdAt(i) + ".Json");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(List(folder), expected);
    EXPECT_EQ(List(Path("")), (std::vector<std::string>{"in.json", "mouse.Json", "user"}));

    model.Load();
    EXPECT_EQ(model.NameAt(4), names[1]);
    EXPECT_EQ(model.NameAt(13), names[4]);
}

TEST_F(ProfileListTest, ResetReturnsToTheDefaultAndTheHeadsetKeepsItsEqualiser)
{
    WriteList({"a", "b"}, 1);
    model.Load();
    ASSERT_TRUE(model.Reset());
    EXPECT_EQ(Profile(1), Named(MouseDocument(800), "b", "id1"));
    EXPECT_EQ(Profile(0), Named(MouseDocument(100), "a", "id0"));

    // The headset: its own equaliser presets survive, everything else is the default.
    ASSERT_TRUE(nq::WriteJsonFile(defaultPath, HeadsetDocument("factory")));
    model.SetDeviceType(7);
    Json::Value mine = Named(HeadsetDocument("mine"), "b", "id1");
    mine["Device"][0]["CustomEQHzValueInfo"][0][1]["value"] = 9;
    mine["Device"][0]["SystemSetStages"]["EqType"] = 13;
    ASSERT_TRUE(nq::WriteJsonFile(folder + "id1.Json", mine));
    ASSERT_TRUE(model.Reset());
    Json::Value expected = Named(HeadsetDocument("factory"), "b", "id1");
    expected["Device"][0]["CustomEQNameInfo"] = mine["Device"][0]["CustomEQNameInfo"];
    expected["Device"][0]["CustomEQHzValueInfo"] = mine["Device"][0]["CustomEQHzValueInfo"];
    EXPECT_EQ(Profile(1), expected);
}

TEST_F(ProfileListTest, ASelectionOutsideTheListSelectsTheFirstProfile)
{
    for (const char* select : {"99", "-1", "\"1\"", "1.5"}) {
        WriteList({"a", "b"});
        Json::Value list = ListFile();
        WriteRaw("user/ProfileList.ini",
                 "{\"profilelist\": " + nq::StyledJsonText(list["profilelist"]) + ", \"profileselect\": " + select + "}");
        model.Load();
        EXPECT_EQ(model.Selected(), 0) << select;
        EXPECT_EQ(model.CurrentProfileId(), "id0") << select;
        EXPECT_EQ(ListFile()["profileselect"], Json::Value(0)) << select;
    }
}

TEST_F(ProfileListTest, AnUnreadableListIsKeptAndRebuiltFromTheProfileFiles)
{
    WriteList({"work", "game", "profile1"});
    const std::string broken = "{\"profilelist\": [ {\"profilename\": \"work\", ";
    WriteRaw("user/ProfileList.ini", broken);
    // A profile file without a name is listed too.
    ASSERT_TRUE(nq::WriteJsonFile(folder + "id3.Json", MouseDocument(400)));
    model.Load();

    EXPECT_EQ(ReadRaw(folder + "ProfileList.ini.broken"), broken);
    EXPECT_EQ(model.Names(), (std::vector<std::string>{"work", "game", "profile1", "profile2"}));
    EXPECT_EQ(model.IdAt(0), "id0");
    EXPECT_EQ(model.IdAt(3), "id3");
    EXPECT_EQ(ListFile()["profilelist"].size(), 4u);
    EXPECT_EQ(model.Selected(), 0);
    // The rebuilt list is read as it is from then on.
    model.Load();
    EXPECT_EQ(model.Count(), 4);
    EXPECT_EQ(List(folder).size(), 6u);
    // A second broken list is kept beside the first.
    WriteRaw("user/ProfileList.ini", "[]");
    model.Load();
    EXPECT_EQ(ReadRaw(folder + "ProfileList.ini.broken"), broken);
    EXPECT_EQ(ReadRaw(folder + "ProfileList.ini.broken.1"), "[]");
    EXPECT_EQ(model.Count(), 4);
}

TEST_F(ProfileListTest, TheNamelessProfileOfEarlierVersionsBecomesTheFirstProfile)
{
    ASSERT_TRUE(nq::WriteJsonFile(folder + ".Json", MouseDocument(500)));
    model.Load();
    EXPECT_EQ(model.Names(), std::vector<std::string>{"profile1"});
    EXPECT_EQ(Profile(0), Named(MouseDocument(500), "profile1", model.IdAt(0)));
    EXPECT_EQ(ReadRaw(folder + ".Json"), nq::StyledJsonText(MouseDocument(500))); // left in place
}

TEST_F(ProfileListTest, IdentifiersThatCouldLeaveTheFolderAreReplaced)
{
    WriteRaw("victim.Json", "{}");
    WriteRaw("user/ProfileList.ini",
             R"({"profilelist": [{"profilename": "a", "profileUUID": "../victim"},
                                 {"profilename": "b", "profileUUID": "id1"},
                                 {"profilename": "c", "profileUUID": "id1"}], "profileselect": 0})");
    ASSERT_TRUE(nq::WriteJsonFile(folder + "id1.Json", MouseDocument(100)));
    model.Load();
    ASSERT_EQ(model.Count(), 3);
    EXPECT_NE(model.IdAt(0), "../victim");
    EXPECT_NE(model.IdAt(1), model.IdAt(2));
    EXPECT_EQ(Profile(2)["Device"], MouseDocument(100)["Device"]); // the duplicate got its own copy
    ASSERT_TRUE(model.Delete());
    EXPECT_EQ(ReadRaw(Path("victim.Json")), "{}");
    EXPECT_EQ(ListFile()["profilelist"][0]["profileUUID"].asString(), model.IdAt(0));
}

TEST_F(ProfileListTest, AListChangedUnderneathIsReadAgainBeforeAnyChange)
{
    // Two pages of devices that share the folder: what one adds, the other shows before it acts.
    WriteList({"a", "b", "c"}, 2);
    model.Load();
    ProfileListModel other;
    other.SetDeviceType(2);
    other.SetFolders(folder, defaultPath);
    other.Load();
    ASSERT_TRUE(other.Add());
    const std::string added = other.IdAt(3);

    const int generation = model.Generation();
    EXPECT_FALSE(model.Delete());
    EXPECT_EQ(model.Generation(), generation + 1);
    EXPECT_EQ(model.Names(), (std::vector<std::string>{"a", "b", "c", "profile1"}));
    EXPECT_EQ(model.Selected(), 2); // still the current profile
    EXPECT_EQ(model.IdAt(3), added);
    EXPECT_EQ(ListFile()["profilelist"].size(), 4u);
    EXPECT_TRUE(model.Delete());
    EXPECT_EQ(model.Names(), (std::vector<std::string>{"a", "b", "profile1"}));

    // A list file that went away meanwhile gets the shown list back.
    ASSERT_EQ(unlink((folder + "ProfileList.ini").c_str()), 0);
    ASSERT_TRUE(model.Select(2));
    EXPECT_EQ(ListFile()["profilelist"].size(), 3u);
    EXPECT_EQ(ListFile()["profilelist"][2]["profileUUID"].asString(), added);
}

TEST_F(ProfileListTest, ExportWritesTheProfileWithItsIdentityForImportingAgain)
{
    WriteList({"work", "game"}, 1);
    model.Load();
    const std::string out = Path("game.json");
    ASSERT_TRUE(model.Export(out));
    EXPECT_EQ(nq::ReadJsonFile(out), Named(MouseDocument(200), "game", "id1"));
    ASSERT_TRUE(model.Delete());
    ASSERT_EQ(model.Import(out), ImportResult::Imported);
    EXPECT_EQ(model.Names(), (std::vector<std::string>{"work", "game"}));
    EXPECT_EQ(Profile(1)["Device"], MouseDocument(200)["Device"]);

    // Nothing to export from a profile file that cannot be read, nor into a missing folder.
    WriteRaw("user/" + model.IdAt(1) + ".Json", "{broken");
    ASSERT_TRUE(model.Select(1));
    EXPECT_FALSE(model.Export(Path("again.json")));
    ASSERT_TRUE(model.Select(0));
    EXPECT_FALSE(model.Export(Path("missing/x.json")));
}

TEST_F(ProfileListTest, WritesThatFailChangeNothing)
{
    WriteList({"a", "b"});
    model.Load();
    // A folder in the list file's place: no list can be written, whatever the process's rights.
    ASSERT_EQ(rename((folder + "ProfileList.ini").c_str(), Path("list.saved").c_str()), 0);
    ASSERT_EQ(mkdir((folder + "ProfileList.ini").c_str(), 0700), 0);
    EXPECT_FALSE(model.Add());
    EXPECT_FALSE(model.Copy());
    EXPECT_EQ(model.Import(WriteImport("in.json", Named(MouseDocument(1), "in"))), ImportResult::WriteFailed);
    EXPECT_FALSE(model.Delete());
    EXPECT_EQ(model.Rename("c"), ProfileListModel::kRenameFailed);
    EXPECT_EQ(model.Names(), (std::vector<std::string>{"a", "b"}));
    // No profile file was left behind by the additions that failed.
    EXPECT_EQ(List(folder), (std::vector<std::string>{"ProfileList.ini", "id0.Json", "id1.Json"}));
    EXPECT_EQ(nq::ReadJsonFile(Path("list.saved"))["profilelist"].size(), 2u);
}

} // namespace
