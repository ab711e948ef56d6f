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

// Each cursor's own value and the differences, three digits with SI prefixes, on a framed box
// in the screen's background at the grid's top right corner.
TEST_F(CursorOverlayTest, ReadoutGivesEachCursorAndTheirDistancesOnABox) {
    b.slot.TimeScaleText = "500.0us";
    b.slot.TimeOffsetText = "-1.000ms";  // the trigger 50 columns right of the centre
    b.slot.Ch1OffsetText = "1.00V";      // CH1's ground 50 rows above the centre
    cursors.TimeCursorsOn = cursors.VoltCursorsOn = true;
    surface.clearRecords();
    overlay.DrawCursorOverlay(surface, screen, cursors, b.slot);
    std::vector<std::pair<std::string, Rgb>> texts;
    for (const auto& t : surface.texts()) texts.push_back({t.text, t.color});
    EXPECT_EQ(texts, (std::vector<std::pair<std::string, Rgb>>{
                         {"X1 -2.46 ms   X2 1.96 ms", CursorOverlay::CursorMathColor},
                         {"|X1-X2| 4.42 ms   226 Hz", CursorOverlay::CursorMathColor},
                         {"CH1 Y1 -540 mV   Y2 -2.96 V", Ch1TraceColor},
                         {"CH1 |Y1-Y2| 2.42 V", Ch1TraceColor},
                         {"CH2 Y1 920 mV   Y2 -3.92 V", Ch2TraceColor},
                         {"CH2 |Y1-Y2| 4.84 V", Ch2TraceColor}}));
    ASSERT_EQ(surface.boxes().size(), 2u);
    const auto& frame = surface.boxes()[0];
    const auto& inside = surface.boxes()[1];
    EXPECT_EQ(frame.color, LightGrey);
    EXPECT_EQ(inside.color, Black);
    EXPECT_EQ(frame.x + frame.width, 323) << "2 pixels inside the grid's right border";
    EXPECT_EQ(frame.y, 27);
    for (const auto& t : surface.texts()) {
        EXPECT_GE(t.x, inside.x);
        EXPECT_LE(t.x + t.width, inside.x + inside.width) << t.text;
        EXPECT_LE(t.y + t.height, inside.y + inside.height) << t.text;
    }
}

// Black on white, and nothing of the traces shows through the box.
TEST_F(CursorOverlayTest, BlackAndWhiteReadoutIsBlackOnWhite) {
    b.slot.TimeScaleText = "500.0us";
    cursors.TimeCursorsOn = true;
    b.slot.ColorDisplay = false;
    surface.setForeColor(Ch1TraceColor);
    surface.line(200, 30, 320, 30);  // a trace under the readout
    surface.clearRecords();
    overlay.DrawCursorOverlay(surface, screen, cursors, b.slot);
    for (const auto& t : surface.texts()) EXPECT_EQ(t.color, Black);
    EXPECT_EQ(surface.boxes()[1].color, White);
    EXPECT_EQ(surface.image().pixel(surface.boxes()[1].x + 1, 30), qRgb(255, 255, 255));
}

// The same cursors read the same at any scale: their places count in screen units.
TEST_F(CursorOverlayTest, ReadoutIsTheSameAtAnyScale) {
    b.slot.TimeScaleText = "200.0us";
    cursors.TimeCursorsOn = cursors.VoltCursorsOn = true;
    cursors.CursorY2 = 125;  // a whole pixel at both scales
    const auto atOne = cursorReadout(Screen{1}, cursors, b.slot);
    Cursors scaled = cursors;
    for (double* place : {&scaled.CursorX1, &scaled.CursorX2, &scaled.CursorY1})
        *place = 25 + (*place - 25) * 3.33;
    scaled.CursorY2 = 25 + 333;
    EXPECT_EQ(cursorReadout(Screen{3.33}, scaled, b.slot), atOne);
    EXPECT_FALSE(atOne.empty());
}

struct LayoutRow {
    const char* name;
    const char* triggerMode;
    const char* fftDisplay;
    double ch1Ground, ch2Ground;  // the pixel rows the channels' ground markers are drawn at
    const char* ch1Below;         // what 25 pixels below CH1's ground reads, at 500 mV/div
    const char* ch2Below;         // ... below CH2's ground, at 1 V/div
};

// A cursor on a channel's drawn ground reads 0 V, and 25 pixels below it one division, or two
// where the channel is drawn in half the grid.
TEST_F(CursorOverlayTest, VoltsFollowWhereEachChannelIsDrawn) {
    const LayoutRow rows[] = {
        {"whole grid", "EDGE", "OFF", 125, 125, "-500 mV", "-1.00 V"},
        {"alternate trigger", "ALTERNATION", "OFF", 75, 175, "-1.00 V", "-2.00 V"},
        {"beside a split FFT", "EDGE", "ON", 75, 75, "-1.00 V", "-2.00 V"}};
    cursors.VoltCursorsOn = true;
    for (const LayoutRow& row : rows) {
        b.slot.TriggerMode = row.triggerMode;
        b.slot.FftDisplay = row.fftDisplay;
        std::vector<std::string> texts;
        for (const double ground : {row.ch1Ground, row.ch2Ground}) {
            cursors.CursorY1 = ground;
            cursors.CursorY2 = ground + 25;
            for (const auto& line : cursorReadout(screen, cursors, b.slot))
                texts.push_back(line.text);
        }
        ASSERT_EQ(texts.size(), 8u) << row.name;
        EXPECT_EQ(texts[0], "CH1 Y1 0 V   Y2 " + std::string(row.ch1Below)) << row.name;
        EXPECT_EQ(texts[6], "CH2 Y1 0 V   Y2 " + std::string(row.ch2Below)) << row.name;
    }
}

TEST(CursorOverlayLifetime, DeletingWithNothingHeldDoesNothing) {
    CursorOverlay overlay;
    overlay.DeleteBackBuffer();
    EXPECT_FALSE(overlay.holdsBackBuffer());
}

}  // namespace
}  // namespace tracebay::display
