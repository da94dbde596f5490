// Typed operations on controls addressed by name.
#include "SkinFixture.h"

#include "ui/CControlAccess.h"
#include "ui/CSkinWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QValidator>

#include <thread>

using nq::ui::CControlAccess;
using nq::ui::CSkinWindow;

namespace {

class ControlsTest : public nqtest::SkinFixture {
protected:
    void SetUp() override
    {
        SkinFixture::SetUp();
        WriteFile("controls.ui", Layout(Item("QComboBox", "profile_combo") + Item("QLineEdit", "DPI_edit_0") +
                                        Item("QProgressBar", "device_Power_progress") +
                                        Item("QPushButton", "color_option_1") + Item("QLabel", "logo")));
        ASSERT_TRUE(window.LoadLayout("controls"));
    }
    CSkinWindow window;
};

TEST_F(ControlsTest, ComboItemsKeepTextAndDataThroughInsertAndRemove)
{
    QWidget* combo = window.FindControl("profile_combo");
    EXPECT_EQ(CControlAccess::AddItem(combo, "Profile 1", "p1"), 0);
    EXPECT_EQ(CControlAccess::AddItem(combo, "Profile 3", "p3"), 1);
    EXPECT_TRUE(CControlAccess::InsertItem(combo, 1, "Profile 2", "p2"));
    EXPECT_FALSE(CControlAccess::InsertItem(combo, 9, "far", {}));
    ASSERT_EQ(CControlAccess::ItemCount(combo), 3);
    EXPECT_EQ(CControlAccess::ItemText(combo, 1), "Profile 2");
    EXPECT_EQ(CControlAccess::ItemData(combo, 2).toString(), "p3");
    EXPECT_TRUE(CControlAccess::SelectItem(combo, 2));
    EXPECT_TRUE(CControlAccess::RemoveItem(combo, 0));
    EXPECT_FALSE(CControlAccess::RemoveItem(combo, 5));
    EXPECT_EQ(CControlAccess::CurrentItem(combo), 1);
    EXPECT_EQ(CControlAccess::ItemText(combo, 7), "");
    EXPECT_FALSE(CControlAccess::SelectItem(combo, 7));
}

TEST_F(ControlsTest, EditsAcceptOnlyWhatTheirLimitsAllow)
{
    auto* edit = window.Find<QLineEdit>("DPI_edit_0");
    ASSERT_NE(edit, nullptr);
    CControlAccess::SetMaxLength(edit, 5);
    CControlAccess::SetDigitsOnly(edit, true);
    QTest::keyClicks(edit, "12a34567");
    EXPECT_EQ(edit->text(), "12345");

    CControlAccess::SetNumberRange(edit, 50, 26000);
    struct Case {
        const char* text;
        QValidator::State state;
    };
    for (const Case& c : {Case{"800", QValidator::Acceptable}, Case{"26001", QValidator::Invalid},
                          Case{"-3", QValidator::Invalid}, Case{"4", QValidator::Intermediate}}) {
        QString text = c.text;
        int position = 0;
        EXPECT_EQ(edit->validator()->validate(text, position), c.state) << c.text;
    }
    CControlAccess::SetTipText(edit, "50-26000");
    EXPECT_EQ(edit->placeholderText(), "50-26000");
}

TEST_F(ControlsTest, ValuesRangesVisibilityAndImages)
{
    QWidget* progress = window.FindControl("device_Power_progress");
    CControlAccess::SetRange(progress, 0, 100);
    CControlAccess::SetValue(progress, 37);
    EXPECT_EQ(CControlAccess::Value(progress), 37);
    EXPECT_EQ(CControlAccess::Maximum(progress), 100);

    QWidget* option = window.FindControl("color_option_1");
    CControlAccess::SetBkColor(option, 0xFF00A8D6);
    CControlAccess::SetBkImage(option, "file='common/background.png'");
    EXPECT_EQ(CControlAccess::BkColor(option), 0xFF00A8D6u);
    EXPECT_EQ(CControlAccess::BkImage(option), "file='common/background.png'");
    EXPECT_TRUE(option->styleSheet().contains("#color_option_1"));
    CControlAccess::SetForeImage(window.FindControl("logo"), "power/none.png");
    EXPECT_EQ(CControlAccess::ForeImage(window.FindControl("logo")), "power/none.png");

    CControlAccess::SetVisible(option, false);
    CControlAccess::SetEnabled(option, false);
    EXPECT_TRUE(option->isHidden());
    EXPECT_FALSE(option->isEnabled());
    CControlAccess::SetUserData(option, 3);
    EXPECT_EQ(CControlAccess::UserData(option).toInt(), 3);

    // Controls the skin lacks are skipped.
    QWidget* missing = window.FindControl("no_such_control");
    CControlAccess::SetText(missing, "x");
    CControlAccess::SetSelected(missing, true);
    EXPECT_EQ(CControlAccess::GetText(missing), "");
    EXPECT_EQ(CControlAccess::BoundTabIndex(missing), -1);
}

TEST_F(ControlsTest, WorkerThreadChangesLandOnTheUiThread)
{
    QWidget* logo = window.FindControl("logo");
    QWidget* option = window.FindControl("color_option_1");
    std::thread worker([&] {
        CControlAccess::SetText(logo, "from worker");
        CControlAccess::SetForeImage(option, "common/update_mark.png");
        CControlAccess::SetVisible(option, false);
    });
    worker.join();
    EXPECT_EQ(CControlAccess::GetText(logo), "") << "nothing changes until the UI thread runs";
    QApplication::processEvents();
    EXPECT_EQ(CControlAccess::GetText(logo), "from worker");
    EXPECT_EQ(CControlAccess::ForeImage(option), "common/update_mark.png");
    EXPECT_TRUE(option->isHidden());
}

} // namespace
