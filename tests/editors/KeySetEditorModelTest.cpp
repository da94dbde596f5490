// The key assignment editor's logic: controls to assignment and back, key capture, saving.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editors/KeySetEditorModel.h"

namespace nq {
namespace {

constexpr auto A = KeyAssignment::Function;

// Records what the editor asks of the device.
struct FakeDevice : IKeyAssignmentTarget {
    std::vector<std::string> calls;
    std::vector<KeyEntry> entries;
    int macroResult = 0;

    void SetSelectedKeyEntry(const KeyEntry& entry) override
    {
        calls.push_back("SetSelectedKeyEntry");
        entries.push_back(entry);
    }
    void RefreshKeyLabels() override { calls.push_back("RefreshKeyLabels"); }
    int WriteMacrosToDevice() override
    {
        calls.push_back("WriteMacrosToDevice");
        return macroResult;
    }
    int WriteAssignmentsToDevice(int bank) override
    {
        calls.push_back("WriteAssignmentsToDevice " + std::to_string(bank));
        return 1;
    }
    void SaveProfile() override { calls.push_back("SaveProfile"); }
};

const KeyAssignment kDefault = A(0x10, 0x01, 0); // left button

KeySetEditorModel MouseEditor(const KeyAssignment& current = kDefault)
{
    KeySetEditorModel editor;
    editor.Configure(2);
    editor.FillMacroNames({"one", "two", "three"});
    KeyEntry entry{current, kDefault};
    entry.current.keyIndex = 4;
    entry.current.reserved = 9;
    editor.Load(entry);
    return editor;
}

TEST(KeySetEditorModel, ReadBuildsEachKindFromItsControls)
{
    struct Case {
        const char* name;
        void (*set)(KeySetControls&);
        KeyAssignment expected;
    } cases[] = {
        {"mouse button", [](KeySetControls& c) { c.functionKind = 1; c.mouseButton = 3; }, A(0x10, 0x10, 0)},
        {"swing", [](KeySetControls& c) {
             c.functionKind = 2; c.swingDelay = "20"; c.swingSpeed = "3x"; c.swingCount = "200"; c.swingDirection = 1; },
         A(0x11, 0x43, 0xC8)},
        {"wheel down", [](KeySetControls& c) {
             c.functionKind = 3; c.wheelDelay = "1"; c.wheelSpeed = "2"; c.wheelCount = "1"; c.wheelDirection = 1; },
         A(0x12, 0x12, 0xFF)},
        {"wheel up, empty count", [](KeySetControls& c) {
             c.functionKind = 3; c.wheelDelay = ""; c.wheelSpeed = ""; c.wheelCount = ""; c.wheelDirection = 0; },
         A(0x12, 0, 0)},
        {"dpi cycle", [](KeySetControls& c) { c.functionKind = 4; c.dpi = 2; }, A(0x13, 3, 0)},
        {"fire", [](KeySetControls& c) { c.functionKind = 5; c.fireInterval = "260"; c.fireCount = "5"; }, A(0x14, 4, 5)},
        {"media", [](KeySetControls& c) { c.functionKind = 7; c.media = 8; }, A(0x30, 0x23, 0x02)},
        {"system sleep", [](KeySetControls& c) { c.functionKind = 8; c.system = 1; }, A(0x40, 2, 0)},
        {"macro", [](KeySetControls& c) { c.functionKind = 9; c.macro = 2; c.macroMode = 1; }, A(0x70, 2, 1)},
        {"macro repeated", [](KeySetControls& c) {
             c.functionKind = 9; c.macro = 1; c.macroMode = 4; c.macroRepeat = "12"; },
         A(0x71, 1, 12)},
        {"macro without selection keeps the key", [](KeySetControls& c) { c.functionKind = 9; c.macro = -1; },
         A(0x14, 9, 9)},
        {"recoil switch", [](KeySetControls& c) { c.functionKind = 10; c.recoilTable = 2; }, A(0x72, 2, 0)},
        {"combination Ctrl+V", [](KeySetControls& c) { c.functionKind = 11; c.combination = 6; }, A(0x20, 0x01, 0x19)},
        {"a combo without selection keeps the key", [](KeySetControls& c) { c.functionKind = 7; c.media = -1; },
         A(0x14, 9, 9)},
        {"default", [](KeySetControls& c) { c.functionKind = 0; }, kDefault},
        {"unknown kind means default", [](KeySetControls& c) { c.functionKind = 42; }, kDefault},
    };
    for (const Case& c : cases) {
        KeySetEditorModel editor = MouseEditor(A(0x14, 9, 9));
        c.set(editor.Controls());
        const KeyEntry entry = editor.Read();
        EXPECT_EQ(entry.current, c.expected) << c.name;
        EXPECT_EQ(entry.defaults, kDefault) << c.name;
        EXPECT_EQ(editor.Entry().current, c.expected) << c.name << ": stored";
        if (!(c.expected == kDefault)) {
            EXPECT_EQ(entry.current.keyIndex, 4) << c.name << ": the key index stays";
        }
    }
}

TEST(KeySetEditorModel, ShowFillsThePageOfTheCode)
{
    KeySetEditorModel editor = MouseEditor();

    editor.Show(A(0x10, 0x02, 0));
    EXPECT_EQ(editor.Controls().page, 1);
    EXPECT_EQ(editor.Controls().functionKind, 1);
    EXPECT_EQ(editor.Controls().mouseButton, 2);
    EXPECT_TRUE(editor.Controls().layoutVisible);

    editor.Show(A(0x10, 0x40, 0)); // no such button: the combo keeps its selection
    EXPECT_EQ(editor.Controls().mouseButton, 2);

    editor.Show(A(0x11, 0x43, 0xC8));
    EXPECT_EQ(editor.Controls().page, 2);
    EXPECT_EQ(editor.Controls().swingDelay, "4");
    EXPECT_EQ(editor.Controls().swingSpeed, "3");
    EXPECT_EQ(editor.Controls().swingCount, "72");
    EXPECT_EQ(editor.Controls().swingDirection, 1);

    editor.Show(A(0x12, 0x00, 0xFF));
    EXPECT_EQ(editor.Controls().wheelCount, "1");
    EXPECT_EQ(editor.Controls().wheelDirection, 1);
    editor.Show(A(0x12, 0x00, 0x80));
    EXPECT_EQ(editor.Controls().wheelCount, "128");
    editor.Show(A(0x12, 0x00, 0x05));
    EXPECT_EQ(editor.Controls().wheelCount, "5");
    EXPECT_EQ(editor.Controls().wheelDirection, 0);

    editor.Show(A(0x14, 10, 3));
    EXPECT_EQ(editor.Controls().page, 5);
    EXPECT_EQ(editor.Controls().fireInterval, "10");
    EXPECT_EQ(editor.Controls().fireCount, "3");

    editor.Show(A(0x30, 0xE2, 0x00));
    EXPECT_EQ(editor.Controls().media, 7);
    editor.Show(A(0x40, 4, 0));
    EXPECT_EQ(editor.Controls().system, 2);
    editor.Show(A(0x72, 1, 0));
    EXPECT_EQ(editor.Controls().page, 10);
    EXPECT_EQ(editor.Controls().recoilTable, 1);
    editor.Show(A(0xB0, 1, 2));
    EXPECT_EQ(editor.Controls().page, 11);

    // An assignment equal to the default shows the default page, whatever its code.
    editor.Show(A(0x10, 0x01, 0));
    EXPECT_EQ(editor.Controls().page, 0);
    EXPECT_TRUE(editor.Controls().layoutVisible);

    // A code the editor does not know hides the whole layout.
    editor.Show(A(0x55, 0, 0));
    EXPECT_FALSE(editor.Controls().layoutVisible);
}

TEST(KeySetEditorModel, MacroAssignmentsPastTheListShowNoSelection)
{
    KeySetEditorModel editor = MouseEditor();
    editor.Show(A(0x70, 1, 2));
    EXPECT_EQ(editor.Controls().macro, 1);
    EXPECT_EQ(editor.Controls().macroMode, 2);
    EXPECT_FALSE(editor.Controls().macroCycleVisible);

    editor.Show(A(0x71, 2, 7));
    EXPECT_EQ(editor.Controls().macro, 2);
    EXPECT_EQ(editor.Controls().macroMode, 4);
    EXPECT_EQ(editor.Controls().macroRepeat, "7");
    EXPECT_TRUE(editor.Controls().macroCycleVisible);

    editor.Show(A(0x70, 5, 1));
    EXPECT_EQ(editor.Controls().page, 9);
    EXPECT_EQ(editor.Controls().macro, -1);
    EXPECT_EQ(editor.Controls().macroMode, -1);

    editor.Show(A(0x71, 5, 3));
    EXPECT_EQ(editor.Controls().macro, -1);
    EXPECT_EQ(editor.Controls().macroMode, 4);
    EXPECT_FALSE(editor.Controls().macroCycleVisible);

    // The combo follows the macro list.
    editor.Show(A(0x70, 2, 0));
    editor.RemoveMacroName(0);
    EXPECT_EQ(editor.Controls().macro, 1);
    editor.RenameMacroName(0, "renamed");
    editor.RenameMacroName(1, "");
    editor.AddMacroName("four");
    EXPECT_EQ(editor.MacroNames(), (std::vector<std::string>{"renamed", "three", "four"}));
}

TEST(KeySetEditorModel, KeyboardKeysShowTheirModifierOptionAndName)
{
    KeySetEditorModel editor = MouseEditor();

    editor.Show(A(0x20, 0x40, 0x04)); // right Alt + A shows as option 3
    EXPECT_EQ(editor.Controls().page, 6);
    EXPECT_EQ(editor.SelectedModifierOption(), 3);
    EXPECT_EQ(editor.Controls().keyboardText, "keyboard_key_A");

    // Ctrl+Shift is not one modifier: option 0 and only the key; applying gives parameter 1 = 0.
    FakeDevice device;
    editor.Load({A(0x20, 0x03, 0x05), kDefault});
    EXPECT_EQ(editor.SelectedModifierOption(), 0);
    EXPECT_EQ(editor.Controls().keyboardText, "keyboard_key_B");
    editor.Apply(device);
    EXPECT_EQ(device.entries.back().current, A(0x20, 0, 0x05));

    // A combination is stored as a keyboard key and shown on the keyboard page with Ctrl.
    editor.Controls().functionKind = 11;
    editor.Controls().combination = 4;
    editor.Apply(device);
    EXPECT_EQ(device.entries.back().current, A(0x20, 0x01, 0x06));
    editor.ShowCurrent();
    EXPECT_EQ(editor.Controls().page, 6);
    EXPECT_EQ(editor.SelectedModifierOption(), 1);
    EXPECT_EQ(editor.Controls().keyboardText, "keyboard_key_C");

    // A key the table does not know: empty key, no option, and the stored key forgets it.
    editor.Load({A(0x20, 0, 0xEE), kDefault});
    EXPECT_EQ(editor.SelectedModifierOption(), -1);
    EXPECT_EQ(editor.Controls().keyboardText, "");
    EXPECT_EQ(editor.Entry().current, A(0x20, 0, 0));

    // Choosing the keyboard page clears text and options and applies an empty key.
    editor.Load({A(0x20, 0x01, 0x06), kDefault});
    editor.OnFunctionSelected(6, device);
    EXPECT_EQ(editor.Controls().keyboardText, "");
    EXPECT_EQ(editor.SelectedModifierOption(), -1);
    EXPECT_EQ(device.entries.back().current, A(0x20, 0, 0));
}

TEST(KeySetEditorModel, CapturedKeysBecomeTheAssignment)
{
    KeySetEditorModel editor = MouseEditor();
    FakeDevice device;
    editor.OnFunctionSelected(6, device);

    // Right Alt (scan 0x38, extended) selects the Alt option; the left-hand bit is produced.
    EXPECT_TRUE(editor.OnKeyCaptured(0x38, 1, device));
    EXPECT_EQ(editor.SelectedModifierOption(), 3);
    EXPECT_EQ(device.entries.back().current, A(0x20, 0x04, 0));

    // Then A: keeps the Alt.
    EXPECT_TRUE(editor.OnKeyCaptured(0x1E, 0, device));
    EXPECT_EQ(editor.Controls().keyboardText, "keyboard_key_A");
    EXPECT_EQ(device.entries.back().current, A(0x20, 0x04, 0x04));
    EXPECT_EQ(device.calls.back(), "RefreshKeyLabels");

    // Keypad Enter is told from Enter by the extended flag.
    EXPECT_TRUE(editor.OnKeyCaptured(0x1C, 1, device));
    EXPECT_EQ(device.entries.back().current, A(0x20, 0x04, 0x58));

    // Without a modifier option the key goes alone.
    editor.SelectModifierOption(-1);
    EXPECT_TRUE(editor.OnKeyCaptured(0x45, 0, device)); // Pause
    EXPECT_EQ(editor.SelectedModifierOption(), 0);
    EXPECT_EQ(device.entries.back().current, A(0x20, 0, 0x48));

    const size_t before = device.entries.size();
    EXPECT_FALSE(editor.OnKeyCaptured(0x7F, 0, device)); // not in the table
    EXPECT_EQ(device.entries.size(), before);
}

TEST(KeySetEditorModel, ApplyDefaultCancelAndSave)
{
    KeySetEditorModel editor = MouseEditor(A(0x13, 1, 0));
    FakeDevice device;
    EXPECT_EQ(editor.Controls().page, 4);
    EXPECT_FALSE(editor.EditingPending());

    editor.Controls().dpi = 1;
    editor.OnValueChanged(device);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"SetSelectedKeyEntry", "RefreshKeyLabels"}));
    EXPECT_EQ(device.entries.back().current, A(0x13, 2, 0));
    EXPECT_TRUE(editor.EditingPending());

    // Cancel puts back the entry as loaded (this device keeps no record of its own), in the
    // editor and in the device; editing is finished.
    editor.OnCancelClicked(device);
    EXPECT_EQ(editor.Controls().dpi, 0);
    EXPECT_EQ(editor.Entry().current, A(0x13, 1, 0));
    EXPECT_EQ(device.entries.back().current, A(0x13, 1, 0));
    EXPECT_FALSE(editor.EditingPending());
    // Default hands the default to the device at once, pending the profile save.
    editor.OnDefaultClicked(device);
    EXPECT_EQ(editor.Controls().page, 0);
    EXPECT_TRUE(editor.EditingPending());
    EXPECT_EQ(editor.Entry().current, kDefault);
    EXPECT_EQ(device.entries.back().current, kDefault);
    EXPECT_EQ(device.calls.back(), "RefreshKeyLabels");

    // The device's outcome of a save decides: saved, a message with the edit still pending, or the
    // key edits dropped because the device kept its old key table.
    const KeySaveResult refusedMacros{-1, -102, 0};
    struct Case {
        const char* name;
        KeySaveResult result;
        bool saved;
        std::string message;
        int number;
        bool pending;
        bool reverted;
        std::vector<std::string> calls;
    } cases[] = {
        {"written", {0, 1, 1}, true, "", 0, false, false, {"SaveProfile"}},
        {"macros not prepared", {-1, 1, 0}, false, "message_text_7", 0, true, false, {}},
        {"macros refused", refusedMacros, false, "keyset_macros_not_written", 0, true, false, {}},
        {"macros too long", {19, 1, 0}, false, "message_text_16", 19, true, false, {}},
        {"keys refused", {0, 1, -102}, false, "", 0, false, true, {"SetSelectedKeyEntry", "RefreshKeyLabels"}},
        {"keys lost", {0, 1, 0}, false, "", 0, false, true, {"SetSelectedKeyEntry", "RefreshKeyLabels"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDevice target;
        editor.Load({A(0x30, 0xCD, 0), kDefault});
        editor.Controls().functionKind = kFunctionMedia;
        editor.Controls().media = 7;
        editor.OnValueChanged(target);
        target.calls.clear();
        editor.BeginSave();
        EXPECT_TRUE(editor.Saving());
        EXPECT_TRUE(editor.Controls().saving);
        const KeySaveOutcome outcome = editor.FinishSave(c.result, target);
        EXPECT_FALSE(editor.Saving());
        EXPECT_FALSE(editor.Controls().saving);
        EXPECT_EQ(outcome.saved, c.saved);
        EXPECT_EQ(outcome.messageKey, c.message);
        EXPECT_EQ(outcome.number, c.number);
        EXPECT_EQ(outcome.reverted, c.reverted);
        EXPECT_EQ(target.calls, c.calls);
        EXPECT_EQ(editor.EditingPending(), c.pending);
        // Dropped edits show what the device holds: here the entry as loaded.
        EXPECT_EQ(editor.Entry().current, c.reverted ? A(0x30, 0xCD, 0) : A(0x30, 0xE2, 0));
    }

    // Two saves under way: a failed first one leaves the edits to the second, which decides.
    FakeDevice target;
    editor.BeginSave();
    editor.BeginSave();
    EXPECT_FALSE(editor.FinishSave({0, 1, -102}, target).reverted);
    EXPECT_TRUE(editor.Saving());
    EXPECT_TRUE(target.calls.empty());
    EXPECT_TRUE(editor.FinishSave({0, 1, 1}, target).saved);
    EXPECT_FALSE(editor.Saving());
}

TEST(KeySetEditorModel, TheDefaultSaveWritesMacrosThenKeys)
{
    // A device without a worker of its own runs the two writes in a row, the keys only after
    // the macros were written.
    for (const int macros : {0, -1, 7}) {
        SCOPED_TRACE(macros);
        FakeDevice device;
        device.macroResult = macros;
        KeySaveResult result;
        device.SubmitKeySave(0, [&result](const KeySaveResult& r) { result = r; });
        EXPECT_EQ(result.macros, macros);
        EXPECT_EQ(result.keys, macros == 0 ? 1 : 0);
        EXPECT_EQ(device.calls, macros == 0 ? (std::vector<std::string>{"WriteMacrosToDevice", "WriteAssignmentsToDevice 0"})
                                            : std::vector<std::string>{"WriteMacrosToDevice"});
    }
}

TEST(KeySetEditorModel, KeyboardEditorOffersNeitherDpiNorRecoilSwitch)
{
    KeySetEditorModel editor;
    editor.Configure(1);
    EXPECT_EQ(editor.OfferedKinds(), (std::vector<int>{0, 1, 2, 3, 5, 6, 7, 8, 9, 11}));
    EXPECT_FALSE(editor.Controls().layoutVisible);

    editor.Load({A(0x13, 1, 0), A(0x20, 0, 4)});
    EXPECT_FALSE(editor.Controls().layoutVisible);
    editor.Load({A(0x20, 0, 5), A(0x20, 0, 4)});
    EXPECT_TRUE(editor.Controls().layoutVisible);

    // A skin whose function combo lacks a page hides the layout for that page.
    KeySetEditorModel partial;
    partial.SetOfferedKinds({0, 6});
    partial.Load({A(0x30, 0xE2, 0), kDefault});
    EXPECT_FALSE(partial.Controls().layoutVisible);
}

} // namespace
} // namespace nq
