// The keyboard picture is one opaque widget drawn over the key cap buttons: the caps must still
// take the clicks at their place, and what the picture shows must follow each cap's colour,
// label and selection, on screen (the window's backing store) as in a grab.
#include "KeyboardPageFixture.h"

#include "devices/LightingColourBuffer.h"

#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace nq;
using nq::pages::CKeyCapButtonUI;

namespace {

// A pixel of the rim left of the cap's middle: the light at 0.25 + 0.75 of its level over the case.
QPoint RimPixel(const CKeyCapButtonUI& cap)
{
    return QPoint(1, cap.height() / 2);
}

QRgb Expected(QRgb below, int r, int g, int b, int level)
{
    const double a = 0.25 + 0.75 * level / 255.0;
    return qRgb(int(qRed(below) * (1 - a) + r * a + 0.5), int(qGreen(below) * (1 - a) + g * a + 0.5),
                int(qBlue(below) * (1 - a) + b * a + 0.5));
}

bool Near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2 && std::abs(qBlue(a) - qBlue(b)) <= 2;
}

} // namespace

class KeyboardPicture : public nqtest::KeyboardPageTest {
protected:
    void Show()
    {
        ConnectPage();
        Kb().SetPreviewShown(false); // the colours set here stay
        window->resize(page->size());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        picture = Control("keyboard_picture_0");
        ASSERT_NE(picture, nullptr);
    }
    // The window as its backing store holds it, at the cap's place.
    QImage OnScreen(const CKeyCapButtonUI& cap)
    {
        QApplication::processEvents();
        QTest::qWait(20);
        const QImage screen = window->screen()->grabWindow(window->winId()).toImage();
        return screen.copy(QRect(cap.mapTo(window.get(), QPoint()), cap.size()));
    }
    QImage Grabbed(const CKeyCapButtonUI& cap) { return picture->grab(cap.geometry()).toImage(); }

    QWidget* picture = nullptr;
};

TEST_F(KeyboardPicture, ClicksReachTheCapUnderThePicture)
{
    Show();
    CKeyCapButtonUI* cap = page->KeyCap(64);
    ASSERT_NE(cap, nullptr);
    const QPoint middle = cap->mapTo(window.get(), cap->rect().center());
    EXPECT_EQ(window->childAt(middle), cap) << "the picture is transparent for the mouse";
    QSignalSpy clicks(cap, &QAbstractButton::clicked);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(KeyboardPicture, CapsShowTheirColourLabelAndSelectionOnScreenAndInAGrab)
{
    Show();
    CKeyCapButtonUI* cap = page->KeyCap(64);
    CKeyCapButtonUI* neighbour = page->KeyCap(65);
    ASSERT_TRUE(cap && neighbour);
    const QRgb caseColour = qRgb(0x15, 0x18, 0x1d);

    struct Step {
        int r, g, b, level;
    };
    for (const Step& step : {Step{255, 0, 0, 255}, Step{0, 200, 40, 128}, Step{10, 20, 250, 40}}) {
        SCOPED_TRACE(step.level);
        Kb().SetKeyColour(64, MakeLedWord(uint8_t(step.r), uint8_t(step.g), uint8_t(step.b), uint8_t(step.level)));
        Kb().SetKeyColour(65, MakeLedWord(0, 0, 0, 255));
        Kb().OutputLightFrame();
        const QRgb expected = Expected(caseColour, step.r, step.g, step.b, step.level);
        EXPECT_TRUE(Near(OnScreen(*cap).pixel(RimPixel(*cap)), expected))
            << std::hex << OnScreen(*cap).pixel(RimPixel(*cap)) << " " << expected;
        EXPECT_TRUE(Near(Grabbed(*cap).pixel(RimPixel(*cap)), expected));
        EXPECT_TRUE(Near(OnScreen(*neighbour).pixel(RimPixel(*neighbour)), Expected(caseColour, 0, 0, 0, 255)));
    }

    // A label set on the button and a selection show without any light change.
    Kb().SetKeyColour(64, MakeLedWord(255, 0, 0, 255));
    Kb().OutputLightFrame();
    auto count = [](const QImage& image, auto is) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += is(image.pixel(x, y));
        return n;
    };
    auto label = [](QRgb p) { return qRed(p) < 90 && qGreen(p) > 110 && qBlue(p) > 160; };  // 00b4ff
    auto ring = [](QRgb p) { return qRed(p) > 220 && qGreen(p) > 120 && qBlue(p) < 60; };   // ff9900
    EXPECT_EQ(count(OnScreen(*cap), label), 0);
    EXPECT_EQ(count(OnScreen(*cap), ring), 0);
    cap->SetLabel("Mute", true);
    EXPECT_GT(count(OnScreen(*cap), label), 3) << "the assignment label under the legend";
    cap->SetKeySelected(true);
    EXPECT_GT(count(OnScreen(*cap), ring), 20);
    EXPECT_GT(count(Grabbed(*cap), ring), 20);
    cap->SetKeySelected(false);
    EXPECT_EQ(count(OnScreen(*cap), ring), 0);
}
