// Language files, key texts, fonts, popup menus and modal results.
#include "SkinFixture.h"

#include "ui/CControlAccess.h"
#include "ui/CFontTable.h"
#include "ui/CPopupMenu.h"
#include "ui/CSkinLoader.h"
#include "ui/CSkinWindow.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

using nq::ui::CControlAccess;
using nq::ui::CFontTable;
using nq::ui::CPopupMenu;
using nq::ui::CResourceManager;
using nq::ui::CSkinWindow;

namespace {

class TextsTest : public nqtest::SkinFixture {
protected:
    void SetUp() override
    {
        SkinFixture::SetUp();
        WriteFile("lang/lan_en.json", R"({"title_text": "Hello", "tip_text": "Save it", "number": 5})");
        WriteFile("lang/lan_cn.json", R"({"title_text": "你好", "tip_text": "保存"})");
    }
};

TEST_F(TextsTest, SwitchingTheLanguageFileChangesKeyTexts)
{
    WriteFile("texts.ui", Layout(Item("QLabel", "from_layout", DynamicProperty("textKey", "title_text") +
                                                                    DynamicProperty("toolTipKey", "tip_text")) +
                                 Item("QPushButton", "by_code") + Item("QLabel", "plain")));
    CResourceManager& texts = CResourceManager::Instance();
    ASSERT_TRUE(texts.LoadLanguage("lan_en.xml"));
    CSkinWindow window;
    ASSERT_TRUE(window.LoadLayout("texts"));
    QWidget* fromLayout = window.FindControl("from_layout");
    QWidget* byCode = window.FindControl("by_code");
    QWidget* plain = window.FindControl("plain");
    CControlAccess::SetTextKey(byCode, "title_text");
    CControlAccess::SetText(plain, "fixed");
    EXPECT_EQ(CControlAccess::GetText(fromLayout), "Hello");
    EXPECT_EQ(fromLayout->toolTip(), "Save it");
    EXPECT_EQ(CControlAccess::GetText(byCode), "Hello");

    texts.SetLanguage("Chinese");
    ASSERT_TRUE(texts.LoadLanguage("lan_cn.xml"));
    texts.ReloadTexts();
    EXPECT_EQ(texts.Language(), "Chinese");
    EXPECT_EQ(CControlAccess::GetText(fromLayout), "你好");
    EXPECT_EQ(fromLayout->toolTip(), "保存");
    EXPECT_EQ(CControlAccess::GetText(byCode), "你好");
    EXPECT_EQ(CControlAccess::GetText(plain), "fixed") << "plain texts are left alone";

    CControlAccess::SetText(byCode, "typed");
    texts.ReloadTexts();
    EXPECT_EQ(CControlAccess::GetText(byCode), "typed") << "a plain text replaces the key";
}

TEST_F(TextsTest, BadLanguageFileKeepsTheCurrentTexts)
{
    CResourceManager& texts = CResourceManager::Instance();
    ASSERT_TRUE(texts.LoadLanguage("lan_en"));
    EXPECT_EQ(texts.Text("number"), "number") << "non-string members are ignored";
    EXPECT_EQ(texts.Text("unknown_key"), "unknown_key");

    WriteFile("lang/broken.json", R"({"title_text": "Half)");
    WriteFile("lang/array.json", R"(["title_text"])");
    for (const char* file : {"broken", "array", "absent"}) {
        m_log.clear();
        EXPECT_FALSE(texts.LoadLanguage(file)) << file;
        EXPECT_EQ(texts.Text("title_text"), "Hello") << file;
        EXPECT_TRUE(LogContains(file)) << file;
    }
}

TEST_F(TextsTest, FontTableGivesFontsByIdentifierAndTheDefaultOtherwise)
{
    CFontTable& fonts = CFontTable::Instance();
    fonts.RemoveAll();
    fonts.SetDefaultFont("Helvetica", 12);
    fonts.AddFont(1, "Helvetica", 14, false, true);
    fonts.AddFont(50, "Helvetica", 18, true);
    EXPECT_EQ(fonts.GetFont(1).pixelSize(), 14);
    EXPECT_TRUE(fonts.GetFont(1).underline());
    EXPECT_TRUE(fonts.GetFont(50).bold());
    EXPECT_EQ(fonts.GetFont(7).pixelSize(), 12) << "unknown identifiers use the default font";

    WriteFile("fonts.ui", Layout(Item("QLabel", "big", "<property name=\"fontId\" stdset=\"0\"><number>50</number></property>")));
    CSkinWindow window;
    ASSERT_TRUE(window.LoadLayout("fonts"));
    EXPECT_EQ(window.FindControl("big")->font().pixelSize(), 18);

    fonts.RemoveAll();
    fonts.AddFont(50, "Helvetica", 22, true);
    fonts.ApplyToApplication();
    EXPECT_EQ(window.FindControl("big")->font().pixelSize(), 22) << "a rebuilt table reaches existing controls";
    fonts.RemoveAll();
}

TEST_F(TextsTest, DpiScalesSizesAndFontsAndComesBackExactly)
{
    CFontTable& fonts = CFontTable::Instance();
    fonts.RemoveAll();
    fonts.AddFont(50, "Helvetica", 18, true);
    const QByteArray fixed = "<property name=\"minimumSize\"><size><width>40</width><height>20</height></size></property>"
                             "<property name=\"maximumSize\"><size><width>40</width><height>20</height></size></property>";
    WriteFile("dpi.ui", Layout(Item("QPushButton", "fixed_btn", fixed) +
                                   Item("QLabel", "big", "<property name=\"fontId\" stdset=\"0\"><number>50</number></property>") +
                                   Item("QWidget", "host"),
                               400, 300));
    WriteFile("part.ui", Layout(Item("QPushButton", "part_btn", fixed)));
    CSkinWindow window;
    ASSERT_TRUE(window.LoadLayout("dpi"));
    ASSERT_EQ(window.size(), QSize(400, 300));

    window.SetDpi(144);
    EXPECT_EQ(window.size(), QSize(600, 450));
    EXPECT_EQ(window.FindControl("fixed_btn")->maximumSize(), QSize(60, 30));
    EXPECT_EQ(window.FindControl("big")->font().pixelSize(), 27);
    nq::ui::CSkinLoader::LoadInto(window.FindControl("host"), "part");
    EXPECT_EQ(window.FindControl("part_btn")->minimumSize(), QSize(60, 30)) << "a later sub-layout is scaled too";

    window.SetDpi(120);
    window.SetDpi(96);
    EXPECT_EQ(window.size(), QSize(400, 300));
    EXPECT_EQ(window.FindControl("fixed_btn")->maximumSize(), QSize(40, 20));
    EXPECT_EQ(window.FindControl("part_btn")->minimumSize(), QSize(40, 20));
    EXPECT_EQ(window.FindControl("big")->font().pixelSize(), 18);
    fonts.RemoveAll();
}

const QByteArray kMenu = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <widget class="QMenu" name="menu">
  <action name="about_menu"><property name="textKey" stdset="0"><string>title_text</string></property></action>
  <action name="exit"><property name="text"><string>Exit</string></property></action>
  <addaction name="about_menu"/>
  <addaction name="exit"/>
 </widget>
</ui>
)";

QAction* ActionNamed(QMenu* menu, const QString& name)
{
    for (QAction* action : menu->actions())
        if (action->objectName() == name)
            return action;
    return nullptr;
}

TEST_F(TextsTest, PopupMenuReportsTheChosenItemsName)
{
    CResourceManager::Instance().LoadLanguage("lan_en");
    WriteFile("XML/Menus/test_menu.ui", kMenu);
    QWidget owner;

    QMenu* menu = CPopupMenu::Create("XML\\Menus\\test_menu.xml", &owner);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(ActionNamed(menu, "about_menu")->text(), "Hello");
    delete menu;

    QTimer::singleShot(50, [] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* open = qobject_cast<QMenu*>(top);
            if (open && open->isVisible()) {
                open->setActiveAction(ActionNamed(open, "exit"));
                QTest::keyClick(open, Qt::Key_Return);
            }
        }
    });
    EXPECT_EQ(CPopupMenu::Exec("XML\\Menus\\test_menu.xml", QPoint(10, 10), &owner), "exit");

    QString chosen;
    QMenu* popup = CPopupMenu::Popup("XML\\Menus\\test_menu.xml", QPoint(10, 10), &owner,
                                     [&](const QString& name) { chosen = name; });
    ASSERT_NE(popup, nullptr);
    ActionNamed(popup, "about_menu")->trigger();
    EXPECT_EQ(chosen, "about_menu");

    WriteFile("not_menu.ui", Layout(Item("QLabel", "x")));
    EXPECT_EQ(CPopupMenu::Create("not_menu", &owner), nullptr);
    EXPECT_EQ(CPopupMenu::Exec("no_such_menu", QPoint(), &owner), "");
}

class ClosingWindow : public CSkinWindow {
public:
    void Notify(const nq::ui::TNotify& msg) override
    {
        if (msg.type == "click" && msg.SenderName() == "yes_btn")
            Close(7);
        else
            HandleCaptionButton(msg);
    }
};

TEST_F(TextsTest, ModalWindowReturnsTheValueItClosedWith)
{
    WriteFile("modal.ui", Layout(Item("QPushButton", "yes_btn") + Item("QPushButton", "closebtn")));
    struct Case {
        const char* button;
        int expected;
    };
    for (const Case& c : {Case{"yes_btn", 7}, Case{"closebtn", 0}}) {
        ClosingWindow window;
        ASSERT_TRUE(window.LoadLayout("modal"));
        QTimer::singleShot(0, &window, [&] { window.Find<QPushButton>(c.button)->click(); });
        EXPECT_EQ(window.ShowModal(), c.expected) << c.button;
        EXPECT_FALSE(window.isVisible());
    }
    ClosingWindow window;
    ASSERT_TRUE(window.LoadLayout("modal"));
    QTimer::singleShot(0, &window, [&] { window.close(); });
    EXPECT_EQ(window.ShowModal(), 0) << "closed from outside its buttons";
}

TEST_F(TextsTest, CaptionButtonsSendTheirCommandsAndSwapMaxAndRestore)
{
    WriteFile("caption.ui", Layout(Item("QPushButton", "minbtn") + Item("QPushButton", "maxbtn") +
                                   Item("QPushButton", "restorebtn", "<property name=\"visible\"><bool>false</bool></property>")));
    ClosingWindow window;
    nqtest::RecordingHandler handler;
    window.AddNotifier(&handler);
    ASSERT_TRUE(window.LoadLayout("caption"));
    window.show();
    QApplication::processEvents();

    window.Find<QPushButton>("maxbtn")->click();
    QApplication::processEvents();
    EXPECT_TRUE(window.isMaximized());
    EXPECT_TRUE(window.FindControl("maxbtn")->isHidden());
    EXPECT_FALSE(window.FindControl("restorebtn")->isHidden());

    window.Find<QPushButton>("restorebtn")->click();
    QApplication::processEvents();
    EXPECT_FALSE(window.isMaximized());
    EXPECT_FALSE(window.FindControl("maxbtn")->isHidden());
    EXPECT_TRUE(window.FindControl("restorebtn")->isHidden());

    window.Find<QPushButton>("minbtn")->click();
    QApplication::processEvents();
    EXPECT_TRUE(window.isMinimized());
    EXPECT_FALSE(handler.OfType("windowsize").empty()) << "size changes are announced";
}

} // namespace
