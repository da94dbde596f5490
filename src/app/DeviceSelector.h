#pragma once
// The device selector of the main window: one device tab and one device page per device-page row
// of the catalogue, built at start-up whether or not the device is there. A tab is shown while its
// device is connected; the selected tab decides which page, power display and device object the
// editors work on. With two or more tabs shown the devices may be tied together for synchronised
// lighting.
//
// Named containers of the main layout: "device_select_layout" (the tabs), "device_switch" (the
// pages; page 1 is shown with no device), "device_power_switch" (one power display per page;
// page 0 with no device), "No_device_Link" (shown while no tab is).
#include "devices/IDeviceSelector.h"
#include "hid/Catalogue.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace nq {
class CKelvaskUSBDevice;
class DeviceConnections;
}

namespace nq::pages {
class CDeviceOptionUI;
class CDevicePageUI;
class CMpDevicePowerUI;
}

namespace nq::app {

class DeviceSelector : public IDeviceSelector {
public:
    // Function tab options of a device page and their tab numbers.
    static int FunctionTabNumber(const QString& optionName);

    explicit DeviceSelector(QWidget* window);

    // Builds the pages of every device-page row over the slot list and hands the device objects
    // to the connection handlers. Returns the number of pages built.
    int BuildDevicePages(const std::vector<DeviceSlot>& slotList, const Catalogue& catalogue,
                         DeviceConnections& connections, const std::string& profileName);

    void ShowDeviceTab(int index, bool visible, bool select);
    void HideDevice(int index);
    void SelectPrevious();
    void SelectNext();
    void OnDeviceTabSelected();
    void OnFunctionTab(int tab);
    // The "synchro_device_select" check of a tab changed.
    void OnSynchroChanged(QWidget* check);

    CKelvaskUSBDevice* SelectedDevice() const;
    pages::CDevicePageUI* SelectedPage() const;
    int SelectedIndex() const { return m_selected; }
    int TabCount() const { return static_cast<int>(m_tabs.size()); }
    int VisibleCount() const;
    bool IsTabVisible(int index) const;
    pages::CDeviceOptionUI* Tab(int index) const;
    pages::CDevicePageUI* Page(int index) const;
    int IndexOf(const CKelvaskUSBDevice* device) const;
    std::vector<CKelvaskUSBDevice*> Devices() const;

    // Shows or hides "No_device_Link" (and with no tab the empty pages); true when a tab is shown.
    bool RefreshEmptyState();

    // IDeviceSelector
    void ShowConnectedDevice(CKelvaskUSBDevice& device) override;
    void HideDevice(CKelvaskUSBDevice& device) override;
    void RefreshAndBringToFront() override;

    // What the main window does around the selector.
    std::function<void()> onBringToFront;
    // Called before the selected tab is hidden (closes popups, stops a macro recording).
    std::function<void()> onHidingSelected;

private:
    struct Entry {
        QPointer<pages::CDeviceOptionUI> tab;
        QPointer<pages::CDevicePageUI> page;
        QPointer<pages::CMpDevicePowerUI> power;
        bool visible = false;
    };

    QWidget* Control(const char* name) const;
    bool BuildPage(const PageChoice& choice, const std::vector<DeviceSlot>& slotList, const Catalogue& catalogue,
                   DeviceConnections& connections, const std::string& profileName);
    void UpdateSyncAvailability();
    int CheckedSyncCount() const;
    void ClearSync(bool uncheck);

    QWidget* m_window;
    std::vector<Entry> m_tabs;
    int m_selected = -1;
    int m_selectedPage = -1;
    int m_selectedPower = -1;
    // The tab that was selected when its device went away, and the tab shown in its place: the
    // device's return selects it again unless the user chose another tab meanwhile.
    int m_returnTo = -1;
    int m_standIn = -1;
};

} // namespace nq::app
