#include "display/Repaint.h"

#include <gtest/gtest.h>

#include "tests/display/SlotBuilder.h"

namespace tracebay::display {
namespace {

// What a repaint does when a step cannot go on: that step stops, the others are drawn.
class RepaintTest : public ::testing::Test {
protected:
    void repaint() {
        surface.clearRecords();
        Repaint(surface, Screen{1}, b.slot, cursors, overlay);
    }
    bool hasText(const std::string& wanted) const {
        for (const auto& t : surface.texts())
            if (t.text == wanted) return true;
        return false;
    }

    SlotBuilder b;
    platform::PictureSurface surface = recordingSurface();
    Cursors cursors;
    CursorOverlay overlay;
};

TEST_F(RepaintTest, EverythingOfAGoodSlotIsDrawn) {
    b.byte(13, 1);
    b.slot.CapturedCh1 = true;
    b.slot.Ch1Samples = SlotBuilder::samples(100);
    b.slot.Ch1ScaleText = "500mV";
    b.slot.Ch1OffsetText = "0.00uV";
    repaint();
    EXPECT_TRUE(hasText("KAVLO"));
    EXPECT_TRUE(hasText("CH1 500mV"));
    EXPECT_TRUE(hasText("Delay:0.000s"));
}

TEST_F(RepaintTest, SamplesThatNeverCameStopTheTracesButNotTheOverlay) {
    b.byte(13, 1).byte(14, 1);
    b.slot.CapturedCh1 = b.slot.CapturedCh2 = true;
    b.slot.Ch1ScaleText = "500mV";
    b.slot.Ch2ScaleText = "1.00V";
    b.slot.Ch2Samples = SlotBuilder::samples(100);  // CH1's array is empty
    cursors.TimeCursorsOn = true;
    repaint();
    EXPECT_TRUE(hasText("KAVLO"));
    EXPECT_TRUE(hasText("CH1 500mV"));   // before the failing read
    EXPECT_FALSE(hasText("CH2 1.00V"));  // after it: abandoned
    EXPECT_FALSE(hasText("Delay:0.000s"));
    EXPECT_TRUE(hasText("|X1-X2|   =4.42ms"));  // the overlay still runs
}

TEST_F(RepaintTest, ShortArraysAbandonTheDrawingInsteadOfReadingPastThem) {
    b.byte(13, 1);
    b.slot.CapturedCh1 = true;
    b.slot.Ch1Samples = acquisition::ScopeState::Samples(500, 100);
    repaint();
    EXPECT_FALSE(hasText("Delay:0.000s"));
    EXPECT_TRUE(hasText("KAVLO"));
}

TEST_F(RepaintTest, PointCountOfZeroIsAbandonedNotLoopedForever) {
    b.byte(13, 1);
    b.slot.CapturedCh1 = true;
    b.slot.PointCount = 0;
    b.slot.Ch1Samples = SlotBuilder::samples(100);
    repaint();
    EXPECT_FALSE(hasText("Delay:0.000s"));
}

TEST_F(RepaintTest, XyWithMissingSamplesStillGetsTheGraticule) {
    b.slot.IsYT = false;
    b.slot.IsXY = true;
    repaint();
    EXPECT_TRUE(hasText("KAVLO"));
    EXPECT_FALSE(hasText("X-Y Mode"));
}

}  // namespace
}  // namespace tracebay::display
