#pragma once
// A keyboard page built from its layout in a real skin window, its keyboard object connected to
// the simulated keyboard (over the simulator's sockets) with the installed default profile.
#include "PageTestSupport.h"
#include "keyboard/KeyboardTestRig.h"

#include "devices/qt/CKeyboardPageDevice.h"
#include "devices/qt/CKeyboardPageUI.h"
#include "devices/qt/CKeyboardPicture.h"
#include "ui/CControlAccess.h"
#include "ui/CSkinWindow.h"

#include <memory>

namespace nqtest {

class KeyboardPageTest : public KeyboardSimTest {
protected:
    void SetUp() override
    {
        KeyboardSimTest::SetUp();
        PreparePageSkin();
        StartSim({"keyboard"});
        m_device = "keyboard";
        m_vendorPath = SimPath("keyboard", 1, 4);
        window = std::make_unique<nq::ui::CSkinWindow>();
        ASSERT_TRUE(window->LoadLayout(nq::pages::CKeyboardPageUI::kLayoutName));
        page = qobject_cast<nq::pages::CKeyboardPageUI*>(window->Root());
        ASSERT_NE(page, nullptr);
        window->AddNotifier(page);
        auto& k = page->Keyboard();
        k.SetPageXmlName(nq::pages::CKeyboardPageUI::kLayoutName);
        k.SetKeyButtonCount(126);
        k.SetLedCount(126);
        k.SetProfileName("profile_k");
        k.SetLightConfigName("drovo_light");
        k.InitPage();
    }
    void TearDown() override
    {
        window.reset();
        KeyboardSimTest::TearDown();
    }

    // Opens the page's keyboard on the simulator and runs its connection step.
    void ConnectPage()
    {
        ASSERT_TRUE(page->Keyboard().Channel().Open(m_vendorPath));
        page->Keyboard().OnConnected();
        ClearSent();
    }
    nq::CKelvaskKeyboardDevice& Kb() { return page->Keyboard(); }

    QWidget* Control(const QString& name) const { return nq::ui::CControlAccess::FindControl(page, name); }
    template <class T>
    T* Get(const QString& name) const
    {
        return qobject_cast<T*>(Control(name));
    }
    // Raises a notification as the bridge would.
    void Raise(const QString& name, const QString& type, quintptr wParam = 0)
    {
        QWidget* sender = Control(name);
        ASSERT_NE(sender, nullptr) << name.toStdString();
        nq::ui::TNotify msg;
        msg.sender = sender;
        msg.type = type;
        msg.wParam = wParam;
        page->Notify(msg);
    }

    std::unique_ptr<nq::ui::CSkinWindow> window;
    nq::pages::CKeyboardPageUI* page = nullptr;
};

} // namespace nqtest
