// The pad picture draws its LEDs over the LED buttons: a click at an LED on the window reaches its
// button, and the window shows each LED's colour and its ring while picked.
#include "PadPageFixture.h"

#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace nqtest {
namespace {

TEST_F(PadPageTest, LedsArePickedByClickOnTheWindowAndShowColourAndRing)
{
    BuildPage();
    window->resize(page->size());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    nq::pages::CDeviceKeyButtonUI* led = page->LedButton(4);
    ASSERT_NE(led, nullptr);
    auto onScreen = [&] {
        QApplication::processEvents();
        QTest::qWait(20);
        return window->screen()->grabWindow(window->winId()).toImage().copy(
            QRect(led->mapTo(window.get(), QPoint()), led->size()));
    };
    auto ringPixels = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qRed(image.pixel(x, y)) > 220 && qGreen(image.pixel(x, y)) > 120 && qBlue(image.pixel(x, y)) < 60;
        return n;
    };

    // Green at full level: the disc's middle is the colour itself. (No frames meanwhile.)
    page->Pad().SetLightingEnabled(false);
    led->SetLightColour(0xFF0000, 255, true); // green is byte 2 of the packing
    QImage shown = onScreen();
    const QRgb middle = shown.pixel(led->width() / 2, led->height() / 2);
    EXPECT_EQ(qRgb(qRed(middle), qGreen(middle), qBlue(middle)), qRgb(0, 255, 0));
    EXPECT_EQ(ringPixels(shown), 0);

    const QPoint at = led->mapTo(window.get(), led->rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(page->PickedLeds(), (std::vector<int>{4})) << "the click went through the picture";
    EXPECT_GT(ringPixels(onScreen()), 10);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(page->PickedLeds().empty());
    EXPECT_EQ(ringPixels(onScreen()), 0);
}

} // namespace
} // namespace nqtest
