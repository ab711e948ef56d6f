// The block lengths the upload asks for, held against what the drawings really read.

#include "acquisition/DrawnLength.h"

#include <gtest/gtest.h>

#include "display/FftXy.h"
#include "display/LogicLines.h"
#include "display/Traces.h"
#include "tests/display/SlotBuilder.h"

namespace tracebay::display {
namespace {

using acquisition::drawnBlockLength;

struct LengthRow {
    const char* name;
    const char* source;
    void (*setUp)(SlotBuilder&);
};

std::ostream& operator<<(std::ostream& out, const LengthRow& row) { return out << row.name; }

void draw(const LengthRow& row, const ScopeState& slot, const ScopeState::Samples& samples,
          double s) {
    platform::PictureSurface surface(8, 8);
    const Screen screen{s};
    const SystemBlock& block = slot.SystemBlock;
    const std::string_view source = row.source;
    if (slot.IsXY)
        DrawXYTrace(surface, screen, samples, samples, slot.PointCount);
    else if (source == "CH1" || source == "CH2")
        DrawChannelTrace(surface, screen, samples, slot.PointCount, source, block, slot.TriggerMode,
                         slot.FftDisplay);
    else if (source == "MATH")
        DrawMathTrace(surface, screen, samples, slot.PointCount, block, slot.TriggerMode);
    else if (source == "FFT")
        DrawFftTrace(surface, screen, samples, slot.PointCount, block, slot.TriggerMode);
    else
        DrawLaTraces(surface, screen, samples, slot.PointCount, block, slot.TriggerMode,
                     slot.FftDisplay, true);
}

class DrawnLength : public ::testing::TestWithParam<LengthRow> {};

// At no zoom does a drawing read past the length, and at some zoom it reads its last element.
TEST_P(DrawnLength, CoversEveryElementTheDrawingReadsAndNoMore) {
    SlotBuilder b;
    GetParam().setUp(b);
    const int32_t length = drawnBlockLength(GetParam().source, b.slot);
    ASSERT_GT(length, 2);
    bool readsTheEnd = false;
    for (double s : {0.3, 0.5, 1.0, 1.37, 2.0, 3.33, 4.5, 10.0}) {
        EXPECT_NO_THROW(draw(GetParam(), b.slot, ScopeState::Samples(length + 1, 100), s))
            << "zoom " << s;
        try {
            draw(GetParam(), b.slot, ScopeState::Samples(length, 100), s);
        } catch (const DrawingAbandoned&) {
            readsTheEnd = true;
        }
    }
    EXPECT_TRUE(readsTheEnd) << "no drawing reads element " << length;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, DrawnLength,
    ::testing::Values(
        LengthRow{"Ch1WholeScreen", "CH1", [](SlotBuilder&) {}},
        LengthRow{"Ch2Window", "CH2", [](SlotBuilder& b) { b.int16(0, 37).int16(2, 211); }},
        LengthRow{"Ch1AlternateUpperHalf", "CH1",
                  [](SlotBuilder& b) {
                      b.slot.TriggerMode = "ALTERNATION";
                      b.int16(4, 20).int16(6, 140);
                  }},
        LengthRow{"Ch2AlternateLowerHalf", "CH2",
                  [](SlotBuilder& b) {
                      b.slot.TriggerMode = "ALTERNATION";
                      b.int16(8, 150).int16(10, 299);
                  }},
        LengthRow{"MathWholeScreen", "MATH", [](SlotBuilder&) {}},
        LengthRow{"MathAlternateLowerHalf", "MATH",
                  [](SlotBuilder& b) {
                      b.slot.TriggerMode = "ALTERNATION";
                      b.int16(8, 10).int16(10, 200);
                  }},
        LengthRow{"FftCentred", "FFT", [](SlotBuilder& b) { b.int16(68, 150).int16(60, 4); }},
        LengthRow{"FftNarrowSpan", "FFT", [](SlotBuilder& b) { b.int16(68, 40).int16(60, 7); }},
        LengthRow{"FftFarCentre", "FFT", [](SlotBuilder& b) { b.int16(68, 2600).int16(60, 1); }},
        LengthRow{"LogicWholeScreen", "LA", [](SlotBuilder&) {}},
        LengthRow{"LogicFromColumn120", "LA", [](SlotBuilder& b) { b.int16(0, 120); }},
        LengthRow{"XyChannels", "CH1",
                  [](SlotBuilder& b) {
                      b.slot.IsYT = false;
                      b.slot.IsXY = true;
                  }}),
    [](const auto& row) { return row.param.name; });

TEST(DrawnLengthWindow, NothingDrawnNeedsNothing) {
    SlotBuilder b;
    b.int16(0, 200).int16(2, 100);
    EXPECT_EQ(drawnBlockLength("CH1", b.slot), 0);
    b.slot.PointCount = 0;
    EXPECT_EQ(drawnBlockLength("LA", b.slot), 0);
}

}  // namespace
}  // namespace tracebay::display
