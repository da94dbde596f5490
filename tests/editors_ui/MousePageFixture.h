#pragma once
// A mouse page built from its layout in a real skin window, its mouse object connected to the
// simulated mouse (over the simulator's sockets) with the default profile of the mouse tests.
#include "PageTestSupport.h"
#include "mouse/MouseTestRig.h"

#include "devices/qt/CMousePageDevice.h"
#include "hid/Catalogue.h"
#include "profiles/JsonFile.h"
#include "devices/qt/CMousePageUI.h"
#include "ui/CControlAccess.h"
#include "ui/CSkinWindow.h"

#include <QAbstractButton>
#include <QComboBox>

#include <memory>

namespace nqtest {

class MousePageTest : public MouseSimTest {
public:
    static constexpr int kForward = 3; // the page's Forward button

protected:
    // The catalogue's mouse layout row: the program builds the page with these counts.
    static inline const int kKeyButtons = nq::Catalogue().DeviceLayouts().at(0).keyEntries;
    static inline const int kLeds = nq::Catalogue().DeviceLayouts().at(0).lightingPoints;

    void SetUp() override
    {
        MouseSimTest::SetUp();
        PreparePageSkin();
        StartSim({"mouse"});
        m_device = "mouse";
        m_vendorPath = SimPath("mouse", 1, 4);
        window = std::make_unique<nq::ui::CSkinWindow>();
        ASSERT_TRUE(window->LoadLayout(nq::pages::CMousePageUI::kLayoutName));
        page = qobject_cast<nq::pages::CMousePageUI*>(window->Root());
        ASSERT_NE(page, nullptr);
        window->AddNotifier(page);
        auto& m = page->Mouse();
        m.SetPageXmlName(nq::pages::CMousePageUI::kLayoutName);
        m.SetKeyButtonCount(kKeyButtons);
        m.SetLedCount(kLeds);
        m.SetProfileName("profile_a");
        m.SetLightConfigName("drovo_light");
        m.InitPage();
    }
    void TearDown() override
    {
        window.reset();
        MouseSimTest::TearDown();
    }

    // Opens the page's mouse on the simulator and runs its connection step.
    void ConnectPage()
    {
        ASSERT_TRUE(page->Mouse().Channel().Open(m_vendorPath));
        page->Mouse().OnConnected();
        page->Mouse().StopLightingThread();
        ClearSent();
    }

    QWidget* Control(const QString& name) const { return nq::ui::CControlAccess::FindControl(page, name); }

    // The three bytes of page button `key` in the simulated mouse's key table.
    Bytes KeySlot(int key)
    {
        const size_t slot = size_t(page->Mouse().KeyIndexMap().at(size_t(key)));
        const Bytes keymap = Area("keymap");
        return Bytes(keymap.begin() + 3 * slot, keymap.begin() + 3 * slot + 3);
    }
    // A click on the key button on the key tab hands the key to the editor.
    void SelectKey(int key)
    {
        page->Mouse().SetPageState(2);
        Get<QAbstractButton>(QString("key_%1").arg(key))->click();
        ASSERT_EQ(page->Mouse().SelectedKey(), key);
    }
    // Function "key combination", Ctrl + C.
    void ChooseCtrlC()
    {
        auto* function = Get<QComboBox>("keyset_function_combo");
        function->setCurrentIndex(function->findData("11"));
        Get<QComboBox>("keyset_combokey_combo")->setCurrentIndex(4);
    }
    // What the page tells of key button `key`.
    QString KeyText(int key) { return Get<QAbstractButton>(QString("key_%1").arg(key))->toolTip(); }
    QString Text(const QString& name) const { return nq::ui::CControlAccess::GetText(Control(name)); }
    // The device node of the profile file as saved.
    Json::Value SavedNode() const;
    template <class T>
    T* Get(const QString& name) const
    {
        return qobject_cast<T*>(Control(name));
    }

    std::unique_ptr<nq::ui::CSkinWindow> window;
    nq::pages::CMousePageUI* page = nullptr;
};

inline Json::Value MousePageTest::SavedNode() const
{
    return nq::ReadJsonFile(page->Mouse().CurrentProfilePath())["Device"][0];
}

} // namespace nqtest
