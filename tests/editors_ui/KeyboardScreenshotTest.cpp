// Pictures of the keyboard page for review: runs only when NQ501_SCREENSHOT names the output file
// (scripts/screenshot-keyboard.sh sets it and runs this under Xvfb). Files: <name>-keys.png (the
// key picture in the default lighting), -custom.png (the custom effect with keys painted red),
// -assign.png (a re-assigned key in the key editor), -logo.png, -side.png, -system.png and
// -800.png (the main window's page size).
#include "KeyboardPageFixture.h"

#include "app/CApplication.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

using namespace nq;

class KeyboardPageScreenshot : public nqtest::KeyboardPageTest {};

TEST_F(KeyboardPageScreenshot, WritesPictures)
{
    const QString target = qEnvironmentVariable("NQ501_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "set NQ501_SCREENSHOT to write the pictures";
    ASSERT_TRUE(app::CApplication::ApplyStyleSheet());
    ConnectPage();
    window->resize(page->size());
    window->show();
    QTest::qWait(100);

    const QFileInfo info(target);
    const QString stem = info.path() + "/" + info.completeBaseName();
    auto shoot = [&](const char* suffix) {
        Kb().OutputLightFrame();
        Kb().OnRefreshTickB();
        Kb().OnRefreshTickC();
        QApplication::processEvents();
        QTest::qWait(50);
        const QString file = QString("%1-%2.png").arg(stem, suffix);
        ASSERT_TRUE(window->grab().save(file)) << file.toStdString();
        std::printf("%s\n", qPrintable(file));
    };

    Raise("deng_Op_tab", "selectchanged", 1);
    shoot("keys");

    // The custom effect: three keys painted red.
    auto* effects = Get<QComboBox>("light_combo_modeSelect");
    ASSERT_NE(effects, nullptr);
    effects->setCurrentIndex(20);
    Raise("light_combo_modeSelect", "itemselect", 20);
    Raise("color_option_0", "click");
    for (const char* key : {"key_43", "key_44", "key_45"})
        Raise(key, "click");
    shoot("custom");

    Raise("key_Op_tab", "selectchanged", 1);
    Raise("key_64", "click");
    shoot("assign");

    Raise("deng_Op_tab", "selectchanged", 1);
    Raise("keyboard_device_seting_option_1", "selectchanged", 1);
    shoot("logo");
    Raise("keyboard_device_seting_option_2", "selectchanged", 1);
    shoot("side");

    Raise("keyboard_device_seting_option_0", "selectchanged", 1);
    Raise("system_Op_tab", "selectchanged", 1);
    shoot("system");

    window->resize(800, 528);
    shoot("800");
}
