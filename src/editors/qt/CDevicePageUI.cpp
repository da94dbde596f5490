#include "editors/qt/CDevicePageUI.h"

#include "devices/CKelvaskKeyboardDevice.h"
#include "devices/CKelvaskMouseDevice.h"
#include "devices/CKelvaskMousePadDevice.h"
#include "devices/CKelvaskVA6533Device.h"
#include "profiles/qt/CDeviceProfileUI.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"

namespace nq::pages {

CDevicePageUI::CDevicePageUI(std::unique_ptr<CKelvaskUSBDevice> device, QWidget* parent)
    : QWidget(parent), m_device(std::move(device))
{
    m_device->SetPage(this);
}

CDevicePageUI::~CDevicePageUI()
{
    // The device's threads end before the widgets they might refresh go away.
    m_device->StopWorkers();
    m_device->SetPage(nullptr);
}

void CDevicePageUI::RegisterClasses()
{
    auto& factory = ui::CControlFactory::Instance();
    factory.RegistControl("KelvaskKeyboardDevice", [](QWidget* parent) -> QWidget* {
        return new CDevicePageUI(std::make_unique<CKelvaskKeyboardDevice>(), parent);
    });
    factory.RegistControl("KelvaskMouseDevice", [](QWidget* parent) -> QWidget* {
        return new CDevicePageUI(std::make_unique<CKelvaskMouseDevice>(), parent);
    });
    factory.RegistControl("KelvaskMousePadDevice", [](QWidget* parent) -> QWidget* {
        return new CDevicePageUI(std::make_unique<CKelvaskMousePadDevice>(), parent);
    });
    factory.RegistControl("KelvaskVA6533Device", [](QWidget* parent) -> QWidget* {
        return new CDevicePageUI(std::make_unique<CKelvaskVA6533Device>(), parent);
    });
}

IPageControl* CDevicePageUI::AdapterOf(QWidget* widget) const
{
    if (!widget)
        return nullptr;
    auto& slot = m_adapters[widget];
    if (!slot)
        slot = std::make_unique<CQtPageControl>(widget, [this](QWidget* w) { return AdapterOf(w); });
    return slot.get();
}

std::string CDevicePageUI::ClassName() const { return m_device->GetClass(); }
std::string CDevicePageUI::Name() const { return objectName().toStdString(); }
std::string CDevicePageUI::UserData() const { return {}; }
std::string CDevicePageUI::Text() const { return {}; }
bool CDevicePageUI::IsVisible() const { return !isHidden(); }
void CDevicePageUI::SetVisible(bool visible) { setVisible(visible); }
void CDevicePageUI::Invalidate() { update(); }
void CDevicePageUI::SetLightColour(uint32_t, uint8_t, bool) {}
void CDevicePageUI::SelectTab(int) {}

std::vector<IPageControl*> CDevicePageUI::Children() const
{
    std::vector<IPageControl*> out;
    for (QWidget* child : CQtPageControl::ChildWidgets(this))
        out.push_back(AdapterOf(child));
    return out;
}

IPageControl* CDevicePageUI::FindControl(const std::string& name)
{
    QWidget* widget = ui::CControlAccess::FindControl(this, QString::fromStdString(name));
    return widget && widget != this ? AdapterOf(widget) : nullptr;
}

IProfileList* CDevicePageUI::ProfileList()
{
    return ui::CControlAccess::Find<CDeviceProfileUI>(this, CDeviceProfileUI::kControlName);
}

} // namespace nq::pages
