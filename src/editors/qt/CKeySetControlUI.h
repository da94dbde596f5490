#pragma once
// The key assignment editor of a device page ("KeySetControl", found as "KeySetControlItem"): a
// horizontal container that builds its controls from "XML\CustomControlXML\KeySetControl.xml".
// The logic lives in KeySetEditorModel; this class copies the model's control record to the
// widgets after every operation (combo selections without raising events) and reads the widgets
// back before the model acts on them.
//
// Combos of the layout may carry two dynamic properties: "itemKeys" (language keys of the items,
// separated by ";", used when the layout lists no items) and "itemData" (the items' user data,
// ";"-separated; the function combo's kinds); "initialRow" selects an item when the editor is built.
#include "editors/IKeyAssignmentTarget.h"
#include "ui/TNotify.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QStackedWidget>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nq {
class KeySetEditorModel;
}

namespace nq::pages {

class CKeySetControlUI : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kClassName = "KeySetControl";
    static constexpr const char* kLayoutName = "XML\\CustomControlXML\\KeySetControl.xml";
    static constexpr const char* kModifierOptionPrefix = "key_ComBox_check_";
    static constexpr const char* kSaveKey = "keyset_save_btn";
    static constexpr const char* kSavingKey = "keyset_saving_btn";

    explicit CKeySetControlUI(QWidget* parent = nullptr);
    ~CKeySetControlUI() override;

    // Registers the class under its skin name and its class name with the control factory.
    static void RegisterClass();

    // Finds the named controls inside the editor (done once by the constructor; again after the
    // layout changed). Missing controls stay absent and are skipped.
    void Bind();
    // Device type 1 (keyboard) hides the DPI and recoil-switch functions; hides "keyset_layout".
    void Configure(int deviceType);
    // The device whose selected key the editor edits (may be null: then nothing is applied).
    void SetTarget(IKeyAssignmentTarget* target) { m_target = target; }
    IKeyAssignmentTarget* Target() const { return m_target; }

    // The macro combo mirrors the macro list position for position.
    void FillMacroNames(const std::vector<std::string>& names);
    void AddMacroName(const std::string& name);
    void RemoveMacroName(int position);
    void RenameMacroName(int position, const std::string& name);

    void Load(const KeyEntry& entry);
    void ShowDefault();
    void ShowCurrent();
    KeyEntry Read();
    void SetCapturedKey(const KeyAssignment& assignment);
    void SelectModifierOption(int option);
    int SelectedModifierOption();
    void SetEditingButtonsEnabled(bool enabled);
    void SetKeyboardText(const std::string& languageKey);

    // A key pressed while the keyboard edit has the focus (set-1 scan code, flags bit 0: extended).
    // False when the key cannot be assigned.
    bool OnKeyCaptured(uint8_t scanCode, uint32_t flags);

    // "key_butt_prosave": macros, key table and profile to the device and file. The device carries
    // the writes out (on its transfer worker when it has one); meanwhile the editor is disabled
    // and the button says "Saving…". A failure is shown: macros by a message, a key table the
    // device did not take by the device's page, and the key edits then go back to what the device
    // holds.
    void SaveProfile();
    bool Saving() const;

    // Handles the notifications of the editor's controls; false for any other sender.
    bool HandleNotify(const ui::TNotify& msg);

    // Called with true when key capture must start (the keyboard edit got the focus) and with
    // false when it must stop.
    std::function<void(bool)> keyCaptureHook;

    KeySetEditorModel& Model() { return *m_model; }
    QWidget* Control(const char* name) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Pull();     // widgets -> model controls
    void Push();     // model controls -> widgets, without raising events
    void Apply();
    void SaveFinished(const KeySaveResult& result);
    void FillItems(QComboBox* combo);
    int RowOfKind(int kind) const;
    int KindOfRow(int row) const;
    void UpdateOfferedKinds();

    std::unique_ptr<KeySetEditorModel> m_model; // kept out of this header with its enums
    IKeyAssignmentTarget* m_target = nullptr;
    QWidget* m_root = nullptr;

    QPointer<QWidget> m_layout;
    QPointer<QComboBox> m_function;
    QPointer<QStackedWidget> m_pages;
    QPointer<QComboBox> m_mouseKey, m_swingDir, m_wheelDir, m_dpi, m_media, m_system, m_macro, m_macroMode,
        m_gun, m_combo;
    QPointer<QLineEdit> m_swingNum, m_swingDelay, m_swingSpeed, m_wheelNum, m_wheelDelay, m_wheelSpeed,
        m_fireInterval, m_fireNum, m_keyboardText, m_macroRepeat;
    QPointer<QWidget> m_macroCycle;
    QPointer<QWidget> m_saveButton, m_cancelButton, m_proSaveButton, m_defaultButton;
    std::array<QPointer<QAbstractButton>, 5> m_modifiers{};
};

} // namespace nq::pages
