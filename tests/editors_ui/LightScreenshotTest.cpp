// Pictures of the lighting editor on the mouse page for review: runs only when NQ501_SCREENSHOT
// names the output file. Writes <name>-light.png (static colour) and <name>-light-wave.png
// (an effect with speed and direction), at the main window's page size.
//   NQ501_SCREENSHOT=$PWD/mouse-page.png QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24"
//       build/test_editors_ui --gtest_filter='LightScreenshot.*'
#include "MousePageFixture.h"

#include "app/CApplication.h"
#include "editors/qt/CLightControlUI.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

using namespace nq;

class LightScreenshot : public nqtest::MousePageTest {};

TEST_F(LightScreenshot, WritesPictures)
{
    const QString target = qEnvironmentVariable("NQ501_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "set NQ501_SCREENSHOT to write the pictures";
    ASSERT_TRUE(app::CApplication::ApplyStyleSheet());
    std::filesystem::copy_file(NQ501_SOURCE_DIR "/DefaultData/default_light.json",
                               folders->DefaultFolder() + "default_light.json",
                               std::filesystem::copy_options::overwrite_existing);
    page->Mouse().SetVariant(1);
    page->BuildPage();
    ConnectPage();
    window->resize(1000, 600);
    window->show();
    page->Mouse().SetPageState(1);
    QTest::qWait(100);

    const QFileInfo info(target);
    const QString stem = info.path() + "/" + info.completeBaseName();
    auto shoot = [&](const char* suffix) {
        QApplication::processEvents();
        QTest::qWait(50);
        const QString file = QString("%1-%2.png").arg(stem, suffix);
        ASSERT_TRUE(window->grab().save(file)) << file.toStdString();
        std::printf("%s\n", qPrintable(file));
    };
    shoot("light");
    qobject_cast<QComboBox*>(Control("light_combo_modeSelect"))->setCurrentIndex(0);
    page->LightEditor()->SetSameModePermission(1);
    shoot("light-wave");
}
