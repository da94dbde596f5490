// The main window routes the profile controls of a device page: a profile chosen in the combo
// switches the simulated mouse to it after the window's timer (its writes on the mouse's transfer
// worker, so a slow mouse never stops the window), the profile buttons reach the page's list, and
// a function tab marks the list's editor tab.
#include "PagesSupport.h"
#include "WindowMouse.h"
#include "app/CMainWnd.h"
#include "app/DeviceSelector.h"
#include "app/ProfileActions.h"
#include "devices/CKelvaskMouseDevice.h"
#include "devices/CKelvaskUSBDevice.h"
#include "editors/qt/CDevicePageUI.h"
#include "profiles/JsonFile.h"
#include "profiles/qt/CDeviceProfileUI.h"
#include "support/ScopedEnv.h"
#include "support/SimFixture.h"
#include "ui/CControlAccess.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

using namespace nq;
using nq::app::CMainWnd;

namespace {

// True when a line of the wire log is a report the host sent with this command code.
bool SentCommand(const std::vector<std::string>& lines, const std::string& code)
{
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string direction, path, id, low, high, command;
        if (in >> direction >> path >> id >> low >> high >> command && direction == ">" && command == code)
            return true;
    }
    return false;
}

} // namespace

TEST(MainWndProfiles, AChosenProfileReachesTheMouseThroughTheWindow)
{
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    const nqtest::ScopedEnv dataHome("XDG_DATA_HOME", data.path().toStdString());

    {
        nqtest::SimEnvironment sim({"mouse"});
        CMainWnd window;
        ASSERT_TRUE(window.Create());
        window.show();
        ASSERT_TRUE(nqtest::WaitFor([&] { return window.IsSetUp(); }));
        // The page of the simulated mouse is the mouse page whose tab is shown.
        CKelvaskUSBDevice* mouse = nullptr;
        ASSERT_TRUE(nqtest::WaitFor([&] {
            for (CKelvaskUSBDevice* device : window.Connections().DevicesOfKind(kKindMouse))
                if (window.Selector().IsTabVisible(window.Selector().IndexOf(device)))
                    mouse = device;
            return mouse != nullptr;
        }));
        auto* page = window.Selector().Page(window.Selector().IndexOf(mouse));
        ASSERT_NE(page, nullptr);
        auto* list = ui::CControlAccess::Find<pages::CDeviceProfileUI>(page, "DeviceProfileItem");
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(nqtest::WaitFor([&] { return mouse->Info().DpiStep() > 0; }));
        // Every device page carries its list, and its device took the list's current profile.
        ASSERT_GE(window.Selector().TabCount(), 4);
        for (int i = 0; i < window.Selector().TabCount(); ++i) {
            pages::CDevicePageUI* each = window.Selector().Page(i);
            auto* itsList = ui::CControlAccess::Find<pages::CDeviceProfileUI>(each, "DeviceProfileItem");
            ASSERT_NE(itsList, nullptr) << i;
            EXPECT_EQ(itsList->Combo()->count(), 1) << i;
            EXPECT_FALSE(itsList->CurrentProfileId().empty()) << i;
            EXPECT_EQ(each->Device().ProfileName(), itsList->CurrentProfileId()) << i;
        }

        ui::CControlAccess::Find<QAbstractButton>(page, "device_add_btn")->click();
        ASSERT_EQ(list->Combo()->count(), 2);
        sim.ClearWireLines();
        list->Combo()->setCurrentIndex(1); // the user's choice
        ASSERT_TRUE(nqtest::WaitFor([&] { return mouse->ProfileName() == list->Model().IdAt(1); }));
        ASSERT_TRUE(nqtest::WaitFor([&] { return !window.Profiles().IsSwitching(page); }));
        EXPECT_EQ(list->CurrentProfileId(), list->Model().IdAt(1));
        EXPECT_TRUE(SentCommand(sim.WireLines(), "06")) << "the settings block";
        EXPECT_TRUE(SentCommand(sim.WireLines(), "09")) << "the key table";

        auto* tab = ui::CControlAccess::Find<QAbstractButton>(page, "system_Op_tab");
        ASSERT_NE(tab, nullptr);
        tab->click();
        EXPECT_TRUE(ui::CControlAccess::IsSelected(tab));
        EXPECT_FALSE(ui::CControlAccess::IsSelected(ui::CControlAccess::FindControl(page, "deng_Op_tab")));
        EXPECT_EQ(mouse->GetPageState(), 4);
        window.StopThreads();
    }
}

namespace {

// The main window with the simulated mouse and a second profile whose first DPI stage (1900 DPI)
// differs from the first profile's.
class MouseProfileSwitch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_data.isValid());
        m_dataHome = std::make_unique<nqtest::ScopedEnv>("XDG_DATA_HOME", m_data.path().toStdString());
        m_sim = std::make_unique<nqtest::SimEnvironment>(std::vector<std::string>{"mouse"});
        const nqtest::WindowMouse found = nqtest::OpenWindowMouse(m_window);
        ASSERT_NE(found.list, nullptr);
        m_mouse = found.mouse;
        m_page = found.page;
        m_list = found.list;
        ui::CControlAccess::Find<QAbstractButton>(m_page, "device_add_btn")->click();
        ASSERT_EQ(m_list->Combo()->count(), 2);
        ASSERT_EQ(m_list->CurrentIndex(), 0);
        m_firstDpi = DpiEdit(0);
        const std::string file = ProfileFile(1);
        JsonDocument doc = ReadJsonDocument(file);
        ASSERT_EQ(doc.state, JsonDocument::State::Parsed) << file;
        m_units = 1900 / m_mouse->Info().DpiStep();
        doc.value["Device"][0]["DPIStages"]["StageDPIs"][0]["StageDPIX"] = m_units;
        ASSERT_TRUE(WriteJsonFile(file, doc.value));
        ASSERT_NE(QString::number(m_units * m_mouse->Info().DpiStep()), m_firstDpi);
        // What a message box would tell.
        m_window->Profiles().SetMessageSink(&m_told);
    }
    void TearDown() override
    {
        if (m_window) {
            m_window->Profiles().SetMessageSink(nullptr);
            m_window->StopThreads();
        }
        m_window.reset();
        m_sim.reset();
    }

    std::string ProfileFile(int index) const { return m_list->Model().UserFolder() + m_list->Model().IdAt(index) + ".Json"; }
    int ListFileSelection() const { return ReadJsonFile(m_list->Model().ListPath())["profileselect"].asInt(); }
    bool Switching() const { return m_window->Profiles().IsSwitching(m_page); }
    QString DpiEdit(int row) const
    {
        auto* edit = ui::CControlAccess::Find<QLineEdit>(m_page, QString("DPI_edit_%1").arg(row));
        return edit ? edit->text() : QString("(no edit)");
    }
    // The line of the simulated memory dump that holds the first stage's resolution.
    std::string StageOneDump(int units) const
    {
        char line[32];
        std::snprintf(line, sizeof line, "0010: %02x %02x", units & 0xFF, (units >> 8) & 0xFF);
        return line;
    }
    QWidget* Control(const char* name) const { return ui::CControlAccess::FindControl(m_page, name); }

    QTemporaryDir m_data;
    std::unique_ptr<nqtest::ScopedEnv> m_dataHome;
    std::unique_ptr<nqtest::SimEnvironment> m_sim;
    std::unique_ptr<CMainWnd> m_window;
    CKelvaskMouseDevice* m_mouse = nullptr;
    pages::CDevicePageUI* m_page = nullptr;
    pages::CDeviceProfileUI* m_list = nullptr;
    QString m_firstDpi;
    int m_units = 0;
    QStringList m_told;
};

} // namespace

TEST_F(MouseProfileSwitch, ASlowMouseLeavesTheWindowRunningAndEndsInAgreement)
{
    // Every reply 2 s late: the reports the worker is sending when the switch starts and the next.
    ASSERT_EQ(m_sim->Sim().FirmwareControl("mouse", {"delay", "2000", "1..2"}), "ok");
    int ticks = 0;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start();

    m_list->Combo()->setCurrentIndex(1); // the user's choice; the window switches 400 ms later
    ASSERT_TRUE(nqtest::WaitFor([&] { return Switching(); }, 5000)) << "the switch never left the UI thread";
    // The page says the switch is under way and takes no other choice meanwhile.
    EXPECT_FALSE(m_list->Combo()->isEnabled());
    EXPECT_FALSE(Control("device_reset_btn")->isEnabled());
    EXPECT_FALSE(Control("device_add_btn")->isEnabled());
    EXPECT_EQ(m_mouse->StatusKey(), CKelvaskUSBDevice::kStatusSwitching);
    const int before = ticks;
    ASSERT_TRUE(nqtest::WaitFor([&] { return ticks > before + 20 || !Switching(); }));
    EXPECT_TRUE(Switching()) << "the zero-delay timer only fired after the switch";

    ASSERT_TRUE(nqtest::WaitFor([&] { return !Switching(); }, 30000));
    EXPECT_TRUE(m_list->Combo()->isEnabled());
    EXPECT_TRUE(Control("device_reset_btn")->isEnabled());
    EXPECT_NE(m_mouse->StatusKey(), CKelvaskUSBDevice::kStatusSwitching);
    // A reply 2 s late is no answer (the wired timeout is 1 s): when the late one was the settings
    // block's, the switch was lost, the user told, and the first profile written again.
    ASSERT_TRUE(nqtest::WaitFor([&] { return !m_mouse->TransferWorker().Busy(); }, 30000));
    QTest::qWait(50);
    const int shown = m_list->CurrentIndex();
    ASSERT_TRUE(shown == 0 || shown == 1) << shown;
    EXPECT_EQ(m_told.isEmpty(), shown == 1) << m_told.join('\n').toStdString();
    // Page, list file and the mouse's memory agree on the profile shown.
    const int units = shown == 1 ? m_units : m_firstDpi.toInt() / m_mouse->Info().DpiStep();
    EXPECT_EQ(m_mouse->ProfileName(), m_list->Model().IdAt(shown));
    EXPECT_EQ(ListFileSelection(), shown);
    EXPECT_EQ(DpiEdit(0), QString::number(units * m_mouse->Info().DpiStep()));
    const std::string dump = m_sim->Sim().Dump("mouse");
    EXPECT_NE(dump.find(StageOneDump(units)), std::string::npos) << dump;
}

TEST_F(MouseProfileSwitch, ARefusedSwitchReturnsListAndMouseToTheHeldProfile)
{
    ASSERT_EQ(m_sim->Sim().FirmwareControl("mouse", {"refuse", "ff", "1..400"}), "ok");
    m_list->Combo()->setCurrentIndex(1);
    ASSERT_TRUE(nqtest::WaitFor([&] { return Switching(); }, 5000));
    ASSERT_TRUE(nqtest::WaitFor([&] { return !Switching(); }, 30000));

    // The user is told, on the status line and in the message, which profile the mouse keeps.
    ASSERT_EQ(m_told.size(), 1) << m_told.join('\n').toStdString();
    EXPECT_TRUE(m_told[0].contains(m_list->Model().NameAt(0).c_str())) << m_told[0].toStdString();
    EXPECT_EQ(m_mouse->StatusKey(), CKelvaskUSBDevice::kStatusRefused);
    EXPECT_TRUE(m_list->Combo()->isEnabled());
    // List, list file, page and mouse are back on the first profile.
    EXPECT_EQ(m_list->CurrentIndex(), 0);
    EXPECT_EQ(m_list->Combo()->currentIndex(), 0);
    EXPECT_EQ(m_mouse->ProfileName(), m_list->Model().IdAt(0));
    EXPECT_EQ(ListFileSelection(), 0);
    EXPECT_EQ(DpiEdit(0), m_firstDpi);
    const std::string dump = m_sim->Sim().Dump("mouse");
    EXPECT_EQ(dump.find(StageOneDump(m_units)), std::string::npos) << dump;
    // The refused profile keeps what the user stored in it.
    EXPECT_EQ(ReadJsonDocument(ProfileFile(1)).value["Device"][0]["DPIStages"]["StageDPIs"][0]["StageDPIX"].asInt(),
              m_units);
}

// The settings write never reaches the mouse: it is unplugged at the first report after the
// switch started (the report in flight then answers 2 s late, so the switch has begun).
TEST_F(MouseProfileSwitch, ASwitchLostToAnUnplugReturnsListAndPageToTheHeldProfile)
{
    ASSERT_EQ(m_sim->Sim().FirmwareControl("mouse", {"delay", "2000", "1"}), "ok");
    m_list->Combo()->setCurrentIndex(1);
    ASSERT_TRUE(nqtest::WaitFor([&] { return Switching(); }, 5000));
    ASSERT_EQ(m_sim->Sim().FirmwareControl("mouse", {"unplug", "1"}), "ok");
    ASSERT_TRUE(nqtest::WaitFor([&] { return !Switching(); }, 30000));
    ASSERT_EQ(m_told.size(), 1) << m_told.join('\n').toStdString();
    EXPECT_TRUE(m_told[0].contains(m_list->Model().NameAt(0).c_str())) << m_told[0].toStdString();
    EXPECT_EQ(m_mouse->StatusKey(), CKelvaskUSBDevice::kStatusLost);
    EXPECT_EQ(m_list->CurrentIndex(), 0);
    EXPECT_EQ(m_mouse->ProfileName(), m_list->Model().IdAt(0));
    EXPECT_EQ(ListFileSelection(), 0);
    EXPECT_EQ(DpiEdit(0), m_firstDpi);
}
