#include "devices/qt/CMousePadPageUI.h"

#include "common/DebugLog.h"
#include "devices/MousePadLedLayout.h"
#include "devices/qt/CMousePadPageDevice.h"
#include "devices/qt/CPadLedButtonUI.h"
#include "devices/qt/CPadSurfaceUI.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/CNotifyBridge.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinPaths.h"


#include <algorithm>

namespace nq::pages {

using ui::CControlAccess;

namespace {

constexpr int kHighestLevel = 4; // brightness and speed levels run 0-4 on the pad
constexpr uint32_t kWhite = 0xFFFFFF;

// "light_" + number; -1 for any other name.
int LedNumberOf(const QString& name)
{
    static const QString prefix = "light_";
    if (!name.startsWith(prefix))
        return -1;
    bool ok = false;
    const int n = name.mid(prefix.size()).toInt(&ok);
    return ok && n >= 0 ? n : -1;
}

} // namespace

CMousePadPageUI::CMousePadPageUI(QWidget* parent) : CDevicePageUI(std::make_unique<CMousePadPageDevice>(), parent)
{
    MergePageTexts();
    m_pad = static_cast<CMousePadPageDevice*>(&Device());
    m_pad->SetPageUI(this);
}

CMousePadPageUI::~CMousePadPageUI()
{
    // The device may still run a frame while the base tears down; it must not reach this page.
    m_pad->SetPageUI(nullptr);
}

CMousePadPageDevice& CMousePadPageUI::Pad() { return *m_pad; }

void CMousePadPageUI::RegisterClasses()
{
    ui::CControlFactory::Instance().RegistControl<CMousePadPageUI>(kClassName);
    CLightControlUI::RegisterClass();
    MergePageTexts();
}

void CMousePadPageUI::MergePageTexts()
{
    ui::CResourceManager::Instance().MergeLanguagePart("mousepad");
}

CDeviceKeyButtonUI* CMousePadPageUI::LedButton(int index) const
{
    return index >= 0 && index < int(m_ledButtons.size()) ? m_ledButtons[size_t(index)].data() : nullptr;
}

// ---- building ----

void CMousePadPageUI::BuildPicture()
{
    m_panel = Find(kLightPanel);
    if (!m_panel || !m_ledButtons.empty())
        return;
    const QString file = ui::CSkinPaths::SkinFolder() + property("ledLayout").toString();
    const std::optional<MousePadLedLayout> layout = MousePadLedLayout::Load(file.toStdString());
    if (!layout) {
        DebugOutF("no pad LED layout in %s", file.toUtf8().constData());
        return;
    }
    m_panel->setFixedSize(layout->width, layout->height);
    ensurePolished();
    auto* surface = new CPadSurfaceUI(*layout, palette().color(QPalette::Window), m_panel);
    surface->setObjectName(layout->charger ? "mousepad_charging_surface" : "mousepad_surface");
    const int size = layout->ledSize;
    for (size_t i = 0; i < layout->leds.size(); ++i) {
        auto* button = new CPadLedButtonUI(m_panel);
        const QString name = QString("light_%1").arg(i);
        button->setObjectName(name);
        CControlAccess::SetUserData(button, name);
        button->setGeometry(layout->leds[i].x - size / 2, layout->leds[i].y - size / 2, size, size);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolTip(ui::CResourceManager::Instance().Text("mousepad_led_tip").arg(i + 1));
        button->SetLightColour(kWhite, 255, true);
        button->show();
        surface->AddLamp(button);
        m_ledButtons.emplace_back(button);
    }
    ui::CNotifyBridge::Bind(m_panel);
}

void CMousePadPageUI::BuildEditors()
{
    m_lightEditor = qobject_cast<CLightControlUI*>(Find("LightControlItem"));
    if (m_lightEditor) {
        const auto& lists = m_pad->NameLists();
        m_lightEditor->SetTarget(m_pad);
        m_lightEditor->SetDeviceType(m_pad->DeviceType());
        m_lightEditor->FillEffects(CLightControlUI::Panel::Main, lists.defaultLightNames, lists.defaultLightVisible,
                                   kHighestLevel, kHighestLevel);
    }
    if (QWidget* combo = Find("led_record_combo")) {
        ui::CNotifyBridge::Silence silence;
        CControlAccess::RemoveAllItems(combo);
        for (const char* key : RECORD_EFFECT_KEYS)
            CControlAccess::AddItem(combo, Tr(key), QString(key));
    }
    ShowPickState();
}

// ---- showing ----

void CMousePadPageUI::ShowProfilePage()
{
    ShowLighting(m_pad->MainLightSetting());
    ShowPickState();
}

void CMousePadPageUI::ShowLighting(const LightSetting& record)
{
    if (m_lightEditor)
        m_lightEditor->Show(CLightControlUI::Panel::Main, record);
}

void CMousePadPageUI::showEvent(QShowEvent* event)
{
    CDevicePageUI::showEvent(event);
    if (m_pad->PollsStatus() && m_pad->Channel().IsOpen())
        m_pad->PollStatus();
}

// ---- LED picking and records ----

std::vector<int> CMousePadPageUI::PickedLeds() const
{
    std::vector<int> picked;
    for (size_t i = 0; i < m_ledButtons.size(); ++i)
        if (m_ledButtons[i] && m_ledButtons[i]->IsKeySelected())
            picked.push_back(int(i));
    return picked;
}

void CMousePadPageUI::PickLed(int led, bool picked)
{
    if (CDeviceKeyButtonUI* button = LedButton(led))
        button->SetKeySelected(picked);
    ShowPickState();
}

void CMousePadPageUI::ClearPicks()
{
    for (auto& button : m_ledButtons)
        if (button)
            button->SetKeySelected(false);
    ShowPickState();
}

void CMousePadPageUI::ShowPickState()
{
    const std::vector<int> picked = PickedLeds();
    if (QWidget* label = Find("led_picked_text"))
        CControlAccess::SetText(label, picked.empty() ? Tr("mousepad_led_pick_hint")
                                                      : Tr("mousepad_led_picked").arg(picked.size()));
    CControlAccess::SetEnabled(Find("led_record_apply"), !picked.empty());
    // The combo shows the record the picked LEDs share.
    if (QWidget* combo = Find("led_record_combo"); combo && !picked.empty()) {
        auto positionOf = [this](int led) {
            const LightSetting record = m_pad->LedRecord(led);
            return record[LightSetting::kPresent] ? std::min<int>(record.Effect() + 1, RECORD_EFFECT_KEYS.size() - 1) : 0;
        };
        const int first = positionOf(picked.front());
        if (std::all_of(picked.begin(), picked.end(), [&](int led) { return positionOf(led) == first; }))
            CControlAccess::SelectItem(combo, first, false);
    }
}

void CMousePadPageUI::ShowRecordStatus(const QString& key, int count)
{
    QString text = Tr(key);
    if (count >= 0)
        text = text.arg(count);
    CControlAccess::SetText(Find("led_record_status"), text);
}

bool CMousePadPageUI::ApplyRecordEffect(int position)
{
    const std::vector<int> picked = PickedLeds();
    if (picked.empty()) {
        ShowRecordStatus("mousepad_led_pick_first");
        return false;
    }
    if (position < 0 || position >= int(RECORD_EFFECT_KEYS.size()))
        return false;
    std::optional<LightSetting> record;
    if (position > 0) {
        LightSetting own = m_pad->MainLightSetting();
        own[LightSetting::kEffect] = uint8_t(position - 1);
        record = own;
    }
    const bool changed = m_pad->SetLedRecords(picked, record);
    ShowRecordStatus(position > 0 ? "mousepad_led_given" : "mousepad_led_taken", int(picked.size()));
    ShowPickState();
    return changed;
}

// ---- notifications ----

void CMousePadPageUI::Notify(const ui::TNotify& msg) { HandleNotify(msg); }

bool CMousePadPageUI::HandleNotify(const ui::TNotify& msg)
{
    QWidget* sender = msg.sender;
    if (!sender || (sender != this && !isAncestorOf(sender)))
        return false;
    if (m_lightEditor && m_lightEditor->HandleNotify(msg))
        return true;
    const QString name = msg.SenderName();
    if (msg.type == "click_select_end" && sender == m_panel) {
        ShowPickState();
        return true;
    }
    if (msg.type != "click")
        return false;
    if (const int led = LedNumberOf(name); led >= 0 && sender->parentWidget() == m_panel) {
        if (CDeviceKeyButtonUI* button = LedButton(led))
            PickLed(led, !button->IsKeySelected());
        return true;
    }
    if (name == "led_record_apply") {
        ApplyRecordEffect(CControlAccess::CurrentItem(Find("led_record_combo")));
        return true;
    }
    if (name == "led_pick_clear") {
        ClearPicks();
        return true;
    }
    if (name == "led_pick_all") {
        for (size_t i = 0; i < m_ledButtons.size(); ++i)
            if (m_ledButtons[i])
                m_ledButtons[i]->SetKeySelected(int(i) < m_pad->LedCount());
        ShowPickState();
        return true;
    }
    return false;
}

} // namespace nq::pages
