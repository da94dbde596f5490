// The key assignment editor built from its layout in a skin window and driven through its widgets;
// the device behind it is a recording stand-in for the device's key interface.
#include "PageTestSupport.h"

#include "editors/IKeyAssignmentTarget.h"
#include "editors/qt/CKeySetControlUI.h"
#include "ui/CControlAccess.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace nq;
using pages::CKeySetControlUI;

namespace {

// What the device behind the editor was asked to do.
struct RecordingTarget : IKeyAssignmentTarget {
    std::vector<KeyEntry> entries;
    std::vector<std::string> calls;
    int macroResult = 0;

    void SetSelectedKeyEntry(const KeyEntry& entry) override { entries.push_back(entry); }
    void RefreshKeyLabels() override { calls.push_back("labels"); }
    int WriteMacrosToDevice() override
    {
        calls.push_back("macros");
        return macroResult;
    }
    int WriteAssignmentsToDevice(int bank) override
    {
        calls.push_back("assignments " + std::to_string(bank));
        return 1;
    }
    void SaveProfile() override { calls.push_back("save"); }
};

// A window that hands its notifications to the editor, as the main window does.
class EditorWindow : public ui::CSkinWindow {
public:
    CKeySetControlUI* editor = nullptr;
    void Notify(const ui::TNotify& msg) override
    {
        if (editor)
            editor->HandleNotify(msg);
    }
};

constexpr KeyAssignment Fn(uint8_t code, uint8_t p1, uint8_t p2) { return KeyAssignment::Function(code, p1, p2); }

} // namespace

class KeySetControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        nqtest::PreparePageSkin();
        window = std::make_unique<EditorWindow>();
        editor = new CKeySetControlUI(window.get());
        window->editor = editor;
        editor->SetTarget(&target);
        editor->Configure(2);
        editor->FillMacroNames({"Reload", "Sprint"});
    }

    QWidget* W(const char* name) { return editor->Control(name); }
    QComboBox* Combo(const char* name) { return qobject_cast<QComboBox*>(W(name)); }
    QLineEdit* Edit(const char* name) { return qobject_cast<QLineEdit*>(W(name)); }
    QAbstractButton* Button(const char* name) { return qobject_cast<QAbstractButton*>(W(name)); }
    void ChooseKind(int kind)
    {
        auto* function = Combo("keyset_function_combo");
        function->setCurrentIndex(function->findData(QString::number(kind)));
    }
    int Page() { return qobject_cast<QStackedWidget*>(W("function_switch_tablayout"))->currentIndex(); }
    KeyAssignment Applied() { return target.entries.empty() ? KeyAssignment{} : target.entries.back().current; }

    RecordingTarget target;
    std::unique_ptr<EditorWindow> window;
    CKeySetControlUI* editor = nullptr;
    const KeyEntry middleKey{Fn(0x10, 0x04, 0), Fn(0x10, 0x04, 0)};
};

TEST_F(KeySetControl, BuildsTheAssignmentOfEachFunctionKind)
{
    struct Case {
        const char* what;
        int kind;
        std::function<void()> fill; // after the function was chosen
        KeyAssignment expected;
    } cases[] = {
        {"mouse button right", 1, [&] { Combo("keyset_mousekey_combo")->setCurrentIndex(2); }, Fn(0x10, 0x02, 0)},
        {"swing right, delay and count cut to their fields", 2, [&] {
             Combo("keyset_mouseswing_combo")->setCurrentIndex(1);
             Edit("keyset_mouseswing_num_edit")->setText("200");
             Edit("keyset_mouseswing_delay_edit")->setText("20");
             Edit("keyset_mouseswing_speed_edit")->setText("3");
         }, Fn(0x11, 0x43, 0xC8)},
        {"wheel down once", 3, [&] {
             Combo("keyset_mousewheel_combo")->setCurrentIndex(1);
             Edit("keyset_mousewheel_num_edit")->setText("1");
         }, Fn(0x12, 0x00, 0xFF)},
        {"wheel down, count 0", 3, [&] {
             Combo("keyset_mousewheel_combo")->setCurrentIndex(1);
             Edit("keyset_mousewheel_num_edit")->setText("0");
         }, Fn(0x12, 0x00, 0x80)},
        {"wheel up 5, speed 2", 3, [&] {
             Combo("keyset_mousewheel_combo")->setCurrentIndex(0);
             Edit("keyset_mousewheel_num_edit")->setText("5");
             Edit("keyset_mousewheel_speed_edit")->setText("2");
         }, Fn(0x12, 0x02, 0x05)},
        {"DPI cycle", 4, [&] { Combo("keyset_mousedpi_combo")->setCurrentIndex(2); }, Fn(0x13, 3, 0)},
        {"fire, values cut to a byte", 5, [&] {
             Edit("keyset_mousefire_interval_edit")->setText("300");
             Edit("keyset_mousefire_num_edit")->setText("7");
         }, Fn(0x14, 44, 7)},
        {"media play", 7, [&] { Combo("keyset_media_combo")->setCurrentIndex(1); }, Fn(0x30, 0xCD, 0x00)},
        {"web back", 7, [&] { Combo("keyset_media_combo")->setCurrentIndex(11); }, Fn(0x30, 0x24, 0x02)},
        {"wake up", 8, [&] { Combo("keyset_system_combo")->setCurrentIndex(2); }, Fn(0x40, 4, 0)},
        {"macro 1 repeated 5 times", 9, [&] {
             Combo("keyset_macro_combo")->setCurrentIndex(1);
             Edit("keyset_macro_cycle_edit")->setText("5");
             Combo("keyset_macro_over_combo")->setCurrentIndex(4);
         }, Fn(0x71, 1, 5)},
        {"macro 0 in mode 2", 9, [&] {
             Combo("keyset_macro_combo")->setCurrentIndex(0);
             Combo("keyset_macro_over_combo")->setCurrentIndex(2);
         }, Fn(0x70, 0, 2)},
        {"recoil table 4", 10, [&] { Combo("keyset_gunkey_combo")->setCurrentIndex(3); }, Fn(0x72, 3, 0)},
        {"Ctrl+C", 11, [&] { Combo("keyset_combokey_combo")->setCurrentIndex(4); }, Fn(0x20, 0x01, 0x06)},
        {"Ctrl and C captured", 6, [&] {
             Button("key_ComBox_check_1")->click();
             EXPECT_TRUE(editor->OnKeyCaptured(0x2E, 0));
         }, Fn(0x20, 0x01, 0x06)},
        {"default", 0, [] {}, Fn(0x10, 0x04, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        editor->Load({Fn(0x30, 0xE2, 0x00), middleKey.defaults}); // start from "mute"
        target.entries.clear();
        ChooseKind(c.kind);
        EXPECT_EQ(Page(), c.kind);
        c.fill();
        Button("key_butt_keysave")->click(); // edits count once applied
        EXPECT_EQ(Applied(), c.expected);
        EXPECT_EQ(target.entries.back().defaults, middleKey.defaults);
        EXPECT_TRUE(W("key_butt_prosave")->isEnabled());
    }
}

TEST_F(KeySetControl, ShowsAnAssignmentOnItsPage)
{
    auto text = [&](const char* name) { return Edit(name)->text(); };
    struct Case {
        const char* what;
        KeyAssignment shown;
        int page;
        std::function<void()> check;
    } cases[] = {
        {"swing", Fn(0x11, 0x43, 0xC8), 2, [&] {
             EXPECT_EQ(text("keyset_mouseswing_delay_edit"), "4");
             EXPECT_EQ(text("keyset_mouseswing_speed_edit"), "3");
             EXPECT_EQ(text("keyset_mouseswing_num_edit"), "72");
             EXPECT_EQ(Combo("keyset_mouseswing_combo")->currentIndex(), 1);
         }},
        {"wheel down 1", Fn(0x12, 0x00, 0xFF), 3, [&] { EXPECT_EQ(text("keyset_mousewheel_num_edit"), "1"); }},
        {"wheel down 0 shows 128", Fn(0x12, 0x00, 0x80), 3, [&] {
             EXPECT_EQ(text("keyset_mousewheel_num_edit"), "128");
             EXPECT_EQ(Combo("keyset_mousewheel_combo")->currentIndex(), 1);
         }},
        {"the key's default, whatever its code", middleKey.defaults, 0, [] {}},
        {"Ctrl+Shift shows only the key", Fn(0x20, 0x03, 0x06), 6, [&] {
             EXPECT_EQ(editor->SelectedModifierOption(), 0);
             EXPECT_EQ(text("keyset_keyboard_text_edit"), ui::CResourceManager::Instance().Text("keyboard_key_C"));
         }},
        {"a combination shows as a key with Ctrl", Fn(0x20, 0x01, 0x06), 6, [&] {
             EXPECT_EQ(editor->SelectedModifierOption(), 1);
             EXPECT_TRUE(Button("key_ComBox_check_1")->isChecked());
         }},
        {"macro beyond the list", Fn(0x70, 5, 1), 9, [&] {
             EXPECT_EQ(Combo("keyset_macro_combo")->currentIndex(), -1);
             EXPECT_EQ(Combo("keyset_macro_over_combo")->currentIndex(), -1);
         }},
        {"repeated macro", Fn(0x71, 1, 9), 9, [&] {
             EXPECT_EQ(Combo("keyset_macro_combo")->currentIndex(), 1);
             EXPECT_EQ(Combo("keyset_macro_over_combo")->currentIndex(), 4);
             EXPECT_FALSE(W("keyset_macro_cycle_layout")->isHidden());
             EXPECT_EQ(text("keyset_macro_cycle_edit"), "9");
         }},
        {"media", Fn(0x30, 0x8A, 0x01), 7, [&] { EXPECT_EQ(Combo("keyset_media_combo")->currentIndex(), 17); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        target.entries.clear();
        editor->Load({c.shown, middleKey.defaults});
        EXPECT_FALSE(W("keyset_layout")->isHidden());
        EXPECT_EQ(Page(), c.page);
        EXPECT_EQ(Combo("keyset_function_combo")->currentData().toString(), QString::number(c.page));
        c.check();
        EXPECT_TRUE(target.entries.empty()) << "showing applies nothing";
    }
    // A code the editor has no page for hides the editor.
    editor->Load({Fn(0x99, 1, 2), middleKey.defaults});
    EXPECT_TRUE(W("keyset_layout")->isHidden());
}

TEST_F(KeySetControl, ChoosingTheKeyboardPageClearsKeyAndModifier)
{
    editor->Load({Fn(0x20, 0x02, 0x04), middleKey.defaults}); // Shift+A
    ChooseKind(1);
    ChooseKind(6);
    EXPECT_EQ(Applied(), Fn(0x20, 0, 0));
    EXPECT_TRUE(Edit("keyset_keyboard_text_edit")->text().isEmpty());
    EXPECT_EQ(editor->SelectedModifierOption(), -1);

    // Right Alt gives the left-hand Alt bit.
    EXPECT_TRUE(editor->OnKeyCaptured(0x38, 1));
    EXPECT_EQ(editor->SelectedModifierOption(), 3);
    EXPECT_EQ(Applied().param1, 0x04);
    // A key outside the capture table changes nothing.
    const size_t applied = target.entries.size();
    EXPECT_FALSE(editor->OnKeyCaptured(0x7F, 1));
    EXPECT_EQ(target.entries.size(), applied);
}

TEST_F(KeySetControl, DefaultHandsTheDefaultOverAndCancelPutsBackTheLoadedEntry)
{
    editor->Load({Fn(0x30, 0xCD, 0x00), middleKey.defaults});
    EXPECT_FALSE(W("key_butt_keysave")->isEnabled());

    Button("key_butt_keydefalut")->click();
    EXPECT_EQ(Page(), 0);
    EXPECT_TRUE(W("key_butt_keysave")->isEnabled());
    EXPECT_TRUE(W("key_butt_keycancel")->isEnabled());
    EXPECT_EQ(Applied(), middleKey.defaults);

    Button("key_butt_keycancel")->click();
    EXPECT_EQ(Page(), 7);
    EXPECT_EQ(Combo("keyset_media_combo")->currentIndex(), 1);
    EXPECT_EQ(Applied(), Fn(0x30, 0xCD, 0x00));
    EXPECT_FALSE(W("key_butt_keysave")->isEnabled());
    EXPECT_FALSE(W("key_butt_prosave")->isEnabled());
}

TEST_F(KeySetControl, SavingWritesMacrosFirstAndReportsWhatDoesNotFit)
{
    editor->Load(middleKey);
    Combo("keyset_function_combo")->setCurrentIndex(1);
    ASSERT_TRUE(W("key_butt_prosave")->isEnabled());

    struct Case {
        int macroResult;
        QString message; // empty: saved
    } cases[] = {
        {-1, ui::CResourceManager::Instance().Text("message_text_7")},
        {5, QString(ui::CResourceManager::Instance().Text("message_text_16")).replace("%d", "5")},
        {0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.macroResult);
        target.calls.clear();
        target.macroResult = c.macroResult;
        nqtest::MessageBoxWatcher boxes;
        Button("key_butt_prosave")->click();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(boxes.Texts().isEmpty());
            EXPECT_EQ(target.calls, (std::vector<std::string>{"macros", "assignments 0", "save"}));
            EXPECT_FALSE(W("key_butt_prosave")->isEnabled());
        } else {
            ASSERT_EQ(boxes.Texts().size(), 1);
            EXPECT_EQ(boxes.Texts()[0], c.message);
            EXPECT_EQ(target.calls, (std::vector<std::string>{"macros"}));
            EXPECT_TRUE(W("key_butt_prosave")->isEnabled()) << "the edit stays pending";
        }
    }
}

TEST_F(KeySetControl, KeyboardOffersNeitherDpiNorRecoilSwitch)
{
    auto hidden = [&](int kind) {
        auto* view = qobject_cast<QListView*>(Combo("keyset_function_combo")->view());
        return view->isRowHidden(Combo("keyset_function_combo")->findData(QString::number(kind)));
    };
    editor->Configure(1);
    EXPECT_TRUE(hidden(4));
    EXPECT_TRUE(hidden(10));
    EXPECT_FALSE(hidden(6));
    EXPECT_TRUE(W("keyset_layout")->isHidden());
    editor->Configure(2);
    EXPECT_FALSE(hidden(4));
    EXPECT_FALSE(hidden(10));
}

TEST_F(KeySetControl, MacroComboMirrorsTheMacroList)
{
    auto items = [&] {
        QStringList out;
        for (int i = 0; i < Combo("keyset_macro_combo")->count(); ++i)
            out << Combo("keyset_macro_combo")->itemText(i);
        return out;
    };
    EXPECT_EQ(items(), (QStringList{"Reload", "Sprint"}));
    EXPECT_EQ(Combo("keyset_macro_combo")->currentIndex(), -1);
    editor->AddMacroName("Jump");
    editor->RenameMacroName(0, "Reload fast");
    editor->RenameMacroName(1, "");
    editor->RemoveMacroName(1);
    EXPECT_EQ(items(), (QStringList{"Reload fast", "Jump"}));
}

TEST_F(KeySetControl, KeysPressedInTheKeyEditAreCaptured)
{
    editor->Load(middleKey);
    ChooseKind(6);
    auto press = [&](quint32 inputCode) {
        // The X server's key numbers are the input layer's codes plus 8.
        QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, inputCode + 8, 0, 0);
        QApplication::sendEvent(Edit("keyset_keyboard_text_edit"), &event);
    };
    press(100); // right Alt
    EXPECT_EQ(editor->SelectedModifierOption(), 3);
    press(46); // C
    EXPECT_EQ(Applied(), Fn(0x20, 0x04, 0x06));
    EXPECT_EQ(Edit("keyset_keyboard_text_edit")->text(), ui::CResourceManager::Instance().Text("keyboard_key_C"));
    press(103); // cursor up, an extended key
    EXPECT_EQ(Applied(), Fn(0x20, 0x04, 0x52));
}
