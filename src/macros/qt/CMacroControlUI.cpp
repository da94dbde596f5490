#include "macros/qt/CMacroControlUI.h"

#include "app/CMsgWnd.h"
#include "common/DebugLog.h"
#include "editors/KeySetEditorModel.h"
#include "editors/qt/CKeySetControlUI.h"
#include "editors/qt/CRedioMacroButtonUI.h"
#include "macros/MouseEventTable.h"
#include "macros/qt/CMacroInputCapture.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/CPopupMenu.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinLoader.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTimer>

#include <chrono>

namespace nq::pages {

using ui::CControlAccess;

namespace {

QString Qs(const std::string& text) { return QString::fromStdString(text); }
QString Tr(const std::string& key) { return key.empty() ? QString() : ui::CResourceManager::Instance().Text(Qs(key)); }

uint64_t NowMs()
{
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SetStyle(QLabel* label, const char* style)
{
    label->setProperty("macroStyle", style);
    label->style()->unpolish(label);
    label->style()->polish(label);
}

// The row menu's mouse items: name, mouse event table row (-1: a click of `button`), button.
struct MenuInsert {
    const char* item;
    int tableRow;
    uint8_t button;
};
constexpr MenuInsert kMenuInserts[] = {
    {"left_down", 0, 0},   {"left_up", 1, 0},    {"right_down", 2, 0},   {"right_up", 3, 0},
    {"middle_down", 4, 0}, {"middle_up", 5, 0},  {"forward_down", 6, 0}, {"forward_up", 7, 0},
    {"back_down", 8, 0},   {"back_up", 9, 0},    {"left_click", -1, MouseEventTable::kLeft},
    {"right_click", -1, MouseEventTable::kRight}, {"middle_click", -1, MouseEventTable::kMiddle},
    {"forward_click", -1, MouseEventTable::kForward}, {"back_click", -1, MouseEventTable::kBack},
};

// Recording items of the row menu: timing mode (0: the fixed-delay option decides) and mode.
struct MenuRecord {
    const char* item;
    int timing;
    int mode;
};
constexpr MenuRecord kMenuRecords[] = {
    {"redio_previous_record_time", 0, MacroEditorModel::kBefore},
    {"redio_previous_constant_time", MacroEditorModel::kFixedDelay, MacroEditorModel::kBefore},
    {"redio_previous_ignore_time", MacroEditorModel::kNoDelay, MacroEditorModel::kBefore},
    {"redio_later_record_time", 0, MacroEditorModel::kAfter},
    {"redio_later_constant_time", MacroEditorModel::kFixedDelay, MacroEditorModel::kAfter},
    {"redio_later_ignore_time", MacroEditorModel::kNoDelay, MacroEditorModel::kAfter},
    {"macro_action_edit", MacroEditorModel::kNoDelay, MacroEditorModel::kReplace},
};

} // namespace

CMacroControlUI::CMacroControlUI(QWidget* parent) : QWidget(parent), m_model(this)
{
    ui::CResourceManager::Instance().MergeLanguagePart("macro");
    ui::CResourceManager::Instance().MergeLanguagePart("mouse"); // the key and button names
    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    ui::CSkinLoader::LoadInto(this, kLayoutName);
    m_capture = new CMacroInputCapture(this);
    m_capture->onKey = [this](uint8_t scan, bool extended, bool down) { OnKey(scan, extended, down); };
    m_capture->onMouse = [this](uint16_t message, int xButton, QPoint pos) { OnMouse(message, xButton, pos); };
    Bind();
}

CMacroControlUI::~CMacroControlUI()
{
    // The input nodes close and the key filter goes with the editor.
    m_capture->Stop();
}

void CMacroControlUI::RegisterClass()
{
    auto& factory = ui::CControlFactory::Instance();
    factory.RegistControl<CMacroControlUI>(kClassName);
    factory.RegistControl<CMacroControlUI>("MacroControl");
    factory.RegistControl<CMacroControlUI>("CMacroControlUI");
}

QWidget* CMacroControlUI::Control(const char* name) const
{
    return CControlAccess::FindControl(const_cast<CMacroControlUI*>(this), name);
}

long CMacroControlUI::EditNumber(const char* name) const
{
    const QString text = CControlAccess::GetText(Control(name)).trimmed();
    long value = 0;
    for (QChar c : text) {
        if (!c.isDigit())
            break;
        value = std::min(value * 10 + c.digitValue(), 1L << 30);
    }
    return value;
}

void CMacroControlUI::Bind()
{
    m_names = qobject_cast<QListWidget*>(Control("macro_name_list"));
    m_actions = qobject_cast<QListWidget*>(Control("macro_action_list"));
    m_recordSource = qobject_cast<QLabel*>(Control("macro_record_source_text"));
    if (m_names) {
        connect(m_names, &QListWidget::currentRowChanged, this, [this](int row) {
            if (!m_showing)
                SelectMacro(row);
        });
    }
    if (m_actions) {
        connect(m_actions, &QListWidget::currentRowChanged, this, [this](int row) {
            if (!m_showing)
                m_model.SelectRow(row);
        });
        m_actions->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(m_actions, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
            if (QListWidgetItem* item = m_actions->itemAt(at))
                m_actions->setCurrentItem(item);
            QPointer<CMacroControlUI> self(this);
            ui::CPopupMenu::Popup(kMenuName, m_actions->viewport()->mapToGlobal(at), this, [self](const QString& item) {
                if (self)
                    self->OnMenuItem(item);
            });
        });
    }
    auto onClick = [this](const char* name, std::function<void()> action) {
        if (auto* button = qobject_cast<QAbstractButton*>(Control(name)))
            connect(button, &QAbstractButton::clicked, this, [action = std::move(action)] { action(); });
    };
    auto rowOp = [this](void (MacroEditorModel::*op)()) {
        return [this, op] {
            (m_model.*op)();
            AfterRowChange();
        };
    };
    onClick("macro_btn_name_add", [this] { AddMacro(); });
    onClick("macro_btn_name_sub", [this] { DeleteMacro(); });
    onClick("macro_btn_name_edit", [this] { RenameMacro(); });
    onClick("macro_btn_save", [this] { Save(); });
    onClick("macro_btn_cancel", [this] {
        m_model.ReloadSelected();
        ShowRows();
    });
    onClick("macro_btn_export", [this] {
        if (m_model.SelectedMacro() < 0)
            return;
        const QString path = chooseFile ? chooseFile(true)
                                        : QFileDialog::getSaveFileName(window(), QString(), QString(), kFileFilter);
        if (!path.isEmpty())
            ExportMacro(path);
    });
    onClick("macro_btn_import", [this] {
        const QString path = chooseFile ? chooseFile(false)
                                        : QFileDialog::getOpenFileName(window(), QString(), QString(), kFileFilter);
        if (!path.isEmpty())
            ImportMacro(path);
    });
    onClick("macro_btn_up", rowOp(&MacroEditorModel::MoveRowUp));
    onClick("macro_btn_down", rowOp(&MacroEditorModel::MoveRowDown));
    onClick("macro_btn_uptop", rowOp(&MacroEditorModel::MoveRowToTop));
    onClick("macro_btn_downbottom", rowOp(&MacroEditorModel::MoveRowToBottom));
    onClick("macro_btn_delete", rowOp(&MacroEditorModel::DeleteRow));
    onClick("macro_btn_deleteall", rowOp(&MacroEditorModel::DeleteAllRows));
    const std::pair<const char*, std::pair<uint8_t, const char*>> moves[] = {
        {"macro_inset_moveleftkey_btn", {0x84, "mouse_x_left_edit"}},
        {"macro_inset_moverightkey_btn", {0x04, "mouse_x_right_edit"}},
        {"macro_inset_moveupkey_btn", {0x85, "mouse_y_up_edit"}},
        {"macro_inset_movedownkey_btn", {0x05, "mouse_y_down_edit"}},
    };
    for (const auto& [button, move] : moves) {
        onClick(button, [this, move = move] {
            if (m_model.InsertMove(move.first, EditNumber(move.second))) {
                AfterRowChange();
                ScrollLater();
            }
        });
    }
    onClick("macro_btn_starredio", [this] {
        const bool fixed = CControlAccess::IsSelected(Control("macro_check_time"));
        StartRecording(fixed ? MacroEditorModel::kFixedDelay : MacroEditorModel::kActualTime, MacroEditorModel::kAppend);
    });
    onClick("macro_btn_stopredio", [this] { StopRecording(); });
    for (const char* name : {"macro_fixed_time_edit", "mouse_x_left_edit", "mouse_x_right_edit", "mouse_y_up_edit",
                             "mouse_y_down_edit"}) {
        if (auto* edit = qobject_cast<QLineEdit*>(Control(name)))
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    }
    CControlAccess::SetVisible(Control("macro_btn_stopredio"), false);
    ShowEnabled();
    ShowRecordSource();
}

// ---- list ----

void CMacroControlUI::SetFolder(const std::string& folder) { m_model.SetFolder(folder); }

void CMacroControlUI::LoadList()
{
    m_model.LoadList();
    ShowList();
    ShowRows();
    // The key editor's macro combo mirrors the list position for position.
    if (m_keyEditor) {
        while (!m_keyEditor->Model().MacroNames().empty())
            m_keyEditor->RemoveMacroName(0);
        m_keyEditor->FillMacroNames(m_model.Names());
    }
}

void CMacroControlUI::ShowList()
{
    if (!m_names)
        return;
    m_showing = true;
    m_names->clear();
    for (const auto& entry : m_model.Macros()) {
        auto* item = new QListWidgetItem(Qs(entry.name), m_names);
        item->setData(Qt::UserRole, Qs(entry.guid));
        item->setSizeHint(QSize(0, kRowHeight));
    }
    m_names->setCurrentRow(m_model.SelectedMacro());
    m_showing = false;
    ShowEnabled();
}

void CMacroControlUI::ShowEnabled()
{
    const bool enabled = m_model.MacroControlsEnabled();
    for (const char* name :
         {"macro_action_layout", "mouse_move_layout", "macro_btn_export", "macro_btn_name_sub", "macro_btn_name_edit"})
        CControlAccess::SetEnabled(Control(name), enabled);
}

void CMacroControlUI::ShowRecordSource()
{
    if (!m_recordSource)
        return;
    const bool anywhere = CMacroInputCapture::EvdevAvailable();
    m_recordSource->setText(Tr(anywhere ? "macro_record_anywhere_text" : "macro_record_window_only_text"));
    m_recordSource->setProperty("windowOnly", !anywhere);
}

void CMacroControlUI::SelectMacro(int m)
{
    if (IsRecording())
        return;
    m_model.SelectMacro(m);
    ShowList();
    ShowRows();
}

void CMacroControlUI::AddMacro()
{
    if (!m_model.Add().empty()) {
        ShowList();
        ShowRows();
    }
}

void CMacroControlUI::DeleteMacro()
{
    if (m_model.Delete() >= 0) {
        ShowList();
        ShowRows();
    }
}

void CMacroControlUI::RenameMacro()
{
    auto* edit = qobject_cast<QLineEdit*>(Control("macro_edit_macroname"));
    if (m_model.SelectedMacro() < 0 || !edit)
        return;
    if (m_model.Rename(edit->text().toStdString())) {
        edit->clear();
        ShowList();
    }
}

void CMacroControlUI::ImportMacro(const QString& path)
{
    if (!m_model.Import(path.toStdString()).empty()) {
        ShowList();
        ShowRows();
    }
}

void CMacroControlUI::ExportMacro(const QString& path) { m_model.Export(path.toStdString()); }

// ---- rows ----

QLineEdit* CMacroControlUI::DelayEdit(int row) const
{
    if (!m_actions || row < 0 || row >= m_actions->count())
        return nullptr;
    QWidget* widget = m_actions->itemWidget(m_actions->item(row));
    return widget ? widget->findChild<QLineEdit*>("macro_delay") : nullptr;
}

void CMacroControlUI::ShowRows()
{
    ShowEnabled();
    if (!m_actions)
        return;
    m_showing = true;
    m_actions->clear();
    for (int i = 0; i < int(m_model.Rows().size()); ++i)
        InsertRowWidget(i);
    m_actions->setCurrentRow(m_model.SelectedRow());
    m_showing = false;
}

void CMacroControlUI::InsertRowWidget(int at)
{
    auto* item = new QListWidgetItem;
    item->setSizeHint(QSize(0, kRowHeight));
    m_actions->insertItem(at, item);
    auto* row = new QWidget;
    row->setObjectName("macro_action");
    row->setFixedHeight(kRowHeight);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->setAlignment(Qt::AlignVCenter);
    auto* name = new QLabel(row);
    name->setObjectName("macro_name_label");
    auto* state = new QLabel(row);
    state->setObjectName("macro_state_label");
    auto* delay = new QLineEdit(row);
    delay->setObjectName("macro_delay");
    delay->setFixedHeight(25);
    delay->setMaxLength(6);
    delay->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), delay));
    // The row's position changes when rows are inserted before it: it is looked up each time.
    connect(delay, &QLineEdit::textEdited, this, [this, item](const QString& text) {
        m_model.SetDelayText(m_actions->row(item), text.toStdString());
    });
    // Leaving a delay edit saves the macro.
    connect(delay, &QLineEdit::editingFinished, this, [this] {
        if (!IsRecording())
            Save();
    });
    layout->addWidget(name, 3);
    layout->addWidget(state, 2);
    layout->addWidget(delay, 1);
    m_actions->setItemWidget(item, row);
    UpdateRowWidget(at);
}

void CMacroControlUI::UpdateRowWidget(int at)
{
    if (!m_actions || at < 0 || at >= m_actions->count() || at >= int(m_model.Rows().size()))
        return;
    const MacroEditorModel::Row& source = m_model.Rows()[size_t(at)];
    const MacroEvent& event = source.event;
    QListWidgetItem* item = m_actions->item(at);
    item->setData(Qt::UserRole, Qs(StyledEventText(event)));
    QWidget* row = m_actions->itemWidget(item);
    auto* name = row->findChild<QLabel*>("macro_name_label");
    auto* state = row->findChild<QLabel*>("macro_state_label");
    name->setText(Tr(event.NameKey()));
    SetStyle(name, event.IsKey() ? "macro_label_keyboard_style" : "macro_label_mouse_style");
    if (event.IsMove()) {
        state->setText(QString::number(event.button));
        SetStyle(state, "macro_label_text_style");
    } else {
        state->setText(Tr(event.down ? "macro_down_text" : "macro_up_text"));
        SetStyle(state, event.down ? "macro_label_down_style" : "macro_label_up_style");
    }
    auto* delay = row->findChild<QLineEdit*>("macro_delay");
    if (delay->text() != Qs(source.delayText))
        delay->setText(Qs(source.delayText));
}

void CMacroControlUI::ShowRecorded()
{
    // One row was inserted (and the one before it got its delay) or the selected row replaced;
    // only those rows are drawn again, so a long recording stays quick.
    const int rows = int(m_model.Rows().size());
    const int selected = m_model.SelectedRow();
    if (!m_actions || m_actions->count() + 1 < rows || m_actions->count() > rows) {
        ShowRows();
        return;
    }
    m_showing = true;
    if (m_actions->count() + 1 == rows) {
        const int at = m_model.RecordingMode() == MacroEditorModel::kBefore ? selected - 1 : selected;
        InsertRowWidget(at);
        UpdateRowWidget(at - 1);
    } else {
        UpdateRowWidget(selected);
    }
    m_actions->setCurrentRow(selected);
    m_showing = false;
    ScrollLater();
}

std::string CMacroControlUI::StyledEventText(const MacroEvent& event) { return event.ToJson().toStyledString(); }

void CMacroControlUI::AfterRowChange()
{
    ShowRows();
    Save();
}

void CMacroControlUI::ScrollLater()
{
    QPointer<QListWidget> list = m_actions;
    QTimer::singleShot(kScrollDelayMs, this, [list] {
        if (list && list->currentItem())
            list->scrollToItem(list->currentItem());
    });
}

void CMacroControlUI::Save()
{
    // Delay texts are taken as typed; the save shows them normalised.
    m_model.SaveSelected();
    for (int i = 0; i < int(m_model.Rows().size()); ++i)
        UpdateRowWidget(i);
}

void CMacroControlUI::OnMenuItem(const QString& item)
{
    const std::string name = item.toStdString();
    for (const MenuInsert& insert : kMenuInserts) {
        if (name != insert.item)
            continue;
        const bool inserted =
            insert.tableRow >= 0 ? m_model.InsertMouseButton(insert.tableRow) : m_model.InsertMouseClick(insert.button);
        if (inserted) {
            AfterRowChange();
            ScrollLater();
        }
        return;
    }
    for (const MenuRecord& record : kMenuRecords) {
        if (name != record.item)
            continue;
        int timing = record.timing;
        if (timing == 0)
            timing = CControlAccess::IsSelected(Control("macro_check_time")) ? MacroEditorModel::kFixedDelay
                                                                            : MacroEditorModel::kActualTime;
        StartRecording(timing, record.mode);
        return;
    }
}

// ---- recording ----

void CMacroControlUI::LockForRecording(bool locked)
{
    for (const char* name : {"macro_name_tab", "macro_action_list", "mouse_move_layout"})
        CControlAccess::SetEnabled(Control(name), !locked);
    CControlAccess::SetVisible(Control("macro_btn_starredio"), !locked);
    CControlAccess::SetVisible(Control("macro_btn_stopredio"), locked);
    // The device cannot be changed under a running recording.
    if (QWidget* selector = CControlAccess::FindControl(window(), "device_select_layout"))
        selector->setEnabled(!locked);
    if (m_keyEditor)
        m_keyEditor->SetEditingButtonsEnabled(locked);
    if (auto* indicator = qobject_cast<CRedioMacroButtonUI*>(Control("macro_btn_stopredio")))
        locked ? indicator->StartIndicator() : indicator->StopIndicator();
}

void CMacroControlUI::StartRecording(int timingMode, int mode)
{
    if (m_model.SelectedMacro() < 0)
        return;
    if (IsRecording())
        StopRecording();
    auto* fixed = qobject_cast<QLineEdit*>(Control("macro_fixed_time_edit"));
    const std::string shown =
        m_model.StartRecording(timingMode, mode, fixed ? fixed->text().toStdString() : std::string(), NowMs());
    if (fixed && timingMode == MacroEditorModel::kFixedDelay && fixed->text() != Qs(shown)) {
        fixed->setText(Qs(shown));
        fixed->setCursorPosition(int(shown.size()));
    }
    LockForRecording(true);
    ShowRecordSource();
    m_capture->Start();
    if (QWidget* stop = Control("macro_btn_stopredio"))
        stop->setFocus();
}

void CMacroControlUI::StopRecording()
{
    if (!IsRecording())
        return;
    m_capture->Stop();
    LockForRecording(false);
    m_model.StopRecording(); // saves the macro
    ShowRows();
}

void CMacroControlUI::hideEvent(QHideEvent* event)
{
    // A recording ends with its page (a window minimised by the desktop keeps recording).
    if (!event->spontaneous())
        StopRecording();
    QWidget::hideEvent(event);
}

void CMacroControlUI::OnKey(uint8_t scanCode, bool extended, bool down)
{
    if (m_model.RecordKey(scanCode, extended, down, NowMs()))
        ShowRecorded();
}

void CMacroControlUI::OnMouse(uint16_t message, int xButton, QPoint globalPos)
{
    QWidget* stop = Control("macro_btn_stopredio");
    const bool onStop = stop && stop->isVisible() && QRect(stop->mapToGlobal(QPoint(0, 0)), stop->size()).contains(globalPos);
    if (m_model.RecordMouse(message, xButton, onStop, NowMs()))
        ShowRecorded();
}

// ---- MacroEditorModel::Host ----

bool CMacroControlUI::Confirm(const std::string& messageKey)
{
    return app::CMsgWnd::ShowMessage(window(), QString(), Qs(messageKey), 96, true, 1) == 1;
}

void CMacroControlUI::Tell(const std::string& messageKey)
{
    app::CMsgWnd::ShowMessage(window(), QString(), Qs(messageKey), 96, true, 0);
}

std::vector<KeyEntry> CMacroControlUI::KeyTable() { return m_link.keyTable ? m_link.keyTable() : std::vector<KeyEntry>(); }

void CMacroControlUI::SetKeyTable(const std::vector<KeyEntry>& table)
{
    if (m_link.setKeyTable)
        m_link.setKeyTable(table);
}

void CMacroControlUI::MacroAdded(const std::string& name)
{
    if (m_keyEditor)
        m_keyEditor->AddMacroName(name);
    if (m_link.namesChanged)
        m_link.namesChanged();
}

void CMacroControlUI::MacroRemoved(int position)
{
    if (m_keyEditor)
        m_keyEditor->RemoveMacroName(position);
    if (m_link.namesChanged)
        m_link.namesChanged();
}

void CMacroControlUI::MacroRenamed(int position, const std::string& name)
{
    if (m_keyEditor)
        m_keyEditor->RenameMacroName(position, name);
    if (m_link.namesChanged)
        m_link.namesChanged();
}

void CMacroControlUI::KeysPruned()
{
    // The device gets the renumbered macros and keys at once; its failures are shown there.
    if (m_keyEditor)
        m_keyEditor->SaveProfile();
}

} // namespace nq::pages
