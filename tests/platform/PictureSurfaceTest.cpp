#include "platform/PictureSurface.h"

#include <gtest/gtest.h>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>
#include <limits>

#include "platform/PictureFont.h"

namespace tracebay::platform {
namespace {

constexpr Rgb Red = rgb(255, 0, 0);
constexpr Rgb White = rgb(255, 255, 255);

class PictureSurfaceTest : public ::testing::Test {
protected:
    bool isRed(int x, int y) const { return (surface.image().pixel(x, y) & 0xFFFFFF) == Red; }

    PictureSurface surface{40, 30};

    void SetUp() override {
        surface.setBackColor(White);
        surface.setForeColor(Red);
    }
};

TEST_F(PictureSurfaceTest, ThinLineLeavesOutItsLastPoint) {
    surface.line(2, 5, 10, 5);
    EXPECT_TRUE(isRed(2, 5));
    EXPECT_TRUE(isRed(9, 5));
    EXPECT_FALSE(isRed(10, 5));
    EXPECT_FALSE(isRed(1, 5));
}

TEST_F(PictureSurfaceTest, LineFromTheCurrentPointContinuesTheOutline) {
    surface.line(2, 2, 2, 8);
    surface.lineTo(8, 8);
    EXPECT_TRUE(isRed(2, 8));  // left out by the first line, drawn by the second
    EXPECT_FALSE(isRed(8, 8));
    EXPECT_DOUBLE_EQ(surface.currentX(), 8);
}

TEST_F(PictureSurfaceTest, ZeroLengthThinLineDrawsNothing) {
    surface.line(5, 5, 5, 5);
    EXPECT_FALSE(isRed(5, 5));
}

TEST_F(PictureSurfaceTest, WideLineCoversTheRowAboveAndItsEnds) {
    surface.setDrawWidth(2);
    surface.line(5, 10, 20, 10);
    EXPECT_TRUE(isRed(12, 9));
    EXPECT_TRUE(isRed(12, 10));
    EXPECT_FALSE(isRed(12, 11));
    EXPECT_FALSE(isRed(12, 8));
    EXPECT_TRUE(isRed(20, 10));
}

struct WideLineRow {
    double x1, y1, x2, y2;
    int redPixels;  // what lies inside the 40 x 30 picture
};

class WideLineClipping : public PictureSurfaceTest,
                         public ::testing::WithParamInterface<WideLineRow> {};

TEST_P(WideLineClipping, OnlyThePartInsideThePictureIsFilled) {
    const WideLineRow& row = GetParam();
    surface.setDrawWidth(2);
    surface.line(row.x1, row.y1, row.x2, row.y2);
    int red = 0;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) red += isRed(x, y);
    EXPECT_EQ(red, row.redPixels);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WideLineClipping,
    ::testing::Values(WideLineRow{50, 5, 50, 20, 0}, WideLineRow{5, 40, 30, 40, 0},
                      WideLineRow{-10, 5, -10, 20, 0}, WideLineRow{5, -10, 30, -10, 0},
                      WideLineRow{45, 40, 60, 40, 0}, WideLineRow{41, 5, 41, 20, 0},
                      WideLineRow{40, 5, 40, 9, 6}, WideLineRow{30, 10, 60, 10, 22},
                      WideLineRow{10, 25, 10, 90, 12}, WideLineRow{1e9, 3, 1e9, 9, 0}));

TEST_F(PictureSurfaceTest, DotOfAWideLineIsTwoByTwo) {
    surface.setDrawWidth(2);
    surface.pset(10, 10);
    EXPECT_TRUE(isRed(9, 9));
    EXPECT_TRUE(isRed(10, 10));
    EXPECT_FALSE(isRed(11, 10));
    EXPECT_FALSE(isRed(10, 11));
}

TEST_F(PictureSurfaceTest, CoordinatesRoundHalvesToEven) {
    EXPECT_EQ(PictureSurface::pixel(2.5), 2);
    EXPECT_EQ(PictureSurface::pixel(3.5), 4);
    EXPECT_EQ(PictureSurface::pixel(-0.5), 0);
    EXPECT_EQ(PictureSurface::pixel(26.6), 27);
    surface.pset(4.5, 6.5);
    EXPECT_TRUE(isRed(4, 6));
}

TEST_F(PictureSurfaceTest, PointsOutsideThePictureOrNotNumbersDrawNothing) {
    surface.pset(-3, 5);
    surface.pset(40, 5);
    surface.pset(std::numeric_limits<double>::quiet_NaN(), 2);
    surface.line(-50, 3, -10, 3);
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) ASSERT_FALSE(isRed(x, y)) << x << "," << y;
}

TEST_F(PictureSurfaceTest, LineWithFarEndsIsDrawnWhereItCrossesThePicture) {
    surface.line(7, -1e12, 7, 1e12);
    for (int y = 0; y < surface.height(); ++y) ASSERT_TRUE(isRed(7, y)) << y;
    EXPECT_FALSE(isRed(8, 10));
}

TEST_F(PictureSurfaceTest, SettingTheBackgroundClears) {
    surface.pset(3, 3);
    surface.setBackColor(rgb(0, 0, 0));
    EXPECT_EQ(surface.image().pixel(3, 3) & 0xFFFFFF, 0u);
}

TEST_F(PictureSurfaceTest, RecordingKeepsTextsWithPlaceColourAndWeight) {
    surface.setRecording(true);
    surface.setBold(true);
    surface.textOut(24.5, 10.2, "KAVLO");
    surface.setBold(false);
    surface.setForeColor(White);
    surface.textOut(5, 7, "D7");
    ASSERT_EQ(surface.texts().size(), 2u);
    EXPECT_EQ(surface.texts()[0].x, 24);
    EXPECT_EQ(surface.texts()[0].y, 10);
    EXPECT_TRUE(surface.texts()[0].bold);
    EXPECT_EQ(surface.texts()[0].color, Red);
    EXPECT_EQ(surface.texts()[1].text, "D7");
    EXPECT_FALSE(surface.texts()[1].bold);
}

TEST_F(PictureSurfaceTest, RecordedTextExtentIsWhatItColoursWithinItsLine) {
    surface.setRecording(true);
    surface.textOut(5, 7, "D7");
    const auto& text = surface.texts().front();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if ((surface.image().pixel(x, y) & 0xFFFFFF) != White) {
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
    EXPECT_EQ(right, text.x + text.width - 1);
    EXPECT_LT(bottom, text.y + text.height);
}

TEST_F(PictureSurfaceTest, DottedLineSetsEveryOtherPixel) {
    surface.setDotted(true);
    surface.line(0, 3, 10, 3);
    EXPECT_TRUE(isRed(0, 3));
    EXPECT_FALSE(isRed(1, 3));
    EXPECT_TRUE(isRed(2, 3));
}

// Whatever faces are on offer, the chosen font keeps to the metrics the layout was made for.
class PictureFontChoice : public ::testing::TestWithParam<QStringList> {};

TEST_P(PictureFontChoice, KeepsToTheLimitsInBothWeights) {
    QFont font = choosePictureFont(GetParam());
    for (const bool bold : {false, true}) {
        font.setBold(bold);
        const QFontMetrics metrics(font);
        EXPECT_LE(metrics.height(), PictureFontLimits::LineHeight) << bold;
        EXPECT_LE(metrics.averageCharWidth(), PictureFontLimits::AverageWidth) << bold;
        for (const char digit : std::string("0123456789"))
            EXPECT_LE(metrics.horizontalAdvance(QLatin1Char(digit)), PictureFontLimits::DigitWidth)
                << digit << (bold ? " bold" : "");
    }
}

INSTANTIATE_TEST_SUITE_P(Faces, PictureFontChoice,
                         ::testing::Values(QStringList{"DejaVu Sans Condensed"},
                                           QStringList{"No Such Face", "DejaVu Sans"},
                                           QStringList{"No Such Face"}, QStringList{}));

TEST(PictureFont, IsTheCondensedFaceInFullHeightLines) {
    const QFont font = pictureFont(false);
    EXPECT_EQ(QFontInfo(font).family(), "DejaVu Sans Condensed");
    EXPECT_EQ(QFontMetrics(font).height(), PictureFontLimits::LineHeight);
    EXPECT_TRUE(pictureFont(true).bold());
}

}  // namespace
}  // namespace tracebay::platform
