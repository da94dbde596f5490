#include "editors/KeyLabelText.h"

#include "editors/KeyCodeTable.h"
#include "editors/KeyFunction.h"

namespace nq {

namespace {

using Text = std::optional<std::string>;

// What the mouse page shows for a function it does not know ("off"), untranslated.
constexpr const char* kUnknownFunctionText = "关闭";

template <size_t N>
Text ChoiceText(const std::array<KeyChoice, N>& choices, const KeyAssignment& a,
                const KeyLabelText::Translate& translate)
{
    const int found = KeyFunction::FindChoice(choices, a.param1, a.param2);
    if (found < 0)
        return std::nullopt;
    return translate(choices[size_t(found)].name);
}

Text MacroText(const KeyAssignment& a, const std::vector<std::string>& macroNames)
{
    if (a.param1 >= macroNames.size())
        return std::nullopt;
    return macroNames[a.param1]; // the user's name, as stored
}

// Texts both pages give alike; nullopt for the codes each page handles on its own.
Text CommonText(const KeyAssignment& a, const std::vector<std::string>& macroNames,
                const KeyLabelText::Translate& translate, bool& handled)
{
    handled = true;
    switch (a.code) {
    case keycode::kNone:
    case keycode::kKeyboard:
        return KeyLabelText::KeyText(a, translate);
    case keycode::kMouseButton:
        return ChoiceText(MOUSE_BUTTON_CHOICES, a, translate);
    case keycode::kSwing:
        return translate((a.param2 & 0x80) ? "mouse_key_right_Swing" : "mouse_key_left_Swing");
    case keycode::kWheel:
        return translate((a.param2 & 0x80) ? "mouse_key_down_Swing" : "mouse_key_up_Swing");
    case keycode::kDpi:
        return ChoiceText(DPI_CHOICES, a, translate);
    case keycode::kFire:
        return translate("mouse_key_fire_key");
    case keycode::kMedia:
        return ChoiceText(MEDIA_CHOICES, a, translate);
    case keycode::kSystem:
        return ChoiceText(SYSTEM_CHOICES, a, translate);
    case keycode::kMacro:
    case keycode::kMacroRepeat:
        return MacroText(a, macroNames);
    default:
        handled = false;
        return std::nullopt;
    }
}

} // namespace

std::string KeyLabelText::KeyText(const KeyAssignment& a, const Translate& translate)
{
    const int row = KeyCodeTable::FindByParams(a.param1, a.param2);
    if (row >= 0)
        return translate(KeyCodeTable::Name(row));
    if (a.param1 == 0 && a.param2 == 0)
        return translate("close_text");
    // A key with modifiers: the modifier rows and the key row. Only a non-zero parameter is
    // matched, so a key alone does not pull in every modifier-less row.
    std::string text;
    for (const KeyCodeRow& r : KeyCodeTable::Rows()) {
        if (r.code != a.code)
            continue;
        const bool sameModifiers = a.param1 != 0 && r.param1 == a.param1;
        const bool sameKey = a.param2 != 0 && r.param2 == a.param2;
        if (!sameModifiers && !sameKey)
            continue;
        if (!text.empty())
            text += "+";
        text += translate(r.name);
    }
    return text;
}

std::optional<std::string> KeyLabelText::ForMouse(const KeyAssignment& a,
                                                  const std::vector<std::string>& macroNames,
                                                  const Translate& translate)
{
    bool handled = false;
    Text text = CommonText(a, macroNames, translate, handled);
    if (handled)
        return text;
    switch (a.code) {
    case keycode::kDpiShift:
        return translate("mouse_key_DPI_shift");
    case keycode::kShortcut: {
        static const char* const kShortcuts[] = {"custem_cut",  "custem_copy",       "custem_paste",
                                                 "custem_undo", "custem_select_all", "custem_find",
                                                 "custem_new",  "custem_save",       "custem_open"};
        if (a.param1 == 0 && a.param2 < std::size(kShortcuts))
            return translate(kShortcuts[a.param2]);
        return std::nullopt;
    }
    case keycode::kShowWindow:
        if (a.param2 == 0)
            return translate("show_window");
        return std::nullopt;
    case keycode::kRecoilSwitch: {
        static const char* const kTables[] = {"gun_1_txt", "gun_2_txt", "gun_3_txt", "gun_4_txt"};
        if (a.param1 < std::size(kTables))
            return translate(kTables[a.param1]);
        return std::nullopt;
    }
    case keycode::kFnKey: {
        if (a.param1 == 2)
            return translate("mouse_key_smart_key");
        if (a.param1 == 0)
            return translate("close_text");
        const int row = KeyCodeTable::Find(a.code, a.param1, a.param2);
        if (row >= 0)
            return translate(KeyCodeTable::Name(row));
        return std::nullopt;
    }
    case 0x15:
    case 0x21:
    case 0x50:
    case 0x60:
    case keycode::kCombination:
    case 0xC0:
        return std::nullopt;
    default:
        return std::string(kUnknownFunctionText);
    }
}

std::optional<std::string> KeyLabelText::ForKeyboard(const KeyAssignment& a,
                                                     const std::vector<std::string>& macroNames,
                                                     const Translate& translate)
{
    bool handled = false;
    Text text = CommonText(a, macroNames, translate, handled);
    if (handled)
        return text;
    switch (a.code) {
    case 0x15:
    case 0x21:
    case 0x50:
    case 0x60:
    case keycode::kCombination:
    case 0xC0:
        return std::nullopt;
    default: {
        // Fn, M keys and the rest: the row of the same code with the same parameters, else the
        // same parameter 1 (the M keys share theirs, so the exact row comes first), else the
        // same parameter 2.
        const int exact = KeyCodeTable::Find(a.code, a.param1, a.param2);
        if (exact >= 0)
            return translate(KeyCodeTable::Name(exact));
        for (const KeyCodeRow& r : KeyCodeTable::Rows()) {
            if (r.code == a.code && r.param1 == a.param1)
                return translate(r.name);
        }
        for (const KeyCodeRow& r : KeyCodeTable::Rows()) {
            if (r.code == a.code && r.param2 == a.param2)
                return translate(r.name);
        }
        return std::nullopt;
    }
    }
}

} // namespace nq
