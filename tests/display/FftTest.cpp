#include "display/FftXy.h"

#include <gtest/gtest.h>

#include "tests/display/SlotBuilder.h"

namespace tracebay::display {
namespace {

class Fft : public ::testing::Test {
protected:
    void draw(double s = 1) {
        surface = recordingSurface(s);
        DrawFftTrace(surface, Screen{s}, samples, 600, b.slot.SystemBlock, b.slot.TriggerMode);
    }
    const platform::PictureSurface::Line& first() const { return surface.lines().front(); }
    const platform::PictureSurface::Line& last() const { return surface.lines().back(); }

    SlotBuilder b;
    acquisition::ScopeState::Samples samples = SlotBuilder::samples(50);
    platform::PictureSurface surface = recordingSurface();
};

TEST_F(Fft, CentreOnDataColumn150WithSpan500RunsFromColumnZeroTo250) {
    b.int16(68, 150).int16(60, 4).byte(37, 1);
    samples[1] = 7;
    samples[2] = 9;
    draw();
    EXPECT_EQ(first().x1, 25);
    EXPECT_EQ(first().y1, 25 + 7);  // element 1, then element 2
    EXPECT_EQ(first().y2, 25 + 9);
    EXPECT_EQ(last().x2, 250 + 24);
}

TEST_F(Fft, CentreAtZeroStartsMidScreenAndIsCutAtTheRightEdge) {
    b.int16(68, 0).int16(60, 1).byte(37, 1);
    draw();
    EXPECT_EQ(first().x1, 175);
    EXPECT_EQ(last().x2, 299 + 24);
}

TEST_F(Fft, CentreBeyondTheDataDrawsNothing) {
    b.int16(68, 400).int16(60, 4).byte(37, 1);  // (500 + 300) / 2 = 400
    draw();
    EXPECT_TRUE(surface.lines().empty());
}

TEST_F(Fft, UnknownSpanCodeIsSpan500) {
    EXPECT_EQ(acquisition::FftSpan(0), 500);
    EXPECT_EQ(acquisition::FftSpan(8), 500);
    EXPECT_EQ(acquisition::FftSpan(7), 25);
    b.int16(68, 150).int16(60, 9).byte(37, 1);
    draw();
    EXPECT_EQ(last().x2, 274);
}

TEST_F(Fft, SplitScreenKeepsTheTraceInItsHalf) {
    b.int16(68, 150).int16(60, 4).byte(37, 0);
    samples = SlotBuilder::samples(0);
    samples[10] = 150;
    draw();
    // A value of 0 is 12.5 below the top of the lower half; the first point is rounded first.
    EXPECT_EQ(first().y2, 125 + 12);
    EXPECT_EQ(surface.lines()[1].y2, 138);  // 137.5 to even
    int lowest = 0;
    for (const auto& l : surface.lines()) lowest = std::max(lowest, l.y2);
    EXPECT_EQ(lowest, 225);  // 150 + 12.5 is cut at the half's bottom line
}

TEST_F(Fft, AlternateTriggerPutsTheSplitFftWhereTheBlockSays) {
    b.int16(68, 150).int16(60, 4).byte(37, 0).byte(35, 0);
    b.slot.TriggerMode = "ALTERNATION";
    samples = SlotBuilder::samples(0);
    draw();
    EXPECT_EQ(first().y2, 25 + 12);
    b.byte(35, 1);
    draw();
    EXPECT_EQ(first().y2, 125 + 12);
}

TEST_F(Fft, ReadOutsideTheSamplesAbandonsTheTrace) {
    b.int16(68, 150).int16(60, 4).byte(37, 1);
    samples.resize(100);
    EXPECT_THROW(draw(), DrawingAbandoned);
}

}  // namespace
}  // namespace tracebay::display
