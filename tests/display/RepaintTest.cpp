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
