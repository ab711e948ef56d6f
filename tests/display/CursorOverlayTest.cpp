#include "display/CursorOverlay.h"

#include <gtest/gtest.h>

#include <tuple>

#include "display/Graticule.h"
#include "tests/display/SlotBuilder.h"

namespace tracebay::display {
namespace {

class CursorOverlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        DrawScrGrid(surface, screen, {true, true, false});
        b.slot.Ch1ScaleText = "500mV";
        b.slot.Ch2ScaleText = "1.00V";
    }
    Screen screen{1};
    platform::PictureSurface surface = recordingSurface();
    SlotBuilder b;
    Cursors cursors;
    CursorOverlay overlay;
};

TEST_F(CursorOverlayTest, WithTheCursorsOffThePictureComesBackUnchanged) {
    const QImage before = surface.image();
    overlay.DrawCursorOverlay(surface, screen, cursors, b.slot);
    EXPECT_EQ(surface.image(), before);
    EXPECT_FALSE(overlay.holdsBackBuffer());
}

TEST_F(CursorOverlayTest, CursorsAreKeptInsideTheGrid) {
    overlay.DrawCursorOverlay(surface, screen, cursors, b.slot);
    EXPECT_DOUBLE_EQ(cursors.CursorX1, 102);
    EXPECT_DOUBLE_EQ(cursors.CursorX2, 323);
    EXPECT_DOUBLE_EQ(cursors.CursorY1, 102);
    EXPECT_EQ(cursors.CursorY2, 223);
    cursors.CursorX1 = 3;
    overlay.DrawCursorOverlay(surface, screen, cursors, b.slot);
    EXPECT_DOUBLE_EQ(cursors.CursorX1, 27);
}

TEST_F(CursorOverlayTest, TimeCursorsAreDottedLinesWithTriangles) {
    cursors.TimeCursorsOn = true;
    overlay.DrawCursorOverlay(surface, screen, cursors, b.slot);
    EXPECT_EQ(pixelAt(surface, 102, 30), CursorOverlay::CursorColor);
    EXPECT_NE(pixelAt(surface, 102, 31), CursorOverlay::CursorColor);  // a dotted line
    EXPECT_EQ(pixelAt(surface, 104, 25), CursorOverlay::CursorColor);  // the top triangle
    EXPECT_EQ(pixelAt(surface, 323, 100), CursorOverlay::CursorColor);
}

TEST_F(CursorOverlayTest, VoltCursorsAreHorizontal) {
    cursors.VoltCursorsOn = true;
    overlay.DrawCursorOverlay(surface, screen, cursors, b.slot);
    EXPECT_EQ(pixelAt(surface, 30, 102), CursorOverlay::CursorColor);
    EXPECT_EQ(pixelAt(surface, 200, 223), CursorOverlay::CursorColor);
}

TEST_F(CursorOverlayTest, ReadoutGivesTimeFrequencyAndVoltsBesideTheGrid) {
    cursors.TimeCursorsOn = cursors.VoltCursorsOn = true;
    surface.clearRecords();
    overlay.DrawCursorOverlay(surface, screen, cursors, b.slot);
    // |X1 - X2| = 221 pixels of 12 x 500 us over 300: 4.42 ms; |Y1 - Y2| = 121 rows: 4.84 div.
    std::vector<std::tuple<std::string, int, int, Rgb>> texts;
    for (const auto& t : surface.texts()) texts.push_back({t.text, t.x, t.y, t.color});
    EXPECT_EQ(texts, (std::vector<std::tuple<std::string, int, int, Rgb>>{
                         {"1/|X1-X2|=226.24Hz", 185, 30, CursorOverlay::CursorMathColor},
                         {"|X1-X2|   =4.42ms", 185, 50, CursorOverlay::CursorMathColor},
                         {"|Y1-Y2|  =2.4V", 185, 70, Ch1TraceColor},
                         {"|Y1-Y2|  =4.8V", 185, 90, Ch2TraceColor}}));
}

TEST_F(CursorOverlayTest, VoltReadoutAloneStartsAtTheTop) {
    cursors.VoltCursorsOn = true;
    b.slot.Ch1ScaleText.clear();
    surface.clearRecords();
    overlay.DrawCursorOverlay(surface, screen, cursors, b.slot);
    ASSERT_EQ(surface.texts().size(), 1u);
    EXPECT_EQ(surface.texts()[0].y, 30);
    EXPECT_EQ(surface.texts()[0].color, Ch2TraceColor);
}

TEST_F(CursorOverlayTest, BlackAndWhiteReadoutUsesGreyAndBlack) {
    cursors.TimeCursorsOn = true;
    b.slot.ColorDisplay = false;
    surface.clearRecords();
    overlay.DrawCursorOverlay(surface, screen, cursors, b.slot);
    EXPECT_EQ(surface.texts()[0].color, LightGrey);
    EXPECT_EQ(surface.lines()[0].color, Black);
}

TEST(CursorOverlayLifetime, DeletingWithNothingHeldDoesNothing) {
    CursorOverlay overlay;
    overlay.DeleteBackBuffer();
    EXPECT_FALSE(overlay.holdsBackBuffer());
}

}  // namespace
}  // namespace tracebay::display
