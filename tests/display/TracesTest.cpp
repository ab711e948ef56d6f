#include "display/Traces.h"

#include <gtest/gtest.h>

#include "tests/display/SlotBuilder.h"

namespace tracebay::display {
namespace {

using Line = platform::PictureSurface::Line;

class Traces : public ::testing::Test {
protected:
    void draw(double s = 1) {
        surface = recordingSurface(s);
        DrawOSC(surface, Screen{s}, b.slot);
    }
    std::vector<Line> linesIn(Rgb color) const { return display::linesIn(surface, color); }

    SlotBuilder b;
    platform::PictureSurface surface = recordingSurface();
};

TEST_F(Traces, NothingWithoutData) {
    b.slot.HasData = false;
    b.slot.CapturedCh1 = true;
    draw();
    EXPECT_TRUE(surface.lines().empty());
    EXPECT_TRUE(surface.texts().empty());
}

TEST_F(Traces, FullWidthTraceStartsVerticalThenStepsHalfPixels) {
    b.byte(13, 1);
    b.slot.CapturedCh1 = true;
    b.slot.Ch1Samples = SlotBuilder::samples(0);
    for (size_t i = 0; i < b.slot.Ch1Samples.size(); ++i)
        b.slot.Ch1Samples[i] = static_cast<int32_t>(i % 200);
    draw();
    const auto lines = linesIn(Ch1TraceColor);
    // The ground marker's outline comes first, then the trace.
    auto first = std::find_if(lines.begin(), lines.end(),
                              [](const Line& l) { return l.x1 == 25 && l.x2 == 25; });
    ASSERT_NE(first, lines.end());
    EXPECT_EQ(first->y1, 25 + 213 % 200);
    EXPECT_EQ(first->y2, 25 + 214 % 200);
    std::vector<int> xs;
    std::vector<int> ys;
    for (auto it = first + 1; it != lines.end(); ++it) {
        xs.push_back(it->x2);
        ys.push_back(it->y2);
    }
    ASSERT_EQ(xs.size(), 597u);
    EXPECT_EQ(xs[0], 26);
    EXPECT_EQ(xs[1], 26);  // 26.5 rounds down
    EXPECT_EQ(xs[2], 27);
    EXPECT_EQ(xs[3], 27);
    EXPECT_EQ(xs.back(), 324);
    EXPECT_EQ(ys[0], 25 + 215 % 200);  // one element per point
    EXPECT_EQ(ys[596], 25 + 811 % 200);
}

TEST_F(Traces, RowFollowsTheSampleAndTheScale) {
    b.byte(13, 1);
    b.slot.CapturedCh1 = true;
    b.slot.Ch1Samples = SlotBuilder::samples(100);  // the centre line
    draw(2);
    const auto lines = linesIn(Ch1TraceColor);
    EXPECT_EQ(lines.back().y2, 25 + 200);
    EXPECT_EQ(lines.back().x2, 300 * 2 + 24);
}

TEST_F(Traces, AlternateTriggerPutsCh1UpAndCh2AndMathDownEachInItsWindow) {
    b.byte(13, 1).byte(14, 1).byte(15, 1);
    b.int16(4, 10).int16(6, 100).int16(8, 200).int16(10, 250);
    b.slot.TriggerMode = "ALTERNATION";
    b.slot.CapturedCh1 = b.slot.CapturedCh2 = b.slot.CapturedMath = true;
    b.slot.Ch1Samples = b.slot.Ch2Samples = b.slot.MathSamples = SlotBuilder::samples(100);
    draw();
    const auto ch1 = linesIn(Ch1TraceColor);
    const auto ch2 = linesIn(Ch2TraceColor);
    const auto math = linesIn(MathTraceColor);
    EXPECT_EQ(ch1.back().y2, 25 + 50);
    EXPECT_EQ(ch1.back().x2, 101 + 24);
    EXPECT_EQ(ch2.back().y2, 125 + 50);
    EXPECT_EQ(ch2.back().x2, 251 + 24);
    EXPECT_EQ(math.back().y2, 125 + 50);
    const auto ch2First = std::find_if(ch2.begin(), ch2.end(),
                                       [](const Line& l) { return l.x1 == l.x2 && l.x1 == 225; });
    EXPECT_NE(ch2First, ch2.end());
}

TEST_F(Traces, SplitScreenFftCompressesTheChannelsIntoTheUpperHalf) {
    b.byte(13, 1).byte(37, 0);
    b.slot.FftDisplay = "ON";
    b.slot.CapturedCh1 = true;
    b.slot.Ch1Samples = SlotBuilder::samples(199);
    draw();
    EXPECT_EQ(linesIn(Ch1TraceColor).back().y2, 124);  // 25 + 199 / 2 = 124.5, to even
}

TEST_F(Traces, FullScreenFftLeavesTheChannelsFullHeight) {
    b.byte(13, 1).byte(37, 1);
    b.slot.FftDisplay = "ON";
    b.slot.CapturedCh1 = true;
    b.slot.Ch1Samples = SlotBuilder::samples(199);
    draw();
    EXPECT_EQ(linesIn(Ch1TraceColor).back().y2, 25 + 199);
}

TEST_F(Traces, CapturedSourceWithoutValidDataGetsItsTextButNoTrace) {
    b.slot.CapturedCh2 = true;
    b.slot.Ch2ScaleText = "1.00V";
    b.slot.Ch2OffsetText = "0.00uV";
    draw();
    ASSERT_FALSE(surface.texts().empty());
    EXPECT_EQ(surface.texts()[1].text, "CH2 1.00V");
    EXPECT_EQ(linesIn(Ch2TraceColor).size(), 5u);  // the marker's outline only
}

TEST_F(Traces, BlackAndWhiteDrawsEverythingBlack) {
    b.byte(13, 1).byte(15, 1);
    b.slot.ColorDisplay = false;
    b.slot.CapturedCh1 = b.slot.CapturedMath = true;
    b.slot.Ch1Samples = b.slot.MathSamples = SlotBuilder::samples(50);
    b.slot.Ch1ScaleText = "1.00V";
    draw();
    for (const auto& l : surface.lines()) ASSERT_EQ(l.color, Black);
    for (const auto& t : surface.texts()) ASSERT_EQ(t.color, Black) << t.text;
}

TEST_F(Traces, XyShowsOnlyThePlotAndItsTexts) {
    b.slot.IsYT = false;
    b.slot.IsXY = true;
    b.slot.CapturedCh1 = b.slot.CapturedCh2 = true;
    b.slot.Ch1Samples = SlotBuilder::samples(0);
    b.slot.Ch2Samples = SlotBuilder::samples(10);
    b.slot.Ch1Samples[213] = 199;
    b.slot.Ch1ScaleText = "500mV";
    b.slot.Ch2ScaleText = "1.00V";
    draw();
    ASSERT_EQ(surface.dots().size(), 600u);
    EXPECT_EQ(surface.dots()[0].x, 76);
    EXPECT_EQ(surface.dots()[1].x, 275);
    EXPECT_EQ(surface.dots()[1].y, 35);
    EXPECT_EQ(surface.dots()[1].width, 2);
    EXPECT_EQ(surface.dots()[1].color, XyColor);
    EXPECT_EQ(surface.drawWidth(), 1);
    ASSERT_EQ(surface.texts().size(), 3u);
    EXPECT_EQ(surface.texts()[0].text, "X-Y Mode");
    EXPECT_EQ(surface.texts()[0].x, 135);
    EXPECT_EQ(surface.texts()[0].y, 10);
    EXPECT_EQ(surface.texts()[1].text, "CH1 500mV");
    EXPECT_EQ(surface.texts()[1].y, 229);
    EXPECT_EQ(surface.texts()[2].text, "CH2 1.00V");
    EXPECT_EQ(surface.texts()[2].x, 100);
    for (const auto& t : surface.texts()) EXPECT_TRUE(t.bold);
}

// No trace, and a note on the grid in place of an empty grid.
TEST_F(Traces, ScanFormatSaysSoOnTheGrid) {
    b.slot.IsYT = false;
    b.slot.CapturedCh1 = true;
    draw();
    EXPECT_TRUE(surface.lines().empty());
    ASSERT_EQ(surface.texts().size(), 1u);
    EXPECT_EQ(surface.texts()[0].text, ScanFormatNote);
    EXPECT_NEAR(surface.texts()[0].x + surface.texts()[0].width / 2.0, 175, 1);
}

TEST_F(Traces, ColumnsOutsideTheScreenAreKeptOnIt) {
    b.byte(13, 1).int16(0, -50).int16(2, 500);
    b.slot.CapturedCh1 = true;
    b.slot.Ch1Samples = SlotBuilder::samples(100);
    draw();
    const auto lines = linesIn(Ch1TraceColor);
    EXPECT_EQ(lines.back().x2, 324);
    for (const auto& l : lines) ASSERT_GE(l.x1, 6);
}

}  // namespace
}  // namespace tracebay::display
