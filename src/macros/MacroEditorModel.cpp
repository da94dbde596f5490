#include "macros/MacroEditorModel.h"

#include "editors/KeyCodeTable.h"
#include "macros/MouseEventTable.h"
#include "profiles/TextHelpers.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace nq {

namespace {

constexpr uint8_t kMacroCode = 0x70;
constexpr uint8_t kMacroRepeatCode = 0x71;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool PlaysMacro(const KeyAssignment& a) { return a.code == kMacroCode || a.code == kMacroRepeatCode; }

bool Readable(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return bool(in);
}

} // namespace

// ---- list ----

void MacroEditorModel::LoadList()
{
    m_macros.clear();
    m_selectedMacro = -1;
    m_rows.clear();
    m_selectedRow = -1;
    if (m_library.Folder().empty())
        return;
    m_macros = m_library.ReadList();
}

std::vector<std::string> MacroEditorModel::Names() const
{
    std::vector<std::string> names;
    for (const auto& entry : m_macros)
        names.push_back(entry.name);
    return names;
}

void MacroEditorModel::SelectMacro(int m)
{
    m_selectedMacro = m >= 0 && m < int(m_macros.size()) ? m : -1;
    ShowSelected();
}

void MacroEditorModel::Tell(const std::string& key) const
{
    if (m_host)
        m_host->Tell(key);
}

std::string MacroEditorModel::Add()
{
    if (m_macros.size() >= MacroLibrary::kMaxMacros) {
        Tell(kTooMany);
        return {};
    }
    std::string name;
    for (int n = 1;; ++n) {
        name = "macro_" + std::to_string(n);
        const std::string lower = Lower(name);
        if (std::none_of(m_macros.begin(), m_macros.end(), [&](const auto& e) { return Lower(e.name) == lower; }))
            break;
    }
    const MacroLibrary::Entry entry{name, MakeTimeStampName()};
    if (!m_library.SetEntry(m_macros.size(), entry)) {
        Tell(kWriteFailed);
        return {};
    }
    m_macros.push_back(entry);
    SelectMacro(int(m_macros.size()) - 1);
    if (m_host)
        m_host->MacroAdded(name);
    return name;
}

bool MacroEditorModel::KeysUseMacro(const std::vector<KeyEntry>& keys, int m)
{
    return std::any_of(keys.begin(), keys.end(),
                       [m](const KeyEntry& k) { return PlaysMacro(k.current) && k.current.param1 == m; });
}

bool MacroEditorModel::PruneDeletedMacro(std::vector<KeyEntry>& keys, int m)
{
    bool changed = false;
    for (KeyEntry& key : keys) {
        if (!PlaysMacro(key.current))
            continue;
        if (key.current.param1 == m) {
            const uint16_t index = key.current.keyIndex;
            key.current = key.defaults;
            key.current.keyIndex = index;
            changed = true;
        } else if (key.current.param1 > m) {
            --key.current.param1;
            changed = true;
        }
    }
    return changed;
}

int MacroEditorModel::Delete()
{
    if (!m_host || !m_host->Confirm(kAskDelete))
        return -1;
    const int m = SelectedMacro();
    if (m < 0)
        return -1;
    std::vector<KeyEntry> keys = m_host->KeyTable();
    if (KeysUseMacro(keys, m) && !m_host->Confirm(kAskDeleteUsed))
        return -1;
    const bool keysChanged = PruneDeletedMacro(keys, m);
    if (keysChanged)
        m_host->SetKeyTable(keys);

    m_library.DeleteEventFile(m_macros[size_t(m)].guid);
    m_macros.erase(m_macros.begin() + m);
    m_rows.clear();
    m_selectedRow = -1;
    if (!m_library.RemoveEntry(size_t(m)))
        Tell(kWriteFailed);
    SelectMacro(m_macros.empty() ? -1 : 0);
    m_host->MacroRemoved(m);
    if (keysChanged)
        m_host->KeysPruned();
    return m;
}

bool MacroEditorModel::Rename(const std::string& name)
{
    const int m = SelectedMacro();
    if (m < 0)
        return false;
    if (IsBlankText(name)) {
        Tell(kEmptyName);
        return false;
    }
    const std::string lower = Lower(name);
    if (std::any_of(m_macros.begin(), m_macros.end(), [&](const auto& e) { return Lower(e.name) == lower; })) {
        Tell(kNameInUse);
        return false;
    }
    if (!m_library.RenameEntry(size_t(m), name)) {
        Tell(kWriteFailed);
        return false;
    }
    m_macros[size_t(m)].name = name;
    if (m_host)
        m_host->MacroRenamed(m, name);
    return true;
}

std::string MacroEditorModel::Import(const std::string& path)
{
    if (m_macros.size() >= MacroLibrary::kMaxMacros) {
        Tell(kTooMany);
        return {};
    }
    if (!Readable(path)) {
        Tell(kImportFailed);
        return {};
    }
    const std::string name = Add();
    if (name.empty())
        return {};
    if (!m_library.ImportFile(path, m_macros.back().guid))
        Tell(kImportFailed);
    ShowSelected();
    return name;
}

bool MacroEditorModel::Export(const std::string& path)
{
    const int m = SelectedMacro();
    if (m < 0)
        return false;
    const std::string guid = m_macros[size_t(m)].guid;
    MacroLibrary::ReadState state = MacroLibrary::ReadState::Read;
    m_library.ReadEvents(guid, &state);
    bool written = false;
    if (state == MacroLibrary::ReadState::Missing) {
        // Never saved: the document a save would write.
        std::vector<MacroEvent> events;
        for (const Row& row : m_rows)
            events.push_back(row.event);
        written = MacroLibrary::WriteDocument(path, guid, m_macros[size_t(m)].name, events);
    } else {
        written = m_library.ExportFile(guid, path);
    }
    if (!written)
        Tell(kWriteFailed);
    return written;
}

// ---- rows ----

void MacroEditorModel::ShowSelected()
{
    m_rows.clear();
    m_selectedRow = -1;
    const int m = SelectedMacro();
    m_macroControlsEnabled = m >= 0;
    m_shownState = MacroLibrary::ReadState::Missing;
    if (m < 0 || m_macros[size_t(m)].guid.empty())
        return;
    for (const MacroEvent& event : m_library.ReadEvents(m_macros[size_t(m)].guid, &m_shownState))
        m_rows.push_back({event, std::to_string(event.delay)});
}

void MacroEditorModel::SetDelayText(int row, const std::string& text)
{
    if (row >= 0 && row < int(m_rows.size()))
        m_rows[size_t(row)].delayText = text;
}

bool MacroEditorModel::SaveSelected()
{
    const int m = SelectedMacro();
    if (m < 0 || m_macros[size_t(m)].guid.empty())
        return false;
    std::vector<MacroEvent> events;
    for (Row& row : m_rows) {
        row.event.delay = MacroEvent::DelayFromText(row.delayText);
        row.delayText = std::to_string(row.event.delay);
        events.push_back(row.event);
    }
    if (!m_library.WriteEvents(m_macros[size_t(m)].guid, m_macros[size_t(m)].name, events)) {
        Tell(kWriteFailed);
        return false;
    }
    return true;
}

void MacroEditorModel::DeleteRow()
{
    if (m_selectedRow < 0 || m_selectedRow >= int(m_rows.size()))
        return;
    m_rows.erase(m_rows.begin() + m_selectedRow);
    if (m_selectedRow >= int(m_rows.size()))
        m_selectedRow = int(m_rows.size()) - 1;
}

void MacroEditorModel::DeleteAllRows()
{
    m_rows.clear();
    m_selectedRow = -1;
}

void MacroEditorModel::MoveRowUp()
{
    const int s = m_selectedRow;
    if (s <= 0 || s >= int(m_rows.size()))
        return;
    std::swap(m_rows[size_t(s)], m_rows[size_t(s - 1)]);
    m_selectedRow = s - 1;
}

void MacroEditorModel::MoveRowDown()
{
    const int s = m_selectedRow;
    if (s < 0 || s >= int(m_rows.size()) - 1)
        return;
    std::swap(m_rows[size_t(s)], m_rows[size_t(s + 1)]);
    m_selectedRow = s + 1;
}

void MacroEditorModel::MoveRowToTop()
{
    const int s = m_selectedRow;
    if (s <= 0 || s >= int(m_rows.size()))
        return;
    std::rotate(m_rows.begin(), m_rows.begin() + s, m_rows.begin() + s + 1);
    m_selectedRow = 0;
}

void MacroEditorModel::MoveRowToBottom()
{
    const int s = m_selectedRow;
    if (s < 0 || s >= int(m_rows.size()) - 1)
        return;
    std::rotate(m_rows.begin() + s, m_rows.begin() + s + 1, m_rows.end());
    m_selectedRow = int(m_rows.size()) - 1;
}

bool MacroEditorModel::InsertAfterSelection(const MacroEvent& event)
{
    if (SelectedMacro() < 0 || m_rows.size() >= MacroLibrary::kMaxEvents)
        return false;
    const int at = m_selectedRow >= 0 && m_selectedRow < int(m_rows.size()) ? m_selectedRow + 1 : 0;
    m_rows.insert(m_rows.begin() + at, Row{event, std::to_string(event.delay)});
    m_selectedRow = at;
    return true;
}

bool MacroEditorModel::InsertMouseButton(int tableRow)
{
    const MouseEventRow* row = tableRow >= 0 && tableRow < MouseEventTable::kButtonRows ? MouseEventTable::Row(tableRow)
                                                                                          : nullptr;
    if (!row)
        return false;
    return InsertAfterSelection(MacroEvent{row->Type(), row->button, row->Down(), m_fixedDelay});
}

bool MacroEditorModel::InsertMouseClick(int button)
{
    const int down = MouseEventTable::FindButton(button, true);
    const int up = MouseEventTable::FindButton(button, false);
    if (down < 0 || up < 0 || m_rows.size() + 2 > MacroLibrary::kMaxEvents)
        return false;
    return InsertMouseButton(down) && InsertMouseButton(up);
}

bool MacroEditorModel::InsertMove(uint8_t typeByte, long distance)
{
    const int type = typeByte & 0x7F;
    if (type != MacroEvent::kHorizontalMoveType && type != MacroEvent::kVerticalMoveType)
        return false;
    const int counts = int(static_cast<unsigned long>(distance) & 0xFF);
    return InsertAfterSelection(MacroEvent{type, counts, (typeByte & 0x80) != 0, m_fixedDelay});
}

// ---- recording ----

std::string MacroEditorModel::StartRecording(int timingMode, int mode, const std::string& fixedDelayText,
                                             uint64_t nowMs)
{
    m_recording = true;
    m_timing = timingMode;
    m_mode = mode;
    m_lastEventMs = nowMs;
    m_lastKey = {};
    m_lastMouse = {};
    if (timingMode != kFixedDelay)
        return fixedDelayText;
    m_fixedDelay = MacroEvent::DelayFromText(fixedDelayText);
    return std::to_string(m_fixedDelay);
}

void MacroEditorModel::StopRecording()
{
    if (!m_recording)
        return;
    m_recording = false;
    SaveSelected();
}

int MacroEditorModel::Variant() const
{
    switch (m_mode) {
    case kAppend: return 0;
    case kBefore: return 1;
    case kAfter: return 2;
    default: return 3;
    }
}

bool MacroEditorModel::PassesRepeat(uint8_t scanCode, bool extended, bool down)
{
    KeySeen& last = m_lastKey[size_t(Variant())];
    const KeySeen key{scanCode, extended};
    if (down) {
        if (last == key)
            return false; // the key's auto-repeat
        last = key;
    } else if (last == key) {
        last = {};
    }
    return true;
}

void MacroEditorModel::InsertRecorded(const MacroEvent& recorded, uint64_t nowMs)
{
    if (SelectedMacro() < 0 || m_rows.size() >= MacroLibrary::kMaxEvents)
        return;
    uint32_t d = 0;
    if (m_timing == kFixedDelay) {
        d = m_fixedDelay;
    } else if (m_timing == kActualTime) {
        const uint64_t elapsed = nowMs >= m_lastEventMs ? nowMs - m_lastEventMs : 0;
        m_lastEventMs = nowMs;
        d = uint32_t(std::min<uint64_t>(elapsed, MacroEvent::kMaxDelay));
    }
    int at = 0;
    const int count = int(m_rows.size());
    const int s = m_selectedRow >= 0 && m_selectedRow < count ? m_selectedRow : -1;
    if (m_mode == kAppend) {
        at = count;
    } else if (m_mode == kBefore) {
        if (s < 0)
            return;
        at = s;
    } else {
        at = s + 1;
    }
    MacroEvent event = recorded;
    event.delay = at == 0 ? 0 : (m_timing == kFixedDelay ? m_fixedDelay : 0);
    m_rows.insert(m_rows.begin() + at, Row{event, std::to_string(event.delay)});
    // Before: the selected row follows the new ones; append and after: the new row is selected.
    m_selectedRow = m_mode == kBefore ? s + 1 : at;
    if (at > 0 && m_eventRecorded) {
        Row& previous = m_rows[size_t(at - 1)];
        previous.event.delay = d;
        previous.delayText = std::to_string(d);
    }
    m_eventRecorded = true;
}

void MacroEditorModel::ReplaceSelected(int type, int button)
{
    if (m_selectedRow < 0 || m_selectedRow >= int(m_rows.size()))
        return;
    Row& row = m_rows[size_t(m_selectedRow)];
    row.event.type = type;
    row.event.button = button;
}

bool MacroEditorModel::RecordKey(uint8_t scanCode, bool extended, bool down, uint64_t nowMs)
{
    if (!m_recording || SelectedMacro() < 0)
        return false;
    if (m_mode == kReplace && m_selectedRow < 0)
        return false;
    if (!PassesRepeat(scanCode, extended, down))
        return false;
    const KeyCodeRow* row = KeyCodeTable::Row(KeyCodeTable::FindCapture(scanCode, extended));
    if (!row)
        return false;
    MacroEvent event;
    if (row->param2 != 0) {
        event.type = MacroEvent::kKeyType;
        event.button = row->param2;
    } else if (row->param1 != 0) {
        event.type = MacroEvent::kModifierType;
        event.button = row->param1;
    } else {
        return false;
    }
    event.down = down;
    if (m_mode == kReplace) {
        ReplaceSelected(event.type, event.button);
        return true;
    }
    if (m_mode != kAppend && m_mode != kBefore && m_mode != kAfter)
        return false;
    const size_t before = m_rows.size();
    InsertRecorded(event, nowMs);
    return m_rows.size() != before;
}

bool MacroEditorModel::RecordMouse(uint16_t message, int xButton, bool onStopButton, uint64_t nowMs)
{
    if (!m_recording || SelectedMacro() < 0)
        return false;
    int tableRow = -1;
    for (int i = 0; i < 6; ++i) {
        if (MouseEventTable::Rows()[size_t(i)].message == message)
            tableRow = i;
    }
    if (message == MouseEventTable::kXDown || message == MouseEventTable::kXUp) {
        const bool down = message == MouseEventTable::kXDown;
        if (xButton == 2)
            tableRow = MouseEventTable::FindButton(MouseEventTable::kForward, down);
        else if (xButton == 1)
            tableRow = MouseEventTable::FindButton(MouseEventTable::kBack, down);
    }
    const MouseEventRow* row = MouseEventTable::Row(tableRow);
    if (!row)
        return false;
    uint16_t& last = m_lastMouse[size_t(Variant())];
    if (last == message)
        return false;
    last = message;
    if ((message == MouseEventTable::kLeftDown || message == MouseEventTable::kLeftUp) && onStopButton)
        return false;
    if (m_mode == kReplace) {
        if (m_selectedRow < 0)
            return false;
        ReplaceSelected(row->Type(), row->button);
        return true;
    }
    if (m_mode != kAppend && m_mode != kBefore && m_mode != kAfter)
        return false;
    const size_t before = m_rows.size();
    InsertRecorded(MacroEvent{row->Type(), row->button, row->Down(), 0}, nowMs);
    return m_rows.size() != before;
}

} // namespace nq
