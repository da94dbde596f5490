// Pictures of the keyboard page's previews while effects run, each at two moments, for review:
// runs only when NQ501_EFFECT_SCREENSHOTS names an output stem (scripts/screenshot-keyboard-
// effects.sh sets it and runs this under Xvfb). The engine's own threads compute the colours; the
// pictures are refreshed as the preview timer does. Files: <stem>-<effect>-1.png and -2.png.
#include "KeyboardPageFixture.h"

#include "app/CApplication.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

using namespace nq;

class KeyboardEffectScreenshot : public nqtest::KeyboardPageTest {};

TEST_F(KeyboardEffectScreenshot, WritesPicturesAtTwoMoments)
{
    const QString target = qEnvironmentVariable("NQ501_EFFECT_SCREENSHOTS");
    if (target.isEmpty())
        GTEST_SKIP() << "set NQ501_EFFECT_SCREENSHOTS to write the pictures";
    ASSERT_TRUE(app::CApplication::ApplyStyleSheet());
    ConnectPage();
    window->resize(page->size());
    window->show();
    Raise("deng_Op_tab", "selectchanged", 1);

    const QFileInfo info(target);
    const QString stem = info.path() + "/" + info.completeBaseName();
    // Lets the engine run for `ms` while the preview timer refreshes the pictures.
    auto run = [&](int ms) {
        for (int t = 0; t < ms; t += 50) {
            Kb().OutputLightFrame();
            Kb().OnRefreshTickB();
            Kb().OnRefreshTickC();
            QTest::qWait(50);
        }
    };
    auto shoot = [&](const QString& name) {
        for (int moment : {1, 2}) {
            run(moment == 1 ? 600 : 450);
            const QString file = QString("%1-%2-%3.png").arg(stem, name).arg(moment);
            ASSERT_TRUE(window->grab().save(file)) << file.toStdString();
            std::printf("%s\n", qPrintable(file));
        }
    };
    auto setZone = [&](int zone, int effect, int speed, bool multi) {
        LightSetting main = zone == LightSetting::kLogo ? Kb().Profile().GetLogoLightInfo()
                          : zone == LightSetting::kSt   ? Kb().Profile().GetStLightInfo()
                                                        : Kb().Profile().GetLightInfo();
        main[zone + LightSetting::kEffect] = uint8_t(effect);
        main[zone + LightSetting::kSpeed] = uint8_t(speed);
        main[zone + LightSetting::kBrightness] = 4;
        main[zone + LightSetting::kMultiColour] = multi;
        main[zone + LightSetting::kRed] = 255, main[zone + LightSetting::kGreen] = 60;
        main[zone + LightSetting::kBlue] = 0;
        if (zone == LightSetting::kLogo) {
            main[LightSetting::kLogoOnOff] = 0; // the logo light on
            Kb().Profile().SetLogoLightInfo(main);
        }
        if (zone == LightSetting::kSt)
            Kb().Profile().SetStLightInfo(main);
        if (zone == LightSetting::kMain)
            Kb().Profile().SetLightInfo(main);
        Kb().LoadLighting();
    };

    struct Shot { const char* name; int effect, speed; bool multi; };
    for (const Shot& s : {Shot{"column-wave", 1, 0, true}, Shot{"key-order-wave", 3, 0, false}, Shot{"rings", 18, 2, true},
                          Shot{"raindrops", 10, 0, true}, Shot{"radar", 27, 4, false}, Shot{"sequence", 14, 4, true},
                          Shot{"twinkle", 15, 2, true}}) {
        setZone(LightSetting::kMain, s.effect, s.speed, s.multi);
        shoot(s.name);
    }

    Raise("keyboard_device_seting_option_1", "selectchanged", 1);
    setZone(LightSetting::kLogo, 2, 4, true);
    shoot("logo-bounce");
    setZone(LightSetting::kLogo, 0, 4, false);
    shoot("logo-wave");
    Raise("keyboard_device_seting_option_2", "selectchanged", 1);
    setZone(LightSetting::kSt, 0, 2, true);
    shoot("side-wave");
}
