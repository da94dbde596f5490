// The mouse device without a device attached: profile loading, name lists, key list operations,
// pruning of macro keys, and what the writes do while the channel is closed.
#include "MouseTestRig.h"

#include "devices/MouseMacroList.h"
#include "profiles/JsonFile.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace nq;
using nqtest::MouseDataFolders;

namespace {

// Counts the page's key label refreshes.
class CountingMouse : public CKelvaskMouseDevice {
public:
    void RefreshKeyLabels() override { ++refreshes; }
    int refreshes = 0;
};

class MouseDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        folders = std::make_unique<MouseDataFolders>();
        mouse = std::make_unique<CountingMouse>();
        mouse->SetProfileName("profile_a");
        mouse->SetLightConfigName("drovo_light");
    }

    std::unique_ptr<MouseDataFolders> folders;
    std::unique_ptr<CountingMouse> mouse;
};

KeyAssignment Assign(uint16_t index, uint8_t code, uint8_t p1, uint8_t p2 = 0)
{
    return {index, code, p1, p2, 0};
}

} // namespace

TEST_F(MouseDevice, LoadProfileCreatesTheFileFromTheDefaultAndTakesItsValues)
{
    EXPECT_EQ(mouse->LoadProfile(), 1);
    const std::string path = folders->UserFolder() + "profile_a.Json";
    EXPECT_EQ(mouse->CurrentProfilePath(), path);
    const Json::Value created = ReadJsonFile(path)["Device"][0];
    EXPECT_EQ(created["KeyList"].size(), 10u);
    EXPECT_EQ(created["KeyList"][8]["Assignment"].asUInt(), 0xA01B00u);
    EXPECT_EQ(created["DPIStages"]["StageDPIs"].size(), 5u);

    const std::vector<KeyEntry> keys = mouse->GetKeyTable();
    ASSERT_EQ(keys.size(), 10u);
    EXPECT_EQ(keys[3].current, Assign(3, 0x10, 0x10));
    EXPECT_EQ(keys[9].defaults, Assign(9, 0x16, 0x90, 0x01));
    ASSERT_EQ(mouse->GetDpiStages().size(), 5u);
    EXPECT_EQ(mouse->GetDpiStages()[4].dpiX, 128);
    EXPECT_EQ(mouse->GetActiveStage(), 1);
    EXPECT_EQ(mouse->GetSystemWords().ReportRateStage(), 3);
    EXPECT_EQ(mouse->GetSystemWords().WheelLines(), 3);
    // The lighting engine runs the profile's effect.
    EXPECT_EQ(mouse->MainLightSetting().Effect(), 3);
    EXPECT_EQ(mouse->Engine().Effect(), 3);
    EXPECT_EQ(mouse->Engine().Speed(), 2);
}

TEST_F(MouseDevice, RestoreDefaultsBringsBackTheDefaultAndSavesIt)
{
    mouse->LoadProfile();
    std::vector<KeyEntry> keys = mouse->GetKeyTable();
    keys[0].current = Assign(0, 0x20, 0, 0x04);
    mouse->SetKeyTable(keys);
    mouse->SaveProfile();
    ASSERT_EQ(ReadJsonFile(mouse->CurrentProfilePath())["Device"][0]["KeyList"][0]["Assignment"].asUInt(), 0x200004u);

    mouse->RestoreDefaults();
    EXPECT_EQ(mouse->GetKeyTable()[0].current, Assign(0, 0x10, 0x01));
    EXPECT_EQ(ReadJsonFile(mouse->CurrentProfilePath())["Device"][0]["KeyList"][0]["Assignment"].asUInt(), 0x100100u);
    EXPECT_GE(mouse->refreshes, 1); // the page is shown again
}

TEST_F(MouseDevice, KeyListOperationsStoreInTheProfileOnly)
{
    mouse->LoadProfile();
    KeyEntry entry = mouse->GetKeyTable()[2];
    entry.current = Assign(2, 0x30, 0xE9);

    // Without a selected key nothing changes.
    mouse->SetSelectedKeyEntry(entry);
    EXPECT_EQ(mouse->GetKeyTable()[2].current, Assign(2, 0x10, 0x04));

    mouse->SetSelectedKey(2);
    mouse->SetSelectedKeyEntry(entry);
    EXPECT_EQ(mouse->GetKeyTable()[2].current, entry.current);
    EXPECT_EQ(mouse->Profile().KeyList()[2].current, entry.current);
    EXPECT_EQ(mouse->Profile().GetNode()["KeyList"][2]["Assignment"].asUInt(), 0x30E900u);
    // The file is not written until the profile is saved.
    EXPECT_EQ(ReadJsonFile(mouse->CurrentProfilePath())["Device"][0]["KeyList"][2]["Assignment"].asUInt(), 0x100400u);
}

TEST_F(MouseDevice, PruneResetsKeysOfMacrosThatNoLongerExist)
{
    mouse->LoadProfile();
    folders->WriteMacroList({"a", "b", "c", "d", "e"}); // macro numbers 0-4
    std::vector<KeyEntry> keys = mouse->GetKeyTable();
    keys[0].current = Assign(0, 0x70, 5);    // gone
    keys[1].current = Assign(1, 0x71, 200);  // gone
    keys[2].current = Assign(2, 0x70, 4);    // exists
    keys[3].current = Assign(3, 0x20, 9);    // not a macro key
    mouse->SetKeyTable(keys);

    mouse->PruneAssignments();
    const std::vector<KeyEntry> pruned = mouse->GetKeyTable();
    EXPECT_EQ(pruned[0].current, pruned[0].defaults);
    EXPECT_EQ(pruned[1].current, pruned[1].defaults);
    EXPECT_EQ(pruned[2].current, Assign(2, 0x70, 4));
    EXPECT_EQ(pruned[3].current, Assign(3, 0x20, 9));
    EXPECT_EQ(mouse->Profile().KeyList()[0].current, pruned[0].defaults);
    EXPECT_EQ(mouse->refreshes, 1);

    // Nothing left to prune: no refresh.
    mouse->PruneAssignments();
    EXPECT_EQ(mouse->refreshes, 1);

    // Every macro deleted: the remaining macro key goes back to its default too.
    folders->WriteMacroList({});
    mouse->PruneAssignments();
    EXPECT_EQ(mouse->GetKeyTable()[2].current, pruned[2].defaults);
}

TEST_F(MouseDevice, NameListsComeFromTheListFiles)
{
    folders->WriteMacroList({"fire", "reload"});
    Json::Value user;
    Json::Value preset;
    preset["LightName"] = "my glow";
    preset["Guid"] = "2026_01_01";
    user["LightInfo"][0].append(preset);
    MouseDataFolders::WriteJson(folders->UserFolder() + "drovo_light.config", user);

    mouse->LoadNameLists();
    const MouseNameLists& lists = mouse->NameLists();
    EXPECT_EQ(lists.macroNames, (std::vector<std::string>{"fire", "reload"}));
    EXPECT_EQ(lists.defaultLightNames, (std::vector<std::string>{"light_wave", "light_spectrum", "light_breathing"}));
    EXPECT_EQ(lists.defaultLightVisible, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(lists.areaLightNames, (std::vector<std::string>{"light_area_all"}));
    EXPECT_EQ(lists.userLightNames, (std::vector<std::string>{"my glow"}));

    // Another variant has no lists in these files; missing files leave lists empty.
    std::filesystem::remove(folders->UserFolder() + "macro.config");
    mouse->SetVariant(1);
    mouse->LoadNameLists();
    EXPECT_TRUE(mouse->NameLists().macroNames.empty());
    EXPECT_TRUE(mouse->NameLists().defaultLightNames.empty());
    EXPECT_TRUE(mouse->NameLists().userLightNames.empty());
}

TEST_F(MouseDevice, MacroIdentifiersNeverLeaveTheUserFolder)
{
    Json::Value list;
    Json::Value macro;
    macro["MacroName"] = "sneaky";
    macro["Guid"] = "../outside";
    list["MacroInfo"].append(macro);
    MouseDataFolders::WriteJson(folders->UserFolder() + "macro.config", list);
    MouseDataFolders::WriteEventFile(folders->UserFolder() + "../outside.mac", 5, 1);

    const MouseMacroList macros = MouseMacroList::Load(folders->UserFolder());
    ASSERT_EQ(macros.Count(), 1u);
    EXPECT_TRUE(macros.ReadEvents(0).empty());
}

TEST_F(MouseDevice, ClosedChannelSendsNothing)
{
    mouse->LoadProfile();
    mouse->Channel().SetLightingSynced(true);
    EXPECT_EQ(mouse->ReadOnboardSettings(), 0);
    EXPECT_FALSE(mouse->Channel().LightingSynced());
    EXPECT_EQ(mouse->OnboardSlot(), 0);
    // The settings stay in the profile, but nothing reached the device: the caller is told.
    EXPECT_EQ(mouse->WriteSettingsToDevice(0, 0, 1, 1920, 1080), 0);
    EXPECT_EQ(mouse->WriteAssignmentsToDevice(0), 0);
    // Macros are still measured against the last known macro memory (none yet).
    EXPECT_EQ(mouse->WriteMacrosToDevice(), 0);
    folders->WriteMacroList({"one"});
    MouseDataFolders::WriteEventFile(folders->UserFolder() + "m0.mac", 3, 1);
    EXPECT_EQ(mouse->WriteMacrosToDevice(), 34 / 4 + 1);
    // An image that fits still never reached the device.
    mouse->Info().bytes[DeviceInfo::kMacroCapacityByte] = 1;
    EXPECT_EQ(mouse->WriteMacrosToDevice(), -1);
    EXPECT_EQ(mouse->WriteRecoilToDevice(), 0);
}
