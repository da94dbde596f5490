#include "devices/qt/CMousePageUI.h"

#include "app/CMsgWnd.h"
#include "common/DebugLog.h"
#include "devices/LightingColourBuffer.h"
#include "devices/qt/CMousePageDevice.h"
#include "editors/KeyClickGuard.h"
#include "editors/KeyLabelText.h"
#include "editors/qt/CDeviceKeyButtonUI.h"
#include "editors/qt/CKeySetControlUI.h"
#include "editors/qt/CSelectPanelUI.h"
#include "macros/qt/CMacroControlUI.h"
#include "profiles/JsonFile.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/CNotifyBridge.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinPaths.h"

#include <QAbstractButton>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>

#include <algorithm>

namespace nq::pages {

using ui::CControlAccess;

namespace {

constexpr quint32 kSummaryKeyColour = 0xFFFFFFFF;
constexpr quint32 kSummaryValueColour = 0xFF0099FF;
constexpr int kSummaryRowHeight = 25;
constexpr uint32_t kWhite = 0xFFFFFF;

QString Qs(const std::string& text) { return QString::fromStdString(text); }

// "prefix" + number (prefix compared without case); -1 when name is not of that form.
int NumberAfter(const QString& name, const QString& prefix)
{
    if (name.size() <= prefix.size() || !name.startsWith(prefix, Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    const int n = name.mid(prefix.size()).toInt(&ok);
    return ok && n >= 0 && name.mid(prefix.size())[0].isDigit() ? n : -1;
}

// The function tab options of the page and the page state each stands for.
constexpr std::pair<const char*, int> kFunctionTabs[] = {
    {"deng_Op_tab", 1}, {"key_Op_tab", 2}, {"macro_Op_tab", 3}, {"system_Op_tab", 4}, {"cursor_Op_tab", 5}};

IPageControl* AdapterFor(CDevicePageUI* page, QWidget* widget) { return page->AdapterOf(widget); }

void SetValueSilently(QSlider* slider, int value)
{
    if (!slider)
        return;
    ui::CNotifyBridge::Silence silence;
    slider->setValue(value);
}

} // namespace

CMousePageUI::CMousePageUI(QWidget* parent) : CDevicePageUI(std::make_unique<CMousePageDevice>(), parent)
{
    // The page's controls are created and their texts shown right after this: the language
    // loaded by now must hold the page's texts.
    MergePageTexts();
    m_mouse = static_cast<CMousePageDevice*>(&Device());
    m_mouse->SetPageUI(this);
}

CMousePageUI::~CMousePageUI()
{
    // The device may still run a frame while the base tears down; it must not reach this page.
    m_mouse->SetPageUI(nullptr);
}

CMousePageDevice& CMousePageUI::Mouse() { return *m_mouse; }

void CMousePageUI::RegisterClasses()
{
    auto& factory = ui::CControlFactory::Instance();
    factory.RegistControl<CMousePageUI>(kClassName);
    CKeySetControlUI::RegisterClass();
    CLightControlUI::RegisterClass();
    CMacroControlUI::RegisterClass();
    MergePageTexts();
}

void CMousePageUI::MergePageTexts()
{
    ui::CResourceManager::Instance().MergeLanguagePart("mouse");
}

CDeviceKeyButtonUI* CMousePageUI::LedButton(int index) const
{
    return index >= 0 && index < int(m_ledButtons.size()) ? m_ledButtons[size_t(index)].data() : nullptr;
}

// ---- building the page ----

void CMousePageUI::BuildPage()
{
    m_previewPanel = nullptr;
    m_ledPreviewPanel = nullptr;
    m_logoButton = nullptr;
    m_ledButtons.assign(size_t(std::max(0, m_mouse->LedCount())), nullptr);
    m_keySummary = qobject_cast<QListWidget*>(Find("device_setkeyinfo_list"));

    if (auto* pictures = Find("mouse_device_seting_layout")) {
        for (QWidget* child : CQtPageControl::ChildWidgets(pictures)) {
            auto* panel = qobject_cast<CSelectPanelUI*>(child);
            if (!panel)
                continue;
            if (!m_previewPanel)
                m_previewPanel = panel;
            for (QWidget* w : CQtPageControl::ChildWidgets(panel)) {
                auto* button = qobject_cast<CDeviceKeyButtonUI*>(w);
                if (!button)
                    continue;
                const QString name = button->objectName();
                const QString data = CControlAccess::UserData(button).toString();
                if (int n = NumberAfter(name, "key_"); n >= 0) {
                    // Buttons beyond the device's key count have nothing behind them.
                    m_mouse->BindKeyButton(n, AdapterFor(this, button));
                    button->setVisible(n < m_mouse->KeyButtonCount());
                }
                int led = NumberAfter(name, "light_");
                if (led < 0 && data.startsWith("light_"))
                    led = NumberAfter(data, "light_");
                if (led >= 0 && led < m_mouse->LedCount()) {
                    m_mouse->BindLightButton(led, AdapterFor(this, button));
                    button->SetLightColour(kWhite, 255, true);
                }
                if (int n = NumberAfter(name, "light_0_"); n >= 0 && n < int(m_ledButtons.size())) {
                    m_ledButtons[size_t(n)] = button;
                    button->SetLightColour(kWhite, 255, true);
                    if (!m_ledPreviewPanel)
                        m_ledPreviewPanel = panel;
                }
                if (button->text().compare("logo", Qt::CaseInsensitive) == 0)
                    m_logoButton = button;
            }
        }
    }

    if (QScreen* primary = QGuiApplication::primaryScreen())
        m_mouse->SetScreenSize(primary->geometry().width(), primary->geometry().height());
    m_mouse->LoadNameLists();
    m_lightEditor = qobject_cast<CLightControlUI*>(Find("LightControlItem"));
    if (m_lightEditor) {
        // Brightness levels and speed levels both run 0-4 on the mouse.
        constexpr int kHighestLevel = 4;
        m_lightEditor->SetTarget(m_mouse);
        m_lightEditor->SetDeviceType(m_mouse->DeviceType());
        const auto& lists = m_mouse->NameLists();
        m_lightEditor->FillEffects(CLightControlUI::Panel::Main, lists.defaultLightNames, lists.defaultLightVisible,
                                   kHighestLevel, kHighestLevel);
    }
    m_keyEditor = qobject_cast<CKeySetControlUI*>(Find("KeySetControlItem"));
    if (m_keyEditor) {
        m_keyEditor->SetTarget(m_mouse);
        m_keyEditor->Configure(m_mouse->DeviceType());
        m_keyEditor->setVisible(false);
        // The macro editor reads the same list; the combo mirrors it position for position.
        m_keyEditor->FillMacroNames(m_mouse->NameLists().macroNames);
    }
    m_macroEditor = qobject_cast<CMacroControlUI*>(Find("MacroControlItem"));
    if (m_macroEditor)
        m_macroEditor->Attach(m_mouse, m_keyEditor);
    SelectOptionPage(0);
}

void CMousePageUI::SelectOptionPage(int n)
{
    for (const char* name : {"mouse_device_seting_layout", "Light_seting_layout"}) {
        QWidget* layout = Find(name);
        auto* stack = qobject_cast<QStackedWidget*>(layout);
        const int count = stack ? stack->count() : 0;
        CControlAccess::SelectPage(layout, n >= 0 && n < count ? n : 0);
        if (!stack || layout->maximumHeight() != QWIDGETSIZE_MAX)
            continue;
        // A stack without a fixed size takes the height of the page it shows, not of its
        // tallest page: the lighting controls below it stay where the page puts them.
        for (int k = 0; k < count; ++k) {
            QWidget* shown = stack->widget(k);
            const bool current = k == stack->currentIndex();
            shown->setSizePolicy(current ? QSizePolicy::Preferred : QSizePolicy::Ignored,
                                 current ? QSizePolicy::Preferred : QSizePolicy::Ignored);
        }
        stack->adjustSize();
        stack->updateGeometry();
    }
    if (QWidget* options = Find("mouse_option_layout")) {
        const QString wanted = QString("mouse_device_seting_option_%1").arg(n);
        for (auto* option : options->findChildren<QAbstractButton*>()) {
            if (!option->objectName().startsWith("mouse_device_seting_option_", Qt::CaseInsensitive))
                continue;
            // An exclusive option cannot be cleared while it is the selected one; a page number
            // without an option leaves all of them clear.
            const bool exclusive = option->autoExclusive();
            option->setAutoExclusive(false);
            CControlAccess::SetSelected(option, option->objectName().compare(wanted, Qt::CaseInsensitive) == 0, false);
            option->setAutoExclusive(exclusive);
        }
    }
}

// ---- showing a profile ----

void CMousePageUI::ShowProfilePage()
{
    ShowLighting(m_mouse->MainLightSetting());
    const int sliderMax = m_mouse->DpiSliderMaximum();
    for (int i = 0; i < kDpiRows; ++i) {
        if (sliderMax > 0)
            CControlAccess::SetRange(Row("DPI_slider_", i), 0, sliderMax);
    }
    const std::vector<DpiStage> stages = m_mouse->GetDpiStages();
    for (int i = 0; i < kDpiRows && i < int(stages.size()); ++i) {
        ShowDpiStage(i, stages[size_t(i)].active != 0);
        SetDpiSlider(i, stages[size_t(i)].dpiX);
    }
    ShowDpiAvailability();
    const MouseSystemWords words = m_mouse->GetSystemWords();
    SetPointerSpeed(words.MouseSpeed());
    SetPointerPrecision(words.PointerPrecision() != 0);
    SetDoubleClick(words.DoubleClickTime());
    SetScrollsPage(words.ScrollPage() != 0);
    SetScrollSpeed(words.WheelLines());
    SelectPollingOption(words.ReportRateStage());
}

void CMousePageUI::ShowLighting(const LightSetting& record)
{
    if (m_lightEditor)
        m_lightEditor->Show(CLightControlUI::Panel::Main, record);
}

// ---- DPI rows ----

void CMousePageUI::ShowDpiStage(int i, bool enabled)
{
    CControlAccess::SetVisible(Row("DPI_layout_", i), enabled);
    CControlAccess::SetSelected(Row("DPI_enable_check_", i), enabled, false);
    if (enabled) {
        for (int k = 0; k < kDpiRows; ++k)
            CControlAccess::SetEnabled(Row("DPI_enable_check_", k), true);
        return;
    }
    // The last checked stage cannot be switched off.
    QWidget* onlyChecked = nullptr;
    int checked = 0;
    for (int k = 0; k < kDpiRows; ++k) {
        if (QWidget* check = Row("DPI_enable_check_", k); check && CControlAccess::IsSelected(check)) {
            ++checked;
            onlyChecked = check;
        }
    }
    if (checked == 1)
        CControlAccess::SetEnabled(onlyChecked, false);
}

bool CMousePageUI::IsDpiStageChecked(int i) const { return CControlAccess::IsSelected(Row("DPI_enable_check_", i)); }

bool CMousePageUI::HasDpiStep() const { return m_mouse->Info().DpiStep() != 0; }

void CMousePageUI::ShowDpiAvailability()
{
    // A device that reports no DPI step (another kind of device, or no device information) has
    // no DPI to show or set: the rows say so instead of showing 0 DPI.
    const bool available = HasDpiStep();
    CControlAccess::SetTextKey(Find("mouse_dpi_card_title"), available ? "mouse_dpi_title" : "mouse_dpi_unavailable");
    for (int i = 0; i < kDpiRows; ++i) {
        CControlAccess::SetEnabled(Row("DPI_slider_", i), available);
        if (auto* edit = qobject_cast<QLineEdit*>(Row("DPI_edit_", i))) {
            edit->setEnabled(available);
            edit->setPlaceholderText(available ? QString() : QStringLiteral("\u2014"));
        }
    }
}

void CMousePageUI::SetDpiSlider(int i, int value)
{
    auto* slider = qobject_cast<QSlider*>(Row("DPI_slider_", i));
    SetValueSilently(slider, value);
    if (auto* edit = qobject_cast<QLineEdit*>(Row("DPI_edit_", i))) {
        ui::CNotifyBridge::Silence silence;
        edit->setText(HasDpiStep() ? QString::number(value * int(m_mouse->Info().DpiStep())) : QString());
    }
    ShowActiveStageSliders();
}

void CMousePageUI::ShowActiveStageSliders()
{
    // The active stage's slider is drawn in the accent colour (property "activeStage").
    const int active = m_mouse->GetActiveStage();
    for (int k = 0; k < kDpiRows; ++k) {
        QWidget* slider = Row("DPI_slider_", k);
        const QVariant shown = slider ? slider->property("activeStage") : QVariant();
        if (!slider || (shown.isValid() && shown.toBool() == (k == active)))
            continue;
        slider->setProperty("activeStage", k == active);
        slider->style()->unpolish(slider);
        slider->style()->polish(slider);
    }
}

void CMousePageUI::ShowDpiRange(int taken)
{
    QWidget* hint = Find("device_tishi_info");
    if (!hint)
        return;
    const QString text = Tr("mouse_dpi_range_text")
                             .arg(m_mouse->Info().MinDpi())
                             .arg(m_mouse->DpiEditMaximum())
                             .arg(taken);
    CControlAccess::SetText(hint, text);
    hint->setVisible(true);
}

int CMousePageUI::GetDpiSlider(int i) const { return CControlAccess::Value(Row("DPI_slider_", i)); }

int CMousePageUI::ReadDpiEdit(int i) const
{
    QWidget* edit = Row("DPI_edit_", i);
    if (!edit)
        return 0;
    const int lowest = m_mouse->Info().MinDpi();
    // Leading digits count; an empty edit reads 0.
    const QString text = CControlAccess::GetText(edit).trimmed();
    qint64 value = 0;
    for (QChar c : text) {
        if (!c.isDigit())
            break;
        value = std::min<qint64>(value * 10 + c.digitValue(), INT32_MAX);
    }
    return std::max(int(value), lowest);
}

// ---- report rate ----

void CMousePageUI::SelectPollingOption(int n)
{
    if (n < 0 || n >= kPollingOptions)
        n = 0;
    for (int k = 0; k < kPollingOptions; ++k)
        CControlAccess::SetSelected(Row("polling_rate_option_", k), k == n, false);
}

int CMousePageUI::SelectedPollingOption() const
{
    for (int k = 0; k < kPollingOptions; ++k) {
        if (CControlAccess::IsSelected(Row("polling_rate_option_", k)))
            return k;
    }
    return -1;
}

// ---- pointer controls ----

int CMousePageUI::PointerSpeed() const { return CControlAccess::Value(Find("pointer_speed_slider")); }
void CMousePageUI::SetPointerSpeed(int value) { CControlAccess::SetValue(Find("pointer_speed_slider"), value); }
bool CMousePageUI::PointerPrecision() const { return CControlAccess::IsSelected(Find("pointer_precision_check")); }
void CMousePageUI::SetPointerPrecision(bool on) { CControlAccess::SetSelected(Find("pointer_precision_check"), on, false); }
int CMousePageUI::ScrollSpeed() const { return CControlAccess::Value(Find("scroll_speed_slider")); }
void CMousePageUI::SetScrollSpeed(int value) { CControlAccess::SetValue(Find("scroll_speed_slider"), value); }
bool CMousePageUI::ScrollsPage() const { return CControlAccess::IsSelected(Find("scrolls_page_check")); }
void CMousePageUI::SetScrollsPage(bool on) { CControlAccess::SetSelected(Find("scrolls_page_check"), on, false); }
int CMousePageUI::DoubleClick() const { return CControlAccess::Value(Find("double_click_slider")); }
void CMousePageUI::SetDoubleClick(int value) { CControlAccess::SetValue(Find("double_click_slider"), value); }

void CMousePageUI::ApplyPointerSettings()
{
    // The desktop keeps its own pointer settings; the computed values are only kept.
    nq::DebugOutF("mouse pointer settings: speed %d precision %d wheel %d double-click %d", m_pointer.speed,
                  m_pointer.precision ? 1 : 0, m_pointer.wheelLines, m_pointer.doubleClickMs);
}

// ---- store and send ----

void CMousePageUI::ChangeStage(int i, const std::function<void(DpiStage&)>& change)
{
    // The stage list grows to take a stage it does not hold yet.
    std::vector<DpiStage> stages = m_mouse->GetDpiStages();
    if (int(stages.size()) <= i)
        stages.resize(size_t(i) + 1);
    change(stages[size_t(i)]);
    m_mouse->SetDpiStages(stages);
    m_mouse->SaveProfile();
    SendSettings();
}

void CMousePageUI::StoreWord(int half, int value)
{
    MouseSystemWords words = m_mouse->GetSystemWords();
    uint32_t& word = words.words[size_t(half / 2)];
    const uint16_t v = uint16_t(value);
    word = half % 2 == 0 ? MouseSystemWords::Pack(v, uint16_t(word >> 16)) : MouseSystemWords::Pack(uint16_t(word), v);
    m_mouse->SetSystemWords(words);
}

void CMousePageUI::SendSettings()
{
    QRect screen;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->geometry();
    // Sent by the mouse's transfer worker; a refusal or a lost write is shown on the page.
    m_mouse->SubmitSettingsWrite(0, 0, 1, screen.width(), screen.height());
}

// ---- key labels ----

void CMousePageUI::EnsureSummaryRows(int count)
{
    if (!m_keySummary)
        return;
    while (m_keySummary->count() < count) {
        auto* item = new QListWidgetItem(m_keySummary);
        item->setSizeHint(QSize(380, kSummaryRowHeight));
        auto* row = new QWidget;
        auto* box = new QHBoxLayout(row);
        box->setContentsMargins(8, 0, 8, 0);
        box->setSpacing(0);
        auto* key = new QLabel(row);
        key->setObjectName("keyinfo_key");
        key->setFixedWidth(200);
        CControlAccess::SetTextColor(key, kSummaryKeyColour);
        auto* value = new QLabel(row);
        value->setObjectName("keyinfo_value");
        value->setFixedWidth(180);
        CControlAccess::SetTextColor(value, kSummaryValueColour);
        box->addWidget(key);
        box->addWidget(value);
        box->addStretch();
        m_keySummary->setItemWidget(item, row);
        item->setHidden(true);
    }
}

void CMousePageUI::RefreshKeyLabelsPage()
{
    const std::vector<KeyEntry> keys = m_mouse->GetKeyTable();
    const auto& macros = m_mouse->NameLists().macroNames;
    const KeyLabelText::Translate translate = [this](const std::string& key) { return Tr(key).toStdString(); };
    for (int i = 0; i < int(keys.size()); ++i) {
        const std::optional<std::string> text = KeyLabelText::ForMouse(keys[size_t(i)].current, macros, translate);
        if (!text || i >= m_mouse->KeyButtonCount())
            continue;
        auto* adapter = dynamic_cast<CQtPageControl*>(m_mouse->KeyButton(i));
        auto* button = adapter ? qobject_cast<QAbstractButton*>(adapter->Widget()) : nullptr;
        if (!button)
            continue;
        const QString name = i < int(MOUSE_KEY_NAMES.size()) ? Tr(MOUSE_KEY_NAMES[size_t(i)]) : button->text();
        button->setText(name);
        button->setToolTip(Qs(*text));
        if (!m_keySummary)
            continue;
        EnsureSummaryRows(i + 1);
        QListWidgetItem* item = m_keySummary->item(i);
        if (QWidget* row = m_keySummary->itemWidget(item)) {
            auto* key = row->findChild<QLabel*>("keyinfo_key");
            auto* value = row->findChild<QLabel*>("keyinfo_value");
            key->setText(name);
            value->setText(value->fontMetrics().elidedText(Qs(*text), Qt::ElideRight, value->width()));
            value->setToolTip(Qs(*text));
        }
        item->setHidden(button->isHidden());
    }
    if (m_logoButton) {
        m_logoButton->setText("Logo");
        QString tip = Tr("Light_Set") + "\n" + Tr("Overall_Light_Set");
        const int effect = m_mouse->Engine().Effect();
        const auto& lists = m_mouse->NameLists();
        if (effect <= 8 && effect < int(lists.defaultLightNames.size()))
            tip += Tr(lists.defaultLightNames[size_t(effect)]);
        else if (effect >= 9 && effect - 9 < int(lists.userLightNames.size()))
            tip += Qs(lists.userLightNames[size_t(effect - 9)]);
        m_logoButton->setToolTip(tip);
    }
    if (m_keySummary) {
        m_keySummary->show();
        m_keySummary->update();
    }
}

// ---- key selection ----

void CMousePageUI::ShowSelectedKey(int index)
{
    // The selected key is marked on the picture (property "selectedKey" of the key buttons).
    for (int i = 0; i < m_mouse->KeyButtonCount(); ++i) {
        auto* adapter = dynamic_cast<CQtPageControl*>(m_mouse->KeyButton(i));
        QWidget* button = adapter ? adapter->Widget() : nullptr;
        if (!button || button->property("selectedKey").toBool() == (i == index))
            continue;
        button->setProperty("selectedKey", i == index);
        button->style()->unpolish(button);
        button->style()->polish(button);
    }
    if (!m_keyEditor)
        return;
    m_keyEditor->setVisible(true);
    if (QWidget* hint = Find("key_select_hint"))
        hint->setVisible(false);
    const std::vector<KeyEntry> keys = m_mouse->GetKeyTable();
    if (index >= 0 && index < int(keys.size()))
        m_keyEditor->Load(keys[size_t(index)]);
}

bool CMousePageUI::OnKeyClick(int position)
{
    if (m_mouse->GetPageState() != 2)
        return false;
    // The profile file must be readable before a key is handed to the editor.
    if (ReadJsonFile(m_mouse->CurrentProfilePath()).isNull())
        return false;
    if (KeyClickGuard::Refuses(m_mouse->DeviceType(), m_mouse->GetKeyTable(), position)) {
        app::CMsgWnd::ShowMessage(window(), QString(), KeyClickGuard::kMessageKey, 96, true, 0);
        return false;
    }
    m_mouse->SetSelectedKey(position);
    return true;
}

// ---- LED previews ----

void CMousePageUI::OutputLightFramePage()
{
    LightingColourBuffer& colours = m_mouse->LedColours();
    auto show = [](CDeviceKeyButtonUI* button, uint32_t word) {
        button->SetLightColour(LedPreviewColour(word), LedLevel(word), true);
    };
    for (int i = 0; i < int(m_ledButtons.size()); ++i) {
        CDeviceKeyButtonUI* button = m_ledButtons[size_t(i)];
        if (button && !button->isHidden())
            show(button, colours.Get(i));
    }
    if (m_ledPreviewPanel && m_mouse->IsPreviewEnabled())
        m_ledPreviewPanel->update();
    if (m_logoButton && !m_logoButton->isHidden() && m_mouse->LogoLedIndex() != -1)
        show(m_logoButton, colours.Get(m_mouse->LogoLedIndex()));
    m_mouse->OutputBaseLightFrame();
    if (m_previewPanel && m_mouse->IsPreviewEnabled())
        m_previewPanel->update();
}

void CMousePageUI::ShowFunctionTab(int code)
{
    for (const auto& [tab, tabCode] : kFunctionTabs) {
        if (tabCode == code)
            CControlAccess::SetSelected(Find(tab), true, false);
    }
}

// ---- notifications ----

void CMousePageUI::Notify(const ui::TNotify& msg) { HandleNotify(msg); }

bool CMousePageUI::HandleNotify(const ui::TNotify& msg)
{
    QWidget* sender = msg.sender;
    if (!sender || (sender != this && !isAncestorOf(sender)))
        return false;
    if (m_keyEditor && m_keyEditor->HandleNotify(msg))
        return true;
    if (m_lightEditor && m_lightEditor->HandleNotify(msg))
        return true;
    if (m_macroEditor && m_macroEditor->OwnsSender(sender))
        return true; // the macro editor acts on its controls' own signals
    const QString name = msg.SenderName();
    const QString& type = msg.type;
    const int value = int(msg.wParam);

    if (int i = NumberAfter(name, "DPI_enable_check_"); i >= 0 && i < kDpiRows && type == "selectchanged") {
        const bool enabled = value != 0;
        ShowDpiStage(i, enabled);
        ChangeStage(i, [enabled](DpiStage& stage) { stage.active = enabled ? 1 : 0; });
        return true;
    }
    if (int i = NumberAfter(name, "DPI_slider_"); i >= 0 && i < kDpiRows) {
        if (!HasDpiStep())
            return true; // no DPI to set on this device
        if (type == "movevaluechanged") {
            // While the thumb is dragged the edit follows; the stage is stored on release.
            SetDpiSlider(i, value);
        } else if (type == "valuechanged") {
            SetDpiSlider(i, value);
            ChangeStage(i, [value](DpiStage& stage) { stage.dpiX = uint16_t(value); });
        }
        return true;
    }
    if (int i = NumberAfter(name, "DPI_edit_"); i >= 0 && i < kDpiRows) {
        if (type != "return" && type != "killfocus")
            return true;
        const int step = m_mouse->Info().DpiStep();
        if (step == 0)
            return true; // no DPI step: a DPI cannot be turned into device units, nothing is sent
        int units = ReadDpiEdit(i) / step;
        if (const int highest = m_mouse->DpiSliderMaximum(); highest > 0 && units > highest) {
            // The sensor goes no higher: the stage takes the highest DPI and the page says so.
            units = highest;
            ShowDpiRange(units * step);
        }
        SetDpiSlider(i, units);
        ChangeStage(i, [units](DpiStage& stage) { stage.dpiX = uint16_t(units); });
        return true;
    }
    if (int n = NumberAfter(name, "polling_rate_option_"); n >= 0 && type == "selectchanged") {
        if (value == 0)
            return true; // the option that was left
        SelectPollingOption(n);
        StoreWord(5, n < kPollingOptions ? n : 0);
        m_mouse->SaveProfile();
        SendSettings();
        return true;
    }
    if (type == "selectchanged" && value != 0) {
        for (const auto& [tab, code] : kFunctionTabs) {
            if (name == tab) {
                m_mouse->SetPageState(code);
                return true;
            }
        }
    }
    if (int n = NumberAfter(name, "mouse_device_seting_option_"); n >= 0 && type == "selectchanged") {
        if (value != 0)
            SelectOptionPage(n);
        return true;
    }
    if (name == "pointer_speed_slider" && type == "valuechanged") {
        StoreWord(1, value);
        m_mouse->SaveProfile();
        m_pointer.speed = std::clamp(value, 1, 20);
        ApplyPointerSettings();
        return true;
    }
    if (name == "pointer_precision_check" && type == "selectchanged") {
        StoreWord(2, value != 0);
        m_mouse->SaveProfile();
        m_pointer.precision = value != 0;
        ApplyPointerSettings();
        return true;
    }
    if (name == "scroll_speed_slider" && type == "valuechanged") {
        StoreWord(4, value);
        StoreWord(3, 0);
        SetScrollsPage(false);
        m_mouse->SaveProfile();
        m_pointer.wheelLines = value + 1;
        ApplyPointerSettings();
        return true;
    }
    if (name == "scrolls_page_check" && type == "selectchanged") {
        StoreWord(3, value != 0);
        StoreWord(4, ScrollSpeed());
        m_mouse->SaveProfile();
        m_pointer.wheelLines = value != 0 ? 255 : ScrollSpeed() + 1;
        ApplyPointerSettings();
        return true;
    }
    if (name == "double_click_slider" && type == "valuechanged") {
        StoreWord(0, value);
        m_mouse->SaveProfile();
        m_pointer.doubleClickMs = value;
        ApplyPointerSettings();
        return true;
    }
    if (int p = NumberAfter(name, "key_"); p >= 0 && type == "click") {
        OnKeyClick(p);
        return true;
    }
    return false;
}

} // namespace nq::pages
