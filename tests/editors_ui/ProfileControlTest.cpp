// The profile list control on the mouse page and the main window's profile actions, with the
// page's mouse connected to the simulated mouse: what the list shows, what the files hold and
// what reaches the device's memory when the user switches, resets, imports and exports.
#include "MousePageFixture.h"

#include "app/DeviceSelector.h"
#include "app/ProfileActions.h"
#include "devices/MouseSettingsBlock.h"
#include "profiles/JsonFile.h"
#include "profiles/qt/CDeviceProfileUI.h"
#include "ui/CResourceManager.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

#include <gtest/gtest.h>

using namespace nq;
using nqtest::Bytes;
using nqtest::SlotStageX;

class ProfileControl : public nqtest::MousePageTest {
protected:
    void SetUp() override
    {
        nqtest::MousePageTest::SetUp();
        list = Get<pages::CDeviceProfileUI>("DeviceProfileItem");
        ASSERT_NE(list, nullptr);
        combo = list->Combo();
        ASSERT_NE(combo, nullptr);
        selector = std::make_unique<app::DeviceSelector>(window.get());
        actions = std::make_unique<app::ProfileActions>(window.get(), *selector);
        // The user answers the file dialogs with `chosenFile`.
        auto answer = [this](QWidget*, const QString&, const QString& filter, const QString& suggested) {
            dialogs << filter + " " + suggested;
            return chosenFile;
        };
        actions->chooseFileToOpen = answer;
        actions->chooseFileToSave = answer;
    }
    void TearDown() override
    {
        actions.reset();
        selector.reset();
        nqtest::MousePageTest::TearDown();
    }

    void Click(const char* name) { EXPECT_TRUE(actions->OnClick(name, Control(name))); }
    // The user picks combo item `index`; the main window's timer then switches the device.
    void Choose(int index)
    {
        ui::CControlAccess::SelectItem(combo, index, true);
        actions->OnProfileChosen(combo);
        actions->SwitchToChosenProfile();
    }
    void Rename(const QString& name)
    {
        list->SetNameEditText(name);
        Click("device_profile_edit_save_btn");
    }
    void SetStageOne(int units)
    {
        Get<QSlider>("DPI_slider_1")->setValue(units);
        page->Notify({"valuechanged", Control("DPI_slider_1"), quintptr(units), 0});
    }
    QStringList Items() const
    {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    }
    Json::Value ListFile() const { return ReadJsonFile(page->Mouse().GetUserFolder() + "ProfileList.ini"); }

    pages::CDeviceProfileUI* list = nullptr;
    QComboBox* combo = nullptr;
    std::unique_ptr<app::DeviceSelector> selector;
    std::unique_ptr<app::ProfileActions> actions;
    QString chosenFile;
    QStringList dialogs;
};

TEST_F(ProfileControl, BuildingThePageLoadsTheListAndTheFirstTab)
{
    EXPECT_EQ(Items(), QStringList{"profile1"});
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(list->GetNameEditText(), "profile1");
    EXPECT_EQ(combo->itemData(0, Qt::SizeHintRole).toSize().height(), pages::CDeviceProfileUI::kItemHeight);
    // The device's profile is the list's current one.
    EXPECT_EQ(page->Mouse().ProfileName(), list->CurrentProfileId());
    // The tab row of the page: the first editor tab selected, the others clear.
    EXPECT_TRUE(ui::CControlAccess::IsSelected(Control("deng_Op_tab")));
    list->SelectEditorTab(4);
    EXPECT_TRUE(ui::CControlAccess::IsSelected(Control("system_Op_tab")));
    EXPECT_FALSE(ui::CControlAccess::IsSelected(Control("deng_Op_tab")));

    // The headset hides the tabs it has no editor for; the fold-out menu toggles.
    list->SetDeviceType(7);
    list->LoadProfileList();
    for (const char* hidden : {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"})
        EXPECT_TRUE(Control(hidden)->isHidden()) << hidden;
    EXPECT_FALSE(Control("deng_Op_tab")->isHidden());
    EXPECT_FALSE(list->IsMenuVisible());
    Click("profile_fun_spread_btn");
    EXPECT_TRUE(list->IsMenuVisible());
    Click("profile_fun_spread_btn");
    EXPECT_FALSE(list->IsMenuVisible());
}

TEST_F(ProfileControl, SwitchingWritesTheChosenProfileToTheMouse)
{
    ConnectPage();
    SetStageOne(100);
    Rename("work");
    Click("device_add_btn");
    EXPECT_EQ(Items(), (QStringList{"work", "profile1"}));
    EXPECT_EQ(combo->currentIndex(), 0); // a new profile is not chosen by adding it

    ClearSent();
    Choose(1);
    EXPECT_EQ(list->CurrentProfileId(), page->Mouse().ProfileName());
    EXPECT_EQ(SlotStageX(Area("config"), 0, 1), 16); // the default profile's stage
    EXPECT_EQ(page->GetDpiSlider(1), 16);
    std::vector<uint8_t> commands = SentCommands();
    for (uint8_t command : {CMD_WRITE_CONFIG, CMD_WRITE_KEYMAP})
        EXPECT_NE(std::find(commands.begin(), commands.end(), command), commands.end()) << int(command);
    Rename("game");
    SetStageOne(200);
    EXPECT_EQ(SlotStageX(Area("config"), 0, 1), 200);

    Choose(0);
    EXPECT_EQ(SlotStageX(Area("config"), 0, 1), 100);
    EXPECT_EQ(page->GetDpiSlider(1), 100);
    Choose(1);
    EXPECT_EQ(SlotStageX(Area("config"), 0, 1), 200);
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 1);

    // The next start finds both, with the last one chosen.
    ProfileListModel again;
    again.SetFolders(page->Mouse().GetUserFolder(), page->Mouse().GetDefaultProfilePath());
    again.Load();
    EXPECT_EQ(again.Names(), (std::vector<std::string>{"work", "game"}));
    EXPECT_EQ(again.CurrentProfileId(), page->Mouse().ProfileName());
}

TEST_F(ProfileControl, ASwitchTheMouseRefusesIsShownAndTheListKeepsTheHeldProfile)
{
    ConnectPage();
    SetStageOne(100);
    Rename("work");
    Click("device_add_btn");
    const std::string workId = list->CurrentProfileId();

    nqtest::MessageBoxWatcher boxes;
    ASSERT_EQ(Fw({"refuse", "ff", "2"}), "ok"); // BatchBegin passes, the settings block is refused
    Choose(1);
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_TRUE(boxes.Texts()[0].contains("\"profile1\"")) << boxes.Texts()[0].toStdString();
    EXPECT_TRUE(boxes.Texts()[0].contains("work")) << boxes.Texts()[0].toStdString();
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(list->GetNameEditText(), "work");
    EXPECT_EQ(list->CurrentProfileId(), workId);
    EXPECT_EQ(page->Mouse().ProfileName(), workId);
    EXPECT_EQ(ListFile()["profileselect"].asInt(), 0);
    EXPECT_EQ(page->GetDpiSlider(1), 100);
    EXPECT_EQ(SlotStageX(Area("config"), 0, 1), 100);

    // The settings block (four reports) reaches the mouse, everything after it is refused: the
    // key table that did not arrive is told (there are no macros, so none are said to be lost),
    // and the list shows the profile whose settings the mouse now holds.
    for (int report = 5; report <= 24; ++report)
        ASSERT_EQ(Fw({"refuse", "fe", std::to_string(report)}), "ok");
    Choose(1);
    Fw({"clear"});
    ASSERT_EQ(boxes.Texts().size(), 2) << boxes.Texts().join(" | ").toStdString();
    EXPECT_TRUE(boxes.Texts()[1].contains("key assignments of \"profile1\"")) << boxes.Texts()[1].toStdString();
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(list->CurrentProfileId(), page->Mouse().ProfileName());
    EXPECT_NE(list->CurrentProfileId(), workId);
    EXPECT_EQ(SlotStageX(Area("config"), 0, 1), 16);
}

TEST_F(ProfileControl, ExportDeleteAndImportBringTheProfileBack)
{
    ConnectPage();
    Click("device_add_btn");
    Choose(1);
    Rename("game");
    SetStageOne(200);
    // The suggested file name never reads as a path.
    Rename("a/../b");
    chosenFile.clear();
    Click("device_export_btn");
    EXPECT_EQ(dialogs, QStringList{"Profile Files(*.json) a_.._b.json"});
    dialogs.clear();
    Rename("game");
    const std::string out = folders->Root() + "game.json";
    chosenFile = QString::fromStdString(out);
    Click("device_export_btn");
    EXPECT_EQ(dialogs, QStringList{"Profile Files(*.json) game.json"});
    const Json::Value exported = ReadJsonFile(out);
    EXPECT_EQ(exported["profilename"].asString(), "game");
    EXPECT_EQ(exported["Device"][0]["DPIStages"]["StageDPIs"][1]["StageDPIX"].asInt(), 200);

    const std::string gameFile = page->Mouse().CurrentProfilePath();
    Click("device_sub_btn");
    EXPECT_EQ(Items(), QStringList{"profile1"});
    EXPECT_TRUE(ReadTextFile(gameFile).empty());
    // The combo chose the remaining profile and the device follows it.
    actions->SwitchToChosenProfile();
    EXPECT_EQ(SlotStageX(Area("config"), 0, 1), 16);

    Click("device_import_btn");
    EXPECT_EQ(Items(), (QStringList{"profile1", "game"}));
    Choose(1);
    EXPECT_EQ(SlotStageX(Area("config"), 0, 1), 200);
}

TEST_F(ProfileControl, ImportTellsWhyAFileIsRefused)
{
    Json::Value keyboard;
    keyboard["profilename"] = "kb";
    keyboard["profileUUID"] = "kb";
    keyboard["Device"][0]["SystemStages"]["Repeat"] = 30;
    const std::string keyboardFile = folders->Root() + "kb.json";
    ASSERT_TRUE(WriteJsonFile(keyboardFile, keyboard));
    Json::Value nameless = keyboard;
    nameless.removeMember("profilename");
    const std::string namelessFile = folders->Root() + "nameless.json";
    ASSERT_TRUE(WriteJsonFile(namelessFile, nameless));

    nqtest::MessageBoxWatcher boxes;
    for (const std::string& file : {keyboardFile, namelessFile}) {
        chosenFile = QString::fromStdString(file);
        Click("device_import_btn");
    }
    ASSERT_EQ(boxes.Texts().size(), 1); // the file without a name is ignored silently
    EXPECT_TRUE(boxes.Texts()[0].contains("another kind of device"));
    EXPECT_EQ(Items(), QStringList{"profile1"});
}

TEST_F(ProfileControl, RenameMessagesAndResetToTheDefault)
{
    ConnectPage();
    Click("device_add_btn");
    nqtest::MessageBoxWatcher boxes;
    Rename("PROFILE2");
    Rename("   ");
    Rename("");
    ASSERT_EQ(boxes.Texts().size(), 2);
    EXPECT_EQ(boxes.Texts()[0], ui::CResourceManager::Instance().Text("message_text_5"));
    EXPECT_EQ(boxes.Texts()[1], ui::CResourceManager::Instance().Text("message_text_25"));
    EXPECT_EQ(Items(), (QStringList{"profile1", "profile2"}));

    SetStageOne(300);
    EXPECT_EQ(SlotStageX(Area("config"), 0, 1), 300);
    Click("device_reset_btn"); // the watcher confirms
    EXPECT_EQ(boxes.Texts().size(), 3);
    EXPECT_EQ(SlotStageX(Area("config"), 0, 1), 16);
    EXPECT_EQ(page->GetDpiSlider(1), 16);
    const Json::Value file = ReadJsonFile(page->Mouse().CurrentProfilePath());
    EXPECT_EQ(file["profilename"].asString(), "profile1");
    EXPECT_EQ(file["Device"][0]["DPIStages"]["StageDPIs"][1]["StageDPIX"].asInt(), 16);
}

TEST_F(ProfileControl, APageSharingTheFolderShowsTheOtherPagesChangesBeforeActing)
{
    // The page of a second mouse of the same kind keeps its profiles in the same folder.
    pages::CDeviceProfileUI other;
    other.SetDeviceType(2);
    other.SetFolders(page->Mouse().GetUserFolder(), page->Mouse().GetDefaultProfilePath());
    other.LoadProfileList();
    ASSERT_TRUE(other.AddProfile());

    nqtest::MessageBoxWatcher boxes;
    Click("device_add_btn");
    EXPECT_EQ(Items(), (QStringList{"profile1", "profile2"})); // shown again, nothing added
    EXPECT_TRUE(boxes.Texts().isEmpty());
    Click("device_add_btn");
    EXPECT_EQ(Items(), (QStringList{"profile1", "profile2", "profile3"}));
    EXPECT_EQ(ListFile()["profilelist"].size(), 3u);
}
