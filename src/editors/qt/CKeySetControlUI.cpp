#include "editors/qt/CKeySetControlUI.h"

#include "app/CMsgWnd.h"
#include "editors/KeyCodeTable.h"
#include "editors/KeySetEditorModel.h"
#include "macros/LinuxInputCodes.h"
#include "macros/qt/CMacroInputCapture.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/CNotifyBridge.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinLoader.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QStackedWidget>

namespace nq::pages {

using ui::CControlAccess;

namespace {

QString Qs(const std::string& text) { return QString::fromStdString(text); }

QString Translate(const std::string& key)
{
    return key.empty() ? QString() : ui::CResourceManager::Instance().Text(Qs(key));
}

constexpr int kMacroItemHeight = 30;

int SelectedRow(QComboBox* combo) { return combo ? combo->currentIndex() : -1; }

void SelectRow(QComboBox* combo, int row)
{
    if (!combo)
        return;
    ui::CNotifyBridge::Silence silence;
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(row >= 0 && row < combo->count() ? row : -1);
}

std::string EditText(QLineEdit* edit) { return edit ? edit->text().toStdString() : std::string(); }

void SetEditText(QLineEdit* edit, const std::string& text)
{
    if (edit && edit->text() != Qs(text)) {
        ui::CNotifyBridge::Silence silence;
        edit->setText(Qs(text));
    }
}

} // namespace

CKeySetControlUI::CKeySetControlUI(QWidget* parent) : QWidget(parent), m_model(std::make_unique<KeySetEditorModel>())
{
    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    m_root = ui::CSkinLoader::LoadInto(this, kLayoutName);
    Bind();
}

CKeySetControlUI::~CKeySetControlUI() = default;

void CKeySetControlUI::RegisterClass()
{
    auto& factory = ui::CControlFactory::Instance();
    factory.RegistControl<CKeySetControlUI>(kClassName);
    factory.RegistControl<CKeySetControlUI>("CKeySetControlUI");
}

QWidget* CKeySetControlUI::Control(const char* name) const
{
    return CControlAccess::FindControl(const_cast<CKeySetControlUI*>(this), name);
}

void CKeySetControlUI::Bind()
{
    auto combo = [this](const char* name) {
        auto* c = qobject_cast<QComboBox*>(Control(name));
        FillItems(c);
        return c;
    };
    auto edit = [this](const char* name) {
        auto* e = qobject_cast<QLineEdit*>(Control(name));
        if (e && e != m_keyboardText)
            e->installEventFilter(this);
        return e;
    };
    m_layout = Control("keyset_layout");
    m_function = combo("keyset_function_combo");
    m_pages = qobject_cast<QStackedWidget*>(Control("function_switch_tablayout"));
    m_mouseKey = combo("keyset_mousekey_combo");
    m_swingDir = combo("keyset_mouseswing_combo");
    m_wheelDir = combo("keyset_mousewheel_combo");
    m_dpi = combo("keyset_mousedpi_combo");
    m_media = combo("keyset_media_combo");
    m_system = combo("keyset_system_combo");
    m_macro = combo("keyset_macro_combo");
    m_macroMode = combo("keyset_macro_over_combo");
    m_gun = combo("keyset_gunkey_combo");
    m_combo = combo("keyset_combokey_combo");
    m_keyboardText = qobject_cast<QLineEdit*>(Control("keyset_keyboard_text_edit"));
    if (m_keyboardText) {
        m_keyboardText->setReadOnly(true);
        m_keyboardText->installEventFilter(this);
    }
    m_swingNum = edit("keyset_mouseswing_num_edit");
    m_swingDelay = edit("keyset_mouseswing_delay_edit");
    m_swingSpeed = edit("keyset_mouseswing_speed_edit");
    m_wheelNum = edit("keyset_mousewheel_num_edit");
    m_wheelDelay = edit("keyset_mousewheel_delay_edit");
    m_wheelSpeed = edit("keyset_mousewheel_speed_edit");
    m_fireInterval = edit("keyset_mousefire_interval_edit");
    m_fireNum = edit("keyset_mousefire_num_edit");
    m_macroRepeat = edit("keyset_macro_cycle_edit");
    m_macroCycle = Control("keyset_macro_cycle_layout");
    m_defaultButton = Control("key_butt_keydefalut");
    m_saveButton = Control("key_butt_keysave");
    m_cancelButton = Control("key_butt_keycancel");
    m_proSaveButton = Control("key_butt_prosave");
    for (int i = 0; i < int(m_modifiers.size()); ++i) {
        auto* option = qobject_cast<QAbstractButton*>(Control(QString("%1%2").arg(kModifierOptionPrefix).arg(i).toLatin1()));
        if (option) {
            option->setCheckable(true);
            option->setAutoExclusive(false); // "no option" must be possible
        }
        m_modifiers[size_t(i)] = option;
    }
    UpdateOfferedKinds();
    Pull(); // the layout's initial selections become the editor's
    Push();
}

void CKeySetControlUI::FillItems(QComboBox* combo)
{
    if (!combo)
        return;
    const QStringList keys = combo->property("itemKeys").toString().split(';', Qt::SkipEmptyParts);
    if (combo->count() == 0) {
        ui::CNotifyBridge::Silence silence;
        for (const QString& key : keys)
            combo->addItem(ui::CResourceManager::Instance().Text(key.trimmed()));
    }
    const QStringList data = combo->property("itemData").toString().split(';', Qt::SkipEmptyParts);
    for (int i = 0; i < data.size() && i < combo->count(); ++i) {
        if (!combo->itemData(i).isValid())
            combo->setItemData(i, data[i].trimmed());
    }
    // A combo may start on an item ("initialRow"), else it starts without a selection.
    const QVariant initial = combo->property("initialRow");
    SelectRow(combo, initial.isValid() ? initial.toInt() : -1);
}

int CKeySetControlUI::KindOfRow(int row) const
{
    if (!m_function || row < 0 || row >= m_function->count())
        return -1;
    bool ok = false;
    const int kind = m_function->itemData(row).toString().toInt(&ok);
    return ok ? kind : -1;
}

int CKeySetControlUI::RowOfKind(int kind) const
{
    if (!m_function)
        return -1;
    for (int row = 0; row < m_function->count(); ++row) {
        if (KindOfRow(row) == kind)
            return row;
    }
    return -1;
}

void CKeySetControlUI::UpdateOfferedKinds()
{
    std::vector<int> kinds;
    if (m_function) {
        for (int row = 0; row < m_function->count(); ++row) {
            if (KindOfRow(row) >= 0)
                kinds.push_back(KindOfRow(row));
        }
    }
    m_model->SetOfferedKinds(kinds);
    // Kinds the model does not offer (a keyboard has no DPI or recoil switch) are hidden.
    if (auto* view = m_function ? qobject_cast<QListView*>(m_function->view()) : nullptr) {
        const auto& offered = m_model->OfferedKinds();
        for (int row = 0; row < m_function->count(); ++row) {
            const bool shown = std::find(offered.begin(), offered.end(), KindOfRow(row)) != offered.end();
            view->setRowHidden(row, !shown);
        }
    }
}

void CKeySetControlUI::Configure(int deviceType)
{
    m_model->Configure(deviceType);
    UpdateOfferedKinds();
    Push();
}

// ---- macro names ----

void CKeySetControlUI::FillMacroNames(const std::vector<std::string>& names)
{
    Pull();
    m_model->FillMacroNames(names);
    Push();
}

void CKeySetControlUI::AddMacroName(const std::string& name)
{
    Pull();
    m_model->AddMacroName(name);
    Push();
}

void CKeySetControlUI::RemoveMacroName(int position)
{
    Pull();
    m_model->RemoveMacroName(position);
    Push();
}

void CKeySetControlUI::RenameMacroName(int position, const std::string& name)
{
    Pull();
    m_model->RenameMacroName(position, name);
    Push();
}

// ---- entry ----

void CKeySetControlUI::Load(const KeyEntry& entry)
{
    Pull();
    m_model->Load(entry);
    Push();
}

void CKeySetControlUI::ShowDefault()
{
    Pull();
    m_model->ShowDefault();
    Push();
}

void CKeySetControlUI::ShowCurrent()
{
    Pull();
    m_model->ShowCurrent();
    Push();
}

KeyEntry CKeySetControlUI::Read()
{
    Pull();
    return m_model->Read();
}

void CKeySetControlUI::SetCapturedKey(const KeyAssignment& assignment) { m_model->SetCapturedKey(assignment); }

void CKeySetControlUI::SelectModifierOption(int option)
{
    Pull();
    m_model->SelectModifierOption(option);
    Push();
}

int CKeySetControlUI::SelectedModifierOption()
{
    Pull();
    return m_model->SelectedModifierOption();
}

void CKeySetControlUI::SetEditingButtonsEnabled(bool enabled)
{
    m_model->SetEditingButtonsEnabled(enabled);
    Push();
}

void CKeySetControlUI::SetKeyboardText(const std::string& languageKey)
{
    m_model->SetKeyboardText(languageKey);
    Push();
}

bool CKeySetControlUI::OnKeyCaptured(uint8_t scanCode, uint32_t flags)
{
    if (!m_target)
        return false;
    Pull();
    const bool taken = m_model->OnKeyCaptured(scanCode, flags, *m_target);
    Push();
    return taken;
}

// ---- widgets <-> model ----

void CKeySetControlUI::Pull()
{
    KeySetControls& c = m_model->Controls();
    if (m_function)
        c.functionKind = KindOfRow(m_function->currentIndex());
    if (m_pages)
        c.page = m_pages->currentIndex();
    c.mouseButton = SelectedRow(m_mouseKey);
    c.swingDirection = SelectedRow(m_swingDir);
    c.wheelDirection = SelectedRow(m_wheelDir);
    c.dpi = SelectedRow(m_dpi);
    c.media = SelectedRow(m_media);
    c.system = SelectedRow(m_system);
    c.macro = SelectedRow(m_macro);
    c.macroMode = SelectedRow(m_macroMode);
    c.recoilTable = SelectedRow(m_gun);
    c.combination = SelectedRow(m_combo);
    c.swingCount = EditText(m_swingNum);
    c.swingDelay = EditText(m_swingDelay);
    c.swingSpeed = EditText(m_swingSpeed);
    c.wheelCount = EditText(m_wheelNum);
    c.wheelDelay = EditText(m_wheelDelay);
    c.wheelSpeed = EditText(m_wheelSpeed);
    c.fireInterval = EditText(m_fireInterval);
    c.fireCount = EditText(m_fireNum);
    c.macroRepeat = EditText(m_macroRepeat);
    // The keyboard text and the modifier options are the model's: the edit is read-only and the
    // options are changed only through SelectModifierOption.
}

void CKeySetControlUI::Push()
{
    const KeySetControls& c = m_model->Controls();
    ui::CNotifyBridge::Silence silence;
    if (m_macro) {
        const auto& names = m_model->MacroNames();
        const QSignalBlocker block(m_macro.data());
        for (int i = 0; i < int(names.size()); ++i) {
            if (i < m_macro->count())
                m_macro->setItemText(i, Qs(names[size_t(i)]));
            else {
                m_macro->addItem(Qs(names[size_t(i)]));
                m_macro->setItemData(i, QSize(0, kMacroItemHeight), Qt::SizeHintRole);
            }
        }
        while (m_macro->count() > int(names.size()))
            m_macro->removeItem(m_macro->count() - 1);
    }
    CControlAccess::SetVisible(m_layout, c.layoutVisible);
    SelectRow(m_function, RowOfKind(c.functionKind));
    if (m_pages && c.page >= 0 && c.page < m_pages->count())
        m_pages->setCurrentIndex(c.page);
    SelectRow(m_mouseKey, c.mouseButton);
    SelectRow(m_swingDir, c.swingDirection);
    SelectRow(m_wheelDir, c.wheelDirection);
    SelectRow(m_dpi, c.dpi);
    SelectRow(m_media, c.media);
    SelectRow(m_system, c.system);
    SelectRow(m_macro, c.macro);
    SelectRow(m_macroMode, c.macroMode);
    SelectRow(m_gun, c.recoilTable);
    SelectRow(m_combo, c.combination);
    SetEditText(m_swingNum, c.swingCount);
    SetEditText(m_swingDelay, c.swingDelay);
    SetEditText(m_swingSpeed, c.swingSpeed);
    SetEditText(m_wheelNum, c.wheelCount);
    SetEditText(m_wheelDelay, c.wheelDelay);
    SetEditText(m_wheelSpeed, c.wheelSpeed);
    SetEditText(m_fireInterval, c.fireInterval);
    SetEditText(m_fireNum, c.fireCount);
    SetEditText(m_macroRepeat, c.macroRepeat);
    if (m_keyboardText)
        m_keyboardText->setText(Translate(c.keyboardText));
    CControlAccess::SetVisible(m_macroCycle, c.macroCycleVisible);
    for (int i = 0; i < int(m_modifiers.size()); ++i)
        CControlAccess::SetSelected(m_modifiers[size_t(i)], c.modifierOption == i, false);
    CControlAccess::SetEnabled(m_saveButton, c.editingButtonsEnabled && !c.saving);
    CControlAccess::SetEnabled(m_cancelButton, c.editingButtonsEnabled && !c.saving);
    CControlAccess::SetEnabled(m_proSaveButton, c.editingButtonsEnabled && !c.saving);
    // While a save runs nothing in the editor can be changed, and its button says it is saving.
    CControlAccess::SetEnabled(m_layout, !c.saving);
    if (m_proSaveButton && m_proSaveButton->property("textKey").toString() != (c.saving ? kSavingKey : kSaveKey))
        CControlAccess::SetTextKey(m_proSaveButton, c.saving ? kSavingKey : kSaveKey);
}

void CKeySetControlUI::Apply()
{
    if (!m_target)
        return;
    Pull();
    m_model->Apply(*m_target);
    Push();
}

void CKeySetControlUI::SaveProfile()
{
    if (!m_target)
        return;
    Pull();
    m_model->BeginSave();
    Push();
    // The device writes macros and keys on its own worker and hands the outcome back through the
    // event loop (a device without a worker: before SubmitKeySave returns).
    QPointer<CKeySetControlUI> self(this);
    IKeyAssignmentTarget* target = m_target;
    m_target->SubmitKeySave(0, [self, target](const KeySaveResult& result) {
        if (self && self->m_target == target)
            self->SaveFinished(result);
    });
}

void CKeySetControlUI::SaveFinished(const KeySaveResult& result)
{
    const KeySaveOutcome outcome = m_model->FinishSave(result, *m_target);
    Push();
    if (outcome.messageKey.empty())
        return;
    QWidget* owner = window();
    if (outcome.messageKey == "message_text_16") {
        const QString pattern = ui::CResourceManager::Instance().Text(Qs(outcome.messageKey));
        QString text = pattern.contains("%d") ? QString(pattern).replace("%d", QString::number(outcome.number))
                                              : pattern.arg(outcome.number);
        app::CMsgWnd::ShowMessage(owner, QString(), text, 96, false, 0);
    } else {
        app::CMsgWnd::ShowMessage(owner, QString(), Qs(outcome.messageKey), 96, true, 0);
    }
}

bool CKeySetControlUI::Saving() const { return m_model->Saving(); }

// ---- notifications ----

bool CKeySetControlUI::HandleNotify(const ui::TNotify& msg)
{
    QWidget* sender = msg.sender;
    if (!sender || !isAncestorOf(sender))
        return false;
    // Key capture follows the keyboard edit's focus, also while a save runs.
    if (sender == m_keyboardText && (msg.type == "killfocus" || msg.type == "setfocus")) {
        if (keyCaptureHook)
            keyCaptureHook(msg.type == "setfocus");
        return true;
    }
    if (m_model->Saving())
        return true; // the editor is disabled until the device's outcome is in
    const QString name = msg.SenderName();
    if (msg.type == "itemselect") {
        if (sender == m_function) {
            if (!m_target)
                return true;
            Pull();
            m_model->OnFunctionSelected(KindOfRow(int(msg.wParam)), *m_target);
            Push();
        } else if (sender == m_macroMode) {
            if (!m_target)
                return true;
            Pull();
            m_model->OnMacroModeSelected(int(msg.wParam), *m_target);
            Push();
        } else if (qobject_cast<QComboBox*>(sender)) {
            Apply();
        }
        return true;
    }
    if (msg.type == "killfocus") {
        if (qobject_cast<QLineEdit*>(sender))
            Apply();
        return true;
    }
    if (msg.type == "setfocus")
        return true;
    if (msg.type == "selectchanged" && name.startsWith(kModifierOptionPrefix)) {
        // Clearing an option by hand is not a choice; the chosen option stays selected.
        const int option = name.mid(int(strlen(kModifierOptionPrefix))).toInt();
        if (m_target && msg.wParam != 0) {
            Pull();
            m_model->OnModifierOptionSelected(option, *m_target);
        }
        Push();
        return true;
    }
    if (msg.type == "click") {
        if (sender == m_saveButton) {
            Apply();
        } else if (sender == m_defaultButton && m_target) {
            Pull();
            m_model->OnDefaultClicked(*m_target);
            Push();
        } else if (sender == m_cancelButton && m_target) {
            Pull();
            m_model->OnCancelClicked(*m_target);
            Push();
        } else if (sender == m_proSaveButton) {
            SaveProfile();
        }
        return true;
    }
    return true;
}

bool CKeySetControlUI::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_keyboardText && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        uint8_t scan = 0;
        bool extended = false;
        // Keys are read as macro recording reads them.
        if (LinuxInputCodes::ToSet1(CMacroInputCapture::InputCodeOf(*key), scan, extended))
            OnKeyCaptured(scan, extended ? 1 : 0);
        return key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab;
    }
    // Numeric edits accept digits only.
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (!text.isEmpty() && text[0].isPrint() && !text[0].isDigit())
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace nq::pages
