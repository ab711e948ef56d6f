#include "display/LogicLines.h"

#include <gtest/gtest.h>

#include "tests/display/SlotBuilder.h"

namespace tracebay::display {
namespace {

using Line = platform::PictureSurface::Line;

class LogicLines : public ::testing::Test {
protected:
    LogicLines() {
        b.int16(72, 0);
        for (int k = 0; k < 16; ++k) b.int16(74 + 2 * k, 40 + 10 * k);
        b.byte(107, 11).byte(108, 5).byte(106, 15);
    }

    // Logic sample j (two per column) of all lines at once.
    void setSample(long j, uint16_t value) {
        la[425 + 2 * j] = value & 0xFF;
        la[426 + 2 * j] = value >> 8;
    }

    void draw(double s = 1) {
        surface = recordingSurface(s);
        DrawLaLabels(surface, Screen{s}, b.slot.SystemBlock, "EDGE", fftDisplay, color);
        DrawLaTraces(surface, Screen{s}, la, 600, b.slot.SystemBlock, "EDGE", fftDisplay, color);
    }

    std::vector<Line> linesIn(Rgb color) const { return display::linesIn(surface, color); }

    SlotBuilder b;
    acquisition::ScopeState::Samples la = SlotBuilder::samples(0);
    std::string fftDisplay = "OFF";
    bool color = true;
    platform::PictureSurface surface = recordingSurface();
};

TEST_F(LogicLines, NoMaskNoLabelsNoLines) {
    draw();
    EXPECT_TRUE(surface.texts().empty());
    EXPECT_TRUE(surface.lines().empty());
    EXPECT_TRUE(surface.dots().empty());
}

TEST_F(LogicLines, StableLowLineLiesOnItsRow) {
    b.int16(72, 1 << 2);  // D2 only, at row 60
    draw();
    const auto lines = linesIn(LaTraceColor);
    ASSERT_FALSE(lines.empty());
    for (const auto& l : lines) {
        ASSERT_EQ(l.y1, 60);
        ASSERT_EQ(l.y2, 60);
    }
    EXPECT_EQ(surface.dots().front().y, 60);  // the first two samples agree: a dot
    EXPECT_EQ(lines.back().x2, 324);
}

TEST_F(LogicLines, GroupHeightsSetTheHighLevel) {
    b.int16(72, (1 << 1) | (1 << 9));
    for (long j = 0; j < 812; ++j) setSample(j, 0xFFFF);
    draw();
    const auto lines = linesIn(LaTraceColor);
    bool d1 = false, d9 = false;
    for (const auto& l : lines) {
        d1 |= l.y1 == 50 - 10;  // D1 at row 50, height 11: 10 pixels up
        d9 |= l.y1 == 130 - 4;  // D9 at row 130, height 5: 4 pixels up
    }
    EXPECT_TRUE(d1);
    EXPECT_TRUE(d9);
}

TEST_F(LogicLines, RisingEdgeIsAVerticalLine) {
    b.int16(72, 1);  // D0 at row 40, high at 30
    for (long j = 20; j < 812; ++j) setSample(j, 1);
    draw();
    bool edge = false;
    for (const auto& l : linesIn(LaTraceColor))
        edge |= l.x1 == l.x2 && std::min(l.y1, l.y2) == 30 && std::max(l.y1, l.y2) == 40;
    EXPECT_TRUE(edge);
}

TEST_F(LogicLines, TogglingFasterThanTwoSamplesAColumnMakesFullHeightMarks) {
    b.int16(72, 1);
    for (long j = 0; j < 812; ++j) setSample(j, j % 2);
    draw();
    int marks = 0;
    for (const auto& l : linesIn(LaTraceColor))
        if (l.x1 == l.x2 && std::min(l.y1, l.y2) == 30 && std::max(l.y1, l.y2) == 40) ++marks;
    EXPECT_GE(marks, 299);
}

TEST_F(LogicLines, LabelsAboveTenAreSplitIntoDigits) {
    b.int16(72, (1 << 7) | (1 << 13));
    draw();
    std::vector<std::pair<std::string, int>> texts;
    for (const auto& t : surface.texts()) texts.push_back({t.text, t.x});
    EXPECT_EQ(texts, (std::vector<std::pair<std::string, int>>{
                         {"D7", 5}, {"D", 5}, {"1", 12}, {"3", 17}}));
    EXPECT_EQ(surface.texts()[0].y, 110 - 12);
    EXPECT_FALSE(surface.texts()[0].bold);
}

TEST_F(LogicLines, SelectedLineComesLastAndRed) {
    b.int16(72, 0x000F).byte(106, 1);
    draw();
    EXPECT_EQ(surface.texts().back().text, "D1");
    EXPECT_EQ(surface.texts().back().color, LaSelectedColor);
    EXPECT_EQ(surface.lines().back().color, LaSelectedColor);
    EXPECT_EQ(surface.lines().back().y1, 50);
    EXPECT_EQ(surface.texts().front().color, LaTraceColor);
}

TEST_F(LogicLines, SelectedLineThatIsNotShownHighlightsNothing) {
    b.int16(72, 0x0003).byte(106, 5);
    draw();
    EXPECT_TRUE(linesIn(LaSelectedColor).empty());
    EXPECT_EQ(surface.texts().size(), 2u);
}

TEST_F(LogicLines, SelectedLineNumberBeyondFifteenHighlightsNothing) {
    b.int16(72, static_cast<int16_t>(0xFFFF)).byte(106, 16);
    draw();
    EXPECT_TRUE(linesIn(LaSelectedColor).empty());
    EXPECT_EQ(surface.texts().size(), 10u + 6u * 3u);  // two-digit labels take three texts
}

TEST_F(LogicLines, SplitScreenFftMovesEverythingUpHalfTheScreen) {
    b.int16(72, 1 << 12);  // row 160
    fftDisplay = "ON";
    b.byte(37, 0);
    draw(2);
    // Low row: round((160 - 25) * 2) + 25 - 200 = 95.
    EXPECT_EQ(linesIn(LaTraceColor).back().y2, 95);
    EXPECT_EQ(surface.texts().front().y, 95 - 12);
}

// Lines in the upper half stay where they are, so that none rises above the grid.
TEST_F(LogicLines, SplitScreenFftKeepsEveryLineAndLabelOnTheGrid) {
    b.int16(72, 0xFFFF);  // rows 40 to 190
    fftDisplay = "ON";
    b.byte(37, 0);
    draw(1.5);
    for (const auto& l : surface.lines()) ASSERT_GE(std::min(l.y1, l.y2), 25);
    for (const auto& t : surface.texts()) ASSERT_GE(t.y, 25) << t.text;
    for (const auto& d : surface.dots()) ASSERT_GE(d.y, 25);
    b.int16(72, 1 << 2);  // row 60, in the upper half
    draw(1.5);
    EXPECT_EQ(linesIn(LaTraceColor).back().y2, 25 + 52);  // 35 x 1.5 = 52.5, halves to even
}

TEST_F(LogicLines, BlackAndWhiteLinesAndLabelsAreBlack) {
    b.int16(72, 0x0003).byte(106, 1);
    color = false;
    draw();
    for (const auto& l : surface.lines()) ASSERT_EQ(l.color, Black);
    for (const auto& t : surface.texts()) ASSERT_EQ(t.color, Black);
}

TEST_F(LogicLines, ElementsBeyondAByteCountOnlyTheirLowBits) {
    b.int16(72, 1);
    for (size_t i = 0; i < la.size(); ++i) la[i] = 0x7FFFFF00;  // low byte 0: every line low
    draw();
    for (const auto& l : linesIn(LaTraceColor)) ASSERT_EQ(l.y1, 40);
}

TEST_F(LogicLines, MissingSamplesAbandonTheLines) {
    b.int16(72, 1);
    la.resize(1000);
    EXPECT_THROW(draw(), DrawingAbandoned);
}

}  // namespace
}  // namespace tracebay::display
