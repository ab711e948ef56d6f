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

TEST_F(PictureSurfaceTest, RecordingKeepsTheDrawingOrderAcrossKinds) {
    using Kind = PictureSurface::Kind;
    surface.setRecording(true);
    surface.line(1, 1, 5, 1);
    surface.textOut(5, 7, "T");
    surface.psetRow({1, 3}, 2);
    surface.lineTo(9, 9);
    PictureSurface overlay(40, 30);
    overlay.setRecording(true);
    overlay.pset(4, 4);
    surface.appendRecords(overlay);
    EXPECT_EQ(surface.order(), (std::vector<Kind>{Kind::Line, Kind::Text, Kind::Dot, Kind::Dot,
                                                  Kind::Line, Kind::Dot}));
    surface.clearRecords();
    EXPECT_TRUE(surface.order().empty());
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

// The same primitives on a picture of twice the pixel density: every logical pixel is two by
// two device pixels, texts are drawn at twice their size, the records stay logical.
TEST(PictureSurfaceAtDoubleDensity, DrawsEveryPrimitiveAtTheRatio) {
    PictureSurface surface(40, 30, 2);
    surface.setRecording(true);
    surface.setBackColor(White);
    surface.setForeColor(Red);
    EXPECT_EQ(surface.width(), 40);
    EXPECT_EQ(surface.image().size(), QSize(80, 60));
    EXPECT_DOUBLE_EQ(surface.image().devicePixelRatio(), 2);
    const auto red = [&](int x, int y) { return (surface.image().pixel(x, y) & 0xFFFFFF) == Red; };
    surface.line(2, 5, 10, 5);  // logical pixels 2..9 of row 5
    EXPECT_TRUE(red(4, 10) && red(19, 11));
    EXPECT_FALSE(red(3, 10) || red(20, 10) || red(10, 9) || red(10, 12));
    surface.line(30, 20, 30, 12);  // logical pixels 20 down to 13 of column 30
    EXPECT_TRUE(red(60, 41) && red(61, 26));
    EXPECT_FALSE(red(60, 24) || red(60, 42));
    surface.pset(35, 2);
    EXPECT_TRUE(red(70, 4) && red(71, 5));
    EXPECT_FALSE(red(72, 4));
    surface.setDrawWidth(2);
    surface.line(5, 25, 15, 25);  // rows 24 and 25, reaching one pixel past each end
    EXPECT_TRUE(red(8, 48) && red(31, 51));
    EXPECT_FALSE(red(20, 47) || red(20, 52) || red(32, 50));
    ASSERT_EQ(surface.lines().size(), 3u);
    EXPECT_EQ(surface.lines()[0].x2, 10) << "records keep logical coordinates";
}

TEST(PictureSurfaceAtDoubleDensity, TextsAreDrawnAtTwiceTheirSizeAndRecordedAtTheirOwn) {
    PictureSurface single(60, 20);
    PictureSurface twice(60, 20, 2);
    for (PictureSurface* s : {&single, &twice}) {
        s->setRecording(true);
        s->setBackColor(White);
        s->setForeColor(Red);
        s->textOut(3, 4, "500mV");
    }
    const auto inkWidth = [](const QImage& image) {
        int left = image.width(), right = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != White) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return std::make_pair(left, right - left + 1);
    };
    const auto [left1, width1] = inkWidth(single.image());
    const auto [left2, width2] = inkWidth(twice.image());
    EXPECT_NEAR(left2, 2 * left1, 2);
    EXPECT_NEAR(width2, 2 * width1, 3);
    EXPECT_EQ(twice.texts()[0].x, 3);
    EXPECT_EQ(twice.texts()[0].width, single.texts()[0].width);
}

}  // namespace
}  // namespace tracebay::platform
