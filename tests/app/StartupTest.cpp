// Start-up pieces: named messages, options, custom controls, fonts and the first main window.
#include "app/CAppMessages.h"
#include "app/CCommandLine.h"
#include "app/CMainWnd.h"
#include "app/CMessageRegistry.h"
#include "app/CPrivateFonts.h"
#include "app/CustomControls.h"
#include "ui/CControlFactory.h"
#include "ui/CSkinLoader.h"
#include "ui/CSkinPaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

using nq::app::CAppMessages;
using nq::app::CCommandLine;
using nq::app::CMessageRegistry;

namespace {

TEST(MessageRegistry, SameNameSameNumberWithinTheProcess)
{
    CMessageRegistry& registry = CMessageRegistry::Instance();
    unsigned first = registry.Register("NQ501_TEST_MESSAGE_A");
    EXPECT_GE(first, CMessageRegistry::kFirstNumber);
    EXPECT_EQ(registry.Register("NQ501_TEST_MESSAGE_A"), first);
    EXPECT_EQ(registry.Register("nq501_test_message_a"), first) << "names compare without case";
    EXPECT_NE(registry.Register("NQ501_TEST_MESSAGE_B"), first);
    EXPECT_EQ(registry.Find("NQ501_TEST_MESSAGE_A"), first);
    EXPECT_EQ(registry.Find("never registered"), 0u);
    EXPECT_EQ(registry.Name(first), "NQ501_TEST_MESSAGE_A");
    EXPECT_EQ(registry.Register(""), 0u);
}

TEST(MessageRegistry, HookAndGuidMessagesKeepTheirOrder)
{
    CAppMessages::RegisterHookMessages();
    CAppMessages::RegisterGuidMessages();
    unsigned identity = CAppMessages::RegisterIdentity();
    const auto& hooks = CAppMessages::Hooks();
    EXPECT_EQ(hooks[18], hooks[14]) << "the repeated name yields the fifteenth number";
    std::set<unsigned> distinct(hooks.begin(), hooks.end());
    EXPECT_EQ(distinct.size(), 19u);
    EXPECT_EQ(distinct.count(0), 0u);

    std::set<unsigned> guids;
    for (int suffix = 15; suffix <= 18; ++suffix)
        guids.insert(CAppMessages::Guid(suffix));
    EXPECT_EQ(guids.size(), 4u);
    EXPECT_EQ(guids.count(0), 0u);
    EXPECT_EQ(CAppMessages::Guid(19), 0u);
    EXPECT_EQ(CMessageRegistry::Instance().Find("{4695579F-999A-41d4-9FAF-EFFCE93EBF17}"), CAppMessages::Guid(17));
    EXPECT_EQ(CAppMessages::Identity(), identity);
    EXPECT_EQ(CMessageRegistry::Instance().Name(identity), "NQ501");
}

TEST(CommandLine, OptionsAndTheirErrors)
{
    struct Case {
        QStringList arguments;
        bool ok;
    };
    const std::vector<Case> cases = {
        {{"nq501"}, true},
        {{"nq501", "--log", "-"}, true},
        {{"nq501", "--log"}, false},
        {{"nq501", "--log="}, false},
        {{"nq501", "--message", "NQ501", "0"}, false},
        {{"nq501", "--message", "NQ501", "x", "1"}, false},
        {{"nq501", "--message", "", "0", "1"}, false},
        {{"nq501", "--message", QString(1025, 'x'), "0", "1"}, false},
        {{"nq501", "--message", QString(1024, 'x'), "0", "1"}, true},
        {{"nq501", "-platform", "offscreen", "--demo"}, true},
    };
    for (const Case& c : cases) {
        CCommandLine options;
        EXPECT_EQ(options.Parse(c.arguments), c.ok) << c.arguments.join(' ').toStdString();
        if (!c.ok) {
            EXPECT_FALSE(options.Error().isEmpty());
        }
    }

    CCommandLine options;
    ASSERT_TRUE(options.Parse({"nq501", "--log", "/tmp/x.log", "--demo", "--message",
                               "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}", "0x1", "-1"}));
    EXPECT_TRUE(options.hasLog);
    EXPECT_EQ(options.logTarget, "/tmp/x.log");
    EXPECT_TRUE(options.demo);
    EXPECT_TRUE(options.sendMessage);
    EXPECT_EQ(options.messageName, "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}");
    EXPECT_EQ(options.wParam, 1u);
    EXPECT_EQ(options.lParam, -1);
}

TEST(CustomControls, TheTwentyThreeClassesComeFromLayoutsByName)
{
    nq::app::RegisterCustomControls();
    const QStringList& names = nq::app::CustomControlNames();
    ASSERT_EQ(names.size(), 23);
    EXPECT_EQ(names.first(), "CCircleProgressUI");
    EXPECT_EQ(names.last(), "CKelvaskVA6533Device");

    QTemporaryDir dir;
    QByteArray body;
    for (const QString& name : names)
        body += "<item><widget class=\"" + name.toLatin1() + "\" name=\"c_" + name.toLatin1() + "\"/></item>";
    QFile file(dir.path() + "/all.ui");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<ui version=\"4.0\"><widget class=\"QWidget\" name=\"root\"><layout class=\"QVBoxLayout\" "
               "name=\"l\">" + body + "</layout></widget></ui>");
    file.close();
    nq::ui::CSkinPaths::SetSkinFolder(dir.path());
    QWidget host;
    QWidget* root = nq::ui::CSkinLoader::Load("all", &host);
    nq::ui::CSkinPaths::SetSkinFolder(QString());
    ASSERT_NE(root, nullptr);
    for (const QString& name : names) {
        QWidget* control = root->findChild<QWidget*>("c_" + name);
        ASSERT_NE(control, nullptr) << name.toStdString();
        EXPECT_EQ(nq::ui::ControlClassName(control), name);
        EXPECT_TRUE(QString(control->metaObject()->className()).endsWith(name)) << name.toStdString();
    }
}

TEST(PrivateFonts, MissingFilesAreSkipped)
{
    QTemporaryDir dir;
    nq::app::CPrivateFonts fonts;
    EXPECT_EQ(fonts.Load(dir.path()), 0);

    // One real font under one of the five names; the other four are missing.
    const QString system = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!QFile::exists(system))
        GTEST_SKIP() << "no system font to copy";
    QDir(dir.path()).mkpath("Font");
    ASSERT_TRUE(QFile::copy(system, dir.path() + "/Font/Helvetica.ttf"));
    QFile broken(dir.path() + "/Font/Quintaro-Regular.otf");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a font");
    broken.close();
    EXPECT_EQ(fonts.Load(dir.path()), 1);
    EXPECT_TRUE(fonts.Families().contains("DejaVu Sans"));
    fonts.Unload();
    EXPECT_TRUE(fonts.Families().isEmpty());
}

TEST(MainWindow, CreatedWithTitleSizeAndCentredAndRaisedByTheIdentityMessage)
{
    nq::ui::CSkinPaths::SetSkinFolder(QString(NQ501_SOURCE_DIR) + "/skin");
    CAppMessages::RegisterIdentity();
    nq::app::CMainWnd window;
    ASSERT_TRUE(window.Create());
    nq::ui::CSkinPaths::SetSkinFolder(QString());
    EXPECT_EQ(window.windowTitle(), "NQ501");
    // At the size of its UI scale before it is ever shown.
    EXPECT_EQ(window.width(), nq::app::CMainWnd::kScaledWidth * window.UiScale() / 96);
    EXPECT_GE(window.height(), nq::app::CMainWnd::kScaledHeight * window.UiScale() / 96);
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((window.frameGeometry().center() - screen.center()).manhattanLength(), 2);

    window.hide();
    window.OnAppMessage("NQ501", 0, 1);
    EXPECT_TRUE(window.isVisible());
    window.showMinimized();
    window.OnAppMessage("NQ501", 0, 1);
    EXPECT_FALSE(window.isMinimized());
}

} // namespace
