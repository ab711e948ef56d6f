#include "display/Repaint.h"

#include <gtest/gtest.h>

#include "tests/display/SlotBuilder.h"
#include "tests/support/SessionRig.h"

namespace tracebay::display {
namespace {

// Slots of each layout, with every trace of that layout present.
acquisition::ScopeState everyTrace(std::string_view layout) {
    SlotBuilder b;
    auto& s = b.slot;
    s.CapturedCh1 = s.CapturedCh2 = s.CapturedMath = s.CapturedLa = true;
    s.Ch1Samples = s.Ch2Samples = s.MathSamples = s.FftSamples = SlotBuilder::samples(100);
    s.LaSamples = SlotBuilder::samples(0x5A);
    s.Ch1ScaleText = s.Ch2ScaleText = "500mV";
    s.Ch1OffsetText = s.Ch2OffsetText = "0.00uV";
    s.AltCh1TimeScaleText = s.AltCh2TimeScaleText = "500.0us";
    s.AltCh1TimeOffsetText = s.AltCh2TimeOffsetText = "-100.0us";
    b.byte(13, 1).byte(14, 1).byte(15, 1).byte(34, 1).byte(70, 1).int16(72, 0xFFFF);
    for (int k = 0; k < 16; ++k) b.int16(74 + 2 * k, 40 + 10 * k);
    b.byte(107, 11).byte(108, 5).byte(106, 3).int16(68, 150).int16(60, 4);
    if (layout == "fft") s.FftDisplay = "ON";
    if (layout == "alternation") s.TriggerMode = "ALTERNATION";
    s.DualScreen = layout != "yt";
    if (layout == "xy") {
        s.IsYT = false;
        s.IsXY = true;
    }
    return s;
}

// What a repaint does when a step cannot go on: that step stops, the others are drawn.
class RepaintTest : public ::testing::Test {
protected:
    void repaint() {
        surface.clearRecords();
        Repaint(surface, Screen{1}, b.slot, cursors, overlay);
    }
    bool hasText(const std::string& wanted) const { return display::hasText(surface, wanted); }

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

struct LostBlock {
    const char* source;
    acquisition::ScopeState::Samples acquisition::ScopeState::*samples;
    Rgb color;
    size_t markerLines;  // drawn in the trace's colour besides the trace
};

std::ostream& operator<<(std::ostream& out, const LostBlock& row) { return out << row.source; }

std::vector<LostBlock> lostBlocks() {
    using S = acquisition::ScopeState;
    return {{"CH1", &S::Ch1Samples, Ch1TraceColor, 5},
            {"CH2", &S::Ch2Samples, Ch2TraceColor, 5},
            {"MATH", &S::MathSamples, MathTraceColor, 5},
            {"LA", &S::LaSamples, LaTraceColor, 0}};
}

class RepaintAfterALostBlock : public RepaintTest,
                               public ::testing::WithParamInterface<LostBlock> {};

// A source whose block never came has no samples: only its own trace is left out.
// Its array is empty when no upload brought it; it holds an earlier upload's samples when only
// the last upload failed to bring it.
TEST_P(RepaintAfterALostBlock, LeavesOutOnlyThatTrace) {
    for (const bool earlierSamples : {false, true}) {
        SCOPED_TRACE(earlierSamples ? "earlier samples" : "no samples");
        b.slot = everyTrace("yt");
        if (earlierSamples)
            b.slot.Parts = {{"SystemBlock", ""}, {GetParam().source, "time-out"}};
        else
            b.slot.*GetParam().samples = {};
        cursors.TimeCursorsOn = true;
        repaint();
        for (const char* text : {"KAVLO", "CH1 500mV", "CH2 500mV", "Math scale 0.00uV", "D9",
                                 "Delay:0.000s", "500.0us", "|X1-X2| 4.42 ms   226 Hz"})
            EXPECT_TRUE(hasText(text)) << text;
        for (const LostBlock& other : lostBlocks()) {
            const size_t lines = linesIn(surface, other.color).size();
            if (other.samples == GetParam().samples)
                EXPECT_EQ(lines, other.markerLines) << other.source;
            else
                EXPECT_GT(lines, other.markerLines + 100) << other.source;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sources, RepaintAfterALostBlock, ::testing::ValuesIn(lostBlocks()));

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

TEST_F(RepaintTest, XyWithMissingSamplesLeavesOutOnlyThePlot) {
    b.slot = everyTrace("xy");
    b.slot.Ch2Samples = {};
    repaint();
    EXPECT_TRUE(hasText("KAVLO"));
    EXPECT_TRUE(hasText("X-Y Mode"));
    for (const auto& dot : surface.dots()) ASSERT_EQ(dot.width, 1);  // grid dots, no plot points
}

class RepaintAfterASilentBlock : public ::testing::TestWithParam<testing::Transport> {};

// Over either link the simulated instrument never answers the CH1 block; the blocks of CH2 and
// MATH arrive and are drawn, and so are the trigger texts.
TEST_P(RepaintAfterASilentBlock, DrawsTheSourcesThatArrived) {
    testing::SessionRig rig(GetParam());
    ASSERT_TRUE(rig.connect());
    rig.faults.silent = true;
    rig.faults.target = "DATA? CHANNEL1";
    acquisition::ScopeState slot = rig.upload(true, true, true);
    slot.ColorDisplay = true;
    ASSERT_TRUE(slot.Ch1Samples.empty());
    platform::PictureSurface surface = recordingSurface();
    Cursors cursors;
    CursorOverlay overlay;
    Repaint(surface, Screen{1}, slot, cursors, overlay);
    EXPECT_EQ(linesIn(surface, Ch1TraceColor).size(), 5u);  // its ground marker only
    EXPECT_GT(linesIn(surface, Ch2TraceColor).size(), 100u);
    EXPECT_GT(linesIn(surface, MathTraceColor).size(), 100u);
    for (const std::string& text : {"CH1 " + slot.Ch1ScaleText, "CH2 " + slot.Ch2ScaleText,
                                    "Delay:" + slot.TimeOffsetText, slot.TimeScaleText})
        EXPECT_TRUE(hasText(surface, text)) << text;
}

INSTANTIATE_TEST_SUITE_P(Links, RepaintAfterASilentBlock,
                         ::testing::Values(testing::Transport::Serial, testing::Transport::Usb),
                         [](const auto& link) {
                             return link.param == testing::Transport::Serial ? "Serial" : "Usb";
                         });

struct SmallScale {
    double s;
    const char* layout;
};

std::ostream& operator<<(std::ostream& out, const SmallScale& row) {
    return out << row.layout << " at " << row.s;
}

class RepaintAtSmallScales : public ::testing::TestWithParam<SmallScale> {};

// Below half scale the grid's right and bottom border lie outside the picture. A picture that
// draws past its edges would differ from the same corner of a larger one (or crash).
TEST_P(RepaintAtSmallScales, DrawsNothingOutsideThePicture) {
    const Screen screen{GetParam().s};
    const auto slot = everyTrace(GetParam().layout);
    const auto paint = [&](platform::PictureSurface& surface) {
        Cursors cursors;
        cursors.TimeCursorsOn = cursors.VoltCursorsOn = true;
        CursorOverlay overlay;
        Repaint(surface, screen, slot, cursors, overlay);
    };
    platform::PictureSurface picture(screen.pictureWidth(), screen.pictureHeight());
    picture.setRecording(true);
    paint(picture);
    platform::PictureSurface larger(picture.width() + 400, picture.height() + 300);
    paint(larger);
    EXPECT_EQ(picture.image(), larger.image().copy(0, 0, picture.width(), picture.height()));
    const auto& texts = picture.texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front().text, "KAVLO");
}

std::vector<SmallScale> smallScaleRows() {
    std::vector<SmallScale> rows;
    for (const char* layout : {"yt", "fft", "alternation", "xy"})
        for (double s : {0.01, 0.02, 0.1, 0.33, 0.47, 0.49, 0.5}) rows.push_back({s, layout});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Scales, RepaintAtSmallScales, ::testing::ValuesIn(smallScaleRows()));

}  // namespace
}  // namespace tracebay::display
