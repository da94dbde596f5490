// The macro editor's logic: list operations, deletion with the key assignments that played the
// macro, rows, and recording with its delay rules.
#include "macros/MacroEditorModel.h"
#include "macros/MouseEventTable.h"
#include "profiles/JsonFile.h"

#include "support/TempFolderTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using nq::KeyAssignment;
using nq::KeyEntry;
using nq::MacroEditorModel;
using nq::MacroEvent;
using Model = nq::MacroEditorModel;

struct FakeHost : Model::Host {
    bool Confirm(const std::string& key) override
    {
        asked.push_back(key);
        return answers.empty() ? true : [&] { bool a = answers.front(); answers.erase(answers.begin()); return a; }();
    }
    void Tell(const std::string& key) override { told.push_back(key); }
    std::vector<KeyEntry> KeyTable() override { return keys; }
    void SetKeyTable(const std::vector<KeyEntry>& table) override { keys = table; }
    void MacroAdded(const std::string& name) override { added.push_back(name); }
    void MacroRemoved(int position) override { removed.push_back(position); }
    void MacroRenamed(int position, const std::string& name) override { renamed.emplace_back(position, name); }
    void KeysPruned() override { ++pruned; }

    std::vector<bool> answers;
    std::vector<std::string> asked, told, added;
    std::vector<int> removed;
    std::vector<std::pair<int, std::string>> renamed;
    std::vector<KeyEntry> keys;
    int pruned = 0;
};

KeyEntry Key(uint8_t code, uint8_t p1, uint8_t p2, KeyAssignment defaults = KeyAssignment::Function(0x10, 1, 0))
{
    return {KeyAssignment::Function(code, p1, p2), defaults};
}

class MacroEditor : public nqtest::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        model.SetFolder(folder);
        model.LoadList();
    }

    void WriteList(const std::vector<std::string>& names)
    {
        Json::Value doc;
        for (size_t i = 0; i < names.size(); ++i) {
            doc["MacroInfo"][Json::ArrayIndex(i)]["MacroName"] = names[i];
            doc["MacroInfo"][Json::ArrayIndex(i)]["Guid"] = "m" + std::to_string(i);
        }
        ASSERT_TRUE(nq::WriteJsonFile(folder + "macro.config", doc));
        model.LoadList();
    }
    // Rows as "type/button/d|u/delay".
    std::vector<std::string> RowTexts() const
    {
        std::vector<std::string> out;
        for (const auto& row : model.Rows())
            out.push_back(std::to_string(row.event.type) + "/" + std::to_string(row.event.button) + "/" +
                          (row.event.down ? "d" : "u") + "/" + row.delayText);
        return out;
    }
    std::string FileText(const std::string& name) const
    {
        std::ifstream in(folder + name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string NewRecordedMacro(int timing = Model::kActualTime, int mode = Model::kAppend, std::string fixed = "")
    {
        const std::string name = model.Add();
        model.StartRecording(timing, mode, fixed, now);
        return name;
    }
    // Scan codes: 0x1D left Ctrl, 0x2E C, 0x1E A, 0x30 B.
    void Press(uint8_t scan, uint64_t at) { model.RecordKey(scan, false, true, now = at); }
    void Release(uint8_t scan, uint64_t at) { model.RecordKey(scan, false, false, now = at); }

    FakeHost host;
    Model model{&host};
    uint64_t now = 1000;
};

TEST_F(MacroEditor, AddNamesTheFirstFreeNumberWithoutCase)
{
    WriteList({"macro_1", "MACRO_3"});
    EXPECT_EQ(model.Add(), "macro_2");
    EXPECT_EQ(model.Add(), "macro_4");
    EXPECT_EQ(model.SelectedMacro(), 3);
    EXPECT_TRUE(model.MacroControlsEnabled());
    const auto list = model.Library().ReadList();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[3].name, "macro_4");
    EXPECT_TRUE(nq::MacroLibrary::IsSafeIdentifier(list[3].guid));
    EXPECT_NE(list[2].guid, list[3].guid);
    // No event file until the first save.
    EXPECT_FALSE(std::filesystem::exists(folder + list[3].guid + ".mac"));
}

TEST_F(MacroEditor, FiftyMacrosAtMostAndTheUserIsTold)
{
    std::vector<std::string> names;
    for (int i = 0; i < 50; ++i)
        names.push_back("n" + std::to_string(i));
    WriteList(names);
    const std::string before = FileText("macro.config");
    std::ofstream(folder + "import.mac") << "{}";
    EXPECT_EQ(model.Add(), "");
    EXPECT_EQ(model.Import(folder + "import.mac"), "");
    EXPECT_EQ(host.told, (std::vector<std::string>{Model::kTooMany, Model::kTooMany}));
    EXPECT_EQ(model.Macros().size(), 50u);
    EXPECT_EQ(FileText("macro.config"), before);
}

TEST_F(MacroEditor, DeletingAMacroPrunesAndRenumbersTheKeysThatPlayIt)
{
    WriteList({"a", "b", "c"});
    std::ofstream(folder + "m1.mac") << "{}";
    const KeyAssignment leftClick = KeyAssignment::Function(0x10, 1, 0);
    host.keys = {Key(0x70, 1, 0, leftClick), Key(0x71, 2, 5), Key(0x70, 0, 3), Key(0x20, 1, 6)};
    host.keys[0].current.keyIndex = 7;
    model.SelectMacro(1);
    EXPECT_EQ(model.Delete(), 1);
    EXPECT_EQ(host.asked, (std::vector<std::string>{Model::kAskDelete, Model::kAskDeleteUsed}));
    EXPECT_EQ(host.keys[0].current, leftClick);        // played macro 1: default back
    EXPECT_EQ(host.keys[0].current.keyIndex, 7);
    EXPECT_EQ(host.keys[1].current, KeyAssignment::Function(0x71, 1, 5)); // macro 2 is now 1
    EXPECT_EQ(host.keys[2].current, KeyAssignment::Function(0x70, 0, 3)); // macro 0 untouched
    EXPECT_EQ(host.keys[3].current, KeyAssignment::Function(0x20, 1, 6));
    EXPECT_EQ(host.pruned, 1);
    EXPECT_EQ(host.removed, std::vector<int>{1});
    EXPECT_FALSE(std::filesystem::exists(folder + "m1.mac"));
    EXPECT_EQ(model.Names(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(model.Library().ReadList().size(), 2u);
    EXPECT_EQ(model.SelectedMacro(), 0); // the first remaining macro is shown
}

TEST_F(MacroEditor, DecliningEitherQuestionChangesNothing)
{
    WriteList({"a", "b"});
    host.keys = {Key(0x70, 0, 0)};
    for (const std::vector<bool> answers : {std::vector<bool>{false}, std::vector<bool>{true, false}}) {
        host.answers = answers;
        model.SelectMacro(0);
        EXPECT_EQ(model.Delete(), -1);
        EXPECT_EQ(model.Macros().size(), 2u);
        EXPECT_EQ(host.keys[0].current, KeyAssignment::Function(0x70, 0, 0));
    }
    EXPECT_EQ(host.pruned, 0);
    // A macro no key uses is deleted after one question, and the keys are not written.
    host.asked.clear();
    host.answers.clear();
    model.SelectMacro(1);
    EXPECT_EQ(model.Delete(), 1);
    EXPECT_EQ(host.asked, std::vector<std::string>{Model::kAskDelete});
    EXPECT_EQ(host.pruned, 0);
    host.answers.clear();
    model.SelectMacro(0);
    EXPECT_EQ(model.Delete(), 0);
    EXPECT_FALSE(model.MacroControlsEnabled());
}

TEST_F(MacroEditor, RenameRefusesBlankAndTakenNames)
{
    WriteList({"a", "b"});
    model.SelectMacro(1);
    EXPECT_FALSE(model.Rename("   "));
    EXPECT_FALSE(model.Rename("A"));
    EXPECT_FALSE(model.Rename("b"));
    EXPECT_EQ(host.told, (std::vector<std::string>{Model::kEmptyName, Model::kNameInUse, Model::kNameInUse}));
    EXPECT_TRUE(model.Rename(" New "));
    EXPECT_EQ(model.Library().ReadList()[1].name, " New ");
    EXPECT_EQ(host.renamed.back(), std::make_pair(1, std::string(" New ")));
}

TEST_F(MacroEditor, ImportTakesTheDefaultNameAndTheFileAsItIs)
{
    const std::string text = R"({"MacroName": "theirs", "Guid": "../evil", "Events": [{"Type": 1, "Button": 1, "Action": "down", "Delay": "70000"}]})";
    std::ofstream(folder + "in.mac") << text;
    EXPECT_EQ(model.Import(folder + "in.mac"), "macro_1");
    const std::string guid = model.Macros()[0].guid;
    EXPECT_EQ(FileText(guid + ".mac"), text);
    ASSERT_EQ(model.Rows().size(), 1u);
    EXPECT_EQ(model.Rows()[0].delayText, "65535");
    // The file keeps its text until the macro is saved.
    EXPECT_EQ(FileText(guid + ".mac"), text);
    model.SaveSelected();
    EXPECT_EQ(nq::ReadJsonFile(folder + guid + ".mac")["Events"][0]["Delay"].asString(), "65535");
    EXPECT_EQ(nq::ReadJsonFile(folder + guid + ".mac")["Guid"].asString(), guid);

    EXPECT_EQ(model.Import(folder + "missing.mac"), "");
    EXPECT_EQ(host.told.back(), Model::kImportFailed);
    EXPECT_EQ(model.Macros().size(), 1u);
}

TEST_F(MacroEditor, ExportCopiesTheFileOrWritesTheUnsavedMacro)
{
    model.Add();
    model.InsertMouseClick(nq::MouseEventTable::kLeft);
    ASSERT_TRUE(model.Export(folder + "fresh.mac"));
    EXPECT_EQ(nq::ReadJsonFile(folder + "fresh.mac")["Events"].size(), 2u);
    const std::string guid = model.Macros()[0].guid;
    std::ofstream(folder + guid + ".mac") << "{ broken";
    ASSERT_TRUE(model.Export(folder + "copy.mac"));
    EXPECT_EQ(FileText("copy.mac"), "{ broken");
}

TEST_F(MacroEditor, MalformedEventFileShowsEmptyAndIsNotRewrittenByShowing)
{
    WriteList({"a"});
    std::ofstream(folder + "m0.mac") << "[[[";
    model.SelectMacro(0);
    EXPECT_TRUE(model.Rows().empty());
    EXPECT_EQ(model.ShownState(), nq::MacroLibrary::ReadState::Malformed);
    model.ReloadSelected();
    EXPECT_EQ(FileText("m0.mac"), "[[[");
}

TEST_F(MacroEditor, SaveNormalisesDelayTexts)
{
    model.Add();
    model.InsertMouseButton(0);
    model.InsertMouseButton(1);
    model.InsertMouseButton(2);
    model.SetDelayText(0, "");
    model.SetDelayText(1, "00120");
    model.SetDelayText(2, "99999");
    ASSERT_TRUE(model.SaveSelected());
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"1/1/d/0", "1/1/u/120", "1/2/d/65535"}));
    const Json::Value doc = nq::ReadJsonFile(folder + model.Macros()[0].guid + ".mac");
    EXPECT_EQ(doc["Events"][1]["Delay"].asString(), "120");
    EXPECT_EQ(doc["Events"][2]["Delay"].asString(), "65535");
}

TEST_F(MacroEditor, FilesThatCannotBeWrittenAreToldAndNothingChanges)
{
    std::ofstream(folder + "plain") << "a file where the folder should be";
    model.SetFolder(folder + "plain/");
    model.LoadList();
    EXPECT_EQ(model.Add(), "");
    EXPECT_TRUE(model.Macros().empty());
    EXPECT_EQ(host.told, std::vector<std::string>{Model::kWriteFailed});

    // A macro whose folder went away: the save is told, not claimed.
    model.SetFolder(folder);
    model.LoadList();
    model.Add();
    model.InsertMouseButton(0);
    model.SetFolder(folder + "plain/");
    EXPECT_FALSE(model.SaveSelected());
    EXPECT_EQ(host.told.back(), Model::kWriteFailed);
}

TEST_F(MacroEditor, RowOperations)
{
    model.Add();
    EXPECT_TRUE(model.InsertMouseButton(0)); // at 0 in an empty list
    EXPECT_TRUE(model.InsertMove(0x84, 300));
    EXPECT_TRUE(model.InsertMove(0x05, 7));
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"1/1/d/50", "4/44/d/50", "5/7/u/50"}));
    model.SelectRow(1);
    EXPECT_TRUE(model.InsertMouseClick(nq::MouseEventTable::kForward));
    EXPECT_EQ(RowTexts()[2], "1/16/d/50");
    EXPECT_EQ(RowTexts()[3], "1/16/u/50");
    EXPECT_EQ(model.SelectedRow(), 3);
    model.MoveRowToTop();
    EXPECT_EQ(RowTexts()[0], "1/16/u/50");
    EXPECT_EQ(model.SelectedRow(), 0);
    model.MoveRowUp(); // already at the top
    EXPECT_EQ(model.SelectedRow(), 0);
    model.MoveRowDown();
    EXPECT_EQ(RowTexts()[1], "1/16/u/50");
    model.MoveRowToBottom();
    EXPECT_EQ(RowTexts().back(), "1/16/u/50");
    EXPECT_EQ(model.SelectedRow(), 4);
    model.DeleteRow();
    EXPECT_EQ(model.Rows().size(), 4u);
    EXPECT_EQ(model.SelectedRow(), 3);
    model.DeleteAllRows();
    EXPECT_TRUE(model.Rows().empty());
    EXPECT_EQ(model.SelectedRow(), -1);
}

TEST_F(MacroEditor, TwoThousandRowsAtMost)
{
    model.Add();
    for (int i = 0; i < 1999; ++i)
        ASSERT_TRUE(model.InsertMouseButton(0));
    EXPECT_FALSE(model.InsertMouseClick(1)); // a click needs two rows
    EXPECT_TRUE(model.InsertMouseButton(1));
    EXPECT_FALSE(model.InsertMouseButton(1));
    model.StartRecording(Model::kNoDelay, Model::kAppend, "", now);
    EXPECT_FALSE(model.RecordKey(0x1E, false, true, now));
    EXPECT_EQ(model.Rows().size(), 2000u);
}

TEST_F(MacroEditor, RecordsCtrlCAndAClickWithTheirActualDelays)
{
    NewRecordedMacro();
    Press(0x1D, 1000);      // left Ctrl
    Press(0x2E, 1040);      // C
    Release(0x2E, 1100);
    Release(0x1D, 1130);
    EXPECT_TRUE(model.RecordMouse(0x0201, 0, false, now = 1230));
    EXPECT_TRUE(model.RecordMouse(0x0202, 0, false, now = 1250));
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"9/1/d/40", "10/6/d/60", "10/6/u/30", "9/1/u/100",
                                                    "1/1/d/20", "1/1/u/0"}));
    model.StopRecording();
    const Json::Value doc = nq::ReadJsonFile(folder + model.Macros()[0].guid + ".mac");
    ASSERT_EQ(doc["Events"].size(), 6u);
    EXPECT_EQ(doc["Events"][3]["Delay"].asString(), "100");
}

TEST_F(MacroEditor, AutoRepeatAndOverlappingKeys)
{
    NewRecordedMacro(Model::kNoDelay);
    Press(0x1E, 1);
    Press(0x1E, 2); // repeats
    Press(0x1E, 3);
    Release(0x1E, 4);
    Press(0x1E, 5); // A twice, with a release between
    Release(0x1E, 6);
    Press(0x1E, 7);
    Press(0x30, 8); // A, B, release A, release B
    Release(0x1E, 9);
    Release(0x30, 10);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"10/4/d/0", "10/4/u/0", "10/4/d/0", "10/4/u/0", "10/4/d/0",
                                                    "10/5/d/0", "10/4/u/0", "10/5/u/0"}));
    // Keys outside the capture rows are ignored.
    EXPECT_FALSE(model.RecordKey(0x7F, true, true, 11));
}

TEST_F(MacroEditor, LongPausesAndFixedDelays)
{
    NewRecordedMacro();
    Press(0x1E, 1000);
    Press(0x30, 1250);
    Press(0x2E, 71250);
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"10/4/d/250", "10/5/d/65535", "10/6/d/0"}));

    model.StopRecording();
    EXPECT_EQ(model.StartRecording(Model::kFixedDelay, Model::kAppend, "123456", now), "65535");
    Release(0x1E, 71300);
    Release(0x30, 71400);
    EXPECT_EQ(RowTexts()[3], "10/4/u/65535");
    EXPECT_EQ(RowTexts()[4], "10/5/u/65535");
    EXPECT_EQ(RowTexts()[2], "10/6/d/65535");
    EXPECT_EQ(model.FixedDelay(), 65535u);
    // A mouse event inserted afterwards takes the fixed delay of that recording; before any, 50.
    model.InsertMouseButton(0);
    EXPECT_EQ(model.Rows()[5].delayText, "65535");
}

TEST_F(MacroEditor, InsertBeforeKeepsTheSelectedRowAfterTheNewOnes)
{
    model.Add();
    for (int i = 0; i < 4; ++i)
        model.InsertMouseButton(i);
    model.SelectRow(2);
    model.StartRecording(Model::kNoDelay, Model::kBefore, "", now);
    Press(0x1E, 1);
    Press(0x30, 2);
    Press(0x2E, 3);
    EXPECT_EQ(RowTexts()[2], "10/4/d/0");
    EXPECT_EQ(RowTexts()[3], "10/5/d/0");
    EXPECT_EQ(RowTexts()[4], "10/6/d/0");
    EXPECT_EQ(RowTexts()[5], "1/2/d/50");
    EXPECT_EQ(model.SelectedRow(), 5);
}

TEST_F(MacroEditor, MouseRecordingRules)
{
    NewRecordedMacro(Model::kNoDelay);
    // The click that stops the recording is not recorded.
    EXPECT_FALSE(model.RecordMouse(0x0201, 0, true, 1));
    EXPECT_FALSE(model.RecordMouse(0x0202, 0, true, 2));
    // Forward then back without a release between: only the first.
    EXPECT_TRUE(model.RecordMouse(0x020B, 2, false, 3));
    EXPECT_FALSE(model.RecordMouse(0x020B, 1, false, 4));
    EXPECT_TRUE(model.RecordMouse(0x020C, 1, false, 5));
    EXPECT_FALSE(model.RecordMouse(0x020C, 3, false, 6)); // no such X button
    EXPECT_FALSE(model.RecordMouse(0x020A, 0, false, 7)); // the wheel is not recorded
    EXPECT_EQ(RowTexts(), (std::vector<std::string>{"1/16/d/0", "1/8/u/0"}));
}

TEST_F(MacroEditor, ReplaceModeChangesOnlyTheSelectedRowsKey)
{
    model.Add();
    model.InsertMouseButton(1);
    model.SetDelayText(0, "77");
    model.SelectRow(0);
    model.StartRecording(Model::kNoDelay, Model::kReplace, "", now);
    EXPECT_TRUE(model.RecordKey(0x1E, false, true, 1));
    EXPECT_EQ(RowTexts(), std::vector<std::string>{"10/4/u/77"});
    EXPECT_TRUE(model.RecordMouse(0x0204, 0, false, 2));
    EXPECT_EQ(RowTexts(), std::vector<std::string>{"1/2/u/77"});
}

} // namespace
