#pragma once
// A mouse page built from its layout in a real skin window, its mouse object connected to the
// simulated mouse (over the simulator's sockets) with the default profile of the mouse tests.
#include "PageTestSupport.h"
#include "mouse/MouseTestRig.h"

#include "devices/MouseSettingsBlock.h"
#include "devices/qt/CMousePageDevice.h"
#include "devices/qt/CMousePageUI.h"
#include "ui/CControlAccess.h"
#include "ui/CSkinWindow.h"

#include <memory>

namespace nqtest {

// The X resolution of DPI stage `stage` in the mouse's configuration memory.
inline uint16_t StageX(const Bytes& config, int stage)
{
    const size_t at = nq::MouseSettingsBlock::kFirstStage + nq::MouseSettingsBlock::kStageBytes * size_t(stage) + 2;
    return uint16_t(config[at] | (config[at + 1] << 8));
}

class MousePageTest : public MouseSimTest {
protected:
    static constexpr int kKeyButtons = 6; // the catalogue's mouse layout row
    static constexpr int kLeds = 7;

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
    template <class T>
    T* Get(const QString& name) const
    {
        return qobject_cast<T*>(Control(name));
    }

    std::unique_ptr<nq::ui::CSkinWindow> window;
    nq::pages::CMousePageUI* page = nullptr;
};

} // namespace nqtest
