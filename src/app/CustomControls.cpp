#include "app/CustomControls.h"

#include "ui/CControlFactory.h"
#include "editors/qt/CDeviceKeyButtonUI.h"
#include "editors/qt/CDeviceOptionUI.h"
#include "editors/qt/CKeySetControlUI.h"
#include "editors/qt/CLightControlUI.h"
#include "editors/qt/CMpDevicePowerUI.h"
#include "editors/qt/CRedioMacroButtonUI.h"
#include "editors/qt/CSelectPanelUI.h"
#include "macros/qt/CMacroControlUI.h"
#include "profiles/qt/CDeviceProfileUI.h"
#include "ui/controls/CChartViewUI.h"
#include "ui/controls/CCircleProgressUI.h"
#include "ui/controls/CCloudShareListItemUI.h"
#include "ui/controls/CComboEditContainerElementUI.h"
#include "ui/controls/CHandImgButtonUI.h"
#include "ui/controls/CHandImgSelectButtonUI.h"
#include "ui/controls/CKelvaskMousePadDevice.h"
#include "ui/controls/CKelvaskUSBDevice.h"
#include "ui/controls/CKelvaskVA6533Device.h"
#include "ui/controls/CMagicControlUI.h"
#include "ui/controls/CShootControlUI.h"
#include "ui/controls/CUpdateInfoListItemUI.h"
#include "ui/controls/CVoice6533ControlUI.h"
#include "ui/controls/CWndUI.h"

namespace nq::app {

const QStringList& CustomControlNames()
{
    static const QStringList names = {
        "CCircleProgressUI",
        "CChartViewUI",
        "CWndUI",
        "CSelectPanelUI",
        "CDeviceKeyButtonUI",
        "CCloudShareListItemUI",
        "CUpdateInfoListItemUI",
        "CDeviceOptionUI",
        "CMpDevicePowerUI",
        "CComboEditContainerElementUI",
        "CHandImgButtonUI",
        "CHandImgSelectButtonUI",
        "CRedioMacroButtonUI",
        "CLightControlUI",
        "CMacroControlUI",
        "CKeySetControlUI",
        "CDeviceProfileUI",
        "CShootControlUI",
        "CMagicControlUI",
        "CVoice6533ControlUI",
        "CKelvaskUSBDevice",
        "CKelvaskMousePadDevice",
        "CKelvaskVA6533Device",
    };
    return names;
}

// Classes that have their behaviour come from the page widgets; the others are plain containers
// until theirs is built.
void RegisterCustomControls()
{
    ui::CControlFactory& factory = ui::CControlFactory::Instance();
    factory.RegistControl<ui::CCircleProgressUI>("CCircleProgressUI");
    factory.RegistControl<ui::CChartViewUI>("CChartViewUI");
    factory.RegistControl<ui::CWndUI>("CWndUI");
    factory.RegistControl<pages::CSelectPanelUI>("CSelectPanelUI");
    factory.RegistControl<pages::CDeviceKeyButtonUI>("CDeviceKeyButtonUI");
    factory.RegistControl<ui::CCloudShareListItemUI>("CCloudShareListItemUI");
    factory.RegistControl<ui::CUpdateInfoListItemUI>("CUpdateInfoListItemUI");
    factory.RegistControl<pages::CDeviceOptionUI>("CDeviceOptionUI");
    factory.RegistControl<pages::CMpDevicePowerUI>("CMpDevicePowerUI");
    factory.RegistControl<ui::CComboEditContainerElementUI>("CComboEditContainerElementUI");
    factory.RegistControl<ui::CHandImgButtonUI>("CHandImgButtonUI");
    factory.RegistControl<ui::CHandImgSelectButtonUI>("CHandImgSelectButtonUI");
    factory.RegistControl<pages::CRedioMacroButtonUI>("CRedioMacroButtonUI");
    factory.RegistControl<pages::CLightControlUI>("CLightControlUI");
    factory.RegistControl<pages::CMacroControlUI>("CMacroControlUI");
    factory.RegistControl<pages::CKeySetControlUI>("CKeySetControlUI");
    pages::CDeviceProfileUI::RegisterClass();
    factory.RegistControl<ui::CShootControlUI>("CShootControlUI");
    factory.RegistControl<ui::CMagicControlUI>("CMagicControlUI");
    factory.RegistControl<ui::CVoice6533ControlUI>("CVoice6533ControlUI");
    factory.RegistControl<ui::CKelvaskUSBDevice>("CKelvaskUSBDevice");
    factory.RegistControl<ui::CKelvaskMousePadDevice>("CKelvaskMousePadDevice");
    factory.RegistControl<ui::CKelvaskVA6533Device>("CKelvaskVA6533Device");
}

} // namespace nq::app
