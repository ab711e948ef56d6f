#include "display/Graticule.h"

#include <gtest/gtest.h>

#include "tests/display/SlotBuilder.h"

namespace tracebay::display {
namespace {

class Graticule : public ::testing::Test {
protected:
    platform::PictureSurface draw(double s, bool grid, bool dual = false, bool color = true) {
        platform::PictureSurface surface = recordingSurface(s);
        DrawScrGrid(surface, Screen{s}, {color, grid, dual});
        return surface;
    }
    static bool grey(const platform::PictureSurface& surface, int x, int y) {
        return pixelAt(surface, x, y) == LightGrey;
    }
};

TEST_F(Graticule, BorderIsTwoPixelsWideAroundTheScreen) {
    const auto surface = draw(1, false);
    EXPECT_TRUE(grey(surface, 100, 24));
    EXPECT_TRUE(grey(surface, 100, 25));
    EXPECT_TRUE(grey(surface, 24, 100));
    EXPECT_TRUE(grey(surface, 325, 100));
    EXPECT_TRUE(grey(surface, 100, 225));
    EXPECT_EQ(pixelAt(surface, 10, 100), Black);
    EXPECT_EQ(pixelAt(surface, 330, 100), Black);
}

TEST_F(Graticule, CentreLinesAreSolid) {
    const auto surface = draw(1, false);
    for (int x = 25; x < 325; ++x) ASSERT_TRUE(grey(surface, x, 125)) << x;
    for (int y = 25; y < 225; ++y) ASSERT_TRUE(grey(surface, 175, y)) << y;
}

TEST_F(Graticule, TicksAtScaleOneLieOneAndTwoPixelsInsideTopAndLeft) {
    const auto surface = draw(1, false);
    EXPECT_TRUE(grey(surface, 30, 26));  // minor
    EXPECT_FALSE(grey(surface, 30, 27));
    EXPECT_TRUE(grey(surface, 50, 26));  // major: two pixels
    EXPECT_TRUE(grey(surface, 50, 27));
    EXPECT_FALSE(grey(surface, 50, 28));
    EXPECT_TRUE(grey(surface, 26, 30));
    EXPECT_FALSE(grey(surface, 27, 30));
    EXPECT_TRUE(grey(surface, 27, 50));
    EXPECT_FALSE(grey(surface, 33, 26));  // only every 5 pixels
}

TEST_F(Graticule, TicksAtScaleOneLieTwoAndThreePixelsInsideBottomAndRight) {
    const auto surface = draw(1, false);
    EXPECT_TRUE(grey(surface, 30, 223));
    EXPECT_FALSE(grey(surface, 30, 222));
    EXPECT_TRUE(grey(surface, 50, 222));
    EXPECT_TRUE(grey(surface, 323, 30));
    EXPECT_FALSE(grey(surface, 322, 30));
    EXPECT_TRUE(grey(surface, 322, 50));
}

TEST_F(Graticule, TicksSitOnBothSidesOfTheCentreLines) {
    const auto surface = draw(1, false);
    EXPECT_TRUE(grey(surface, 30, 124));
    EXPECT_TRUE(grey(surface, 30, 126));
    EXPECT_FALSE(grey(surface, 30, 123));
    EXPECT_TRUE(grey(surface, 50, 123));
    EXPECT_TRUE(grey(surface, 50, 127));
    EXPECT_TRUE(grey(surface, 174, 30));
    EXPECT_TRUE(grey(surface, 176, 30));
    EXPECT_TRUE(grey(surface, 173, 50));
}

TEST_F(Graticule, TicksGrowWithTheZoom) {
    const auto surface = draw(2, false);
    // Minor ticks from 25 + 1 to 25 + 2, major ticks from 25 + 2 to 25 + 4.
    EXPECT_TRUE(grey(surface, 35, 26));
    EXPECT_TRUE(grey(surface, 35, 27));
    EXPECT_FALSE(grey(surface, 35, 28));
    EXPECT_TRUE(grey(surface, 75, 28));
    EXPECT_TRUE(grey(surface, 75, 29));
    EXPECT_FALSE(grey(surface, 75, 30));
    EXPECT_FALSE(grey(surface, 36, 26));  // the minor step is 10 pixels
}

TEST_F(Graticule, NoTicksBelowScaleOne) {
    const auto surface = draw(0.5, false);
    for (int x = 27; x < 174; ++x) {
        if (x == 100) continue;  // the vertical centre line
        ASSERT_FALSE(grey(surface, x, 26)) << x;
        ASSERT_FALSE(grey(surface, x, 74)) << x;
        ASSERT_FALSE(grey(surface, x, 76)) << x;
    }
    EXPECT_TRUE(grey(surface, 100, 25));  // border and centre lines are still there
    EXPECT_TRUE(grey(surface, 60, 75));
}

TEST_F(Graticule, DotsEveryFivePixelsOnEveryDivisionLine) {
    const auto surface = draw(1, true);
    for (int x = 25; x <= 325; x += 5) ASSERT_TRUE(grey(surface, x, 100)) << x;
    EXPECT_FALSE(grey(surface, 32, 100));
    for (int y = 25; y <= 225; y += 5) ASSERT_TRUE(grey(surface, 100, y)) << y;
    EXPECT_FALSE(grey(surface, 100, 62));
    EXPECT_FALSE(grey(surface, 112, 112));  // between the lines
}

TEST_F(Graticule, DualScreenWithGridHasSeventeenRowsAndFinerVerticalSteps) {
    const auto surface = draw(1, true, true);
    for (double y = 25; y <= 225; y += 12.5)
        ASSERT_TRUE(grey(surface, 30, platform::PictureSurface::pixel(y))) << y;
    EXPECT_TRUE(grey(surface, 50, 31));  // column dots every 6.25
    EXPECT_TRUE(grey(surface, 50, 44));
    EXPECT_TRUE(grey(surface, 26, 31));  // vertical minor ticks every 6.25
    EXPECT_TRUE(grey(surface, 30, 74));  // extra ticks beside the half centres
    EXPECT_TRUE(grey(surface, 30, 176));
}

TEST_F(Graticule, DualScreenWithoutGridOnlyChangesTheVerticalTicks) {
    const auto surface = draw(1, false, true);
    EXPECT_TRUE(grey(surface, 26, 31));
    EXPECT_FALSE(grey(surface, 26, 30));
    EXPECT_FALSE(grey(surface, 30, 74));
    EXPECT_FALSE(grey(surface, 30, 38));
}

TEST_F(Graticule, LogoIsBoldOrangeAtTwentyFiveTen) {
    const auto surface = draw(3, true);
    ASSERT_EQ(surface.texts().size(), 1u);
    const auto& logo = surface.texts()[0];
    EXPECT_EQ(logo.text, "KAVLO");
    EXPECT_EQ(logo.x, 25);
    EXPECT_EQ(logo.y, 10);
    EXPECT_TRUE(logo.bold);
    EXPECT_EQ(logo.color, LogoColor);
    EXPECT_FALSE(surface.bold());  // switched off again
}

TEST_F(Graticule, BlackAndWhiteIsBlackOnWhite) {
    const auto surface = draw(1, true, false, false);
    EXPECT_EQ(pixelAt(surface, 5, 5), White);
    EXPECT_EQ(pixelAt(surface, 100, 25), Black);
    EXPECT_EQ(pixelAt(surface, 30, 26), Black);
    EXPECT_EQ(surface.texts()[0].color, Black);
}

}  // namespace
}  // namespace tracebay::display
