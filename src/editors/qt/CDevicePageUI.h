#pragma once
// The page of one device: the container the device page layout names by its root class
// ("KelvaskKeyboardDevice", "KelvaskMouseDevice", "KelvaskMousePadDevice", "KelvaskVA6533Device").
// It owns the device object and is that object's page (IDevicePage over the widget tree).
// The status line ("device_status_line", a label along the bottom edge of the part of the page in
// view, created when first needed) tells what became of the user's last change; it never blocks
// the window. A page taller than its scroll area keeps the line in view as it scrolls.
#include "devices/CKelvaskUSBDevice.h"
#include "devices/IDevicePage.h"
#include "editors/qt/CQtPageControl.h"

#include <QLabel>
#include <QPointer>
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
    void ShowStatus(const std::string& textKey) override;

    // The status line's label, or nullptr before the first status.
    QLabel* StatusLine() const { return m_statusLine; }
    // The page's "DeviceProfileItem".
    IProfileList* ProfileList() override;

    // The adapter of a widget of this page (created on first use).
    IPageControl* AdapterOf(QWidget* widget) const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // ---- for the device pages ----
    // A control of the page by name, or nullptr; Row(prefix, n) finds "prefix" + n.
    QWidget* Find(const QString& name) const;
    QWidget* Row(const char* prefix, int n) const;
    // The loaded language's text for a key.
    static QString Tr(const QString& key);
    static QString Tr(const std::string& key);
    static QString Tr(const char* key);

private:
    void PlaceStatusLine();

    std::unique_ptr<CKelvaskUSBDevice> m_device;
    QPointer<QLabel> m_statusLine;
    mutable std::map<QWidget*, std::unique_ptr<CQtPageControl>> m_adapters;
};

} // namespace nq::pages
