#include "editors/qt/CMpDevicePowerUI.h"

#include "devices/PowerStatus.h"
#include "ui/CControlAccess.h"
#include "ui/CSkinLoader.h"

namespace nq::pages {

using ui::CControlAccess;

CMpDevicePowerUI::CMpDevicePowerUI(QWidget* parent) : QWidget(parent)
{
    ui::CSkinLoader::LoadInto(this, kLayout);
}

void CMpDevicePowerUI::SetKind(int kind, int role)
{
    m_kind = kind;
    m_role = role;
}

void CMpDevicePowerUI::SetPowerLayoutVisible(bool visible)
{
    CControlAccess::SetVisible(CControlAccess::FindControl(this, "device_power_Layout"), visible);
}

void CMpDevicePowerUI::Update(const uint8_t* status, size_t length)
{
    const PowerStatus view = PowerStatus::FromReport(status, length, m_kind);
    // The controls are looked up in a chain: a missing one ends the update there.
    QWidget* value = CControlAccess::FindControl(this, "device_power_value");
    if (!value)
        return;
    QWidget* wireless = CControlAccess::FindControl(this, "device_wuxian_logo");
    if (!wireless)
        return;
    QWidget* progress = CControlAccess::FindControl(this, "device_Power_progress");
    if (!progress)
        return;
    QWidget* charging = CControlAccess::FindControl(this, "device_power_status");
    if (!charging)
        return;
    CControlAccess::SetValue(progress, view.progressValue);
    CControlAccess::SetText(value, QString::fromStdString(view.valueText));
    CControlAccess::SetVisible(wireless, view.wirelessVisible);
    if (view.progressVisible)
        CControlAccess::SetVisible(progress, true);
    if (view.statusIcon)
        CControlAccess::SetForeImage(charging, QString::fromStdString(*view.statusIcon));
    if (!view.phoneKey)
        return;
    QWidget* phone = CControlAccess::FindControl(this, "device_phone_type");
    if (!phone)
        return;
    const QString key = QString::fromStdString(*view.phoneKey);
    CControlAccess::SetToolTipKey(phone, key);
    CControlAccess::SetForeImage(phone, "power/" + key + ".png");
}

} // namespace nq::pages
