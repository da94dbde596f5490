// The device selector over the main layout: pages from the catalogue, tabs shown and hidden as
// devices come and go, the empty state and synchronised-lighting availability.
#include "PagesSupport.h"
#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "devices/CKelvaskUSBDevice.h"
#include "devices/DeviceConnections.h"
#include "editors/qt/CDeviceOptionUI.h"
#include "editors/qt/CDevicePageUI.h"
#include "ui/CControlAccess.h"

#include <QStackedWidget>
#include <gtest/gtest.h>

using namespace nq;
using nq::app::DeviceSelector;
using nq::ui::CControlAccess;

namespace {

struct SelectorRig {
    SelectorRig()
    {
        app::CMainWnd::RegisterControls();
        window.LoadLayout("XML_MAIN");
        built = selector.BuildDevicePages(slotList, catalogue, connections, "");
        keyboard = connections.DevicesOfKind(kKindKeyboard).at(0);
        pad = connections.DevicesOfKind(kKindMousePad).at(0);
        headset = connections.DevicesOfKind(kKindHeadset).at(0);
        mouse = connections.DevicesOfKind(kKindMouse).at(0);
    }
    QWidget* Find(const char* name) { return window.FindControl(name); }
    bool NoDeviceShown() { return !Find("No_device_Link")->isHidden(); }
    int TabOf(CKelvaskUSBDevice* device) { return selector.IndexOf(device); }

    nqtest::RecordingWindow window;
    Catalogue catalogue;
    std::vector<DeviceSlot> slotList = catalogue.SupportedInterfaces();
    DeviceSelector selector{&window};
    DeviceConnections connections{slotList, selector};
    int built = 0;
    CKelvaskUSBDevice* keyboard = nullptr;
    CKelvaskUSBDevice* pad = nullptr;
    CKelvaskUSBDevice* headset = nullptr;
    CKelvaskUSBDevice* mouse = nullptr;
};

} // namespace

TEST(DeviceSelector, PagesAreBuiltHiddenWithTheirDeviceSettings)
{
    SelectorRig rig;
    EXPECT_GE(rig.built, 3);
    EXPECT_EQ(rig.selector.VisibleCount(), 0);
    EXPECT_TRUE(rig.NoDeviceShown());
    EXPECT_EQ(CControlAccess::CurrentPage(rig.Find("device_switch")), 1);
    EXPECT_EQ(rig.keyboard->LedCount(), 126);
    EXPECT_EQ(rig.keyboard->FolderName(), "keyboard");
    EXPECT_EQ(rig.keyboard->GetVariant(), 0);
    EXPECT_EQ(rig.keyboard->Slot().kind, kKindKeyboard);
    EXPECT_TRUE(rig.keyboard->Slot().path.empty());
    EXPECT_NE(rig.keyboard->LightButton(0), nullptr);   // the page's key caps are bound
    EXPECT_EQ(rig.keyboard->LightButton(125), nullptr); // a position without a key on this keyboard
    EXPECT_EQ(rig.pad->FolderName(), "MousePad");
    EXPECT_EQ(rig.headset->LedCount(), 13);
    nq::pages::CDeviceOptionUI* tab = rig.selector.Tab(rig.TabOf(rig.keyboard));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->IconStem(), "kb_device");
    EXPECT_EQ(tab->BoundPageName(), "device_switch");
    EXPECT_EQ(rig.keyboard->TimerHost(), tab);
}

TEST(DeviceSelector, OnlyKeyboardIsSelectedAndNotSynchronisable)
{
    SelectorRig rig;
    rig.selector.ShowConnectedDevice(*rig.keyboard);
    const int k = rig.TabOf(rig.keyboard);
    EXPECT_TRUE(rig.selector.IsTabVisible(k));
    EXPECT_TRUE(rig.selector.Tab(k)->IsSelected());
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.keyboard);
    EXPECT_FALSE(rig.NoDeviceShown());
    EXPECT_EQ(CControlAccess::CurrentPage(rig.Find("device_switch")), rig.selector.Tab(k)->BoundPageIndex());
    EXPECT_FALSE(rig.keyboard->IsSyncAvailable());
    EXPECT_TRUE(rig.selector.Tab(k)->SyncCheck()->isHidden());
    EXPECT_TRUE(rig.selector.Tab(k)->IsTimerArmed(kTimerConnected)); // started
}

TEST(DeviceSelector, RemovingTheSelectedDeviceSelectsAnother)
{
    SelectorRig rig;
    rig.selector.ShowConnectedDevice(*rig.keyboard);
    rig.selector.ShowConnectedDevice(*rig.pad);
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.keyboard); // the first one stays selected
    EXPECT_TRUE(rig.keyboard->IsSyncAvailable());
    EXPECT_FALSE(rig.selector.Tab(rig.TabOf(rig.pad))->SyncCheck()->isHidden());

    // Synchronised lighting: one checked device is not enough, two are.
    auto* keyboardCheck = rig.selector.Tab(rig.TabOf(rig.keyboard))->SyncCheck();
    auto* padCheck = rig.selector.Tab(rig.TabOf(rig.pad))->SyncCheck();
    CControlAccess::SetSelected(keyboardCheck, true, false);
    rig.selector.OnSynchroChanged(keyboardCheck);
    EXPECT_FALSE(rig.keyboard->Channel().LightingSynced());
    CControlAccess::SetSelected(keyboardCheck, true, false);
    CControlAccess::SetSelected(padCheck, true, false);
    rig.selector.OnSynchroChanged(padCheck);
    rig.selector.OnSynchroChanged(keyboardCheck);
    EXPECT_TRUE(rig.keyboard->Channel().LightingSynced());
    EXPECT_TRUE(rig.pad->Channel().LightingSynced());

    bool hidingSelected = false;
    rig.selector.onHidingSelected = [&] { hidingSelected = true; };
    rig.selector.HideDevice(*rig.keyboard);
    EXPECT_TRUE(hidingSelected);
    EXPECT_FALSE(rig.selector.IsTabVisible(rig.TabOf(rig.keyboard)));
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.pad);
    EXPECT_EQ(rig.selector.SelectedIndex(), rig.TabOf(rig.pad));
    // Fewer than two devices shown: synchronised lighting is gone.
    EXPECT_FALSE(rig.pad->Channel().LightingSynced());
    EXPECT_FALSE(rig.selector.Tab(rig.TabOf(rig.pad))->IsSynchronised());

    rig.selector.HideDevice(*rig.pad);
    EXPECT_EQ(rig.selector.SelectedDevice(), nullptr);
    EXPECT_TRUE(rig.NoDeviceShown());
    EXPECT_EQ(CControlAccess::CurrentPage(rig.Find("device_switch")), 1);
    EXPECT_EQ(CControlAccess::CurrentPage(rig.Find("device_power_switch")), 0);
}

TEST(DeviceSelector, ADeviceThatComesBackIsShownAgainUnlessTheUserMovedOn)
{
    SelectorRig rig;
    rig.selector.ShowConnectedDevice(*rig.keyboard);
    rig.selector.ShowConnectedDevice(*rig.mouse);
    rig.selector.ShowConnectedDevice(*rig.pad);
    rig.selector.ShowDeviceTab(rig.TabOf(rig.mouse), true, true); // the user picks the mouse
    ASSERT_EQ(rig.selector.SelectedDevice(), rig.mouse);

    // Unplugged: another page stands in; plugged again: back to the mouse.
    rig.selector.HideDevice(*rig.mouse);
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.keyboard);
    rig.selector.ShowConnectedDevice(*rig.mouse);
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.mouse);

    // The user chose the mousepad meanwhile: that choice stays.
    rig.selector.HideDevice(*rig.mouse);
    rig.selector.ShowDeviceTab(rig.TabOf(rig.pad), true, true);
    rig.selector.ShowConnectedDevice(*rig.mouse);
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.pad);
    EXPECT_TRUE(rig.selector.IsTabVisible(rig.TabOf(rig.mouse)));

    // A device that was not selected when it left does not take the page when it returns.
    rig.selector.HideDevice(*rig.keyboard);
    rig.selector.ShowConnectedDevice(*rig.keyboard);
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.pad);
}

TEST(DeviceSelector, PreviousAndNextStopAtTheEnds)
{
    SelectorRig rig;
    rig.selector.ShowConnectedDevice(*rig.keyboard);
    rig.selector.ShowConnectedDevice(*rig.pad);
    rig.selector.ShowConnectedDevice(*rig.headset);
    // Tabs follow the device-page table: mouse, keyboard, mousepad, headset.
    rig.selector.SelectPrevious(); // keyboard is the first visible tab
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.keyboard);
    rig.selector.SelectNext();
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.pad);
    rig.selector.SelectNext();
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.headset);
    rig.selector.SelectNext();
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.headset);
    rig.selector.SelectPrevious();
    EXPECT_EQ(rig.selector.SelectedDevice(), rig.pad);
    int selectedTabs = 0;
    for (int i = 0; i < rig.selector.TabCount(); ++i)
        selectedTabs += rig.selector.Tab(i)->IsSelected() ? 1 : 0;
    EXPECT_EQ(selectedTabs, 1);
}

TEST(DeviceSelector, FunctionTabsSetThePageState)
{
    SelectorRig rig;
    EXPECT_EQ(DeviceSelector::FunctionTabNumber("macro_Op_tab"), 3);
    EXPECT_EQ(DeviceSelector::FunctionTabNumber("Virtual7.1_Op_tab"), 8);
    EXPECT_EQ(DeviceSelector::FunctionTabNumber("other"), 0);
    rig.selector.OnFunctionTab(5); // nothing selected: nothing happens
    rig.selector.ShowConnectedDevice(*rig.keyboard);
    rig.selector.OnFunctionTab(5);
    EXPECT_EQ(rig.keyboard->GetPageState(), 5);
    auto* functions = qobject_cast<QStackedWidget*>(
        CControlAccess::FindControl(rig.selector.Page(rig.TabOf(rig.keyboard)), "device_function_switch"));
    ASSERT_NE(functions, nullptr);
    EXPECT_EQ(functions->currentIndex(), 2);
}
