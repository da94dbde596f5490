// nq501ctl with the program running: the request goes over the program's single-instance socket
// and the program carries it out on its pages' device objects. The page shows the change, the
// profile file holds it, and the device gets exactly one write. Runs the real nq501ctl against a
// real main window on the offscreen platform and the simulated mouse.
#include "PagesSupport.h"
#include "WindowMouse.h"
#include "app/CApplication.h"
#include "app/CMainWnd.h"
#include "app/CSingleInstance.h"
#include "app/ControlService.h"
#include "app/DeviceSelector.h"
#include "app/ProfileActions.h"
#include "control/ControlExecutor.h"
#include "control/ControlRequest.h"
#include "devices/CKelvaskMouseDevice.h"
#include "devices/MouseSettingsBlock.h"
#include "editors/qt/CDevicePageUI.h"
#include "profiles/JsonFile.h"
#include "profiles/qt/CDeviceProfileUI.h"
#include "support/ScopedEnv.h"
#include "support/SimFixture.h"
#include "support/SimWire.h"
#include "ui/CControlAccess.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

using namespace nq;
using nq::app::CMainWnd;

namespace {

const QString kTool = QString(NQ501_BINARY_DIR) + "/nq501ctl";

struct CtlRun {
    int exit = -1;
    QString out;
};

class ControlRoute : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_data.isValid() && m_runtime.isValid());
        m_dataHome = std::make_unique<nqtest::ScopedEnv>("XDG_DATA_HOME", m_data.path().toStdString());
        m_runtimeEnv = std::make_unique<nqtest::ScopedEnv>("XDG_RUNTIME_DIR", m_runtime.path().toStdString());
        m_sim = std::make_unique<nqtest::SimEnvironment>(std::vector<std::string>{"mouse", "keyboard", "chargepad"});
        const nqtest::WindowMouse found = nqtest::OpenWindowMouse(m_window);
        ASSERT_NE(found.list, nullptr);
        m_mouse = found.mouse;
        m_page = found.page;
        m_list = found.list;

        m_service = std::make_unique<app::ControlService>(*m_window);
        m_instance = std::make_unique<app::CSingleInstance>("NQ501");
        ASSERT_TRUE(m_instance->Acquire());
        ASSERT_TRUE(m_instance->Listen());
        m_instance->SetControlHandler(
            [this](const QByteArray& line, app::CSingleInstance::Reply reply) { m_service->Handle(line, std::move(reply)); });
    }
    void TearDown() override
    {
        m_instance.reset();
        m_service.reset();
        if (m_window)
            m_window->StopThreads();
        m_window.reset();
        m_sim.reset();
    }

    // Runs nq501ctl while the event loop goes on (the window answers the request).
    CtlRun Ctl(const QStringList& args)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(kTool, args);
        CtlRun run;
        if (!process.waitForStarted(5000))
            return run;
        nqtest::WaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000);
        run.out = QString::fromUtf8(process.readAll());
        run.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return run;
    }

    int SettingsWrites()
    {
        int writes = 0;
        const std::string path = m_mouse->Slot().path;
        for (const nqtest::WireReport& r : nqtest::SentVendorReports(m_sim->WireLines(), path))
            writes += r.command == CMD_WRITE_CONFIG && r.offset == MouseSettingsBlock::SlotOffset(m_mouse->OnboardSlot());
        return writes;
    }
    QString DpiEdit(int row)
    {
        auto* edit = ui::CControlAccess::Find<QLineEdit>(m_page, QString("DPI_edit_%1").arg(row));
        return edit ? edit->text() : QString("(no edit)");
    }

    QTemporaryDir m_data, m_runtime;
    std::unique_ptr<nqtest::ScopedEnv> m_dataHome, m_runtimeEnv;
    std::unique_ptr<nqtest::SimEnvironment> m_sim;
    std::unique_ptr<CMainWnd> m_window;
    std::unique_ptr<app::ControlService> m_service;
    std::unique_ptr<app::CSingleInstance> m_instance;
    CKelvaskMouseDevice* m_mouse = nullptr;
    pages::CDevicePageUI* m_page = nullptr;
    pages::CDeviceProfileUI* m_list = nullptr;
};

} // namespace

TEST_F(ControlRoute, SetDpiShowsOnThePageIsSavedAndWrittenOnce)
{
    m_sim->ClearWireLines();
    const CtlRun run = Ctl({"set", "mouse", "dpi", "1", "1600"});
    ASSERT_EQ(run.exit, 0) << run.out.toStdString();
    EXPECT_EQ(DpiEdit(0), "1600");
    const int units = 1600 / m_mouse->Info().DpiStep();
    EXPECT_EQ(m_mouse->GetDpiStages()[0].dpiX, units);
    EXPECT_EQ(SettingsWrites(), 1);

    // The profile file holds it.
    const JsonDocument saved = ReadJsonDocument(m_mouse->CurrentProfilePath());
    ASSERT_EQ(saved.state, JsonDocument::State::Parsed);
    EXPECT_EQ(saved.value["Device"][0]["DPIStages"]["StageDPIs"][0]["StageDPIX"].asInt(), units);

    // A value out of range changes nothing and sends nothing.
    m_sim->ClearWireLines();
    EXPECT_EQ(Ctl({"set", "mouse", "dpi", "1", "999999"}).exit, 2);
    EXPECT_EQ(DpiEdit(0), "1600");
    EXPECT_EQ(SettingsWrites(), 0);
}

TEST_F(ControlRoute, ListAndShowComeFromTheProgram)
{
    const CtlRun list = Ctl({"list", "--json"});
    ASSERT_EQ(list.exit, 0) << list.out.toStdString();
    Json::Value parsed;
    ASSERT_TRUE(control::ParseLine(list.out.toStdString(), parsed)) << list.out.toStdString();
    ASSERT_EQ(parsed["devices"].size(), 3u);
    // In the order of the device tabs.
    std::vector<std::string> kinds;
    for (CKelvaskUSBDevice* device : m_window->Selector().Devices())
        if (device->Channel().IsOpen())
            kinds.push_back(control::KindOf(*device));
    ASSERT_EQ(kinds.size(), 3u);
    for (size_t i = 0; i < kinds.size(); ++i) {
        const Json::Value& entry = parsed["devices"][Json::ArrayIndex(i)];
        EXPECT_EQ(entry["name"].asString(), kinds[i]);
        EXPECT_TRUE(entry["answers"].asBool()) << kinds[i];
        if (kinds[i] == "mouse")
            EXPECT_EQ(entry["profile"].asString(), m_list->CurrentName().toStdString());
    }
    EXPECT_EQ(Ctl({"show", "mousepad"}).exit, 3);

    // The charging pad's status, read by its transfer worker.
    ASSERT_EQ(m_sim->Sim().FirmwareControl("chargepad", {"battery", "57"}), "ok");
    const CtlRun status = Ctl({"status", "chargepad", "--json"});
    ASSERT_EQ(status.exit, 0) << status.out.toStdString();
    ASSERT_TRUE(control::ParseLine(status.out.toStdString(), parsed)) << status.out.toStdString();
    EXPECT_EQ(parsed["battery"].asInt(), 57);
    EXPECT_EQ(Ctl({"status", "keyboard"}).exit, 2);
}

TEST_F(ControlRoute, ProfileImportAndUseGoThroughThePagesList)
{
    // The current profile, exported and imported again under the name "game" with stage 1 at 800 DPI.
    const QString file = m_data.filePath("game.json");
    ASSERT_EQ(Ctl({"profile", "mouse", "export", m_list->CurrentName(), file}).exit, 0);
    JsonDocument exported = ReadJsonDocument(file.toStdString());
    ASSERT_EQ(exported.state, JsonDocument::State::Parsed);
    exported.value["profilename"] = "game";
    const int units = 800 / m_mouse->Info().DpiStep();
    exported.value["Device"][0]["DPIStages"]["StageDPIs"][0]["StageDPIX"] = units;
    ASSERT_TRUE(WriteJsonFile(file.toStdString(), exported.value));
    const CtlRun imported = Ctl({"profile", "mouse", "import", file});
    ASSERT_EQ(imported.exit, 0) << imported.out.toStdString();
    ASSERT_EQ(m_list->Combo()->count(), 2);
    EXPECT_EQ(m_list->Combo()->itemText(1), "game");

    m_sim->ClearWireLines();
    const CtlRun use = Ctl({"profile", "mouse", "use", "game"});
    ASSERT_EQ(use.exit, 0) << use.out.toStdString();
    EXPECT_EQ(m_list->CurrentName(), "game");
    EXPECT_EQ(m_list->Combo()->currentText(), "game");
    EXPECT_EQ(m_mouse->ProfileName(), m_list->CurrentProfileId());
    EXPECT_EQ(DpiEdit(0), QString::number(units * m_mouse->Info().DpiStep()));
    EXPECT_EQ(SettingsWrites(), 1);
}

TEST_F(ControlRoute, ARefusalIsExitOneAndShownOnThePage)
{
    ASSERT_EQ(m_sim->Sim().FirmwareControl("mouse", {"refuse", "ff", "1..400"}), "ok");
    // As after the page's own DPI edit: object, profile and page return to what the mouse holds.
    const QString held = DpiEdit(0);
    const CtlRun dpi = Ctl({"set", "mouse", "dpi", "1", "1600"});
    EXPECT_EQ(dpi.exit, 1) << dpi.out.toStdString();
    EXPECT_EQ(DpiEdit(0), held);
    EXPECT_EQ(m_mouse->GetDpiStages()[0].dpiX * m_mouse->Info().DpiStep(), held.toInt());

    const CtlRun run = Ctl({"set", "mouse", "report-rate", "500"});
    EXPECT_EQ(run.exit, 1) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("refused")) << run.out.toStdString();
    EXPECT_EQ(m_mouse->StatusKey(), CKelvaskUSBDevice::kStatusRefused);

    // A refused profile switch answers at once (no message box holds the answer back) and the
    // list stays on the profile the mouse holds.
    const QString before = m_list->CurrentName();
    ASSERT_EQ(m_list->Model().Count(), 1);
    ASSERT_TRUE(m_list->AddProfile());
    const CtlRun use = Ctl({"profile", "mouse", "use", m_list->Combo()->itemText(1)});
    EXPECT_EQ(use.exit, 1) << use.out.toStdString();
    EXPECT_EQ(m_list->CurrentName(), before);
}

TEST_F(ControlRoute, ProfileUseOnASlowMouseAnswersOnceTheWritesAreOver)
{
    ASSERT_TRUE(m_list->AddProfile());
    ASSERT_EQ(m_list->Model().Count(), 2);
    const auto use = [](const std::string& name) {
        control::Request request;
        request.command = "profile";
        request.device = "mouse";
        request.args["action"] = "use";
        request.args["name"] = name;
        return QByteArray::fromStdString(control::ToLine(request.ToJson()));
    };
    const auto into = [](std::optional<control::Response>& answer) {
        return [&answer](const QByteArray& line) {
            Json::Value value;
            std::string error;
            control::Response response;
            if (control::ParseLine(line.toStdString(), value) && control::Response::FromJson(value, response, error))
                answer = response;
            else
                answer = control::Response::Fail(-1, line.toStdString());
        };
    };
    ASSERT_EQ(m_sim->Sim().FirmwareControl("mouse", {"delay", "2000", "1..2"}), "ok");
    m_sim->ClearWireLines();
    std::optional<control::Response> first, second;
    m_service->Handle(use(m_list->Model().NameAt(1)), into(first));
    EXPECT_FALSE(first) << "answered before the mouse took the profile";
    ASSERT_TRUE(m_window->Profiles().IsSwitching(m_page));
    // The page is busy: another switch asked for meanwhile is refused at once.
    m_service->Handle(use(m_list->Model().NameAt(0)), into(second));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->exit, 1) << second->message;
    EXPECT_NE(second->message.find("under way"), std::string::npos) << second->message;

    ASSERT_TRUE(nqtest::WaitFor([&] { return first.has_value(); }, 30000));
    EXPECT_FALSE(m_window->Profiles().IsSwitching(m_page));
    // A reply 2 s late is no answer (the wired timeout is 1 s): the answer says whether the late
    // one was the settings block's, and the list shows what it says.
    if (first->exit == 0) {
        EXPECT_EQ(m_list->CurrentIndex(), 1);
        EXPECT_EQ(SettingsWrites(), 1);
    } else {
        EXPECT_EQ(first->exit, 1);
        EXPECT_NE(first->message.find("did not take"), std::string::npos) << first->message;
        EXPECT_EQ(m_list->CurrentIndex(), 0);
    }
    EXPECT_EQ(m_mouse->ProfileName(), m_list->CurrentProfileId());
}

TEST_F(ControlRoute, KeyboardSettingsShowOnItsPage)
{
    CKelvaskUSBDevice* keyboard = nullptr;
    ASSERT_TRUE(nqtest::WaitFor([&] {
        for (CKelvaskUSBDevice* device : m_window->Connections().DevicesOfKind(kKindKeyboard))
            if (device->Channel().IsOpen() && !device->TransferWorker().Busy())
                keyboard = device;
        return keyboard != nullptr;
    }, 8000));
    QTest::qWait(100);
    pages::CDevicePageUI* page = m_window->Selector().Page(m_window->Selector().IndexOf(keyboard));
    QWidget* winLock = ui::CControlAccess::FindControl(page, "winlockflag_option");
    ASSERT_NE(winLock, nullptr);
    ASSERT_FALSE(ui::CControlAccess::IsSelected(winLock));

    CtlRun run = Ctl({"set", "keyboard", "win-lock", "on"});
    ASSERT_EQ(run.exit, 0) << run.out.toStdString();
    EXPECT_TRUE(ui::CControlAccess::IsSelected(winLock));
    run = Ctl({"set", "keyboard", "lighting", "--zone", "logo", "3", "--colour", "ff0000"});
    ASSERT_EQ(run.exit, 0) << run.out.toStdString();
    EXPECT_EQ(keyboard->ZoneLightSetting(1).Effect(LightSetting::kLogo), 3);
    const std::string dump = m_sim->Sim().Dump("keyboard");
    EXPECT_NE(dump.find("Win lock 1"), std::string::npos) << dump;
    EXPECT_NE(dump.find("logo effect 3 brightness 4 speed 2 direction 0 multicolour 0 colour ff 00 00"), std::string::npos)
        << dump;
}

// Runs only when NQ501_SCREENSHOT names the output file (see README, Scripting): the mouse's
// Performance tab after `nq501ctl set mouse dpi 1 1600`, for review.
TEST_F(ControlRoute, Screenshot)
{
    const QString output = qEnvironmentVariable("NQ501_SCREENSHOT");
    if (output.isEmpty())
        GTEST_SKIP() << "NQ501_SCREENSHOT not set";
    app::CApplication::ApplyStyleSheet();
    m_window->Selector().ShowDeviceTab(m_window->Selector().IndexOf(m_mouse), true, true);
    m_mouse->SetPageState(4);
    const CtlRun run = Ctl({"set", "mouse", "dpi", "1", "1600"});
    ASSERT_EQ(run.exit, 0) << run.out.toStdString();
    QTest::qWait(800);
    EXPECT_EQ(DpiEdit(0), "1600");
    EXPECT_TRUE(m_window->grab().save(output));
}
