#pragma once
// The page of one device: the container the device page layout names by its root class
// ("KelvaskKeyboardDevice", "KelvaskMouseDevice", "KelvaskMousePadDevice", "KelvaskVA6533Device").
// It owns the device object and is that object's page (IDevicePage over the widget tree).
#include "devices/CKelvaskUSBDevice.h"
#include "devices/IDevicePage.h"
#include "editors/qt/CQtPageControl.h"

#include <QWidget>

#include <map>
#include <memory>

namespace nq::pages {

class CDevicePageUI : public QWidget, public IDevicePage {
    Q_OBJECT
public:
    CDevicePageUI(std::unique_ptr<CKelvaskUSBDevice> device, QWidget* parent = nullptr);
    ~CDevicePageUI() override;

    CKelvaskUSBDevice& Device() { return *m_device; }

    // Registers the four device page classes with the control factory.
    static void RegisterClasses();

    // IDevicePage
    std::string ClassName() const override;
    std::string Name() const override;
    std::string UserData() const override;
    std::string Text() const override;
    bool IsVisible() const override;
    void SetVisible(bool visible) override;
    void Invalidate() override;
    std::vector<IPageControl*> Children() const override;
    void SetLightColour(uint32_t colour, uint8_t level, bool show) override;
    void SelectTab(int index) override;
    IPageControl* FindControl(const std::string& name) override;
    // The page's "DeviceProfileItem".
    IProfileList* ProfileList() override;

    // The adapter of a widget of this page (created on first use).
    IPageControl* AdapterOf(QWidget* widget) const;

private:
    std::unique_ptr<CKelvaskUSBDevice> m_device;
    mutable std::map<QWidget*, std::unique_ptr<CQtPageControl>> m_adapters;
};

} // namespace nq::pages
