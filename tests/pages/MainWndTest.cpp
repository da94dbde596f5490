// The main window on the simulator: devices come and go through the real discovery thread, the
// thread table stops in bounded time, lighting control follows the user, other programs and sleep.
#include "PagesSupport.h"
#include "../spine/DebugCapture.h"
#include "app/CAppMessages.h"
#include "app/CApplication.h"
#include "app/CMainWnd.h"
#include "app/CustomControls.h"
#include "app/DeviceSelector.h"
#include "devices/CKelvaskUSBDevice.h"
#include "editors/qt/CDeviceOptionUI.h"
#include "hid/CommandChannel.h"
#include "devsim/SimDeviceSetup.h"
#include "support/SimFixture.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <QWindow>

#include <atomic>
#include <map>
#include <set>
#include <sstream>
#include <thread>

using namespace nq;
using nq::app::CMainWnd;

namespace {

CKelvaskUSBDevice* Keyboard(CMainWnd& window)
{
    return window.Connections().DevicesOfKind(kKindKeyboard).at(0);
}

bool TabShown(CMainWnd& window, CKelvaskUSBDevice* device)
{
    return window.Selector().IsTabVisible(window.Selector().IndexOf(device));
}

// The device of a kind whose tab is shown (a kind has a page per catalogue row).
CKelvaskUSBDevice* ShownDevice(CMainWnd& window, int kind)
{
    for (CKelvaskUSBDevice* device : window.Connections().DevicesOfKind(kind))
        if (TabShown(window, device))
            return device;
    return nullptr;
}

} // namespace

TEST(MainWnd, DevicesComeAndGoWithTheirTabs)
{
    nqtest::SimEnvironment sim({"keyboard"});
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    ASSERT_TRUE(nqtest::WaitFor([&] { return window.IsSetUp(); }));
    CKelvaskUSBDevice* keyboard = Keyboard(window);
    ASSERT_TRUE(nqtest::WaitFor([&] { return TabShown(window, keyboard); }));
    EXPECT_EQ(window.Selector().SelectedDevice(), keyboard);
    EXPECT_TRUE(keyboard->Channel().IsOpen());
    EXPECT_TRUE(nqtest::WaitFor([&] { return keyboard->IsNotificationOpen(); }));
    EXPECT_TRUE(window.FindControl("No_device_Link")->isHidden());

    // Unplugged: the tab goes within a pass or two.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(sim.Sim().Unplug("keyboard"));
    ASSERT_TRUE(nqtest::WaitFor([&] { return !TabShown(window, keyboard); }));
    EXPECT_LT(clock.elapsed(), 400);
    EXPECT_FALSE(keyboard->Channel().IsOpen());
    EXPECT_FALSE(window.FindControl("No_device_Link")->isHidden());
    EXPECT_EQ(window.Selector().SelectedDevice(), nullptr);

    // Back again: shown, and its frames run once it has been read.
    ASSERT_TRUE(sim.Sim().Plug("keyboard"));
    ASSERT_TRUE(nqtest::WaitFor([&] { return TabShown(window, keyboard); }));
    auto* tab = window.Selector().Tab(window.Selector().IndexOf(keyboard));
    EXPECT_TRUE(nqtest::WaitFor([&] { return tab->IsTimerArmed(kTimerLightFrame); }, 1500));

    clock.restart();
    window.StopThreads();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(window.Threads().IsRunning(app::MainWndThreadTable::kDiscovery));
    EXPECT_FALSE(window.Threads().IsRunning(app::MainWndThreadTable::kSyncLighting));
}

TEST(MainWnd, ThreadTableGivesUpAThreadThatIgnoresItsStop)
{
    nqtest::DebugCapture log;
    std::atomic<bool> release{false};
    app::MainWndThreadTable table;
    table.Start(app::MainWndThreadTable::kDiscovery, [](StopEvent& stop) {
        stop.Wait(kHidInfinite);
        return 0;
    });
    table.Start(5, [&release](StopEvent&) {
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return 0;
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(table.StopAll(300), 1);
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 900);
    EXPECT_EQ(log.Count("所有对象处于激发状态"), 1);
    EXPECT_EQ(log.Count("所有对象处于非激发状态，超时"), 1);
    EXPECT_EQ(log.Count("错误"), 18); // every unused entry, each followed by its index
    EXPECT_EQ(log.Count("19"), 1);
    EXPECT_EQ(table.StopAll(), 0); // only once
    release = true;
}

TEST(MainWnd, LightingControlFollowsUserOtherProgramsAndSleep)
{
    nqtest::SimEnvironment sim; // an empty bus
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.SetUp();
    CKelvaskUSBDevice* keyboard = Keyboard(window);
    CKelvaskUSBDevice* headset = window.Connections().DevicesOfKind(kKindHeadset).at(0);
    EXPECT_TRUE(window.LightingControl());

    const QString guid17 = QString::fromStdString(app::CAppMessages::GuidNames()[2]);
    window.OnAppMessage(guid17, 0, 0); // wParam 0: ignored
    EXPECT_TRUE(keyboard->IsLightingEnabled());
    window.OnAppMessage(guid17, 1, 0);
    EXPECT_FALSE(window.LightingControl());
    EXPECT_FALSE(keyboard->IsLightingEnabled());
    window.OnAppMessage(guid17, 1, 1);
    EXPECT_TRUE(keyboard->IsLightingEnabled());

    window.OnPowerSuspend();
    EXPECT_FALSE(window.IsAwake());
    EXPECT_FALSE(keyboard->IsLightingEnabled());
    EXPECT_TRUE(headset->IsLightingEnabled()); // the headset is left alone
    window.OnAppMessage(guid17, 1, 0);         // asleep: ignored
    EXPECT_TRUE(window.LightingControl());
    window.OnPowerResume();
    EXPECT_TRUE(keyboard->IsLightingEnabled());

    window.SetLightingControl(false, false);
    window.OnPowerSuspend();
    window.OnPowerResume();
    EXPECT_FALSE(keyboard->IsLightingEnabled()); // resume passes the state it had
    window.StopThreads();
}

// A picture of the main window with simulated devices, for review (scripts/screenshot-main.sh).
// Runs only when NQ501_SCREENSHOT names the output file.
TEST(MainWndScreenshot, AllDevices)
{
    const QString output = qEnvironmentVariable("NQ501_SCREENSHOT");
    if (output.isEmpty())
        GTEST_SKIP() << "NQ501_SCREENSHOT not set";
    nqtest::SimEnvironment sim(nqsim::SimKindNames()); // the simulator's full default set
    app::RegisterCustomControls();
    app::CApplication::ApplyStyleSheet();
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    ASSERT_TRUE(nqtest::WaitFor([&] { return window.Selector().VisibleCount() == 6; }, 8000));
    // The wired mouse's page on its Performance tab, once its connection read is in.
    CKelvaskUSBDevice* mouse = ShownDevice(window, kKindMouse);
    ASSERT_NE(mouse, nullptr);
    ASSERT_EQ(mouse->Slot().productId, 0x5F10);
    window.Selector().ShowDeviceTab(window.Selector().IndexOf(mouse), true, true);
    ASSERT_TRUE(nqtest::WaitFor([&] { return mouse->Info().DpiStep() != 0; }, 5000));
    mouse->SetPageState(4);
    QTest::qWait(800);
    EXPECT_TRUE(window.grab().save(output));
    window.StopThreads();
}

namespace {

// The request bytes of the host-to-device wire lines, by interface path.
std::map<std::string, std::vector<std::vector<int>>> Requests(const std::vector<std::string>& lines)
{
    std::map<std::string, std::vector<std::vector<int>>> byPath;
    for (const std::string& line : lines) {
        if (line.rfind("> ", 0) != 0)
            continue;
        std::istringstream fields(line.substr(2));
        std::string path, byte;
        fields >> path;
        std::vector<int> bytes;
        while (fields >> byte)
            bytes.push_back(std::stoi(byte, nullptr, 16));
        byPath[path].push_back(bytes);
    }
    return byPath;
}

bool HasCommand(const std::vector<std::vector<int>>& requests, int command)
{
    for (const auto& bytes : requests)
        if (bytes.size() > 3 && bytes[0] == 4 && bytes[3] == command)
            return true;
    return false;
}

} // namespace

TEST(MainWnd, FullSimulatedSetGetsATabPerDeviceReadOnItsOwnSocket)
{
    nqtest::SimEnvironment sim(nqsim::SimKindNames());
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    ASSERT_TRUE(nqtest::WaitFor([&] { return window.IsSetUp() && window.Selector().VisibleCount() == 6; }, 8000));

    // Each shown tab's device is on its own command interface, of its own kind.
    struct Expect {
        const char* device;
        const char* link;
        uint16_t interfaceNumber, collection;
        int kind;
        bool readsKeyTable;
    };
    const Expect expected[] = {
        {"mouse", "", 1, 4, kKindMouse, true},          {"rxmouse", "wired", 1, 4, kKindMouse, true},
        {"mousepad", "", 1, 4, kKindMousePad, false},   {"chargepad", "", 1, 4, kKindMousePad, false},
        {"headset", "", 3, 0, kKindHeadset, false},
    };
    auto onPath = [&](const Expect& e) -> CKelvaskUSBDevice* {
        const std::string path = sim.PathOf(e.device, e.interfaceNumber, e.collection, e.link);
        for (CKelvaskUSBDevice* candidate : window.Selector().Devices())
            if (candidate->Channel().IsOpen() && candidate->Slot().path == path)
                return candidate;
        return nullptr;
    };
    // (The receiver mouse's receiver link may come first; it moves to its wire when that comes.)
    ASSERT_TRUE(nqtest::WaitFor([&] { return onPath(expected[1]) != nullptr; }, 5000));
    std::set<CKelvaskUSBDevice*> devices;
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.device);
        CKelvaskUSBDevice* device = onPath(e);
        ASSERT_NE(device, nullptr);
        EXPECT_TRUE(TabShown(window, device));
        EXPECT_EQ(device->DeviceType(), e.kind);
        devices.insert(device);
    }
    EXPECT_EQ(devices.size(), std::size(expected));
    ASSERT_NE(ShownDevice(window, kKindKeyboard), nullptr);

    // The connection reads: device information on every one of those sockets, the key table only
    // on the mice's, nothing on any other interface.
    ASSERT_TRUE(nqtest::WaitFor(
        [&] {
            const auto requests = Requests(sim.WireLines());
            for (const Expect& e : expected) {
                auto it = requests.find(sim.PathOf(e.device, e.interfaceNumber, e.collection, e.link));
                if (it == requests.end() || !HasCommand(it->second, CMD_READ_DEVICE_INFO))
                    return false;
            }
            return true;
        },
        5000));
    const auto requests = Requests(sim.WireLines());
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.device);
        const auto& sent = requests.at(sim.PathOf(e.device, e.interfaceNumber, e.collection, e.link));
        EXPECT_EQ(HasCommand(sent, CMD_READ_KEYMAP), e.readsKeyTable);
    }
    // (The receiver mouse may have been talked to on its receiver link before its wire came.)
    std::set<std::string> allowed = {sim.PathOf("keyboard", 1, 4), sim.PathOf("rxmouse", 1, 4, "receiver")};
    for (const Expect& e : expected)
        allowed.insert(sim.PathOf(e.device, e.interfaceNumber, e.collection, e.link));
    for (const auto& [path, sent] : requests)
        EXPECT_TRUE(allowed.count(path)) << path;
    window.StopThreads();
}

TEST(MainWnd, MapsOnceAtItsFinalSizeAndPaintsBeforeTheDevicesAreRead)
{
    nqtest::SimEnvironment sim(nqsim::SimKindNames());
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    const QSize created = window.size();
    // The size of the window's UI scale from the start; choosing it again changes nothing.
    EXPECT_EQ(created.width(), CMainWnd::kScaledWidth * window.UiScale() / 96);
    EXPECT_GE(created.height(), CMainWnd::kScaledHeight * window.UiScale() / 96); // or the layout's least
    EXPECT_EQ(window.ChooseUiScale(), window.UiScale());
    EXPECT_EQ(window.size(), created);

    std::vector<QSize> sizesWhileShown;
    size_t requestsAtFirstPaint = 0;
    bool tabsAtFirstPaint = true;
    QObject::connect(&window, &CMainWnd::firstPaint, [&] {
        requestsAtFirstPaint = sim.WireLines().size();
        tabsAtFirstPaint = window.Selector().VisibleCount() > 0;
    });
    struct SizeWatch : QObject {
        std::vector<QSize>* sizes;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Resize && static_cast<QWidget*>(watched)->isVisible())
                sizes->push_back(static_cast<QWidget*>(watched)->size());
            return false;
        }
    } watch;
    watch.sizes = &sizesWhileShown;
    window.installEventFilter(&watch);
    window.show();
    ASSERT_TRUE(nqtest::WaitFor([&] { return window.IsPainted(); }, 5000));
    EXPECT_FALSE(tabsAtFirstPaint);
    EXPECT_EQ(requestsAtFirstPaint, 0u) << "painted after a device was talked to";
    // The pages fill in afterwards, and the UI-scale timer of the set-up does not resize it.
    ASSERT_TRUE(nqtest::WaitFor([&] { return window.Selector().VisibleCount() == 6; }, 8000));
    QTest::qWait(200);
    for (const QSize& size : sizesWhileShown)
        EXPECT_EQ(size, created);
    EXPECT_EQ(window.size(), created);
    window.StopThreads();
}

TEST(MainWnd, DeviceVanishingMidTransferOrNotAnsweringDoesNotHang)
{
    nqtest::SimEnvironment sim({"mouse"}); // the mouse streams a lighting frame every 50 ms
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    CKelvaskUSBDevice* mouse = nullptr;
    ASSERT_TRUE(nqtest::WaitFor([&] {
        mouse = window.IsSetUp() ? ShownDevice(window, kKindMouse) : nullptr;
        return mouse != nullptr;
    }));
    auto* tab = window.Selector().Tab(window.Selector().IndexOf(mouse));
    ASSERT_TRUE(nqtest::WaitFor([&] { return tab->IsTimerArmed(kTimerLightFrame); }, 1500));

    // The device stops answering for a while: each frame waits at most the channel's time
    // limit, the event loop keeps running.
    sim.Sim().FirmwareControl("mouse", {"delay", "1500", "1"});
    QElapsedTimer clock;
    clock.start();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(100);
    QTest::qWait(2500);
    EXPECT_GE(ticks, 5); // no freeze beyond one transfer's time limit
    EXPECT_TRUE(mouse->Channel().IsOpen());

    // It leaves the bus in the middle of a frame: the tab goes, and comes back with it.
    sim.Sim().FirmwareControl("mouse", {"unplug", "1"});
    ASSERT_TRUE(nqtest::WaitFor([&] { return !TabShown(window, mouse); }, 3000));
    ASSERT_TRUE(sim.Sim().Plug("mouse"));
    EXPECT_TRUE(nqtest::WaitFor([&] { return TabShown(window, mouse); }, 3000));
    window.StopThreads();
}

TEST(MainWnd, DeviceArrivingWhileAsleepIsConnectedWithLightingOff)
{
    nqtest::SimEnvironment sim;
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    ASSERT_TRUE(nqtest::WaitFor([&] { return window.IsSetUp(); }));
    CKelvaskUSBDevice* keyboard = Keyboard(window);
    window.OnPowerSuspend();
    ASSERT_TRUE(sim.Sim().AddDevice("keyboard"));
    ASSERT_TRUE(nqtest::WaitFor([&] { return TabShown(window, keyboard); }));
    EXPECT_TRUE(keyboard->Channel().IsOpen());
    EXPECT_FALSE(keyboard->IsLightingEnabled());
    window.OnPowerResume();
    EXPECT_TRUE(keyboard->IsLightingEnabled());
    window.StopThreads();
}

TEST(MainWnd, ReplugBringsTheMousePageBack)
{
    nqtest::SimEnvironment sim({"keyboard", "mouse"});
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    // Until the settings window exists, the gear button would do nothing: it is not offered.
    EXPECT_FALSE(window.FindControl("setbtn")->isVisible());
    CKelvaskUSBDevice* mouse = nullptr;
    ASSERT_TRUE(nqtest::WaitFor([&] {
        mouse = window.IsSetUp() ? ShownDevice(window, kKindMouse) : nullptr;
        return mouse && TabShown(window, Keyboard(window));
    }));
    auto* tab = window.Selector().Tab(window.Selector().IndexOf(mouse));
    auto* select = tab->findChild<QAbstractButton*>("device_select");
    ASSERT_NE(select, nullptr);
    select->click();
    ASSERT_EQ(window.Selector().SelectedDevice(), mouse);

    ASSERT_TRUE(sim.Sim().Unplug("mouse"));
    ASSERT_TRUE(nqtest::WaitFor([&] { return !TabShown(window, mouse); }));
    EXPECT_EQ(window.Selector().SelectedDevice(), Keyboard(window));
    ASSERT_TRUE(sim.Sim().Plug("mouse"));
    ASSERT_TRUE(nqtest::WaitFor([&] { return TabShown(window, mouse); }));
    EXPECT_EQ(window.Selector().SelectedDevice(), mouse);
    window.StopThreads();
}

TEST(MainWnd, CloseButtonHidesAndDevicesStayConnected)
{
    nqtest::SimEnvironment sim({"keyboard"});
    CMainWnd window;
    ASSERT_TRUE(window.Create());
    window.show();
    CKelvaskUSBDevice* keyboard = nullptr;
    ASSERT_TRUE(nqtest::WaitFor([&] {
        keyboard = window.IsSetUp() ? Keyboard(window) : nullptr;
        return keyboard && TabShown(window, keyboard);
    }));
    auto* close = qobject_cast<QAbstractButton*>(window.FindControl("closebtn"));
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_TRUE(window.isHidden());
    QTest::qWait(300);
    EXPECT_TRUE(keyboard->Channel().IsOpen());
    EXPECT_TRUE(window.Threads().IsRunning(app::MainWndThreadTable::kDiscovery));

    // A device arriving while the window is hidden does not pop it up; a second start does.
    ASSERT_TRUE(sim.Sim().Unplug("keyboard"));
    ASSERT_TRUE(sim.Sim().Plug("keyboard"));
    QTest::qWait(400);
    EXPECT_TRUE(window.isHidden());
    window.OnAppMessage(app::CAppMessages::kIdentity, 0, 1);
    EXPECT_FALSE(window.isHidden());
    window.StopThreads();
}
