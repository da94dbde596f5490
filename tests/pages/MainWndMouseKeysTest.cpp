// The key editor's save to a slow mouse, through the whole window: the mouse's tab hands the
// outcome back to the page, and meanwhile the window and the other devices' streams go on.
#include "PagesSupport.h"
#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "devices/qt/CMousePageDevice.h"
#include "devices/qt/CMousePageUI.h"
#include "profiles/JsonFile.h"
#include "support/ScopedEnv.h"
#include "support/SimFixture.h"
#include "support/SimWire.h"
#include "ui/CControlAccess.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace nq;
using nq::app::CMainWnd;

namespace {

constexpr int kForward = 3;
constexpr uint8_t kStreamLighting = 18;
constexpr int kWaitMs = 30000;

size_t FramesSentTo(const std::vector<std::string>& lines, const std::string& path)
{
    size_t n = 0;
    for (const nqtest::WireReport& report : nqtest::SentVendorReports(lines, path))
        n += report.command == kStreamLighting ? 1 : 0;
    return n;
}

} // namespace

TEST(MainWndMouseKeys, KeySaveToASlowMouseLeavesTheWindowAndTheOtherStreamsGoing)
{
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    const nqtest::ScopedEnv dataHome("XDG_DATA_HOME", data.path().toStdString());

    {
        nqtest::SimEnvironment sim({"mouse", "mousepad"});
        CMainWnd window;
        ASSERT_TRUE(window.Create());
        window.show();
        ASSERT_TRUE(nqtest::WaitFor([&] { return window.IsSetUp(); }));
        pages::CMousePageUI* page = nullptr;
        ASSERT_TRUE(nqtest::WaitFor(
            [&] {
                for (CKelvaskUSBDevice* device : window.Connections().DevicesOfKind(kKindMouse)) {
                    const int index = window.Selector().IndexOf(device);
                    if (window.Selector().IsTabVisible(index) && device->Info().DpiStep() > 0)
                        page = qobject_cast<pages::CMousePageUI*>(window.Selector().Page(index));
                }
                return page != nullptr;
            },
            kWaitMs));
        const std::string padPath = sim.PathOf("mousepad", 1, 4);
        ASSERT_FALSE(padPath.empty());
        ASSERT_TRUE(nqtest::WaitFor([&] { return FramesSentTo(sim.WireLines(), padPath) > 0; }, kWaitMs))
            << "the mousepad streams";

        // Forward does Ctrl + C.
        ui::CControlAccess::Find<QAbstractButton>(page, "key_Op_tab")->click();
        ui::CControlAccess::Find<QAbstractButton>(page, QString("key_%1").arg(kForward))->click();
        ASSERT_EQ(page->Mouse().SelectedKey(), kForward);
        auto* function = ui::CControlAccess::Find<QComboBox>(page, "keyset_function_combo");
        function->setCurrentIndex(function->findData("11"));
        ui::CControlAccess::Find<QComboBox>(page, "keyset_combokey_combo")->setCurrentIndex(4);

        // Every reply of the mouse comes late (within the channel's time limit).
        ASSERT_EQ(sim.Sim().FirmwareControl("mouse", {"delay", "900", "1..1000"}), "ok");
        sim.ClearWireLines();
        ui::CControlAccess::Find<QAbstractButton>(page, "key_butt_prosave")->click();
        ASSERT_TRUE(page->KeyEditor()->Saving());
        // The mousepad's frames go on while the mouse's save waits for its replies.
        ASSERT_TRUE(nqtest::WaitFor([&] { return FramesSentTo(sim.WireLines(), padPath) >= 3; }, kWaitMs));
        EXPECT_TRUE(page->KeyEditor()->Saving()) << "the save was over before the mousepad sent three frames";

        ASSERT_TRUE(nqtest::WaitFor([&] { return !page->KeyEditor()->Saving(); }, kWaitMs));
        EXPECT_EQ(sim.Sim().FirmwareControl("mouse", {"clear"}), "ok");
        // Mouse, profile file and page agree on the new function.
        const std::vector<uint8_t> keymap =
            nqtest::SimMemoryArea(sim.Sim(), "mouse", "keymap", data.filePath("memory.bin").toStdString());
        const size_t slot = size_t(page->Mouse().KeyIndexMap().at(kForward));
        ASSERT_GE(keymap.size(), 3 * slot + 3);
        EXPECT_EQ(std::vector<uint8_t>(keymap.begin() + 3 * slot, keymap.begin() + 3 * slot + 3),
                  (std::vector<uint8_t>{0x20, 0x01, 0x06}));
        const Json::Value profile = ReadJsonFile(page->Mouse().CurrentProfilePath());
        EXPECT_EQ(profile["Device"][0]["KeyList"][kForward]["Assignment"].asUInt(), 0x200106u);
        EXPECT_EQ(ui::CControlAccess::Find<QAbstractButton>(page, QString("key_%1").arg(kForward))->toolTip(),
                  "Left Ctrl+C");
        EXPECT_EQ(page->Mouse().StatusKey(), "");
        window.StopThreads();
    }
}
