// Pictures of the mouse page for review: runs only when NQ501_SCREENSHOT names the output file
// (scripts/screenshot.sh sets it and runs this under Xvfb). Each page state gets its own file:
// <name>-performance.png, -keys.png, -pointer.png, -lighting.png, -lighting-leds.png,
// -leds-swing.png and -leds-swing-800.png (the main window's page size).
#include "MousePageFixture.h"

#include "app/CApplication.h"
#include "editors/qt/CKeySetControlUI.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

using namespace nq;

class MousePageScreenshot : public nqtest::MousePageTest {};

TEST_F(MousePageScreenshot, WritesPictures)
{
    const QString target = qEnvironmentVariable("NQ501_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "set NQ501_SCREENSHOT to write the pictures";
    ASSERT_TRUE(app::CApplication::ApplyStyleSheet());
    folders->WriteMacroList({"Reload", "Sprint"});
    ConnectPage();
    window->resize(page->size());
    window->show();
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

    page->Mouse().SetPageState(4);
    shoot("performance");

    page->Mouse().SetPageState(2);
    ASSERT_TRUE(page->OnKeyClick(2));
    shoot("keys");

    page->Mouse().SetPageState(5);
    shoot("pointer");

    // The lighting tab under both views of the picture.
    page->Mouse().SetPageState(1);
    if (auto* swatch = qobject_cast<QAbstractButton*>(Control("color_option_4")))
        swatch->click(); // a preset colour shows its ring
    shoot("lighting");
    page->SelectOptionPage(1);
    shoot("lighting-leds");
    page->SelectOptionPage(0);

    // The LED view with the lighting effect running for a moment.
    page->Mouse().StartLightingThread();
    QTest::qWait(300);
    page->Mouse().StopLightingThread();
    page->OutputLightFramePage();
    page->SelectOptionPage(1);
    page->Mouse().SetPageState(2);
    page->OnKeyClick(4);
    if (auto* combo = qobject_cast<QComboBox*>(page->KeyEditor()->Control("keyset_function_combo")))
        combo->setCurrentIndex(2); // a swing, to show the numeric fields
    shoot("leds-swing");

    // At the main window's size (800 x 572 with its 44-pixel caption).
    window->resize(800, 528);
    shoot("leds-swing-800");
}
