#include "editors/KeySetEditorModel.h"

#include <algorithm>

#include "editors/KeyCodeTable.h"

namespace nq {

namespace {

// The low byte of an edit's number: every field an edit feeds is at most 8 bits wide.
int EditByte(const std::string& text) { return int(KeyFunction::ParseEditNumber(text) & 0xFF); }

template <size_t N>
const KeyChoice* ChoiceAt(const std::array<KeyChoice, N>& choices, int position)
{
    return position >= 0 && size_t(position) < N ? &choices[size_t(position)] : nullptr;
}

// Copies function code and parameters; the key index and the reserved byte stay.
void SetFunction(KeyAssignment& target, const KeyAssignment& source)
{
    target.code = source.code;
    target.param1 = source.param1;
    target.param2 = source.param2;
}

} // namespace

KeySetEditorModel::KeySetEditorModel()
{
    for (int kind = 0; kind < kFunctionCount; ++kind)
        m_offeredKinds.push_back(kind);
}

void KeySetEditorModel::Configure(int deviceType)
{
    m_deviceType = deviceType;
    SetOfferedKinds(m_offeredKinds);
    m_controls.layoutVisible = false;
}

void KeySetEditorModel::SetOfferedKinds(std::vector<int> kinds)
{
    if (m_deviceType == 1) {
        std::erase_if(kinds, [](int kind) { return kind == kFunctionDpi || kind == kFunctionRecoilSwitch; });
    }
    m_offeredKinds = std::move(kinds);
}

bool KeySetEditorModel::Offers(int kind) const
{
    return std::find(m_offeredKinds.begin(), m_offeredKinds.end(), kind) != m_offeredKinds.end();
}

void KeySetEditorModel::FillMacroNames(const std::vector<std::string>& names)
{
    m_macroNames.insert(m_macroNames.end(), names.begin(), names.end());
    m_controls.macro = -1;
}

void KeySetEditorModel::AddMacroName(const std::string& name) { m_macroNames.push_back(name); }

void KeySetEditorModel::RemoveMacroName(int position)
{
    if (position < 0 || size_t(position) >= m_macroNames.size())
        return;
    m_macroNames.erase(m_macroNames.begin() + position);
    if (m_controls.macro == position)
        m_controls.macro = -1;
    else if (m_controls.macro > position)
        --m_controls.macro;
}

void KeySetEditorModel::RenameMacroName(int position, const std::string& name)
{
    if (position < 0 || size_t(position) >= m_macroNames.size() || name.empty())
        return;
    m_macroNames[size_t(position)] = name;
}

void KeySetEditorModel::Load(const KeyEntry& entry)
{
    m_entry = m_loaded = entry;
    ShowCurrent();
}

void KeySetEditorModel::SelectModifierOption(int option)
{
    m_controls.modifierOption = option >= 0 && option <= 4 ? option : -1;
}

KeyEntry KeySetEditorModel::Read()
{
    const KeySetControls& c = m_controls;
    KeyAssignment a = m_entry.current;
    // A choice combo without a selection leaves the assignment as it was.
    auto choose = [&a](uint8_t code, const KeyChoice* choice) {
        if (choice)
            SetFunction(a, KeyFunction::Choice(code, *choice));
    };
    switch (c.functionKind) {
    case kFunctionMouseButton:
        choose(keycode::kMouseButton, ChoiceAt(MOUSE_BUTTON_CHOICES, c.mouseButton));
        break;
    case kFunctionSwing:
        SetFunction(a, KeyFunction::Swing({c.swingDirection == 1 ? 1 : 0, EditByte(c.swingDelay),
                                           EditByte(c.swingSpeed), EditByte(c.swingCount)}));
        break;
    case kFunctionWheel:
        SetFunction(a, KeyFunction::Wheel({c.wheelDirection == 1 ? 1 : 0, EditByte(c.wheelDelay),
                                           EditByte(c.wheelSpeed), EditByte(c.wheelCount)}));
        break;
    case kFunctionDpi:
        choose(keycode::kDpi, ChoiceAt(DPI_CHOICES, c.dpi));
        break;
    case kFunctionFire:
        SetFunction(a, KeyFunction::Fire(EditByte(c.fireInterval), EditByte(c.fireCount)));
        break;
    case kFunctionKeyboard: {
        const uint8_t usage = c.keyboardText.empty() ? 0 : m_entry.current.param2;
        SetFunction(a, KeyFunction::KeyboardKey(c.modifierOption, usage));
        break;
    }
    case kFunctionMedia:
        choose(keycode::kMedia, ChoiceAt(MEDIA_CHOICES, c.media));
        break;
    case kFunctionSystem:
        choose(keycode::kSystem, ChoiceAt(SYSTEM_CHOICES, c.system));
        break;
    case kFunctionMacro:
        if (c.macro >= 0 && !m_macroNames.empty())
            SetFunction(a, KeyFunction::Macro(c.macro, c.macroMode, EditByte(c.macroRepeat)));
        break;
    case kFunctionRecoilSwitch:
        if (c.recoilTable >= 0)
            SetFunction(a, KeyFunction::RecoilSwitch(c.recoilTable));
        break;
    case kFunctionCombination:
        choose(keycode::kKeyboard, ChoiceAt(COMBINATION_CHOICES, c.combination));
        break;
    default:
        a = m_entry.defaults;
        break;
    }
    m_entry.current = a;
    return m_entry;
}

void KeySetEditorModel::Show(const KeyAssignment& a)
{
    KeySetControls& c = m_controls;
    const uint8_t code = a == m_entry.defaults ? keycode::kNone : a.code;
    int page = -1;
    auto select = [&a](int& combo, std::span<const KeyChoice> choices) {
        const int found = KeyFunction::FindChoice(choices, a.param1, a.param2);
        if (found >= 0)
            combo = found; // no match: the combo keeps its selection
    };
    switch (code) {
    case keycode::kNone:
        page = kFunctionDefault;
        break;
    case keycode::kMouseButton:
        page = kFunctionMouseButton;
        select(c.mouseButton, MOUSE_BUTTON_CHOICES);
        break;
    case keycode::kSwing: {
        page = kFunctionSwing;
        const KeyMotion m = KeyFunction::ParseSwing(a);
        c.swingDelay = std::to_string(m.delay);
        c.swingSpeed = std::to_string(m.speed);
        c.swingCount = std::to_string(m.count);
        c.swingDirection = m.direction;
        break;
    }
    case keycode::kWheel: {
        page = kFunctionWheel;
        const KeyMotion m = KeyFunction::ParseWheel(a);
        c.wheelDelay = std::to_string(m.delay);
        c.wheelSpeed = std::to_string(m.speed);
        c.wheelCount = std::to_string(m.count);
        c.wheelDirection = m.direction;
        break;
    }
    case keycode::kDpi:
        page = kFunctionDpi;
        select(c.dpi, DPI_CHOICES);
        break;
    case keycode::kFire:
        page = kFunctionFire;
        c.fireInterval = std::to_string(a.param1);
        c.fireCount = std::to_string(a.param2);
        break;
    case keycode::kKeyboard:
        if (a.param1 > 128) {
            page = kFunctionCombination;
            select(c.combination, COMBINATION_CHOICES);
        } else {
            page = kFunctionKeyboard;
            ShowKeyboardKey(a);
        }
        break;
    case keycode::kMedia:
        page = kFunctionMedia;
        select(c.media, MEDIA_CHOICES);
        break;
    case keycode::kSystem:
        page = kFunctionSystem;
        select(c.system, SYSTEM_CHOICES);
        break;
    case keycode::kMacro:
        page = kFunctionMacro;
        // A macro number past the listed macros shows no selection.
        if (a.param1 >= m_macroNames.size()) {
            c.macro = -1;
            c.macroMode = -1;
        } else {
            c.macro = a.param1;
            c.macroMode = a.param2;
        }
        c.macroCycleVisible = false;
        break;
    case keycode::kMacroRepeat:
        page = kFunctionMacro;
        if (a.param1 >= m_macroNames.size()) {
            c.macro = -1;
            c.macroCycleVisible = false;
        } else {
            c.macro = a.param1;
            c.macroCycleVisible = true;
        }
        c.macroRepeat = std::to_string(a.param2);
        c.macroMode = kMacroRepeatMode;
        break;
    case keycode::kRecoilSwitch:
        page = kFunctionRecoilSwitch;
        c.recoilTable = a.param1;
        break;
    case keycode::kCombination:
        page = kFunctionCombination;
        break;
    default:
        break;
    }
    if (page < 0 || !Offers(page)) {
        c.layoutVisible = false;
        return;
    }
    c.layoutVisible = true;
    c.functionKind = page;
    c.page = page;
}

void KeySetEditorModel::ShowKeyboardKey(const KeyAssignment& a)
{
    if (a.param1 == 0) {
        const int row = KeyCodeTable::FindByParams(0, a.param2);
        if (row >= 0) {
            SelectModifierOption(0);
            m_controls.keyboardText = KeyCodeTable::Name(row);
        } else {
            // Not a key this editor knows: show an empty key and forget it.
            SelectModifierOption(-1);
            m_controls.keyboardText.clear();
            m_entry.current.param1 = 0;
            m_entry.current.param2 = 0;
        }
        return;
    }
    // One modifier of either hand shows as its option; a mix of modifiers shows none.
    int modifierRow = -1;
    for (int r = 0; r < KeyCodeTable::kModifierRows; ++r) {
        const KeyCodeRow& row = *KeyCodeTable::Row(r);
        if (row.code == keycode::kKeyboard && row.param2 == 0 && row.param1 == a.param1) {
            modifierRow = r;
            break;
        }
    }
    SelectModifierOption(modifierRow < 0 ? 0 : KeyFunction::ModifierOptionOfRow(modifierRow));
    const int keyRow = KeyCodeTable::Find(keycode::kKeyboard, 0, a.param2, KeyCodeTable::kModifierRows);
    if (keyRow >= 0)
        m_controls.keyboardText = KeyCodeTable::Name(keyRow);
}

void KeySetEditorModel::Apply(IKeyAssignmentTarget& target)
{
    const KeyEntry entry = Read();
    target.SetSelectedKeyEntry(entry);
    target.RefreshKeyLabels();
    m_controls.editingButtonsEnabled = true;
}

void KeySetEditorModel::OnFunctionSelected(int kind, IKeyAssignmentTarget& target)
{
    m_controls.functionKind = kind;
    m_controls.page = kind;
    if (kind == kFunctionKeyboard) {
        m_controls.keyboardText.clear();
        SelectModifierOption(-1);
    }
    Apply(target);
}

void KeySetEditorModel::OnMacroModeSelected(int position, IKeyAssignmentTarget& target)
{
    m_controls.macroMode = position;
    m_controls.macroCycleVisible = position == kMacroRepeatMode;
    Apply(target);
}

void KeySetEditorModel::OnModifierOptionSelected(int option, IKeyAssignmentTarget& target)
{
    SelectModifierOption(option);
    Apply(target);
}

bool KeySetEditorModel::OnKeyCaptured(uint8_t scanCode, uint32_t flags, IKeyAssignmentTarget& target)
{
    const int rowIndex = KeyCodeTable::FindCapture(scanCode, (flags & 1) != 0);
    const KeyCodeRow* row = KeyCodeTable::Row(rowIndex);
    if (!row || row->code != keycode::kKeyboard)
        return false;
    KeyAssignment captured;
    if (rowIndex < KeyCodeTable::kModifierRows) {
        SelectModifierOption(KeyFunction::ModifierOptionOfRow(rowIndex));
        Read();
        m_controls.keyboardText.clear();
        captured = row->Assignment();
    } else {
        uint8_t modifiers = 0;
        if (m_controls.modifierOption < 0)
            SelectModifierOption(0);
        else
            modifiers = Read().current.param1;
        m_controls.keyboardText = row->name;
        captured = KeyFunction::KeyboardKey(0, row->param2);
        captured.param1 = modifiers;
    }
    SetFunction(m_entry.current, captured);
    Apply(target);
    return true;
}

void KeySetEditorModel::OnDefaultClicked(IKeyAssignmentTarget& target)
{
    m_entry.current = m_entry.defaults;
    ShowDefault();
    target.SetSelectedKeyEntry(m_entry);
    target.RefreshKeyLabels();
    m_controls.editingButtonsEnabled = true;
}

void KeySetEditorModel::OnCancelClicked(IKeyAssignmentTarget& target)
{
    RevertToDevice(target);
}

void KeySetEditorModel::RevertToDevice(IKeyAssignmentTarget& target)
{
    KeyEntry held = m_loaded;
    if (!target.RevertKeyEdits(held)) {
        target.SetSelectedKeyEntry(held);
        target.RefreshKeyLabels();
    }
    m_entry = m_loaded = held;
    ShowCurrent();
    m_controls.editingButtonsEnabled = false;
}

void KeySetEditorModel::BeginSave()
{
    ++m_savesRunning;
    m_controls.saving = true;
}

KeySaveOutcome KeySetEditorModel::FinishSave(const KeySaveResult& result, IKeyAssignmentTarget& target)
{
    if (m_savesRunning > 0)
        --m_savesRunning;
    m_controls.saving = m_savesRunning > 0;
    // The macros go first (the keys may refer to them); without them nothing else was sent.
    if (result.macros == -1 && result.macroWrite != kOk)
        return {false, "keyset_macros_not_written", 0, false};
    if (result.macros == -1)
        return {false, "message_text_7", 0, false};
    if (result.macros != 0)
        return {false, "message_text_16", result.macros, false};
    if (result.keys != kOk) {
        // A later save sends the whole key list again and decides what the device holds.
        if (m_savesRunning > 0)
            return {false, {}, 0, false};
        RevertToDevice(target);
        return {false, {}, 0, true};
    }
    target.SaveProfile();
    m_loaded = m_entry;
    m_controls.editingButtonsEnabled = false;
    return {true, {}, 0, false};
}

} // namespace nq
