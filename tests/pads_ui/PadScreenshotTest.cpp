// Pictures of the pad pages for review: runs only when NQ501_SCREENSHOT names the output file
// (scripts/screenshot-pads.sh sets it and runs this under Xvfb). Writes <name>-mousepad.png (a
// static blue pad with three LEDs given their own red breathing, picked) and <name>-chargepad.png
// (the charging pad with its power display).
#include "PadPageFixture.h"

#include "app/CApplication.h"
#include "editors/qt/CMpDevicePowerUI.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace nqtest {
namespace {

using nq::LightSetting;

class PadPageScreenshot : public PadPageTest {
protected:
    void Shoot(QWidget* what, const char* suffix)
    {
        const QFileInfo info(qEnvironmentVariable("NQ501_SCREENSHOT"));
        const QString file = QString("%1/%2-%3.png").arg(info.path(), info.completeBaseName(), suffix);
        QApplication::processEvents();
        QTest::qWait(50);
        ASSERT_TRUE(what->grab().save(file)) << file.toStdString();
        std::printf("%s\n", qPrintable(file));
    }
    // Runs the pad's effect for a moment and shows the frame on the picture.
    void RunLighting()
    {
        for (int i = 0; i < 60; ++i)
            page->Pad().Engine().Advance(5, nq::LightingClockMs() + uint32_t(i) * 10);
        page->Pad().OutputLightFrame();
    }
};

TEST_F(PadPageScreenshot, WritesPictures)
{
    if (qEnvironmentVariable("NQ501_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "set NQ501_SCREENSHOT to write the pictures";
    PreparePageSkin();
    ASSERT_TRUE(nq::app::CApplication::ApplyStyleSheet());
    BuildPage();
    window->resize(page->size());
    window->show();
    auto* effects = nq::ui::CControlAccess::FindControl(page->LightEditor(), "light_combo_modeSelect");
    nq::ui::CControlAccess::SelectItem(effects, 3); // static
    for (int led : {4, 5, 6})
        page->PickLed(led, true);
    nq::ui::CControlAccess::SelectItem(Control("led_record_combo"), 2); // static red below
    LightSetting red = page->Pad().MainLightSetting();
    red[LightSetting::kRed] = 255;
    red[LightSetting::kGreen] = 0;
    red[LightSetting::kBlue] = 0;
    red[LightSetting::kEffect] = 1;
    page->Pad().SetLedRecords({4, 5, 6}, red);
    RunLighting();
    Shoot(window.get(), "mousepad");

    window.reset();
    BuildPage(nq::pages::CMousePadPageUI::kChargePadLayoutName, "chargepad");
    ASSERT_EQ(Fw({"battery", "65"}), "ok");
    ASSERT_EQ(Fw({"phone", "2"}), "ok");
    // The power display sits above the page, as in the main window's power bar.
    QWidget frame;
    auto* box = new QVBoxLayout(&frame);
    auto* power = new nq::pages::CMpDevicePowerUI;
    power->SetKind(3);
    box->addWidget(power, 0, Qt::AlignRight);
    window->setParent(&frame);
    box->addWidget(window.get());
    page->Pad().SetPollsStatus(1);
    page->Pad().SetPowerDisplay(power);
    frame.resize(page->width() + 20, page->height() + 60);
    frame.show();
    RunLighting();
    Shoot(&frame, "chargepad");
    page->Pad().SetPowerDisplay(nullptr);
    window->setParent(nullptr);
}

} // namespace
} // namespace nqtest
