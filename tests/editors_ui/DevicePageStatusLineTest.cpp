// A device page taller than the scroll area it sits in (the keyboard page is) keeps its status
// line in view: along the bottom of the part of the page that can be seen, however far the page
// is scrolled and whatever size the window takes.
#include "PageTestSupport.h"

#include "common/Result.h"
#include "devices/CKelvaskMousePadDevice.h"
#include "editors/qt/CDevicePageUI.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(DeviceStatusLine, StaysInViewOfAPageTallerThanItsScrollArea)
{
    nqtest::PreparePageSkin();
    QScrollArea scroller;
    scroller.setWidgetResizable(true);
    scroller.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* page = new nq::pages::CDevicePageUI(std::make_unique<nq::CKelvaskMousePadDevice>());
    page->setMinimumHeight(1200);
    scroller.setWidget(page);
    scroller.resize(500, 300);
    scroller.show();
    QCoreApplication::processEvents();

    page->Device().ReportDeviceWrite(nq::kRefusedFE);
    QLabel* line = page->StatusLine();
    ASSERT_NE(line, nullptr);
    QScrollBar* bar = scroller.verticalScrollBar();
    const struct {
        const char* what;
        std::function<void()> act;
    } steps[] = {
        {"page at its top", [] {}},
        {"scrolled half way", [&] { bar->setValue(bar->maximum() / 2); }},
        {"scrolled to the end", [&] { bar->setValue(bar->maximum()); }},
        {"window made taller, still scrolled", [&] { scroller.resize(500, 700); }},
        {"window made lower, back at the top", [&] {
             scroller.resize(500, 250);
             bar->setValue(0);
         }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        QCoreApplication::processEvents();
        QWidget* viewport = scroller.viewport();
        ASSERT_LT(viewport->height(), page->height()) << "the page must not fit";
        const QRect at(line->mapTo(viewport, QPoint(0, 0)), line->size());
        EXPECT_TRUE(line->isVisible());
        EXPECT_GE(at.top(), 0);
        EXPECT_EQ(at.bottom(), viewport->height() - 1) << "along the bottom of what is in view";
        EXPECT_EQ(at.width(), viewport->width());
    }

    // A later write that goes through takes the line away.
    page->Device().ReportDeviceWrite(nq::kOk);
    EXPECT_FALSE(line->isVisible());
}

} // namespace
