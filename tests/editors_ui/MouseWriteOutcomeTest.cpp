// What becomes of a change the mouse refuses, one lost to an unplug, and one made while the mouse
// answers slowly: the page's status line, the profile file and the simulated mouse's memory must
// agree, and the window's thread never waits for the mouse.
#include "MousePageFixture.h"

#include "devices/CKelvaskMousePadDevice.h"
#include "devices/MouseSettingsBlock.h"
#include "editors/LightEditorModel.h"
#include "editors/qt/CDeviceOptionUI.h"
#include "profiles/JsonFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

using namespace nq;
using nqtest::Bytes;

namespace {

constexpr int kWaitMs = 15000;
constexpr size_t kRed = 6;

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

uint16_t StageX(const Bytes& config, int stage)
{
    const size_t at = MouseSettingsBlock::StageStart(stage) + 2;
    return uint16_t(config[at] | (config[at + 1] << 8));
}

} // namespace

class MouseWriteOutcome : public nqtest::MousePageTest {
protected:
    void TearDown() override
    {
        tab.reset();
        nqtest::MousePageTest::TearDown();
    }

    // A device tab hosts the mouse: its transfers then run on the mouse's transfer worker and
    // their results come back through the event loop.
    void AttachTab()
    {
        tab = std::make_unique<pages::CDeviceOptionUI>();
        tab->AttachDevice(&page->Mouse());
        page->Mouse().SetTimerHost(tab.get());
        ASSERT_TRUE(page->Mouse().TransfersInBackground());
    }
    bool WaitForStatus(const std::string& key)
    {
        return QTest::qWaitFor([&] { return page->Mouse().StatusKey() == key; }, kWaitMs);
    }
    QString StatusText() const
    {
        auto* line = page->StatusLine();
        return line && line->isVisibleTo(page) ? line->text() : QString();
    }
    Json::Value SavedNode() { return ReadJsonFile(page->Mouse().CurrentProfilePath())["Device"][0]; }
    void TypeDpi(int stage, int dpi)
    {
        auto* edit = Get<QLineEdit>(QString("DPI_edit_%1").arg(stage));
        edit->setText(QString::number(dpi));
        emit edit->returnPressed();
    }
    // Wire lines of one collection path: requests ('>') or replies ('<'), optionally of one command.
    int CountLines(char direction, const std::string& path, int command = -1)
    {
        const std::string prefix = std::string(1, direction) + " " + path + " ";
        int n = 0;
        for (const std::string& line : Env().WireLines()) {
            if (line.rfind(prefix, 0) != 0)
                continue;
            // Byte 3 of the report is the command: "04 cs cs CC".
            const std::string bytes = line.substr(prefix.size());
            if (command < 0 || (bytes.size() >= 11 && std::stoi(bytes.substr(9, 2), nullptr, 16) == command))
                ++n;
        }
        return n;
    }

    // Reopens the mouse's channel and runs the connection step to its end: its reads, and the
    // write-back when one is due. The wire lines start with it.
    void Reconnect()
    {
        auto& mouse = page->Mouse();
        mouse.Channel().Close();
        ASSERT_TRUE(mouse.Channel().Open(SimPath("mouse", 1, 4)));
        ClearSent();
        mouse.OnConnected();
        // The lighting thread starts when the reads' results are taken on this thread.
        ASSERT_TRUE(QTest::qWaitFor([&] { return mouse.IsLightingThreadRunning(); }, kWaitMs));
        ASSERT_TRUE(mouse.TransferWorker().WaitIdle(kWaitMs));
        QCoreApplication::processEvents();
        mouse.StopLightingThread();
    }
    bool WroteSettings()
    {
        const std::vector<uint8_t> commands = SentCommands();
        return std::find(commands.begin(), commands.end(), 6) != commands.end();
    }

    std::unique_ptr<pages::CDeviceOptionUI> tab;
};

TEST_F(MouseWriteOutcome, ColourTheMouseRefusesLeavesPageProfileAndMouseOnTheOldColour)
{
    ConnectPage();
    AttachTab();
    const Bytes before = Area("config");
    const uint32_t preset = page->LightEditor()->PresetColour(pages::CLightControlUI::Panel::Main, 4);
    ASSERT_NE(LightEditorModel::RedOf(preset), before[kRed]);

    ASSERT_EQ(Fw({"refuse", "ff", "1..100"}), "ok");
    Get<QPushButton>("color_option_4")->click();
    ASSERT_TRUE(WaitForStatus(CKelvaskUSBDevice::kStatusRefused));

    EXPECT_EQ(Area("config"), before);
    EXPECT_EQ(SavedNode()["LightInfo"]["Red"].asInt(), before[kRed]);
    EXPECT_EQ(page->Mouse().MainLightSetting().Red(), before[kRed]);
    EXPECT_EQ(LightEditorModel::RedOf(page->LightEditor()->ShownColour(pages::CLightControlUI::Panel::Main)),
              before[kRed]);
    EXPECT_TRUE(StatusText().contains("did not take")) << StatusText().toStdString();

    // Once the mouse takes changes again, the next one goes through and the line goes away.
    ASSERT_EQ(Fw({"clear"}), "ok");
    Get<QPushButton>("color_option_4")->click();
    ASSERT_TRUE(WaitForStatus(""));
    EXPECT_EQ(Area("config")[kRed], LightEditorModel::RedOf(preset));
    EXPECT_EQ(SavedNode()["LightInfo"]["Red"].asInt(), LightEditorModel::RedOf(preset));
    EXPECT_TRUE(StatusText().isEmpty());
}

TEST_F(MouseWriteOutcome, RefusedDpiLeavesPageAndProfileOnWhatTheMouseHolds)
{
    // Without a tab the same rules hold, at once. The write is BatchBegin, the first chunk (which
    // holds the stage) and the second chunk; a refusal of the second comes after the mouse stored
    // the first, and the page then shows the new value because the mouse holds it.
    ConnectPage();
    const int step = page->Mouse().Info().DpiStep();
    const struct {
        const char* refused;
        bool mouseTakesIt;
    } cases[] = {{"2", false}, {"3", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refused);
        const uint16_t held = StageX(Area("config"), 3);
        const uint16_t typed = uint16_t(held + 7);
        ASSERT_EQ(Fw({"refuse", "fe", c.refused}), "ok");
        TypeDpi(3, typed * step);
        EXPECT_EQ(page->Mouse().StatusKey(), CKelvaskUSBDevice::kStatusRefused);
        const uint16_t expected = c.mouseTakesIt ? typed : held;
        EXPECT_EQ(StageX(Area("config"), 3), expected);
        EXPECT_EQ(page->Mouse().GetDpiStages()[3].dpiX, expected);
        EXPECT_EQ(SavedNode()["DPIStages"]["StageDPIs"][3]["StageDPIX"].asInt(), expected);
        EXPECT_EQ(page->GetDpiSlider(3), expected);
    }
}

TEST_F(MouseWriteOutcome, KeyTableWriteOfTheKeyEditorShowsItsOutcome)
{
    ConnectPage();
    IKeyAssignmentTarget& target = page->Mouse();
    ASSERT_EQ(Fw({"refuse", "ff", "2..100"}), "ok"); // after the device information
    EXPECT_EQ(target.WriteAssignmentsToDevice(0), kRefusedFF);
    EXPECT_EQ(page->Mouse().StatusKey(), CKelvaskUSBDevice::kStatusRefused);
    ASSERT_EQ(Fw({"clear"}), "ok");
    EXPECT_EQ(target.WriteAssignmentsToDevice(0), kOk);
    EXPECT_EQ(page->Mouse().StatusKey(), "");
    ASSERT_TRUE(Sim().Unplug("mouse"));
    EXPECT_EQ(target.WriteAssignmentsToDevice(0), kNotOpen);
    EXPECT_EQ(page->Mouse().StatusKey(), CKelvaskUSBDevice::kStatusLost);
}

TEST_F(MouseWriteOutcome, KeySaveOfASlowMouseLeavesTheWindowRunningAndShowsItIsSaving)
{
    // The save asks for the device information, opens the batch, writes the key table and closes
    // the batch. A mouse whose replies come late but within the channel's time limit takes it; one
    // whose replies come 2 s late never answers in time, and keeps its key table.
    const struct {
        const char* name;
        std::vector<std::string> delay;
        bool taken;
    } cases[] = {
        {"late", {"delay", "600", "1..4"}, true},
        {"2 s late", {"delay", "2000", "1..100"}, false},
    };
    ConnectPage();
    AttachTab();
    auto* save = Get<QPushButton>("key_butt_prosave");
    const QString saveText = save->text();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SelectKey(kForward);
        ChooseCtrlC();
        const uint32_t heldBefore = SavedNode()["KeyList"][kForward]["Assignment"].asUInt();
        const Bytes slotBefore = KeySlot(kForward);

        ASSERT_EQ(Fw(c.delay), "ok");
        save->click();
        // The click came back at once: the editor is disabled and says it is saving...
        EXPECT_TRUE(page->KeyEditor()->Saving());
        EXPECT_FALSE(save->isEnabled());
        EXPECT_NE(save->text(), saveText);
        EXPECT_FALSE(Control("keyset_layout")->isEnabled());
        // ...and the window's thread goes on taking events while the mouse has not answered.
        bool timerFired = false;
        QTimer::singleShot(0, page, [&] { timerFired = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return timerFired; }, kWaitMs));
        EXPECT_TRUE(page->KeyEditor()->Saving());
        EXPECT_EQ(KeySlot(kForward), slotBefore);

        // The outcome comes back through the event loop: mouse, profile and page agree.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !page->KeyEditor()->Saving(); }, kWaitMs));
        ASSERT_TRUE(page->Mouse().TransferWorker().WaitIdle(kWaitMs));
        ASSERT_EQ(Fw({"clear"}), "ok");
        if (c.taken) {
            EXPECT_EQ(KeySlot(kForward), (Bytes{0x20, 0x01, 0x06}));
            EXPECT_EQ(SavedNode()["KeyList"][kForward]["Assignment"].asUInt(), 0x200106u);
            EXPECT_EQ(KeyText(kForward), "Left Ctrl+C");
            EXPECT_EQ(page->Mouse().StatusKey(), "");
        } else {
            EXPECT_EQ(KeySlot(kForward), slotBefore);
            EXPECT_EQ(SavedNode()["KeyList"][kForward]["Assignment"].asUInt(), heldBefore);
            EXPECT_EQ(page->Mouse().GetKeyTable()[kForward].current.Packed(), heldBefore);
            EXPECT_EQ(page->Mouse().StatusKey(), CKelvaskUSBDevice::kStatusKeysLost);
        }
        EXPECT_EQ(save->text(), saveText);
        EXPECT_FALSE(save->isEnabled()) << "nothing is pending any more";
        EXPECT_TRUE(Control("keyset_layout")->isEnabled());
    }
}

TEST_F(MouseWriteOutcome, KeyTableTheMouseRefusesOrNeverGetsLeavesKeysOnWhatTheMouseHolds)
{
    // Without macros the save reads the device information (report 1), opens the batch (2) and
    // writes the key table (3).
    const struct {
        const char* name;
        std::vector<std::string> fault;
        const char* status;
        const char* words;
    } cases[] = {
        {"refused", {"refuse", "ff", "3"}, CKelvaskUSBDevice::kStatusKeysRefused, "did not take the key"},
        {"lost", {"unplug", "3"}, CKelvaskUSBDevice::kStatusKeysLost, "did not reach"},
    };
    ConnectPage();
    AttachTab();
    const KeyAssignment forward = KeyAssignment::Function(0x10, 0x10, 0x00);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!page->Mouse().Channel().IsOpen()) {
            ASSERT_TRUE(Sim().Plug("mouse"));
            Reconnect();
        }
        const std::string profileBefore = ReadFileText(page->Mouse().CurrentProfilePath());
        SelectKey(kForward);
        ChooseCtrlC();
        ASSERT_EQ(KeyText(kForward), "Left Ctrl+C");

        ASSERT_EQ(Fw(c.fault), "ok");
        Get<QPushButton>("key_butt_prosave")->click();
        ASSERT_TRUE(WaitForStatus(c.status));
        EXPECT_FALSE(page->KeyEditor()->Saving());
        EXPECT_TRUE(StatusText().contains(c.words)) << StatusText().toStdString();
        EXPECT_TRUE(StatusText().contains("show again what the device holds")) << StatusText().toStdString();

        // The mouse kept Forward; the key list, the editor and the profile file say so too.
        EXPECT_EQ(Area("keymap").at(3 * size_t(page->Mouse().KeyIndexMap().at(kForward))), 0x10);
        EXPECT_EQ(page->Mouse().GetKeyTable()[kForward].current, forward);
        EXPECT_EQ(KeyText(kForward), "Forward");
        auto* row = page->KeySummary()->itemWidget(page->KeySummary()->item(kForward));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->findChild<QLabel*>("keyinfo_value")->text(), "Forward");
        EXPECT_EQ(ui::CControlAccess::CurrentPage(Control("function_switch_tablayout")), 0); // its factory function
        EXPECT_FALSE(Control("key_butt_prosave")->isEnabled());
        EXPECT_EQ(ReadFileText(page->Mouse().CurrentProfilePath()), profileBefore);
        ASSERT_EQ(Fw({"clear"}), "ok");
    }

    // Saved again once the mouse takes it: the line goes and the three agree on the new key.
    ASSERT_TRUE(Sim().Plug("mouse"));
    Reconnect();
    SelectKey(kForward);
    ChooseCtrlC();
    Get<QPushButton>("key_butt_prosave")->click();
    ASSERT_TRUE(WaitForStatus(""));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page->KeyEditor()->Saving(); }, kWaitMs));
    EXPECT_EQ(KeySlot(kForward), (Bytes{0x20, 0x01, 0x06}));
    EXPECT_EQ(SavedNode()["KeyList"][kForward]["Assignment"].asUInt(), 0x200106u);
    EXPECT_EQ(KeyText(kForward), "Left Ctrl+C");
}

TEST_F(MouseWriteOutcome, ProfileThatCannotBeSavedIsShown)
{
    ConnectPage();
    AttachTab();
    // The profile's path becomes a folder: the save fails, the file system keeps the folder.
    const std::string path = page->Mouse().CurrentProfilePath();
    std::filesystem::remove(path);
    std::filesystem::create_directories(path + "/keep");
    auto* slider = Get<QSlider>("DPI_slider_1");
    slider->setValue(slider->value() + 3);
    ASSERT_TRUE(WaitForStatus(CKelvaskUSBDevice::kStatusNotSaved));
    EXPECT_TRUE(StatusText().contains("could not be saved")) << StatusText().toStdString();
    // The mouse got the change all the same, and a write that succeeds does not hide the failure.
    EXPECT_TRUE(QTest::qWaitFor([&] { return StageX(Area("config"), 1) == slider->value(); }, kWaitMs));
    ASSERT_TRUE(page->Mouse().TransferWorker().WaitIdle(kWaitMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(page->Mouse().StatusKey(), CKelvaskUSBDevice::kStatusNotSaved);

    std::filesystem::remove_all(path);
    slider->setValue(slider->value() + 1);
    ASSERT_TRUE(WaitForStatus(""));
    EXPECT_EQ(SavedNode()["DPIStages"]["StageDPIs"][1]["StageDPIX"].asInt(), slider->value());
}

TEST_F(MouseWriteOutcome, WriteLostToAnUnplugIsShownAndWrittenBackOnReconnection)
{
    ConnectPage();
    AttachTab();
    const int step = page->Mouse().Info().DpiStep();
    const uint16_t held = StageX(Area("config"), 3);
    const uint16_t typed = uint16_t(held + 20);

    ASSERT_EQ(Fw({"unplug", "2"}), "ok"); // gone while the first chunk is sent
    TypeDpi(3, typed * step);
    ASSERT_TRUE(WaitForStatus(CKelvaskUSBDevice::kStatusLost));
    EXPECT_TRUE(StatusText().contains("did not reach")) << StatusText().toStdString();
    // The profile keeps what the user typed; the mouse still holds the old value.
    EXPECT_EQ(SavedNode()["DPIStages"]["StageDPIs"][3]["StageDPIX"].asInt(), typed);
    EXPECT_EQ(StageX(Area("config"), 3), held);

    // Back on the bus: the connection step finds the mouse behind the profile and writes it back.
    ASSERT_TRUE(Sim().Plug("mouse"));
    Reconnect();
    EXPECT_EQ(page->Mouse().StatusKey(), CKelvaskUSBDevice::kStatusWrittenBack);
    EXPECT_TRUE(WroteSettings());
    EXPECT_EQ(StageX(Area("config"), 3), typed);
    EXPECT_EQ(page->GetDpiSlider(3), typed);
    EXPECT_EQ(SavedNode()["DPIStages"]["StageDPIs"][3]["StageDPIX"].asInt(), typed);

    // A mouse that already holds the profile is only read.
    Reconnect();
    EXPECT_FALSE(WroteSettings());

    // A mouse switched to another on-board slot meanwhile keeps it: nothing is written back.
    ASSERT_TRUE(Sim().Unplug("mouse"));
    TypeDpi(3, (typed + 4) * step);
    ASSERT_TRUE(WaitForStatus(CKelvaskUSBDevice::kStatusLost));
    ASSERT_EQ(Fw({"profile", "1"}), "slot 1");
    ASSERT_TRUE(Sim().Plug("mouse"));
    Reconnect();
    EXPECT_FALSE(WroteSettings());
    EXPECT_EQ(Area("config")[0], 1);
}

TEST_F(MouseWriteOutcome, SlowMouseKeepsOtherStreamsAndInputGoing)
{
    StartSim({"mouse", "mousepad"});
    m_vendorPath = SimPath("mouse", 1, 4);
    const std::string padPath = SimPath("mousepad", 1, 4);
    ASSERT_FALSE(padPath.empty());
    ConnectPage();
    AttachTab();

    CKelvaskMousePadDevice pad;
    pad.SetLedCount(15);
    ASSERT_TRUE(pad.Channel().Open(padPath));
    pages::CDeviceOptionUI padTab;
    padTab.AttachDevice(&pad);
    pad.SetTimerHost(&padTab);
    padTab.SetTimer(kTimerLightFrame, 5);
    tab->SetTimer(kTimerLightFrame, 5);

    // Every reply of the mouse now comes 2 s late. Once its first late request is out, the
    // mousepad's stream and the page must go on long before that reply.
    ASSERT_EQ(Fw({"delay", "2000", "1..1000"}), "ok");
    ClearSent();
    ASSERT_TRUE(QTest::qWaitFor([&] { return CountLines('>', m_vendorPath) > 0; }, kWaitMs));
    ClearSent();
    ASSERT_TRUE(QTest::qWaitFor([&] { return CountLines('>', padPath, 18) >= 6; }, kWaitMs));
    EXPECT_EQ(CountLines('<', m_vendorPath), 0) << "the mousepad's frames waited for the mouse";

    // Input goes on too: the page takes a DPI change at once; it reaches the mouse later.
    const int step = page->Mouse().Info().DpiStep();
    const uint16_t typed = uint16_t(StageX(Area("config"), 2) + 5);
    TypeDpi(2, typed * step);
    EXPECT_EQ(page->Mouse().GetDpiStages()[2].dpiX, typed);
    EXPECT_EQ(SavedNode()["DPIStages"]["StageDPIs"][2]["StageDPIX"].asInt(), typed);
    EXPECT_EQ(CountLines('<', m_vendorPath), 0);
    // Frames of the slow mouse that could not go out in time were dropped, not queued.
    EXPECT_GT(page->Mouse().TransferWorker().DroppedFrames(), 0u);

    ASSERT_EQ(Fw({"clear"}), "ok");
    padTab.KillTimer(kTimerLightFrame);
    tab->KillTimer(kTimerLightFrame);
}

TEST(DeviceStatusLine, EveryDevicePageShowsWhatBecameOfAChange)
{
    nqtest::PreparePageSkin();
    pages::CDevicePageUI page(std::make_unique<CKelvaskMousePadDevice>());
    page.resize(600, 400);
    page.show();
    CKelvaskUSBDevice& pad = page.Device();
    EXPECT_EQ(page.StatusLine(), nullptr) << "no line before there is something to say";

    struct Step {
        std::function<void()> report;
        const char* key;
        const char* words;
    } steps[] = {
        {[&] { pad.ReportDeviceWrite(kRefusedFE); }, CKelvaskUSBDevice::kStatusRefused, "did not take"},
        {[&] { pad.ReportDeviceWrite(kOk); }, "", nullptr},
        {[&] { pad.ReportProfileSave(false); }, CKelvaskUSBDevice::kStatusNotSaved, "could not be saved"},
        // A write that succeeds does not hide a profile that could not be saved.
        {[&] { pad.ReportDeviceWrite(kOk); }, CKelvaskUSBDevice::kStatusNotSaved, "could not be saved"},
        {[&] { pad.ReportDeviceWrite(kNotOpen); }, CKelvaskUSBDevice::kStatusLost, "did not reach"},
        {[&] { pad.ReportProfileSave(true); }, CKelvaskUSBDevice::kStatusLost, "did not reach"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.key);
        step.report();
        EXPECT_EQ(pad.StatusKey(), step.key);
        ASSERT_NE(page.StatusLine(), nullptr);
        EXPECT_EQ(page.StatusLine()->isVisible(), step.words != nullptr);
        if (step.words) {
            EXPECT_TRUE(page.StatusLine()->text().contains(step.words)) << page.StatusLine()->text().toStdString();
            EXPECT_EQ(page.StatusLine()->geometry().bottom(), page.height() - 1);
        }
    }
}
