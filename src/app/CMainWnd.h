#pragma once
// The main window ("XML_MAIN"): owner of the slot list, the device pages and tabs, the worker
// threads (discovery, synchronised lighting), the tray icon and the lighting-control state.
// It routes every notification of its controls by sender name, handles the messages of the
// discovery thread (device arrived / removed) and of other processes (identity, GUID messages),
// and passes lighting control to the devices on suspend and resume.
//
// Window messages of the original design map to methods here; the discovery thread reaches
// them through MainWndDiscoveryBridge (a blocking queued call), other processes through the
// single-instance socket (OnAppMessage), the system's sleep signal through logind on D-Bus.
#include "app/MainWndThreadTable.h"
#include "devices/DeviceConnections.h"
#include "devices/SyncLighting.h"
#include "hid/Catalogue.h"
#include "hid/Discovery.h"
#include "ui/CSkinWindow.h"

#include <QPointer>

#include <memory>
#include <vector>

class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace nq::app {

class DeviceSelector;
class MainWndDiscoveryBridge;

class CMainWnd : public ui::CSkinWindow {
    Q_OBJECT
public:
    static constexpr int kInitialWidth = 800;
    static constexpr int kInitialHeight = 572;
    // UI scale: the layout size at 96 dpi and the two scales.
    static constexpr int kScaledWidth = 1000;
    static constexpr int kScaledHeight = 640;
    static constexpr int kDpiNormal = 96;
    static constexpr int kDpiLarge = 144;
    // Timers of the window.
    static constexpr int kTimerUiScale = 1011;
    static constexpr int kTimerTrayMenu = 1032;
    static constexpr int kTimerProfileSwitch = 1055;

    explicit CMainWnd(QWidget* parent = nullptr);
    ~CMainWnd() override;

    // Registers the page widgets and device pages with the control factory under the class names
    // the layouts use (done by the constructor; the page classes of later pages register after).
    static void RegisterControls();
    // Adds the window's texts (skin/lang/mainwnd_<language>.json) that the loaded language lacks.
    static void MergeTexts();

    // Builds the window; false when its layout cannot be loaded.
    bool Create();
    void Notify(const ui::TNotify& msg) override;
    // A named message from another process (or from this one).
    void OnAppMessage(const QString& name, quintptr wParam, qintptr lParam);
    // Refreshes the empty-state view and raises the window; a hidden window is shown only when
    // showHidden is set (a second start of the program), not on every device arrival.
    void BringToFront(bool showHidden = true);

    // The set-up sequence ("windowinit"); runs once.
    void SetUp();
    bool IsSetUp() const { return m_setUp; }
    // Leaves the program: hides the window, stops the threads and ends the event loop.
    void Exit();
    // Stops the worker threads in the table's order (also run by the destructor).
    void StopThreads();

    // Lighting control: 1 while this program drives the device lighting.
    void SetLightingControl(bool on, bool broadcast);
    bool LightingControl() const { return m_lightingControl; }
    // System sleep: suspend passes lighting off to the devices, resume the current state again.
    void OnPowerSuspend();
    void OnPowerResume();
    bool IsAwake() const { return m_awake; }
    // Tray icon clicks.
    void OnTrayLeftClick();
    void OnTrayRightClick();
    // A popup-menu choice (tray menu items and the macro editor's items).
    void OnMenuItem(const QString& item);
    // The UI scale for the monitor that holds the window: 144 on screens larger than 1500 x 960.
    int ChooseUiScale();
    int UiScale() const { return m_uiScale; }

    // Shows the "setting_progress" view (message 3072).
    void ShowSettingProgress();
    // Clears the update mark on "setbtn" (message 3094).
    void ClearUpdateMark();

    // Device arrival and removal (the discovery thread's two messages).
    void OnDeviceArrived(int slotIndex);
    void OnDeviceRemoved(int slotIndex);

    // The window has been exposed and painted once (the devices are looked for from then on).
    bool IsPainted() const { return m_painted; }

    DeviceSelector& Selector() { return *m_selector; }
    std::vector<DeviceSlot>& Slots() { return m_slots; }
    DeviceConnections& Connections() { return *m_connections; }
    Discovery* DiscoveryObject() { return m_discovery.get(); }
    MainWndThreadTable& Threads() { return m_threads; }
    bool IsMouseInside() const { return m_mouseInside; }

signals:
    // The discovery thread's first pass is done (identity message with 0, 0).
    void firstPassDone();
    // The window was painted for the first time.
    void firstPaint();

protected:
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void OnPrepareForSleep(bool suspending);

private:
    void OnClick(const ui::TNotify& msg);
    void OnSelectChanged(const ui::TNotify& msg);
    void PassToPage(const ui::TNotify& msg);
    void ClosePopups();
    void CreateTray();
    void WatchSystemSleep();
    void WatchDisplays();
    void Broadcast(const QString& name, quintptr wParam, qintptr lParam);
    void StartWindowTimer(int id, int periodMs);
    void OnWindowTimer(int id);
    void ApplyLightingControl(bool on);
    void SetPreviewForAll(bool on);
    std::vector<CKelvaskUSBDevice*> AllDevices() const;
    // Starts the discovery thread (once): after the first paint, so the window never waits for
    // the devices' connection reads.
    void StartDiscovery();
    void OnFirstPaint();

    bool m_setUp = false;
    bool m_exiting = false;
    bool m_lightingControl = true;
    bool m_awake = true;
    bool m_active = false;
    bool m_mouseInside = false;
    bool m_scaleChosen = false;
    QSize m_scaledSize; // the size the last choice of the UI scale gave the window
    bool m_painted = false;
    bool m_watchingExpose = false;
    bool m_discoveryAfterPaint = false;
    bool m_discoveryStarted = false;
    int m_uiScale = kDpiNormal;
    std::vector<DeviceSlot> m_slots;
    std::unique_ptr<DeviceSelector> m_selector;
    std::unique_ptr<DeviceConnections> m_connections;
    std::unique_ptr<MainWndDiscoveryBridge> m_bridge;
    std::unique_ptr<Discovery> m_discovery;
    SyncLighting m_syncLighting;
    MainWndThreadTable m_threads;
    QSystemTrayIcon* m_tray = nullptr;
    QPointer<QMenu> m_trayMenu;
    std::map<int, QTimer*> m_timers;
};

} // namespace nq::app
