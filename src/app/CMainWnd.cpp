#include "app/CMainWnd.h"

#include "app/CAppMessages.h"
#include "app/CMessageRegistry.h"
#include "app/DeviceSelector.h"
#include "app/MainWndDiscoveryBridge.h"
#include "common/DebugLog.h"
#include "devices/CKelvaskUSBDevice.h"
#include "devices/qt/CKeyboardPageUI.h"
#include "devices/qt/CMousePageUI.h"
#include "editors/qt/CDeviceKeyButtonUI.h"
#include "editors/qt/CDeviceOptionUI.h"
#include "editors/qt/CDevicePageUI.h"
#include "editors/qt/CLightControlUI.h"
#include "editors/qt/CMpDevicePowerUI.h"
#include "editors/qt/CRedioMacroButtonUI.h"
#include "editors/qt/CSelectPanelUI.h"
#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/controls/CChartViewUI.h"
#include "ui/controls/CCircleProgressUI.h"
#include "ui/controls/CComboEditContainerElementUI.h"
#include "ui/controls/CHandImgButtonUI.h"
#include "ui/controls/CHandImgSelectButtonUI.h"
#include "ui/controls/CWndUI.h"
#include "ui/CPopupMenu.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinPaths.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace nq::app {

using ui::CControlAccess;

namespace {

constexpr const char* kDbusPath = "/org/nq501/Messages";
constexpr const char* kDbusInterface = "org.nq501.Messages";
constexpr int kTopmostPauseMs = 10;
constexpr int kTrayMenuDelayMs = 10;
constexpr int kUiScaleDelayMs = 100;
// Discovery starts after the first paint, or after this long when no paint is reported.
constexpr int kPaintWaitLimitMs = 1000;

// Milliseconds since this process started (10 ms resolution), for the start-up diagnostics.
long long MsSinceProcessStart()
{
    std::ifstream file("/proc/self/stat");
    std::string text;
    std::getline(file, text);
    const size_t end = text.rfind(')');
    if (end == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(end + 1));
    std::string field;
    // Field 22, the start time in clock ticks since boot; fields after the name start at 3.
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    const long ticks = sysconf(_SC_CLK_TCK);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const long long started = std::atoll(field.c_str()) * 1000 / (ticks > 0 ? ticks : 100);
    return now.tv_sec * 1000LL + now.tv_nsec / 1000000 - started;
}

// The lighting editors offer same mode while two or more devices are shown (the selector has just
// decided that); same mode reaches the devices keyboards first, then mice, then the others.
void ShareSameMode(DeviceSelector& selector)
{
    auto devices = [&selector] {
        auto rank = [](const CKelvaskUSBDevice* d) {
            const int type = d->DeviceType();
            return type == LightEditorModel::kKeyboard ? 0 : (type == LightEditorModel::kMouse || type == 6) ? 1 : 2;
        };
        std::vector<CKelvaskUSBDevice*> all = selector.Devices();
        std::stable_sort(all.begin(), all.end(), [&](auto* a, auto* b) { return rank(a) < rank(b); });
        std::vector<LightEditorModel::SameModeDevice> targets;
        for (CKelvaskUSBDevice* d : all) {
            if (auto* target = dynamic_cast<LightEditorModel::Target*>(d))
                targets.push_back({target, rank(d) == 0});
        }
        return targets;
    };
    for (int i = 0; i < selector.TabCount(); ++i) {
        pages::CDevicePageUI* page = selector.Page(i);
        auto* editor = page ? page->findChild<pages::CLightControlUI*>("LightControlItem") : nullptr;
        if (!editor)
            continue;
        editor->sameModeDevices = devices;
        editor->SetSameModePermission(page->Device().IsSyncAvailable() ? 1 : 0);
    }
}

// Click names that one editor or profile action handles (their pages take them).
bool IsEditorAction(const QString& name)
{
    static const QStringList prefixes = {"color_option_", "LightTab1_color_option_", "LightTab2_color_option_",
                                         "key_", "windowdeviceset_", "macro_", "shootdate_", "bullet_selected_",
                                         "device_", "hs_EQ_btn_", "custom_", "deng_same_mode",
                                         "LightTab1_deng_same_mode", "LightTab2_deng_same_mode", "default_btn",
                                         "reset_repeat_btn", "profile_fun_spread_btn", "WebLink_btn"};
    for (const QString& prefix : prefixes)
        if (name.startsWith(prefix))
            return true;
    return false;
}

} // namespace

CMainWnd::CMainWnd(QWidget* parent) : CSkinWindow(parent)
{
    setObjectName("MainWnd");
    setAttribute(Qt::WA_Hover, true);
    RegisterControls();
}

void CMainWnd::RegisterControls()
{
    auto& factory = ui::CControlFactory::Instance();
    factory.RegistControl<pages::CSelectPanelUI>(pages::CSelectPanelUI::kClassName);
    factory.RegistControl<pages::CDeviceKeyButtonUI>(pages::CDeviceKeyButtonUI::kClassName);
    factory.RegistControl<pages::CDeviceOptionUI>(pages::CDeviceOptionUI::kClassName);
    factory.RegistControl<pages::CMpDevicePowerUI>(pages::CMpDevicePowerUI::kClassName);
    factory.RegistControl<pages::CRedioMacroButtonUI>(pages::CRedioMacroButtonUI::kClassName);
    // The draw-only widgets, under the names the page layouts use.
    factory.RegistControl<ui::CCircleProgressUI>("CircleProgress");
    factory.RegistControl<ui::CChartViewUI>("ChartView");
    factory.RegistControl<ui::CWndUI>("Wnd");
    factory.RegistControl<ui::CHandImgButtonUI>("HandImgButton");
    factory.RegistControl<ui::CHandImgSelectButtonUI>("HandImgSelectButton");
    factory.RegistControl<ui::CComboEditContainerElementUI>("ComboEditContainerElement");
    pages::CDevicePageUI::RegisterClasses();
    // Pages with their own handlers replace the plain page of their device.
    pages::CMousePageUI::RegisterClasses();
    pages::CKeyboardPageUI::RegisterClasses();
}

CMainWnd::~CMainWnd()
{
    StopThreads();
}

void CMainWnd::MergeTexts()
{
    ui::CResourceManager::Instance().MergeLanguagePart("mainwnd");
}

bool CMainWnd::Create()
{
    nq::DebugOut("InitWindow");
    // The language file of the window; the user's remembered language replaces it below until
    // the language choice exists: the system's language, Chinese or English.
    auto& texts = ui::CResourceManager::Instance();
    texts.LoadLanguage("lan_cn.xml");
    if (QLocale::system().language() != QLocale::Chinese)
        texts.LoadLanguage("lan_en.xml");
    MergeTexts();
    pages::CMousePageUI::MergePageTexts();
    pages::CKeyboardPageUI::MergePageTexts();
    if (!LoadLayout("XML_MAIN"))
        return false;
    setWindowTitle(CAppMessages::kIdentity);
    setWindowIcon(QIcon(ui::CSkinPaths::SkinFolder() + "common/logo.png"));
    // The window is shown once, at the size of its UI scale: no jump after it appears.
    ChooseUiScale();
    m_selector = std::make_unique<DeviceSelector>(this);
    m_selector->onBringToFront = [this] { BringToFront(false); };
    m_selector->onHidingSelected = [this] {
        ClosePopups();
        // A macro recording of the page stops with its page (the macro editor's own stop).
        nq::DebugOut("macro recording stopped with its device");
    };
    m_connections = std::make_unique<DeviceConnections>(m_slots, *m_selector);
    CreateTray();
    return true;
}

// ---- set-up and shutdown ----

void CMainWnd::SetUp()
{
    if (m_setUp)
        return;
    // Lighting control is on: other programs leave the devices' lighting alone.
    Broadcast(QString::fromStdString(CAppMessages::GuidNames()[1]), 1, 1);

    const Catalogue& catalogue = Catalogue::Default();
    m_slots = catalogue.SupportedInterfaces();
    QElapsedTimer building;
    building.start();
    const int pages = m_selector->BuildDevicePages(m_slots, catalogue, *m_connections, "");
    nq::DebugOutF("%d device pages built in %lld ms", pages, static_cast<long long>(building.elapsed()));

    show();

    m_bridge = std::make_unique<MainWndDiscoveryBridge>(
        this, [this](int slot) { OnDeviceArrived(slot); }, [this](int slot) { OnDeviceRemoved(slot); },
        [this] {
            OnAppMessage(CAppMessages::kIdentity, 0, 0);
            emit firstPassDone();
        });
    m_discovery = std::make_unique<Discovery>(m_slots, *m_bridge, catalogue);
    // The devices are looked for once the window has been painted; a window that is not shown
    // (or whose platform never reports it exposed) does not wait for that.
    if (m_painted || !isVisible()) {
        StartDiscovery();
    } else {
        m_discoveryAfterPaint = true;
        QTimer::singleShot(kPaintWaitLimitMs, this, [this] { StartDiscovery(); });
    }
    m_threads.Start(MainWndThreadTable::kSyncLighting, [this, devices = AllDevices()](StopEvent& stop) {
        return m_syncLighting.Run(stop, [devices] { return devices; });
    });

    StartWindowTimer(kTimerUiScale, kUiScaleDelayMs);
    m_setUp = true;
}

void CMainWnd::StartDiscovery()
{
    m_discoveryAfterPaint = false;
    if (!m_discovery || m_discoveryStarted || m_threads.Stopped())
        return;
    m_discoveryStarted = true;
    m_threads.Start(MainWndThreadTable::kDiscovery, [this](StopEvent& stop) {
        m_bridge->SetStopEvent(&stop);
        return m_discovery->Run(stop);
    });
}

void CMainWnd::showEvent(QShowEvent* event)
{
    CSkinWindow::showEvent(event);
    if (!m_watchingExpose && windowHandle()) {
        m_watchingExpose = true;
        windowHandle()->installEventFilter(this);
    }
}

bool CMainWnd::eventFilter(QObject* watched, QEvent* event)
{
    // The widgets are painted while the expose event is handled; the queued call runs after it.
    if (!m_painted && event->type() == QEvent::Expose && watched == windowHandle())
        QTimer::singleShot(0, this, [this] {
            if (!m_painted && windowHandle() && windowHandle()->isExposed())
                OnFirstPaint();
        });
    return CSkinWindow::eventFilter(watched, event);
}

void CMainWnd::OnFirstPaint()
{
    m_painted = true;
    nq::DebugOutF("main window painted %lld ms after the process started (%dx%d)", MsSinceProcessStart(), width(),
                  height());
    emit firstPaint();
    if (m_discoveryAfterPaint)
        StartDiscovery();
}

void CMainWnd::StopThreads()
{
    if (m_threads.Stopped())
        return;
    hide();
    m_threads.StopAll();
    // The devices' own threads end before any widget goes away.
    for (CKelvaskUSBDevice* device : AllDevices()) {
        device->SetPreviewEnabled(false);
        device->StopWorkers();
    }
}

void CMainWnd::Exit()
{
    if (m_exiting)
        return;
    m_exiting = true;
    nq::DebugOut("退出测试");
    ClosePopups();
    StopThreads();
    if (m_tray)
        m_tray->hide();
    if (WorkerThread::RunawayCount() > 0) {
        // A thread that ignored its stop may still reach the objects the destructors would free:
        // leave at once instead.
        fflush(nullptr);
        _exit(0);
    }
    qApp->quit();
}

void CMainWnd::closeEvent(QCloseEvent* event)
{
    // Closing the window keeps the program in the tray; it ends through the tray menu.
    if (!m_exiting && m_tray) {
        ClosePopups();
        hide();
        event->ignore();
        return;
    }
    if (!m_exiting) {
        Exit();
        event->accept();
        return;
    }
    CSkinWindow::closeEvent(event);
}

// ---- notifications ----

void CMainWnd::Notify(const ui::TNotify& msg)
{
    const QString name = msg.SenderName();
    if (msg.type != "timer") {
        nq::DebugOut(msg.type.toStdString());
        nq::DebugOut(name.toStdString());
    }
    if (msg.type == "click_wpremove" || msg.type == "click_wpedit")
        return;
    if (!m_awake && msg.type != "windowinit")
        return;

    if (msg.type == "windowinit") {
        SetUp();
    } else if (msg.type == "click") {
        OnClick(msg);
    } else if (msg.type == "selectchanged") {
        OnSelectChanged(msg);
    } else if (msg.type == "itemselect" && name == "device_profile_combo") {
        StartWindowTimer(kTimerProfileSwitch, 400);
        PassToPage(msg);
    } else if (msg.type != "windowsize") {
        // Sliders, combos, edits, key-area selections, colour palettes: the page's editors.
        PassToPage(msg);
    }
}

void CMainWnd::PassToPage(const ui::TNotify& msg)
{
    if (!m_selector)
        return;
    if (auto* receiver = dynamic_cast<ui::INotifyUI*>(m_selector->SelectedPage()))
        receiver->Notify(msg);
}

void CMainWnd::OnClick(const ui::TNotify& msg)
{
    const QString name = msg.SenderName();
    if (name == "closebtn") {
        ClosePopups();
        hide();
    } else if (name == "nodevice_ok_btn") {
        hide();
    } else if (name == "minbtn") {
        SendSysCommand(SysCommand::Minimize);
    } else if (name == "maxbtn") {
        SendSysCommand(SysCommand::Maximize);
    } else if (name == "restorebtn") {
        SendSysCommand(SysCommand::Restore);
    } else if (name == "control_light_status") {
        SetLightingControl(!m_lightingControl, true);
    } else if (name == "device_select_prev") {
        m_selector->SelectPrevious();
    } else if (name == "device_select_next") {
        m_selector->SelectNext();
    } else if (name == "skinbtn" || name == "setbtn") {
        nq::DebugOutF("%s: its window comes with the settings", name.toUtf8().constData());
    } else if (IsEditorAction(name)) {
        PassToPage(msg);
    } else if (CKelvaskUSBDevice* device = m_selector->SelectedDevice(); device && device->DeviceType() == kKindKeyboard) {
        CControlAccess::SetText(CControlAccess::FindControl(m_selector->SelectedPage(), "repeat_input_richedit"), "");
        PassToPage(msg);
    } else {
        PassToPage(msg);
    }
}

void CMainWnd::OnSelectChanged(const ui::TNotify& msg)
{
    const QString name = msg.SenderName();
    if (name == "device_select") {
        m_selector->OnDeviceTabSelected();
    } else if (name == "synchro_device_select") {
        m_selector->OnSynchroChanged(msg.sender);
    } else if (int tab = DeviceSelector::FunctionTabNumber(name); tab > 0) {
        if (CControlAccess::IsSelected(msg.sender))
            m_selector->OnFunctionTab(tab);
        PassToPage(msg);
    } else {
        PassToPage(msg);
    }
}

// ---- messages from other processes ----

void CMainWnd::OnAppMessage(const QString& name, quintptr wParam, qintptr lParam)
{
    const auto& guids = CAppMessages::GuidNames();
    const std::string text = name.toStdString();
    if (text == CAppMessages::kIdentity) {
        unsigned number = CMessageRegistry::Instance().Register(text);
        nq::DebugOutF("软件标示 %d，%xd_%xd", number, static_cast<unsigned>(wParam), static_cast<unsigned>(lParam));
        // lParam 1: a second start of the program; 0: the first discovery pass.
        BringToFront(lParam != 0);
        return;
    }
    if (!m_awake)
        return;
    if (text == guids[0]) {
        nq::DebugOut("settings window message");
    } else if (text == guids[2]) {
        if (wParam == 1) {
            nq::DebugOut(lParam ? "控制灯光" : "不控制灯光");
            SetLightingControl(lParam != 0, false);
        }
    } else if (text == guids[3]) {
        nq::DebugOut("supported devices requested by the tool window");
    } else {
        nq::DebugOutF("message %s %llu %lld", name.toUtf8().constData(), static_cast<unsigned long long>(wParam),
                      static_cast<long long>(lParam));
    }
}

void CMainWnd::Broadcast(const QString& name, quintptr wParam, qintptr lParam)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kDbusPath, kDbusInterface, "Broadcast");
    signal << name << static_cast<qulonglong>(wParam) << static_cast<qlonglong>(lParam);
    bus.send(signal);
}

void CMainWnd::BringToFront(bool showHidden)
{
    if (m_selector && !m_selector->RefreshEmptyState())
        CControlAccess::SelectPage(FindControl("device_switch"), 1);
    if (isHidden() && !showHidden)
        return;
    if (isMinimized())
        SendSysCommand(SysCommand::Restore);
    show();
    raise();
    activateWindow();
}

// ---- lighting control and power ----

std::vector<CKelvaskUSBDevice*> CMainWnd::AllDevices() const
{
    return m_connections ? m_connections->AllDevices() : std::vector<CKelvaskUSBDevice*>{};
}

void CMainWnd::ApplyLightingControl(bool on)
{
    // Mice, mousepads and keyboards (the headset's lighting is its own).
    for (CKelvaskUSBDevice* device : AllDevices())
        if (device->DeviceType() != kKindHeadset)
            device->SetLightingEnabled(on);
}

void CMainWnd::SetLightingControl(bool on, bool broadcast)
{
    m_lightingControl = on;
    if (broadcast)
        Broadcast(QString::fromStdString(CAppMessages::GuidNames()[1]), 1, on ? 1 : 0);
    CControlAccess::SetTextKey(FindControl("control_light_status"),
                               on ? "control_light_on_text" : "control_light_off_text");
    ApplyLightingControl(on);
}

void CMainWnd::OnPowerSuspend()
{
    m_awake = false;
    ApplyLightingControl(false);
}

void CMainWnd::OnPowerResume()
{
    m_awake = true;
    ApplyLightingControl(m_lightingControl);
}

void CMainWnd::OnPrepareForSleep(bool suspending)
{
    if (suspending)
        OnPowerSuspend();
    else
        OnPowerResume();
}

void CMainWnd::WatchSystemSleep()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    bus.connect("org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                "PrepareForSleep", this, SLOT(OnPrepareForSleep(bool)));
}

void CMainWnd::SetPreviewForAll(bool on)
{
    for (CKelvaskUSBDevice* device : AllDevices())
        if (device->DeviceType() != kKindHeadset)
            device->SetPreviewEnabled(on);
}

void CMainWnd::changeEvent(QEvent* event)
{
    CSkinWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        m_active = isActiveWindow();
        m_mouseInside = m_active;
        SetPreviewForAll(m_mouseInside);
    }
}

void CMainWnd::enterEvent(QEnterEvent* event)
{
    CSkinWindow::enterEvent(event);
    nq::DebugOut("鼠标移入");
    if (!m_active) {
        m_mouseInside = true;
        SetPreviewForAll(true);
    }
}

void CMainWnd::leaveEvent(QEvent* event)
{
    CSkinWindow::leaveEvent(event);
    nq::DebugOut("鼠标移出");
    if (!m_active) {
        m_mouseInside = false;
        SetPreviewForAll(false);
    }
}

void CMainWnd::ShowSettingProgress()
{
    CControlAccess::SetVisible(FindControl("setting_progress"), true);
}

void CMainWnd::ClearUpdateMark()
{
    CControlAccess::SetForeImage(FindControl("setbtn"), "");
}

// ---- devices ----

// Arrivals and removals are handled even between suspend and resume: devices are often
// enumerated again around a resume, and a device whose arrival was dropped would stay without
// its channel until it is plugged again. A device arriving then gets the suspended lighting state.
void CMainWnd::OnDeviceArrived(int slotIndex)
{
    if (!m_connections)
        return;
    m_connections->OnDeviceArrived(slotIndex);
    if (!m_awake)
        ApplyLightingControl(false);
    if (m_selector)
        ShareSameMode(*m_selector);
}

void CMainWnd::OnDeviceRemoved(int slotIndex)
{
    if (m_connections)
        m_connections->OnDeviceRemoved(slotIndex);
    if (m_selector)
        ShareSameMode(*m_selector);
}

// ---- tray, menus, timers and scale ----

void CMainWnd::WatchDisplays()
{
    auto follow = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, [this] {
            nq::DebugOut("显示器分辨率发生变化");
            if (m_setUp)
                ChooseUiScale();
        });
        connect(screen, &QScreen::logicalDotsPerInchChanged, this, [] { nq::DebugOut("界面 DPI 发生变化"); });
    };
    for (QScreen* screen : QGuiApplication::screens())
        follow(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, follow);
}

void CMainWnd::CreateTray()
{
    WatchSystemSleep();
    WatchDisplays();
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(CAppMessages::kIdentity);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            OnTrayLeftClick();
        else if (reason == QSystemTrayIcon::Context)
            OnTrayRightClick();
    });
    m_tray->show();
}

void CMainWnd::OnTrayLeftClick()
{
    if (m_selector)
        m_selector->RefreshEmptyState();
    ClosePopups();
    if (isVisible() && !isMinimized()) {
        hide();
        return;
    }
    ChooseUiScale();
    if (isMinimized())
        SendSysCommand(SysCommand::Restore);
    show();
    raise();
    activateWindow();
    update();
}

void CMainWnd::OnTrayRightClick()
{
    StartWindowTimer(kTimerTrayMenu, kTrayMenuDelayMs);
}

void CMainWnd::OnMenuItem(const QString& item)
{
    if (item == "exit") {
        ClosePopups();
        Exit();
    } else if (item == "about_menu" || item == "setwnd_menu") {
        nq::DebugOutF("%s: its window comes with the settings", item.toUtf8().constData());
    } else if (!item.isEmpty()) {
        // Recording-time and mouse-action items belong to the macro editor of the page.
        ui::TNotify msg;
        msg.type = "menu";
        msg.sender = this;
        PassToPage(msg);
        nq::DebugOutF("menu item %s", item.toUtf8().constData());
    }
}

void CMainWnd::ClosePopups()
{
    if (m_trayMenu)
        m_trayMenu->close();
}

void CMainWnd::StartWindowTimer(int id, int periodMs)
{
    QTimer*& timer = m_timers[id];
    if (!timer) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, id] { OnWindowTimer(id); });
    }
    timer->start(periodMs);
}

void CMainWnd::OnWindowTimer(int id)
{
    switch (id) {
    case kTimerUiScale:
        ChooseUiScale();
        update();
        break;
    case kTimerTrayMenu:
        m_trayMenu = ui::CPopupMenu::Popup("menu.xml", QCursor::pos(), this,
                                           [this](const QString& item) { OnMenuItem(item); });
        break;
    case kTimerProfileSwitch:
        // The profile list of the page switches the device to the chosen profile.
        nq::DebugOut("profile switch");
        break;
    default:
        break;
    }
}

int CMainWnd::ChooseUiScale()
{
    const bool wasVisible = isVisible();
    QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, kScaledWidth, kScaledHeight);
    const int scale = area.width() > 1500 && area.height() > 960 ? kDpiLarge : kDpiNormal;
    // Already laid out at that scale: sizing it down and up again would only make it jump.
    if (m_scaleChosen && scale == m_uiScale && size() == m_scaledSize) {
        CenterWindow();
        return m_uiScale;
    }
    m_scaleChosen = true;
    m_uiScale = scale;
    SetAllWindowsDpi(kDpiNormal);
    resize(kScaledWidth, kScaledHeight);
    SetAllWindowsDpi(m_uiScale);
    m_scaledSize = size();
    CenterWindow();
    setVisible(wasVisible);
    return m_uiScale;
}

} // namespace nq::app
