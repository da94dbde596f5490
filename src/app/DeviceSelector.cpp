#include "app/DeviceSelector.h"

#include "common/DebugLog.h"
#include "devices/CKelvaskUSBDevice.h"
#include "devices/DeviceConnections.h"
#include "editors/qt/CDeviceOptionUI.h"
#include "editors/qt/CDevicePageUI.h"
#include "editors/qt/CMpDevicePowerUI.h"
#include "ui/CControlAccess.h"
#include "ui/CSkinLoader.h"

#include <QLayout>
#include <QScrollArea>
#include <QStackedWidget>

namespace nq::app {

using ui::CControlAccess;

namespace {
const QString kDeviceSwitch = "device_switch";
const QString kPowerSwitch = "device_power_switch";
} // namespace

int DeviceSelector::FunctionTabNumber(const QString& optionName)
{
    static const std::pair<const char*, int> tabs[] = {
        {"deng_Op_tab", 1},  {"key_Op_tab", 2},        {"macro_Op_tab", 3}, {"system_Op_tab", 4},
        {"cursor_Op_tab", 5}, {"6533_voice_Op_tab", 6}, {"magic_Op_tab", 7}, {"Virtual7.1_Op_tab", 8},
    };
    for (const auto& [name, number] : tabs)
        if (optionName == name)
            return number;
    return 0;
}

DeviceSelector::DeviceSelector(QWidget* window) : m_window(window) {}

QWidget* DeviceSelector::Control(const char* name) const
{
    return CControlAccess::FindControl(m_window, name);
}

int DeviceSelector::BuildDevicePages(const std::vector<DeviceSlot>& slotList, const Catalogue& catalogue,
                                     DeviceConnections& connections, const std::string& profileName)
{
    int built = 0;
    for (size_t row = 0; row < catalogue.DevicePages().size(); ++row) {
        const PageChoice choice = catalogue.ChoosePage(static_cast<int>(row), slotList);
        if (choice.slotIndex < 0 || choice.layoutRow < 0)
            continue;
        if (BuildPage(choice, slotList, catalogue, connections, profileName))
            ++built;
    }
    RefreshEmptyState();
    return built;
}

bool DeviceSelector::BuildPage(const PageChoice& choice, const std::vector<DeviceSlot>& slotList,
                               const Catalogue& catalogue, DeviceConnections& connections,
                               const std::string& profileName)
{
    const DevicePage& row = catalogue.DevicePages()[choice.layoutRow];
    const DeviceLayout& layout = catalogue.DeviceLayouts()[choice.layoutRow];
    auto* pages = qobject_cast<QStackedWidget*>(Control("device_switch"));
    auto* powers = qobject_cast<QStackedWidget*>(Control("device_power_switch"));
    QWidget* tabs = Control("device_select_layout");
    if (!pages || !powers || !tabs)
        return false;

    auto* power = new pages::CMpDevicePowerUI();
    auto* tab = new pages::CDeviceOptionUI();
    QWidget* root = ui::CSkinLoader::Load(QString::fromStdString(layout.pageLayoutFile), nullptr);
    auto* page = dynamic_cast<pages::CDevicePageUI*>(root);
    if (!page) {
        DebugOutF("no device page from %s", layout.pageLayoutFile.c_str());
        delete root;
        delete tab;
        delete power;
        return false;
    }

    const int kind = choice.pageKind;
    const int role = row.role;
    const int powerIndex = powers->addWidget(power);
    power->SetKind(kind, role);

    CKelvaskUSBDevice& device = page->Device();
    device.ConfigureForPage(row, layout, slotList[choice.slotIndex], profileName, m_window, power);
    device.InitPage();

    // A page taller than the window scrolls instead of growing the window: the window keeps the
    // size it was mapped at, whatever pages the catalogue brings.
    auto* scroller = new QScrollArea();
    scroller->setObjectName(page->objectName() + "_scroll");
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidget(page);
    scroller->viewport()->setAutoFillBackground(false);
    const int pageIndex = pages->addWidget(scroller);
    connections.AddDevice(&device, kind);

    if (QLayout* tabLayout = tabs->layout())
        tabLayout->addWidget(tab);
    else
        tab->setParent(tabs);
    tab->setVisible(false);
    tab->SetGroup(QString::fromStdString(row.group));
    tab->BindPage(kDeviceSwitch, pageIndex);
    tab->BindPowerPage(kPowerSwitch, powerIndex);
    tab->SetType(kind, 0);
    tab->SetRow(kind, role, QString::fromStdString(row.kindName));
    tab->AttachDevice(&device);
    tab->SetDisplayIndex(static_cast<int>(m_tabs.size()));
    device.SetTimerHost(tab);
    m_tabs.push_back({tab, page, power, false});
    return true;
}

pages::CDeviceOptionUI* DeviceSelector::Tab(int index) const
{
    return index >= 0 && index < TabCount() ? m_tabs[index].tab.data() : nullptr;
}

pages::CDevicePageUI* DeviceSelector::Page(int index) const
{
    return index >= 0 && index < TabCount() ? m_tabs[index].page.data() : nullptr;
}

bool DeviceSelector::IsTabVisible(int index) const
{
    return index >= 0 && index < TabCount() && m_tabs[index].visible;
}

int DeviceSelector::VisibleCount() const
{
    int count = 0;
    for (const Entry& entry : m_tabs)
        count += entry.visible ? 1 : 0;
    return count;
}

int DeviceSelector::IndexOf(const CKelvaskUSBDevice* device) const
{
    for (int i = 0; i < TabCount(); ++i)
        if (m_tabs[i].page && &m_tabs[i].page->Device() == device)
            return i;
    return -1;
}

std::vector<CKelvaskUSBDevice*> DeviceSelector::Devices() const
{
    std::vector<CKelvaskUSBDevice*> devices;
    for (const Entry& entry : m_tabs)
        if (entry.page)
            devices.push_back(&entry.page->Device());
    return devices;
}

void DeviceSelector::ShowDeviceTab(int index, bool visible, bool select)
{
    pages::CDeviceOptionUI* tab = Tab(index);
    if (!tab)
        return;
    m_tabs[index].visible = visible;
    tab->setVisible(visible);
    if (select) {
        CControlAccess::SelectPage(Control("device_switch"), tab->BoundPageIndex());
        QWidget* powers = Control("device_power_switch");
        if (tab->PowerPageIndex() < 0) {
            CControlAccess::SetVisible(powers, false);
        } else {
            CControlAccess::SetVisible(powers, true);
            CControlAccess::SelectPage(powers, tab->PowerPageIndex());
        }
        tab->Select(true);
        OnDeviceTabSelected();
    } else {
        tab->Select(false);
        if (m_selected == index)
            OnDeviceTabSelected();
    }
    RefreshEmptyState();
    UpdateSyncAvailability();
}

bool DeviceSelector::RefreshEmptyState()
{
    const bool any = VisibleCount() > 0;
    CControlAccess::SetVisible(Control("No_device_Link"), !any);
    if (!any) {
        CControlAccess::SelectPage(Control("device_power_switch"), 0);
        CControlAccess::SelectPage(Control("device_switch"), 1);
    }
    return any;
}

void DeviceSelector::UpdateSyncAvailability()
{
    const bool available = VisibleCount() >= 2;
    for (const Entry& entry : m_tabs) {
        if (!entry.page)
            continue;
        CKelvaskUSBDevice& device = entry.page->Device();
        device.SetSyncAvailable(available);
        if (!available)
            device.Channel().SetLightingSynced(false);
        if (entry.tab)
            entry.tab->SetSynchronised(available && entry.visible);
    }
    if (CheckedSyncCount() < 2)
        ClearSync(true);
}

int DeviceSelector::CheckedSyncCount() const
{
    int checked = 0;
    for (const Entry& entry : m_tabs)
        if (entry.visible && entry.tab && entry.tab->IsSynchronised())
            ++checked;
    return checked;
}

void DeviceSelector::ClearSync(bool uncheck)
{
    for (const Entry& entry : m_tabs) {
        if (uncheck && entry.tab)
            entry.tab->CheckSynchronised(false);
        if (entry.page)
            entry.page->Device().Channel().SetLightingSynced(false);
    }
}

void DeviceSelector::OnSynchroChanged(QWidget* check)
{
    for (const Entry& entry : m_tabs) {
        if (!entry.tab || !entry.page || entry.tab->SyncCheck() != check)
            continue;
        const bool on = entry.tab->IsSynchronised() && entry.page->Device().IsSyncAvailable();
        entry.page->Device().Channel().SetLightingSynced(on);
        entry.tab->CheckSynchronised(on); // switches the icon pair
    }
    // Synchronised lighting needs two devices: a single checked one keeps its own lighting.
    if (CheckedSyncCount() < 2)
        ClearSync(false);
}

void DeviceSelector::HideDevice(int index)
{
    int replacement = -1;
    pages::CDeviceOptionUI* tab = Tab(index);
    if (tab && IsTabVisible(index) && tab->IsSelected()) {
        if (onHidingSelected)
            onHidingSelected();
        for (int i = 0; i < TabCount(); ++i) {
            if (i != index && IsTabVisible(i)) {
                replacement = i;
                break;
            }
        }
    }
    const bool wasSelected = tab && IsTabVisible(index) && tab->IsSelected();
    ShowDeviceTab(index, false, false);
    if (replacement >= 0)
        ShowDeviceTab(replacement, true, true);
    if (wasSelected) {
        m_returnTo = index;
        m_standIn = replacement;
    }
}

void DeviceSelector::SelectPrevious()
{
    int previous = -1;
    for (int i = 0; i < TabCount(); ++i) {
        if (!IsTabVisible(i))
            continue;
        if (Tab(i)->IsSelected()) {
            if (previous >= 0)
                ShowDeviceTab(previous, true, true);
            return;
        }
        previous = i;
    }
}

void DeviceSelector::SelectNext()
{
    int selected = -1;
    for (int i = 0; i < TabCount(); ++i) {
        if (IsTabVisible(i) && Tab(i)->IsSelected()) {
            selected = i;
            break;
        }
    }
    if (selected < 0)
        return;
    for (int i = selected + 1; i < TabCount(); ++i) {
        if (IsTabVisible(i)) {
            ShowDeviceTab(i, true, true);
            return;
        }
    }
}

void DeviceSelector::OnDeviceTabSelected()
{
    m_selected = -1;
    m_selectedPage = -1;
    m_selectedPower = -1;
    for (int i = 0; i < TabCount(); ++i) {
        pages::CDeviceOptionUI* tab = Tab(i);
        if (tab && tab->IsSelected()) {
            m_selected = i;
            m_selectedPage = tab->BoundPageIndex();
            m_selectedPower = tab->PowerPageIndex();
            break;
        }
    }
    if (m_selected < 0)
        return;
    if (m_selected != m_standIn && m_selected != m_returnTo)
        m_returnTo = m_standIn = -1; // the user chose another device
    QWidget* powers = Control("device_power_switch");
    CControlAccess::SetVisible(powers, m_selectedPower >= 0);
    if (m_selectedPower >= 0)
        CControlAccess::SelectPage(powers, m_selectedPower);
}

CKelvaskUSBDevice* DeviceSelector::SelectedDevice() const
{
    pages::CDevicePageUI* page = SelectedPage();
    return page ? &page->Device() : nullptr;
}

pages::CDevicePageUI* DeviceSelector::SelectedPage() const
{
    for (const Entry& entry : m_tabs)
        if (entry.tab && entry.tab->IsSelected())
            return entry.page;
    return nullptr;
}

void DeviceSelector::OnFunctionTab(int tab)
{
    CKelvaskUSBDevice* device = SelectedDevice();
    if (!device)
        return;
    device->SetPageState(tab);
    // The profile list and the keyboard's view buttons follow the function tab with their pages.
    DebugOutF("function tab %d", tab);
}

void DeviceSelector::ShowConnectedDevice(CKelvaskUSBDevice& device)
{
    const int index = IndexOf(&device);
    if (index < 0)
        return;
    bool otherVisible = false;
    for (int i = 0; i < TabCount(); ++i)
        otherVisible = otherVisible || (i != index && IsTabVisible(i));
    const bool returning = index == m_returnTo;
    const bool select = !otherVisible || returning || (Tab(index)->IsSelected() && IsTabVisible(index));
    if (returning)
        m_returnTo = m_standIn = -1;
    ShowDeviceTab(index, true, select);
    Tab(index)->Start();
}

void DeviceSelector::HideDevice(CKelvaskUSBDevice& device)
{
    HideDevice(IndexOf(&device));
}

void DeviceSelector::RefreshAndBringToFront()
{
    RefreshEmptyState();
    if (onBringToFront)
        onBringToFront();
}

} // namespace nq::app
