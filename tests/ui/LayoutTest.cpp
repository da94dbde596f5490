// Layout files: names to files, custom controls from the factory, and bad files.
#include "SkinFixture.h"

#include "ui/CControlAccess.h"
#include "ui/CControlFactory.h"
#include "ui/CSkinLoader.h"
#include "ui/CSkinWindow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

using nq::ui::CControlFactory;
using nq::ui::CSkinLoader;
using nq::ui::CSkinPaths;
using nq::ui::CSkinWindow;

namespace {

class TestPanelUI : public QWidget {
public:
    using QWidget::QWidget;
};

class LayoutTest : public nqtest::SkinFixture {};

TEST_F(LayoutTest, LayoutAndLanguageNamesMapToSkinFiles)
{
    const QString skin = CSkinPaths::SkinFolder();
    const std::vector<std::pair<QString, QString>> layouts = {
        {"XML_MAIN", "XML_MAIN.ui"},
        {"AboutWnd.xml", "AboutWnd.ui"},
        {"XML\\DeviceXml\\mousedevice.xml", "XML/DeviceXml/mousedevice.ui"},
        {"XML/Menus/macro_action_menu.XML", "XML/Menus/macro_action_menu.ui"},
    };
    for (const auto& [name, file] : layouts)
        EXPECT_EQ(CSkinPaths::LayoutFile(name), skin + file) << name.toStdString();
    EXPECT_EQ(CSkinPaths::LanguageFile("lan_cn.xml"), skin + "lang/lan_cn.json");
    EXPECT_EQ(CSkinPaths::LanguageFile("lan_en.json"), skin + "lang/lan_en.json");

    EXPECT_EQ(CSkinPaths::ImageFile("file='power/power.png' dest='0,0,10,10'"), skin + "power/power.png");
    EXPECT_EQ(CSkinPaths::ImageFile("res='common/a.png' fade='80'"), skin + "common/a.png");
    EXPECT_EQ(CSkinPaths::ImageFile("common\\background.png"), skin + "common/background.png");
    EXPECT_EQ(CSkinPaths::ImageFile("/abs/pic.png"), "/abs/pic.png");
    EXPECT_EQ(CSkinPaths::ImageFile(""), "");
}

TEST_F(LayoutTest, BadLayoutFilesGiveADiagnosticAndNoControls)
{
    struct Case {
        const char* what;
        QByteArray content; // empty: no file at all
    };
    const std::vector<Case> cases = {
        {"missing", {}},
        {"not xml", "this is not a layout"},
        {"truncated", Layout(Item("QLabel", "a")).left(120)},
        {"wrong root element", "<?xml version=\"1.0\"?><layout><widget class=\"QLabel\" name=\"a\"/></layout>"},
        {"empty file", " "},
    };
    int index = 0;
    for (const Case& c : cases) {
        QString name = QString("bad_%1").arg(index++);
        if (!c.content.isEmpty())
            WriteFile(name + ".ui", c.content);
        m_log.clear();
        QString error;
        QWidget parent;
        EXPECT_EQ(CSkinLoader::Load(name, &parent, &error), nullptr) << c.what;
        EXPECT_TRUE(error.contains(name)) << c.what << ": " << error.toStdString();
        EXPECT_TRUE(LogContains(name.toStdString())) << c.what;

        CSkinWindow window;
        EXPECT_FALSE(window.LoadLayout(name)) << c.what;
        EXPECT_EQ(window.Root(), nullptr);
        window.show();
        QApplication::processEvents();
    }
}

TEST_F(LayoutTest, WindowTakesTheLayoutsSizeAndTitleAndFindsNestedControls)
{
    QByteArray body = Item("QWidget", "panel",
                           "<layout class=\"QHBoxLayout\" name=\"panel_layout\">" +
                               Item("QPushButton", "deep_btn") + "</layout>");
    QByteArray layout = Layout(body, 420, 260);
    layout.replace("<layout class=\"QVBoxLayout\"",
                   "<property name=\"windowTitle\"><string>Skin title</string></property>\n  <layout class=\"QVBoxLayout\"");
    WriteFile("XML/nested.ui", layout);
    CSkinWindow window;
    ASSERT_TRUE(window.LoadLayout("XML\\nested.xml"));
    EXPECT_EQ(window.size(), QSize(420, 260));
    EXPECT_EQ(window.windowTitle(), "Skin title");
    EXPECT_NE(window.Find<QPushButton>("deep_btn"), nullptr);
    EXPECT_EQ(window.Find<QLabel>("deep_btn"), nullptr) << "typed lookup checks the class";
    EXPECT_NE(nq::ui::CControlAccess::FindControl(window.FindControl("panel"), "deep_btn"), nullptr);
    EXPECT_EQ(nq::ui::CControlAccess::FindControl(window.FindControl("panel"), "root"), nullptr);
}

TEST_F(LayoutTest, FactoryBuildsRegisteredClassesByNameWithoutRegardToCase)
{
    CControlFactory::Instance().RegistControl<TestPanelUI>("CTestPanelUI");
    WriteFile("custom.ui", Layout(Item("CTestPanelUI", "panel_a") + Item("ctestpanelui", "panel_b") +
                                  Item("CNoSuchControlUI", "ghost") + Item("QLabel", "plain")));
    CSkinWindow window;
    ASSERT_TRUE(window.LoadLayout("custom.xml"));
    for (const char* name : {"panel_a", "panel_b"}) {
        QWidget* panel = window.FindControl(name);
        ASSERT_NE(panel, nullptr) << name;
        EXPECT_NE(dynamic_cast<TestPanelUI*>(panel), nullptr) << name;
    }
    EXPECT_EQ(nq::ui::ControlClassName(window.FindControl("panel_a")), "CTestPanelUI");
    EXPECT_EQ(nq::ui::ControlClassName(window.FindControl("plain")), "QLabel");
    EXPECT_EQ(window.FindControl("ghost"), nullptr);
    EXPECT_TRUE(LogContains("CNoSuchControlUI"));
    EXPECT_EQ(CControlFactory::Instance().CreateControl("CNoSuchControlUI", nullptr), nullptr);
}

TEST_F(LayoutTest, ContainerBuildsItsTreeFromASubLayout)
{
    WriteFile("XML/CustomControlXML/Part.ui", Layout(Item("QPushButton", "part_btn")));
    WriteFile("host.ui", Layout(Item("QWidget", "host")));
    CSkinWindow window;
    nqtest::RecordingHandler handler;
    window.AddNotifier(&handler);
    ASSERT_TRUE(window.LoadLayout("host"));
    QWidget* root = CSkinLoader::LoadInto(window.FindControl("host"), "XML\\CustomControlXML\\Part.xml");
    ASSERT_NE(root, nullptr);
    auto* button = window.Find<QPushButton>("part_btn");
    ASSERT_NE(button, nullptr);
    button->click();
    ASSERT_EQ(handler.OfType("click").size(), 1u) << "controls of a sub-layout notify the window";
    EXPECT_EQ(handler.OfType("click")[0].sender, "part_btn");

    // A factory class that builds itself from a sub-layout while the outer layout is loading.
    WriteFile("XML/CustomControlXML/Options.ui",
              Layout(Item("QRadioButton", "mode_a", DynamicProperty("group", "modes")) +
                     Item("QRadioButton", "mode_b", DynamicProperty("group", "modes"))));
    CControlFactory::Instance().RegistControl("OptionsSetControlUI", [](QWidget* parent) -> QWidget* {
        auto* panel = new QWidget(parent);
        CSkinLoader::LoadInto(panel, "XML\\CustomControlXML\\Options.xml");
        return panel;
    });
    WriteFile("outer.ui", Layout(Item("OptionsSetControlUI", "options_panel")));
    CSkinWindow outer;
    nqtest::RecordingHandler outerHandler;
    outer.AddNotifier(&outerHandler);
    ASSERT_TRUE(outer.LoadLayout("outer"));
    auto* a = outer.Find<QAbstractButton>("mode_a");
    auto* b = outer.Find<QAbstractButton>("mode_b");
    ASSERT_TRUE(a && b);
    a->click();
    b->click();
    EXPECT_FALSE(a->isChecked()) << "the nested options share their group";
    ASSERT_FALSE(outerHandler.OfType("selectchanged").empty());
    EXPECT_EQ(outerHandler.OfType("selectchanged").back().sender, "mode_b");
}

} // namespace
