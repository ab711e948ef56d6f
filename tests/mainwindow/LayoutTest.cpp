#include "mainwindow/Layout.h"

#include <gtest/gtest.h>

#include "mainwindow/ZoomText.h"

namespace tracebay::mainwindow {
namespace {

// A BackPic whose viewport (inside its 2-pixel frame) has the given size.
QRect backPicAround(QSize viewport) {
    return {80, 7, viewport.width() + 2 * Layout::BackPicBorder,
            viewport.height() + 2 * Layout::BackPicBorder};
}

TEST(Layout, TheViewportFillsTheWindowRightOfTheColumn) {
    EXPECT_EQ(Layout::backPicGeometry({799, 602}), QRect(80, 7, 719, 595));
    EXPECT_EQ(Layout::viewportSize(QRect(80, 7, 719, 595)), QSize(715, 591));
    EXPECT_EQ(Layout::backPicGeometry({80, 7}), QRect(80, 7, 0, 0));
    EXPECT_EQ(Layout::backPicGeometry({79, 300}), std::nullopt) << "too narrow: stays as it was";
    EXPECT_EQ(Layout::backPicGeometry({300, 6}), std::nullopt);
}

TEST(Layout, BestFitTakesTheTighterDirectionAndNeverGoesBelowOnePercent) {
    EXPECT_DOUBLE_EQ(Layout::bestFitScale({700, 375}), 1.5);
    EXPECT_DOUBLE_EQ(Layout::bestFitScale({700, 500}), 2.0);
    EXPECT_DOUBLE_EQ(Layout::bestFitScale({2, 2}), 0.01);
    EXPECT_DOUBLE_EQ(Layout::bestFitScale({0, 0}), 0.01);
    EXPECT_EQ(Layout::wavePicSize(1.5), QSize(525, 375));
    EXPECT_EQ(Layout::wavePicSize(2.5), QSize(875, 625));
}

TEST(Layout, ScrollBarsShowWhereThePictureOverflows) {
    struct Case {
        QSize viewport;
        QSize picture;
        bool horizontal, vertical;
        int hSpan, vSpan, hPage, vPage;
    };
    const Case cases[] = {
        {{600, 400}, {700, 500}, true, true, 100, 100, 86, 80},
        {{600, 600}, {700, 500}, true, false, 100, 0, 86, 0},
        {{800, 400}, {700, 500}, false, true, 0, 100, 0, 80},
        {{700, 500}, {700, 500}, false, false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto bars = Layout::scrollBars(backPicAround(c.viewport), c.picture);
        EXPECT_EQ(bars.horizontal.visible, c.horizontal) << c.viewport.width();
        EXPECT_EQ(bars.vertical.visible, c.vertical) << c.viewport.width();
        EXPECT_EQ(bars.horizontal.span, c.hSpan);
        EXPECT_EQ(bars.vertical.span, c.vSpan);
        EXPECT_EQ(bars.horizontal.pageStep, c.hPage);
        EXPECT_EQ(bars.vertical.pageStep, c.vPage);
    }
}

TEST(Layout, ScrollBarsLieOverTheViewportsEdgesAndLeaveTheCornerFree) {
    const QRect back(80, 7, 604, 404);  // 1200, 105, 9060, 6060 twips
    const auto both = Layout::scrollBars(back, {700, 500});
    // Left 1220, top 105 + 6060 - 280, width 9060 - 290; height 255 twips.
    EXPECT_EQ(both.horizontal.geometry, QRect(81, 392, 585, 17));
    // Left 1200 + 9060 - 280, top 125, height 6060 - 295.
    EXPECT_EQ(both.vertical.geometry, QRect(665, 8, 17, 384));
    const auto one = Layout::scrollBars(back, {700, 300});
    EXPECT_EQ(one.horizontal.geometry, QRect(81, 392, 601, 17));
}

TEST(Layout, TheIndicatorSitsAboveTheGridsTopRightCorner) {
    EXPECT_EQ(Layout::indicatorPlace({0, 0}, 1.0, {90, 17}), QPoint(236, 5));
    EXPECT_EQ(Layout::indicatorPlace({-200, -40}, 2.0, {90, 17}), QPoint(336, -35));
}

TEST(Layout, ScrollValuesArePercentagesOfTheOverflow) {
    EXPECT_EQ(Layout::scrolledOffset(100, 200), -200);
    EXPECT_EQ(Layout::scrolledOffset(50, 101), -50);  // 50.5 to the even pixel
    EXPECT_EQ(Layout::scrolledOffset(0, 200), 0);
}

TEST(ZoomText, APercentageIsANumberAndAPercentSign) {
    EXPECT_EQ(parseZoomText("150%"), 150);
    EXPECT_EQ(parseZoomText("33.3%"), 33.3);
    EXPECT_EQ(parseZoomText("-5%"), -5);
    EXPECT_EQ(parseZoomText(" 0 %"), 0);
    for (const char* bad : {"", "%", "abc%", "150", "15 0%", "1%%", "33,3%"})
        EXPECT_EQ(parseZoomText(bad, QLocale::c()), std::nullopt) << bad;
    // A desktop set to a decimal comma: its way and the point both.
    const QLocale comma(QLocale::German, QLocale::Germany);
    EXPECT_EQ(parseZoomText("33,3%", comma), 33.3);
    EXPECT_EQ(parseZoomText(" 12,5 %", comma), 12.5);
    EXPECT_EQ(parseZoomText("33.3%", comma), 33.3);
    EXPECT_EQ(parseZoomText("150%", comma), 150);
    EXPECT_EQ(parseZoomText("abc%", comma), std::nullopt);
    EXPECT_EQ(zoomText(0.333), "33%");
    EXPECT_EQ(zoomText(1.375), "138%");
    EXPECT_EQ(zoomText(0.01), "1%");
}

}  // namespace
}  // namespace tracebay::mainwindow
