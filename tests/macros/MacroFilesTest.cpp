// The macro files: list file, event files, identifiers, limits and the display names.
#include "macros/MacroEvent.h"
#include "macros/MacroLibrary.h"
#include "macros/MouseEventTable.h"
#include "profiles/JsonFile.h"

#include "support/TempFolderTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using nq::MacroEvent;
using nq::MacroLibrary;

class MacroFolder : public nqtest::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        library.SetFolder(folder);
    }

    void WriteText(const std::string& name, const std::string& text) const
    {
        std::ofstream(folder + name, std::ios::binary) << text;
    }
    std::string ReadText(const std::string& name) const
    {
        std::ifstream in(folder + name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    MacroLibrary library;
};

TEST_F(MacroFolder, ListRewriteKeepsOtherMembersAndOrder)
{
    WriteText("macro.config", R"({"Owner": "someone", "MacroInfo": [{"MacroName": "a", "Guid": "g0", "Extra": 1}]})");
    ASSERT_TRUE(library.SetEntry(1, {"b", "g1"}));
    ASSERT_TRUE(library.RenameEntry(0, "A"));
    const Json::Value doc = nq::ReadJsonFile(folder + "macro.config");
    EXPECT_EQ(doc["Owner"].asString(), "someone");
    EXPECT_EQ(doc["MacroInfo"][0]["Extra"].asInt(), 1);
    const auto list = library.ReadList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "A");
    EXPECT_EQ(list[1].guid, "g1");
    ASSERT_TRUE(library.RemoveEntry(0));
    ASSERT_EQ(library.ReadList().size(), 1u);
    EXPECT_EQ(library.ReadList()[0].name, "b");
    EXPECT_EQ(nq::ReadJsonFile(folder + "macro.config")["Owner"].asString(), "someone");
}

TEST_F(MacroFolder, MalformedListIsMovedAsideBeforeARewrite)
{
    WriteText("macro.config", "{ not json");
    EXPECT_TRUE(library.ReadList().empty());
    ASSERT_TRUE(library.SetEntry(0, {"macro_1", "g"}));
    EXPECT_EQ(ReadText("macro.config.broken"), "{ not json");
    EXPECT_EQ(library.ReadList().size(), 1u);
}

TEST_F(MacroFolder, EventFileRoundTripWritesTheSaveDocument)
{
    const std::vector<MacroEvent> events = {{10, 0x06, true, 100}, {1, 0x01, false, 0}};
    ASSERT_TRUE(library.WriteEvents("g", "name", events));
    const Json::Value doc = nq::ReadJsonFile(folder + "g.mac");
    EXPECT_EQ(doc["Version"].asInt(), 64);
    EXPECT_EQ(doc["MacroName"].asString(), "name");
    EXPECT_EQ(doc["Guid"].asString(), "g");
    EXPECT_EQ(doc["Events"][0]["Delay"].asString(), "100");
    EXPECT_EQ(doc["Events"][0]["Action"].asString(), "down");
    EXPECT_EQ(doc["Events"][1]["Action"].asString(), "up");
    MacroLibrary::ReadState state{};
    EXPECT_EQ(library.ReadEvents("g", &state), events);
    EXPECT_EQ(state, MacroLibrary::ReadState::Read);
}

TEST_F(MacroFolder, DelaysOutOfRangeOrNotNumbersReadSafely)
{
    WriteText("g.mac", R"({"Events": [
        {"Type": 10, "Button": 4, "Action": "down", "Delay": "70000"},
        {"Type": 10, "Button": 4, "Action": "up", "Delay": "abc"},
        {"Type": 1, "Button": 1, "Action": "sideways", "Delay": 0},
        {"Type": 1, "Button": 1, "Action": "down", "Delay": -5},
        {"Type": 1, "Button": 1, "Action": "down", "Delay": "00120"},
        {"Type": "x", "Button": [], "Delay": 1e30}]})");
    const std::string before = ReadText("g.mac");
    const auto events = library.ReadEvents("g");
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].delay, 65535u);
    EXPECT_EQ(events[1].delay, 0u);
    EXPECT_FALSE(events[2].down); // anything but "down" is "up"
    EXPECT_EQ(events[3].delay, 0u);
    EXPECT_EQ(events[4].delay, 120u);
    EXPECT_EQ(events[5], (MacroEvent{0, 0, false, 65535}));
    EXPECT_EQ(ReadText("g.mac"), before); // reading never rewrites
}

TEST_F(MacroFolder, MissingOrMalformedEventFilesReadEmptyAndStayUntouched)
{
    MacroLibrary::ReadState state{};
    EXPECT_TRUE(library.ReadEvents("absent", &state).empty());
    EXPECT_EQ(state, MacroLibrary::ReadState::Missing);
    EXPECT_FALSE(std::filesystem::exists(folder + "absent.mac"));

    for (const char* text : {"", "[1, 2]", "{\"Events\": 5}", "{\"Events\": [", "\x01\x02garbage"}) {
        SCOPED_TRACE(text);
        WriteText("bad.mac", text);
        EXPECT_TRUE(library.ReadEvents("bad", &state).empty());
        EXPECT_EQ(ReadText("bad.mac"), text);
    }
}

TEST_F(MacroFolder, IdentifiersThatLeaveTheFolderNameNoFile)
{
    std::filesystem::create_directories(folder + "sub");
    WriteText("outside.mac", "{}");
    for (const std::string& guid : std::vector<std::string>{"", ".", "..", "../outside", "sub/x", "a\\b", std::string("a\0b", 3)}) {
        SCOPED_TRACE(guid);
        EXPECT_FALSE(MacroLibrary::IsSafeIdentifier(guid));
        EXPECT_EQ(library.EventFilePath(guid), "");
        MacroLibrary::ReadState state{};
        EXPECT_TRUE(library.ReadEvents(guid, &state).empty());
        EXPECT_EQ(state, MacroLibrary::ReadState::BadIdentifier);
        EXPECT_FALSE(library.WriteEvents(guid, "n", {}));
        EXPECT_FALSE(library.DeleteEventFile(guid));
        EXPECT_FALSE(library.ImportFile(folder + "outside.mac", guid));
    }
    EXPECT_TRUE(std::filesystem::exists(folder + "outside.mac"));
    EXPECT_FALSE(std::filesystem::exists(folder + "sub/x.mac"));
}

TEST_F(MacroFolder, ImportAndExportCopyByteForByte)
{
    const std::string bytes = "{ \"MacroName\": \"theirs\", \"Events\": [] }\n\n  ";
    WriteText("source.mac", bytes);
    ASSERT_TRUE(library.ImportFile(folder + "source.mac", "g"));
    EXPECT_EQ(ReadText("g.mac"), bytes);
    ASSERT_TRUE(library.ExportFile("g", folder + "out.mac"));
    EXPECT_EQ(ReadText("out.mac"), bytes);
    EXPECT_FALSE(library.ImportFile(folder + "nothing.mac", "h"));
    EXPECT_FALSE(std::filesystem::exists(folder + "h.mac"));
}

TEST(MacroEventNames, EachEventTypeHasItsDisplayName)
{
    struct Case {
        MacroEvent event;
        const char* name;
    };
    const Case cases[] = {
        {{10, 0x06, true, 0}, "keyboard_key_C"},
        {{10, 0x04, false, 0}, "keyboard_key_A"},
        {{10, 0x28, true, 0}, "keyboard_key_Enter"},
        {{10, 0x00, true, 0}, ""},     // no key has usage 0
        {{10, 0x1234, true, 0}, ""},   // beyond a byte
        {{9, 0x01, true, 0}, "keyboard_key_LCtrl"},
        {{9, 0x40, true, 0}, "keyboard_key_RAlt"},
        {{9, 0x03, true, 0}, ""},
        {{1, 0x01, true, 0}, "mouse_key_left"},
        {{1, 0x02, false, 0}, "mouse_key_right"},
        {{1, 0x04, true, 0}, "mouse_key_middle"},
        {{1, 0x10, true, 0}, "mouse_key_forward"},
        {{1, 0x08, true, 0}, "mouse_key_back"},
        {{1, 0x20, true, 0}, ""},
        {{4, 10, true, 0}, "mouse_move_to_left_text"},
        {{4, 10, false, 0}, "mouse_move_to_right_text"},
        {{5, 10, true, 0}, "mouse_move_to_up_text"},
        {{5, 10, false, 0}, "mouse_move_to_down_text"},
        {{2, 1, true, 0}, ""},
        {{3, 1, true, 0}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.event.type << "/" << c.event.button);
        EXPECT_EQ(c.event.NameKey(), c.name);
    }
}

TEST(MouseEventTable, RowsMatchTheirMessagesAndTypeBytes)
{
    const auto& rows = nq::MouseEventTable::Rows();
    EXPECT_EQ(rows[0].message, 0x0201);
    EXPECT_EQ(rows[7].message, 0x020C);
    EXPECT_EQ(rows[7].button, 0x10);
    EXPECT_EQ(rows[9].button, 0x08);
    EXPECT_EQ(rows[12].typeByte, 0x85);
    EXPECT_EQ(rows[14].message, 0x020A);
    EXPECT_EQ(nq::MouseEventTable::FindButton(0x08, false), 9);
    EXPECT_EQ(nq::MouseEventTable::FindMove(4, false), 11);
}

} // namespace
