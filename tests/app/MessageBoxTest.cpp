// The message box and the about window on the installed skin layouts.
#include "app/CAboutWnd.h"
#include "app/CMsgWnd.h"
#include "common/DebugLog.h"
#include "ui/CControlAccess.h"
#include "ui/CResourceManager.h"
#include "ui/CSkinPaths.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using nq::app::CAboutWnd;
using nq::app::CMsgWnd;
using nq::ui::CControlAccess;
using nq::ui::CResourceManager;

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        nq::ui::CSkinPaths::SetSkinFolder(QString(NQ501_SOURCE_DIR) + "/skin");
        ASSERT_TRUE(CResourceManager::Instance().LoadLanguage("lan_en"));
        nq::SetDebugLogCallback([this](const std::string& line) { log.push_back(line); });
    }
    void TearDown() override
    {
        nq::SetDebugLogCallback({});
        nq::ui::CSkinPaths::SetSkinFolder(QString());
        CResourceManager::Instance().Clear();
    }

    // Runs action on the open message box once it is shown; returns what ShowMessage returned.
    static int ShowAndAct(const QString& title, const QString& text, int mode,
                          const std::function<void(CMsgWnd*)>& action, int dpi = 96)
    {
        QTimer::singleShot(0, [action] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<CMsgWnd*>(top); box && box->isVisible())
                    action(box);
        });
        return CMsgWnd::ShowMessage(nullptr, title, text, dpi, true, mode);
    }
    static void Click(CMsgWnd* box, const char* name)
    {
        auto* button = box->Find<QPushButton>(name);
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isVisible()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    std::vector<std::string> log;
};

TEST_F(MessageBoxTest, ResultIsOneOnlyThroughConfirm)
{
    struct Case {
        int mode;
        const char* button;
        int expected;
    };
    for (const Case& c : {Case{0, "confirm_btn", 1}, Case{0, "closebtn", 0}, Case{1, "confirm_btn", 1},
                          Case{1, "cancel_btn", 0}, Case{1, "closebtn", 0}})
        EXPECT_EQ(ShowAndAct("", "message_text_5", c.mode, [&](CMsgWnd* box) { Click(box, c.button); }), c.expected)
            << "mode " << c.mode << " " << c.button;
}

TEST_F(MessageBoxTest, KeyboardConfirmsThroughTheButtonAndEscapeCancels)
{
    EXPECT_EQ(ShowAndAct("", "", 1, [](CMsgWnd* box) { QTest::keyClick(box, Qt::Key_Return); }), 1);
    EXPECT_EQ(ShowAndAct("", "", 1, [](CMsgWnd* box) { QTest::keyClick(box, Qt::Key_Escape); }), 0);
}

TEST_F(MessageBoxTest, ButtonModesShowTheirButtons)
{
    struct Case {
        int mode;
        bool confirm;
        bool cancel;
    };
    for (const Case& c : {Case{0, true, false}, Case{1, true, true}, Case{5, true, true}}) {
        bool confirm = false;
        bool cancel = false;
        ShowAndAct("", "", c.mode, [&](CMsgWnd* box) {
            confirm = box->FindControl("confirm_btn")->isVisible();
            cancel = box->FindControl("cancel_btn")->isVisible();
            box->Close(0);
        });
        EXPECT_EQ(confirm, c.confirm) << "mode " << c.mode;
        EXPECT_EQ(cancel, c.cancel) << "mode " << c.mode;
    }
}

TEST_F(MessageBoxTest, TitleAndTextByKeyOrPlain)
{
    CResourceManager::Instance().SetText("message_text_5", "Saved.");
    QString title;
    QString text;
    ShowAndAct("", "message_text_5", 0, [&](CMsgWnd* box) {
        title = CControlAccess::GetText(box->FindControl("MessageTitle"));
        text = CControlAccess::GetText(box->FindControl("MessageText"));
        box->Close(0);
    });
    EXPECT_EQ(title, "Notice") << "an empty title keeps the layout's";
    EXPECT_EQ(text, "Saved.");

    CMsgWnd box;
    ASSERT_TRUE(box.Create());
    box.SetTitle("Firmware");
    box.SetMessage("3 files", false);
    EXPECT_EQ(CControlAccess::GetText(box.FindControl("MessageTitle")), "Firmware");
    EXPECT_EQ(CControlAccess::GetText(box.FindControl("MessageText")), "3 files");
}

TEST_F(MessageBoxTest, UnknownDpiIsTracedAndFallsBackTo96)
{
    struct Case {
        int requested;
        int held;
        bool traced;
    };
    for (const Case& c : {Case{100, 96, true}, Case{144, 144, false}, Case{0, 96, true}, Case{192, 192, false}}) {
        CMsgWnd box;
        ASSERT_TRUE(box.Create());
        QSize before = box.size();
        ASSERT_EQ(box.Dpi(), 96);
        log.clear();
        box.ApplyDpi(c.requested);
        EXPECT_EQ(box.Dpi(), c.held) << c.requested;
        bool traced = std::find(log.begin(), log.end(), "MSG_WND DPI SET ERROR") != log.end();
        EXPECT_EQ(traced, c.traced) << c.requested;
        EXPECT_EQ(box.size(), before * c.held / 96) << c.requested;
    }
    int dpi = 0;
    log.clear();
    ShowAndAct("", "", 0, [&](CMsgWnd* box) { dpi = box->Dpi(); box->Close(0); }, 100);
    EXPECT_EQ(dpi, 96);
    EXPECT_NE(std::find(log.begin(), log.end(), "MSG_WND DPI SET ERROR"), log.end());
}

TEST_F(MessageBoxTest, TranslatedPatternComesThroughTheHiddenLabel)
{
    CResourceManager::Instance().SetText("message_text_22", "%d devices");
    CAboutWnd about;
    ASSERT_TRUE(about.Create());
    EXPECT_EQ(CMsgWnd::TranslatedPattern(&about, "message_text_22"), "%d devices");
    EXPECT_FALSE(about.FindControl("text_test")->isVisible());
    QWidget bare;
    EXPECT_EQ(CMsgWnd::TranslatedPattern(&bare, "message_text_22"), "message_text_22");
}

TEST_F(MessageBoxTest, AboutShowsTheVersionInTheCurrentLanguage)
{
    CAboutWnd about;
    ASSERT_TRUE(about.Create());
    EXPECT_EQ(about.size(), QSize(800, 572));
    about.SetVersion(CAboutWnd::kSoftwareVersion);
    EXPECT_EQ(CControlAccess::GetText(about.FindControl("software_ver_label")), "Software version: V0102");

    ASSERT_TRUE(CResourceManager::Instance().LoadLanguage("lan_cn"));
    about.OnLanguageChanged();
    EXPECT_EQ(CControlAccess::GetText(about.FindControl("software_ver_label")), "软件版本：V0102");
}

TEST_F(MessageBoxTest, SecondAboutRequestWhileOneIsOpenIsIgnored)
{
    int nested = -1;
    bool wasOpen = false;
    QTimer::singleShot(0, [&] {
        CAboutWnd* open = CAboutWnd::Current();
        wasOpen = open && open->isVisible();
        nested = CAboutWnd::ShowAbout(nullptr); // must return at once
        if (open)
            open->Close(0);
    });
    EXPECT_EQ(CAboutWnd::ShowAbout(nullptr), 0);
    EXPECT_TRUE(wasOpen);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(CAboutWnd::Current(), nullptr);
}

} // namespace
