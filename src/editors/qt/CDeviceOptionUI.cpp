#include "editors/qt/CDeviceOptionUI.h"

#include "devices/CKelvaskUSBDevice.h"
#include "ui/CControlAccess.h"
#include "ui/CNotifyBridge.h"
#include "ui/CSkinLoader.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QThread>
#include <QTimer>

namespace nq::pages {

namespace {

constexpr int kFirstFrameMs = 5;
constexpr int kFramePeriodMs = 50;
constexpr int kStatusPeriodMs = 5000;
constexpr int kConnectDelayMs = 500;
const QString kIconFolder = "common/device_ico/";

} // namespace

CDeviceOptionUI::CDeviceOptionUI(QWidget* parent) : QWidget(parent)
{
    ui::CSkinLoader::LoadInto(this, kLayout);
    SetType(0);
}

CDeviceOptionUI::~CDeviceOptionUI()
{
    if (m_device && m_device->TimerHost() == this)
        m_device->SetTimerHost(nullptr);
}

QWidget* CDeviceOptionUI::Child(const char* name, QPointer<QWidget>& cache) const
{
    if (!cache)
        cache = ui::CControlAccess::FindControl(const_cast<CDeviceOptionUI*>(this), name);
    return cache;
}

QWidget* CDeviceOptionUI::Option() const { return Child("device_select", m_option); }
QWidget* CDeviceOptionUI::SyncCheck() const { return Child("synchro_device_select", m_syncCheck); }
QWidget* CDeviceOptionUI::NameLabel() const { return Child("device_select_name", m_nameLabel); }

void CDeviceOptionUI::SetType(int type, int subKind)
{
    QString stem, key;
    switch (type) {
    case 1:
        stem = "kb_device";
        break;
    case 2:
        stem = "ms_device";
        break;
    case 3:
        if (subKind == 0)
            stem = "hard_mp_device";
        else if (subKind == 1)
            stem = "soft_mp_device";
        else if (!m_stem.isEmpty())
            stem = m_stem; // another sub-kind keeps the icons it has
        else
            stem = "unknow_device";
        break;
    case 4:
    case 7:
        stem = "hd_device";
        break;
    case 5:
        stem = "hub_device";
        break;
    default:
        stem = "unknow_device";
        break;
    }
    m_type = type;
    m_subKind = subKind;
    m_stem = stem;
    m_nameKey = stem + "_name_text";
    m_normal = kIconFolder + stem + "_normal.png";
    m_selected = kIconFolder + stem + "_selected.png";
    m_syncNormal = kIconFolder + stem + "_synchro_normal.png";
    m_syncSelected = kIconFolder + stem + "_synchro_selected.png";
    ApplyIcons();
    ui::CControlAccess::SetTextKey(NameLabel(), m_nameKey);
}

void CDeviceOptionUI::ApplyIcons()
{
    const bool sync = IsSynchronised();
    ui::CControlAccess::SetStateImage(Option(), "normal", sync ? m_syncNormal : m_normal);
    ui::CControlAccess::SetStateImage(Option(), "selected", sync ? m_syncSelected : m_selected);
}

void CDeviceOptionUI::SetSynchronised(bool on)
{
    ui::CControlAccess::SetVisible(SyncCheck(), on);
    ApplyIcons();
}

void CDeviceOptionUI::CheckSynchronised(bool on)
{
    ui::CControlAccess::SetSelected(SyncCheck(), on, false);
    ApplyIcons();
}

bool CDeviceOptionUI::IsSynchronised() const { return ui::CControlAccess::IsSelected(SyncCheck()); }
bool CDeviceOptionUI::IsSelected() const { return ui::CControlAccess::IsSelected(Option()); }

void CDeviceOptionUI::Select(bool on, bool notify)
{
    // In an exclusive group the checked option cannot be unchecked directly; a hidden tab must
    // still lose its selection.
    auto* option = qobject_cast<QAbstractButton*>(Option());
    QButtonGroup* group = option ? option->group() : nullptr;
    const bool exclusive = group && group->exclusive();
    if (!on && exclusive)
        group->setExclusive(false);
    ui::CControlAccess::SetSelected(Option(), on, notify);
    if (!on && exclusive)
        group->setExclusive(true);
}

void CDeviceOptionUI::BindPage(const QString& tabLayoutName, int index)
{
    ui::CControlAccess::BindTabPage(Option(), tabLayoutName, index);
}

QString CDeviceOptionUI::BoundPageName() const { return ui::CControlAccess::BoundTabName(Option()); }

int CDeviceOptionUI::BoundPageIndex() const
{
    return Option() ? ui::CControlAccess::BoundTabIndex(Option()) : -1;
}

void CDeviceOptionUI::BindPowerPage(const QString& tabLayoutName, int index)
{
    m_powerPageName = tabLayoutName;
    m_powerPageIndex = index;
}

void CDeviceOptionUI::SetRow(int kind, int role, const QString& kindName)
{
    m_rowKind = kind;
    m_rowRole = role;
    m_kindName = kindName;
}

void CDeviceOptionUI::SetGroup(const QString& group)
{
    if (auto* option = qobject_cast<QAbstractButton*>(Option()))
        ui::CControlAccess::SetGroup(option, group);
}

void CDeviceOptionUI::SetName(const QString& text)
{
    ui::CControlAccess::SetText(NameLabel(), text);
}

void CDeviceOptionUI::Activate()
{
    ui::CNotifyBridge::Raise(this, "selectchanged");
}

void CDeviceOptionUI::Start()
{
    SetTimer(kTimerConnected, kConnectDelayMs);
}

void CDeviceOptionUI::SetTimer(int id, uint32_t periodMs)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, id, periodMs] { SetTimer(id, periodMs); }, Qt::QueuedConnection);
        return;
    }
    QTimer*& timer = m_timers[id];
    if (!timer) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
    }
    timer->start(static_cast<int>(periodMs));
}

void CDeviceOptionUI::PostToUi(std::function<void()> task)
{
    QMetaObject::invokeMethod(this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

void CDeviceOptionUI::KillTimer(int id)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, id] { KillTimer(id); }, Qt::QueuedConnection);
        return;
    }
    if (QTimer* timer = m_timers.value(id))
        timer->stop();
}

bool CDeviceOptionUI::IsTimerArmed(int id) const
{
    QTimer* timer = m_timers.value(id);
    return timer && timer->isActive();
}

void CDeviceOptionUI::OnTimer(int id)
{
    KillTimer(id);
    CKelvaskUSBDevice* device = m_device;
    if (!device)
        return;
    switch (id) {
    case kTimerConnected:
        device->OnConnected();
        SetTimer(kTimerLightFrame, kFirstFrameMs);
        if (device->PollsStatus() && device->Channel().IsOpen())
            SetTimer(kTimerPollStatus, kStatusPeriodMs);
        break;
    case kTimerLightFrame:
        device->OutputLightFrame();
        device->OnRefreshTickB();
        device->OnRefreshTickC();
        if (m_previewFollows && IsSelected() && device->IsPreviewEnabled())
            if (IPageControl* preview = device->SelectionPanel())
                preview->Invalidate();
        if (device->Channel().IsOpen())
            SetTimer(kTimerLightFrame, kFramePeriodMs + device->TakeStreamPause());
        break;
    case kTimerDeviceNotice:
        device->OnDeviceNotice();
        break;
    case kTimerDeferredTwo:
        device->OnDeferredStepTwo();
        break;
    case kTimerDeferredThree:
        device->OnDeferredStepThree();
        break;
    case kTimerPollStatus:
        device->PollStatus();
        if (device->PollsStatus() && device->Channel().IsOpen())
            SetTimer(kTimerPollStatus, kStatusPeriodMs);
        break;
    default:
        break;
    }
}

} // namespace nq::pages
