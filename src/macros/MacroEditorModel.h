#pragma once
// The macro editor's logic, without Qt: the macro list of one device folder, the events of the
// selected macro as rows, the row operations and the recording of key and mouse events.
//
// A row holds its event (type, button, action) and the text of its delay edit; the edit's text is
// the delay's source of truth until a save normalises it. Files change only on Add, Delete,
// Rename (the list file) and on saves. What the editor needs from its page and device comes
// through Host: questions and messages for the user, the device's key table (a deleted macro's
// key assignments are pruned), and the notices that keep the key editor's macro combo in step.
#include "editors/KeyAssignment.h"
#include "macros/MacroEvent.h"
#include "macros/MacroLibrary.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nq {

class MacroEditorModel {
public:
    static constexpr uint32_t kInitialFixedDelay = 50;
    // Timing modes of a recording.
    static constexpr int kActualTime = 1, kFixedDelay = 2, kNoDelay = 3;
    // Recording modes: append, insert before the selected row, insert after it, replace it.
    static constexpr int kAppend = 4, kBefore = 8, kAfter = 16, kReplace = 32;

    // Language keys of the messages.
    static constexpr const char* kAskDelete = "message_text_4";
    static constexpr const char* kAskDeleteUsed = "message_text_2";
    static constexpr const char* kNameInUse = "message_text_5";
    static constexpr const char* kTooMany = "macro_too_many_text";
    static constexpr const char* kEmptyName = "macro_empty_name_text";
    static constexpr const char* kWriteFailed = "macro_write_failed_text";
    static constexpr const char* kImportFailed = "macro_import_failed_text";

    class Host {
    public:
        virtual ~Host() = default;
        // A question with two buttons: true when confirmed.
        virtual bool Confirm(const std::string& messageKey) = 0;
        // A message with one button.
        virtual void Tell(const std::string& messageKey) = 0;
        // The device's key table (current and default assignment per key); an empty table when
        // the page has no keys.
        virtual std::vector<KeyEntry> KeyTable() = 0;
        virtual void SetKeyTable(const std::vector<KeyEntry>& table) = 0;
        // The list changed: a macro was appended, removed or renamed at `position`.
        virtual void MacroAdded(const std::string& /*name*/) {}
        virtual void MacroRemoved(int /*position*/) {}
        virtual void MacroRenamed(int /*position*/, const std::string& /*name*/) {}
        // Key assignments were pruned after a deletion: the page refreshes its key labels and
        // writes macros, key table and profile (the key editor's profile save).
        virtual void KeysPruned() {}
    };

    struct Row {
        MacroEvent event;
        std::string delayText;
    };

    explicit MacroEditorModel(Host* host = nullptr) : m_host(host) {}
    void SetHost(Host* host) { m_host = host; }

    // ---- list ----
    void SetFolder(const std::string& folder) { m_library.SetFolder(folder); }
    const MacroLibrary& Library() const { return m_library; }
    // Reads the list file (nothing while the folder is empty) and selects nothing.
    void LoadList();
    std::vector<std::string> Names() const;
    const std::vector<MacroLibrary::Entry>& Macros() const { return m_macros; }
    int SelectedMacro() const { return m_macros.empty() ? -1 : m_selectedMacro; }
    // Selects macro m (-1: none) and shows it.
    void SelectMacro(int m);
    // The controls that need a selected macro (action and move layouts, export, delete, rename).
    bool MacroControlsEnabled() const { return m_macroControlsEnabled; }

    // Appends "macro_N" (the lowest N not listed, compared without case) and selects it; the
    // event file is written by the first save. Empty when the list holds 50 macros already.
    std::string Add();
    // Deletes the selected macro after asking; returns its position or -1.
    int Delete();
    // Renames the selected macro; false when nothing changed.
    bool Rename(const std::string& name);
    // A copy of a macro file becomes a new macro named as Add names it. Empty when nothing was added.
    std::string Import(const std::string& path);
    // The selected macro's file, copied byte for byte (the rows' document when it was never saved).
    bool Export(const std::string& path);

    // ---- rows ----
    void ShowSelected();
    // Writes the selected macro's file from the rows (delays normalised). False when the file
    // could not be written (the user was told).
    bool SaveSelected();
    void ReloadSelected() { ShowSelected(); }
    // What reading the shown macro's file found.
    MacroLibrary::ReadState ShownState() const { return m_shownState; }

    const std::vector<Row>& Rows() const { return m_rows; }
    int SelectedRow() const { return m_selectedRow; }
    void SelectRow(int row) { m_selectedRow = row >= 0 && row < int(m_rows.size()) ? row : -1; }
    void SetDelayText(int row, const std::string& text);

    void DeleteRow();
    void DeleteAllRows();
    void MoveRowUp();
    void MoveRowDown();
    void MoveRowToTop();
    void MoveRowToBottom();
    // Inserts a button event of mouse event row `tableRow` (0-9) after the selected row.
    bool InsertMouseButton(int tableRow);
    // Inserts the press and then the release of a button (a click).
    bool InsertMouseClick(int button);
    // Inserts a move: type byte 0x84 left, 0x04 right, 0x85 up, 0x05 down; distance truncated to 8 bits.
    bool InsertMove(uint8_t typeByte, long distance);
    // The delay inserted events get: 50 until a fixed-delay recording read its edit.
    uint32_t FixedDelay() const { return m_fixedDelay; }

    // ---- recording ----
    // Starts a recording. In fixed-delay mode the fixed delay is read from `fixedDelayText`; the
    // returned text is what the fixed-delay edit must show afterwards.
    std::string StartRecording(int timingMode, int mode, const std::string& fixedDelayText, uint64_t nowMs);
    // Stops the recording and saves the macro.
    void StopRecording();
    bool IsRecording() const { return m_recording; }
    int RecordingMode() const { return m_mode; }
    int TimingMode() const { return m_timing; }
    // A key event (set-1 scan code and extended flag). False when it was not recorded.
    bool RecordKey(uint8_t scanCode, bool extended, bool down, uint64_t nowMs);
    // A mouse button message (0x0201-0x020C); `xButton` 1 back, 2 forward for the X messages;
    // `onStopButton` tells that the cursor is over the stop button. False when not recorded.
    bool RecordMouse(uint16_t message, int xButton, bool onStopButton, uint64_t nowMs);

    // ---- key assignments of a deleted macro ----
    // True when a key's current assignment plays macro m.
    static bool KeysUseMacro(const std::vector<KeyEntry>& keys, int m);
    // Keys that played macro m get their default back; keys that played a later macro move down
    // by one. True when anything changed.
    static bool PruneDeletedMacro(std::vector<KeyEntry>& keys, int m);

private:
    void Tell(const std::string& key) const;
    bool InsertAfterSelection(const MacroEvent& event);
    void InsertRecorded(const MacroEvent& event, uint64_t nowMs);
    void ReplaceSelected(int type, int button);
    // The auto-repeat rule of the recording variant; false when the key event is a repeat.
    bool PassesRepeat(uint8_t scanCode, bool extended, bool down);
    int Variant() const;

    Host* m_host = nullptr;
    MacroLibrary m_library;
    std::vector<MacroLibrary::Entry> m_macros;
    int m_selectedMacro = -1;
    bool m_macroControlsEnabled = false;
    std::vector<Row> m_rows;
    int m_selectedRow = -1;
    MacroLibrary::ReadState m_shownState = MacroLibrary::ReadState::Missing;

    uint32_t m_fixedDelay = kInitialFixedDelay;
    bool m_recording = false;
    int m_timing = kActualTime;
    int m_mode = 0;
    uint64_t m_lastEventMs = 0;
    // Set so that every recording measures the delay before its first event the same way.
    bool m_eventRecorded = true;
    struct KeySeen {
        uint8_t scan = 0;
        bool extended = false;
        bool operator==(const KeySeen&) const = default;
    };
    std::array<KeySeen, 4> m_lastKey{};
    std::array<uint16_t, 4> m_lastMouse{};
};

} // namespace nq
