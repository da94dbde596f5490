#include "devices/qt/CKeyboardPageUI.h"

#include "devices/qt/CKeyboardPageDevice.h"
#include "devices/qt/CKeyboardPicture.h"
#include "editors/KeyLabelText.h"
#include "editors/qt/CKeySetControlUI.h"
#include "editors/qt/CLightControlUI.h"
#include "editors/qt/CSelectPanelUI.h"
#include "macros/qt/CMacroControlUI.h"
#include "profiles/JsonFile.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/CNotifyBridge.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinPaths.h"

#include <QAbstractButton>
#include <QLayout>
#include <QStackedWidget>
#include <QStyle>

namespace nq::pages {

using ui::CControlAccess;

namespace {

constexpr const char* kPicturePrefix = "keyboard_device_key_light_";
constexpr const char* kViewOptionPrefix = "keyboard_device_seting_option_";
constexpr const char* kPollingPrefix = "polling_rate_option_";
constexpr const char* kScanPrefix = "delay_rate_option_";
constexpr const char* kRepeatDelayPrefix = "repeat_delay_check_";
constexpr int kRepeatDelayStepMs = 250;
constexpr int kLightTab = 1, kKeyTab = 2;

// The function tab options and the page state each stands for.
constexpr std::pair<const char*, int> kFunctionTabs[] = {
    {"deng_Op_tab", 1}, {"key_Op_tab", 2}, {"macro_Op_tab", 3}, {"system_Op_tab", 4}};

// "prefix" + number (prefix compared without case); -1 when name is not of that form.
int NumberAfter(const QString& name, const QString& prefix)
{
    if (name.size() <= prefix.size() || !name.startsWith(prefix, Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    const int n = name.mid(prefix.size()).toInt(&ok);
    return ok && n >= 0 && name.mid(prefix.size())[0].isDigit() ? n : -1;
}

void Restyle(QWidget* widget, const char* property, bool value)
{
    if (!widget || (widget->property(property).isValid() && widget->property(property).toBool() == value))
        return;
    widget->setProperty(property, value);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
}

} // namespace

CKeyboardPageUI::CKeyboardPageUI(QWidget* parent) : CDevicePageUI(std::make_unique<CKeyboardPageDevice>(), parent)
{
    MergePageTexts();
    m_keyboard = static_cast<CKeyboardPageDevice*>(&Device());
    m_keyboard->SetPageUI(this);
}

CKeyboardPageUI::~CKeyboardPageUI()
{
    m_keyboard->SetPreviewShown(false);
    m_keyboard->SetPageUI(nullptr);
}

void CKeyboardPageUI::showEvent(QShowEvent* event)
{
    CDevicePageUI::showEvent(event);
    m_keyboard->SetPreviewShown(true);
}

void CKeyboardPageUI::hideEvent(QHideEvent* event)
{
    CDevicePageUI::hideEvent(event);
    m_keyboard->SetPreviewShown(false);
}

void CKeyboardPageUI::RegisterClasses()
{
    ui::CControlFactory::Instance().RegistControl<CKeyboardPageUI>(kClassName);
    CKeySetControlUI::RegisterClass();
    CLightControlUI::RegisterClass();
    MergePageTexts();
}

void CKeyboardPageUI::MergePageTexts()
{
    ui::CResourceManager::Instance().MergeLanguagePart("keyboard");
}

CKeyCapButtonUI* CKeyboardPageUI::KeyCap(int position) const
{
    auto* adapter = dynamic_cast<CQtPageControl*>(m_keyboard->KeyButton(position));
    return adapter ? qobject_cast<CKeyCapButtonUI*>(adapter->Widget()) : nullptr;
}

// ---- building the page ----

void CKeyboardPageUI::BuildPage()
{
    if (m_keyboard->PageXmlName().empty()) {
        m_keyboard->CKelvaskKeyboardDevice::InitPage();
        return;
    }
    m_layout = KeyboardPictureLayout::Load(ui::CSkinPaths::SkinFolder().toStdString() + "/" + KeyboardPictureLayout::kFile);
    for (int view = 0; view < kViews; ++view) {
        m_pictures[size_t(view)] = Find(QString("%1%2").arg(kPicturePrefix).arg(view));
        if (BuildKeyboardPicture(m_pictures[size_t(view)], view, m_layout) > 0)
            ui::CNotifyBridge::Bind(m_pictures[size_t(view)]);
    }
    // The pictures keep their height; the editors below take what the page has left.
    if (auto* stack = qobject_cast<QStackedWidget*>(Find("keyboard_device_seting_layout"))) {
        QSize size;
        for (int i = 0; i < stack->count(); ++i)
            size = size.expandedTo(stack->widget(i)->minimumSize());
        if (!size.isEmpty()) {
            stack->setFixedSize(size);
            if (QLayout* box = stack->parentWidget() ? stack->parentWidget()->layout() : nullptr)
                box->setAlignment(stack, Qt::AlignHCenter);
        }
    }
    m_keyboard->BindKeyboardPicture(0);

    m_keyboard->LoadNameLists();
    m_lightEditor = qobject_cast<CLightControlUI*>(Find("LightControlItem"));
    if (m_lightEditor) {
        constexpr int kHighestLevel = 4;
        m_lightEditor->AddKeyboardPanels();
        m_lightEditor->SetTarget(m_keyboard);
        m_lightEditor->SetDeviceType(m_keyboard->DeviceType());
        const MouseNameLists& lists = m_keyboard->NameLists();
        m_lightEditor->FillEffects(CLightControlUI::Panel::Main, lists.defaultLightNames, lists.defaultLightVisible,
                                   kHighestLevel, kHighestLevel);
        m_lightEditor->FillEffects(CLightControlUI::Panel::Logo, lists.tab1LightNames, lists.tab1LightVisible,
                                   kHighestLevel, kHighestLevel);
        m_lightEditor->FillEffects(CLightControlUI::Panel::St, lists.tab2LightNames, lists.tab2LightVisible,
                                   kHighestLevel, kHighestLevel);
        auto fill = [this](const char* combo, const char* keyPrefix, int count) {
            QWidget* list = Find(combo);
            if (!list || CControlAccess::ItemCount(list) > 0)
                return;
            ui::CNotifyBridge::Silence silence;
            for (int i = 0; i < count; ++i)
                CControlAccess::AddItem(list, Tr(QString("%1%2").arg(keyPrefix).arg(i)));
        };
        fill("light_combo_custommodeSelect", "light_custom_group_", kCustomGroups);
        fill("light_combo_ZZCCmodeSelect", "light_led_mode_", kLedModes);
    }
    m_keyEditor = qobject_cast<CKeySetControlUI*>(Find("KeySetControlItem"));
    if (m_keyEditor) {
        m_keyEditor->SetTarget(m_keyboard);
        m_keyEditor->Configure(m_keyboard->DeviceType());
        CControlAccess::SetVisible(m_keyEditor->Control("keyset_layout"), false);
        CControlAccess::SetTextKey(m_keyEditor->Control("key_butt_prosave"), "keyboard_keyset_save");
        m_keyEditor->FillMacroNames(m_keyboard->NameLists().macroNames);
    }
    m_macroEditor = qobject_cast<CMacroControlUI*>(Find("MacroControlItem"));
    if (m_macroEditor)
        m_macroEditor->Attach(m_keyboard, m_keyEditor);
    // The macro editor and the profile list show once they have controls; an empty control (a
    // build without them) is not offered.
    const QWidget* macros = Find("MacroControlItem");
    CControlAccess::SetVisible(Find("macro_Op_tab"), macros && !macros->findChildren<QWidget*>().isEmpty());
    if (QWidget* profiles = Find("DeviceProfileItem"))
        profiles->setVisible(!profiles->findChildren<QWidget*>().isEmpty());
    CControlAccess::SetSelected(Find("deng_Op_tab"), true, false);
    SelectKeyboardView(0);
    ShowIndicators();
}

void CKeyboardPageUI::SelectKeyboardView(int view)
{
    auto* pictures = qobject_cast<QStackedWidget*>(Find("keyboard_device_seting_layout"));
    const int v = pictures && view >= 0 && view < pictures->count() ? view : 0;
    CControlAccess::SelectPage(pictures, v);
    m_keyboard->BindKeyboardPicture(v);
    auto* editors = qobject_cast<QStackedWidget*>(Find("Light_seting_layout"));
    CControlAccess::SelectPage(editors, editors && v < editors->count() ? v : 0);
    CControlAccess::SetVisible(Find("key_Op_tab"), v != 1 && v != 2);
    if (QWidget* options = Find("keyborad_option_layout")) {
        const QString wanted = QString("%1%2").arg(kViewOptionPrefix).arg(v);
        for (auto* option : options->findChildren<QAbstractButton*>()) {
            if (!option->objectName().startsWith(kViewOptionPrefix, Qt::CaseInsensitive))
                continue;
            const bool exclusive = option->autoExclusive();
            option->setAutoExclusive(false);
            CControlAccess::SetSelected(option, option->objectName().compare(wanted, Qt::CaseInsensitive) == 0, false);
            option->setAutoExclusive(exclusive);
        }
    }
    // The previews of the view just bound show at once.
    m_keyboard->OutputLightFrame();
    m_keyboard->OnRefreshTickB();
    m_keyboard->OnRefreshTickC();
}

void CKeyboardPageUI::ShowViewOptions(bool flag)
{
    CControlAccess::SetVisible(Row(kViewOptionPrefix, 1), flag);
    CControlAccess::SetVisible(Row(kViewOptionPrefix, 2), flag);
}

// ---- showing the profile ----

void CKeyboardPageUI::ShowLightRecordsPage()
{
    if (!m_lightEditor)
        return;
    m_lightEditor->Show(CLightControlUI::Panel::Main, m_keyboard->GetLightSetting());
    m_lightEditor->Show(CLightControlUI::Panel::Logo, m_keyboard->GetLogoLightSetting());
    m_lightEditor->Show(CLightControlUI::Panel::St, m_keyboard->GetStLightSetting());
    m_lightEditor->SetCustomGroup(m_keyboard->GetLightSetting()[LightSetting::kCustomGroup]);
    m_lightEditor->SetLedMode(m_keyboard->GetLightSetting()[LightSetting::kLedMode]);
}

void CKeyboardPageUI::ShowMainLightingPage(const LightSetting& record)
{
    if (m_lightEditor)
        m_lightEditor->Show(CLightControlUI::Panel::Main, record);
}

void CKeyboardPageUI::ShowCustomGroupPage(int group)
{
    if (m_lightEditor)
        m_lightEditor->SetCustomGroup(group);
}

void CKeyboardPageUI::EnableFnKeyPage(bool on)
{
    if (CKeyCapButtonUI* fn = KeyCap(KeyboardKeyPositions::kFnPosition)) {
        fn->setEnabled(on);
        fn->setToolTip(on ? QString() : Tr("keyboard_fn_fixed"));
    }
}

void CKeyboardPageUI::RefreshKeyLabelsPage()
{
    const std::vector<KeyEntry> keys = m_keyboard->GetKeyTable();
    const auto& macros = m_keyboard->NameLists().macroNames;
    const KeyLabelText::Translate translate = [this](const std::string& key) {
        return Tr(QString::fromStdString(key)).toStdString();
    };
    for (int i = 0; i < int(keys.size()) && i < KeyboardKeyPositions::kPositions; ++i) {
        auto* adapter = dynamic_cast<CQtPageControl*>(m_keyboard->KeyButton(i));
        auto* button = adapter ? qobject_cast<QAbstractButton*>(adapter->Widget()) : nullptr;
        if (!button)
            continue;
        const std::optional<std::string> text = KeyLabelText::ForKeyboard(keys[size_t(i)].current, macros, translate);
        if (!text)
            continue;
        if (auto* cap = qobject_cast<CKeyCapButtonUI*>(button))
            cap->SetLabel(QString::fromStdString(*text), !(keys[size_t(i)].current == keys[size_t(i)].defaults));
        else
            button->setText(QString::fromStdString(*text));
        if (i != KeyboardKeyPositions::kFnPosition || button->isEnabled())
            button->setToolTip(QString::fromStdString(*text));
    }
}

void CKeyboardPageUI::ShowSelectedKey(int index)
{
    for (int i = 0; i < m_keyboard->KeyButtonCount(); ++i) {
        auto* adapter = dynamic_cast<CQtPageControl*>(m_keyboard->KeyButton(i));
        Restyle(adapter ? adapter->Widget() : nullptr, "selectedKey", i == index);
    }
    if (!m_keyEditor)
        return;
    CControlAccess::SetVisible(m_keyEditor->Control("keyset_layout"), true);
    CControlAccess::SetVisible(Find("key_select_hint"), false);
    const std::vector<KeyEntry> keys = m_keyboard->GetKeyTable();
    if (index >= 0 && index < int(keys.size()))
        m_keyEditor->Load(keys[size_t(index)]);
}

// ---- system settings ----

void CKeyboardPageUI::SelectOptionGroup(const char* prefix, int value)
{
    if (value < 0 || value >= kOptionCount)
        value = 0;
    for (int k = 0; k < kOptionCount; ++k) {
        QWidget* option = Row(prefix, k);
        auto* button = qobject_cast<QAbstractButton*>(option);
        const bool exclusive = button && button->autoExclusive();
        if (button)
            button->setAutoExclusive(false);
        CControlAccess::SetSelected(option, k == value, false);
        if (button)
            button->setAutoExclusive(exclusive);
    }
}

int CKeyboardPageUI::SelectedOption(const char* prefix) const
{
    for (int k = 0; k < kOptionCount; ++k) {
        if (CControlAccess::IsSelected(Row(prefix, k)))
            return k;
    }
    return -1;
}

void CKeyboardPageUI::ShowRepeatDelay(int option)
{
    SelectOptionGroup(kRepeatDelayPrefix, option);
    const int shown = option < 0 || option >= kOptionCount ? 0 : option;
    CControlAccess::SetText(Find("repeat_delay_time_label1"),
                            Tr("Repeat_Delay_Time") + QString::number(shown * kRepeatDelayStepMs + kRepeatDelayStepMs) + "ms");
}

void CKeyboardPageUI::ShowSystemSettingsPage()
{
    const KeyboardSystemWords words = m_keyboard->GetKeyboardSystemWords();
    CControlAccess::SetSelected(Find("winlockflag_option"), words.WinFlag() != 0, false);
    CControlAccess::SetSelected(Find("wflag_option"), words.WFlag() != 0, false);
    CControlAccess::SetSelected(Find("6flag_option"), words.Key6Flag() != 0, false);
    {
        ui::CNotifyBridge::Silence silence;
        CControlAccess::SetValue(Find("repeat_rate_slider"), words.Repeat());
    }
    ShowRepeatDelay(words.RepeatDelay());
    QWidget* tryIt = Find("repeat_input_richedit");
    CControlAccess::SetText(tryIt, "");
    CControlAccess::SetTipText(tryIt, Tr("Repeat_input_text"));
    SelectOptionGroup(kPollingPrefix, words.PollingRate());
    SelectOptionGroup(kScanPrefix, words.ScanDelay());
    ShowIndicators();
}

void CKeyboardPageUI::ShowIndicators()
{
    const KeyboardSystemWords words = m_keyboard->GetKeyboardSystemWords();
    Restyle(Find("win_lock_indicator"), "lit", words.WinFlag() != 0);
    Restyle(Find("wflag_indicator"), "lit", words.WFlag() != 0);
    Restyle(Find("key6_indicator"), "lit", words.Key6Flag() != 0);
}

void CKeyboardPageUI::ChangeWords(const std::function<void(KeyboardSystemWords&)>& change, bool write)
{
    KeyboardSystemWords words = m_keyboard->GetKeyboardSystemWords();
    change(words);
    m_keyboard->SetKeyboardSystemWords(words);
    m_keyboard->SaveProfile();
    ShowIndicators();
    if (write)
        m_keyboard->WriteSettingsToDevice(0, 0, 0, 0, 0);
}

// ---- keys ----

bool CKeyboardPageUI::OnKeyClick(int position)
{
    const int state = m_keyboard->GetPageState();
    if (state == kKeyTab) {
        if (position == KeyboardKeyPositions::kFnPosition)
            return false;
        // The profile file must be readable before a key is handed to the editor.
        if (ReadJsonFile(m_keyboard->CurrentProfilePath()).isNull())
            return false;
        m_keyboard->SetSelectedKey(position);
        return true;
    }
    if (state == kLightTab && m_keyboard->CurrentView() == 0 &&
        m_keyboard->GetLightSetting()[LightSetting::kEffect] == CKelvaskKeyboardDevice::kCustomEffect) {
        m_keyboard->PaintKeysOnPage({position});
        m_keyboard->OutputLightFrame();
        return true;
    }
    return false;
}

void CKeyboardPageUI::PaintSelectedKeys()
{
    std::vector<int> positions;
    for (int i = 0; i < m_keyboard->KeyButtonCount(); ++i) {
        auto* adapter = dynamic_cast<CQtPageControl*>(m_keyboard->KeyButton(i));
        auto* button = adapter ? qobject_cast<CDeviceKeyButtonUI*>(adapter->Widget()) : nullptr;
        if (button && button->IsKeySelected()) {
            positions.push_back(i);
            button->SetKeySelected(false);
        }
    }
    if (positions.empty() || m_keyboard->GetPageState() != kLightTab ||
        m_keyboard->GetLightSetting()[LightSetting::kEffect] != CKelvaskKeyboardDevice::kCustomEffect)
        return;
    m_keyboard->PaintKeysOnPage(positions);
    m_keyboard->OutputLightFrame();
}

// ---- notifications ----

void CKeyboardPageUI::Notify(const ui::TNotify& msg) { HandleNotify(msg); }

bool CKeyboardPageUI::HandleNotify(const ui::TNotify& msg)
{
    QWidget* sender = msg.sender;
    if (!sender || (sender != this && !isAncestorOf(sender)))
        return false;
    if (m_keyEditor && m_keyEditor->HandleNotify(msg))
        return true;
    if (m_macroEditor && m_macroEditor->OwnsSender(sender))
        return true; // the macro editor acts on its controls' own signals
    if (m_lightEditor && m_lightEditor->HandleNotify(msg)) {
        // The pictures follow the lighting at once.
        m_keyboard->OutputLightFrame();
        m_keyboard->OnRefreshTickB();
        m_keyboard->OnRefreshTickC();
        return true;
    }
    const QString name = msg.SenderName();
    const QString& type = msg.type;
    const int value = int(msg.wParam);
    const bool selected = type == "selectchanged" && value != 0;

    if (type == "selectchanged" && (name == "6flag_option" || name == "wflag_option" || name == "winlockflag_option")) {
        const uint16_t on = value != 0 ? 1 : 0;
        ChangeWords([&](KeyboardSystemWords& w) {
            if (name == "6flag_option")
                w.words[1] = KeyboardSystemWords::Pack(on, w.PollingRate());
            else if (name == "wflag_option")
                w.words[2] = KeyboardSystemWords::Pack(on, w.WinFlag());
            else
                w.words[2] = KeyboardSystemWords::Pack(w.WFlag(), on);
        }, true);
        return true;
    }
    if (int n = NumberAfter(name, kPollingPrefix); n >= 0) {
        if (selected) {
            SelectOptionGroup(kPollingPrefix, n);
            ChangeWords([n](KeyboardSystemWords& w) { w.words[1] = KeyboardSystemWords::Pack(w.Key6Flag(), uint16_t(n)); }, true);
        }
        return true;
    }
    if (int n = NumberAfter(name, kScanPrefix); n >= 0) {
        if (selected) {
            SelectOptionGroup(kScanPrefix, n);
            ChangeWords([n](KeyboardSystemWords& w) { w.words[3] = KeyboardSystemWords::Pack(uint16_t(n), 0); }, true);
        }
        return true;
    }
    if (int n = NumberAfter(name, kRepeatDelayPrefix); n >= 0) {
        if (selected) {
            ShowRepeatDelay(n);
            ChangeWords([n](KeyboardSystemWords& w) { w.words[0] = KeyboardSystemWords::Pack(w.Repeat(), uint16_t(n)); }, false);
        }
        return true;
    }
    if (name == "repeat_rate_slider") {
        if (type == "valuechanged")
            ChangeWords([value](KeyboardSystemWords& w) {
                w.words[0] = KeyboardSystemWords::Pack(uint16_t(value), w.RepeatDelay());
            }, false);
        return true;
    }
    if (int n = NumberAfter(name, kViewOptionPrefix); n >= 0) {
        if (selected)
            SelectKeyboardView(n);
        return true;
    }
    if (selected) {
        for (const auto& [tab, code] : kFunctionTabs) {
            if (name == tab) {
                m_keyboard->SetPageState(code);
                ShowViewOptions(code != kKeyTab);
                if (code == kKeyTab && m_keyboard->CurrentView() != 0)
                    SelectKeyboardView(0);
                return true;
            }
        }
    }
    if ((name == "custom_bright_color_btn" || name == "custom_off_color_btn") && type == "click") {
        if (m_keyboard->GetLightSetting()[LightSetting::kEffect] == CKelvaskKeyboardDevice::kCustomEffect) {
            m_keyboard->FillCustomColours(name == "custom_bright_color_btn");
            m_keyboard->OutputLightFrame();
        }
        return true;
    }
    if (type == "click_select_end" && sender == m_pictures[0]) {
        PaintSelectedKeys();
        return true;
    }
    if (int p = NumberAfter(name, "key_"); p >= 0 && type == "click") {
        OnKeyClick(p);
        return true;
    }
    return false;
}

} // namespace nq::pages
