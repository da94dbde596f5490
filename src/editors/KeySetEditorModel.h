#pragma once
// The logic of the key assignment editor without its widgets. The controls' state is a plain
// record (KeySetControls); the widget side copies it to its controls after every operation
// (selecting combo items without raising selection events) and reports the user's actions through
// the On... operations. Combo selections are item positions (-1: none); edits hold their text;
// the keyboard key edit holds the language key of the key's name (translated when shown).
//
// Editing state: pending after an apply or "default" (the three editing buttons enabled), finished
// after "cancel" or a successful save to the device (disabled). While a save runs the editor is
// disabled and its save button says so; the save's outcome comes back from the device later.
#include <string>
#include <vector>

#include "editors/IKeyAssignmentTarget.h"
#include "editors/KeyAssignment.h"
#include "editors/KeyFunction.h"

namespace nq {

struct KeySetControls {
    bool layoutVisible = false;            // "keyset_layout"
    int functionKind = -1;                 // selected "keyset_function_combo" item, by user data
    int page = 0;                          // "function_switch_tablayout"
    int mouseButton = -1;                  // "keyset_mousekey_combo"
    int swingDirection = -1;               // "keyset_mouseswing_combo"
    std::string swingCount, swingDelay, swingSpeed;
    int wheelDirection = -1;               // "keyset_mousewheel_combo"
    std::string wheelCount, wheelDelay, wheelSpeed;
    int dpi = -1;                          // "keyset_mousedpi_combo"
    std::string fireInterval, fireCount;
    std::string keyboardText;              // "keyset_keyboard_text_edit": a language key or empty
    int modifierOption = -1;               // "key_ComBox_check_" 0-4
    int media = -1;                        // "keyset_media_combo"
    int system = -1;                       // "keyset_system_combo"
    int macro = -1;                        // "keyset_macro_combo"
    int macroMode = -1;                    // "keyset_macro_over_combo"
    std::string macroRepeat;               // "keyset_macro_cycle_edit"
    bool macroCycleVisible = false;        // "keyset_macro_cycle_layout"
    int recoilTable = -1;                  // "keyset_gunkey_combo"
    int combination = -1;                  // "keyset_combokey_combo"
    bool editingButtonsEnabled = false;    // "key_butt_keysave", "key_butt_keycancel", "key_butt_prosave"
    bool saving = false;                   // a save runs: "keyset_layout" disabled, "key_butt_prosave" says so

    bool operator==(const KeySetControls&) const = default;
};

// What a save to the device asks the page to show: nothing when it worked.
struct KeySaveOutcome {
    bool saved = false;
    // A message box: "message_text_7" (the macros could not be prepared), "message_text_16" (they
    // do not fit), "keyset_macros_not_written" (refused or never reached the device); empty for
    // none (a key table the device did not take is told by the device's page).
    std::string messageKey;
    int number = 0;         // the number "message_text_16" is formatted with
    bool reverted = false;  // the key edits went back to what the device holds
};

class KeySetEditorModel {
public:
    static constexpr int kMacroRepeatMode = 4; // "keyset_macro_over_combo" position that repeats

    KeySetEditorModel();

    // Device type 1 (keyboard) hides the DPI and recoil-switch functions; the layout is hidden
    // until a key is selected.
    void Configure(int deviceType);
    int DeviceType() const { return m_deviceType; }
    // The kinds the skin's function combo lists (its items' user data), in its order.
    void SetOfferedKinds(std::vector<int> kinds);
    const std::vector<int>& OfferedKinds() const { return m_offeredKinds; }

    // The macro combo mirrors the macro list position for position.
    void FillMacroNames(const std::vector<std::string>& names);
    void AddMacroName(const std::string& name);
    void RemoveMacroName(int position);
    void RenameMacroName(int position, const std::string& name);
    const std::vector<std::string>& MacroNames() const { return m_macroNames; }

    // Stores the key's entry and shows its current assignment.
    void Load(const KeyEntry& entry);
    void ShowDefault() { Show(m_entry.defaults); }
    void ShowCurrent() { Show(m_entry.current); }
    // Shows an assignment in the controls; what is stored stays (except the keyboard case that
    // names no known key, which stores the current assignment without its key).
    void Show(const KeyAssignment& assignment);
    // Builds the current assignment from the controls, stores it and returns (current, default).
    KeyEntry Read();
    void SetCapturedKey(const KeyAssignment& assignment) { m_entry.current = assignment; }
    const KeyEntry& Entry() const { return m_entry; }

    void SelectModifierOption(int option);
    int SelectedModifierOption() const { return m_controls.modifierOption; }
    void SetKeyboardText(const std::string& languageKey) { m_controls.keyboardText = languageKey; }
    void SetEditingButtonsEnabled(bool enabled) { m_controls.editingButtonsEnabled = enabled; }
    bool EditingPending() const { return m_controls.editingButtonsEnabled; }

    KeySetControls& Controls() { return m_controls; }
    const KeySetControls& Controls() const { return m_controls; }

    // --- user actions (each that changes the assignment applies it at once) ---
    void OnFunctionSelected(int kind, IKeyAssignmentTarget& target);
    void OnMacroModeSelected(int position, IKeyAssignmentTarget& target);
    // A choice combo, a numeric edit losing focus, or "key_butt_keysave".
    void OnValueChanged(IKeyAssignmentTarget& target) { Apply(target); }
    void OnModifierOptionSelected(int option, IKeyAssignmentTarget& target);
    // A key captured in the keyboard edit: set-1 scan code and the event flags (bit 0 extended).
    // False when the key is not one an assignment can name (nothing changes).
    bool OnKeyCaptured(uint8_t scanCode, uint32_t flags, IKeyAssignmentTarget& target);
    // "Default": the key gets its default assignment (shown and handed to the device, pending
    // until the profile save).
    void OnDefaultClicked(IKeyAssignmentTarget& target);
    // "Cancel": the edits not saved to the device are dropped; the editor shows what the device
    // holds for the key.
    void OnCancelClicked(IKeyAssignmentTarget& target);
    // "Save to the device": a save starts (the caller hands it to the device,
    // IKeyAssignmentTarget::SubmitKeySave). Saves may overlap; the device carries them out in order.
    void BeginSave();
    bool Saving() const { return m_savesRunning > 0; }
    // The device's outcome of a save begun with BeginSave. Written: the profile is saved and
    // editing is finished. Macros not written: nothing else was sent and the edit stays pending.
    // Key table refused or not delivered: the device holds its old keys, so the key edits are
    // dropped as by "cancel" (unless a later save, still running, carries them again).
    KeySaveOutcome FinishSave(const KeySaveResult& result, IKeyAssignmentTarget& target);

    // Reads the controls, hands the entry to the device, refreshes its labels, marks editing
    // pending.
    void Apply(IKeyAssignmentTarget& target);

private:
    void ShowKeyboardKey(const KeyAssignment& a);
    void RevertToDevice(IKeyAssignmentTarget& target);
    bool Offers(int kind) const;

    int m_deviceType = 2;
    std::vector<int> m_offeredKinds;
    std::vector<std::string> m_macroNames;
    KeyEntry m_entry;
    KeyEntry m_loaded; // the entry as Load received it
    KeySetControls m_controls;
    int m_savesRunning = 0;
};

} // namespace nq
