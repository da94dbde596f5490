// Notifications raised by real controls reach the window's handler with the right type and sender.
#include "SkinFixture.h"

#include "ui/CControlAccess.h"
#include "ui/CControlTimer.h"
#include "ui/CNotifyBridge.h"
#include "ui/CSkinWindow.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>

#include <functional>

using nq::ui::CControlAccess;
using nq::ui::CControlTimer;
using nq::ui::CSkinWindow;
using nqtest::Recorded;
using nqtest::RecordingHandler;

namespace {

const QByteArray kControls =
    nqtest::SkinFixture::Item("QPushButton", "ok_btn", "<property name=\"text\"><string>OK</string></property>") +
    nqtest::SkinFixture::Item("QSlider", "DPI_slider_1",
                              "<property name=\"orientation\"><enum>Qt::Horizontal</enum></property>"
                              "<property name=\"maximum\"><number>100</number></property>") +
    "   <item><widget class=\"QComboBox\" name=\"mode_combo\">"
    "<item><property name=\"text\"><string>static</string></property></item>"
    "<item><property name=\"text\"><string>breathing</string></property></item>"
    "<item><property name=\"text\"><string>spectrum</string></property></item>"
    "</widget></item>\n" +
    nqtest::SkinFixture::Item("QRadioButton", "opt_a",
                              nqtest::SkinFixture::DynamicProperty("group", "modes") +
                                  nqtest::SkinFixture::DynamicProperty("bindTabLayoutName", "page_tab") +
                                  "<property name=\"bindTabIndex\" stdset=\"0\"><number>0</number></property>") +
    nqtest::SkinFixture::Item("QRadioButton", "opt_b",
                              nqtest::SkinFixture::DynamicProperty("group", "modes") +
                                  nqtest::SkinFixture::DynamicProperty("bindTabLayoutName", "page_tab") +
                                  "<property name=\"bindTabIndex\" stdset=\"0\"><number>1</number></property>") +
    "   <item><widget class=\"QStackedWidget\" name=\"page_tab\">"
    "<widget class=\"QWidget\" name=\"page_0\"/><widget class=\"QWidget\" name=\"page_1\"/>"
    "</widget></item>\n" +
    nqtest::SkinFixture::Item("QListWidget", "macro_list") + nqtest::SkinFixture::Item("QLineEdit", "DPI_edit_1") +
    nqtest::SkinFixture::Item("QLabel", "status_label");

class NotifyTest : public nqtest::SkinFixture {
protected:
    void SetUp() override
    {
        SkinFixture::SetUp();
        WriteFile("XML/Test/controls.ui", Layout(kControls));
        ASSERT_TRUE(window.LoadLayout("XML\\Test\\controls.xml"));
        window.AddNotifier(&handler);
        window.show();
        QApplication::processEvents();
        handler.messages.clear();
    }

    template <class T>
    T* Control(const char* name)
    {
        T* control = window.Find<T>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    CSkinWindow window;
    RecordingHandler handler;
};

TEST_F(NotifyTest, UserActionsReachTheHandlerAsNamedNotifications)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        QString type;
        QString sender;
        quintptr wParam;
        qintptr lParam;
    };
    const std::vector<Case> cases = {
        {"button click", [&] { QTest::mouseClick(Control<QPushButton>("ok_btn"), Qt::LeftButton); }, "click", "ok_btn",
         0, 0},
        {"slider step by keyboard", [&] { QTest::keyClick(Control<QSlider>("DPI_slider_1"), Qt::Key_Right); },
         "valuechanged", "DPI_slider_1", 1, 0},
        {"slider dragged",
         [&] {
             QSlider* slider = Control<QSlider>("DPI_slider_1");
             slider->setSliderDown(true);
             slider->setSliderPosition(40);
         },
         "movevaluechanged", "DPI_slider_1", 40, 0},
        {"slider released",
         [&] { Control<QSlider>("DPI_slider_1")->setSliderDown(false); }, "valuechanged", "DPI_slider_1", 40, 0},
        {"combo choice", [&] { QTest::keyClick(Control<QComboBox>("mode_combo"), Qt::Key_Down); }, "itemselect",
         "mode_combo", 1, 0},
        {"second combo choice", [&] { QTest::keyClick(Control<QComboBox>("mode_combo"), Qt::Key_Down); },
         "itemselect", "mode_combo", 2, 1},
        {"option chosen", [&] { Control<QRadioButton>("opt_b")->click(); }, "selectchanged",
         "opt_b", 1, 0},
        {"edit typed", [&] { QTest::keyClicks(Control<QLineEdit>("DPI_edit_1"), "8"); }, "textchanged", "DPI_edit_1",
         0, 0},
        {"edit return", [&] { QTest::keyClick(Control<QLineEdit>("DPI_edit_1"), Qt::Key_Return); }, "return",
         "DPI_edit_1", 0, 0},
    };
    for (const Case& c : cases) {
        handler.messages.clear();
        c.act();
        std::vector<Recorded> found = handler.OfType(c.type);
        ASSERT_FALSE(found.empty()) << c.what;
        EXPECT_EQ(found.back().sender, c.sender) << c.what;
        EXPECT_EQ(found.back().wParam, c.wParam) << c.what;
        EXPECT_EQ(found.back().lParam, c.lParam) << c.what;
    }
}

TEST_F(NotifyTest, MouseHoverMenuAndFocusEventsAreNamed)
{
    auto* button = Control<QPushButton>("ok_btn");
    auto* edit = Control<QLineEdit>("DPI_edit_1");
    auto* label = window.FindControl("status_label");
    struct Case {
        const char* what;
        std::function<void()> act;
        QString type;
        QString sender;
    };
    const std::vector<Case> cases = {
        {"double click", [&] { QTest::mouseDClick(button, Qt::LeftButton); }, "dbclick", "ok_btn"},
        {"hover in", [&] { QEvent e(QEvent::Enter); QApplication::sendEvent(button, &e); }, "msenter", "ok_btn"},
        {"hover out", [&] { QEvent e(QEvent::Leave); QApplication::sendEvent(button, &e); }, "msleave", "ok_btn"},
        {"context menu",
         [&] {
             QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(1, 1));
             QApplication::sendEvent(label, &e);
         },
         "menu", "status_label"},
        {"focus in", [&] { QFocusEvent e(QEvent::FocusIn); QApplication::sendEvent(edit, &e); }, "setfocus",
         "DPI_edit_1"},
        {"focus out", [&] { QFocusEvent e(QEvent::FocusOut); QApplication::sendEvent(edit, &e); }, "killfocus",
         "DPI_edit_1"},
    };
    for (const Case& c : cases) {
        handler.messages.clear();
        c.act();
        auto found = handler.OfType(c.type);
        ASSERT_EQ(found.size(), 1u) << c.what;
        EXPECT_EQ(found[0].sender, c.sender) << c.what;
    }
    // Hovering a plain label says nothing unless the label asks for mouse notes.
    handler.messages.clear();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(label, &enter);
    EXPECT_TRUE(handler.OfType("msenter").empty());
}

TEST_F(NotifyTest, ListRowsRaiseSelectClickAndActivate)
{
    auto* list = Control<QListWidget>("macro_list");
    CControlAccess::AddItem(list, "first");
    CControlAccess::AddItem(list, "second", 42);
    ASSERT_TRUE(handler.messages.empty()) << "filling a list raises nothing";
    list->show();
    QApplication::processEvents();

    QRect row = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_EQ(handler.OfType("itemselect").size(), 1u);
    EXPECT_EQ(handler.OfType("itemselect")[0].wParam, 1u);
    ASSERT_EQ(handler.OfType("itemclick").size(), 1u);
    EXPECT_EQ(handler.OfType("itemclick")[0].sender, "macro_list");
    emit list->itemActivated(list->item(1));
    ASSERT_EQ(handler.OfType("itemactivate").size(), 1u);
    EXPECT_EQ(CControlAccess::ItemData(list, 1).toInt(), 42);
}

TEST_F(NotifyTest, ProgramChangesRaiseNothingUnlessAsked)
{
    QWidget* a = window.FindControl("opt_a");
    QWidget* b = window.FindControl("opt_b");
    auto* tab = Control<QStackedWidget>("page_tab");

    CControlAccess::SetSelected(b, true, false);
    EXPECT_TRUE(handler.OfType("selectchanged").empty());
    EXPECT_EQ(tab->currentIndex(), 1) << "a bound option shows its page even when silent";

    CControlAccess::SetSelected(a, true, true);
    EXPECT_FALSE(CControlAccess::IsSelected(b)) << "options of one group are exclusive";
    EXPECT_EQ(tab->currentIndex(), 0);
    auto changes = handler.OfType("selectchanged");
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back().sender, "opt_a");

    handler.messages.clear();
    CControlAccess::SelectItem(window.FindControl("mode_combo"), 2, false);
    CControlAccess::SetValue(window.FindControl("DPI_slider_1"), 70);
    CControlAccess::SetText(window.FindControl("DPI_edit_1"), "1600");
    EXPECT_TRUE(handler.messages.empty());

    // After a silent selection the next user choice reports the right previous index.
    QTest::keyClick(Control<QComboBox>("mode_combo"), Qt::Key_Up);
    ASSERT_EQ(handler.OfType("itemselect").size(), 1u);
    EXPECT_EQ(handler.OfType("itemselect")[0].wParam, 1u);
    EXPECT_EQ(handler.OfType("itemselect")[0].lParam, 2);
}

TEST_F(NotifyTest, WindowInitComesOnceAndCustomNotificationsCarryTheirSender)
{
    CSkinWindow other;
    RecordingHandler local;
    other.AddNotifier(&local);
    WriteFile("second.ui", Layout(Item("QLabel", "select_panel")));
    ASSERT_TRUE(other.LoadLayout("second"));
    other.show();
    QApplication::processEvents();
    other.hide();
    other.show();
    QApplication::processEvents();
    ASSERT_EQ(local.OfType("windowinit").size(), 1u);
    EXPECT_EQ(local.OfType("windowinit")[0].sender, "root");

    EXPECT_TRUE(nq::ui::CNotifyBridge::Raise(other.FindControl("select_panel"), "click_select_end", 3, 4));
    ASSERT_EQ(local.OfType("click_select_end").size(), 1u);
    EXPECT_EQ(local.OfType("click_select_end")[0].sender, "select_panel");
    EXPECT_EQ(local.OfType("click_select_end")[0].lParam, 4);
    EXPECT_TRUE(handler.OfType("click_select_end").empty()) << "only the holding window hears it";

    QWidget loose;
    EXPECT_FALSE(nq::ui::CNotifyBridge::Raise(&loose, "click")) << "a control outside any window goes unheard";
}

TEST_F(NotifyTest, ControlTimerFiresWithItsIdentifierUntilKilled)
{
    QWidget* label = window.FindControl("status_label");
    ASSERT_TRUE(CControlTimer::SetTimer(label, 1001, 5));
    QElapsedTimer clock;
    clock.start();
    while (handler.OfType("timer").size() < 3 && clock.elapsed() < 5000)
        QTest::qWait(5);
    auto timers = handler.OfType("timer");
    ASSERT_GE(timers.size(), 3u);
    EXPECT_EQ(timers[0].sender, "status_label");
    EXPECT_EQ(timers[0].wParam, 1001u);

    CControlTimer::KillTimer(label, 1001);
    EXPECT_FALSE(CControlTimer::IsTimerActive(label, 1001));
    handler.messages.clear();
    QTest::qWait(30);
    EXPECT_TRUE(handler.OfType("timer").empty());
}

// A control that kills its own timer from the timer call, the way one-shot device steps do.
class OneShot : public QWidget, public nq::ui::IControlTimerTarget {
public:
    void OnControlTimer(int id) override
    {
        fired.push_back(id);
        CControlTimer::KillTimer(this, id);
        if (id == 1002)
            CControlTimer::SetTimer(this, 1003, 1);
    }
    std::vector<int> fired;
};

TEST_F(NotifyTest, ControlHandlingItsOwnTimersCanKillAndArmFromTheCall)
{
    OneShot control;
    CControlTimer::SetTimer(&control, 1002, 1);
    QElapsedTimer clock;
    clock.start();
    while (control.fired.size() < 2 && clock.elapsed() < 5000)
        QTest::qWait(5);
    QTest::qWait(20);
    EXPECT_EQ(control.fired, (std::vector<int>{1002, 1003}));
    EXPECT_TRUE(handler.OfType("timer").empty());
}

} // namespace
