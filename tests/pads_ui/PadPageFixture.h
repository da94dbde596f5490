#pragma once
// A pad page built from its layout in a real skin window, its pad connected to the simulated pad
// (over the simulator's sockets) with the program's default pad profile.
#include "editors_ui/PageTestSupport.h"
#include "pads/PadTestRig.h"

#include "devices/qt/CMousePadPageDevice.h"
#include "profiles/JsonFile.h"
#include "devices/qt/CMousePadPageUI.h"
#include "ui/CControlAccess.h"
#include "ui/CSkinWindow.h"

#include <memory>

namespace nqtest {

class PadPageTest : public PadSimTest {
protected:
    static constexpr int kLeds = 15;

    void SetUp() override { PadSimTest::SetUp(); }
    void TearDown() override
    {
        window.reset();
        PadSimTest::TearDown();
    }

    // The page's profile file as it lies on disk: the page's profile list names it.
    Json::Value SavedNode() const { return nq::ReadJsonFile(page->Pad().CurrentProfilePath())["Device"][0]; }

    // Builds the page of `layout` and opens its pad on the simulated `kind`, connected.
    void BuildPage(const char* layout = nq::pages::CMousePadPageUI::kLayoutName, const std::string& kind = "mousepad")
    {
        PreparePageSkin();
        nq::pages::CMousePadPageUI::RegisterClasses();
        StartSim({kind});
        m_device = kind;
        m_vendorPath = SimPath(kind, 1, 4);
        window = std::make_unique<nq::ui::CSkinWindow>();
        ASSERT_TRUE(window->LoadLayout(layout));
        page = qobject_cast<nq::pages::CMousePadPageUI*>(window->Root());
        ASSERT_NE(page, nullptr);
        window->AddNotifier(page);
        auto& p = page->Pad();
        p.SetPageXmlName(layout);
        p.SetLedCount(kLeds);
        p.SetProfileName("profile_a");
        p.SetVariant(2);
        p.SetLightConfigName("drovo_light");
        p.InitPage();
        ASSERT_TRUE(p.Channel().Open(m_vendorPath));
        p.OnConnected();
        p.StopLightingThread();
        ClearSent();
    }

    QWidget* Control(const QString& name) const { return nq::ui::CControlAccess::FindControl(page, name); }

    std::unique_ptr<nq::ui::CSkinWindow> window;
    nq::pages::CMousePadPageUI* page = nullptr;
};

} // namespace nqtest
